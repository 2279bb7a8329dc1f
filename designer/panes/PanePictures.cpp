#include "PanePictures.h"

#include <QPainter>
#include <QPainterPath>

namespace designer
{

QImage ExpandMarks()
{
    QImage strip(18, 9, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    for (int i = 0; i < 2; ++i) {
        const int x = i * 9;
        p.setPen(QColor(128, 128, 128));
        p.setBrush(Qt::white);
        p.drawRect(x, 0, 8, 8);
        p.setPen(Qt::black);
        p.drawLine(x + 2, 4, x + 6, 4);
        if (i == 1)
            p.drawLine(x + 4, 2, x + 4, 6);
    }
    return strip;
}

QImage LayerPictures()
{
    QImage strip(80, 16, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    // 0 hidden: a closed eye; 1 shown: an open eye; 2 current: an open eye with a pen.
    for (int i = 0; i < 3; ++i) {
        const int x = i * 16;
        QPainterPath eye;
        eye.moveTo(x + 1, 8);
        eye.quadTo(x + 8, i == 0 ? 12 : 1, x + 15, 8);
        eye.quadTo(x + 8, 15, x + 1, 8);
        p.setPen(QPen(QColor(40, 40, 40), 1.2));
        p.setBrush(i == 0 ? QColor(200, 200, 200) : QColor(255, 255, 255));
        p.drawPath(eye);
        if (i > 0) {
            p.setBrush(i == 2 ? QColor(0, 120, 215) : QColor(40, 40, 40));
            p.drawEllipse(QPointF(x + 8, 8), 2.5, 2.5);
        }
    }
    // 3 unlocked and 4 locked padlocks.
    for (int i = 0; i < 2; ++i) {
        const int x = 48 + i * 16;
        p.setPen(QPen(QColor(90, 90, 90), 1.5));
        p.setBrush(Qt::NoBrush);
        if (i == 1)
            p.drawArc(QRectF(x + 4.5, 2, 7, 8), 0, 180 * 16);
        else
            p.drawArc(QRectF(x + 8.5, 1, 7, 8), 0, 180 * 16);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(i == 1 ? QColor(230, 170, 30) : QColor(210, 210, 210));
        p.drawRect(QRectF(x + 3.5, 7.5, 9, 7));
    }
    return strip;
}

namespace
{

QIcon Sign(bool plus)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(plus ? QColor(0, 128, 0) : QColor(192, 0, 0), 3));
    p.drawLine(3, 8, 13, 8);
    if (plus)
        p.drawLine(8, 3, 8, 13);
    return QIcon(QPixmap::fromImage(image));
}

} // namespace

QIcon AddPicture() { return Sign(true); }
QIcon DeletePicture() { return Sign(false); }

} // namespace designer
