// Canvases and the drawing helpers, checked on the pixels they leave.

#include "Capabilities.h"
#include "MyCanvas.h"
#include "MyGdiX.h"
#include "SystemColors.h"
#include "WindowSurface.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace
{

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);

// A 100 x 80 target context over an image filled with one colour.
struct Target {
    QImage image{100, 80, QImage::Format_ARGB32_Premultiplied};
    CDC dc;

    explicit Target(COLORREF fill)
    {
        image.fill(plat::ToQColor(fill));
        dc.AttachImage(&image);
    }
    COLORREF At(int x, int y)
    {
        dc.EndPainting();
        return plat::FromQColor(image.pixelColor(x, y));
    }
};

TEST(MyCanvasTest, DrawsInTheTargetsCoordinatesAndShowsOnlyWhenClosed)
{
    Target target(kRed);
    MyCanvas canvas;
    canvas.OpenCanvas(&target.dc, RECT{50, 40, 10, 10}, 1); // normalised to 10,10 - 50,40
    EXPECT_FALSE(canvas.IsDirect());
    EXPECT_EQ(canvas.CanvasRect().left, 10);
    EXPECT_EQ(canvas.CanvasRect().bottom, 40);

    canvas.FillSolidRect(RECT{20, 20, 30, 30}, kBlue);
    canvas.FillSolidRect(RECT{45, 0, 100, 80}, kGreen); // partly outside the canvas
    EXPECT_EQ(target.At(25, 25), kRed) << "nothing reaches the target before the canvas closes";

    EXPECT_EQ(canvas.CloseCanvas(), &target.dc);
    EXPECT_EQ(target.At(25, 25), kBlue);
    EXPECT_EQ(target.At(12, 12), kRed) << "the copied background";
    EXPECT_EQ(target.At(47, 20), kGreen);
    EXPECT_EQ(target.At(55, 20), kRed) << "outside the canvas nothing changes";
    EXPECT_EQ(target.At(47, 45), kRed);
}

TEST(MyCanvasTest, AnEmptyRectanglePaintsDirectlyOnTheTarget)
{
    Target target(kRed);
    MyCanvas canvas;
    canvas.OpenCanvas(&target.dc, RECT{30, 30, 30, 60}, 1);
    EXPECT_TRUE(canvas.IsDirect());
    canvas.FillSolidRect(RECT{0, 0, 10, 10}, kBlue);
    canvas.EndPainting();
    EXPECT_EQ(target.At(5, 5), kBlue);
    EXPECT_EQ(canvas.CloseCanvas(), &target.dc);
    EXPECT_FALSE(canvas.IsDirect());
    // The target draws again after its canvas has gone.
    target.dc.FillSolidRect(RECT{50, 50, 60, 60}, kGreen);
    EXPECT_EQ(target.At(55, 55), kGreen);
}

// A window that paints through a paint canvas with a hook the test sets; without a
// hook the canvas only shows the back buffer.
class CanvasWindow : public QWidget
{
public:
    std::function<void(CDC&)> paint;

protected:
    void paintEvent(QPaintEvent*) override
    {
        MyPaintCanvas canvas(this, nullptr, 1);
        if (paint)
            paint(canvas);
    }
};

COLORREF PixelOf(QWidget& window, int x, int y)
{
    return plat::FromQColor(window.grab().toImage().pixelColor(x, y));
}

TEST(MyCanvasTest, PaintAndClientCanvasesReachTheWindow)
{
    CanvasWindow window;
    window.resize(120, 90);
    window.paint = [](CDC& dc) { dc.FillSolidRect(RECT{0, 0, 120, 90}, kRed); };
    EXPECT_EQ(PixelOf(window, 60, 45), kRed);

    // Outside a paint event: drawn into the back buffer, shown by the next paint.
    window.paint = nullptr;
    {
        RECT part{10, 10, 40, 30};
        MyClientCanvas canvas(&window, &part, 1);
        canvas.FillSolidRect(RECT{0, 0, 120, 90}, kBlue);
    }
    EXPECT_EQ(PixelOf(window, 20, 20), kBlue);
    EXPECT_EQ(PixelOf(window, 60, 45), kRed);

    // A header row's canvas draws on its rectangle once attached.
    {
        MyWidDC wid(RECT{50, 50, 100, 80});
        EXPECT_EQ(wid.AttachWnd(&window), 1);
        wid.FillSolidRect(RECT{0, 0, 120, 90}, kGreen);
    }
    EXPECT_EQ(PixelOf(window, 70, 60), kGreen);
    EXPECT_EQ(PixelOf(window, 45, 60), kRed);
}

TEST(MyCanvasTest, AWindowAroundItsChildrenShowsItsBufferInEveryPartLeftToIt)
{
    // The canvas's window sits inside another, and two opaque children cover parts of
    // it, so what it paints is a region of several rectangles, off the window's origin
    // on the screen's surface.
    QWidget top;
    top.resize(260, 200);
    CanvasWindow window;
    window.setParent(&top);
    window.setGeometry(30, 20, 200, 150);
    window.setAttribute(Qt::WA_OpaquePaintEvent);
    QWidget* covers[2] = {new QWidget(&window), new QWidget(&window)};
    covers[0]->setGeometry(20, 30, 60, 40);
    covers[1]->setGeometry(110, 80, 50, 50);
    for (QWidget* cover : covers) {
        QPalette palette = cover->palette();
        palette.setColor(QPalette::Window, plat::ToQColor(kGreen));
        cover->setPalette(palette);
        cover->setAutoFillBackground(true);
    }
    window.paint = [](CDC& dc) { dc.FillSolidRect(RECT{0, 0, 200, 150}, kRed); };
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    window.paint = [](CDC& dc) { dc.FillSolidRect(RECT{0, 0, 200, 150}, kBlue); };
    window.repaint();
    const QImage screen = top.screen()->grabWindow(top.winId()).toImage();
    const auto at = [&](int x, int y) { return plat::FromQColor(screen.pixelColor(30 + x, 20 + y)); };
    const struct {
        int x, y;
        COLORREF colour;
    } cases[] = {
        {5, 5, kBlue},     {199, 149, kBlue}, {10, 50, kBlue},  {85, 50, kBlue},   {50, 25, kBlue},
        {50, 75, kBlue},   {170, 100, kBlue}, {130, 70, kBlue}, {130, 135, kBlue}, {100, 100, kBlue},
        {50, 50, kGreen},  {20, 30, kGreen},  {79, 69, kGreen}, {130, 100, kGreen}, {159, 129, kGreen},
    };
    for (const auto& c : cases)
        EXPECT_EQ(at(c.x, c.y), c.colour) << "at " << c.x << "," << c.y;
}

TEST(MyCanvasTest, ABackBufferKeepsItsTopLeftAndUncoversWhiteAsTheWindowChangesSize)
{
    // Red over the whole buffer at 120 x 90, then the window's sizes in turn: what is
    // left of the red stays where it was, and every pixel a size uncovers is white,
    // also where red lay before the window narrowed. In the second run a copy of the
    // buffer is held while it is painted on, so the buffer goes its own way in memory.
    for (const bool copied : {false, true}) {
        QWidget window;
        window.resize(120, 90);
        QImage* buffer = plat::WindowBackBuffer(&window);
        ASSERT_EQ(buffer->size(), QSize(120, 90));
        QImage held;
        if (copied)
            held = *buffer;
        buffer->fill(plat::ToQColor(kRed));
        const uchar* lines = buffer->constBits();
        bool grown = false;
        const struct {
            int width, height;
            int redWidth, redHeight; // the red still at the top left
        } sizes[] = {{100, 90, 100, 90}, {120, 90, 100, 90}, {120, 60, 100, 60}, {140, 100, 100, 60}, {60, 40, 60, 40},
                     {140, 100, 60, 40}};
        for (const auto& size : sizes) {
            window.resize(size.width, size.height);
            buffer = plat::WindowBackBuffer(&window);
            ASSERT_EQ(buffer->size(), QSize(size.width, size.height));
            // Until the window outgrows its first size the lines stay where they were,
            // with no new buffer.
            grown = grown || size.width > 120 || size.height > 90;
            if (!copied && !grown) {
                EXPECT_EQ(buffer->constBits(), lines) << size.width << " x " << size.height;
            }
            for (int y = 0; y < size.height; y += 3) {
                for (int x = 0; x < size.width; x += 3) {
                    const bool red = x < size.redWidth && y < size.redHeight;
                    ASSERT_EQ(plat::FromQColor(buffer->pixelColor(x, y)), red ? kRed : RGB(255, 255, 255))
                        << (copied ? "copied, " : "") << size.width << " x " << size.height << " at " << x << ","
                        << y;
                }
            }
        }
    }
}

TEST(MyGdiXTest, GradientRunsFromTheFirstColourToTheSecondOrFillsSolidWithout)
{
    struct Case {
        bool supported;
        int horizontal;
        POINT start; // pixel expected in `from`
        POINT end;   // pixel expected in `to`
        COLORREF endColour;
    };
    const Case cases[] = {
        {true, 1, {0, 20}, {99, 20}, kBlue},
        {true, 0, {50, 0}, {50, 79}, kBlue},
        {false, 1, {0, 20}, {99, 20}, kRed},
    };
    for (const Case& c : cases) {
        plat::GetCapabilities().gradientFill = c.supported;
        Target target(kGreen);
        MyGdiX::GradientFill(target.dc, RECT{0, 0, 100, 80}, kRed, kBlue, c.horizontal);
        EXPECT_EQ(target.At(c.start.x, c.start.y), kRed) << c.supported << c.horizontal;
        EXPECT_EQ(target.At(c.end.x, c.end.y), c.endColour) << c.supported << c.horizontal;
    }
    plat::BindOptionalEntryPoints();
}

TEST(MyGdiXTest, AlphaBlendBlendsOrCopiesWithoutSupport)
{
    for (bool supported : {true, false}) {
        plat::GetCapabilities().alphaBlend = supported;
        Target dst(RGB(0, 0, 0));
        Target src(RGB(255, 255, 255));
        BLENDFUNCTION half;
        half.SourceConstantAlpha = 128;
        MyGdiX::AlphaBlend(dst.dc, RECT{0, 0, 10, 10}, src.dc, RECT{0, 0, 10, 10}, half);
        int red = GetRValue(dst.At(5, 5));
        if (supported)
            EXPECT_NEAR(red, 128, 2);
        else
            EXPECT_EQ(red, 255);
    }
    plat::BindOptionalEntryPoints();
}

TEST(MyGdiXTest, ALayeredWindowShowsThePictureItIsGiven)
{
    plat::BindOptionalEntryPoints();
    QWidget window;
    window.resize(40, 30);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(60, 20));
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    memory.SelectObject(&bitmap);
    memory.FillSolidRect(RECT{0, 0, 60, 20}, kRed);
    memory.FillSolidRect(RECT{10, 0, 60, 20}, kBlue);
    memory.EndPainting();

    POINT at{300, 200};
    SIZE size{50, 20};
    POINT from{10, 0}; // the blue part only
    BLENDFUNCTION blend;
    ASSERT_EQ(MyGdiX::UpdateLayeredWindow(&window, &at, &size, &memory, &from, 0, &blend, ULW_ALPHA), 1);
    EXPECT_EQ(window.pos(), QPoint(300, 200));
    EXPECT_EQ(window.size(), QSize(50, 20));
    EXPECT_EQ(PixelOf(window, 0, 0), kBlue);
    EXPECT_EQ(PixelOf(window, 49, 19), kBlue);

    plat::GetCapabilities().updateLayeredWindow = false;
    EXPECT_EQ(MyGdiX::UpdateLayeredWindow(&window, nullptr, &size, &memory, nullptr, 0, &blend, ULW_ALPHA), 0);
    EXPECT_EQ(PixelOf(window, 0, 0), kBlue) << "the picture stays as it was";
    plat::BindOptionalEntryPoints();
}

TEST(MyGdiXTest, AnXorLineDrawnTwiceLeavesNoTrace)
{
    Target target(RGB(200, 100, 50));
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0)); // inverts under the not-xor mix
    target.dc.SelectObject(pen);
    MyGdiX::LineXOR(target.dc, 0, 10, 100, 10);
    COLORREF once = target.At(50, 10);
    EXPECT_NE(once, RGB(200, 100, 50));
    MyGdiX::LineXOR(target.dc, 0, 10, 100, 10);
    EXPECT_EQ(target.At(50, 10), RGB(200, 100, 50));
    EXPECT_EQ(target.dc.GetROP2(), R2_COPYPEN);
}

} // namespace
