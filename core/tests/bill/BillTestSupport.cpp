#include "BillTestSupport.h"

#include <gtest/gtest.h>

#include "DoxAttribKinds.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"
#include "IDoxValue.h"
#include "SqlConnectionPool.h"

namespace billtest
{

DataField* AddTyped(DataContainer& container, const wchar_t* name, uint32_t type)
{
    DataField* field = container.AddField(name);
    field->SetType(type);
    return field;
}

std::wstring TextOf(IDoxValue* value)
{
    return value ? std::wstring(value->GetText()) : std::wstring(L"<null>");
}

namespace
{

// The services the core's start-up prepares, in its order.
class BillEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        RegisterAttribKinds();
        InitFormatCatalogue();
        InitDataFunctionLists();
        InitFormulaLists();
        SqlConnectionPool::Init();
    }
    void TearDown() override
    {
        SqlConnectionPool::Shutdown();
        ShutdownFormulaLists();
        ShutdownDataFunctionLists();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new BillEnvironment);

} // namespace

} // namespace billtest
