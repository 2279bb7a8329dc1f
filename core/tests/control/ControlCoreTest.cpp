#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <functional>

#include "ControlTestSupport.h"
#include "DoxAttribKinds.h"
#include "DoxControlKinds.h"
#include "DoxEditControl.h"

using namespace controltest;

namespace
{
DoxEditControl* NewEdit(FakeLayer& layer, RECT rect = {10, -50, 110, -80})
{
    return AddControl<DoxEditControl>(layer, DoxKindEdit, rect);
}
} // namespace

TEST(ControlKinds, FactoryByKindKeepsRectangleAndRefusesUnknownKinds)
{
    FakeLayer layer;
    DoxEditControl* edit = NewEdit(layer);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetKindId(), DoxKindEdit);
    EXPECT_EQ(edit->GetId(), "editcontrol");
    EXPECT_STREQ(edit->GetName(), L"文本控件");
    RECT rect;
    edit->DoxControl::GetRect(&rect);
    EXPECT_EQ(edit->Basic().GetX(), 10);
    EXPECT_EQ(edit->Basic().GetY(), -50);
    EXPECT_EQ(edit->Basic().GetWidth(), 100);
    EXPECT_EQ(edit->Basic().GetHeight(), 30);
    EXPECT_EQ(rect.right, 110);
    EXPECT_EQ(rect.bottom, -80);
    const RECT r{0, 0, 10, -10};
    for (int kind : {-1, 8, 100})
        EXPECT_EQ(CreateControlByKind(kind, &layer, &r), nullptr) << kind;
    EXPECT_EQ(DoxAttribKindId::Font, 4);
    EXPECT_EQ(DoxAttribKindId::EditSplit, 3);
    layer.ReleaseAll();
}

TEST(ControlKinds, XmlTypeNameMustMatchExactly)
{
    FakeLayer layer;
    struct Case {
        const char* xml;
        bool made;
    } cases[] = {
        {"<dox:control/>", false},
        {"<dox:control id=\"EditControl\"/>", false},
        {"<dox:control id=\"editcontrolx\"/>", false},
        {"<dox:control id=\"editcontrol\"/>", true},
    };
    for (const Case& c : cases) {
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(doc.Parse(c.xml), tinyxml2::XML_SUCCESS);
        DoxControl* control = layer.LoadControl(doc.RootElement(), 0, 0);
        EXPECT_EQ(control != nullptr, c.made) << c.xml;
        if (control) {
            // No "base": the zero rectangle.
            EXPECT_EQ(control->Basic().GetX(), 0);
            EXPECT_EQ(control->Basic().GetWidth(), 0);
        }
    }
    layer.ReleaseAll();
}

TEST(ControlXml, EveryEditAttributeRoundTrips)
{
    FakeLayer layer;
    DoxEditControl* edit = NewEdit(layer);
    ASSERT_NE(edit, nullptr);
    struct Edit {
        IDoxAttrib* item;
        const wchar_t* text;
    } edits[] = {
        {&edit->BgColor(), L"#00102030"},
        {&edit->FgColor(), L"#00405060"},
        {&edit->Editable(), L"否"},
        {&edit->Printable(), L"否"},
        {&edit->Border(), L"是"},
        {&edit->Transparent(), L"40"},
        {&edit->Tip(), L"请输入金额"},
        {&edit->Font().FaceName(), L"黑体"},
        {&edit->Font().Size(), L"14"},
        {&edit->Font().Bold(), L"是"},
        {&edit->Font().Italic(), L"是"},
        {&edit->Font().Underline(), L"是"},
        {&edit->Font().StrikeOut(), L"是"},
        {&edit->Split().ColumnItem(), L"10"},
        {&edit->Split().Style(), L"右端"},
        {&edit->Split().Limit(), L"否"},
        {&edit->Format().Prefix(), L"¥"},
        {&edit->Format().Suffix(), L"元"},
        {&edit->Format().Bound(), L"8"},
        {&edit->Format().Complement(), L"前补"},
        {&edit->Format().CompParam(), L"0"},
        {&edit->FormulaAttr().Function(), L"!=(X)"},
        {&edit->FormulaAttr().Param(), L"abc"},
    };
    for (const Edit& e : edits)
        EXPECT_TRUE(e.item->SetValueText(e.text)) << static_cast<DoxAttribBase*>(e.item)->GetKey();
    const std::string first = SaveControl(edit);

    DoxControl* copy = LoadControl(layer, first);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(SaveControl(copy), first);
    auto* loaded = static_cast<DoxEditControl*>(copy);
    EXPECT_STREQ(loaded->Split().Style().GetValueText(), L"右端");
    EXPECT_EQ(loaded->Format().BoundAndPad(L"123"), L"00000123");
    EXPECT_EQ(loaded->Font().FaceName().GetText(), L"黑体");
    layer.ReleaseAll();
}

TEST(ControlCore, DesignFaceAnswers)
{
    FakeLayer layer;
    DoxEditControl* edit = NewEdit(layer);
    ASSERT_NE(edit, nullptr);
    SIZE size;
    edit->GetMinSize(&size);
    EXPECT_EQ(size.cx, 20);
    EXPECT_EQ(size.cy, 20);
    EXPECT_EQ(edit->CastTo(3), nullptr);
    EXPECT_EQ(edit->CastTo(1), static_cast<GrabObjectCore*>(edit));
    EXPECT_EQ(edit->CastTo(2), static_cast<DoxAttribSet*>(edit));
    EXPECT_EQ(edit->HasSplit(), 0);

    // Edges are inside.
    struct Hit {
        int x, y;
        bool inside;
    } hits[] = {{10, -50, true}, {110, -80, true}, {60, -65, true},
                {9, -65, false}, {60, -49, false}, {111, -80, false}};
    for (const Hit& h : hits)
        EXPECT_EQ(edit->HitTest(nullptr, 0, h.x, h.y), h.inside) << h.x << "," << h.y;

    const int before = layer.modified;
    edit->SetTabIndex(edit->GetTabIndex());
    EXPECT_EQ(layer.modified, before);
    edit->SetTabIndex(7);
    EXPECT_EQ(edit->GetTabIndex(), 7);
    EXPECT_EQ(layer.modified, before + 1);

    EXPECT_EQ(edit->IsMoveLocked(), 0);
    layer.locked = true;
    EXPECT_EQ(edit->IsSelectLocked(), 1);
    layer.locked = false;
    EXPECT_TRUE(edit->Basic().LockItem().SetValueText(L"是"));
    EXPECT_EQ(edit->IsSizeLocked(), 1);
    layer.state = 2;
    EXPECT_EQ(edit->IsLayerCurrent(), 1);
    layer.state = 0;
    EXPECT_EQ(edit->IsLayerShown(), 0);
    layer.ReleaseAll();
}

TEST(ControlCore, DuplicateMakesAnEqualCopyThroughTheLayer)
{
    FakeLayer layer;
    DoxEditControl* edit = NewEdit(layer);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->Format().Prefix().SetValueText(L"No."));
    GrabObjectCore* copy = edit->Duplicate(0, 0);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(layer.controls.size(), 2u);
    EXPECT_EQ(SaveControl(layer.controls[1]), SaveControl(edit));
    layer.ReleaseAll();
}

TEST(ControlCore, LastReleaseUnlinksFromTheLayerAndDeletesOnce)
{
    FakeLayer layer;
    DoxEditControl* edit = NewEdit(layer);
    ASSERT_NE(edit, nullptr);
    edit->AddRef();
    edit->Release();
    EXPECT_EQ(layer.unlinked, 0);
    // The design face's release gives up the layer's reference: the control leaves
    // the layer and is deleted exactly once (the sanitizer build checks the once).
    static_cast<GrabObjectCore*>(edit)->Release();
    EXPECT_EQ(layer.unlinked, 1);
    EXPECT_TRUE(layer.controls.empty());
}

namespace
{
// Records how the control asks its column set to lay out.
class RecordingSplitSet : public DoxControlSplitSet
{
public:
    void Relayout(bool redraw) override { calls.push_back(redraw); }
    int GetMinSize() const override { return 40; }
    int HitSplitter(DC*, int, int) override { return 0; }
    int FindSplitter(GrabPane**, DC*, int, int) override { return 0; }
    int TestSplitter(DC*, int, int) override { return 0; }
    std::vector<bool> calls;
};

struct SplitEdit : DoxEditControl {
    using DoxControl::SetColSet;
};
} // namespace

TEST(ControlCore, PositionChangesKeepCustomColumnWidths)
{
    struct Case {
        const char* what;
        std::function<void(SplitEdit&)> change;
        std::vector<bool> relayouts;
    } cases[] = {
        {"handle move",
         [](SplitEdit& e) {
             e.SetRect(RECT{20, -60, 220, -90});
         },
         {false}},
        {"typed x", [](SplitEdit& e) { EXPECT_TRUE(e.Basic().XItem().SetValueText(L"3.0mm")); }, {false}},
        {"typed width",
         [](SplitEdit& e) { EXPECT_TRUE(e.Basic().WidthItem().SetValueText(L"30.0mm")); },
         {false}},
        {"typed order", [](SplitEdit& e) { EXPECT_TRUE(e.Basic().OrderItem().SetValueText(L"4")); }, {}},
    };
    for (const Case& c : cases) {
        FakeLayer layer;
        auto* edit = new SplitEdit;
        const RECT rect{10, -50, 110, -80};
        edit->InitControlBase(DoxKindEdit, L"文本控件", "editcontrol", &layer, &rect);
        RecordingSplitSet set;
        edit->SetColSet(&set);
        SIZE size;
        edit->GetMinSize(&size);
        EXPECT_EQ(size.cx, 40);
        EXPECT_EQ(edit->HasSplit(), 1);
        const int before = layer.modified;
        c.change(*edit);
        EXPECT_EQ(set.calls, c.relayouts) << c.what;
        EXPECT_GT(layer.modified, before) << c.what;
        edit->SetColSet(nullptr);
        edit->SetParentLayer(nullptr);
        edit->Release();
    }
}

TEST(ControlCore, DamagedSplitCountsDrawAsOneBox)
{
    FakeLayer layer;
    const char* xml = "<dox:control id=\"editcontrol\">"
                      "<dox:attrib id=\"base\"><dox:attribitem id=\"x\" value=\"100\"/>"
                      "<dox:attribitem id=\"y\" value=\"100\"/><dox:attribitem id=\"cx\" value=\"500\"/>"
                      "<dox:attribitem id=\"cy\" value=\"50\"/></dox:attrib>"
                      "<dox:attrib id=\"split\"><dox:attribitem id=\"column\" value=\"0\"/>"
                      "<dox:attribitem id=\"row\" value=\"0\"/></dox:attrib>"
                      "</dox:control>";
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse(xml), tinyxml2::XML_SUCCESS);
    auto* edit = static_cast<DoxEditControl*>(layer.LoadControl(doc.RootElement(), 0, 0));
    ASSERT_NE(edit, nullptr);
    edit->Split().ColumnItem().StoreValue(0);
    edit->Split().RowItem().StoreValue(0);
    RecordingDC dc;
    edit->Split().DrawGridLines(RECT{0, 0, 500, -50}, dc);
    edit->Split().DrawSplitText(dc, L"12", RECT{0, 0, 500, -50}, 0);
    ASSERT_EQ(dc.drawn.size(), 1u);
    EXPECT_EQ(dc.drawn[0].text, L"12");
    EXPECT_EQ(dc.drawn[0].rect.right, 500);
    layer.ReleaseAll();
}
