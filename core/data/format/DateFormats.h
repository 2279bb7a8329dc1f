#pragma once
// The format functions of the date and date-time categories, and the parsing of
// typed text into a date or date-time value.

#include "Clock.h"
#include "FormatCatalogue.h"

#include <span>
#include <string>

// The 32 entries of the date category and the 48 of the date-time category.
std::span<FormatEntry> DateFormatEntries();
std::span<FormatEntry> DateTimeFormatEntries();

// 1-31 as months and days read on a cheque: "零壹" … "零玖", "零壹拾", "壹拾壹" …,
// "零贰拾", "零叁拾", "叁拾壹" (upper) or "一" … "三十一" (lower); empty outside 1-31.
std::wstring ChineseDayNumber(int number, bool upper);

// Reads a date (the time of day 0) or a date-time. Missing parts come from the
// local date of today; a two-digit year is 20yy unless that is after this year,
// else 19yy. False, with the date or date-time message in error when given.
bool ParseDateValue(const wchar_t* text, plat::FileTime& out, std::wstring* error);
bool ParseDateTimeValue(const wchar_t* text, plat::FileTime& out, std::wstring* error);

// The parse-table shapes of the two.
bool ParseDateEntry(const wchar_t* text, FormatValue& out, std::wstring* error);
bool ParseDateTimeEntry(const wchar_t* text, FormatValue& out, std::wstring* error);
