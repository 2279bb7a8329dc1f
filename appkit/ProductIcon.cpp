#include "ProductIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace
{

QColor Rgb(unsigned rgb) { return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

} // namespace

QImage SignTile(int size, unsigned rgb, const QString& sign)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, size - 2, size - 2);
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, Rgb(rgb).lighter(135));
    fill.setColorAt(1, Rgb(rgb));
    p.setBrush(fill);
    p.setPen(QPen(Rgb(rgb).darker(130), 1));
    p.drawRoundedRect(r, size / 6.0, size / 6.0);
    QFont font = p.font();
    font.setPixelSize(size * 5 / 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, sign);
    return image;
}

QImage ProductPicture() { return SignTile(48, 0xC0392B, QStringLiteral("票")); }

QIcon ProductIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(ProductPicture()));
    return icon;
}
