#include "BillFormats.h"

#include <cmath>
#include <cstring>

#include "DataValue.h"
#include "DecimalText.h"
#include "FormatCatalogue.h"
#include "NumberCore.h"

namespace bill
{

namespace
{

FormatValue ToFormat(const RawValue& raw)
{
    FormatValue value;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

RawValue FromFormat(const FormatValue& value)
{
    RawValue raw;
    std::memcpy(&raw, &value, sizeof raw);
    return raw;
}

} // namespace

bool FormatRaw(uint32_t id, std::wstring& out, const wchar_t* parameter, const RawValue& value)
{
    const FormatValue v = ToFormat(value);
    return FormatById(id, out, parameter, &v) != 0;
}

bool ParseRaw(uint32_t type, const wchar_t* text, RawValue& value, std::wstring* message)
{
    ParseFunction parse = GetParseFunction(type);
    if (!parse)
        return false;
    FormatValue v = ToFormat(value);
    if (!parse(text ? text : L"", v, message))
        return false;
    value = FromFormat(v);
    return true;
}

std::wstring DefaultText(uint32_t type, const RawValue& value)
{
    std::wstring text;
    if (!FormatRaw(type << 16, text, nullptr, value))
        text.clear();
    return text;
}

bool ParseNumber(const wchar_t* text, double& out)
{
    return ParseNumberText(text ? text : L"", out);
}

bool RoundStep(double x, double step, double& out)
{
    const double rounded = RoundToPowerOfTen(x, step);
    if (std::isnan(rounded))
        return false;
    out = rounded;
    return true;
}

std::wstring NumberG14(double value)
{
    return FormatGeneral(value);
}

uint32_t ValueType(const DataValue& value)
{
    return value.type;
}

void SetValueType(DataValue& value, uint32_t type)
{
    value.type = type;
}

RawValue ValueRaw(const DataValue& value)
{
    return FromFormat(value.value);
}

const wchar_t* ValueText(const DataValue& value)
{
    return value.text.c_str();
}

void ValueSetText(DataValue& value, const wchar_t* text)
{
    value.SetText(text);
}

void ValueSetNumber(DataValue& value, double number)
{
    value.SetNumber(number);
}

void ValueSetTime(DataValue& value, uint64_t time)
{
    value.SetTime(time);
}

void ValueSetRaw(DataValue& value, const RawValue& raw)
{
    value.value = ToFormat(raw);
    // A text value keeps pointing at the record's own text.
    if (value.type == kFormatText)
        value.value.text = value.text.c_str();
}

void ValueCopy(DataValue& target, const DataValue& source)
{
    target = source;
}

void ValueClear(DataValue& value)
{
    value = DataValue();
}

} // namespace bill
