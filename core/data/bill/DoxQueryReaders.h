#pragma once
// The column and record readers a bill query hands to its sink. Both borrow the
// query's statement and are valid only during the sink call that receives them.

#include <cstdint>
#include <string>

#include "IDoxDataQuerySink.h"

class SqlStatement;

class DoxColumnReader : public IDoxColumnReader
{
public:
    DoxColumnReader(SqlStatement* statement, int32_t count) : statement_(statement), count_(count) {}
    virtual ~DoxColumnReader() = default;

    int32_t GetCount() override { return count_; }
    const wchar_t* GetName(int32_t index) override;

private:
    SqlStatement* statement_;
    int32_t count_;
    std::wstring text_;
};

class DoxRecordReader : public IDoxRecordReader
{
public:
    DoxRecordReader(SqlStatement* statement, int64_t id, int32_t count)
        : statement_(statement), id_(id), count_(count)
    {
    }
    virtual ~DoxRecordReader() = default;

    // The reader moves on to the next row (its text keeps its storage).
    void SetId(int64_t id) { id_ = id; }
    int64_t GetId() override { return id_; }
    int32_t GetCount() override { return count_; }
    const wchar_t* GetText(int32_t index) override;
    const char* GetUtf8(int32_t index, int32_t* bytes) override;

private:
    SqlStatement* statement_;
    int64_t id_;
    int32_t count_;
    std::wstring text_;
    std::string utf8_;
};
