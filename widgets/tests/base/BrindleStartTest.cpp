// Library start-up and shut-down, and the drawing helpers that need no window.

#include "Brindle.h"
#include "Capabilities.h"
#include "MyGdiX.h"
#include "SystemColors.h"
#include "WindowClass.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{

class BrindleStart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::UnregisterWindowClass(kBrindleClass);
        plat::UnregisterWindowClass(kBrindleShadowClass);
        plat::UnbindOptionalEntryPoints();
    }
    void TearDown() override { Brindle::Finalize(); }
};

TEST_F(BrindleStart, RegistersBothClassesAndBindsTheDrawingSupport)
{
    ASSERT_EQ(Brindle::Initialize(), 1);

    auto main = plat::FindWindowClass(kBrindleClass);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->style, plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDblClks);
    EXPECT_EQ(main->background, 0);
    EXPECT_EQ(main->cursor, plat::ClassCursor::Arrow);

    auto shadow = plat::FindWindowClass(kBrindleShadowClass);
    ASSERT_TRUE(shadow);
    EXPECT_EQ(shadow->style, plat::kClassSaveBits);
    EXPECT_EQ(shadow->background, COLOR_BTNFACE + 1);
    EXPECT_EQ(shadow->cursor, plat::ClassCursor::Arrow);

    EXPECT_EQ(MyGdiX::IsSupportUpdateLayeredWindow(), 1);
    EXPECT_TRUE(plat::GetCapabilities().alphaBlend);
    EXPECT_TRUE(plat::GetCapabilities().gradientFill);
}

// A class already in the table (from a first start or another module) is kept as
// it is: a second start registers nothing and still succeeds.
TEST_F(BrindleStart, StartingAgainKeepsTheRegisteredClasses)
{
    plat::WindowClass other;
    other.name = L"brindleshadowclass"; // names ignore ASCII case
    other.style = plat::kClassDblClks;
    plat::RegisterWindowClass(other);

    ASSERT_EQ(Brindle::Initialize(), 1);
    EXPECT_EQ(plat::FindWindowClass(kBrindleShadowClass)->style, plat::kClassDblClks);

    plat::WindowClass changed = *plat::FindWindowClass(kBrindleClass);
    changed.background = COLOR_WINDOW + 1;
    plat::RegisterWindowClass(changed);

    EXPECT_EQ(Brindle::Initialize(), 1);
    EXPECT_EQ(plat::FindWindowClass(kBrindleClass)->background, COLOR_WINDOW + 1);
    EXPECT_EQ(plat::FindWindowClass(kBrindleShadowClass)->style, plat::kClassDblClks);
}

TEST_F(BrindleStart, FinalizeLetsTheDrawingSupportGoAndAStartAfterItBindsAgain)
{
    ASSERT_EQ(Brindle::Initialize(), 1);
    Brindle::Finalize();
    EXPECT_EQ(MyGdiX::IsSupportUpdateLayeredWindow(), 0);
    EXPECT_FALSE(plat::GetCapabilities().gradientFill);
    EXPECT_TRUE(plat::FindWindowClass(kBrindleClass));
    EXPECT_TRUE(plat::FindWindowClass(kBrindleShadowClass));

    ASSERT_EQ(Brindle::Initialize(), 1);
    EXPECT_EQ(MyGdiX::IsSupportUpdateLayeredWindow(), 1);
}

TEST(MyGdiXMapImageSize, ConvertsPixelsIntoTheUnitsOfTheMappingMode)
{
    struct Case {
        int mapMode;
        int dpi;
        int n;
        int expected;
    };
    const Case cases[] = {
        {MM_LOMETRIC, 96, 96, 254},   // one inch
        {MM_TEXT, 0, 50, 50},         // 0 means 96 dpi: pixels stay pixels
        {MM_TEXT, 192, 50, 25},       // a 192 dpi picture is half as large on screen
        {MM_HIMETRIC, 96, 96, 2540},
        {MM_LOENGLISH, 300, 300, 100},
        {MM_HIENGLISH, 96, 48, 500},
        {MM_TWIPS, 96, 96, 1440},
        {MM_LOMETRIC, 254, 37, 37},   // the units are the picture's own
        {0, 96, 96, 0},
        {MM_ISOTROPIC, 96, 123, 123}, // modes without a fixed unit leave the size
        {MM_ANISOTROPIC, 96, 123, 123},
        {1000, 96, 123, 123},
        {-1, 96, 123, 123},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MyGdiX::MapImageSize(c.mapMode, c.dpi, c.n), c.expected)
            << "mode " << c.mapMode << " dpi " << c.dpi << " n " << c.n;
    }
}

} // namespace
