// The data layout of a page in the template XML: what is written, in which
// order, how it reads back, and which damaged layouts are refused.

#include <gtest/gtest.h>

#include <tinyxml2.h>

#include "BillTestSupport.h"
#include "DataFunction.h"

using billtest::AddTyped;

namespace
{

std::string Print(tinyxml2::XMLDocument& doc)
{
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    return printer.CStr();
}

std::string WritePage(DataPage& page)
{
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* root = doc.NewElement("dox:datapage");
    doc.InsertEndChild(root);
    EXPECT_EQ(page.WriteXml(root), 1);
    return Print(doc);
}

// Reads text into page; the result of DataPage::ReadXml.
int ReadPage(DataPage& page, const std::string& xml)
{
    tinyxml2::XMLDocument doc;
    if (doc.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS)
        return -1;
    return page.ReadXml(doc.RootElement());
}

TEST(DataPageXml, WritesTheLayoutInOrder)
{
    DataPage page;
    DataField* amount = AddTyped(page, L"金额", 1);
    DataFunctionObject* sum = amount->Execute().AddObject();
    sum->SetFunctionIndex(6);
    sum->SetParamText(L"明细.小计");
    DataFunctionObject* range = amount->Filter().AddObject();
    range->SetFunctionIndex(1);
    range->SetParamText(L"0,1e6");
    page.AddField(L"unused")->DropRef();
    DataTable* table = page.AddTable(L"明细");
    table->SetRows(5);
    AddTyped(*table, L"小计", 1);
    AddTyped(*table, L"it's \"q\" & <x>", 0);

    EXPECT_EQ(WritePage(page),
              "<dox:datapage maxtid=\"1\">\n"
              "    <dox:datafield name=\"金额\" type=\"1\">\n"
              "        <dox:function_execute>\n"
              "            <dox:function id=\"6\" param=\"明细.小计\"/>\n"
              "        </dox:function_execute>\n"
              "        <dox:function_filter>\n"
              "            <dox:function id=\"1\" param=\"0,1e6\"/>\n"
              "        </dox:function_filter>\n"
              "    </dox:datafield>\n"
              "    <dox:datatable id=\"_table0\" name=\"明细\" rows=\"5\">\n"
              "        <dox:datafield name=\"小计\" type=\"1\">\n"
              "            <dox:function_execute/>\n"
              "            <dox:function_filter/>\n"
              "        </dox:datafield>\n"
              "        <dox:datafield name=\"it&apos;s &quot;q&quot; &amp; &lt;x&gt;\" type=\"0\">\n"
              "            <dox:function_execute/>\n"
              "            <dox:function_filter/>\n"
              "        </dox:datafield>\n"
              "    </dox:datatable>\n"
              "</dox:datapage>\n");
}

TEST(DataPageXml, RoundTripsByteForByte)
{
    DataPage page;
    AddTyped(page, L"a", 3);
    DataField* total = AddTyped(page, L"total", 1);
    for (uint32_t index : {1u, 4u}) {
        DataFunctionObject* call = total->Execute().AddObject();
        call->SetFunctionIndex(index);
        call->SetParamText(index == 1 ? L"t2.x" : L"_result,2");
    }
    page.AddTable(L"t1");
    DataTable* t2 = page.AddTable(L"t2");
    t2->SetRows(1024);
    AddTyped(*t2, L"x", 1);
    const std::string first = WritePage(page);

    DataPage copy;
    ASSERT_EQ(ReadPage(copy, first), 1);
    // Fields read from XML have no users yet; the controls add them.
    for (DataContainer* c : std::vector<DataContainer*>{&copy, copy.Tables()[0], copy.Tables()[1]}) {
        for (const auto& field : c->Fields())
            field->AddRef();
    }
    EXPECT_EQ(WritePage(copy), first);
    EXPECT_EQ(copy.GetNextTableNumber(), 2);
    EXPECT_EQ(copy.Tables()[1]->GetRows(), 1024);
    EXPECT_EQ(copy.LookupField(L"total")->Execute().GetValueText(), L"GET(t2.x);MUL(_result,2);");
}

TEST(DataPageXml, ReadingRulesAndRefusals)
{
    struct Case {
        const char* name;
        std::string xml;
        int result;
        size_t mainFields;
        size_t tables;
        int32_t nextTable;
    } cases[] = {
        {"no maxtid", R"(<dox:datapage><dox:datafield name="a" type="2"/></dox:datapage>)", 1, 1, 0, 0},
        {"blank and sign before digits", R"(<dox:datapage maxtid=" +7x"/>)", 1, 0, 0, 7},
        {"empty name", R"(<dox:datapage><dox:datafield name="" type="0"/></dox:datapage>)", 0, 1, 0, 0},
        {"missing name", R"(<dox:datapage><dox:datafield type="0"/></dox:datapage>)", 0, 1, 0, 0},
        {"type out of range", R"(<dox:datapage><dox:datafield name="a" type="4"/></dox:datapage>)", 0, 1, 0,
         0},
        {"negative type", R"(<dox:datapage><dox:datafield name="a" type="-1"/></dox:datapage>)", 0, 1, 0, 0},
        {"huge type", R"(<dox:datapage><dox:datafield name="a" type="4294967297"/></dox:datapage>)", 0, 1, 0,
         0},
        {"missing type is text", R"(<dox:datapage><dox:datafield name="a"/></dox:datapage>)", 1, 1, 0, 0},
        {"wrong root", R"(<dox:page><dox:datafield name="a"/></dox:page>)", 0, 0, 0, 0},
        {"root name case", R"(<DOX:datapage/>)", 0, 0, 0, 0},
        {"table, field, table",
         R"(<dox:datapage maxtid="2"><dox:datatable id="_table0" name="x"/><dox:datafield name="f"/>)"
         R"(<dox:datatable id="_table1" name="y" rows="3"/></dox:datapage>)",
         1, 1, 2, 2},
        {"bad function element",
         R"(<dox:datapage><dox:datafield name="a"><dox:function_filter><dox:function id="1"/>)"
         R"(<dox:functions id="2"/></dox:function_filter></dox:datafield></dox:datapage>)",
         1, 1, 0, 0},
        {"bad field in a table",
         R"(<dox:datapage><dox:datatable id="_table0" name="x"><dox:datafield name=""/></dox:datatable>)"
         R"(</dox:datapage>)",
         0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        DataPage page;
        EXPECT_EQ(ReadPage(page, c.xml), c.result) << c.name;
        EXPECT_EQ(page.Fields().size(), c.mainFields) << c.name;
        EXPECT_EQ(page.Tables().size(), c.tables) << c.name;
        EXPECT_EQ(page.GetNextTableNumber(), c.nextTable) << c.name;
    }
}

TEST(DataPageXml, TablesReadInDocumentOrderWithTheirRows)
{
    DataPage page;
    ASSERT_EQ(ReadPage(page, R"(<dox:datapage maxtid="2"><dox:datatable id="_table1" name="y" rows="3"/>)"
                             R"(<dox:datatable id="_table0" name="x"/></dox:datapage>)"),
              1);
    ASSERT_EQ(page.Tables().size(), 2u);
    EXPECT_EQ(page.Tables()[0]->GetName(), L"y");
    EXPECT_EQ(page.Tables()[0]->GetRows(), 3);
    EXPECT_EQ(page.Tables()[1]->GetKey(), L"_table0");
    EXPECT_EQ(page.Tables()[1]->GetRows(), 0);
    EXPECT_EQ(page.AddTable(L"z")->GetKey(), L"_table2");
}

TEST(DataPageXml, ANewTableNeverTakesAKeyInUse)
{
    // Layouts whose counter is missing, at the end of its range or negative, with
    // tables that already use _table0 and _table1.
    struct Case {
        const char* maxtid;
        const wchar_t* key;
    } cases[] = {{nullptr, L"_table2"}, {"2147483647", L"_table2"}, {"-3", L"_table2"}};
    for (const Case& c : cases) {
        DataPage page;
        const std::string counter = c.maxtid ? std::string(" maxtid=\"") + c.maxtid + "\"" : std::string();
        ASSERT_EQ(ReadPage(page, ("<dox:datapage" + counter + R"(><dox:datatable id="_table0" name="x"/>)" +
                                  R"(<dox:datatable id="_table1" name="y"/></dox:datapage>)")
                                     .c_str()),
                  1);
        EXPECT_EQ(page.AddTable(L"z")->GetKey(), c.key) << (c.maxtid ? c.maxtid : "none");
    }
}

TEST(DataPageXml, ReadingRebuildsTablesButKeepsThePagesFields)
{
    DataPage page;
    page.AddField(L"own");
    page.AddTable(L"old");
    ASSERT_EQ(ReadPage(page, R"(<dox:datapage><dox:datafield name="read"/><dox:datatable name="new"/>)"
                             R"(</dox:datapage>)"),
              1);
    ASSERT_EQ(page.Fields().size(), 2u);
    EXPECT_EQ(page.Fields()[0]->GetName(), L"own");
    EXPECT_EQ(page.Fields()[1]->GetRefCount(), 0);
    ASSERT_EQ(page.Tables().size(), 1u);
    EXPECT_EQ(page.Tables()[0]->GetName(), L"new");
}

} // namespace
