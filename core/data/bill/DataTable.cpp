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
    // A change of letter case only: the name stays this table's own.
    if (bill::EqualsNoCase(name_, name)) {
        name_ = name;
        return 1;
    }
    if (page_ && !page_->IsTableNameFree(name))
        return 0;
    name_ = name;
    return 1;
}
