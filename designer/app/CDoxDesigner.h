#pragma once
// The designer's application object: its start-up (the core and the plug-in, the main
// frame, the command line) on the shared application base, and the template library
// proposed for new templates.

#include "DoxApp.h"

#include <memory>
#include <string>

class CMainFrame;

class CDoxDesigner : public CDoxApp
{
public:
    // appDirectory: where the libraries are looked for; empty: the library folder.
    explicit CDoxDesigner(std::wstring appDirectory = {});
    ~CDoxDesigner() override;

    // The one application object while it lives (null otherwise).
    static CDoxDesigner* App();

    CMainFrame* MainFrame() const { return mainFrame_.get(); }

    // The hook the recent-file list calls.
    int OpenFile(const std::wstring& path) override;

private:
    bool StartUp() override;

    std::unique_ptr<CMainFrame> mainFrame_;
};

// InitInstance, the event loop, ExitInstance: the program's exit status (1 when
// start-up fails).
int RunDoxDesigner(CDoxDesigner& app);
