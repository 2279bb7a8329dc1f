// The change chain: item -> group -> set -> owner set, with refusals at each level.

#include <gtest/gtest.h>

#include "AttribFixtures.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribItemStr.h"
#include "DoxAttribItemUint.h"

using attribtest::ControlSet;
using attribtest::RecordingGroup;

namespace
{

struct Chain {
    ControlSet control{"editcontrol", L"文本控件"};
    RecordingGroup group;
    DoxAttribItemInt number{"n", L"数", 5};
    DoxAttribItemStr text{"s", L"文本", L"abc"};
    DoxAttribItemColor colour{"c", L"颜色", 0};
    DoxAttribItemBool flag{"b", L"开关", false};
    DoxAttribItemPos x{"x", L"x", true};
    DoxAttribItemSize cx{"cx", L"cx"};

    Chain()
    {
        for (DoxAttribItem* item : std::vector<DoxAttribItem*>{&number, &text, &colour, &flag, &x, &cx})
            group.AddItem(item);
        control.AddAttribute(&group);
        cx.StoreValue(100);
    }
};

TEST(AttribChangeChain, EditsThatChangeNothingAskNobody)
{
    struct Case {
        const char* name;
        std::function<bool(Chain&)> edit;
    };
    const Case cases[] = {
        {"number", [](Chain& c) { return c.number.SetValueText(L"5"); }},
        {"text", [](Chain& c) { return c.text.SetValueText(L"ABC"); }},
        {"colour", [](Chain& c) { return c.colour.SetValueText(L"#00000000"); }},
        {"bool", [](Chain& c) { return c.flag.SetValueText(L"否"); }},
        {"position", [](Chain& c) { return c.x.SetValueText(L"0mm"); }},
        {"size", [](Chain& c) { return c.cx.SetValueText(L"10.0mm"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chain chain;
        EXPECT_TRUE(c.edit(chain));
        EXPECT_TRUE(chain.group.seen.empty());
        EXPECT_TRUE(chain.control.calls.empty());
    }
}

TEST(AttribChangeChain, AlwaysNotifyRunsTheChainForTheSameValue)
{
    Chain chain;
    chain.number.SetAlwaysNotify(true);
    chain.text.SetAlwaysNotify(true);
    EXPECT_TRUE(chain.number.SetValue(5));
    EXPECT_TRUE(chain.text.SetValue(std::wstring(L"abc")));
    ASSERT_EQ(chain.group.seen.size(), 2u);
    EXPECT_EQ(chain.control.calls, (std::vector<bool>{true, true}));
}

TEST(AttribChangeChain, AcceptedEditReachesTheRootWithTheNewValue)
{
    Chain chain;
    ASSERT_TRUE(chain.number.SetValueText(L"9"));
    ASSERT_EQ(chain.group.seen.size(), 1u);
    EXPECT_EQ(chain.group.seen[0].key, "n"); // the group can tell which item changes
    EXPECT_TRUE(chain.group.seen[0].changing);
    EXPECT_EQ(chain.group.seen[0].valueText, L"9");
    EXPECT_EQ(chain.control.calls, (std::vector<bool>{true}));
    EXPECT_FALSE(chain.number.IsChanging());
}

TEST(AttribChangeChain, PositionsAndSizesAnnounceTheOldPlaceFirst)
{
    Chain chain;
    ASSERT_TRUE(chain.x.SetValueText(L"12.5mm"));
    ASSERT_EQ(chain.group.seen.size(), 2u);
    EXPECT_FALSE(chain.group.seen[0].changing);
    EXPECT_EQ(chain.group.seen[0].key, "x");
    EXPECT_EQ(chain.group.seen[0].valueText, L"0.0mm");
    EXPECT_TRUE(chain.group.seen[1].changing);
    EXPECT_EQ(chain.group.seen[1].valueText, L"12.5mm");
    EXPECT_EQ(chain.control.calls, (std::vector<bool>{false, true}));
}

// A refusal at either level puts the old value back, and the message the grid then
// shows is the refusing level's own, or none: never that of an older edit.
TEST(AttribChangeChain, RefusalsRestoreTheOldValueAndLeaveNoStaleMessage)
{
    struct Case {
        const char* name;
        bool groupRefuses;
        std::wstring groupMessage;
        bool controlRefuses;
        const wchar_t* expectedMessage;
    };
    const Case cases[] = {
        {"group with message", true, L"组拒绝", false, L"组拒绝"},
        {"group without message", true, L"", false, L""},
        {"control", false, L"", true, L"控件拒绝"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chain chain;
        // An older failure leaves a message behind.
        ASSERT_FALSE(chain.number.SetValueText(L"12a"));
        ASSERT_STREQ(chain.number.GetErrorText(), L"无效值");
        ASSERT_FALSE(chain.x.SetValueText(L"12cm"));

        chain.group.refuse = c.groupRefuses;
        chain.group.refusal = c.groupMessage;
        chain.control.refuse = c.controlRefuses;
        chain.control.refusal = L"控件拒绝";
        EXPECT_FALSE(chain.number.SetValueText(L"9"));
        EXPECT_EQ(chain.number.GetValue(), 5);
        EXPECT_STREQ(chain.number.GetValueText(), L"5");
        EXPECT_STREQ(chain.number.GetErrorText(), c.expectedMessage);

        EXPECT_FALSE(chain.text.SetValueText(L"xyz"));
        EXPECT_EQ(chain.text.GetText(), L"abc");
        EXPECT_FALSE(chain.colour.SetValueText(L"#00FF0000"));
        EXPECT_EQ(chain.colour.GetUValue(), 0u);
        EXPECT_FALSE(chain.flag.SetValueText(L"是"));
        EXPECT_EQ(chain.flag.GetValue(), 0);
        EXPECT_FALSE(chain.x.SetValueText(L"20mm"));
        EXPECT_EQ(chain.x.GetValue(), 0);
        EXPECT_STREQ(chain.x.GetErrorText(), c.expectedMessage);
        EXPECT_FALSE(chain.cx.SetValue(300));
        EXPECT_EQ(chain.cx.GetValue(), 100);
        EXPECT_FALSE(chain.cx.IsChanging());
    }
}

TEST(AttribChangeChain, NestedSetForwardsToItsOwner)
{
    // A column's set has the control's set as owner; a column edit reaches the control.
    ControlSet control("tablecontrol", L"表格控件");
    DoxAttribSet column(&control);
    column.SetId("col1");
    RecordingGroup group;
    DoxAttribItemInt width("w", L"宽", 1);
    group.AddItem(&width);
    column.AddAttribute(&group);
    EXPECT_FALSE(column.IsRoot());
    EXPECT_TRUE(control.IsRoot());

    ASSERT_TRUE(width.SetValue(2));
    EXPECT_EQ(control.calls, (std::vector<bool>{true}));
    control.refuse = true;
    EXPECT_FALSE(width.SetValue(3));
    EXPECT_EQ(width.GetValue(), 2);
}

TEST(AttribChangeChain, RefreshAllClimbsToTheRoot)
{
    ControlSet control("tablecontrol", L"表格控件");
    RecordingGroup controlGroup("a", 101);
    control.AddAttribute(&controlGroup);
    DoxAttribSet column(&control);
    RecordingGroup columnGroup("b", 102);
    column.AddAttribute(&columnGroup);

    DoxAttribSet::RefreshAll(&column, false); // not a root, not upward: nothing
    EXPECT_EQ(controlGroup.refreshes, 0);
    DoxAttribSet::RefreshAll(&column, true);
    EXPECT_EQ(controlGroup.refreshes, 1);
    EXPECT_EQ(columnGroup.refreshes, 0);
    columnGroup.RefreshOwnerSet();
    EXPECT_EQ(controlGroup.refreshes, 2);
    DoxAttribSet::RefreshAll(&control, false);
    EXPECT_EQ(controlGroup.refreshes, 3);
}

TEST(AttribChangeChain, OutOfRangeIndexesGiveNull)
{
    Chain chain;
    EXPECT_EQ(chain.group.GetChildCount(), 6);
    EXPECT_EQ(chain.group.GetChild(5), static_cast<IDoxAttrib*>(&chain.cx));
    EXPECT_EQ(chain.group.GetChild(6), nullptr);
    EXPECT_EQ(chain.group.GetChild(-1), nullptr);
    EXPECT_EQ(chain.control.GetAt(0), static_cast<IDoxAttrib*>(&chain.group));
    EXPECT_EQ(chain.control.GetAt(1), nullptr);
    EXPECT_EQ(chain.control.GetAt(-1), nullptr);
    EXPECT_EQ(chain.number.GetChild(0), nullptr);
    EXPECT_STREQ(chain.number.GetOptionText(0), L"");
    EXPECT_EQ(chain.flag.GetOptionCount(), 2);
    EXPECT_STREQ(chain.flag.GetOptionText(2), L"");
}

} // namespace
