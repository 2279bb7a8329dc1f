#pragma once
// The routines under the number formats: reading a number from typed text, the
// ABS parameter, rounding to a power of ten, numbers and amounts in Chinese
// numerals, thousands separators, digit transliteration and the digit of one
// decimal position (the boxes of a split amount field).

#include <string>

// Digits 0-9 (entries 0-9) and the units of 10^1 to 10^16 (entries 10-25); the
// units of 10^4, 10^8, 10^12 and 10^16 close a group of four digits.
struct ChineseNumerals {
    const wchar_t* text[26];
};

extern const ChineseNumerals kLowerChineseNumerals; // 〇一二 … 十百千万 …
extern const ChineseNumerals kUpperChineseNumerals; // 零壹贰 … 拾佰仟万 …

// "点" and "负".
extern const wchar_t* const kChinesePointWord;
extern const wchar_t* const kChineseNegativeWord;

// "整", "元", "角", "分": entry 2 is the unit of the first decimal, 3 of the second.
struct AmountWords {
    const wchar_t* text[4];
};
extern const AmountWords kAmountWords;

// Reads a decimal number as typed: blanks around it, an optional sign, digits, a
// point, an exponent; a suffix w/W multiplies by 10000 and k/K by 1000; an x/X
// rereads the text as a hexadecimal integer ("0x1F" is 31). An empty or blank text
// reads 0. False for anything else, and for a number too large for a double; no
// locale, no "inf" or "nan".
bool ParseNumberText(const wchar_t* text, double& out);

// |value| when the parameter is "ABS" in any letter case, else the value.
double ApplyAbsParameter(double value, const wchar_t* parameter);

// Rounds to the power of ten that the step's size names (0.05 and 0.01 round to
// hundredths, 5 and 10 to tens, 11 to hundreds), halves upwards (-2.5 by 1 is -2).
// A step of 0, inf or nan names no power of ten: the result is nan, which callers
// take as "no result".
double RoundToPowerOfTen(double value, double step);

// Writes a number printed by "%.14G" in Chinese numerals ("123" -> 一百二十三,
// "1.5E-005" -> 〇点〇〇〇〇一五). False, and out empty, for a text of 128 or more
// characters, any other character, or a leading digit above 10^16.
bool ToChineseNumeral(const ChineseNumerals& table, const wchar_t* number, std::wstring& out);

// Writes an amount printed by "%.02f" in Chinese with 元角分 and 整 ("123.05" ->
// 壹佰贰拾叁元零伍分). A negative amount gets "负" in front. False, and out empty,
// for 128 or more characters, other characters, more than one point, more than
// two decimals or more than 17 integer digits.
bool ToChineseAmount(const ChineseNumerals& table, const AmountWords& words, const wchar_t* amount,
                     std::wstring& out);

// "1234567.00" -> "1,234,567.00"; a leading "-" stays in front; a text without a
// point is left as it is. Always true.
bool InsertThousandsSeparators(std::wstring& text);

// Each digit '0'-'9' becomes the table's digit ("2009" -> 贰零零玖); any other
// character makes the whole result empty.
std::wstring TransliterateDigits(const wchar_t* text, const ChineseNumerals& table);

// The digit (0-9) at the decimal position 10^position (position -4 to 15) of
// |value| as the amount formats print it: nudged and rounded half away from zero
// to two decimals, so the boxes show what the amount in words says; for 10^-3 and
// 10^-4 the shortest decimal of the double rounded to that many decimals. 0 for a
// position outside -4 to 15 and for inf or nan.
int DigitAtPosition(double value, int position);
