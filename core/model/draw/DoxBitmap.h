#pragma once
// A bitmap that draws itself into a context under that context's mapping: its pixel
// size is converted to the context's logical units first, so it lands at its pixel
// size whatever the mapping and zoom.

#include "DeviceContext.h"

class DoxBitmap : public CBitmap
{
public:
    // Draws the whole bitmap at the context's logical origin.
    bool BlitTo(HDC target);
    // Draws the bitmap into the box (0, 0, cx, cy) given in pixels.
    bool StretchTo(HDC target, int cx, int cy);

private:
    bool Draw(HDC target, bool stretch, int cx, int cy);
};
