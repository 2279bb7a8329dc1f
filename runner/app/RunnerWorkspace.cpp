#include "RunnerWorkspace.h"

#include "CDoxKQRunner.h"
#include "CMainFrame.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "RunnerFiles.h"
#include "UITabs.h"
#include "UIUitl.h"

#include <QLabel>

namespace
{

RunnerWorkspaceFactory g_factory = nullptr;

// Until the bill workspace is built in: the template is opened with the bill database
// and its pages are shown as tabs over an empty client.
class PlainWorkspace final : public IRunnerWorkspace
{
public:
    explicit PlainWorkspace(QWidget* parent) : tabs_(new UITabCtrl(parent, true)) {}
    ~PlainWorkspace() override { CloseTemplateDocument(); }

    QWidget* Window() override { return tabs_; }
    QWidget* SearchPane() override { return nullptr; }

    bool OpenTemplateDocument(const std::wstring& path) override
    {
        CDoxKQRunner* app = CDoxKQRunner::App();
        if (!app || !app->Core()) return false;
        CloseTemplateDocument();
        document_ = app->Core()->OpenComplex(runner::JoinPath(app->DataDirectory(), L"doxcore.db").c_str(), path.c_str());
        if (!document_) {
            UIUitl::MessageBoxFormat(16, L"打开失败! %ls", app->Core()->GetLastErrorText());
            return false;
        }
        for (int i = 0; i < document_->GetPageCount(); ++i)
            if (IDoxPage* page = document_->GetPage(i)) tabs_->AddTab(client_, page->GetName());
        if (tabs_->GetTabsNum() > 0) tabs_->SetActiveTab(0);
        if (app->MainFrame()) app->MainFrame()->SetDocumentTitle(runner::FileNameOf(path));
        app->AddToRecentFileList(path);
        return true;
    }

    void CloseTemplateDocument() override
    {
        tabs_->RemoveAllTabs();
        if (document_) document_->Release();
        document_ = nullptr;
        if (CDoxKQRunner* app = CDoxKQRunner::App(); app && app->MainFrame()) app->MainFrame()->SetDocumentTitle(L"");
    }

    bool IsTemplateOpen() override { return document_ != nullptr; }
    bool OnCmdMsg(unsigned, CmdUI*) override { return false; }

private:
    UITabCtrl* tabs_;
    QLabel* client_ = new QLabel(tabs_);
    IDoxDocument* document_ = nullptr;
};

} // namespace

void SetRunnerWorkspaceFactory(RunnerWorkspaceFactory factory) { g_factory = factory; }

RunnerWorkspaceFactory GetRunnerWorkspaceFactory() { return g_factory; }

std::unique_ptr<IRunnerWorkspace> CreatePlainWorkspace(CDoxFrame*, QWidget* parent)
{
    return std::make_unique<PlainWorkspace>(parent);
}
