// Start-up and shutdown: the page shown for each command line, the missing core, and
// the setting written at exit.

#include "DesignerFixture.h"

#include "PathText.h"

#include "CDesignDoc.h"
#include "CDesignPage.h"
#include "CHomePage.h"
#include "CMainFrame.h"
#include "DocWizard.h"
#include "Ribbon.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>

#include <filesystem>

using namespace designertest;

namespace
{

class StartUpTest : public DesignerTest
{
};

} // namespace

TEST_F(StartUpTest, TheCommandLineChoosesThePageAndTheTemplate)
{
    const std::wstring first = MakeTemplate("first.dxt", {L"第一页"});
    const std::wstring second = MakeTemplate("second.dxt", {L"存根", L"回单"});
    struct Case {
        const char* name;
        QStringList arguments;
        bool design;             // the design page shows, else the home page
        std::wstring path;       // the template open afterwards
        QStringList tabs;
        size_t messages;
    };
    const Case cases[] = {
        {"no argument", {}, false, L"", {}, 0},
        {"two paths open the last", {QString::fromStdWString(first), QString::fromStdWString(second)}, true, second,
         {QStringLiteral("存根"), QStringLiteral("回单")}, 0},
        {"a switch counts as the file name", {QString::fromStdWString(first), QStringLiteral("-x")}, false, L"", {}, 1},
        {"a missing file shows its message and the home page", {QString::fromStdWString(Path("none.dxt"))}, false,
         L"", {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter_.messages.clear();
        ASSERT_TRUE(Start(c.arguments));
        CMainFrame* frame = Frame();
        EXPECT_EQ(frame->VisiblePane(), c.design ? static_cast<QWidget*>(frame->DesignPage())
                                                 : static_cast<QWidget*>(frame->HomePage()));
        EXPECT_EQ(frame->VisiblePane()->objectName(), QString::number(0xE900));
        EXPECT_EQ(frame->Document()->Path(), c.path);
        EXPECT_EQ(TabLabels(), c.tabs);
        EXPECT_EQ(frame->statusBar()->isVisible(), c.design);
        EXPECT_EQ(prompter_.messages.size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(prompter_.messages[0].text.rfind(L"打开模板“", 0), 0u);
        }
        const QString title = c.design ? QString::fromStdWString(TitleOfPath(c.path)) + QStringLiteral(" - 禾页票据设计器")
                                       : QStringLiteral("禾页票据设计器");
        EXPECT_EQ(frame->windowTitle(), title);
        TearDown();
        app_.reset();
        SetUp();
    }
}

// A new template is proposed in the printing program's template library, where the
// clerk will look for it: on a fresh account, before that program ever ran, the designer
// makes the library rather than proposing a folder the clerk never sees.
TEST_F(StartUpTest, TheWizardProposesTheTemplateLibraryOnAFreshAccountToo)
{
    const std::filesystem::path library = dir_ / ".local" / "DoxKQRunner" / "templates";
    struct Case {
        const char* name;
        bool libraryMade;
    };
    for (const Case& c : {Case{"fresh account: the library is made", false},
                          Case{"the printing program's library", true}}) {
        SCOPED_TRACE(c.name);
        if (c.libraryMade) std::filesystem::create_directories(library);
        ASSERT_TRUE(Start());
        {
            CDocWizard wizard;
            EXPECT_EQ(QDir::cleanPath(wizard.DocPanel()->FolderEdit()->text()).toStdString(), library.string());
            EXPECT_EQ(wizard.DocPanel()->FileEdit()->text(), QStringLiteral("新建模板1.dxt"));
        }
        EXPECT_TRUE(std::filesystem::is_directory(library));
        TearDown();
        app_.reset();
        std::filesystem::remove_all(dir_ / ".local");
        SetUp();
    }
}

// A message box that has no window to belong to still shows the program's icon in its
// title bar, and asks for a dialog's buttons only.
TEST_F(StartUpTest, AMessageBoxShowsTheProgramsIconAndADialogsButtons)
{
    ASSERT_TRUE(Start());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    QMessageBox box(QMessageBox::Question, QStringLiteral("禾页票据设计器"), QStringLiteral("保存吗？"),
                    QMessageBox::Yes | QMessageBox::No);
    box.show();
    EXPECT_EQ(box.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    EXPECT_FALSE(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(box.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(StartUpTest, AMissingCoreShowsItsMessageAndNoWindow)
{
    const std::wstring path = MakeTemplate("t.dxt", {L"第一页"});
    doxtest::TempDir empty;
    EXPECT_FALSE(Start({QString::fromStdWString(path)}, plat::WideOfPath(empty.path())));
    ASSERT_EQ(prompter_.messages.size(), 1u);
    EXPECT_EQ(prompter_.messages[0].text, L"加载DoxCore失败。请确认软件是否正确安装。");
    EXPECT_EQ(prompter_.messages[0].type, 16u);
    EXPECT_EQ(app_->MainFrame(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets()) EXPECT_FALSE(window->isVisible());
}

TEST_F(StartUpTest, ExitWritesTheDefaultPrinterAndAStartReadsItBack)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->DefaultPrinter(), L"");
    app_->SetDefaultPrinter(L"PDF");
    app_->ExitInstance();
    const std::string config = doxtest::ReadFileBytes(plat::PathFromWide(app_->ConfigPath()));
    EXPECT_NE(config.find("<defaultprinter value=\"PDF\""), std::string::npos) << config;
    app_.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(app_->DefaultPrinter(), L"PDF");
}

TEST_F(StartUpTest, PathTitlesTakeTheTextAfterTheLastSeparator)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"/home/a/票据.dxt", L"票据.dxt"}, {L"C:\\t\\x.dxt", L"x.dxt"}, {L"a\\b/c.dxt", L"b/c.dxt"},
        {L"plain.dxt", L"plain.dxt"},       {L"/root.dxt", L"/root.dxt"},
    };
    for (const auto& [path, title] : cases) EXPECT_EQ(TitleOfPath(path), title) << QString::fromStdWString(path).toStdString();
}
