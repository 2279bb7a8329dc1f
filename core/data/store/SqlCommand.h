#pragma once
// One SQL statement to run on a connection, with parameters bound by name. A
// command can run several statements in turn: SetSql, parameters, Prepare, Step.
// Errors are texts (ErrorText), never exceptions.

#include "SqlStatement.h"

#include <cstdint>
#include <string>
#include <vector>

class SqlConnection;

enum SqlParameterType : uint32_t {
    kSqlParamInt64 = 1,
    kSqlParamDouble = 2,
    kSqlParamText = 3,
    kSqlParamBlob = 4,
    kSqlParamNull = 5,
};

struct SqlParameter {
    std::wstring name; // with its leading "@", e.g. "@docid"
    uint32_t type = kSqlParamNull;
    int64_t intValue = 0;
    double doubleValue = 0;
    std::wstring text;
    bool hasData = false; // false: a null text or blob, bound as SQL null
    std::vector<uint8_t> bytes;
};

class SqlCommand
{
public:
    SqlCommand() = default;
    explicit SqlCommand(SqlConnection* connection, const wchar_t* sql = nullptr);
    ~SqlCommand();
    SqlCommand(const SqlCommand&) = delete;
    SqlCommand& operator=(const SqlCommand&) = delete;

    void SetConnection(SqlConnection* connection) { connection_ = connection; }
    SqlConnection* Connection() const { return connection_; }

    // Replaces the SQL text (null gives an empty text) and drops all parameters.
    void SetSql(const wchar_t* sql);
    const std::wstring& Sql() const { return sql_; }

    // Each appends a parameter and returns 1. A null text binds SQL null, and so
    // does a blob without bytes. AddInt widens its value with its sign.
    int AddText(const wchar_t* name, const wchar_t* text);
    int AddBlob(const wchar_t* name, const void* bytes, uint32_t size);
    int AddInt(const wchar_t* name, int32_t value);
    int AddInt64(const wchar_t* name, int64_t value);
    const std::vector<SqlParameter>& Parameters() const { return params_; }

    // Compiles the SQL text and binds every parameter by name; 0 with the error
    // text set on failure. A command run again with the text it last compiled reuses
    // that statement (reset, with fresh parameters) instead of compiling it again,
    // unless a reader still holds it.
    int Prepare();
    // Steps the prepared statement once: 1 for a row or done, 0 on an error (the
    // statement is then finalized). HasRow tells which of the two it was.
    int Step();
    bool HasRow() const { return hasRow_; }

    // Prepares and hands out the statement through out (one reference held by
    // out); null, and out empty, when preparing fails.
    SqlStatement* ExecuteReader(SqlStatementRef& out);
    // Prepares, steps once and gives column 0 of the row as a blob (null and 0 when
    // the statement returned no row). The bytes live until the statement next runs.
    int ExecuteBlob(const void** data, int* size);

    SqlStatement* Statement() const { return statement_.get(); }
    const std::wstring& ErrorText() const { return errorText_; }

private:
    bool Bind();

    SqlConnection* connection_ = nullptr;
    SqlStatementRef statement_;
    std::wstring sql_;
    std::wstring compiledSql_; // the text the statement's handle was compiled from
    std::wstring errorText_;
    std::vector<SqlParameter> params_;
    bool hasRow_ = false;
};
