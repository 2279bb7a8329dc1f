#pragma once
// One row of a container: one cell per field, in field order, and the id of the
// database row it was loaded from or saved to (-1: not stored).

#include <cstdint>
#include <memory>
#include <vector>

class DataCell;
class DataContainer;

class DataRow
{
public:
    DataRow(int32_t index, DataContainer* container);
    ~DataRow();
    DataRow(const DataRow&) = delete;
    DataRow& operator=(const DataRow&) = delete;

    int CreateCells(DataContainer* container);
    void ClearValues();
    // Empties every cell without telling the fields' observers.
    void ClearQuietly();
    void Notify();
    void Destroy();

    int32_t GetIndex() const { return index_; }
    int64_t GetRecordId() const { return recordId_; }
    void SetRecordId(int64_t id) { recordId_ = id; }
    size_t CellCount() const { return cells_.size(); }
    DataCell* GetCell(int32_t column) const;
    bool HasAnyValue() const;

private:
    int32_t index_;
    int64_t recordId_ = -1;
    std::vector<std::unique_ptr<DataCell>> cells_;
    DataContainer* container_;
};
