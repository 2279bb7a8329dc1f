// Painting of the design canvas: the objects bottom to top with their selection
// marks, the fill-in numbers in tab-order mode, the base point marker and the
// snap grid.

#include <cwchar>

#include "DC.h"
#include "GrabCanvas.h"
#include "GrabObjectCore.h"

namespace
{

void DrawRect(DC* dc, const GrabCanvas* canvas, const RECT& down)
{
    dc->Rectangle(canvas->LogicalRect(down));
}

} // namespace

void GrabNode::Draw(DC* dc)
{
    FollowObject();
    object_->DrawDesign(dc);
    if (!OnCurrentLayer())
        return;
    if (state_ == 1) {
        const CPen pen = dc->SelectObject(canvas_->handlePen_);
        const CBrush brush = dc->SelectObject(canvas_->secondaryFill_);
        for (int i = N; i < C; ++i)
            DrawRect(dc, canvas_, handles_[static_cast<size_t>(i)]->GetHandleRect());
        dc->SelectObject(pen);
        dc->SelectObject(brush);
        return;
    }
    if (!IsPrimary())
        return;
    const CPen pen = dc->SelectObject(canvas_->handlePen_);
    const CBrush brush = dc->SelectObject(canvas_->enabledFill_);
    if (!marksHidden_) {
        for (int i = N; i < C; ++i) {
            GrabHandle* handle = handles_[static_cast<size_t>(i)].get();
            const bool enabled = handle->IsEnabled() != 0;
            dc->SelectObject(enabled ? canvas_->handlePen_ : canvas_->lockedPen_);
            dc->SelectObject(enabled ? canvas_->enabledFill_ : canvas_->lockedFill_);
            DrawRect(dc, canvas_, handle->GetHandleRect());
        }
    }
    dc->SelectObject(canvas_->framePen_);
    dc->SelectObject(canvas_->frameBrush_);
    DrawRect(dc, canvas_, GetRect());
    dc->SelectObject(pen);
    dc->SelectObject(brush);
}

void GrabNode::DrawTabOrder(DC* dc)
{
    object_->DrawDesign(dc);
    const RECT rect = canvas_->LogicalRect(GetRect());
    wchar_t text[24];
    std::swprintf(text, 24, L" %d ", GetTabIndex());
    const int mode = dc->SetBkMode(OPAQUE);
    const COLORREF back = dc->SetBkColor(RGB(10, 36, 106));
    const COLORREF fore = dc->SetTextColor(RGB(255, 255, 255));
    dc->TextOut(rect.left, rect.top, text);
    dc->SetBkMode(mode);
    dc->SetBkColor(back);
    dc->SetTextColor(fore);
    if (IsPrimary() && OnCurrentLayer()) {
        const CPen pen = dc->SelectObject(canvas_->framePen_);
        const CBrush brush = dc->SelectObject(canvas_->frameBrush_);
        dc->Rectangle(rect);
        dc->SelectObject(pen);
        dc->SelectObject(brush);
    }
}

void GrabBasePointMarker::Draw(DC* dc)
{
    const CPen pen = dc->SelectObject(canvas_->markerPen_);
    const CBrush brush = dc->SelectObject(canvas_->hollow_);
    const int rop = dc->SetROP2(R2_NOTXORPEN);
    const RECT page = canvas_->GetPageRect();
    dc->Rectangle(canvas_->LogicalRect(rect_));
    dc->MoveTo(page.left, point_.y);
    dc->LineTo(page.right, point_.y);
    dc->MoveTo(point_.x, canvas_->Down(page.top));
    dc->LineTo(point_.x, canvas_->Down(page.bottom));
    dc->SetROP2(rop);
    dc->SelectObject(pen);
    dc->SelectObject(brush);
}

void GrabCanvas::Paint(DC* dc)
{
    if (!dc)
        return;
    const int previous = dc->SetMapMode(kind_);
    CFont font;
    if (tabMode_)
        font = dc->SelectObject(tabFont_);
    for (auto it = hitList_.rbegin(); it != hitList_.rend(); ++it) {
        GrabNode* node = *it;
        if (!node->object_ || !node->object_->IsLayerShown())
            continue;
        if (tabMode_)
            node->DrawTabOrder(dc);
        else
            node->Draw(dc);
    }
    if (tabMode_)
        dc->SelectObject(font);
    if (!marker_.IsDragging())
        marker_.Draw(dc);
    dc->SetMapMode(previous);
}

void GrabCanvas::DrawGrid(DC* dc)
{
    if (!dc || !snap_)
        return;
    const int previous = dc->SetMapMode(kind_);
    const CPen fine(PS_ALTERNATE, 1, RGB(192, 192, 192));
    const CPen heavy(PS_DASHDOTDOT, 1, RGB(192, 192, 192));
    const CPen old = dc->SelectObject(fine);
    const int step = 2 * grid_;
    const int major = 10 * grid_;
    for (int x = page_.left; x < page_.right; x += step) {
        dc->SelectObject((x - page_.left) % major == 0 ? heavy : fine);
        dc->MoveTo(x, Down(page_.top));
        dc->LineTo(x, Down(page_.bottom));
    }
    for (int y = page_.top; y < page_.bottom; y += step) {
        dc->SelectObject((y - page_.top) % major == 0 ? heavy : fine);
        dc->MoveTo(page_.left, Down(y));
        dc->LineTo(page_.right, Down(y));
    }
    dc->SelectObject(old);
    dc->SetMapMode(previous);
}
