#pragma once
// The bill workspace: one tab per page of the open template; under the tabs the list of
// the page's stored bills, a splitter and the core's fill-in window with the page.
// Bills are started, saved, listed, searched, ticked, deleted, printed one by one or
// in a run, and the payment password is computed through the plug-in.

#include "UITabs.h"

#include <memory>
#include <string>

class CMainClient;
class CSearchCtrl;
class IDoxCore;
class IDoxDocument;
class IDoxPlusIn;

// What the workspace needs of the program around it.
class IWorkspaceHost
{
public:
    virtual ~IWorkspaceHost() = default;
    virtual IDoxCore* Core() = 0;
    // Null when the program runs without the plug-in.
    virtual IDoxPlusIn* PlusIn() = 0;
    // The user data folder that holds doxcore.db.
    virtual std::wstring DataDirectory() = 0;
    // The printer chosen last in a print dialog.
    virtual std::wstring DefaultPrinter() = 0;
    virtual void SetDefaultPrinter(const std::wstring& printer) = 0;
    // An open that failed: back to the home page.
    virtual void ShowHomePage() = 0;
    // The file name of the open template for the frame's title (empty: none).
    virtual void SetDocumentTitle(const std::wstring& fileName) = 0;
    virtual void AddRecentFile(const std::wstring& path) = 0;
};

// Command ids of the workspace.
namespace wscmd
{
constexpr unsigned kNewBill = 32771;
constexpr unsigned kPrintBill = 32772;
constexpr unsigned kPageSetup = 32773;
constexpr unsigned kCompute = 32774;
constexpr unsigned kSaveBill = 32777;
constexpr unsigned kCheckAll = 32778;
constexpr unsigned kContinuousPrint = 32779;
constexpr unsigned kSaveBillAsNew = 32780;
constexpr unsigned kDeleteBills = 32782;
constexpr unsigned kUncheckAll = 32789;
constexpr unsigned kEditCopy = 57634;
constexpr unsigned kEditCut = 57635;
constexpr unsigned kEditPaste = 57637;
constexpr unsigned kEditSelectAll = 57642;
constexpr unsigned kNextPane = 57680;
constexpr unsigned kPreviousPane = 57681;
} // namespace wscmd

// The search pane ("搜索"): the search box at its right, searching the bill list.
class CSearchPane : public QWidget
{
public:
    explicit CSearchPane(QWidget* parent = nullptr);
    ~CSearchPane() override;
    CSearchCtrl* SearchBox() const { return search_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CSearchCtrl* search_;
};

// The tab control of the workspace.
class CMainPageWnd : public UITabCtrl
{
public:
    // The search pane belongs to the frame; it must outlive the workspace or be null.
    CMainPageWnd(IWorkspaceHost* host, CSearchPane* searchPane, QWidget* parent = nullptr);
    ~CMainPageWnd() override;

    bool OpenTemplateDocument(const std::wstring& path);
    void CloseTemplateDocument();
    bool IsTemplateOpen() const { return document_ != nullptr; }
    IDoxDocument* Document() const { return document_; }
    const std::wstring& TemplatePath() const { return path_; }
    const std::wstring& FileName() const { return fileName_; }
    bool IsBusy() const { return busy_; }
    // Shows another tab without loading its page (after a switch that was refused).
    void ShowTabQuietly(int index);

    // Routes a command: to the client (page view, bill list, client). enabled null: run
    // it; else tell whether it is enabled. False when no part of the workspace has it.
    bool OnCmdMsg(unsigned id, bool* enabled);

    CMainClient* Client() const { return client_; }
    IWorkspaceHost* Host() const { return host_; }

private:
    void SetDocumentTitle(const std::wstring& path);

    IWorkspaceHost* host_;
    IDoxDocument* document_ = nullptr;
    std::wstring path_;
    std::wstring fileName_;
    bool busy_ = false;
    CMainClient* client_;
};
