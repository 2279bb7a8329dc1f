// The fill-in window with a person's keys on a real X server: held keys repeat, and
// the program's accelerators meet a field that has the keyboard.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTest>

#include <optional>

#include "DoxCheckControl.h"
#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "TestSupport.h"
#include "XServer.h"

using namespace doxtest;

namespace
{

constexpr uint32_t kVisible = 0x10000000;

class PageWindowX : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DOX_REQUIRE_XSERVER();
        home_.emplace("HOME", dir_.path().string());
        config_.emplace("XDG_CONFIG_HOME", (dir_ / ".config").string());
        core_ = CreateDoxCore(500, 0);
        ASSERT_NE(core_, nullptr);
        const std::wstring db = (dir_ / "bills.db").wstring();
        document_ = core_->CreateConnection(db.c_str(), L"支票", 2100, 700);
        ASSERT_NE(document_, nullptr) << core_->GetLastErrorText();
        page_ = document_->GetPage(0);
        DoxLayer* layer = static_cast<DoxPage*>(page_)->GetLayer(0);
        payee_ = AddEdit(layer, {150, -120, 1150, -200}, L"收款人", L"文本", 1);
        date_ = AddEdit(layer, {150, -260, 750, -340}, L"出票日期", L"日期", 2);
        RECT tick{1250, -120, 1330, -200};
        check_ = static_cast<DoxCheckControl*>(layer->CreateControl(DoxKindCheck, &tick));
        ASSERT_NE(check_, nullptr);
        EXPECT_TRUE(check_->DataAttribute().FieldName().SetValueText(L"加急"));
        EXPECT_TRUE(check_->DataAttribute().FieldType().SetValueText(L"文本"));
        EXPECT_TRUE(check_->CheckValue().Param().SetValueText(L"是"));
        check_->SetTabIndex(3);
        RECT receipt{1400, -120, 1480, -200};
        receipt_ = static_cast<DoxCheckControl*>(layer->CreateControl(DoxKindCheck, &receipt));
        ASSERT_NE(receipt_, nullptr);
        EXPECT_TRUE(receipt_->DataAttribute().FieldName().SetValueText(L"回单"));
        EXPECT_TRUE(receipt_->DataAttribute().FieldType().SetValueText(L"文本"));
        EXPECT_TRUE(receipt_->CheckValue().Param().SetValueText(L"要"));
        receipt_->SetTabIndex(4);
        page_->ViewAllLayers();

        const QRect rect(0, 0, 800, 300);
        window_ = core_->CreatePageWindow(page_, kVisible, &rect, nullptr, 1);
        ASSERT_NE(window_, nullptr) << core_->GetLastErrorText();
        outer_ = window_->GetHwnd();
        ASSERT_TRUE(ShowAndActivate(outer_));
        client_ = dynamic_cast<DoxPageClient*>(window_);
        ASSERT_NE(client_, nullptr);
        client_->setFocus();
        ASSERT_TRUE(WaitFor([this] { return client_->hasFocus(); }));
    }
    void TearDown() override
    {
        if (window_)
            window_->Release();
        if (document_)
            document_->Release();
        if (core_)
            core_->Release();
    }

    DoxEditControl* AddEdit(DoxLayer* layer, RECT rect, const wchar_t* field, const wchar_t* type, int order)
    {
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        EXPECT_NE(edit, nullptr);
        EXPECT_TRUE(edit->DataAttribute().FieldName().SetValueText(field));
        EXPECT_TRUE(edit->DataAttribute().FieldType().SetValueText(type));
        EXPECT_TRUE(edit->Font().FaceName().SetValueText(L"宋体"));
        EXPECT_TRUE(edit->Font().Size().SetValueText(L"12"));
        edit->SetTabIndex(order);
        return edit;
    }

    // The middle of a field on the screen.
    QPoint Centre(DoxControl* field)
    {
        RECT r;
        field->GetRect(&r);
        const RECT px = client_->ToPixels(r);
        return client_->mapToGlobal(QPoint((px.left + px.right) / 2, (px.top + px.bottom) / 2));
    }

    std::wstring Stored(const wchar_t* field)
    {
        IDoxValue* value = page_->GetFieldValue(field, 0);
        return value && value->GetType() ? value->GetText() : L"";
    }

    DoxControl* Current()
    {
        DoxControlBase* field = client_->Runner().GetCurrentField();
        return field ? field->GetControl() : nullptr;
    }

    // Tabs until the field has the editor.
    void TabTo(DoxControl* field)
    {
        for (int i = 0; i < 5 && Current() != field; ++i)
            xinput::Chord({"Tab"});
        ASSERT_EQ(Current(), field);
        if (!client_->Editor().IsShown())
            xinput::Chord({"Return"});
        ASSERT_TRUE(client_->Editor().IsShown());
    }

    TempDir dir_;
    std::optional<ScopedEnv> home_;
    std::optional<ScopedEnv> config_;
    IDoxCore* core_ = nullptr;
    IDoxDocument* document_ = nullptr;
    IDoxPage* page_ = nullptr;
    IDoxPageWindow* window_ = nullptr;
    QWidget* outer_ = nullptr;
    DoxPageClient* client_ = nullptr;
    DoxEditControl* payee_ = nullptr;
    DoxEditControl* date_ = nullptr;
    DoxCheckControl* check_ = nullptr;
    DoxCheckControl* receipt_ = nullptr;
};

TEST_F(PageWindowX, HeldSpaceOnACheckFieldTicksOnce)
{
    TabTo(check_);
    int presses = 0;
    int releases = 0;
    struct Counter : QObject {
        int* presses;
        int* releases;
        Counter(int* p, int* r) : presses(p), releases(r) {}
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space)
                ++*presses;
            if (e->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Space)
                ++*releases;
            return false;
        }
    } counter(&presses, &releases);
    client_->installEventFilter(&counter);
    // Three holds of different lengths: each one flips the box once.
    bool ticked = false;
    int holds = 0;
    for (int ms : {600, 750, 900}) {
        xinput::Hold("space", ms);
        ++holds;
        ASSERT_TRUE(WaitFor([&] { return releases >= holds; })) << "the release of hold " << holds << " never came";
        ticked = !ticked;
        EXPECT_EQ(check_->IsTicked(), ticked) << "after holding " << ms << " ms";
        EXPECT_EQ(Stored(L"主表.加急"), ticked ? L"是" : L"");
    }
    EXPECT_GT(presses, holds + 3) << "the server did not repeat the held key";
    // The server sends a held key as presses and one release: no release of a repeat
    // is left for the page to tell from a real one.
    EXPECT_EQ(releases, holds);
    client_->removeEventFilter(&counter);
}

// Space ticks one box and the clerk at once clicks the next one, which ticks it: the
// release of Space belongs to the first box, however soon the click comes.
TEST_F(PageWindowX, SpaceThenAQuickClickOnAnotherBoxTicksEach)
{
    TabTo(check_);
    xinput::Press("space");
    xinput::Release("space");
    xinput::Click(Centre(receipt_));
    ASSERT_TRUE(WaitFor([&] { return Current() == receipt_; }));
    EXPECT_TRUE(check_->IsTicked());
    EXPECT_EQ(Stored(L"主表.加急"), L"是");
    EXPECT_TRUE(receipt_->IsTicked());
    EXPECT_EQ(Stored(L"主表.回单"), L"要");

    // Space held while the mouse goes back to the first box: the click ends the hold
    // and clears that box, and the late release of Space flips nothing.
    xinput::Press("space");
    xinput::Settle();
    xinput::Click(Centre(check_));
    ASSERT_TRUE(WaitFor([&] { return Current() == check_; }));
    xinput::Release("space");
    xinput::Settle();
    EXPECT_FALSE(check_->IsTicked());
    EXPECT_EQ(Stored(L"主表.加急"), L"");
    EXPECT_TRUE(receipt_->IsTicked());
}

TEST_F(PageWindowX, ProgramAcceleratorsReachTheProgramWhileAFieldEdits)
{
    struct Binding {
        const char* name;
        QKeySequence keys;
        std::initializer_list<const char*> chord;
        int fired = 0;
    } bindings[] = {
        {"paste", QKeySequence(Qt::SHIFT | Qt::Key_Insert), {"Shift_L", "Insert"}},
        {"cut", QKeySequence(Qt::SHIFT | Qt::Key_Delete), {"Shift_L", "Delete"}},
        {"next pane", QKeySequence(Qt::Key_F6), {"F6"}},
        {"previous pane", QKeySequence(Qt::SHIFT | Qt::Key_F6), {"Shift_L", "F6"}},
    };
    for (Binding& b : bindings) {
        auto* action = new QAction(outer_);
        action->setShortcut(b.keys);
        QObject::connect(action, &QAction::triggered, [&b] { ++b.fired; });
        outer_->addAction(action);
    }
    TabTo(payee_);
    xinput::Type("abc");
    ASSERT_NE(window_->IsEditing(), 0);
    for (Binding& b : bindings) {
        xinput::Chord(b.chord);
        EXPECT_EQ(b.fired, 1) << b.name;
    }
    // The field kept what was typed: the host's cut did not run here, so Shift+Delete
    // did not delete a selection without copying it.
    EXPECT_EQ(client_->Editor().Edit().Text(), L"abc");
}

TEST_F(PageWindowX, WithoutAHostShiftDeleteCutsAndShiftInsertPastes)
{
    TabTo(payee_);
    xinput::Type("abc");
    xinput::Chord({"Shift_L", "Home"});
    xinput::Chord({"Shift_L", "Delete"});
    EXPECT_EQ(client_->Editor().Edit().Text(), L"");
    xinput::Chord({"Shift_L", "Insert"});
    xinput::Chord({"Shift_L", "Insert"});
    EXPECT_EQ(client_->Editor().Edit().Text(), L"abcabc");
    xinput::Chord({"Control_L", "a"});
    xinput::Type("x");
    EXPECT_EQ(client_->Editor().Edit().Text(), L"x");
}

} // namespace
