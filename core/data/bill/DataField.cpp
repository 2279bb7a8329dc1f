#include "DataField.h"

#include <algorithm>

#include "DataCell.h"
#include "DataContainer.h"
#include "DataFunction.h"
#include "FormatCatalogue.h"
#include "FunctionLibrary.h"
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

uint32_t DataField::StoredFormatId() const
{
    const uint32_t plain = type_ << 16;
    if (type_ != 1 || !filterList_)
        return plain;
    const FunctionEntry* round = GetFunctionEntry(DataFunction::kFilter, 2);
    for (const DataFunctionObject* object : filterList_->Objects()) {
        const auto& params = object->Params();
        if (!round || object->GetEntry() != round || params.empty() ||
            params[0].kind != DataFunctionParam::kNumber)
            continue;
        // The rounding multiplies by ten until the step reaches one: as many decimals.
        double step = params[0].constant < 0 ? -params[0].constant : params[0].constant;
        std::wstring name = L"0.";
        while (step > 0 && step < 1 && name.size() < 8) {
            step *= 10;
            name += L'0';
        }
        uint32_t id = plain;
        if (name.size() > 2 && step >= 1 && FindFormatId(type_, name.c_str(), id))
            return id;
    }
    return plain;
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
    std::vector<int32_t>& rows = rowsByObserver_[observer];
    if (std::find(rows.begin(), rows.end(), row) != rows.end())
        return;
    rows.push_back(row);
    observersByRow_[row].push_back({nextObserverOrder_++, observer});
    ++observerCount_;
}

void DataField::RemoveObserver(DataObserver* observer)
{
    auto found = rowsByObserver_.find(observer);
    if (found == rowsByObserver_.end())
        return;
    for (int32_t row : found->second) {
        auto entries = observersByRow_.find(row);
        if (entries == observersByRow_.end())
            continue;
        observerCount_ -= std::erase_if(entries->second,
                                        [observer](const ObserverEntry& e) { return e.observer == observer; });
        if (entries->second.empty())
            observersByRow_.erase(entries);
    }
    rowsByObserver_.erase(found);
}

void DataField::ClearObservers()
{
    observersByRow_.clear();
    rowsByObserver_.clear();
    observerCount_ = 0;
}

void DataField::NotifyObservers(int32_t row)
{
    // The observers of the row and those of every row, in the order they were
    // added. An observer may add or drop observers while it runs: walk a copy.
    std::vector<ObserverEntry> entries;
    if (auto own = observersByRow_.find(row); own != observersByRow_.end())
        entries = own->second;
    if (row != -1) {
        if (auto all = observersByRow_.find(-1); all != observersByRow_.end()) {
            const size_t middle = entries.size();
            entries.insert(entries.end(), all->second.begin(), all->second.end());
            std::inplace_merge(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(middle), entries.end(),
                               [](const ObserverEntry& a, const ObserverEntry& b) { return a.order < b.order; });
        }
    }
    for (const ObserverEntry& entry : entries)
        entry.observer->Update(row);
}

DataCell* DataField::GetCell(int32_t row) const
{
    if (!container_)
        return nullptr;
    DataRow* r = container_->GetRow(row);
    return r ? r->GetCell(column_) : nullptr;
}
