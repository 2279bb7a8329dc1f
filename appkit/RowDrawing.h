#pragma once
// Small drawing helpers the rows of both programs' home pages share (COLORREF colours,
// GDI rectangles with exclusive right and bottom edges).

#include "DeviceContext.h"
#include "GdiShapes.h"
#include "GdiTypes.h"

namespace rowdraw
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

// Two rounded frames, the inner one inset a pixel with a corner a pixel smaller; the
// inside is left as it was.
inline void DoubleRoundFrame(CDC& dc, const RECT& r, COLORREF outer, COLORREF inner, int corner)
{
    const CBrush oldBrush = dc.SelectObject(StockBrush(StockObject::NullBrush));
    const CPen oldPen = dc.SelectObject(CPen(PS_SOLID, 1, outer));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
    dc.SelectObject(CPen(PS_SOLID, 1, inner));
    RoundRect(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1, corner - 1, corner - 1);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

// A one-pixel frame.
inline void Frame(CDC& dc, const RECT& r, COLORREF color) { dc.FrameRect(r, CBrush(color)); }

} // namespace rowdraw
