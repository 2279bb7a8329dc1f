#include "TestTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace
{

struct CalendarCase {
    plat::SystemTime time;
    uint64_t ticks;
    int dayOfWeek;
};

TEST(ClockCalendar, ConvertsKnownMomentsBothWays)
{
    const CalendarCase cases[] = {
        {Moment(1601, 1, 1), 0, 1},
        {Moment(1601, 1, 1, 0, 0, 0, 1), 10000, 1},
        {Moment(1970, 1, 1), 116444736000000000ULL, 4},
        {Moment(2000, 2, 29, 23, 59, 59, 999), 125963423999990000ULL, 2},
        {Moment(2009, 9, 26, 9, 9, 1), 128984297410000000ULL, 6},
        {Moment(2026, 12, 31), 134431488000000000ULL, 4},
        {Moment(30827, 12, 31, 23, 59, 59, 999), 9223149887999990000ULL, 5},
    };
    for (const CalendarCase& c : cases) {
        SCOPED_TRACE(c.ticks);
        uint64_t ticks = 1;
        ASSERT_TRUE(plat::SystemTimeToFileTime(c.time, ticks));
        EXPECT_EQ(ticks, c.ticks);
        plat::SystemTime back;
        ASSERT_TRUE(plat::FileTimeToSystemTime(c.ticks, back));
        EXPECT_EQ(back.year, c.time.year);
        EXPECT_EQ(back.month, c.time.month);
        EXPECT_EQ(back.day, c.time.day);
        EXPECT_EQ(back.hour, c.time.hour);
        EXPECT_EQ(back.minute, c.time.minute);
        EXPECT_EQ(back.second, c.time.second);
        EXPECT_EQ(back.milliseconds, c.time.milliseconds);
        EXPECT_EQ(back.dayOfWeek, c.dayOfWeek);
    }
}

TEST(ClockCalendar, RefusesFieldsOutOfRange)
{
    const plat::SystemTime bad[] = {
        Moment(1600, 12, 31),
        Moment(30828, 1, 1),
        Moment(2009, 0, 1),
        Moment(2009, 13, 1),
        Moment(2009, 1, 0),
        Moment(2009, 4, 31),
        Moment(1900, 2, 29),
        Moment(2100, 2, 29),
        Moment(2009, 2, 29),
        Moment(2009, 1, 1, 24),
        Moment(2009, 1, 1, 0, 60),
        Moment(2009, 1, 1, 0, 0, 60),
        Moment(2009, 1, 1, 0, 0, 0, 1000),
    };
    for (const plat::SystemTime& t : bad) {
        SCOPED_TRACE(testing::Message() << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":"
                                        << t.minute << ":" << t.second << "." << t.milliseconds);
        uint64_t ticks = 42;
        EXPECT_FALSE(plat::SystemTimeToFileTime(t, ticks));
        EXPECT_EQ(ticks, 42u);
    }
    plat::SystemTime out = Moment(1, 2, 3);
    EXPECT_FALSE(plat::FileTimeToSystemTime(0x8000000000000000ULL, out));
    EXPECT_FALSE(plat::FileTimeToSystemTime(~0ULL, out));
    EXPECT_EQ(out.year, 1);
}

TEST(ClockCalendar, MonthLengthsAndLeapYears)
{
    struct Case {
        int year, month, days;
    } const cases[] = {
        {2009, 1, 31}, {2009, 2, 28}, {2008, 2, 29},  {1900, 2, 28}, {2000, 2, 29},
        {2100, 2, 28}, {2009, 4, 30}, {2009, 12, 31}, {2009, 0, 0},  {2009, 13, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(ClockPin, PinnedClockAnswersUntilReleased)
{
    const plat::Clock* before = &plat::GetClock();
    {
        plat::FixedClock pinned(Moment(2026, 1, 1, 0, 30), Moment(2025, 12, 31, 16, 30));
        plat::ScopedClock scope(pinned);
        EXPECT_EQ(plat::LocalNow().year, 2026);
        EXPECT_EQ(plat::LocalNow().hour, 0);
        EXPECT_EQ(plat::UtcNow().year, 2025);
        EXPECT_EQ(plat::UtcNow().day, 31);
        {
            plat::FixedClock inner(Moment(2009, 9, 26));
            plat::ScopedClock innerScope(inner);
            EXPECT_EQ(plat::LocalNow().year, 2009);
        }
        EXPECT_EQ(plat::LocalNow().year, 2026);
    }
    EXPECT_EQ(&plat::GetClock(), before);
}

// The system clock's local time is the machine's zone, its UTC time is not.
TEST(ClockSystem, LocalTimeFollowsTheZone)
{
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "CST-8", 1);
    tzset();
    plat::SystemClock clock;
    uint64_t local = 0;
    uint64_t utc = 0;
    ASSERT_TRUE(plat::SystemTimeToFileTime(clock.UtcNow(), utc));
    ASSERT_TRUE(plat::SystemTimeToFileTime(clock.LocalNow(), local));
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    const int64_t difference = static_cast<int64_t>(local - utc);
    const int64_t eightHours = 8LL * 3600 * 10000000;
    EXPECT_NEAR(static_cast<double>(difference), static_cast<double>(eightHours), 5.0 * 10000000);
    const plat::SystemTime now = clock.UtcNow();
    EXPECT_GE(now.year, 2024);
    EXPECT_EQ(now.dayOfWeek, plat::DayOfWeek(now.year, now.month, now.day));
}

} // namespace
