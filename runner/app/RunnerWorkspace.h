#pragma once
// The bill workspace as the document frame hosts it. The workspace lives in its own
// folder (runner/workspace); it implements this interface and offers its factory,
// which the program installs at start-up. Without one the frame hosts a plain
// workspace that only opens the document and shows its page names.

#include "CommandRouter.h"

#include <memory>
#include <string>

class CDoxFrame;
class QWidget;

class IRunnerWorkspace : public CmdTarget
{
public:
    // The tab control with the pages of the open template, a child of the frame's
    // page area (the frame shows and hides it).
    virtual QWidget* Window() = 0;
    // The search pane the frame shows above the workspace (null: none).
    virtual QWidget* SearchPane() = 0;
    // Opens the template with the bill database. On failure it has shown its message
    // and returns false; the frame then goes back to the home page.
    virtual bool OpenTemplateDocument(const std::wstring& path) = 0;
    virtual void CloseTemplateDocument() = 0;
    virtual bool IsTemplateOpen() = 0;
    // OnCmdMsg (from CmdTarget): the workspace's commands, its search pane's included.
};

using RunnerWorkspaceFactory = std::unique_ptr<IRunnerWorkspace> (*)(CDoxFrame* frame, QWidget* parent);

// The factory the frame uses from now on (null: the plain workspace).
void SetRunnerWorkspaceFactory(RunnerWorkspaceFactory factory);
RunnerWorkspaceFactory GetRunnerWorkspaceFactory();
// The plain workspace.
std::unique_ptr<IRunnerWorkspace> CreatePlainWorkspace(CDoxFrame* frame, QWidget* parent);

// Implemented by the workspace folder when it is built into the program.
std::unique_ptr<IRunnerWorkspace> CreateRunnerWorkspace(CDoxFrame* frame, QWidget* parent);
