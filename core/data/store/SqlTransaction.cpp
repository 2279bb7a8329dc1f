#include "SqlTransaction.h"

#include "SqlCommand.h"

namespace
{

bool Run(SqlConnection* connection, const wchar_t* sql, std::wstring* error = nullptr)
{
    SqlCommand command(connection, sql);
    bool ok = command.Prepare() && command.Step();
    if (!ok && error)
        *error = command.ErrorText();
    return ok;
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
    open_ = true;
    Run(connection_, L"begin transaction");
}

bool SqlTransaction::Commit()
{
    errorText_.clear();
    return Run(connection_, L"commit transaction", &errorText_);
}

void SqlTransaction::Rollback()
{
    open_ = false;
    Run(connection_, L"rollback transaction");
}
