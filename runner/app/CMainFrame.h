#pragma once
// The program's one top-level window: the menu bar, the tool bar with large buttons
// and the document frame, which fills the rest. Commands go to the document frame
// first (it has the id 0xE900), then to the application.

#include "CommandRouter.h"
#include "UIFrames.h"

#include <QTimer>

#include <string>

class CDoxFrame;
class QToolBar;

class CMainFrame : public UIFrameWnd, public CmdTarget
{
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds the menu bar, the tool bar and the document frame; false when a part
    // cannot be made.
    bool LoadFrame();

    CDoxFrame* DocFrame() const { return docFrame_; }
    QToolBar* ToolBar() const { return toolBar_; }
    CommandRouter& Router() { return router_; }
    // The caption shows the program's name with the open template's file name.
    void SetDocumentTitle(const std::wstring& fileName);
    // What the idle time brings up to date: the enabled commands, the home page's rows.
    void IdleUpdate();

    bool OnCmdMsg(unsigned id, CmdUI* ui) override;

private:
    void BuildMenu();
    void BuildToolBar();
    void BuildAccelerators();

    CommandRouter router_;
    CDoxFrame* docFrame_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QTimer idle_;
};
