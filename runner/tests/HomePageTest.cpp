// The template library's home page driven as a clerk would: the side bar's command
// rows, the categories, the icon list, File Open and the designer.

#include "CDoxFrame.h"
#include "CHomePageWnd.h"
#include "CHomeSidebar.h"
#include "CHomeView.h"
#include "CMainFrame.h"
#include "CNewCateDlg.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "RunnerFixture.h"
#include "RunnerWorkspace.h"

#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

class HomePage : public RunnerTest
{
protected:
    void SetUp() override
    {
        RunnerTest::SetUp();
        Install();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(Frame()->IsHomePageShown());
    }

    // Chooses the file in the next file dialog.
    void ChooseFile(const fs::path& file) { prompter.files.push_back({W(file)}); }

    fs::path outside = dir / "外来";
};

const std::vector<std::wstring> kSampleTitles = {L"支付密码支票", L"费用报销单", L"转账支票", L"银行进账单"};

std::vector<std::wstring> Sorted(std::vector<std::wstring> titles)
{
    std::sort(titles.begin(), titles.end());
    return titles;
}

TEST_F(HomePage, StartsOnTheLocalLibraryWithTheSamples)
{
    std::wstring name;
    ASSERT_TRUE(Sidebar()->GetSelectedCategory(&name, nullptr));
    EXPECT_EQ(name, L"本地模板");
    EXPECT_EQ(ViewTitles(), Sorted(kSampleTitles));
    for (int i = 0; i < View()->GetCount(); ++i) {
        EXPECT_TRUE(View()->Item(i)->HasIcon());
    }
    // The fixed categories cannot be deleted, and nothing is selected to delete: the
    // rows show it from the start.
    EXPECT_FALSE(Sidebar()->CommandRow(kSidebarDeleteCategory)->IsEnabled());
    EXPECT_FALSE(Sidebar()->CommandRow(kSidebarDeleteTemplate)->IsEnabled());
    EXPECT_FALSE(app->MainFrame()->Router().State(ID_CATEGORY_DELETE).enabled);
    CmdUI ui;
    ASSERT_TRUE(Home()->OnCmdMsg(ID_CATEGORY_DELETE, &ui));
    EXPECT_FALSE(ui.enabled);
    ASSERT_TRUE(Home()->OnCmdMsg(ID_TEMPLATE_DELETE, &ui));
    EXPECT_FALSE(ui.enabled);
}

// A template as the designer saves it, straight into the library: it lists with a
// picture of its page, as the samples do, and shows its preview when selected.
TEST_F(HomePage, ATemplateSavedByTheDesignerListsWithItsPicture)
{
    const fs::path file = Library() / "新凭证.dxt";
    IDoxDocument* document = app->Core()->CreateTemplate(W(file).c_str(), L"凭证", 2100, 1000);
    ASSERT_NE(document, nullptr) << QString::fromWCharArray(app->Core()->GetLastErrorText()).toStdString();
    ASSERT_EQ(document->Save(), 1);
    document->Release();
    Home()->Refresh();
    ASSERT_TRUE(View()->SelectTitle(L"新凭证"));
    ASSERT_NE(View()->Selected(), nullptr);
    EXPECT_TRUE(View()->Selected()->HasIcon());
    EXPECT_EQ(Home()->PreviewTitle(), L"新凭证");
    EXPECT_TRUE(Home()->HasPreview());
}

TEST_F(HomePage, AddingATemplateCopiesItIntoTheCategory)
{
    fs::create_directories(outside);
    fs::copy_file(Sample("转账支票.dxt"), outside / "新 支票.dxt");
    ChooseFile(outside / "新 支票.dxt");
    ClickCommand(L"添加模板");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "新 支票.dxt"), doxtest::ReadFileBytes(outside / "新 支票.dxt"));
    ASSERT_NE(View()->Selected(), nullptr);
    EXPECT_EQ(View()->Selected()->Title(), L"新 支票");
    EXPECT_EQ(Home()->PreviewTitle(), L"新 支票");
}

TEST_F(HomePage, AddingRefusesWhatMustNotReachTheLibrary)
{
    fs::create_directories(outside);
    ASSERT_TRUE(doxtest::WriteFileBytes(outside / "假模板.dxt", "DOXDOT! but nothing after it is a template"));
    fs::copy_file(Sample("费用报销单.dxt"), outside / "转账支票.dxt");
    // Legal here, but a backup could not bring it back under its name.
    fs::copy_file(Sample("费用报销单.dxt"), outside / fs::u8path("报销\\单.dxt"));
    const std::string library = doxtest::ReadFileBytes(Library() / "转账支票.dxt");

    struct Case {
        const char* name;
        fs::path chosen;
        std::vector<int> answers;
        const wchar_t* message; // the start of the last message
    };
    const Case cases[] = {
        {"a file that is no template", outside / "假模板.dxt", {}, L"添加模板“ 假模板 ”失败。原因："},
        {"the same name answered No", outside / "转账支票.dxt", {7}, L"是否要覆盖“转账支票”？"},
        {"the library's own file", Library() / "转账支票.dxt", {}, L"添加模板“ 转账支票 ”失败。原因：改模板已经存在。"},
        {"a name holding a backslash", outside / fs::u8path("报销\\单.dxt"), {},
         L"添加模板“ 报销\\单 ”失败。原因：文件名中不能包含字符“\\”。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompter.messages.clear();
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        ChooseFile(c.chosen);
        ClickCommand(L"添加模板");
        ASSERT_FALSE(Messages().empty());
        EXPECT_EQ(Messages().back().rfind(c.message, 0), 0u) << QString::fromStdWString(Messages().back()).toStdString();
        EXPECT_FALSE(fs::exists(Library() / "假模板.dxt"));
        EXPECT_FALSE(fs::exists(Library() / fs::u8path("报销\\单.dxt")));
        EXPECT_EQ(doxtest::ReadFileBytes(Library() / "转账支票.dxt"), library);
    }
    // Yes replaces it.
    prompter.answers = {6};
    ChooseFile(outside / "转账支票.dxt");
    ClickCommand(L"添加模板");
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "转账支票.dxt"), doxtest::ReadFileBytes(outside / "转账支票.dxt"));
}

TEST_F(HomePage, CategoryNamesAreCheckedBeforeAFolderIsMade)
{
    fs::create_directories(Library() / "对公");
    struct Case {
        const char* name;
        const char* title; // null: accepted
        const char* text;
    };
    const Case cases[] = {
        {"a/b", "无效字符串", "文件名中不能包含下列任何字符:\n\\/:*\"<>|"},
        {"季度\"报表\"", "无效字符串", "文件名中不能包含下列任何字符:\n\\/:*\"<>|"},
        {"a:b", "无效字符串", "文件名中不能包含下列任何字符:\n\\/:*\"<>|"},
        {"对公", "名字重复", "该目录名已经存在"},
        {"对私 业务", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNewCateDlg dialog(W(Library()));
        dialog.show();
        Child<QLineEdit>(&dialog, 1000)->setText(QString::fromUtf8(c.name));
        QTest::mouseClick(Child<QPushButton>(&dialog, 1), Qt::LeftButton);
        if (!c.title) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_EQ(dialog.Name(), QString::fromUtf8(c.name).toStdWString());
            continue;
        }
        EXPECT_TRUE(dialog.isVisible()) << "the dialog stays";
        EXPECT_EQ(dialog.BalloonTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(dialog.BalloonText(), QString::fromUtf8(c.text));
    }
    CNewCateDlg dialog(W(Library()));
    EXPECT_EQ(Child<QLineEdit>(&dialog, 1000)->maxLength(), 32);
}

TEST_F(HomePage, CategoriesGroupTemplatesAndGoWithThem)
{
    // A new category through the side bar.
    ModalSteps steps({[](QWidget* dialog) {
        Child<QLineEdit>(dialog, 1000)->setText(QStringLiteral("对公业务"));
        QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
    }});
    ClickCommand(L"新建目录");
    EXPECT_TRUE(steps.Done());
    ASSERT_TRUE(fs::is_directory(Library() / "对公业务"));
    const int row = Sidebar()->CategoryRowOf(L"对公业务");
    ASSERT_GE(row, 0);

    // A template added while the category shows goes into its folder, and only there.
    ClickRow(Sidebar(), row);
    EXPECT_EQ(Home()->CategoryName(), L"对公业务");
    EXPECT_TRUE(View()->GetCount() == 0);
    CmdUI ui;
    Home()->OnCmdMsg(ID_CATEGORY_DELETE, &ui);
    EXPECT_TRUE(ui.enabled);
    ChooseFile(Sample("银行进账单.dxt"));
    ClickCommand(L"添加模板");
    EXPECT_TRUE(fs::exists(Library() / "对公业务" / "银行进账单.dxt"));
    EXPECT_EQ(ViewTitles(), std::vector<std::wstring>{L"银行进账单"});

    // Deleting a template asks first.
    prompter.answers = {6};
    ClickRow(View(), 0);
    Home()->IdleUpdate();
    EXPECT_TRUE(Sidebar()->CommandRow(kSidebarDeleteTemplate)->IsEnabled());
    ClickCommand(L"删除模板");
    EXPECT_EQ(Messages().back(), L"确定要删除模板“ 银行进账单 ”吗？\n文件:" + W(Library() / "对公业务" / "银行进账单.dxt"));
    EXPECT_FALSE(fs::exists(Library() / "对公业务" / "银行进账单.dxt"));
    EXPECT_EQ(View()->GetCount(), 0);

    // Deleting the category takes its folder with everything in it; No keeps it.
    fs::copy_file(Sample("转账支票.dxt"), Library() / "对公业务" / "转账支票.dxt");
    prompter.answers = {7};
    ClickCommand(L"删除目录");
    EXPECT_TRUE(fs::exists(Library() / "对公业务" / "转账支票.dxt"));
    prompter.answers = {6};
    ClickCommand(L"删除目录");
    EXPECT_EQ(Messages().back(), L"删除目录将会删除该目录下所有的模板文件。\n是否确定要删除目录“ 对公业务 ”？");
    EXPECT_FALSE(fs::exists(Library() / "对公业务"));
    EXPECT_LT(Sidebar()->CategoryRowOf(L"对公业务"), 0);
    std::wstring name;
    ASSERT_TRUE(Sidebar()->GetSelectedCategory(&name, nullptr));
    EXPECT_EQ(name, L"本地模板");
    EXPECT_EQ(ViewTitles(), Sorted(kSampleTitles));

    // The fixed category is never deleted: the row does nothing.
    const size_t shown = Messages().size();
    ClickCommand(L"删除目录");
    EXPECT_EQ(Messages().size(), shown);
    EXPECT_TRUE(fs::exists(Library()));
}

TEST_F(HomePage, ClickingACommandRowKeepsTheCategorySelected)
{
    const int before = Sidebar()->GetCurSel();
    ClickCommand(L"刷新");
    EXPECT_EQ(Sidebar()->GetCurSel(), before);
    std::wstring name;
    ASSERT_TRUE(Sidebar()->GetSelectedCategory(&name, nullptr));
    EXPECT_EQ(name, L"本地模板");
}

TEST_F(HomePage, RecentTemplatesListOnlyThoseThatStillExist)
{
    app->AddToRecentFileList(W(Library() / "转账支票.dxt"));
    app->AddToRecentFileList(W(dir / "gone.dxt"));
    ClickRow(Sidebar(), Sidebar()->CategoryRowOf(L"常用模板"));
    EXPECT_EQ(Home()->CategoryPath(), L"");
    EXPECT_EQ(ViewTitles(), std::vector<std::wstring>{L"转账支票"});
    // Adding does nothing here.
    ClickCommand(L"添加模板");
    EXPECT_TRUE(prompter.fileRequests.empty());
}

TEST_F(HomePage, OpeningATemplateSwitchesTheDocumentFrame)
{
    const int index = ViewIndexOf(L"银行进账单");
    ASSERT_GE(index, 0);
    ClickRow(View(), index, true);
    EXPECT_FALSE(Frame()->IsHomePageShown());
    EXPECT_EQ(Frame()->Workspace()->Window()->objectName(), QStringLiteral("59648"));
    EXPECT_EQ(Home()->objectName(), QStringLiteral("0"));
    EXPECT_TRUE(app->MainFrame()->Router().State(ID_FILE_CLOSE).enabled);
    EXPECT_EQ(app->GetRecentFile(0), W(Library() / "银行进账单.dxt"));

    ASSERT_TRUE(app->MainFrame()->Router().Execute(ID_FILE_CLOSE));
    EXPECT_TRUE(Frame()->IsHomePageShown());
    EXPECT_EQ(Home()->objectName(), QStringLiteral("59648"));
    EXPECT_FALSE(app->MainFrame()->Router().State(ID_FILE_CLOSE).enabled);

    // Enter on the selected item opens it too.
    ClickRow(View(), index);
    QTest::keyClick(View(), Qt::Key_Return);
    EXPECT_FALSE(Frame()->IsHomePageShown());
}

TEST_F(HomePage, FileOpenChecksTheFileAndCopiesItIntoTheChosenFolder)
{
    fs::create_directories(outside);
    ASSERT_TRUE(doxtest::WriteFileBytes(outside / "坏.dxt", "no template at all, just words"));
    ChooseFile(outside / "坏.dxt");
    ASSERT_TRUE(app->MainFrame()->Router().Execute(ID_FILE_OPEN));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind(L"打开模板“ 坏 ”失败。原因：", 0), 0u);
    EXPECT_TRUE(Frame()->IsHomePageShown());

    // A real template: the folder list takes a click on the selected folder.
    fs::create_directories(Library() / "对私");
    fs::copy_file(Sample("费用报销单.dxt"), outside / "报销.dxt");
    ChooseFile(outside / "报销.dxt");
    ModalSteps steps({[this](QWidget* dialog) {
        auto* folders = dynamic_cast<MyList*>(Child<QWidget>(dialog, 1005));
        if (!folders || folders->GetCount() != 2) {
            ADD_FAILURE() << "no folder list with two rows";
            static_cast<QDialog*>(dialog)->reject();
            return;
        }
        ClickRow(folders, 1); // selects
        ClickRow(folders, 1); // adds
    }});
    ASSERT_TRUE(app->MainFrame()->Router().Execute(ID_FILE_OPEN));
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "对私" / "报销.dxt"), doxtest::ReadFileBytes(outside / "报销.dxt"));
    EXPECT_FALSE(Frame()->IsHomePageShown());
    Frame()->OnFileClose();
    EXPECT_EQ(Home()->CategoryName(), L"对私");
    ASSERT_NE(View()->Selected(), nullptr);
    EXPECT_EQ(View()->Selected()->Title(), L"报销");
}

TEST_F(HomePage, TheDesignerGetsThePathWithBlanksAsOneArgument)
{
    const fs::path record = dir / "designer-args.txt";
    const fs::path designer = AppDir() / "DoxDesigner";
    ASSERT_TRUE(doxtest::WriteFileBytes(designer, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" + record.string() +
                                                      ".part\"\nmv \"" + record.string() + ".part\" \"" +
                                                      record.string() + "\"\n"));
    fs::permissions(designer, fs::perms::owner_all);
    fs::create_directories(Library() / "月末 报表");
    fs::copy_file(Sample("费用报销单.dxt"), Library() / "月末 报表" / "报销 单.dxt");
    Home()->Refresh();
    ClickRow(Sidebar(), Sidebar()->CategoryRowOf(L"月末 报表"));
    ClickRow(View(), 0);
    ASSERT_TRUE(Home()->OnCmdMsg(ID_TEMPLATE_EDIT, nullptr));
    QDeadlineTimer deadline(10000);
    while (!fs::exists(record) && !deadline.hasExpired()) QTest::qWait(20);
    EXPECT_EQ(doxtest::ReadFileBytes(record), "1\n" + (Library() / "月末 报表" / "报销 单.dxt").string() + "\n");
    EXPECT_TRUE(Messages().empty());

    fs::remove(designer);
    ASSERT_TRUE(Home()->OnCmdMsg(ID_TEMPLATE_EDIT, nullptr));
    EXPECT_EQ(Messages(), std::vector<std::wstring>{L"找不到设计器"});
}

TEST_F(HomePage, BackupAndRestoreRunFromTheSideBarAndRefreshTheCategories)
{
    fs::create_directories(Library() / "对公");
    fs::copy_file(Sample("转账支票.dxt"), Library() / "对公" / "转账支票.dxt");
    // The archive wrapper takes only file names without Chinese characters.
    const fs::path archive = dir / "all backup.dxb";
    ChooseFile(archive);
    ClickCommand(L"备份");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], L"备份所有模板和数据库成功。\n备份文件:" + W(archive));
    ASSERT_TRUE(fs::exists(archive));

    // The category is lost, then comes back with the restore.
    fs::remove_all(Library() / "对公");
    Home()->Refresh();
    ASSERT_LT(Sidebar()->CategoryRowOf(L"对公"), 0);
    prompter.answers = {7};
    ClickCommand(L"恢复");
    EXPECT_TRUE(prompter.fileRequests.size() == 1u) << "No asks for no file";
    prompter.answers = {6};
    ChooseFile(archive);
    ClickCommand(L"恢复");
    EXPECT_EQ(Messages().back(), L"恢复所有模板和数据库成功。");
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "对公" / "转账支票.dxt"), doxtest::ReadFileBytes(Sample("转账支票.dxt")));
    EXPECT_GE(Sidebar()->CategoryRowOf(L"对公"), 0);
    std::wstring name;
    ASSERT_TRUE(Sidebar()->GetSelectedCategory(&name, nullptr));
    EXPECT_EQ(name, L"本地模板");
}

} // namespace
} // namespace runnertest
