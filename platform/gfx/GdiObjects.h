#pragma once
// Pens, brushes, fonts and bitmaps. A context keeps copies of the selected pen, brush
// and font descriptions (they are small values); a bitmap is selected by pointer, since
// drawing into a memory context changes the bitmap's pixels.

#include "GdiTypes.h"

#include <QImage>

class CPen
{
public:
    CPen() = default;
    CPen(UINT style, int width, COLORREF color) { CreatePen(style, width, color); }

    bool CreatePen(UINT style, int width, COLORREF color);
    // An extended pen; `style` carries the type, end cap and join bits as well.
    bool ExtCreatePen(UINT style, int width, COLORREF color);
    void DeleteObject() { *this = CPen(); }

    bool IsCreated() const { return created_; }
    UINT style() const { return style_ & PS_STYLE_MASK; }
    UINT fullStyle() const { return style_; }
    int width() const { return width_; }
    COLORREF color() const { return color_; }
    // Cosmetic pens are one device pixel wide whatever the mapping.
    bool cosmetic() const { return (style_ & PS_GEOMETRIC) == 0 || width_ <= 1; }

private:
    bool created_ = false;
    UINT style_ = PS_SOLID;
    int width_ = 1;
    COLORREF color_ = 0;
};

class CBrush
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }

    bool CreateSolidBrush(COLORREF color);
    bool CreateHollowBrush();
    void DeleteObject() { *this = CBrush(); }

    bool IsCreated() const { return created_; }
    UINT style() const { return style_; }
    COLORREF color() const { return color_; }

private:
    bool created_ = false;
    UINT style_ = BS_SOLID;
    COLORREF color_ = 0;
};

class CFont
{
public:
    CFont() = default;

    bool CreateFontIndirect(const LOGFONTW& font);
    void DeleteObject() { *this = CFont(); }

    bool IsCreated() const { return created_; }
    const LOGFONTW& logFont() const { return font_; }

private:
    bool created_ = false;
    LOGFONTW font_;
};

// A device-dependent bitmap: 32-bit premultiplied pixels.
class CBitmap
{
public:
    CBitmap() = default;
    virtual ~CBitmap() = default;
    // Declared so that the destructor above does not turn a move into a copy: a moved
    // bitmap hands its pixels over, where a copy would share them and the next write
    // would copy the whole image.
    CBitmap(const CBitmap&) = default;
    CBitmap& operator=(const CBitmap&) = default;
    CBitmap(CBitmap&&) noexcept = default;
    CBitmap& operator=(CBitmap&&) noexcept = default;

    bool CreateBitmap(int width, int height);
    // Takes a copy of the pixels.
    bool Attach(const QImage& image);
    void DeleteObject() { image_ = QImage(); }

    bool IsCreated() const { return !image_.isNull(); }
    SIZE GetSize() const { return {image_.width(), image_.height()}; }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

private:
    QImage image_;
};

// Stock objects of a fresh context.
enum class StockObject { WhiteBrush, BlackBrush, NullBrush, BlackPen, WhitePen, NullPen };
CPen StockPen(StockObject which);
CBrush StockBrush(StockObject which);
