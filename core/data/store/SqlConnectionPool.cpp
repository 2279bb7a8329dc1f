#include "SqlConnectionPool.h"

#include "CharBuffer.h"
#include "PathText.h"
#include "SqlStatement.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <new>

namespace
{

SqlConnectionPool*& ModulePool()
{
    static SqlConnectionPool* pool = nullptr;
    return pool;
}

} // namespace

SqlPoolConnection::~SqlPoolConnection()
{
    CloseDatabase();
}

void SqlPoolConnection::CloseDatabase()
{
    for (sqlite3_stmt*& statement : fixed_) {
        if (statement)
            sqlite3_finalize(statement);
        statement = nullptr;
    }
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool SqlPoolConnection::RunFixed(Fixed which, std::wstring* error)
{
    static const char* const kSql[kFixedCount] = {
        // Immediate: the write lock is taken (waiting for another process's writer)
        // before any statement runs, so a transaction never fails half-way for a lock.
        "begin immediate transaction",
        "commit transaction",
        "rollback transaction",
    };
    sqlthread::Check(owner_);
    if (!db_) {
        if (error)
            *error = L"Invalid sqlite connection.";
        return false;
    }
    sqlite3_stmt*& statement = fixed_[which];
    if (!statement &&
        sqlite3_prepare_v3(db_, kSql[which], -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        if (error)
            *error = Utf8ToWide(std::string(sqlite3_errmsg(db_)));
        sqlite3_finalize(statement);
        statement = nullptr;
        return false;
    }
    const int rc = sqlite3_step(statement);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (!ok && error)
        *error = Utf8ToWide(std::string(sqlite3_errmsg(db_)));
    sqlite3_reset(statement);
    return ok;
}

void SqlPoolConnection::Release()
{
    if (--refCount_ > 0)
        return;
    if (pool_)
        pool_->Unlink(this);
    delete this;
}

void SqlConnectionPool::Init()
{
    if (!ModulePool())
        ModulePool() = new SqlConnectionPool;
}

void SqlConnectionPool::Shutdown()
{
    SqlConnectionPool* pool = ModulePool();
    if (!pool)
        return;
    // Statements first: a connection closes cleanly only once every statement
    // on it is finalized.
    pool->FinalizeAll();
    pool->CloseAll();
    ModulePool() = nullptr;
    delete pool;
}

bool SqlConnectionPool::IsInitialised()
{
    return ModulePool() != nullptr;
}

SqlConnectionPool* SqlConnectionPool::Get()
{
    return ModulePool();
}

SqlConnectionPool::~SqlConnectionPool()
{
    FinalizeAll();
    CloseAll();
}

std::wstring SqlConnectionPool::CanonicalPath(const wchar_t* path)
{
    if (!path || !*path)
        return std::wstring();
    std::wstring text(path);
    if (text == L":memory:")
        return text;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path p = plat::PathFromWide(text);
    fs::path abs = fs::absolute(p, ec);
    if (ec)
        return text;
    fs::path canon = fs::weakly_canonical(abs, ec);
    if (ec)
        canon = abs.lexically_normal();
    return plat::WideOfPath(canon);
}

SqlPoolConnection* SqlConnectionPool::GetOrOpen(const wchar_t* path)
{
    if (!path || !*path)
        return nullptr;
    std::wstring key = CanonicalPath(path);
    for (SqlPoolConnection* entry : connections_) {
        if (entry->path_ == key) {
            entry->AddRef();
            return entry;
        }
    }
    auto* entry = new (std::nothrow) SqlPoolConnection;
    if (!entry)
        return nullptr;
    entry->path_ = key;
    sqlite3* db = nullptr;
    std::string utf8 = WideToUtf8(key);
    // A pooled connection serves one thread, the one that opened it (the backup opens
    // its own), so SQLite need not lock it around every call: a list of a hundred
    // thousand bills reads its four million cells without four million locks. Debug
    // builds check the thread at every use (SqlThread.h).
    int rc = sqlite3_open_v2(utf8.c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK || !db) {
        if (db)
            sqlite3_close_v2(db);
        delete entry;
        return nullptr;
    }
    // Another process may hold the database for a moment: wait for it instead of
    // failing at once.
    sqlite3_busy_timeout(db, SqlPoolConnection::kBusyTimeoutMs);
    // A new database keeps its text in UTF-16, as databases made by the other
    // builds of this system do; an existing database keeps its own encoding.
    sqlite3_exec(db, "PRAGMA encoding = 'UTF-16le'", nullptr, nullptr, nullptr);
    // A write-ahead log with a full sync at every commit: a committed bill survives a
    // crash or a power cut, readers never wait for a writer, and a commit costs one
    // sync of the log instead of the rollback journal's four. The database file is
    // whole again once its last connection closes (SQLite then folds the log in).
    sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    entry->db_ = db;
    entry->owner_ = std::this_thread::get_id();
    entry->pool_ = this;
    entry->refCount_ = 1;
    connections_.insert(connections_.begin(), entry);
    return entry;
}

SqlStatement* SqlConnectionPool::NewStatement(SqlPoolConnection* connection)
{
    if (!connection)
        return nullptr;
    auto* statement = new (std::nothrow) SqlStatement;
    if (!statement)
        return nullptr;
    statement->pool_ = this;
    statement->db_ = connection->Handle();
    statement->owner_ = connection->Owner();
    statement->refCount_ = 1;
    statements_.push_back(statement);
    return statement;
}

void SqlConnectionPool::FinalizeAll()
{
    std::vector<SqlStatement*> statements;
    statements.swap(statements_);
    for (SqlStatement* statement : statements) {
        statement->Finalize();
        statement->pool_ = nullptr;
        statement->db_ = nullptr;
        // Pool entries always have a holder (they are freed at zero); the holder
        // frees this one when it lets go.
    }
}

void SqlConnectionPool::CloseAll()
{
    std::vector<SqlPoolConnection*> connections;
    connections.swap(connections_);
    for (SqlPoolConnection* entry : connections) {
        entry->CloseDatabase();
        entry->pool_ = nullptr;
        if (entry->refCount_ <= 0)
            delete entry;
    }
}

void SqlConnectionPool::Unlink(SqlPoolConnection* connection)
{
    auto it = std::find(connections_.begin(), connections_.end(), connection);
    if (it != connections_.end())
        connections_.erase(it);
}

void SqlConnectionPool::Unlink(SqlStatement* statement)
{
    auto it = std::find(statements_.begin(), statements_.end(), statement);
    if (it != statements_.end())
        statements_.erase(it);
}
