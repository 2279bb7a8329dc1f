#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <QImage>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxLabelControl.h"

using namespace controltest;

namespace
{
struct LabelFixture : KindFixture<DoxLabelControl> {
    DoxLabelControl*& label = control;

    LabelFixture() : KindFixture(DoxKindLabel, RECT{100, -100, 600, -300}) {}
};
} // namespace

TEST(LabelControl, NewLabelShowsItsTextInEveryFace)
{
    LabelFixture f;
    ASSERT_NE(f.label, nullptr);
    EXPECT_EQ(f.label->GetId(), "labelcontrol");
    EXPECT_STREQ(f.label->GetName(), L"标签控件");
    EXPECT_FALSE(f.label->IsInput());
    EXPECT_FALSE(f.label->IsEditable());
    EXPECT_EQ(f.label->GetTransparency(), 0);
    EXPECT_EQ(f.label->BgColor().GetUValue(), 0xFFFFFFFFu);

    RecordingDC design;
    f.label->DrawDesign(static_cast<DC&>(design));
    EXPECT_EQ(design.Joined(), L"请输入文字|");
    struct Case {
        bool printable, output;
        const wchar_t* drawn;
    } cases[] = {{true, false, L"请输入文字|"},
                 {true, true, L"请输入文字|"},
                 {false, false, L"请输入文字|"},
                 {false, true, L""}};
    for (const Case& c : cases) {
        ASSERT_TRUE(f.label->Printable().SetValueText(c.printable ? L"是" : L"否"));
        RecordingDC dc;
        f.label->DrawContent(dc, 40, 20, c.output);
        EXPECT_EQ(dc.Joined(), c.drawn) << c.printable << c.output;
        if (!dc.drawn.empty()) {
            EXPECT_EQ(dc.drawn[0].rect.left, 60);
            EXPECT_EQ(dc.drawn[0].rect.top, -120);
        }
    }
}

TEST(LabelControl, TypedLineBreaksAndRoundTrip)
{
    LabelFixture f;
    ASSERT_NE(f.label, nullptr);
    ASSERT_TRUE(f.label->Text().SetValueText(L"上行\\n下行"));
    ASSERT_TRUE(f.label->Split().RowItem().SetValueText(L"2"));
    RecordingDC rows;
    f.label->DrawContent(rows, 0, 0, false);
    EXPECT_EQ(rows.Joined(), L"上行|下行|");

    auto* loaded = static_cast<DoxLabelControl*>(LoadControl(f.layer, SaveControl(f.label)));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Text().GetText(), L"上行\\n下行");
    EXPECT_EQ(loaded->Split().RowItem().GetValue(), 2);
}

TEST(LabelControl, NoFillLeavesTheFormVisible)
{
    LabelFixture f;
    ASSERT_NE(f.label, nullptr);
    QImage image(700, 400, QImage::Format_RGB32);
    image.setDotsPerMeterX(10000);
    image.setDotsPerMeterY(10000);
    image.fill(QColor(0, 0, 255));
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetMapMode(2);
        f.label->DrawBackground(dc);
    }
    EXPECT_EQ(image.pixelColor(350, 200), QColor(0, 0, 255));
    ASSERT_TRUE(f.label->BgColor().SetValueText(L"#00FF0000"));
    {
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetMapMode(2);
        f.label->DrawBackground(dc);
    }
    EXPECT_EQ(image.pixelColor(350, 200), QColor(255, 0, 0));
}
