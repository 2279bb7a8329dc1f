#include "RunnerPictures.h"

#include "ProductIcon.h"
#include "StreamPlus.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace runner
{

namespace
{

// A sheet of paper with lines and a folded corner.
QImage Sheet(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = size * 0.62, h = size * 0.8, x = (size - w) / 2, y = (size - h) / 2, fold = size * 0.16;
    QPainterPath outline;
    outline.moveTo(x, y);
    outline.lineTo(x + w - fold, y);
    outline.lineTo(x + w, y + fold);
    outline.lineTo(x + w, y + h);
    outline.lineTo(x, y + h);
    outline.closeSubpath();
    p.setPen(QPen(QColor(0x8A, 0x9B, 0xB0), 1.5));
    p.setBrush(QColor(0xFA, 0xFC, 0xFF));
    p.drawPath(outline);
    p.setPen(QPen(QColor(0xB5, 0xC6, 0xDA), 1.5));
    for (int i = 1; i <= 5; ++i) {
        const qreal ly = y + fold + i * (h - fold) / 7;
        p.drawLine(QPointF(x + w * 0.15, ly), QPointF(x + w * 0.85, ly));
    }
    p.setPen(QPen(QColor(0xC0, 0x30, 0x30), 2));
    p.drawEllipse(QPointF(x + w * 0.7, y + h * 0.78), size * 0.07, size * 0.07);
    return image;
}

QImage CategoryBand()
{
    QImage image(185, 28, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    QLinearGradient fill(0, 0, 0, 28);
    fill.setColorAt(0, QColor(0xA9, 0x7B, 0xE0));
    fill.setColorAt(1, QColor(0x79, 0x40, 0xDF));
    p.fillRect(image.rect(), fill);
    p.setPen(QColor(0x5E, 0x2C, 0xB0));
    p.drawLine(0, 0, 184, 0);
    p.drawLine(0, 27, 184, 27);
    return image;
}

} // namespace

QImage RunnerPicture(unsigned id)
{
    switch (id) {
    case kBitmapCategory: return CategoryBand();
    case kBitmapNoIcon: return Sheet(96);
    case 344: return SignTile(24, 0xC0392B, QStringLiteral("×"));
    case 345: return SignTile(24, 0x2E86C1, QStringLiteral("+"));
    case 346: return SignTile(24, 0x7F8C8D, QStringLiteral("−"));
    case 347: return SignTile(24, 0x27AE60, QStringLiteral("+"));
    case 348: return SignTile(24, 0xE67E22, QStringLiteral("−"));
    case 349: return SignTile(24, 0x16A085, QStringLiteral("↻"));
    case 350: return SignTile(24, 0x8E44AD, QStringLiteral("↓"));
    case 351: return SignTile(24, 0x2C3E50, QStringLiteral("↑"));
    case 128: return ProductPicture();
    default: return {};
    }
}

QImage ToolbarPicture(unsigned commandId)
{
    switch (commandId) {
    case 57601: return SignTile(32, 0x2E86C1, QStringLiteral("开"));
    case 57602: return SignTile(32, 0x7F8C8D, QStringLiteral("关"));
    case 32771: return SignTile(32, 0x27AE60, QStringLiteral("新"));
    case 32777: return SignTile(32, 0x1F618D, QStringLiteral("存"));
    case 32780: return SignTile(32, 0x5D6D7E, QStringLiteral("另"));
    case 32773: return SignTile(32, 0xD68910, QStringLiteral("页"));
    case 32772: return SignTile(32, 0x34495E, QStringLiteral("印"));
    case 32779: return SignTile(32, 0x6C3483, QStringLiteral("连"));
    case 32774: return SignTile(32, 0xC0392B, QStringLiteral("算"));
    case 57664: return SignTile(32, 0x117A65, QStringLiteral("?"));
    default: return {};
    }
}

BitmapPlus RunnerBitmap(unsigned id)
{
    BitmapPlus bitmap;
    const QImage image = RunnerPicture(id);
    if (image.isNull()) return bitmap;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    bitmap.FromStreamPlush(StreamPlus(png.constData(), png.size()));
    return bitmap;
}

QIcon ProgramIcon() { return ProductIcon(); }

} // namespace runner
