#include "DataField.h"

#include <algorithm>

#include "DataCell.h"
#include "DataContainer.h"
#include "DataFunction.h"
#include "DataRow.h"
#include "DataValue.h"

DataField::DataField(DataContainer* container, std::wstring name, int32_t refCount)
    : name_(std::move(name)), container_(container), refCount_(refCount),
      execute_(std::make_unique<DataFunctionExecute>(this)),
      filterList_(std::make_unique<DataFunctionFilter>(this))
{
}

DataField::~DataField() = default;

void DataField::Release()
{
    if (--refCount_ <= 0 && container_)
        container_->RemoveField(this);
}

const std::wstring& DataField::GetQualifiedName()
{
    const std::wstring& containerName = container_ ? container_->GetName() : std::wstring();
    qualifiedName_ = containerName.empty() ? name_ : containerName + L"." + name_;
    return qualifiedName_;
}

int DataField::TestText(const wchar_t* text, int32_t row, std::wstring* message, std::wstring* accepted)
{
    if (!filter_)
        return 1;
    if (!text || !*text)
        return 0;
    DataValue value;
    bill::SetValueType(value, type_);
    bill::ValueSetText(value, text);
    RawValue raw = bill::ValueRaw(value);
    if (!bill::ParseRaw(type_, bill::ValueText(value), raw, message))
        return 0;
    bill::ValueSetRaw(value, raw);
    if (!filter_->Test(row, value, message))
        return 0;
    if (accepted)
        *accepted = bill::ValueText(value);
    return 1;
}

void DataField::AddObserver(int32_t row, DataObserver* observer)
{
    for (const ObserverEntry& entry : observers_) {
        if (entry.row == row && entry.observer == observer)
            return;
    }
    observers_.push_back({row, observer});
}

void DataField::RemoveObserver(DataObserver* observer)
{
    std::erase_if(observers_, [observer](const ObserverEntry& e) { return e.observer == observer; });
}

void DataField::NotifyObservers(int32_t row)
{
    // An observer may add or drop observers while it runs: walk a copy.
    const std::vector<ObserverEntry> entries = observers_;
    for (const ObserverEntry& entry : entries) {
        if (entry.row == row || entry.row == -1)
            entry.observer->Update(row);
    }
}

DataCell* DataField::GetCell(int32_t row) const
{
    if (!container_)
        return nullptr;
    DataRow* r = container_->GetRow(row);
    return r ? r->GetCell(column_) : nullptr;
}
