#include "TipStatic.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace kqplus
{

namespace
{

const QColor kResultBack(255, 255, 225);
const QColor kResultBorder(255, 255, 102);
const QColor kErrorText(255, 0, 0);
const QColor kInfoText(35, 102, 2);

void RaisedOrSunken(QPainter& p, const QRect& r, bool sunken)
{
    const QColor light(255, 255, 255), dark(160, 160, 160);
    p.setPen(sunken ? dark : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(sunken ? light : dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

CTipStatic::CTipStatic(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

QPixmap CTipStatic::Picture(int index)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (index == 1) {
        // Two sheets, one over the other.
        p.setPen(QColor(70, 70, 70));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 8, 10));
        p.drawRect(QRectF(5.5, 4.5, 8, 10));
        p.setPen(QColor(120, 120, 120));
        for (int y = 7; y <= 12; y += 2)
            p.drawLine(7, y, 12, y);
        return pixmap;
    }
    const QColor fill = index == 0 ? QColor(220, 30, 30) : QColor(35, 140, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(Qt::white, 2));
    if (index == 0) {
        p.drawLine(QPointF(5, 5), QPointF(11, 11));
        p.drawLine(QPointF(11, 5), QPointF(5, 11));
    } else {
        p.drawPoint(QPointF(8, 4.5));
        p.drawLine(QPointF(8, 7), QPointF(8, 12));
    }
    return pixmap;
}

void CTipStatic::Show(Mode mode, const QString& text, const QString& value)
{
    mode_ = mode;
    label_ = text;
    if (mode == Result)
        value_ = value;
    pressed_ = hot_ = false;
    // Only the result's copy button takes clicks; otherwise the dialog beneath does.
    setAttribute(Qt::WA_TransparentForMouseEvents, mode != Result);
    update();
}

void CTipStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect all = rect();
    int picture = -1;
    QColor textColour = palette().color(QPalette::WindowText);
    QString text = label_;
    switch (mode_) {
    case Result:
        p.fillRect(all, kResultBack);
        p.setPen(kResultBorder);
        p.drawRect(all.adjusted(0, 0, -1, -1));
        picture = 1;
        text = label_ + value_;
        textColour = QColor(0, 0, 0);
        break;
    case Error:
        picture = 0;
        textColour = kErrorText;
        break;
    case Information:
        picture = 2;
        textColour = kInfoText;
        break;
    case None:
        return;
    }
    const QRect button = ButtonRect();
    p.drawPixmap(button.x() + 2, button.y() + 2, Picture(picture));
    if (mode_ == Result && (pressed_ || hot_))
        RaisedOrSunken(p, button.adjusted(0, 0, -1, -1), pressed_);
    p.setPen(textColour);
    const QRect textRect = all.adjusted(button.right() + 4, 3, -2, -2);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

bool CTipStatic::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (mode_ == Result && ButtonRect().contains(help->pos()))
            QToolTip::showText(help->globalPos(), QStringLiteral("拷贝"), this, ButtonRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CTipStatic::mouseMoveEvent(QMouseEvent* event)
{
    const bool hot = mode_ == Result && ButtonRect().contains(event->position().toPoint());
    if (hot != hot_) {
        hot_ = hot;
        update(ButtonRect());
    }
}

void CTipStatic::mousePressEvent(QMouseEvent* event)
{
    if (mode_ == Result && event->button() == Qt::LeftButton &&
        ButtonRect().contains(event->position().toPoint())) {
        pressed_ = true;
        update(ButtonRect());
    }
}

void CTipStatic::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pressed_)
        return;
    pressed_ = false;
    update(ButtonRect());
    if (mode_ == Result && ButtonRect().contains(event->position().toPoint()))
        QApplication::clipboard()->setText(value_);
}

void CTipStatic::leaveEvent(QEvent*)
{
    hot_ = false;
    update(ButtonRect());
}

} // namespace kqplus
