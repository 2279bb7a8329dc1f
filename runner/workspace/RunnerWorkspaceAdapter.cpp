// The workspace as the program's document frame hosts it: the application object
// answers what the workspace asks of its host.

#include "RunnerWorkspace.h"

#include "CDoxFrame.h"
#include "CDoxKQRunner.h"
#include "CMainFrame.h"
#include "Workspace.h"

#include <QPointer>

namespace
{

class ApplicationHost final : public IWorkspaceHost
{
public:
    explicit ApplicationHost(CDoxFrame* frame) : frame_(frame) {}
    IDoxCore* Core() override { return CDoxKQRunner::App()->Core(); }
    IDoxPlusIn* PlusIn() override { return CDoxKQRunner::App()->PlusIn(); }
    std::wstring DataDirectory() override { return CDoxKQRunner::App()->DataDirectory(); }
    std::wstring DefaultPrinter() override { return CDoxKQRunner::App()->DefaultPrinter(); }
    void SetDefaultPrinter(const std::wstring& printer) override { CDoxKQRunner::App()->SetDefaultPrinter(printer); }
    void ShowHomePage() override
    {
        if (frame_)
            frame_->ShowHomePage();
    }
    void SetDocumentTitle(const std::wstring& fileName) override
    {
        if (CMainFrame* main = CDoxKQRunner::App()->MainFrame())
            main->SetDocumentTitle(fileName);
    }
    void AddRecentFile(const std::wstring& path) override { CDoxKQRunner::App()->AddToRecentFileList(path); }

private:
    CDoxFrame* frame_;
};

class BillWorkspace final : public IRunnerWorkspace
{
public:
    BillWorkspace(CDoxFrame* frame, QWidget* parent)
        : host_(frame), pane_(new CSearchPane(parent)), tabs_(new CMainPageWnd(&host_, pane_, parent))
    {
    }
    ~BillWorkspace() override
    {
        delete tabs_.data();
        delete pane_.data();
    }

    QWidget* Window() override { return tabs_; }
    QWidget* SearchPane() override { return pane_; }
    bool OpenTemplateDocument(const std::wstring& path) override { return tabs_->OpenTemplateDocument(path); }
    void CloseTemplateDocument() override { tabs_->CloseTemplateDocument(); }
    bool IsTemplateOpen() override { return tabs_->IsTemplateOpen(); }
    bool OnCmdMsg(unsigned id, CmdUI* ui) override
    {
        if (!ui)
            return tabs_->OnCmdMsg(id, nullptr);
        bool enabled = false;
        if (!tabs_->OnCmdMsg(id, &enabled))
            return false;
        ui->enabled = enabled;
        return true;
    }

private:
    ApplicationHost host_;
    QPointer<CSearchPane> pane_;
    QPointer<CMainPageWnd> tabs_;
};

} // namespace

std::unique_ptr<IRunnerWorkspace> CreateRunnerWorkspace(CDoxFrame* frame, QWidget* parent)
{
    return std::make_unique<BillWorkspace>(frame, parent);
}
