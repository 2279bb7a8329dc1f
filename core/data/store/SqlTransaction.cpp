#include "SqlTransaction.h"

#include "SqlConnection.h"
#include "SqlConnectionPool.h"

#include <sqlite3.h>

namespace
{

bool Run(SqlConnection* connection, SqlPoolConnection::Fixed which, std::wstring* error = nullptr)
{
    SqlPoolConnection* entry = connection ? connection->Entry() : nullptr;
    if (!entry) {
        if (error)
            *error = L"Invalid sqlite connection.";
        return false;
    }
    return entry->RunFixed(which, error);
}

} // namespace

SqlTransaction::~SqlTransaction()
{
    if (open_)
        Rollback();
}

void SqlTransaction::Begin(SqlConnection* connection)
{
    connection_ = connection;
    errorText_.clear();
    sqlite3* db = connection ? connection->Handle() : nullptr;
    if (db && !sqlite3_get_autocommit(db)) {
        joined_ = true;
        return;
    }
    open_ = Run(connection_, SqlPoolConnection::kBegin, &errorText_);
}

bool SqlTransaction::Commit()
{
    if (joined_)
        return true;
    // Without an open transaction SQLite refuses the commit with its own message.
    errorText_.clear();
    return Run(connection_, SqlPoolConnection::kCommit, &errorText_);
}

void SqlTransaction::Rollback()
{
    if (!open_)
        return;
    open_ = false;
    // After a commit SQLite has no transaction to roll back and refuses, harmlessly.
    if (sqlite3* db = connection_ ? connection_->Handle() : nullptr; db && !sqlite3_get_autocommit(db))
        Run(connection_, SqlPoolConnection::kRollback);
}
