#include <gtest/gtest.h>

#include "DataPage.h"
#include "DataTable.h"
#include "DoxAttribSet.h"
#include "DoxTableAttribute.h"

namespace
{
struct PageFixture {
    DataPage page;
    PageFixture() { page.PrepareStore(nullptr, L"P"); }
};
} // namespace

TEST(TableAttribute, NewBindingMakesATableAndShowsItsName)
{
    PageFixture f;
    DoxTableAttribute attribute;
    ASSERT_TRUE(attribute.Bind(&f.page, true));
    ASSERT_NE(attribute.GetTable(), nullptr);
    // The page names a new table by its default.
    EXPECT_EQ(attribute.TableName().GetText(), L"附表1");
    EXPECT_EQ(attribute.TableName().GetText(), attribute.GetTable()->GetName());
    EXPECT_EQ(f.page.Tables().size(), 1u);
    DoxTableAttribute second;
    ASSERT_TRUE(second.Bind(&f.page, true));
    EXPECT_EQ(second.TableName().GetText(), L"附表2");
}

TEST(TableAttribute, CopiesShareTheTableAndEitherMayGoFirst)
{
    for (bool originalFirst : {true, false}) {
        PageFixture f;
        auto* original = new DoxTableAttribute;
        ASSERT_TRUE(original->Bind(&f.page, true));
        auto* copy = new DoxTableAttribute;
        copy->TableName().SetTextLimited(original->TableName().GetText());
        ASSERT_TRUE(copy->Bind(&f.page, false));
        EXPECT_EQ(copy->GetTable(), original->GetTable());
        EXPECT_EQ(f.page.Tables().size(), 1u);
        DataTable* table = original->GetTable();
        const std::wstring name = table->GetName();
        delete (originalFirst ? original : copy);
        DoxTableAttribute* left = originalFirst ? copy : original;
        // The survivor's table is still the page's, under its name.
        ASSERT_EQ(f.page.Tables().size(), 1u);
        EXPECT_EQ(f.page.LookupTable(name.c_str()), left->GetTable());
        delete left;
        EXPECT_TRUE(f.page.Tables().empty());
    }
}

TEST(TableAttribute, RenamingFollowsTheStoreNamingRules)
{
    PageFixture f;
    DoxTableAttribute other;
    ASSERT_TRUE(other.Bind(&f.page, true));
    ASSERT_TRUE(other.TableName().SetValueText(L"items"));
    DoxTableAttribute attribute;
    ASSERT_TRUE(attribute.Bind(&f.page, true));
    const std::wstring before = attribute.GetTable()->GetName();

    const std::wstring pageName = f.page.GetName();
    struct Case {
        const wchar_t* name;
        const wchar_t* error; // null: accepted
    } cases[] = {
        {L"", L"数据表名包含无效的字符或者保留的字符串"},
        {L"sqlite_x", L"数据表名包含无效的字符或者保留的字符串"},
        {L"SQLite_x", L"数据表名包含无效的字符或者保留的字符串"},
        {L"SQLITE_", L"数据表名包含无效的字符或者保留的字符串"},
        {L"a b", L"数据表名包含无效的字符或者保留的字符串"},
        {L"a-b", L"数据表名包含无效的字符或者保留的字符串"},
        {L"a\u0080", L"数据表名包含无效的字符或者保留的字符串"},
        {L"ITEMS", L"数据表名不能重复"},
        {pageName.c_str(), L"数据表名不能重复"},
        {L"sqlitex", nullptr},
        {L"明细_2", nullptr},
    };
    std::wstring current = before;
    for (const Case& c : cases) {
        const bool accepted = attribute.TableName().SetValueText(c.name);
        EXPECT_EQ(accepted, c.error == nullptr) << c.name;
        if (c.error) {
            EXPECT_EQ(std::wstring(attribute.TableName().GetErrorText()), c.error) << c.name;
            // Neither the table nor the item takes a refused name.
            EXPECT_EQ(attribute.GetTable()->GetName(), current) << c.name;
            EXPECT_EQ(attribute.TableName().GetText(), current) << c.name;
        } else {
            current = c.name;
            EXPECT_EQ(attribute.GetTable()->GetName(), current);
            EXPECT_EQ(attribute.TableName().GetText(), current);
        }
    }
    EXPECT_EQ(other.GetTable()->GetName(), L"items");
}
