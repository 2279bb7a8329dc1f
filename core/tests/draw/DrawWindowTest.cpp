// Window contexts: they draw on the window's back buffer, the screen context answers
// the pinned screen resolution, and the start-up step binds the drawing entry points.

#include "Capabilities.h"
#include "DoxDC.h"
#include "DoxPrinter.h"
#include "DrawTestSupport.h"
#include "DrawUnits.h"
#include "ScreenInfo.h"
#include "WindowDC.h"
#include "WindowSurface.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace drawtest;

namespace
{

class DrawWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        plat::SetScreenDotsPerInch(120);
        BindGdiEntryPoints();
    }
    void TearDown() override
    {
        plat::SetScreenDotsPerInch(0);
        ScreenDpi = 96;
    }
};

TEST_F(DrawWindow, StartUpReadsTheScreenResolutionAndSetsTheFlags)
{
    EXPECT_EQ(ScreenDpi, 120);
    EXPECT_TRUE(plat::GetCapabilities().alphaBlend);
    EXPECT_TRUE(plat::GetCapabilities().gradientFill);
    UnbindGdiEntryPoints();
    EXPECT_FALSE(plat::GetCapabilities().gradientFill);
    BindGdiEntryPoints();
}

TEST_F(DrawWindow, TheScreenContextReportsTheScreen)
{
    CClientDCX screen(nullptr);
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 120);
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSY), 120);
    EXPECT_GT(screen.GetDeviceCaps(HORZRES), 0);
    EXPECT_GT(screen.GetDeviceCaps(HORZSIZE), 0);

    auto zoomed = MakeClientDCX(2, 150);
    int zoom = 0;
    zoomed->GetZoom(&zoom);
    EXPECT_EQ(zoom, 150);
    EXPECT_EQ(zoomed->GetMapping(), 2);
    SIZE inch{254, 254};
    zoomed->LPtoDP(&inch);
    EXPECT_NEAR(inch.cx, 180, 1);
    EXPECT_NEAR(inch.cy, -180, 1);
}

TEST_F(DrawWindow, ClientContextsDrawOnTheWindowsBackBuffer)
{
    QWidget window;
    window.resize(80, 50);
    {
        CClientDCX dc(&window, 150);
        EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
        dc.FillSolidRect(RECT{10, 10, 20, 20}, kRed); // 15..30 in pixels
    }
    QImage* buffer = plat::WindowBackBuffer(&window);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->size(), QSize(80, 50));
    EXPECT_EQ(ColorAt(*buffer, 15, 15), kRed);
    EXPECT_EQ(ColorAt(*buffer, 29, 29), kRed);
    EXPECT_EQ(ColorAt(*buffer, 30, 30), kWhite);

    {
        DoxClientDC dc(&window);
        EXPECT_EQ(dc.area().right, 80);
        dc.FillSolidRect(RECT{40, 5, 50, 15}, kBlue);
    }
    EXPECT_EQ(ColorAt(*buffer, 45, 10), kBlue);
    // The double buffer starts black where nothing was drawn: it replaces the area.
    EXPECT_EQ(ColorAt(*buffer, 15, 15), RGB(0, 0, 0));
}

TEST_F(DrawWindow, PaintContextsBufferTheGivenAreaWithTheZoom)
{
    QWidget window;
    window.resize(60, 60);
    {
        CPaintDCX first(&window);
        first.FillSolidRect(RECT{0, 0, 60, 60}, kWhite);
    }
    RECT area{10, 10, 40, 40};
    {
        DoxPaintDC dc(&window, &area, 50);
        int zoom = 0;
        dc.GetZoom(&zoom);
        EXPECT_EQ(zoom, 50);
        EXPECT_EQ(dc.GetMapping(), 1);
        dc.FillSolidRect(RECT{40, 40, 60, 60}, kGreen); // 20..30 in pixels
    }
    QImage* buffer = plat::WindowBackBuffer(&window);
    EXPECT_EQ(ColorAt(*buffer, 20, 20), kGreen);
    EXPECT_EQ(ColorAt(*buffer, 29, 29), kGreen);
    EXPECT_EQ(ColorAt(*buffer, 45, 45), kWhite); // outside the buffered area
    EXPECT_THROW(CPaintDCX(nullptr), DoxResourceException);
    EXPECT_THROW(DoxPaintDC(nullptr), DoxResourceException);
}

TEST(DrawTextBox, SingleLinesAlignInsideTheBox)
{
    const UINT formats[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    for (UINT horizontal : formats) {
        for (UINT vertical : {DT_TOP, DT_VCENTER, DT_BOTTOM}) {
            QImage image = MakeImage(200, 100, 96);
            DCX dc;
            ASSERT_TRUE(dc.AttachImage(&image));
            dc.SetBkMode(TRANSPARENT);
            LOGFONTW lf;
            lf.lfHeight = -16;
            wcscpy(lf.lfFaceName, L"DejaVu Sans");
            CFont font;
            font.CreateFontIndirect(lf);
            dc.SelectObject(font);
            RECT box{20, 10, 180, 90};
            dc.DrawText(L"HHHH", -1, &box, DT_SINGLELINE | horizontal | vertical);
            dc.EndPainting();
            int left = 200, right = -1, top = 100, bottom = -1;
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 200; ++x)
                    if (ColorAt(image, x, y) != kWhite) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            ASSERT_GE(right, 0);
            EXPECT_GE(left, 20);
            EXPECT_LT(right, 180);
            EXPECT_GE(top, 10);
            EXPECT_LT(bottom, 90);
            double middle = (left + right) / 2.0, centre = (top + bottom) / 2.0;
            if (horizontal == DT_LEFT) {
                EXPECT_LT(left, 25);
            }
            if (horizontal == DT_RIGHT) {
                EXPECT_GT(right, 174);
            }
            if (horizontal == DT_CENTER) {
                EXPECT_NEAR(middle, 100, 3);
            }
            if (vertical == DT_TOP) {
                EXPECT_LT(top, 20);
            }
            if (vertical == DT_BOTTOM) {
                EXPECT_GT(bottom, 80);
            }
            if (vertical == DT_VCENTER) {
                EXPECT_NEAR(centre, 50, 4);
            }
        }
    }
}

TEST(DrawTextBox, CalcRectMeasuresWithoutDrawing)
{
    QImage image = MakeImage(200, 100, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SetMapMode(2);
    SIZE one = dc.GetTextExtent(L"ab", 2);
    RECT box{10, -10, 10, -10};
    int height = dc.DrawText(L"ab\ncd", -1, &box, DT_CALCRECT);
    EXPECT_NEAR(height, 2 * one.cy, 1);
    EXPECT_NEAR(box.right - box.left, one.cx, 1);
    EXPECT_NEAR(box.top - box.bottom, 2 * one.cy, 1); // y up: the box grows downward
    dc.EndPainting();
    EXPECT_TRUE(image == MakeImage(200, 100, 254));
}

} // namespace
