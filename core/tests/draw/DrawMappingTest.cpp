// Mapping kinds, zoom and the GDI rules the painters rely on: 0.1 mm with y up lands
// at the image's resolution, zoom is clamped when reported, rectangles keep exclusive
// edges, text stays upright.

#include "DC.h"
#include "DrawTestSupport.h"
#include "DrawUnits.h"
#include "ScreenInfo.h"

#include <gtest/gtest.h>

using namespace drawtest;

namespace
{

int Px(int tenthMm, int dpi)
{
    return static_cast<int>(std::lround(tenthMm * dpi / 254.0));
}

struct ResolutionCase {
    int dpi;
    int widthMm;
};

class DrawMappingKind2 : public testing::TestWithParam<ResolutionCase>
{
};

TEST_P(DrawMappingKind2, TenUnitsMakeOneMillimetreWithYUp)
{
    const ResolutionCase c = GetParam();
    int width = Px(c.widthMm * 10, c.dpi);
    QImage image = MakeImage(width, width, c.dpi);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    EXPECT_EQ(dc.SetMapMode(2), 1);
    EXPECT_EQ(dc.GetMapping(), 2);
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);

    // 35.0 mm right of the origin and 20.0 mm below it: y is negative below.
    POINT p{350, -200};
    dc.LPtoDP(&p);
    EXPECT_NEAR(p.x, Px(350, c.dpi), 1);
    EXPECT_NEAR(p.y, Px(200, c.dpi), 1);
    POINT above{0, 100};
    dc.LPtoDP(&above);
    EXPECT_LT(above.y, 0);

    // A 10 mm x 5 mm box at (10 mm, 10 mm) from the top-left corner.
    dc.FillSolidRect(RECT{100, -100, 200, -150}, kRed);
    dc.EndPainting();
    int left = Px(100, c.dpi), right = Px(200, c.dpi), top = Px(100, c.dpi), bottom = Px(150, c.dpi);
    EXPECT_EQ(ColorAt(image, left + 1, top + 1), kRed);
    EXPECT_EQ(ColorAt(image, right - 2, bottom - 2), kRed);
    EXPECT_EQ(ColorAt(image, left - 2, top + 1), kWhite);
    EXPECT_EQ(ColorAt(image, right + 1, top + 1), kWhite);
    EXPECT_EQ(ColorAt(image, left + 1, top - 2), kWhite);
    EXPECT_EQ(ColorAt(image, left + 1, bottom + 1), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, DrawMappingKind2,
                         testing::Values(ResolutionCase{254, 100}, ResolutionCase{508, 60},
                                         ResolutionCase{96, 254}, ResolutionCase{600, 50},
                                         ResolutionCase{300, 80}),
                         [](const testing::TestParamInfo<ResolutionCase>& info) {
                             return "dpi" + std::to_string(info.param.dpi);
                         });

TEST(DrawMapping, ReportedZoomIsClampedToFiftyToOneHundredFifty)
{
    const struct {
        int stored;
        int reported;
    } cases[] = {{49, 100}, {50, 50}, {75, 75}, {100, 100}, {150, 150}, {151, 100}, {0, 100}, {-20, 100}};
    for (const auto& c : cases) {
        DCX dc;
        dc.SetZoom(c.stored);
        int zoom = -1;
        EXPECT_EQ(dc.GetZoom(&zoom), &zoom);
        EXPECT_EQ(zoom, c.reported) << "stored " << c.stored;
    }
    DC plain;
    int zoom = -1;
    plain.SetZoom(150);
    plain.GetZoom(&zoom);
    EXPECT_EQ(zoom, 100);
}

TEST(DrawMapping, PixelMappingScalesByZoom)
{
    const struct {
        int zoom;
        int mapMode;
        int firstPx;
        int endPx; // exclusive
    } cases[] = {{100, MM_TEXT, 10, 20}, {150, MM_ANISOTROPIC, 15, 30}, {50, MM_ANISOTROPIC, 5, 10}};
    for (const auto& c : cases) {
        QImage image = MakeImage(64, 64, 96);
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SetZoom(c.zoom);
        dc.SetMapMode(1);
        EXPECT_EQ(dc.GetMapMode(), c.mapMode) << c.zoom;
        if (c.zoom != 100) {
            EXPECT_EQ(dc.GetWindowExt().cx, 100);
            EXPECT_EQ(dc.GetViewportExt().cx, c.zoom);
            EXPECT_EQ(dc.GetViewportExt().cy, c.zoom);
        }
        dc.FillSolidRect(10, 10, 10, 10, kBlue);
        dc.EndPainting();
        EXPECT_EQ(ColorAt(image, c.firstPx, c.firstPx), kBlue) << c.zoom;
        EXPECT_EQ(ColorAt(image, c.endPx - 1, c.endPx - 1), kBlue) << c.zoom;
        EXPECT_EQ(ColorAt(image, c.endPx, c.endPx), kWhite) << c.zoom;
        EXPECT_EQ(ColorAt(image, c.firstPx - 1, c.firstPx), kWhite) << c.zoom;
    }
}

TEST(DrawMapping, ZoomAppliesToTenthMillimetresOnTheNextSetMapMode)
{
    QImage image = MakeImage(300, 300, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SetMapMode(2);
    dc.SetZoom(50);
    POINT p{100, -100};
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, 100); // not yet applied
    dc.SetMapMode(2);
    p = {100, -100};
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, 50);
    EXPECT_EQ(p.y, 50);
}

TEST(DrawMapping, OtherKindsArePlainMapModes)
{
    QImage image = MakeImage(100, 100, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    EXPECT_EQ(dc.SetMapMode(MM_HIMETRIC), 1);
    EXPECT_EQ(dc.GetMapping(), MM_HIMETRIC);
    EXPECT_EQ(dc.GetMapMode(), MM_HIMETRIC);
    POINT p{100, -50}; // 0.01 mm
    dc.LPtoDP(&p);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 5);
    EXPECT_EQ(dc.SetMapMode(2), MM_HIMETRIC);
}

TEST(DrawMapping, RectanglesExcludeTheirRightAndBottomEdges)
{
    QImage image = MakeImage(12, 12, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    CPen pen(PS_SOLID, 1, kBlue);
    CBrush brush(kRed);
    dc.SelectObject(pen);
    dc.SelectObject(brush);
    dc.Rectangle(2, 3, 7, 8);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 2, 3), kBlue);
    EXPECT_EQ(ColorAt(image, 6, 7), kBlue);
    EXPECT_EQ(ColorAt(image, 4, 5), kRed);
    EXPECT_EQ(ColorAt(image, 7, 5), kWhite);
    EXPECT_EQ(ColorAt(image, 4, 8), kWhite);
    EXPECT_EQ(ColorAt(image, 1, 3), kWhite);
}

TEST(DrawMapping, WidePensAreCentredOnTheFrameUnlessInsideFrame)
{
    const struct {
        UINT style;
        int outer; // first inked column left of the rectangle's left edge (10)
        int inner; // last inked column of the left band
    } cases[] = {{PS_SOLID, 8, 12}, {PS_INSIDEFRAME, 10, 14}};
    for (const auto& c : cases) {
        QImage image = MakeImage(40, 40, 96);
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        dc.SelectObject(CPen(c.style, 5, kBlue));
        dc.SelectObject(StockBrush(StockObject::NullBrush));
        dc.Rectangle(10, 10, 30, 30);
        dc.EndPainting();
        EXPECT_EQ(ColorAt(image, c.outer - 1, 20), kWhite) << c.style;
        EXPECT_EQ(ColorAt(image, c.outer, 20), kBlue) << c.style;
        EXPECT_EQ(ColorAt(image, c.inner, 20), kBlue) << c.style;
        EXPECT_EQ(ColorAt(image, c.inner + 1, 20), kWhite) << c.style;
    }
}

TEST(DrawMapping, LineToLeavesItsEndPointOut)
{
    QImage image = MakeImage(12, 12, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SelectObject(CPen(PS_SOLID, 1, kRed));
    dc.MoveTo(1, 4);
    dc.LineTo(8, 4);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 1, 4), kRed);
    EXPECT_EQ(ColorAt(image, 7, 4), kRed);
    EXPECT_EQ(ColorAt(image, 8, 4), kWhite);
}

TEST(DrawMapping, XorOutlinesVanishWhenDrawnTwice)
{
    QImage image = MakeImage(20, 20, 96, QColor(0, 160, 0));
    QImage before = image;
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    EXPECT_EQ(dc.SetROP2(R2_NOTXORPEN), R2_COPYPEN);
    dc.SelectObject(CPen(PS_SOLID, 1, RGB(0, 0, 0)));
    dc.SelectObject(StockBrush(StockObject::NullBrush));
    dc.Rectangle(2, 2, 15, 12);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 2, 2), RGB(255, 95, 255)); // inverted green
    EXPECT_EQ(ColorAt(image, 8, 6), kGreen);            // hollow
    dc.Rectangle(2, 2, 15, 12);
    dc.EndPainting();
    EXPECT_TRUE(image == before);
    // Fills and text are not mixed.
    dc.FillSolidRect(RECT{0, 0, 4, 4}, kRed);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 1, 1), kRed);
}

TEST(DrawMapping, TextUnderYUpMappingIsUpright)
{
    // The same text drawn at the same device point with y up and with plain pixels
    // must give the same pixels: never a mirrored glyph.
    LOGFONTW lf;
    lf.lfHeight = -40;
    wcscpy(lf.lfFaceName, L"宋体");
    CFont font;
    font.CreateFontIndirect(lf);

    QImage up = MakeImage(300, 300, 254);
    DCX upDc;
    ASSERT_TRUE(upDc.AttachImage(&up));
    upDc.SetMapMode(2);
    upDc.SelectObject(font);
    upDc.SetBkMode(TRANSPARENT);
    upDc.TextOut(50, -60, L"票据F");
    upDc.EndPainting();

    QImage plain = MakeImage(300, 300, 254);
    DCX plainDc;
    ASSERT_TRUE(plainDc.AttachImage(&plain));
    plainDc.SelectObject(font);
    plainDc.SetBkMode(TRANSPARENT);
    plainDc.TextOut(50, 60, L"票据F");
    plainDc.EndPainting();

    EXPECT_TRUE(up == plain);
    EXPECT_FALSE(up == MakeImage(300, 300, 254)); // something was drawn
}

TEST(DrawMapping, TextsAndShapesBetweenThemKeepTheirOwnColours)
{
    // Text keeps its pen from one text to the next; a shape between texts strokes
    // with its own pen and a filled box draws no outline in the text's colour.
    QImage image = MakeImage(300, 60, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SetBkMode(TRANSPARENT);
    const auto draw = [&](int left, COLORREF colour) {
        dc.SetTextColor(colour);
        RECT box{left, 10, left + 40, 50};
        dc.DrawText(L"MM", -1, &box, DT_SINGLELINE | DT_NOPREFIX);
    };
    draw(0, kBlue);
    draw(50, kBlue);
    dc.SelectObject(CPen(PS_SOLID, 1, kRed));
    dc.MoveTo(100, 5);
    dc.LineTo(290, 5);
    draw(110, kGreen);
    dc.FillSolidRect(RECT{160, 20, 200, 40}, kWhite);
    draw(210, kBlue);
    dc.EndPainting();
    // The strongest ink of each text is its own colour.
    const auto inkOf = [&](int left) {
        int best = 255 * 3;
        COLORREF ink = kWhite;
        for (int y = 10; y < 50; ++y)
            for (int x = left; x < left + 40; ++x) {
                const COLORREF c = ColorAt(image, x, y);
                const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
                if (sum < best) {
                    best = sum;
                    ink = c;
                }
            }
        return ink;
    };
    const auto near = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) < 40 && std::abs(GetGValue(a) - GetGValue(b)) < 40 &&
               std::abs(GetBValue(a) - GetBValue(b)) < 40;
    };
    EXPECT_TRUE(near(inkOf(0), kBlue)) << inkOf(0);
    EXPECT_TRUE(near(inkOf(50), kBlue)) << inkOf(50);
    EXPECT_TRUE(near(inkOf(110), kGreen)) << inkOf(110);
    EXPECT_TRUE(near(inkOf(210), kBlue)) << inkOf(210);
    EXPECT_EQ(ColorAt(image, 150, 5), kRed);
    for (int x = 160; x < 200; ++x) {
        ASSERT_EQ(ColorAt(image, x, 20), kWhite) << x;
        ASSERT_EQ(ColorAt(image, x, 39), kWhite) << x;
    }
}

TEST(DrawMapping, ClipBoxIsTheSurfaceOrTheClipInLogicalUnits)
{
    QImage image = MakeImage(100, 80, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    RECT all = dc.GetClipBox();
    EXPECT_EQ(all.right, 100);
    EXPECT_EQ(all.bottom, 80);
    dc.SetMapMode(2);
    dc.IntersectClipRect(RECT{10, -10, 50, -40});
    RECT clip = dc.GetClipBox();
    EXPECT_EQ(clip.left, 10);
    EXPECT_EQ(clip.top, -10);
    EXPECT_EQ(clip.right, 50);
    EXPECT_EQ(clip.bottom, -40);
    dc.FillSolidRect(RECT{0, 0, 100, -80}, kRed);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 10, 10), kRed);
    EXPECT_EQ(ColorAt(image, 49, 39), kRed);
    EXPECT_EQ(ColorAt(image, 50, 20), kWhite);
    EXPECT_EQ(ColorAt(image, 9, 20), kWhite);
}

// Whether any pixel outside the rectangle (device pixels) is not white.
bool InkOutside(const QImage& image, const QRect& box)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!box.contains(x, y) && ColorAt(image, x, y) != kWhite)
                return true;
    return false;
}

TEST(DrawMapping, TextIsClippedToItsBoxOnlyWhenItCanLeaveIt)
{
    const struct {
        const char* what;
        const wchar_t* text;
        UINT format;
        bool inkOutside;
    } cases[] = {
        {"long text in a short box", L"MMMMMMMMMMMMMMMMMMMM", DT_SINGLELINE | DT_VCENTER, false},
        {"long text, told not to clip", L"MMMMMMMMMMMMMMMMMMMM", DT_SINGLELINE | DT_VCENTER | DT_NOCLIP, true},
        {"centred text wider than its box", L"MMMMMMMMMMMMMMMMMMMM", DT_SINGLELINE | DT_CENTER, false},
        {"text that fits", L"M", DT_SINGLELINE | DT_VCENTER, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QImage image = MakeImage(200, 60, 96);
        DCX dc;
        ASSERT_TRUE(dc.AttachImage(&image));
        RECT box{50, 10, 90, 50};
        dc.DrawText(c.text, -1, &box, c.format);
        dc.EndPainting();
        EXPECT_EQ(InkOutside(image, QRect(50, 10, 40, 40)), c.inkOutside);
        EXPECT_TRUE(InkOutside(image, QRect(0, 0, 0, 0))); // something was drawn
    }

    // The box of a clipped text does not clip what comes after it; the context's
    // own clip still does.
    QImage image = MakeImage(200, 60, 96);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    RECT box{50, 10, 90, 50};
    dc.DrawText(L"MMMMMMMMMMMMMMMMMMMM", -1, &box, DT_SINGLELINE);
    dc.FillSolidRect(RECT{150, 0, 160, 10}, kRed);
    dc.IntersectClipRect(RECT{0, 0, 20, 60});
    RECT second{0, 0, 200, 60};
    dc.DrawText(L"MMMMMMMMMMMMMMMMMMMM", -1, &second, DT_SINGLELINE | DT_NOCLIP);
    dc.EndPainting();
    EXPECT_EQ(ColorAt(image, 155, 5), kRed);
    // Between the context's clip and the first box, and right of that box: nothing.
    for (const QRect& gap : {QRect(20, 0, 30, 60), QRect(90, 0, 60, 60)}) {
        for (int y = gap.top(); y <= gap.bottom(); ++y)
            for (int x = gap.left(); x <= gap.right(); ++x)
                ASSERT_EQ(ColorAt(image, x, y), kWhite) << x << "," << y;
    }
}

TEST(DrawMapping, OnlyMemoryContextsTakeBitmaps)
{
    QImage image = MakeImage(10, 10, 96);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(4, 4));
    DCX onImage;
    ASSERT_TRUE(onImage.AttachImage(&image));
    EXPECT_EQ(onImage.SelectObject(&bitmap), nullptr);
    EXPECT_EQ(onImage.GetImage(), &image);

    CDC screen;
    ASSERT_TRUE(screen.AttachImage(&image));
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    EXPECT_EQ(memory.GetSafeHdc(), nullptr);
    EXPECT_EQ(memory.SelectObject(&bitmap), nullptr);
    EXPECT_EQ(memory.GetImage(), &bitmap.image());
    EXPECT_EQ(memory.GetDeviceCaps(HORZRES), 4);
    memory.FillSolidRect(RECT{0, 0, 2, 2}, kRed);
    memory.EndPainting();
    EXPECT_EQ(ColorAt(bitmap.image(), 1, 1), kRed);
    EXPECT_EQ(memory.SelectObject(nullptr), &bitmap);
    EXPECT_EQ(memory.GetSafeHdc(), nullptr);
}

TEST(DrawMapping, SaveAndRestoreBringBackMappingAndObjects)
{
    QImage image = MakeImage(50, 50, 254);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    int first = dc.SaveDC();
    dc.SetMapMode(2);
    dc.SelectObject(CPen(PS_SOLID, 1, kRed));
    int second = dc.SaveDC();
    EXPECT_EQ(second, first + 1);
    dc.SetMapMode(MM_TEXT);
    dc.SelectObject(CPen(PS_DASH, 1, kBlue));
    EXPECT_TRUE(dc.RestoreDC(-1));
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetCurrentPen().color(), kRed);
    EXPECT_TRUE(dc.RestoreDC(first));
    EXPECT_EQ(dc.GetMapMode(), MM_TEXT);
    EXPECT_FALSE(dc.RestoreDC(first)); // already popped
    EXPECT_FALSE(dc.RestoreDC(0));
}

TEST(DrawMapping, ScreenConversionsGivePositiveSizes)
{
    plat::SetScreenDotsPerInch(96);
    const struct {
        int zoom;
        SIZE tenthMm;
        SIZE pixels;
    } cases[] = {{100, {254, 508}, {96, 192}}, {150, {254, 254}, {144, 144}}, {50, {508, 254}, {96, 48}}};
    for (const auto& c : cases) {
        SIZE s = c.tenthMm;
        TenthMmToPixels(c.zoom, &s);
        EXPECT_NEAR(s.cx, c.pixels.cx, 1) << c.zoom;
        EXPECT_NEAR(s.cy, c.pixels.cy, 1) << c.zoom;
        SIZE back = c.pixels;
        PixelsToLogical(2, c.zoom, &back);
        EXPECT_NEAR(back.cx, c.tenthMm.cx, 3) << c.zoom;
        EXPECT_NEAR(back.cy, c.tenthMm.cy, 3) << c.zoom;
        EXPECT_GT(back.cy, 0);
    }
    plat::SetScreenDotsPerInch(0);
}

TEST(DrawMapping, FontHeightsFromPointsAreExact)
{
    const struct {
        int points;
        int height;
    } cases[] = {{12, -42}, {9, -32}, {72, -254}, {10, -35}};
    for (const auto& c : cases)
        EXPECT_EQ(FontHeightFromPoints(c.points), c.height) << c.points;
}

} // namespace
