#include "DataPage.h"

#include <algorithm>
#include <limits>

#include "BillText.h"
#include "DataCell.h"
#include "DataField.h"
#include "DataFunction.h"
#include "DataRow.h"
#include "DataTable.h"

namespace
{
const std::wstring kMainName = L"主表";
const std::wstring kMainKey = L"_MainTable";
} // namespace

DataPage::DataPage() = default;

DataPage::~DataPage()
{
    RemoveAllTables();
}

const std::wstring& DataPage::GetName() const
{
    return kMainName;
}

const std::wstring& DataPage::GetKey() const
{
    return kMainKey;
}

std::vector<DataContainer*> DataPage::AllContainers()
{
    std::vector<DataContainer*> all{this};
    all.insert(all.end(), tables_.begin(), tables_.end());
    return all;
}

// Tables.

DataTable* DataPage::AddTable(const wchar_t* name)
{
    const bool named = name && *name;
    if (named && !IsTableNameFree(name))
        return nullptr;
    std::wstring tableName = named ? std::wstring(name) : MakeTableName();
    // The key names the table's SQL table: a damaged or hand-edited next number
    // must not give a key that a table already has.
    std::wstring key;
    do {
        // A counter at its end (only a damaged "maxtid" gets there) starts again from
        // 0; the search still skips every key in use.
        if (nextTableNumber_ < 0 || nextTableNumber_ == std::numeric_limits<int32_t>::max())
            nextTableNumber_ = 0;
        key = L"_table" + std::to_wstring(nextTableNumber_);
        ++nextTableNumber_;
    } while (std::any_of(tables_.begin(), tables_.end(),
                         [&key](const DataTable* t) { return bill::EqualsNoCase(t->GetKey(), key); }));
    auto* table = new DataTable(this, std::move(tableName), std::move(key));
    tables_.push_back(table);
    table->AddRef();
    return table;
}

DataTable* DataPage::FindTable(const wchar_t* name)
{
    DataTable* table = LookupTable(name);
    if (table)
        table->AddRef();
    return table;
}

DataTable* DataPage::LookupTable(const wchar_t* name) const
{
    if (!name || !*name)
        return nullptr;
    for (DataTable* table : tables_) {
        if (bill::EqualsNoCase(table->GetName(), name))
            return table;
    }
    return nullptr;
}

int DataPage::IsTableNameFree(const wchar_t* name) const
{
    if (!name || !*name || bill::EqualsNoCase(kMainName, name))
        return 0;
    return LookupTable(name) ? 0 : 1;
}

std::wstring DataPage::MakeTableName() const
{
    int32_t n = static_cast<int32_t>(tables_.size());
    for (DataTable* table : tables_)
        n = std::max(n, bill::ReadNumberedName(table->GetName(), L"附表"));
    return L"附表" + std::to_wstring(static_cast<int64_t>(n) + 1);
}

void DataPage::RemoveAllTables()
{
    std::vector<DataTable*> tables;
    tables.swap(tables_);
    fieldMap_.clear();
    fieldList_.clear();
    // Fields of the main table may observe fields of the tables going away.
    ClearObservers();
    for (DataTable* table : tables)
        delete table;
}

bool DataPage::ForgetField(DataField* field)
{
    fieldList_.clear();
    return std::erase_if(fieldMap_, [field](const auto& entry) { return entry.second == field; }) > 0;
}

void DataPage::RekeyField(DataField* field)
{
    if (ForgetField(field))
        fieldMap_.emplace(field->GetQualifiedName(), field);
}

void DataPage::UnlinkTable(DataTable* table)
{
    std::erase(tables_, table);
    // The map and the list may name the table's fields.
    std::erase_if(fieldMap_, [table](const auto& entry) { return entry.second->GetContainer() == table; });
    fieldList_.clear();
    for (const auto& field : table->Fields()) {
        for (DataContainer* container : AllContainers()) {
            for (const auto& other : container->Fields()) {
                other->RemoveObserver(&field->Execute());
                other->RemoveObserver(&field->Filter());
            }
        }
    }
}

// Preparation.

int DataPage::PrepareStore(SqlConnection* connection, const wchar_t* pageId)
{
    storeReady_ = 0;
    if (!LayOutAllRows())
        return 0;
    if (!PrepareTables(connection, pageId))
        return 0;
    BuildFieldMap();
    CheckFunctions();
    storeReady_ = 1;
    return 1;
}

int DataPage::LayOutAllRows()
{
    for (DataContainer* container : AllContainers()) {
        container->ClearObservers();
        if (!container->LayOutRows())
            return 0;
    }
    return 1;
}

void DataPage::BuildFieldMap()
{
    ClearFieldMap();
    for (DataContainer* container : AllContainers()) {
        for (const auto& field : container->Fields())
            fieldMap_.emplace(field->GetQualifiedName(), field.get());
    }
}

void DataPage::CheckFunctions()
{
    for (DataContainer* container : AllContainers()) {
        for (const auto& field : container->Fields()) {
            field->Execute().Refresh();
            field->Filter().Refresh();
        }
    }
}

void DataPage::ClearRows()
{
    std::vector<DataContainer*> order(tables_.begin(), tables_.end());
    order.push_back(this);
    for (DataContainer* container : order) {
        container->DestroyRows();
        container->ResetFunctions();
        container->DropConnection();
    }
    storeReady_ = 0;
}

int DataPage::ResetRecordIds()
{
    ClearAllValues();
    modified_ = 0;
    return 1;
}

void DataPage::ClearAllValues()
{
    const std::vector<DataContainer*> containers = AllContainers();
    for (DataContainer* container : containers)
        container->ClearValuesQuietly();
    for (DataContainer* container : containers)
        container->NotifyRows();
}

void DataPage::ForgetAllRowIds()
{
    for (DataContainer* container : AllContainers())
        container->ForgetRowIds();
}

int DataPage::HasAnyValue() const
{
    if (!IsEmpty())
        return 1;
    for (DataTable* table : tables_) {
        if (!table->IsEmpty())
            return 1;
    }
    return 0;
}

int DataPage::NotifyObservers()
{
    for (DataContainer* container : AllContainers())
        container->NotifyRows();
    return 1;
}

// Field operations.

const std::vector<DataField*>& DataPage::GetFieldList(DataContainer* container)
{
    fieldList_.clear();
    std::vector<DataContainer*> containers;
    if (container)
        containers.push_back(container);
    else
        containers = AllContainers();
    for (DataContainer* c : containers) {
        for (const auto& field : c->Fields())
            fieldList_.push_back(field.get());
    }
    return fieldList_;
}

DataField* DataPage::FindFieldByKey(const wchar_t* qualifiedName) const
{
    if (!qualifiedName || !*qualifiedName)
        return nullptr;
    auto it = fieldMap_.find(qualifiedName);
    return it == fieldMap_.end() ? nullptr : it->second;
}

DataField* DataPage::FindFieldByQualifiedName(const wchar_t* name) const
{
    if (!name)
        return nullptr;
    const std::wstring_view text(name);
    const size_t dot = text.find(L'.');
    if (dot == std::wstring_view::npos)
        return nullptr;
    const std::wstring containerName(text.substr(0, dot));
    std::wstring_view fieldPart = text.substr(dot + 1);
    fieldPart = fieldPart.substr(0, fieldPart.find(L'.'));
    const DataContainer* container = nullptr;
    if (bill::EqualsNoCase(containerName, kMainName))
        container = this;
    else
        container = LookupTable(containerName.c_str());
    return container ? container->LookupField(std::wstring(fieldPart).c_str()) : nullptr;
}

int DataPage::SetFieldText(const wchar_t* qualifiedName, int32_t row, const wchar_t* text)
{
    DataField* field = FindFieldByKey(qualifiedName);
    if (!field)
        return 0;
    return field->GetContainer()->SetCellText(row, field, text, nullptr);
}

int DataPage::TestFieldText(const wchar_t* qualifiedName, int32_t row, const wchar_t* text,
                            std::wstring* message)
{
    if (!qualifiedName || !*qualifiedName) {
        if (message)
            *message = L"无效的字段名";
        return 0;
    }
    DataField* field = FindFieldByKey(qualifiedName);
    if (!field) {
        if (message)
            *message = L"指定的字段不存在";
        return 0;
    }
    return field->TestText(text, row, message, nullptr);
}

IDoxValue* DataPage::GetFieldValue(const wchar_t* qualifiedName, int32_t row) const
{
    DataField* field = FindFieldByKey(qualifiedName);
    return field ? field->GetCell(row) : nullptr;
}
