#include "SqlConnection.h"

#include "SqlConnectionPool.h"

#include <sqlite3.h>

SqlConnection::~SqlConnection()
{
    Close();
}

int SqlConnection::Open(const wchar_t* path)
{
    Close();
    SqlConnectionPool* pool = SqlConnectionPool::Get();
    if (!pool)
        return 0;
    entry_ = pool->GetOrOpen(path);
    return entry_ ? 1 : 0;
}

void SqlConnection::Close()
{
    if (entry_) {
        entry_->Release();
        entry_ = nullptr;
    }
}

sqlite3* SqlConnection::Handle() const
{
    return entry_ ? entry_->Handle() : nullptr;
}

std::wstring SqlConnection::Path() const
{
    return entry_ ? entry_->Path() : std::wstring();
}

bool SqlConnection::IsPath(const wchar_t* path) const
{
    if (!entry_ || !path || !*path)
        return false;
    return SqlConnectionPool::CanonicalPath(path) == entry_->Path();
}

int64_t SqlConnection::LastInsertRowId() const
{
    sqlite3* db = Handle();
    return db ? sqlite3_last_insert_rowid(db) : 0;
}
