#include "SqlStatement.h"

#include "CharBuffer.h"
#include "SqlConnectionPool.h"

#include <sqlite3.h>

#include <cwctype>

SqlStatement::~SqlStatement()
{
    Finalize();
}

void SqlStatement::Release()
{
    if (--refCount_ > 0)
        return;
    if (pool_)
        pool_->Unlink(this);
    delete this;
}

void SqlStatement::Finalize()
{
    if (stmt_) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

void SqlStatement::FailFromDatabase()
{
    if (db_)
        errorText_ = Utf8ToWide(std::string(sqlite3_errmsg(db_)));
    else
        errorText_ = Utf8ToWide(std::string(sqlite3_errstr(SQLITE_MISUSE)));
    Finalize();
}

bool SqlStatement::Compile(const std::wstring& sql)
{
    sqlthread::Check(owner_);
    Finalize();
    errorText_.clear();
    if (!db_) {
        errorText_ = L"Invalid sqlite connection.";
        return false;
    }
    std::string utf8 = WideToUtf8(sql);
    const char* p = utf8.c_str();
    const char* end = p + utf8.size();
    for (;;) {
        while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v'))
            ++p;
        if (p >= end) {
            // Only white space (or empty statements) left: nothing to run.
            errorText_ = L"SQL statement is null.";
            return false;
        }
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db_, p, static_cast<int>(end - p), &stmt_, &tail);
        if (rc == SQLITE_SCHEMA)
            rc = sqlite3_prepare_v2(db_, p, static_cast<int>(end - p), &stmt_, &tail);
        if (rc != SQLITE_OK) {
            FailFromDatabase();
            return false;
        }
        if (stmt_)
            return true;
        // An empty statement (a lone ";" or a comment): go on with the next.
        if (!tail || tail <= p) {
            errorText_ = L"SQL statement is null.";
            return false;
        }
        p = tail;
    }
}

int SqlStatement::Next()
{
    sqlthread::Check(owner_);
    if (!stmt_) {
        if (errorText_.empty())
            errorText_ = Utf8ToWide(std::string(sqlite3_errstr(SQLITE_MISUSE)));
        return 0;
    }
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return 1;
    if (rc == SQLITE_DONE)
        return 2;
    FailFromDatabase();
    return 0;
}

bool SqlStatement::ValidColumn(int column) const
{
    sqlthread::Check(owner_);
    return stmt_ && column >= 0 && column < sqlite3_column_count(stmt_);
}

int SqlStatement::ColumnCount() const
{
    sqlthread::Check(owner_);
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

std::wstring SqlStatement::ColumnName(int column) const
{
    if (!ValidColumn(column))
        return std::wstring();
    const char* name = sqlite3_column_name(stmt_, column);
    return name ? Utf8ToWide(std::string(name)) : std::wstring();
}

std::wstring SqlStatement::ColumnText(int column) const
{
    std::wstring text;
    ColumnText(column, text);
    return text;
}

std::u16string_view SqlStatement::ColumnUtf16(int column) const
{
    if (!ValidColumn(column))
        return {};
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(stmt_, column));
    if (!text)
        return {};
    return std::u16string_view(text, static_cast<size_t>(sqlite3_column_bytes16(stmt_, column)) / 2);
}

void SqlStatement::ColumnText(int column, std::wstring& out) const
{
    const std::u16string_view text = ColumnUtf16(column);
    Utf16ToWide(text.data(), text.size(), out);
}

void SqlStatement::ColumnUtf8(int column, std::string& out) const
{
    // The database keeps UTF-16: read as such, the text is converted once, here.
    const std::u16string_view text = ColumnUtf16(column);
    Utf16ToUtf8(text.data(), text.size(), out);
}

int32_t SqlStatement::ColumnInt(int column) const
{
    return ValidColumn(column) ? sqlite3_column_int(stmt_, column) : 0;
}

int64_t SqlStatement::ColumnInt64(int column) const
{
    return ValidColumn(column) ? sqlite3_column_int64(stmt_, column) : 0;
}

const void* SqlStatement::ColumnBlob(int column) const
{
    return ValidColumn(column) ? sqlite3_column_blob(stmt_, column) : nullptr;
}

int SqlStatement::ColumnBytes(int column) const
{
    return ValidColumn(column) ? sqlite3_column_bytes(stmt_, column) : 0;
}

int SqlStatement::ColumnType(int column) const
{
    return ValidColumn(column) ? sqlite3_column_type(stmt_, column) : SQLITE_NULL;
}

bool SqlStatement::IsNull(int column) const
{
    return ColumnType(column) == SQLITE_NULL;
}
