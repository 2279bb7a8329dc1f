#pragma once
// Units shared by every painter: the screen's resolution, 0.1 mm per inch, and the
// conversions between screen pixels and 0.1 mm at a zoom.

#include "GdiTypes.h"

#include <cstdint>
#include <memory>

class CClientDCX;

// The screen's vertical resolution in dots per inch: 96 at load, set from the screen
// context when the core starts (BindGdiEntryPoints). Tests may set it.
extern int32_t ScreenDpi;

// Tenths of a millimetre per inch: every conversion between 0.1 mm and dots uses it.
constexpr int32_t TenthMmPerInch = 254;

// A font height in logical units of 0.1 mm for a size in points (1 pt = 254/72 units),
// negative so that it is the character height.
int32_t FontHeightFromPoints(int32_t points);

// A screen context (no window) with the zoom and the mapping kind applied.
std::unique_ptr<CClientDCX> MakeClientDCX(int kind, int zoom);

// Screen pixels -> logical units of the mapping kind at the zoom. Sizes are magnitudes:
// a y-up mapping does not make the height negative.
void PixelsToLogical(int kind, int zoom, SIZE* size);

// 0.1 mm at the zoom -> screen pixels (magnitudes).
void TenthMmToPixels(int zoom, SIZE* size);
