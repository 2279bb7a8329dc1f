// The popup menu on real widgets, driven with QTest input while its loop runs: choosing
// by mouse, by arrows (wrapping, skipping separators) and by mnemonic; disabled items
// never chosen; opening above the point near the bottom of the screen; and a picture of
// an open menu.

#include "Capabilities.h"
#include "SystemColors.h"
#include "XMenu.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace
{

enum { kCut = 11, kCopy = 12, kPaste = 13, kSelectAll = 14 };

class MenuOnWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner.resize(500, 400);
        field = new QWidget(&owner);
        field->setGeometry(10, 10, 200, 30);
        field->setFocusPolicy(Qt::StrongFocus);
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        field->setFocus();
    }

    // Rows: 0 剪切, 1 separator, 2 复制, 3 粘贴, 4 separator, 5 全选, 6 separator.
    void Fill(XMenu& menu, bool copyEnabled)
    {
        ASSERT_TRUE(menu.Create(&owner));
        menu.AddItem(QStringLiteral("剪切(&T)"), kCut, true);
        menu.AddSeparator();
        menu.AddItem(QStringLiteral("复制(&C)"), kCopy, copyEnabled);
        menu.AddItem(QStringLiteral("粘贴(&P)"), kPaste, true);
        menu.AddSeparator();
        menu.AddItem(QStringLiteral("全选(&A)"), kSelectAll, true);
        menu.AddSeparator();
    }

    // Tracks the menu at a point of the owner while `input` runs inside the loop.
    int TrackWith(XMenu& menu, std::function<void()> input, QPoint at = QPoint(40, 60))
    {
        // The cursor away from where the menu opens, so that no move picks an item.
        QTest::mouseMove(&owner, QPoint(owner.width() - 2, owner.height() - 2));
        QTimer::singleShot(0, [&menu, input] {
            input();
            // Whatever the input did, the loop must not outlive the test.
            QTimer::singleShot(2000, &menu, [&menu] { menu.EndPopWindow(-99); });
        });
        QPoint global = owner.mapToGlobal(at);
        return menu.Track(global.x(), global.y());
    }

    static QPoint RowCentre(const XMenu& menu, int row)
    {
        RECT r = menu.GetRowRect(row);
        return QPoint(1 + (r.left + r.right) / 2, 1 + (r.top + r.bottom) / 2);
    }

    void Key(Qt::Key key) { QTest::keyClick(field, key); }

    QWidget owner;
    QWidget* field = nullptr;
};

} // namespace

TEST_F(MenuOnWindow, MouseChoosesTheItemReleasedOn)
{
    XMenu menu;
    Fill(menu, true);
    int result = TrackWith(menu, [&] {
        QTest::mouseMove(&menu, RowCentre(menu, 3));
        QTest::mouseClick(&menu, Qt::LeftButton, {}, RowCentre(menu, 3));
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(menu.GetHotItem(), 3);
    EXPECT_EQ(menu.GetItemId(menu.GetHotItem()), kPaste);
    EXPECT_FALSE(menu.isVisible());
}

TEST_F(MenuOnWindow, MovingOffTheMenuClearsTheHighlight)
{
    XMenu menu;
    Fill(menu, true);
    int onItem = -2, offMenu = -2;
    int result = TrackWith(menu, [&] {
        QTest::mouseMove(&menu, RowCentre(menu, 3));
        onItem = menu.GetHotItem();
        QTest::mouseMove(&owner, QPoint(450, 350)); // the owner has no tracking of its own
        offMenu = menu.GetHotItem();
        Key(Qt::Key_Escape);
    });
    EXPECT_EQ(onItem, 3);
    EXPECT_EQ(offMenu, -1);
    EXPECT_EQ(result, 0);
}

TEST_F(MenuOnWindow, ClickOnADisabledItemKeepsTheMenuAndOutsideClosesIt)
{
    XMenu menu;
    Fill(menu, false);
    bool stillOpen = false;
    int result = TrackWith(menu, [&] {
        QTest::mouseMove(&menu, RowCentre(menu, 2));
        QTest::mouseClick(&menu, Qt::LeftButton, {}, RowCentre(menu, 2));
        QCoreApplication::processEvents();
        stillOpen = menu.isVisible();
        QTest::mouseClick(&owner, Qt::LeftButton, {}, QPoint(450, 350));
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, 0);
}

TEST_F(MenuOnWindow, ArrowsWrapAndSkipSeparators)
{
    const struct {
        const char* name;
        std::vector<Qt::Key> keys;
        int hot;
    } cases[] = {
        {"Down from none: the first item", {Qt::Key_Down}, 0},
        {"Down skips the separator", {Qt::Key_Down, Qt::Key_Down}, 2},
        {"Up from none: the last item, past the trailing separator", {Qt::Key_Up}, 5},
        {"Up from the first goes to the last", {Qt::Key_Down, Qt::Key_Up}, 5},
        {"Down from the last goes to the first", {Qt::Key_Up, Qt::Key_Down}, 0},
        {"Up skips separators", {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up}, 2},
    };
    for (const auto& c : cases) {
        XMenu menu;
        Fill(menu, true);
        int result = TrackWith(menu, [&] {
            for (Qt::Key k : c.keys)
                Key(k);
            Key(Qt::Key_Return);
        });
        EXPECT_EQ(result, 1) << c.name;
        EXPECT_EQ(menu.GetHotItem(), c.hot) << c.name;
    }
}

TEST_F(MenuOnWindow, MouseMovesDoNotUndoTheKeyboardUntilTheyEnterTheMenu)
{
    XMenu menu;
    Fill(menu, true);
    int hotAfterOutsideMove = -2;
    int result = TrackWith(menu, [&] {
        Key(Qt::Key_Down);
        QTest::mouseMove(&owner, QPoint(450, 350));
        hotAfterOutsideMove = menu.GetHotItem();
        QTest::mouseMove(&menu, RowCentre(menu, 3)); // ends keyboard mode only
        QTest::mouseMove(&menu, RowCentre(menu, 5));
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(hotAfterOutsideMove, 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(menu.GetHotItem(), 5);
}

TEST_F(MenuOnWindow, MnemonicChoosesAtOnceUnlessDisabled)
{
    const struct {
        bool copyEnabled;
        int result;
        int hot;
    } cases[] = {{true, 1, 2}, {false, 0, -1}};
    for (const auto& c : cases) {
        XMenu menu;
        Fill(menu, c.copyEnabled);
        int result = TrackWith(menu, [&] {
            Key(Qt::Key_C);
            QCoreApplication::processEvents();
            if (menu.isVisible())
                Key(Qt::Key_Escape);
        });
        EXPECT_EQ(result, c.result) << c.copyEnabled;
        EXPECT_EQ(menu.GetHotItem(), c.hot) << c.copyEnabled;
    }
}

TEST_F(MenuOnWindow, EnterOnADisabledItemChoosesNothing)
{
    XMenu menu;
    Fill(menu, false);
    int result = TrackWith(menu, [&] {
        Key(Qt::Key_Down);
        Key(Qt::Key_Down); // 复制, disabled
        Key(Qt::Key_Return);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(menu.GetHotItem(), -1); // the caller runs no command

    XMenu none;
    Fill(none, true);
    EXPECT_EQ(TrackWith(none, [&] { Key(Qt::Key_Return); }), 1);
    EXPECT_EQ(none.GetHotItem(), -1);
}

TEST_F(MenuOnWindow, OpensAboveAndLeftOfAPointNearTheWorkAreasEnd)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    XMenu menu;
    Fill(menu, true);
    QRect shown;
    QTimer::singleShot(0, [&] {
        shown = menu.geometry();
        Key(Qt::Key_Escape);
    });
    const QPoint at(work.right() - 5, work.bottom() - 5);
    EXPECT_EQ(menu.Track(at.x(), at.y()), 0);
    EXPECT_EQ(shown.bottom() + 1, at.y()); // opened upwards from the point
    EXPECT_EQ(shown.right() + 1, at.x());
    // Rows: four items and three separators, each item "A" high plus 8.
    EXPECT_EQ(shown.height(), 4 * menu.GetItemHeight() + 3 * 5);
    EXPECT_GT(menu.GetItemHeight(), 8);
}

TEST(XMenuScreenshot, OpenMenuShowsLegibleItemsAndTheHotOneHighlighted)
{
    QWidget owner;
    owner.resize(360, 260);
    owner.setWindowTitle(QStringLiteral("menu"));
    owner.show();
    owner.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    (void)QTest::qWaitForWindowActive(&owner); // a desktop without a window manager may not say

    plat::Capabilities saved = plat::GetCapabilities();
    plat::GetCapabilities().updateLayeredWindow = true;
    XMenu menu;
    ASSERT_TRUE(menu.Create(&owner));
    menu.AddItem(QStringLiteral("撤销(&U)"), 1, false);
    menu.AddSeparator();
    menu.AddItem(QStringLiteral("剪切(&T)"), 2, true);
    menu.AddItem(QStringLiteral("复制(&C)"), 3, true);
    menu.AddItem(QStringLiteral("粘贴(&P)"), 4, true);
    menu.AddSeparator();
    menu.AddItem(QStringLiteral("全选(&A)"), 5, true);

    QTest::mouseMove(&owner, QPoint(350, 250));
    QImage shot, screen;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < 3; ++i) // past the disabled first item and the separator
            QTest::keyClick(&owner, Qt::Key_Down);
        // A loaded display server may take a while to give the menu its size.
        const RECT last = menu.GetRowRect(6);
        QElapsedTimer waited;
        waited.start();
        do
            QTest::qWait(50);
        while (waited.elapsed() < 5000
               && !(menu.isVisible() && menu.width() >= last.right && menu.height() >= last.bottom));
        shot = menu.grab().toImage();
        // The screen around the menu, shadow included, for a look.
        const QRect g = menu.geometry().adjusted(-8, -8, 12, 12);
        screen = QGuiApplication::primaryScreen()->grabWindow(0, g.x(), g.y(), g.width(), g.height()).toImage();
        menu.EndPopWindow(0);
    });
    QPoint at = owner.mapToGlobal(QPoint(30, 30));
    menu.Track(at.x(), at.y());
    plat::GetCapabilities() = saved;

    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral("screenshots"));
    const QString platform = QGuiApplication::platformName();
    shot.save(QStringLiteral("screenshots/xmenu-%1.png").arg(platform));
    screen.save(QStringLiteral("screenshots/xmenu-screen-%1.png").arg(platform));

    // Row 3 (复制) is highlighted; its text is drawn in the highlight text colour, and
    // the other rows' text in the button text colour on the button face.
    const QColor highlight = plat::ToQColor(GetSysColor(COLOR_HIGHLIGHT));
    const QColor face = plat::ToQColor(GetSysColor(COLOR_BTNFACE));
    auto rowPixels = [&](int row, const QColor& color) {
        RECT r = menu.GetRowRect(row);
        int n = 0;
        // The frame lies over the last row's bottom line: count inside the picture.
        for (int y = r.top + 1; y < std::min<int>(r.bottom + 1, shot.height()); ++y)
            for (int x = r.left + 1; x < std::min<int>(r.right + 1, shot.width()); ++x)
                n += QColor(shot.pixel(x, y)) == color;
        return n;
    };
    auto inkPixels = [&](int row, const QColor& background) {
        RECT r = menu.GetRowRect(row);
        int n = 0;
        for (int y = r.top + 1; y < std::min<int>(r.bottom + 1, shot.height()); ++y)
            for (int x = r.left + 17; x < r.right - 15; ++x) {
                QColor c(shot.pixel(x, y));
                n += std::abs(c.lightness() - background.lightness()) > 60;
            }
        return n;
    };
    RECT hot = menu.GetRowRect(3);
    const int hotArea = (hot.right - hot.left) * (hot.bottom - hot.top);
    EXPECT_GT(rowPixels(3, highlight), hotArea / 2);
    EXPECT_EQ(rowPixels(2, highlight), 0);
    for (int row : {2, 3, 4, 6})
        EXPECT_GT(inkPixels(row, row == 3 ? highlight : face), 20) << row;
    // The frame.
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(92, 119, 150));
}
