#pragma once
// The catalogue of value formats: every place that shows a field's value turns it
// into text through one entry of this fixed table. Four categories (text, number,
// date, date-time), each an array of entries; an id is category << 16 | index.

#include <cstdint>
#include <string>

enum FormatCategory : uint32_t {
    kFormatText = 0,
    kFormatNumber = 1,
    kFormatDate = 2,
    kFormatDateTime = 3,
    kFormatCategoryCount = 4,
};

// The type word of a value that holds nothing.
constexpr uint32_t kNoValueType = 4;

// The 8-byte value of a field: a text pointer (not owned), a number, or a date or
// date-time as 100-ns ticks since 1601 taken from the calendar fields as entered
// (0 = no date).
union FormatValue {
    const wchar_t* text;
    double number;
    uint64_t time;
};
static_assert(sizeof(FormatValue) == 8, "a field value is 8 bytes");

// (parameter text or null, value of the entry's category, out text): non-zero on
// success; on failure out is empty and 0 is returned.
using FormatFunction = int (*)(const wchar_t* parameter, const FormatValue* value, std::wstring& out);

struct FormatEntry {
    uint32_t id; // written by InitFormatCatalogue
    const wchar_t* name;
    FormatFunction format;
    uint32_t takesParameter; // 1 when the function reads the parameter text
    const wchar_t* example;
};

// (text, out value, out error text or null): true when the text reads as a value
// of the category.
using ParseFunction = bool (*)(const wchar_t* text, FormatValue& out, std::wstring* error);

// Writes every entry's id. Called once from the core's start-up, before any
// format is looked up; nothing needs undoing at shut-down.
void InitFormatCatalogue();

// "文本", "数值", "日期", "日期时间"; null outside the four.
const wchar_t* GetFormatCategoryName(uint32_t category);
// 0 outside the four categories.
uint32_t GetFormatCount(uint32_t category);
// Null outside the catalogue.
const FormatEntry* GetFormatEntry(uint32_t category, uint32_t index);
const FormatEntry* GetFormatEntryById(uint32_t id);

// Formats a value with the entry id names. 0, and out untouched, for an id
// outside the catalogue (or a null value); else the entry's result.
int FormatById(uint32_t id, std::wstring& out, const wchar_t* parameter, const FormatValue* value);

// The id of the first entry of the category whose name matches, ignoring the
// case of A-Z. False when the category or the name is unknown.
bool FindFormatId(uint32_t category, const wchar_t* name, uint32_t& id);

// The parse function of a category; null outside the four.
ParseFunction GetParseFunction(uint32_t category);

// Text: the value points at the given text itself (the caller keeps it alive);
// always true.
bool ParseTextValue(const wchar_t* text, FormatValue& out, std::wstring* error);
// Number: ParseNumberText; on failure the error is "无效的数字".
bool ParseNumberValue(const wchar_t* text, FormatValue& out, std::wstring* error);
