#include "DoxDC.h"

#include "Capabilities.h"
#include "DrawUnits.h"
#include "WindowSurface.h"

#include <QWidget>
#include <algorithm>

void BlitRect(const RECT* dst, HDC dstDc, HDC srcDc, int srcX, int srcY)
{
    if (!dst || !dstDc || !srcDc)
        return;
    dstDc->BitBlt(dst->left, dst->top, dst->right - dst->left, dst->bottom - dst->top, srcDc, srcX, srcY,
                  SRCCOPY);
}

void AlphaBlendOrBlit(const RECT* dst, HDC dstDc, const RECT* src, HDC srcDc, BLENDFUNCTION blend)
{
    if (!dst || !dstDc || !src || !srcDc)
        return;
    int width = dst->right - dst->left;
    int height = dst->bottom - dst->top;
    if (plat::GetCapabilities().alphaBlend) {
        dstDc->AlphaBlend(dst->left, dst->top, width, height, srcDc, src->left, src->top,
                          src->right - src->left, src->bottom - src->top, blend);
    } else {
        dstDc->BitBlt(dst->left, dst->top, width, height, srcDc, src->left, src->top, SRCCOPY);
    }
}

namespace
{

// The buffer of the last paint, kept for the next one: a window paints at the same
// size over and over, and a page-sized image is too big to allocate every time.
CBitmap& SpareBitmap()
{
    thread_local CBitmap spare;
    return spare;
}

bool TakeSpareBitmap(CBitmap& bitmap, int width, int height)
{
    CBitmap& spare = SpareBitmap();
    if (spare.IsCreated() && spare.GetSize().cx == width && spare.GetSize().cy == height) {
        bitmap = std::move(spare);
        spare.DeleteObject();
        // The same start as a new bitmap's.
        bitmap.image().fill(Qt::black);
        return true;
    }
    return bitmap.CreateBitmap(width, height);
}

void KeepSpareBitmap(CBitmap& bitmap)
{
    CBitmap& spare = SpareBitmap();
    spare.DeleteObject();
    spare = std::move(bitmap);
    bitmap.DeleteObject();
}

} // namespace

DoxDC::~DoxDC()
{
    Close(false, 255);
}

bool DoxDC::BeginBuffer(const RECT* area, HDC target, bool copyTarget)
{
    if (!target || !area || area->left == area->right || area->top == area->bottom || target_)
        return false;
    RECT a = *area;
    if (a.left > a.right)
        std::swap(a.left, a.right);
    if (a.top > a.bottom)
        std::swap(a.top, a.bottom);
    target_ = target;
    area_ = a;
    targetViewportExt_ = target->GetViewportExt();
    targetWindowExt_ = target->GetWindowExt();
    targetMapMode_ = target->CDC::SetMapMode(MM_TEXT);

    CBitmap bitmap;
    if (!TakeSpareBitmap(bitmap, a.right - a.left, a.bottom - a.top)) {
        RestoreTarget();
        target_ = nullptr;
        return false;
    }
    bitmap_ = std::move(bitmap);
    // A target that cannot be read back (a printer) cannot be copied: the buffer then
    // starts transparent, so that only what is painted into it reaches the page.
    if (copyTarget && !target->GetImage())
        bitmap_.image().fill(Qt::transparent);
    if (!CreateCompatibleDC(target)) {
        RestoreTarget();
        bitmap_.DeleteObject();
        target_ = nullptr;
        return false;
    }
    oldBitmap_ = SelectObject(&bitmap_);
    CDC::SetMapMode(MM_TEXT);
    // The memory context uses the target's device coordinates.
    SetViewportOrg(-a.left, -a.top);
    if (copyTarget)
        BlitRect(&area_, this, target_, area_.left, area_.top);
    savedState_ = SaveDC();
    return true;
}

HDC DoxDC::EndBuffer()
{
    return Close(false, 255);
}

HDC DoxDC::EndBufferBlend(BYTE alpha)
{
    return Close(true, alpha);
}

HDC DoxDC::Close(bool blend, BYTE alpha)
{
    if (!target_)
        return nullptr;
    RestoreDC(savedState_);
    if (blend) {
        BLENDFUNCTION function;
        function.BlendOp = AC_SRC_OVER;
        function.BlendFlags = 0;
        function.SourceConstantAlpha = alpha;
        function.AlphaFormat = 0;
        AlphaBlendOrBlit(&area_, target_, &area_, this, function);
    } else {
        BlitRect(&area_, target_, this, area_.left, area_.top);
    }
    SelectObject(oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC();
    KeepSpareBitmap(bitmap_);
    RestoreTarget();
    savedState_ = -1;
    return std::exchange(target_, nullptr);
}

void DoxDC::RestoreTarget()
{
    target_->CDC::SetMapMode(targetMapMode_);
    if (targetMapMode_ == MM_ISOTROPIC || targetMapMode_ == MM_ANISOTROPIC) {
        target_->SetWindowExt(targetWindowExt_.cx, targetWindowExt_.cy);
        target_->SetViewportExt(targetViewportExt_.cx, targetViewportExt_.cy);
    }
}

DoxPaintDC::DoxPaintDC(QWidget* window) : window_(window)
{
    Open(nullptr);
}

DoxPaintDC::DoxPaintDC(QWidget* window, const RECT* area, int zoom) : window_(window)
{
    Open(area);
    SetZoom(zoom);
    SetPixelMapping();
}

void DoxPaintDC::Open(const RECT* area)
{
    if (!window_ || !plat::AttachWindowSurface(paint_, window_, ScreenDpi))
        throw DoxResourceException();
    RECT client{0, 0, window_->width(), window_->height()};
    if (!BeginBuffer(area ? area : &client, &paint_, false))
        throw DoxResourceException();
}

DoxPaintDC::~DoxPaintDC()
{
    EndBuffer();
    paint_.EndPainting();
    plat::PresentWindowSurface(window_);
}

DoxClientDC::DoxClientDC(QWidget* window) : window_(window)
{
    if (!window_ || !plat::AttachWindowSurface(client_, window_, ScreenDpi))
        throw DoxResourceException();
    RECT client{0, 0, window_->width(), window_->height()};
    if (!BeginBuffer(&client, &client_, false))
        throw DoxResourceException();
}

DoxClientDC::~DoxClientDC()
{
    EndBuffer();
    client_.EndPainting();
    plat::PresentWindowSurface(window_);
}
