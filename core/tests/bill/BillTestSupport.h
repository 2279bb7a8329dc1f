#pragma once
// Shared pieces of the bill tests: the start-up the core would run, and a page
// with typed fields laid out for records.

#include <cstdint>
#include <string>
#include <vector>

#include "DataField.h"
#include "DataObserver.h"
#include "DataPage.h"
#include "DataTable.h"

namespace billtest
{

// Adds a field of a type to a container (reference count 1).
DataField* AddTyped(DataContainer& container, const wchar_t* name, uint32_t type);

// Records every Update call it receives.
class RecordingObserver : public DataObserver
{
public:
    int Update(int32_t row) override
    {
        rows.push_back(row);
        return 1;
    }
    std::vector<int32_t> rows;
};

std::wstring TextOf(IDoxValue* value);

} // namespace billtest
