#pragma once
// Small text routines shared by the item kinds: number readers with 32-bit
// saturation (never `long`, which is 64-bit here), case-insensitive compare over
// A-Z only, and printf-style formatting into a wide string.

#include <cstddef>
#include <cstdint>
#include <string>

namespace doxattrib
{

bool IsBlank(wchar_t c);
// Index of the first non-blank character at or after pos.
size_t SkipBlanks(const wchar_t* text, size_t pos);

// Reads blanks, an optional sign and the decimal digits that follow, from pos on.
// The result saturates at the limits of the type. pos moves past the digits; when
// no digit follows, pos moves past the blanks and the sign only and digits is false.
struct DecimalRead {
    bool negative = false;
    bool digits = false;
    uint64_t magnitude = 0; // saturated at 2^32
};
DecimalRead ReadDecimal(const wchar_t* text, size_t& pos);
int32_t SaturateToInt32(const DecimalRead& read);

// A decimal attribute value of the XML ("value"): blanks, sign, digits, anything
// after them ignored, saturated to 32 bits. Null or no digits gives 0.
int32_t ParseXmlInt32(const char* text);

// True when both texts are equal once A-Z are folded to a-z; other characters
// compare exactly.
bool EqualsIgnoreCase(const wchar_t* a, const wchar_t* b);

std::wstring Format(const wchar_t* format, ...);

} // namespace doxattrib
