// Hover tracking: a window that shows a hot row keeps it only while the cursor is
// over it, even when it never hears that the mouse has gone.

#include "MyCapture.h"
#include "SilentMove.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace
{

// Rows of 20 pixels in the top 60 pixels, as a list shows them; below them no row.
class HoverRows : public QWidget, public MyCapture
{
public:
    int hot = -1;
    int moves = 0;

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        ++moves;
        QPoint p = event->position().toPoint();
        int row = rect().contains(p) && p.y() < 60 ? p.y() / 20 : -1;
        hot = row;
        if (row >= 0) {
            if (MyGetCapture() != this)
                MySetCapture(this);
        } else if (MyGetCapture() == this) {
            MyReleaseCapture();
        }
    }
};

std::unique_ptr<HoverRows> ShowRows(QPoint at)
{
    auto rows = std::make_unique<HoverRows>();
    rows->setMouseTracking(true);
    rows->setGeometry(QRect(at, QSize(100, 100)));
    rows->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(rows.get()));
    return rows;
}

// Puts the cursor over the window's point and tells the window, as a real move would.
void HoverAt(HoverRows& rows, QPoint local)
{
    QCursor::setPos(rows.mapToGlobal(local));
    QTest::mouseMove(&rows, local);
    QApplication::processEvents();
}

class CaptureTest : public ::testing::Test
{
protected:
    void TearDown() override { MyCapture::MyReleaseCapture(); }
};

TEST_F(CaptureTest, TheHotRowClearsSoonAfterTheCursorLeavesWithoutALeaveEvent)
{
    auto rows = ShowRows({100, 100});
    HoverAt(*rows, {50, 25});
    ASSERT_EQ(rows->hot, 1);
    ASSERT_EQ(MyCapture::MyGetCapture(), rows.get());
    EXPECT_EQ(MyCapture::MyTestPoint(rows.get()), 1);

    // Gone onto another application: the window hears nothing from the system.
    SilentMove::To({900, 700});
    EXPECT_EQ(rows->hot, 1);
    EXPECT_EQ(MyCapture::MyTestPoint(rows.get()), 0);
    QPoint cursor;
    ASSERT_EQ(MyCapture::MyGetCursorPos(rows.get(), &cursor), 1);
    EXPECT_EQ(cursor, QPoint(800, 600));
    QTRY_COMPARE_WITH_TIMEOUT(rows->hot, -1, 3 * MyCapture::kWatchdogMs);
    EXPECT_EQ(MyCapture::MyGetCapture(), nullptr);
}

TEST_F(CaptureTest, TheWatchdogStaysQuietWhileTheCursorIsOverTheWindow)
{
    auto rows = ShowRows({100, 100});
    HoverAt(*rows, {50, 5});
    int moves = rows->moves;
    QTest::qWait(3 * MyCapture::kWatchdogMs);
    EXPECT_EQ(rows->moves, moves);
    EXPECT_EQ(rows->hot, 0);
    EXPECT_EQ(MyCapture::MyGetCapture(), rows.get());
}

TEST_F(CaptureTest, CapturingASecondWindowFirstTellsTheFirstWhereTheCursorIs)
{
    auto first = ShowRows({100, 100});
    auto second = ShowRows({300, 100});
    HoverAt(*first, {50, 45});
    ASSERT_EQ(first->hot, 2);

    // The cursor jumps straight onto the second window's first row.
    QCursor::setPos(second->mapToGlobal(QPoint(10, 10)));
    EXPECT_EQ(MyCapture::MySetCapture(second.get()), first.get());
    QApplication::processEvents();
    EXPECT_EQ(first->hot, -1) << "the first window got a move outside its rows";
    EXPECT_EQ(MyCapture::MyGetCapture(), second.get());
}

TEST_F(CaptureTest, ACapturedWindowThatIsDestroyedIsForgotten)
{
    auto rows = ShowRows({100, 100});
    HoverAt(*rows, {50, 5});
    rows.reset();
    EXPECT_EQ(MyCapture::MyGetCapture(), nullptr);
    SilentMove::To({900, 700});
    QTest::qWait(2 * MyCapture::kWatchdogMs); // the watchdog must not touch the window
    auto other = ShowRows({300, 100});
    EXPECT_EQ(MyCapture::MySetCapture(other.get()), nullptr);
}

} // namespace
