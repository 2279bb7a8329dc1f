// Data pages and tables: table names and keys, preparation for records, the
// page-level field operations and the value test.

#include <gtest/gtest.h>

#include "BillTestSupport.h"
#include "DataCell.h"
#include "DataRow.h"

using billtest::AddTyped;
using billtest::RecordingObserver;

namespace
{

TEST(DataPageTables, DefaultNamesAndKeys)
{
    DataPage page;
    DataTable* first = page.AddTable(L"附表1");
    DataTable* fifth = page.AddTable(L"附表5");
    EXPECT_EQ(first->GetKey(), L"_table0");
    EXPECT_EQ(fifth->GetKey(), L"_table1");
    DataTable* next = page.AddTable(L"");
    EXPECT_EQ(next->GetName(), L"附表6");
    EXPECT_EQ(next->GetKey(), L"_table2");
    EXPECT_EQ(next->GetRefCount(), 1);
    EXPECT_EQ(page.GetNextTableNumber(), 3);
    EXPECT_EQ(page.AddTable(L"附表5"), nullptr);
    EXPECT_EQ(page.GetNextTableNumber(), 3);
}

TEST(DataPageTables, NameRules)
{
    DataPage page;
    DataTable* table = page.AddTable(L"Lines");
    struct Case {
        const wchar_t* name;
        int free;
    } cases[] = {
        {L"", 0}, {nullptr, 0}, {L"主表", 0}, {L"lines", 0}, {L"LINES", 0}, {L"Other", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(page.IsTableNameFree(c.name), c.free) << (c.name ? c.name : L"null");

    EXPECT_EQ(table->SetName(L""), 0);
    EXPECT_EQ(table->SetName(L"主表"), 0);
    // A change of letter case of its own name is no clash.
    EXPECT_EQ(table->SetName(L"LINES"), 1);
    EXPECT_EQ(table->GetName(), L"LINES");
    page.AddTable(L"Other");
    EXPECT_EQ(table->SetName(L"other"), 0);
    EXPECT_EQ(table->GetName(), L"LINES");
    EXPECT_EQ(page.FindTable(L"lines"), table);
    EXPECT_EQ(table->GetRefCount(), 2);
}

TEST(DataPageTables, LastReleaseDestroysTheTable)
{
    DataPage page;
    DataTable* table = page.AddTable(L"t");
    table->AddRef();
    table->Release();
    EXPECT_EQ(page.Tables().size(), 1u);
    table->Release();
    EXPECT_TRUE(page.Tables().empty());
}

TEST(DataPagePrepare, RowLimits)
{
    struct Case {
        int32_t rows;
        int prepared;
    } cases[] = {{0, 1}, {1, 1}, {1024, 1}, {1025, 0}, {-1, 0}};
    for (const Case& c : cases) {
        DataPage page;
        DataTable* table = page.AddTable(L"t");
        table->SetRows(c.rows);
        AddTyped(*table, L"x", 0);
        EXPECT_EQ(page.PrepareStore(nullptr, L"P"), c.prepared) << c.rows;
        if (c.prepared) {
            EXPECT_EQ(table->Rows().size(), static_cast<size_t>(c.rows));
        }
    }
}

TEST(DataPagePrepare, LayOutRenumbersColumnsAndForgetsIds)
{
    DataPage page;
    AddTyped(page, L"a", 0);
    DataField* b = AddTyped(page, L"b", 0);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    page.Rows()[0]->SetRecordId(7);
    page.LookupField(L"a")->Release();
    AddTyped(page, L"c", 0);
    ASSERT_EQ(page.PrepareStore(nullptr, L"P"), 1);
    EXPECT_EQ(b->GetColumn(), 0);
    EXPECT_EQ(page.Rows()[0]->CellCount(), 2u);
    EXPECT_EQ(page.GetRecordId(0), -1);
    EXPECT_EQ(page.GetRecordId(1), 0);
}

class DataPageFields : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table_ = page_.AddTable(L"Lines");
        table_->SetRows(3);
        AddTyped(page_, L"Amount", 1);
        AddTyped(*table_, L"qty", 1);
        ASSERT_EQ(page_.PrepareStore(nullptr, L"P"), 1);
    }
    DataPage page_;
    DataTable* table_ = nullptr;
};

TEST_F(DataPageFields, LookupByKeyIsExactByQualifiedNameIgnoresCase)
{
    EXPECT_NE(page_.FindFieldByKey(L"主表.Amount"), nullptr);
    EXPECT_EQ(page_.FindFieldByKey(L"主表.amount"), nullptr);
    EXPECT_EQ(page_.SetFieldText(L"主表.amount", 0, L"1"), 0);
    EXPECT_EQ(page_.SetFieldText(L"主表.Amount", 0, L"1"), 1);

    struct Case {
        const wchar_t* name;
        bool found;
    } cases[] = {
        {L"主表.amount", true}, {L"lines.QTY", true}, {L"LINES.qty.2", true}, {L"Lines", false},
        {L"主表.qty", false},   {L"x.qty", false},    {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(page_.FindFieldByQualifiedName(c.name) != nullptr, c.found) << c.name;
}

TEST_F(DataPageFields, FieldList)
{
    auto names = [](const std::vector<DataField*>& list) {
        std::wstring out;
        for (DataField* f : list)
            out += f->GetName() + L" ";
        return out;
    };
    EXPECT_EQ(names(page_.GetFieldList(nullptr)), L"Amount qty ");
    EXPECT_EQ(names(page_.GetFieldList(table_)), L"qty ");
}

// The page finds fields by their qualified names through a map made when it was
// prepared: a field released, renamed or whose table is renamed afterwards must not
// be found under its old name, nor reached once it is destroyed.
TEST_F(DataPageFields, LookupFollowsFieldsThatGoOrAreRenamed)
{
    DataField* qty = page_.FindFieldByKey(L"Lines.qty");
    ASSERT_NE(qty, nullptr);
    DataField* count = table_->RenameField(L"count", qty);
    ASSERT_EQ(count, qty);
    EXPECT_EQ(page_.FindFieldByKey(L"Lines.qty"), nullptr);
    EXPECT_EQ(page_.FindFieldByKey(L"Lines.count"), count);

    ASSERT_EQ(table_->SetName(L"Items"), 1);
    EXPECT_EQ(page_.FindFieldByKey(L"Lines.count"), nullptr);
    EXPECT_EQ(page_.FindFieldByKey(L"Items.count"), count);

    // Released for good: gone from the lookup, and the table can go after it
    // without the page reaching the destroyed field.
    count->Release();
    EXPECT_EQ(page_.FindFieldByKey(L"Items.count"), nullptr);
    EXPECT_EQ(page_.SetFieldText(L"Items.count", 0, L"1"), 0);
    table_->Release();
    EXPECT_EQ(page_.Tables().size(), 0u);
    EXPECT_NE(page_.FindFieldByKey(L"主表.Amount"), nullptr);
}

TEST_F(DataPageFields, TestFieldTextAndValues)
{
    struct Case {
        const wchar_t* name;
        int32_t row;
        int result;
        const wchar_t* message;
    } cases[] = {
        {L"", 0, 0, L"无效的字段名"},
        {L"主表.nope", 0, 0, L"指定的字段不存在"},
        {L"Lines.qty", 2, 1, L""},
    };
    for (const Case& c : cases) {
        std::wstring message;
        EXPECT_EQ(page_.TestFieldText(c.name, c.row, L"x", &message), c.result) << c.name;
        EXPECT_EQ(message, c.message) << c.name;
    }
    EXPECT_EQ(page_.GetFieldValue(L"Lines.qty", 3), nullptr);
    EXPECT_EQ(page_.GetFieldValue(L"Lines.qty", -1), nullptr);
    EXPECT_EQ(page_.GetFieldValue(L"", 0), nullptr);
    EXPECT_NE(page_.GetFieldValue(L"Lines.qty", 2), nullptr);

    DataTestResult& result = page_.TestResult();
    result.Set(0, L"无效的数字");
    EXPECT_EQ(result.GetResult(), 0);
    EXPECT_STREQ(result.GetMessage(), L"无效的数字");
    result.Reset();
    EXPECT_STREQ(result.GetMessage(), L"");
}

TEST_F(DataPageFields, ResetRecordIdsEmptiesAndNotifies)
{
    RecordingObserver observer;
    page_.LookupField(L"Amount")->AddObserver(-1, &observer);
    table_->LookupField(L"qty")->AddObserver(2, &observer);
    page_.SetFieldText(L"主表.Amount", 0, L"3");
    page_.SetFieldText(L"Lines.qty", 2, L"4");
    page_.Rows()[0]->SetRecordId(12);
    EXPECT_EQ(page_.HasAnyValue(), 1);
    observer.rows.clear();
    EXPECT_EQ(page_.ResetRecordIds(), 1);
    EXPECT_EQ(page_.HasAnyValue(), 0);
    EXPECT_EQ(page_.IsModified(), 0);
    EXPECT_EQ(page_.GetRecordId(0), -1);
    // Amount for its row, qty only for row 2 (the observer's own row).
    EXPECT_EQ(observer.rows, (std::vector<int32_t>{0, 2}));
    observer.rows.clear();
    page_.NotifyObservers();
    EXPECT_EQ(observer.rows, (std::vector<int32_t>{0, 2}));
}

TEST_F(DataPageFields, ClearRowsKeepsFieldsAndTables)
{
    page_.ClearRows();
    EXPECT_TRUE(page_.Rows().empty());
    EXPECT_TRUE(table_->Rows().empty());
    EXPECT_EQ(page_.GetFieldValue(L"主表.Amount", 0), nullptr);
    EXPECT_EQ(page_.Fields().size(), 1u);
    ASSERT_EQ(page_.PrepareStore(nullptr, L"P"), 1);
    EXPECT_EQ(table_->Rows().size(), 3u);
}

} // namespace
