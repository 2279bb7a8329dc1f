#include "BitmapPlus.h"

#include "DeviceContext.h"
#include "ImagePlus.h"
#include "StreamPlus.h"

#include <QBrush>
#include <QColor>
#include <QImageReader>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace
{

QColor FromColorRef(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

} // namespace

bool BitmapPlus::Take(const QImage& decoded, QSize size, COLORREF background)
{
    image_ = QImage();
    if (decoded.isNull()) return false;
    QImage picture = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!size.isValid() || size.isEmpty()) {
        if (background != kNoColor) {
            QImage canvas(picture.size(), QImage::Format_ARGB32_Premultiplied);
            canvas.fill(FromColorRef(background));
            QPainter(&canvas).drawImage(0, 0, picture);
            picture = canvas;
        }
        image_ = picture;
        return true;
    }
    QSize fitted = picture.size();
    if (fitted.width() > size.width() || fitted.height() > size.height())
        fitted = fitted.scaled(size, Qt::KeepAspectRatio);
    fitted = fitted.expandedTo(QSize(1, 1));
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(background == kNoColor ? QColor(Qt::transparent) : FromColorRef(background));
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2), fitted),
                      picture);
    painter.end();
    image_ = canvas;
    return true;
}

bool BitmapPlus::FromStreamPlush(const StreamPlus& stream, QSize size)
{
    return Take(QImage::fromData(stream.Bytes()), size, kNoColor);
}

bool BitmapPlus::FromStreamPlushEx(const StreamPlus& stream, QSize size, COLORREF background)
{
    return Take(QImage::fromData(stream.Bytes()), size, background);
}

bool BitmapPlus::FromResource(const std::wstring& resourcePath)
{
    return Take(QImage(QString::fromStdWString(resourcePath)), QSize(), kNoColor);
}

bool BitmapPlus::FromFileEx(const std::wstring& path, QSize size, COLORREF background)
{
    QImageReader reader(QString::fromStdWString(path));
    return Take(reader.read(), size, background);
}

bool BitmapPlus::FromImagePlus(const ImagePlus& image, QSize size, COLORREF background)
{
    return Take(image.Image(), size, background);
}

bool BitmapPlus::Blend(CDC* dc, const RECT& target, const QImage& picture, COLORREF transparent, int alpha) const
{
    if (!dc || picture.isNull()) return false;
    QImage source = picture;
    if (transparent != kNoColor) {
        // Pixels of the key colour (opaque ones) become transparent.
        source = picture.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = FromColorRef(transparent).rgb();
        for (int y = 0; y < source.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(source.scanLine(y));
            for (int x = 0; x < source.width(); ++x)
                if ((line[x] | 0xFF000000u) == key && qAlpha(line[x]) == 255) line[x] = 0;
        }
        source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    CDC from;
    if (!from.AttachImage(&source)) return false;
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = static_cast<BYTE>(std::clamp(alpha, 0, 255));
    const bool ok = dc->AlphaBlend(target.left, target.top, target.right - target.left, target.bottom - target.top,
                                   &from, 0, 0, source.width(), source.height(), blend);
    from.DeleteDC();
    return ok;
}

bool BitmapPlus::Draw(CDC* dc, const RECT& rect, COLORREF transparent, int alpha) const
{
    if (!dc || image_.isNull()) return false;
    RECT device = rect;
    dc->LPtoDP(&device);
    // Centre in device pixels, so the picture keeps its own size whatever the mapping.
    const int w = image_.width(), h = image_.height();
    RECT target{(device.left + device.right - w) / 2, (device.top + device.bottom - h) / 2, 0, 0};
    target.right = target.left + w;
    target.bottom = target.top + h;
    dc->DPtoLP(&target);
    return Blend(dc, target, image_, transparent, alpha);
}

bool BitmapPlus::DrawStretch(CDC* dc, const RECT& rect, COLORREF transparent, int alpha) const
{
    return Blend(dc, rect, image_, transparent, alpha);
}

bool BitmapPlus::FillRect(CDC* dc, const RECT& rect) const
{
    if (!dc || image_.isNull()) return false;
    RECT device = rect;
    dc->LPtoDP(&device);
    const QRect area(QPoint(std::min(device.left, device.right), std::min(device.top, device.bottom)),
                     QPoint(std::max(device.left, device.right) - 1, std::max(device.top, device.bottom) - 1));
    if (area.isEmpty()) return true;
    QImage tiles(area.size(), QImage::Format_ARGB32_Premultiplied);
    tiles.fill(Qt::transparent);
    QPainter painter(&tiles);
    painter.fillRect(tiles.rect(), QBrush(image_));
    painter.end();
    RECT target{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    dc->DPtoLP(&target);
    return Blend(dc, target, tiles, kNoColor, 256);
}
