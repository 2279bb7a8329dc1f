#include "BillText.h"

namespace bill
{

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

int32_t ReadNumberedName(std::wstring_view name, std::wstring_view prefix)
{
    if (name.substr(0, prefix.size()) != prefix)
        return 0;
    size_t i = prefix.size();
    while (i < name.size() && IsBlank(name[i]))
        ++i;
    bool negative = false;
    if (i < name.size() && (name[i] == L'+' || name[i] == L'-')) {
        negative = name[i] == L'-';
        ++i;
    }
    if (i >= name.size() || name[i] < L'0' || name[i] > L'9')
        return 0;
    int64_t value = 0;
    for (; i < name.size() && name[i] >= L'0' && name[i] <= L'9'; ++i) {
        value = value * 10 + (name[i] - L'0');
        if (value > INT32_MAX)
            value = INT32_MAX; // a name number this large cannot grow further anyway
    }
    return static_cast<int32_t>(negative ? -value : value);
}

namespace
{

constexpr uint64_t kTicksPerDay = 864000000000ULL;
// Days from 1601-01-01 to 1970-01-01.
constexpr int64_t kDays1601To1970 = 134774;

// Howard Hinnant's civil calendar conversions over days since 1970-01-01.
CalendarDate CivilFromDays(int64_t z)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

} // namespace

CalendarDate FileTimeToDate(uint64_t fileTime)
{
    const int64_t days = static_cast<int64_t>(fileTime / kTicksPerDay);
    return CivilFromDays(days - kDays1601To1970);
}

uint64_t DateToFileTime(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                        int32_t second)
{
    const int64_t days = DaysFromCivil(year, month, day) + kDays1601To1970;
    const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
    return static_cast<uint64_t>(seconds) * 10000000ULL;
}

} // namespace bill
