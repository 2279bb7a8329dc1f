// The printing program's keys and File menu on a real X server, as a person uses them.

#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "IDoxPageWindow.h"
#include "RunnerWorkspaceFixture.h"
#include "XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace runnertest
{
namespace
{

using namespace doxtest;

// The program with the workspace of the real program, on a copy of the cheque sample.
class RunnerKeysX : public RunnerWorkspaceTest
{
protected:
    QWidget* StartOnCheque()
    {
        QWidget* frame = StartOnCopyOf("转账支票.dxt");
        return frame && ShowAndActivate(frame) ? frame : nullptr;
    }
};

TEST_F(RunnerKeysX, FileMenuSelectAllAndPanes)
{
    DOX_REQUIRE_XSERVER();
    QWidget* frame = StartOnCheque();
    ASSERT_NE(frame, nullptr);

    // The File menu holds the bill and template commands before 退出.
    QMenu* file = frame->findChild<QMenuBar*>()->actions().at(0)->menu();
    ASSERT_NE(file, nullptr);
    QStringList texts;
    for (QAction* action : file->actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("打开模板(&O)..."), QStringLiteral("关闭(&C)"),
                                  QStringLiteral("新建票据(&N)\tCtrl+N"), QStringLiteral("保存票据(&S)"),
                                  QStringLiteral("另存为新票据(&A)"), QStringLiteral("页面设置(&U)..."),
                                  QStringLiteral("打印(&P)..."), QStringLiteral("连续打印(&R)..."),
                                  QStringLiteral("退出(&X)")}));

    CMainClient* client = Workspace(frame);
    ASSERT_NE(client, nullptr);
    IDoxPageWindow* window = client->PageView()->PageWindow();
    ASSERT_NE(window, nullptr);
    window->GetHwnd()->setFocus();
    ASSERT_TRUE(WaitFor([&] { return window->GetHwnd()->isAncestorOf(QApplication::focusWidget()); }));

    // Ctrl+A in a field selects what it holds (seen through a copy).
    xinput::Chord({"Return"});
    ASSERT_TRUE(WaitFor([&] { return window->IsEditing() != 0; }));
    xinput::Type("12");
    ASSERT_TRUE(WaitFor([&] { return window->IsEditing() != 0; }));
    QApplication::clipboard()->setText(QStringLiteral("none"));
    xinput::Chord({"Control_L", "a"});
    xinput::Chord({"Control_L", "c"});
    EXPECT_TRUE(WaitFor([] { return QApplication::clipboard()->text() == QStringLiteral("12"); }))
        << QApplication::clipboard()->text().toStdString();
    xinput::Chord({"Escape"});

    // F6 and Shift+F6 move between the page and the bill list.
    ASSERT_TRUE(WaitFor([&] { return window->IsEditing() == 0; }));
    xinput::Chord({"F6"});
    EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == client->List(); }));
    xinput::Chord({"Shift_L", "F6"});
    EXPECT_TRUE(WaitFor([&] { return window->GetHwnd()->isAncestorOf(QApplication::focusWidget()); }));
}

} // namespace
} // namespace runnertest
