#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <QImage>
#include <string>
#include <vector>

#include "ControlTestSupport.h"
#include "DoxControlKinds.h"
#include "DoxFrameControl.h"
#include "DoxLineControl.h"

using namespace controltest;

namespace
{
// 254 dpi in the 0.1 mm mapping: one pixel is one unit, pixel (x, -y).
struct Canvas {
    QImage image{300, 200, QImage::Format_RGB32};
    Canvas()
    {
        image.setDotsPerMeterX(10000);
        image.setDotsPerMeterY(10000);
        image.fill(Qt::white);
    }
    bool Inked(int x, int y) const { return image.pixelColor(x, -y) != QColor(Qt::white); }
    // x positions of inked pixels along the logical row y.
    std::vector<int> InkedColumns(int y) const
    {
        std::vector<int> xs;
        for (int x = 0; x < image.width(); ++x)
            if (Inked(x, y))
                xs.push_back(x);
        return xs;
    }
    std::vector<int> InkedRows(int x) const
    {
        std::vector<int> ys;
        for (int y = 0; y < image.height(); ++y)
            if (Inked(x, -y))
                ys.push_back(-y);
        return ys;
    }
};

enum class Face { Design, Screen, Printed };

void Draw(DoxControl* control, Canvas& canvas, Face face, int dx = 0, int dy = 0)
{
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&canvas.image));
    dc.SetMapMode(2);
    if (face == Face::Design)
        control->DrawDesign(static_cast<DC&>(dc));
    else
        control->DrawContent(dc, dx, dy, face == Face::Printed);
}
} // namespace

TEST(LineControl, NewLineLiesOnTheBottomEdgeAndTakesNoInput)
{
    FakeLayer layer;
    auto* line = AddControl<DoxLineControl>(layer, DoxKindLine, RECT{20, -20, 220, -120});
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetId(), "linecontrol");
    EXPECT_STREQ(line->GetName(), L"直线控件");
    EXPECT_EQ(line->Style().GetUValue(), 3u);
    EXPECT_STREQ(line->Style().GetValueText(), L"下边");
    EXPECT_TRUE(line->BeginRun());
    EXPECT_FALSE(line->IsInput());
    EXPECT_FALSE(line->IsEditable());
    EXPECT_TRUE(line->IsVisible());
    EXPECT_EQ(line->GetTransparency(), 0);
    EXPECT_EQ(line->NextField(), nullptr);
    EXPECT_EQ(line->GetBinding(), nullptr);
    layer.ReleaseAll();
}

TEST(LineControl, EndPointsOfEachStyle)
{
    const RECT r{20, -20, 220, -120};
    struct Case {
        const wchar_t* style;
        POINT from, to;
    } cases[] = {
        {L"左边", {20, -20}, {20, -120}},    {L"上边", {20, -20}, {220, -20}},
        {L"右边", {220, -20}, {220, -120}},  {L"下边", {20, -120}, {220, -120}},
        {L"前对角", {20, -20}, {220, -120}}, {L"后对角", {20, -120}, {220, -20}},
    };
    FakeLayer layer;
    auto* line = AddControl<DoxLineControl>(layer, DoxKindLine, r);
    ASSERT_NE(line, nullptr);
    for (const Case& c : cases) {
        ASSERT_TRUE(line->Style().SetValueText(c.style));
        POINT from{}, to{};
        ASSERT_TRUE(DoxLineEnds(line->Style().GetUValue(), r, from, to));
        EXPECT_EQ(from.x, c.from.x) << c.style;
        EXPECT_EQ(from.y, c.from.y) << c.style;
        EXPECT_EQ(to.x, c.to.x) << c.style;
        EXPECT_EQ(to.y, c.to.y) << c.style;
        // Drawn on screen: the midpoint of the line is inked, the centre of the
        // rectangle (off every edge line) is not unless the line is a diagonal.
        for (Face face : {Face::Design, Face::Screen}) {
            Canvas canvas;
            Draw(line, canvas, face);
            const int mx = (c.from.x + c.to.x) / 2, my = (c.from.y + c.to.y) / 2;
            bool near = false;
            for (int d = -1; d <= 1 && !near; ++d)
                near = canvas.Inked(mx + d, my) || canvas.Inked(mx, my + d);
            EXPECT_TRUE(near) << c.style;
            const bool diagonal = c.from.x != c.to.x && c.from.y != c.to.y;
            if (!diagonal) {
                EXPECT_FALSE(canvas.Inked(120, -70)) << c.style;
            }
        }
    }
    // A style beyond the list names no line.
    POINT from{}, to{};
    EXPECT_FALSE(DoxLineEnds(6, r, from, to));
    layer.ReleaseAll();
}

TEST(LineControl, StyleTextsParse)
{
    DoxLineStyleOptions options;
    EXPECT_EQ(options.GetCount(), 6);
    EXPECT_STREQ(options.GetText(6), L"");
    EXPECT_STREQ(options.ValueToText(4), L"前对角");
    EXPECT_STREQ(options.ValueToText(9), L"");
    uint32_t value = 5;
    std::wstring error;
    EXPECT_TRUE(options.Parse(L"", value, error));
    EXPECT_EQ(value, 5u);
    EXPECT_TRUE(options.Parse(L"左边", value, error));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(options.Parse(L"abc", value, error));
    EXPECT_EQ(error, L"无效数据");
    EXPECT_EQ(value, 0u);
}

TEST(LineControl, ZeroHeightAndUnprintableLines)
{
    FakeLayer layer;
    auto* line = AddControl<DoxLineControl>(layer, DoxKindLine, RECT{20, -50, 220, -50});
    ASSERT_NE(line, nullptr);
    // Height 0: the bottom edge is a horizontal line at the control's y.
    Canvas flat;
    Draw(line, flat, Face::Screen);
    EXPECT_GE(flat.InkedColumns(-50).size(), 190u);

    // Printed with the context's pen; not at all once unprintable, while the
    // screen keeps showing it. The shift moves the printed line.
    Canvas printed;
    Draw(line, printed, Face::Printed, 10, 0);
    EXPECT_GE(printed.InkedColumns(-50).size(), 190u);
    EXPECT_FALSE(printed.Inked(215, -50));
    ASSERT_TRUE(line->Printable().SetValueText(L"否"));
    Canvas hidden;
    Draw(line, hidden, Face::Printed);
    EXPECT_TRUE(hidden.InkedColumns(-50).empty());
    Canvas screen;
    Draw(line, screen, Face::Screen);
    EXPECT_FALSE(screen.InkedColumns(-50).empty());
    layer.ReleaseAll();
}

TEST(FrameControl, GridLinePositions)
{
    // Inner rectangle 100 x 90 at (20, -20); lines read along a row and a column
    // through the inside of the first band.
    struct Case {
        int columns, rows;
        const wchar_t* style;
        std::vector<int> xs; // vertical lines, crossing y = -25
        std::vector<int> ys; // horizontal lines, crossing x = 25
    } cases[] = {
        {1, 1, L"全部", {20, 120}, {-20, -110}},
        {3, 1, L"全部", {20, 53, 86, 120}, {-20, -110}},
        {2, 4, L"全部", {20, 70, 120}, {-20, -42, -64, -86, -110}},
        {3, 1, L"横线", {}, {-20, -110}},
        {3, 2, L"纵线", {20, 53, 86, 120}, {}},
    };
    for (const Case& c : cases) {
        FakeLayer layer;
        auto* frame = AddControl<DoxFrameControl>(layer, DoxKindFrame, RECT{20, -20, 120, -110});
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(frame->Split().ColumnItem().SetValue(c.columns));
        ASSERT_TRUE(frame->Split().RowItem().SetValue(c.rows));
        ASSERT_TRUE(frame->Style().SetValueText(c.style));
        for (Face face : {Face::Design, Face::Screen, Face::Printed}) {
            Canvas canvas;
            Draw(frame, canvas, face);
            std::vector<int> xs = canvas.InkedColumns(-25);
            std::vector<int> ys = canvas.InkedRows(25);
            // Horizontal lines cross the probe column only; vertical ones the row.
            EXPECT_EQ(xs, c.xs) << c.columns << "x" << c.rows << " face " << int(face);
            EXPECT_EQ(ys, c.ys) << c.columns << "x" << c.rows << " face " << int(face);
        }
        layer.ReleaseAll();
    }
}

TEST(FrameControl, CountsKeepTheirRangeAndRoundTrip)
{
    FakeLayer layer;
    auto* frame = AddControl<DoxFrameControl>(layer, DoxKindFrame, RECT{20, -20, 120, -110});
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetId(), "framecontrol");
    EXPECT_STREQ(frame->GetName(), L"边框控件");
    EXPECT_FALSE(frame->Split().ColumnItem().SetValueText(L"0"));
    EXPECT_FALSE(frame->Split().ColumnItem().SetValueText(L"31"));
    EXPECT_EQ(frame->Split().ColumnItem().GetValue(), 1);
    ASSERT_TRUE(frame->Split().ColumnItem().SetValueText(L"30"));
    ASSERT_TRUE(frame->Split().RowItem().SetValueText(L"4"));
    ASSERT_TRUE(frame->Style().SetValueText(L"纵线"));
    ASSERT_TRUE(frame->FgColor().SetValueText(L"#00FF0000"));
    ASSERT_TRUE(frame->Printable().SetValueText(L"否"));

    const std::string xml = SaveControl(frame);
    auto* copy = static_cast<DoxFrameControl*>(LoadControl(layer, xml));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetKindId(), DoxKindFrame);
    EXPECT_EQ(copy->Split().ColumnItem().GetValue(), 30);
    EXPECT_EQ(copy->Split().RowItem().GetValue(), 4);
    EXPECT_EQ(copy->Style().GetUValue(), 2u);
    EXPECT_EQ(copy->FgColor().GetUValue(), 0xFF0000u);
    EXPECT_EQ(copy->Printable().GetValue(), 0);
    EXPECT_EQ(copy->Basic().GetWidth(), 100);
    EXPECT_EQ(SaveControl(copy), xml);

    auto* line = AddControl<DoxLineControl>(layer, DoxKindLine, RECT{5, -5, 50, -60});
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->Style().SetValueText(L"后对角"));
    const std::string lineXml = SaveControl(line);
    auto* lineCopy = static_cast<DoxLineControl*>(LoadControl(layer, lineXml));
    ASSERT_NE(lineCopy, nullptr);
    EXPECT_EQ(lineCopy->GetKindId(), DoxKindLine);
    EXPECT_EQ(lineCopy->Style().GetUValue(), 5u);
    EXPECT_EQ(SaveControl(lineCopy), lineXml);
    layer.ReleaseAll();
}
