#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "ControlTestSupport.h"
#include "DataCell.h"
#include "DataField.h"
#include "DoxCheckControl.h"
#include "DoxControlKinds.h"

using namespace controltest;

namespace
{
struct CheckFixture : KindFixture<DoxCheckControl> {
    FakeRunner runner;
    DoxCheckControl*& check = control;

    CheckFixture() : KindFixture(DoxKindCheck, RECT{100, -100, 200, -160})
    {
        layer.page.PrepareStore(nullptr, L"P");
        if (check)
            check->SetPageRunner(&runner);
    }
    ~CheckFixture()
    {
        if (check)
            check->SetPageRunner(nullptr);
    }
    DataField* Field() { return check->GetBinding(); }
    bool Store(const wchar_t* text)
    {
        std::wstring message;
        return Field()->GetCell(0)->SetText(text, &message) != 0;
    }
    // Ticks (or clears) the box through the popup editor.
    void Tick(bool on)
    {
        FakeCheckHost host;
        host.style = DoxEditorHost::CheckEditor;
        host.checked = on;
        EXPECT_EQ(check->ExchangeEditor(&host, 1), 1);
    }
    struct FakeCheckHost : FakeEditorHost {
        void SetChecked(bool c) override { checked = c; }
        bool GetChecked() const override { return checked; }
        bool checked = false;
    };
};
} // namespace

TEST(CheckControl, TickFollowsTheFieldValue)
{
    struct Case {
        const wchar_t* type;
        const wchar_t* param;
        const wchar_t* stored;
        bool ticked;
    } cases[] = {
        {L"文本", L"Yes", L"yES", true},   {L"文本", L"Yes", L"No", false},
        {L"文本", L"", L"", false},        // a cell without a value gives no text
        {L"数值", L"12", L"12.000", true}, // compared in the first number format
        {L"数值", L"12", L"12.5", false},
    };
    for (const Case& c : cases) {
        CheckFixture f;
        ASSERT_NE(f.check, nullptr);
        ASSERT_TRUE(f.check->DataAttribute().FieldType().SetValueText(c.type));
        ASSERT_TRUE(f.check->CheckValue().Param().SetValueText(c.param)) << c.param;
        ASSERT_TRUE(f.check->BeginRun());
        EXPECT_FALSE(f.check->IsTicked());
        if (*c.stored) {
            ASSERT_TRUE(f.Store(c.stored)) << c.stored;
        }
        EXPECT_EQ(f.check->IsTicked(), c.ticked) << c.type << " " << c.param << " " << c.stored;
        f.check->EndRun();
        EXPECT_FALSE(f.check->IsTicked());
    }
}

TEST(CheckControl, TicksWriteTheValueAndShowOnlyWhatWasStored)
{
    CheckFixture f;
    ASSERT_NE(f.check, nullptr);
    ASSERT_TRUE(f.check->CheckValue().Param().SetValueText(L"是"));
    ASSERT_TRUE(f.check->BeginRun());
    f.Tick(true);
    EXPECT_TRUE(f.check->IsTicked());
    std::wstring text;
    ASSERT_TRUE(f.check->GetBoundText(text));
    EXPECT_EQ(text, L"是");
    f.Tick(false);
    EXPECT_FALSE(f.check->IsTicked());
    EXPECT_FALSE(f.Field()->GetCell(0)->HasValue());
    f.check->EndRun();

    // A value the field refuses (a damaged template's text in a number field) leaves
    // the box empty.
    CheckFixture g;
    ASSERT_TRUE(g.check->DataAttribute().FieldType().SetValueText(L"数值"));
    g.check->CheckValue().Param().SetTextLimited(L"abc");
    ASSERT_TRUE(g.check->BeginRun());
    g.Tick(true);
    EXPECT_FALSE(g.Field()->GetCell(0)->HasValue());
    EXPECT_FALSE(g.check->IsTicked());
    g.check->EndRun();
}

TEST(CheckControl, ParameterFollowsTheFieldType)
{
    CheckFixture f;
    ASSERT_NE(f.check, nullptr);
    ASSERT_TRUE(f.check->DataAttribute().FieldType().SetValueText(L"数值"));
    EXPECT_FALSE(f.check->CheckValue().Param().SetValueText(L"abc"));
    EXPECT_EQ(std::wstring(f.check->CheckValue().GetErrorText()), L"无效值");
    EXPECT_EQ(f.check->CheckValue().GetText(), L"");
    ASSERT_TRUE(f.check->CheckValue().Param().SetValueText(L"7"));
    const std::wstring seven = f.check->CheckValue().GetText();
    EXPECT_FALSE(seven.empty());
    // Back to text: the number still parses and stays; a date does not take it.
    ASSERT_TRUE(f.check->DataAttribute().FieldType().SetValueText(L"文本"));
    EXPECT_EQ(f.check->CheckValue().GetText(), seven);
    ASSERT_TRUE(f.check->CheckValue().Param().SetValueText(L"x"));
    ASSERT_TRUE(f.check->DataAttribute().FieldType().SetValueText(L"日期"));
    EXPECT_EQ(f.check->CheckValue().GetText(), L"");
}

TEST(CheckControl, EditorPrintingAndXml)
{
    CheckFixture f;
    ASSERT_NE(f.check, nullptr);
    EXPECT_EQ(f.check->GetId(), "checkcontrol");
    EXPECT_STREQ(f.check->GetName(), L"勾选控件");
    EXPECT_EQ(f.check->GetTransparency(), 120);
    ASSERT_TRUE(f.check->CheckValue().Param().SetValueText(L"Y"));
    ASSERT_TRUE(f.check->BeginRun());
    ASSERT_TRUE(f.Store(L"y"));

    // The editor opens in check-box style over the control, showing the tick.
    CheckFixture::FakeCheckHost host;
    EXPECT_EQ(f.check->ExchangeEditor(&host, 0), 1);
    EXPECT_EQ(host.style, DoxEditorHost::CheckEditor);
    EXPECT_TRUE(host.checked);

    struct Case {
        bool printable, output;
        size_t drawn;
    } cases[] = {{true, false, 1}, {true, true, 1}, {false, false, 1}, {false, true, 0}};
    for (const Case& c : cases) {
        ASSERT_TRUE(f.check->Printable().SetValueText(c.printable ? L"是" : L"否"));
        RecordingDC dc;
        f.check->DrawContent(dc, 50, 0, c.output);
        ASSERT_EQ(dc.drawn.size(), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(dc.drawn[0].text, L"√");
            EXPECT_EQ(dc.drawn[0].rect.left, 50);
            EXPECT_EQ(dc.drawn[0].rect.bottom, -160);
        }
    }
    // An empty box prints nothing whatever its items say.
    ASSERT_TRUE(f.Store(L"n"));
    ASSERT_TRUE(f.check->Printable().SetValueText(L"是"));
    RecordingDC empty;
    f.check->DrawContent(empty, 0, 0, true);
    EXPECT_TRUE(empty.drawn.empty());
    f.check->EndRun();

    // Not editable: no editor opens.
    ASSERT_TRUE(f.check->Editable().SetValueText(L"否"));
    CheckFixture::FakeCheckHost closed;
    EXPECT_EQ(f.check->ExchangeEditor(&closed, 0), 0);
    EXPECT_EQ(closed.opened, 0);

    // XML round trip.
    auto* loaded = static_cast<DoxCheckControl*>(LoadControl(f.layer, SaveControl(f.check)));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->CheckValue().GetText(), L"Y");
    EXPECT_EQ(loaded->Editable().GetValue(), 0);
}
