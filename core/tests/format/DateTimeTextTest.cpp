#include "DateTimeText.h"
#include "TestTime.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

struct WellFormed {
    const wchar_t* text;
    int year, month, day, hour, minute, second;
};

TEST(DateTimeText, ReadsEveryShapeTheOperatorsType)
{
    const WellFormed cases[] = {
        {L"", -1, -1, -1, -1, -1, -1},
        {L"   ", -1, -1, -1, -1, -1, -1},
        {L"2010-05-25", 2010, 5, 25, -1, -1, -1},
        {L"2010.5.25", 2010, 5, 25, -1, -1, -1},
        {L"2010/05/25", 2010, 5, 25, -1, -1, -1},
        {L"2010\\05\\25", 2010, 5, 25, -1, -1, -1},
        {L"2010年5月25日", 2010, 5, 25, -1, -1, -1},
        {L"20100525", 2010, 5, 25, -1, -1, -1},
        {L"00990101", 99, 1, 1, -1, -1, -1},
        {L"2010-05-25 11:23:10", 2010, 5, 25, 11, 23, 10},
        {L"2010-05-25 11:23", 2010, 5, 25, 11, 23, -1},
        {L"11:23:10", -1, -1, -1, 11, 23, 10},
        {L"11:23", -1, -1, -1, 11, 23, -1},
        {L"11时23分", -1, -1, -1, 11, 23, -1},
        {L"2010-05-25 11时23分10秒", 2010, 5, 25, 11, 23, 10},
        {L"2010年5月25日 11:23", 2010, 5, 25, 11, 23, -1},
        {L" 2010 - 5 - 25 ", 2010, 5, 25, -1, -1, -1},
        {L"\x3000"
         L"2010-05-25\x3000",
         2010, 5, 25, -1, -1, -1},
        {L"09-9-26", 9, 9, 26, -1, -1, -1},
        {L"2009-09-26 9:9:1", 2009, 9, 26, 9, 9, 1},
        // Ranges are not the grammar's business.
        {L"0000-13-01", 0, 13, 1, -1, -1, -1},
        {L"2010-02-30", 2010, 2, 30, -1, -1, -1},
    };
    for (const WellFormed& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        DateTimeParts parts = ParseDateTime(c.text);
        ASSERT_TRUE(ParseDateTimeText(parts));
        EXPECT_EQ(parts.year, c.year);
        EXPECT_EQ(parts.month, c.month);
        EXPECT_EQ(parts.day, c.day);
        EXPECT_EQ(parts.hour, c.hour);
        EXPECT_EQ(parts.minute, c.minute);
        EXPECT_EQ(parts.second, c.second);
        EXPECT_EQ(parts.text, c.text);
    }
}

TEST(DateTimeText, RefusesIllFormedTexts)
{
    const wchar_t* const cases[] = {
        L"2010-05",       // two date parts
        L"11",            // a number alone
        L"2010-05-25 11", // the hour alone; the 11 would be a fourth date part
        L"2010年5月25",   // the day without its unit
        L"2010-05年",     // separators and units mixed
        L"2010年5-25",
        L"11:23时",
        L"11时23:10",
        L"12345-01-01",   // five digits
        L"2010-05-25-01", // a fourth date part
        L"11:23:10:05",   // a fourth time part
        L"2010-05-25 11:23:10 12:00",
        L"月5日", // a unit first
        L"2010年年",
        L"abc",
        L"2010-05-25x",
        L"2010,05,25",
        L"2010-05-2５", // a full-width digit
        // A separator or unit with no number of its own must not reuse the one before.
        L"2010年5月日",
        L"2010-5--",
        L"2010--05-25",
        L"-2010-05-25",
        L"2010-05-25 :23",
        L"11::23",
        L"11时分",
        L"2010-05-25 时",
    };
    for (const wchar_t* text : cases) {
        SCOPED_TRACE(Narrow(text));
        DateTimeParts parts = ParseDateTime(text);
        EXPECT_FALSE(ParseDateTimeText(parts));
    }
}

TEST(DateTimeText, EightDigitsOutOfRangeFallBackToTheGrammarAndFail)
{
    const wchar_t* const cases[] = {L"16000101", L"20101301", L"20100132", L"01001231"};
    for (const wchar_t* text : cases) {
        SCOPED_TRACE(Narrow(text));
        DateTimeParts parts = ParseDateTime(text);
        EXPECT_FALSE(ParseDateTimeText(parts));
        EXPECT_EQ(parts.year, -1);
        EXPECT_EQ(parts.month, -1);
        EXPECT_EQ(parts.day, -1);
    }
}

TEST(DateTimeText, ScannerTokens)
{
    DateTimeParts parts = ParseDateTime(L"2010年 5 -");
    EXPECT_EQ(NextDateTimeToken(parts), kDateTokenYear);
    EXPECT_EQ(parts.number, 2010);
    parts.lastToken = kDateTokenYear;
    EXPECT_EQ(NextDateTimeToken(parts), kDateTokenDateSeparator);
    EXPECT_EQ(parts.number, 5);
    EXPECT_EQ(NextDateTimeToken(parts), kDateTokenEnd);

    DateTimeParts last = ParseDateTime(L"7");
    last.lastToken = kDateTokenTimeSeparator;
    EXPECT_EQ(NextDateTimeToken(last), kDateTokenTimeSeparator);
    EXPECT_EQ(last.number, 7);
    EXPECT_EQ(std::wstring(last.digits), L"7");
}

struct RangeCase {
    int year, month, day, hour, minute, second;
    bool valid;
};

TEST(DateTimeText, RangeCheck)
{
    const RangeCase cases[] = {
        {-1, -1, -1, -1, -1, -1, true},   {0, 0, 0, 0, 0, 0, true},         {99, 12, 31, 23, 59, 59, true},
        {1601, 1, 1, -1, -1, -1, true},   {9999, 1, 1, -1, -1, -1, true},   {100, 1, 1, -1, -1, -1, false},
        {1600, 1, 1, -1, -1, -1, false},  {10000, 1, 1, -1, -1, -1, false}, {0, 13, 1, -1, -1, -1, false},
        {2010, 1, 32, -1, -1, -1, false}, {-1, -1, -1, 24, 0, 0, false},    {-1, -1, -1, 0, 60, 0, false},
        {-1, -1, -1, 0, 0, 60, false},    {-2, -1, -1, -1, -1, -1, false},
    };
    for (const RangeCase& c : cases) {
        DateTimeParts parts = ParseDateTime(L"");
        parts.year = c.year;
        parts.month = c.month;
        parts.day = c.day;
        parts.hour = c.hour;
        parts.minute = c.minute;
        parts.second = c.second;
        EXPECT_EQ(IsValidDateTimeParts(parts), c.valid) << c.year << "-" << c.month << "-" << c.day << " "
                                                        << c.hour << ":" << c.minute << ":" << c.second;
    }
}

struct CompleteCase {
    const wchar_t* text;
    bool ok;
    int year, month, day;
};

// Defaults: 2026-03-15. Two-digit years up to this year's are 20yy, later ones 19yy.
TEST(DateTimeText, CompletesTheDateFromTheDefaults)
{
    const CompleteCase cases[] = {
        {L"26-01-05", true, 2026, 1, 5},    {L"27-01-05", true, 1927, 1, 5},
        {L"00-01-05", true, 2000, 1, 5},    {L"99-9-26", true, 1999, 9, 26},
        {L"2012-02-29", true, 2012, 2, 29}, {L"2000-02-29", true, 2000, 2, 29},
        {L"2011-02-29", false, 0, 0, 0},    {L"1900-02-29", false, 0, 0, 0},
        {L"20100230", false, 0, 0, 0},      {L"2010-04-31", false, 0, 0, 0},
        {L"2010-00-31", true, 2010, 3, 31},                             // month 0 keeps the default month
        {L"2010-00-00", false, 0, 0, 0},    {L"11:23", false, 0, 0, 0}, // no day
    };
    for (const CompleteCase& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        DateTimeParts parts = ParseDateTime(c.text);
        ASSERT_TRUE(ParseDateTimeText(parts));
        plat::SystemTime st = Moment(2026, 3, 15);
        EXPECT_EQ(ValidateDateParts(parts, st, true), c.ok);
        if (c.ok) {
            EXPECT_EQ(st.year, c.year);
            EXPECT_EQ(st.month, c.month);
            EXPECT_EQ(st.day, c.day);
            EXPECT_TRUE(parts.error.empty());
        } else {
            EXPECT_EQ(st.year, 2026);
            EXPECT_EQ(st.month, 3);
            EXPECT_EQ(st.day, 15);
            EXPECT_EQ(parts.error,
                      std::wstring(c.text) + L" 不是有效的日期。\n请使用yyyy-mm-dd或者yyyymmdd格式。");
        }
    }
}

TEST(DateTimeText, DateTimeFlagGivesTheTimeMessage)
{
    DateTimeParts parts = ParseDateTime(L"2010-02-30 11:23");
    ASSERT_TRUE(ParseDateTimeText(parts));
    plat::SystemTime st = Moment(2026, 3, 15);
    EXPECT_FALSE(ValidateDateParts(parts, st, false));
    EXPECT_EQ(parts.error,
              L"2010-02-30 11:23 不是有效的时间。\n请使用yyyy-mm-dd HH:MM:SS或者HH:MM:SS或者HH:MM格式。");
}

TEST(DateTimeText, ParseDateTextUsesTheLocalToday)
{
    // Half past midnight on New Year's Day at the desk is still New Year's Eve in
    // UTC: the operator's own date decides.
    plat::FixedClock clock(Moment(2026, 1, 1, 0, 30), Moment(2025, 12, 31, 16, 30));
    plat::ScopedClock scope(clock);

    struct Case {
        const wchar_t* text;
        bool ok;
        int year, month, day;
    } const cases[] = {
        {L"26-01-05", true, 2026, 1, 5},
        {L"2026-00-05", true, 2026, 1, 5},
        {L"2010-05-25", true, 2010, 5, 25},
        {L"20100525", true, 2010, 5, 25},
        {L"", false, 0, 0, 0},
        {L"0000-13-01", false, 0, 0, 0},
        {L"1600-01-01", false, 0, 0, 0},
        {L"12345-01-01", false, 0, 0, 0},
        {L"2010年5月日", false, 0, 0, 0},
        {L"20100230", false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        DateTimeParts parts = ParseDateTime(c.text);
        int year = 0;
        int month = 0;
        int day = 0;
        EXPECT_EQ(ParseDateText(parts, year, month, day), c.ok);
        if (c.ok) {
            EXPECT_EQ(year, c.year);
            EXPECT_EQ(month, c.month);
            EXPECT_EQ(day, c.day);
        } else {
            EXPECT_EQ(parts.error,
                      std::wstring(c.text) + L" 不是有效的日期。\n请使用yyyy-mm-dd或者yyyymmdd格式。");
        }
    }
}

} // namespace
