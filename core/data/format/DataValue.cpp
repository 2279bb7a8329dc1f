#include "DataValue.h"

DataValue::DataValue(const DataValue& other)
    : type(other.type), reserved(other.reserved), value(other.value), text(other.text)
{
    if (other.PointsAtOwnText())
        value.text = text.c_str();
}

DataValue::DataValue(DataValue&& other) noexcept
{
    *this = std::move(other);
}

DataValue& DataValue::operator=(const DataValue& other)
{
    if (this != &other) {
        const bool own = other.PointsAtOwnText();
        type = other.type;
        reserved = other.reserved;
        value = other.value;
        text = other.text;
        if (own)
            value.text = text.c_str();
    }
    return *this;
}

DataValue& DataValue::operator=(DataValue&& other) noexcept
{
    if (this != &other) {
        // Decided before the move: a short text changes its address when moved.
        const bool own = other.PointsAtOwnText();
        type = other.type;
        reserved = other.reserved;
        value = other.value;
        text = std::move(other.text);
        if (own)
            value.text = text.c_str();
    }
    return *this;
}

void DataValue::SetText(const wchar_t* newText)
{
    text = newText ? newText : L"";
    value.text = text.c_str();
}

void DataValue::SetNumber(double number)
{
    value.number = number;
    SetDefaultText(type == kFormatNumber);
}

void DataValue::SetTime(uint64_t time)
{
    value.time = time;
    SetDefaultText(type == kFormatDate || type == kFormatDateTime);
}

void DataValue::SetDefaultText(bool typeMatches)
{
    text.clear();
    // Only a record whose type matches what was stored may be formatted: the
    // text entry would read a number's bits as a text pointer.
    if (!typeMatches || GetFormatCount(type) == 0)
        return;
    std::wstring formatted;
    if (FormatById(type << 16, formatted, nullptr, &value))
        text = std::move(formatted);
}
