// What the canvas paints over the page: the objects, the green handles of the
// primary (grey when locked), the white handles of secondaries, the dashed frame
// of the primary, the fill-in numbers in tab-order mode and the base point marker.
// Painted at 254 dpi, one pixel per 0.1 mm.

#include <gtest/gtest.h>

#include <QImage>

#include "ControlTestSupport.h"
#include "DC.h"
#include "DesignBench.h"

using namespace designtest;

namespace
{

QImage Paint(GrabCanvas& canvas)
{
    QImage image = controltest::PageImage(1000, 800);
    DCX dc;
    EXPECT_TRUE(dc.AttachImage(&image));
    canvas.Paint(&dc);
    return image;
}

QRgb At(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(GrabPaint, HandlesShowTheSelectionAndTheLocks)
{
    Bench bench;
    bench.canvas.SetPageRect(1000, 800, 900, -700);
    DoxControl* secondary = bench.Add(100, 100, 300, 100);
    DoxControl* primary = bench.Add(500, 400, 300, 200);
    bench.canvas.SelectAll();
    QImage image = Paint(bench.canvas);
    image.save("design_selection.png");
    // Primary: its top handle (645..655, 390..400) green inside.
    EXPECT_EQ(At(image, 650, 395), 0x00FF00u);
    // Secondary: its top handle (245..255, 90..100) white inside, black edge.
    EXPECT_EQ(At(image, 250, 95), 0xFFFFFFu);
    EXPECT_EQ(At(image, 245, 95), 0x000000u);
    // Move handles draw nothing: the inside of the objects stays white.
    EXPECT_EQ(At(image, 650, 450), 0xFFFFFFu);

    // A locked primary alone shows grey handles.
    ASSERT_TRUE(primary->Basic().LockItem().SetValue(true));
    bench.Down(0, 650, 450);
    bench.Up(0, 650, 450);
    image = Paint(bench.canvas);
    image.save("design_locked.png");
    EXPECT_EQ(At(image, 650, 395), 0x808080u);
    EXPECT_EQ(At(image, 250, 95), 0xFFFFFFu); // no longer selected: no handle
    EXPECT_NE(At(image, 245, 95), 0x000000u);
    (void)secondary;
}

TEST(GrabPaint, TabOrderModeWritesTheNumbers)
{
    Bench bench;
    bench.canvas.SetPageRect(1000, 800, 900, -700);
    bench.Add(100, 100, 300, 100);
    bench.Add(500, 400, 300, 200);
    bench.canvas.SetTabOrderMode(1);
    QImage image = Paint(bench.canvas);
    image.save("design_taborder.png");
    // The number sits white on dark blue at each object's top-left corner.
    auto blueNear = [&image](int x0, int y0) {
        int blue = 0;
        for (int y = y0; y < y0 + 30; ++y)
            for (int x = x0; x < x0 + 30; ++x)
                if (At(image, x, y) == 0x0A246Au)
                    ++blue;
        return blue;
    };
    EXPECT_GT(blueNear(100, 100), 20);
    EXPECT_GT(blueNear(500, 400), 20);
    EXPECT_EQ(blueNear(300, 300), 0);
}

TEST(GrabPaint, ControlsFillWithTheBrushOfTheirLayer)
{
    Bench bench;
    DoxControl* current = bench.Add(100, 100, 100, 50);
    DoxControl* other = bench.Add(300, 100, 100, 50, &bench.b);
    struct Case {
        const char* what;
        bool tabMode;
        GrabObjectCore* object;
        COLORREF colour;
        UINT style;
        COLORREF expected;
    } cases[] = {
        {"current layer", false, current, RGB(1, 2, 3), BS_SOLID, RGB(1, 2, 3)},
        {"current layer, no colour", false, current, static_cast<COLORREF>(-1), BS_HOLLOW, 0},
        {"another layer", false, other, RGB(1, 2, 3), BS_HOLLOW, 0},
        {"tab order, current layer", true, current, RGB(1, 2, 3), BS_SOLID, RGB(197, 226, 254)},
        {"tab order, another layer", true, other, RGB(1, 2, 3), BS_SOLID, RGB(212, 208, 200)},
    };
    for (const Case& c : cases) {
        bench.canvas.SetTabOrderMode(c.tabMode);
        const auto* brush = static_cast<const CBrush*>(bench.canvas.GetFillBrush(c.object, c.colour));
        ASSERT_NE(brush, nullptr) << c.what;
        EXPECT_EQ(brush->style(), c.style) << c.what;
        if (c.style == BS_SOLID) {
            EXPECT_EQ(brush->color(), c.expected) << c.what;
        }
    }
    // The cache is remade only for another colour.
    bench.canvas.SetTabOrderMode(0);
    const void* first = bench.canvas.GetFillBrush(current, RGB(9, 9, 9));
    EXPECT_EQ(bench.canvas.GetFillBrush(current, RGB(9, 9, 9)), first);
    EXPECT_EQ(static_cast<const CBrush*>(bench.canvas.GetFillBrush(current, RGB(8, 8, 8)))->color(),
              RGB(8, 8, 8));
}

TEST(GrabPaint, TheGridShowsOnlyWhileSnapping)
{
    Bench bench;
    bench.canvas.SetPageRect(1000, 800, 0, 0);
    auto inkedColumns = [&bench](bool snap) {
        bench.canvas.SetSnap(snap);
        QImage image = controltest::PageImage(1000, 800);
        DCX dc;
        EXPECT_TRUE(dc.AttachImage(&image));
        bench.canvas.DrawGrid(&dc);
        image.save(snap ? "design_grid.png" : "design_nogrid.png");
        // Columns that carry grid pixels between rows 5 and 15, in the first 100.
        std::vector<int> xs;
        for (int x = 0; x < 100; ++x) {
            bool inked = false;
            for (int y = 5; y < 15; ++y)
                inked = inked || At(image, x, y) != 0xFFFFFFu;
            if (inked)
                xs.push_back(x);
        }
        return xs;
    };
    EXPECT_TRUE(inkedColumns(false).empty());
    // A line every 2 mm; the horizontal lines at y 0 and 20 lie outside the rows.
    for (int x : inkedColumns(true))
        EXPECT_EQ(x % 20, 0) << x;
    EXPECT_FALSE(inkedColumns(true).empty());
}
