// The home page: its recent list numbered from 1 with the full paths as tips, one click
// opening an entry, a failed open rebuilding the list; and its screenshot.

#include "DesignerFixture.h"

#include "CDesignDoc.h"
#include "CDesignPage.h"
#include "CHomePage.h"
#include "CMainFrame.h"
#include "PathText.h"
#include "Ribbon.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <clocale>
#include <filesystem>

using namespace designertest;

namespace
{

constexpr unsigned kToolEdit = 32812;

class HomePageTest : public DesignerTest
{
protected:
    QStringList Rows() const
    {
        QStringList rows;
        CRecentFileListView* list = Frame()->HomePage()->RecentList();
        for (int i = 0; i < list->GetCount(); ++i) rows << QString::fromWCharArray(list->Item(i)->Text());
        return rows;
    }
    void ClickRow(int index)
    {
        CRecentFileListView* list = Frame()->HomePage()->RecentList();
        RECT rect{};
        ASSERT_TRUE(list->GetItemRect(index, &rect));
        const QPoint point(rect.left + 40, (rect.top + rect.bottom) / 2);
        QTest::mouseMove(list, point);
        QTest::mouseClick(list, Qt::LeftButton, {}, point);
        Settle();
    }
};

} // namespace

TEST_F(HomePageTest, TheRecentListOpensAnEntryWithOneClickAndDropsOneThatFails)
{
    const std::wstring a = MakeTemplate("a.dxt", {L"页"});
    const std::wstring b = MakeTemplate("b.dxt", {L"页"});
    const std::wstring c = MakeTemplate("c.dxt", {L"页"});
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Rows().isEmpty());
    app_->SetCurrentPath(plat::WideOfPath(dir_.path()));
    for (const std::wstring& path : {a, b, c}) ASSERT_EQ(Frame()->Document()->OpenByPath(path), 1);
    Trigger(ID_FILE_CLOSE);
    ASSERT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(Frame()->HomePage()));
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("1.c.dxt"), QStringLiteral("2.b.dxt"), QStringLiteral("3.a.dxt")}));
    EXPECT_EQ(QString::fromWCharArray(Frame()->HomePage()->RecentList()->Item(1)->Tip()), QString::fromStdWString(b));
    Shot(Frame(), "designer_home_page.png");
    // Showing the page that already shows refills nothing.
    CRecentFileItem* first = Frame()->HomePage()->RecentList()->Item(0);
    Frame()->ShowHomePage();
    EXPECT_EQ(Frame()->HomePage()->RecentList()->Item(0), first);

    // b is gone: its click reports the failure and the list is numbered again.
    std::filesystem::remove(plat::PathFromWide(b));
    ClickRow(1);
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text.rfind(L"打开模板“" + b + L"”失败!", 0), 0u);
    EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(Frame()->HomePage()));
    EXPECT_EQ(Rows(), (QStringList{QStringLiteral("1.c.dxt"), QStringLiteral("2.a.dxt")}));

    ClickRow(1);
    EXPECT_EQ(Frame()->Document()->Path(), a);
    EXPECT_EQ(Frame()->VisiblePane(), static_cast<QWidget*>(Frame()->DesignPage()));
}

// Every entry shows alike, wherever its template lies: the file's name, and for two
// templates of one name the end of their folders that tells them apart. The home page
// and the application menu show the same texts.
TEST_F(HomePageTest, TheRecentEntriesShowTheirNamesAndTheFolderOnlyWhereNamesClash)
{
    std::filesystem::create_directories(dir_ / "银行" / "票据");
    std::filesystem::create_directories(dir_ / "旧" / "票据");
    const std::wstring alone = MakeTemplate("新建模板1.dxt", {L"页"});
    const std::wstring bank = MakeTemplate("银行/票据/票据二.dxt", {L"页"});
    const std::wstring old = MakeTemplate("旧/票据/票据二.dxt", {L"页"});
    ASSERT_TRUE(Start());
    // The entries lie inside and outside the folder new names are proposed in.
    app_->SetCurrentPath(plat::WideOfPath(dir_.path()));
    for (const std::wstring& path : {alone, bank, old}) ASSERT_EQ(Frame()->Document()->OpenByPath(path), 1);
    Trigger(ID_FILE_CLOSE);
    const QStringList expected{QStringLiteral("票据二.dxt (旧/票据)"), QStringLiteral("票据二.dxt (银行/票据)"),
                               QStringLiteral("新建模板1.dxt")};
    QStringList numbered;
    for (int i = 0; i < expected.size(); ++i) numbered << QStringLiteral("%1.%2").arg(i + 1).arg(expected[i]);
    EXPECT_EQ(Rows(), numbered);
    Shot(Frame(), "designer_recent_names.png");

    auto* recent = Frame()->RibbonBar()->ApplicationMenu()->findChild<QMenu*>(QStringLiteral("recentFiles"));
    ASSERT_NE(recent, nullptr);
    emit recent->aboutToShow();
    QStringList menu;
    for (QAction* action : recent->actions()) menu << action->text();
    QStringList menuExpected;
    for (int i = 0; i < expected.size(); ++i) menuExpected << QStringLiteral("&%1 %2").arg(i + 1).arg(expected[i]);
    EXPECT_EQ(menu, menuExpected);
}

TEST_F(HomePageTest, TheLargeButtonsRunTheDocumentsCommands)
{
    const std::wstring path = MakeTemplate("open.dxt", {L"页"});
    ASSERT_TRUE(Start());
    auto* open = Frame()->HomePage()->findChild<QPushButton*>(QString::number(ID_FILE_OPEN));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->toolTip(), QStringLiteral("打开模板"));
    // Without a wizard in the build, "新建模板" cannot be pressed.
    auto* create = Frame()->HomePage()->findChild<QPushButton*>(QString::number(ID_FILE_NEW));
    ASSERT_NE(create, nullptr);
    Frame()->IdleUpdate();
    EXPECT_FALSE(create->isEnabled());
    EXPECT_TRUE(open->isEnabled());
    prompter_.files.push_back({path});
    QTest::mouseClick(open, Qt::LeftButton);
    Settle();
    ASSERT_EQ(prompter_.fileRequests.size(), 1u);
    EXPECT_EQ(prompter_.fileRequests[0].filter, L"dox template|*.dxt||");
    EXPECT_EQ(prompter_.fileRequests[0].defaultSuffix, L"dxt");
    EXPECT_EQ(Frame()->Document()->Path(), path);
}

TEST_F(HomePageTest, TheApplicationMenuListsTheRecentFilesAndOpensOne)
{
    const std::wstring a = MakeTemplate("ma.dxt", {L"页"});
    const std::wstring b = MakeTemplate("mb.dxt", {L"页"});
    ASSERT_TRUE(Start());
    app_->SetCurrentPath(plat::WideOfPath(dir_.path()) + L"/");
    for (const std::wstring& path : {a, b}) ASSERT_EQ(Frame()->Document()->OpenByPath(path), 1);
    auto* recent = Frame()->RibbonBar()->ApplicationMenu()->findChild<QMenu*>(QStringLiteral("recentFiles"));
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->title(), QStringLiteral("最近的文件"));
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 2);
    EXPECT_EQ(recent->actions().at(0)->text(), QStringLiteral("&1 mb.dxt"));
    recent->actions().at(1)->trigger();
    Settle();
    EXPECT_EQ(Frame()->Document()->Path(), a);
    EXPECT_EQ(app_->GetRecentFile(0), a);
}

// Every name the wizard proposes is Chinese, and the program may run under the "C"
// locale: choosing another template from the recent files or File Open asks about
// the changes of the open one and keeps them.
TEST_F(HomePageTest, AChineseNamedTemplateIsAskedAboutBeforeAnotherOpensUnderTheCLocale)
{
    const std::string before = setlocale(LC_ALL, nullptr);
    setlocale(LC_ALL, "C");
    struct Case {
        const char* how;
        bool fromRecentFiles;
    } const cases[] = {{"recent files", true}, {"File Open", false}};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        const std::string suffix = std::to_string(++n);
        const std::wstring first = MakeTemplate(("新建模板" + suffix + ".dxt").c_str(), {L"页"});
        const std::wstring second = MakeTemplate(("凭证" + suffix + ".dxt").c_str(), {L"页"});
        ASSERT_TRUE(Start());
        for (const std::wstring& path : {second, first}) ASSERT_EQ(Frame()->Document()->OpenByPath(path), 1);
        Draw(kToolEdit, QPoint(40, 40), QPoint(200, 70));
        prompter_.messages.clear();
        prompter_.answers = {6};
        if (c.fromRecentFiles) {
            auto* recent = Frame()->RibbonBar()->ApplicationMenu()->findChild<QMenu*>(QStringLiteral("recentFiles"));
            ASSERT_NE(recent, nullptr);
            emit recent->aboutToShow();
            ASSERT_EQ(recent->actions().size(), 2);
            recent->actions().at(1)->trigger();
            Settle();
        } else {
            prompter_.files.push_back({second});
            Trigger(ID_FILE_OPEN);
        }
        ASSERT_EQ(prompter_.messages.size(), 1u);
        EXPECT_EQ(prompter_.messages[0].text, L"保存对 “" + TitleOfPath(first) + L"”的更改吗？");
        EXPECT_EQ(Frame()->Document()->Path(), second);
        EXPECT_EQ(ControlKinds(TemplateXmlOfFile(first)), std::vector<std::string>{"editcontrol"});
        // The open template chosen again is no change at all.
        prompter_.messages.clear();
        EXPECT_EQ(Frame()->Document()->OpenByPath(second), 1);
        EXPECT_TRUE(prompter_.messages.empty());
        TearDown();
        SetUp();
    }
    setlocale(LC_ALL, before.c_str());
}
