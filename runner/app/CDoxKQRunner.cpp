#include "CDoxKQRunner.h"

#include "BackupRestore.h"
#include "Brindle.h"
#include "CAboutDlg.h"
#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "DialogLook.h"
#include "IDoxCore.h"
#include "IDoxPlusIn.h"
#include "RunnerFiles.h"
#include "RunnerPictures.h"
#include "TemplateLibrary.h"
#include "UIUitl.h"
#include "WindowClass.h"

#include <QApplication>

namespace
{

CDoxKQRunner* g_app = nullptr;

constexpr unsigned kStringLoadCore = 102;
constexpr unsigned kStringLoadPlus = 103;

} // namespace

CDoxKQRunner::CDoxKQRunner(std::wstring appDirectory) : appDirectoryOverride_(std::move(appDirectory))
{
    g_app = this;
    UIUitl::RegisterString(kStringLoadCore, L"加载DoxCore失败。请确认软件是否正确安装。");
    UIUitl::RegisterString(kStringLoadPlus, L"加载KQ支持插件失败。请确认软件是否正确安装。");
    UIUitl::SetMessageCaption(L"禾页票据打印器");
}

CDoxKQRunner::~CDoxKQRunner()
{
    // The windows hold objects of the core: they go before the libraries.
    mainFrame_.reset();
    defaultPrinter_.clear();
    UnloadModule(core_);
    UnloadModule(plus_);
    if (g_app == this) g_app = nullptr;
}

CDoxKQRunner* CDoxKQRunner::App() { return g_app; }

IDoxCore* CDoxKQRunner::Core() const { return static_cast<IDoxCore*>(core_.object); }
IDoxPlusIn* CDoxKQRunner::PlusIn() const { return static_cast<IDoxPlusIn*>(plus_.object); }

const wchar_t* CDoxKQRunner::GetDataDirectory() { return dataDirectory_.c_str(); }

std::wstring CDoxKQRunner::LibraryFolder() const { return runner::JoinPath(dataDirectory_, L"templates"); }

std::wstring CDoxKQRunner::InstalledTemplates() const { return runner::InstalledTemplateFolder(appDirectory_); }

std::wstring CDoxKQRunner::DesignerPath() const { return runner::JoinPath(appDirectory_, L"DoxDesigner"); }

bool CDoxKQRunner::InitInstance()
{
    if (!UIWinApp::InitInstance()) return false;
    if (!appDirectoryOverride_.empty()) appDirectory_ = libraryDirectory_ = appDirectoryOverride_;
    return StartUp();
}

bool CDoxKQRunner::StartUp()
{
    UseDesktopDialogLook(runner::ProgramIcon());
    SetupRecentFileList(4);
    LoadCfg();
    // A restore that was killed part-way is finished or undone before anything reads
    // the library or the database.
    BackupRestore::Recover(GetDataDirectory());
    if (!runner::CopyTemplateLibrary(InstalledTemplates(), runner::JoinPath(GetDataDirectory(), L"templates")))
        UIUitl::MessageBoxW(64, L"初始化本地模板库失败!");
    if (!RegisterRunnerWindowClass()) {
        UIUitl::MessageBoxW(16, L"注册窗口失败!");
        return false;
    }
    if (!Brindle::Initialize(nullptr)) {
        UIUitl::MessageBoxW(16, L"初始化Brindle组件失败!");
        return false;
    }
    if (!LoadCoreModule(core_, L"DoxCore.DLL", libraryDirectory_)) {
        UIUitl::MessageBoxW(16, kStringLoadCore);
        return false;
    }
    if (!LoadPlusModule(plus_, libraryDirectory_, this)) {
        UIUitl::MessageBoxW(16, kStringLoadPlus);
        return false;
    }
    mainFrame_ = std::make_unique<CMainFrame>();
    if (!mainFrame_->LoadFrame()) {
        mainFrame_.reset();
        return false;
    }
    RunnerCommandLine commandLine;
    commandLine.Parse(arguments_);
    if (commandLine.open == 1) mainFrame_->DocFrame()->OpenTemplate(commandLine.fileName);
    mainFrame_->show();
    return true;
}

bool CDoxKQRunner::RegisterRunnerWindowClass()
{
    if (plat::FindWindowClass(L"RunnerWindowClass")) return true;
    plat::WindowClass windowClass;
    windowClass.name = L"RunnerWindowClass";
    windowClass.style = plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDblClks;
    windowClass.cursor = plat::ClassCursor::Arrow;
    plat::RegisterWindowClass(windowClass);
    return true;
}

int CDoxKQRunner::ExitInstance()
{
    DumpCfg();
    Brindle::Finalize();
    return UIWinApp::ExitInstance();
}

bool CDoxKQRunner::ReadSettings(TiXmlElementP root)
{
    return ReadPrinterSetting(root, &defaultPrinter_);
}

void CDoxKQRunner::WriteSettings(TiXmlElementP root)
{
    root.InsertEndChild("defaultprinter").SetAttribute("value", defaultPrinter_);
}

int CDoxKQRunner::OpenFile(const std::wstring& path)
{
    if (!mainFrame_) return 0;
    return mainFrame_->DocFrame()->OpenTemplate(path) ? 1 : 0;
}

void CDoxKQRunner::OnAppAbout()
{
    CAboutDlg about(QApplication::activeWindow());
    about.exec();
}

int RunDoxKQRunner(CDoxKQRunner& app)
{
    if (!app.InitInstance()) return 1;
    QApplication::exec();
    return app.ExitInstance();
}
