#pragma once
// The value of one bill field in one row, and the result of testing a text
// against a field. Both are owned by their page and carry no reference count:
// they stay valid while the page keeps its rows.

#include <cstdint>

class IDoxValue
{
public:
    // 0 when the cell has no value; 1 text, 2 number, 3 date or date-time.
    virtual uint32_t GetType() = 0;
    // The text of a text field with a value; an empty text otherwise (never null).
    virtual const wchar_t* GetText() = 0;
    // The number of a number field with a value; 0.0 otherwise.
    virtual double GetNumber() = 0;
    // The 64-bit FILETIME of a date or date-time field with a value; 0 otherwise.
    virtual uint64_t GetTime() = 0;
    // Formats the value with entry formatIndex of the field's category; the text
    // stays valid until the next Format call on this value. Empty when the cell
    // has no value or the entry does not exist.
    virtual const wchar_t* Format(uint32_t formatIndex, const wchar_t* parameter) = 0;

protected:
    ~IDoxValue() = default;
};

class IDoxValueTest
{
public:
    // Non-zero when the text was accepted.
    virtual int32_t GetResult() = 0;
    // Why it was refused (may be empty); never null.
    virtual const wchar_t* GetMessage() = 0;

protected:
    ~IDoxValueTest() = default;
};
