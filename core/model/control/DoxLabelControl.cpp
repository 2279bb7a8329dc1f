#include "DoxLabelControl.h"

#include <new>

#include "DC.h"
#include "DoxColor.h"
#include "GdiObjects.h"

DoxLabelControl::DoxLabelControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&text_);
    basic.AddItem(&printable_);
    basic.AddItem(&border_);
    AddAttribute(&font_);
    AddAttribute(&align_);
    AddAttribute(&split_);
}

bool DoxLabelControl::DrawTextInto(DC& dc, const RECT& rect, bool measure)
{
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    const std::wstring text = text_.GetDisplayText();
    split_.DrawSplitText(dc, text, rect, align_.GetVAlign() | align_.GetHAlign());
    const bool fits = !measure || split_.TextFits(dc, text, rect);
    dc.SelectObject(oldFont);
    return fits;
}

void DoxLabelControl::DrawDesign(DC& dc)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    const COLORREF oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const bool fits = DrawTextInto(dc, rect, true);
    dc.SetTextColor(oldColour);
    if (!fits)
        DrawOverflowMark(dc, rect);
}

void DoxLabelControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    RECT rect;
    DoxControl::GetRect(&rect);
    rect = DoxShiftedRect(rect, dx, dy);
    COLORREF oldColour = 0;
    if (!output)
        oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const bool fits = DrawTextInto(dc, rect, !output && OverflowMarksShown());
    if (!output)
        dc.SetTextColor(oldColour);
    if (!fits)
        DrawOverflowMark(dc, rect);
}

void DoxLabelControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    RECT rect;
    DoxControl::GetRect(&rect);
    split_.DrawGridLines(rect, dc);
}

void DoxLabelControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}
