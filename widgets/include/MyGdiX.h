#pragma once
// Static drawing helpers of the widget library. Some lean on optional system
// drawing support (gradients, alpha blending, layered windows) that is bound when
// the library starts; each degrades as noted when that support is missing, so a
// cleared capability flag shows the fallback.

#include "BrindleExport.h"
#include "DeviceContext.h"

#include <cstdint>

class QWidget;

// SetLayeredWindowAttributes flags.
constexpr uint32_t LWA_COLORKEY = 0x1;
constexpr uint32_t LWA_ALPHA = 0x2;
// UpdateLayeredWindow flags.
constexpr uint32_t ULW_ALPHA = 0x2;
// BLENDFUNCTION::AlphaFormat: the source carries per-pixel alpha.
constexpr BYTE AC_SRC_ALPHA = 1;

class BRINDLE_API MyGdiX
{
public:
    // Binds the optional drawing support; Finalize lets it go again.
    static void Initialize();
    static void Finalize();

    // A two-colour gradient over the rectangle, left to right when `horizontal` is
    // non-zero, else top to bottom; a solid fill with `from` without gradient support.
    static void GradientFill(CDC& dc, const RECT& rect, COLORREF from, COLORREF to, int horizontal);

    // Blends the source rectangle into the destination rectangle; without blending
    // support a plain copy of the destination's size from the source's top-left.
    static void AlphaBlend(CDC& dst, const RECT& dstRect, CDC& src, const RECT& srcRect, BLENDFUNCTION blend);
    static void AlphaBlend(HDC dst, const RECT& dstRect, HDC src, const RECT& srcRect, BLENDFUNCTION blend);

    static void BitBlt(CDC& dst, const RECT& dstRect, CDC& src, int srcX, int srcY, uint32_t rop);
    static void BitBlt(HDC dst, const RECT& dstRect, HDC src, int srcX, int srcY, uint32_t rop);

    // Gives a layered (translucent) window the picture of `src` at `srcPoint` in the
    // given size; `position`, when given, moves the window there (screen
    // coordinates). Nothing without layered-window support; returns 1 when done.
    static int UpdateLayeredWindow(QWidget* window, const POINT* position, const SIZE* size, CDC* src,
                                   const POINT* srcPoint, COLORREF key, const BLENDFUNCTION* blend,
                                   uint32_t flags);
    // LWA_ALPHA sets the window's opacity; nothing without layered-window support.
    static int SetLayeredWindowAttributes(QWidget* window, COLORREF key, BYTE alpha, uint32_t flags);
    static int IsSupportUpdateLayeredWindow();

    // A line with the current pen; LineXOR draws it inverting (drawn twice, gone).
    static void Line(CDC& dc, int x1, int y1, int x2, int y2);
    static void LineXOR(CDC& dc, int x1, int y1, int x2, int y2);

    // Converts a picture size of `n` pixels at `dpi` (0 meaning 96) into units of
    // the mapping mode. Modes outside the known metric ones leave `n` as it is.
    static int MapImageSize(int mapMode, int dpi, int n);
};
