#pragma once
// Call-back through which a bill query reports its columns and then each stored
// bill. The readers live only for the duration of the call that receives them.

#include <cstdint>

class IDoxColumnReader
{
public:
    // Number of field columns (the trailing record id column is not counted).
    virtual int32_t GetCount() = 0;
    // The column's name as the database reports it; empty outside the columns.
    virtual const wchar_t* GetName(int32_t index) = 0;

protected:
    ~IDoxColumnReader() = default;
};

class IDoxRecordReader
{
public:
    // The record id of the current row.
    virtual int64_t GetId() = 0;
    virtual int32_t GetCount() = 0;
    // The column's text in the current row; empty for NULL or outside the columns.
    virtual const wchar_t* GetText(int32_t index) = 0;
    // The same text in UTF-8, `*bytes` long (its zero not counted); valid until the
    // next call on the reader.
    virtual const char* GetUtf8(int32_t index, int32_t* bytes) = 0;

protected:
    ~IDoxRecordReader() = default;
};

class IDoxDataQuerySink
{
public:
    // Called once before any record; the result is ignored.
    virtual int OnColumns(IDoxColumnReader* columns) = 0;
    // Called once per stored bill; 0 stops the query.
    virtual int OnRecord(IDoxRecordReader* record) = 0;

protected:
    ~IDoxDataQuerySink() = default;
};

// What a bill query lists. Modes: 1 all bills, 2 the newest bill, 3 the bill with
// recordId, 4 the bills that satisfy the condition (an SQL expression over the
// main table's columns); any other mode lists all bills.
struct DataQuery {
    uint32_t mode = 1;
    int64_t recordId = 0;
    const wchar_t* condition = nullptr;
};
