#pragma once
// A typed value with its default text, as the data cells and the function
// library pass values around.

#include "FormatCatalogue.h"

#include <cstdint>
#include <string>

struct DataValue {
    uint32_t type = kNoValueType; // a category, or kNoValueType
    uint32_t reserved = 0;        // carried along, never interpreted here
    FormatValue value{};
    std::wstring text;

    DataValue() { value.time = 0; }
    // A copied or moved text value points at its own copy of the text.
    DataValue(const DataValue& other);
    DataValue(DataValue&& other) noexcept;
    DataValue& operator=(const DataValue& other);
    DataValue& operator=(DataValue&& other) noexcept;

    // The text becomes a copy of text (null: empty) and the value points at it.
    void SetText(const wchar_t* text);
    // Store the value; the text becomes the value in the "<默认>" format of the
    // record's type, which the caller sets beforehand (number for SetNumber, date
    // or date-time for SetTime). A record of another type gets an empty text.
    void SetNumber(double number);
    void SetTime(uint64_t time);

private:
    bool PointsAtOwnText() const { return type == kFormatText && value.text == text.c_str(); }
    void SetDefaultText(bool typeMatches);
};
