#include "DamageSupport.h"

#include <tinyxml2.h>

#include <iterator>

#include "DoxControlKinds.h"
#include "DoxRichEditControl.h"
#include "DoxRichLabelControl.h"
#include "DoxTableControl.h"

namespace controltest
{

void AddSampleGrids(DoxControl* control)
{
    switch (control->GetKindId()) {
    case DoxKindRichEdit:
        static_cast<DoxRichEditControl*>(control)->Columns().AddElement();
        static_cast<DoxRichEditControl*>(control)->Columns().AddElement();
        break;
    case DoxKindRichLabel:
        static_cast<DoxRichLabelControl*>(control)->Columns().AddElement();
        static_cast<DoxRichLabelControl*>(control)->Columns().AddElement();
        break;
    case DoxKindTable: {
        auto* table = static_cast<DoxTableControl*>(control);
        table->Columns().AddElement();
        table->Columns().AddElement();
        table->Rows().AddElement();
        table->Rows().AddElement();
        break;
    }
    default:
        break;
    }
}

void DamageXml(tinyxml2::XMLElement* element, std::mt19937& random, int valueRate, bool valuesOnly)
{
    static const char* const kValues[] = {
        "-1",        "0",    "-2147483648", "2147483647", "4294967295",  "99999999999",
        "",          "abc",  "1e9",         "-6000",      "6001",        "31",
        "#FFFFFFFF", "主表", "a.b",         "1000000",    "\xE5\x85\x83"};
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next()) {
        const bool eligible = !valuesOnly || std::string(a->Name()) == "value";
        if (eligible && random() % static_cast<unsigned>(valueRate) == 0)
            element->SetAttribute(a->Name(), kValues[random() % std::size(kValues)]);
    }
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child;) {
        tinyxml2::XMLElement* next = child->NextSiblingElement();
        if (random() % 25 == 0)
            element->DeleteChild(child);
        else
            DamageXml(child, random, valueRate, valuesOnly);
        child = next;
    }
}

} // namespace controltest
