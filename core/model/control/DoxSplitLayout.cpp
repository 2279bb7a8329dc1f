#include "DoxSplitLayout.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tinyxml2.h>

#include "DC.h"
#include "DataContainer.h"
#include "DataField.h"
#include "DoxAttribKinds.h"
#include "DoxControlLayer.h"
#include "DoxDataAttribute.h"
#include "DoxTextAttributes.h"
#include "Formula.h"
#include "GdiObjects.h"

namespace
{
const wchar_t* const kOutOfRange = L"超出有效范围";
constexpr COLORREF kLineColour = 0x404040;
} // namespace

DoxGridSizeItem::DoxGridSizeItem(const char* key, const wchar_t* caption) : DoxAttribItemSize(key, caption)
{
    value_ = DoxGridMinSize;
    defaultValue_ = DoxGridMinSize;
}

DoxAttribGridBasic::DoxAttribGridBasic(bool row)
    : DoxAttribute("base", L"基本"), size_(row ? "cy" : "cx", row ? L"cy" : L"cx")
{
    AddItem(&size_);
}

int32_t DoxAttribGridBasic::GetKindId() const
{
    return DoxAttribKindId::GridBasic;
}

// Grids.

DoxControlGrid::DoxControlGrid(DoxControl* control, bool row)
    : DoxAttribSet(control), base_(row), control_(control), row_(row)
{
    SetName(row ? L"行集合" : L"列集合");
    SetId(row ? "row" : "col");
    AddAttribute(&base_);
    SetObject(control);
    if (row)
        splitter_ = std::make_unique<GrabVSplitter>(this);
    else
        splitter_ = std::make_unique<GrabHSplitter>(this);
    SetSplitter(splitter_.get());
}

DoxControlGrid::~DoxControlGrid() = default;

bool DoxControlGrid::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!DoxAttribSet::LoadXml(element))
        return false;
    lastSize_ = GetSize();
    return true;
}

void DoxControlGrid::StoreSize(int size)
{
    base_.SizeItem().StoreValue(size);
    lastSize_ = size;
}

DoxControlGrid* DoxControlGrid::Next() const
{
    return static_cast<DoxControlGrid*>(splitter_->GetNextPane());
}

DoxControlGrid* DoxControlGrid::Prev() const
{
    GrabSplitter* back = GetBackLink();
    return back ? static_cast<DoxControlGrid*>(back->GetPane()) : nullptr;
}

bool DoxControlGrid::InDesignWindow() const
{
    DoxControlLayer* layer = control_ ? control_->GetParentLayer() : nullptr;
    return layer && layer->GetView() && control_->GetDesignLink();
}

bool DoxControlGrid::AcceptChange(bool changing)
{
    const int delta = GetSize() - lastSize_;
    if (changing && delta != 0) {
        // The line after this grid moves with its far edge, so the next grid gives
        // up (or gains) what this one gained; the last grid moves the line before
        // it instead. Both must keep the minimum: a typed size that would squeeze
        // the neighbour below it is refused.
        DoxControlGrid* next = Next();
        DoxControlGrid* prev = next ? nullptr : Prev();
        DoxControlGrid* neighbour = next ? next : prev;
        if (neighbour && neighbour->GetSize() - delta < DoxGridMinSize) {
            base_.SizeItem().SetErrorText(kOutOfRange);
            return false;
        }
        if (next) {
            next->offset_ += delta;
            next->StoreSize(next->GetSize() - delta);
        } else if (prev) {
            prev->StoreSize(prev->GetSize() - delta);
            offset_ -= delta;
        }
        lastSize_ = GetSize();
        if (neighbour) {
            UpdateSplitter();
            neighbour->UpdateSplitter();
        } else {
            // A single grid spans the whole control whatever its typed size.
            control_->Relayout();
        }
        if (InDesignWindow())
            control_->GetParentLayer()->GetView()->InvalidateObject(control_, 0);
    }
    return DoxAttribSet::AcceptChange(changing);
}

int DoxControlGrid::GetSpanStart() const
{
    DoxBasicAttribute& basic = control_->Basic();
    return row_ ? basic.GetY() - offset_ : basic.GetX() + offset_;
}

int DoxControlGrid::GetSpanEnd() const
{
    return row_ ? GetSpanStart() - GetSize() : GetSpanStart() + GetSize();
}

bool DoxControlGrid::Init(bool /*isNew*/, void* dataContext)
{
    dataContext_ = dataContext;
    return true;
}

void DoxControlGrid::BeginRun()
{
    if (filter_)
        filter_->CreateRunFormula();
}

void DoxControlGrid::EndRun()
{
    if (filter_)
        filter_->ReleaseFormula();
}

void DoxControlGrid::DrawLine(DC& dc)
{
    DoxBasicAttribute& basic = control_->Basic();
    const int at = GetSpanEnd();
    if (row_) {
        dc.MoveTo(basic.GetX(), at);
        dc.LineTo(basic.GetX() + basic.GetWidth(), at);
    } else {
        dc.MoveTo(at, basic.GetY());
        dc.LineTo(at, basic.GetY() - basic.GetHeight());
    }
}

void DoxControlGrid::GetPaneRect(RECT* rect)
{
    if (!rect)
        return;
    DoxBasicAttribute& basic = control_->Basic();
    if (row_)
        *rect = RECT{basic.GetX(), GetSpanStart(), basic.GetX() + basic.GetWidth(), GetSpanEnd()};
    else
        *rect = RECT{GetSpanStart(), basic.GetY(), GetSpanEnd(), basic.GetY() - basic.GetHeight()};
}

void DoxControlGrid::MoveBy(int edge, int distance)
{
    if (distance == 0)
        return;
    if (edge == 0) {
        offset_ += distance;
        base_.SizeItem().StoreValue(GetSize() - distance);
    } else {
        base_.SizeItem().StoreValue(GetSize() + distance);
    }
    lastSize_ = GetSize();
    AcceptChange(true);
}

// Sets.

DoxControlGridSet::DoxControlGridSet(const char* key, const wchar_t* caption, DoxControl* control)
    : DoxAttribItemUint(key, caption, 0), control_(control)
{
    SetType(DOX_ATTRIB_KIND_COLLECTION);
}

DoxControlGridSet::~DoxControlGridSet()
{
    // Cells point at the grids; they go first.
    if (container_)
        container_->Clear();
}

int32_t DoxControlGridSet::GetElementCount()
{
    return Count();
}

IDoxAttribSet* DoxControlGridSet::GetElement(int32_t i)
{
    return GridAt(i);
}

DoxControlGrid* DoxControlGridSet::GridAt(int i) const
{
    if (i < 0 || i >= Count())
        return nullptr;
    return grids_[static_cast<size_t>(i)].get();
}

int DoxControlGridSet::IndexOf(const DoxControlGrid* grid) const
{
    for (int i = 0; i < Count(); ++i) {
        if (grids_[static_cast<size_t>(i)].get() == grid)
            return i;
    }
    return -1;
}

bool DoxControlGridSet::SetValueText(const wchar_t* /*text*/)
{
    return false;
}

bool DoxControlGridSet::SetValue(int32_t /*value*/)
{
    return false;
}

void DoxControlGridSet::Refresh()
{
    for (auto& grid : grids_) {
        for (DoxAttribute* attribute : grid->Attributes())
            attribute->Refresh();
    }
}

void DoxControlGridSet::Relink()
{
    for (size_t i = 0; i < grids_.size(); ++i) {
        DoxControlGrid* grid = grids_[i].get();
        grid->GetSplitter()->SetNextPane(i + 1 < grids_.size() ? grids_[i + 1].get() : nullptr);
        grid->SetBackLink(i > 0 ? grids_[i - 1]->GetSplitter() : nullptr);
    }
}

void DoxControlGridSet::LinkLast()
{
    // What Relink does for a grid just appended, without walking the others: loading a
    // table of 20000 rows must not cost 20000 walks over them.
    DoxControlGrid* last = grids_.back().get();
    DoxControlGrid* previous = grids_.size() >= 2 ? grids_[grids_.size() - 2].get() : nullptr;
    if (previous)
        previous->GetSplitter()->SetNextPane(last);
    last->GetSplitter()->SetNextPane(nullptr);
    last->SetBackLink(previous ? previous->GetSplitter() : nullptr);
}

void DoxControlGridSet::CountChanged()
{
    value_ = static_cast<uint32_t>(grids_.size());
    OnCountChanged();
}

void DoxControlGridSet::RebuildCells()
{
    if (container_)
        container_->Rebuild();
}

void DoxControlGridSet::Notify()
{
    AskParent(true);
}

void DoxControlGridSet::DeleteAll()
{
    if (container_)
        container_->Clear();
    grids_.clear();
    value_ = 0;
}

DoxControlGrid* DoxControlGridSet::AppendGrid()
{
    DoxControlGrid* grid = CreateGrid(control_);
    if (!grid)
        return nullptr;
    grids_.emplace_back(grid);
    LinkLast();
    CountChanged();
    grid->Init(true, dataContext_);
    Relayout(true);
    RebuildCells();
    Notify();
    return grid;
}

bool DoxControlGridSet::AddElement()
{
    return AppendGrid() != nullptr;
}

void DoxControlGridSet::RemoveElement(int32_t i)
{
    if (i < 0 || i >= Count())
        return;
    // The cells point at the grid: they go before it.
    if (container_)
        container_->Clear();
    grids_.erase(grids_.begin() + i);
    Relink();
    CountChanged();
    Relayout(true);
    RebuildCells();
    Notify();
}

bool DoxControlGridSet::MoveElement(int32_t i, bool towardsFront)
{
    if (i < 0 || i >= Count())
        return false;
    const int other = towardsFront ? i - 1 : i + 1;
    if (other < 0 || other >= Count())
        return false;
    std::swap(grids_[static_cast<size_t>(i)], grids_[static_cast<size_t>(other)]);
    Relink();
    Relayout(true);
    RebuildCells();
    Notify();
    return true;
}

bool DoxControlGridSet::LoadXml(const tinyxml2::XMLElement* element)
{
    if (!MatchesElement(element))
        return false;
    DeleteAll();
    RebuildCells();
    for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        if (std::string_view(child->Name()) != "dox:attribset")
            continue;
        DoxControlGrid* grid = CreateGrid(control_);
        if (!grid)
            return false;
        grids_.emplace_back(grid);
        LinkLast();
        value_ = static_cast<uint32_t>(grids_.size());
        if (!grid->LoadXml(child))
            return false;
    }
    Relayout(false);
    RebuildCells();
    return true;
}

bool DoxControlGridSet::SaveXml(tinyxml2::XMLElement* element, bool full)
{
    if (!element)
        return false;
    element->SetAttribute("id", GetKey().c_str());
    for (auto& grid : grids_) {
        tinyxml2::XMLElement* child = element->InsertNewChildElement("dox:attribset");
        if (!child || !grid->SaveXml(child, full))
            return false;
    }
    return true;
}

void DoxControlGridSet::LayOut(int extent, bool even)
{
    int share = -1;
    if (even && grids_.size() >= 2)
        share = extent / static_cast<int>(grids_.size());
    int offset = 0;
    for (auto& grid : grids_) {
        if (!grid->Next())
            share = extent - offset;
        grid->SetOffset(offset);
        if (share >= 0)
            grid->StoreSize(share);
        offset += grid->GetSize();
        grid->UpdateSplitter();
    }
}

int DoxControlGridSet::GetMinSize() const
{
    return GetFixedExtent() + DoxGridMinSize;
}

int DoxControlGridSet::GetFixedExtent() const
{
    int sum = 0;
    for (size_t i = 0; i + 1 < grids_.size(); ++i)
        sum += grids_[i]->GetSize();
    return sum;
}

int DoxControlGridSet::HitSplitter(DC* /*dc*/, int x, int y)
{
    return BeginSplitterDrag(x, y) ? 1 : 0;
}

int DoxControlGridSet::FindSplitter(GrabPane** line, DC* dc, int x, int y)
{
    return DragSplitter(dc, x, y, line) ? 1 : 0;
}

int DoxControlGridSet::TestSplitter(DC* /*dc*/, int x, int y)
{
    return EndSplitterDrag(x, y) ? 1 : 0;
}

bool DoxControlGridSet::BeginSplitterDrag(int x, int y)
{
    for (auto& grid : grids_) {
        if (grid->GetSplitter()->BeginDrag(x, y))
            return true;
    }
    return false;
}

bool DoxControlGridSet::DragSplitter(DC* dc, int x, int y, GrabPane** line)
{
    for (auto& grid : grids_) {
        if (grid->GetSplitter()->DragTo(dc, x, y)) {
            if (line)
                *line = grid.get();
            return true;
        }
    }
    return false;
}

bool DoxControlGridSet::EndSplitterDrag(int x, int y)
{
    for (auto& grid : grids_) {
        if (grid->GetSplitter()->EndDrag(x, y))
            return true;
    }
    return false;
}

DoxControlGrid* DoxControlGridSet::CreateGrid(DoxControl* /*owner*/)
{
    return nullptr;
}

void DoxControlGridSet::OnCountChanged() {}

bool DoxControlGridSet::InitGrids(void* dataContext, bool isNew)
{
    dataContext_ = dataContext;
    for (auto& grid : grids_) {
        if (!grid->Init(isNew, dataContext))
            return false;
    }
    OnCountChanged();
    return true;
}

void DoxControlGridSet::DrawLines(DC& dc)
{
    if (grids_.size() < 2)
        return;
    CPen pen;
    pen.ExtCreatePen(PS_DOT, 1, kLineColour);
    const CPen old = dc.SelectObject(pen);
    RECT box;
    const bool known = DoxVisibleBox(dc, &box);
    for (size_t i = 0; i + 1 < grids_.size(); ++i) {
        RECT pane;
        grids_[i]->GetPaneRect(&pane);
        if (!known || DoxMeetsBox(pane, box))
            grids_[i]->DrawLine(dc);
    }
    dc.SelectObject(old);
}

void DoxControlColSet::Relayout(bool even)
{
    LayOut(GetControl()->Basic().GetWidth(), even);
}

void DoxControlRowSet::Relayout(bool even)
{
    LayOut(GetControl()->Basic().GetHeight(), even);
}

void DoxControlRowSet::OnCountChanged()
{
    if (DataContainer* context = GetControl()->GetDataContext())
        context->SetRows(Count());
}

// Cells.

DoxControlCell::DoxControlCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row)
    : control_(control), column_(column), row_(row)
{
}

DoxControlCell::~DoxControlCell()
{
    StopObserving();
}

void DoxControlCell::StopObserving()
{
    if (observed_)
        observed_->RemoveObserver(this);
    observed_ = nullptr;
}

int DoxControlCell::Update(int32_t /*row*/)
{
    return 1;
}

DoxDataAttribute* DoxControlCell::Binding() const
{
    if (column_ && column_->GetBinding())
        return column_->GetBinding();
    return row_ ? row_->GetBinding() : nullptr;
}

DoxFormulaAttribute* DoxControlCell::Filter() const
{
    if (column_ && column_->GetFilter())
        return column_->GetFilter();
    return row_ ? row_->GetFilter() : nullptr;
}

void DoxControlCell::Reload()
{
    ClearText();
    StopObserving();
    DoxDataAttribute* binding = Binding();
    DataField* field = binding ? binding->GetField() : nullptr;
    if (!field)
        return;
    field->AddObserver(rowIndex_, this);
    observed_ = field;
    // A record loaded before fill-in began shows at once.
    Update(rowIndex_);
}

void DoxControlCell::ClearText()
{
    text_.clear();
}

void DoxControlCell::DrawDesign(DC& /*dc*/) {}

void DoxControlCell::DrawGridLines(DC& /*dc*/) {}

void DoxControlCell::DrawContent(DC& /*dc*/, int /*dx*/, int /*dy*/, bool /*output*/) {}

bool DoxControlCell::CanInput()
{
    return false;
}

RECT DoxControlCell::GetRect() const
{
    RECT rect;
    control_->DoxControl::GetRect(&rect);
    if (column_) {
        rect.left = column_->GetSpanStart();
        rect.right = column_->GetSpanEnd();
    }
    if (row_) {
        rect.top = row_->GetSpanStart();
        rect.bottom = row_->GetSpanEnd();
    }
    return rect;
}

bool DoxControlCell::HitTest(int x, int y) const
{
    const RECT r = GetRect();
    return x >= r.left && x <= r.right && y <= r.top && y >= r.bottom;
}

void DoxControlCell::InvalidateField(int flag)
{
    if (DoxRunnerSite* runner = control_->GetPageRunner())
        runner->InvalidateFocusRect(GetRect(), flag);
}

void DoxControlCell::ValidateField()
{
    if (DoxRunnerSite* runner = control_->GetPageRunner())
        runner->ValidateFocusRect(GetRect());
}

void DoxControlCell::DrawFocus(DC* dc)
{
    if (DoxRunnerSite* runner = control_->GetPageRunner())
        runner->DrawFocusFrame(GetRect(), dc);
}

int DoxControlCell::IsWholeControl()
{
    return 0;
}

DoxControl* DoxControlCell::GetControl()
{
    return control_;
}

DoxControlBase* DoxControlCell::NextField()
{
    return container_ ? container_->NextInput(this) : nullptr;
}

DoxControlBase* DoxControlCell::PrevField()
{
    return container_ ? container_->PrevInput(this) : nullptr;
}

DataField* DoxControlCell::GetBinding()
{
    DoxDataAttribute* binding = Binding();
    return binding ? binding->GetField() : nullptr;
}

void DoxControlCell::ReservedField() {}

void DoxControlCell::HideTip()
{
    if (DoxRunnerSite* runner = control_->GetPageRunner())
        runner->HideTip();
}

int DoxControlCell::ExchangeEditor(DoxEditorHost* /*host*/, int /*direction*/)
{
    return 0;
}

void DoxControlCell::GetFieldRect(POINT* position, SIZE* size)
{
    const RECT r = GetRect();
    if (position)
        *position = POINT{r.left, r.top};
    if (size)
        *size = SIZE{r.right - r.left, r.top - r.bottom};
}

bool DoxControlCell::ExchangeValue(DoxFormatAttribute* format, std::wstring& text, bool store,
                                   std::wstring& error)
{
    DoxDataAttribute* binding = Binding();
    DataField* field = binding ? binding->GetField() : nullptr;
    if (store) {
        DataContainer* container = binding ? binding->GetContainer() : nullptr;
        if (!field || !container)
            return false;
        return container->SetCellText(rowIndex_, field, text.c_str(), &error) != 0;
    }
    text.clear();
    if (!field)
        return false;
    const wchar_t* parameter = format ? format->FormatParam().GetText().c_str() : L"";
    DoxFormulaAttribute* filter = Filter();
    if (filter && filter->GetFormula()) {
        const uint32_t formatId = format ? format->GetFormatId() : (field->GetType() << 16);
        // A condition that does not hold shows nothing.
        if (!filter->Evaluate(text, formatId, parameter, field, rowIndex_))
            text.clear();
        return true;
    }
    if (format) {
        const uint32_t formatId = format->GetFormatId();
        return binding->FormatBoundValue(&formatId, parameter, rowIndex_, text);
    }
    return binding->FormatBoundValue(nullptr, L"", rowIndex_, text);
}

bool DoxControlCell::GetBoundText(std::wstring& text)
{
    text.clear();
    DoxDataAttribute* binding = Binding();
    DataField* field = binding ? binding->GetField() : nullptr;
    DataContainer* container = binding ? binding->GetContainer() : nullptr;
    if (!field || !container)
        return false;
    return container->GetCellText(rowIndex_, field, text) != 0;
}

// Container.

DoxControlContainer::DoxControlContainer(DoxControl* control, DoxControlGridSet* columns,
                                         DoxControlGridSet* rows)
    : control_(control), columns_(columns), rows_(rows)
{
    if (columns_)
        columns_->SetContainer(this);
    if (rows_)
        rows_->SetContainer(this);
}

DoxControlContainer::~DoxControlContainer()
{
    Clear();
    if (columns_ && columns_->GetContainer() == this)
        columns_->SetContainer(nullptr);
    if (rows_ && rows_->GetContainer() == this)
        rows_->SetContainer(nullptr);
}

DoxControlCell* DoxControlContainer::CreateCell(DoxControl* /*control*/, DoxControlGrid* /*column*/,
                                                DoxControlGrid* /*row*/)
{
    return nullptr;
}

DoxControlCell* DoxControlContainer::CellAt(int i) const
{
    if (i < 0 || i >= CellCount())
        return nullptr;
    return cells_[static_cast<size_t>(i)].get();
}

void DoxControlContainer::Clear()
{
    cells_.clear();
}

bool DoxControlContainer::Rebuild()
{
    Clear();
    if (!columns_ && !rows_)
        return true;
    const int columns = columns_ ? columns_->Count() : 1;
    const int rows = rows_ ? rows_->Count() : 1;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            DoxControlGrid* column = columns_ ? columns_->GridAt(c) : nullptr;
            DoxControlGrid* row = rows_ ? rows_->GridAt(r) : nullptr;
            DoxControlCell* cell = CreateCell(control_, column, row);
            if (!cell)
                return false;
            cell->container_ = this;
            cell->index_ = static_cast<int>(cells_.size());
            cell->columnIndex_ = c;
            cell->rowIndex_ = r;
            cells_.emplace_back(cell);
        }
    }
    return true;
}

void DoxControlContainer::BeginRun()
{
    for (DoxControlGridSet* set : {columns_, rows_}) {
        if (!set)
            continue;
        for (int i = 0; i < set->Count(); ++i)
            set->GridAt(i)->BeginRun();
    }
    for (auto& cell : cells_)
        cell->Reload();
}

void DoxControlContainer::EndRun()
{
    for (auto& cell : cells_) {
        cell->ClearText();
        cell->StopObserving();
    }
    for (DoxControlGridSet* set : {rows_, columns_}) {
        if (!set)
            continue;
        for (int i = 0; i < set->Count(); ++i)
            set->GridAt(i)->EndRun();
    }
}

void DoxControlContainer::DrawDesign(DC& dc)
{
    if (!cells_.empty()) {
        RECT box;
        const bool known = DoxVisibleBox(dc, &box);
        for (auto& cell : cells_) {
            if (!known || DoxMeetsBox(cell->GetRect(), box))
                cell->DrawDesign(dc);
        }
        return;
    }
    RECT rect;
    control_->DoxControl::GetRect(&rect);
    LOGFONTW logFont;
    logFont.lfHeight = -42; // 12 points in 0.1 mm
    logFont.lfWeight = 400;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfClipPrecision = 0x10;
    std::wcsncpy(logFont.lfFaceName, L"宋体", LF_FACESIZE - 1);
    CFont font;
    font.CreateFontIndirect(logFont);
    const CFont oldFont = dc.SelectObject(font);
    const COLORREF oldColour = dc.SetTextColor(0x404040);
    const wchar_t* text = L"<请拆分控件>";
    dc.DrawText(text, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(oldColour);
    dc.SelectObject(oldFont);
}

void DoxControlContainer::DrawGridLines(DC& dc)
{
    if (columns_)
        columns_->DrawLines(dc);
    if (rows_)
        rows_->DrawLines(dc);
    RECT box;
    const bool known = DoxVisibleBox(dc, &box);
    for (auto& cell : cells_) {
        if (!known || DoxMeetsBox(cell->GetRect(), box))
            cell->DrawGridLines(dc);
    }
}

void DoxControlContainer::DrawContent(DC& dc, int dx, int dy, bool output)
{
    RECT box;
    const bool known = DoxVisibleBox(dc, &box);
    for (auto& cell : cells_) {
        if (!known || DoxMeetsBox(DoxShiftedRect(cell->GetRect(), dx, dy), box))
            cell->DrawContent(dc, dx, dy, output);
    }
}

void DoxControlContainer::DrawDesign(DC& dc, COLORREF colour, const CFont& font)
{
    const COLORREF oldColour = dc.SetTextColor(colour);
    const CFont oldFont = dc.SelectObject(font);
    DrawDesign(dc);
    dc.SelectObject(oldFont);
    dc.SetTextColor(oldColour);
}

void DoxControlContainer::DrawContent(DC& dc, int dx, int dy, bool output, COLORREF colour, const CFont& font)
{
    COLORREF oldColour = 0;
    if (!output)
        oldColour = dc.SetTextColor(colour);
    const CFont oldFont = dc.SelectObject(font);
    DrawContent(dc, dx, dy, output);
    dc.SelectObject(oldFont);
    if (!output)
        dc.SetTextColor(oldColour);
}

bool DoxControlContainer::OnRunClick(int x, int y)
{
    for (auto& cell : cells_) {
        if (cell->CanInput() && cell->HitTest(x, y)) {
            if (DoxRunnerSite* runner = control_->GetPageRunner())
                runner->SetFocusControl(cell.get());
            return true;
        }
    }
    return false;
}

bool DoxControlContainer::HitTest(int x, int y)
{
    for (auto& cell : cells_) {
        if (cell->CanInput() && cell->HitTest(x, y))
            return true;
    }
    return false;
}

DoxControlCell* DoxControlContainer::NextInput(const DoxControlCell* cell)
{
    for (int i = cell ? cell->GetIndex() + 1 : 0; i < CellCount(); ++i) {
        if (cells_[static_cast<size_t>(i)]->CanInput())
            return cells_[static_cast<size_t>(i)].get();
    }
    return nullptr;
}

DoxControlCell* DoxControlContainer::PrevInput(const DoxControlCell* cell)
{
    for (int i = (cell ? cell->GetIndex() : CellCount()) - 1; i >= 0; --i) {
        if (cells_[static_cast<size_t>(i)]->CanInput())
            return cells_[static_cast<size_t>(i)].get();
    }
    return nullptr;
}

DoxControlCell* DoxControlContainer::FirstInput()
{
    return NextInput(nullptr);
}

DoxControlCell* DoxControlContainer::LastInput()
{
    return PrevInput(nullptr);
}
