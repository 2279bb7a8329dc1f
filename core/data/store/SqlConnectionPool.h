#pragma once
// One process-wide pool of open SQLite connections, keyed by canonical database
// path, and of the prepared statements on them. Every user of one database file
// shares one connection, so a transaction begun by one user covers the
// statements of every other user of that file until it ends.

#include "SqlThread.h"

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
class SqlConnectionPool;
class SqlStatement;

// One open database. Reference counted by its users (SqlConnection); closed and
// freed when the last one lets go.
class SqlPoolConnection
{
public:
    SqlPoolConnection(const SqlPoolConnection&) = delete;
    SqlPoolConnection& operator=(const SqlPoolConnection&) = delete;

    void AddRef() { ++refCount_; }
    void Release();

    sqlite3* Handle() const
    {
        sqlthread::Check(owner_);
        return db_;
    }
    // The thread that opened the database, the only one that may use it.
    std::thread::id Owner() const { return owner_; }
    // The canonical path the database was opened with.
    const std::wstring& Path() const { return path_; }
    int RefCount() const { return refCount_; }

    // The statements that begin, commit and roll back a transaction, compiled once
    // per connection: a bill is saved in a transaction of its own.
    enum Fixed { kBegin, kCommit, kRollback, kFixedCount };
    // Runs one of them; false with SQLite's message in `error` (when given).
    bool RunFixed(Fixed which, std::wstring* error);

    // How long a statement waits for another process's lock on the database before
    // it fails with "database is locked".
    static constexpr int kBusyTimeoutMs = 5000;

private:
    friend class SqlConnectionPool;
    SqlPoolConnection() = default;
    ~SqlPoolConnection();
    // Finalizes the fixed statements and closes the database.
    void CloseDatabase();

    SqlConnectionPool* pool_ = nullptr; // null once the pool has let it go
    int refCount_ = 0;
    sqlite3* db_ = nullptr;
    std::wstring path_;
    std::thread::id owner_;
    sqlite3_stmt* fixed_[kFixedCount] = {};
};

class SqlConnectionPool
{
public:
    // Prepares the module pool; after Shutdown it can be prepared again.
    static void Init();
    // Finalizes every statement, then closes every connection, then forgets the
    // pool. Entries still held by someone stay alive (without a database) until
    // their holders let go, so no holder is left with a dangling pointer.
    static void Shutdown();
    static bool IsInitialised();
    // The module pool; null before Init and after Shutdown.
    static SqlConnectionPool* Get();

    // The connection for a path (compared canonically and exactly) with one more
    // reference, opening the database when no entry has it; null for an empty
    // path or when SQLite cannot open it.
    SqlPoolConnection* GetOrOpen(const wchar_t* path);

    // A new statement entry on a connection, with one reference.
    SqlStatement* NewStatement(SqlPoolConnection* connection);

    void FinalizeAll();
    void CloseAll();

    int ConnectionCount() const { return static_cast<int>(connections_.size()); }
    int StatementCount() const { return static_cast<int>(statements_.size()); }

    // The canonical form of a path used as the pool's key.
    static std::wstring CanonicalPath(const wchar_t* path);

private:
    friend class SqlPoolConnection;
    friend class SqlStatement;
    SqlConnectionPool() = default;
    ~SqlConnectionPool();

    void Unlink(SqlPoolConnection* connection);
    void Unlink(SqlStatement* statement);

    std::vector<SqlPoolConnection*> connections_; // most recently opened first
    std::vector<SqlStatement*> statements_;       // in order of creation
};
