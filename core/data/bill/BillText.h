#pragma once
// Small text helpers of the bill data: names compare ignoring ASCII letter case
// only, default names are numbered with a scanf-style reading, and FILETIME
// values are split into calendar fields without any time-zone conversion.

#include <cstdint>
#include <string>
#include <string_view>

namespace bill
{

wchar_t FoldAscii(wchar_t c);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

// Reads name as prefix, optional blanks, a signed decimal integer (anything after
// it ignored), like swscanf(name, L"<prefix>%d"). 0 when the name does not match.
int32_t ReadNumberedName(std::wstring_view name, std::wstring_view prefix);

bool IsBlank(wchar_t c);
std::wstring_view TrimBlanks(std::wstring_view text);

// FILETIME (100 ns since 1601-01-01) -> proleptic Gregorian calendar fields.
struct CalendarDate {
    int32_t year = 1601;
    int32_t month = 1;
    int32_t day = 1;
};
CalendarDate FileTimeToDate(uint64_t fileTime);
uint64_t DateToFileTime(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                        int32_t second = 0);

} // namespace bill
