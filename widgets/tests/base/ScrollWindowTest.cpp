// The scroll framework driven as a user drives it: wheel, keys and the scroll bar.

#include "MyScrollWindow.h"

#include "ScreenInfo.h"
#include "ScrollMath.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace
{

// A window with a vertical bar at its right and a content pane beside it, as the
// grid and the choice window have them. Remembers every move of the content.
class BarWindow : public MyScrollWindow
{
public:
    BarWindow()
    {
        bar = new QScrollBar(Qt::Vertical, this);
        pane = new MyScrollClient(this);
        ConnectScrollBar(bar);
        resize(200, 200);
    }

    QScrollBar* bar;
    MyScrollClient* pane;
    std::vector<QPoint> moves;
    int updates = 0;

    void UpdateScroll() override
    {
        SIZE range{}, need{};
        POINT pos{};
        const int barWidth = const_sbsize_cx();
        if (!CalcScrollState({width(), height()}, {barWidth, 0}, range, pos, need))
            return;
        bar->setVisible(need.cy);
        bar->setRange(0, std::max(0, range.cy));
        bar->setPageStep(GetPageSize().cy);
        bar->setValue(pos.y);
        bar->setGeometry(width() - barWidth, 0, barWidth, height());
        pane->setGeometry(0, 0, width() - (need.cy ? barWidth : 0), height());
    }
    int IsVScrollBarEnabled() override { return bar->isVisibleTo(this) && bar->isEnabled(); }
    int GetVScrollPos() override { return bar->value(); }
    int SetVScrollPos(int pos, int) override
    {
        int old = bar->value();
        bar->setValue(pos);
        return old;
    }
    int GetVScrollLimit() override { return bar->maximum(); }
    int GetVScrollTrackPos() override { return bar->sliderPosition(); }
    void DoScrollWindow(int dx, int dy) override
    {
        moves.push_back({dx, dy});
        pane->DoScrollWindow(dx, dy);
    }
    void DoUpdateWindow() override { ++updates; }

    using MyScrollWindow::CalcScrollState;
};

class ScrollWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::SetScreenDotsPerInch(96);
        window = std::make_unique<BarWindow>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { plat::SetScreenDotsPerInch(0); }

    // Content 1000 pixels high, pages of 125 and lines of `line` pixels.
    void Content(int line) { window->SetScrollSizes(MM_TEXT, {0, 1000}, {0, 125}, {0, line}); }

    void Wheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QPoint local(50, 50);
        QWheelEvent event(local, window->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(window.get(), &event);
    }
    int Pos() const { return window->bar->value(); }

    std::unique_ptr<BarWindow> window;
};

TEST_F(ScrollWindowTest, SizesOfZeroAreDerivedAndMetricSizesBecomePixels)
{
    window->SetScrollSizes(MM_TEXT, {0, -1000}, {0, 0}, {0, 0});
    EXPECT_EQ(window->GetTotalSize().cy, 1000);
    EXPECT_EQ(window->GetPageSize().cy, 125);
    EXPECT_EQ(window->GetLineSize().cy, 15);

    window->SetScrollSizes(MM_LOMETRIC, {254, 2540}, {0, 254}, {0, 0});
    EXPECT_EQ(window->GetMapMode(), MM_LOMETRIC);
    EXPECT_EQ(window->GetTotalSize().cx, 96);
    EXPECT_EQ(window->GetTotalSize().cy, 960);
    EXPECT_EQ(window->GetPageSize().cy, 96);
    EXPECT_EQ(window->GetLineSize().cy, 12);
}

TEST_F(ScrollWindowTest, SmallWheelTurnsAddUpToANotch)
{
    const int lines = MyScrollWindow::const_wheellines();
    Content(10);
    const int notch = std::min(10 * lines, 125);
    for (int i = 0; i < 8; ++i)
        Wheel(-15);
    EXPECT_EQ(Pos(), notch);
    for (int i = 0; i < 4; ++i)
        Wheel(30);
    EXPECT_EQ(Pos(), 0);
    // A touchpad's pixels as they come.
    QPoint local(50, 50);
    QWheelEvent event(local, window->mapToGlobal(local), QPoint(0, -9), QPoint(0, -15), Qt::NoButton, {},
                      Qt::ScrollUpdate, false);
    QApplication::sendEvent(window.get(), &event);
    EXPECT_EQ(Pos(), 9);
}

TEST_F(ScrollWindowTest, TheWheelScrollsByLinesUpAndDownAndAtMostAPage)
{
    const int lines = MyScrollWindow::const_wheellines();
    ASSERT_GT(lines, 0);
    Content(10);
    const int notch = std::min(10 * lines, 125);

    Wheel(-120); // towards the user: down
    EXPECT_EQ(Pos(), notch);
    ASSERT_EQ(window->moves.size(), 1u);
    EXPECT_EQ(window->moves.back(), QPoint(0, -notch));
    Wheel(-120);
    Wheel(120); // one notch up is a notch of lines, not a page
    EXPECT_EQ(Pos(), notch);
    Wheel(120);
    Wheel(120); // never before the start
    EXPECT_EQ(Pos(), 0);
    EXPECT_EQ(window->moves.size(), 4u);

    // Lines so large that a notch would pass a page: a page in either direction.
    Content(100);
    Wheel(-120);
    EXPECT_EQ(Pos(), std::min(100 * lines, 125));
    window->ScrollToPosition({0, 500});
    Wheel(120);
    EXPECT_EQ(Pos(), 500 - std::min(100 * lines, 125));
}

TEST_F(ScrollWindowTest, TheWheelWithShiftOrCtrlOrWithoutBarsDoesNothing)
{
    Content(10);
    Wheel(-120, Qt::ShiftModifier);
    Wheel(-120, Qt::ControlModifier);
    EXPECT_EQ(Pos(), 0);
    EXPECT_TRUE(window->moves.empty());

    window->SetScrollSizes(MM_TEXT, {100, 100}, {0, 0}, {0, 0}); // fits: no bar
    EXPECT_FALSE(window->IsVScrollBarEnabled());
    Wheel(-120);
    EXPECT_TRUE(window->moves.empty());
}

TEST_F(ScrollWindowTest, PageDownScrollsAPageAndStopsAtTheEnd)
{
    Content(10);
    window->setFocus();
    QTest::keyClick(window.get(), Qt::Key_PageDown);
    EXPECT_EQ(Pos(), 125);
    EXPECT_EQ(window->updates, 1);
    QTest::keyClick(window.get(), Qt::Key_PageUp);
    EXPECT_EQ(Pos(), 0);

    const int limit = window->GetVScrollLimit();
    EXPECT_EQ(limit, 800); // 1000 - 200
    window->ScrollToPosition({0, limit});
    size_t moves = window->moves.size();
    EXPECT_EQ(window->DoKeyScroll(0x22 /* PgDn */), 1);
    EXPECT_EQ(Pos(), limit);
    EXPECT_EQ(window->moves.size(), moves);
    EXPECT_EQ(window->DoKeyScroll(0x28 /* Down */), 0);
}

TEST_F(ScrollWindowTest, TheBarScrollsByTheWindowsLinesAndPages)
{
    Content(10);
    struct Step {
        QAbstractSlider::SliderAction action;
        int expected;
    };
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 10},
        {QAbstractSlider::SliderPageStepAdd, 135},
        {QAbstractSlider::SliderSingleStepSub, 125},
        {QAbstractSlider::SliderToMaximum, 800},
        {QAbstractSlider::SliderPageStepAdd, 800},
        {QAbstractSlider::SliderToMinimum, 0},
    };
    for (const Step& s : steps) {
        window->bar->triggerAction(s.action);
        EXPECT_EQ(Pos(), s.expected) << s.action;
        EXPECT_EQ(window->bar->sliderPosition(), s.expected) << s.action;
    }

    // A real click in the bar's trough under its handle pages down.
    QTest::mouseClick(window->bar, Qt::LeftButton, {}, QPoint(window->bar->width() / 2, window->bar->height() - 30));
    EXPECT_EQ(Pos(), 125);
    EXPECT_EQ(window->moves.back(), QPoint(0, -125));

    // Dragging the thumb follows the track position.
    window->bar->setSliderDown(true);
    window->bar->setSliderPosition(333);
    window->bar->setSliderDown(false);
    EXPECT_EQ(Pos(), 333);
}

TEST(MyScrollWindowState, BarsFollowTheContent)
{
    struct Case {
        QSize total;
        QSize client;
        int ok;
        SIZE need;
        SIZE range;
    };
    const Case cases[] = {
        {{1000, 1000}, {10, 10}, 0, {0, 0}, {0, 0}},        // smaller than a bar
        {{100, 100}, {200, 200}, 1, {0, 0}, {-100, -100}},  // fits
        {{250, 190}, {200, 200}, 1, {1, 1}, {67, 7}},       // the horizontal bar makes room for a vertical one
        {{100, 1000}, {200, 200}, 1, {0, 1}, {-83, 800}},
    };
    for (const Case& c : cases) {
        BarWindow window;
        window.SetScrollSizes(MM_TEXT, {c.total.width(), c.total.height()}, {0, 0}, {0, 0});
        SIZE range{}, need{};
        POINT pos{};
        int ok = window.CalcScrollState({c.client.width(), c.client.height()},
                                        {MyScrollWindow::const_sbsize_cx(), MyScrollWindow::const_sbsize_cy()}, range,
                                        pos, need);
        EXPECT_EQ(ok, c.ok) << c.total.width() << "x" << c.total.height();
        if (!ok)
            continue;
        EXPECT_EQ(need.cx, c.need.cx) << c.total.width() << "x" << c.total.height();
        EXPECT_EQ(need.cy, c.need.cy) << c.total.width() << "x" << c.total.height();
        EXPECT_EQ(range.cx, c.range.cx) << c.total.width() << "x" << c.total.height();
        EXPECT_EQ(range.cy, c.range.cy) << c.total.width() << "x" << c.total.height();
    }
}

} // namespace
