#include "GrabSplitter.h"

#include <algorithm>

#include "GrabLayer.h"
#include "GrabObjectCore.h"
#include "GrabPane.h"

namespace
{
int Sign(int v)
{
    return (v > 0) - (v < 0);
}
} // namespace

GrabPane::~GrabPane() = default;

void GrabPane::GetPaneRect(RECT* /*rect*/) {}

void GrabPane::MoveBy(int /*edge*/, int /*distance*/) {}

void GrabPane::UpdateSplitter()
{
    if (!splitter_)
        return;
    RECT rect{};
    GetPaneRect(&rect);
    // The canvas works in 0.1 mm with y up (kind 2); without a canvas node the
    // kind is 0, which maps the same way.
    splitter_->Place(object_ && object_->GetDesignLink() ? 2 : 0, rect);
}

GrabSplitter::GrabSplitter(GrabPane* pane, bool alongY) : pane_(pane), alongY_(alongY) {}

GrabSplitter::~GrabSplitter() = default;

RECT GrabSplitter::DownRect(const RECT& rect) const
{
    RECT r{rect.left, Down(rect.top), rect.right, Down(rect.bottom)};
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    if (r.left > r.right)
        std::swap(r.left, r.right);
    return r;
}

int GrabSplitter::MoveBy(int distance)
{
    if (!next_)
        return 0;
    pane_->MoveBy(1, distance);
    next_->MoveBy(0, distance);
    return 1;
}

void GrabSplitter::Place(int kind, const RECT& paneRect)
{
    kind_ = kind;
    const RECT r = DownRect(paneRect);
    if (alongY_) {
        const int y = r.bottom;
        boundary_ = RECT{r.left, y, r.right, y};
        band_ = RECT{r.left, y + size_ / 2 - size_, r.right, y + size_ / 2};
    } else {
        const int x = r.right;
        boundary_ = RECT{x, r.top, x, r.bottom};
        band_ = RECT{x + size_ / 2 - size_, r.top, x + size_ / 2, r.bottom};
    }
}

int GrabSplitter::HitTest(int x, int y) const
{
    const int yd = Down(y);
    return x >= band_.left && x <= band_.right && yd >= band_.top && yd <= band_.bottom ? 1 : 0;
}

int GrabSplitter::BeginDrag(int x, int y)
{
    if (!next_ || !HitTest(x, y))
        return 0;
    dragging_ = 1;
    last_ = POINT{x, Down(y)};
    tracking_ = boundary_;
    moved_ = 0;
    return 1;
}

int GrabSplitter::IsNear(int /*kind*/, const RECT& rect, int x, int y)
{
    const int g = size_;
    const int at = alongY_ ? rect.top : rect.left;
    const int v = alongY_ ? y : x;
    const int s = Sign(v - (alongY_ ? last_.y : last_.x)) * 2 * g;
    return at - 2 * g + s <= v && v <= at + 2 * g + s ? 1 : 0;
}

int GrabSplitter::ApplyDelta(int /*kind*/, RECT& rect, int x, int y)
{
    const int delta = alongY_ ? y - last_.y : x - last_.x;
    int at = (alongY_ ? rect.top : rect.left) + delta;
    RECT before{};
    RECT after{};
    pane_->GetPaneRect(&before);
    if (next_)
        next_->GetPaneRect(&after);
    before = DownRect(before);
    after = DownRect(after);
    const int low = (alongY_ ? before.top : before.left) + size_;
    const int high = (alongY_ ? after.bottom : after.right) - size_;
    int direction = Sign(delta);
    if (delta < 0 && at < low) {
        at = low;
        direction = 1;
    } else if (delta > 0 && next_ && at > high) {
        at = high;
        direction = -1;
    }
    if (alongY_)
        rect = RECT{band_.left, at, band_.right, at};
    else
        rect = RECT{at, band_.top, at, band_.bottom};
    return direction;
}

int GrabSplitter::DragTo(DC* /*dc*/, int x, int y)
{
    if (!next_)
        return 0;
    if (!dragging_)
        return HitTest(x, y);
    const int yd = Down(y);
    if (IsNear(kind_, tracking_, x, yd)) {
        ApplyDelta(kind_, tracking_, x, yd);
        moved_ = 1;
    }
    last_ = POINT{x, yd};
    return 1;
}

void GrabSplitter::Commit(int /*kind*/, const RECT& start, const RECT& end)
{
    MoveBy(alongY_ ? end.top - start.top : end.left - start.left);
}

int GrabSplitter::EndDrag(int x, int y)
{
    if (!next_ || !dragging_)
        return 0;
    const int yd = Down(y);
    ApplyDelta(kind_, tracking_, x, yd);
    last_ = POINT{x, yd};
    dragging_ = 0;
    const bool same = tracking_.left == boundary_.left && tracking_.top == boundary_.top;
    if (!moved_ && same)
        return 1;
    // A row line in y-down form moves down when the row grows.
    Commit(kind_, boundary_, tracking_);
    ApplyPosition();
    if (GrabObjectCore* object = pane_->GetObject()) {
        GrabLayer* layer = object->GetLayer();
        if (layer && layer->GetView() && object->GetDesignLink())
            layer->GetView()->InvalidateObject(object, 0);
    }
    return 1;
}

void GrabSplitter::ApplyPosition()
{
    RECT rect{};
    pane_->GetPaneRect(&rect);
    Place(kind_, rect);
}
