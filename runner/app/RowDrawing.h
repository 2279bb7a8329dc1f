#pragma once
// Small drawing helpers the home page's rows share (COLORREF colours, GDI rectangles
// with exclusive right and bottom edges).

#include "DeviceContext.h"
#include "GdiShapes.h"
#include "GdiTypes.h"

namespace runner
{

inline RECT Rect(int left, int top, int right, int bottom)
{
    RECT r;
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
    return r;
}

inline bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Top to bottom.
inline void VGradient(CDC& dc, const RECT& r, COLORREF top, COLORREF bottom)
{
    if (r.right > r.left && r.bottom > r.top)
        dc.GradientFillRect(POINT{r.left, r.top}, top, POINT{r.right, r.bottom}, bottom, GRADIENT_FILL_RECT_V);
}

// Left to right.
inline void HGradient(CDC& dc, const RECT& r, COLORREF left, COLORREF right)
{
    if (r.right > r.left && r.bottom > r.top)
        dc.GradientFillRect(POINT{r.left, r.top}, left, POINT{r.right, r.bottom}, right, GRADIENT_FILL_RECT_H);
}

// A line shaded from the ends to the middle and back, left to right.
inline void ShadedLine(CDC& dc, int left, int right, int y, COLORREF end, COLORREF middle)
{
    const int mid = (left + right) / 2;
    HGradient(dc, Rect(left, y, mid, y + 1), end, middle);
    HGradient(dc, Rect(mid, y, right, y + 1), middle, end);
}

// A one-pixel frame.
inline void Frame(CDC& dc, const RECT& r, COLORREF color) { dc.FrameRect(r, CBrush(color)); }

} // namespace runner
