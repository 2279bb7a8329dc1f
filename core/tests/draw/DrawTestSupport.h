#pragma once
// Images to draw into, at a chosen resolution, and pixel reading in COLORREF terms.

#include "GdiTypes.h"

#include <QImage>
#include <cmath>

namespace drawtest
{

inline QImage MakeImage(int width, int height, int dpi, QColor fill = Qt::white)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    int dpm = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

inline COLORREF ColorAt(const QImage& image, int x, int y)
{
    QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 160, 0);

} // namespace drawtest
