#include "DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace
{

// The exact decimal value of |value| (finite): all of its digits with the point
// after intDigits of them. A double is m * 2^e, so its expansion ends after -e
// fractional digits; to_chars prints that many exactly, with nothing to round.
struct ExactDecimal {
    std::string digits;
    int intDigits = 0;
};

ExactDecimal Expand(double value)
{
    value = std::fabs(value);
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    int e = exponent - 53;
    while (mantissa != 0 && (mantissa & 1) == 0) {
        mantissa >>= 1;
        ++e;
    }
    const int precision = e < 0 ? -e : 0;
    std::string text(static_cast<size_t>(precision) + 330, '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, precision);
    text.resize(static_cast<size_t>(result.ptr - text.data()));

    ExactDecimal exact;
    const size_t point = text.find('.');
    if (point == std::string::npos) {
        exact.digits = text;
        exact.intDigits = static_cast<int>(text.size());
    } else {
        exact.digits = text.substr(0, point) + text.substr(point + 1);
        exact.intDigits = static_cast<int>(point);
    }
    return exact;
}

// The shortest decimal that reads back as the same double (to_chars' round-trip
// form): the digits the value really holds, without the binary tail.
ExactDecimal ExpandShortest(double value)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
    const std::string text(buffer, result.ptr);
    ExactDecimal shortest;
    const size_t point = text.find('.');
    if (point == std::string::npos) {
        shortest.digits = text;
        shortest.intDigits = static_cast<int>(text.size());
    } else {
        shortest.digits = text.substr(0, point) + text.substr(point + 1);
        shortest.intDigits = static_cast<int>(point);
    }
    return shortest;
}

// Keeps the first keep digits of a digit string, rounding half away from zero on
// the digits dropped. Returns true when the rounding carried out of the first
// digit (a "1" was put in front).
bool RoundDigits(std::string& digits, size_t keep)
{
    if (keep >= digits.size()) {
        digits.append(keep - digits.size(), '0');
        return false;
    }
    const bool up = digits[keep] >= '5';
    digits.resize(keep);
    if (!up)
        return false;
    for (size_t i = keep; i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring NonFinite(double value, bool upper)
{
    std::string text;
    if (std::isnan(value))
        text = "nan";
    else
        text = value < 0 ? "-inf" : "inf";
    if (upper)
        for (char& c : text)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    return Widen(text);
}

} // namespace

double NudgeAwayFromZero(double value)
{
    return value >= 0 ? value + 1e-14 : value - 1e-14;
}

namespace
{

std::wstring Fixed(double value, int decimals, ExactDecimal exact)
{
    int intDigits = exact.intDigits;
    if (RoundDigits(exact.digits, static_cast<size_t>(intDigits + decimals)))
        ++intDigits;
    std::string text = std::signbit(value) ? "-" : "";
    text += exact.digits.substr(0, static_cast<size_t>(intDigits));
    if (decimals > 0) {
        text += '.';
        text += exact.digits.substr(static_cast<size_t>(intDigits));
    }
    return Widen(text);
}

int ClampDecimals(int decimals)
{
    return decimals < 0 ? 0 : decimals > 40 ? 40 : decimals;
}

} // namespace

std::wstring FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return NonFinite(value, false);
    return Fixed(value, ClampDecimals(decimals), Expand(value));
}

std::wstring FormatFixedShortest(double value, int decimals)
{
    if (!std::isfinite(value))
        return NonFinite(value, false);
    return Fixed(value, ClampDecimals(decimals), ExpandShortest(value));
}

std::wstring FormatGeneral(double value)
{
    constexpr int kPrecision = 14;
    if (!std::isfinite(value))
        return NonFinite(value, true);
    const std::string sign = std::signbit(value) ? "-" : "";
    if (value == 0)
        return Widen(sign + "0");

    // A normal double lies within a 2^-53 part of its shortest round-trip form, far
    // inside half a unit of a fourteenth digit: when that form has no more than
    // fourteen digits it is the exact value rounded, and the exact expansion (many
    // times slower) is needed only for longer forms and subnormal values.
    ExactDecimal exact = ExpandShortest(value);
    const size_t lead = exact.digits.find_first_not_of('0');
    const size_t tail = exact.digits.find_last_not_of('0');
    if (!std::isnormal(value) || lead == std::string::npos || tail - lead + 1 > kPrecision)
        exact = Expand(value);
    // Decimal exponent of the first significant digit.
    const size_t first = exact.digits.find_first_not_of('0');
    int exponent = exact.intDigits - 1 - static_cast<int>(first);
    std::string significant = exact.digits.substr(first);
    if (RoundDigits(significant, kPrecision)) {
        ++exponent;
        significant.resize(kPrecision);
    }

    std::string text = sign;
    if (exponent < -4 || exponent >= kPrecision) {
        const size_t last = significant.find_last_not_of('0');
        text += significant[0];
        if (last > 0) {
            text += '.';
            text += significant.substr(1, last);
        }
        text += 'E';
        text += exponent < 0 ? '-' : '+';
        std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (digits.size() < 3)
            digits.insert(0, 3 - digits.size(), '0');
        text += digits;
        return Widen(text);
    }

    std::string intPart;
    std::string fracPart;
    if (exponent >= 0) {
        intPart = significant.substr(0, static_cast<size_t>(exponent + 1));
        fracPart = significant.substr(static_cast<size_t>(exponent + 1));
    } else {
        intPart = "0";
        fracPart = std::string(static_cast<size_t>(-exponent - 1), '0') + significant;
    }
    const size_t last = fracPart.find_last_not_of('0');
    fracPart.resize(last == std::string::npos ? 0 : last + 1);
    text += intPart;
    if (!fracPart.empty()) {
        text += '.';
        text += fracPart;
    }
    return Widen(text);
}
