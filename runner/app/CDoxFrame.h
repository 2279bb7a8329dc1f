#pragma once
// The document frame inside the main frame: it shows either the home page or the
// bill workspace as its visible pane (the one with id 0xE900; the other has id 0), and
// the workspace's search pane above it while the workspace shows.

#include "CommandRouter.h"
#include "UIFrames.h"

#include <memory>
#include <string>

class CHomePageWnd;
class IRunnerWorkspace;
class QStackedWidget;
class QVBoxLayout;

constexpr unsigned kVisiblePaneId = 0xE900;
constexpr unsigned ID_FILE_OPEN = 57601;
constexpr unsigned ID_FILE_CLOSE = 57602;

class CDoxFrame : public UIChildWnd, public CmdTarget
{
public:
    explicit CDoxFrame(QWidget* parent = nullptr);
    ~CDoxFrame() override;

    // Shows the workspace, then opens the template in it; a failed open goes back to
    // the home page.
    bool OpenTemplate(const std::wstring& path);
    void ShowHomePage();
    void ShowMainPage();
    bool IsHomePageShown() const;

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;
    void OnFileOpen();
    void OnFileClose();

    CHomePageWnd* HomePage() const { return home_; }
    IRunnerWorkspace* Workspace() const { return workspace_.get(); }

protected:
    int OnCreate() override;

private:
    void ShowPage(QWidget* page, QWidget* other, bool searchPane);

    QVBoxLayout* layout_ = nullptr;
    QWidget* messageBar_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    CHomePageWnd* home_ = nullptr;
    std::unique_ptr<IRunnerWorkspace> workspace_;
};
