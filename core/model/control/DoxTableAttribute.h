#pragma once
// The "datatable" group of the table control: the name of the child table of the
// page's bill data that the control binds to. Renaming the item renames the table.

#include "DoxAttribItemStr.h"
#include "DoxAttribute.h"

class DataPage;
class DataTable;

class DoxTableAttribute : public DoxAttribute
{
public:
    DoxTableAttribute();
    ~DoxTableAttribute() override;
    DoxTableAttribute(const DoxTableAttribute&) = delete;
    DoxTableAttribute& operator=(const DoxTableAttribute&) = delete;

    int32_t GetKindId() const override;
    void Refresh() override;
    bool AcceptChange(bool changing) override;

    // Binds the table of the item's name (a loaded or copied control shares it) or,
    // for a new control or a name the page does not have, a new table of the page.
    // False when the page gives no table.
    bool Bind(DataPage* page, bool isNew);

    DataTable* GetTable() const { return table_; }
    DoxAttribItemStr& TableName() { return tableName_; }

private:
    void SetTable(DataTable* table);

    DoxAttribItemStr tableName_;
    DataPage* page_ = nullptr;
    DataTable* table_ = nullptr;
};
