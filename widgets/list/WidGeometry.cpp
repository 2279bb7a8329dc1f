#include "WidGeometry.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

namespace brindle
{

RECT AnchorRect(const RECT& row, const RECT& a)
{
    RECT r;
    r.left = (a.left < 0 ? row.right : row.left) + a.left;
    r.top = (a.top < 0 ? row.bottom : row.top) + a.top;
    r.right = (a.right <= 0 ? row.right : row.left) + a.right;
    r.bottom = (a.bottom <= 0 ? row.bottom : row.top) + a.bottom;
    return r;
}

LayoutWalker::LayoutWalker(ListLayoutKind kind, const RECT& area, int origin, SIZE cell, bool separator)
    : kind_(kind), area_(area), cell_(cell), separator_(separator), y_(origin), x_(area.left), lineTop_(origin),
      lineBottom_(origin)
{
}

RECT LayoutWalker::Next(int cy)
{
    if (kind_ == ListLayoutKind::List) {
        RECT r = MakeRect(area_.left, y_, area_.right, y_ + cy);
        y_ = r.bottom + (separator_ ? 1 : 0);
        return r;
    }
    if (x_ == area_.left) {
        lineTop_ = lineBottom_;
        lineBottom_ = lineTop_ + cell_.cy;
    }
    RECT r = MakeRect(x_, lineTop_, x_ + cell_.cx, lineBottom_);
    int next = x_ + cell_.cx;
    x_ = (area_.right < next + cell_.cx) ? area_.left : next;
    return r;
}

int IconCellsPerLine(int areaWidth, int cellWidth)
{
    if (cellWidth <= 0)
        return 1;
    return std::max(1, areaWidth / cellWidth);
}

static bool Eligible(const std::vector<RowState>& rows, int i)
{
    return rows[i].visible && rows[i].enabled;
}

int FirstVisibleEnabled(const std::vector<RowState>& rows, int from)
{
    for (int i = std::max(0, from); i < static_cast<int>(rows.size()); ++i)
        if (Eligible(rows, i))
            return i;
    return -1;
}

int LastVisibleEnabled(const std::vector<RowState>& rows, int from)
{
    for (int i = std::min(from, static_cast<int>(rows.size()) - 1); i >= 0; --i)
        if (Eligible(rows, i))
            return i;
    return -1;
}

int PrevLineRow(const std::vector<RowState>& rows, int sel, int perLine)
{
    int count = static_cast<int>(rows.size());
    if (sel < 0)
        return FirstVisibleEnabled(rows, 0);
    if (sel >= count)
        return LastVisibleEnabled(rows, count - 1);
    int walked = 0;
    for (int i = sel - 1; i >= 0; --i) {
        if (!Eligible(rows, i))
            continue;
        if (++walked == perLine)
            return i;
    }
    return sel;
}

int NextLineRow(const std::vector<RowState>& rows, int sel, int perLine)
{
    int count = static_cast<int>(rows.size());
    if (sel < 0)
        return FirstVisibleEnabled(rows, 0);
    if (sel >= count)
        return LastVisibleEnabled(rows, count - 1);
    // Lines are counted over the rows that take a cell (the visible ones).
    auto lineOf = [&](int index) {
        int ordinal = 0;
        for (int i = 0; i < index; ++i)
            if (rows[i].visible)
                ++ordinal;
        return ordinal / perLine;
    };
    int walked = 0;
    int last = -1;
    for (int i = sel + 1; i < count; ++i) {
        if (!Eligible(rows, i))
            continue;
        last = i;
        if (++walked == perLine)
            return i;
    }
    if (last >= 0 && lineOf(last) != lineOf(sel))
        return last;
    return sel;
}

static wchar_t LowerAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

static std::wstring Lower(const std::wstring& s)
{
    std::wstring out = s;
    for (wchar_t& c : out)
        c = LowerAscii(c);
    return out;
}

bool ContainsIgnoringCase(const std::wstring& key, const std::wstring& text)
{
    return Lower(text).find(Lower(key)) != std::wstring::npos;
}

bool StartsWithIgnoringCase(const std::wstring& key, const std::wstring& text)
{
    if (key.size() > text.size())
        return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (LowerAscii(key[i]) != LowerAscii(text[i]))
            return false;
    return true;
}

bool ParseColorText(const std::wstring& text, long& color)
{
    if (text.empty() || text[0] != L'#')
        return false;
    wchar_t* end = nullptr;
    unsigned long v = std::wcstoul(text.c_str() + 1, &end, 16);
    color = static_cast<long>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return end != text.c_str() + 1;
}

} // namespace brindle
