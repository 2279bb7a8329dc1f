#pragma once
// The two fixed tables of built-in functions: 15 execute functions that compute
// a field's value and 4 filter functions that test or adjust an entered value,
// with their parameter checks and the per-type lists the property grid offers.

#include <cstdint>
#include <string>
#include <vector>

class DataFunctionObject;
struct DataValue;
class ErrorReportor;
struct DataFunctionParam;

using ExecuteRunFunction = int (*)(DataFunctionObject& object, int32_t row);
using FilterRunFunction = int (*)(DataFunctionObject& object, int32_t row, DataValue& value,
                                  std::wstring* message);
using ParamCheckFunction = int (*)(const DataFunctionObject& object, uint32_t index,
                                   const DataFunctionParam& param, ErrorReportor& reporter);

struct FunctionEntry {
    uint32_t id;
    const wchar_t* name;
    // Exactly one of the two run functions is set, by the entry's table.
    ExecuteRunFunction execute;
    FilterRunFunction filter;
    ParamCheckFunction check;
    uint32_t maxParams;
    const wchar_t* syntax;
    // Bit n: offered for fields of type n (0 text, 1 number, 2 date, 3 date-time).
    uint32_t typeMask;
};

// kind 0 execute, 1 filter; null outside the table.
const FunctionEntry* GetFunctionEntry(uint32_t kind, uint32_t index);
uint32_t GetFunctionCount(uint32_t kind);

// The entries of one kind offered for one value type, in table order. Empty for
// a kind above 1 or a type above 3, and before InitDataFunctionLists.
const std::vector<const FunctionEntry*>& GetFunctionList(uint32_t kind, uint32_t type);

// Start-up and shut-down of the per-type lists.
void InitDataFunctionLists();
void ShutdownDataFunctionLists();
