#include "CDoxDesigner.h"

#include "Brindle.h"
#include "CAboutDlg.h"
#include "CDesignDoc.h"
#include "CMainFrame.h"
#include "DesignerPictures.h"
#include "DialogLook.h"
#include "IDoxCore.h"
#include "IDoxPlusIn.h"
#include "ProgramFolders.h"
#include "UIUitl.h"

#include <QApplication>
#include <QFileInfo>

namespace
{

CDoxDesigner* g_app = nullptr;

} // namespace

CDoxDesigner::CDoxDesigner(std::wstring appDirectory) : appDirectoryOverride_(std::move(appDirectory))
{
    g_app = this;
    UIUitl::SetMessageCaption(kDesignerTitle);
}

CDoxDesigner::~CDoxDesigner()
{
    // The windows hold objects of the core: they go before the libraries, and the
    // core goes before the plug-in.
    mainFrame_.reset();
    defaultPrinter_.clear();
    UnloadModule(core_);
    UnloadModule(plus_);
    if (g_app == this) g_app = nullptr;
}

CDoxDesigner* CDoxDesigner::App() { return g_app; }

IDoxCore* CDoxDesigner::Core() const { return static_cast<IDoxCore*>(core_.object); }
IDoxPlusIn* CDoxDesigner::PlusIn() const { return static_cast<IDoxPlusIn*>(plus_.object); }

std::vector<std::wstring> CDoxDesigner::RecentFiles() const
{
    std::vector<std::wstring> files;
    for (int i = 0; i < GetRecentFileCount(); ++i) files.push_back(GetRecentFile(i));
    return files;
}

bool CDoxDesigner::InitInstance()
{
    if (!UIWinApp::InitInstance()) return false;
    if (!appDirectoryOverride_.empty()) appDirectory_ = libraryDirectory_ = appDirectoryOverride_;
    return StartUp();
}

bool CDoxDesigner::StartUp()
{
    UseDesktopDialogLook(DesignerPictures::ProgramIcon());
    SetupRecentFileList(16);
    LoadCfg();
    // New templates are proposed where the clerk's printing program will find them.
    const std::wstring library = PrintingProgramLibraryFolder();
    if (QFileInfo(QString::fromStdWString(library)).isDir()) SetCurrentPath(library);
    // A widget library that cannot start ends the program without a word.
    if (!Brindle::Initialize(nullptr)) return false;
    if (!LoadCoreModule(core_, L"DoxCore.DLL", libraryDirectory_)) {
        UIUitl::MessageBoxW(16, L"加载DoxCore失败。请确认软件是否正确安装。");
        return false;
    }
    if (!LoadPlusModule(plus_, libraryDirectory_, nullptr)) {
        UIUitl::MessageBoxW(16, L"加载KQ支持插件失败。请确认软件是否正确安装。");
        return false;
    }
    mainFrame_ = std::make_unique<CMainFrame>();
    if (!mainFrame_->LoadFrame(Core())) {
        mainFrame_.reset();
        UIUitl::MessageBoxW(16, L"加载主框架窗口失败。请确认软件是否正确安装。");
        return false;
    }
    RunnerCommandLine commandLine;
    commandLine.Parse(arguments_);
    if (commandLine.open) {
        mainFrame_->ShowDesignPage();
        mainFrame_->Document()->OpenByPath(commandLine.fileName);
    } else {
        mainFrame_->ShowHomePage();
    }
    mainFrame_->showMaximized();
    mainFrame_->update();
    return true;
}

int CDoxDesigner::ExitInstance()
{
    DumpCfg();
    return UIWinApp::ExitInstance();
}

bool CDoxDesigner::ReadSettings(TiXmlElementP root)
{
    return ReadPrinterSetting(root, &defaultPrinter_);
}

void CDoxDesigner::WriteSettings(TiXmlElementP root)
{
    root.InsertEndChild("defaultprinter").SetAttribute("value", defaultPrinter_);
}

int CDoxDesigner::OpenFile(const std::wstring& path)
{
    if (!mainFrame_) return 0;
    return mainFrame_->Document()->OpenByPath(path);
}

void CDoxDesigner::OnAppAbout()
{
    CAboutDlg about(QApplication::activeWindow(), 1030);
    about.exec();
}

int RunDoxDesigner(CDoxDesigner& app)
{
    if (!app.InitInstance()) return 1;
    QApplication::exec();
    return app.ExitInstance();
}
