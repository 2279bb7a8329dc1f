#include "DataTable.h"

#include "BillText.h"
#include "DataPage.h"

DataTable::DataTable(DataPage* page, std::wstring name, std::wstring key)
    : page_(page), name_(std::move(name)), key_(std::move(key))
{
}

DataTable::~DataTable() = default;

void DataTable::Release()
{
    if (--refCount_ > 0)
        return;
    if (page_)
        page_->UnlinkTable(this);
    delete this;
}

DataContainer* DataTable::AddRef()
{
    ++refCount_;
    return this;
}

void DataTable::SetModified()
{
    if (page_)
        page_->SetModified();
}

int DataTable::SetName(const wchar_t* name)
{
    if (!name || !*name)
        return 0;
    if (name_ == name)
        return 1;
    // A change of letter case only keeps the name this table's own.
    if (!bill::EqualsNoCase(name_, name) && page_ && !page_->IsTableNameFree(name))
        return 0;
    name_ = name;
    // The page looks its fields up by their qualified names, which carry the table's.
    if (page_) {
        for (const auto& field : Fields())
            page_->RekeyField(field.get());
    }
    return 1;
}
