#pragma once
// A transaction scope on a connection: begin, statements, commit on success, and
// always a closing "rollback transaction" when the scope ends (harmless after a
// commit, since SQLite then has no transaction to roll back), so a scope left
// early by a failure is always rolled back.

#include <string>

class SqlConnection;

class SqlTransaction
{
public:
    SqlTransaction() = default;
    explicit SqlTransaction(SqlConnection* connection) { Begin(connection); }
    // Runs the closing rollback when Begin ran and Rollback did not.
    ~SqlTransaction();
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;

    void Begin(SqlConnection* connection);
    // True when the commit went through; a failed commit leaves the transaction
    // for the closing rollback.
    bool Commit();
    void Rollback();
    // SQLite's message when the commit failed.
    const std::wstring& ErrorText() const { return errorText_; }

private:
    SqlConnection* connection_ = nullptr;
    bool open_ = false; // Begin ran and the closing rollback is still due
    std::wstring errorText_;
};
