// Double buffering: the buffer covers the normalised area in the target's device
// pixels, lands there in one transfer, and leaves the target's mapping as it was.

#include "Capabilities.h"
#include "DoxDC.h"
#include "DrawTestSupport.h"

#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>

using namespace drawtest;

namespace
{

class DrawBuffer : public testing::Test
{
protected:
    void SetUp() override
    {
        image = MakeImage(80, 60, 254, QColor(0, 0, 255));
        ASSERT_TRUE(target.AttachImage(&image));
        target.SetMapMode(2); // the target draws in 0.1 mm, y up
        viewportExt = target.GetViewportExt();
        windowExt = target.GetWindowExt();
    }
    void TearDown() override { plat::BindOptionalEntryPoints(); }

    void ExpectTargetMappingIntact()
    {
        EXPECT_EQ(target.GetMapMode(), MM_ANISOTROPIC);
        EXPECT_EQ(target.GetViewportExt().cx, viewportExt.cx);
        EXPECT_EQ(target.GetViewportExt().cy, viewportExt.cy);
        EXPECT_EQ(target.GetWindowExt().cx, windowExt.cx);
        EXPECT_EQ(target.GetWindowExt().cy, windowExt.cy);
    }

    QImage image;
    DCX target;
    SIZE viewportExt;
    SIZE windowExt;
};

TEST_F(DrawBuffer, AnyCornerOrderBuffersTheNormalisedArea)
{
    const RECT orders[] = {{20, 10, 60, 40}, {60, 10, 20, 40}, {20, 40, 60, 10}, {60, 40, 20, 10}};
    for (const RECT& area : orders) {
        image.fill(QColor(0, 0, 255));
        DoxDC buffer;
        ASSERT_TRUE(buffer.BeginBuffer(&area, &target, false));
        EXPECT_EQ(buffer.area().left, 20);
        EXPECT_EQ(buffer.area().top, 10);
        EXPECT_EQ(buffer.area().right, 60);
        EXPECT_EQ(buffer.area().bottom, 40);
        EXPECT_EQ(target.GetMapMode(), MM_TEXT); // while the buffer is open
        // The buffer draws in the target's device pixels.
        buffer.FillSolidRect(RECT{25, 15, 35, 25}, kRed);
        EXPECT_EQ(buffer.EndBuffer(), &target);
        ExpectTargetMappingIntact();
        target.EndPainting();
        EXPECT_EQ(ColorAt(image, 25, 15), kRed);
        EXPECT_EQ(ColorAt(image, 34, 24), kRed);
        EXPECT_EQ(ColorAt(image, 40, 30), RGB(0, 0, 0)); // fresh buffer, not copied
        EXPECT_EQ(ColorAt(image, 19, 30), kBlue);        // outside the area
        EXPECT_EQ(ColorAt(image, 60, 30), kBlue);
        EXPECT_EQ(ColorAt(image, 30, 40), kBlue);
    }
}

TEST_F(DrawBuffer, PaintsOfOneSizeShareOneBufferAndABitmapMovesItsPixels)
{
    // A moved bitmap hands its pixels over: nothing is shared, so selecting it into a
    // context (which sets its resolution) writes into the same pixels, not a copy.
    CBitmap first;
    ASSERT_TRUE(first.CreateBitmap(16, 8));
    const uchar* pixels = first.image().constBits();
    CBitmap moved = std::move(first);
    EXPECT_FALSE(first.IsCreated());
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&target));
    memory.SelectObject(&moved);
    EXPECT_EQ(moved.image().constBits(), pixels);
    memory.SelectObject(nullptr);

    // The next paint of the same size draws into the pixels of the last one.
    const RECT area{0, 0, 40, 30};
    const uchar* last = nullptr;
    for (int paint = 0; paint < 3; ++paint) {
        DoxDC buffer;
        ASSERT_TRUE(buffer.BeginBuffer(&area, &target, false));
        ASSERT_NE(buffer.GetImage(), nullptr);
        if (last) {
            EXPECT_EQ(buffer.GetImage()->constBits(), last) << paint;
        }
        last = buffer.GetImage()->constBits();
        buffer.EndBuffer();
    }
}

TEST_F(DrawBuffer, CopyFlagStartsFromWhatTheTargetShows)
{
    RECT area{10, 10, 50, 50};
    DoxDC buffer;
    ASSERT_TRUE(buffer.BeginBuffer(&area, &target, true));
    buffer.FillSolidRect(RECT{20, 20, 30, 30}, kRed);
    buffer.EndBuffer();
    target.EndPainting();
    EXPECT_EQ(ColorAt(image, 12, 12), kBlue);
    EXPECT_EQ(ColorAt(image, 25, 25), kRed);
}

TEST_F(DrawBuffer, TenthMillimetreDrawingInABufferLandsWhereItWouldOnTheTarget)
{
    QImage direct = MakeImage(80, 60, 254, QColor(0, 0, 255));
    DCX directDc;
    ASSERT_TRUE(directDc.AttachImage(&direct));
    directDc.SetMapMode(2);
    directDc.FillSolidRect(RECT{22, -12, 47, -33}, kRed);
    directDc.EndPainting();

    RECT area{15, 5, 70, 50};
    DoxDC buffer;
    ASSERT_TRUE(buffer.BeginBuffer(&area, &target, true));
    buffer.SetMapMode(2);
    buffer.FillSolidRect(RECT{22, -12, 47, -33}, kRed);
    buffer.EndBuffer();
    target.EndPainting();
    EXPECT_TRUE(image == direct);
}

TEST_F(DrawBuffer, FailedOpenLeavesTheTargetAsItWas)
{
    DoxDC buffer;
    RECT empty{10, 10, 10, 40};
    RECT area{0, 0, 10, 10};
    EXPECT_FALSE(buffer.BeginBuffer(&empty, &target, false));
    EXPECT_FALSE(buffer.BeginBuffer(&area, nullptr, false));
    ExpectTargetMappingIntact();
    EXPECT_EQ(buffer.EndBuffer(), nullptr);
    EXPECT_EQ(buffer.EndBufferBlend(128), nullptr);
}

TEST_F(DrawBuffer, BlendUsesConstantAlphaOrCopiesWithoutIt)
{
    const struct {
        bool alphaBlend;
        BYTE alpha;
        int red; // red channel of the result over blue
        int blue;
    } cases[] = {{true, 255, 255, 0}, {true, 0, 0, 255}, {true, 128, 128, 127}, {false, 128, 255, 0}};
    for (const auto& c : cases) {
        image.fill(QColor(0, 0, 255));
        plat::GetCapabilities().alphaBlend = c.alphaBlend;
        RECT area{0, 0, 40, 40};
        DoxDC buffer;
        ASSERT_TRUE(buffer.BeginBuffer(&area, &target, true));
        buffer.FillSolidRect(RECT{0, 0, 40, 40}, kRed);
        EXPECT_EQ(buffer.EndBufferBlend(c.alpha), &target);
        ExpectTargetMappingIntact();
        target.EndPainting();
        COLORREF got = ColorAt(image, 20, 20);
        EXPECT_NEAR(GetRValue(got), c.red, 2) << int(c.alpha) << " blend " << c.alphaBlend;
        EXPECT_NEAR(GetBValue(got), c.blue, 2) << int(c.alpha) << " blend " << c.alphaBlend;
    }
}

TEST_F(DrawBuffer, DestroyingAnOpenBufferRestoresTheTarget)
{
    {
        DoxDC buffer;
        RECT area{0, 0, 20, 20};
        ASSERT_TRUE(buffer.BeginBuffer(&area, &target, false));
        buffer.FillSolidRect(RECT{0, 0, 20, 20}, kGreen);
    }
    ExpectTargetMappingIntact();
    target.EndPainting();
    EXPECT_EQ(ColorAt(image, 10, 10), kGreen);
}

TEST(DrawBufferOverAPrinter, OnlyWhatWasPaintedReachesThePage)
{
    // A recorded picture stands in for a printer: a device that cannot be read back.
    QPicture page;
    CDC printer;
    ASSERT_TRUE(printer.AttachDevice(&page, DeviceCaps::ForRaster(80, 60, 254, 254)));
    printer.FillSolidRect(RECT{0, 0, 80, 60}, kBlue);
    for (bool blend : {false, true}) {
        RECT area{10, 10, 50, 50};
        DoxDC buffer;
        ASSERT_TRUE(buffer.BeginBuffer(&area, &printer, true));
        buffer.FillSolidRect(RECT{20, 20, 30, 30}, kRed);
        EXPECT_EQ(blend ? buffer.EndBufferBlend(255) : buffer.EndBuffer(), &printer);
    }
    ASSERT_TRUE(printer.EndPainting());

    // Replayed at the picture's own resolution, so that nothing is scaled.
    QImage image(80, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawPicture(0, 0, page);
    p.end();
    EXPECT_EQ(ColorAt(image, 25, 25), kRed);
    EXPECT_EQ(ColorAt(image, 12, 12), kBlue); // inside the area, not painted
    EXPECT_EQ(ColorAt(image, 45, 45), kBlue);
    EXPECT_EQ(ColorAt(image, 5, 5), kBlue);
}

} // namespace
