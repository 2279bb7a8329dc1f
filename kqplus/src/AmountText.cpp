#include "AmountText.h"

#include <cmath>
#include <cwchar>

namespace kqplus
{

const wchar_t kNoAmountText[] = L"无金额";

namespace
{

constexpr int64_t kMaxYuan = kMaxFen / 100; // 99999999999999

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

} // namespace

std::wstring AmountRangeMessage()
{
    wchar_t text[96];
    std::swprintf(text, sizeof text / sizeof text[0], L"您只能在此输入0到%lld.%02u数字。",
                  static_cast<long long>(kMaxYuan), 99u);
    return text;
}

AmountParse ParseAmountText(const std::wstring& text, const AmountCheck& check)
{
    AmountParse result;
    if (text.empty())
        return result;
    if (check && !check(text, result.message))
        return result;

    // Whole yuan and the decimals, each read only as far as its digits allow.
    uint64_t yuan = 0;
    int digits = 0, decimals = 0, fraction = 0;
    bool point = false;
    for (wchar_t c : text) {
        if (c == L'.') {
            if (point)
                return result;
            point = true;
            continue;
        }
        if (!IsDigit(c) || ++digits > kMaxAmountDigits)
            return result;
        if (point) {
            if (++decimals > 2)
                return result;
            fraction = fraction * 10 + (c - L'0');
        } else {
            yuan = yuan * 10 + static_cast<uint64_t>(c - L'0'); // 17 digits fit in 64 bits
        }
    }
    if (decimals == 1)
        fraction *= 10;
    if (yuan > static_cast<uint64_t>(kMaxYuan)) {
        result.message = AmountRangeMessage();
        return result;
    }
    result.valid = true;
    result.fen = static_cast<int64_t>(yuan) * 100 + fraction;
    return result;
}

std::wstring FormatFen(int64_t fen)
{
    if (fen < 0)
        return {};
    wchar_t text[40];
    std::swprintf(text, sizeof text / sizeof text[0], L"%lld.%02u", static_cast<long long>(fen / 100),
                  static_cast<unsigned>(fen % 100));
    return text;
}

std::optional<int64_t> FenFromNumber(double yuan)
{
    if (!std::isfinite(yuan) || yuan < 0)
        return std::nullopt;
    const double fen = std::round(yuan * 100.0);
    // kMaxFen + 1 (10^16) is exact as a double; kMaxFen itself is not.
    if (fen >= static_cast<double>(kMaxFen + 1))
        return std::nullopt;
    return static_cast<int64_t>(fen);
}

std::wstring AmountToCapital(const std::wstring& text)
{
    static const wchar_t* const kDigits[] = {L"零", L"壹", L"贰", L"叁", L"肆", L"伍", L"陆", L"柒", L"捌", L"玖"};
    static const wchar_t* const kUnits[] = {L"整", L"分", L"角", L"圆", L"拾", L"佰", L"仟", L"万", L"拾", L"佰",
                                            L"仟", L"亿", L"拾", L"佰", L"仟", L"兆", L"拾", L"佰", L"仟", L"京"};
    if (text.empty())
        return {};
    int before = 0, after = 0;
    bool point = false;
    for (wchar_t c : text) {
        if (c == L'.') {
            if (point)
                return {};
            point = true;
        } else if (!IsDigit(c)) {
            return {};
        } else if (point) {
            ++after;
        } else {
            ++before;
        }
    }
    if (before > 17 || after > 2)
        return {};

    std::wstring out;
    int p = 2 + before; // the unit of the next digit
    int zeros = 0;      // the current run of zeros
    int written = 0;    // digits written
    for (wchar_t c : text) {
        if (c == L'.') {
            if (zeros > 3)
                out += L"圆";
            zeros = 0;
        } else if (c != L'0') {
            if (written > 0 && zeros > 0)
                out += L"零";
            out += kDigits[c - L'0'];
            out += kUnits[p];
            ++written;
            zeros = 0;
            --p;
        } else {
            if (written > 0 && zeros < 3 && p % 4 == 3)
                out += kUnits[p];
            ++zeros;
            --p;
        }
    }
    if (written == 0) {
        if (zeros > 0)
            out += L"零";
        out += L"圆";
    } else if (zeros >= 4) {
        out += L"圆";
    }
    if (after == 0 || zeros == 2 || (zeros == 1 && after == 1))
        out += L"整";
    return out;
}

} // namespace kqplus
