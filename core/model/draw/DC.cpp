#include "DC.h"

#include "DrawUnits.h"

int* DC::GetZoom(int* out)
{
    if (out)
        *out = 100;
    return out;
}

int DCX::SetMapMode(int kind)
{
    if (kind == 1)
        return SetPixelMapping();
    if (kind == 2)
        return SetTenthMmMapping();
    int previous = kind_;
    kind_ = kind;
    CDC::SetMapMode(kind);
    return previous;
}

int* DCX::GetZoom(int* out)
{
    if (out)
        *out = (zoom_ >= 50 && zoom_ <= 150) ? zoom_ : 100;
    return out;
}

int DCX::SetPixelMapping()
{
    int previous = kind_;
    kind_ = 1;
    if (zoom_ == 100) {
        CDC::SetMapMode(MM_TEXT);
    } else {
        CDC::SetMapMode(MM_ANISOTROPIC);
        SetWindowExt(100, 100);
        SetViewportExt(100, 100);
        ScaleViewportExt(zoom_, 100, zoom_, 100);
    }
    return previous;
}

int DCX::SetTenthMmMapping()
{
    int horzSize = GetDeviceCaps(HORZSIZE);
    int vertSize = GetDeviceCaps(VERTSIZE);
    int dpiX = GetDeviceCaps(LOGPIXELSX);
    int dpiY = GetDeviceCaps(LOGPIXELSY);
    CDC::SetMapMode(MM_ANISOTROPIC);
    int previous = kind_;
    kind_ = 2;
    SetWindowExt(horzSize * 10, vertSize * 10);
    // The minus sign makes y point up.
    SetViewportExt(MulDiv(horzSize * 10, dpiX, TenthMmPerInch), -MulDiv(vertSize * 10, dpiY, TenthMmPerInch));
    if (zoom_ != 100)
        ScaleViewportExt(zoom_, 100, zoom_, 100);
    return previous;
}
