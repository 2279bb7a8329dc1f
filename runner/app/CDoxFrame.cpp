#include "CDoxFrame.h"

#include "CAddFileDlg.h"
#include "CDoxKQRunner.h"
#include "CHomePageWnd.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "RunnerWorkspace.h"
#include "UIFileDailog.h"
#include "UIUitl.h"
#include "WaitCursor.h"
#include "WindowHelpers.h"

#include <QApplication>
#include <QStackedWidget>
#include <QVBoxLayout>

CDoxFrame::CDoxFrame(QWidget* parent) : UIChildWnd(parent) {}

CDoxFrame::~CDoxFrame()
{
    // The workspace's windows are children of the stack: it lets go of them first.
    workspace_.reset();
}

int CDoxFrame::OnCreate()
{
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    // The message bar (id 101) is made and kept hidden: nothing posts to it.
    messageBar_ = new QWidget(this);
    messageBar_->setObjectName(QStringLiteral("101"));
    messageBar_->hide();
    stack_ = new QStackedWidget(this);
    home_ = new CHomePageWnd(this, stack_);
    home_->setObjectName(QString::number(kVisiblePaneId));
    stack_->addWidget(home_);
    if (!home_->Create()) return -1;
    RunnerWorkspaceFactory factory = GetRunnerWorkspaceFactory();
    workspace_ = factory ? factory(this, stack_) : CreatePlainWorkspace(this, stack_);
    if (!workspace_) return -1;
    if (QWidget* search = workspace_->SearchPane()) {
        search->setObjectName(QStringLiteral("100"));
        layout_->addWidget(search);
        search->hide();
    }
    workspace_->Window()->setObjectName(QStringLiteral("0"));
    stack_->addWidget(workspace_->Window());
    layout_->addWidget(stack_);
    stack_->setCurrentWidget(home_);
    setFocusProxy(stack_);
    return 0;
}

bool CDoxFrame::IsHomePageShown() const { return stack_ && stack_->currentWidget() == home_; }

void CDoxFrame::ShowPage(QWidget* page, QWidget* other, bool searchPane)
{
    if (page->objectName() == QString::number(kVisiblePaneId) && stack_->currentWidget() == page) return;
    other->setObjectName(QStringLiteral("0"));
    page->setObjectName(QString::number(kVisiblePaneId));
    stack_->setCurrentWidget(page);
    if (QWidget* search = workspace_->SearchPane()) search->setVisible(searchPane);
    layout_->activate();
}

void CDoxFrame::ShowHomePage() { ShowPage(home_, workspace_->Window(), false); }

void CDoxFrame::ShowMainPage() { ShowPage(workspace_->Window(), home_, true); }

bool CDoxFrame::OpenTemplate(const std::wstring& path)
{
    plat::WaitCursor wait;
    ShowMainPage();
    if (workspace_->OpenTemplateDocument(path)) return true;
    ShowHomePage();
    return false;
}

bool CDoxFrame::OnCmdMsg(unsigned id, CmdUI* ui)
{
    if (workspace_ && workspace_->OnCmdMsg(id, ui)) return true;
    switch (id) {
    case ID_FILE_OPEN:
        if (!ui) OnFileOpen();
        return true;
    case ID_FILE_CLOSE:
        if (ui)
            ui->enabled = workspace_ && workspace_->IsTemplateOpen();
        else
            OnFileClose();
        return true;
    default:
        return false;
    }
}

void CDoxFrame::OnFileOpen()
{
    CDoxKQRunner* app = CDoxKQRunner::App();
    if (!app || !app->Core()) return;
    UIFileDailog dialog(1, L"dxt", nullptr, OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                        L"dox template|*.dxt||", this);
    if (dialog.DoModal() != 1) return;
    const std::wstring path = dialog.GetPathName();
    IDoxDocument* document = app->Core()->OpenTemplate(path.c_str());
    if (!document) {
        UIUitl::MessageBoxFormat(16, L"打开模板“ %ls ”失败。原因：%ls", dialog.GetFileTitle().c_str(),
                                 app->Core()->GetLastErrorText());
        return;
    }
    document->Release();
    CAddFileDlg add(path, app->LibraryFolder(), this);
    if (add.exec() != 1) return;
    home_->RefreshLibrary(add.Title(), add.FolderName());
    OpenTemplate(add.Target());
}

void CDoxFrame::OnFileClose()
{
    {
        plat::WaitCursor wait;
        workspace_->CloseTemplateDocument();
    }
    ShowHomePage();
}
