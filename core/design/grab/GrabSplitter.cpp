#include "GrabSplitter.h"

#include <algorithm>

#include "GrabCanvas.h"
#include "GrabGeometry.h"
#include "GrabLayer.h"
#include "GrabObjectCore.h"
#include "GrabPane.h"

using grab::Same;
using grab::Sign;

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
    return grab::DownRect(kind_, rect);
}

int GrabSplitter::MoveBy(int distance)
{
    if (!next_)
        return 0;
    pane_->MoveBy(1, distance);
    next_->MoveBy(0, distance);
    return 1;
}

GrabCanvas* GrabSplitter::Canvas() const
{
    GrabObjectCore* object = pane_ ? pane_->GetObject() : nullptr;
    GrabSelection* link = object ? object->GetDesignLink() : nullptr;
    return link ? link->GetCanvas() : nullptr;
}

int GrabSplitter::Size() const
{
    const GrabCanvas* canvas = Canvas();
    return canvas ? canvas->GetSplitterSize() : size_;
}

void GrabSplitter::Feedback(const RECT& segment) const
{
    GrabCanvas* canvas = Canvas();
    if (canvas && canvas->Host())
        canvas->Host()->DrawFeedbackLine(segment.left, Down(segment.top), segment.right,
                                         Down(segment.bottom));
}

void GrabSplitter::Place(int kind, const RECT& paneRect)
{
    kind_ = kind;
    const RECT r = DownRect(paneRect);
    if (alongY_) {
        const int y = r.bottom;
        boundary_ = RECT{r.left, y, r.right, y};
    } else {
        const int x = r.right;
        boundary_ = RECT{x, r.top, x, r.bottom};
    }
}

RECT GrabSplitter::GetHitBand() const
{
    // The band follows the size of the canvas showing the object, which may
    // differ from the size when the line was last placed.
    const int size = Size();
    if (alongY_)
        return RECT{boundary_.left, boundary_.top + size / 2 - size, boundary_.right,
                    boundary_.top + size / 2};
    return RECT{boundary_.left + size / 2 - size, boundary_.top, boundary_.left + size / 2, boundary_.bottom};
}

int GrabSplitter::HitTest(int x, int y) const
{
    const int yd = Down(y);
    const RECT band = GetHitBand();
    return x >= band.left && x <= band.right && yd >= band.top && yd <= band.bottom ? 1 : 0;
}

int GrabSplitter::BeginDrag(int x, int y)
{
    if (!next_ || !HitTest(x, y))
        return 0;
    dragging_ = 1;
    if (GrabCanvas* canvas = Canvas())
        canvas->Host()->SetCapture();
    last_ = POINT{x, Down(y)};
    tracking_ = boundary_;
    drawn_ = 0;
    return 1;
}

int GrabSplitter::IsNear(int /*kind*/, const RECT& rect, int x, int y)
{
    const GrabCanvas* canvas = Canvas();
    const int g = canvas ? canvas->GridRounded(Size()) : size_;
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
    const int size = Size();
    const int low = (alongY_ ? before.top : before.left) + size;
    const int high = (alongY_ ? after.bottom : after.right) - size;
    int direction = Sign(delta);
    if (delta < 0 && at < low) {
        at = low;
        direction = 1;
    } else if (delta > 0 && next_ && at > high) {
        at = high;
        direction = -1;
    }
    if (const GrabCanvas* canvas = Canvas())
        at = canvas->Snap(at, direction);
    if (alongY_)
        rect = RECT{boundary_.left, at, boundary_.right, at};
    else
        rect = RECT{at, boundary_.top, at, boundary_.bottom};
    return direction;
}

int GrabSplitter::DragTo(DC* /*dc*/, int x, int y)
{
    if (!next_)
        return 0;
    GrabCanvas* canvas = Canvas();
    if (!dragging_) {
        if (canvas && canvas->Host()->HasCapture())
            return 0;
        if (!HitTest(x, y))
            return 0;
        if (canvas)
            canvas->Host()->SetCursor(alongY_ ? GrabCursor::SizeNS : GrabCursor::SizeWE);
        return 1;
    }
    const int yd = Down(y);
    if (IsNear(kind_, tracking_, x, yd)) {
        const RECT old = tracking_;
        ApplyDelta(kind_, tracking_, x, yd);
        last_ = POINT{x, yd};
        // Drawing a segment twice erases it; nothing shows while the line has not
        // left its place yet.
        if (drawn_ || !Same(old, boundary_))
            Feedback(old);
        if (drawn_ || !Same(tracking_, boundary_)) {
            Feedback(tracking_);
            drawn_ = 1;
        }
    } else {
        last_ = POINT{x, yd};
    }
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
    GrabCanvas* canvas = Canvas();
    if (drawn_)
        Feedback(tracking_);
    const bool moved = drawn_ || !Same(tracking_, boundary_);
    drawn_ = 0;
    if (moved) {
        // A row line in y-down form moves down when the row grows.
        Commit(kind_, boundary_, tracking_);
        ApplyPosition();
        if (GrabObjectCore* object = pane_->GetObject()) {
            GrabLayer* layer = object->GetLayer();
            if (layer && layer->GetView() && object->GetDesignLink())
                layer->GetView()->InvalidateObject(object, 0);
        }
    }
    if (canvas)
        canvas->Host()->ReleaseCapture();
    return 1;
}

void GrabSplitter::ApplyPosition()
{
    RECT rect{};
    pane_->GetPaneRect(&rect);
    Place(kind_, rect);
}
