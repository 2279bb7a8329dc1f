// The base group (page bounds, hit test), the alignment group, the single items,
// and the fixed attribute kind ids.

#include <gtest/gtest.h>

#include "AttribFixtures.h"

using attribtest::EditLikeSet;
using attribtest::FakePage;
using attribtest::LabelLikeSet;

namespace
{

TEST(AttribBasic, PageBoundsOnEdits)
{
    struct Case {
        const char* name;
        int32_t x, d, cx, cy; // the control before the edit; d: distance from the top
        const char* item;
        const wchar_t* typed;
        bool accepted;
    };
    // Page 210 x 297 mm. Moving tests only the start; resizing tests the far edge.
    const Case cases[] = {
        {"x inside, control reaching past", 0, 0, 1000, 100, "x", L"209.9mm", true},
        {"x on the right edge", 0, 0, 1000, 100, "x", L"210.0mm", false},
        {"width to the edge", 1100, 0, 100, 100, "cx", L"100.0mm", true},
        {"width past the edge", 1100, 0, 100, 100, "cx", L"100.1mm", false},
        {"y at the top", 0, 500, 100, 100, "y", L"0.0mm", true},
        {"y inside", 0, 0, 100, 100, "y", L"296.9mm", true},
        {"y on the bottom edge", 0, 0, 100, 100, "y", L"297.0mm", false},
        {"height to the bottom", 0, 2000, 100, 100, "cy", L"97.0mm", true},
        {"height past the bottom", 0, 2000, 100, 100, "cy", L"97.1mm", false},
    };
    FakePage page(2100, 2970);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditLikeSet edit;
        edit.base.SetParentLayer(&page);
        edit.base.StoreRect(c.x, -c.d, c.cx, c.cy);
        DoxAttribItem* item = nullptr;
        for (DoxAttribItem* candidate : edit.base.Items()) {
            if (candidate->GetKey() == c.item)
                item = candidate;
        }
        ASSERT_NE(item, nullptr);
        const std::wstring before = item->GetValueText();
        EXPECT_EQ(item->SetValueText(c.typed), c.accepted);
        EXPECT_EQ(item->GetValueText(), c.accepted ? std::wstring(c.typed) : before);
        // A page refusal says why instead of leaving the grid an empty message.
        EXPECT_STREQ(item->GetErrorText(), c.accepted ? L"" : L"超出有效范围");
        // The control saw the old place, and the new one only when accepted.
        EXPECT_EQ(edit.calls.size(), c.accepted ? 2u : 1u);
    }
}

TEST(AttribBasic, WithoutALayerOnlyTheItemRangesApply)
{
    EditLikeSet edit;
    EXPECT_TRUE(edit.base.XItem().SetValueText(L"600.0mm"));
    EXPECT_FALSE(edit.base.XItem().SetValueText(L"600.1mm"));
}

TEST(AttribBasic, ContainsPointIncludesTheEdges)
{
    EditLikeSet edit;
    edit.base.StoreRect(100, -200, 50, 30); // x 100..150, y -230..-200
    struct Case {
        int32_t px, py;
        bool inside;
    };
    for (const Case& c :
         {Case{100, -200, true}, Case{150, -230, true}, Case{125, -215, true}, Case{99, -215, false},
          Case{151, -215, false}, Case{125, -199, false}, Case{125, -231, false}}) {
        EXPECT_EQ(edit.base.ContainsPoint(c.px, c.py), c.inside) << c.px << "," << c.py;
    }
}

TEST(AttribBasic, ItemsAndFlagsOfTheBaseGroup)
{
    EditLikeSet edit;
    DoxBasicAttribute& base = edit.base;
    struct Case {
        IDoxAttrib* item;
        const wchar_t* caption;
        uint32_t type;
    };
    for (const Case& c : {Case{&base.XItem(), L"x", 0x20001}, Case{&base.HeightItem(), L"cy", 0x20001},
                          Case{&base.OrderItem(), L"顺序", 0x10001}, Case{&base.LockItem(), L"锁定", 2},
                          Case{&edit.transparent, L"透明度", 2}, Case{&edit.tip, L"提示", 0x60001},
                          Case{&edit.bgcolor, L"背景色", 0xA0002}, Case{&edit.align, L"对齐方式", 4}}) {
        EXPECT_STREQ(c.item->GetCaption(), c.caption);
        EXPECT_EQ(c.item->GetType(), c.type) << static_cast<const void*>(c.caption);
    }
    EXPECT_TRUE(base.OrderItem().IsFullSaveOnly());
    EXPECT_FALSE(base.XItem().IsShared());
    EXPECT_TRUE(base.LockItem().IsShared());
    EXPECT_FALSE(edit.visible.IsShared());
    EXPECT_STREQ(edit.align.HAlignItem().GetValueText(), L"左对齐");
    EXPECT_STREQ(edit.align.VAlignItem().GetValueText(), L"居中");
    EXPECT_EQ(edit.align.GetVAlign(), 36u);
    ASSERT_TRUE(edit.align.HAlignItem().SetValueText(L"右对齐"));
    EXPECT_EQ(edit.align.GetHAlign(), 2u);
}

TEST(AttribBasic, DisplayTextTurnsBackslashNIntoLineBreaks)
{
    LabelLikeSet label;
    EXPECT_EQ(label.text.GetDisplayText(), L"请输入文字");
    struct Case {
        const wchar_t* typed;
        const wchar_t* display;
    };
    for (const Case& c : {Case{L"收款\\n人", L"收款\n人"}, Case{L"\\n\\n", L"\n\n"}, Case{L"a\\", L"a\\"},
                          Case{L"\\\\n", L"\\\n"}, Case{L"a\\N", L"a\\N"}}) {
        ASSERT_TRUE(label.text.SetValueText(c.typed));
        EXPECT_EQ(label.text.GetDisplayText(), c.display);
        EXPECT_EQ(label.text.GetText(), c.typed); // the value keeps what was typed
    }
    ASSERT_TRUE(label.text.SetValueText(L""));
    EXPECT_FALSE(label.text.HasDisplayText());
    // A value set by the model is shown too, not a stale display text.
    label.text.SetTextLimited(L"甲\\n乙");
    EXPECT_TRUE(label.text.HasDisplayText());
    EXPECT_EQ(label.text.GetDisplayText(), L"甲\n乙");
}

TEST(AttribBasic, OrientRectNegatesUnlessOrientedDown)
{
    struct Rect {
        int32_t left, top, right, bottom;
    };
    Rect out{};
    OrientRect(DoxOrientedRect{0, 10, 50, 110, 20}, out);
    EXPECT_EQ(out.left, 10);
    EXPECT_EQ(out.top, -50);
    EXPECT_EQ(out.right, 110);
    EXPECT_EQ(out.bottom, -20);
    OrientRect(DoxOrientedRect{1, 10, 50, 110, 20}, out);
    EXPECT_EQ(out.top, 50);
    EXPECT_EQ(out.bottom, 20);
}

TEST(AttribBasic, KindIdsAreFixed)
{
    RegisterAttribKinds();
    RegisterAttribKinds(); // a second run changes nothing
    using namespace DoxAttribKindId;
    const int32_t ids[] = {Align,         Basic,          Data,       Font,       Format,
                           Formula,       Table,          GridBasic,  CheckValue, EditSplit,
                           RichEditSplit, RichLabelSplit, TableSplit, FrameSplit, DataFunction};
    const int32_t expected[] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 3, 10, 11, 12, 13, 14};
    for (size_t i = 0; i < std::size(ids); ++i)
        EXPECT_EQ(ids[i], expected[i]) << i;
    EditLikeSet edit;
    EXPECT_EQ(edit.base.GetKindId(), 1);
    EXPECT_EQ(edit.align.GetKindId(), 0);
}

} // namespace
