#pragma once
// The two call-backs a field keeps: observers re-read (or recompute) a row's value
// when it changes, and the filter accepts or refuses a value before it is stored.

#include <cstdint>
#include <string>

struct DataValue;

class DataObserver
{
public:
    // row: the row that changed (-1: every row).
    virtual int Update(int32_t row) = 0;

protected:
    ~DataObserver() = default;
};

class DataFilter
{
public:
    // May change the value (its text remade); message, when given, says why a
    // value was refused.
    virtual int Test(int32_t row, DataValue& value, std::wstring* message) = 0;

protected:
    ~DataFilter() = default;
};
