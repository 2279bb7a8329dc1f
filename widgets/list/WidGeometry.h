#pragma once
// The arithmetic of rows and cells that the lists share with their rows: anchoring
// a widget inside its row, the walk that stacks rows (list layout) or flows cells
// (icon layout), the line moves of the icon layout and the type-ahead text tests.
// Plain functions over plain values, so they are tested without a window.

#include "GdiTypes.h"

#include <string>
#include <vector>

namespace brindle
{

inline int RectWidth(const RECT& r)
{
    return r.right - r.left;
}
inline int RectHeight(const RECT& r)
{
    return r.bottom - r.top;
}
inline bool RectContains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
inline bool RectEqual(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline RECT MakeRect(int l, int t, int r, int b)
{
    RECT rc;
    rc.left = l;
    rc.top = t;
    rc.right = r;
    rc.bottom = b;
    return rc;
}
inline RECT InflatedRect(RECT r, int dx, int dy)
{
    r.left -= dx;
    r.top -= dy;
    r.right += dx;
    r.bottom += dy;
    return r;
}

// A widget's stored rectangle placed inside a row: a negative left or top counts from
// the row's right or bottom edge, a right or bottom of 0 or less likewise, so
// (4, 0, -30, 0) spans from 4 px after the left to 30 px before the right, full height.
RECT AnchorRect(const RECT& row, const RECT& anchored);

enum class ListLayoutKind { List, Icon };

// Stacks rows one below the other, or flows fixed cells left to right in lines.
// Hidden rows take no place: the caller skips them.
class LayoutWalker
{
public:
    // `separator`: a one-pixel line after every row in list layout.
    LayoutWalker(ListLayoutKind kind, const RECT& area, int origin, SIZE cell, bool separator);
    // The rectangle of the next shown row of height `cy` (list layout) or the next cell.
    RECT Next(int cy);

private:
    ListLayoutKind kind_;
    RECT area_;
    SIZE cell_;
    bool separator_;
    int y_;
    int x_;
    int lineTop_;
    int lineBottom_;
};

// Cells on one line of the icon layout: as many whole cells as fit, at least one,
// exactly as LayoutWalker flows them.
int IconCellsPerLine(int areaWidth, int cellWidth);

// One row as the keyboard moves see it.
struct RowState {
    bool visible = true;
    bool enabled = true;
};

// First row at or after `from` (last at or before) that is visible and enabled; -1.
int FirstVisibleEnabled(const std::vector<RowState>& rows, int from);
int LastVisibleEnabled(const std::vector<RowState>& rows, int from);

// The icon layout's Up and Down: the row `perLine` visible enabled rows before or
// after the selection. Up stays where it runs out; Down then takes the last row
// walked when that lies on a later line; a selection beyond the rows takes the last
// row, a negative one the first.
int PrevLineRow(const std::vector<RowState>& rows, int sel, int perLine);
int NextLineRow(const std::vector<RowState>& rows, int sel, int perLine);

// Type-ahead of the rows: `text` contains `key`, both lower-cased (ASCII letters).
bool ContainsIgnoringCase(const std::wstring& key, const std::wstring& text);
// Type-ahead of the choice list: `text` begins with `key`, ignoring ASCII case.
bool StartsWithIgnoringCase(const std::wstring& key, const std::wstring& text);

// The colour of a colour-list entry: "#" and a hexadecimal COLORREF, read as a signed
// value (-1 transparent, -2 none); false for a text without the mark or digits.
bool ParseColorText(const std::wstring& text, long& color);

} // namespace brindle
