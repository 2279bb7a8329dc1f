#include "DoxTableControl.h"

#include <new>

#include "DC.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DataTable.h"
#include "DoxAttribKinds.h"
#include "DoxColor.h"
#include "DoxTextEditor.h"
#include "GdiObjects.h"

DoxTableSplitAttribute::DoxTableSplitAttribute() : DoxAttribute("split", L"拆分") {}

int32_t DoxTableSplitAttribute::GetKindId() const
{
    return DoxAttribKindId::TableSplit;
}

// Columns.

DoxTableCol::DoxTableCol(DoxControl* control) : DoxControlCol(control)
{
    Base().AddItem(&editable_);
    Base().AddItem(&tip_);
    AddAttribute(&font_);
    AddAttribute(&align_);
    AddAttribute(&split_);
    AddAttribute(&data_);
    AddAttribute(&format_);
    AddAttribute(&formula_);
    split_.UpdateModes();
}

DoxTableCol::~DoxTableCol()
{
    data_.RemoveSink(&formula_);
    data_.RemoveSink(&format_);
    formula_.ReleaseFormula();
}

bool DoxTableCol::Init(bool isNew, void* dataContext)
{
    DoxControlCol::Init(isNew, dataContext);
    auto* table = static_cast<DataContainer*>(dataContext);
    DoxControl* control = GetControl();
    if (!data_.Bind(table, control ? control->GetPageData() : nullptr, isNew))
        return false;
    SetBinding(&data_);
    SetFilter(&formula_);
    if (!sinksAttached_) {
        // Each hears the field's type at once and follows it from then on.
        data_.AddSink(&formula_);
        data_.AddSink(&format_);
        sinksAttached_ = true;
    }
    return true;
}

DoxControlGrid* DoxTableColSet::CreateGrid(DoxControl* owner)
{
    return new (std::nothrow) DoxTableCol(owner);
}

DoxControlGrid* DoxTableRowSet::CreateGrid(DoxControl* owner)
{
    return new (std::nothrow) DoxTableRow(owner);
}

// Cells.

int DoxTableCell::Update(int32_t /*row*/)
{
    std::wstring text;
    std::wstring error;
    ExchangeValue(&Column()->Format(), text, false, error);
    SetText(text);
    InvalidateField(0);
    return 1;
}

void DoxTableCell::DrawText(DC& dc, const std::wstring& text, const RECT& rect)
{
    DoxTableCol* column = Column();
    const CFont oldFont = dc.SelectObject(column->Font().CreateDrawingFont());
    column->Split().DrawSplitText(dc, text, rect, column->Align().GetVAlign() | column->Align().GetHAlign());
    dc.SelectObject(oldFont);
}

void DoxTableCell::DrawDesign(DC& dc)
{
    DrawText(dc, Column()->Format().DesignText(), GetRect());
}

void DoxTableCell::DrawGridLines(DC& dc)
{
    Column()->Split().DrawGridLines(GetRect(), dc);
}

void DoxTableCell::DrawContent(DC& dc, int dx, int dy, bool /*output*/)
{
    const std::wstring text = Column()->Format().ContentText(GetText());
    if (text.empty())
        return;
    DrawText(dc, text, DoxShiftedRect(GetRect(), dx, dy));
}

bool DoxTableCell::CanInput()
{
    return Column()->Editable().GetValue() != 0;
}

int DoxTableCell::ExchangeEditor(DoxEditorHost* host, int direction)
{
    DoxTableCol* column = Column();
    if (!column->Editable().GetValue())
        return 0;
    const RECT r = GetRect();
    const DoxFieldPlace place{GetControl(), r.left, r.top, r.right - r.left, r.top - r.bottom};
    if (direction == 0) {
        if (!host)
            return 0;
        std::wstring text;
        GetBoundText(text);
        OpenTextEditor(*host, place,
                       {&column->Font().CreateEditorFont(), DoxEditorStyleFor(column->Data().GetField()),
                        column->Split().EditorMultiLine(),
                        column->Align().GetVAlign() | column->Align().GetHAlign(),
                        column->Data().FieldLength().GetUValue()},
                       text, column->Tip());
        return 1;
    }
    if (direction == 1)
        return CommitTextEditor(host, place, [this](std::wstring& text, std::wstring& error) {
            return ExchangeValue(nullptr, text, true, error);
        });
    return 1;
}

DoxControlCell* DoxTableContainer::CreateCell(DoxControl* control, DoxControlGrid* column,
                                              DoxControlGrid* row)
{
    return new (std::nothrow) DoxTableCell(control, column, row);
}

// The control.

DoxTableControl::DoxTableControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&border_);
    basic.AddItem(&transparent_);
    AddAttribute(&table_);
    AddAttribute(&split_);
    split_.AddItem(&columns_);
    split_.AddItem(&rows_);
    SetColSet(&columns_);
    SetRowSet(&rows_);
}

DoxTableControl::~DoxTableControl()
{
    SetColSet(nullptr);
    SetRowSet(nullptr);
}

DataContainer* DoxTableControl::GetDataContext()
{
    return table_.GetTable();
}

bool DoxTableControl::Init(bool isNew)
{
    if (!table_.Bind(GetPageData(), isNew))
        return false;
    DataContainer* table = table_.GetTable();
    return columns_.InitGrids(table, isNew) && rows_.InitGrids(table, isNew);
}

bool DoxTableControl::BeginRun()
{
    SetFillInCursor(DoxRunCursor::IBeam);
    cells_.BeginRun();
    return true;
}

void DoxTableControl::EndRun()
{
    SetFillInCursor(std::nullopt);
    cells_.EndRun();
}

void DoxTableControl::DrawDesign(DC& dc)
{
    savedTextColour_ = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    cells_.DrawDesign(dc);
    dc.SetTextColor(savedTextColour_);
}

void DoxTableControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    cells_.DrawGridLines(dc);
}

void DoxTableControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    columns_.DrawLines(dc);
    rows_.DrawLines(dc);
}

void DoxTableControl::DrawPrintedLines(DC& dc, int dx, int dy)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    rect = DoxShiftedRect(rect, dx, dy);
    for (int i = 0; i + 1 < columns_.Count(); ++i) {
        const int x = columns_.GridAt(i)->GetSpanEnd() - dx;
        dc.MoveTo(x, rect.top);
        dc.LineTo(x, rect.bottom);
    }
    for (int i = 0; i + 1 < rows_.Count(); ++i) {
        const int y = rows_.GridAt(i)->GetSpanEnd() - dy;
        dc.MoveTo(rect.left, y);
        dc.LineTo(rect.right, y);
    }
    RECT box;
    const bool known = DoxVisibleBox(dc, &box);
    for (int i = 0; i < cells_.CellCount(); ++i) {
        auto* cell = static_cast<DoxTableCell*>(cells_.CellAt(i));
        const RECT shifted = DoxShiftedRect(cell->GetRect(), dx, dy);
        if (!known || DoxMeetsBox(shifted, box))
            cell->Column()->Split().DrawBoxLines(shifted, dc);
    }
}

void DoxTableControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output) {
        DrawPrintedLines(dc, dx, dy);
        cells_.DrawContent(dc, dx, dy, output);
        return;
    }
    savedTextColour_ = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    cells_.DrawContent(dc, dx, dy, output);
    dc.SetTextColor(savedTextColour_);
}

bool DoxTableControl::OnRunClick(DC* /*dc*/, uint32_t /*flags*/, int x, int y)
{
    return cells_.OnRunClick(x, y);
}

bool DoxTableControl::HitTest(DC* /*dc*/, uint32_t /*flags*/, int x, int y)
{
    return cells_.HitTest(x, y);
}

bool DoxTableControl::IsEditable()
{
    return true;
}

bool DoxTableControl::IsInput()
{
    return true;
}

bool DoxTableControl::IsVisible()
{
    return true;
}

uint8_t DoxTableControl::GetTransparency()
{
    return transparent_.GetTransparency();
}

DoxControlBase* DoxTableControl::NextField()
{
    return cells_.FirstInput();
}

DoxControlBase* DoxTableControl::PrevField()
{
    return cells_.LastInput();
}
