#include "FormatCatalogue.h"

#include "AsciiCase.h"
#include "DateFormats.h"
#include "NumberCore.h"
#include "NumberFormats.h"
#include "TextFormats.h"

#include <span>

namespace
{

const wchar_t* const kCategoryNames[kFormatCategoryCount] = {L"文本", L"数值", L"日期", L"日期时间"};

std::span<FormatEntry> Category(uint32_t category)
{
    switch (category) {
    case kFormatText:
        return TextFormatEntries();
    case kFormatNumber:
        return NumberFormatEntries();
    case kFormatDate:
        return DateFormatEntries();
    case kFormatDateTime:
        return DateTimeFormatEntries();
    default:
        return {};
    }
}

const ParseFunction kParseTable[kFormatCategoryCount] = {
    &ParseTextValue,
    &ParseNumberValue,
    &ParseDateEntry,
    &ParseDateTimeEntry,
};

} // namespace

void InitFormatCatalogue()
{
    for (uint32_t c = 0; c < kFormatCategoryCount; ++c) {
        const std::span<FormatEntry> entries = Category(c);
        for (uint32_t i = 0; i < entries.size(); ++i)
            entries[i].id = c << 16 | i;
    }
}

const wchar_t* GetFormatCategoryName(uint32_t category)
{
    return category < kFormatCategoryCount ? kCategoryNames[category] : nullptr;
}

uint32_t GetFormatCount(uint32_t category)
{
    return static_cast<uint32_t>(Category(category).size());
}

const FormatEntry* GetFormatEntry(uint32_t category, uint32_t index)
{
    const std::span<FormatEntry> entries = Category(category);
    return index < entries.size() ? &entries[index] : nullptr;
}

const FormatEntry* GetFormatEntryById(uint32_t id)
{
    return GetFormatEntry(id >> 16, id & 0xFFFF);
}

int FormatById(uint32_t id, std::wstring& out, const wchar_t* parameter, const FormatValue* value)
{
    const FormatEntry* entry = GetFormatEntryById(id);
    if (!entry || !value)
        return 0;
    return entry->format(parameter, value, out);
}

bool FindFormatId(uint32_t category, const wchar_t* name, uint32_t& id)
{
    if (!name)
        return false;
    const std::span<FormatEntry> entries = Category(category);
    for (uint32_t i = 0; i < entries.size(); ++i) {
        if (EqualIgnoringAsciiCase(entries[i].name, name)) {
            id = category << 16 | i;
            return true;
        }
    }
    return false;
}

ParseFunction GetParseFunction(uint32_t category)
{
    return category < kFormatCategoryCount ? kParseTable[category] : nullptr;
}

bool ParseTextValue(const wchar_t* text, FormatValue& out, std::wstring*)
{
    out.text = text;
    return true;
}

bool ParseNumberValue(const wchar_t* text, FormatValue& out, std::wstring* error)
{
    double value = 0;
    if (!ParseNumberText(text, value)) {
        if (error)
            *error = L"无效的数字";
        return false;
    }
    out.number = value;
    return true;
}
