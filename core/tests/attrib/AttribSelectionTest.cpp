// The property grid's view of several selected controls.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AttribFixtures.h"
#include "DoxAttribCollection.h"

using attribtest::EditLikeSet;
using attribtest::LabelLikeSet;
using attribtest::LineLikeSet;

namespace
{

class AttribSelection : public ::testing::Test
{
protected:
    void SetUp() override { RegisterAttribKinds(); }

    static std::vector<std::wstring> Captions(IDoxAttrib* group)
    {
        std::vector<std::wstring> captions;
        for (int32_t i = 0; i < group->GetChildCount(); ++i)
            captions.push_back(group->GetChild(i)->GetCaption());
        return captions;
    }

    // Item facade i of attribute facade a.
    static IDoxAttrib* Row(DoxAttribSet_Collection& selection, int32_t a, int32_t i)
    {
        IDoxAttrib* group = selection.GetAt(a);
        return group ? group->GetChild(i) : nullptr;
    }

    static void Select(DoxAttribSet_Collection& selection, std::vector<DoxAttribSet*> sets)
    {
        selection.Begin(sets.empty() ? nullptr : sets[0]);
        for (size_t i = 1; i < sets.size(); ++i)
            selection.Intersect(sets[i]);
        selection.UpdateName();
    }
};

TEST_F(AttribSelection, EditAndLabelShowWhatBothCarry)
{
    EditLikeSet edit;
    LabelLikeSet label;
    DoxAttribSet_Collection selection;
    Select(selection, {&edit, &label});

    EXPECT_STREQ(selection.GetName(), L"多个控件(2)");
    ASSERT_EQ(selection.GetCount(), 2);
    IDoxAttrib* base = selection.GetAt(0);
    EXPECT_STREQ(base->GetCaption(), L"基本");
    EXPECT_EQ(base->GetType(), static_cast<uint32_t>(DOX_ATTRIB_KIND_GROUP));
    // No position, size or order; the edit control's own flags drop out; its tip and
    // the label's text share the key "text" and merge, captioned by the first.
    EXPECT_EQ(Captions(base),
              (std::vector<std::wstring>{L"锁定", L"可打印", L"边框", L"背景色", L"前景色", L"提示"}));
    EXPECT_STREQ(selection.GetAt(1)->GetCaption(), L"对齐方式");
    EXPECT_EQ(Captions(selection.GetAt(1)), (std::vector<std::wstring>{L"水平", L"垂直"}));
    EXPECT_EQ(selection.GetAt(2), nullptr);
    EXPECT_EQ(selection.GetAt(-1), nullptr);
    EXPECT_EQ(base->GetChild(6), nullptr);

    // Facades forward what describes the row to the first control's item.
    IDoxAttrib* bg = base->GetChild(3);
    EXPECT_EQ(bg->GetType(), 0xA0002u);
    EXPECT_STREQ(bg->GetDefaultText(), L"#00D8D8D8");
    EXPECT_EQ(bg->GetOptionCount(), 71);
    EXPECT_STREQ(bg->GetOptionText(1), L"#00FFFFFF");
}

TEST_F(AttribSelection, DifferentValuesShowEmptyAndOneEditSetsAll)
{
    EditLikeSet a;
    EditLikeSet b;
    LabelLikeSet c;
    ASSERT_TRUE(b.fgcolor.SetValueText(L"#00112233"));
    b.calls.clear();
    DoxAttribSet_Collection selection;
    Select(selection, {&a, &b, &c});
    IDoxAttrib* fg = Row(selection, 0, 4);
    ASSERT_NE(fg, nullptr);
    ASSERT_STREQ(fg->GetCaption(), L"前景色");
    EXPECT_STREQ(fg->GetValueText(), L"");

    ASSERT_TRUE(fg->SetValueText(L"#00FF0000"));
    EXPECT_STREQ(fg->GetValueText(), L"#00FF0000");
    for (DoxAttribItemColor* item : {&a.fgcolor, &b.fgcolor, &c.fgcolor})
        EXPECT_EQ(item->GetUValue(), 0x00FF0000u);
    // Each control ran its own change chain.
    EXPECT_EQ(a.calls.size(), 1u);
    EXPECT_EQ(b.calls.size(), 1u);
    EXPECT_EQ(c.calls.size(), 1u);

    // Text comparison is exact: the lock row agrees, then differs.
    IDoxAttrib* lock = Row(selection, 0, 0);
    EXPECT_STREQ(lock->GetValueText(), L"否");
    ASSERT_TRUE(c.base.LockItem().SetValueText(L"是"));
    EXPECT_STREQ(lock->GetValueText(), L"");
}

TEST_F(AttribSelection, RefusalStopsTheWalkAndShowsTheRefusingControlsMessage)
{
    EditLikeSet a;
    EditLikeSet b;
    EditLikeSet c;
    b.refuse = true;
    b.refusal = L"第二个控件拒绝";
    // An old message on the first control must not be shown for the second's refusal.
    ASSERT_FALSE(a.fgcolor.SetValueText(L"red"));
    DoxAttribSet_Collection selection;
    Select(selection, {&a, &b, &c});
    IDoxAttrib* fg = nullptr;
    for (int32_t i = 0; i < selection.GetAt(0)->GetChildCount(); ++i) {
        if (std::wstring(Row(selection, 0, i)->GetCaption()) == L"前景色")
            fg = Row(selection, 0, i);
    }
    ASSERT_NE(fg, nullptr);
    EXPECT_FALSE(fg->SetValueText(L"#000000FF"));
    EXPECT_EQ(a.fgcolor.GetUValue(), 0x000000FFu);
    EXPECT_EQ(b.fgcolor.GetUValue(), 0u);
    EXPECT_EQ(c.fgcolor.GetUValue(), 0u);
    EXPECT_TRUE(c.calls.empty());
    EXPECT_STREQ(fg->GetErrorText(), L"第二个控件拒绝");

    // A parse failure is the first item's own, and so is its message.
    EXPECT_FALSE(fg->SetValueText(L"blue"));
    EXPECT_STREQ(fg->GetErrorText(), L"颜色格式不正确,请使用格式:#00RRGGBB");
}

TEST_F(AttribSelection, NothingInCommonAndNothingSelected)
{
    EditLikeSet edit;
    DoxAttribSet other; // carries none of the attribute classes
    DoxAttribSet_Collection selection;
    Select(selection, {&edit, &other});
    EXPECT_EQ(selection.GetCount(), 0);
    EXPECT_STREQ(selection.GetName(), L"多个控件(2)");

    Select(selection, {});
    EXPECT_EQ(selection.GetCount(), 0);
    EXPECT_STREQ(selection.GetName(), L"无控件");
    EXPECT_EQ(selection.GetAt(0), nullptr);

    // A null set in Intersect changes nothing, not even the count.
    Select(selection, {&edit});
    selection.Intersect(nullptr);
    selection.UpdateName();
    EXPECT_STREQ(selection.GetName(), L"多个控件(1)");
    EXPECT_EQ(selection.GetCount(), 2);
}

TEST_F(AttribSelection, RebuildingStartsOverAndMatchesByKindAndKey)
{
    EditLikeSet edit;
    LabelLikeSet label;
    LineLikeSet line;
    DoxAttribSet_Collection selection;
    Select(selection, {&edit, &line});
    ASSERT_EQ(selection.GetCount(), 1); // the line has no alignment group
    EXPECT_EQ(Captions(selection.GetAt(0)), (std::vector<std::wstring>{L"锁定", L"可打印", L"前景色"}));

    // A rebuild must not keep items of the old selection in the facades.
    Select(selection, {&edit, &label});
    IDoxAttrib* printable = Row(selection, 0, 1);
    ASSERT_STREQ(printable->GetCaption(), L"可打印");
    ASSERT_TRUE(printable->SetValueText(L"否"));
    EXPECT_EQ(edit.printable.GetValue(), 0);
    EXPECT_EQ(label.printable.GetValue(), 0);
    EXPECT_EQ(line.printable.GetValue(), 1);
}

} // namespace
