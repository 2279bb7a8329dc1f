#include "HeaderBand.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace plat
{

QColor HeaderBandTextColour() { return QColor(2, 102, 170); }

void PaintHeaderBand(QPainter& painter, int width, const QString& text, const HeaderBandLook& look)
{
    painter.save();
    painter.fillRect(QRect(0, 0, width, kHeaderBandHeight), Qt::white);
    switch (look.rule) {
    case HeaderBandLook::Rule::None:
        break;
    case HeaderBandLook::Rule::Sunken: {
        const QPalette palette;
        painter.setPen(palette.color(QPalette::Mid));
        painter.drawLine(0, kHeaderBandHeight, width, kHeaderBandHeight);
        painter.setPen(palette.color(QPalette::Light));
        painter.drawLine(0, kHeaderBandHeight + 1, width, kHeaderBandHeight + 1);
        break;
    }
    case HeaderBandLook::Rule::Grey:
        painter.setPen(QColor(200, 200, 200));
        painter.drawLine(0, kHeaderBandHeight, width, kHeaderBandHeight);
        break;
    }
    painter.setFont(look.font);
    painter.setPen(HeaderBandTextColour());
    painter.drawText(QRect(look.left, 0, std::max(0, width - look.left - look.right), kHeaderBandHeight),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    painter.restore();
}

} // namespace plat
