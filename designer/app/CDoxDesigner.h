#pragma once
// The designer's application object: start-up (the core and the plug-in loaded at run
// time, the main frame, the command line), the settings it keeps in the
// configuration, and the order of release at the end.

#include "CommandLine.h"
#include "ModuleLoader.h"
#include "UIWinApp.h"

#include <QStringList>

#include <memory>
#include <vector>
#include <string>

class CMainFrame;
class IDoxCore;
class IDoxPlusIn;

class CDoxDesigner : public UIWinApp
{
public:
    // appDirectory: where the libraries are looked for; empty: the library folder.
    explicit CDoxDesigner(std::wstring appDirectory = {});
    ~CDoxDesigner() override;

    // The one application object while it lives (null otherwise).
    static CDoxDesigner* App();

    // The arguments after the program's name.
    void SetCommandLine(const QStringList& arguments) { arguments_ = arguments; }

    bool InitInstance() override;
    int ExitInstance() override;

    IDoxCore* Core() const;
    IDoxPlusIn* PlusIn() const;
    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    const std::wstring& DefaultPrinter() const { return defaultPrinter_; }
    void SetDefaultPrinter(const std::wstring& printer) { defaultPrinter_ = printer; }

    // ID_APP_ABOUT: the about box, modal.
    void OnAppAbout();

    // The recent-file list, newest first.
    std::vector<std::wstring> RecentFiles() const;

    // The hooks the configuration and the recent-file list call.
    bool ReadSettings(TiXmlElementP root) override;
    void WriteSettings(TiXmlElementP root) override;
    int OpenFile(const std::wstring& path) override;

private:
    bool StartUp();

    std::wstring appDirectoryOverride_;
    QStringList arguments_;
    DoxModuleRecord plus_;
    DoxModuleRecord core_;
    std::wstring defaultPrinter_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

// InitInstance, the event loop, ExitInstance: the program's exit status (1 when
// start-up fails).
int RunDoxDesigner(CDoxDesigner& app);

// Command ids the application handles.
constexpr unsigned ID_APP_ABOUT = 57664;
constexpr unsigned ID_APP_EXIT = 57665;
