#include "GrabHandle.h"

#include <algorithm>
#include <cstdlib>

#include "GrabCanvas.h"
#include "GrabGeometry.h"
#include "GrabObjectCore.h"

using grab::Same;
using grab::Sign;

// ---- base

void GrabHandle::Attach(GrabNode* node, SIZE size)
{
    node_ = node;
    size_ = size;
}

GrabCanvas* GrabHandle::Canvas() const
{
    return node_ ? node_->GetCanvas() : nullptr;
}

int GrabHandle::IsEnabled()
{
    return 1;
}

bool GrabHandle::Contains(int x, int y) const
{
    return grab::Inside(rect_, x, y);
}

void GrabHandle::BeginTrack(int /*mode*/, int x, int y)
{
    tracking_ = start_ = node_->GetRect();
    last_ = POINT{x, y};
    drawn_ = 0;
}

void GrabHandle::StepFeedback(const RECT& old)
{
    GrabCanvas* canvas = Canvas();
    if (drawn_ || !Same(old, start_))
        canvas->Feedback(old);
    if (drawn_ || !Same(tracking_, start_)) {
        canvas->Feedback(tracking_);
        drawn_ = 1;
    }
}

void GrabHandle::EraseFeedback()
{
    if (drawn_)
        Canvas()->Feedback(tracking_);
    drawn_ = 0;
}

void GrabHandle::Track(int /*mode*/, int x, int y)
{
    const RECT old = tracking_;
    ApplyDelta(tracking_, x, y, Canvas()->GetPageRect());
    last_ = POINT{x, y};
    StepFeedback(old);
}

int GrabHandle::EndTrack(int /*mode*/, int x, int y)
{
    ApplyDelta(tracking_, x, y, Canvas()->GetPageRect());
    last_ = POINT{x, y};
    if (!drawn_ && Same(tracking_, start_))
        return 0;
    EraseFeedback();
    GrabCanvas* canvas = Canvas();
    canvas->InvalidateDown(start_, false);
    node_->SetObjectRect(tracking_);
    canvas->InvalidateDown(tracking_, false);
    return 1;
}

void GrabHandle::Place(const RECT& /*rect*/) {}

void GrabHandle::ApplyDelta(RECT& /*rect*/, int /*x*/, int /*y*/, const RECT& /*page*/) {}

int GrabHandle::IsNear(const RECT& /*rect*/, int /*x*/, int /*y*/)
{
    return 0;
}

void GrabHandle::SetCursor(int /*mode*/)
{
    Canvas()->Host()->SetCursor(cursor_);
}

int GrabHandle::NearBand(int edge, int v, int last, int size) const
{
    const int g = Canvas()->GridRounded(size);
    const int s = Sign(v - last) * 2 * g;
    return edge - 2 * g + s <= v && v <= edge + 2 * g + s ? 1 : 0;
}

int GrabHandle::StartDrag(int mode, int x, int y)
{
    if (!Contains(x, y))
        return 0;
    endResult_ = 0;
    dragging_ = 1;
    SetCursor(mode);
    Canvas()->Host()->SetCapture();
    BeginTrack(mode, x, y);
    return 1;
}

int GrabHandle::MouseMove(int mode, int x, int y)
{
    if (dragging_) {
        if (IsNear(tracking_, x, y))
            Track(mode, x, y);
        else
            KeepPoint(x, y);
        return 1;
    }
    if (Canvas()->Host()->HasCapture() || !Contains(x, y))
        return 0;
    SetCursor(mode);
    return 1;
}

int GrabHandle::FinishDrag(int mode, int x, int y)
{
    if (!dragging_)
        return 0;
    dragging_ = 0;
    GrabHost* host = Canvas()->Host();
    endResult_ = EndTrack(mode, x, y);
    host->ReleaseCapture();
    return 1;
}

// ---- resize handles

GrabResizeHandle::GrabResizeHandle(GrabCursor cursor, int xEdge, int yEdge)
    : GrabHandle(cursor), xEdge_(xEdge), yEdge_(yEdge)
{
}

int GrabResizeHandle::IsEnabled()
{
    GrabObjectCore* object = node_ ? node_->GetObject() : nullptr;
    if (!object)
        return 0;
    const bool corner = xEdge_ != 0 && yEdge_ != 0;
    // A handle that moves the left or top edge moves the object's position.
    const bool moves = corner || xEdge_ < 0 || yEdge_ < 0;
    if (moves && object->IsMoveLocked())
        return 0;
    if ((corner || xEdge_ != 0) && object->IsSizeLocked())
        return 0;
    if ((corner || yEdge_ != 0) && object->IsSelectLocked())
        return 0;
    return 1;
}

namespace
{

// Where a handle lies along one axis: just outside the near edge (-1) or the far
// edge (1), or centred on the span (0).
void HandleSpan(int side, int nearEdge, int farEdge, int size, int32_t& low, int32_t& high)
{
    if (side < 0)
        low = nearEdge - size;
    else if (side > 0)
        low = farEdge;
    else
        low = nearEdge + (farEdge - size - nearEdge) / 2;
    high = low + size;
}

} // namespace

void GrabResizeHandle::Place(const RECT& r)
{
    HandleSpan(xEdge_, r.left, r.right, size_.cx, rect_.left, rect_.right);
    HandleSpan(yEdge_, r.top, r.bottom, size_.cy, rect_.top, rect_.bottom);
}

int GrabResizeHandle::IsNear(const RECT& rect, int x, int y)
{
    axes_ = 0;
    if (xEdge_ != 0 && NearBand(xEdge_ < 0 ? rect.left : rect.right, x, last_.x, size_.cx))
        axes_ |= 2;
    if (yEdge_ != 0 && NearBand(yEdge_ < 0 ? rect.top : rect.bottom, y, last_.y, size_.cy))
        axes_ |= 1;
    return axes_ != 0 ? 1 : 0;
}

namespace
{

// Moves one edge by delta between the page edge on its side and the opposite edge
// less the minimum, then snaps it towards the inside when it was held.
int MoveEdge(const GrabCanvas* canvas, int edge, int delta, int side, int opposite, int minimum, int pageEdge)
{
    int v = edge + delta;
    int dir = Sign(delta);
    if (side < 0) { // left or top
        if (v > opposite - minimum) {
            v = opposite - minimum;
            dir = -1;
        } else if (v < pageEdge) {
            v = pageEdge;
            dir = 1;
        }
    } else {
        if (v < opposite + minimum) {
            v = opposite + minimum;
            dir = 1;
        } else if (v > pageEdge) {
            v = pageEdge;
            dir = -1;
        }
    }
    return canvas->Snap(v, dir);
}

} // namespace

void GrabResizeHandle::ApplyDelta(RECT& rect, int x, int y, const RECT& page)
{
    GrabCanvas* canvas = Canvas();
    SIZE minimum{};
    if (GrabObjectCore* object = node_->GetObject())
        object->GetMinSize(&minimum);
    const int mw = std::max<int>(size_.cx, minimum.cx);
    const int mh = std::max<int>(size_.cy, minimum.cy);
    if (xEdge_ != 0 && (axes_ & 2)) {
        if (xEdge_ < 0)
            rect.left = MoveEdge(canvas, rect.left, x - last_.x, -1, rect.right, mw, page.left);
        else
            rect.right = MoveEdge(canvas, rect.right, x - last_.x, 1, rect.left, mw, page.right);
    }
    if (yEdge_ != 0 && (axes_ & 1)) {
        if (yEdge_ < 0)
            rect.top = MoveEdge(canvas, rect.top, y - last_.y, -1, rect.bottom, mh, page.top);
        else
            rect.bottom = MoveEdge(canvas, rect.bottom, y - last_.y, 1, rect.top, mh, page.bottom);
    }
}

// ---- move handle

int GrabHandleC::IsEnabled()
{
    GrabObjectCore* object = node_ ? node_->GetObject() : nullptr;
    return object && !object->IsMoveLocked() ? 1 : 0;
}

void GrabHandleC::Place(const RECT& /*rect*/) {}

int GrabHandleC::IsNear(const RECT& rect, int x, int y)
{
    axes_ = 0;
    const int gx = Canvas()->GridRounded(size_.cx);
    const int sx = Sign(x - last_.x) * 2 * gx;
    if (rect.left - 2 * gx + sx <= x && x <= rect.right + 2 * gx + sx)
        axes_ |= 2;
    const int gy = Canvas()->GridRounded(size_.cy);
    const int sy = Sign(y - last_.y) * 2 * gy;
    if (rect.top - 2 * gy + sy <= y && y <= rect.bottom + 2 * gy + sy)
        axes_ |= 1;
    return axes_ != 0 ? 1 : 0;
}

namespace
{

// Shifts a span by delta inside [low, high], keeping its length, and snaps its
// near edge; returns the new near edge.
int MoveSpan(const GrabCanvas* canvas, int nearEdge, int length, int delta, int low, int high)
{
    int v = nearEdge + delta;
    int dir = Sign(delta);
    if (v < low) {
        v = low;
        dir = 1;
    } else if (v + length > high) {
        v = high - length;
        dir = -1;
    }
    return canvas->Snap(v, dir);
}

} // namespace

void GrabHandleC::ApplyDelta(RECT& rect, int x, int y, const RECT& page)
{
    const GrabCanvas* canvas = Canvas();
    if (axes_ & 2) {
        const int w = rect.right - rect.left;
        rect.left = MoveSpan(canvas, rect.left, w, x - last_.x, page.left, page.right);
        rect.right = rect.left + w;
    }
    if (axes_ & 1) {
        const int h = rect.bottom - rect.top;
        rect.top = MoveSpan(canvas, rect.top, h, y - last_.y, page.top, page.bottom);
        rect.bottom = rect.top + h;
    }
}

void GrabHandleC::SetCursor(int mode)
{
    mode_ = mode;
    Canvas()->Host()->SetCursor((mode & 0xF) == kGrabModeCopy ? GrabCursor::Copy : cursor_);
}

void GrabHandleC::SwitchCursor(int mode)
{
    if ((mode_ ^ mode) & 0xF)
        SetCursor(mode);
    mode_ = mode;
}

void GrabHandleC::Track(int mode, int x, int y)
{
    SwitchCursor(mode);
    GrabHandle::Track(mode, x, y);
}

bool GrabHandleC::FarEnough() const
{
    return std::abs(tracking_.left - start_.left) >= 2 * size_.cx ||
           std::abs(tracking_.top - start_.top) >= 2 * size_.cy;
}

int GrabHandleC::EndTrack(int mode, int x, int y)
{
    if ((mode & 0xF) != kGrabModeCopy)
        return GrabHandle::EndTrack(mode, x, y);
    GrabCanvas* canvas = Canvas();
    const RECT old = tracking_;
    ApplyDelta(tracking_, x, y, canvas->GetPageRect());
    last_ = POINT{x, y};
    StepFeedback(old);
    const int result = drawn_ || !Same(tracking_, start_) ? 1 : 0;
    EraseFeedback();
    const bool now = (mode & kGrabModeNow) != 0;
    if (FarEnough()) {
        GrabObjectCore* copy = node_->GetObject()->Duplicate(now ? 1 : 0, (mode & kGrabModeGroup) ? 1 : 0);
        GrabNode* made = copy ? static_cast<GrabNode*>(copy->GetDesignLink()) : nullptr;
        if (made && made->GetCanvas() == canvas) {
            made->SetObjectRect(tracking_);
            canvas->InvalidateObject(made, now ? 1 : 0);
        }
    }
    canvas->InvalidateObject(node_, now ? 1 : 0);
    return result;
}

// ---- move handle of a multiple selection

void GrabHandleMC::BeginTrack(int mode, int x, int y)
{
    GrabCanvas* canvas = Canvas();
    tracking_ = start_ = canvas->MovableBounds();
    last_ = POINT{x, y};
    drawn_ = 0;
    members_ = canvas->MovableSet();
    for (GrabNode* member : members_)
        member->GetHandle(GrabNode::C)->BeginTrack(mode, x, y);
}

void GrabHandleMC::Track(int mode, int x, int y)
{
    ApplyDelta(tracking_, x, y, Canvas()->GetPageRect());
    SwitchCursor(mode);
    if (!Same(tracking_, start_))
        drawn_ = 1;
    last_ = POINT{x, y};
    for (GrabNode* member : members_) {
        GrabHandle* handle = member->GetHandle(GrabNode::C);
        handle->SetAxes(axes_);
        handle->Track(mode, x, y);
    }
}

int GrabHandleMC::EndTrack(int mode, int x, int y)
{
    ApplyDelta(tracking_, x, y, Canvas()->GetPageRect());
    last_ = POINT{x, y};
    const int result = Same(tracking_, start_) ? 0 : 1;
    const std::vector<GrabNode*> members = std::move(members_);
    members_.clear();
    if ((mode & 0xF) == kGrabModeCopy && FarEnough()) {
        Canvas()->DuplicateSelection(mode | kGrabModeGroup, x, y);
        return result;
    }
    for (GrabNode* member : members)
        member->GetHandle(GrabNode::C)->EndTrack(mode, x, y);
    return result;
}

void GrabHandleMC::KeepPoint(int x, int y)
{
    last_ = POINT{x, y};
    for (GrabNode* member : members_)
        member->GetHandle(GrabNode::C)->KeepPoint(x, y);
}
