// The printing program's accelerator keys ask their command when they are pressed: a
// key pressed at once after its command became enabled runs it, with no idle update
// of the frame in between.

#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "IDoxPage.h"
#include "RunnerWorkspaceFixture.h"
#include "Workspace.h"

#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

using RunnerKeys = RunnerWorkspaceTest;

TEST_F(RunnerKeys, AKeyPressedAsSoonAsItsCommandIsEnabledRunsIt)
{
    const fs::path cheque = InstallWithCopyOf("转账支票.dxt");
    ASSERT_TRUE(Start());
    CMainFrame* frame = app->MainFrame();
    frame->show();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));

    // No template: saving is disabled at the frame's last update. The template opens
    // and a bill is typed; Ctrl+S comes before the next update and saves it.
    frame->IdleUpdate();
    ASSERT_TRUE(Frame()->OpenTemplate(W(cheque)));
    CMainClient* client = Workspace(frame);
    ASSERT_NE(client, nullptr);
    IDoxPage* page = client->PageView()->Page();
    ASSERT_NE(page, nullptr);
    const wchar_t field[] = L"主表.收款人";
    ASSERT_EQ(page->SetFieldText(field, 0, L"北京朝阳商贸有限公司"), 1);
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(client->List()->GetItemCount(), 1);
    EXPECT_FALSE(page->IsRecordModified());

    // A new, empty bill cannot be printed; once something is typed Ctrl+P prints it.
    ASSERT_TRUE(frame->Router().Execute(wscmd::kNewBill));
    frame->IdleUpdate();
    ASSERT_FALSE(frame->Router().State(wscmd::kPrintBill).enabled);
    ASSERT_EQ(page->SetFieldText(field, 0, L"上海浦东支行"), 1);
    QString asked;
    ModalSteps steps({[&](QWidget* dialog) {
        asked = dialog->windowTitle();
        static_cast<QDialog*>(dialog)->reject();
    }});
    QTest::keyClick(frame, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(asked, QStringLiteral("打印"));
    EXPECT_TRUE(steps.Done());
}

} // namespace
} // namespace runnertest
