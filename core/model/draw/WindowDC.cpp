#include "WindowDC.h"

#include "DrawUnits.h"
#include "WindowSurface.h"

#include "ScreenInfo.h"

CPaintDCX::CPaintDCX(QWidget* window) : window_(window)
{
    if (!plat::AttachWindowSurface(*this, window, ScreenDpi))
        throw DoxResourceException();
}

CPaintDCX::~CPaintDCX()
{
    EndPainting();
    plat::PresentWindowSurface(window_);
}

CClientDCX::CClientDCX(QWidget* window) : window_(window)
{
    if (window) {
        if (!plat::AttachWindowSurface(*this, window, ScreenDpi))
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
        plat::PresentWindowSurface(window_);
}

CWindowDCX::CWindowDCX(QWidget* window) : window_(window)
{
    if (!plat::AttachWindowSurface(*this, window, ScreenDpi))
        throw DoxResourceException();
}

CWindowDCX::~CWindowDCX()
{
    EndPainting();
    plat::PresentWindowSurface(window_);
}
