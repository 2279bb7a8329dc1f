#include "DesignerPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace DesignerPictures
{

namespace
{

// A rounded tile in a colour with a short white sign on it.
QPixmap Tile(int size, QColor colour, const QString& sign)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size);
    fill.setColorAt(0, colour.lighter(130));
    fill.setColorAt(1, colour);
    QPainterPath tile;
    const qreal inset = size / 16.0;
    tile.addRoundedRect(QRectF(inset, inset, size - 2 * inset, size - 2 * inset), size / 6.0, size / 6.0);
    p.fillPath(tile, fill);
    p.setPen(colour.darker(140));
    p.drawPath(tile);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(std::max(7, size * 9 / 16));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, sign);
    return picture;
}

// The colour of a command's group: file, clipboard, page, layer, tools, alignment,
// size, layout, test.
QColor GroupColour(unsigned id)
{
    if (id >= 57600 && id <= 57610) return QColor(0x2F, 0x6E, 0xBA);
    if (id >= 57634 && id <= 57643) return QColor(0x5A, 0x8F, 0x3C);
    if (id >= 32821 && id <= 32824) return QColor(0x2E, 0x8B, 0x8B);
    if (id == 32820 || id == 32771 || id == 32772) return QColor(0x8A, 0x5C, 0xB5);
    if (id >= 32811 && id <= 32819) return QColor(0xC0, 0x6A, 0x1E);
    if (id >= 32773 && id <= 32778) return QColor(0x3C, 0x7D, 0xC8);
    if (id >= 32788 && id <= 32793) return QColor(0x9C, 0x4A, 0x4A);
    if (id >= 32839 && id <= 32842) return QColor(0x4A, 0x7A, 0x3A);
    return QColor(0x55, 0x6B, 0x8D);
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) icon.addPixmap(Tile(size, QColor(0xC8, 0x3C, 0x2C), QStringLiteral("设")));
    return icon;
}

QPixmap ApplicationButton(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient fill(size * 0.4, size * 0.35, size * 0.7);
    fill.setColorAt(0, QColor(0xFF, 0xD6, 0x8A));
    fill.setColorAt(1, QColor(0xD8, 0x74, 0x1C));
    p.setBrush(fill);
    p.setPen(QColor(0x9A, 0x4C, 0x10));
    p.drawEllipse(QRectF(1.5, 1.5, size - 3, size - 3));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size / 3);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Dox"));
    return picture;
}

QIcon CommandIcon(unsigned id, const QString& caption)
{
    QIcon icon;
    const QString sign = caption.left(1);
    for (int size : {16, 32}) icon.addPixmap(Tile(size, GroupColour(id), sign));
    return icon;
}

QIcon AboutIcon()
{
    QIcon icon;
    icon.addPixmap(Tile(16, QColor(0x3C, 0x7D, 0xC8), QStringLiteral("?")));
    return icon;
}

// The header's blue band, top to bottom; the pattern repeats it across the width.
static QPixmap HeaderBand(int width)
{
    QPixmap picture(width, 96);
    QPainter p(&picture);
    QLinearGradient fill(0, 0, 0, 96);
    fill.setColorAt(0, QColor(0x3A, 0x6F, 0xB0));
    fill.setColorAt(1, QColor(0x24, 0x4F, 0x8A));
    p.fillRect(picture.rect(), fill);
    return picture;
}

QPixmap HomeHeader()
{
    QPixmap picture = HeaderBand(520);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(22, 20, Tile(56, QColor(0xC8, 0x3C, 0x2C), QStringLiteral("设")));
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(28);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(96, 14, 420, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("禾页票据设计器"));
    font.setPixelSize(14);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(0xDC, 0xE8, 0xF6));
    p.drawText(QRect(98, 54, 420, 26), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("设计票据模板：页面、控件层与控件"));
    return picture;
}

QPixmap HomePattern() { return HeaderBand(16); }

QPixmap HomeButton(bool open)
{
    QPixmap picture(160, 120);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colour = open ? QColor(0x3C, 0x8A, 0x4E) : QColor(0x2F, 0x6E, 0xBA);
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 2, 156, 116), 10, 10);
    QLinearGradient fill(0, 0, 0, 120);
    fill.setColorAt(0, colour.lighter(135));
    fill.setColorAt(1, colour);
    p.fillPath(body, fill);
    p.setPen(colour.darker(130));
    p.drawPath(body);
    // A sheet of paper, and a folder flap for the open button.
    p.setBrush(Qt::white);
    p.setPen(QColor(0x90, 0x90, 0x90));
    p.drawRect(QRectF(58, 14, 44, 54));
    if (open) {
        p.setBrush(QColor(0xF2, 0xC9, 0x4C));
        p.drawRect(QRectF(50, 40, 60, 32));
    } else {
        p.setPen(QPen(QColor(0x2F, 0x6E, 0xBA), 4));
        p.drawLine(QPointF(80, 28), QPointF(80, 54));
        p.drawLine(QPointF(67, 41), QPointF(93, 41));
    }
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 78, 160, 34), Qt::AlignCenter, open ? QStringLiteral("打开模板") : QStringLiteral("新建模板"));
    return picture;
}

} // namespace DesignerPictures
