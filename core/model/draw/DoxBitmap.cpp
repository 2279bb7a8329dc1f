#include "DoxBitmap.h"

#include <cstdlib>

bool DoxBitmap::BlitTo(HDC target)
{
    return Draw(target, false, 0, 0);
}

bool DoxBitmap::StretchTo(HDC target, int cx, int cy)
{
    return Draw(target, true, cx, cy);
}

bool DoxBitmap::Draw(HDC target, bool stretch, int cx, int cy)
{
    if (!IsCreated() || !target)
        return false;
    CDC memory;
    if (!memory.CreateCompatibleDC(target))
        return false;
    SIZE viewportExt = target->GetViewportExt();
    SIZE windowExt = target->GetWindowExt();
    int mode = target->GetMapMode();
    memory.CDC::SetMapMode(mode);
    if (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) {
        memory.SetWindowExt(windowExt.cx, windowExt.cy);
        memory.SetViewportExt(viewportExt.cx, viewportExt.cy);
    }
    CBitmap* old = memory.SelectObject(this);
    SIZE size = GetSize();
    // n pixels are n * |window extent| / |viewport extent| logical units.
    auto toLogicalX = [&](int n) { return MulDiv(n, std::abs(windowExt.cx), std::abs(viewportExt.cx)); };
    auto toLogicalY = [&](int n) { return MulDiv(n, std::abs(windowExt.cy), std::abs(viewportExt.cy)); };
    int width = toLogicalX(size.cx);
    int height = toLogicalY(size.cy);
    if (!stretch || (cx == size.cx && cy == size.cy))
        target->BitBlt(0, 0, width, height, &memory, 0, 0, SRCCOPY);
    else
        target->StretchBlt(0, 0, toLogicalX(cx), toLogicalY(cy), &memory, 0, 0, width, height, SRCCOPY);
    memory.SelectObject(old);
    memory.DeleteDC();
    return true;
}
