// Every entry of the catalogue formats a fixed set of values: text entries a few
// texts, number entries a number, its negative and zero, date and date-time
// entries a date, a date-time and the empty value 0.

#include "FormatCatalogue.h"
#include "TestText.h"
#include "TestTime.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace
{

class FormatEntries : public testing::Test
{
protected:
    static void SetUpTestSuite() { InitFormatCatalogue(); }

    static std::wstring Run(uint32_t id, FormatValue value, const wchar_t* parameter = nullptr,
                            int* result = nullptr)
    {
        std::wstring out = L"(untouched)";
        const int r = FormatById(id, out, parameter, &value);
        if (result)
            *result = r;
        return out;
    }

    static std::wstring Text(uint32_t index, const wchar_t* text, const wchar_t* parameter = nullptr)
    {
        FormatValue value;
        value.text = text;
        int result = 0;
        std::wstring out = Run(kFormatText << 16 | index, value, parameter, &result);
        EXPECT_EQ(result, 1) << "text entries always succeed";
        return out;
    }

    static std::wstring Number(uint32_t index, double number, const wchar_t* parameter = nullptr,
                               int* result = nullptr)
    {
        FormatValue value;
        value.number = number;
        return Run(kFormatNumber << 16 | index, value, parameter, result);
    }

    static std::wstring Date(uint32_t category, uint32_t index, uint64_t time, int* result = nullptr)
    {
        FormatValue value;
        value.time = time;
        return Run(category << 16 | index, value, nullptr, result);
    }
};

TEST_F(FormatEntries, TextEntries)
{
    const struct {
        uint32_t index;
        const wchar_t* text;
        const wchar_t* parameter;
        const wchar_t* result;
    } cases[] = {
        {0, L"账号 6222", nullptr, L"账号 6222"},
        {0, nullptr, nullptr, L""},
        {1, L"abc", nullptr, L""},
        {2, L"北京市", nullptr, L"北"},
        {4, L"北京市", nullptr, L"市"},
        {4, L"北京", nullptr, L""}, // <第3个字> of a two-character text
        {11, L"0123456789", nullptr, L"9"},
        {11, L"012345678", nullptr, L""},
        {2, nullptr, nullptr, L""},
        {12, L"  abc def", nullptr, L"abc"},
        {13, L"张三 李四  王五", nullptr, L"李四"},
        {14, L"张三 李四  王五", nullptr, L"王五"},
        {15, L"张三 李四  王五", nullptr, L""},
        {14, L"张三 李四  王五 ", nullptr, L"王五"},
        {13, L"a\tb\nc", nullptr, L"b"},
        {13, L"北京,海淀,,中关村", L",", L"海淀"},
        {14, L"北京,海淀,,中关村", L",", L"中关村"},
        {13, L"北京-海淀/中关村", L"-/", L"海淀"},
        {14, L"北京-海淀/中关村", L"-/", L"中关村"},
        {13, L"北京 海淀,中关村", L",", L"中关村"}, // blanks are no separators then
        {12, L" ,北京", L",", L""},                 // the text starts with a separator
        {21, L"1 2 3 4 5 6 7 8 9 10", nullptr, L"10"},
        {12, nullptr, nullptr, L""},
        {22, L"账号(6222 0000)备注", L"(,)", L"6222 0000"},
        {22, L"账号((6222)备注", L"(,)", L"6222"},   // X characters right after X are skipped
        {22, L"账号[6222}备注", L"[(,)}", L"6222"},  // X and Y are sets of characters
        {22, L"账号(6222", L"(,)", L"6222"},         // no Y after an X: to the end
        {22, L"账号6222)备注", L"(,)", L"账号6222"}, // no X: from the start to Y
        {22, L"账号6222 备注", L"(,)", L""},         // neither X nor Y: nothing
        {22, L"账号:6222", L":", L"6222"},           // no Y: to the end
        {22, L"  账号)6222", L",)", L"账号"},        // no X: from the start
        {22, L"账号(6222)", L"", L""},
        {22, L"账号(6222)", nullptr, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << " " << (c.text ? U8(c.text) : "(null)") << " / "
                                        << (c.parameter ? U8(c.parameter) : "(null)"));
        EXPECT_EQ(U8(Text(c.index, c.text, c.parameter)), U8(c.result));
    }
}

// 1234.5, -1234.5 and 0 in every number entry but the digit runs.
TEST_F(FormatEntries, NumberEntries)
{
    const struct {
        uint32_t index;
        const wchar_t* positive;
        const wchar_t* negative;
        const wchar_t* zero;
    } cases[] = {
        {0, L"1234.5", L"-1234.5", L"0"},
        {1, L"", L"", L""},
        {2, L"1235", L"-1235", L"0"},
        {3, L"1234.5", L"-1234.5", L"0.0"},
        {4, L"1234.50", L"-1234.50", L"0.00"},
        {5, L"1234.500", L"-1234.500", L"0.000"},
        {6, L"1234.5000", L"-1234.5000", L"0.0000"},
        {7, L"1234.50000", L"-1234.50000", L"0.00000"},
        {8, L"1,234.5", L"-1,234.5", L"0.0"},
        {9, L"1,234.50", L"-1,234.50", L"0.00"},
        {10, L"1,234.500", L"-1,234.500", L"0.000"},
        {11, L"1,234.5000", L"-1,234.5000", L"0.0000"},
        {12, L"1,234.50000", L"-1,234.50000", L"0.00000"},
        {13, L"123450%", L"-123450%", L"0%"},
        {14, L"123450.0%", L"-123450.0%", L"0.0%"},
        {15, L"123450.00%", L"-123450.00%", L"0.00%"},
        {16, L"123450.000%", L"-123450.000%", L"0.000%"},
        {17, L"123450.0000%", L"-123450.0000%", L"0.0000%"},
        {18, L"123450.00000%", L"-123450.00000%", L"0.00000%"},
        {19, L"1234500‰", L"-1234500‰", L"0‰"},
        {20, L"1234500.0‰", L"-1234500.0‰", L"0.0‰"},
        {21, L"1234500.00‰", L"-1234500.00‰", L"0.00‰"},
        {22, L"1234500.000‰", L"-1234500.000‰", L"0.000‰"},
        {23, L"1234500.0000‰", L"-1234500.0000‰", L"0.0000‰"},
        {24, L"1234500.00000‰", L"-1234500.00000‰", L"0.00000‰"},
        {25, L"12345", L"-12345", L"0"},
        {26, L"123450", L"-123450", L"0"},
        {27, L"1234500", L"-1234500", L"0"},
        {28, L"12345000", L"-12345000", L"0"},
        {29, L"123450000", L"-123450000", L"0"},
        {30, L"壹仟贰佰叁拾肆点伍", L"负壹仟贰佰叁拾肆点伍", L"零"},
        {31, L"一千二百三十四点五", L"负一千二百三十四点五", L"〇"},
        {32, L"壹仟贰佰叁拾肆元伍角整", L"负壹仟贰佰叁拾肆元伍角整", L"零元整"},
        {33, L"一千二百三十四元五角整", L"负一千二百三十四元五角整", L"〇元整"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(GetFormatEntry(kFormatNumber, c.index)->name));
        int result = 0;
        EXPECT_EQ(U8(Number(c.index, 1234.5, nullptr, &result)), U8(c.positive));
        EXPECT_EQ(result, 1);
        EXPECT_EQ(U8(Number(c.index, -1234.5, nullptr, &result)), U8(c.negative));
        EXPECT_EQ(result, 1);
        EXPECT_EQ(U8(Number(c.index, 0, nullptr, &result)), U8(c.zero));
        EXPECT_EQ(result, 1);
    }
}

// The digit runs: positions 10^-4 … 10^15 of 1234.5 are 0 0 0 5 4 3 2 1 0 …,
// written as a figure, a lower-case and an upper-case digit; the sign is dropped.
TEST_F(FormatEntries, DigitEntries)
{
    const wchar_t* const figures[10] = {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"};
    const wchar_t* const lower[10] = {L"〇", L"一", L"二", L"三", L"四", L"五", L"六", L"七", L"八", L"九"};
    const wchar_t* const upper[10] = {L"零", L"壹", L"贰", L"叁", L"肆", L"伍", L"陆", L"柒", L"捌", L"玖"};
    const wchar_t* const* runs[3] = {figures, lower, upper};
    const struct {
        double value;
        const char* digits; // positions 10^-4 to 10^15
    } values[] = {
        {1234.5, "00054321000000000000"},
        {-1234.5, "00054321000000000000"},
        {0, "00000000000000000000"},
        {987654.32, "00234567890000000000"},
        {1234567890123.47, "00743210987654321000"},
    };
    for (int run = 0; run < 3; ++run) {
        for (int position = 0; position < 20; ++position) {
            const uint32_t index = 34 + 20 * run + position;
            SCOPED_TRACE(U8(GetFormatEntry(kFormatNumber, index)->name));
            for (const auto& v : values) {
                int result = 0;
                const int digit = v.digits[position] - '0';
                EXPECT_EQ(U8(Number(index, v.value, nullptr, &result)), U8(runs[run][digit])) << v.value;
                EXPECT_EQ(result, 1);
            }
            // The digit entries take no parameter: ABS changes nothing.
            EXPECT_EQ(Number(index, -1234.5, L"ABS"), Number(index, -1234.5));
        }
    }
}

// Every entry that reads the parameter turns a negative value into the positive
// one's text under "ABS"; the others ignore it.
TEST_F(FormatEntries, AbsParameterOnEveryNumberEntry)
{
    for (uint32_t i = 0; i < GetFormatCount(kFormatNumber); ++i) {
        const FormatEntry* entry = GetFormatEntry(kFormatNumber, i);
        SCOPED_TRACE(U8(entry->name));
        if (entry->takesParameter) {
            EXPECT_EQ(U8(Number(i, -1234.5, L"abs")), U8(Number(i, 1234.5)));
        }
        EXPECT_EQ(U8(Number(i, -1234.5, L"ABS ")), U8(Number(i, -1234.5)));
    }
}

TEST_F(FormatEntries, NumberEdgeCases)
{
    const struct {
        const wchar_t* name;
        double value;
        const wchar_t* parameter;
        const wchar_t* result;
    } cases[] = {
        {L"#,##0.00", 1234.5, nullptr, L"1,234.50"},
        {L"#,##0.00", -1234.5, L"ABS", L"1,234.50"},
        {L"#,##0.00", 1234567.891, nullptr, L"1,234,567.89"},
        {L"0.00", 2.675, nullptr, L"2.68"},
        {L"0.00", -2.675, nullptr, L"-2.68"},
        {L"0.00", 1.005, nullptr, L"1.01"},
        {L"0%", 0.125, nullptr, L"13%"},
        {L"X100", 1.23, nullptr, L"123"},
        {L"0‰", 1.23, nullptr, L"1230‰"},
        {L"0", 0.5, nullptr, L"1"},
        {L"0", -0.5, nullptr, L"-1"},
        {L"<中文大写金额>", 123, nullptr, L"壹佰贰拾叁元整"},
        {L"<中文大写金额>", 0.47, nullptr, L"零元肆角柒分"},
        {L"<中文大写金额>", 100000000.01, nullptr, L"壹亿元零壹分"},
        {L"<中文小写数值>", 123, nullptr, L"一百二十三"},
        {L"<中文小写数值>", 1.2e15, nullptr, L"一千二百兆"},
        {L"<中文大写数值>", 0.000015, nullptr, L"零点零零零零壹伍"},
        {L"<万位(数字)>", 987654.32, nullptr, L"8"},
        {L"<十分位(大写)>", 987654.32, nullptr, L"叁"},
        {L"<千万位(小写)>", 987654.32, nullptr, L"〇"},
        {L"<百分位(数字)>", 1.13, nullptr, L"3"},
        {L"<百分位(大写)>", 0.47, nullptr, L"柒"},
        {L"<默认>", 1e14, nullptr, L"1E+014"},
        {L"<默认>", 0.1 + 0.2, nullptr, L"0.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << U8(c.name) << " " << c.value);
        uint32_t id = 0;
        ASSERT_TRUE(FindFormatId(kFormatNumber, c.name, id));
        FormatValue value;
        value.number = c.value;
        std::wstring out;
        EXPECT_EQ(FormatById(id, out, c.parameter, &value), 1);
        EXPECT_EQ(U8(out), U8(c.result));
    }
}

// Numbers that have no Chinese wording fail with an empty text.
TEST_F(FormatEntries, ChineseEntriesFailBeyondTheirUnits)
{
    const struct {
        uint32_t index;
        double value;
    } cases[] = {
        {30, 1e17},
        {31, -1e17},
        {31, std::numeric_limits<double>::infinity()},
        {32, 1e17},
        {33, 123456789012345678.0},
        {32, std::numeric_limits<double>::quiet_NaN()},
    };
    for (const auto& c : cases) {
        int result = 1;
        EXPECT_EQ(Number(c.index, c.value, nullptr, &result), L"") << c.index << " " << c.value;
        EXPECT_EQ(result, 0);
    }
    int result = 0;
    EXPECT_EQ(U8(Number(32, 12345678901234567.0, nullptr, &result)),
              U8(L"壹京贰仟叁佰肆拾伍兆陆仟柒佰捌拾玖亿零壹佰贰拾叁万肆仟伍佰陆拾捌元整"));
    EXPECT_EQ(result, 1);
}

// 26 September 2009 was a Saturday: every date entry prints its own example.
TEST_F(FormatEntries, DateEntriesPrintTheirExamples)
{
    const uint64_t date = Ticks(2009, 9, 26);
    for (uint32_t i = 2; i < GetFormatCount(kFormatDate); ++i) {
        const FormatEntry* entry = GetFormatEntry(kFormatDate, i);
        SCOPED_TRACE(U8(entry->name));
        int result = 0;
        EXPECT_EQ(U8(Date(kFormatDate, i, date, &result)), U8(entry->example));
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(Date(kFormatDate, 0, date), L"2009-09-26");
    EXPECT_EQ(Date(kFormatDate, 1, date), L"");
}

// 09:09:01 on the same day: every date-time entry prints its example, but entry 8
// whose example is a display text of another entry.
TEST_F(FormatEntries, DateTimeEntriesPrintTheirExamples)
{
    const uint64_t moment = Ticks(2009, 9, 26, 9, 9, 1);
    for (uint32_t i = 2; i < GetFormatCount(kFormatDateTime); ++i) {
        if (i == 8)
            continue;
        const FormatEntry* entry = GetFormatEntry(kFormatDateTime, i);
        SCOPED_TRACE(U8(entry->name));
        int result = 0;
        EXPECT_EQ(U8(Date(kFormatDateTime, i, moment, &result)), U8(entry->example));
        EXPECT_EQ(result, 1);
    }
    EXPECT_EQ(U8(Date(kFormatDateTime, 8, moment)), U8(L"09年9月26日"));
    EXPECT_EQ(Date(kFormatDateTime, 0, moment), L"2009-09-26 09:09:01");
    EXPECT_EQ(Date(kFormatDateTime, 1, moment), L"");
}

// A second moment for the cheque forms of 10, 20 and 30, a Wednesday, and times
// with two digits.
TEST_F(FormatEntries, DateEntriesOnAnotherMoment)
{
    const uint64_t moment = Ticks(2010, 10, 20, 20, 5, 30);
    const struct {
        uint32_t category, index;
        const wchar_t* result;
    } cases[] = {
        {2, 0, L"2010-10-20"},
        {2, 5, L"10-10-20"},
        {2, 8, L"10年10月20日"},
        {2, 9, L"贰零壹零年零壹拾月零贰拾日"},
        {2, 10, L"壹零年零壹拾月零贰拾日"},
        {2, 11, L"零壹拾月零贰拾日"},
        {2, 12, L"二〇一〇年一十月二十日"},
        {2, 13, L"一〇年一十月二十日"},
        {2, 14, L"一十月二十日"},
        {2, 21, L"3"},
        {2, 26, L"叁"},
        {2, 31, L"三"},
        {3, 0, L"2010-10-20 20:05:30"},
        {3, 10, L"2010-10-20 20:5:30"},
        {3, 13, L"10-20 20:5"},
        {3, 14, L"20:5:30"},
        {3, 31, L"20"},
        {3, 33, L"05"},
        {3, 34, L"5"},
        {3, 35, L"30"},
        {3, 41, L"零贰拾"},
        {3, 46, L"二十"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(U8(Date(c.category, c.index, moment)), U8(c.result)) << c.category << ":" << c.index;

    EXPECT_EQ(U8(Date(2, 9, Ticks(1930, 1, 30))), U8(L"壹玖叁零年零壹月零叁拾日"));
    EXPECT_EQ(U8(Date(2, 12, Ticks(1930, 1, 31))), U8(L"一九三〇年一月三十一日"));
    EXPECT_EQ(U8(Date(2, 26, Ticks(2009, 9, 27))), U8(L"日")); // a Sunday
    EXPECT_EQ(U8(Date(2, 8, Ticks(2001, 2, 3))), U8(L"01年2月3日"));
}

// The empty value, and values no calendar holds, print nothing and fail.
TEST_F(FormatEntries, NoDatePrintsNothing)
{
    const uint64_t values[] = {0, 0x8000000000000000ULL, ~0ULL};
    for (uint32_t c = kFormatDate; c <= kFormatDateTime; ++c) {
        for (uint32_t i = 0; i < GetFormatCount(c); ++i) {
            if (i == 1)
                continue; // <空白> never fails
            for (uint64_t v : values) {
                int result = 1;
                EXPECT_EQ(Date(c, i, v, &result), L"") << c << ":" << i << " " << v;
                EXPECT_EQ(result, 0);
            }
        }
    }
}

} // namespace
