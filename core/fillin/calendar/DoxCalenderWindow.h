#pragma once
// The calendar popup of date fields: a month view (6 x 7 days under weekday titles,
// arrows to the month before and after, a year-and-month header and a "转到今天"
// link) and a year view (the twelve months of a year). It runs the popup loop and
// ends with a choice when a day, or today, is picked. Its elements are made once with
// the popup and kept for every opening.

#include <QFont>
#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

#include "CalendarMonth.h"
#include "DoxPopWindowBase.h"
#include "DoxShadowWindow.h"

// One painted element of a view.
struct CalendarElement {
    enum Kind { Arrow = 0, Link = 1, Weekday = 2, Day = 3, MonthCell = 4 };
    int kind = Arrow;
    // Arrow: 0 back, 1 forward. Link: 0 "转到今天", 1 month header, 2 year header.
    // Weekday: 0 Sunday .. 6. Month cell: month 1..12.
    int sub = 0;
    QRect rect;
    bool enabled = true;
    bool hover = false;
    bool pressed = false;
    CalendarDate date;
    uint32_t state = 0;
    QString text;
};

class DoxCalenderWindow : public QWidget, public DoxPopWindowBase
{
public:
    // A tool-tip window of the owner (the page client), which deletes it.
    explicit DoxCalenderWindow(QWidget* owner);
    ~DoxCalenderWindow() override;

    // Opens at the date of the text; a text that is no valid date opens at today.
    void SetDateText(const std::wstring& text);
    // Opens below the field (screen rectangle), above it when the work area ends,
    // and runs the loop: 1 a date was picked, 0 not. While open it only switches to
    // the month view, moves and returns 2.
    int Track(const QRect& field, const QRect& blind);
    bool IsOpen() const { return open_; }
    // The picked (or shown) date.
    CalendarDate Picked() const { return month_.Shown(); }

    bool IsYearView() const { return yearView_; }
    const std::vector<CalendarElement>& Elements() const;
    // The element of a view under a client point, or null.
    const CalendarElement* ElementAt(QPoint point) const;
    QSize ClientSize() const { return client_; }
    // What a click on an element does (also the keyboard-free path of the tests).
    void Click(const CalendarElement& element);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void LayOut();
    void Refresh();
    void ShowView(bool month);
    void Position(const QRect& field);
    void End(int result);
    void PaintElement(class QPainter& p, const CalendarElement& e) const;
    CalendarElement* Find(QPoint point);

    QFont normal_;
    QFont header_;
    QFont underlined_;
    QSize char_;
    QSize client_;
    CalendarMonth month_;
    int yearShown_ = 0;
    int yearSelectedMonth_ = 0;
    bool yearView_ = false;
    bool open_ = false;
    std::vector<CalendarElement> monthElements_;
    std::vector<CalendarElement> yearElements_;
    int focus_ = -1;
    DoxShadowWindow shadow_;
};
