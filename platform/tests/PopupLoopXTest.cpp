// The popup loop with keys from a real X server: the program's shortcuts stay quiet
// while a popup is up, and work again once it has gone.

#include "PopupLoop.h"
#include "XServer.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using namespace doxtest;

TEST(PopupLoopX, NoShortcutRunsInsideThePopup)
{
    DOX_REQUIRE_XSERVER();
    QWidget window;
    window.resize(300, 120);
    auto* field = new QLineEdit(&window);
    int saved = 0;
    int nextPane = 0;
    auto* save = new QAction(&window);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QObject::connect(save, &QAction::triggered, [&] { ++saved; });
    window.addAction(save);
    auto* pane = new QAction(&window);
    pane->setShortcut(QKeySequence(Qt::Key_F6));
    QObject::connect(pane, &QAction::triggered, [&] { ++nextPane; });
    window.addAction(pane);
    ASSERT_TRUE(ShowAndActivate(&window));
    field->setFocus();

    // The popups of the system are tool tips that leave the keyboard with their owner.
    QWidget popup(&window, Qt::ToolTip | Qt::FramelessWindowHint);
    popup.setGeometry(window.geometry().x() + 20, window.geometry().y() + 40, 120, 60);
    popup.show();
    int result = -1;
    QTimer::singleShot(100, [&] {
        xinput::Chord({"Control_L", "s"});
        xinput::Chord({"F6"});
        xinput::Chord({"Return"});
    });
    result = plat::RunPopupLoop(&popup, {&window, {}, plat::StandardPopupRules({}), {}});
    EXPECT_EQ(result, 1);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(nextPane, 0);
    popup.hide();

    ASSERT_TRUE(ShowAndActivate(&window));
    field->setFocus();
    xinput::Chord({"Control_L", "s"});
    EXPECT_TRUE(WaitFor([&] { return saved == 1; }));
}
