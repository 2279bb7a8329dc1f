#include "HeaderDialog.h"

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
    plat::PaintHeaderBand(painter, width(), hint_, {font(), 16, 16, plat::HeaderBandLook::Rule::Sunken});
}

QLabel* CHeaderDialog::Caption(const QString& text, QWidget* field)
{
    auto* label = new QLabel(text, field ? field->parentWidget() : this);
    label->setBuddy(field);
    return label;
}
