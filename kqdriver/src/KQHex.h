#pragma once
// Hex text <-> bytes as the device protocol and the driver's records write them.
// Every function reads exactly the number of characters it is told; a character
// that is not a hex digit counts as 0.

#include <cstddef>
#include <string>

namespace kq
{

// '0'-'9' -> 0-9, 'a'-'f' and 'A'-'F' -> 10-15, anything else -> 0.
int HexDigitValue(char c);

// Two characters per byte; count is the number of bytes written to out.
void HexToBytes(const char* text, size_t count, unsigned char* out);

// Upper-case, two characters per byte; writes 2 * count characters, no terminator.
void BytesToHex(const unsigned char* bytes, size_t count, char* out);

// value as exactly `digits` upper-case hex digits, '0'-padded on the left (only
// the low digits are kept when the value is wider).
std::string IntToHex(unsigned value, int digits);

// `digits` characters read as hex; -1 for a null text.
int HexToInt(const char* text, int digits);

} // namespace kq
