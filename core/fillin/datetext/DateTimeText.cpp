#include "DateTimeText.h"

namespace
{

// The blanks an operator may type around numbers: ASCII white space and the
// ideographic space of Chinese input methods.
bool IsBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x3000;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The token a separator or unit character stands for; 0 for any other character.
int32_t MarkToken(wchar_t c)
{
    switch (c) {
    case L'年':
        return kDateTokenYear;
    case L'月':
        return kDateTokenMonth;
    case L'日':
        return kDateTokenDay;
    case L'时':
        return kDateTokenHour;
    case L'分':
        return kDateTokenMinute;
    case L'秒':
        return kDateTokenSecond;
    case L'-':
    case L'.':
    case L'/':
    case L'\\':
        return kDateTokenDateSeparator;
    case L':':
        return kDateTokenTimeSeparator;
    default:
        return 0;
    }
}

void Advance(DateTimeParts& parts)
{
    if (parts.position < parts.text.size())
        ++parts.position;
    parts.current = parts.position < parts.text.size() ? parts.text[parts.position] : L'\0';
}

void SkipBlanks(DateTimeParts& parts)
{
    while (parts.current != L'\0' && IsBlank(parts.current))
        Advance(parts);
}

void ResetParts(DateTimeParts& parts)
{
    parts.year = parts.month = parts.day = -1;
    parts.hour = parts.minute = parts.second = -1;
}

int TwoDigits(const std::wstring& t, size_t at)
{
    return (t[at] - L'0') * 10 + (t[at + 1] - L'0');
}

// The eight digits yyyymmdd written together.
bool ReadCompactDate(DateTimeParts& parts)
{
    const std::wstring& t = parts.text;
    if (t.size() != 8)
        return false;
    for (wchar_t c : t)
        if (!IsDigit(c))
            return false;
    const int year = TwoDigits(t, 0) * 100 + TwoDigits(t, 2);
    const int month = TwoDigits(t, 4);
    const int day = TwoDigits(t, 6);
    if (!((year <= 99 || (year >= 1601 && year <= 9999)) && month <= 12 && day <= 31))
        return false;
    parts.year = year;
    parts.month = month;
    parts.day = day;
    return true;
}

} // namespace

std::wstring InvalidDateMessage(const std::wstring& text)
{
    return text + L" 不是有效的日期。\n请使用yyyy-mm-dd或者yyyymmdd格式。";
}

std::wstring InvalidDateTimeMessage(const std::wstring& text)
{
    return text + L" 不是有效的时间。\n请使用yyyy-mm-dd HH:MM:SS或者HH:MM:SS或者HH:MM格式。";
}

void InitDateTimeParts(DateTimeParts& parts, const wchar_t* text)
{
    parts.text = text ? text : L"";
    parts.position = 0;
    parts.current = parts.text.empty() ? L'\0' : parts.text[0];
    for (wchar_t& c : parts.digits)
        c = L'\0';
    parts.digitCount = 0;
    parts.number = -1;
    parts.lastToken = -1;
    parts.error.clear();
    ResetParts(parts);
}

DateTimeParts ParseDateTime(const wchar_t* text)
{
    DateTimeParts parts;
    InitDateTimeParts(parts, text);
    return parts;
}

int32_t NextDateTimeToken(DateTimeParts& parts)
{
    SkipBlanks(parts);
    if (parts.current == L'\0')
        return kDateTokenEnd;
    if (MarkToken(parts.current) != 0) {
        // A separator or unit needs its own number: "2010-5--" or "2010年5月日"
        // must not take the day from the number before.
        return kDateTokenError;
    }
    if (!IsDigit(parts.current))
        return kDateTokenError;

    parts.digitCount = 0;
    int32_t value = 0;
    while (IsDigit(parts.current)) {
        if (parts.digitCount == 4)
            return kDateTokenError;
        parts.digits[parts.digitCount++] = parts.current;
        value = value * 10 + (parts.current - L'0');
        Advance(parts);
    }
    parts.digits[parts.digitCount] = L'\0';
    parts.number = value;

    SkipBlanks(parts);
    // A number at the end, or followed by another number, takes the kind of the
    // separator or unit that came before it ("2010-05-25": the 25 is a day).
    if (parts.current == L'\0' || IsDigit(parts.current))
        return parts.lastToken;
    const int32_t token = MarkToken(parts.current);
    if (token == 0)
        return kDateTokenError;
    Advance(parts);
    return token;
}

bool ParseDateTimeText(DateTimeParts& parts)
{
    if (ReadCompactDate(parts))
        return true;
    ResetParts(parts);

    enum Style { kNone, kUnits, kSeparators };
    int dateCount = 0;
    int timeCount = 0;
    Style dateStyle = kNone;
    Style timeStyle = kNone;
    int32_t* const dateParts[3] = {&parts.year, &parts.month, &parts.day};
    int32_t* const timeParts[3] = {&parts.hour, &parts.minute, &parts.second};

    for (;;) {
        const int32_t token = NextDateTimeToken(parts);
        parts.lastToken = token;
        switch (token) {
        case kDateTokenEnd:
            // The date needs all three parts or none; the hour alone is no time.
            if (dateCount != 0 && dateCount != 3)
                return false;
            return timeCount != 1;
        case kDateTokenYear:
        case kDateTokenMonth:
        case kDateTokenDay:
            if (dateStyle == kSeparators || dateCount != token - kDateTokenYear)
                return false;
            *dateParts[dateCount++] = parts.number;
            dateStyle = kUnits;
            break;
        case kDateTokenHour:
        case kDateTokenMinute:
        case kDateTokenSecond:
            if (timeStyle == kSeparators || timeCount != token - kDateTokenHour)
                return false;
            *timeParts[timeCount++] = parts.number;
            timeStyle = kUnits;
            break;
        case kDateTokenDateSeparator:
            if (dateStyle == kUnits || dateCount == 3)
                return false;
            *dateParts[dateCount++] = parts.number;
            dateStyle = kSeparators;
            break;
        case kDateTokenTimeSeparator:
            if (timeStyle == kUnits || timeCount == 3)
                return false;
            *timeParts[timeCount++] = parts.number;
            timeStyle = kSeparators;
            break;
        default:
            return false;
        }
    }
}

bool IsValidDateTimeParts(const DateTimeParts& parts)
{
    const int32_t y = parts.year;
    if (!(y == -1 || (y >= 0 && y <= 99) || (y >= 1601 && y <= 9999)))
        return false;
    if (parts.month < -1 || parts.month > 12)
        return false;
    if (parts.day < -1 || parts.day > 31)
        return false;
    if (parts.hour < -1 || parts.hour > 23)
        return false;
    if (parts.minute < -1 || parts.minute > 59)
        return false;
    return parts.second >= -1 && parts.second <= 59;
}

bool ValidateDateParts(DateTimeParts& parts, plat::SystemTime& st, bool dateOnly)
{
    int year = st.year;
    int month = st.month;
    bool ok = true;
    if (parts.year >= 1601 && parts.year <= 9999)
        year = parts.year;
    else if (parts.year >= 0 && parts.year <= 99)
        year = 2000 + parts.year <= st.year ? 2000 + parts.year : 1900 + parts.year;
    else if (parts.year != -1)
        ok = false;

    if (parts.month >= 1 && parts.month <= 12)
        month = parts.month;
    else if (parts.month != 0 && parts.month != -1)
        ok = false;

    if (ok && parts.day >= 1 && parts.day <= plat::DaysInMonth(year, month)) {
        st.year = static_cast<uint16_t>(year);
        st.month = static_cast<uint16_t>(month);
        st.day = static_cast<uint16_t>(parts.day);
        return true;
    }
    parts.error = dateOnly ? InvalidDateMessage(parts.text) : InvalidDateTimeMessage(parts.text);
    return false;
}

bool ParseDateText(DateTimeParts& parts, int& year, int& month, int& day)
{
    if (!ParseDateTimeText(parts) || !IsValidDateTimeParts(parts)) {
        parts.error = InvalidDateMessage(parts.text);
        return false;
    }
    // The defaults come from the operator's own calendar: near midnight the UTC
    // date is another day than the one on the operator's desk.
    plat::SystemTime st = plat::LocalNow();
    st.dayOfWeek = 0;
    st.hour = st.minute = st.second = st.milliseconds = 0;
    if (!ValidateDateParts(parts, st, true))
        return false;
    year = st.year;
    month = st.month;
    day = st.day;
    return true;
}
