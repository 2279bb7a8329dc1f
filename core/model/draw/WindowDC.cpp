#include "WindowDC.h"

#include "WindowSurface.h"

#include "ScreenInfo.h"

CPaintDCX::CPaintDCX(QWidget* window) : window_(window)
{
    if (!AttachWindowSurface(*this, window))
        throw DoxResourceException();
}

CPaintDCX::~CPaintDCX()
{
    EndPainting();
    PresentWindowSurface(window_);
}

CClientDCX::CClientDCX(QWidget* window) : window_(window)
{
    if (window) {
        if (!AttachWindowSurface(*this, window))
            throw DoxResourceException();
        return;
    }
    // Nothing is ever shown from the screen context; a one-pixel surface lets it be
    // drawn on harmlessly while it reports the screen's capabilities.
    screen_ = QImage(1, 1, QImage::Format_ARGB32_Premultiplied);
    if (screen_.isNull() || !AttachImage(&screen_, plat::ScreenCaps()))
        throw DoxResourceException();
}

CClientDCX::CClientDCX(QWidget* window, int zoom) : CClientDCX(window)
{
    SetZoom(zoom);
    SetPixelMapping();
}

CClientDCX::~CClientDCX()
{
    EndPainting();
    if (window_)
        PresentWindowSurface(window_);
}

CWindowDCX::CWindowDCX(QWidget* window) : window_(window)
{
    if (!AttachWindowSurface(*this, window))
        throw DoxResourceException();
}

CWindowDCX::~CWindowDCX()
{
    EndPainting();
    PresentWindowSurface(window_);
}
