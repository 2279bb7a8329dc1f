#include "DataContainer.h"

#include <algorithm>

#include "BillText.h"
#include "DataCell.h"
#include "DataField.h"
#include "DataFunction.h"
#include "DataPage.h"
#include "DataRow.h"
#include "DataTable.h"

DataContainer::DataContainer() = default;

DataContainer::~DataContainer()
{
    rows_.clear();
    fields_.clear();
}

DataField* DataContainer::AddField(const wchar_t* name)
{
    if (name && *name) {
        if (DataField* field = LookupField(name)) {
            field->AddRef();
            return field;
        }
    }
    std::wstring fieldName = (name && *name) ? std::wstring(name) : MakeFieldName();
    fields_.push_back(std::make_unique<DataField>(this, std::move(fieldName), 1));
    DataField* field = fields_.back().get();
    // No cell exists for the new field until the rows are laid out again.
    field->SetColumn(static_cast<int32_t>(fields_.size()) - 1);
    return field;
}

DataField* DataContainer::AppendField()
{
    fields_.push_back(std::make_unique<DataField>(this, std::wstring(), 0));
    DataField* field = fields_.back().get();
    field->SetColumn(static_cast<int32_t>(fields_.size()) - 1);
    return field;
}

DataField* DataContainer::FindField(const wchar_t* name)
{
    DataField* field = LookupField(name);
    if (field)
        field->AddRef();
    return field;
}

DataField* DataContainer::LookupField(const wchar_t* name) const
{
    if (!name || !*name)
        return nullptr;
    for (const auto& field : fields_) {
        if (bill::EqualsNoCase(field->GetName(), name))
            return field.get();
    }
    return nullptr;
}

void DataContainer::RemoveField(DataField* field)
{
    auto it =
        std::find_if(fields_.begin(), fields_.end(), [field](const auto& f) { return f.get() == field; });
    if (it == fields_.end())
        return;
    // Rows laid out before keep a cell for the field: it must not reach the
    // destroyed field any more.
    for (const auto& row : rows_) {
        if (DataCell* cell = row->GetCell(field->GetColumn()); cell && cell->GetField() == field)
            cell->DetachField();
    }
    // Observer lists of other fields of the page may name this field's functions.
    std::vector<DataContainer*> containers{this};
    if (DataPage* page = GetPage()) {
        containers = {page};
        for (DataTable* table : page->Tables())
            containers.push_back(table);
    }
    for (DataContainer* container : containers) {
        for (const auto& other : container->fields_) {
            other->RemoveObserver(&field->Execute());
            other->RemoveObserver(&field->Filter());
        }
    }
    if (DataPage* page = GetPage())
        page->ForgetField(field);
    std::unique_ptr<DataField> owned = std::move(*it);
    fields_.erase(it);
    owned->DropRef();
}

DataField* DataContainer::RenameField(const wchar_t* newName, DataField* field)
{
    if (!field)
        return nullptr;
    if (!newName || !*newName) {
        field->Release();
        return nullptr;
    }
    if (field->GetName() == newName)
        return field;
    if (field->GetRefCount() != 1) {
        field->DropRef();
        return AddField(newName);
    }
    DataField* other = LookupField(newName);
    if (other && other != field) {
        other->AddRef();
        field->Release();
        return other;
    }
    // No other field has the name (or only the letter case changes): the field
    // takes the new name itself.
    field->SetName(newName);
    if (DataPage* page = GetPage())
        page->RekeyField(field);
    return field;
}

std::wstring DataContainer::MakeFieldName() const
{
    int32_t n = static_cast<int32_t>(fields_.size());
    for (const auto& field : fields_)
        n = std::max(n, bill::ReadNumberedName(field->GetName(), L"字段"));
    return L"字段" + std::to_wstring(static_cast<int64_t>(n) + 1);
}

DataRow* DataContainer::GetRow(int32_t row) const
{
    if (row < 0 || static_cast<size_t>(row) >= rows_.size())
        return nullptr;
    return rows_[row].get();
}

namespace
{

DataCell* CellOf(const DataContainer* container, int32_t row, DataField* field)
{
    if (!field || field->GetContainer() != container)
        return nullptr;
    DataRow* r = container->GetRow(row);
    return r ? r->GetCell(field->GetColumn()) : nullptr;
}

} // namespace

int DataContainer::SetCellText(int32_t row, DataField* field, const wchar_t* text, std::wstring* message)
{
    DataCell* cell = CellOf(this, row, field);
    return cell ? cell->SetText(text, message) : 0;
}

int DataContainer::FormatCell(int32_t row, DataField* field, uint32_t formatId, std::wstring& out,
                              const wchar_t* parameter)
{
    DataCell* cell = CellOf(this, row, field);
    return cell ? cell->FormatValue(formatId, out, parameter) : 0;
}

int DataContainer::GetCellText(int32_t row, DataField* field, std::wstring& out)
{
    DataCell* cell = CellOf(this, row, field);
    if (!cell)
        return 0;
    out = cell->GetEnteredText();
    return 1;
}

int DataContainer::LayOutRows()
{
    const uint32_t n = static_cast<uint32_t>(GetRows());
    if (n > kMaxRows)
        return 0;
    int32_t column = 0;
    for (const auto& field : fields_)
        field->SetColumn(column++);
    rows_.clear();
    rows_.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
        auto row = std::make_unique<DataRow>(static_cast<int32_t>(i), this);
        if (!row->CreateCells(this))
            return 0;
        rows_.push_back(std::move(row));
    }
    return 1;
}

void DataContainer::DestroyRows()
{
    rows_.clear();
}

void DataContainer::ClearValues()
{
    ClearValuesQuietly();
    NotifyRows();
}

void DataContainer::ClearValuesQuietly()
{
    for (const auto& row : rows_) {
        row->ClearQuietly();
        row->SetRecordId(-1);
    }
}

void DataContainer::ClearObservers()
{
    for (const auto& field : fields_)
        field->ClearObservers();
}

void DataContainer::ResetFunctions()
{
    for (const auto& field : fields_) {
        field->Execute().ResetFunctions();
        field->Filter().ResetFunctions();
    }
}

void DataContainer::ForgetRowIds()
{
    for (const auto& row : rows_)
        row->SetRecordId(-1);
}

int DataContainer::IsEmpty() const
{
    for (const auto& row : rows_) {
        if (row->HasAnyValue())
            return 0;
    }
    return 1;
}

int64_t DataContainer::GetRecordId(int32_t row) const
{
    DataRow* r = GetRow(row);
    return r ? r->GetRecordId() : 0;
}

void DataContainer::NotifyRows()
{
    for (const auto& row : rows_)
        row->Notify();
}

void DataContainer::DropConnection()
{
    connection_ = nullptr;
    prefix_.clear();
    statements_.reset();
}

DataContainer::Statements& DataContainer::TableStatements()
{
    if (!statements_)
        statements_ = std::make_unique<Statements>();
    for (SqlCommand* command : {&statements_->insert, &statements_->update, &statements_->load, &statements_->remove})
        command->SetConnection(connection_);
    return *statements_;
}
