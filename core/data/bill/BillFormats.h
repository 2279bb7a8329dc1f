#pragma once
// The few services of the value-format catalogue that the bill data uses, in one
// place: formatting and parsing of a cell's 8-byte value, number reading,
// rounding to a power of ten and "%.14G" numbers.

#include <cstdint>
#include <string>

struct DataValue;

namespace bill
{

// The 8-byte value of a cell: a text pointer (text), a double (number) or a
// FILETIME (date, date-time).
union RawValue {
    const wchar_t* text;
    double number;
    uint64_t time;
};
static_assert(sizeof(RawValue) == 8);

inline RawValue EmptyRaw()
{
    RawValue v;
    v.time = 0;
    return v;
}

// Catalogue entry `id` (category << 16 | index) applied to a value; false (and
// out untouched) outside the catalogue, false with out empty when it fails.
bool FormatRaw(uint32_t id, std::wstring& out, const wchar_t* parameter, const RawValue& value);

// Parse function of the value type (0 text, 1 number, 2 date, 3 date-time). A
// text value points at `text`, which the caller keeps alive.
bool ParseRaw(uint32_t type, const wchar_t* text, RawValue& value, std::wstring* message);

// The catalogue's entry-0 text ("<默认>", no parameter) of a value; empty on failure.
std::wstring DefaultText(uint32_t type, const RawValue& value);

bool ParseNumber(const wchar_t* text, double& out);

// Rounds x to the power of ten that the step names; false for a step that names
// none (0, infinite or not a number).
bool RoundStep(double x, double step, double& out);

// A number as printf's "%.14G" writes it, with the exponent in the form the
// catalogue uses.
std::wstring NumberG14(double value);

// Access to the catalogue's typed value record, kept here so the rest of the
// bill code does not depend on its layout.
uint32_t ValueType(const DataValue& value);
void SetValueType(DataValue& value, uint32_t type);
RawValue ValueRaw(const DataValue& value);
const wchar_t* ValueText(const DataValue& value);
void ValueSetText(DataValue& value, const wchar_t* text);
// Store the value and remake its text with entry 0 of its type's category.
void ValueSetNumber(DataValue& value, double number);
void ValueSetTime(DataValue& value, uint64_t time);
// Stores the 8 bytes and leaves the text as it is (the text a value was parsed
// from stays its text).
void ValueSetRaw(DataValue& value, const RawValue& raw);
void ValueCopy(DataValue& target, const DataValue& source);
void ValueClear(DataValue& value);

} // namespace bill

using RawValue = bill::RawValue;
