// A template the clerk may only read (a shipped or shared one, marked read-only or held
// by another user): the printing program takes it into the library, opens it where it
// lies and fills bills from it, which go to the database, never into the template.

#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "IDoxPage.h"
#include "RunnerWorkspaceFixture.h"
#include "Workspace.h"

#include <QTest>

#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

using RunnerTemplateFile = RunnerWorkspaceTest;

TEST_F(RunnerTemplateFile, ATemplateThatMayNotBeWrittenIsAddedOpenedAndFilled)
{
    const fs::path copy = InstallWithCopyOf("转账支票.dxt");
    const fs::path shared = dir / "共享" / "共享 支票.dxt";
    fs::create_directories(shared.parent_path());
    fs::rename(copy, shared);
    const std::string before = doxtest::ReadFileBytes(shared);
    doxtest::ScopedUnwritable unwritable(shared);
    ASSERT_TRUE(Start());
    CMainFrame* frame = app->MainFrame();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    prompter.files.push_back({W(shared)});
    ClickCommand(L"添加模板");
    EXPECT_TRUE(Messages().empty()) << QString::fromStdWString(Messages().front()).toStdString();
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "共享 支票.dxt"), before);

    ASSERT_TRUE(Frame()->OpenTemplate(W(shared)));
    CMainClient* client = Workspace(frame);
    ASSERT_NE(client, nullptr);
    IDoxPage* page = client->PageView()->Page();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->SetFieldText(L"主表.收款人", 0, L"北京朝阳商贸有限公司"), 1);
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(client->List()->GetItemCount(), 1);
    EXPECT_TRUE(Messages().empty());

    // Opened again, the bill is read back from the database; the template kept every byte.
    Frame()->OnFileClose();
    ASSERT_TRUE(Frame()->OpenTemplate(W(shared)));
    // The stored bills come into the list from the event loop after the open.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Workspace(frame)->List()->GetItemCount() == 1; }))
        << Workspace(frame)->List()->GetItemCount() << " bills listed";
    Frame()->OnFileClose();
    EXPECT_EQ(doxtest::ReadFileBytes(shared), before);
}

} // namespace
} // namespace runnertest
