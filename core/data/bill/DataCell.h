#pragma once
// The value of one field in one row: what the operator typed and its parsed
// value. Handed to the programs as IDoxValue.

#include <cstdint>
#include <string>

#include "BillFormats.h"
#include "IDoxValue.h"

class DataField;
struct DataValue;

class DataCell : public IDoxValue
{
public:
    DataCell(DataField* field, int32_t row);
    virtual ~DataCell() = default;
    DataCell(const DataCell&) = delete;
    DataCell& operator=(const DataCell&) = delete;

    uint32_t GetType() override;
    const wchar_t* GetText() override;
    double GetNumber() override;
    uint64_t GetTime() override;
    const wchar_t* Format(uint32_t formatIndex, const wchar_t* parameter) override;

    int FormatValue(uint32_t formatId, std::wstring& out, const wchar_t* parameter) const;
    int GetNumberIfSet(double& out) const;
    int GetValue(DataValue& out) const;
    int SetValue(const DataValue& value);
    int SetText(const wchar_t* text, std::wstring* message);
    void Clear();
    // Empties the cell without telling anyone (the row notifies afterwards).
    void ClearQuietly();

    bool HasValue() const { return hasValue_ != 0; }
    const std::wstring& GetEnteredText() const { return entered_; }
    const RawValue& GetRaw() const { return value_; }
    DataField* GetField() const { return field_; }
    // The field was destroyed while the row still exists: the cell goes dead.
    void DetachField() { field_ = nullptr; }
    int32_t GetRow() const { return row_; }

    // The value as it is stored (the field's stored format), empty without a value.
    std::wstring DefaultValueText() const;

private:
    RawValue value_ = bill::EmptyRaw();
    std::wstring entered_;
    std::wstring formatted_;
    DataField* field_;
    int32_t hasValue_ = 0;
    int32_t row_;

    void PointTextValue();
};
