#include "CDCPlus.h"

#include "DeviceContext.h"

#include <QPainter>

#include <algorithm>

CDCPlus::CDCPlus() = default;

CDCPlus::~CDCPlus() = default;

CDC* CDCPlus::OpenCanvas(CDC* dc, const RECT& rect)
{
    canvas_.reset();
    target_ = nullptr;
    if (!dc || !dc->GetDevice()) return nullptr;
    RECT device = rect;
    dc->LPtoDP(&device);
    const int left = std::min(device.left, device.right), top = std::min(device.top, device.bottom);
    const int width = std::abs(device.right - device.left), height = std::abs(device.bottom - device.top);
    if (width <= 0 || height <= 0) return nullptr;
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    image_.setDotsPerMeterX(static_cast<int>(dpiX / 0.0254 + 0.5));
    image_.setDotsPerMeterY(static_cast<int>(dpiY / 0.0254 + 0.5));
    image_.fill(Qt::white);
    if (const QImage* under = dc->GetImage()) {
        dc->EndPainting(); // what was drawn so far lands in the image first
        QPainter(&image_).drawImage(QPoint(0, 0), *under, QRect(left, top, width, height));
    }
    canvas_ = std::make_unique<CDC>();
    if (!canvas_->AttachImage(&image_)) {
        canvas_.reset();
        return nullptr;
    }
    // Same mapping as the context, moved so that the rectangle's corner is (0, 0).
    canvas_->SetMapMode(dc->GetMapMode());
    canvas_->SetWindowOrg(dc->GetWindowOrg().x, dc->GetWindowOrg().y);
    canvas_->SetWindowExt(dc->GetWindowExt().cx, dc->GetWindowExt().cy);
    canvas_->SetViewportExt(dc->GetViewportExt().cx, dc->GetViewportExt().cy);
    canvas_->SetViewportOrg(dc->GetViewportOrg().x - left, dc->GetViewportOrg().y - top);
    target_ = dc;
    rect_ = rect;
    return canvas_.get();
}

bool CDCPlus::CloseCanvas()
{
    if (!canvas_ || !target_) return false;
    canvas_->EndPainting();
    CDC from;
    from.AttachImage(&image_);
    // Copy in device pixels: both contexts are put back to plain pixel mapping for it.
    const int saved = target_->SaveDC();
    RECT device = rect_;
    target_->LPtoDP(&device);
    target_->SetMapMode(MM_TEXT);
    target_->SetWindowOrg(0, 0);
    target_->SetViewportOrg(0, 0);
    const bool ok = target_->BitBlt(std::min(device.left, device.right), std::min(device.top, device.bottom),
                                    image_.width(), image_.height(), &from, 0, 0, SRCCOPY);
    target_->RestoreDC(saved);
    from.DeleteDC();
    canvas_.reset();
    target_ = nullptr;
    return ok;
}
