#pragma once
// The application object of the bill printing program: start-up (library copy, the
// core and the plug-in loaded at run time, the main frame, the command line), the
// settings it keeps in the configuration, and the order of release at the end.

#include "CommandLine.h"
#include "IDoxHost.h"
#include "ModuleLoader.h"
#include "UIWinApp.h"

#include <QStringList>

#include <memory>
#include <string>

class CMainFrame;
class IDoxCore;
class IDoxPlusIn;

class CDoxKQRunner : public UIWinApp, public IDoxHost
{
public:
    // appDirectory: where the libraries and the shipped templates are looked for;
    // empty: the libraries in the library folder, the templates beside the program.
    explicit CDoxKQRunner(std::wstring appDirectory = {});
    ~CDoxKQRunner() override;

    // The one application object while it lives (null otherwise).
    static CDoxKQRunner* App();

    // The arguments after the program's name.
    void SetCommandLine(const QStringList& arguments) { arguments_ = arguments; }

    bool InitInstance() override;
    int ExitInstance() override;

    const wchar_t* GetDataDirectory() override;

    IDoxCore* Core() const;
    IDoxPlusIn* PlusIn() const;
    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    const std::wstring& DefaultPrinter() const { return defaultPrinter_; }
    void SetDefaultPrinter(const std::wstring& printer) { defaultPrinter_ = printer; }

    // The user's library ("templates" in the data folder) and the shipped one.
    std::wstring LibraryFolder() const;
    std::wstring InstalledTemplates() const;
    // The designer beside the program.
    std::wstring DesignerPath() const;

    // ID_APP_ABOUT: the about box, modal.
    void OnAppAbout();

protected:
    bool ReadSettings(TiXmlElementP root) override;
    void WriteSettings(TiXmlElementP root) override;
    int OpenFile(const std::wstring& path) override;

private:
    bool StartUp();
    bool RegisterRunnerWindowClass();

    std::wstring appDirectoryOverride_;
    QStringList arguments_;
    DoxModuleRecord plus_;
    DoxModuleRecord core_;
    std::wstring defaultPrinter_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

// InitInstance, the event loop, ExitInstance: the program's exit status (1 when
// start-up fails).
int RunDoxKQRunner(CDoxKQRunner& app);

// Command ids the application handles.
constexpr unsigned ID_APP_ABOUT = 57664;
constexpr unsigned ID_APP_EXIT = 57665;
