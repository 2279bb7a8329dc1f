// Gradient fill and its solid fallback, the selection frame, bitmaps drawing under a
// context's mapping, and the font-face list.

#include "Capabilities.h"
#include "DC.h"
#include "DoxBitmap.h"
#include "DoxPenBrush.h"
#include "DrawTestSupport.h"
#include "FontFaceList.h"
#include "GdiShapes.h"
#include "GradientFill.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace
{

class GradientFill : public testing::Test
{
protected:
    void SetUp() override { plat::BindOptionalEntryPoints(); }
    void TearDown() override { plat::BindOptionalEntryPoints(); }
};

TEST_F(GradientFill, RunsFromTheFirstColourToTheSecond)
{
    plat::BindOptionalEntryPoints();
    const struct {
        int flag;
        QPoint firstEnd;
        QPoint secondEnd;
        QPoint sameAsFirst; // a pixel across the gradient from firstEnd
    } cases[] = {
        {0, {30, 10}, {30, 59}, {109, 10}}, // top to bottom
        {1, {10, 30}, {109, 30}, {10, 59}}, // left to right
        {7, {10, 30}, {109, 30}, {10, 11}}, // any other flag: left to right
    };
    for (const auto& c : cases) {
        QImage image = MakeImage(120, 70, 96);
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        FillGradientRect(&dc, RECT{10, 10, 110, 60}, kRed, kBlue, c.flag);
        dc.EndPainting();
        EXPECT_EQ(ColorAt(image, c.firstEnd.x(), c.firstEnd.y()), kRed) << c.flag;
        EXPECT_EQ(ColorAt(image, c.secondEnd.x(), c.secondEnd.y()), kBlue) << c.flag;
        EXPECT_EQ(ColorAt(image, c.sameAsFirst.x(), c.sameAsFirst.y()), kRed) << c.flag;
        EXPECT_EQ(ColorAt(image, 9, 30), kWhite);
        EXPECT_EQ(ColorAt(image, 110, 30), kWhite);
        EXPECT_EQ(ColorAt(image, 30, 60), kWhite);
        COLORREF middle = ColorAt(image, 60, 35);
        EXPECT_GT(GetRValue(middle), 60);
        EXPECT_GT(GetBValue(middle), 60);
    }
}

TEST_F(GradientFill, FirstColourSitsAtTheTopEdgeUnderAYUpMapping)
{
    QImage image = MakeImage(100, 100, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SetMapMode(2);
    FillGradientRect(&dc, RECT{0, -20, 50, -80}, kRed, kBlue, 0);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 25, 20), kRed);
    EXPECT_EQ(ColorAt(image, 25, 79), kBlue);
}

TEST_F(GradientFill, WithoutGradientSupportTheFirstColourFillsItAll)
{
    plat::GetCapabilities().gradientFill = false;
    QImage image = MakeImage(120, 70, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    FillGradientRect(&dc, RECT{10, 10, 110, 60}, kGreen, kBlue, 0);
    dc.EndPainting();
    for (QPoint p : {QPoint(10, 10), QPoint(109, 59), QPoint(60, 35), QPoint(10, 59)})
        EXPECT_EQ(ColorAt(image, p.x(), p.y()), kGreen);
    EXPECT_EQ(ColorAt(image, 110, 60), kWhite);
}

TEST(DrawSelectionFrame, DottedDarkGreyFrameWithAHollowInside)
{
    DoxPenBrush frame;
    ASSERT_TRUE(frame.CreateSelectionFrame());
    EXPECT_EQ(frame.pen.fullStyle(), 0x2208u);
    EXPECT_EQ(frame.brush.style(), BS_NULL);

    QImage image = MakeImage(20, 20, 96, QColor(255, 0, 0));
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    frame.oldPen = dc.SelectObject(frame.pen);
    frame.oldBrush = dc.SelectObject(frame.brush);
    dc.Rectangle(2, 2, 12, 10);
    dc.SelectObject(frame.oldPen);
    dc.SelectObject(frame.oldBrush);
    dc.EndPainting();
    const COLORREF grey = RGB(0x40, 0x40, 0x40);
    EXPECT_EQ(ColorAt(image, 2, 2), grey);
    EXPECT_EQ(ColorAt(image, 3, 2), kRed); // every other pixel
    EXPECT_EQ(ColorAt(image, 4, 2), grey);
    EXPECT_EQ(ColorAt(image, 6, 6), kRed);  // hollow
    EXPECT_EQ(ColorAt(image, 12, 5), kRed); // exclusive right edge
    EXPECT_EQ(ColorAt(image, 5, 10), kRed); // exclusive bottom edge
}

TEST(DrawRoundRect, OutlineKeepsToTheBoxWithItsRightAndBottomEdgesExcluded)
{
    // A pixel outside would stay on the screen after the box's area is repainted (the
    // editor's frame beside a field it has left).
    QImage image = MakeImage(40, 30, 96, QColor(255, 0, 0));
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    const CPen blue(PS_SOLID, 1, RGB(0, 0, 255));
    CBrush hollow;
    hollow.CreateHollowBrush();
    const CPen oldPen = dc.SelectObject(blue);
    const CBrush oldBrush = dc.SelectObject(hollow);
    RoundRect(dc, 5, 5, 30, 20, 6, 6);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
    dc.EndPainting();
    const COLORREF edge = RGB(0, 0, 255);
    EXPECT_EQ(ColorAt(image, 29, 12), edge); // the last column inside
    EXPECT_EQ(ColorAt(image, 15, 19), edge); // the last row inside
    EXPECT_EQ(ColorAt(image, 5, 12), edge);
    EXPECT_EQ(ColorAt(image, 15, 5), edge);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(ColorAt(image, 30, y), kRed) << y;
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(ColorAt(image, x, 20), kRed) << x;
    EXPECT_EQ(ColorAt(image, 15, 12), kRed); // hollow
}

TEST(DrawBitmap, DrawsAtItsPixelSizeWhateverTheZoom)
{
    const struct {
        int zoom;
        bool stretch;
        int cx, cy;
        int endX, endY; // exclusive device extent
    } cases[] = {
        {100, false, 0, 0, 20, 10},  {150, false, 0, 0, 20, 10}, {100, true, 40, 20, 40, 20},
        {100, true, 20, 10, 20, 10}, {50, true, 40, 20, 40, 20},
    };
    for (const auto& c : cases) {
        DoxBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateBitmap(20, 10));
        bitmap.image().fill(QColor(255, 0, 0));
        QImage image = MakeImage(60, 40, 96);
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetZoom(c.zoom);
        dc.SetMapMode(1);
        ASSERT_TRUE(c.stretch ? bitmap.StretchTo(&dc, c.cx, c.cy) : bitmap.BlitTo(&dc));
        dc.EndPainting();
        EXPECT_EQ(ColorAt(image, 0, 0), kRed) << c.zoom;
        EXPECT_EQ(ColorAt(image, c.endX - 1, c.endY - 1), kRed) << c.zoom << " " << c.cx;
        EXPECT_EQ(ColorAt(image, c.endX, c.endY - 1), kWhite) << c.zoom << " " << c.cx;
        EXPECT_EQ(ColorAt(image, c.endX - 1, c.endY), kWhite) << c.zoom << " " << c.cx;
    }
    DoxBitmap empty;
    QImage image = MakeImage(10, 10, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    EXPECT_FALSE(empty.BlitTo(&dc));
    EXPECT_FALSE(empty.StretchTo(&dc, 5, 5));
}

TEST(DrawFontFaces, ReportedNamesAreTrimmedDeduplicatedAndSorted)
{
    const struct {
        std::vector<std::wstring> reported;
        std::vector<std::wstring> listed;
    } cases[] = {
        {{L"@宋体", L"宋体"}, {L"宋体"}},
        {{L"Arial", L"ARIAL", L"arial"}, {L"Arial"}},
        {{L"\t @Tahoma", L"Tahoma"}, {L"Tahoma"}},
        {{L"@", L" \t", L""}, {}},
        {{L"b", L"A", L"C", L"a"}, {L"A", L"b", L"C"}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> list;
        for (const std::wstring& name : c.reported)
            AddFontFace(list, name);
        SortFontFaces(list);
        EXPECT_EQ(list, c.listed);
    }
}

TEST(DrawFontFaces, TheInstalledFacesAreListedOnce)
{
    EnumerateFontFaces();
    const std::vector<std::wstring>& list = FontFaceList();
    ASSERT_FALSE(list.empty());
    EXPECT_NE(std::find(list.begin(), list.end(), L"WenQuanYi Zen Hei"), list.end());
    EXPECT_STREQ(GetFontFace(-1), L"");
    EXPECT_STREQ(GetFontFace(static_cast<int>(list.size())), L"");
    EXPECT_STREQ(GetFontFace(0), list[0].c_str());
}

} // namespace
