#include "DateFormats.h"

#include "DateTimeText.h"
#include "NumberCore.h"
#include "TextFormats.h"

#include <cstdarg>
#include <cwchar>

namespace
{

enum class Shape {
    IsoDate,        // %04d-%02d-%02d
    IsoDateTime,    // %04d-%02d-%02d %02d:%02d:%02d
    YmdShort,       // %04d-%d-%d
    YyMmDd,         // %02d-%02d-%02d
    YyMd,           // %02d-%d-%d
    CnYyyyMmDd,     // %04d年%02d月%02d日
    CnYyyyMd,       // %04d年%d月%d日
    CnYyMd,         // %02d年%d月%d日
    YmdHnsShort,    // %04d-%d-%d %d:%d:%d
    YyMdHns,        // %02d-%d-%d %d:%d:%d
    YyMdHn,         // %02d-%d-%d %d:%d
    MdHn,           // %d-%d %d:%d
    Hns,            // %d:%d:%d
    CnYyyyMdHns,    // %04d年%d月%d日 %d:%d:%d
    CnYyyyMdHn,     // %04d年%d月%d日 %d:%d
    CnYyMdHns,      // %02d年%d月%d日 %d:%d:%d
    CnYyMdHn,       // %02d年%d月%d日 %d:%d
    UpperFull,      // 贰零零玖年零玖月贰拾陆日
    UpperShortYear, // 零玖年零玖月贰拾陆日
    UpperMonthDay,  // 零玖月贰拾陆日
    LowerFull,
    LowerShortYear,
    LowerMonthDay,
    Year4,
    Year2,
    Month2,
    Month,
    Day2,
    Day,
    Hour2,
    Hour,
    Minute2,
    Minute,
    Second2,
    Second,
    Week,
    UpperYear4,
    UpperYear2,
    UpperMonth,
    UpperDay,
    UpperWeek,
    LowerYear4,
    LowerYear2,
    LowerMonth,
    LowerDay,
    LowerWeek,
};

std::wstring Print(const wchar_t* format, ...)
{
    wchar_t buffer[128];
    va_list args;
    va_start(args, format);
    const int n = std::vswprintf(buffer, sizeof(buffer) / sizeof(buffer[0]), format, args);
    va_end(args);
    return n < 0 ? std::wstring() : std::wstring(buffer, static_cast<size_t>(n));
}

std::wstring ChineseYear(int year, bool fourDigits, bool upper)
{
    const std::wstring digits = fourDigits ? Print(L"%04d", year) : Print(L"%02d", year % 100);
    return TransliterateDigits(digits.c_str(), upper ? kUpperChineseNumerals : kLowerChineseNumerals);
}

std::wstring ChineseWeekDay(int dayOfWeek, bool upper)
{
    static const wchar_t* const kUpper[7] = {L"日", L"壹", L"贰", L"叁", L"肆", L"伍", L"陆"};
    static const wchar_t* const kLower[7] = {L"日", L"一", L"二", L"三", L"四", L"五", L"六"};
    if (dayOfWeek < 0 || dayOfWeek > 6)
        return std::wstring();
    return upper ? kUpper[dayOfWeek] : kLower[dayOfWeek];
}

std::wstring ChineseDate(const plat::SystemTime& t, int yearDigits, bool upper)
{
    std::wstring text;
    if (yearDigits > 0)
        text = ChineseYear(t.year, yearDigits == 4, upper) + L"年";
    return text + ChineseDayNumber(t.month, upper) + L"月" + ChineseDayNumber(t.day, upper) + L"日";
}

std::wstring Render(Shape shape, const plat::SystemTime& t)
{
    const int Y = t.year;
    const int y = t.year % 100;
    const int M = t.month;
    const int D = t.day;
    const int h = t.hour;
    const int n = t.minute;
    const int s = t.second;
    switch (shape) {
    case Shape::IsoDate:
        return Print(L"%04d-%02d-%02d", Y, M, D);
    case Shape::IsoDateTime:
        return Print(L"%04d-%02d-%02d %02d:%02d:%02d", Y, M, D, h, n, s);
    case Shape::YmdShort:
        return Print(L"%04d-%d-%d", Y, M, D);
    case Shape::YyMmDd:
        return Print(L"%02d-%02d-%02d", y, M, D);
    case Shape::YyMd:
        return Print(L"%02d-%d-%d", y, M, D);
    case Shape::CnYyyyMmDd:
        return Print(L"%04d年%02d月%02d日", Y, M, D);
    case Shape::CnYyyyMd:
        return Print(L"%04d年%d月%d日", Y, M, D);
    case Shape::CnYyMd:
        return Print(L"%02d年%d月%d日", y, M, D);
    case Shape::YmdHnsShort:
        return Print(L"%04d-%d-%d %d:%d:%d", Y, M, D, h, n, s);
    case Shape::YyMdHns:
        return Print(L"%02d-%d-%d %d:%d:%d", y, M, D, h, n, s);
    case Shape::YyMdHn:
        return Print(L"%02d-%d-%d %d:%d", y, M, D, h, n);
    case Shape::MdHn:
        return Print(L"%d-%d %d:%d", M, D, h, n);
    case Shape::Hns:
        return Print(L"%d:%d:%d", h, n, s);
    case Shape::CnYyyyMdHns:
        return Print(L"%04d年%d月%d日 %d:%d:%d", Y, M, D, h, n, s);
    case Shape::CnYyyyMdHn:
        return Print(L"%04d年%d月%d日 %d:%d", Y, M, D, h, n);
    case Shape::CnYyMdHns:
        return Print(L"%02d年%d月%d日 %d:%d:%d", y, M, D, h, n, s);
    case Shape::CnYyMdHn:
        return Print(L"%02d年%d月%d日 %d:%d", y, M, D, h, n);
    case Shape::UpperFull:
        return ChineseDate(t, 4, true);
    case Shape::UpperShortYear:
        return ChineseDate(t, 2, true);
    case Shape::UpperMonthDay:
        return ChineseDate(t, 0, true);
    case Shape::LowerFull:
        return ChineseDate(t, 4, false);
    case Shape::LowerShortYear:
        return ChineseDate(t, 2, false);
    case Shape::LowerMonthDay:
        return ChineseDate(t, 0, false);
    case Shape::Year4:
        return Print(L"%04d", Y);
    case Shape::Year2:
        return Print(L"%02d", y);
    case Shape::Month2:
        return Print(L"%02d", M);
    case Shape::Month:
        return Print(L"%d", M);
    case Shape::Day2:
        return Print(L"%02d", D);
    case Shape::Day:
        return Print(L"%d", D);
    case Shape::Hour2:
        return Print(L"%02d", h);
    case Shape::Hour:
        return Print(L"%d", h);
    case Shape::Minute2:
        return Print(L"%02d", n);
    case Shape::Minute:
        return Print(L"%d", n);
    case Shape::Second2:
        return Print(L"%02d", s);
    case Shape::Second:
        return Print(L"%d", s);
    case Shape::Week:
        return Print(L"%d", t.dayOfWeek);
    case Shape::UpperYear4:
        return ChineseYear(Y, true, true);
    case Shape::UpperYear2:
        return ChineseYear(Y, false, true);
    case Shape::UpperMonth:
        return ChineseDayNumber(M, true);
    case Shape::UpperDay:
        return ChineseDayNumber(D, true);
    case Shape::UpperWeek:
        return ChineseWeekDay(t.dayOfWeek, true);
    case Shape::LowerYear4:
        return ChineseYear(Y, true, false);
    case Shape::LowerYear2:
        return ChineseYear(Y, false, false);
    case Shape::LowerMonth:
        return ChineseDayNumber(M, false);
    case Shape::LowerDay:
        return ChineseDayNumber(D, false);
    case Shape::LowerWeek:
        return ChineseWeekDay(t.dayOfWeek, false);
    }
    return std::wstring();
}

template <Shape S> int FormatDate(const wchar_t*, const FormatValue* value, std::wstring& out)
{
    out.clear();
    plat::SystemTime t;
    if (value->time == 0 || !plat::FileTimeToSystemTime(value->time, t))
        return 0;
    out = Render(S, t);
    return 1;
}

#define DOX_DATE(name, shape, example)                                                                       \
    {                                                                                                        \
        0, name, &FormatDate<Shape::shape>, 0, example                                                       \
    }

FormatEntry g_dateEntries[] = {
    DOX_DATE(L"<默认>", IsoDate, L"yyyy-mm-dd"),
    {0, L"<空白>", &FormatBlank, 0, L""},
    DOX_DATE(L"YYYY-MM-DD", IsoDate, L"2009-09-26"),
    DOX_DATE(L"YYYY-M-D", YmdShort, L"2009-9-26"),
    DOX_DATE(L"YY-MM-DD", YyMmDd, L"09-09-26"),
    DOX_DATE(L"YY-M-D", YyMd, L"09-9-26"),
    DOX_DATE(L"YYYY年MM月DD日", CnYyyyMmDd, L"2009年09月26日"),
    DOX_DATE(L"YYYY年M月D日", CnYyyyMd, L"2009年9月26日"),
    DOX_DATE(L"YY年M月D日", CnYyMd, L"09年9月26日"),
    DOX_DATE(L"<中文大写(YYYY年MM月DD日)>", UpperFull, L"贰零零玖年零玖月贰拾陆日"),
    DOX_DATE(L"<中文大写(YY年MM月DD日)>", UpperShortYear, L"零玖年零玖月贰拾陆日"),
    DOX_DATE(L"<中文大写(MM月DD日)>", UpperMonthDay, L"零玖月贰拾陆日"),
    DOX_DATE(L"<中文小写(YYYY年MM月DD日)>", LowerFull, L"二〇〇九年九月二十六日"),
    DOX_DATE(L"<中文小写(YY年MM月DD日)>", LowerShortYear, L"〇九年九月二十六日"),
    DOX_DATE(L"<中文小写(MM月DD日)>", LowerMonthDay, L"九月二十六日"),
    DOX_DATE(L"YYYY", Year4, L"2009"),
    DOX_DATE(L"YY", Year2, L"09"),
    DOX_DATE(L"MM", Month2, L"09"),
    DOX_DATE(L"M", Month, L"9"),
    DOX_DATE(L"DD", Day2, L"26"),
    DOX_DATE(L"D", Day, L"26"),
    DOX_DATE(L"W", Week, L"6"),
    DOX_DATE(L"<中文大写年(YYYY)>", UpperYear4, L"贰零零玖"),
    DOX_DATE(L"<中文大写年(YY)>", UpperYear2, L"零玖"),
    DOX_DATE(L"<中文大写月(MM)>", UpperMonth, L"零玖"),
    DOX_DATE(L"<中文大写日(DD)>", UpperDay, L"贰拾陆"),
    DOX_DATE(L"<中文大写星期(W)>", UpperWeek, L"陆"),
    DOX_DATE(L"<中文小写年(YYYY)>", LowerYear4, L"二〇〇九"),
    DOX_DATE(L"<中文小写年(YY)>", LowerYear2, L"〇九"),
    DOX_DATE(L"<中文小写月(MM)>", LowerMonth, L"九"),
    DOX_DATE(L"<中文小写日(DD)>", LowerDay, L"二十六"),
    DOX_DATE(L"<中文小写星期(W)>", LowerWeek, L"六"),
};
static_assert(sizeof(g_dateEntries) / sizeof(g_dateEntries[0]) == 32);

FormatEntry g_dateTimeEntries[] = {
    DOX_DATE(L"<默认>", IsoDateTime, L"yyyy-mm-dd HH:MM:SS"),
    {0, L"<空白>", &FormatBlank, 0, L""},
    DOX_DATE(L"YYYY-MM-DD", IsoDate, L"2009-09-26"),
    DOX_DATE(L"YYYY-M-D", YmdShort, L"2009-9-26"),
    DOX_DATE(L"YY-MM-DD", YyMmDd, L"09-09-26"),
    DOX_DATE(L"YY-M-D", YyMd, L"09-9-26"),
    DOX_DATE(L"YYYY年MM月DD日", CnYyyyMmDd, L"2009年09月26日"),
    DOX_DATE(L"YYYY年M月D日", CnYyyyMd, L"2009年9月26日"),
    DOX_DATE(L"YY年M月D日", CnYyMd, L"09-9-26"),
    DOX_DATE(L"YYYY-MM-DD HH:NN:SS", IsoDateTime, L"2009-09-26 09:09:01"),
    DOX_DATE(L"YYYY-M-D H:N:S", YmdHnsShort, L"2009-9-26 9:9:1"),
    DOX_DATE(L"YY-M-D H:N:S", YyMdHns, L"09-9-26 9:9:1"),
    DOX_DATE(L"YY-M-D H:N", YyMdHn, L"09-9-26 9:9"),
    DOX_DATE(L"M-D H:N", MdHn, L"9-26 9:9"),
    DOX_DATE(L"H:N:S", Hns, L"9:9:1"),
    DOX_DATE(L"YYYY年M月D日 H:N:S", CnYyyyMdHns, L"2009年9月26日 9:9:1"),
    DOX_DATE(L"YYYY年M月D日 H:N", CnYyyyMdHn, L"2009年9月26日 9:9"),
    DOX_DATE(L"YY年M月D日 H:N:S", CnYyMdHns, L"09年9月26日 9:9:1"),
    DOX_DATE(L"YY年M月D日 H:N", CnYyMdHn, L"09年9月26日 9:9"),
    DOX_DATE(L"<中文大写(YYYY年MM月DD日)>", UpperFull, L"贰零零玖年零玖月贰拾陆日"),
    DOX_DATE(L"<中文大写(YY年MM月DD日)>", UpperShortYear, L"零玖年零玖月贰拾陆日"),
    DOX_DATE(L"<中文大写(MM月DD日)>", UpperMonthDay, L"零玖月贰拾陆日"),
    DOX_DATE(L"<中文小写(YYYY年MM月DD日)>", LowerFull, L"二〇〇九年九月二十六日"),
    DOX_DATE(L"<中文小写(YY年MM月DD日)>", LowerShortYear, L"〇九年九月二十六日"),
    DOX_DATE(L"<中文小写(MM月DD日)>", LowerMonthDay, L"九月二十六日"),
    DOX_DATE(L"YYYY", Year4, L"2009"),
    DOX_DATE(L"YY", Year2, L"09"),
    DOX_DATE(L"MM", Month2, L"09"),
    DOX_DATE(L"M", Month, L"9"),
    DOX_DATE(L"DD", Day2, L"26"),
    DOX_DATE(L"D", Day, L"26"),
    DOX_DATE(L"HH", Hour2, L"09"),
    DOX_DATE(L"H", Hour, L"9"),
    DOX_DATE(L"NN", Minute2, L"09"),
    DOX_DATE(L"N", Minute, L"9"),
    DOX_DATE(L"SS", Second2, L"01"),
    DOX_DATE(L"S", Second, L"1"),
    DOX_DATE(L"W", Week, L"6"),
    DOX_DATE(L"<中文大写年(YYYY)>", UpperYear4, L"贰零零玖"),
    DOX_DATE(L"<中文大写年(YY)>", UpperYear2, L"零玖"),
    DOX_DATE(L"<中文大写月(MM)>", UpperMonth, L"零玖"),
    DOX_DATE(L"<中文大写日(DD)>", UpperDay, L"贰拾陆"),
    DOX_DATE(L"<中文大写星期(W)>", UpperWeek, L"陆"),
    DOX_DATE(L"<中文小写年(YYYY)>", LowerYear4, L"二〇〇九"),
    DOX_DATE(L"<中文小写年(YY)>", LowerYear2, L"〇九"),
    DOX_DATE(L"<中文小写月(M)>", LowerMonth, L"九"),
    DOX_DATE(L"<中文小写日(D)>", LowerDay, L"二十六"),
    DOX_DATE(L"<中文小写星期(W)>", LowerWeek, L"六"),
};
static_assert(sizeof(g_dateTimeEntries) / sizeof(g_dateTimeEntries[0]) == 48);

#undef DOX_DATE

bool ParseDateOrDateTime(const wchar_t* text, plat::FileTime& out, std::wstring* error, bool dateOnly)
{
    DateTimeParts parts = ParseDateTime(text);
    auto fail = [&](const std::wstring& message) {
        if (error)
            *error = message;
        return false;
    };
    // Made only for a text that is refused: every stored date of a loaded bill is read
    // through here.
    const auto message = [&] {
        return dateOnly ? InvalidDateMessage(parts.text) : InvalidDateTimeMessage(parts.text);
    };
    if (!ParseDateTimeText(parts) || !IsValidDateTimeParts(parts))
        return fail(message());

    // Missing parts come from the operator's own today, not from the UTC date.
    plat::SystemTime t = plat::LocalNow();
    t.dayOfWeek = 0;
    t.hour = t.minute = t.second = t.milliseconds = 0;
    const bool hasDate = parts.year != -1 || parts.month != -1 || parts.day != -1;
    if ((dateOnly || hasDate) && !ValidateDateParts(parts, t, dateOnly))
        return fail(parts.error);
    if (!dateOnly) {
        if (parts.hour != -1)
            t.hour = static_cast<uint16_t>(parts.hour);
        if (parts.minute != -1)
            t.minute = static_cast<uint16_t>(parts.minute);
        if (parts.second != -1)
            t.second = static_cast<uint16_t>(parts.second);
    }
    plat::FileTime value = 0;
    // 0 is the "no date" value: a date on it (1601-01-01 at midnight) would be
    // stored as an empty cell and lost.
    if (!plat::SystemTimeToFileTime(t, value) || value == 0)
        return fail(message());
    out = value;
    return true;
}

} // namespace

std::span<FormatEntry> DateFormatEntries()
{
    return g_dateEntries;
}

std::span<FormatEntry> DateTimeFormatEntries()
{
    return g_dateTimeEntries;
}

std::wstring ChineseDayNumber(int number, bool upper)
{
    if (number < 1 || number > 31)
        return std::wstring();
    const ChineseNumerals& table = upper ? kUpperChineseNumerals : kLowerChineseNumerals;
    const std::wstring ten = table.text[10];
    const int tens = number / 10;
    const int ones = number % 10;
    if (!upper) {
        // 一 … 九, 一十 … 一十九, 二十 …, 三十, 三十一.
        std::wstring text;
        if (tens > 0)
            text = std::wstring(table.text[tens]) + ten;
        if (ones > 0)
            text += table.text[ones];
        return text;
    }
    // On a cheque 1-10, 20 and 30 carry a leading 零 so nothing can be written
    // in front of them: 零壹 … 零玖, 零壹拾, 壹拾壹 …, 零贰拾, 贰拾壹 …, 零叁拾, 叁拾壹.
    if (tens == 0)
        return std::wstring(table.text[0]) + table.text[ones];
    std::wstring text = std::wstring(table.text[tens]) + ten;
    if (ones == 0)
        return table.text[0] + text;
    return text + table.text[ones];
}

bool ParseDateValue(const wchar_t* text, plat::FileTime& out, std::wstring* error)
{
    return ParseDateOrDateTime(text, out, error, true);
}

bool ParseDateTimeValue(const wchar_t* text, plat::FileTime& out, std::wstring* error)
{
    return ParseDateOrDateTime(text, out, error, false);
}

bool ParseDateEntry(const wchar_t* text, FormatValue& out, std::wstring* error)
{
    plat::FileTime value = 0;
    if (!ParseDateValue(text, value, error))
        return false;
    out.time = value;
    return true;
}

bool ParseDateTimeEntry(const wchar_t* text, FormatValue& out, std::wstring* error)
{
    plat::FileTime value = 0;
    if (!ParseDateTimeValue(text, value, error))
        return false;
    out.time = value;
    return true;
}
