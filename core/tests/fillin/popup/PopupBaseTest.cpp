// The core popups' loop base and shadow on real widgets: ending from the popup, the
// result stored when no loop runs, the opener's click swallowed with a blind rectangle
// given the wrong way round, and the shadow of a 200 x 100 popup.

#include "Capabilities.h"
#include "DoxPopWindowBase.h"
#include "DoxShadowWindow.h"

#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

struct Popup : QWidget, DoxPopWindowBase {
    explicit Popup(QWidget* owner) : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint) {}
    std::vector<uint32_t> seen;
    void PreProcessMessage(const plat::Message* msg) override { seen.push_back(msg->message); }
};

struct Clickable : QWidget {
    using QWidget::QWidget;
    int presses = 0;
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

class PopupBase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        owner.resize(400, 300);
        opener = new Clickable(&owner);
        opener->setGeometry(20, 20, 120, 24);
        owner.show();
        owner.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        popup = new Popup(&owner);
        popup->setGeometry(QRect(owner.mapToGlobal(QPoint(20, 44)), QSize(200, 100)));
        popup->show();
    }

    QWidget owner;
    Clickable* opener = nullptr;
    Popup* popup = nullptr;
};

} // namespace

TEST_F(PopupBase, ThePopupEndsItsLoopWithItsValue)
{
    QTimer::singleShot(0, [&] { popup->EndPopWindow(7); });
    EXPECT_EQ(popup->DoTrackPopWindow(popup, RECT{}), 7);
    EXPECT_EQ(popup->GetResult(), 7);
    EXPECT_EQ(popup->GetPopWindow(), nullptr);
    EXPECT_FALSE(popup->seen.empty()); // the hook saw the end message

    // No loop: the result is only stored, and no message waits for a later loop.
    popup->EndPopWindow(3);
    EXPECT_EQ(popup->GetResult(), 3);
    QTimer::singleShot(20, [&] { popup->EndPopWindow(1); });
    EXPECT_EQ(popup->DoTrackPopWindow(popup, RECT{}), 1);
}

TEST_F(PopupBase, ClickOnTheOpenerClosesWithoutReachingIt)
{
    // Given right-to-left and bottom-to-top; normalised by the loop.
    QPoint tl = opener->mapToGlobal(QPoint(0, 0));
    RECT blind{tl.x() + opener->width(), tl.y() + opener->height(), tl.x(), tl.y()};
    QTimer::singleShot(0, [&] { QTest::mouseClick(opener, Qt::LeftButton, {}, QPoint(5, 5)); });
    EXPECT_EQ(popup->DoTrackPopWindow(popup, blind), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(opener->presses, 0);
    EXPECT_EQ(popup->GetBlindRect().right, 0); // emptied when the loop ended
}

TEST_F(PopupBase, ShadowOfA200By100PopupAndNoneWithoutLayeredWindows)
{
    plat::Capabilities saved = plat::GetCapabilities();
    plat::GetCapabilities().updateLayeredWindow = true;
    {
        DoxShadowWindow shadow;
        ASSERT_TRUE(shadow.Create(&owner));
        ASSERT_TRUE(shadow.Place(popup, 300, 200, 200, 100));
        const auto& strips = shadow.strips().strips();
        ASSERT_EQ(strips.size(), 3u);
        const struct {
            plat::ShadowSide side;
            QRect rect;
        } expected[] = {
            {plat::ShadowRight, QRect(500, 204, 4, 96)},
            {plat::ShadowBottom, QRect(304, 300, 200, 4)},
            {plat::ShadowCorner, QRect(499, 299, 1, 1)},
        };
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(strips[i]->side(), expected[i].side);
            EXPECT_EQ(strips[i]->geometry(), expected[i].rect);
            EXPECT_TRUE(strips[i]->isVisible());
            EXPECT_FALSE(strips[i]->isActiveWindow());
        }
        // Moved and resized again and again: one picture of the last size each.
        for (int w : {150, 260, 200})
            shadow.Place(popup, 300, 200, w, 100);
        EXPECT_EQ(strips[1]->picture().size(), QSize(200, 4));
        shadow.Destroy();
        EXPECT_FALSE(shadow.IsCreated());
    }
    plat::GetCapabilities().updateLayeredWindow = false;
    DoxShadowWindow none;
    EXPECT_FALSE(none.Create(&owner));
    EXPECT_FALSE(none.Place(popup, 300, 200, 200, 100));
    plat::GetCapabilities() = saved;
}
