#include "DoxApp.h"

#include "CAboutDlg.h"
#include "DialogLook.h"
#include "IDoxCore.h"
#include "IDoxPlusIn.h"
#include "ProgramFolders.h"
#include "UIUitl.h"

#include <QApplication>

CDoxApp::CDoxApp(std::wstring appDirectory, Shell shell)
    : appDirectoryOverride_(std::move(appDirectory)), shell_(std::move(shell))
{
    UIUitl::SetMessageCaption(shell_.caption);
}

CDoxApp::~CDoxApp()
{
    // The program's windows (members of the derived object) are gone by now: they
    // hold objects of the core, and the core goes before the plug-in.
    UnloadModule(core_);
    UnloadModule(plus_);
}

IDoxCore* CDoxApp::Core() const { return static_cast<IDoxCore*>(core_.object); }
IDoxPlusIn* CDoxApp::PlusIn() const { return static_cast<IDoxPlusIn*>(plus_.object); }

std::vector<std::wstring> CDoxApp::RecentFiles() const
{
    std::vector<std::wstring> files;
    for (int i = 0; i < GetRecentFileCount(); ++i) files.push_back(GetRecentFile(i));
    return files;
}

std::wstring CDoxApp::LibraryFolder() const { return TemplateLibraryFolder(); }

bool CDoxApp::InitInstance()
{
    if (!UIWinApp::InitInstance()) return false;
    if (!appDirectoryOverride_.empty()) appDirectory_ = libraryDirectory_ = appDirectoryOverride_;
    UseDesktopDialogLook(shell_.icon);
    SetupRecentFileList(shell_.recentFiles);
    LoadCfg();
    return StartUp();
}

int CDoxApp::ExitInstance()
{
    DumpCfg();
    return UIWinApp::ExitInstance();
}

bool CDoxApp::LoadModules(IDoxHost* host)
{
    if (!LoadCoreModule(core_, L"DoxCore.DLL", libraryDirectory_)) {
        UIUitl::MessageBoxW(16, L"加载DoxCore失败。请确认软件是否正确安装。");
        return false;
    }
    if (!LoadPlusModule(plus_, libraryDirectory_, host)) {
        UIUitl::MessageBoxW(16, L"加载KQ支持插件失败。请确认软件是否正确安装。");
        return false;
    }
    return true;
}

std::optional<std::wstring> CDoxApp::CommandLineTemplate() const
{
    RunnerCommandLine commandLine;
    commandLine.Parse(arguments_);
    if (!commandLine.open) return std::nullopt;
    return commandLine.fileName;
}

bool CDoxApp::ReadSettings(TiXmlElementP root) { return ReadPrinterSetting(root, &defaultPrinter_); }

void CDoxApp::WriteSettings(TiXmlElementP root)
{
    root.InsertEndChild("defaultprinter").SetAttribute("value", defaultPrinter_);
}

void CDoxApp::OnAppAbout()
{
    CAboutDlg about(QApplication::activeWindow(), shell_.aboutVersionControl);
    about.exec();
}

int RunDoxApp(CDoxApp& app)
{
    if (!app.InitInstance()) return 1;
    QApplication::exec();
    return app.ExitInstance();
}
