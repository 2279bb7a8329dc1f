#include "MyCanvas.h"

#include "WindowSurface.h"

#include <QRegion>
#include <QWidget>
#include <algorithm>

namespace
{

RECT Normalised(const RECT& r)
{
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

RECT ClientRect(const QWidget* window)
{
    return {0, 0, window->width(), window->height()};
}

} // namespace

MyCanvas::~MyCanvas()
{
    if (open_)
        CloseCanvas();
}

void MyCanvas::OpenCanvas(HDC target, const RECT& rect, int copyBackground)
{
    if (open_)
        CloseCanvas();
    target_ = target;
    rect_ = Normalised(rect);
    if (!target)
        return;
    open_ = true;
    int width = rect_.right - rect_.left;
    int height = rect_.bottom - rect_.top;
    direct_ = !bitmap_.CreateBitmap(width, height) || !CreateCompatibleDC(target);
    if (direct_) {
        // Draw on the target's own surface; its painter steps aside meanwhile.
        target->EndPainting();
        if (target->GetImage())
            AttachImage(target->GetImage(), target->caps());
        else
            AttachDevice(target->GetDevice(), target->caps());
        return;
    }
    oldBitmap_ = SelectObject(&bitmap_);
    // Drawing uses the target's coordinates.
    SetViewportOrg(-rect_.left, -rect_.top);
    if (copyBackground)
        BitBlt(rect_.left, rect_.top, width, height, target, rect_.left, rect_.top, SRCCOPY);
}

HDC MyCanvas::CloseCanvas()
{
    if (!open_)
        return target_;
    open_ = false;
    HDC target = target_;
    if (direct_) {
        DeleteDC();
        return target;
    }
    SetMapMode(MM_TEXT);
    target->BitBlt(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, this, rect_.left,
                   rect_.top, SRCCOPY);
    SelectObject(oldBitmap_);
    oldBitmap_ = nullptr;
    DeleteDC();
    bitmap_.DeleteObject();
    return target;
}

bool MyCanvas::OpenOnWindow(CDC& surface, QWidget* window, const RECT* rect, int copyBackground)
{
    if (!window || !plat::AttachWindowSurface(surface, window))
        return false;
    OpenCanvas(&surface, rect ? *rect : ClientRect(window), copyBackground);
    return true;
}

void MyCanvas::CloseOnWindow(CDC& surface, QWidget* window)
{
    CloseCanvas();
    if (surface.GetSafeHdc()) {
        surface.DeleteDC();
        plat::PresentWindowSurface(window);
    }
}

MyPaintCanvas::MyPaintCanvas(QWidget* window, const RECT* rect, int copyBackground) : window_(window)
{
    OpenOnWindow(paintDC_, window, rect, copyBackground);
}

MyPaintCanvas::~MyPaintCanvas()
{
    CloseOnWindow(paintDC_, window_);
}

MyClientCanvas::MyClientCanvas(QWidget* window, const RECT* rect, int copyBackground) : window_(window)
{
    OpenOnWindow(clientDC_, window, rect, copyBackground);
}

MyClientCanvas::~MyClientCanvas()
{
    CloseOnWindow(clientDC_, window_);
}

MyWidDC::MyWidDC(const RECT& rect) : widRect_(rect) {}

MyWidDC::~MyWidDC()
{
    if (!window_)
        return;
    if (fontSelected_)
        SelectObject(oldFont_);
    CloseOnWindow(clientDC_, window_);
}

int MyWidDC::AttachWnd(QWidget* window)
{
    if (window_ || !OpenOnWindow(clientDC_, window, &widRect_, 0))
        return 0;
    window_ = window;
    return 1;
}

void MyWidDC::SelectFont(const CFont* font)
{
    if (!font)
        return;
    CFont previous = SelectObject(*font);
    if (!fontSelected_) {
        oldFont_ = previous;
        fontSelected_ = true;
    }
}

void MyWidDC::SetClipBox(const QRegion& /*region*/) {}
