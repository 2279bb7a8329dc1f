// The calendar's date arithmetic: month lengths, weekdays, the 42-cell grid and the
// steps between months at the ends of the calendar's range.

#include <gtest/gtest.h>

#include "CalendarMonth.h"

TEST(CalendarMonth, LengthsAndWeekdays)
{
    struct {
        int year, month, length;
    } lengths[] = {{2000, 2, 29}, {1900, 2, 28}, {2012, 2, 29}, {2011, 2, 28}, {2026, 4, 30}, {2026, 12, 31},
                   {2026, 13, 0}};
    for (const auto& c : lengths)
        EXPECT_EQ(MonthLength(c.year, c.month), c.length) << c.year << "-" << c.month;
    struct {
        int year, month, day, weekday;
    } days[] = {{1970, 1, 1, 4}, {2000, 1, 1, 6}, {1601, 1, 1, 1}, {9999, 12, 31, 5}, {2024, 2, 1, 4}};
    for (const auto& c : days)
        EXPECT_EQ(WeekdayOf(c.year, c.month, c.day), c.weekday) << c.year << "-" << c.month << "-" << c.day;
}

TEST(CalendarMonth, GridRunsFromTheMonthBeforeToTheMonthAfter)
{
    // February 2024 starts on a Thursday: four days of January lead, 29 days follow.
    CalendarMonth view({2024, 2, 10});
    const CalendarGrid grid = view.Grid();
    EXPECT_EQ(grid[0].date, (CalendarDate{2024, 1, 28}));
    EXPECT_EQ(grid[0].state, kCellOtherMonth);
    EXPECT_EQ(grid[4].date, (CalendarDate{2024, 2, 1}));
    EXPECT_EQ(grid[13].date, (CalendarDate{2024, 2, 10}));
    EXPECT_EQ(grid[13].state, kCellSelected | kCellToday);
    EXPECT_EQ(grid[32].date, (CalendarDate{2024, 2, 29}));
    EXPECT_EQ(grid[33].date, (CalendarDate{2024, 3, 1}));
    EXPECT_EQ(grid[41].date, (CalendarDate{2024, 3, 9}));
    EXPECT_FALSE(view.TodayLinkEnabled());
    view.StepMonth(1);
    EXPECT_TRUE(view.TodayLinkEnabled());
}

TEST(CalendarMonth, SelectedDayStaysInsideTheShownMonth)
{
    struct Case {
        CalendarDate start;
        int step;
        CalendarDate lands;
    } cases[] = {
        {{2026, 1, 31}, 1, {2026, 2, 28}},   // never a 31st of February
        {{2024, 3, 31}, -1, {2024, 2, 29}},  // leap year
        {{2026, 12, 31}, 1, {2027, 1, 31}},  // across the year
        {{1601, 1, 15}, -1, {1601, 12, 15}}, // the first January goes to its own December
        {{9999, 12, 15}, 1, {9999, 1, 15}},  // the last December to its own January
    };
    for (const Case& c : cases) {
        CalendarMonth view({2026, 12, 10});
        view.SetDate(c.start.day, c.start.month, c.start.year);
        view.StepMonth(c.step);
        EXPECT_EQ(view.Shown(), c.lands) << c.start.year << "-" << c.start.month << "-" << c.start.day;
    }
    // Setting another month keeps the selected day, held to the month's length.
    CalendarMonth view({2026, 12, 10});
    view.SetDate(31, 1, 2026);
    EXPECT_TRUE(view.SetDate(0, 2, 2026));
    EXPECT_EQ(view.Shown(), (CalendarDate{2026, 2, 28}));
    // Out-of-range parts keep what is shown.
    EXPECT_FALSE(view.SetDate(40, 13, 1600));
    EXPECT_EQ(view.Shown(), (CalendarDate{2026, 2, 28}));
}

TEST(CalendarMonth, YearStepsStopAtTheRange)
{
    EXPECT_EQ(StepYear(1601, -1), 1601);
    EXPECT_EQ(StepYear(9999, 1), 9999);
    EXPECT_EQ(StepYear(2026, -1), 2025);
}
