// The option lists, the colour palette and the colour conversion for drawing code.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "DoxAttribOptions.h"
#include "DoxColor.h"

namespace
{

struct ListCase {
    const char* name;
    DoxAttribOptions* list;
    std::vector<std::wstring> texts;
    std::vector<uint32_t> values;
    uint32_t unknownValue;
    const wchar_t* unknownValueText; // ValueToText of a value that is no choice
    const wchar_t* parseMessage;     // message when Parse meets an unknown text
};

TEST(AttribOptions, FixedListsLookUpBothWays)
{
    DoxAttribOptionsBool boolList;
    DoxAttribOptionsPlot plot;
    DoxAttribOptionsVAlign valign;
    DoxAttribOptionsHAlign halign;
    DoxAttribOptionsFieldType fieldType;
    DoxAttribOptionsTransparent transparent;
    const std::vector<ListCase> cases = {
        {"bool", &boolList, {L"否", L"是"}, {0, 1}, 5, L"是", L"无效数据"},
        {"plot", &plot, {L"左端", L"右端"}, {0, 1}, 9, L"右端", L"无效数据"},
        {"valign", &valign, {L"顶部对齐", L"居中", L"底部对齐"}, {0, 36, 40}, 4, L"", L"无效数据"},
        {"halign", &halign, {L"左对齐", L"居中", L"右对齐"}, {0, 1, 2}, 3, L"", L"无效数据"},
        {"fieldtype",
         &fieldType,
         {L"文本", L"数值", L"日期", L"日期时间"},
         {0, 1, 2, 3},
         4,
         L"",
         L"无效数据"},
        {"transparent",
         &transparent,
         {L"0", L"30", L"60", L"90", L"120", L"150", L"180", L"210", L"240"},
         {0, 30, 60, 90, 120, 150, 180, 210, 240},
         45,
         L"",
         L""},
    };
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.list->GetCount(), static_cast<int32_t>(c.texts.size()));
        for (size_t i = 0; i < c.texts.size(); ++i) {
            EXPECT_EQ(c.list->GetText(static_cast<int32_t>(i)), c.texts[i]);
            EXPECT_EQ(c.list->ValueToText(c.values[i]), c.texts[i]);
        }
        EXPECT_STREQ(c.list->GetText(c.list->GetCount()), L"");
        EXPECT_STREQ(c.list->GetText(-1), L"");
        EXPECT_STREQ(c.list->ValueToText(c.unknownValue), c.unknownValueText);

        // The empty text is accepted and leaves the value alone.
        uint32_t value = 77;
        std::wstring error;
        EXPECT_TRUE(c.list->Parse(L"", value, error));
        EXPECT_TRUE(c.list->Parse(nullptr, value, error));
        EXPECT_EQ(value, 77u);
        EXPECT_FALSE(c.list->Parse(L"无此项", value, error));
        EXPECT_EQ(error, c.parseMessage);
        EXPECT_EQ(value, 77u);
    }
}

TEST(AttribOptions, ChoiceTextsAreFoundAndTransparencyTextsAreNot)
{
    DoxAttribOptionsVAlign valign;
    uint32_t value = 0;
    std::wstring error;
    ASSERT_TRUE(valign.Parse(L"底部对齐", value, error));
    EXPECT_EQ(value, 40u);
    // Typed numbers go to the item, not to the transparency list.
    DoxAttribOptionsTransparent transparent;
    EXPECT_FALSE(transparent.Parse(L"120", value, error));
    // The list compares the low 8 bits only.
    EXPECT_STREQ(transparent.ValueToText(0x100 + 30), L"30");
}

TEST(AttribOptions, ColourPalette)
{
    DoxAttribOptionsColor colours;
    ASSERT_EQ(colours.GetCount(), 71);
    const uint32_t* palette = DoxColorPalette();
    EXPECT_EQ(palette[0], 0xFFFFFFFFu);
    EXPECT_EQ(palette[70], 0x00A03070u);
    struct Entry {
        int32_t index;
        const wchar_t* text;
    };
    for (const Entry& e :
         {Entry{0, L"#FFFFFFFF"}, Entry{1, L"#00FFFFFF"}, Entry{7, L"#00000000"}, Entry{20, L"#00F0D9C6"},
          Entry{65, L"#0050D092"}, Entry{70, L"#00A03070"}, Entry{71, L""}, Entry{-1, L""}}) {
        EXPECT_STREQ(colours.GetText(e.index), e.text) << e.index;
    }
    // 007F7F7F is listed twice; every other entry once.
    std::set<uint32_t> distinct(palette, palette + kDoxColorPaletteSize);
    EXPECT_EQ(distinct.size(), 70u);
    EXPECT_STREQ(colours.ValueToText(0x007F7F7F), L"#007F7F7F");
    EXPECT_STREQ(colours.ValueToText(0x00123456), L"");

    uint32_t value = 5;
    std::wstring error;
    EXPECT_TRUE(colours.Parse(L"", value, error));
    EXPECT_FALSE(colours.Parse(L"#00FF0000", value, error));
    EXPECT_EQ(error, L"");
    EXPECT_EQ(value, 5u);
}

TEST(AttribOptions, FieldNamesFollowTheSourceAtEveryCount)
{
    std::vector<std::wstring> fields = {L"金额", L"日期"};
    DoxAttribOptionsFieldName names([&] { return fields; });
    EXPECT_STREQ(names.GetText(0), L""); // nothing asked yet
    ASSERT_EQ(names.GetCount(), 2);
    EXPECT_STREQ(names.GetText(1), L"日期");
    fields.push_back(L"收款人");
    EXPECT_STREQ(names.GetText(2), L""); // the list is the one of the last count
    ASSERT_EQ(names.GetCount(), 3);
    EXPECT_STREQ(names.GetText(2), L"收款人");
    uint32_t value = 0;
    std::wstring error;
    EXPECT_FALSE(names.Parse(L"金额", value, error));
    EXPECT_FALSE(names.Parse(L"", value, error));

    DoxAttribOptionsFieldName unbound;
    EXPECT_EQ(unbound.GetCount(), 0);
}

TEST(AttribOptions, ColourConversionForDrawing)
{
    // Orange: red ff, green 80, blue 00.
    constexpr uint32_t orange = 0x00FF8000;
    constexpr uint32_t colorRef = DoxColorToColorRef(orange);
    EXPECT_EQ(colorRef, 0x000080FFu);
    EXPECT_EQ(colorRef & 0xFF, 0xFFu);         // COLORREF keeps red in the low byte
    EXPECT_EQ((colorRef >> 16) & 0xFF, 0x00u); // and blue in the third
    EXPECT_EQ(DoxColorFromColorRef(colorRef), orange);
    EXPECT_EQ(DoxColorRed(orange), 0xFF);
    EXPECT_EQ(DoxColorGreen(orange), 0x80);
    EXPECT_EQ(DoxColorBlue(orange), 0x00);
    EXPECT_EQ(DoxColorToColorRef(kDoxNoColor), kDoxNoColor);
    EXPECT_EQ(DoxColorFromColorRef(kDoxNoColor), kDoxNoColor);
}

} // namespace
