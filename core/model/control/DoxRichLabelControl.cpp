#include "DoxRichLabelControl.h"

#include <new>

#include "DC.h"
#include "DoxAttribKinds.h"
#include "DoxColor.h"
#include "GdiObjects.h"

DoxRichLabelSplitAttribute::DoxRichLabelSplitAttribute() : DoxAttribute("split", L"拆分") {}

int32_t DoxRichLabelSplitAttribute::GetKindId() const
{
    return DoxAttribKindId::RichLabelSplit;
}

DoxRichLabelCol::DoxRichLabelCol(DoxControl* control) : DoxControlCol(control)
{
    Base().AddItem(&text_);
    AddAttribute(&align_);
    AddAttribute(&split_);
    split_.UpdateModes();
}

DoxControlGrid* DoxRichLabelColSet::CreateGrid(DoxControl* owner)
{
    return new (std::nothrow) DoxRichLabelCol(owner);
}

void DoxRichLabelCell::DrawCaption(DC& dc, const RECT& rect)
{
    DoxRichLabelCol* column = Column();
    column->Split().DrawSplitText(dc, column->DisplayText(), rect,
                                  column->Align().GetVAlign() | column->Align().GetHAlign());
}

void DoxRichLabelCell::DrawDesign(DC& dc)
{
    DrawCaption(dc, GetRect());
}

void DoxRichLabelCell::DrawContent(DC& dc, int dx, int dy, bool /*output*/)
{
    DrawCaption(dc, DoxShiftedRect(GetRect(), dx, dy));
}

DoxControlCell* DoxRichLabelContainer::CreateCell(DoxControl* control, DoxControlGrid* column,
                                                  DoxControlGrid* row)
{
    return new (std::nothrow) DoxRichLabelCell(control, column, row);
}

DoxRichLabelControl::DoxRichLabelControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&printable_);
    basic.AddItem(&border_);
    AddAttribute(&font_);
    AddAttribute(&split_);
    split_.AddItem(&columns_);
    SetColSet(&columns_);
}

DoxRichLabelControl::~DoxRichLabelControl()
{
    SetColSet(nullptr);
}

bool DoxRichLabelControl::BeginRun()
{
    cells_.BeginRun();
    return true;
}

void DoxRichLabelControl::EndRun()
{
    cells_.EndRun();
}

void DoxRichLabelControl::DrawDesign(DC& dc)
{
    cells_.DrawDesign(dc, DoxColorToColorRef(fgColor_.GetUValue()), font_.CreateDrawingFont());
}

void DoxRichLabelControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    cells_.DrawGridLines(dc);
}

void DoxRichLabelControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}

void DoxRichLabelControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    cells_.DrawContent(dc, dx, dy, output, DoxColorToColorRef(fgColor_.GetUValue()),
                       font_.CreateDrawingFont());
}
