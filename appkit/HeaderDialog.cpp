#include "HeaderDialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>

CHeaderDialog::CHeaderDialog(const QString& title, const QString& hint, QWidget* parent)
    : QDialog(parent), hint_(hint), grid_(new QGridLayout(this))
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    grid_->setContentsMargins(12, kBandHeight + 10, 12, 10);
    grid_->setHorizontalSpacing(8);
    grid_->setVerticalSpacing(6);
}

void CHeaderDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect band(0, 0, width(), kBandHeight);
    painter.fillRect(band, Qt::white);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, kBandHeight, width(), kBandHeight);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, kBandHeight + 1, width(), kBandHeight + 1);
    // COLORREF 0xAA6602: red 0x02, green 0x66, blue 0xAA.
    painter.setPen(QColor(0x02, 0x66, 0xAA));
    painter.drawText(band.adjusted(16, 0, -16, 0), Qt::AlignVCenter | Qt::AlignLeft, hint_);
}

CWaitCursor::CWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

CWaitCursor::~CWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

QLabel* CHeaderDialog::Caption(const QString& text, QWidget* field)
{
    auto* label = new QLabel(text, field ? field->parentWidget() : this);
    label->setBuddy(field);
    return label;
}
