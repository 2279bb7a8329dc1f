#pragma once
// What both programs' application objects share: start-up in one order (the folders,
// the dialogs' look, the recent-file list, the configuration, then the program's own
// steps), the core and the plug-in loaded at run time and released after the windows,
// the command line, the about box, the printer kept in the configuration, the recent
// files and the template library's folder.

#include "CommandLine.h"
#include "ModuleLoader.h"
#include "UIWinApp.h"

#include <QIcon>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

class IDoxCore;
class IDoxHost;
class IDoxPlusIn;

class CDoxApp : public UIWinApp
{
public:
    ~CDoxApp() override;

    // The arguments after the program's name.
    void SetCommandLine(const QStringList& arguments) { arguments_ = arguments; }

    // The common start-up, then StartUp(); false ends the program.
    bool InitInstance() override;
    // Writes the configuration.
    int ExitInstance() override;

    IDoxCore* Core() const;
    IDoxPlusIn* PlusIn() const;
    const std::wstring& DefaultPrinter() const { return defaultPrinter_; }
    void SetDefaultPrinter(const std::wstring& printer) { defaultPrinter_ = printer; }

    // The recent-file list, newest first.
    std::vector<std::wstring> RecentFiles() const;
    // The template library the clerk fills in from and the author saves into.
    std::wstring LibraryFolder() const;

    // ID_APP_ABOUT: the about box, modal.
    void OnAppAbout();

protected:
    struct Shell {
        const wchar_t* caption;   // the title of the program's message boxes
        QIcon icon;               // the program's icon
        int recentFiles;          // how many recent files the program keeps
        int aboutVersionControl;  // the id the about box gives its version text
    };
    // appDirectory: where the libraries are looked for; empty: the library folder.
    CDoxApp(std::wstring appDirectory, Shell shell);

    // The program's own start-up after the configuration is read.
    virtual bool StartUp() = 0;

    // The core, then the plug-in (handed the host); a failure says which one in a
    // message box and returns false.
    bool LoadModules(IDoxHost* host);
    // The template path of the command line, when it names one.
    std::optional<std::wstring> CommandLineTemplate() const;

    bool ReadSettings(TiXmlElementP root) override;
    void WriteSettings(TiXmlElementP root) override;

private:
    std::wstring appDirectoryOverride_;
    Shell shell_;
    QStringList arguments_;
    DoxModuleRecord plus_;
    DoxModuleRecord core_;
    std::wstring defaultPrinter_;
};

// InitInstance, the event loop, ExitInstance: the program's exit status (1 when
// start-up fails).
int RunDoxApp(CDoxApp& app);

// Command ids the application handles.
constexpr unsigned ID_APP_ABOUT = 57664;
constexpr unsigned ID_APP_EXIT = 57665;
