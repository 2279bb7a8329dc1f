#include "SqlCommand.h"

#include "CharBuffer.h"
#include "SqlConnection.h"
#include "SqlConnectionPool.h"

#include <sqlite3.h>

SqlCommand::SqlCommand(SqlConnection* connection, const wchar_t* sql) : connection_(connection)
{
    SetSql(sql);
}

SqlCommand::~SqlCommand() = default;

void SqlCommand::SetSql(const wchar_t* sql)
{
    sql_ = sql ? sql : L"";
    params_.clear();
}

int SqlCommand::AddText(const wchar_t* name, const wchar_t* text)
{
    SqlParameter p;
    p.name = name ? name : L"";
    p.type = kSqlParamText;
    p.hasData = text != nullptr;
    if (text)
        p.text = text;
    params_.push_back(std::move(p));
    return 1;
}

int SqlCommand::AddBlob(const wchar_t* name, const void* bytes, uint32_t size)
{
    SqlParameter p;
    p.name = name ? name : L"";
    p.type = kSqlParamBlob;
    p.hasData = bytes != nullptr && size > 0; // no bytes bind SQL null
    if (bytes && size) {
        const auto* b = static_cast<const uint8_t*>(bytes);
        p.bytes.assign(b, b + size);
    }
    params_.push_back(std::move(p));
    return 1;
}

int SqlCommand::AddInt(const wchar_t* name, int32_t value)
{
    return AddInt64(name, static_cast<int64_t>(value));
}

int SqlCommand::AddInt64(const wchar_t* name, int64_t value)
{
    SqlParameter p;
    p.name = name ? name : L"";
    p.type = kSqlParamInt64;
    p.intValue = value;
    p.hasData = true;
    params_.push_back(std::move(p));
    return 1;
}

int SqlCommand::Prepare()
{
    hasRow_ = false;
    errorText_.clear();
    if (!connection_) {
        errorText_ = L"Invalid sqlite connection.";
        return 0;
    }
    if (sql_.empty()) {
        errorText_ = L"SQL statement is null.";
        return 0;
    }
    // A statement entry belongs to one database: after the command was pointed at
    // another connection it needs a new one.
    if (statement_ && statement_->db_ != connection_->Handle())
        statement_.Reset();
    if (!statement_) {
        SqlConnectionPool* pool = SqlConnectionPool::Get();
        SqlPoolConnection* entry = connection_->Entry();
        if (!pool || !entry) {
            errorText_ = L"Memory out.";
            return 0;
        }
        SqlStatement* statement = pool->NewStatement(entry);
        if (!statement) {
            errorText_ = L"Memory out.";
            return 0;
        }
        statement_.Reset(statement);
        statement->Release(); // the command's reference is the one Reset took
    }
    sqlite3_stmt* compiled = statement_->Handle();
    if (compiled && compiledSql_ == sql_ && statement_->refCount_ == 1) {
        // The result of the last run was reported by its Step.
        sqlite3_reset(compiled);
        sqlite3_clear_bindings(compiled);
    } else {
        compiledSql_.clear();
        if (!statement_->Compile(sql_)) {
            errorText_ = statement_->ErrorText();
            return 0;
        }
        compiledSql_ = sql_;
    }
    if (!Bind()) {
        statement_->Finalize();
        return 0;
    }
    return 1;
}

bool SqlCommand::Bind()
{
    sqlite3_stmt* stmt = statement_->Handle();
    for (const SqlParameter& p : params_) {
        std::string name = WideToUtf8(p.name);
        int index = sqlite3_bind_parameter_index(stmt, name.c_str());
        if (index == 0) {
            errorText_ = L"no parameter with the given name is found.";
            return false;
        }
        int rc;
        switch (p.type) {
        case kSqlParamInt64:
            rc = sqlite3_bind_int64(stmt, index, p.intValue);
            break;
        case kSqlParamDouble:
            rc = sqlite3_bind_double(stmt, index, p.doubleValue);
            break;
        case kSqlParamText:
            if (p.hasData) {
                std::string text = WideToUtf8(p.text);
                rc = sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                                       SQLITE_TRANSIENT);
            } else {
                rc = sqlite3_bind_null(stmt, index);
            }
            break;
        case kSqlParamBlob:
            if (p.hasData)
                rc = sqlite3_bind_blob(stmt, index, p.bytes.data(), static_cast<int>(p.bytes.size()),
                                       SQLITE_TRANSIENT);
            else
                rc = sqlite3_bind_null(stmt, index);
            break;
        case kSqlParamNull:
            rc = sqlite3_bind_null(stmt, index);
            break;
        default:
            errorText_ = L"unknown parameter type.";
            return false;
        }
        if (rc != SQLITE_OK) {
            errorText_ = Utf8ToWide(std::string(sqlite3_errmsg(sqlite3_db_handle(stmt))));
            return false;
        }
    }
    return true;
}

int SqlCommand::Step()
{
    hasRow_ = false;
    if (!statement_ || !statement_->Handle()) {
        errorText_ = statement_ && !statement_->ErrorText().empty() ? statement_->ErrorText()
                                                                    : L"SQL statement is null.";
        return 0;
    }
    int rc = sqlite3_step(statement_->Handle());
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) {
        hasRow_ = rc == SQLITE_ROW;
        return 1;
    }
    statement_->FailFromDatabase();
    errorText_ = statement_->ErrorText();
    return 0;
}

SqlStatement* SqlCommand::ExecuteReader(SqlStatementRef& out)
{
    out.Reset();
    if (!Prepare())
        return nullptr;
    out.Reset(statement_.get());
    return out.get();
}

int SqlCommand::ExecuteBlob(const void** data, int* size)
{
    if (data)
        *data = nullptr;
    if (size)
        *size = 0;
    if (!Prepare() || !Step())
        return 0;
    if (hasRow_) {
        if (size)
            *size = statement_->ColumnBytes(0);
        if (data)
            *data = statement_->ColumnBlob(0);
    }
    return 1;
}
