#pragma once
// A dialog with the white header band of the printing dialogs: a hint in the band's
// text colour, a line under it, and the controls in a grid below.

#include "HeaderBand.h"

#include <QDialog>
#include <QString>

class QGridLayout;
class QLabel;

class CHeaderDialog : public QDialog
{
public:
    CHeaderDialog(const QString& title, const QString& hint, QWidget* parent);

    static constexpr int kBandHeight = plat::kHeaderBandHeight;
    // The line the band shows.
    const QString& Hint() const { return hint_; }

protected:
    // The grid the dialog's controls go into.
    QGridLayout* Grid() const { return grid_; }
    // A control named by its id, so that tests and callers find it.
    template <typename T>
    T* Named(T* widget, int id)
    {
        widget->setObjectName(QString::number(id));
        return widget;
    }
    // The caption of a field: the underlined letter of "(&X)" with Alt moves to the
    // field (and the ampersand is not drawn).
    QLabel* Caption(const QString& text, QWidget* field);
    void paintEvent(QPaintEvent* event) override;

private:
    QString hint_;
    QGridLayout* grid_;
};
