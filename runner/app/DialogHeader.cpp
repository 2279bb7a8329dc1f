#include "DialogHeader.h"

#include "HeaderBand.h"

#include <QPainter>
#include <QToolTip>

DialogHeader::DialogHeader(const QString& text, QWidget* parent) : QWidget(parent), text_(text)
{
    setFixedHeight(plat::kHeaderBandHeight);
}

void DialogHeader::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    plat::PaintHeaderBand(p, width(), text_, {font()});
}

void ShowBalloon(QWidget* under, const QString& title, const QString& text)
{
    const QString html = QStringLiteral("<b>%1</b><br>%2").arg(title.toHtmlEscaped(), text.toHtmlEscaped().replace(
                                                                                           QLatin1Char('\n'), QStringLiteral("<br>")));
    QToolTip::showText(under->mapToGlobal(QPoint(0, under->height())), html, under);
}
