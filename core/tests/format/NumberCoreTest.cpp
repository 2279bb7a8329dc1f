#include "NumberCore.h"
#include "DecimalText.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

struct FixedCase {
    double value;
    int decimals;
    const wchar_t* text;
};

// Ties round away from zero on the exact binary value; glibc's printf would give
// 0.12, 2 and -2 for the first three.
TEST(NumberDecimalText, FixedDecimalsRoundHalfAwayFromZero)
{
    const FixedCase cases[] = {
        {0.125, 2, L"0.13"},
        {2.5, 0, L"3"},
        {-2.5, 0, L"-3"},
        {0.5, 0, L"1"},
        {1.5, 0, L"2"},
        {2.675, 2, L"2.67"}, // held as 2.67499999…
        {NudgeAwayFromZero(2.675), 2, L"2.68"},
        {1.005, 2, L"1.00"}, // held as 1.00499999…
        {NudgeAwayFromZero(1.005), 2, L"1.01"},
        {999.995, 2, L"1000.00"}, // held as 999.99500000000000454…
        {9.9999, 3, L"10.000"},
        {0, 2, L"0.00"},
        {-0.001, 2, L"-0.00"},
        {-0.0, 0, L"-0"},
        {1234.5, 5, L"1234.50000"},
        {1e21, 0, L"1000000000000000000000"},
        {0.1, 20, L"0.10000000000000000555"},
        {5e-324, 3, L"0.000"},
        {123456789012345678.0, 2, L"123456789012345680.00"},
        {kInf, 2, L"inf"},
        {-kInf, 2, L"-inf"},
        {kNan, 2, L"nan"},
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;
}

// Below the cent the digits a double really holds count, not its binary tail.
TEST(NumberDecimalText, ShortestDecimalsRoundHalfAwayFromZero)
{
    const FixedCase cases[] = {
        {12345678901234.56, 3, L"12345678901234.560"},
        {12345678901234.56, 4, L"12345678901234.5600"},
        {0.1, 20, L"0.10000000000000000000"},
        {2.675, 2, L"2.68"},
        {0.12345, 4, L"0.1235"},
        {-1.5, 0, L"-2"},
        {1e20, 0, L"100000000000000000000"},
        {kNan, 3, L"nan"},
    };
    for (const FixedCase& c : cases)
        EXPECT_EQ(FormatFixedShortest(c.value, c.decimals), c.text) << c.value << " with " << c.decimals;
}

struct GeneralCase {
    double value;
    const wchar_t* text;
};

TEST(NumberDecimalText, GeneralFormWithFourteenDigits)
{
    const GeneralCase cases[] = {
        {123, L"123"},
        {123.5, L"123.5"},
        {-3.25, L"-3.25"},
        {0, L"0"},
        {-0.0, L"-0"},
        {0.1, L"0.1"},
        {0.1 + 0.2, L"0.3"},
        {1.0 / 3, L"0.33333333333333"},
        {2.0 / 3, L"0.66666666666667"},
        {12345678901234.5, L"12345678901235"}, // an exact tie: away from zero
        {99999999999999.0, L"99999999999999"},
        {99999999999999.5, L"1E+014"},
        {1e14, L"1E+014"},
        {1234567890123456.0, L"1.2345678901235E+015"},
        {1.2345678901234e15, L"1.2345678901234E+015"},
        {1.2e15, L"1.2E+015"},
        {0.0001, L"0.0001"},
        {0.00012345, L"0.00012345"},
        {0.000015, L"1.5E-005"},
        {-0.000015, L"-1.5E-005"},
        {1e100, L"1E+100"},
        {1.5e300, L"1.5E+300"},
        {5e-324, L"4.9406564584125E-324"},
        // Fourteen digits exactly, and the smallest normal and a subnormal value.
        {12345678901234.0, L"12345678901234"},
        {0.12345678901234, L"0.12345678901234"},
        {1.0000000000001, L"1.0000000000001"},
        {9.9999999999999e-5, L"9.9999999999999E-005"},
        {2.2250738585072014e-308, L"2.2250738585072E-308"},
        {1e-310, L"1E-310"},
        {kInf, L"INF"},
        {-kInf, L"-INF"},
        {kNan, L"NAN"},
    };
    for (const GeneralCase& c : cases)
        EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
}

struct ParseCase {
    const wchar_t* text;
    bool ok;
    double value;
};

TEST(NumberParse, ReadsTypedNumbers)
{
    const ParseCase cases[] = {
        {L" 12.5 ", true, 12.5},
        {L"\t12.5\n", true, 12.5},
        {L"3w", true, 30000},
        {L"3W", true, 30000},
        {L"1.5w", true, 15000},
        {L"2K", true, 2000},
        {L"2k ", true, 2000},
        {L"0x1F", true, 31},
        {L"0X1f", true, 31},
        {L"-0x10", true, -16},
        {L"", true, 0},
        {L"   ", true, 0},
        {nullptr, true, 0},
        {L"-2.5", true, -2.5},
        {L"+3", true, 3},
        {L"1.", true, 1},
        {L".5", true, 0.5},
        {L"1e5", true, 100000},
        {L"1.5E-3", true, 0.0015},
        {L"0.1", true, 0.1},
        {L"123456789012345678901234567890", true, 1.2345678901234568e29},
        {L"1e-999", true, 0},
        {L"12abc", false, 0},
        {L"abc", false, 0},
        {L"1e", false, 0},
        {L"1e+", false, 0},
        {L"3ww", false, 0},
        {L"3 w", false, 0},
        {L"12 34", false, 0},
        {L"1,5", false, 0},
        {L".", false, 0},
        {L"-", false, 0},
        {L"+-1", false, 0},
        {L"inf", false, 0},
        {L"nan", false, 0},
        {L"0x", false, 0},
        {L"0x1p3", false, 0},
        {L"1x", false, 0},
        {L"0x8000000000000000", false, 0},
        {L"1e999", false, 0},
        {L"9e307w", false, 0},
        {L"１２", false, 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text ? U8(c.text) : "(null)");
        double value = -1;
        EXPECT_EQ(ParseNumberText(c.text, value), c.ok);
        if (c.ok)
            EXPECT_EQ(value, c.value);
        else
            EXPECT_EQ(value, -1);
    }
}

TEST(NumberAbs, OnlyTheWordAbsInAnyCase)
{
    const struct {
        const wchar_t* parameter;
        double result;
    } cases[] = {
        {L"ABS", 5}, {L"abs", 5},   {L"aBs", 5}, {L"ABS ", -5}, {L" ABS", -5},
        {L"AB", -5}, {L"ABSS", -5}, {L"", -5},   {nullptr, -5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplyAbsParameter(-5, c.parameter), c.result) << (c.parameter ? U8(c.parameter) : "(null)");
}

TEST(NumberRound, RoundsToThePowerOfTenTheStepNames)
{
    const struct {
        double value, step, result;
    } cases[] = {
        {3.14159, 0.01, 3.14}, {3.14159, 0.05, 3.14}, {3.14159, -0.01, 3.14}, {3.15, 0.5, 3.2},
        {1234, 100, 1200},     {1250, 100, 1300},     {1234, 11, 1200},       {1234, 5, 1230},
        {1235, 10, 1240},      {2.5, 1, 3},           {-2.5, 1, -2},          {-2.6, 1, -3},
        {-1250, 100, -1200},   {0.125, 0.01, 0.13},   {7, 0.001, 7},          {123.456, 1e-8, 123.456},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(RoundToPowerOfTen(c.value, c.step), c.result) << c.value << " by " << c.step;
}

// The unit search never ends for these steps: they are refused with "no result".
TEST(NumberRound, RefusesStepsThatNameNoPowerOfTen)
{
    const double steps[] = {0.0, -0.0, kInf, -kInf, kNan};
    for (double step : steps)
        EXPECT_TRUE(std::isnan(RoundToPowerOfTen(12.5, step))) << step;
}

struct NumeralCase {
    const wchar_t* text;
    const wchar_t* lower;
    const wchar_t* upper;
};

TEST(ChineseNumeral, WritesNumbersInBothCases)
{
    const NumeralCase cases[] = {
        {L"123", L"一百二十三", L"壹佰贰拾叁"},
        {L"10", L"一十", L"壹拾"},
        {L"15", L"一十五", L"壹拾伍"},
        {L"101", L"一百〇一", L"壹佰零壹"},
        {L"110", L"一百一十", L"壹佰壹拾"},
        {L"10010", L"一万〇一十", L"壹万零壹拾"},
        {L"10000", L"一万", L"壹万"},
        {L"12000000", L"一千二百万", L"壹仟贰佰万"},
        {L"100001000", L"一亿〇一千", L"壹亿零壹仟"},
        {L"1000010000", L"一十亿〇一万", L"壹拾亿零壹万"},
        {L"110000000", L"一亿一千万", L"壹亿壹仟万"},
        {L"101000000", L"一亿〇一百万", L"壹亿零壹佰万"},
        {L"1.05", L"一点〇五", L"壹点零伍"},
        {L"0.5", L"〇点五", L"零点伍"},
        {L"-0.5", L"负〇点五", L"负零点伍"},
        {L"-3.25", L"负三点二五", L"负叁点贰伍"},
        {L"10.5", L"一十点五", L"壹拾点伍"},
        {L"1.0", L"一", L"壹"},
        {L"0", L"〇", L"零"},
        {L"-0", L"〇", L"零"},
        {L"000", L"〇", L"零"},
        {L"1.5E-005", L"〇点〇〇〇〇一五", L"零点零零零零壹伍"},
        {L"1.2E+015", L"一千二百兆", L"壹仟贰佰兆"},
        {L"1E+015", L"一千兆", L"壹仟兆"},
        {L"1.2E+013", L"一十二兆", L"壹拾贰兆"},
        {L"1.2E+010", L"一百二十亿", L"壹佰贰拾亿"},
        {L"1.00001E+016", L"一京〇一千亿", L"壹京零壹仟亿"},
        {L"1E+016", L"一京", L"壹京"},
        {L"1.2345678901234E+015", L"一千二百三十四兆五千六百七十八亿九千〇一十二万三千四百",
         L"壹仟贰佰叁拾肆兆伍仟陆佰柒拾捌亿玖仟零壹拾贰万叁仟肆佰"},
    };
    for (const NumeralCase& c : cases) {
        SCOPED_TRACE(U8(c.text));
        std::wstring out = L"old";
        EXPECT_TRUE(ToChineseNumeral(kLowerChineseNumerals, c.text, out));
        EXPECT_EQ(U8(out), U8(c.lower));
        EXPECT_TRUE(ToChineseNumeral(kUpperChineseNumerals, c.text, out));
        EXPECT_EQ(U8(out), U8(c.upper));
    }
}

TEST(ChineseNumeral, RefusesWhatIsNoNumberOrTooLarge)
{
    const std::wstring longText(128, L'1');
    const std::wstring longest = L"0." + std::wstring(125, L'0');
    const wchar_t* const cases[] = {
        L"1E+017", L"100000000000000000",
        L"1.2.3",  L"12a",
        L"",       L"-",
        L"+1",     L"1E",
        L"1E+",    L"1E+5x",
        L"1 2",    L"E5",
        L"1,000",  longText.c_str(),
        nullptr,
    };
    for (const wchar_t* text : cases) {
        SCOPED_TRACE(text ? U8(text) : "(null)");
        std::wstring out = L"old";
        EXPECT_FALSE(ToChineseNumeral(kLowerChineseNumerals, text, out));
        EXPECT_TRUE(out.empty());
    }
    std::wstring out;
    EXPECT_TRUE(ToChineseNumeral(kLowerChineseNumerals, longest.c_str(), out)); // 127 characters
    EXPECT_EQ(U8(out), U8(L"〇"));
}

struct AmountCase {
    const wchar_t* text;
    const wchar_t* upper;
};

TEST(ChineseAmount, WritesAmountsWithYuanJiaoFen)
{
    const AmountCase cases[] = {
        {L"123.00", L"壹佰贰拾叁元整"},
        {L"123.50", L"壹佰贰拾叁元伍角整"},
        {L"123.05", L"壹佰贰拾叁元零伍分"},
        {L"123.45", L"壹佰贰拾叁元肆角伍分"},
        {L"0.05", L"零元零伍分"},
        {L"0.00", L"零元整"},
        {L"0.50", L"零元伍角整"},
        {L"10.00", L"壹拾元整"},
        {L"100000.00", L"壹拾万元整"},
        {L"1001.00", L"壹仟零壹元整"},
        {L"1010.10", L"壹仟零壹拾元壹角整"},
        {L"100000000.01", L"壹亿元零壹分"},
        {L"20000.07", L"贰万元零柒分"},
        {L"1000010000.00", L"壹拾亿零壹万元整"},
        {L"123", L"壹佰贰拾叁元整"},
        {L"123.5", L"壹佰贰拾叁元伍角整"},
        {L"12345678901234567.00", L"壹京贰仟叁佰肆拾伍兆陆仟柒佰捌拾玖亿零壹佰贰拾叁万肆仟伍佰陆拾柒元整"},
        // A negative amount must never read as a positive one.
        {L"-42.30", L"负肆拾贰元叁角整"},
        {L"-0.50", L"负零元伍角整"},
        {L"-0.00", L"零元整"},
    };
    for (const AmountCase& c : cases) {
        SCOPED_TRACE(U8(c.text));
        std::wstring out = L"old";
        EXPECT_TRUE(ToChineseAmount(kUpperChineseNumerals, kAmountWords, c.text, out));
        EXPECT_EQ(U8(out), U8(c.upper));
    }
    std::wstring lower;
    EXPECT_TRUE(ToChineseAmount(kLowerChineseNumerals, kAmountWords, L"123.00", lower));
    EXPECT_EQ(U8(lower), U8(L"一百二十三元整"));
    EXPECT_TRUE(ToChineseAmount(kLowerChineseNumerals, kAmountWords, L"0.50", lower));
    EXPECT_EQ(U8(lower), U8(L"〇元五角整"));
}

TEST(ChineseAmount, RefusesMalformedAmounts)
{
    const std::wstring longText(128, L'1');
    const wchar_t* const cases[] = {
        L"1.234", L"1.2.3", L"123456789012345678.00", L"12a.00", L"", L"-", L".",
        L"1e5",   L"+1.00", longText.c_str(),         nullptr,
    };
    for (const wchar_t* text : cases) {
        SCOPED_TRACE(text ? U8(text) : "(null)");
        std::wstring out = L"old";
        EXPECT_FALSE(ToChineseAmount(kUpperChineseNumerals, kAmountWords, text, out));
        EXPECT_TRUE(out.empty());
    }
}

TEST(NumberSeparators, GroupsTheIntegerDigitsInThrees)
{
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"1234567.00", L"1,234,567.00"},
        {L"-1234.5", L"-1,234.5"},
        {L"123.0", L"123.0"},
        {L"1000", L"1000"},
        {L"1000.0", L"1,000.0"},
        {L"-100.00", L"-100.00"},
        {L"123456.7", L"123,456.7"},
        {L"0.5", L"0.5"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring text = c.in;
        EXPECT_TRUE(InsertThousandsSeparators(text));
        EXPECT_EQ(text, c.out);
    }
}

TEST(ChineseTransliterate, MapsDigitsOrNothing)
{
    EXPECT_EQ(U8(TransliterateDigits(L"2009", kUpperChineseNumerals)), U8(L"贰零零玖"));
    EXPECT_EQ(U8(TransliterateDigits(L"2009", kLowerChineseNumerals)), U8(L"二〇〇九"));
    EXPECT_EQ(U8(TransliterateDigits(L"0123456789", kLowerChineseNumerals)), U8(L"〇一二三四五六七八九"));
    EXPECT_EQ(TransliterateDigits(L"20-09", kLowerChineseNumerals), L"");
    EXPECT_EQ(TransliterateDigits(L"", kLowerChineseNumerals), L"");
    EXPECT_EQ(TransliterateDigits(nullptr, kLowerChineseNumerals), L"");
}

} // namespace
