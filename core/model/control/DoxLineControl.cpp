#include "DoxLineControl.h"

#include <new>

#include "DoxAttribItem.h"
#include "DoxColor.h"

namespace
{
const DoxAttribChoice kLineStyles[] = {
    {L"左边", 0}, {L"上边", 1}, {L"右边", 2}, {L"下边", 3}, {L"前对角", 4}, {L"后对角", 5},
};
} // namespace

DoxLineStyleOptions::DoxLineStyleOptions() : DoxAttribOptionsTable(kLineStyles, 6, false) {}

DoxStyleItem::DoxStyleItem(uint32_t initial, DoxAttribOptions* options)
    : DoxAttribItemUint("style", L"样式", initial)
{
    SetType(DOX_ATTRIB_KIND_CHOICE);
    SetOptions(options);
}

bool DoxLineEnds(uint32_t style, const RECT& r, POINT& from, POINT& to)
{
    switch (style) {
    case 0:
        from = {r.left, r.top};
        to = {r.left, r.bottom};
        return true;
    case 1:
        from = {r.left, r.top};
        to = {r.right, r.top};
        return true;
    case 2:
        from = {r.right, r.top};
        to = {r.right, r.bottom};
        return true;
    case 3:
        from = {r.left, r.bottom};
        to = {r.right, r.bottom};
        return true;
    case 4:
        from = {r.left, r.top};
        to = {r.right, r.bottom};
        return true;
    case 5:
        from = {r.left, r.bottom};
        to = {r.right, r.top};
        return true;
    default:
        return false;
    }
}

bool DoxCreateRulePen(CPen& pen, uint32_t colour)
{
    return pen.ExtCreatePen(PS_COSMETIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1,
                            DoxColorToColorRef(colour));
}

bool DoxDrawOnlyControl::BeginRun()
{
    return true;
}

void DoxDrawOnlyControl::EndRun() {}
void DoxDrawOnlyControl::DrawDesignBackground(DC&) {}
void DoxDrawOnlyControl::DrawBackground(DC&) {}
void DoxDrawOnlyControl::SetRunCursor() {}

bool DoxDrawOnlyControl::IsEditable()
{
    return false;
}

bool DoxDrawOnlyControl::IsInput()
{
    return false;
}

bool DoxDrawOnlyControl::IsVisible()
{
    return true;
}

uint8_t DoxDrawOnlyControl::GetTransparency()
{
    return 0;
}

void DoxDrawOnlyControl::DrawDesign(DC& dc)
{
    RECT rect;
    GetRect(&rect);
    CPen pen;
    DoxCreateRulePen(pen, LineColour());
    const CPen old = dc.SelectObject(pen);
    DrawLines(dc, rect);
    dc.SelectObject(old);
}

void DoxDrawOnlyControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !IsPrintable())
        return;
    RECT rect;
    DoxControl::GetRect(&rect);
    rect = DoxShiftedRect(rect, dx, dy);
    if (output) {
        // The runner has selected the printing pen.
        DrawLines(dc, rect);
        return;
    }
    CPen pen;
    DoxCreateRulePen(pen, LineColour());
    const CPen old = dc.SelectObject(pen);
    DrawLines(dc, rect);
    dc.SelectObject(old);
}

DoxLineControl::DoxLineControl() : style_(3, &styleOptions_)
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&fgColor_);
    basic.AddItem(&style_);
    basic.AddItem(&printable_);
}

void DoxLineControl::DrawLines(DC& dc, const RECT& rect)
{
    POINT from;
    POINT to;
    if (!DoxLineEnds(style_.GetUValue(), rect, from, to))
        return;
    dc.MoveTo(from.x, from.y);
    dc.LineTo(to.x, to.y);
}
