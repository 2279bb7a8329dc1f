// Fields, cells and values: typed values handed out as IDoxValue, how a typed
// text is tested and stored, default names, renaming and the modified flag.

#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "DataCell.h"
#include "DataFunction.h"
#include "DataRow.h"
#include "DataValue.h"

using billtest::AddTyped;
using billtest::RecordingObserver;

namespace
{

TEST(DataFieldValue, IDoxValueByTypeAndText)
{
    struct Case {
        uint32_t fieldType;
        const wchar_t* text;
        int stored;
        uint32_t valueType;
        const wchar_t* valueText;
        double number;
        bool hasTime;
        const wchar_t* formatted; // entry 0 of the category
    } cases[] = {
        {0, L"hello", 1, 1, L"hello", 0.0, false, L"hello"},
        {0, L"", 0, 0, L"", 0.0, false, L""},
        {1, L"12.5", 1, 2, L"", 12.5, false, L"12.5"},
        {1, L" 3w ", 1, 2, L"", 30000.0, false, L"30000"},
        {1, L"12abc", 0, 0, L"", 0.0, false, L""},
        {2, L"2024-03-01", 1, 3, L"", 0.0, true, L"2024-03-01"},
        {2, L"2024-02-30", 0, 0, L"", 0.0, false, L""},
        {3, L"2024-03-01 08:05:09", 1, 3, L"", 0.0, true, L"2024-03-01 08:05:09"},
    };
    for (const Case& c : cases) {
        DataPage page;
        DataField* field = AddTyped(page, L"f", c.fieldType);
        ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
        std::wstring message;
        EXPECT_EQ(page.SetFieldText(L"主表.f", 0, c.text), c.stored) << c.text;
        IDoxValue* value = page.GetFieldValue(L"主表.f", 0);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->GetType(), c.valueType) << c.text;
        EXPECT_STREQ(value->GetText(), c.valueText) << c.text;
        EXPECT_EQ(value->GetNumber(), c.number) << c.text;
        EXPECT_EQ(value->GetTime() != 0, c.hasTime) << c.text;
        EXPECT_STREQ(value->Format(0, nullptr), c.formatted) << c.text;
        // An accepted entry stays as typed; a refused one leaves the (empty) cell alone.
        EXPECT_EQ(field->GetCell(0)->GetEnteredText(), c.stored ? c.text : L"") << c.text;
    }
}

TEST(DataFieldValue, FormatOutsideTheCategoryIsEmpty)
{
    DataPage page;
    AddTyped(page, L"n", 1);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    page.SetFieldText(L"主表.n", 0, L"1234.5");
    IDoxValue* value = page.GetFieldValue(L"主表.n", 0);
    EXPECT_STREQ(value->Format(9, nullptr), L"1,234.50");
    EXPECT_STREQ(value->Format(94, nullptr), L"");
    EXPECT_STREQ(value->Format(0xFFFF, nullptr), L"");
    EXPECT_STREQ(value->Format(0x10009, nullptr), L"");
    EXPECT_STREQ(value->Format(1, nullptr), L"");
}

TEST(DataFieldValue, EmptyTextLeavesNoValueAndNotifies)
{
    for (bool withFilter : {false, true}) {
        DataPage page;
        DataField* field = AddTyped(page, L"n", 1);
        if (withFilter) {
            DataFunctionObject* call = field->Filter().AddObject();
            call->SetFunctionIndex(0);
        }
        ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
        EXPECT_EQ(field->GetFilter() != nullptr, withFilter);
        RecordingObserver observer;
        field->AddObserver(0, &observer);
        ASSERT_EQ(page.SetFieldText(L"主表.n", 0, L"5"), 1);
        EXPECT_EQ(page.SetFieldText(L"主表.n", 0, L""), 0);
        EXPECT_EQ(field->GetCell(0)->HasValue(), false);
        EXPECT_EQ(observer.rows, (std::vector<int32_t>{0, 0})) << withFilter;
    }
}

TEST(DataFieldValue, UnparsedTextIsRefusedAndKeepsTheStoredValue)
{
    DataPage page;
    DataField* field = AddTyped(page, L"n", 1);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    ASSERT_EQ(page.SetFieldText(L"主表.n", 0, L"5"), 1);
    RecordingObserver observer;
    field->AddObserver(0, &observer);
    std::wstring message;
    EXPECT_EQ(page.SetCellText(0, field, L"x1", &message), 0);
    EXPECT_EQ(message, L"无效的数字");
    EXPECT_EQ(field->GetCell(0)->GetEnteredText(), L"5");
    double number = 0;
    ASSERT_EQ(field->GetCell(0)->GetNumberIfSet(number), 1);
    EXPECT_EQ(number, 5.0);
    EXPECT_TRUE(observer.rows.empty());
}

TEST(DataFieldValue, ModifiedOnlyWhenTheDefaultTextChanges)
{
    DataPage page;
    DataTable* table = page.AddTable(L"附表1");
    table->SetRows(2);
    AddTyped(page, L"n", 1);
    AddTyped(*table, L"m", 1);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    struct Step {
        const wchar_t* name;
        int32_t row;
        const wchar_t* text;
        int modified;
    } steps[] = {
        {L"主表.n", 0, L"1", 1},  {L"主表.n", 0, L"1.0", 0}, {L"主表.n", 0, L" 1 ", 0},
        {L"主表.n", 0, L"2", 1},  {L"主表.n", 0, L"", 1},    {L"主表.n", 0, L"", 0},
        {L"附表1.m", 1, L"7", 1}, {L"附表1.m", 1, L"7", 0},
    };
    for (const Step& s : steps) {
        page.ClearModified();
        page.SetFieldText(s.name, s.row, s.text);
        EXPECT_EQ(page.IsModified(), s.modified) << s.name << " " << s.text;
    }
}

TEST(DataFieldValue, SetValueChecksTheType)
{
    DataPage page;
    DataField* field = AddTyped(page, L"n", 1);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    DataValue text;
    text.type = 0;
    text.SetText(L"5");
    EXPECT_EQ(field->GetCell(0)->SetValue(text), 0);
    DataValue number;
    number.type = 1;
    number.SetNumber(2.5);
    EXPECT_EQ(field->GetCell(0)->SetValue(number), 1);
    EXPECT_EQ(field->GetCell(0)->GetEnteredText(), L"2.5");
    DataValue back;
    ASSERT_EQ(field->GetCell(0)->GetValue(back), 1);
    EXPECT_EQ(back.type, 1u);
    EXPECT_EQ(back.value.number, 2.5);
}

TEST(DataFieldNames, DefaultNames)
{
    struct Case {
        std::vector<const wchar_t*> names;
        const wchar_t* expected;
    } cases[] = {
        {{}, L"字段1"},           {{L"字段3", L"字段9"}, L"字段10"}, {{L"a", L"b"}, L"字段3"},
        {{L"字段 7x"}, L"字段8"}, {{L"字段-5", L"x"}, L"字段3"},     {{L"字段x9"}, L"字段2"},
    };
    for (const Case& c : cases) {
        DataPage page;
        for (const wchar_t* name : c.names)
            page.AddField(name);
        EXPECT_EQ(page.MakeFieldName(), c.expected);
        EXPECT_EQ(page.AddField(L"")->GetName(), c.expected);
    }
}

TEST(DataFieldNames, AddAndFindShareFieldsIgnoringCase)
{
    DataPage page;
    DataField* a = page.AddField(L"Amount");
    EXPECT_EQ(page.AddField(L"amount"), a);
    EXPECT_EQ(a->GetRefCount(), 2);
    EXPECT_EQ(page.FindField(L"AMOUNT"), a);
    EXPECT_EQ(a->GetRefCount(), 3);
    EXPECT_EQ(page.FindField(L""), nullptr);
    EXPECT_EQ(page.LookupField(L"amount"), a);
    EXPECT_EQ(a->GetRefCount(), 3);
}

TEST(DataFieldNames, Rename)
{
    DataPage page;
    // Two controls bound to 字段1.
    DataField* shared = page.AddField(L"字段1");
    page.AddField(L"字段1");
    DataField* moved = page.RenameField(L"字段2", shared);
    EXPECT_EQ(shared->GetRefCount(), 1);
    EXPECT_EQ(moved->GetName(), L"字段2");
    EXPECT_NE(moved, shared);

    // A change of letter case keeps the field and its type.
    moved->SetType(1);
    DataField* same = page.RenameField(L"字段2", moved);
    EXPECT_EQ(same, moved);
    page.AddField(L"x")->SetType(2);
    DataField* x = page.LookupField(L"x");
    DataField* upper = page.RenameField(L"X", x);
    ASSERT_EQ(upper, x);
    EXPECT_EQ(upper->GetName(), L"X");
    EXPECT_EQ(upper->GetType(), 2u);
    EXPECT_EQ(page.Fields().size(), 3u);

    // Renaming to another field's name binds to that field; the old one goes.
    DataField* joined = page.RenameField(L"字段1", moved);
    EXPECT_EQ(joined, shared);
    EXPECT_EQ(shared->GetRefCount(), 2);
    EXPECT_EQ(page.LookupField(L"字段2"), nullptr);

    // An empty name releases the binding.
    EXPECT_EQ(page.RenameField(L"", upper), nullptr);
    EXPECT_EQ(page.LookupField(L"X"), nullptr);
}

TEST(DataFieldNames, QualifiedNames)
{
    DataPage page;
    DataTable* table = page.AddTable(L"明细");
    EXPECT_EQ(page.AddField(L"金额")->GetQualifiedName(), L"主表.金额");
    EXPECT_EQ(table->AddField(L"金额")->GetQualifiedName(), L"明细.金额");
}

TEST(DataFieldLife, FieldRemovedWhileRowsExistLeavesNoDanglingCell)
{
    DataPage page;
    DataField* a = AddTyped(page, L"a", 1);
    DataField* b = AddTyped(page, L"b", 1);
    DataFunctionObject* get = b->Execute().AddObject();
    get->SetFunctionIndex(1);
    get->SetParamText(L"主表.a");
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    page.SetFieldText(L"主表.a", 0, L"5");
    ASSERT_EQ(b->GetCell(0)->GetNumber(), 5.0);
    IDoxValue* bValue = page.GetFieldValue(L"主表.b", 0);
    b->Release();
    EXPECT_EQ(bValue->GetType(), 0u);
    EXPECT_STREQ(bValue->Format(0, nullptr), L"");
    // a no longer drives the removed field's function.
    EXPECT_EQ(a->ObserverCount(), 0u);
    page.SetFieldText(L"主表.a", 0, L"6");
    page.ResetRecordIds();
    page.NotifyObservers();
}

} // namespace
