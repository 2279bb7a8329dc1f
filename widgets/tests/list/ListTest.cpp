// The owner-drawn list with real rows, driven by QTest input on the offscreen
// platform: anchoring, deferred deletion of a row from its own click, type-ahead,
// header sorting, selection across deletions, icon-layout moves and keys on rows.

#include "InPlaceEdit.h"
#include "MyList.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

using brindle::MakeRect;
using brindle::RectEqual;

namespace
{

// A row with a label and a button at its right end; the button's click runs a
// callback (a program deleting rows from a click).
class TextRow : public MyWidContainer, public IMyWidEventSink
{
public:
    explicit TextRow(const wchar_t* text, int height = 20) : label_(text), height_(height) {}
    ~TextRow() override
    {
        if (alive_)
            *alive_ = false;
    }

    SIZE GetDimension() const override { return SIZE{100, height_}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        label_.Initialize(this, MakeRect(4, 0, -30, 0), 1);
        button_.Initialize(this, MakeRect(-24, 2, -4, -2), 2);
        button_.SetEventSink(this);
    }
    bool OnCompare(MyWidContainer* other, int, bool ascending) override
    {
        int cmp = std::wcscmp(label_.GetText(), static_cast<TextRow*>(other)->label_.GetText());
        return ascending ? cmp < 0 : cmp > 0;
    }
    void OnWid_Click(unsigned int id) override
    {
        ++clicks;
        if (onClick)
            onClick(id);
    }
    void OnWid_KeyReturn(unsigned int) override { ++keyReturns; }

    std::wstring Text() const { return label_.GetText(); }
    MyWidLable& Label() { return label_; }
    MyWidButton& Button() { return button_; }
    void WatchLife(bool* alive) { alive_ = alive; }

    std::function<void(unsigned)> onClick;
    int clicks = 0;
    int keyReturns = 0;

private:
    MyWidLable label_;
    MyWidButton button_;
    int height_;
    bool* alive_ = nullptr;
};

class ListTest : public testing::Test
{
protected:
    void Make(unsigned style, int width = 200, int height = 300)
    {
        list.Create(style | 0x10000000u, MakeRect(0, 0, width, height), nullptr, 100);
        list.show();
        list.activateWindow();
        list.setFocus();
        QApplication::processEvents();
    }
    TextRow* Add(const wchar_t* text)
    {
        auto* row = new TextRow(text);
        list.AddItem(row);
        return row;
    }
    QPoint Centre(int index)
    {
        RECT r;
        EXPECT_TRUE(list.GetItemRect(index, &r));
        return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    std::vector<std::wstring> Texts()
    {
        std::vector<std::wstring> out;
        for (int i = 0; i < list.GetCount(); ++i)
            out.push_back(static_cast<TextRow*>(list.GetItem(i))->Text());
        return out;
    }

    MyList list;
};

TEST_F(ListTest, AnchoredWidgetsSitInTheirRow)
{
    Make(0, 200);
    TextRow* row = Add(L"first");
    RECT rowRect;
    ASSERT_TRUE(list.GetItemRect(0, &rowRect));
    EXPECT_TRUE(RectEqual(rowRect, MakeRect(0, 0, 200, 20)));
    RECT label;
    row->Label().GetRealRect(rowRect, label);
    EXPECT_TRUE(RectEqual(label, MakeRect(4, 0, 170, 20)));
    RECT button;
    row->Button().GetRealRect(rowRect, button);
    EXPECT_TRUE(RectEqual(button, MakeRect(176, 2, 196, 18)));

    // The button takes clicks inside its real rectangle only.
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(172, 10));
    EXPECT_EQ(0, row->clicks);
    QTest::mouseClick(&list, Qt::LeftButton, {}, QPoint(186, 10));
    EXPECT_EQ(1, row->clicks);

    // Widened, the list moves the right-anchored button with its edge.
    list.resize(300, 300);
    ASSERT_TRUE(list.GetItemRect(0, &rowRect));
    row->Button().GetRealRect(rowRect, button);
    EXPECT_EQ(276, button.left);
}

TEST_F(ListTest, ARowDeletedFromItsOwnClickGoesOnlyAfterTheClick)
{
    Make(0);
    Add(L"zero");
    TextRow* doomed = Add(L"one");
    Add(L"two");
    bool alive = true;
    doomed->WatchLife(&alive);
    bool aliveDuringHandler = false;
    doomed->onClick = [&](unsigned) {
        list.DeleteItem(doomed);
        // Still readable here: the row is only marked while its handler runs.
        aliveDuringHandler = alive && doomed->IsReleased();
    };
    QTest::mouseClick(&list, Qt::LeftButton, {}, Centre(1) + QPoint(85, 0));
    EXPECT_TRUE(aliveDuringHandler);
    EXPECT_FALSE(alive);
    EXPECT_EQ((std::vector<std::wstring>{L"zero", L"two"}), Texts());

    // A click that empties the whole list from a row's button.
    static_cast<TextRow*>(list.GetItem(0))->onClick = [&](unsigned) { list.DeleteAllItems(); };
    QTest::mouseClick(&list, Qt::LeftButton, {}, Centre(0) + QPoint(85, 0));
    EXPECT_EQ(0, list.GetCount());
    EXPECT_EQ(-1, list.GetCurSel());
}

TEST_F(ListTest, HoldsNestSoTheOutermostHandlerDeletes)
{
    Make(0);
    TextRow* row = Add(L"row");
    bool alive = true;
    row->WatchLife(&alive);
    row->SetReleasable(0);
    row->SetReleasable(0);
    list.DeleteItem(0);
    row->SetReleasable(1);
    EXPECT_TRUE(alive);
    row->SetReleasable(1);
    EXPECT_FALSE(alive);
}

TEST_F(ListTest, TypeAheadFindsTheFirstRowContainingTheKeysWithinASecond)
{
    Make(0);
    for (const wchar_t* text : {L"alpha", L"Bravo", L"cab", L"xAbY", L"bbb"})
        Add(text);
    QTest::keyClick(&list, Qt::Key_A);
    EXPECT_EQ(0, list.GetCurSel());
    QTest::keyClick(&list, Qt::Key_B);
    EXPECT_EQ(2, list.GetCurSel()); // "cab": the first row holding "ab" in any case
    EXPECT_EQ(L"AB", list.FindBuffer());

    // A second after the first key the buffer is empty and "B" starts anew.
    QTest::qWait(1150);
    EXPECT_TRUE(list.FindBuffer().empty());
    QTest::keyClick(&list, Qt::Key_B);
    EXPECT_EQ(1, list.GetCurSel());
}

TEST_F(ListTest, HeaderClicksSortAscendingDescendingAscending)
{
    Make(kListHeader);
    for (const wchar_t* text : {L"m", L"c", L"x", L"a"})
        Add(text);
    list.AddHeaderCol(L"名称", MakeRect(0, 0, 120, 0), kWidTextFormat, 1);
    list.SetCurSel(2); // "x"
    MyHeader* header = list.GetMyHeader();
    ASSERT_NE(nullptr, header);
    QPoint title(60, 10);
    struct Step {
        std::vector<std::wstring> order;
        int status;
    } steps[] = {
        {{L"a", L"c", L"m", L"x"}, 1},
        {{L"x", L"m", L"c", L"a"}, 2},
        {{L"a", L"c", L"m", L"x"}, 1},
    };
    for (const Step& step : steps) {
        QTest::mouseClick(header, Qt::LeftButton, {}, title);
        EXPECT_EQ(step.order, Texts());
        EXPECT_EQ(step.status, header->Row().Column(0)->GetStatus());
        // The selection follows its row.
        EXPECT_EQ(L"x", static_cast<TextRow*>(list.GetItem(list.GetCurSel()))->Text());
    }
}

TEST_F(ListTest, DeletingRowsKeepsTheSelectionOnItsRow)
{
    Make(0);
    for (const wchar_t* text : {L"0", L"1", L"2", L"3", L"4"})
        Add(text);
    list.SetCurSel(3);
    MyWidContainer* selected = list.GetItem(3);
    list.DeleteItem(1); // above the selection
    EXPECT_EQ(2, list.GetCurSel());
    EXPECT_EQ(selected, list.GetItem(list.GetCurSel()));
    list.DeleteItemFast(0);
    EXPECT_EQ(selected, list.GetItem(list.GetCurSel()));
    list.DeleteItem(2); // below: nothing moves
    EXPECT_EQ(selected, list.GetItem(list.GetCurSel()));

    // Deleting the selected last row selects the new last row; the only row, none.
    list.DeleteItem(list.GetCurSel());
    ASSERT_EQ(1, list.GetCount());
    EXPECT_EQ(0, list.GetCurSel());
    list.DeleteItem(0);
    EXPECT_EQ(-1, list.GetCurSel());
}

TEST_F(ListTest, IconLayoutMovesByTheCellsOfALine)
{
    // 100 px wide rows area: three 32 px cells per line.
    Make(kListIconLayout, 100, 400);
    for (int i = 0; i < 10; ++i)
        Add(L"icon");
    RECT fourth;
    ASSERT_TRUE(list.GetItemRect(3, &fourth));
    EXPECT_TRUE(RectEqual(fourth, MakeRect(0, 32, 32, 64)));
    list.SetCurSel(4);
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(7, list.GetCurSel());
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(9, list.GetCurSel()); // the last line holds one cell
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(6, list.GetCurSel());
    QTest::keyClick(&list, Qt::Key_Right);
    EXPECT_EQ(7, list.GetCurSel());
    QTest::keyClick(&list, Qt::Key_Left);
    EXPECT_EQ(6, list.GetCurSel());
}

TEST_F(ListTest, EnterHeldOnAButtonReportsOnceAtKeyUp)
{
    Make(0);
    TextRow* row = Add(L"row");
    list.SetCurSel(0);
    // Tab moves the row's focus from the label to the button.
    QTest::keyClick(&list, Qt::Key_Tab);
    EXPECT_EQ(&row->Button(), row->GetFoucsObject());
    QTest::keyPress(&list, Qt::Key_Return);
    QTest::keyPress(&list, Qt::Key_Return); // auto-repeat
    QTest::keyPress(&list, Qt::Key_Return);
    EXPECT_TRUE(row->Button().IsPressedLook());
    EXPECT_EQ(0, row->keyReturns);
    QTest::keyRelease(&list, Qt::Key_Return);
    EXPECT_EQ(1, row->keyReturns);
    EXPECT_FALSE(row->Button().IsPressedLook());
}

TEST_F(ListTest, TabOnARowWithoutFocusableWidgetsLeavesNoFocusObject)
{
    Make(0);
    TextRow* row = Add(L"row");
    row->Label().Enable(0);
    row->Button().SetCanFocus(0);
    row->SetFocusObject(nullptr);
    list.SetCurSel(0);
    QTest::keyClick(&list, Qt::Key_Tab);
    QTest::keyClick(&list, Qt::Key_Backtab);
    EXPECT_EQ(nullptr, row->GetFoucsObject());
    QApplication::processEvents(); // the repaint of the row meets no focus widget
}

TEST_F(ListTest, FilterHidesRowsAndF2ShowsTheBox)
{
    Make(kListFilter);
    for (const wchar_t* text : {L"apple", L"banana", L"cherry"})
        Add(text);
    list.SetCurSel(0);
    list.OnFilter_Char(L"an");
    EXPECT_FALSE(list.GetItem(0)->IsVisiable());
    EXPECT_EQ(1, list.GetCurSel()); // the first row still shown
    list.OnFilter_Char(L"");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(list.GetItem(i)->IsVisiable());

    // F2 shows the filter box and moves the rows down 20 px.
    RECT before;
    list.GetClientRect(&before);
    QTest::keyClick(&list, Qt::Key_F2);
    RECT after;
    list.GetClientRect(&after);
    EXPECT_EQ(before.top + 20, after.top);
}

TEST_F(ListTest, GroupRowsHideAndShowTheirDescendants)
{
    Make(0);
    const unsigned none = 0xFFFFFFFF;
    struct Entry {
        const wchar_t* text;
        unsigned id;
        unsigned parent;
        bool underFirst;
    } entries[] = {
        {L"group 1", 1, none, false}, {L"child a", none, 1, true}, {L"sub 2", 2, 1, true},
        {L"grandchild", none, 2, true}, {L"child b", none, 1, true}, {L"group 3", 3, none, false},
        {L"child c", none, 3, false},
    };
    for (const Entry& e : entries)
        list.AddItem(new TextRow(e.text), 1, e.id, e.parent);
    list.ShowChildItems(1, 0);
    for (int i = 0; i < list.GetCount(); ++i)
        EXPECT_EQ(!entries[i].underFirst, list.GetItem(i)->IsVisiable() != 0) << i;
    list.ShowChildItems(1, 1);
    for (int i = 0; i < list.GetCount(); ++i)
        EXPECT_TRUE(list.GetItem(i)->IsVisiable()) << i;
    EXPECT_EQ(list.GetItem(5), list.GetItemFromID(3));
}

TEST(InPlaceEditRules, EndingRulesOverMessages)
{
    QWidget host;
    QLineEdit editor(&host);
    QWidget other;
    plat::PopupView view;
    view.popup = &editor;
    view.serial = 9;
    auto message = [](QWidget* window, uint32_t id, uint64_t wParam = 0, uint32_t keyState = 0) {
        plat::Message m;
        m.window = window;
        m.message = id;
        m.wParam = wParam;
        m.keyState = keyState;
        return m;
    };
    using plat::PopupAction;
    struct Case {
        plat::Message msg;
        bool scrolled;
        bool focusOnEditor;
        PopupAction action;
        int result;
    } cases[] = {
        {message(&editor, plat::WM_KEYDOWN, plat::VK_RETURN), false, true, PopupAction::End, 1},
        {message(&editor, plat::WM_KEYDOWN, plat::VK_TAB), false, true, PopupAction::End, 1},
        {message(&editor, plat::WM_KEYDOWN, plat::VK_EXECUTE), false, true, PopupAction::End, 1},
        {message(&editor, plat::WM_KEYDOWN, plat::VK_ESCAPE), false, true, PopupAction::End, 0},
        {message(&editor, plat::WM_KEYDOWN, plat::VK_SPACE, plat::MK_CONTROL), false, true, PopupAction::Drop, 0},
        {message(&editor, plat::WM_KEYDOWN, 'A'), false, true, PopupAction::Deliver, 0},
        {message(&editor, plat::WM_LBUTTONDOWN), false, true, PopupAction::Deliver, 0},
        {message(&other, plat::WM_LBUTTONDOWN), false, true, PopupAction::EndLeaveQueued, 1},
        {message(&other, plat::WM_RBUTTONDOWN), false, true, PopupAction::EndLeaveQueued, 1},
        {message(&editor, plat::WM_MOUSEWHEEL), false, true, PopupAction::Deliver, 0},
        {message(&editor, plat::WM_MOUSEWHEEL), false, false, PopupAction::End, 1},
        {message(&other, plat::WM_MOUSEMOVE), true, true, PopupAction::EndLeaveQueued, 1},
        {message(nullptr, plat::WM_QUIT), false, true, PopupAction::EndLeaveQueued, 0},
    };
    for (const Case& c : cases) {
        plat::PopupDecision d = DecideInPlaceEdit(c.msg, view, c.scrolled, c.focusOnEditor);
        EXPECT_EQ(c.action, d.action) << c.msg.message << " " << c.msg.wParam;
        EXPECT_EQ(c.result, d.result) << c.msg.message << " " << c.msg.wParam;
    }
}

class EditableRow : public TextRow
{
public:
    EditableRow() : TextRow(L"old") {}
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        TextRow::OnInitialize(depot);
        Label().SetReadOnly(0, &changes);
    }
    struct Changes : IMyWidEventSink {
        void OnWid_Changed(unsigned int) override { ++count; }
        int count = 0;
    } changes;
};

TEST_F(ListTest, InPlaceEditCommitsOnEnterAndOnFocusLossAndCancelsOnEsc)
{
    Make(0);
    auto* row = new EditableRow;
    list.AddItem(row);
    QPoint onLabel = Centre(0) - QPoint(40, 0);
    auto typeThen = [&](const QString& text, std::function<void(QWidget*)> finish) {
        QTimer::singleShot(0, [=, this] {
            QWidget* editor = QApplication::focusWidget();
            ASSERT_TRUE(editor && editor->parentWidget() == &list);
            auto* line = qobject_cast<QLineEdit*>(editor);
            ASSERT_NE(nullptr, line);
            line->selectAll();
            QTest::keyClicks(line, text);
            finish(line);
        });
    };
    typeThen("new", [](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Return); });
    QTest::mouseClick(&list, Qt::LeftButton, {}, onLabel);
    EXPECT_EQ(L"new", row->Text());
    EXPECT_EQ(1, row->changes.count);

    typeThen("gone", [](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); });
    QTest::mouseClick(&list, Qt::LeftButton, {}, onLabel);
    EXPECT_EQ(L"new", row->Text());
    EXPECT_EQ(1, row->changes.count);

    // The editor losing the focus commits its text.
    QLineEdit elsewhere;
    elsewhere.show();
    typeThen("kept", [&](QWidget*) { elsewhere.setFocus(); });
    QTest::mouseClick(&list, Qt::LeftButton, {}, onLabel);
    EXPECT_EQ(L"kept", row->Text());
    EXPECT_EQ(2, row->changes.count);

    // So does the list scrolling under it (the wheel turned over the list).
    list.activateWindow();
    list.setFocus();
    QApplication::processEvents();
    typeThen("wheeled", [&](QWidget*) {
        QWheelEvent wheel(QPointF(50, 50), list.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&list, &wheel);
    });
    QTest::mouseClick(&list, Qt::LeftButton, {}, onLabel);
    EXPECT_EQ(L"wheeled", row->Text());
    EXPECT_EQ(3, row->changes.count);
}

TEST_F(ListTest, HoverClearsWhenTheMouseLeaves)
{
    Make(0);
    TextRow* row = Add(L"row");
    QPoint onButton = Centre(0) + QPoint(85, 0);
    QTest::mouseMove(&list, onButton);
    QMouseEvent move(QEvent::MouseMove, onButton, list.mapToGlobal(onButton), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&list, &move);
    EXPECT_TRUE(row->Button().IsHover());
    EXPECT_TRUE(row->IsHover());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&list, &leave);
    EXPECT_FALSE(row->Button().IsHover());
    EXPECT_FALSE(row->IsHover());
}

} // namespace

TEST_F(ListTest, SmallWheelTurnsAddUpAndTouchpadPixelsScroll)
{
    Make(0, 200, 100);
    for (int i = 0; i < 40; ++i)
        Add(L"行");
    list.Update();
    QApplication::processEvents();
    ASSERT_TRUE(list.IsScrollBarShown());
    auto wheel = [&](QPoint pixels, int angle) {
        QWheelEvent e(QPointF(50, 50), list.mapToGlobal(QPointF(50, 50)), pixels, QPoint(0, angle), Qt::NoButton, {},
                      pixels.isNull() ? Qt::NoScrollPhase : Qt::ScrollUpdate, false);
        QApplication::sendEvent(&list, &e);
    };
    wheel({}, -120);
    const int notch = list.GetScrollPos();
    ASSERT_GT(notch, 0);
    // Eight turns of 15, as a high-resolution wheel sends them, make one notch more.
    for (int i = 0; i < 8; ++i)
        wheel({}, -15);
    EXPECT_EQ(list.GetScrollPos(), 2 * notch);
    wheel({0, -5}, -15);
    EXPECT_EQ(list.GetScrollPos(), 2 * notch + 5);
}
