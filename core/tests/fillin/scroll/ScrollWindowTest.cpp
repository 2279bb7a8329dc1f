// The scroll window with bars of its own, driven by wheel events and keys: a line per
// notch (as many lines as the wheel setting says), a page per PgDn, never past either
// end, Shift and Ctrl wheels, the scroll-bar codes and the sizes it derives.

#include "DoxScrollWindow.h"
#include "DrawUnits.h"
#include "Messages.h"
#include "ScreenInfo.h"
#include "ScrollMath.h"
#include "WindowSurface.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace
{

// A window whose vertical and horizontal "bars" are plain numbers.
class Pane : public DoxScrollWindow
{
public:
    bool vEnabled = true;
    bool hEnabled = false;
    int vPos = 0, hPos = 0, vLimit = 1000, hLimit = 300, vTrack = 0;
    std::vector<std::pair<int, int>> moves;
    int updates = 0;
    std::vector<int> ctrlWheels;

    bool IsVScrollBarEnabled() override { return vEnabled; }
    bool IsHScrollBarEnabled() override { return hEnabled; }
    int GetVScrollPos() override { return vPos; }
    int SetVScrollPos(int pos, bool) override { return std::exchange(vPos, pos); }
    int GetVScrollLimit() override { return vLimit; }
    int GetVScrollTrackPos() override { return vTrack; }
    int GetHScrollPos() override { return hPos; }
    int SetHScrollPos(int pos, bool) override { return std::exchange(hPos, pos); }
    int GetHScrollLimit() override { return hLimit; }
    void DoScrollWindow(int dx, int dy) override { moves.emplace_back(dx, dy); }
    void DoUpdateWindow() override { ++updates; }
    bool OnCtrlMouseWheel(int delta, int, int) override
    {
        ctrlWheels.push_back(delta);
        return true;
    }
};

void Wheel(QWidget* w, int delta, Qt::KeyboardModifiers modifiers = {})
{
    QPointF at(10, 10);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
}

class ScrollWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        lines = QApplication::wheelScrollLines();
        pane.resize(300, 200);
        pane.setFocusPolicy(Qt::StrongFocus);
        pane.SetScrollSizes(1, 100, 600, 1000, 0, 0, 0, 0); // page 125, line 15
        pane.show();
        pane.setFocus();
    }
    void TearDown() override { QApplication::setWheelScrollLines(lines); }

    int lines = 3;
    Pane pane;
};

} // namespace

TEST_F(ScrollWindow, SizesOfZeroBecomeAnEighth)
{
    EXPECT_EQ(pane.GetPageSize().cy, 125);
    EXPECT_EQ(pane.GetLineSize().cy, 15);
    EXPECT_EQ(pane.GetPageSize().cx, 75);
    EXPECT_EQ(pane.GetLineSize().cx, 9);

    // 0.1 mm at 96 dots per inch, y pointing up: magnitudes in pixels.
    plat::SetScreenDotsPerInch(96);
    ScreenDpi = 96;
    Pane metric;
    metric.SetScrollSizes(2, 100, 2540, 2540, 254, 0, 0, 0);
    EXPECT_EQ(metric.GetTotalSize().cx, 960);
    EXPECT_EQ(metric.GetTotalSize().cy, 960);
    EXPECT_EQ(metric.GetPageSize().cx, 96);
    EXPECT_EQ(metric.GetPageSize().cy, 120);
    EXPECT_EQ(metric.GetMappingMode(), 2);
    plat::SetScreenDotsPerInch(0);
}

TEST_F(ScrollWindow, WheelScrollsTheLinesOfTheSettingPerNotchAndStopsAtTheEnds)
{
    const struct {
        int lines;
        int startPos;
        int delta;
        int expectedPos;
    } cases[] = {
        {3, 300, -120, 345},  // one notch down: three lines
        {3, 300, 120, 255},   // one notch up: three lines, not a page
        {1, 300, 120, 285},   // one line per notch: one line up
        {1, 300, -120, 315},
        {20, 300, 120, 175},  // twenty lines are more than a page: one page
        {20, 300, -120, 425},
        {3, 20, 120, 0},      // never above the top
        {3, 990, -120, 1000}, // never below the end
    };
    for (const auto& c : cases) {
        QApplication::setWheelScrollLines(c.lines);
        pane.vPos = c.startPos;
        Wheel(&pane, c.delta);
        EXPECT_EQ(pane.vPos, c.expectedPos) << c.lines << " " << c.startPos << " " << c.delta;
    }
}

TEST_F(ScrollWindow, SmallWheelTurnsAddUpAndTouchpadPixelsScrollAsGiven)
{
    // Touchpads and high-resolution wheels: eight turns of 15 are one notch.
    QApplication::setWheelScrollLines(3);
    for (int delta : {-15, -30}) {
        pane.vPos = 300;
        for (int i = 0; i < 120 / -delta; ++i)
            Wheel(&pane, delta);
        EXPECT_EQ(pane.vPos, 345) << delta;
        // Each turn scrolled what it had earned, not all at the end.
        EXPECT_GE(pane.moves.size(), 2u) << delta;
        pane.moves.clear();
    }
    // Back the other way starts afresh.
    for (int i = 0; i < 4; ++i)
        Wheel(&pane, 30);
    EXPECT_EQ(pane.vPos, 300);

    // Pixel deltas are followed as they come.
    QPointF at(10, 10);
    QWheelEvent e(at, pane.mapToGlobal(at), QPoint(0, -7), QPoint(0, -15), Qt::NoButton, {}, Qt::ScrollUpdate, false);
    QApplication::sendEvent(&pane, &e);
    EXPECT_EQ(pane.vPos, 307);
}

TEST_F(ScrollWindow, ShiftWheelDoesNothingCtrlWheelGoesToItsHookOnly)
{
    pane.vPos = 300;
    Wheel(&pane, -120, Qt::ShiftModifier);
    Wheel(&pane, -240, Qt::ControlModifier);
    EXPECT_EQ(pane.vPos, 300);
    EXPECT_TRUE(pane.moves.empty());
    EXPECT_EQ(pane.ctrlWheels, std::vector<int>{-240});

    // Without a vertical bar the wheel goes sideways.
    pane.vEnabled = false;
    pane.hEnabled = true;
    QApplication::setWheelScrollLines(3);
    Wheel(&pane, -120);
    EXPECT_EQ(pane.hPos, 27);
    EXPECT_EQ(pane.vPos, 300);
}

TEST_F(ScrollWindow, PageKeysScrollAPageAndNeverPastTheEnd)
{
    pane.vPos = 0;
    QTest::keyClick(&pane, Qt::Key_PageDown);
    EXPECT_EQ(pane.vPos, 125);
    ASSERT_EQ(pane.moves.size(), 1u);
    EXPECT_EQ(pane.moves[0], std::make_pair(0, -125)); // the content moves up
    EXPECT_EQ(pane.updates, 1);

    for (int i = 0; i < 10; ++i)
        QTest::keyClick(&pane, Qt::Key_PageDown);
    EXPECT_EQ(pane.vPos, 1000);
    const size_t moves = pane.moves.size();
    EXPECT_TRUE(pane.DoKeyScroll(plat::VK_NEXT)); // at the end: handled, nothing moves
    EXPECT_EQ(pane.moves.size(), moves);

    QTest::keyClick(&pane, Qt::Key_PageUp);
    EXPECT_EQ(pane.vPos, 875);
    pane.vEnabled = false;
    EXPECT_TRUE(pane.DoKeyScroll(plat::VK_PRIOR));
    EXPECT_EQ(pane.vPos, 875);
    EXPECT_FALSE(pane.DoKeyScroll(plat::VK_DOWN));
}

TEST_F(ScrollWindow, ScrollBarCodes)
{
    const struct {
        int code;
        int startPos;
        int expectedPos;
    } cases[] = {
        {plat::SB_LINEDOWN, 100, 115},     {plat::SB_LINEUP, 100, 85},   {plat::SB_PAGEDOWN, 100, 225},
        {plat::SB_PAGEUP, 100, 0},         {plat::SB_TOP, 500, 0},       {plat::SB_BOTTOM, 500, 1000},
        {plat::SB_THUMBTRACK, 500, 640},   {plat::SB_THUMBPOSITION, 500, 500},
        {plat::SB_ENDSCROLL, 500, 500},
    };
    pane.vTrack = 640;
    for (const auto& c : cases) {
        pane.vPos = c.startPos;
        pane.OnVScroll(c.code);
        EXPECT_EQ(pane.vPos, c.expectedPos) << c.code;
    }
    pane.vEnabled = false;
    pane.vPos = 100;
    pane.OnVScroll(plat::SB_LINEDOWN);
    EXPECT_EQ(pane.vPos, 100);
}

TEST_F(ScrollWindow, ScrollByThatTheLimitsCancelMovesNothing)
{
    pane.vPos = 0;
    pane.hPos = 0;
    EXPECT_FALSE(pane.ScrollBy(-10, -10));
    EXPECT_TRUE(pane.moves.empty());
    EXPECT_EQ(pane.updates, 0);
    EXPECT_TRUE(pane.ScrollBy(20, 0));
    EXPECT_EQ(pane.hPos, 20);

    pane.ScrollToPosition(5, 7);
    EXPECT_EQ(pane.hPos, 5);
    EXPECT_EQ(pane.vPos, 7);
    EXPECT_EQ(pane.moves.back(), std::make_pair(15, -7));

    SIZE range{};
    POINT pos{};
    bool needH = true, needV = false;
    ASSERT_TRUE(pane.CalcScrollState(300, 200, 17, 17, &needH, &needV, &range, &pos));
    EXPECT_TRUE(needH);
    EXPECT_TRUE(needV);
    EXPECT_EQ(range.cx, 317);
    EXPECT_EQ(range.cy, 817);
    EXPECT_FALSE(pane.CalcScrollState(10, 200, 17, 17, &needH, &needV, &range, &pos));
}

TEST(ScrollClient, ScrollsItsContentAndItsBackBuffer)
{
    DoxScrollClient client;
    client.resize(40, 40);
    QImage* buffer = plat::WindowBackBuffer(&client);
    ASSERT_NE(buffer, nullptr);
    buffer->setPixelColor(5, 20, Qt::red);
    client.DoScrollWindow(3, -10); // content right and up
    buffer = plat::WindowBackBuffer(&client);
    EXPECT_EQ(buffer->pixelColor(8, 10), QColor(Qt::red));
    EXPECT_EQ(buffer->pixelColor(5, 20), QColor(Qt::white));
    EXPECT_EQ(buffer->pixelColor(20, 35), QColor(Qt::white)); // the uncovered band
}
