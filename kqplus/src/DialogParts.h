#pragma once
// Pieces the plug-in's dialogs share: the white header band with its line of
// text, an up-down control bound to a digit box, and finding controls by id.

#include <QDialog>
#include <QString>
#include <QWidget>

namespace kqplus
{

class CDigitEdit;

// Paints the programs' header band over the top of a dialog in the plug-in's font
// (bold, 15 pixels) with a grey line under it.
void PaintDialogHeader(QWidget* dialog, const QString& text);
constexpr int kHeaderHeight = 54;

// Gives a control its numeric id (the object name) and returns it.
template <class W> W* WithId(W* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

// A pair of arrow buttons that step the integer in its buddy digit box within a
// range; the Up and Down keys in the box do the same.
class UpDown : public QWidget
{
public:
    UpDown(CDigitEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);
    // One step up (+1) or down (-1) from the buddy's value, held in the range.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDigitEdit* buddy_;
    int minimum_;
    int maximum_;
};

// A dialog of the plug-in: paints the header band above its controls.
class HeaderDialog : public QDialog
{
public:
    HeaderDialog(const QString& title, const QString& header, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString header_;
};

} // namespace kqplus
