#include "DialogHeader.h"

#include <QPainter>
#include <QToolTip>

DialogHeader::DialogHeader(const QString& text, QWidget* parent) : QWidget(parent), text_(text)
{
    setFixedHeight(54);
}

void DialogHeader::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(QColor(0x02, 0x66, 0xAA));
    p.drawText(QRect(10, 0, std::max(0, width() - 60), height()), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
               text_);
}

void ShowBalloon(QWidget* under, const QString& title, const QString& text)
{
    const QString html = QStringLiteral("<b>%1</b><br>%2").arg(title.toHtmlEscaped(), text.toHtmlEscaped().replace(
                                                                                           QLatin1Char('\n'), QStringLiteral("<br>")));
    QToolTip::showText(under->mapToGlobal(QPoint(0, under->height())), html, under);
}
