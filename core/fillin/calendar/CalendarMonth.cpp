#include "CalendarMonth.h"

#include <algorithm>

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthLength(int year, int month)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return lengths[month - 1];
}

int WeekdayOf(int year, int month, int day)
{
    // Days from the civil date (proleptic Gregorian); 1970-01-01 was a Thursday.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days = static_cast<long>(era) * 146097 + doe - 719468;
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}

CalendarMonth::CalendarMonth(CalendarDate today) : today_(today), shown_(today) {}

void CalendarMonth::ClampDay()
{
    const int length = MonthLength(shown_.year, shown_.month);
    shown_.day = std::clamp(shown_.day, 1, std::max(1, length));
}

bool CalendarMonth::SetDate(int day, int month, int year)
{
    const CalendarDate before = shown_;
    if (year >= kCalendarFirstYear && year <= kCalendarLastYear)
        shown_.year = year;
    else if (shown_.year < kCalendarFirstYear || shown_.year > kCalendarLastYear)
        shown_.year = today_.year;
    if (month >= 1 && month <= 12)
        shown_.month = month;
    else if (shown_.month < 1 || shown_.month > 12)
        shown_.month = today_.month;
    if (day >= 1 && day <= MonthLength(shown_.year, shown_.month))
        shown_.day = day;
    ClampDay();
    return shown_.year != before.year || shown_.month != before.month;
}

void CalendarMonth::StepMonth(int delta)
{
    int year = shown_.year;
    int month = shown_.month + delta;
    if (month < 1) {
        month = 12;
        if (year > kCalendarFirstYear)
            --year;
    } else if (month > 12) {
        month = 1;
        if (year < kCalendarLastYear)
            ++year;
    }
    shown_.year = year;
    shown_.month = month;
    ClampDay();
}

CalendarGrid CalendarMonth::Grid() const
{
    CalendarGrid grid{};
    const int year = shown_.year;
    const int month = shown_.month;
    int prevYear = year;
    int prevMonth = month - 1;
    if (prevMonth < 1) {
        prevMonth = 12;
        if (prevYear > kCalendarFirstYear)
            --prevYear;
    }
    int nextYear = year;
    int nextMonth = month + 1;
    if (nextMonth > 12) {
        nextMonth = 1;
        if (nextYear < kCalendarLastYear)
            ++nextYear;
    }
    const int leading = WeekdayOf(year, month, 1);
    const int prevLength = MonthLength(prevYear, prevMonth);
    size_t cell = 0;
    for (int i = leading; i > 0; --i)
        grid[cell++] = CalendarCell{{prevYear, prevMonth, prevLength - i + 1}, kCellOtherMonth};
    for (int d = 1; d <= MonthLength(year, month); ++d)
        grid[cell++] = CalendarCell{{year, month, d}, d == shown_.day ? kCellSelected : 0u};
    for (int d = 1; cell < grid.size(); ++d)
        grid[cell++] = CalendarCell{{nextYear, nextMonth, d}, kCellOtherMonth};
    for (CalendarCell& c : grid) {
        if (c.date == today_)
            c.state |= kCellToday;
    }
    return grid;
}

int StepYear(int year, int delta)
{
    return std::clamp(year + delta, kCalendarFirstYear, kCalendarLastYear);
}
