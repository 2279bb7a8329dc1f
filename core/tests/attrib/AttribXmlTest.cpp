// The attribute level of the template XML: full saves and copies, loading, the
// element test, and damaged values that must not reach a control unchecked.

#include <gtest/gtest.h>

#include <tinyxml2.h>

#include <string>

#include "AttribFixtures.h"
#include "DoxAttribItemInt.h"

using attribtest::EditLikeSet;
using attribtest::FakePage;
using attribtest::LabelLikeSet;
using attribtest::LineLikeSet;
using attribtest::RecordingGroup;

namespace
{

std::string SaveToText(DoxAttribSet& set, bool full)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement(set.GetXmlTag());
    doc.InsertEndChild(root);
    EXPECT_TRUE(set.SaveXml(root, full));
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

bool LoadFromText(DoxAttribSet& set, const std::string& xml)
{
    tinyxml2::XMLDocument doc;
    if (doc.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS)
        return false;
    return set.LoadXml(doc.RootElement());
}

// A line-like control's "dox:control" element with the given base items.
std::string LineXml(const std::string& items, const std::string& setTag = "dox:control")
{
    return "<" + setTag + " id=\"linecontrol\"><dox:attrib id=\"base\">" + items + "</dox:attrib></" +
           setTag + ">";
}

TEST(AttribXml, FullSaveAndCopy)
{
    RegisterAttribKinds();
    LineLikeSet line;
    line.base.StoreRect(100, -200, 300, 50);
    line.base.OrderItem().StoreValue(3);
    ASSERT_TRUE(line.fgcolor.SetValueText(L"#FFFFFFFF"));

    const std::string head = "<dox:control id=\"linecontrol\">\n"
                             "    <dox:attrib id=\"base\">\n"
                             "        <dox:attribitem id=\"x\" value=\"100\"/>\n"
                             "        <dox:attribitem id=\"y\" value=\"-200\"/>\n"
                             "        <dox:attribitem id=\"cx\" value=\"300\"/>\n"
                             "        <dox:attribitem id=\"cy\" value=\"50\"/>\n";
    const std::string tail = "        <dox:attribitem id=\"lock\" value=\"0\"/>\n"
                             "        <dox:attribitem id=\"printable\" value=\"1\"/>\n"
                             "        <dox:attribitem id=\"fgcolor\" value=\"-1\"/>\n"
                             "    </dox:attrib>\n"
                             "</dox:control>\n";
    EXPECT_EQ(SaveToText(line, true), head + "        <dox:attribitem id=\"order\" value=\"3\"/>\n" + tail);
    // A copy carries no fill-in order, and no empty element in its place.
    EXPECT_EQ(SaveToText(line, false), head + tail);
}

TEST(AttribXml, RoundTripKeepsEveryValueAndByte)
{
    EditLikeSet edit;
    edit.base.StoreRect(123, -456, 789, 100);
    ASSERT_TRUE(edit.bgcolor.SetValueText(L"#FFFFFFFF"));
    ASSERT_TRUE(edit.fgcolor.SetValueText(L"#00FF8000"));
    ASSERT_TRUE(edit.transparent.SetValueText(L"45"));
    ASSERT_TRUE(edit.tip.SetValueText(L"请输入\\n金额 <&\"'>"));
    ASSERT_TRUE(edit.align.VAlignItem().SetValueText(L"底部对齐"));
    ASSERT_TRUE(edit.border.SetValueText(L"是"));
    ASSERT_TRUE(edit.visible.SetValueText(L"否"));
    const std::string first = SaveToText(edit, true);

    EditLikeSet copy;
    ASSERT_TRUE(LoadFromText(copy, first));
    EXPECT_EQ(SaveToText(copy, true), first);
    EXPECT_EQ(copy.base.GetX(), 123);
    EXPECT_EQ(copy.base.GetY(), -456);
    EXPECT_EQ(copy.bgcolor.GetUValue(), 0xFFFFFFFFu);
    EXPECT_EQ(copy.fgcolor.GetUValue(), 0x00FF8000u);
    EXPECT_EQ(copy.transparent.GetValue(), 45);
    EXPECT_EQ(copy.tip.GetText(), L"请输入\\n金额 <&\"'>");
    EXPECT_EQ(copy.align.GetVAlign(), 40u);
    EXPECT_EQ(copy.border.GetValue(), 1);
    EXPECT_EQ(copy.visible.GetValue(), 0);
}

TEST(AttribXml, LoadingSkipsWhatNamesNothing)
{
    LineLikeSet line;
    line.printable.SetPersisted(false);
    ASSERT_TRUE(LoadFromText(line, LineXml("<dox:attribitem id=\"x\" value=\"70\"/>"
                                           "<dox:attribitem id=\"printable\" value=\"0\"/>"
                                           "<dox:attribitem id=\"unknown\" value=\"5\"/>"
                                           "<other id=\"y\" value=\"-90\"/>")));
    EXPECT_EQ(line.base.GetX(), 70);
    EXPECT_EQ(line.base.GetY(), 0);
    EXPECT_EQ(line.printable.GetValue(), 1); // not persisted: neither read nor written
    EXPECT_EQ(SaveToText(line, true).find("printable"), std::string::npos);

    LineLikeSet other;
    ASSERT_TRUE(LoadFromText(other, "<dox:control id=\"linecontrol\"><dox:attrib id=\"nosuch\">"
                                    "<dox:attribitem id=\"x\" value=\"70\"/></dox:attrib></dox:control>"));
    EXPECT_EQ(other.base.GetX(), 0);
}

TEST(AttribXml, ElementTestIsExact)
{
    struct Case {
        const char* name;
        std::string xml;
        bool loads;
    };
    const Case cases[] = {
        {"matching", LineXml("<dox:attribitem id=\"x\" value=\"70\"/>"), true},
        {"set tag in other case", LineXml("", "dox:Control"), false},
        {"set id in other case", "<dox:control id=\"LineControl\"/>", false},
        {"set without id", "<dox:control/>", false},
        {"attribute set tag", LineXml("", "dox:attribset"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineLikeSet line;
        EXPECT_EQ(LoadFromText(line, c.xml), c.loads);
    }

    // Groups and items apply the same test to the element they are handed.
    tinyxml2::XMLDocument doc;
    doc.Parse("<r><dox:Attrib id=\"base\"/><dox:attrib/><dox:attribitem/><dox:attribitem id=\"x\"/></r>");
    const tinyxml2::XMLElement* wrongCase = doc.RootElement()->FirstChildElement();
    const tinyxml2::XMLElement* noId = wrongCase->NextSiblingElement();
    const tinyxml2::XMLElement* itemNoId = noId->NextSiblingElement();
    const tinyxml2::XMLElement* itemX = itemNoId->NextSiblingElement();
    LineLikeSet line;
    EXPECT_FALSE(line.base.LoadXml(wrongCase));
    EXPECT_FALSE(line.base.LoadXml(noId));
    EXPECT_FALSE(line.base.XItem().LoadXml(itemNoId));
    EXPECT_TRUE(line.base.XItem().LoadXml(itemX));
    EXPECT_FALSE(line.base.YItem().LoadXml(itemX));
}

TEST(AttribXml, MissingValuesLoadAsZeroOrEmpty)
{
    LabelLikeSet label;
    ASSERT_TRUE(label.fgcolor.SetValueText(L"#00112233"));
    ASSERT_TRUE(LoadFromText(label, "<dox:control id=\"labelcontrol\"><dox:attrib id=\"base\">"
                                    "<dox:attribitem id=\"fgcolor\"/><dox:attribitem id=\"text\"/>"
                                    "</dox:attrib></dox:control>"));
    EXPECT_EQ(label.fgcolor.GetUValue(), 0u);
    EXPECT_EQ(label.text.GetText(), L"");
}

TEST(AttribXml, ItemsSharingAKeyLoadTogetherAndBothWrite)
{
    DoxAttribSet set;
    set.SetId("s");
    RecordingGroup group("g", 100);
    DoxAttribItemInt first("k", L"一", 0);
    DoxAttribItemInt second("k", L"二", 0);
    group.AddItem(&first);
    group.AddItem(&second);
    set.AddAttribute(&group);
    ASSERT_TRUE(LoadFromText(set, "<dox:attribset id=\"s\"><dox:attrib id=\"g\">"
                                  "<dox:attribitem id=\"k\" value=\"42\"/></dox:attrib></dox:attribset>"));
    EXPECT_EQ(first.GetValue(), 42);
    EXPECT_EQ(second.GetValue(), 42);
    EXPECT_EQ(group.loads, 1);
    EXPECT_EQ(SaveToText(set, true), "<dox:attribset id=\"s\">\n"
                                     "    <dox:attrib id=\"g\">\n"
                                     "        <dox:attribitem id=\"k\" value=\"42\"/>\n"
                                     "        <dox:attribitem id=\"k\" value=\"42\"/>\n"
                                     "    </dox:attrib>\n"
                                     "</dox:attribset>\n");
}

TEST(AttribXml, SavingARootRefreshesItsAttributesFirst)
{
    DoxAttribSet root;
    RecordingGroup group("g", 100);
    root.AddAttribute(&group);
    DoxAttribSet column(&root);
    RecordingGroup columnGroup("h", 101);
    column.AddAttribute(&columnGroup);
    SaveToText(root, true);
    SaveToText(column, true);
    EXPECT_EQ(group.refreshes, 1);
    EXPECT_EQ(columnGroup.refreshes, 0);
}

// A damaged or hand-edited template never puts a value into a control that the
// item's own text entry would not allow.
TEST(AttribXml, DamagedValuesAreBroughtIntoRange)
{
    struct Case {
        const char* item;
        const char* value;
        std::function<int64_t(EditLikeSet&)> read;
        int64_t expected;
    };
    auto x = [](EditLikeSet& s) { return s.base.GetX(); };
    auto y = [](EditLikeSet& s) { return s.base.GetY(); };
    auto cx = [](EditLikeSet& s) { return s.base.GetWidth(); };
    auto cy = [](EditLikeSet& s) { return s.base.GetHeight(); };
    auto transparent = [](EditLikeSet& s) { return s.transparent.GetValue(); };
    auto bg = [](EditLikeSet& s) { return s.bgcolor.GetUValue(); };
    auto editable = [](EditLikeSet& s) { return s.editable.GetValue(); };
    auto align = [](EditLikeSet& s) { return s.align.GetHAlign(); };
    const Case cases[] = {
        {"x", "-50", x, 0},
        {"x", "99999999999", x, 6000},
        {"y", "500", y, 0}, // above the page top
        {"y", "-7000", y, -6000},
        {"cx", "-5", cx, 10},
        {"cx", "0", cx, 10},
        {"cx", "abc", cx, 10},
        {"cy", "60001", cy, 6000},
        {"transparent", "999", transparent, 255},
        {"transparent", "-3", transparent, 0},
        {"editable", "7", editable, 1},
        // Not a colour: the control keeps the one it had.
        {"bgcolor", "305419896", bg, 0x00D8D8D8},
        {"bgcolor", "-2", bg, 0x00D8D8D8},
        {"bgcolor", "-1", bg, 0xFFFFFFFF},
        {"bgcolor", "16777215", bg, 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + "=" + c.value);
        EditLikeSet edit;
        edit.base.StoreRect(0, 0, 100, 100);
        std::string xml = std::string("<dox:control id=\"editcontrol\"><dox:attrib id=\"base\">") +
                          "<dox:attribitem id=\"" + c.item + "\" value=\"" + c.value +
                          "\"/></dox:attrib></dox:control>";
        ASSERT_TRUE(LoadFromText(edit, xml));
        EXPECT_EQ(c.read(edit), c.expected);
    }

    // Alignment values are unsigned bits; the file's signed form reads back as such.
    EditLikeSet edit;
    ASSERT_TRUE(LoadFromText(edit, "<dox:control id=\"editcontrol\"><dox:attrib id=\"alignment\">"
                                   "<dox:attribitem id=\"align\" value=\"2\"/></dox:attrib></dox:control>"));
    EXPECT_EQ(align(edit), 2u);
}

TEST(AttribXml, DamagedTextIsCutToItsLimit)
{
    LabelLikeSet label;
    label.text.SetLimit(3);
    ASSERT_TRUE(LoadFromText(label,
                             "<dox:control id=\"labelcontrol\"><dox:attrib id=\"base\">"
                             "<dox:attribitem id=\"text\" value=\"金额合计\"/></dox:attrib></dox:control>"));
    EXPECT_EQ(label.text.GetText(), L"金额合");
}

TEST(AttribXml, LoadedRectangleStaysOnThePage)
{
    struct Case {
        const char* name;
        int32_t x, d, cx, cy; // d: distance from the page top
        int32_t ex, ed, ecx, ecy;
    };
    // Page 210 x 297 mm.
    const Case cases[] = {
        {"inside", 100, 200, 300, 400, 100, 200, 300, 400},
        // Reaching past the edge is a state edits can make (move x last): kept.
        {"reaching past the right edge", 2000, 0, 1000, 100, 2000, 0, 1000, 100},
        {"starting right of the page", 2500, 0, 100, 100, 2099, 0, 100, 100},
        {"starting below the page", 0, 3000, 100, 100, 0, 2969, 100, 100},
        {"wider than the page", 0, 0, 3000, 100, 0, 0, 2100, 100},
        {"taller than the page", 0, 0, 100, 5000, 0, 0, 100, 2970},
    };
    FakePage page(2100, 2970);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditLikeSet edit;
        edit.base.SetParentLayer(&page);
        char xml[512];
        std::snprintf(xml, sizeof xml,
                      "<dox:control id=\"editcontrol\"><dox:attrib id=\"base\">"
                      "<dox:attribitem id=\"x\" value=\"%d\"/><dox:attribitem id=\"y\" value=\"%d\"/>"
                      "<dox:attribitem id=\"cx\" value=\"%d\"/><dox:attribitem id=\"cy\" value=\"%d\"/>"
                      "</dox:attrib></dox:control>",
                      c.x, -c.d, c.cx, c.cy);
        ASSERT_TRUE(LoadFromText(edit, xml));
        EXPECT_EQ(edit.base.GetX(), c.ex);
        EXPECT_EQ(edit.base.GetY(), -c.ed);
        EXPECT_EQ(edit.base.GetWidth(), c.ecx);
        EXPECT_EQ(edit.base.GetHeight(), c.ecy);
    }
}

} // namespace
