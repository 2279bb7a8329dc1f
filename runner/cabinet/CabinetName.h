#pragma once
// The 8-bit form in which cabinet entry names are stored. Every UTF-16 unit up to
// 255 is one byte; a run of units above 255 is '<', the units' bits (16 per unit,
// most significant first) as standard base64 digits with the last digit padded by
// zero bits, then '>'. A literal '<' is written "<>", so every name round-trips.

#include <optional>
#include <string>

namespace Cabinet
{

// The coded form; none for a text holding NUL (it could not be stored).
std::optional<std::string> EncodeName(const std::wstring& text);

// The text of a coded form; none for a malformed one: a run without its '>', a
// character that is no base64 digit, padding that is not zero or is a whole digit,
// a unit that needs no run (up to 255) or NUL, or a broken surrogate pair.
std::optional<std::wstring> DecodeName(const std::string& coded);

} // namespace Cabinet
