#include "ControlTestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "DoxControlKinds.h"
#include "DoxPrinter.h"
#include "FormatCatalogue.h"
#include "Formula.h"
#include "FunctionLibrary.h"

namespace controltest
{

DoxControl* FakeLayer::LoadControl(const tinyxml2::XMLElement* element, int, int)
{
    DoxControl* control = CreateControlFromXml(this, element);
    if (control)
        controls.push_back(control);
    return control;
}

void FakeLayer::ReleaseAll()
{
    while (!controls.empty()) {
        DoxControl* control = controls.back();
        controls.pop_back();
        control->SetParentLayer(nullptr);
        control->Release();
    }
}

std::string SaveControl(DoxControl* control)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("dox:layer");
    doc.InsertEndChild(root);
    EXPECT_EQ(control->SaveXml(root), 1);
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

DoxControl* LoadControl(FakeLayer& layer, const std::string& xml)
{
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* root = doc.RootElement();
    return root ? layer.LoadControl(root->FirstChildElement("dox:control"), 0, 0) : nullptr;
}

std::vector<std::string> Keys(DoxAttribSet& set)
{
    std::vector<std::string> keys;
    for (DoxAttribute* a : set.Attributes())
        keys.push_back(a->GetKey());
    return keys;
}

std::vector<std::string> ItemKeys(DoxAttribute& attribute)
{
    std::vector<std::string> keys;
    for (DoxAttribItem* i : attribute.Items())
        keys.push_back(i->GetKey());
    return keys;
}

QImage PageImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(Qt::white);
    return image;
}

int DarkIn(const QImage& image, int left, int top, int right, int bottom)
{
    int dark = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return dark;
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
