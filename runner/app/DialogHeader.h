#pragma once
// The white band across the top of the home page's dialogs with one line of text.

#include <QWidget>

class DialogHeader : public QWidget
{
public:
    explicit DialogHeader(const QString& text, QWidget* parent = nullptr);
    QString Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// A balloon under a widget: the title in bold above the text.
void ShowBalloon(QWidget* under, const QString& title, const QString& text);
