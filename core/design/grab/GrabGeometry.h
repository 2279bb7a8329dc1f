#pragma once
// Small geometry shared by the design engine, its handles and the grid lines. The
// engine compares in y-down form: y negated unless the mapping kind is 1 (pixels).

#include <utility>

#include "GdiTypes.h"

namespace grab
{

inline int Sign(int v)
{
    return (v > 0) - (v < 0);
}

inline bool Same(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Edges included.
inline bool Inside(const RECT& r, int x, int y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

inline int Down(int kind, int y)
{
    return kind == 1 ? y : -y;
}

// The y-down form of a logical rectangle, ordered so that left <= right and
// top <= bottom.
inline RECT DownRect(int kind, const RECT& rect)
{
    RECT r{rect.left, Down(kind, rect.top), rect.right, Down(kind, rect.bottom)};
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}

} // namespace grab
