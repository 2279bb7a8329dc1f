#include "DoxEditControl.h"

#include "DC.h"
#include "DataField.h"
#include "DoxColor.h"
#include "DoxControlLayer.h"
#include "DoxDataAttribute.h"
#include "Formula.h"
#include "GdiObjects.h"

DoxEditControl::DoxEditControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&editable_);
    basic.AddItem(&printable_);
    basic.AddItem(&border_);
    basic.AddItem(&transparent_);
    basic.AddItem(&visible_);
    basic.AddItem(&tip_);
    AddAttribute(&font_);
    AddAttribute(&align_);
    AddAttribute(&split_);
    AddAttribute(&DataAttribute());
    AddAttribute(&format_);
    AddAttribute(&formula_);
    split_.UpdateModes();
}

DoxEditControl::~DoxEditControl() = default;

std::wstring DoxEditControl::DrawnText() const
{
    return format_.ContentText(shown_);
}

void DoxEditControl::GetRect(RECT* rect)
{
    DoxControl::GetRect(rect);
    if (!rect)
        return;
    // Hit, focus and redraw areas measure the text exactly as DrawContent lays it.
    const std::wstring text = DrawnText();
    if (!text.empty() && split_.Columns() > 1 && split_.Rows() == 1)
        split_.FitRectToText(text, *rect);
}

bool DoxEditControl::Init(bool isNew)
{
    if (!DoxControlEx::Init(isNew))
        return false;
    AddFormulaSink(&formula_);
    AddDataSink(&format_);
    return true;
}

bool DoxEditControl::BeginRun()
{
    SetFillInCursor(DoxRunCursor::IBeam);
    shown_.clear();
    DoxControlEx::BeginRun();
    RefreshShownText();
    return true;
}

void DoxEditControl::EndRun()
{
    SetFillInCursor(std::nullopt);
    shown_.clear();
    DoxControlEx::EndRun();
}

void DoxEditControl::RefreshShownText()
{
    DataField* field = DataAttribute().GetField();
    if (!GetFormulaAttribute() || !formula_.GetFormula()) {
        if (GetFormulaAttribute() && !formula_.GetFormula() && formula_.Function().GetText() != L"<无>")
            return;
        const uint32_t id = format_.GetFormatId();
        std::wstring text;
        if (field)
            DataAttribute().FormatBoundValue(&id, format_.FormatParam().GetText().c_str(), 0, text);
        shown_ = std::move(text);
        return;
    }
    std::wstring text;
    if (field &&
        formula_.Evaluate(text, format_.GetFormatId(), format_.FormatParam().GetText().c_str(), field, 0))
        shown_ = std::move(text);
    else
        shown_.clear();
}

int DoxEditControl::Update(int32_t /*row*/)
{
    if (visible_.GetValue())
        InvalidateField(0);
    RefreshShownText();
    if (visible_.GetValue())
        InvalidateField(0);
    return 1;
}

void DoxEditControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    RECT rect;
    DoxControl::GetRect(&rect);
    split_.DrawGridLines(rect, dc);
}

bool DoxEditControl::DrawTextInto(DC& dc, const std::wstring& text, const RECT& rect, bool measure)
{
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    const UINT flags = align_.GetVAlign() | align_.GetHAlign();
    if (split_.Columns() > 1 && split_.Rows() == 1) {
        if (split_.FromRight())
            split_.DrawRowCellsFromRight(text, dc, rect, flags | DT_NOPREFIX);
        else
            split_.DrawRowCellsFromLeft(text, dc, rect, flags | DT_NOPREFIX);
    } else {
        split_.DrawSplitText(dc, text, rect, flags);
    }
    const bool fits = !measure || split_.TextFits(dc, text, rect);
    dc.SelectObject(oldFont);
    return fits;
}

void DoxEditControl::DrawDesign(DC& dc)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    const COLORREF oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    const std::wstring text = format_.DesignText();
    split_.DrawSplitText(dc, text, rect, align_.GetVAlign() | align_.GetHAlign());
    const bool fits = split_.TextFits(dc, text, rect);
    dc.SelectObject(oldFont);
    dc.SetTextColor(oldColour);
    if (!fits)
        DrawOverflowMark(dc, rect);
}

void DoxEditControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}

void DoxEditControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    RECT rect;
    DoxControl::GetRect(&rect);
    rect = DoxShiftedRect(rect, dx, dy);
    const std::wstring text = DrawnText();
    if (text.empty())
        return;
    COLORREF oldColour = 0;
    if (!output)
        oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const bool marking = !output && OverflowMarksShown();
    const bool fits = DrawTextInto(dc, text, rect, marking);
    if (!output)
        dc.SetTextColor(oldColour);
    if (!fits)
        DrawOverflowMark(dc, rect);
}

bool DoxEditControl::IsEditable()
{
    return editable_.GetValue() != 0;
}

bool DoxEditControl::IsInput()
{
    return true;
}

bool DoxEditControl::IsVisible()
{
    return visible_.GetValue() != 0;
}

uint8_t DoxEditControl::GetTransparency()
{
    return transparent_.GetTransparency();
}

DoxFieldPlace DoxEditControl::EditorPlace()
{
    return {this, Basic().GetX(), Basic().GetY(), Basic().GetWidth(), Basic().GetHeight()};
}

int DoxEditControl::ExchangeEditor(DoxEditorHost* host, int direction)
{
    if (!editable_.GetValue())
        return 0;
    if (direction == 0) {
        if (!host)
            return 0;
        std::wstring text;
        GetBoundText(text);
        OpenTextEditor(*host, EditorPlace(),
                       {&font_.CreateEditorFont(), DoxEditorStyleFor(DataAttribute().GetField()),
                        split_.EditorMultiLine(), align_.GetVAlign() | align_.GetHAlign(),
                        DataAttribute().FieldLength().GetUValue()},
                       text, tip_);
        return 1;
    }
    if (direction == 1)
        return CommitTextEditor(host, EditorPlace(), [this](std::wstring& text, std::wstring& error) {
            return ApplyText(text, true, error, nullptr) != 0;
        });
    return 1;
}
