// The fill-in window driven the way an operator drives it: QTest keys and clicks on
// the page client of a real IDoxPageWindow over a cheque page in a bill database,
// with an amount, the amount in Chinese capitals, a date, a payee with input
// history, a five-box code, a check box and a table.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QInputMethodEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

#include "ByteStream.h"
#include "DoxCalenderWindow.h"
#include "DoxCheckControl.h"
#include "DoxChoiceWindow.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageWindow.h"
#include "DoxPopWindowBase.h"
#include "DoxTableControl.h"
#include "EditClipboard.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "IDoxWindowUISink.h"
#include "TestSupport.h"

namespace
{

constexpr uint32_t kVisible = 0x10000000;

// Runs `step` once the next modal loop (a popup's) has started, from inside it.
void InsideNextLoop(std::function<void()> step)
{
    QTimer::singleShot(0, std::move(step));
}

class PageWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home_.emplace("HOME", dir_.path().string());
        config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
        page_ = MakeCheque("doxcore.db");
        ASSERT_NE(page_, nullptr);
    }
    void TearDown() override
    {
        if (window_)
            window_->Release();
        for (IDoxDocument* document : documents_)
            document->Release();
        if (core_)
            core_->Release();
    }

    DoxEditControl* AddEdit(DoxLayer* layer, RECT rect, const wchar_t* field, const wchar_t* type,
                            const wchar_t* format, int order)
    {
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        EXPECT_NE(edit, nullptr);
        EXPECT_TRUE(edit->DataAttribute().FieldName().SetValueText(field));
        EXPECT_TRUE(edit->DataAttribute().FieldType().SetValueText(type));
        if (format) {
            EXPECT_TRUE(edit->Format().Format().SetValueText(format));
        }
        EXPECT_TRUE(edit->Font().FaceName().SetValueText(L"宋体"));
        EXPECT_TRUE(edit->Font().Size().SetValueText(L"12"));
        edit->SetTabIndex(order);
        return edit;
    }

    IDoxPage* MakeCheque(const char* database)
    {
        const std::wstring db = (dir_ / database).wstring();
        IDoxDocument* document = core_->CreateConnection(db.c_str(), L"支票", 2100, 990);
        EXPECT_NE(document, nullptr) << core_->GetLastErrorText();
        if (!document)
            return nullptr;
        documents_.push_back(document);
        IDoxPage* page = document->GetPage(0);
        DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);
        amount_ = AddEdit(layer, {150, -120, 750, -200}, L"金额", L"数值", L"#,##0.00", 1);
        capital_ = AddEdit(layer, {150, -240, 1150, -320}, L"金额", L"数值", L"<中文大写金额>", 2);
        date_ = AddEdit(layer, {1250, -120, 1750, -200}, L"出票日期", L"日期", nullptr, 3);
        payee_ = AddEdit(layer, {150, -360, 1150, -440}, L"收款人", L"文本", nullptr, 4);
        code_ = AddEdit(layer, {1250, -360, 1650, -440}, L"密码", L"文本", nullptr, 5);
        EXPECT_TRUE(code_->DataAttribute().FieldLength().SetValueText(L"5"));
        EXPECT_TRUE(code_->Split().ColumnItem().SetValueText(L"5"));
        RECT tick{1250, -480, 1330, -560};
        check_ = static_cast<DoxCheckControl*>(layer->CreateControl(DoxKindCheck, &tick));
        EXPECT_NE(check_, nullptr);
        EXPECT_TRUE(check_->DataAttribute().FieldName().SetValueText(L"加急"));
        EXPECT_TRUE(check_->DataAttribute().FieldType().SetValueText(L"文本"));
        EXPECT_TRUE(check_->CheckValue().Param().SetValueText(L"是"));
        check_->SetTabIndex(6);
        RECT grid{150, -600, 1150, -900};
        table_ = static_cast<DoxTableControl*>(layer->CreateControl(DoxKindTable, &grid));
        EXPECT_NE(table_, nullptr);
        for (const wchar_t* name : {L"品名", L"数量"}) {
            EXPECT_TRUE(table_->Columns().AddElement());
            DoxTableCol* column = table_->Column(table_->Columns().Count() - 1);
            EXPECT_TRUE(column->Data().FieldName().SetValueText(name));
            EXPECT_TRUE(column->Data().FieldType().SetValueText(L"文本"));
        }
        EXPECT_TRUE(table_->Rows().AddElement());
        EXPECT_TRUE(table_->Rows().AddElement());
        table_->SetTabIndex(7);
        page->ViewAllLayers();
        return page;
    }

    // A window over the page, shown and active, with the keyboard in its page client.
    DoxPageClient* Open(IDoxPage* page, QSize size = QSize(900, 420))
    {
        const QRect rect(0, 0, size.width(), size.height());
        window_ = core_->CreatePageWindow(page, kVisible, &rect, nullptr, 1);
        EXPECT_NE(window_, nullptr) << core_->GetLastErrorText();
        if (!window_)
            return nullptr;
        QWidget* outer = window_->GetHwnd();
        outer->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(outer));
        auto* client = dynamic_cast<DoxPageClient*>(window_);
        client->setFocus();
        return client;
    }

    std::wstring Stored(const wchar_t* field, int row = 0)
    {
        IDoxValue* value = page_->GetFieldValue(field, row);
        if (!value || value->GetType() == 0)
            return L"";
        if (value->GetType() == 2)
            return std::to_wstring(value->GetNumber());
        return value->GetText();
    }

    void Type(DoxPageClient* client, const char* text) { QTest::keyClicks(client, QString::fromUtf8(text)); }
    void Commit(DoxPageClient* client, const QString& text)
    {
        QInputMethodEvent event;
        event.setCommitString(text);
        QCoreApplication::sendEvent(client, &event);
    }

    DoxControl* Current(DoxPageClient* client)
    {
        DoxControlBase* field = client->Runner().GetCurrentField();
        return field ? field->GetControl() : nullptr;
    }

    doxtest::TempDir dir_;
    std::optional<doxtest::ScopedEnv> home_;
    std::optional<doxtest::ScopedEnv> config_;
    IDoxCore* core_ = nullptr;
    std::vector<IDoxDocument*> documents_;
    IDoxPage* page_ = nullptr;
    IDoxPageWindow* window_ = nullptr;
    DoxEditControl* amount_ = nullptr;
    DoxEditControl* capital_ = nullptr;
    DoxEditControl* date_ = nullptr;
    DoxEditControl* payee_ = nullptr;
    DoxEditControl* code_ = nullptr;
    DoxCheckControl* check_ = nullptr;
    DoxTableControl* table_ = nullptr;
};

} // namespace

TEST_F(PageWindowTest, EnterTypeEnterStoresTheAmountAndEscKeepsIt)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(Current(client), amount_);
    QTest::keyClick(client, Qt::Key_Return);
    EXPECT_EQ(window_->IsEditing(), 1);
    Type(client, "1234.5");
    QTest::keyClick(client, Qt::Key_Return);
    EXPECT_EQ(window_->IsEditing(), 0);
    EXPECT_EQ(page_->GetFieldValue(L"主表.金额", 0)->GetNumber(), 1234.5);
    EXPECT_EQ(capital_->ShownText(), L"壹仟贰佰叁拾肆元伍角整");

    // Esc drops what was typed.
    QTest::keyClick(client, Qt::Key_Return);
    Type(client, "99");
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_EQ(window_->IsEditing(), 0);
    EXPECT_EQ(page_->GetFieldValue(L"主表.金额", 0)->GetNumber(), 1234.5);
}

TEST_F(PageWindowTest, RefusedEntryStaysInTheEditorWithItsReason)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    QTest::keyClick(client, Qt::Key_Return);
    Type(client, "12x");
    // Every way of leaving the field keeps the refused entry open.
    struct Leave {
        const char* what;
        std::function<void()> act;
    } leaves[] = {
        {"Enter", [&] { QTest::keyClick(client, Qt::Key_Return); }},
        {"EndEdit(1)", [&] { window_->EndEdit(1); }},
        {"Tab", [&] { QTest::keyClick(client, Qt::Key_Tab); }},
        {"focus loss", [&] { client->clearFocus(); }},
    };
    for (const Leave& leave : leaves) {
        SCOPED_TRACE(leave.what);
        leave.act();
        EXPECT_EQ(window_->IsEditing(), 1);
        EXPECT_EQ(Current(client), amount_);
        EXPECT_TRUE(client->Tip().IsShown());
        EXPECT_EQ(client->Editor().Edit().Text(), L"12x");
    }
    EXPECT_EQ(page_->GetFieldValue(L"主表.金额", 0)->GetType(), 0u);
    // Esc hides the balloon and cancels.
    client->setFocus();
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_FALSE(client->Tip().IsShown());
    EXPECT_EQ(window_->IsEditing(), 0);
}

TEST_F(PageWindowTest, TabAndShiftTabFollowTheFillInOrder)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    const std::vector<DoxControl*> forward = {capital_, date_, payee_, code_, check_, table_};
    for (DoxControl* expected : forward) {
        QTest::keyClick(client, Qt::Key_Tab);
        EXPECT_EQ(Current(client), expected);
    }
    // Through the table's four cells, then round to the first field.
    for (int cell = 0; cell < 3; ++cell) {
        QTest::keyClick(client, Qt::Key_Tab);
        EXPECT_EQ(Current(client), table_);
    }
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Current(client), amount_);
    QTest::keyClick(client, Qt::Key_Backtab);
    EXPECT_EQ(Current(client), table_);
    for (int cell = 0; cell < 3; ++cell)
        QTest::keyClick(client, Qt::Key_Backtab);
    QTest::keyClick(client, Qt::Key_Backtab);
    EXPECT_EQ(Current(client), check_);
    // Tab opens each field's editor: the check box is no text editor.
    EXPECT_EQ(window_->IsEditing(), 0);
    EXPECT_TRUE(client->Editor().IsShown());
}

TEST_F(PageWindowTest, BoxesLimitTypingAndUnchangedValuesGoBackWhole)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    const std::wstring longName = L"北京市朝阳区建国路八十八号国际中心大厦二十层第三会议室东侧财务部";
    ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, longName.c_str()), 1);
    // Tab to the payee: its long value is shown cut to the box, and leaving it
    // untouched keeps the whole value.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), payee_);
    EXPECT_LT(client->Editor().Edit().GetTextLength(), static_cast<int>(longName.size()));
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Stored(L"主表.收款人"), longName);

    // The sixth character in the five-box code is refused, with the field's balloon.
    ASSERT_EQ(Current(client), code_);
    Type(client, "123456");
    EXPECT_EQ(client->Editor().Edit().Text(), L"12345");
    ASSERT_TRUE(client->Tip().IsShown());
    EXPECT_EQ(client->Tip().Text(), XEditWindow::kTooLongTyped);
    QTest::keyClick(client, Qt::Key_Return);
    EXPECT_EQ(Stored(L"主表.密码"), L"12345");
}

// A value longer than its field holds is never cut without a word: a key, a
// composition or a paste that would not fit is refused whole and the field's
// balloon says why; what is stored is what the field shows.
TEST_F(PageWindowTest, InputThatDoesNotFitIsRefusedWholeWithTheReason)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    std::wstring clipboard;
    struct Case {
        const char* what;
        int tabs;                     // from the amount to the field
        const char* typed;            // typed first, fitting
        std::function<void()> refuse; // input that does not fit what is left
        const wchar_t* reason;
        std::wstring shown;
    } cases[] = {
        {"a key past the last box of a five-box code", 4, "1234",
         [&] { Type(client, "56"); }, XEditWindow::kTooLongTyped, L"12345"},
        {"a composition past the field length", 4, "1234",
         [&] { Commit(client, QStringLiteral("中文")); }, XEditWindow::kTooLongTyped, L"1234"},
        {"a paste past the field length", 4, "12",
         [&] {
             CurrentEditClipboard().SetText(L"3456");
             window_->Paste();
         },
         XEditWindow::kTooLongPasted, L"12"},
        {"a paste wider than the box", 3, "",
         [&] {
             CurrentEditClipboard().SetText(std::wstring(120, L'8'));
             window_->Paste();
         },
         XEditWindow::kTooLongPasted, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(page_->ForgetRecord(), 1);
        for (int i = 0; i < c.tabs; ++i)
            QTest::keyClick(client, Qt::Key_Tab);
        Type(client, c.typed);
        ASSERT_FALSE(client->Tip().IsShown());
        c.refuse();
        EXPECT_EQ(client->Editor().Edit().Text(), c.shown);
        ASSERT_TRUE(client->Tip().IsShown());
        EXPECT_EQ(client->Tip().Text(), c.reason);
        QTest::keyClick(client, Qt::Key_Tab);
        EXPECT_EQ(Stored(c.tabs == 4 ? L"主表.密码" : L"主表.收款人"), c.shown);
    }

    // Keys typed on past a full box: the field keeps, stores and shows the same.
    ASSERT_EQ(page_->ForgetRecord(), 1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    Type(client, std::string(120, '7').c_str());
    const std::wstring shown = client->Editor().Edit().Text();
    EXPECT_GT(shown.size(), 10u);
    EXPECT_LT(shown.size(), 120u);
    EXPECT_TRUE(client->Tip().IsShown());
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Stored(L"主表.收款人"), shown);
}

// The balloon of a refusal speaks of the text that was refused: once the clerk
// changes that text (corrects it, empties it) the balloon goes, while a field's
// hint stays as the clerk types.
TEST_F(PageWindowTest, ARefusalsBalloonGoesOnceTheRefusedTextIsChanged)
{
    ASSERT_TRUE(payee_->Tip().SetValueText(L"请输入收款人"));
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    struct Case {
        const char* what;
        const char* keys; // over the refused date, all of it selected
        const wchar_t* stored;
    } cases[] = {
        {"corrected", "2026-03-05", L"2026-03-05"},
        {"emptied", "\b", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(page_->ForgetRecord(), 1);
        QTest::keyClick(client, Qt::Key_Tab);
        QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_EQ(Current(client), date_);
        Type(client, "2026-13-45");
        QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_EQ(Current(client), date_);
        ASSERT_TRUE(client->Tip().IsShown());
        window_->SelectAll();
        if (c.keys[0] == '\b')
            QTest::keyClick(client, Qt::Key_Backspace);
        else
            Type(client, c.keys);
        EXPECT_FALSE(client->Tip().IsShown());
        QTest::keyClick(client, Qt::Key_Tab);
        EXPECT_EQ(Current(client), payee_);
        IDoxValue* date = page_->GetFieldValue(L"主表.出票日期", 0);
        EXPECT_EQ(date && date->GetType() ? std::wstring(date->Format(0, nullptr)) : L"", c.stored);
        // The payee's hint is no refusal: typing leaves it.
        ASSERT_TRUE(client->Tip().IsShown());
        Type(client, "ACME");
        EXPECT_TRUE(client->Tip().IsShown());
        EXPECT_EQ(client->Tip().Text(), L"请输入收款人");
    }
}

TEST_F(PageWindowTest, InputMethodResultIsInsertedAtTheCaret)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), payee_);
    Type(client, "A");
    Commit(client, QStringLiteral("中文"));
    EXPECT_EQ(client->Editor().Edit().Text(), L"A中文");
    // Backspace takes one character, whatever its size.
    Commit(client, QString::fromUcs4(U"\U00020000"));
    QTest::keyClick(client, Qt::Key_Backspace);
    EXPECT_EQ(client->Editor().Edit().Text(), L"A中文");
    QTest::keyClick(client, Qt::Key_Return);
    EXPECT_EQ(Stored(L"主表.收款人"), L"A中文");
}

// A clerk types without pressing Enter first: on a framed field with no editor open
// (a page just attached, after Enter has stored a value, after Esc) the first key
// opens the editor and is kept, so nothing is lost and nothing slides one field on.
TEST_F(PageWindowTest, TheFirstKeyOnAFramedFieldOpensItsEditorAndIsKept)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(Current(client), amount_);
    ASSERT_FALSE(client->Editor().IsShown());
    struct Case {
        const char* what;
        std::function<void()> before; // leaves the field framed with no editor
        std::function<void()> type;
        const wchar_t* field;
        const wchar_t* stored;
    } cases[] = {
        {"fresh page", [] {}, [&] { Type(client, "88"); }, L"主表.金额", L"88.000000"},
        // Each case ends with the Enter that stores its value.
        {"after Enter", [] {}, [&] { Type(client, "7.5"); }, L"主表.金额", L"7.500000"},
        {"after Esc", [&] { QTest::keyClick(client, Qt::Key_Escape); }, [&] { Type(client, "12"); },
         L"主表.金额", L"12.000000"},
        {"input method", [&] { QTest::keyClick(client, Qt::Key_Escape); },
         [&] { Commit(client, QStringLiteral("3")); }, L"主表.金额", L"3.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        ASSERT_FALSE(client->Editor().IsShown());
        c.type();
        EXPECT_EQ(window_->IsEditing(), 1);
        QTest::keyClick(client, Qt::Key_Return);
        EXPECT_EQ(Stored(c.field), c.stored);
    }
    // The keys that are no characters leave the field closed.
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Left, Qt::Key_Escape}) {
        QTest::keyClick(client, key);
        EXPECT_FALSE(client->Editor().IsShown()) << key;
    }
    QTest::keyClick(client, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(client->Editor().IsShown());

    // On to the payee, typed blind after a Tab, and on to the framed check box, where
    // Space opens it and ticks it.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), payee_);
    QTest::keyClick(client, Qt::Key_Escape);
    Commit(client, QStringLiteral("中国"));
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Stored(L"主表.收款人"), L"中国");
    QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), check_);
    QTest::keyClick(client, Qt::Key_Escape);
    ASSERT_FALSE(client->Editor().IsShown());
    QTest::keyClick(client, Qt::Key_Space);
    EXPECT_TRUE(check_->IsTicked());
    EXPECT_EQ(Stored(L"主表.加急"), L"是");
}

TEST_F(PageWindowTest, TypingListsEarlierEntriesNewestFirstAndPicksOne)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    for (const wchar_t* payee : {L"北京分行", L"上海分行", L"北京东城"}) {
        ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, payee), 1);
        ASSERT_EQ(page_->SaveRecordAsNew(0), 1);
    }
    ASSERT_EQ(page_->ForgetRecord(), 1);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), payee_);
    client->Editor().Edit().SelectAll();
    QTest::keyClick(client, Qt::Key_Delete);

    DoxChoiceWindow& list = client->Editor().History();
    bool wasOpen = false;
    std::vector<std::wstring> shown;
    InsideNextLoop([&] {
        wasOpen = list.IsOpen() && list.isVisible();
        shown = list.Items();
        // Down highlights the first row; Enter takes it.
        QTest::keyClick(client, Qt::Key_Down);
        QTest::keyClick(client, Qt::Key_Down);
        QTest::keyClick(client, Qt::Key_Return);
    });
    Commit(client, QStringLiteral("北京"));
    EXPECT_TRUE(wasOpen);
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"北京东城", L"北京分行"}));
    EXPECT_FALSE(list.IsOpen());
    EXPECT_EQ(client->Editor().Edit().Text(), L"北京分行");
    EXPECT_EQ(client->Editor().Edit().Glyphs().SelEnd(), 4);
    QTest::keyClick(client, Qt::Key_Return);
    EXPECT_EQ(Stored(L"主表.收款人"), L"北京分行");
}

// The list that drops down by itself while the operator types was not asked for: Tab
// still goes on to the next field and Enter still stores the field, with what was
// typed; only Enter on a row the arrows went to takes that row.
TEST_F(PageWindowTest, AListThatOpensWhileTypingLeavesTabAndEnterTheirMeaning)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, L"Beijing"), 1);
    ASSERT_EQ(page_->SaveRecordAsNew(0), 1);
    const struct {
        const char* name;
        Qt::Key key;
        bool down; // the arrows go to the first row before the key
        const char* next; // typed right after the key
        const wchar_t* editing; // the editor's text afterwards, null: closed
        const wchar_t* stored;
        bool onCode;
    } cases[] = {
        {"Tab", Qt::Key_Tab, false, "12", L"12", L"Bei", true},
        {"Tab past a row the arrows reached", Qt::Key_Tab, true, "34", L"34", L"Bei", true},
        {"Enter", Qt::Key_Return, false, "", nullptr, L"Bei", false},
        {"Enter on a row the arrows reached", Qt::Key_Return, true, "", L"Beijing", L"", false},
    };
    DoxChoiceWindow& list = client->Editor().History();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(page_->ForgetRecord(), 1);
        for (int i = 0; i < 8 && Current(client) != payee_; ++i)
            QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_EQ(Current(client), payee_);
        ASSERT_TRUE(client->Editor().IsShown());
        bool wasOpen = false;
        InsideNextLoop([&] {
            wasOpen = list.IsOpen();
            Type(client, "ei");
            if (c.down)
                QTest::keyClick(client, Qt::Key_Down);
            QTest::keyClick(client, c.key);
            Type(client, c.next);
        });
        Type(client, "B");
        QCoreApplication::processEvents();
        EXPECT_TRUE(wasOpen);
        EXPECT_FALSE(list.IsOpen());
        EXPECT_EQ(Stored(L"主表.收款人"), c.stored);
        EXPECT_EQ(Current(client), c.onCode ? code_ : payee_);
        EXPECT_EQ(client->Editor().IsShown(), c.editing != nullptr);
        if (c.editing) {
            EXPECT_EQ(client->Editor().Edit().Text(), c.editing);
        }
    }
}

// A new bill and a loaded one start at the first field of the fill-in order, as the
// page did when it was attached, with no editor open: what comes next is typed into
// the first field, not where the last bill was left.
TEST_F(PageWindowTest, ANewOrLoadedBillStartsAtTheFirstField)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, L"kept"), 1);
    ASSERT_EQ(page_->SaveRecordAsNew(0), 1);
    const int64_t stored = page_->GetRecordId();
    const struct {
        const char* name;
        std::function<int()> change;
    } cases[] = {
        {"new bill", [&] { return page_->ForgetRecord(); }},
        {"loaded bill", [&] { return page_->LoadRecord(stored); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 8 && Current(client) != payee_; ++i)
            QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_EQ(Current(client), payee_);
        Type(client, "zz"); // nothing stored holds it: no history list opens
        ASSERT_TRUE(client->Editor().IsShown());
        ASSERT_EQ(c.change(), 1);
        EXPECT_EQ(Current(client), amount_);
        EXPECT_FALSE(client->Editor().IsShown());
        EXPECT_EQ(window_->IsEditing(), 0);
        // The entry left open belonged to the last bill and went with it.
        EXPECT_NE(Stored(L"主表.收款人"), L"zz");
        QTest::keyClick(client, Qt::Key_Return);
        Type(client, "5");
        QTest::keyClick(client, Qt::Key_Return);
        EXPECT_EQ(Stored(L"主表.金额"), std::to_wstring(5.0));
    }
}

TEST_F(PageWindowTest, LongHistoryListScrollsTheHighlightedRowIntoView)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    DoxChoiceWindow& list = client->Editor().History();
    list.ClearItems();
    for (int i = 0; i < 25; ++i)
        list.AddItem(L"收款人" + std::to_wstring(i));
    struct Seen {
        int height, pos, current;
    };
    std::vector<Seen> seen;
    InsideNextLoop([&] {
        seen.push_back({list.height(), list.GetVScrollPos(), list.GetCurSel()});
        // Up with no row goes to the last one, Down from the last to the first.
        QTest::keyClick(client, Qt::Key_Up);
        seen.push_back({list.height(), list.GetVScrollPos(), list.GetCurSel()});
        QTest::keyClick(client, Qt::Key_Down);
        seen.push_back({list.height(), list.GetVScrollPos(), list.GetCurSel()});
        QTest::keyClick(client, Qt::Key_Escape);
    });
    const QPoint at = client->mapToGlobal(QPoint(10, 10));
    EXPECT_EQ(list.TrackPopWindow(at.x(), at.y(), QRect(), 200, 20), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].height, DoxChoiceWindow::kMaxHeight);
    EXPECT_EQ(seen[0].current, -1);
    EXPECT_EQ(seen[1].current, 24);
    EXPECT_EQ(seen[1].pos, 25 * DoxChoiceWindow::kRowHeight - (DoxChoiceWindow::kMaxHeight - 2));
    EXPECT_EQ(seen[2].current, 0);
    EXPECT_EQ(seen[2].pos, 0);
}

TEST_F(PageWindowTest, CalendarPicksADayAndNeverGivesTheThirtyFirstOfFebruary)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(page_->SetFieldText(L"主表.出票日期", 0, L"2026-01-31"), 1);
    QTest::keyClick(client, Qt::Key_Tab);
    QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), date_);
    DoxInputWindow& editor = client->Editor();
    ASSERT_EQ(editor.GetStyle(), 0x10000001u);
    // The date editor takes a whole date in the field's font, and its two buttons.
    QFont font = editor.Edit().EditorQFont();
    const RECT box = editor.GetRect();
    EXPECT_GE(box.right - box.left, QFontMetrics(font).horizontalAdvance(QStringLiteral("2010-05-25")) + 40);
    const QPoint button = editor.CalendarButton().center();

    // The forward arrow moves the 31st of January into February; Enter takes it.
    DoxCalenderWindow* calendar = nullptr;
    CalendarDate shownAfterStep;
    InsideNextLoop([&] {
        calendar = &editor.Calendar();
        for (const XCalenderElement* e : calendar->Elements()) {
            if (e->kind == XCalenderElement::Arrow && e->sub == 1)
                QTest::mouseClick(calendar, Qt::LeftButton, {}, e->Rect().center());
        }
        shownAfterStep = calendar->Picked();
        QTest::keyClick(client, Qt::Key_Return);
    });
    QTest::mouseClick(client, Qt::LeftButton, {}, button);
    EXPECT_EQ(shownAfterStep, (CalendarDate{2026, 2, 28}));
    EXPECT_EQ(editor.Edit().Text(), L"2026-02-28");

    // A day clicked in the grid lands in the field.
    InsideNextLoop([&] {
        for (const XCalenderElement* e : editor.Calendar().Elements()) {
            if (e->kind == XCalenderElement::Day && e->date == CalendarDate{2026, 2, 14})
                QTest::mouseClick(&editor.Calendar(), Qt::LeftButton, {}, e->Rect().center());
        }
    });
    QTest::mouseClick(client, Qt::LeftButton, {}, button);
    EXPECT_FALSE(editor.Calendar().IsOpen());
    EXPECT_EQ(editor.Edit().Text(), L"2026-02-14");
    QTest::keyClick(client, Qt::Key_Return);
    IDoxValue* value = page_->GetFieldValue(L"主表.出票日期", 0);
    ASSERT_NE(value, nullptr);
    EXPECT_NE(value->GetTime(), 0u);
    EXPECT_EQ(date_->ShownText().substr(0, 10), L"2026-02-14");

    // The header leads to the year view, a month there back to the month view; Esc
    // then leaves the text as it was.
    bool yearView = false;
    CalendarDate shownInMay;
    InsideNextLoop([&] {
        DoxCalenderWindow& calendar = editor.Calendar();
        auto click = [&](int kind, int sub) {
            for (const XCalenderElement* e : calendar.Elements()) {
                if (e->kind == kind && e->sub == sub) {
                    QTest::mouseClick(&calendar, Qt::LeftButton, {}, e->Rect().center());
                    return;
                }
            }
        };
        click(XCalenderElement::Link, 1);
        yearView = calendar.IsYearView();
        click(XCalenderElement::MonthCell, 5);
        shownInMay = calendar.Picked();
        QTest::keyClick(client, Qt::Key_Escape);
    });
    QTest::keyClick(client, Qt::Key_Return);
    QTest::mouseClick(client, Qt::LeftButton, {}, button);
    EXPECT_TRUE(yearView);
    EXPECT_EQ(shownInMay, (CalendarDate{2026, 5, 14}));
    EXPECT_EQ(editor.Edit().Text(), L"2026-02-14");
    QTest::keyClick(client, Qt::Key_Escape);

    // An editor at the right edge is moved left so that its buttons stay on the page.
    QTest::keyClick(client, Qt::Key_Return);
    editor.Layout(client->width() - 60, 20, 100, 30);
    EXPECT_EQ(editor.GetRect().right, client->width());
    EXPECT_EQ(editor.CalendarButton().right() + 1, client->width() - DoxInputWindow::kButtonWidth);
}

TEST_F(PageWindowTest, ReleasingThePageWhileAPopupIsOpenEndsThePopup)
{
    // The history list, the calendar and the edit's context menu each belong to the
    // page; the page released from inside their loop ends the loop, and nothing of the
    // page or the popup is touched afterwards (the sanitizers watch the freed memory).
    struct Case {
        const char* name;
        int tabs;
        enum { History, Typed, Calendar, Menu } opens;
    };
    for (const Case& c : {Case{"history list", 3, Case::History}, Case{"history list by typing", 3, Case::Typed},
                          Case{"calendar", 2, Case::Calendar}, Case{"context menu", 3, Case::Menu}}) {
        SCOPED_TRACE(c.name);
        DoxPageClient* client = Open(page_);
        ASSERT_NE(client, nullptr);
        if (c.opens == Case::History || c.opens == Case::Typed) {
            ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, L"北京分行"), 1);
            ASSERT_EQ(page_->SaveRecordAsNew(0), 1);
            ASSERT_EQ(page_->ForgetRecord(), 1);
        }
        for (int i = 0; i < c.tabs; ++i)
            QTest::keyClick(client, Qt::Key_Tab);
        DoxInputWindow& editor = client->Editor();
        ASSERT_TRUE(editor.IsShown());
        const RECT box = editor.Edit().GetRect();
        const QPoint at = c.opens == Case::History    ? editor.HistoryButton().center()
                          : c.opens == Case::Calendar ? editor.CalendarButton().center()
                                                      : QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
        const QPointer<QWidget> outer(window_->GetHwnd());
        bool open = false;
        InsideNextLoop([&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* base = dynamic_cast<DoxPopWindowBase*>(w);
                open = open || (base && base->GetPopWindow() == w && w->isVisible());
            }
            window_->Release();
            window_ = nullptr;
        });
        // Only the press (and for the menu the release): the page is gone after it.
        if (c.opens == Case::Menu) {
            QTest::mousePress(client, Qt::RightButton, {}, at);
            QTest::mouseRelease(client, Qt::RightButton, {}, at);
        } else if (c.opens == Case::Typed) {
            Commit(client, QStringLiteral("北京"));
        } else {
            QTest::mousePress(client, Qt::LeftButton, {}, at);
        }
        EXPECT_TRUE(open);
        EXPECT_EQ(window_, nullptr);
        EXPECT_TRUE(outer.isNull());
        QCoreApplication::processEvents();
    }
}

// A continuous print loads bill after bill into a window whose painting is held, and
// the fields then skip working out their areas: when painting resumes, the screen
// must show the last bill whole, with no field left as it was.
TEST_F(PageWindowTest, ChangesMadeWhilePaintingIsHeldReachTheScreenWhenItResumes)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    QWidget* outer = window_->GetHwnd();
    const auto screen = [outer] {
        QApplication::processEvents();
        return QGuiApplication::primaryScreen()->grabWindow(outer->winId()).toImage();
    };
    ASSERT_EQ(page_->SetFieldText(L"主表.金额", 0, L"1"), 1);
    const QImage before = screen();
    outer->setUpdatesEnabled(false);
    EXPECT_FALSE(client->ShowsChanges());
    ASSERT_EQ(page_->SetFieldText(L"主表.金额", 0, L"98765.43"), 1);
    ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, L"北京市朝阳区收款单位"), 1);
    outer->setUpdatesEnabled(true);
    EXPECT_TRUE(client->ShowsChanges());
    const QImage resumed = screen();
    client->update();
    const QImage whole = screen();
    EXPECT_NE(resumed, before);
    EXPECT_EQ(resumed, whole);
}

TEST_F(PageWindowTest, TickingACheckFieldStoresItAtOnce)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), check_);
    ASSERT_TRUE(client->Editor().IsShown());
    EXPECT_EQ(window_->IsEditing(), 0);
    QTest::keyClick(client, Qt::Key_Space);
    EXPECT_TRUE(check_->IsTicked());
    EXPECT_EQ(Stored(L"主表.加急"), L"是");
    // Esc cannot take a stored tick back; a click on the box clears it again.
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_TRUE(check_->IsTicked());
    QTest::keyClick(client, Qt::Key_Return);
    const RECT box = client->Editor().Check().GetRect();
    QTest::mouseClick(client, Qt::LeftButton, {}, QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
    EXPECT_FALSE(check_->IsTicked());
    EXPECT_EQ(Stored(L"主表.加急"), L"");
}

TEST_F(PageWindowTest, ClipboardCutOnlyAfterACopyThatWorked)
{
    class RefusingClipboard : public EditClipboard
    {
    public:
        bool SetText(const std::wstring&) override { return false; }
        bool HasText() override { return false; }
        bool GetText(std::wstring&) override { return false; }
    } refusing;
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    QTest::keyClick(client, Qt::Key_Return);
    Type(client, "123");
    window_->SelectAll();
    EditClipboard* previous = SetEditClipboard(&refusing);
    window_->Cut();
    SetEditClipboard(previous);
    EXPECT_EQ(client->Editor().Edit().Text(), L"123");
    window_->Cut();
    EXPECT_EQ(client->Editor().Edit().Text(), L"");
    window_->Paste();
    EXPECT_EQ(client->Editor().Edit().Text(), L"123");
}

TEST_F(PageWindowTest, AnotherPageAttachedAfterScrollingShowsItsTopLeft)
{
    DoxPageClient* client = Open(page_, QSize(300, 200));
    ASSERT_NE(client, nullptr);
    auto* outer = static_cast<DoxPageWindow*>(window_->GetHwnd());
    ASSERT_TRUE(outer->VBar()->isVisible());
    // PgDn scrolls a page; the wheel and the bars do the rest.
    QTest::keyClick(client, Qt::Key_PageDown);
    EXPECT_GT(outer->VBar()->value(), 0);
    EXPECT_EQ(client->y(), -outer->VBar()->value());
    outer->VBar()->setValue(outer->VBar()->maximum());
    outer->HBar()->setValue(outer->HBar()->maximum());
    EXPECT_LT(client->y(), 0);

    IDoxPage* other = MakeCheque("other.db");
    ASSERT_NE(other, nullptr);
    window_->EndEdit(1);
    window_->DetachPage();
    // The background flag is kept without a page, and a second attach is refused.
    window_->ShowBackground(0);
    EXPECT_EQ(window_->IsBackgroundVisible(), 0);
    ASSERT_EQ(window_->AttachPage(other), 1);
    EXPECT_EQ(window_->AttachPage(page_), 0);
    EXPECT_EQ(outer->VBar()->value(), 0);
    EXPECT_EQ(outer->HBar()->value(), 0);
    EXPECT_EQ(client->pos(), QPoint(0, 0));
    EXPECT_EQ(window_->GetPage(), other);
}

TEST_F(PageWindowTest, HostSinkPaintsAroundThePageAndHearsRightClicks)
{
    class Sink : public IDoxWindowUISink
    {
    public:
        void OnEraseBackground(CDC* dc, const RECT* rect) override
        {
            ++erased;
            dc->FillSolidRect(*rect, 0x00FF00);
        }
        void OnRButtonUp(uint32_t, int x, int y) override { clicks.push_back(QPoint(x, y)); }
        int erased = 0;
        std::vector<QPoint> clicks;
    } sink;
    DoxPageClient* client = Open(page_, QSize(1000, 500));
    ASSERT_NE(client, nullptr);
    QWidget* outer = window_->GetHwnd();
    // Without a sink the area around the page is the button face.
    QImage plain = outer->grab().toImage();
    EXPECT_EQ(plain.pixelColor(3, 3), QColor(0xF0, 0xF0, 0xF0));
    window_->SetUISink(&sink);
    QImage painted = outer->grab().toImage();
    EXPECT_GT(sink.erased, 0);
    EXPECT_EQ(painted.pixelColor(3, 3), QColor(0, 0xFF, 0));
    // The host's shortcuts still reach it while the page has the keyboard; the
    // editor keeps its own Ctrl+C.
    int saved = 0;
    QShortcut save(QKeySequence(Qt::CTRL | Qt::Key_S), outer);
    QObject::connect(&save, &QShortcut::activated, [&] { ++saved; });
    QShortcut copy(QKeySequence(Qt::CTRL | Qt::Key_C), outer);
    QObject::connect(&copy, &QShortcut::activated, [&] { saved += 100; });
    QTest::keyClick(client, Qt::Key_Return);
    QTest::keyClick(client, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(client, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);
    QTest::keyClick(client, Qt::Key_Escape);
    // A right click on an empty spot of the page reaches the host, in page pixels.
    QTest::mouseClick(client, Qt::RightButton, {}, QPoint(700, 300));
    ASSERT_EQ(sink.clicks.size(), 1u);
    EXPECT_EQ(sink.clicks[0], QPoint(700, 300));
    window_->SetUISink(nullptr);
}

namespace
{
// The blank cheque as a bank prints it: pale green paper at 254 dpi with red rules
// and the captions of its fields.
QByteArray ChequePicture()
{
    QImage form(2100, 990, QImage::Format_RGB32);
    form.setDotsPerMeterX(10000);
    form.setDotsPerMeterY(10000);
    form.fill(QColor(214, 236, 214));
    QPainter p(&form);
    p.setPen(QPen(QColor(200, 40, 40), 3));
    for (int y : {200, 320, 440})
        p.drawLine(120, y, 1160, y);
    p.drawRect(1240, 110, 520, 100);
    p.drawRect(1240, 350, 420, 100);
    for (int box = 1; box < 5; ++box)
        p.drawLine(1240 + box * 80, 350, 1240 + box * 80, 450);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(36);
    p.setFont(font);
    p.drawText(20, 180, QStringLiteral("金额"));
    p.drawText(20, 300, QStringLiteral("大写"));
    p.drawText(20, 420, QStringLiteral("收款人"));
    p.drawText(1240, 90, QStringLiteral("出票日期"));
    p.drawText(1240, 340, QStringLiteral("密码"));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    form.save(&buffer, "PNG");
    return bytes;
}

// Where screenshots go: DOX_SCREENSHOT_DIR when set (run under Xvfb to look at
// them), else the test's scratch folder.
QString ShotPath(const doxtest::TempDir& dir, const char* name)
{
    const QByteArray folder = qgetenv("DOX_SCREENSHOT_DIR");
    const QString base = folder.isEmpty() ? QString::fromStdString(dir.path().string()) : QString::fromUtf8(folder);
    return base + "/" + QString::fromUtf8(name);
}

// How many pixels of the area are close to the colour.
int CountNear(const QImage& image, const QRect& area, QColor colour, int tolerance = 24)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
                std::abs(c.blue() - colour.blue()) <= tolerance)
                ++count;
        }
    return count;
}
} // namespace

// The page's picture is drawn by the window's first paint: hidden before that paint,
// it is not there, and shown again afterwards, it is.
TEST_F(PageWindowTest, TheBackgroundHiddenBeforeTheFirstPaintIsNotPainted)
{
    ASSERT_EQ(static_cast<DoxPage*>(page_)->SetBackgroundImage(plat::ByteStream(ChequePicture()), L"cheque.png"),
              1);
    const QRect rect(0, 0, 860, 420);
    window_ = core_->CreatePageWindow(page_, 0, &rect, nullptr, 1);
    ASSERT_NE(window_, nullptr) << core_->GetLastErrorText();
    window_->ShowBackground(0);
    QWidget* outer = window_->GetHwnd();
    auto* client = dynamic_cast<DoxPageClient*>(window_);
    ASSERT_NE(client, nullptr);
    const QRect paper(client->mapTo(outer, QPoint(5, 5)), QSize(30, 30));
    const QColor green(214, 236, 214);
    EXPECT_EQ(CountNear(outer->grab().toImage(), paper, green), 0);
    window_->ShowBackground(1);
    EXPECT_GT(CountNear(outer->grab().toImage(), paper, green), 800);
}

TEST_F(PageWindowTest, ScreenshotsOfAFilledBillAndOfTheCalendar)
{
    ASSERT_EQ(static_cast<DoxPage*>(page_)->SetBackgroundImage(plat::ByteStream(ChequePicture()), L"cheque.png"),
              1);
    for (DoxEditControl* edit : {amount_, capital_, date_, payee_, code_}) {
        ASSERT_TRUE(edit->BgColor().SetValueText(L"#FFFFFFFF"));
    }
    DoxPageClient* client = Open(page_, QSize(860, 420));
    ASSERT_NE(client, nullptr);
    ASSERT_EQ(page_->SetFieldText(L"主表.金额", 0, L"1234.5"), 1);
    ASSERT_EQ(page_->SetFieldText(L"主表.出票日期", 0, L"2026-12-10"), 1);
    ASSERT_EQ(page_->SetFieldText(L"主表.收款人", 0, L"北京东城支行"), 1);
    ASSERT_EQ(page_->SetFieldText(L"主表.密码", 0, L"80417"), 1);
    QWidget* outer = window_->GetHwnd();
    QTest::qWait(50);
    const QImage bill = outer->grab().toImage();
    ASSERT_TRUE(bill.save(ShotPath(dir_, "fillin-bill.png")));
    // The paper's green shows around the fields, and dark text lies on the amount's
    // and the payee's lines.
    const QPoint page = client->mapTo(outer, QPoint(0, 0));
    const QRect amountArea = QRect(page + QPoint(57, 45), QSize(220, 30));
    EXPECT_GT(CountNear(bill, QRect(page + QPoint(5, 5), QSize(30, 30)), QColor(214, 236, 214)), 800);
    EXPECT_GT(CountNear(bill, amountArea, QColor(0, 0, 0), 90), 30);
    EXPECT_GT(CountNear(bill, QRect(page + QPoint(57, 136), QSize(300, 30)), QColor(0, 0, 0), 90), 30);

    // The calendar open over the date field.
    QTest::keyClick(client, Qt::Key_Tab);
    QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), date_);
    DoxInputWindow& editor = client->Editor();
    QImage calendarShot;
    InsideNextLoop([&] {
        QTest::qWait(50);
        calendarShot = editor.Calendar().grab().toImage();
        QTest::keyClick(client, Qt::Key_Escape);
    });
    QTest::mouseClick(client, Qt::LeftButton, {}, editor.CalendarButton().center());
    ASSERT_FALSE(calendarShot.isNull());
    ASSERT_TRUE(calendarShot.save(ShotPath(dir_, "fillin-calendar.png")));
    const QImage screen = outer->grab().toImage();
    ASSERT_TRUE(screen.save(ShotPath(dir_, "fillin-date-editor.png")));
    // The popup's background and the selected 10th of December.
    EXPECT_GT(CountNear(calendarShot, calendarShot.rect(), QColor(241, 246, 249), 2), 5000);
    EXPECT_EQ(editor.Edit().Text(), L"2026-12-10");
    QTest::keyClick(client, Qt::Key_Escape);

    // A refused amount with its balloon, and the payee's history list.
    ASSERT_EQ(page_->SaveRecordAsNew(0), 1);
    QTest::keyClick(client, Qt::Key_Backtab);
    QTest::keyClick(client, Qt::Key_Backtab);
    ASSERT_EQ(Current(client), amount_);
    // (No stored amount contains an "x", so no history list opens while typing.)
    Type(client, "x12");
    QTest::keyClick(client, Qt::Key_Return);
    ASSERT_TRUE(client->Tip().IsShown());
    QTest::qWait(20);
    const QImage refused = outer->grab().toImage();
    ASSERT_TRUE(refused.save(ShotPath(dir_, "fillin-refused.png")));
    const RECT balloon = client->Tip().Placement().balloon;
    const QRect balloonArea(client->mapTo(outer, QPoint(balloon.left + 4, balloon.top + 10)), QSize(20, 10));
    EXPECT_GT(CountNear(refused, balloonArea, QColor(0xB4, 0xCA, 0xE3), 40), 50);
    QTest::keyClick(client, Qt::Key_Escape);
    ASSERT_EQ(page_->SetFieldText(L"主表.金额", 0, L"1234.5"), 1);
    for (DoxControl* expected : std::vector<DoxControl*>{capital_, date_, payee_}) {
        QTest::keyClick(client, Qt::Key_Tab);
        ASSERT_EQ(Current(client), expected);
    }
    QTest::keyClick(client, Qt::Key_Delete);
    QImage listShot;
    InsideNextLoop([&] {
        QTest::keyClick(client, Qt::Key_Down);
        QTest::qWait(20);
        QWidget* list = &editor.History();
        listShot = outer->grab().toImage();
        QPainter p(&listShot);
        p.drawPixmap(list->mapTo(list->window(), QPoint(0, 0)) - outer->mapToGlobal(QPoint(0, 0)) +
                         list->mapToGlobal(QPoint(0, 0)) - list->mapTo(list->window(), QPoint(0, 0)),
                     list->grab());
        p.end();
        QTest::keyClick(client, Qt::Key_Escape);
    });
    Commit(client, QStringLiteral("北京"));
    ASSERT_FALSE(listShot.isNull());
    ASSERT_TRUE(listShot.save(ShotPath(dir_, "fillin-history.png")));
}

// The operator's keyboard-only road through the whole page: Enter opens the current
// field's editor and commits it, Tab and Shift+Tab commit and open the next field's
// editor (so an Enter there closes it unchanged and another opens it again), Esc
// cancels, Space ticks the check box. At every step the picture shows the editor
// over the current field, or its focus frame while no editor is open, and no frame
// left on any other field.
TEST_F(PageWindowTest, KeyboardOnlyRoundThroughThePage)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    QWidget* outer = window_->GetHwnd();
    auto key = [&](Qt::Key k) { return [&, k] { QTest::keyClick(client, k); }; };
    auto type = [&](const char* text) { return [&, text] { Type(client, text); }; };
    enum Editor { Closed, Text, Check };
    struct Step {
        const char* what;
        std::function<void()> act;
        DoxControl* current;
        Editor editor;
        const wchar_t* text;
    } steps[] = {
        {"enter-opens", key(Qt::Key_Return), amount_, Text, L""},
        {"amount-typed", type("1234.5"), amount_, Text, L"1234.5"},
        {"enter-commits", key(Qt::Key_Return), amount_, Closed, nullptr},
        {"tab-opens-capital", key(Qt::Key_Tab), capital_, Text, L"1234.5"},
        {"enter-closes-capital", key(Qt::Key_Return), capital_, Closed, nullptr},
        {"enter-reopens-capital", key(Qt::Key_Return), capital_, Text, L"1234.5"},
        {"tab-opens-date", key(Qt::Key_Tab), date_, Text, L""},
        {"date-typed", type("2026-12-10"), date_, Text, L"2026-12-10"},
        {"date-committed", key(Qt::Key_Return), date_, Closed, nullptr},
        {"tab-onto-payee", key(Qt::Key_Tab), payee_, Text, L""},
        {"payee-typed", type("Acme"), payee_, Text, L"Acme"},
        {"backtab-commits-payee", key(Qt::Key_Backtab), date_, Text, L"2026-12-10"},
        {"date-retyped", type("2027-01-01"), date_, Text, L"2027-01-01"},
        {"esc-cancels", key(Qt::Key_Escape), date_, Closed, nullptr},
        {"tab-shows-payee", key(Qt::Key_Tab), payee_, Text, L"Acme"},
        {"tab-onto-code", key(Qt::Key_Tab), code_, Text, L""},
        {"code-typed", type("80417"), code_, Text, L"80417"},
        {"tab-onto-check", key(Qt::Key_Tab), check_, Check, nullptr},
        {"space-ticks", key(Qt::Key_Space), check_, Check, nullptr},
        {"enter-closes-check", key(Qt::Key_Return), check_, Closed, nullptr},
        {"tab-into-table", key(Qt::Key_Tab), table_, Text, L""},
        {"cell-typed", type("Pens"), table_, Text, L"Pens"},
        {"tab-next-cell", key(Qt::Key_Tab), table_, Text, L""},
        {"esc-in-cell", key(Qt::Key_Escape), table_, Closed, nullptr},
        {"enter-opens-cell", key(Qt::Key_Return), table_, Text, L""},
        {"backtab-first-cell", key(Qt::Key_Backtab), table_, Text, L"Pens"},
        {"enter-commits-cell", key(Qt::Key_Return), table_, Closed, nullptr},
    };
    const std::vector<DoxControl*> fields = {amount_, capital_, date_, payee_, code_, check_};
    auto pixels = [&](DoxControlBase* field) {
        POINT at{};
        SIZE size{};
        field->GetFieldRect(&at, &size);
        const RECT r = client->ToPixels(RECT{at.x, at.y, at.x + size.cx, at.y - size.cy});
        return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    };
    // Dark pixels on a field's top edge: the dotted focus frame.
    auto frameDots = [&](const QImage& shot, const QRect& field) {
        const QRect band(client->mapTo(outer, field.topLeft() - QPoint(0, 1)), QSize(field.width(), 3));
        return CountNear(shot, band, QColor(0, 0, 0), 60);
    };
    int n = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        ASSERT_EQ(Current(client), step.current);
        DoxInputWindow& editor = client->Editor();
        EXPECT_EQ(editor.IsShown(), step.editor != Closed);
        EXPECT_EQ(window_->IsEditing(), step.editor == Text ? 1 : 0);
        if (step.text) {
            EXPECT_EQ(editor.Edit().Text(), step.text);
        }
        QTest::qWait(20);
        const QImage shot = outer->grab().toImage();
        ASSERT_TRUE(shot.save(ShotPath(dir_, (std::to_string(++n) + "-" + step.what + ".png").c_str())));
        const QRect field = pixels(client->Runner().GetCurrentField());
        if (step.editor == Closed) {
            EXPECT_GT(frameDots(shot, field), field.width() / 3);
        } else {
            // The editor's frame lies 3 pixels round the field.
            EXPECT_NEAR(editor.Rect().left, field.left() - 3, 1);
            EXPECT_NEAR(editor.Rect().top, field.top() - 3, 1);
        }
        for (DoxControl* other : fields) {
            if (other != step.current) {
                EXPECT_LT(frameDots(shot, pixels(other)), 5) << "frame left on another field";
            }
        }
    }
    EXPECT_EQ(Stored(L"主表.金额"), std::to_wstring(1234.5));
    EXPECT_EQ(date_->ShownText().substr(0, 10), L"2026-12-10");
    EXPECT_EQ(Stored(L"主表.收款人"), L"Acme");
    EXPECT_EQ(Stored(L"主表.密码"), L"80417");
    EXPECT_EQ(Stored(L"主表.加急"), L"是");
}

TEST_F(PageWindowTest, CalendarGivesADateTimeFieldThePickedDayAtItsTime)
{
    DoxLayer* layer = static_cast<DoxPage*>(page_)->GetLayer(0);
    DoxEditControl* stamp = AddEdit(layer, {1250, -600, 1950, -680}, L"签发时间", L"日期时间", nullptr, 8);
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    for (int i = 0; i < 12 && Current(client) != stamp; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), stamp);
    DoxInputWindow& editor = client->Editor();
    if (!editor.IsShown())
        QTest::keyClick(client, Qt::Key_Return);
    ASSERT_EQ(editor.GetStyle(), 0x10000003u);
    Type(client, "2020-01-01 08:09:10");

    const QTime before = QTime::currentTime();
    InsideNextLoop([&] {
        for (const XCalenderElement* e : editor.Calendar().Elements()) {
            if (e->kind == XCalenderElement::Day && e->date == CalendarDate{2020, 1, 14})
                QTest::mouseClick(&editor.Calendar(), Qt::LeftButton, {}, e->Rect().center());
        }
    });
    QTest::mouseClick(client, Qt::LeftButton, {}, editor.CalendarButton().center());
    const QTime after = QTime::currentTime();
    const QString text = QString::fromStdWString(editor.Edit().Text());
    ASSERT_TRUE(text.startsWith(QStringLiteral("2020-01-14 "))) << text.toStdString();
    const QTime time = QTime::fromString(text.mid(11), QStringLiteral("hh:mm:ss"));
    ASSERT_TRUE(time.isValid()) << text.toStdString();
    // Neither midnight nor the time the field held: the calendar's (now).
    EXPECT_GE(time, QTime(before.hour(), before.minute(), before.second())) << text.toStdString();
    EXPECT_LE(time, after) << text.toStdString();
}

// What the input method asks of the page as a clerk moves through it: whether to
// compose (a text field, framed or open; never a check box) and where the caret is;
// the text being composed shows in the field and is not stored until committed.
TEST_F(PageWindowTest, TheInputMethodComposesOnTextFieldsAtTheCaretAndShowsThePreedit)
{
    DoxPageClient* client = Open(page_);
    ASSERT_NE(client, nullptr);
    auto ask = [&](Qt::InputMethodQuery query) {
        QInputMethodQueryEvent event(query);
        QCoreApplication::sendEvent(client, &event);
        return event.value(query);
    };
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), payee_);
    QTest::keyClick(client, Qt::Key_Escape);
    ASSERT_FALSE(client->Editor().IsShown());
    EXPECT_TRUE(ask(Qt::ImEnabled).toBool()) << "a framed text field takes compositions";

    // The composition opens the editor; the preedit shows over the caret, underlined,
    // and the candidates go after its own caret.
    QInputMethodEvent preedit(QStringLiteral("zhong"), {{QInputMethodEvent::Cursor, 5, 1, QVariant()}});
    QCoreApplication::sendEvent(client, &preedit);
    ASSERT_EQ(window_->IsEditing(), 1);
    const QRect caret = client->Editor().CaretRect();
    const QRect cursor = ask(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(cursor.top(), caret.top());
    EXPECT_GT(cursor.left(), caret.left() + 10) << "the candidates would cover the composed text";
    const QRect editor(client->Editor().Rect().left, client->Editor().Rect().top,
                       client->Editor().Rect().right - client->Editor().Rect().left,
                       client->Editor().Rect().bottom - client->Editor().Rect().top);
    EXPECT_TRUE(editor.contains(cursor.center()));
    const QImage shot = client->grab().toImage();
    EXPECT_GT(CountNear(shot, QRect(caret.left(), caret.top(), cursor.left() - caret.left(), caret.height()),
                        QColor(0, 0, 0), 80),
              10)
        << "the composed text is not shown";
    EXPECT_EQ(client->Editor().Edit().Text(), L"");

    Commit(client, QStringLiteral("中"));
    EXPECT_EQ(client->Editor().Edit().Text(), L"中");
    EXPECT_EQ(ask(Qt::ImCursorRectangle).toRect(), client->Editor().CaretRect());
    QTest::keyClick(client, Qt::Key_Tab);
    EXPECT_EQ(Stored(L"主表.收款人"), L"中");

    // On the check box nothing composes, framed or open.
    QTest::keyClick(client, Qt::Key_Tab);
    ASSERT_EQ(Current(client), check_);
    EXPECT_FALSE(ask(Qt::ImEnabled).toBool());
    QTest::keyClick(client, Qt::Key_Escape);
    EXPECT_FALSE(ask(Qt::ImEnabled).toBool());
}
