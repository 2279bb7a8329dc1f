#pragma once
// Amounts as the plug-in handles them: a signed 64-bit number of fen (hundredths
// of a yuan), the text "%lld.%02u", the amount box's parse rules and the amount in
// Chinese capital characters.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kqplus
{

// The amount box's stand-in for "no amount" (value -1).
extern const wchar_t kNoAmountText[];
constexpr int64_t kNoAmount = -1;
// The largest amount: 99999999999999.99 yuan, 16 digits of fen (the width of
// the amount field of the device request).
constexpr int64_t kMaxFen = 9999999999999999LL;
// At most this many digits in a typed amount.
constexpr int kMaxAmountDigits = 17;

// "您只能在此输入0到99999999999999.99数字。"
std::wstring AmountRangeMessage();

// Asks the bill whether it accepts an amount text: non-zero accepts; a refusal
// may say why in message.
using AmountCheck = std::function<int(const std::wstring& text, std::wstring& message)>;

struct AmountParse {
    bool valid = false;
    int64_t fen = 0;
    std::wstring message; // why it was refused, when a reason is known
};

// The amount box's parse: digits with at most one '.', at most 17 digits, at most
// two after the point; the range is checked before any multiplication, so no
// text can overflow. The check (may be empty) is asked first.
AmountParse ParseAmountText(const std::wstring& text, const AmountCheck& check = {});

// "%lld.%02u" of yuan and fen; empty for a negative amount.
std::wstring FormatFen(int64_t fen);

// A bill's number as whole fen, rounded to the nearest fen (1.15 is 115 fen, not
// the 114 that truncating 114.999... would give); none for a negative, too large
// or not finite number.
std::optional<int64_t> FenFromNumber(double yuan);

// The amount in capital characters ("123.45" -> "壹佰贰拾叁圆肆角伍分"); empty for
// a text that is not an amount.
std::wstring AmountToCapital(const std::wstring& text);

} // namespace kqplus
