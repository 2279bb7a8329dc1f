#pragma once
// The application object of the bill printing program: its start-up (the library copy,
// the core and the plug-in, the main frame, the command line) on the shared application
// base, and the host the plug-in is handed.

#include "DoxApp.h"
#include "IDoxHost.h"

#include <memory>
#include <string>

class CMainFrame;

class CDoxKQRunner : public CDoxApp, public IDoxHost
{
public:
    // appDirectory: where the libraries and the shipped templates are looked for;
    // empty: the libraries in the library folder, the templates beside the program.
    explicit CDoxKQRunner(std::wstring appDirectory = {});
    ~CDoxKQRunner() override;

    // The one application object while it lives (null otherwise).
    static CDoxKQRunner* App();

    int ExitInstance() override;

    const wchar_t* GetDataDirectory() override;

    CMainFrame* MainFrame() const { return mainFrame_.get(); }

    // The shipped template library.
    std::wstring InstalledTemplates() const;
    // The designer beside the program.
    std::wstring DesignerPath() const;

protected:
    int OpenFile(const std::wstring& path) override;

private:
    bool StartUp() override;
    bool RegisterRunnerWindowClass();

    std::unique_ptr<CMainFrame> mainFrame_;
};

// InitInstance, the event loop, ExitInstance: the program's exit status (1 when
// start-up fails).
int RunDoxKQRunner(CDoxKQRunner& app);
