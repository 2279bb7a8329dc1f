#include "UIFrames.h"
#include "UIMessage.h"
#include "UITabs.h"
#include "UIWinApp.h"
#include "UIWizard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace
{

// Records the window messages it gets.
class Recorder : public QWidget
{
public:
    std::vector<std::pair<unsigned, uintptr_t>> messages;

protected:
    bool event(QEvent* e) override
    {
        if (auto* m = dynamic_cast<UIMessageEvent*>(e)) {
            messages.emplace_back(m->Message(), m->WParam());
            return true;
        }
        return QWidget::event(e);
    }
};

TEST(Windows, TabControlTellsTheSharedWindowWhichTabIsActive)
{
    UITabCtrl tabs;
    tabs.resize(400, 300);
    Recorder client;
    EXPECT_EQ(tabs.AddTab(&client, L"第一页"), 0);
    EXPECT_EQ(tabs.AddTab(&client, L"第二页"), 1);
    EXPECT_EQ(tabs.AddTab(&client, L"第三页"), 2);
    EXPECT_TRUE(client.messages.empty()); // adding activates nothing
    tabs.show();
    ASSERT_TRUE(tabs.SetActiveTab(0));
    ASSERT_TRUE(tabs.SetActiveTab(2));
    EXPECT_FALSE(tabs.SetActiveTab(3));
    const std::vector<std::pair<unsigned, uintptr_t>> expected = {{vudu::kWmUser, 0}, {vudu::kWmUser, 2}};
    EXPECT_EQ(client.messages, expected);
    EXPECT_EQ(tabs.GetActiveTab(), 2);
    EXPECT_EQ(tabs.GetTabLabel(1), L"第二页");
    EXPECT_TRUE(client.isVisible());
    EXPECT_GT(client.y(), 0); // below the tab bar
    tabs.RemoveAllTabs();
    EXPECT_EQ(tabs.GetTabsNum(), 0);
    EXPECT_EQ(tabs.GetActiveTab(), -1);
    client.setParent(nullptr);
}

TEST(Windows, TabClientPostsTheActiveTabToItsParent)
{
    Recorder parent;
    auto* client = new UITabClient(&parent);
    client->InsertTab(new QLabel(QStringLiteral("a")), L"页面1");
    client->InsertTab(new QLabel(QStringLiteral("b")), L"页面2");
    client->InsertTab(new QLabel(QStringLiteral("c")), L"页面0", 0);
    QCoreApplication::sendPostedEvents();
    parent.messages.clear();
    ASSERT_TRUE(client->SetActiveTab(2));
    EXPECT_TRUE(parent.messages.empty()); // posted, not sent
    QCoreApplication::sendPostedEvents();
    const unsigned message = UIOnChangeActiveTabMessage();
    EXPECT_EQ(message, UIRegisterMessage("afx_wm_onchange_active_tab"));
    EXPECT_GE(message, static_cast<unsigned>(QEvent::User));
    ASSERT_EQ(parent.messages.size(), 1u);
    EXPECT_EQ(parent.messages[0], std::make_pair(message, uintptr_t(2)));
    EXPECT_EQ(client->GetTabLabel(0), L"页面0");
    EXPECT_EQ(client->tabPosition(), QTabWidget::South);
}

class CheckedPage : public UIWizardPage
{
public:
    bool allowLeave = true;
    int asked = 0;
    bool OnKillActive() override
    {
        ++asked;
        return allowLeave;
    }
};

TEST(Windows, WizardPageCheckCanRefuseToLeave)
{
    UIWizardSheet sheet;
    auto* first = new CheckedPage;
    auto* second = new CheckedPage;
    sheet.AddPage(first);
    sheet.AddPage(second);
    ASSERT_TRUE(sheet.SetActivePage(0));
    first->allowLeave = false;
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_EQ(sheet.PageArea()->currentWidget(), first);
    first->allowLeave = true;
    EXPECT_TRUE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.PageArea()->currentWidget(), second);
    EXPECT_EQ(first->asked, 2);
    EXPECT_FALSE(sheet.SetActivePage(2));
}

TEST(Windows, MainFrameKeepsItsPlacementInTheApplication)
{
    UIWinApp app;
    {
        UIFrameWnd frame;
        frame.setGeometry(40, 50, 640, 420);
        frame.show();
        frame.close();
    }
    ASSERT_FALSE(app.Placement().isEmpty());
    UIFrameWnd again;
    again.show();
    EXPECT_EQ(again.size(), QSize(640, 420));
    again.close();
}

TEST(Windows, AStoredPlacementIsKeptOnTheScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect work = screen->availableGeometry();
    struct Case {
        const char* name;
        QRect stored;
    };
    const Case cases[] = {
        {"larger than any screen", QRect(0, 0, 100000, 100000)},
        {"corner below the screen", QRect(0, work.bottom() + 256, 400, 300)},
        {"corner left of and above the screen", QRect(-5000, -5000, 400, 300)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UIWinApp app;
        {
            // A placement as a configuration file may hold it.
            QMainWindow source;
            source.setGeometry(c.stored);
            app.SetPlacement(source.saveGeometry());
        }
        UIFrameWnd frame;
        frame.show();
        EXPECT_TRUE(work.contains(frame.geometry())) << frame.geometry().x() << "," << frame.geometry().y() << " "
                                                     << frame.width() << "x" << frame.height();
        frame.close();
    }
}

TEST(Windows, AMaximizedPlacementRestoresToANormalSizeThatFitsTheScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect work = screen->availableGeometry();
    UIWinApp app;
    {
        // Maximized, with a normal size no screen has, as a configuration file may hold it.
        QMainWindow source;
        source.setGeometry(QRect(0, 0, 32767, 32767));
        source.showMaximized();
        ASSERT_TRUE(source.isMaximized());
        ASSERT_EQ(source.normalGeometry().size(), QSize(32767, 32767));
        app.SetPlacement(source.saveGeometry());
    }
    UIFrameWnd frame;
    frame.show();
    EXPECT_TRUE(frame.isMaximized());
    // The restore button: the normal size is the one kept, bounded by the screen.
    frame.showNormal();
    EXPECT_FALSE(frame.isMaximized());
    EXPECT_TRUE(work.contains(frame.geometry())) << frame.geometry().x() << "," << frame.geometry().y() << " "
                                                 << frame.width() << "x" << frame.height();
    frame.close();
}

class FailingChild : public UIChildWnd
{
protected:
    int OnCreate() override { return -1; }
};

TEST(Windows, ChildWindowsTakeTheirIdAndStyle)
{
    QWidget parent;
    UIChildWnd shown, hidden;
    ASSERT_TRUE(shown.Create(0x50000000, QRect(5, 6, 70, 80), &parent, 0xE900));
    ASSERT_TRUE(hidden.Create(0x40000000, QRect(0, 0, 10, 10), &parent, 0));
    parent.show();
    EXPECT_EQ(shown.objectName(), QStringLiteral("59648"));
    EXPECT_EQ(shown.geometry(), QRect(5, 6, 70, 80));
    EXPECT_TRUE(shown.isVisible());
    EXPECT_FALSE(hidden.isVisible());
    FailingChild failing;
    EXPECT_FALSE(failing.Create(0x50000000, QRect(0, 0, 10, 10), &parent, 1));
    EXPECT_EQ(failing.parentWidget(), nullptr);
    shown.setParent(nullptr);
    hidden.setParent(nullptr);
}

} // namespace
