#include "GrabCanvas.h"

#include <algorithm>
#include <cwchar>

#include "DC.h"
#include "GrabGeometry.h"
#include "GrabObjectCore.h"

namespace
{

using grab::Inside;
using grab::Same;
using grab::Sign;

RECT Inflated(RECT r, int by)
{
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

} // namespace

// ---- node

GrabNode::GrabNode(GrabCanvas* canvas, GrabObjectCore* object, GrabLayer* layer, int serial)
    : canvas_(canvas), object_(object), layer_(layer), serial_(serial)
{
    handles_[N] = std::make_unique<GrabHandleN>();
    handles_[S] = std::make_unique<GrabHandleS>();
    handles_[W] = std::make_unique<GrabHandleW>();
    handles_[E] = std::make_unique<GrabHandleE>();
    handles_[NE] = std::make_unique<GrabHandleNE>();
    handles_[NW] = std::make_unique<GrabHandleNW>();
    handles_[SE] = std::make_unique<GrabHandleSE>();
    handles_[SW] = std::make_unique<GrabHandleSW>();
    handles_[C] = std::make_unique<GrabHandleC>();
    const SIZE size = canvas->GetHandleSize();
    for (auto& handle : handles_)
        handle->Attach(this, size);
    group_.Attach(this, size);
    if (object_)
        object_->SetDesignLink(this);
}

GrabNode::~GrabNode()
{
    if (object_ && object_->GetDesignLink() == this)
        object_->SetDesignLink(nullptr);
}

bool GrabNode::OnCurrentLayer() const
{
    return layer_ && object_ && object_->IsLayerCurrent();
}

int GrabNode::GetTabIndex() const
{
    return object_ ? object_->GetTabIndex() : -1;
}

RECT GrabNode::GetRect() const
{
    RECT rect{};
    if (object_)
        object_->GetRect(&rect);
    return canvas_->DownRect(rect);
}

int GrabNode::ApplyRect(const RECT& rect)
{
    const RECT now = GetRect();
    if (Same(now, rect) || !object_)
        return 0;
    if ((rect.left != now.left || rect.top != now.top) && object_->IsMoveLocked())
        return 0;
    if (rect.right - rect.left != now.right - now.left && object_->IsSizeLocked())
        return 0;
    if (rect.bottom - rect.top != now.bottom - now.top && object_->IsSelectLocked())
        return 0;
    SetObjectRect(rect);
    return 1;
}

void GrabNode::SetObjectRect(const RECT& rect)
{
    if (!object_ || Same(GetRect(), rect))
        return;
    object_->SetRect(canvas_->LogicalRect(rect));
    PlaceHandles();
    if (IsPrimary())
        canvas_->NotifyModified();
}

void GrabNode::FollowObject()
{
    if (group_.IsDragging())
        return;
    for (auto& handle : handles_)
        if (handle->IsDragging())
            return;
    if (!Same(GetRect(), placed_))
        PlaceHandles();
}

void GrabNode::PlaceHandles()
{
    const RECT rect = GetRect();
    placed_ = rect;
    for (auto& handle : handles_) {
        handle->SetHandleRect(rect);
        handle->Place(rect);
    }
    group_.SetHandleRect(rect);
    group_.Place(rect);
}

GrabNode* GrabNode::SetPrimary(int redrawNow, int keepPrevious)
{
    marksHidden_ = 0;
    if (state_ == 1)
        std::erase(layer_->secondaries, this);
    state_ = 2;
    GrabNode* previous = layer_->primary;
    if (previous == this)
        return previous;
    canvas_->MoveToHead(this);
    layer_->tabSuccessor = canvas_->NextInTab(this);
    layer_->primary = this;
    if (previous) {
        if (keepPrevious)
            previous->AddSecondary(redrawNow);
        else
            previous->Deselect(redrawNow);
    }
    canvas_->NotifySelection(this);
    canvas_->InvalidateObject(this, redrawNow);
    return previous;
}

void GrabNode::AddSecondary(int notify)
{
    if (state_ == 1)
        return;
    layer_->secondaries.insert(layer_->secondaries.begin(), this);
    state_ = 1;
    if (notify)
        canvas_->NotifySelection(layer_->primary);
    canvas_->InvalidateObject(this, notify);
}

void GrabNode::Deselect(int notify)
{
    if (state_ == 0)
        return;
    if (state_ == 1)
        std::erase(layer_->secondaries, this);
    state_ = 0;
    if (notify)
        canvas_->NotifySelection(layer_->primary);
    canvas_->InvalidateObject(this, notify);
}

void GrabNode::SetTabIndex(int index)
{
    if (!object_ || object_->GetTabIndex() == index)
        return;
    object_->SetTabIndex(index);
    if (IsPrimary())
        canvas_->NotifyModified();
}

int GrabNode::OnLButtonDown(int flags, int x, int y)
{
    if (object_ && object_->HitSplitter(nullptr, x, canvas_->Down(y)))
        return 1;
    FollowObject();
    const bool in = Inside(GetRect(), x, y);
    if (flags & kGrabShift) {
        if (!in)
            return 0;
        if (state_ == 1)
            Deselect(1);
        else if (!IsPrimary())
            AddSecondary(1);
        else if (!layer_->secondaries.empty())
            layer_->secondaries.front()->SetPrimary(1, 0);
        return 1;
    }
    if (in) {
        if (flags & kGrabControl) {
            SetPrimary(1, 1);
        } else if (state_ == 0) {
            canvas_->ClearSelection(0);
            SetPrimary(0, 0);
            canvas_->Host()->UpdateWindow();
        } else if (state_ == 2 && marksHidden_) {
            marksHidden_ = 0;
            canvas_->InvalidateObject(this, 1);
            canvas_->NotifySelection(this);
        } else if (!layer_->secondaries.empty() && !group_.IsEnabled()) {
            canvas_->ClearSelection(0);
            SetPrimary(0, 0);
            canvas_->NotifySelection(this);
            canvas_->Host()->UpdateWindow();
        }
    }
    const int mode = GrabDragMode(flags);
    if (IsPrimary() && layer_->secondaries.empty()) {
        for (auto& handle : handles_)
            if (handle->IsEnabled() && handle->StartDrag(mode, x, y))
                return 1;
    } else if (state_ != 0) {
        if (group_.IsEnabled() && group_.StartDrag(mode, x, y))
            return 1;
    }
    return in ? 1 : 0;
}

int GrabNode::OnMouseMove(int flags, int x, int y)
{
    GrabPane* line = nullptr;
    if (object_ && object_->FindSplitter(&line, nullptr, x, canvas_->Down(y)))
        return 1;
    FollowObject();
    const int mode = GrabDragMode(flags);
    if (IsPrimary() && layer_->secondaries.empty()) {
        for (auto& handle : handles_)
            if (handle->IsEnabled() && handle->MouseMove(mode, x, y))
                return 1;
        return 0;
    }
    return group_.IsEnabled() && group_.MouseMove(mode, x, y) ? 1 : 0;
}

int GrabNode::OnLButtonUp(int flags, int x, int y)
{
    if (object_ && object_->TestSplitter(nullptr, x, canvas_->Down(y)))
        return 1;
    const int mode = GrabDragMode(flags);
    if (IsPrimary() && layer_->secondaries.empty()) {
        for (auto& handle : handles_)
            if (handle->IsDragging())
                return handle->FinishDrag(mode, x, y);
    }
    if (!group_.IsDragging())
        return 0;
    group_.FinishDrag(mode, x, y);
    if (!group_.GetEndResult() && !(flags & kGrabControl)) {
        // A click without a move on one of several: that one alone is selected,
        // and the property pane hears it even when it already was the primary.
        canvas_->ClearSelection(0);
        SetPrimary(0, 0);
        canvas_->NotifySelection(this);
    }
    canvas_->Host()->UpdateWindow();
    return 1;
}

// ---- canvas set-up and lists

GrabCanvas::GrabCanvas() : marker_(this) {}

GrabCanvas::~GrabCanvas()
{
    const std::vector<GrabNode*> nodes = hitList_;
    hitList_.clear();
    tabList_.clear();
    for (GrabNode* node : nodes) {
        if (node->layer_)
            node->layer_->ForgetObject(node);
        delete node;
    }
    for (GrabLayer* layer : layers_) {
        layer->primary = nullptr;
        layer->secondaries.clear();
        layer->tabSuccessor = nullptr;
        layer->canvas = nullptr;
    }
}

int GrabCanvas::Init(GrabHost* host, GrabCanvas* hooks)
{
    if (!host)
        return 0;
    host_ = host;
    hooks_ = hooks;
    kind_ = 2;
    grid_ = 10;
    constexpr UINT kFlatMitre = PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER;
    bool ok = handlePen_.ExtCreatePen(kFlatMitre | PS_SOLID, 1, RGB(0, 0, 0));
    ok = lockedPen_.ExtCreatePen(kFlatMitre | PS_SOLID, 1, RGB(0, 0, 255)) && ok;
    ok = framePen_.ExtCreatePen(kFlatMitre | PS_DASH, 1, RGB(0, 0, 204)) && ok;
    ok = nullPen_.ExtCreatePen(kFlatMitre | PS_NULL, 1, 0) && ok;
    ok = markerPen_.CreatePen(PS_ALTERNATE, 1, RGB(0, 0, 255)) && ok;
    ok = secondaryFill_.CreateSolidBrush(RGB(255, 255, 255)) && ok;
    ok = enabledFill_.CreateSolidBrush(RGB(0, 255, 0)) && ok;
    ok = lockedFill_.CreateSolidBrush(RGB(128, 128, 128)) && ok;
    ok = frameBrush_.CreateHollowBrush() && ok;
    ok = noFill_.CreateHollowBrush() && ok;
    ok = hollow_.CreateHollowBrush() && ok;
    if (!ok)
        return 0;
    handleSize_ = host_->PixelsToLogical(SIZE{6, 6});
    handleSize_.cx = std::max<int>(handleSize_.cx, 1);
    handleSize_.cy = std::max<int>(handleSize_.cy, 1);
    splitterSize_ = handleSize_.cx;
    marker_.SetSize(host_->PixelsToLogical(SIZE{16, 16}));
    return 1;
}

RECT GrabCanvas::DownRect(const RECT& rect) const
{
    return grab::DownRect(kind_, rect);
}

RECT GrabCanvas::LogicalRect(const RECT& down) const
{
    return RECT{down.left, Down(down.top), down.right, Down(down.bottom)};
}

int GrabCanvas::Snap(int v, int dir) const
{
    if (!snap_)
        return v;
    const int g = grid_;
    const int q = v / g;
    const int r = v % g;
    if (dir == 0)
        return (q + (r >= g / 2 ? 1 : 0)) * g;
    if (dir > 0)
        return (q + (r != 0 ? 1 : 0)) * g;
    return q * g;
}

int GrabCanvas::GridRounded(int size) const
{
    if (!snap_)
        return size;
    return (size + grid_ - 1) / grid_ * grid_;
}

void GrabCanvas::InvalidateDown(const RECT& rect, bool now)
{
    if (!host_)
        return;
    const RECT device = Inflated(host_->ToDevice(LogicalRect(rect)), 12);
    if (now)
        host_->RedrawNow(device);
    else
        host_->Invalidate(&device, false);
}

void GrabCanvas::UpdateHost()
{
    if (host_)
        host_->UpdateWindow();
}

void GrabCanvas::InvalidateAll(bool erase)
{
    if (host_)
        host_->Invalidate(nullptr, erase);
}

void GrabCanvas::ValidateDown(const RECT& rect)
{
    if (host_)
        host_->Validate(Inflated(host_->ToDevice(LogicalRect(rect)), 12));
}

void GrabCanvas::Feedback(const RECT& down)
{
    if (host_)
        host_->DrawFeedbackRect(LogicalRect(down));
}

void GrabCanvas::InvalidateObject(GrabNode* node, int now)
{
    if (!node || !node->object_)
        return;
    RECT bound{};
    node->object_->GetBoundRect(&bound);
    InvalidateDown(DownRect(bound), now != 0);
}

void GrabCanvas::InvalidateObject(GrabObjectCore* object, int flag)
{
    GrabSelection* link = object ? object->GetDesignLink() : nullptr;
    if (link && link->GetCanvas() == this) {
        // The object reports a change of its own (a typed position or size): its
        // handles go where it now is, so it can be dragged and sized there.
        static_cast<GrabNode*>(link)->FollowObject();
        InvalidateObject(static_cast<GrabNode*>(link), flag);
    }
}

void GrabCanvas::NotifySelection(GrabNode* primary)
{
    if (selectionBatch_ > 0) {
        selectionPending_ = true;
        return;
    }
    if (hooks_)
        hooks_->OnSelectionChanged(primary);
}

void GrabCanvas::BeginSelectionBatch()
{
    ++selectionBatch_;
}

void GrabCanvas::EndSelectionBatch()
{
    if (selectionBatch_ == 0 || --selectionBatch_ > 0 || !selectionPending_)
        return;
    selectionPending_ = false;
    NotifySelection(GetPrimary());
}

void GrabCanvas::NotifyModified()
{
    if (hooks_)
        hooks_->OnModified();
}

void GrabCanvas::NotifyBasePoint(int x, int y)
{
    if (hooks_)
        hooks_->OnBasePointMoved(x, y);
}

void GrabCanvas::MoveToHead(GrabNode* node)
{
    RemoveFromList(hitList_, node);
    hitList_.insert(hitList_.begin(), node);
}

void GrabCanvas::RemoveFromList(std::vector<GrabNode*>& list, GrabNode* node)
{
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
}

GrabNode* GrabCanvas::NextInTab(GrabNode* node) const
{
    auto it = std::find(tabList_.begin(), tabList_.end(), node);
    if (it == tabList_.end() || ++it == tabList_.end())
        return nullptr;
    return *it;
}

void GrabCanvas::Register(GrabLayer* layer)
{
    if (!layer || std::find(layers_.begin(), layers_.end(), layer) != layers_.end())
        return;
    layers_.push_back(layer);
    layer->canvas = this;
}

void GrabCanvas::ForgetLayer(GrabLayer* layer)
{
    // The layer's objects went before it (a page freed while still shown): their
    // nodes go without touching them.
    const std::vector<GrabNode*> nodes = hitList_;
    for (GrabNode* node : nodes) {
        if (node->layer_ != layer)
            continue;
        node->object_ = nullptr;
        RemoveObject(node);
    }
    layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end());
    if (current_ == layer)
        current_ = nullptr;
    layer->canvas = nullptr;
}

void GrabCanvas::InsertInTabList(GrabNode* node)
{
    const int t = node->GetTabIndex();
    if (t < 0) {
        node->SetTabIndex(static_cast<int>(tabList_.size()));
        tabList_.push_back(node);
        return;
    }
    auto it =
        std::find_if(tabList_.begin(), tabList_.end(), [t](GrabNode* n) { return n->GetTabIndex() >= t; });
    tabList_.insert(it, node);
}

// ---- page binding

GrabSelection* GrabCanvas::CreateSelection(GrabLayer* layer, GrabObjectCore* object, int created, int second)
{
    if (!object || tabMode_)
        return nullptr;
    GrabLayer* saved = current_;
    // The node belongs to the layer that asks for it.
    if (layer)
        current_ = layer;
    GrabNode* node = AddObject(object, created, second);
    current_ = saved;
    return node;
}

GrabNode* GrabCanvas::AddObject(GrabObjectCore* object, int redrawNow, int keepPrevious)
{
    if (!object || tabMode_)
        return nullptr;
    Register(current_);
    auto* node = new GrabNode(this, object, current_, ++serial_);
    RECT rect = node->GetRect();
    const RECT before = rect;
    SIZE minimum{};
    object->GetMinSize(&minimum);
    const int mw = std::max<int>(handleSize_.cx, minimum.cx);
    const int mh = std::max<int>(handleSize_.cy, minimum.cy);
    if (rect.right - rect.left < mw)
        rect.right = rect.left + mw;
    if (rect.bottom - rect.top < mh)
        rect.bottom = rect.top + mh;
    if (snap_) {
        rect.left = Snap(rect.left, 0);
        rect.top = Snap(rect.top, 0);
        rect.right = Snap(rect.right, 0);
        rect.bottom = Snap(rect.bottom, 0);
    }
    if (Same(rect, before) || !node->ApplyRect(rect))
        node->PlaceHandles();
    hitList_.insert(hitList_.begin(), node);
    InsertInTabList(node);
    if (node->layer_ && node->OnCurrentLayer())
        node->SetPrimary(redrawNow, keepPrevious);
    return node;
}

void GrabCanvas::RemoveObject(GrabSelection* selection)
{
    if (!selection || selection->GetCanvas() != this)
        return;
    auto* node = static_cast<GrabNode*>(selection);
    if (std::find(hitList_.begin(), hitList_.end(), node) == hitList_.end())
        return;
    // Every layer may walk on from this node with Tab, not only the current one:
    // each moves its successor on to its own next node of the fill-in order.
    for (GrabLayer* layer : layers_) {
        if (layer->tabSuccessor != node)
            continue;
        GrabNode* next = nullptr;
        auto it = std::find(tabList_.begin(), tabList_.end(), node);
        for (++it; it != tabList_.end() && !next; ++it)
            if ((*it)->layer_ == layer)
                next = *it;
        layer->tabSuccessor = next;
    }
    if (GrabLayer* layer = node->layer_) {
        std::erase(layer->secondaries, node);
        if (layer->primary == node)
            layer->primary = nullptr;
        layer->ForgetObject(node);
    }
    RemoveFromList(tabList_, node);
    RemoveFromList(hitList_, node);
    delete node;
}

void GrabCanvas::SetCurrentLayer(GrabLayer* layer)
{
    current_ = layer;
    if (!layer)
        return;
    Register(layer);
    std::stable_partition(hitList_.begin(), hitList_.end(), [](GrabNode* n) { return n->OnCurrentLayer(); });
    if (GrabNode* primary = layer->primary) {
        MoveToHead(primary);
        NotifySelection(primary);
    } else {
        SelectNextInTabOrder(0);
    }
}

void GrabCanvas::SetPageRect(int cx, int cy, int bpx, int bpy)
{
    page_ = RECT{0, 0, cx, cy};
    const POINT at = marker_.GetPoint();
    if (at.x == bpx && at.y == bpy)
        return;
    auto invalidate = [this] {
        if (!host_)
            return;
        const RECT device = Inflated(host_->ToDevice(LogicalRect(marker_.GetRect())), 32);
        host_->Invalidate(&device, false);
    };
    invalidate();
    marker_.MoveTo(bpx, bpy);
    invalidate();
}

void GrabCanvas::RenumberTabOrder()
{
    int counter = 0;
    for (GrabNode* node : tabList_) {
        if (node->object_ && node->object_->GetTabIndex() != counter) {
            node->object_->SetTabIndex(counter);
            if (node->state_ == 2 && node->IsPrimary())
                NotifyModified();
        }
        ++counter;
    }
}

void* GrabCanvas::GetFillBrush(GrabObjectCore* object, COLORREF colour)
{
    const bool current = object && object->IsLayerCurrent();
    if (tabMode_)
        return current ? &tabCurrent_ : &tabOther_;
    if (!current)
        return &noFill_;
    if (colour == static_cast<COLORREF>(-1))
        return &hollow_;
    if (colour != fillColour_) {
        fillCache_.CreateSolidBrush(colour);
        fillColour_ = colour;
    }
    return &fillCache_;
}

// ---- selection

void GrabCanvas::SelectNextInTabOrder(int redrawNow)
{
    GrabLayer* layer = current_;
    if (!layer || tabMode_)
        return;
    const size_t count = tabList_.size();
    size_t start = 0;
    if (layer->tabSuccessor) {
        auto it = std::find(tabList_.begin(), tabList_.end(), layer->tabSuccessor);
        if (it != tabList_.end())
            start = static_cast<size_t>(it - tabList_.begin());
    }
    for (size_t i = 0; i < count; ++i) {
        GrabNode* node = tabList_[(start + i) % count];
        if (node->OnCurrentLayer() && node->layer_ == layer) {
            node->SetPrimary(redrawNow, 0);
            return;
        }
    }
    if (layer->primary)
        layer->primary->state_ = 0;
    layer->primary = nullptr;
    layer->tabSuccessor = nullptr;
    NotifySelection(nullptr);
}

void GrabCanvas::ShowPrimaryMarks()
{
    GrabNode* primary = GetPrimary();
    if (tabMode_ || !primary || !primary->marksHidden_)
        return;
    primary->marksHidden_ = 0;
    InvalidateObject(primary, 1);
    NotifySelection(primary);
}

bool GrabCanvas::PrimarySelected() const
{
    const GrabNode* primary = GetPrimary();
    return primary && (!primary->marksHidden_ || !current_->secondaries.empty());
}

void GrabCanvas::ClearSelection(int notify)
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer)
        return;
    if (layer->secondaries.empty() && layer->primary) {
        layer->primary->marksHidden_ = 1;
        InvalidateObject(layer->primary, 0);
    }
    const std::vector<GrabNode*> secondaries = std::move(layer->secondaries);
    layer->secondaries.clear();
    for (GrabNode* node : secondaries) {
        node->state_ = 0;
        InvalidateObject(node, 0);
    }
    if (notify) {
        NotifySelection(layer->primary);
        UpdateHost();
    }
}

GrabCanvas::SelectionMarks GrabCanvas::SaveSelectionMarks() const
{
    SelectionMarks marks;
    marks.layer = current_;
    if (!current_)
        return marks;
    marks.primary = current_->primary;
    marks.marksHidden = marks.primary ? marks.primary->marksHidden_ : 0;
    marks.secondaries = current_->secondaries;
    return marks;
}

void GrabCanvas::DropSelection()
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer)
        return;
    ClearSelection(0);
    // A hidden primary is still the layer's primary: the next object made with
    // keepPrevious would turn it into a visible secondary again.
    if (GrabNode* primary = layer->primary) {
        primary->state_ = 0;
        primary->marksHidden_ = 0;
        layer->primary = nullptr;
        InvalidateObject(primary, 0);
    }
}

void GrabCanvas::RestoreSelectionMarks(const SelectionMarks& marks)
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer || layer != marks.layer)
        return;
    // A primary dropped by DropSelection comes back when it is still there.
    if (!layer->primary && marks.primary && marks.primary->layer_ == layer &&
        std::find(hitList_.begin(), hitList_.end(), marks.primary) != hitList_.end()) {
        marks.primary->state_ = 2;
        layer->primary = marks.primary;
    }
    if (layer->primary != marks.primary)
        return;
    if (GrabNode* primary = layer->primary) {
        primary->marksHidden_ = marks.marksHidden;
        InvalidateObject(primary, 0);
    }
    for (GrabNode* node : marks.secondaries) {
        const bool alive = std::find(hitList_.begin(), hitList_.end(), node) != hitList_.end();
        if (!alive || node->state_ != 0 || node->layer_ != layer)
            continue;
        node->state_ = 1;
        layer->secondaries.push_back(node);
        InvalidateObject(node, 0);
    }
    NotifySelection(layer->primary);
    UpdateHost();
}

void GrabCanvas::SelectAll()
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer)
        return;
    if (layer->primary)
        layer->primary->marksHidden_ = 0;
    const std::vector<GrabNode*> nodes = hitList_;
    for (GrabNode* node : nodes) {
        if (!node->OnCurrentLayer() || node->layer_ != layer)
            continue;
        if (!layer->primary)
            node->SetPrimary(0, 0);
        else if (node->state_ == 0)
            node->AddSecondary(0);
    }
    NotifySelection(layer->primary);
    UpdateHost();
}

void GrabCanvas::SelectInRect(const RECT& rect)
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer)
        return;
    const RECT band = DownRect(rect);
    auto caught = [&band](GrabNode* node) {
        const RECT r = node->GetRect();
        return Inside(band, r.left, r.top) || Inside(band, r.right, r.bottom);
    };
    bool havePrimary = false;
    if (layer->primary && caught(layer->primary)) {
        layer->primary->marksHidden_ = 0;
        havePrimary = true;
    }
    const std::vector<GrabNode*> nodes = hitList_;
    for (GrabNode* node : nodes) {
        if (!node->OnCurrentLayer() || node->layer_ != layer || !caught(node))
            continue;
        if (!havePrimary) {
            node->SetPrimary(0, 0);
            havePrimary = true;
        } else if (node != layer->primary && node->state_ != 1) {
            node->AddSecondary(0);
        }
    }
    NotifySelection(layer->primary);
    UpdateHost();
}

void GrabCanvas::SetTabOrderMode(int on)
{
    if ((on != 0) == (tabMode_ != 0))
        return;
    tabMode_ = on != 0 ? 1 : 0;
    nextTab_ = 0;
    if (tabMode_) {
        tabCurrent_.CreateSolidBrush(RGB(197, 226, 254));
        tabOther_.CreateSolidBrush(RGB(212, 208, 200));
        LOGFONTW font;
        font.lfHeight = -MulDiv(9, 96, 72);
        font.lfWeight = 700;
        font.lfCharSet = DEFAULT_CHARSET;
        std::wcsncpy(font.lfFaceName, L"MS Sans Serif", LF_FACESIZE - 1);
        tabFont_.CreateFontIndirect(font);
    } else {
        tabCurrent_.DeleteObject();
        tabOther_.DeleteObject();
        tabFont_.DeleteObject();
    }
    InvalidateAll(false);
}

int GrabCanvas::TabOrderClick(int x, int y)
{
    const std::vector<GrabNode*> nodes = hitList_;
    for (GrabNode* node : nodes) {
        if (!node->object_ || !node->object_->IsLayerShown() || !Inside(node->GetRect(), x, y))
            continue;
        node->SetTabIndex(nextTab_);
        nextTab_ = std::min(nextTab_ + 1, static_cast<int>(tabList_.size()));
        RemoveFromList(tabList_, node);
        InsertInTabList(node);
        RenumberTabOrder();
        InvalidateAll(true);
        return 1;
    }
    return 0;
}

// ---- mouse and keys

int GrabCanvas::OfferToNodes(int (GrabNode::*handler)(int, int, int), int flags, int x, int y)
{
    // A snapshot: a click may reorder the list (a new primary goes to the head) and
    // a drop may add copies or remove nodes; the first node that takes the event
    // ends the walk.
    const std::vector<GrabNode*> nodes = hitList_;
    for (GrabNode* node : nodes)
        if (node->OnCurrentLayer() && (node->*handler)(flags, x, y))
            return 1;
    return 0;
}

int GrabCanvas::OnLButtonDown(int flags, int x, int y)
{
    const int yd = Down(y);
    if (tabMode_)
        return TabOrderClick(x, yd);
    if (marker_.OnLButtonDown(x, yd))
        return 1;
    if (OfferToNodes(&GrabNode::OnLButtonDown, flags, x, yd))
        return 1;
    GrabNode* primary = GetPrimary();
    if (primary && !primary->marksHidden_) {
        primary->marksHidden_ = 1;
        InvalidateObject(primary, 0);
    }
    return 0;
}

int GrabCanvas::OnMouseMove(int flags, int x, int y)
{
    if (tabMode_)
        return 0;
    const int yd = Down(y);
    if (marker_.OnMouseMove(x, yd))
        return 1;
    return OfferToNodes(&GrabNode::OnMouseMove, flags, x, yd);
}

int GrabCanvas::OnLButtonUp(int flags, int x, int y)
{
    if (tabMode_)
        return 0;
    const int yd = Down(y);
    if (marker_.OnLButtonUp(x, yd))
        return 1;
    return OfferToNodes(&GrabNode::OnLButtonUp, flags, x, yd);
}

int GrabCanvas::OnKeyDown(Key key, int flags)
{
    if (key == KeyEscape) {
        if (tabMode_)
            SetTabOrderMode(0);
        else
            ClearSelection(1);
        return 1;
    }
    if (tabMode_ || !current_)
        return 0;
    const bool shift = (flags & kGrabShift) != 0;
    const bool control = (flags & kGrabControl) != 0;
    int dx = 0;
    int dy = 0;
    switch (key) {
    case KeyTab:
        ClearSelection(1);
        SelectNextInTabOrder(1);
        return 1;
    case KeyEnter:
        ShowPrimaryMarks();
        return 1;
    case KeyDelete:
        if (DeleteSelection())
            NotifyModified();
        return 1;
    case KeyA:
        if (!control)
            return 0;
        SelectAll();
        return 1;
    case KeyLeft:
        dx = -1;
        break;
    case KeyRight:
        dx = 1;
        break;
    case KeyUp:
        dy = -1;
        break;
    case KeyDown:
        dy = 1;
        break;
    default:
        return 0;
    }
    if (control && shift)
        MoveSelectionBy(dx * 5, dy * 5);
    else if (control)
        ResizeSelectionBy(dx * 10, dy * 10);
    else if (shift)
        ResizeSelectionBy(dx * 5, dy * 5);
    else
        MoveSelectionBy(dx * 10, dy * 10);
    return 1;
}

// ---- base point marker

RECT GrabBasePointMarker::Around(int x, int y) const
{
    RECT r{};
    r.left = x - size_.cx / 2;
    r.right = r.left + size_.cx;
    r.top = y - size_.cy / 2;
    r.bottom = r.top + size_.cy;
    return r;
}

void GrabBasePointMarker::MoveTo(int x, int y)
{
    point_ = POINT{x, y};
    rect_ = Around(x, canvas_->Down(y));
}

void GrabBasePointMarker::DrawCrossHairs(const RECT& rect)
{
    GrabHost* host = canvas_->Host();
    const RECT page = canvas_->GetPageRect();
    const int x = rect.left + size_.cx / 2;
    const int y = rect.top + size_.cy / 2;
    host->DrawFeedbackLine(page.left, canvas_->Down(y), page.right, canvas_->Down(y));
    host->DrawFeedbackLine(x, canvas_->Down(page.top), x, canvas_->Down(page.bottom));
}

int GrabBasePointMarker::OnLButtonDown(int x, int y)
{
    if (!canvas_->Host() || !Inside(rect_, x, y))
        return 0;
    GrabHost* host = canvas_->Host();
    dragging_ = 1;
    // The marker leaves the picture while the cross hairs follow the mouse.
    host->Invalidate(nullptr, false);
    host->SetCursor(GrabCursor::Hand);
    start_ = current_ = rect_;
    last_ = POINT{x, y};
    DrawCrossHairs(current_);
    host->SetCapture();
    return 1;
}

void GrabBasePointMarker::Step(int x, int y, bool always)
{
    const int gx = canvas_->GridRounded(size_.cx);
    const int gy = canvas_->GridRounded(size_.cy);
    const int sx = Sign(x - last_.x) * 2 * gx;
    const int sy = Sign(y - last_.y) * 2 * gy;
    axes_ = 0;
    if (current_.left - 2 * gx + sx <= x && x <= current_.right + 2 * gx + sx)
        axes_ |= 2;
    if (current_.top - 2 * gy + sy <= y && y <= current_.bottom + 2 * gy + sy)
        axes_ |= 1;
    if (!axes_) {
        last_ = POINT{x, y};
        return;
    }
    if (always)
        DrawCrossHairs(current_);
    const RECT page = canvas_->GetPageRect();
    auto follow = [this](int centre, int delta, int low, int high) {
        int v = centre + delta;
        int dir = Sign(delta);
        if (v < low) {
            v = low;
            dir = 1;
        } else if (v > high) {
            v = high;
            dir = -1;
        }
        return canvas_->Snap(v, dir);
    };
    int cx = current_.left + size_.cx / 2;
    int cy = current_.top + size_.cy / 2;
    if (axes_ & 2)
        cx = follow(cx, x - last_.x, page.left, page.right);
    if (axes_ & 1)
        cy = follow(cy, y - last_.y, page.top, page.bottom);
    current_ = Around(cx, cy);
    last_ = POINT{x, y};
    if (always)
        DrawCrossHairs(current_);
}

int GrabBasePointMarker::OnMouseMove(int x, int y)
{
    GrabHost* host = canvas_->Host();
    if (!host)
        return 0;
    if (dragging_) {
        Step(x, y, true);
        return 1;
    }
    if (host->HasCapture() || !Inside(rect_, x, y))
        return 0;
    host->SetCursor(GrabCursor::Hand);
    return 1;
}

int GrabBasePointMarker::OnLButtonUp(int x, int y)
{
    if (!dragging_)
        return 0;
    GrabHost* host = canvas_->Host();
    DrawCrossHairs(current_);
    Step(x, y, false);
    dragging_ = 0;
    if (!Same(current_, start_)) {
        rect_ = current_;
        point_ = POINT{rect_.left + size_.cx / 2, canvas_->Down(rect_.top + size_.cy / 2)};
        canvas_->NotifyBasePoint(point_.x, point_.y);
    }
    host->Invalidate(nullptr, false);
    host->ReleaseCapture();
    return 1;
}
