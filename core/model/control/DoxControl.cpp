#include "DoxControl.h"

#include <tinyxml2.h>

#include "DC.h"
#include "DataCell.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DataPage.h"
#include "DoxColor.h"
#include "DoxControlLayer.h"
#include "DoxDC.h"
#include "DoxDataAttribute.h"
#include "DoxTextAttributes.h"
#include "Formula.h"
#include "GdiObjects.h"

void DoxControlGrabFace::Release()
{
    designLink_ = nullptr;
    ReleaseReference();
}

DoxControl::DoxControl()
{
    AddAttribute(&basic_);
}

DoxControl::~DoxControl() = default;

void DoxControl::ReleaseReference()
{
    InterfaceImpl<ICommon>::Release();
}

void DoxControl::FinalRelease()
{
    // The count is at zero from here on: the layer's release below finds it so and
    // returns, and the object is deleted exactly once.
    refCount_ = 0;
    if (designLink_) {
        if (layer_ && layer_->GetView())
            layer_->GetView()->RemoveObject(designLink_);
        designLink_ = nullptr;
    }
    if (DoxControlLayer* layer = layer_) {
        layer->UnlinkControl(this);
        SetParentLayer(nullptr);
        InterfaceImpl<ICommon>::Release();
    }
    delete this;
}

void DoxControl::SetParentLayer(DoxControlLayer* layer)
{
    layer_ = layer;
    basic_.SetParentLayer(layer);
}

DataPage* DoxControl::GetPageData()
{
    return layer_ ? layer_->GetPageData() : nullptr;
}

DataContainer* DoxControl::GetDataContext()
{
    return GetPageData();
}

void DoxControl::GetRect(RECT* rect)
{
    if (!rect)
        return;
    rect->left = basic_.GetX();
    rect->top = basic_.GetY();
    rect->right = rect->left + basic_.GetWidth();
    rect->bottom = rect->top - basic_.GetHeight();
}

bool DoxControl::Init(bool /*isNew*/)
{
    return true;
}

bool DoxControl::BeginRun()
{
    return true;
}

void DoxControl::EndRun() {}

void DoxControl::DrawDesign(DC& /*dc*/) {}

void DoxControl::DrawDesignBackground(DC& /*dc*/) {}

void DoxControl::DrawBackground(DC& /*dc*/) {}

void DoxControl::DrawContent(DC& /*dc*/, int /*dx*/, int /*dy*/, bool /*output*/) {}

bool DoxControl::OnRunClick(DC* /*dc*/, uint32_t /*flags*/, int x, int y)
{
    if (!IsEditable() || !basic_.ContainsPoint(x, y))
        return false;
    if (runner_)
        runner_->SetFocusControl(this);
    return true;
}

bool DoxControl::HitTest(DC* /*dc*/, uint32_t /*flags*/, int x, int y)
{
    return basic_.ContainsPoint(x, y);
}

void DoxControl::SetRunCursor()
{
    if (runner_ && fillInCursor_)
        runner_->SetRunCursor(*fillInCursor_);
}

bool DoxControl::IsEditable()
{
    return false;
}

bool DoxControl::IsInput()
{
    return false;
}

bool DoxControl::IsVisible()
{
    return true;
}

uint8_t DoxControl::GetTransparency()
{
    return 0;
}

void* DoxControl::CastTo(int kind)
{
    switch (kind) {
    case 0:
        return static_cast<ICommon*>(this);
    case 1:
        return static_cast<GrabObjectCore*>(this);
    case 2:
        for (DoxAttribute* attribute : Attributes())
            attribute->Refresh();
        return static_cast<DoxAttribSet*>(this);
    default:
        return nullptr;
    }
}

void DoxControl::GetMinSize(SIZE* size)
{
    if (!size)
        return;
    size->cx = colSet_ ? colSet_->GetMinSize() : 20;
    size->cy = rowSet_ ? rowSet_->GetMinSize() : 20;
}

void DoxControl::SetRect(const RECT& rect)
{
    basic_.StoreRect(rect.left, rect.top, rect.right - rect.left, rect.top - rect.bottom);
    if (colSet_)
        colSet_->Relayout(false);
    if (rowSet_)
        rowSet_->Relayout(false);
    if (layer_)
        layer_->SetModified();
}

void DoxControl::Relayout()
{
    if (colSet_)
        colSet_->Relayout(false);
    if (rowSet_)
        rowSet_->Relayout(false);
}

namespace
{
RECT Normalised(RECT r)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return r;
}
} // namespace

bool DoxVisibleBox(DC& dc, RECT* box)
{
    const RECT clip = Normalised(dc.GetClipBox());
    if (clip.left == clip.right || clip.top == clip.bottom)
        return false;
    // One unit around it, for the rounding between logical units and pixels.
    *box = RECT{clip.left - 1, clip.top - 1, clip.right + 1, clip.bottom + 1};
    return true;
}

bool DoxMeetsBox(const RECT& rect, const RECT& box)
{
    const RECT r = Normalised(rect);
    return r.left <= box.right && r.right >= box.left && r.top <= box.bottom && r.bottom >= box.top;
}

template <class Background> void DoxControl::DrawBlended(DC& dc, Background background)
{
    const uint8_t t = GetTransparency();
    if (t == 0) {
        background(dc);
    } else {
        // The background fills the whole control; the edit control's narrower
        // rectangle of the drawn text must not cut the blend short.
        RECT area;
        DoxControl::GetRect(&area);
        dc.LPtoDP(&area);
        if (area.left > area.right)
            std::swap(area.left, area.right);
        if (area.top > area.bottom)
            std::swap(area.top, area.bottom);
        ++area.right;
        ++area.bottom;
        // The buffer covers only what the target can show of the control: a table
        // far larger than the window costs what the window shows of it.
        RECT visible;
        if (DoxVisibleBox(dc, &visible)) {
            dc.LPtoDP(&visible);
            visible = Normalised(visible);
            area.left = std::max(area.left, visible.left);
            area.top = std::max(area.top, visible.top);
            area.right = std::min(area.right, visible.right + 1);
            area.bottom = std::min(area.bottom, visible.bottom + 1);
            if (area.left >= area.right || area.top >= area.bottom) {
                dc.SetBkMode(TRANSPARENT);
                return;
            }
        }
        DoxDC buffer;
        if (buffer.BeginBuffer(&area, &dc, true)) {
            int zoom = 100;
            buffer.SetZoom(*dc.GetZoom(&zoom));
            buffer.SetMapMode(dc.GetMapping());
            buffer.SetBkMode(TRANSPARENT);
            background(buffer);
            buffer.EndBufferBlend(static_cast<BYTE>(255 - t));
        }
    }
    dc.SetBkMode(TRANSPARENT);
}

namespace
{
void FillFrame(DC& dc, const RECT& rect, const CBrush& brush, bool border)
{
    const CBrush oldBrush = dc.SelectObject(brush);
    CPen nullPen(PS_NULL, 0, 0);
    CPen oldPen;
    if (!border)
        oldPen = dc.SelectObject(nullPen);
    dc.Rectangle(rect);
    if (!border)
        dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}

void MakeFillBrush(CBrush& brush, uint32_t colour)
{
    if (colour == 0xFFFFFFFFu)
        brush.CreateHollowBrush();
    else
        brush.CreateSolidBrush(DoxColorToColorRef(colour));
}
} // namespace

void DoxControl::DrawDesignFill(DC& dc, uint32_t colour, bool border)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    CBrush brush;
    MakeFillBrush(brush, colour);
    FillFrame(dc, rect, brush, border);
}

void DoxControl::DrawRunFill(DC& dc, uint32_t colour, bool border)
{
    RECT rect;
    DoxControl::GetRect(&rect);
    const CBrush* brush = GetRunBrush(DoxColorToColorRef(colour));
    CBrush own;
    if (!brush) {
        MakeFillBrush(own, colour);
        brush = &own;
    }
    FillFrame(dc, rect, *brush, border);
}

void DoxControl::DrawDesign(DC* dc)
{
    if (!dc)
        return;
    DrawBlended(*dc, [this](DC& target) { DrawDesignBackground(target); });
    DrawDesign(*dc);
}

void DoxControl::DrawTransparent(DC& dc)
{
    DrawBlended(dc, [this](DC& target) { DrawBackground(target); });
    DrawContent(dc, 0, 0, false);
}

int DoxControl::HitSplitter(DC* dc, int x, int y)
{
    if (colSet_ && colSet_->HitSplitter(dc, x, y))
        return 1;
    return rowSet_ && rowSet_->HitSplitter(dc, x, y) ? 1 : 0;
}

int DoxControl::FindSplitter(GrabPane** line, DC* dc, int x, int y)
{
    if (colSet_ && colSet_->FindSplitter(line, dc, x, y))
        return 1;
    return rowSet_ && rowSet_->FindSplitter(line, dc, x, y) ? 1 : 0;
}

int DoxControl::TestSplitter(DC* dc, int x, int y)
{
    if (colSet_ && colSet_->TestSplitter(dc, x, y))
        return 1;
    return rowSet_ && rowSet_->TestSplitter(dc, x, y) ? 1 : 0;
}

int DoxControl::IsMoveLocked()
{
    if (basic_.LockItem().GetValue())
        return 1;
    return layer_ && layer_->IsLocked() ? 1 : 0;
}

int DoxControl::IsSizeLocked()
{
    return IsMoveLocked();
}

int DoxControl::IsSelectLocked()
{
    return IsMoveLocked();
}

int DoxControl::IsLayerShown()
{
    return layer_ && layer_->GetState() != 0 ? 1 : 0;
}

int DoxControl::IsLayerCurrent()
{
    return layer_ && layer_->GetState() == 2 ? 1 : 0;
}

GrabLayer* DoxControl::GetLayer()
{
    return layer_;
}

int DoxControl::SaveXml(tinyxml2::XMLElement* parent)
{
    if (!parent)
        return 0;
    tinyxml2::XMLElement* element = parent->GetDocument()->NewElement("dox:control");
    element->SetAttribute("id", GetId().c_str());
    // The design face writes copies (clipboard, duplicate): they carry no fill-in
    // order, so a copy never shares one with its original.
    if (!DoxAttribSet::SaveXml(element, false)) {
        parent->GetDocument()->DeleteNode(element);
        return 0;
    }
    parent->InsertEndChild(element);
    return 1;
}

GrabObjectCore* DoxControl::Duplicate(int a, int b)
{
    if (!layer_)
        return nullptr;
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = document.NewElement("copy");
    document.InsertEndChild(root);
    if (!SaveXml(root))
        return nullptr;
    DoxControl* copy = layer_->LoadControl(root->FirstChildElement("dox:control"), a, b);
    return copy ? static_cast<GrabObjectCore*>(copy) : nullptr;
}

void DoxControl::SetTabIndex(int index)
{
    if (index == basic_.OrderItem().GetStoredValue())
        return;
    basic_.OrderItem().StoreValue(index);
    if (layer_)
        layer_->SetModified();
}

int DoxControl::GetTabIndex()
{
    return basic_.OrderItem().GetStoredValue();
}

void DoxControl::RelayoutAndRedraw()
{
    if (colSet_)
        colSet_->Relayout(true);
    if (rowSet_)
        rowSet_->Relayout(true);
    if (layer_ && layer_->GetView())
        layer_->GetView()->InvalidateObject(this, 0);
}

int DoxControl::HasSplit()
{
    return colSet_ || rowSet_ ? 1 : 0;
}

void DoxControl::Destroy(uint32_t /*flags*/)
{
    delete this;
}

const char* DoxControl::GetXmlTag() const
{
    return "dox:control";
}

bool DoxControl::AcceptChange(bool changing)
{
    GrabWindow* view = layer_ && designLink_ ? layer_->GetView() : nullptr;
    if (changing) {
        if (view) {
            view->InvalidateObject(this, 0);
            view->CloseEditor(this);
        }
        DoxAttribItem* item = basic_.GetChangingItem();
        if (item && (item == &basic_.XItem() || item == &basic_.YItem() || item == &basic_.WidthItem() ||
                     item == &basic_.HeightItem())) {
            // A typed position or size keeps custom column widths and row heights,
            // as a handle move does.
            if (colSet_)
                colSet_->Relayout(false);
            if (rowSet_)
                rowSet_->Relayout(false);
        }
        if (layer_)
            layer_->SetModified();
    }
    if (view)
        view->InvalidateObject(this, 0);
    return true;
}

void DoxControl::InvalidateField(int flag)
{
    // A field's area is measured from its text: not worth it while nothing repaints
    // (a continuous print loads a thousand bills into a page whose painting is held).
    if (!runner_ || !runner_->ShowsChanges())
        return;
    RECT rect;
    GetRect(&rect);
    runner_->InvalidateFocusRect(rect, flag);
}

void DoxControl::ValidateField()
{
    if (!runner_)
        return;
    RECT rect;
    GetRect(&rect);
    runner_->ValidateFocusRect(rect);
}

void DoxControl::DrawFocus(DC* dc)
{
    if (!runner_)
        return;
    RECT rect;
    GetRect(&rect);
    runner_->DrawFocusFrame(rect, dc);
}

int DoxControl::IsWholeControl()
{
    return 1;
}

DoxControl* DoxControl::GetControl()
{
    return this;
}

DoxControlBase* DoxControl::NextField()
{
    return nullptr;
}

DoxControlBase* DoxControl::PrevField()
{
    return nullptr;
}

DataField* DoxControl::GetBinding()
{
    return nullptr;
}

void DoxControl::ReservedField() {}

void DoxControl::HideTip()
{
    if (runner_)
        runner_->HideTip();
}

int DoxControl::ExchangeEditor(DoxEditorHost* /*host*/, int /*direction*/)
{
    return 0;
}

void DoxControl::GetFieldRect(POINT* position, SIZE* size)
{
    if (position) {
        position->x = basic_.GetX();
        position->y = basic_.GetY();
    }
    if (size) {
        size->cx = basic_.GetWidth();
        size->cy = basic_.GetHeight();
    }
}

const CBrush* DoxControl::GetRunBrush(COLORREF colour)
{
    return runner_ ? runner_->GetRunBrush(colour) : nullptr;
}

void DoxControl::ShowTip(const std::wstring& text)
{
    ShowTipAt(text, basic_.GetX(), basic_.GetY(), basic_.GetWidth(), basic_.GetHeight());
}

void DoxControl::ShowTipAt(const std::wstring& text, int x, int y, int width, int height)
{
    if (runner_)
        runner_->ShowTip(text, x, y, width, height);
}

void DoxControl::InitControlBase(int32_t kindId, const wchar_t* displayName, const char* typeName,
                                 DoxControlLayer* layer, const RECT* rect)
{
    kindId_ = kindId;
    SetName(displayName ? displayName : L"");
    SetId(typeName ? typeName : "");
    SetParentLayer(layer);
    if (rect)
        basic_.StoreRect(rect->left, rect->top, rect->right - rect->left, rect->top - rect->bottom);
}

DoxControlEx::DoxControlEx() : data_(new DoxDataAttribute) {}

DoxControlEx::~DoxControlEx()
{
    // The formula group belongs to the kind and is gone by now; it released its
    // condition object itself.
    formula_ = nullptr;
    if (DataField* field = data_->GetField())
        field->RemoveObserver(this);
    delete data_;
}

bool DoxControlEx::Init(bool isNew)
{
    return data_->Bind(GetDataContext(), GetPageData(), isNew);
}

bool DoxControlEx::BeginRun()
{
    if (DataField* field = data_->GetField())
        field->AddObserver(0, this);
    if (formula_)
        formula_->CreateRunFormula();
    return true;
}

void DoxControlEx::EndRun()
{
    if (DataField* field = data_->GetField())
        field->RemoveObserver(this);
    if (formula_)
        formula_->ReleaseFormula();
}

bool DoxControlEx::IsInput()
{
    return true;
}

DoxControlBase* DoxControlEx::NextField()
{
    return this;
}

DoxControlBase* DoxControlEx::PrevField()
{
    return this;
}

DataField* DoxControlEx::GetBinding()
{
    return data_->GetField();
}

int DoxControlEx::Update(int32_t /*row*/)
{
    InvalidateField(0);
    return 1;
}

void DoxControlEx::AddDataSink(DoxAttribute* attribute)
{
    auto* sink = dynamic_cast<DoxDataAttributeSink*>(attribute);
    if (!sink)
        return;
    data_->AddSink(sink);
    sink->OnFieldType(data_->FieldType().GetUValue());
}

void DoxControlEx::AddFormulaSink(DoxFormulaAttribute* attribute)
{
    if (!attribute)
        return;
    formula_ = attribute;
    AddDataSink(attribute);
}

bool DoxControlEx::GetBoundText(std::wstring& text)
{
    text.clear();
    DataField* field = data_->GetField();
    DataContainer* container = data_->GetContainer();
    if (!field || !container || container->GetRows() < 1)
        return false;
    return container->GetCellText(0, field, text) != 0;
}

int DoxControlEx::ApplyText(std::wstring& text, bool commit, std::wstring& error, DoxFormatAttribute* format)
{
    DataField* field = data_->GetField();
    if (commit) {
        DataCell* cell = field ? field->GetCell(0) : nullptr;
        if (!cell)
            return 0;
        return cell->SetText(text.c_str(), &error);
    }
    if (formula_) {
        Formula* formula = formula_->GetFormula();
        if (!formula || !field)
            return 0;
        const uint32_t formatId = format ? format->GetFormatId() : (field->GetType() << 16);
        const wchar_t* parameter = format ? format->FormatParam().GetText().c_str() : L"";
        return formula->Evaluate(text, formatId, parameter, field, 0);
    }
    if (format) {
        const uint32_t formatId = format->GetFormatId();
        return data_->FormatBoundValue(&formatId, format->FormatParam().GetText().c_str(), 0, text) ? 1 : 0;
    }
    return data_->FormatBoundValue(nullptr, L"", 0, text) ? 1 : 0;
}
