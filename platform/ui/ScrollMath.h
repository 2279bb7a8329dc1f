#pragma once
// The arithmetic of scrolling that every scrolling window shares: the scroll-bar codes,
// the steps of keys, wheel and bar, the clamping of positions and the decision which
// bars a content needs. Pixels throughout; positions run from 0 to a limit.

#include <QPoint>
#include <cstdint>
#include <QSize>

namespace plat
{

// Scroll-bar request codes (the low word of WM_HSCROLL / WM_VSCROLL).
constexpr int SB_LINEUP = 0;
constexpr int SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1;
constexpr int SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2;
constexpr int SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3;
constexpr int SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6;
constexpr int SB_LEFT = 6;
constexpr int SB_BOTTOM = 7;
constexpr int SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// The wheel setting that scrolls a page per notch.
constexpr int WHEEL_PAGESCROLL = -1;

// Lines per wheel notch: QApplication::wheelScrollLines(), 3 when it gives nothing sensible.
int WheelScrollLines();

// Scroll bar codes of a QAbstractSlider action (QAbstractSlider::SliderAction); -1 for
// an action that has no code.
int ScrollCodeFromSliderAction(int action);

// One axis as a scrolling window sees it.
struct ScrollAxis {
    int pos = 0;
    int limit = 0;
    int line = 0;
    int page = 0;
};

// The signed distance (pixels, positive: down or right) of a wheel turn of `delta`
// (positive: away from the user) with `lines` per notch: lines x line size per notch
// (rounded like MulDiv over notches), never more than a page either way; one page per
// notch only for the page setting (WHEEL_PAGESCROLL).
int WheelScrollDistance(int delta, int lines, const ScrollAxis& axis);

// Adds up wheel turns smaller than a notch: touchpads and high-resolution wheels send
// deltas of 15 or 30, which one by one round to nothing. Each turn scrolls the whole
// pixels it has earned so far (so eight turns of 15 scroll what one notch does), and
// keeps the rest for the next; a turn the other way drops the rest. One per window.
class WheelAccumulator
{
public:
    // The distance (as WheelScrollDistance) to scroll now for a turn of `delta`.
    int Distance(int delta, int lines, const ScrollAxis& axis);
    void Reset() { rest_ = 0; }

private:
    long long rest_ = 0; // pixels (pages for the page setting) times WHEEL_DELTA, not yet scrolled
};

// The distance of a wheel turn the platform gives in pixels (a touchpad's): those
// pixels, never more than a page either way.
int PixelWheelDistance(int pixels, const ScrollAxis& axis);

// The signed distance of a scroll-bar request; `trackPos` is the thumb's position
// during SB_THUMBTRACK. 0 for the codes that move nothing.
int ScrollBarDistance(int code, const ScrollAxis& axis, int trackPos);

// The distance of PgUp (VK_PRIOR) and PgDn (VK_NEXT); `handled` tells whether the key is
// a scrolling key at all.
int KeyScrollDistance(uint32_t vk, const ScrollAxis& axis, bool* handled);

// pos + delta, kept within 0..limit (a negative limit counts as 0). 64-bit inside, so
// SB_BOTTOM's "as far as it goes" does not overflow.
int ClampScrollPos(int pos, long long delta, int limit);

// Which bars a content of `total` pixels needs in a client area of `client` pixels when
// a vertical bar takes bar.width() and a horizontal bar bar.height(). The horizontal
// range is decided first and gives the vertical one the bar's height; the vertical bar
// then widens the horizontal range (one pass). A position whose axis needs no bar
// becomes 0; a position past a positive range is brought back to it.
struct ScrollState {
    bool ok = false; // false: the client area is not larger than the bars
    bool needHorizontal = false;
    bool needVertical = false;
    QSize range;
    QPoint pos;
};
ScrollState CalcScrollState(QSize total, QSize client, QSize bar, QPoint pos);

// The sizes as given (logical units already converted), made positive, with a page of
// 0 becoming an eighth of the total and a line of 0 an eighth of the page, per axis.
void DeriveScrollSizes(QSize& total, QSize& page, QSize& line);

} // namespace plat
