#pragma once
// Printing doubles as decimal text, rounding half away from zero on the exact
// binary value (the C library rounds exact ties to even), and the small nudge the
// fixed-decimal formats apply first.

#include <string>

// Moves a value 1e-14 away from zero (x >= 0 up, x < 0 down), so that a decimal
// half the double holds just below .5 still rounds away from zero.
double NudgeAwayFromZero(double value);

// "%.<decimals>f": fixed decimals (0-40), half away from zero; a negative value
// keeps its "-" even when it rounds to zero, as printf does. inf and nan print
// "inf", "-inf", "nan".
std::wstring FormatFixed(double value, int decimals);

// Fixed decimals of the shortest decimal that reads back as the same double,
// rounded half away from zero: 12345678901234.56 (held as …34.560546875) gives
// "12345678901234.560" with three decimals, not the binary tail "…34.561".
std::wstring FormatFixedShortest(double value, int decimals);

// "%.14G": at most 14 significant digits, half away from zero, trailing zeros and
// a bare point dropped; the exponent form (1.2345678901234E+015, 1.5E-005, at
// least three exponent digits) from 1e14 up and below 1e-4. inf and nan print
// "INF", "-INF", "NAN".
std::wstring FormatGeneral(double value);
