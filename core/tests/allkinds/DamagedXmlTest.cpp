// Templates edited by hand or damaged on the way: every kind, written to XML, gets
// its values replaced by extremes and nonsense and some elements dropped, then is
// read, drawn in design and fill-in mode and rendered for print. None of that may
// crash, run out of memory or read outside its data (run under the sanitizers).

#include <gtest/gtest.h>

#include <QImage>

#include <tinyxml2.h>

#include <string>

#include "ControlTestSupport.h"
#include "DamageSupport.h"
#include "DoxControlKinds.h"

using namespace controltest;

namespace
{

// A control of the kind with columns and rows where it has them, so that the
// damage reaches those too.
DoxControl* MakeKind(int32_t kind, FakeLayer& layer)
{
    RECT rect{300, -200, 1300, -500};
    DoxControl* control = CreateControlByKind(kind, &layer, &rect);
    if (control)
        AddSampleGrids(control);
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
        const std::string xml = SaveControl(original);
        // Sixty variants of each kind keep the sanitizer run short; one page image
        // serves them all.
        QImage image = PageImage(1600, 700);
        for (int round = 0; round < 60; ++round) {
            tinyxml2::XMLDocument doc;
            ASSERT_EQ(doc.Parse(xml.c_str()), tinyxml2::XML_SUCCESS);
            DamageXml(doc.RootElement(), random, 3, true);
            const tinyxml2::XMLElement* element = doc.RootElement()->FirstChildElement();
            DoxControl* loaded = element ? CreateControlFromXml(&layer, element) : nullptr;
            if (!loaded)
                continue;
            image.fill(Qt::white);
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
