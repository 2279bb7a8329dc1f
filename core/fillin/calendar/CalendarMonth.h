#pragma once
// The date arithmetic of the calendar popup: the 6 x 7 grid of a month, the steps
// between months and years inside 1601..9999, and the date the month view shows
// and selects. No window here, so every rule is tested alone.

#include <array>
#include <cstdint>

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const CalendarDate&) const = default;
};

constexpr int kCalendarFirstYear = 1601;
constexpr int kCalendarLastYear = 9999;

bool IsLeapYear(int year);
// 0 for a month outside 1..12.
int MonthLength(int year, int month);
// 0 Sunday .. 6 Saturday.
int WeekdayOf(int year, int month, int day);

// State of a day cell: 0 this month, 1 another month, 2 selected; bit 16 today.
constexpr uint32_t kCellOtherMonth = 1;
constexpr uint32_t kCellSelected = 2;
constexpr uint32_t kCellToday = 0x10000;

struct CalendarCell {
    CalendarDate date;
    uint32_t state = 0;
};

using CalendarGrid = std::array<CalendarCell, 42>;

// The month view: the shown year and month, the selected day, and today.
class CalendarMonth
{
public:
    explicit CalendarMonth(CalendarDate today);

    const CalendarDate& Today() const { return today_; }
    void SetToday(CalendarDate today) { today_ = today; }
    // Shown year and month with the selected day.
    CalendarDate Shown() const { return shown_; }

    // A year outside 1601..9999 keeps the shown year, a month outside 1..12 the
    // shown month; a day outside the month keeps the selected day. The selected day
    // is then held inside the month, so a 31st taken into February becomes its last
    // day. Returns true when year or month changed (the grid is new).
    bool SetDate(int day, int month, int year);
    // One month back or forward; January 1601 goes to December 1601 and December
    // 9999 to January 9999, as the popup has always done.
    void StepMonth(int delta);
    // The whole grid: leading days of the month before, the month, then the month
    // after, up to 42 cells.
    CalendarGrid Grid() const;
    // The "转到今天" link is off while today is shown and selected.
    bool TodayLinkEnabled() const { return !(shown_ == today_); }

private:
    void ClampDay();

    CalendarDate today_;
    CalendarDate shown_;
};

// The year view's step: year - 1 or + 1 inside 1601..9999.
int StepYear(int year, int delta);
