// The commands on the selection of the current layer: align, space, centre, size,
// move and resize by keys, delete, write out and copy by dragging. The primary is
// the reference of the align and size commands; locked objects refuse changes.

#include <algorithm>

#include "GrabCanvas.h"
#include "GrabObjectCore.h"

namespace
{

RECT Shifted(RECT r, int dx, int dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

} // namespace

int GrabCanvas::SelectionCount() const
{
    if (!current_)
        return 0;
    return static_cast<int>(current_->secondaries.size()) + (PrimarySelected() ? 1 : 0);
}

std::vector<GrabNode*> GrabCanvas::MovableSet() const
{
    std::vector<GrabNode*> set;
    if (!current_)
        return set;
    auto movable = [](GrabNode* node) { return node->GetObject() && !node->GetObject()->IsMoveLocked(); };
    if (PrimarySelected() && movable(current_->primary))
        set.push_back(current_->primary);
    for (GrabNode* node : current_->secondaries)
        if (movable(node))
            set.push_back(node);
    return set;
}

RECT GrabCanvas::MovableBounds() const
{
    bool any = false;
    RECT bounds{};
    for (GrabNode* node : MovableSet()) {
        const RECT r = node->GetRect();
        if (r.left >= r.right || r.top >= r.bottom)
            continue;
        if (!any) {
            bounds = r;
            any = true;
            continue;
        }
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

int GrabCanvas::Change(GrabNode* node, const RECT& rect)
{
    RECT old{};
    if (node->GetObject())
        node->GetObject()->GetBoundRect(&old);
    InvalidateObject(node, 0);
    if (node->ApplyRect(rect)) {
        InvalidateObject(node, 0);
        return 1;
    }
    ValidateDown(DownRect(old));
    return 0;
}

template <class Shift> void GrabCanvas::AlignSecondaries(Shift shift)
{
    if (!Ready() || !current_->primary || current_->secondaries.empty())
        return;
    const RECT reference = current_->primary->GetRect();
    const std::vector<GrabNode*> secondaries = current_->secondaries;
    for (GrabNode* node : secondaries) {
        const RECT r = node->GetRect();
        const POINT by = shift(reference, r);
        Change(node, Shifted(r, by.x, by.y));
    }
    UpdateHost();
}

void GrabCanvas::AlignTop()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) { return POINT{0, ref.top - r.top}; });
}

void GrabCanvas::AlignBottom()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) { return POINT{0, ref.bottom - r.bottom}; });
}

void GrabCanvas::AlignLeft()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) { return POINT{ref.left - r.left, 0}; });
}

void GrabCanvas::AlignRight()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) { return POINT{ref.right - r.right, 0}; });
}

void GrabCanvas::AlignVertCenterLine()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) {
        return POINT{(ref.left + ref.right) / 2 - (r.left + r.right) / 2, 0};
    });
}

void GrabCanvas::AlignHorzCenterLine()
{
    AlignSecondaries([](const RECT& ref, const RECT& r) {
        return POINT{0, (ref.top + ref.bottom) / 2 - (r.top + r.bottom) / 2};
    });
}

template <class Size> void GrabCanvas::ResizeSecondaries(Size size)
{
    if (!Ready() || !current_->primary || current_->secondaries.empty())
        return;
    const RECT reference = current_->primary->GetRect();
    const std::vector<GrabNode*> secondaries = current_->secondaries;
    for (GrabNode* node : secondaries)
        Change(node, size(reference, node->GetRect()));
    UpdateHost();
}

void GrabCanvas::SameWidth()
{
    ResizeSecondaries([](const RECT& ref, RECT r) {
        r.right = r.left + (ref.right - ref.left);
        return r;
    });
}

void GrabCanvas::SameHeight()
{
    ResizeSecondaries([](const RECT& ref, RECT r) {
        r.bottom = r.top + (ref.bottom - ref.top);
        return r;
    });
}

void GrabCanvas::SameSize()
{
    ResizeSecondaries([](const RECT& ref, RECT r) {
        r.right = r.left + (ref.right - ref.left);
        r.bottom = r.top + (ref.bottom - ref.top);
        return r;
    });
}

void GrabCanvas::SpaceEvenly(bool vertical)
{
    if (!Ready())
        return;
    std::vector<GrabNode*> set = MovableSet();
    const int n = static_cast<int>(set.size());
    if (n < 3)
        return;
    const RECT bounds = MovableBounds();
    int sum = 0;
    for (GrabNode* node : set) {
        const RECT r = node->GetRect();
        sum += vertical ? r.bottom - r.top : r.right - r.left;
    }
    const int span = vertical ? bounds.bottom - bounds.top : bounds.right - bounds.left;
    const int gap = (span - sum) / (n - 1);
    std::sort(set.begin(), set.end(), [vertical](GrabNode* a, GrabNode* b) {
        return vertical ? a->GetRect().top < b->GetRect().top : a->GetRect().left < b->GetRect().left;
    });
    int at = vertical ? bounds.top : bounds.left;
    for (GrabNode* node : set) {
        const RECT r = node->GetRect();
        Change(node, vertical ? Shifted(r, 0, at - r.top) : Shifted(r, at - r.left, 0));
        const RECT placed = node->GetRect();
        at = (vertical ? placed.bottom : placed.right) + gap;
    }
    UpdateHost();
}

void GrabCanvas::SpaceEvenlyHorz()
{
    SpaceEvenly(false);
}

void GrabCanvas::SpaceEvenlyVert()
{
    SpaceEvenly(true);
}

void GrabCanvas::RemoveSpace(bool vertical)
{
    if (!Ready())
        return;
    std::vector<GrabNode*> set = MovableSet();
    if (set.size() < 2)
        return;
    std::sort(set.begin(), set.end(), [vertical](GrabNode* a, GrabNode* b) {
        return vertical ? a->GetRect().top < b->GetRect().top : a->GetRect().left < b->GetRect().left;
    });
    for (size_t i = 1; i < set.size(); ++i) {
        const RECT before = set[i - 1]->GetRect();
        const RECT r = set[i]->GetRect();
        Change(set[i],
               vertical ? Shifted(r, 0, before.bottom - r.top) : Shifted(r, before.right - r.left, 0));
    }
    UpdateHost();
}

void GrabCanvas::RemoveSpaceHorz()
{
    RemoveSpace(false);
}

void GrabCanvas::RemoveSpaceVert()
{
    RemoveSpace(true);
}

void GrabCanvas::Center(bool vertical)
{
    if (!Ready() || SelectionCount() < 1 || MovableSet().empty())
        return;
    const RECT b = MovableBounds();
    const int delta = vertical ? (page_.top + page_.bottom) / 2 - (b.top + b.bottom) / 2
                               : (page_.left + page_.right) / 2 - (b.left + b.right) / 2;
    std::vector<GrabNode*> nodes{PrimarySelected() ? current_->primary : nullptr};
    nodes.insert(nodes.end(), current_->secondaries.begin(), current_->secondaries.end());
    for (GrabNode* node : nodes)
        if (node)
            Change(node, vertical ? Shifted(node->GetRect(), 0, delta) : Shifted(node->GetRect(), delta, 0));
    UpdateHost();
}

void GrabCanvas::CenterHorz()
{
    Center(false);
}

void GrabCanvas::CenterVert()
{
    Center(true);
}

void GrabCanvas::MoveSelectionBy(int dx, int dy)
{
    if (!Ready() || SelectionCount() < 1 || MovableSet().empty())
        return;
    const RECT b = MovableBounds();
    RECT moved = Shifted(b, dx, dy);
    if (moved.left < page_.left)
        moved = Shifted(moved, page_.left - moved.left, 0);
    else if (moved.right > page_.right)
        moved = Shifted(moved, page_.right - moved.right, 0);
    if (moved.top < page_.top)
        moved = Shifted(moved, 0, page_.top - moved.top);
    else if (moved.bottom > page_.bottom)
        moved = Shifted(moved, 0, page_.bottom - moved.bottom);
    const int mx = moved.left - b.left;
    const int my = moved.top - b.top;
    if (mx == 0 && my == 0)
        return;
    std::vector<GrabNode*> nodes{PrimarySelected() ? current_->primary : nullptr};
    nodes.insert(nodes.end(), current_->secondaries.begin(), current_->secondaries.end());
    for (GrabNode* node : nodes)
        if (node)
            Change(node, Shifted(node->GetRect(), mx, my));
    UpdateHost();
}

void GrabCanvas::ResizeSelectionBy(int dx, int dy)
{
    if (!Ready() || !PrimarySelected() || !current_->secondaries.empty())
        return;
    GrabNode* node = current_->primary;
    RECT r = node->GetRect();
    // Never below the object's own minimum either: a table keeps every column at
    // its narrowest, as a handle drag does.
    SIZE minimum{};
    if (node->GetObject())
        node->GetObject()->GetMinSize(&minimum);
    const int mw = std::max<int>(handleSize_.cx, minimum.cx);
    const int mh = std::max<int>(handleSize_.cy, minimum.cy);
    r.right = std::max<int>(std::min<int>(r.right + dx, page_.right), r.left + mw);
    r.bottom = std::max<int>(std::min<int>(r.bottom + dy, page_.bottom), r.top + mh);
    RECT old{};
    node->GetObject()->GetBoundRect(&old);
    InvalidateObject(node, 0);
    if (node->ApplyRect(r))
        InvalidateObject(node, 1);
    else
        ValidateDown(DownRect(old));
}

int GrabCanvas::DeleteSelection()
{
    GrabLayer* layer = current_;
    if (tabMode_ || !layer)
        return 0;
    std::vector<GrabNode*> doomed;
    if (PrimarySelected() && layer->primary->OnCurrentLayer())
        doomed.push_back(layer->primary);
    for (GrabNode* node : layer->secondaries)
        if (node->OnCurrentLayer())
            doomed.push_back(node);
    for (GrabNode* node : doomed) {
        GrabObjectCore* object = node->GetObject();
        RemoveObject(node);
        // The layer's own reference: the object goes with its node.
        if (object)
            object->Release();
    }
    if (doomed.empty())
        return 0;
    RenumberTabOrder();
    // Nothing is selected in their place: a control chosen here could stand anywhere
    // on the page, and the Delete a person presses twice would remove it unseen. The
    // layer's tab successor stays, so Tab goes on from where the deleted ones stood.
    if (GrabNode* left = layer->primary) {
        left->state_ = 0;
        layer->primary = nullptr;
    }
    NotifySelection(nullptr);
    InvalidateAll(false);
    return 1;
}

int GrabCanvas::SaveSelectionXml(tinyxml2::XMLElement* element)
{
    if (tabMode_ || SelectionCount() < 1)
        return 0;
    for (GrabNode* node : current_->secondaries)
        if (node->OnCurrentLayer() && !node->GetObject()->SaveXml(element))
            return 0;
    GrabNode* primary = PrimarySelected() ? current_->primary : nullptr;
    if (primary && primary->OnCurrentLayer() && !primary->GetObject()->SaveXml(element))
        return 0;
    return 1;
}

void GrabCanvas::DuplicateSelection(int mode, int x, int y)
{
    GrabLayer* layer = current_;
    if (!layer)
        return;
    std::vector<GrabNode*> nodes = layer->secondaries;
    if (layer->primary)
        nodes.push_back(layer->primary);
    std::erase_if(nodes, [](GrabNode* n) { return !n->GetObject() || n->GetObject()->IsMoveLocked(); });
    ClearSelection(0);
    if (GrabNode* primary = layer->primary) {
        MoveToHead(primary);
        layer->primary = nullptr;
        layer->tabSuccessor = nullptr;
        primary->state_ = 0;
    }
    // Each copy becomes the primary and keeps the copies before it selected.
    for (GrabNode* node : nodes)
        node->GetHandle(GrabNode::C)->EndTrack(mode, x, y);
    InvalidateAll(false);
}
