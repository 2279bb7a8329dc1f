#pragma once
// The calendar popup of date fields: a month view (6 x 7 days under weekday titles,
// arrows to the month before and after, a year-and-month header and a "转到今天"
// link) and a year view (the twelve months of a year). It runs the popup loop and
// ends with a choice when a day, or today, is picked. Its elements are made once with
// the popup and kept for every opening.

#include <QFont>
#include <QRect>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "CalendarMonth.h"
#include "DoxPopWindowBase.h"
#include "DoxShadowWindow.h"
#include "XWindowBase.h"

class DoxCalenderWindow;

// One painted element of a view: a part of the view's tree on the popup window.
class XCalenderElement : public XWindowBase
{
public:
    enum Kind { Arrow = 0, Link = 1, Weekday = 2, Day = 3, MonthCell = 4 };

    XCalenderElement(DoxCalenderWindow* owner, int kind, int sub) : owner_(owner), kind(kind), sub(sub) {}

    QRect Rect() const { return QRect(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top); }

    void OnPaint(CDC& dc) override;
    void DoLButtonDown(uint32_t flags, int x, int y) override;
    void DoLButtonUp(uint32_t flags, int x, int y) override;
    void OnMouseEnter(uint32_t flags, int x, int y) override;
    void OnMouseLeave(uint32_t flags, int x, int y) override;
    void OnKillFocus() override { Invalidate(); }
    void OnCancelMode() override;
    void SetCursor() override;

    DoxCalenderWindow* owner_;
    int kind;
    // Arrow: 0 back, 1 forward. Link: 0 "转到今天", 1 month header, 2 year header.
    // Weekday: 0 Sunday .. 6. Month cell: month 1..12.
    int sub;
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
    // The calendar's time, which goes with a picked date into a date-and-time field:
    // the local time when it was last opened, as hour, minute and second.
    int PickedHour() const { return hour_; }
    int PickedMinute() const { return minute_; }
    int PickedSecond() const { return second_; }

    bool IsYearView() const { return current_ == &yearView_; }
    // The elements of the view shown, in creation order.
    std::vector<const XCalenderElement*> Elements() const;
    QSize ClientSize() const { return client_; }
    // What a click on an element does.
    void Click(const XCalenderElement& element);
    void PaintElement(class QPainter& p, const XCalenderElement& e) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    using ElementList = std::vector<std::unique_ptr<XCalenderElement>>;
    void LayOut();
    void AddElement(XTopWindowBase& view, ElementList& list, int kind, int sub, const QRect& rect);
    void Refresh();
    void ShowView(bool month);
    void Position(const QRect& field);
    void End(int result);

    QFont normal_;
    QFont header_;
    QFont underlined_;
    QSize char_;
    QSize client_;
    CalendarMonth month_;
    int yearShown_ = 0;
    int yearSelectedMonth_ = 0;
    bool open_ = false;
    int hour_ = 0;
    int minute_ = 0;
    int second_ = 0;
    // The two views and their elements, made once with the popup.
    XTopWindowBase monthView_;
    XTopWindowBase yearView_;
    ElementList monthElements_;
    ElementList yearElements_;
    XTopWindowBase* current_ = nullptr;
    DoxShadowWindow shadow_;
};
