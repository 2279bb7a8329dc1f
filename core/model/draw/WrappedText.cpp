#include "WrappedText.h"

#include <cstdlib>

namespace
{
bool IsBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}
} // namespace

const wchar_t* NextWrappedLine(const wchar_t* from, DC& dc, int maxWidth, int* count)
{
    if (!from || !*from)
        return nullptr;
    int n = 0;
    int width = 0;
    const wchar_t* p = from;
    for (; *p; ++p) {
        if (IsBreak(*p)) {
            if (IsBreak(p[1]) && p[1] != *p)
                ++p;
            if (count)
                *count = n;
            return p + 1;
        }
        SIZE extent;
        if (!dc.GetTextExtentPoint32(p, 1, &extent))
            extent = {};
        width += extent.cx;
        if (width > maxWidth) {
            if (count)
                *count = n;
            return p == from ? p + 1 : p;
        }
        ++n;
    }
    if (count)
        *count = n;
    return p;
}

void DrawWrappedText(DC& dc, const wchar_t* text, const RECT* box, UINT format)
{
    if (!text || !box)
        return;
    int lineHeight = dc.GetTextExtent(L"ABC", 3).cy;
    // A line height of 0 (no font, or a mapping that makes the font smaller than one
    // logical unit) fits no line.
    if (lineHeight <= 0)
        return;
    int boxHeight = std::abs(box->bottom - box->top);
    int boxWidth = std::abs(box->right - box->left);
    int maxLines = boxHeight / lineHeight;
    int spare = boxHeight - maxLines * lineHeight;

    int lines = 0;
    int n = 0;
    for (const wchar_t* p = text; (p = NextWrappedLine(p, dc, boxWidth, &n)) != nullptr;)
        ++lines;
    if (lines == 0)
        return;
    if (lines < maxLines)
        spare += (maxLines - lines) * lineHeight;
    else
        lines = maxLines;

    int y = box->top;
    if (format & DT_VCENTER)
        y -= spare / 2;
    else if (format & DT_BOTTOM)
        y -= spare;

    const wchar_t* line = text;
    for (int i = 0; i < lines && line; ++i) {
        int count = 0;
        const wchar_t* next = NextWrappedLine(line, dc, boxWidth, &count);
        RECT rect{box->left, y, box->right, y - lineHeight};
        if (count > 0)
            dc.DrawText(line, count, &rect, format);
        line = next;
        y -= lineHeight;
    }
}
