#include "DoxRichEditControl.h"

#include <new>

#include "DC.h"
#include "DataField.h"
#include "DoxAttribKinds.h"
#include "DoxColor.h"
#include "DoxDataAttribute.h"
#include "DoxEditControl.h"
#include "GdiObjects.h"

namespace
{
RECT Shifted(RECT rect, int dx, int dy)
{
    rect.left -= dx;
    rect.right -= dx;
    rect.top -= dy;
    rect.bottom -= dy;
    return rect;
}
} // namespace

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
    column->Split().DrawSplitText(dc, text, Shifted(GetRect(), dx, dy),
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

DoxControl* DoxRichEditControl::Create(int32_t kindId, const wchar_t* displayName, const char* typeName,
                                       DoxControlLayer* layer, const RECT* rect)
{
    auto* control = new (std::nothrow) DoxRichEditControl;
    if (!control)
        return nullptr;
    control->InitControlBase(kindId, displayName, typeName, layer, rect);
    return control;
}

bool DoxRichEditControl::Init(bool isNew)
{
    if (!DoxControlEx::Init(isNew))
        return false;
    return columns_.InitGrids(&DataAttribute(), isNew);
}

bool DoxRichEditControl::BeginRun()
{
    cells_.BeginRun();
    return DoxControlEx::BeginRun();
}

void DoxRichEditControl::EndRun()
{
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
    const COLORREF oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    cells_.DrawDesign(dc);
    dc.SelectObject(oldFont);
    dc.SetTextColor(oldColour);
}

void DoxRichEditControl::DrawFrame(DC& dc, const RECT& rect, const CBrush& brush)
{
    const CBrush oldBrush = dc.SelectObject(brush);
    CPen nullPen(PS_NULL, 0, 0);
    const bool border = border_.GetValue() != 0;
    CPen oldPen;
    if (!border)
        oldPen = dc.SelectObject(nullPen);
    dc.Rectangle(rect);
    if (!border)
        dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

void DoxRichEditControl::DrawDesignBackground(DC& dc)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    CBrush brush;
    if (bgColor_.GetUValue() == 0xFFFFFFFFu)
        brush.CreateHollowBrush();
    else
        brush.CreateSolidBrush(DoxColorToColorRef(bgColor_.GetUValue()));
    DrawFrame(dc, rect, brush);
    cells_.DrawGridLines(dc);
}

void DoxRichEditControl::DrawBackground(DC& dc)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    const CBrush* brush = GetRunBrush(DoxColorToColorRef(bgColor_.GetUValue()));
    CBrush own;
    if (!brush) {
        if (bgColor_.GetUValue() == 0xFFFFFFFFu)
            own.CreateHollowBrush();
        else
            own.CreateSolidBrush(DoxColorToColorRef(bgColor_.GetUValue()));
        brush = &own;
    }
    DrawFrame(dc, rect, *brush);
}

void DoxRichEditControl::DrawContent(DC& dc, int dx, int dy, bool output)
{
    if (output && !printable_.GetValue())
        return;
    COLORREF oldColour = 0;
    if (!output)
        oldColour = dc.SetTextColor(DoxColorToColorRef(fgColor_.GetUValue()));
    const CFont oldFont = dc.SelectObject(font_.CreateDrawingFont());
    cells_.DrawContent(dc, dx, dy, output);
    dc.SelectObject(oldFont);
    if (!output)
        dc.SetTextColor(oldColour);
}

void DoxRichEditControl::SetRunCursor() {}

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

uint32_t DoxRichEditControl::EditorStyle()
{
    DataField* field = DataAttribute().GetField();
    const uint32_t type = field ? field->GetType() : 0;
    if (type == 2)
        return DoxEditorHost::DateEditor;
    if (type == 3)
        return DoxEditorHost::DateTimeEditor;
    return DoxEditorHost::TextEditor;
}

int DoxRichEditControl::ExchangeEditor(DoxEditorHost* host, int direction)
{
    if (!editable_.GetValue())
        return 0;
    if (direction == 0) {
        if (!host)
            return 0;
        const CFont& font = font_.CreateEditorFont();
        host->Open(&font, EditorStyle(), Basic().GetX(), Basic().GetY(), Basic().GetWidth(),
                   Basic().GetHeight());
        // One line, left-aligned and centred vertically, whatever the columns show.
        host->SetMultiLine(false);
        host->SetDrawFlags(DT_VCENTER | DT_SINGLELINE);
        host->SetEditorFont(&font);
        const uint32_t length = DataAttribute().FieldLength().GetUValue();
        host->SetMaxLength(length == 0 ? -1 : static_cast<int32_t>(length));
        std::wstring text;
        GetBoundText(text);
        host->SetText(text);
        if (tip_.HasDisplayText())
            ShowTip(tip_.GetDisplayText());
        return 1;
    }
    if (direction == 1) {
        std::wstring text;
        FetchEditorText(host, text);
        std::wstring error;
        if (!ApplyText(text, true, error, nullptr)) {
            // The refused entry stays in the editor, and the operator sees why.
            if (error.empty())
                error = L"无效数据";
            ShowTip(error);
            return 0;
        }
        DoxControl::HideTip();
        return 1;
    }
    return 1;
}
