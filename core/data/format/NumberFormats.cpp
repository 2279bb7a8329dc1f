#include "NumberFormats.h"

#include "DecimalText.h"
#include "NumberCore.h"
#include "TextFormats.h"

#include <string>

namespace
{

enum class Fixed { Plain, Thousands, Percent, PerMille };

int FormatNumberDefault(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    out = FormatGeneral(ApplyAbsParameter(value->number, parameter));
    return 1;
}

// Scale, nudge, ABS, then print with fixed decimals.
template <Fixed Kind, int Decimals, int Scale>
int FormatNumberFixed(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    const double x = ApplyAbsParameter(NudgeAwayFromZero(value->number * Scale), parameter);
    out = FormatFixed(x, Decimals);
    if constexpr (Kind == Fixed::Thousands)
        InsertThousandsSeparators(out);
    else if constexpr (Kind == Fixed::Percent)
        out += L'%';
    else if constexpr (Kind == Fixed::PerMille)
        out += L'‰';
    return 1;
}

template <bool Upper>
int FormatChineseNumeral(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    const std::wstring text = FormatGeneral(ApplyAbsParameter(value->number, parameter));
    return ToChineseNumeral(Upper ? kUpperChineseNumerals : kLowerChineseNumerals, text.c_str(), out) ? 1 : 0;
}

template <bool Upper>
int FormatChineseAmount(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    const std::wstring text = FormatFixed(ApplyAbsParameter(NudgeAwayFromZero(value->number), parameter), 2);
    return ToChineseAmount(Upper ? kUpperChineseNumerals : kLowerChineseNumerals, kAmountWords, text.c_str(),
                           out)
               ? 1
               : 0;
}

enum class DigitKind { Figure, Lower, Upper };

template <int Position, DigitKind Kind>
int FormatDigit(const wchar_t*, const FormatValue* value, std::wstring& out)
{
    const int digit = DigitAtPosition(value->number, Position);
    if constexpr (Kind == DigitKind::Figure)
        out.assign(1, static_cast<wchar_t>(L'0' + digit));
    else if constexpr (Kind == DigitKind::Lower)
        out = kLowerChineseNumerals.text[digit];
    else
        out = kUpperChineseNumerals.text[digit];
    return 1;
}

#define DOX_FIXED(name, kind, dec, scale, example)                                                           \
    {                                                                                                        \
        0, name, &FormatNumberFixed<Fixed::kind, dec, scale>, 1, example                                     \
    }

#define DOX_DIGIT(pos, place, kind, suffix, example)                                                         \
    {                                                                                                        \
        0, L"<" place suffix, &FormatDigit<pos, DigitKind::kind>, 0, example                                 \
    }

// The twenty positions from 10^-4 to 10^15, in catalogue order.
#define DOX_DIGIT_RUN(kind, suffix, example)                                                                 \
    DOX_DIGIT(-4, L"万分位", kind, suffix, example), DOX_DIGIT(-3, L"千分位", kind, suffix, example),        \
        DOX_DIGIT(-2, L"百分位", kind, suffix, example), DOX_DIGIT(-1, L"十分位", kind, suffix, example),    \
        DOX_DIGIT(0, L"个位", kind, suffix, example), DOX_DIGIT(1, L"十位", kind, suffix, example),          \
        DOX_DIGIT(2, L"百位", kind, suffix, example), DOX_DIGIT(3, L"千位", kind, suffix, example),          \
        DOX_DIGIT(4, L"万位", kind, suffix, example), DOX_DIGIT(5, L"十万位", kind, suffix, example),        \
        DOX_DIGIT(6, L"百万位", kind, suffix, example), DOX_DIGIT(7, L"千万位", kind, suffix, example),      \
        DOX_DIGIT(8, L"亿位", kind, suffix, example), DOX_DIGIT(9, L"十亿位", kind, suffix, example),        \
        DOX_DIGIT(10, L"百亿位", kind, suffix, example), DOX_DIGIT(11, L"千亿位", kind, suffix, example),    \
        DOX_DIGIT(12, L"万亿位", kind, suffix, example), DOX_DIGIT(13, L"十万亿位", kind, suffix, example),  \
        DOX_DIGIT(14, L"百万亿位", kind, suffix, example), DOX_DIGIT(15, L"千万亿位", kind, suffix, example)

FormatEntry g_numberEntries[] = {
    {0, L"<默认>", &FormatNumberDefault, 1, L"123.0"},
    {0, L"<空白>", &FormatBlank, 0, L""},
    DOX_FIXED(L"0", Plain, 0, 1, L"123"),
    DOX_FIXED(L"0.0", Plain, 1, 1, L"123.0"),
    DOX_FIXED(L"0.00", Plain, 2, 1, L"123.00"),
    DOX_FIXED(L"0.000", Plain, 3, 1, L"123.000"),
    DOX_FIXED(L"0.0000", Plain, 4, 1, L"123.0000"),
    DOX_FIXED(L"0.00000", Plain, 5, 1, L"123.00000"),
    DOX_FIXED(L"#,##0.0", Thousands, 1, 1, L"1,234.0"),
    DOX_FIXED(L"#,##0.00", Thousands, 2, 1, L"1,234.00"),
    DOX_FIXED(L"#,##0.000", Thousands, 3, 1, L"1,234.000"),
    DOX_FIXED(L"#,##0.0000", Thousands, 4, 1, L"1,234.0000"),
    DOX_FIXED(L"#,##0.00000", Thousands, 5, 1, L"1,234.00000"),
    DOX_FIXED(L"0%", Percent, 0, 100, L"12300%"),
    DOX_FIXED(L"0.0%", Percent, 1, 100, L"12300.0%"),
    DOX_FIXED(L"0.00%", Percent, 2, 100, L"12300.00%"),
    DOX_FIXED(L"0.000%", Percent, 3, 100, L"12300.000%"),
    DOX_FIXED(L"0.0000%", Percent, 4, 100, L"12300.0000%"),
    DOX_FIXED(L"0.00000%", Percent, 5, 100, L"12300.00000%"),
    DOX_FIXED(L"0‰", PerMille, 0, 1000, L"123000‰"),
    DOX_FIXED(L"0.0‰", PerMille, 1, 1000, L"123000.0‰"),
    DOX_FIXED(L"0.00‰", PerMille, 2, 1000, L"123000.00‰"),
    DOX_FIXED(L"0.000‰", PerMille, 3, 1000, L"123000.000‰"),
    DOX_FIXED(L"0.0000‰", PerMille, 4, 1000, L"123000.0000‰"),
    DOX_FIXED(L"0.00000‰", PerMille, 5, 1000, L"123000.00000‰"),
    DOX_FIXED(L"X10", Plain, 0, 10, L"1230"),
    DOX_FIXED(L"X100", Plain, 0, 100, L"12300"),
    DOX_FIXED(L"X1000", Plain, 0, 1000, L"123000"),
    DOX_FIXED(L"X10000", Plain, 0, 10000, L"1230000"),
    DOX_FIXED(L"X100000", Plain, 0, 100000, L"12300000"),
    {0, L"<中文大写数值>", &FormatChineseNumeral<true>, 1, L"壹佰贰拾叁"},
    {0, L"<中文小写数值>", &FormatChineseNumeral<false>, 1, L"一百二十三"},
    // The example shows 圆 although the amount is written with 元: a display text only.
    {0, L"<中文大写金额>", &FormatChineseAmount<true>, 1, L"壹佰贰拾叁圆整"},
    {0, L"<中文小写金额>", &FormatChineseAmount<false>, 1, L"一百二十三元整"},
    DOX_DIGIT_RUN(Figure, L"(数字)>", L"1"),
    DOX_DIGIT_RUN(Lower, L"(小写)>", L"一"),
    DOX_DIGIT_RUN(Upper, L"(大写)>", L"壹"),
};
static_assert(sizeof(g_numberEntries) / sizeof(g_numberEntries[0]) == 94);

#undef DOX_DIGIT_RUN
#undef DOX_DIGIT
#undef DOX_FIXED

} // namespace

std::span<FormatEntry> NumberFormatEntries()
{
    return g_numberEntries;
}
