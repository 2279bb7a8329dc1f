#pragma once
// The status line of the computation dialog: a result with a copy button, an
// error in red, or a piece of information in green.

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace kqplus
{

class CTipStatic : public QWidget
{
public:
    enum Mode { None = 0, Result = 1, Error = 2, Information = 3 };

    explicit CTipStatic(QWidget* parent = nullptr);

    // Result: label and value (the value is what the copy button copies); Error
    // and Information: the label only.
    void Show(Mode mode, const QString& text, const QString& value = QString());

    Mode CurrentMode() const { return mode_; }
    QString Label() const { return label_; }
    QString Value() const { return value_; }
    // The copy button's place, in the control's coordinates.
    static QRect ButtonRect() { return QRect(0, 0, 20, 20); }
    // The 16 x 16 pictures: 0 error, 1 copy, 2 information.
    static QPixmap Picture(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Mode mode_ = None;
    QString label_;
    QString value_;
    bool pressed_ = false;
    bool hot_ = false;
};

} // namespace kqplus
