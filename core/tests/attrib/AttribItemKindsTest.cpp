// Parse and print of every item kind, through the texts the property grid uses.

#include <gtest/gtest.h>

#include <string>

#include "DoxAttribItemBool.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribute.h"
#include "DoxSingleAttributes.h"

namespace
{

// Every item needs a parent group before its first edit.
class Group : public DoxAttribute
{
public:
    Group() : DoxAttribute("g", L"组") {}
    int32_t GetKindId() const override { return 100; }
};

struct TextCase {
    const wchar_t* typed;
    bool accepted;
    int32_t value;        // GetValue afterwards (the old value when refused)
    const wchar_t* shown; // GetValueText afterwards
    const wchar_t* error; // GetErrorText afterwards
};

// Applies each case to a fresh item made by make() and checks value, text and message.
template <class Make> void RunTextCases(const char* what, Make make, std::initializer_list<TextCase> cases)
{
    for (const TextCase& c : cases) {
        Group group;
        auto item = make();
        group.AddItem(item.get());
        SCOPED_TRACE(std::string(what) + " typed \"" + std::string(c.typed, c.typed + wcslen(c.typed)) +
                     "\"");
        EXPECT_EQ(item->SetValueText(c.typed), c.accepted);
        EXPECT_EQ(item->GetValue(), c.value);
        EXPECT_STREQ(item->GetValueText(), c.shown);
        EXPECT_STREQ(item->GetErrorText(), c.error);
    }
}

TEST(AttribItemKinds, PositionXParsesMillimetres)
{
    auto make = [] { return std::make_unique<DoxAttribItemPos>("x", L"x", true); };
    RunTextCases("x", make,
                 {
                     {L"12.5mm", true, 125, L"12.5mm", L""},
                     {L"12.5 MM", true, 125, L"12.5mm", L""},
                     {L" 12.5 ", true, 125, L"12.5mm", L""},
                     {L"12", true, 120, L"12.0mm", L""},
                     {L"mm", true, 0, L"0.0mm", L""},
                     {L"600mm", true, 6000, L"600.0mm", L""},
                     {L"", true, 0, L"0.0mm", L""},
                     // One digit after the point is the resolution; more are dropped,
                     // never read as a whole number (1.25 is not 3.5).
                     {L"1.25", true, 12, L"1.2mm", L""},
                     {L"12.5cm", false, 0, L"0.0mm", L"超出有效范围"},
                     {L"600.1mm", false, 0, L"0.0mm", L"超出有效范围"},
                     // The sign of a value below one millimetre is kept.
                     {L"-0.5mm", false, 0, L"0.0mm", L"超出有效范围"},
                     {L"99999999999", false, 0, L"0.0mm", L"超出有效范围"},
                 });
}

TEST(AttribItemKinds, PositionYStoresNegatedDistanceFromTop)
{
    Group group;
    DoxAttribItemPos y("y", L"y", false);
    group.AddItem(&y);
    ASSERT_TRUE(y.SetValueText(L"20.0mm"));
    EXPECT_EQ(y.GetValue(), -200);
    EXPECT_EQ(y.GetShownValue(), 200);
    EXPECT_STREQ(y.GetValueText(), L"20.0mm");
    ASSERT_TRUE(y.SetValueText(L"0.0mm"));
    EXPECT_EQ(y.GetValue(), 0);
    EXPECT_FALSE(y.SetValueText(L"-1mm"));
    EXPECT_EQ(y.GetValue(), 0);
}

TEST(AttribItemKinds, SizeHasOneMillimetreMinimum)
{
    auto make = [] {
        auto size = std::make_unique<DoxAttribItemSize>("cx", L"cx");
        size->StoreValue(500);
        return size;
    };
    RunTextCases("cx", make,
                 {
                     {L"1.0mm", true, 10, L"1.0mm", L""},
                     {L"0.9mm", false, 500, L"50.0mm", L"超出有效范围"},
                     {L"600.0mm", true, 6000, L"600.0mm", L""},
                     {L"600.1mm", false, 500, L"50.0mm", L"超出有效范围"},
                     // The default (0) is below the minimum: the empty text must not
                     // put a zero width into the control.
                     {L"", false, 500, L"50.0mm", L"超出有效范围"},
                 });
}

TEST(AttribItemKinds, SignedIntegerWithAndWithoutUnit)
{
    auto plain = [] { return std::make_unique<DoxAttribItemInt>("n", L"数", 7); };
    RunTextCases("int", plain,
                 {
                     {L" 12 ", true, 12, L"12", L""},
                     {L"-12", true, -12, L"-12", L""},
                     {L"+3", true, 3, L"3", L""},
                     {L"", true, 7, L"7", L""},
                     {L"12a", false, 7, L"7", L"无效值"},
                     {L"abc", false, 7, L"7", L"无效值"},
                     {L"99999999999", true, INT32_MAX, L"2147483647", L""},
                     {L"-99999999999", true, INT32_MIN, L"-2147483648", L""},
                 });
    auto ranged = [] {
        auto item = std::make_unique<DoxAttribItemInt>("n", L"数", 7);
        item->SetRange(1, 99);
        item->SetUnit(L"pt");
        return item;
    };
    RunTextCases("ranged int", ranged,
                 {
                     {L"12 PT", true, 12, L"12", L""},
                     {L"12pt", true, 12, L"12", L""},
                     {L"12 px", false, 7, L"7", L"无效值"},
                     {L"0", false, 7, L"7", L"超出有效范围"},
                     {L"100", false, 7, L"7", L"超出有效范围"},
                     {L"99999999999", false, 7, L"7", L"超出有效范围"},
                 });
}

TEST(AttribItemKinds, UnsignedIntegerRefusesNegativeNumbers)
{
    auto make = [] { return std::make_unique<DoxAttribItemUint>("u", L"数", 3); };
    RunTextCases("uint", make,
                 {
                     {L"7", true, 7, L"7", L""},
                     {L"4294967295", true, -1, L"4294967295", L""},
                     {L"99999999999", true, -1, L"4294967295", L""},
                     {L"-0", true, 0, L"0", L""},
                     {L"", true, 3, L"3", L""},
                     {L"-5", false, 3, L"3", L"超出有效范围"},
                     {L"5x", false, 3, L"3", L"无效值"},
                 });
}

TEST(AttribItemKinds, TransparencyAcceptsNumbersBetweenItsChoices)
{
    auto make = [] { return std::make_unique<DoxTransparentAttribute>(); };
    RunTextCases("transparent", make,
                 {
                     {L"45", true, 45, L"", L""},
                     {L"240", true, 240, L"240", L""},
                     {L"0", true, 0, L"0", L""},
                     {L"", true, 120, L"120", L""},
                     {L"300", false, 120, L"120", L"超出有效范围"},
                     {L"-1", false, 120, L"120", L"超出有效范围"},
                     {L"半透明", false, 120, L"120", L"无效值"},
                 });
}

TEST(AttribItemKinds, BoolTakesItsChoicesOnly)
{
    auto make = [] { return std::make_unique<DoxAttribItemBool>("b", L"开关", true); };
    RunTextCases("bool", make,
                 {
                     {L"否", true, 0, L"否", L""},
                     {L"是", true, 1, L"是", L""},
                     {L"", true, 1, L"是", L""},
                     {L"yes", false, 1, L"是", L"无效数据"},
                     {L"1", false, 1, L"是", L"无效数据"},
                 });
}

TEST(AttribItemKinds, ColourTextsBothWays)
{
    auto make = [] { return std::make_unique<DoxAttribItemColor>("c", L"颜色", 0x00D8D8D8); };
    const wchar_t* badFormat = L"颜色格式不正确,请使用格式:#00RRGGBB";
    const wchar_t* badRange = L"颜色值超出有效范围(#00000000 - #00FFFFFF)";
    RunTextCases("colour", make,
                 {
                     {L"#00FF0000", true, 0x00FF0000, L"#00FF0000", L""},
                     {L"00ff0000", true, 0x00FF0000, L"#00FF0000", L""},
                     {L"  #ff0000  ", true, 0x00FF0000, L"#00FF0000", L""},
                     {L"#FFFFFFFF", true, -1, L"#FFFFFFFF", L""},
                     {L"", true, 0x00D8D8D8, L"#00D8D8D8", L""},
                     {L"#01000000", false, 0x00D8D8D8, L"#00D8D8D8", badRange},
                     {L"#123456789", false, 0x00D8D8D8, L"#00D8D8D8", badRange},
                     {L"red", false, 0x00D8D8D8, L"#00D8D8D8", badFormat},
                     {L"#", false, 0x00D8D8D8, L"#00D8D8D8", badFormat},
                     {L"#12G4", false, 0x00D8D8D8, L"#00D8D8D8", badFormat},
                     {L"#-1", false, 0x00D8D8D8, L"#00D8D8D8", badFormat},
                 });
    DoxAttribItemColor colour("c", L"颜色", 0xFFFFFFFF);
    EXPECT_STREQ(colour.GetDefaultText(), L"#FFFFFFFF");
    EXPECT_EQ(colour.GetType(), 0xA0002u);
    EXPECT_EQ(colour.GetOptionCount(), 71);
}

TEST(AttribItemKinds, StringLimitAndLetterCase)
{
    Group group;
    DoxAttribItemStr text("s", L"文本", L"abc");
    group.AddItem(&text);
    text.SetLimit(4);

    EXPECT_FALSE(text.SetValueText(L"abcde"));
    EXPECT_STREQ(text.GetErrorText(), L"超出4字符长度限制");
    EXPECT_EQ(text.GetText(), L"abc");

    // A change of A-Z case alone is no change; other letters compare exactly.
    EXPECT_TRUE(text.SetValueText(L"ABC"));
    EXPECT_EQ(text.GetText(), L"abc");
    EXPECT_STREQ(text.GetErrorText(), L"");
    EXPECT_TRUE(text.SetValueText(L"é"));
    EXPECT_TRUE(text.SetValueText(L"É"));
    EXPECT_EQ(text.GetText(), L"É");

    text.SetTextLimited(L"vwxyz");
    EXPECT_EQ(text.GetText(), L"vwxy");
    EXPECT_STREQ(text.GetDefaultText(), L"abc");
}

TEST(AttribItemKinds, DefaultTexts)
{
    DoxAttribItemPos y("y", L"y", false);
    DoxAttribItemInt order("order", L"顺序", -1, true);
    DoxAttribItemBool lock("lock", L"锁定", false);
    DoxTransparentAttribute transparent;
    EXPECT_STREQ(y.GetDefaultText(), L"0.0mm");
    EXPECT_STREQ(order.GetDefaultText(), L"-1");
    EXPECT_STREQ(lock.GetDefaultText(), L"否");
    EXPECT_STREQ(transparent.GetDefaultText(), L"120");
}

} // namespace
