// What the clerk sees: the home page with the samples' icons and a preview, and the
// about box, grabbed into pictures (kept in runner_screens/ beside the tests).

#include "CAboutDlg.h"
#include "CAddFileDlg.h"
#include "CFolderView.h"
#include "CNewCateDlg.h"
#include "CHomePageWnd.h"
#include "CHomeSidebar.h"
#include "CHomeView.h"
#include "CMainFrame.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPageWindow.h"
#include "RunnerFixture.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

using Screens = RunnerTest;

void Keep(const QImage& image, const char* name)
{
    QDir().mkpath(QStringLiteral("runner_screens"));
    image.save(QStringLiteral("runner_screens/%1.png").arg(QString::fromUtf8(name)));
}

// Pixels that are not (nearly) white inside the rectangle.
int Ink(const QImage& image, const QRect& r)
{
    int ink = 0;
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x)
            if (qGray(image.pixel(x, y)) < 200) ++ink;
    return ink;
}

TEST_F(Screens, HomePageShowsTheSamplesIconsAndThePreview)
{
    Install();
    ASSERT_TRUE(Start());
    app->MainFrame()->resize(1100, 720);
    QTest::qWait(50);
    const int index = ViewIndexOf(L"转账支票");
    ASSERT_GE(index, 0);
    ClickRow(View(), index);
    ASSERT_TRUE(Home()->HasPreview());
    // "删除模板" follows the selection at once; "删除目录" stays off for the fixed category.
    Home()->IdleUpdate();
    EXPECT_TRUE(Sidebar()->CommandRow(kSidebarDeleteTemplate)->IsEnabled());
    EXPECT_FALSE(Sidebar()->CommandRow(kSidebarDeleteCategory)->IsEnabled());
    const QImage frame = app->MainFrame()->grab().toImage();
    Keep(frame, "home");

    const QImage home = Home()->grab().toImage();
    // Each icon cell holds a picture inside its 96-pixel frame.
    for (int i = 0; i < View()->GetCount(); ++i) {
        RECT r;
        ASSERT_TRUE(View()->GetItemRect(i, &r));
        const QPoint origin = View()->mapTo(Home(), QPoint(r.left, r.top));
        const QRect cell(origin.x() + 12, origin.y() + 12, 92, 92);
        EXPECT_GT(Ink(home, cell), 40) << "icon " << i;
    }
    // The preview at the right, under its title.
    const int w = Home()->width() - 2;
    EXPECT_GT(Ink(home, QRect(w - 315 + 1, 60 + 1, 310, 300)), 500);
    // The title band of the category.
    EXPECT_EQ(home.pixelColor(210, 25), QColor(0xED, 0xEE, 0xF0));
}

TEST_F(Screens, AboutBoxShowsTheProductAndTheVersion)
{
    Install();
    ASSERT_TRUE(Start());
    CAboutDlg about(app->MainFrame());
    about.show();
    QTest::qWait(20);
    const QImage image = about.grab().toImage();
    Keep(image, "about");
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于迈凡 禾页票据打印器"));
    auto* version = Child<QLabel>(&about, 1007);
    ASSERT_NE(version, nullptr);
    EXPECT_TRUE(version->text().startsWith(QStringLiteral("版本 ")));
    EXPECT_GT(version->text().size(), 4);
    EXPECT_EQ(image.pixelColor(image.width() - 5, 5), QColor(Qt::white));
    EXPECT_NE(image.pixelColor(image.width() - 5, 140), QColor(Qt::white));
}

TEST_F(Screens, ATemplateWithoutAnIconShowsThePlainPicture)
{
    Install();
    ASSERT_TRUE(Start());
    IDoxDocument* blank = app->Core()->CreateTemplate(W(Library() / "空白.dxt").c_str(), L"空白", 2100, 990);
    ASSERT_NE(blank, nullptr);
    // Saved while its page is in a fill-in window, which keeps the template without
    // the icon of its page that a save otherwise makes.
    const QRect area(0, 0, 300, 200);
    IDoxPageWindow* window = app->Core()->CreatePageWindow(blank->GetPage(0), 0, &area, nullptr, 1);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(blank->Save(), 1);
    window->Release();
    blank->Release();
    Home()->Refresh();
    const int index = ViewIndexOf(L"空白");
    ASSERT_GE(index, 0);
    EXPECT_FALSE(View()->Item(index)->HasIcon());
    RECT r;
    ASSERT_TRUE(View()->GetItemRect(index, &r));
    const QImage list = View()->grab().toImage();
    Keep(list, "noicon");
    // The plain picture is a sheet with blue lines inside the grey 96-pixel frame.
    int blue = 0;
    for (int y = r.top + 10; y < r.bottom - 25; ++y)
        for (int x = r.left + 10; x < r.right - 10; ++x) {
            const QColor c = list.pixelColor(x, y);
            if (c.blue() > c.red() + 20) ++blue;
        }
    EXPECT_GT(blue, 50);
}

TEST_F(Screens, DialogsOfTheHomePage)
{
    Install();
    ASSERT_TRUE(Start());
    fs::create_directories(Library() / "对公业务");
    CAddFileDlg add(W(Sample("银行进账单.dxt")), W(Library()), app->MainFrame());
    add.show();
    QTest::qWait(20);
    Keep(add.grab().toImage(), "addfile");
    ASSERT_EQ(add.Folders()->GetCount(), 2);
    EXPECT_EQ(add.Folders()->Item(0)->Name(), L"本地模板");
    EXPECT_EQ(add.Folders()->Item(1)->Name(), L"对公业务");
    auto* preview = Child<QLabel>(&add, 1006);
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->pixmap().isNull());

    CNewCateDlg category(W(Library()), app->MainFrame());
    category.show();
    Child<QLineEdit>(&category, 1000)->setText(QStringLiteral("a/b"));
    QTest::mouseClick(Child<QPushButton>(&category, 1), Qt::LeftButton);
    QTest::qWait(20);
    Keep(category.grab().toImage(), "newcategory");
    EXPECT_TRUE(category.isVisible());
}

} // namespace
} // namespace runnertest
