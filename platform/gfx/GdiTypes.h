#pragma once
// The plain value types and numbers of the drawing interface that the core, the widget
// library and the programs share: points, sizes and rectangles in integer units,
// COLORREF (0x00BBGGRR), LOGFONTW, and the Windows numbers of map modes, text formats,
// pen and brush styles, so that code and stored values keep their familiar meaning.

#include <cstdint>

using COLORREF = uint32_t;
using BYTE = uint8_t;
using UINT = unsigned int;

struct POINT {
    int32_t x = 0;
    int32_t y = 0;
};

struct SIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};

// GDI rectangles exclude their right and bottom edges.
struct RECT {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xff);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xff);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xff);
}

// Multiplies and divides with a 64-bit intermediate, rounding half away from zero;
// -1 when the divisor is 0.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    int32_t lfHeight = 0; // < 0: character (em) height, > 0: cell height, logical units
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    wchar_t lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRICW {
    int32_t tmHeight = 0;
    int32_t tmAscent = 0;
    int32_t tmDescent = 0;
    int32_t tmInternalLeading = 0;
    int32_t tmExternalLeading = 0;
    int32_t tmAveCharWidth = 0;
    int32_t tmMaxCharWidth = 0;
};

// Map modes.
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// GetDeviceCaps indices.
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

// DrawText formats.
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// SetTextAlign.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles.
constexpr UINT PS_SOLID = 0;
constexpr UINT PS_DASH = 1;
constexpr UINT PS_DOT = 2;
constexpr UINT PS_DASHDOT = 3;
constexpr UINT PS_DASHDOTDOT = 4;
constexpr UINT PS_NULL = 5;
constexpr UINT PS_INSIDEFRAME = 6;
constexpr UINT PS_ALTERNATE = 8;
constexpr UINT PS_STYLE_MASK = 0xf;
constexpr UINT PS_ENDCAP_FLAT = 0x200;
constexpr UINT PS_JOIN_MITER = 0x2000;
constexpr UINT PS_COSMETIC = 0x0;
constexpr UINT PS_GEOMETRIC = 0x10000;

// Brush styles.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

// Font weights and character sets.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t GB2312_CHARSET = 134;

// Mix modes of pens and brushes (SetROP2).
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_COPYPEN = 13;

// Raster operations of the blits.
constexpr uint32_t SRCCOPY = 0x00CC0020;

// Constant-alpha blending (the only kind the system uses).
constexpr BYTE AC_SRC_OVER = 0;
struct BLENDFUNCTION {
    BYTE BlendOp = AC_SRC_OVER;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;
};

// Gradient modes.
constexpr int GRADIENT_FILL_RECT_H = 0;
constexpr int GRADIENT_FILL_RECT_V = 1;
