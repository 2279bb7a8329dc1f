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

    // Begins a transaction that takes the write lock at once (waiting for another
    // process for a few seconds). Inside a transaction that is already open on the
    // connection, the scope joins it: the commit and the rollback are left to the
    // scope that began it.
    void Begin(SqlConnection* connection);
    // False when no transaction could begin (the database stayed locked, or there is
    // no connection); the statements must then not run, for each would commit alone.
    bool Active() const { return open_ || joined_; }
    // True when the commit went through; a failed commit leaves the transaction
    // for the closing rollback.
    bool Commit();
    void Rollback();
    // SQLite's message when the begin or the commit failed.
    const std::wstring& ErrorText() const { return errorText_; }

private:
    SqlConnection* connection_ = nullptr;
    bool open_ = false;   // Begin ran and the closing rollback is still due
    bool joined_ = false; // runs inside a transaction begun by another scope
    std::wstring errorText_;
};
