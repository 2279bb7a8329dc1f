#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include "FunctionLibrary.h"
#include "DoxControlKinds.h"
#include "DoxPrinter.h"
#include "FormatCatalogue.h"
#include "Formula.h"

namespace controltest
{

DoxControl* FakeLayer::LoadControl(const tinyxml2::XMLElement* element, int, int)
{
    DoxControl* control = CreateControlFromXml(this, element);
    if (control)
        controls.push_back(control);
    return control;
}

namespace
{
// The start-up the core runs before any control is made.
class ControlEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        BindGdiEntryPoints();
        RegisterControlKinds();
        InitFormatCatalogue();
        InitDataFunctionLists();
        InitFormulaLists();
    }
    void TearDown() override
    {
        ShutdownFormulaLists();
        ShutdownDataFunctionLists();
    }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ControlEnvironment);
} // namespace

} // namespace controltest
