#pragma once
// A prepared statement entry of the pool, shared by reference between the
// command that prepared it and the readers that walk its rows.

#include "SqlThread.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

struct sqlite3;
struct sqlite3_stmt;
class SqlConnectionPool;

class SqlStatement
{
public:
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    void AddRef() { ++refCount_; }
    // At zero the entry leaves the pool, its handle is finalized and it is freed.
    void Release();

    // One step: 1 a row, 2 done, 0 an error (the error text is set and the
    // statement finalized, so it cannot be stepped again without a new Prepare).
    int Next();

    // Null when the statement is finalized.
    sqlite3_stmt* Handle() const
    {
        sqlthread::Check(owner_);
        return stmt_;
    }
    const std::wstring& ErrorText() const { return errorText_; }

    // Column readers of the current row; safe defaults (0, empty, null) without a
    // handle or outside the columns.
    int ColumnCount() const;
    std::wstring ColumnName(int column) const;
    std::wstring ColumnText(int column) const;
    // The same into a text that keeps its storage (read as UTF-16, the database's
    // own encoding, so SQLite converts nothing).
    void ColumnText(int column, std::wstring& out) const;
    // The same in UTF-8.
    void ColumnUtf8(int column, std::string& out) const;
    int32_t ColumnInt(int column) const;
    int64_t ColumnInt64(int column) const;
    const void* ColumnBlob(int column) const;
    int ColumnBytes(int column) const;
    // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL.
    int ColumnType(int column) const;
    bool IsNull(int column) const;

private:
    friend class SqlConnectionPool;
    friend class SqlCommand;
    SqlStatement() = default;
    ~SqlStatement();

    bool ValidColumn(int column) const;
    // The column's text as the database keeps it; empty for NULL or a bad column.
    std::u16string_view ColumnUtf16(int column) const;
    void Finalize();
    // Copies SQLite's message for the database into the error text and finalizes.
    void FailFromDatabase();
    // Compiles the first non-empty statement of the text; false with the error
    // text set otherwise.
    bool Compile(const std::wstring& sql);

    SqlConnectionPool* pool_ = nullptr; // null once the pool has let it go
    sqlite3* db_ = nullptr;
    std::thread::id owner_; // the thread of the connection it was prepared on
    sqlite3_stmt* stmt_ = nullptr;
    std::wstring errorText_;
    int refCount_ = 0;
};

// Holds one reference on a statement entry and gives it back when it goes.
class SqlStatementRef
{
public:
    SqlStatementRef() = default;
    ~SqlStatementRef() { Reset(); }
    SqlStatementRef(const SqlStatementRef&) = delete;
    SqlStatementRef& operator=(const SqlStatementRef&) = delete;
    SqlStatementRef(SqlStatementRef&& other) noexcept : statement_(std::exchange(other.statement_, nullptr))
    {
    }
    SqlStatementRef& operator=(SqlStatementRef&& other) noexcept
    {
        if (this != &other) {
            Reset();
            statement_ = std::exchange(other.statement_, nullptr);
        }
        return *this;
    }

    // Takes a new reference on the statement (null allowed) after giving back the old one.
    void Reset(SqlStatement* statement = nullptr)
    {
        if (statement)
            statement->AddRef();
        if (statement_)
            statement_->Release();
        statement_ = statement;
    }

    SqlStatement* get() const { return statement_; }
    SqlStatement* operator->() const { return statement_; }
    explicit operator bool() const { return statement_ != nullptr; }

private:
    SqlStatement* statement_ = nullptr;
};
