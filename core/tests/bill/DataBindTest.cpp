// The data binding group of a control: binding, renaming and retyping the field
// through the items, the sinks that follow the type, the function items and
// what the group writes to the template.

#include <gtest/gtest.h>

#include <tinyxml2.h>

#include "BillTestSupport.h"
#include "DataFunction.h"
#include "DoxDataAttribute.h"

using billtest::AddTyped;

namespace
{

class TypeSink : public DoxDataAttributeSink
{
public:
    void OnFieldType(uint32_t type) override { types.push_back(type); }
    std::vector<uint32_t> types;
};

TEST(DataBind, NewControlsCreateOrShareTheirField)
{
    DataPage page;
    DoxDataAttribute first;
    ASSERT_TRUE(first.Bind(&page, &page, true));
    EXPECT_EQ(first.FieldName().GetText(), L"字段1");
    EXPECT_EQ(first.TableName().GetText(), L"主表");
    EXPECT_STREQ(first.FieldType().GetValueText(), L"文本");

    DoxDataAttribute second;
    second.FieldName().SetTextLimited(L"字段1");
    ASSERT_TRUE(second.Bind(&page, &page, true));
    EXPECT_EQ(second.GetField(), first.GetField());
    EXPECT_EQ(first.GetField()->GetRefCount(), 2);

    // Renaming one binding moves only that control.
    EXPECT_TRUE(second.FieldName().SetValueText(L"字段2"));
    EXPECT_EQ(second.FieldName().GetText(), L"字段2");
    EXPECT_EQ(first.GetField()->GetRefCount(), 1);
    EXPECT_EQ(first.FieldName().GetText(), L"字段1");
    EXPECT_EQ(page.Fields().size(), 2u);

    EXPECT_FALSE(DoxDataAttribute().Bind(nullptr, &page, true));
}

TEST(DataBind, TemplateControlsFindTheFieldsReadWithThePage)
{
    DataPage page;
    DataTable* table = page.AddTable(L"明细");
    DataField* read = table->AppendField();
    read->SetName(L"金额");
    read->SetType(2);
    DoxDataAttribute attribute;
    attribute.FieldName().SetTextLimited(L"金额");
    ASSERT_TRUE(attribute.Bind(table, &page, false));
    EXPECT_EQ(attribute.GetField(), read);
    EXPECT_EQ(read->GetRefCount(), 1);
    EXPECT_EQ(attribute.TableName().GetText(), L"明细");
    EXPECT_STREQ(attribute.FieldType().GetValueText(), L"日期");
    {
        DoxDataAttribute missing;
        missing.FieldName().SetTextLimited(L"新");
        ASSERT_TRUE(missing.Bind(table, &page, false));
        EXPECT_EQ(table->Fields().size(), 2u);
    }
    // The binding went with its attribute: a field nobody uses goes.
    EXPECT_EQ(table->Fields().size(), 1u);
    EXPECT_EQ(table->GetRefCount(), 2);
}

TEST(DataBind, FieldNameRules)
{
    DataPage page;
    AddTyped(page, L"amount", 1)->DropRef();
    DoxDataAttribute attribute;
    ASSERT_TRUE(attribute.Bind(&page, &page, true));
    struct Case {
        const wchar_t* name;
        bool accepted;
        const wchar_t* shown;
    } cases[] = {
        {L"select", false, L"字段2"}, {L"1st", false, L"字段2"},        {L"a-b", false, L"字段2"},
        {L"row", false, L"字段2"},    {L"CreateTime", false, L"字段2"}, {L"order", true, L"order"},
        {L"金额", true, L"金额"},     {L"AMOUNT", true, L"amount"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(attribute.FieldName().SetValueText(c.name), c.accepted) << c.name;
        EXPECT_EQ(attribute.FieldName().GetText(), c.shown) << c.name;
        if (!c.accepted) {
            EXPECT_STREQ(attribute.FieldName().GetErrorText(), L"字段名包含无效的字符或者保留的字符串")
                << c.name;
        }
    }
    // Joined the existing field and shows its type.
    EXPECT_STREQ(attribute.FieldType().GetValueText(), L"数值");
    EXPECT_EQ(page.Fields().size(), 1u);
}

TEST(DataBind, TypeChangesReachSinksAndFunctions)
{
    DataPage page;
    DataField* date = AddTyped(page, L"d", 2);
    DoxDataAttribute attribute;
    attribute.FieldName().SetTextLimited(L"d");
    ASSERT_TRUE(attribute.Bind(&page, &page, false));
    TypeSink sink;
    attribute.AddSink(&sink);
    EXPECT_EQ(sink.types, (std::vector<uint32_t>{2}));

    attribute.FieldType().SetValueText(L"数值");
    EXPECT_EQ(date->GetType(), 1u);
    DataFunction& execute = date->Execute();
    for (uint32_t index : {1u, 6u, 10u}) {
        DataFunctionObject* call = execute.AddObject();
        call->SetFunctionIndex(index);
    }
    ASSERT_TRUE(attribute.FieldType().SetValueText(L"日期"));
    EXPECT_EQ(date->GetType(), 2u);
    EXPECT_EQ(execute.GetValueText(), L"GET();");
    EXPECT_EQ(sink.types, (std::vector<uint32_t>{2, 1, 2}));

    attribute.RemoveSink(&sink);
    attribute.FieldType().SetValueText(L"文本");
    EXPECT_EQ(sink.types.size(), 3u);
}

TEST(DataBind, UnboundShowsNothing)
{
    DoxDataAttribute attribute;
    attribute.Refresh();
    EXPECT_EQ(attribute.TableName().GetText(), L"");
    EXPECT_EQ(attribute.FieldName().GetText(), L"");
    EXPECT_STREQ(attribute.FieldType().GetValueText(), L"文本");
    std::wstring out = L"x";
    EXPECT_FALSE(attribute.FormatBoundValue(nullptr, nullptr, 0, out));
    EXPECT_EQ(out, L"");
    EXPECT_EQ(attribute.GetFormatId(nullptr), 0);
    const uint32_t id = 0x10009;
    EXPECT_EQ(attribute.GetFormatId(&id), 0x10009);
}

TEST(DataBind, FormatsTheBoundValue)
{
    DataPage page;
    AddTyped(page, L"n", 1);
    DoxDataAttribute attribute;
    attribute.FieldName().SetTextLimited(L"n");
    ASSERT_TRUE(attribute.Bind(&page, &page, false));
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    page.SetFieldText(L"主表.n", 0, L"1234.5");
    std::wstring out;
    EXPECT_TRUE(attribute.FormatBoundValue(nullptr, nullptr, 0, out));
    EXPECT_EQ(out, L"1234.5");
    const uint32_t thousands = 0x10009;
    EXPECT_TRUE(attribute.FormatBoundValue(&thousands, nullptr, 0, out));
    EXPECT_EQ(out, L"1,234.50");
    EXPECT_EQ(attribute.GetFormatId(nullptr), 0x10000);
}

TEST(DataBind, FunctionItemsEditTheFieldsCalls)
{
    DataPage page;
    DataTable* table = page.AddTable(L"附表1");
    table->SetRows(2);
    AddTyped(*table, L"金额", 1);
    DoxDataAttribute attribute;
    attribute.FieldName().SetTextLimited(L"total");
    ASSERT_TRUE(attribute.Bind(&page, &page, true));
    attribute.FieldType().SetValueText(L"数值");

    DoxDataFunctionAttribItem& item = attribute.ExecuteItem();
    ASSERT_TRUE(item.AddElement());
    ASSERT_EQ(item.GetElementCount(), 1);
    IDoxAttribSet* call = item.GetElement(0);
    ASSERT_NE(call, nullptr);
    EXPECT_STREQ(call->GetName(), L"取值函数");
    ASSERT_EQ(call->GetCount(), 1);
    IDoxAttrib* group = call->GetAt(0);
    ASSERT_EQ(group->GetChildCount(), 2);
    IDoxAttrib* function = group->GetChild(0);
    IDoxAttrib* param = group->GetChild(1);
    EXPECT_STREQ(function->GetCaption(), L"函数");
    EXPECT_STREQ(param->GetCaption(), L"参数");
    EXPECT_EQ(param->GetType(), 0x120005u);
    EXPECT_EQ(function->GetOptionCount(), 15);
    EXPECT_STREQ(function->GetOptionText(6), L"SUM");
    EXPECT_EQ(param->GetOptionCount(), 2);
    EXPECT_STREQ(param->GetOptionText(1), L"附表1.金额");

    EXPECT_TRUE(function->SetValueText(L"sum"));
    EXPECT_FALSE(param->SetValueText(L"ab"));
    EXPECT_STREQ(param->GetErrorText(), L"字段名格式不正确");
    EXPECT_FALSE(param->SetValueText(L"主表.total"));
    EXPECT_STREQ(param->GetErrorText(), L"不能引用字段本身");
    EXPECT_TRUE(param->SetValueText(L"附表1.金额"));
    EXPECT_STREQ(item.GetValueText(), L"SUM(附表1.金额);");
    // A function the field's type does not offer is no choice.
    EXPECT_FALSE(function->SetValueText(L"RAGNE"));
    DataFunctionAttribOptions options(&attribute.GetField()->Execute());
    uint32_t index = 99;
    std::wstring message;
    EXPECT_FALSE(options.Parse(L"RAGNE", index, message));
    EXPECT_EQ(message, L"无效数据");
    EXPECT_TRUE(options.Parse(L"", index, message));
    EXPECT_EQ(index, 99u);
    EXPECT_TRUE(options.Parse(L"dif_year", index, message));
    EXPECT_EQ(index, 12u);
    // The date function cannot read a number column: the parameter goes.
    EXPECT_TRUE(function->SetValueText(L"DIF_DAY"));
    EXPECT_STREQ(item.GetValueText(), L"DIF_DAY();");

    ASSERT_TRUE(item.AddElement());
    EXPECT_FALSE(item.MoveElement(0, true));
    EXPECT_TRUE(item.MoveElement(0, false));
    EXPECT_STREQ(item.GetValueText(), L"NIL();DIF_DAY();");
    item.RemoveElement(0);
    EXPECT_EQ(item.GetElementCount(), 1);
    EXPECT_STREQ(attribute.FilterItem().GetValueText(), L"");
}

TEST(DataBind, TemplateKeepsNameTableAndLengthOnly)
{
    DataPage page;
    AddTyped(page, L"n", 1);
    DoxDataAttribute attribute;
    attribute.FieldName().SetTextLimited(L"n");
    ASSERT_TRUE(attribute.Bind(&page, &page, false));
    attribute.FieldLength().SetValueText(L"12");
    attribute.ExecuteItem().AddElement();
    tinyxml2::XMLDocument doc;
    tinyxml2::XMLElement* element = doc.NewElement(attribute.GetXmlTag());
    doc.InsertEndChild(element);
    ASSERT_TRUE(attribute.SaveXml(element, true));
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    const std::string xml = printer.CStr();
    EXPECT_NE(xml.find("\"databind\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("\"tablename\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("\"fieldname\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("\"fieldlength\""), std::string::npos) << xml;
    EXPECT_EQ(xml.find("fieldtype"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("datafunction"), std::string::npos) << xml;
}

} // namespace
