#include "NumberCore.h"

#include "DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <limits>
#include <string>

const ChineseNumerals kLowerChineseNumerals = {{
    L"〇", L"一", L"二", L"三", L"四", L"五", L"六", L"七", L"八", L"九", L"十", L"百", L"千",
    L"万", L"十", L"百", L"千", L"亿", L"十", L"百", L"千", L"兆", L"十", L"百", L"千", L"京",
}};

const ChineseNumerals kUpperChineseNumerals = {{
    L"零", L"壹", L"贰", L"叁", L"肆", L"伍", L"陆", L"柒", L"捌", L"玖", L"拾", L"佰", L"仟",
    L"万", L"拾", L"佰", L"仟", L"亿", L"拾", L"佰", L"仟", L"兆", L"拾", L"佰", L"仟", L"京",
}};

const wchar_t* const kChinesePointWord = L"点";
const wchar_t* const kChineseNegativeWord = L"负";

const AmountWords kAmountWords = {{L"整", L"元", L"角", L"分"}};

namespace
{

// The classification buffer of the Chinese writers holds at most 127 codes.
constexpr size_t kMaxNumberText = 128;
// The highest position a unit names: 京, 10^16.
constexpr int kTopPosition = 16;

bool IsBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x3000;
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Reads "[sign] digits [. digits] [e [sign] digits]" at pos (at least one digit
// before or after the point; an exponent without digits is not taken, as the C
// library leaves it). On success pos moves behind the number.
bool ReadDecimal(const wchar_t* text, size_t& pos, double& out)
{
    size_t i = pos;
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-')
        negative = text[i++] == L'-';
    std::string digits; // mantissa without sign, for the conversion
    int intDigits = 0;  // significant digits before the point
    int leadingFractionZeros = 0;
    bool seenNonZero = false;
    size_t mantissaDigits = 0;
    while (IsDigit(text[i])) {
        seenNonZero = seenNonZero || text[i] != L'0';
        if (seenNonZero)
            ++intDigits;
        digits += static_cast<char>(text[i++]);
        ++mantissaDigits;
    }
    if (text[i] == L'.') {
        digits += '.';
        ++i;
        while (IsDigit(text[i])) {
            if (!seenNonZero && text[i] == L'0')
                ++leadingFractionZeros;
            seenNonZero = seenNonZero || text[i] != L'0';
            digits += static_cast<char>(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;

    long exponent = 0;
    if (text[i] == L'e' || text[i] == L'E') {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (text[j] == L'+' || text[j] == L'-')
            negativeExponent = text[j++] == L'-';
        if (IsDigit(text[j])) {
            std::string exponentText;
            while (IsDigit(text[j])) {
                if (exponent < 100000)
                    exponent = exponent * 10 + (text[j] - L'0');
                exponentText += static_cast<char>(text[j++]);
            }
            if (negativeExponent)
                exponent = -exponent;
            digits += 'e';
            digits += negativeExponent ? "-" : "";
            digits += exponentText;
            i = j;
        }
    }

    double value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Decimal order of the first significant digit tells overflow from underflow.
        const long order = intDigits > 0 ? intDigits - 1 + exponent : -leadingFractionZeros - 1 + exponent;
        if (!seenNonZero || order < 0)
            value = 0;
        else
            return false;
    } else if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
        return false;
    }
    out = negative ? -value : value;
    pos = i;
    return true;
}

// Reads "[sign] [0x] hexdigits" at pos, as the C library's strtol with base 16.
bool ReadHexInteger(const wchar_t* text, size_t& pos, double& out)
{
    size_t i = pos;
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-')
        negative = text[i++] == L'-';
    if (text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X') && HexValue(text[i + 2]) >= 0)
        i += 2;
    if (HexValue(text[i]) < 0)
        return false;
    uint64_t value = 0;
    for (int digit; (digit = HexValue(text[i])) >= 0; ++i) {
        if (value > (static_cast<uint64_t>(INT64_MAX) >> 4))
            return false; // past a 64-bit integer: refused rather than clamped
        value = value << 4 | static_cast<uint64_t>(digit);
    }
    out = negative ? -static_cast<double>(value) : static_cast<double>(value);
    pos = i;
    return true;
}

// The digits of a number text with the decimal position of the first of them.
struct DigitRun {
    std::wstring digits;
    int firstPosition = 0;

    int At(int position) const
    {
        const int k = firstPosition - position;
        return k >= 0 && k < static_cast<int>(digits.size()) ? digits[static_cast<size_t>(k)] - L'0' : 0;
    }
};

// Writes the integer digits from the highest position down to 10^1: a run of
// zeros is one digit 0 before the next non-zero digit, and a zero at a group
// position writes its group unit when a digit above it in its group is non-zero.
// Returns whether zeros are pending (for the units place).
bool WriteIntegerPositions(const ChineseNumerals& table, const DigitRun& run, int top, std::wstring& out)
{
    int pending = 0;
    for (int p = top; p >= 1; --p) {
        const int d = run.At(p);
        if (d != 0) {
            if (pending > 0)
                out += table.text[0];
            pending = 0;
            out += table.text[d];
            out += table.text[10 + p - 1];
            continue;
        }
        bool groupHasDigit = false;
        if (p % 4 == 0)
            for (int q = p + 1; q <= p + 3 && q <= top; ++q)
                groupHasDigit = groupHasDigit || run.At(q) != 0;
        if (groupHasDigit)
            out += table.text[10 + p - 1];
        else
            ++pending;
    }
    return pending > 0;
}

bool ParseExponent(const wchar_t* text, size_t& i, long& exponent)
{
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-')
        negative = text[i++] == L'-';
    if (!IsDigit(text[i]))
        return false;
    exponent = 0;
    while (IsDigit(text[i])) {
        if (exponent < 100000)
            exponent = exponent * 10 + (text[i] - L'0');
        ++i;
    }
    if (negative)
        exponent = -exponent;
    return text[i] == L'\0';
}

} // namespace

bool ParseNumberText(const wchar_t* text, double& out)
{
    if (!text)
        text = L"";
    size_t i = 0;
    while (IsBlank(text[i]))
        ++i;
    if (text[i] == L'\0') {
        out = 0;
        return true;
    }
    const size_t start = i;
    double value = 0;
    if (!ReadDecimal(text, i, value))
        return false;
    switch (text[i]) {
    case L'w':
    case L'W':
        value *= 10000;
        ++i;
        break;
    case L'k':
    case L'K':
        value *= 1000;
        ++i;
        break;
    case L'x':
    case L'X':
        i = start;
        if (!ReadHexInteger(text, i, value))
            return false;
        break;
    default:
        break;
    }
    while (IsBlank(text[i]))
        ++i;
    if (text[i] != L'\0' || !std::isfinite(value))
        return false;
    out = value;
    return true;
}

double ApplyAbsParameter(double value, const wchar_t* parameter)
{
    if (!parameter)
        return value;
    static const wchar_t kAbs[] = L"ABS";
    for (size_t i = 0; i < 4; ++i) {
        wchar_t c = parameter[i];
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        if (c != kAbs[i])
            return value;
    }
    return std::fabs(value);
}

double RoundToPowerOfTen(double value, double step)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double a = std::fabs(step);
    if (!(a > 0) || std::isinf(a))
        return nan; // no power of ten: the unit search would never end
    if (a == 1)
        return std::floor(value + 0.5);
    double scale = 1;
    if (a < 1) {
        while (a < 1) {
            a *= 10;
            scale *= 10;
        }
        if (std::isinf(scale))
            return nan;
        return std::floor(value * scale + 0.5) / scale;
    }
    while (a > 1) {
        a /= 10;
        scale *= 10;
    }
    if (std::isinf(scale))
        return nan;
    return std::floor(value / scale + 0.5) * scale;
}

bool ToChineseNumeral(const ChineseNumerals& table, const wchar_t* number, std::wstring& out)
{
    out.clear();
    if (!number)
        return false;
    const size_t length = std::wcslen(number);
    if (length >= kMaxNumberText)
        return false;
    size_t i = 0;
    const bool negative = number[0] == L'-';
    if (negative)
        ++i;

    // Digits and at most one point, then an optional exponent that ends the text.
    std::wstring digits;
    int intDigits = 0;
    bool point = false;
    long exponent = 0;
    for (; number[i] != L'\0'; ++i) {
        const wchar_t c = number[i];
        if (IsDigit(c)) {
            digits += c;
            if (!point)
                ++intDigits;
        } else if (c == L'.' && !point) {
            point = true;
        } else if ((c == L'E' || c == L'e') && !digits.empty()) {
            ++i;
            if (!ParseExponent(number, i, exponent))
                return false;
            break;
        } else {
            return false;
        }
    }
    if (digits.empty())
        return false;

    const size_t first = digits.find_first_not_of(L'0');
    if (first == std::wstring::npos) {
        out = table.text[0]; // zero, without a sign
        return true;
    }
    DigitRun run;
    const size_t last = digits.find_last_not_of(L'0');
    run.digits = digits.substr(first, last - first + 1);
    const long top = static_cast<long>(intDigits) - 1 - static_cast<long>(first) + exponent;
    const long bottom = top - static_cast<long>(run.digits.size()) + 1;
    if (top > kTopPosition || bottom < -400)
        return false;
    run.firstPosition = static_cast<int>(top);

    if (negative)
        out += kChineseNegativeWord;
    if (top >= 0) {
        const bool pending = WriteIntegerPositions(table, run, run.firstPosition, out);
        const int units = run.At(0);
        if (units != 0) {
            if (pending)
                out += table.text[0];
            out += table.text[units];
        }
    } else {
        out += table.text[0]; // a number below 1 reads 〇点…
    }

    int pendingZeros = 0;
    bool pointWritten = false;
    for (long p = -1; p >= bottom; --p) {
        const int d = run.At(static_cast<int>(p));
        if (d == 0) {
            ++pendingZeros;
            continue;
        }
        if (!pointWritten)
            out += kChinesePointWord;
        pointWritten = true;
        for (; pendingZeros > 0; --pendingZeros)
            out += table.text[0];
        out += table.text[d];
    }
    return true;
}

bool ToChineseAmount(const ChineseNumerals& table, const AmountWords& words, const wchar_t* amount,
                     std::wstring& out)
{
    out.clear();
    if (!amount)
        return false;
    const size_t length = std::wcslen(amount);
    if (length >= kMaxNumberText)
        return false;
    size_t i = 0;
    const bool negative = amount[0] == L'-';
    if (negative)
        ++i;
    std::wstring intPart;
    std::wstring fraction;
    bool point = false;
    for (; amount[i] != L'\0'; ++i) {
        const wchar_t c = amount[i];
        if (IsDigit(c))
            (point ? fraction : intPart) += c;
        else if (c == L'.' && !point)
            point = true;
        else
            return false;
    }
    if (intPart.empty() && fraction.empty())
        return false;
    if (fraction.size() > 2 || intPart.size() > 17)
        return false;
    if (intPart.empty())
        intPart = L"0";

    std::wstring text;
    // An amount owed must never read as one paid: a negative amount says so.
    const bool nonZero = (intPart + fraction).find_first_not_of(L'0') != std::wstring::npos;
    if (negative && nonZero)
        text += kChineseNegativeWord;

    DigitRun run;
    run.digits = intPart;
    run.firstPosition = static_cast<int>(intPart.size()) - 1;
    const bool pending = WriteIntegerPositions(table, run, run.firstPosition, text);
    const int units = run.At(0);
    if (units != 0) {
        if (pending)
            text += table.text[0];
        text += table.text[units];
    } else if (intPart.find_first_not_of(L'0') == std::wstring::npos) {
        text += table.text[0]; // 零元 when the amount has no whole units
    }
    text += words.text[1];

    int pendingZeros = 0;
    for (size_t k = 0; k < fraction.size(); ++k) {
        const int d = fraction[k] - L'0';
        if (d == 0) {
            ++pendingZeros;
            continue;
        }
        for (; pendingZeros > 0; --pendingZeros)
            text += table.text[0];
        text += table.text[d];
        text += words.text[2 + k];
    }
    if (fraction.size() <= 1 || pendingZeros > 0)
        text += words.text[0];
    out = std::move(text);
    return true;
}

bool InsertThousandsSeparators(std::wstring& text)
{
    const size_t point = text.find(L'.');
    if (point == std::wstring::npos)
        return true;
    const size_t start = !text.empty() && text[0] == L'-' ? 1 : 0;
    std::wstring result = text.substr(0, start);
    const size_t intDigits = point - start;
    for (size_t k = 0; k < intDigits; ++k) {
        if (k > 0 && (intDigits - k) % 3 == 0)
            result += L',';
        result += text[start + k];
    }
    result += text.substr(point);
    text = std::move(result);
    return true;
}

std::wstring TransliterateDigits(const wchar_t* text, const ChineseNumerals& table)
{
    std::wstring result;
    if (!text)
        return result;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (!IsDigit(*c))
            return std::wstring();
        result += table.text[*c - L'0'];
    }
    return result;
}

int DigitAtPosition(double value, int position)
{
    if (position < -4 || position > 15 || !std::isfinite(value))
        return 0;
    // The digit comes from the decimal text of the amount as it is shown, never
    // from the binary double (1.13 is held as 1.12999…, whose 分 would be 2). Down
    // to 分 that is the text of the amount in words and the "0.00" format; below 分
    // only the digits the double really holds count, not its binary tail.
    const std::wstring text = position >= -2 ? FormatFixed(NudgeAwayFromZero(std::fabs(value)), 2)
                                             : FormatFixedShortest(std::fabs(value), -position);
    const size_t point = text.find(L'.');
    long index = 0;
    if (position >= 0)
        index = static_cast<long>(point) - 1 - position;
    else
        index = static_cast<long>(point) - position;
    if (index < 0 || index >= static_cast<long>(text.size()))
        return 0;
    const wchar_t c = text[static_cast<size_t>(index)];
    return IsDigit(c) ? c - L'0' : 0;
}
