#include "GdiObjects.h"

#include <cstdlib>

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator)
{
    if (denominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    int64_t half = std::llabs(static_cast<int64_t>(denominator)) / 2;
    bool negative = (product < 0) != (denominator < 0);
    int64_t magnitude = (std::llabs(product) + half) / std::llabs(static_cast<int64_t>(denominator));
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN)
        return -1;
    return static_cast<int32_t>(result);
}

bool CPen::CreatePen(UINT style, int width, COLORREF color)
{
    // A plain pen wider than one unit is geometric: it scales with the mapping.
    return ExtCreatePen(width > 1 ? (style | PS_GEOMETRIC) : style, width, color);
}

bool CPen::ExtCreatePen(UINT style, int width, COLORREF color)
{
    created_ = true;
    style_ = style;
    width_ = width < 1 ? 1 : width;
    color_ = color & 0xFFFFFF;
    return true;
}

bool CBrush::CreateSolidBrush(COLORREF color)
{
    created_ = true;
    style_ = BS_SOLID;
    color_ = color & 0xFFFFFF;
    return true;
}

bool CBrush::CreateHollowBrush()
{
    created_ = true;
    style_ = BS_NULL;
    color_ = 0;
    return true;
}

bool CFont::CreateFontIndirect(const LOGFONTW& font)
{
    created_ = true;
    font_ = font;
    font_.lfFaceName[LF_FACESIZE - 1] = 0;
    return true;
}

bool CBitmap::CreateBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return false;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return false;
    image.fill(Qt::black);
    image_ = std::move(image);
    return true;
}

bool CBitmap::Attach(const QImage& image)
{
    if (image.isNull())
        return false;
    QImage copy = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (copy.isNull())
        return false;
    image_ = std::move(copy);
    return true;
}

CPen StockPen(StockObject which)
{
    CPen pen;
    switch (which) {
    case StockObject::WhitePen:
        pen.CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        break;
    case StockObject::NullPen:
        pen.CreatePen(PS_NULL, 1, 0);
        break;
    default:
        pen.CreatePen(PS_SOLID, 1, 0);
        break;
    }
    return pen;
}

CBrush StockBrush(StockObject which)
{
    CBrush brush;
    switch (which) {
    case StockObject::BlackBrush:
        brush.CreateSolidBrush(0);
        break;
    case StockObject::NullBrush:
        brush.CreateHollowBrush();
        break;
    default:
        brush.CreateSolidBrush(RGB(255, 255, 255));
        break;
    }
    return brush;
}
