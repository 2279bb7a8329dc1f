// The typed value record, the name rules of fields and tables, and the reading of
// typed dates and date-times into stored values.

#include "DataValue.h"
#include "DateFormats.h"
#include "FormatCatalogue.h"
#include "NameRules.h"
#include "TestText.h"
#include "TestTime.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{

class FormatDataValue : public testing::Test
{
protected:
    static void SetUpTestSuite() { InitFormatCatalogue(); }
};

TEST_F(FormatDataValue, StartsEmpty)
{
    DataValue value;
    EXPECT_EQ(value.type, kNoValueType);
    EXPECT_EQ(value.value.time, 0u);
    EXPECT_TRUE(value.text.empty());
}

TEST_F(FormatDataValue, NumbersAndTimesGetTheirDefaultText)
{
    const struct {
        uint32_t type;
        bool number;
        double n;
        uint64_t t;
        const wchar_t* text;
    } cases[] = {
        {kFormatNumber, true, 1234.5, 0, L"1234.5"},
        {kFormatNumber, true, -0.25, 0, L"-0.25"},
        {kFormatNumber, true, 1e15, 0, L"1E+015"},
        {kFormatDate, false, 0, Ticks(2009, 9, 26), L"2009-09-26"},
        {kFormatDateTime, false, 0, Ticks(2009, 9, 26, 9, 9, 1), L"2009-09-26 09:09:01"},
        {kFormatDate, false, 0, 0, L""},
        // A record whose type does not match what is stored gets no text; the text
        // format would read the number's bits as a text pointer.
        {kFormatText, true, 1234.5, 0, L""},
        {kFormatDate, true, 1234.5, 0, L""},
        {kFormatNumber, false, 0, Ticks(2009, 9, 26), L""},
        {kNoValueType, true, 1234.5, 0, L""},
        {7, true, 1234.5, 0, L""},
    };
    for (const auto& c : cases) {
        DataValue value;
        value.type = c.type;
        value.reserved = 0x5A5A;
        value.text = L"stale";
        if (c.number) {
            value.SetNumber(c.n);
            EXPECT_EQ(value.value.number, c.n);
        } else {
            value.SetTime(c.t);
            EXPECT_EQ(value.value.time, c.t);
        }
        EXPECT_EQ(value.text, c.text) << c.type << " " << c.n << " " << c.t;
        EXPECT_EQ(value.reserved, 0x5A5Au);
        EXPECT_EQ(value.type, c.type);
    }
}

// A text value points at its own copy of the text, also after the record was
// copied, moved or assigned and the original is gone.
TEST_F(FormatDataValue, TextValuesPointAtTheirOwnText)
{
    const std::wstring longText(100, L'长');
    for (const std::wstring& text : {std::wstring(L"短"), longText}) {
        std::wstring source = text;
        auto made = std::make_unique<DataValue>();
        made->type = kFormatText;
        made->SetText(source.c_str());
        source.assign(source.size(), L'x');
        EXPECT_EQ(made->value.text, made->text.c_str());
        EXPECT_EQ(made->text, text);

        DataValue copied(*made);
        DataValue assigned;
        assigned = *made;
        DataValue moved(std::move(*std::make_unique<DataValue>(*made)));
        DataValue moveAssigned;
        moveAssigned = DataValue(*made);
        made.reset();
        for (const DataValue* v : {&copied, &assigned, &moved, &moveAssigned}) {
            EXPECT_EQ(v->value.text, v->text.c_str());
            EXPECT_EQ(std::wstring(v->value.text), text);
            EXPECT_EQ(v->type, kFormatText);
        }
        std::vector<DataValue> many(3, copied);
        many.reserve(100);
        for (const DataValue& v : many)
            EXPECT_EQ(v.value.text, v.text.c_str());
    }
    DataValue empty;
    empty.type = kFormatText;
    empty.SetText(nullptr);
    EXPECT_EQ(std::wstring(empty.value.text), L"");
}

// A text value that points at some other text keeps pointing there when copied.
TEST_F(FormatDataValue, ForeignTextPointersAreCopiedAsTheyAre)
{
    static const wchar_t kOutside[] = L"outside";
    DataValue value;
    value.type = kFormatText;
    value.text = L"own";
    value.value.text = kOutside;
    DataValue copy(value);
    EXPECT_EQ(copy.value.text, kOutside);
}

TEST(FormatNameRules, FieldAndTableNames)
{
    const struct {
        const wchar_t* name;
        bool text;
        bool field;
    } cases[] = {
        {L"amount", true, true},
        {L"Table", true, false},
        {L"PARENTID", true, false},
        {L"parentid", true, false},
        {L"ID", true, false},
        {L"Rollback", true, false},
        {L"where", true, false},
        {L"tables", true, true},
        {L"1st", true, false},
        {L"_a1", true, true},
        {L"金额", true, true},
        {L"a-b", false, false},
        {L"", true, false},
        {nullptr, true, false},
        {L"a b", false, false},
        {L"a.b", false, false},
        {L"{a", false, false},
        {L"\x80"
         L"a",
         false, false},
        {L"\x81"
         L"a",
         true, true},
        {L"a\x7F", false, false},
        {L"Z9_", true, true},
        {L"付款人名称2", true, true},
        {L"select", true, false},
        {L"alert", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? U8(c.name) : "(null)");
        EXPECT_EQ(IsValidNameText(c.name), c.text);
        EXPECT_EQ(IsValidFieldName(c.name), c.field);
    }
    const wchar_t* const reserved[] = {L"table",    L"view",    L"insert", L"update", L"create",
                                       L"alert",    L"delete",  L"drop",   L"index",  L"select",
                                       L"add",      L"foreign", L"limit",  L"right",  L"from",
                                       L"rollback", L"set",     L"where",  L"id",     L"parentId"};
    for (const wchar_t* word : reserved)
        EXPECT_FALSE(IsValidFieldName(word)) << U8(word);
}

const wchar_t kDateMessage[] = L" 不是有效的日期。\n请使用yyyy-mm-dd或者yyyymmdd格式。";
const wchar_t kTimeMessage[] = L" 不是有效的时间。\n请使用yyyy-mm-dd HH:MM:SS或者HH:MM:SS或者HH:MM格式。";

struct ParseCase {
    const wchar_t* text;
    bool ok;
    uint64_t value;
};

class DateParse : public testing::Test
{
protected:
    // Today at the desk: 2026-03-15 10:20; in UTC it is already the 16th.
    DateParse() : clock_(Moment(2026, 3, 15, 10, 20), Moment(2026, 3, 16, 2, 20)), scope_(clock_) {}

    static void Check(const ParseCase& c, bool dateOnly)
    {
        SCOPED_TRACE(U8(c.text));
        plat::FileTime value = 12345;
        std::wstring error = L"stale";
        const bool ok =
            dateOnly ? ParseDateValue(c.text, value, &error) : ParseDateTimeValue(c.text, value, &error);
        ASSERT_EQ(ok, c.ok);
        if (ok) {
            EXPECT_EQ(value, c.value);
        } else {
            EXPECT_EQ(value, 12345u);
            EXPECT_EQ(U8(error), U8(std::wstring(c.text) + (dateOnly ? kDateMessage : kTimeMessage)));
        }
    }

    plat::FixedClock clock_;
    plat::ScopedClock scope_;
};

TEST_F(DateParse, Dates)
{
    const ParseCase cases[] = {
        {L"2009-9-26", true, Ticks(2009, 9, 26)},
        {L"2009.09.26", true, Ticks(2009, 9, 26)},
        {L"2009/9/26", true, Ticks(2009, 9, 26)},
        {L"2009\\9\\26", true, Ticks(2009, 9, 26)},
        {L"20090926", true, Ticks(2009, 9, 26)},
        {L"2009年9月26日", true, Ticks(2009, 9, 26)},
        {L" 2009-09-26 ", true, Ticks(2009, 9, 26)},
        {L"09-9-26", true, Ticks(2009, 9, 26)},
        {L"26-3-15", true, Ticks(2026, 3, 15)},
        {L"27-3-15", true, Ticks(1927, 3, 15)},
        {L"99-9-26", true, Ticks(1999, 9, 26)},
        {L"2008-02-29", true, Ticks(2008, 2, 29)},
        {L"2000-02-29", true, Ticks(2000, 2, 29)},
        {L"2009-00-26", true, Ticks(2009, 3, 26)},       // month 0: this month
        {L"2009-09-26 9:9:1", true, Ticks(2009, 9, 26)}, // a date ignores the time
        {L"9999-12-31", true, Ticks(9999, 12, 31)},
        // The first day is the "no date" value: taken, it would be stored as empty.
        {L"1601-01-01", false, 0},
        {L"1601-01-02", true, Ticks(1601, 1, 2)},
        {L"2009-02-29", false, 0},
        {L"1900-02-29", false, 0},
        {L"2009-09", false, 0},
        {L"2009-09-31", false, 0},
        {L"2009-13-01", false, 0},
        {L"1600-01-01", false, 0},
        {L"12:30", false, 0},
        {L"", false, 0},
        {L"abc", false, 0},
        {L"2009年9月日", false, 0},
        {L"2009-9--", false, 0},
    };
    for (const ParseCase& c : cases)
        Check(c, true);
}

TEST_F(DateParse, DateTimes)
{
    const ParseCase cases[] = {
        {L"2009-09-26 9:9:1", true, Ticks(2009, 9, 26, 9, 9, 1)},
        {L"2009-09-26 23:59", true, Ticks(2009, 9, 26, 23, 59, 0)},
        {L"2009-09-26", true, Ticks(2009, 9, 26)},
        {L"2009年9月26日 11时23分10秒", true, Ticks(2009, 9, 26, 11, 23, 10)},
        {L"12:30", true, Ticks(2026, 3, 15, 12, 30)}, // today at the desk, not in UTC
        {L"11时23分", true, Ticks(2026, 3, 15, 11, 23)},
        {L"0:0:0", true, Ticks(2026, 3, 15)},
        {L"12", false, 0},
        {L"24:00", false, 0},
        {L"12:60", false, 0},
        {L"2009-02-29 12:00", false, 0},
        {L"2009-09 12:00", false, 0},
        {L"2009-09-26 12", false, 0},
        {L"2009-09-26 12::", false, 0},
        {L"1601-01-01 0:0:0", false, 0}, // the "no date" value
        {L"1601-01-01 0:0:1", true, Ticks(1601, 1, 1, 0, 0, 1)},
    };
    for (const ParseCase& c : cases)
        Check(c, false);
}

TEST_F(DateParse, ParseTableEntriesAndANullErrorText)
{
    FormatValue value;
    value.time = 7;
    ASSERT_TRUE(GetParseFunction(kFormatDate)(L"2009-09-26", value, nullptr));
    EXPECT_EQ(value.time, Ticks(2009, 9, 26));
    ASSERT_TRUE(GetParseFunction(kFormatDateTime)(L"2009-09-26 9:9:1", value, nullptr));
    EXPECT_EQ(value.time, Ticks(2009, 9, 26, 9, 9, 1));
    EXPECT_FALSE(GetParseFunction(kFormatDate)(L"2009-02-29", value, nullptr));
    EXPECT_FALSE(GetParseFunction(kFormatDate)(nullptr, value, nullptr));
    EXPECT_EQ(value.time, Ticks(2009, 9, 26, 9, 9, 1));
}

// Upper-case months and days on a cheque: 1-10, 20 and 30 carry a leading 零.
TEST(FormatChineseDays, DayNumberTables)
{
    const wchar_t* const upper[32] = {
        L"",       L"零壹",   L"零贰",   L"零叁",   L"零肆",   L"零伍",   L"零陆",   L"零柒",
        L"零捌",   L"零玖",   L"零壹拾", L"壹拾壹", L"壹拾贰", L"壹拾叁", L"壹拾肆", L"壹拾伍",
        L"壹拾陆", L"壹拾柒", L"壹拾捌", L"壹拾玖", L"零贰拾", L"贰拾壹", L"贰拾贰", L"贰拾叁",
        L"贰拾肆", L"贰拾伍", L"贰拾陆", L"贰拾柒", L"贰拾捌", L"贰拾玖", L"零叁拾", L"叁拾壹",
    };
    const wchar_t* const lower[32] = {
        L"",       L"一",     L"二",     L"三",     L"四",     L"五",     L"六",     L"七",
        L"八",     L"九",     L"一十",   L"一十一", L"一十二", L"一十三", L"一十四", L"一十五",
        L"一十六", L"一十七", L"一十八", L"一十九", L"二十",   L"二十一", L"二十二", L"二十三",
        L"二十四", L"二十五", L"二十六", L"二十七", L"二十八", L"二十九", L"三十",   L"三十一",
    };
    for (int n = 0; n <= 31; ++n) {
        EXPECT_EQ(U8(ChineseDayNumber(n, true)), U8(upper[n])) << n;
        EXPECT_EQ(U8(ChineseDayNumber(n, false)), U8(lower[n])) << n;
    }
    EXPECT_EQ(ChineseDayNumber(32, true), L"");
    EXPECT_EQ(ChineseDayNumber(-1, false), L"");
}

} // namespace
