// Whole templates damaged on the way: a template holding every control kind is
// saved, its XML gets values replaced by extremes and nonsense and some elements
// dropped, and the result is opened and its preview painted. Each either opens or
// is refused; none may crash, overflow or read outside its data (run under the
// sanitizers).

#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <random>
#include <string>
#include <vector>

#include "DocElement.h"
#include "DocTemplate.h"
#include "DoxControlKinds.h"
#include "DoxDocPictures.h"
#include "DoxDocument.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "DoxTableControl.h"
#include "ModuleError.h"
#include "SqlConnectionPool.h"
#include "TestSupport.h"

namespace
{

void Damage(tinyxml2::XMLElement* element, std::mt19937& random)
{
    static const char* const kValues[] = {
        "-1",    "0",    "-2147483648", "2147483647", "4294967295",   "99999999999", "",    "abc",    "1e9",
        "-6000", "6001", "31",          "#FFFFFFFF",  "\xE5\x85\x83", "主表",        "a.b", "1000000"};
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        if (random() % 15 == 0)
            element->SetAttribute(a->Name(), kValues[random() % std::size(kValues)]);
    }
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child;) {
        tinyxml2::XMLElement* next = child->NextSiblingElement();
        if (random() % 25 == 0)
            element->DeleteChild(child);
        else
            Damage(child, random);
        child = next;
    }
}

std::string StoredXml(const std::wstring& path)
{
    DocTemplate store;
    if (!store.Open(path.c_str(), 0))
        return {};
    DocElement* element = store.GetElement(L"doc_dxtemplate");
    if (!element)
        return {};
    std::string xml(reinterpret_cast<const char*>(element->GetData()), element->GetSize());
    while (!xml.empty() && xml.back() == '\0')
        xml.pop_back();
    return xml;
}

void WriteTemplate(const std::wstring& path, std::string xml)
{
    xml.push_back('\0');
    DocTemplate store;
    ASSERT_TRUE(store.Open(path.c_str(), kDocOpenCreate));
    DocElement* element = store.GetElement(L"doc_dxtemplate");
    ASSERT_NE(element, nullptr);
    ASSERT_TRUE(element->SetData(xml.data(), static_cast<uint32_t>(xml.size())));
    ASSERT_TRUE(store.Save());
}

} // namespace

TEST(DamagedTemplate, OpensOrIsRefusedAndPaintsItsPreview)
{
    RegisterControlKinds();
    SqlConnectionPool::Init();
    doxtest::TempDir dir;
    const std::wstring path = (dir / "all.dxt").wstring();
    IDoxDocument* document = DocCreateTemplate(path.c_str(), L"p", 2100, 2970);
    ASSERT_NE(document, nullptr);
    DoxLayer* layer = static_cast<DoxPage*>(document->GetPage(0))->GetLayer(0);
    for (int32_t kind = DoxKindEdit; kind < DoxKindNone; ++kind) {
        RECT rect{100, -100 - kind * 300, 1500, -350 - kind * 300};
        DoxControl* control = layer->CreateControl(kind, &rect);
        ASSERT_NE(control, nullptr);
        if (kind == DoxKindRichEdit) {
            static_cast<DoxRichEditControl*>(control)->Columns().AddElement();
            static_cast<DoxRichEditControl*>(control)->Columns().AddElement();
        } else if (kind == DoxKindRichLabel) {
            static_cast<DoxRichLabelControl*>(control)->Columns().AddElement();
            static_cast<DoxRichLabelControl*>(control)->Columns().AddElement();
        } else if (kind == DoxKindTable) {
            auto* table = static_cast<DoxTableControl*>(control);
            table->Columns().AddElement();
            table->Columns().AddElement();
            table->Rows().AddElement();
            table->Rows().AddElement();
        }
    }
    ASSERT_EQ(document->Save(), 1) << GetModuleErrorText();
    document->Release();
    const std::string xml = StoredXml(path);
    ASSERT_FALSE(xml.empty());

    std::mt19937 random(20261210);
    int opened = 0;
    for (int round = 0; round < 150; ++round) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
        Damage(doc.RootElement(), random);
        tinyxml2::XMLPrinter printer;
        doc.Print(&printer);
        const std::wstring damaged = (dir / ("d" + std::to_string(round) + ".dxt")).wstring();
        WriteTemplate(damaged, printer.CStr());
        if (IDoxDocument* reopened = DocOpenTemplate(damaged.c_str())) {
            ++opened;
            reopened->Release();
            std::vector<uint8_t> jpeg;
            EXPECT_TRUE(RenderTemplatePreview(damaged.c_str(), jpeg));
        }
    }
    // Much of the damage is survivable: values are held at their limits.
    EXPECT_GT(opened, 0);
    SqlConnectionPool::Shutdown();
}
