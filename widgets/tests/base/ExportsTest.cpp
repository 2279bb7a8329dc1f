// A program's view of libBrindle.so: the library's classes are reachable through
// the shared library alone (the tree builds with hidden visibility).

#include "Brindle.h"
#include "MyCanvas.h"
#include "MyCapture.h"
#include "MyGdiX.h"
#include "MyPopWindowBase.h"
#include "MyScrollWindow.h"
#include "MyShadowWindow.h"
#include "SystemColors.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

class ProgramWindow : public MyScrollWindow, public MyCapture, public MyPopWindowBase
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        MyPaintCanvas canvas(this, nullptr, 0);
        MyGdiX::GradientFill(canvas, RECT{0, 0, width(), height()}, RGB(255, 0, 0), RGB(0, 0, 255), 1);
    }
};

TEST(BrindleLibrary, AProgramStartsTheLibraryAndUsesItsClasses)
{
    ASSERT_EQ(Brindle::Initialize(nullptr), 1);
    EXPECT_EQ(Brindle::Initialize(nullptr), 1);
    EXPECT_EQ(MyGdiX::MapImageSize(MM_LOMETRIC, 96, 96), 254);

    ProgramWindow window;
    ASSERT_TRUE(window.Create(WS_VISIBLE, RECT{0, 0, 160, 40}, nullptr, 1001));
    EXPECT_EQ(window.objectName(), QStringLiteral("1001"));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QImage shot = window.grab().toImage();
    EXPECT_GT(shot.pixelColor(2, 20).red(), 200);
    EXPECT_GT(shot.pixelColor(157, 20).blue(), 200);

    MyShadowWindow shadow;
    EXPECT_TRUE(shadow.Create(&window));
    EXPECT_EQ(window.TrackResult(), KPWR_CANCEL);
    EXPECT_EQ(MyCapture::MySetCapture(&window), nullptr);
    MyCapture::MyReleaseCapture();
    Brindle::Finalize();
}

} // namespace
