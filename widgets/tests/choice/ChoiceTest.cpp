// The drop-down choice list and the combo box widget, opened for real on the
// offscreen platform and driven with QTest keys and mouse.

#include "MyList.h"
#include "MyWidComboBox.h"
#include "WidGeometry.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

using brindle::MakeRect;

namespace
{

class ChoiceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        opener.setGeometry(100, 100, 200, 24);
        opener.show();
        opener.activateWindow();
        opener.setFocus();
        QApplication::processEvents();
    }
    // Opens the list under `at` (screen coordinates); `during` runs inside its loop.
    KPWR Open(MyChoiceWindow& list, QRect at, std::function<void()> during)
    {
        QTimer::singleShot(0, [&list, during] {
            EXPECT_TRUE(list.IsOpen());
            during();
        });
        RECT blind = MakeRect(at.left(), at.top(), at.right() + 1, at.bottom() + 1);
        return list.TrackPopWindow(at.x(), at.y(), at.width(), at.height(), &opener, blind, nullptr);
    }

    QWidget opener;
};

TEST_F(ChoiceTest, AHundredItemsOpenAtTheMaximumHeightAndALetterSelects)
{
    MyChoiceWindow list;
    for (int i = 0; i < 98; ++i)
        list.AddItem(QString("item %1").arg(i).toStdWString().c_str(), i);
    list.AddItem(L"about", 98);
    list.AddItem(L"Banana", 99);
    int height = 0;
    bool barShown = false;
    KPWR result = Open(list, QRect(100, 100, 200, 24), [&] {
        height = list.height();
        barShown = list.IsVScrollBarEnabled() != 0;
        // Letters reach the list although the opener keeps the keyboard.
        QTest::keyClick(&opener, Qt::Key_B);
        EXPECT_EQ(99, list.GetCurSel()); // begins with "b", in either case
        QTest::keyClick(&opener, Qt::Key_Return);
    });
    EXPECT_EQ(KPWR_OK, result);
    EXPECT_EQ(400, height);
    EXPECT_TRUE(barShown);
    EXPECT_EQ(99, list.GetCurSel());
    EXPECT_FALSE(list.IsOpen());
}

TEST_F(ChoiceTest, AShortListIsAsHighAsItsItemsAndOpensAboveNearTheBottom)
{
    MyChoiceWindow list;
    for (const wchar_t* text : {L"one", L"two", L"three"})
        list.AddItem(text, 0);
    QRect below;
    Open(list, QRect(100, 100, 150, 24), [&] {
        below = list.geometry();
        QTest::keyClick(&opener, Qt::Key_Escape);
    });
    EXPECT_EQ(3 * list.ItemHeight() + 2, below.height());
    EXPECT_EQ(124, below.top());
    EXPECT_EQ(150, below.width());

    int bottom = QGuiApplication::primaryScreen()->availableGeometry().bottom() + 1;
    QRect above;
    KPWR result = Open(list, QRect(100, bottom - 30, 150, 24), [&] {
        above = list.geometry();
        QTest::keyClick(&opener, Qt::Key_Escape);
    });
    EXPECT_EQ(KPWR_CANCEL, result);
    EXPECT_EQ(bottom - 30, above.bottom() + 1);
}

TEST_F(ChoiceTest, KeysWrapAndTheSelectionStaysValid)
{
    MyChoiceWindow list;
    EXPECT_EQ(KPWR_CANCEL, list.TrackPopWindow(0, 0, 10, 10, &opener, RECT(), nullptr));
    for (const wchar_t* text : {L"a", L"b", L"c"})
        list.AddItem(text, 0);
    EXPECT_EQ(-1, list.SetCurSel(2));
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(0, list.GetCurSel()); // Down on the last item wraps to the first
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(2, list.GetCurSel());
    EXPECT_EQ(2, list.SetCurSel(7)); // out of range: kept
    EXPECT_EQ(2, list.GetCurSel());
    list.RemoveAll();
    EXPECT_EQ(-1, list.GetCurSel());
    std::wstring text;
    EXPECT_EQ(0, list.GetItemText(0, text));
}

TEST_F(ChoiceTest, TheListOutlivesTheWindowThatOpenedIt)
{
    // The list belongs to its owner object; deleting the window it opened over must
    // not delete it too (the sanitizers watch the second deletion), neither after the
    // list closed nor while it is open (which ends the list without a choice).
    for (const bool whileOpen : {false, true}) {
        SCOPED_TRACE(whileOpen ? "while open" : "after closing");
        MyChoiceWindow list;
        list.AddItem(L"only", 1);
        auto* window = new QWidget;
        window->setGeometry(50, 50, 100, 30);
        window->show();
        QApplication::processEvents();
        QTimer::singleShot(0, [window, whileOpen] {
            if (whileOpen)
                delete window;
            else
                QTest::keyClick(window, Qt::Key_Escape);
        });
        EXPECT_EQ(KPWR_CANCEL, list.TrackPopWindow(50, 50, 100, 30, window, RECT(), nullptr));
        if (!whileOpen)
            delete window;
        EXPECT_EQ(1, list.GetCount());
        EXPECT_FALSE(list.IsOpen());
    }
}

// A row with one combo box filling it.
class ComboRow : public MyWidContainer, public IMyWidEventSink
{
public:
    SIZE GetDimension() const override { return SIZE{100, 22}; }
    void OnInitialize(IMyWidContainerDepot* depot) override
    {
        MyWidContainer::OnInitialize(depot);
        combo.Initialize(this, MakeRect(0, 0, 0, 0), 7);
        combo.SetEventSink(this);
    }
    void OnWid_Changed(unsigned int) override { ++changes; }

    MyWidComboBox combo;
    int changes = 0;
};

TEST_F(ChoiceTest, DeletingTheListWhileAComboDropListIsOpenEndsIt)
{
    // The drop list is a member of the combo box, which is a row of the list it drops
    // from: deleting the list inside the drop list's loop deletes the combo box and
    // the drop list with it, once (the sanitizers watch the freeing), and the loop
    // ends without a choice.
    auto* list = new MyList;
    list->Create(WS_VISIBLE, MakeRect(0, 0, 200, 100), nullptr, 1);
    list->show();
    list->activateWindow();
    QApplication::processEvents();
    auto* row = new ComboRow;
    list->AddItem(row);
    row->combo.AddString(L"红", 0xFF);
    RECT rowRect;
    ASSERT_TRUE(list->GetItemRect(0, &rowRect));
    RECT real;
    row->combo.GetRealRect(rowRect, real);
    const QPointer<MyChoiceWindow> drop(&row->combo.ChoiceList());
    bool open = false;
    QTimer::singleShot(0, [&] {
        open = drop && drop->IsOpen() && drop->isVisible();
        delete list;
    });
    EXPECT_EQ(KPWR_CANCEL, row->combo.DoComboBox(real));
    EXPECT_TRUE(open);
    EXPECT_TRUE(drop.isNull());
}

TEST_F(ChoiceTest, ComboBoxTakesOnlyValidChoices)
{
    MyList list;
    list.Create(WS_VISIBLE, MakeRect(0, 0, 200, 100), nullptr, 1);
    list.show();
    list.activateWindow();
    QApplication::processEvents();
    auto* row = new ComboRow;
    list.AddItem(row);
    MyWidComboBox& combo = row->combo;

    // An empty combo has no selection, and no index outside the items is taken.
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ(-1, combo.SetCurSel(0));
    EXPECT_EQ(-1, combo.GetCurSel());
    combo.AddString(L"红", 0xFF);
    combo.AddString(L"绿", 0xFF00);
    EXPECT_EQ(-1, combo.SetCurSel(1));
    EXPECT_EQ(std::wstring(L"绿"), combo.GetText());
    EXPECT_EQ(1, combo.SetCurSel(5));
    EXPECT_EQ(std::wstring(L"绿"), combo.GetText());
    EXPECT_EQ(0xFF00ul, combo.GetItemData(1));
    EXPECT_EQ(0xFFFFFFFFul, combo.GetItemData(2));
    EXPECT_EQ(std::wstring(), combo.GetItemString(-1));

    // An editable combo whose typed text is no item: accepting the list without
    // choosing leaves the text alone.
    combo.SetEditable(1);
    combo.SetText(L"自定义");
    EXPECT_EQ(-1, combo.GetCurSel());
    RECT rowRect;
    ASSERT_TRUE(list.GetItemRect(0, &rowRect));
    RECT real;
    combo.GetRealRect(rowRect, real);
    QTimer::singleShot(0, [&] { QTest::keyClick(&list, Qt::Key_Return); });
    EXPECT_EQ(KPWR_OK, combo.DoComboBox(real));
    EXPECT_EQ(std::wstring(L"自定义"), combo.GetText());
    EXPECT_EQ(0, row->changes);

    // Choosing an item replaces the text and reports once.
    QTimer::singleShot(0, [&] {
        QTest::keyClick(&list, Qt::Key_Down);
        QTest::keyClick(&list, Qt::Key_Return);
    });
    EXPECT_EQ(KPWR_OK, combo.DoComboBox(real));
    EXPECT_EQ(std::wstring(L"红"), combo.GetText());
    EXPECT_EQ(0, combo.GetCurSel());
    EXPECT_EQ(1, row->changes);

    combo.RemoveAll();
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ(std::wstring(), combo.GetText());
}

} // namespace

// A long list of value formats as the property grid drops it: the keys that jump
// reach both ends and any entry, whatever its first character, and a wheel notch
// moves as many items as the desktop's lines per notch.
TEST_F(ChoiceTest, ALongListIsWalkedByHomeEndPagesTypingAndTheWheel)
{
    MyChoiceWindow list;
    for (int i = 0; i < 90; ++i)
        list.AddItem(QString("yyyy-%1").arg(i).toStdWString().c_str(), i);
    const int digits = list.AddItem(L"<数字>", 0);
    const int capital = list.AddItem(L"<中文大写金额>", 0);
    list.AddItem(L"<中文小写金额>", 0);
    const int last = list.AddItem(L"0.00", 0);
    list.SetCurSel(40);

    struct Step {
        const char* what;
        Qt::Key key;
        QString text;
        int selected;
    };
    int perPage = 0;
    int wheelRows = -1;
    Open(list, QRect(100, 100, 200, 24), [&] {
        perPage = (list.height() - 2) / list.ItemHeight();
        const Step steps[] = {
            {"Home", Qt::Key_Home, {}, 0},
            {"Page Down", Qt::Key_PageDown, {}, perPage},
            {"End", Qt::Key_End, {}, last},
            {"Page Up", Qt::Key_PageUp, {}, last - perPage},
            {"a sign", Qt::Key_Less, QStringLiteral("<"), digits},
            {"then a Chinese character", Qt::Key_unknown, QStringLiteral("中"), capital},
        };
        for (const Step& s : steps) {
            SCOPED_TRACE(s.what);
            QTest::sendKeyEvent(QTest::Click, &opener, s.key, s.text, Qt::NoModifier);
            EXPECT_EQ(list.GetCurSel(), s.selected);
        }
        QTest::keyClick(&opener, Qt::Key_Home);
        const int before = list.GetVScrollPos();
        QWheelEvent notch(QPointF(10, 10), list.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&list, &notch);
        wheelRows = (list.GetVScrollPos() - before) / list.ItemHeight();
        QTest::keyClick(&opener, Qt::Key_Escape);
    });
    EXPECT_GT(perPage, 1);
    EXPECT_EQ(wheelRows, MyScrollWindow::const_wheellines());
}
