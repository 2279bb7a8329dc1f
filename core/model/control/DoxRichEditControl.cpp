#include "DoxRichEditControl.h"

#include <new>

#include "DC.h"
#include "DataField.h"
#include "DoxAttribKinds.h"
#include "DoxColor.h"
#include "DoxDataAttribute.h"
#include "DoxTextEditor.h"
#include "GdiObjects.h"

DoxRichEditSplitAttribute::DoxRichEditSplitAttribute() : DoxAttribute("split", L"拆分") {}

int32_t DoxRichEditSplitAttribute::GetKindId() const
{
    return DoxAttribKindId::RichEditSplit;
}

DoxRichEditCol::DoxRichEditCol(DoxControl* control) : DoxControlCol(control)
{
    AddAttribute(&align_);
    AddAttribute(&split_);
    AddAttribute(&format_);
    AddAttribute(&formula_);
    split_.UpdateModes();
}

DoxRichEditCol::~DoxRichEditCol()
{
    if (DoxDataAttribute* binding = GetBinding()) {
        binding->RemoveSink(&formula_);
        binding->RemoveSink(&format_);
    }
    formula_.ReleaseFormula();
}

bool DoxRichEditCol::Init(bool isNew, void* dataContext)
{
    DoxControlCol::Init(isNew, dataContext);
    auto* binding = static_cast<DoxDataAttribute*>(dataContext);
    if (binding == GetBinding())
        return true;
    if (DoxDataAttribute* old = GetBinding()) {
        old->RemoveSink(&formula_);
        old->RemoveSink(&format_);
    }
    SetBinding(binding);
    SetFilter(&formula_);
    if (binding) {
        // Each hears the field's type at once and follows it from then on.
        binding->AddSink(&formula_);
        binding->AddSink(&format_);
    }
    return true;
}

DoxControlGrid* DoxRichEditColSet::CreateGrid(DoxControl* owner)
{
    return new (std::nothrow) DoxRichEditCol(owner);
}

int DoxRichEditCell::Update(int32_t /*row*/)
{
    std::wstring text;
    std::wstring error;
    ExchangeValue(&Column()->Format(), text, false, error);
    SetText(text);
    return 1;
}

void DoxRichEditCell::DrawDesign(DC& dc)
{
    DoxRichEditCol* column = Column();
    const RECT rect = GetRect();
    column->Split().DrawSplitText(dc, column->Format().DesignText(), rect,
                                  column->Align().GetVAlign() | column->Align().GetHAlign());
}

void DoxRichEditCell::DrawGridLines(DC& dc)
{
    Column()->Split().DrawGridLines(GetRect(), dc);
}

void DoxRichEditCell::DrawContent(DC& dc, int dx, int dy, bool /*output*/)
{
    DoxRichEditCol* column = Column();
    const std::wstring text = column->Format().ContentText(GetText());
    if (text.empty())
        return;
    column->Split().DrawSplitText(dc, text, DoxShiftedRect(GetRect(), dx, dy),
                                  column->Align().GetVAlign() | column->Align().GetHAlign());
}

DoxControlCell* DoxRichEditContainer::CreateCell(DoxControl* control, DoxControlGrid* column,
                                                 DoxControlGrid* row)
{
    return new (std::nothrow) DoxRichEditCell(control, column, row);
}

DoxRichEditControl::DoxRichEditControl()
{
    DoxBasicAttribute& basic = Basic();
    basic.AddItem(&bgColor_);
    basic.AddItem(&fgColor_);
    basic.AddItem(&editable_);
    basic.AddItem(&printable_);
    basic.AddItem(&border_);
    basic.AddItem(&transparent_);
    basic.AddItem(&tip_);
    AddAttribute(&font_);
    AddAttribute(&DataAttribute());
    AddAttribute(&split_);
    split_.AddItem(&columns_);
    SetColSet(&columns_);
}

DoxRichEditControl::~DoxRichEditControl()
{
    SetColSet(nullptr);
}

bool DoxRichEditControl::Init(bool isNew)
{
    if (!DoxControlEx::Init(isNew))
        return false;
    return columns_.InitGrids(&DataAttribute(), isNew);
}

bool DoxRichEditControl::BeginRun()
{
    SetFillInCursor(DoxRunCursor::IBeam);
    cells_.BeginRun();
    return DoxControlEx::BeginRun();
}

void DoxRichEditControl::EndRun()
{
    SetFillInCursor(std::nullopt);
    cells_.EndRun();
    DoxControlEx::EndRun();
}

int DoxRichEditControl::Update(int32_t /*row*/)
{
    // The cells re-read their own texts.
    InvalidateField(0);
    return 1;
}

void DoxRichEditControl::DrawDesign(DC& dc)
{
    cells_.DrawDesign(dc, DoxColorToColorRef(fgColor_.GetUValue()), font_.CreateDrawingFont());
}

void DoxRichEditControl::DrawDesignBackground(DC& dc)
{
    DrawDesignFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
    cells_.DrawGridLines(dc);
}

void DoxRichEditControl::DrawBackground(DC& dc)
{
    DrawRunFill(dc, bgColor_.GetUValue(), border_.GetValue() != 0);
}

void DoxRichEditControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    cells_.DrawContent(dc, dx, dy, output, DoxColorToColorRef(fgColor_.GetUValue()),
                       font_.CreateDrawingFont());
}

bool DoxRichEditControl::IsEditable()
{
    return editable_.GetValue() != 0;
}

bool DoxRichEditControl::IsInput()
{
    return true;
}

bool DoxRichEditControl::IsVisible()
{
    return true;
}

uint8_t DoxRichEditControl::GetTransparency()
{
    return transparent_.GetTransparency();
}

int DoxRichEditControl::ExchangeEditor(DoxEditorHost* host, int direction)
{
    if (!editable_.GetValue())
        return 0;
    const DoxFieldPlace place{this, Basic().GetX(), Basic().GetY(), Basic().GetWidth(), Basic().GetHeight()};
    if (direction == 0) {
        if (!host)
            return 0;
        std::wstring text;
        GetBoundText(text);
        // One line, left-aligned and centred vertically, whatever the columns show.
        OpenTextEditor(*host, place,
                       {&font_.CreateEditorFont(), DoxEditorStyleFor(DataAttribute().GetField()), false,
                        DT_VCENTER | DT_SINGLELINE, DataAttribute().FieldLength().GetUValue()},
                       text, tip_);
        return 1;
    }
    if (direction == 1)
        return CommitTextEditor(host, place, [this](std::wstring& text, std::wstring& error) {
            return ApplyText(text, true, error, nullptr) != 0;
        });
    return 1;
}
