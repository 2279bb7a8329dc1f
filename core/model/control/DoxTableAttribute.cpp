#include "DoxTableAttribute.h"

#include "DataPage.h"
#include "DataTable.h"
#include "DoxAttribKinds.h"

namespace
{
constexpr const wchar_t* kBadTableName = L"数据表名包含无效的字符或者保留的字符串";
constexpr const wchar_t* kTableNameTaken = L"数据表名不能重复";

// A name the SQL store can take as a table name: digits, Latin letters, "_" and
// characters above 128, not starting with the store's reserved "sqlite_".
bool IsValidTableName(const std::wstring& name)
{
    if (name.empty())
        return false;
    for (wchar_t c : name) {
        const bool ok = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') ||
                        c == L'_' || static_cast<uint32_t>(c) > 128;
        if (!ok)
            return false;
    }
    static const wchar_t reserved[] = L"sqlite_";
    if (name.size() < 7)
        return true;
    for (size_t i = 0; i < 7; ++i) {
        wchar_t c = name[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != reserved[i])
            return true;
    }
    return false;
}
} // namespace

DoxTableAttribute::DoxTableAttribute() : DoxAttribute("datatable", L"数据表"), tableName_("tablename", L"数据表", L"")
{
    tableName_.SetShared(true);
    AddItem(&tableName_);
}

DoxTableAttribute::~DoxTableAttribute()
{
    SetTable(nullptr);
}

int32_t DoxTableAttribute::GetKindId() const
{
    return DoxAttribKindId::Table;
}

void DoxTableAttribute::SetTable(DataTable* table)
{
    if (table_)
        table_->Release();
    table_ = table;
}

bool DoxTableAttribute::Bind(DataPage* page, bool isNew)
{
    page_ = page;
    SetTable(nullptr);
    if (!page)
        return false;
    DataTable* table = isNew ? nullptr : page->FindTable(tableName_.GetText().c_str());
    if (!table)
        table = page->AddTable(tableName_.GetText().c_str());
    // A new control whose name is already taken gets a table of its own under the
    // page's default name rather than none.
    if (!table)
        table = page->AddTable(L"");
    SetTable(table);
    Refresh();
    return table_ != nullptr;
}

void DoxTableAttribute::Refresh()
{
    if (table_)
        tableName_.SetTextLimited(table_->GetName());
    DoxAttribute::Refresh();
}

bool DoxTableAttribute::AcceptChange(bool changing)
{
    if (!changing || GetChangingItem() != &tableName_)
        return DoxAttribute::AcceptChange(changing);
    const std::wstring name = tableName_.GetText();
    if (!IsValidTableName(name)) {
        tableName_.SetErrorText(kBadTableName);
        return false;
    }
    if (page_ && !page_->IsTableNameFree(name.c_str())) {
        tableName_.SetErrorText(kTableNameTaken);
        return false;
    }
    if (table_)
        table_->SetName(name.c_str());
    RefreshOwnerSet();
    return DoxAttribute::AcceptChange(changing);
}
