#include "FormatCatalogue.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{

class FormatCatalogue : public testing::Test
{
protected:
    static void SetUpTestSuite() { InitFormatCatalogue(); }
};

TEST_F(FormatCatalogue, CategoriesAndCounts)
{
    const struct {
        uint32_t category;
        const wchar_t* name;
        uint32_t count;
    } cases[] = {
        {kFormatText, L"文本", 23},
        {kFormatNumber, L"数值", 94},
        {kFormatDate, L"日期", 32},
        {kFormatDateTime, L"日期时间", 48},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(GetFormatCategoryName(c.category)), U8(c.name));
        EXPECT_EQ(GetFormatCount(c.category), c.count);
        EXPECT_NE(GetParseFunction(c.category), nullptr);
    }
    EXPECT_EQ(GetFormatCategoryName(4), nullptr);
    EXPECT_EQ(GetFormatCount(4), 0u);
    EXPECT_EQ(GetFormatEntry(4, 0), nullptr);
    EXPECT_EQ(GetParseFunction(4), nullptr);
}

// Every id is category << 16 | index, and every name finds its own entry (so no
// name shadows another within its category).
TEST_F(FormatCatalogue, IdsAndNamesOfEveryEntry)
{
    for (uint32_t c = 0; c < kFormatCategoryCount; ++c) {
        for (uint32_t i = 0; i < GetFormatCount(c); ++i) {
            const FormatEntry* entry = GetFormatEntry(c, i);
            ASSERT_NE(entry, nullptr);
            SCOPED_TRACE(U8(entry->name));
            EXPECT_EQ(entry->id, c << 16 | i);
            EXPECT_EQ(GetFormatEntryById(entry->id), entry);
            uint32_t id = 0xFFFFFFFF;
            ASSERT_TRUE(FindFormatId(c, entry->name, id));
            EXPECT_EQ(id, entry->id);
            EXPECT_NE(entry->format, nullptr);
            EXPECT_NE(entry->example, nullptr);
        }
        EXPECT_EQ(GetFormatEntry(c, GetFormatCount(c)), nullptr);
    }
}

TEST_F(FormatCatalogue, NamedEntries)
{
    const struct {
        uint32_t category, index;
        const wchar_t* name;
        uint32_t id;
    } cases[] = {
        {1, 80, L"<百位(大写)>", 0x10050},
        {3, 25, L"YYYY", 0x30019},
        {1, 34, L"<万分位(数字)>", 0x10022},
        {1, 53, L"<千万亿位(数字)>", 0x10035},
        {1, 54, L"<万分位(小写)>", 0x10036},
        {1, 93, L"<千万亿位(大写)>", 0x1005D},
        {1, 38, L"<个位(数字)>", 0x10026},
        {0, 22, L"<介于X,Y之间>", 0x16},
        {2, 21, L"W", 0x20015},
        {3, 45, L"<中文小写月(M)>", 0x3002D},
        {3, 46, L"<中文小写日(D)>", 0x3002E},
    };
    for (const auto& c : cases) {
        const FormatEntry* entry = GetFormatEntry(c.category, c.index);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(U8(entry->name), U8(c.name));
        EXPECT_EQ(entry->id, c.id);
    }
}

TEST_F(FormatCatalogue, FindsIdsByNameIgnoringCase)
{
    const struct {
        uint32_t category;
        const wchar_t* name;
        bool found;
        uint32_t id;
    } cases[] = {
        {1, L"#,##0.00", true, 0x10009},
        {0, L"<默认>", true, 0},
        {3, L"<默认>", true, 0x30000},
        {1, L"x10", true, 0x10019},
        {1, L"X100000", true, 0x1001D},
        {2, L"yyyy-mm-dd", true, 0x20002},
        {3, L"yyyy", true, 0x30019},
        {2, L"yyyy", true, 0x2000F},
        {1, L"YYYY", false, 0},
        {1, L"0.00 ", false, 0},
        {0, L"", false, 0},
        {4, L"<默认>", false, 0},
        {0, nullptr, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? U8(c.name) : "(null)");
        uint32_t id = 0xABCD;
        EXPECT_EQ(FindFormatId(c.category, c.name, id), c.found);
        EXPECT_EQ(id, c.found ? c.id : 0xABCD);
    }
}

TEST_F(FormatCatalogue, FormatByIdOutsideTheCatalogueLeavesTheTextAlone)
{
    FormatValue value;
    value.number = 123;
    const uint32_t ids[] = {0x40000, 0x1005E, 0x17, 0x20020, 0x30030, 0xFFFFFFFF};
    for (uint32_t id : ids) {
        std::wstring out = L"kept";
        EXPECT_EQ(FormatById(id, out, nullptr, &value), 0) << std::hex << id;
        EXPECT_EQ(out, L"kept");
    }
    std::wstring out = L"kept";
    EXPECT_EQ(FormatById(0x10000, out, nullptr, nullptr), 0);
    EXPECT_EQ(out, L"kept");
    EXPECT_NE(FormatById(0x10000, out, nullptr, &value), 0);
    EXPECT_EQ(out, L"123");
}

// The format attribute offers the parameter only where the function reads it.
TEST_F(FormatCatalogue, ParameterFlags)
{
    auto takes = [](uint32_t c, uint32_t i) { return GetFormatEntry(c, i)->takesParameter; };
    for (uint32_t i = 0; i < 23; ++i)
        EXPECT_EQ(takes(0, i), i >= 12 ? 1u : 0u) << "text " << i;
    for (uint32_t i = 0; i < 94; ++i)
        EXPECT_EQ(takes(1, i), (i == 0 || (i >= 2 && i <= 33)) ? 1u : 0u) << "number " << i;
    for (uint32_t c = 2; c <= 3; ++c)
        for (uint32_t i = 0; i < GetFormatCount(c); ++i)
            EXPECT_EQ(takes(c, i), 0u) << c << ":" << i;
}

TEST_F(FormatCatalogue, ParseTable)
{
    std::wstring error;
    FormatValue value;
    const wchar_t* text = L"张三";
    ASSERT_TRUE(GetParseFunction(kFormatText)(text, value, &error));
    EXPECT_EQ(value.text, text); // the text itself, not a copy

    ASSERT_TRUE(GetParseFunction(kFormatNumber)(L" 3w ", value, &error));
    EXPECT_EQ(value.number, 30000);
    value.number = 7;
    EXPECT_FALSE(GetParseFunction(kFormatNumber)(L"12abc", value, &error));
    EXPECT_EQ(U8(error), U8(L"无效的数字"));
    EXPECT_EQ(value.number, 7);
    EXPECT_FALSE(GetParseFunction(kFormatNumber)(L"12abc", value, nullptr));
}

} // namespace
