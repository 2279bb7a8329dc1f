#include "DataRow.h"

#include "DataCell.h"
#include "DataContainer.h"
#include "DataField.h"

DataRow::DataRow(int32_t index, DataContainer* container) : index_(index), container_(container) {}

DataRow::~DataRow() = default;

int DataRow::CreateCells(DataContainer* container)
{
    container_ = container;
    cells_.clear();
    cells_.reserve(container->Fields().size());
    for (const auto& field : container->Fields())
        cells_.push_back(std::make_unique<DataCell>(field.get(), index_));
    return 1;
}

void DataRow::ClearValues()
{
    for (const auto& cell : cells_) {
        cell->ClearQuietly();
        if (DataField* field = cell->GetField())
            field->NotifyObservers(index_);
    }
}

void DataRow::ClearQuietly()
{
    for (const auto& cell : cells_)
        cell->ClearQuietly();
}

void DataRow::Notify()
{
    for (const auto& cell : cells_) {
        if (DataField* field = cell->GetField())
            field->NotifyObservers(index_);
    }
}

void DataRow::Destroy()
{
    cells_.clear();
}

DataCell* DataRow::GetCell(int32_t column) const
{
    if (column < 0 || static_cast<size_t>(column) >= cells_.size())
        return nullptr;
    return cells_[column].get();
}

bool DataRow::HasAnyValue() const
{
    for (const auto& cell : cells_) {
        if (cell->HasValue())
            return true;
    }
    return false;
}
