#include "DrawUnits.h"

#include "WindowDC.h"

#include <cstdlib>

int32_t ScreenDpi = 96;

int32_t FontHeightFromPoints(int32_t points)
{
    return -MulDiv(points, TenthMmPerInch, 72);
}

std::unique_ptr<CClientDCX> MakeClientDCX(int kind, int zoom)
{
    auto dc = std::make_unique<CClientDCX>(nullptr);
    dc->SetZoom(zoom);
    dc->SetMapMode(kind);
    return dc;
}

void PixelsToLogical(int kind, int zoom, SIZE* size)
{
    if (!size)
        return;
    auto dc = MakeClientDCX(kind, zoom);
    dc->DPtoLP(size);
    size->cx = std::abs(size->cx);
    size->cy = std::abs(size->cy);
}

void TenthMmToPixels(int zoom, SIZE* size)
{
    if (!size)
        return;
    auto dc = MakeClientDCX(2, zoom);
    dc->LPtoDP(size);
    size->cx = std::abs(size->cx);
    size->cy = std::abs(size->cy);
}
