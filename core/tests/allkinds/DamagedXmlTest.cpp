// Templates edited by hand or damaged on the way: every kind, written to XML, gets
// its values replaced by extremes and nonsense and some elements dropped, then is
// read, drawn in design and fill-in mode and rendered for print. None of that may
// crash, run out of memory or read outside its data (run under the sanitizers).

#include <gtest/gtest.h>

#include <QImage>

#include <tinyxml2.h>

#include <random>
#include <string>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "DoxTableControl.h"

using namespace controltest;

namespace
{

std::string XmlOf(DoxControl* control)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("dox:layer");
    doc.InsertEndChild(root);
    control->SaveXml(root);
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

void Damage(tinyxml2::XMLElement* element, std::mt19937& random)
{
    static const char* const kValues[] = {"-1",          "0",  "-2147483648", "2147483647",  "4294967295",
                                          "99999999999", "",   "abc",         "1e9",         "-6000",
                                          "6001",        "31", "#FFFFFFFF",   "\xE5\x85\x83"};
    if (element->Attribute("value") && random() % 3 == 0)
        element->SetAttribute("value", kValues[random() % std::size(kValues)]);
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child;) {
        tinyxml2::XMLElement* next = child->NextSiblingElement();
        if (random() % 20 == 0)
            element->DeleteChild(child);
        else
            Damage(child, random);
        child = next;
    }
}

// A control of the kind with columns and rows where it has them, so that the
// damage reaches those too.
DoxControl* MakeKind(int32_t kind, FakeLayer& layer)
{
    RECT rect{300, -200, 1300, -500};
    DoxControl* control = CreateControlByKind(kind, &layer, &rect);
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
    return control;
}

} // namespace

TEST(DamagedXml, EveryKindLoadsDrawsAndRendersWithoutHarm)
{
    std::mt19937 random(20261210);
    for (int32_t kind = DoxKindEdit; kind < DoxKindNone; ++kind) {
        SCOPED_TRACE(kind);
        FakeLayer layer;
        DoxControl* original = MakeKind(kind, layer);
        ASSERT_NE(original, nullptr);
        const std::string xml = XmlOf(original);
        for (int round = 0; round < 200; ++round) {
            tinyxml2::XMLDocument doc;
            ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
            Damage(doc.RootElement(), random);
            const tinyxml2::XMLElement* element = doc.RootElement()->FirstChildElement();
            DoxControl* loaded = element ? CreateControlFromXml(&layer, element) : nullptr;
            if (!loaded)
                continue;
            QImage image = PageImage(1600, 700);
            {
                DCX dc;
                ASSERT_TRUE(dc.AttachImage(&image));
                dc.SetMapMode(2);
                loaded->DrawDesignBackground(dc);
                loaded->DrawDesign(static_cast<DC&>(dc));
                layer.page.PrepareStore(nullptr, L"P");
                if (loaded->BeginRun()) {
                    loaded->DrawTransparent(dc);
                    loaded->DrawContent(dc, 0, 0, true);
                    loaded->EndRun();
                }
            }
            loaded->SetParentLayer(nullptr);
            loaded->Release();
        }
        original->SetParentLayer(nullptr);
        original->Release();
    }
}
