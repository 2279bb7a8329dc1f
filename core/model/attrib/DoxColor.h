#pragma once
// Colours of the model are 0x00RRGGBB: that is what attribute items hold and what
// the template XML stores (as "#00RRGGBB" on screen, as a signed decimal in the file).
// Drawing code that follows the GDI convention works with COLORREF 0x00BBGGRR. This
// header is the one place where the two meet; 0xFFFFFFFF (no colour) passes unchanged.

#include <cstdint>

inline constexpr uint32_t kDoxNoColor = 0xFFFFFFFFu;

// 0x00RRGGBB -> COLORREF 0x00BBGGRR.
constexpr uint32_t DoxColorToColorRef(uint32_t rgb)
{
    if (rgb == kDoxNoColor)
        return rgb;
    return (rgb & 0xFF00FF00u) | ((rgb & 0xFFu) << 16) | ((rgb >> 16) & 0xFFu);
}

// COLORREF 0x00BBGGRR -> 0x00RRGGBB.
constexpr uint32_t DoxColorFromColorRef(uint32_t colorRef)
{
    // Swapping the red and blue bytes is its own inverse.
    return DoxColorToColorRef(colorRef);
}

constexpr uint8_t DoxColorRed(uint32_t rgb)
{
    return static_cast<uint8_t>(rgb >> 16);
}
constexpr uint8_t DoxColorGreen(uint32_t rgb)
{
    return static_cast<uint8_t>(rgb >> 8);
}
constexpr uint8_t DoxColorBlue(uint32_t rgb)
{
    return static_cast<uint8_t>(rgb);
}
