#include "DialogParts.h"

#include "EditBoxes.h"
#include "FontSubstitution.h"
#include "HeaderBand.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace kqplus
{

void PaintDialogHeader(QWidget* dialog, const QString& text)
{
    QPainter p(dialog);
    QFont font(plat::DefaultFontFamily());
    font.setPixelSize(15);
    font.setBold(true);
    plat::PaintHeaderBand(p, dialog->width(), text, {font, 10, 50, plat::HeaderBandLook::Rule::Grey});
}

UpDown::UpDown(CDigitEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int delta : {1, -1}) {
        auto* button = new QToolButton(this);
        button->setArrowType(delta > 0 ? Qt::UpArrow : Qt::DownArrow);
        button->setFixedSize(16, 11);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        connect(button, &QToolButton::clicked, this, [this, delta] { Step(delta); });
        layout->addWidget(button);
    }
    buddy_->installEventFilter(this);
}

void UpDown::Step(int delta)
{
    bool ok = false;
    int value = buddy_->text().toInt(&ok);
    value = ok ? value + delta : minimum_;
    value = value < minimum_ ? minimum_ : (value > maximum_ ? maximum_ : value);
    buddy_->SetCheckedText(QString::number(value));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == buddy_ && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return false;
}

HeaderDialog::HeaderDialog(const QString& title, const QString& header, QWidget* parent)
    : QDialog(parent), header_(header)
{
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont font(plat::DefaultFontFamily());
    font.setPixelSize(12);
    setFont(font);
}

void HeaderDialog::paintEvent(QPaintEvent*)
{
    PaintDialogHeader(this, header_);
}

} // namespace kqplus
