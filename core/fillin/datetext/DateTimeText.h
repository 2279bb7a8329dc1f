#pragma once
// Reading dates and times that operators type as free text ("2010-05-25",
// "2010年5月25日", "20100525", "11:23", "2010-05-25 11时23分10秒") into up to six
// numeric parts, checking their ranges and completing a date from today's.

#include "Clock.h"

#include <cstdint>
#include <string>

// Token codes of the scanner.
enum DateTimeToken : int32_t {
    kDateTokenError = -1,
    kDateTokenEnd = 0,
    kDateTokenYear = 1,          // 年
    kDateTokenMonth = 2,         // 月
    kDateTokenDay = 3,           // 日
    kDateTokenHour = 4,          // 时
    kDateTokenMinute = 5,        // 分
    kDateTokenSecond = 6,        // 秒
    kDateTokenDateSeparator = 7, // - . / backslash
    kDateTokenTimeSeparator = 8, // :
};

// One text being read. Every part is -1 while not given.
struct DateTimeParts {
    std::wstring text; // the whole text, for the message
    size_t position = 0;
    wchar_t current = 0;
    wchar_t digits[5] = {}; // the number being read: at most 4 digits and a terminator
    int32_t digitCount = 0;
    int32_t number = -1; // value of the last number read
    int32_t lastToken = -1;
    std::wstring error; // the message of the last failure
    int32_t year = -1;
    int32_t month = -1;
    int32_t day = -1;
    int32_t hour = -1;
    int32_t minute = -1;
    int32_t second = -1;
};

// Sets the record up for a text (null reads as empty): all parts -1, no number,
// no last token, no error, the scanner on the first character.
void InitDateTimeParts(DateTimeParts& parts, const wchar_t* text);

// A record freshly set up for the text.
DateTimeParts ParseDateTime(const wchar_t* text);

// The next token; the number that precedes a separator or unit is left in
// parts.number. A separator or unit with no number of its own is an error.
int32_t NextDateTimeToken(DateTimeParts& parts);

// Fills the parts from the text; true when the text is well formed. An empty
// text is well formed and leaves every part -1.
bool ParseDateTimeText(DateTimeParts& parts);

// Year -1, 0-99 or 1601-9999; month -1 or 0-12; day -1 or 0-31; hour -1 or 0-23;
// minute and second -1 or 0-59.
bool IsValidDateTimeParts(const DateTimeParts& parts);

// Completes the date of st, whose year, month and day hold the defaults, from the
// parts. A two-digit year is 2000 + y unless that lies after the default year,
// else 1900 + y. The day must exist in the resulting month. On failure st keeps
// its date, parts.error gets the date message (dateOnly) or the date-time
// message with the whole text, and the result is false.
bool ValidateDateParts(DateTimeParts& parts, plat::SystemTime& st, bool dateOnly);

// Reads a date: the text must be well formed, in range and complete a date from
// today's local date. On failure parts.error holds the date message.
bool ParseDateText(DateTimeParts& parts, int& year, int& month, int& day);

// The two messages, with the entered text in front.
std::wstring InvalidDateMessage(const std::wstring& text);
std::wstring InvalidDateTimeMessage(const std::wstring& text);
