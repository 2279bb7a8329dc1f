// The data layout of a page inside the template XML: "dox:datapage" with the
// main table's fields, then one "dox:datatable" per child table with its fields.

#include <cstring>
#include <string>

#include <tinyxml2.h>

#include "CharBuffer.h"
#include "DataField.h"
#include "DataFunction.h"
#include "DataPage.h"
#include "DataTable.h"
#include "ModuleError.h"

namespace
{

constexpr const char* kPageTag = "dox:datapage";
constexpr const char* kTableTag = "dox:datatable";
constexpr const char* kFieldTag = "dox:datafield";
constexpr const char* kExecuteTag = "dox:function_execute";
constexpr const char* kFilterTag = "dox:function_filter";

bool IsNamed(const tinyxml2::XMLElement* element, const char* name)
{
    return element && element->Name() && std::strcmp(element->Name(), name) == 0;
}

// Reads like atoi: blanks, a sign, digits up to the first non-digit; 0 without.
int64_t ReadInteger(const tinyxml2::XMLElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT64_C(0xFFFFFFFF))
            value = INT64_C(0xFFFFFFFF); // beyond every 32-bit reading
    }
    return negative ? -value : value;
}

std::wstring ReadText(const tinyxml2::XMLElement* element, const char* name)
{
    const char* text = element->Attribute(name);
    return text ? Utf8ToWide(std::string(text)) : std::wstring();
}

void WriteText(tinyxml2::XMLElement* element, const char* name, const std::wstring& text)
{
    element->SetAttribute(name, WideToUtf8(text).c_str());
}

void WriteInteger(tinyxml2::XMLElement* element, const char* name, int64_t value)
{
    element->SetAttribute(name, std::to_string(value).c_str());
}

} // namespace

int DataField::WriteXml(tinyxml2::XMLElement* element)
{
    if (!element)
        return 0;
    WriteText(element, "name", name_);
    WriteInteger(element, "type", type_);
    tinyxml2::XMLElement* execute = element->InsertNewChildElement(kExecuteTag);
    if (!execute || !execute_->WriteXml(execute))
        return 0;
    tinyxml2::XMLElement* filter = element->InsertNewChildElement(kFilterTag);
    if (!filter || !filterList_->WriteXml(filter))
        return 0;
    return 1;
}

int DataField::ReadXml(tinyxml2::XMLElement* element)
{
    if (!IsNamed(element, kFieldTag))
        return 0;
    name_ = ReadText(element, "name");
    const int64_t type = ReadInteger(element, "type");
    if (name_.empty())
        return 0;
    // A type outside the four value types comes only from a damaged file; every
    // lookup by type would run past its table.
    if (type < 0 || type > 3) {
        SetModuleErrorFormat(L"字段%ls的类型%lld无效，模板文件可能已经损坏。", name_.c_str(),
                             static_cast<long long>(type));
        return 0;
    }
    type_ = static_cast<uint32_t>(type);
    if (tinyxml2::XMLElement* execute = element->FirstChildElement(kExecuteTag)) {
        if (!execute_->ReadXml(execute))
            return 0;
    }
    if (tinyxml2::XMLElement* filter = element->FirstChildElement(kFilterTag)) {
        if (!filterList_->ReadXml(filter))
            return 0;
    }
    return 1;
}

int DataContainer::WriteFields(tinyxml2::XMLElement* element)
{
    for (const auto& field : fields_) {
        if (field->GetRefCount() <= 0)
            continue;
        tinyxml2::XMLElement* child = element->InsertNewChildElement(kFieldTag);
        if (!child || !field->WriteXml(child))
            return 0;
    }
    return 1;
}

int DataContainer::ReadFields(tinyxml2::XMLElement* element)
{
    for (tinyxml2::XMLElement* child = element->FirstChildElement(kFieldTag); child;
         child = child->NextSiblingElement(kFieldTag)) {
        DataField* field = AppendField();
        if (!field->ReadXml(child))
            return 0;
    }
    return 1;
}

int DataTable::WriteXml(tinyxml2::XMLElement* element)
{
    if (!IsNamed(element, kTableTag))
        return 0;
    WriteText(element, "id", key_);
    WriteText(element, "name", name_);
    WriteInteger(element, "rows", rows_);
    return WriteFields(element);
}

int DataTable::ReadXml(tinyxml2::XMLElement* element)
{
    if (!IsNamed(element, kTableTag))
        return 0;
    key_ = ReadText(element, "id");
    name_ = ReadText(element, "name");
    rows_ = static_cast<int32_t>(ReadInteger(element, "rows"));
    return ReadFields(element);
}

int DataPage::WriteXml(tinyxml2::XMLElement* element)
{
    if (!IsNamed(element, kPageTag))
        return 0;
    WriteInteger(element, "maxtid", nextTableNumber_);
    if (!WriteFields(element))
        return 0;
    return WriteTables(element);
}

int DataPage::ReadXml(tinyxml2::XMLElement* element)
{
    RemoveAllTables();
    if (!IsNamed(element, kPageTag))
        return 0;
    nextTableNumber_ = static_cast<int32_t>(ReadInteger(element, "maxtid"));
    if (!ReadFields(element))
        return 0;
    return ReadTables(element);
}

int DataPage::WriteTables(tinyxml2::XMLElement* element)
{
    for (DataTable* table : tables_) {
        tinyxml2::XMLElement* child = element->InsertNewChildElement(kTableTag);
        if (!child || !table->WriteXml(child))
            return 0;
    }
    return 1;
}

int DataPage::ReadTables(tinyxml2::XMLElement* element)
{
    for (tinyxml2::XMLElement* child = element->FirstChildElement(kTableTag); child;
         child = child->NextSiblingElement(kTableTag)) {
        auto* table = new DataTable(this, std::wstring(), std::wstring());
        tables_.push_back(table);
        if (!table->ReadXml(child))
            return 0;
    }
    return 1;
}
