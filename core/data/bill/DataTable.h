#pragma once
// A child table of a page (the lines of a grid control): a display name, a key
// that names its SQL table and a number of grid rows.

#include <cstdint>
#include <string>

#include "DataContainer.h"

class DataTable : public DataContainer
{
public:
    DataTable(DataPage* page, std::wstring name, std::wstring key);
    ~DataTable() override;

    const std::wstring& GetName() const override { return name_; }
    const std::wstring& GetKey() const override { return key_; }
    void SetRows(int32_t rows) override { rows_ = rows; }
    int32_t GetRows() const override { return rows_; }
    void Release() override;
    DataContainer* AddRef() override;
    DataPage* GetPage() override { return page_; }
    void SetModified() override;

    int SetName(const wchar_t* name);
    void SetKey(std::wstring key) { key_ = std::move(key); }
    int32_t GetRefCount() const { return refCount_; }

    int WriteXml(tinyxml2::XMLElement* element);
    int ReadXml(tinyxml2::XMLElement* element);

private:
    DataPage* page_;
    int32_t refCount_ = 0;
    std::wstring name_;
    std::wstring key_;
    int32_t rows_ = 0;
};
