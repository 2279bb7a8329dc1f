#include "CDoxKQRunner.h"

#include "BackupRestore.h"
#include "Brindle.h"
#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "ProgramFolders.h"
#include "RunnerFiles.h"
#include "RunnerPictures.h"
#include "TemplateLibrary.h"
#include "UIUitl.h"
#include "WindowClass.h"

#include <QDir>

namespace
{

CDoxKQRunner* g_app = nullptr;

} // namespace

CDoxKQRunner::CDoxKQRunner(std::wstring appDirectory)
    : CDoxApp(std::move(appDirectory), {L"禾页票据打印器", runner::ProgramIcon(), 4, 1007})
{
    g_app = this;
}

CDoxKQRunner::~CDoxKQRunner()
{
    // The windows hold objects of the core: they go before the base releases it.
    mainFrame_.reset();
    if (g_app == this) g_app = nullptr;
}

CDoxKQRunner* CDoxKQRunner::App() { return g_app; }

const wchar_t* CDoxKQRunner::GetDataDirectory() { return dataDirectory_.c_str(); }

std::wstring CDoxKQRunner::InstalledTemplates() const { return runner::InstalledTemplateFolder(appDirectory_); }

std::wstring CDoxKQRunner::DesignerPath() const { return runner::JoinPath(appDirectory_, L"DoxDesigner"); }

bool CDoxKQRunner::StartUp()
{
    // The data folder is the one the designer looks in for the template library,
    // whatever name the program runs under.
    dataDirectory_ = PrintingProgramDataFolder();
    if (!QDir().mkpath(QString::fromStdWString(dataDirectory_))) return false;
    // A restore that was killed part-way is finished or undone before anything reads
    // the library or the database.
    BackupRestore::Recover(GetDataDirectory());
    if (!runner::CopyTemplateLibrary(InstalledTemplates(), LibraryFolder()))
        UIUitl::MessageBoxW(64, L"初始化本地模板库失败!");
    if (!RegisterRunnerWindowClass()) {
        UIUitl::MessageBoxW(16, L"注册窗口失败!");
        return false;
    }
    if (!Brindle::Initialize(nullptr)) {
        UIUitl::MessageBoxW(16, L"初始化Brindle组件失败!");
        return false;
    }
    if (!LoadModules(this)) return false;
    mainFrame_ = std::make_unique<CMainFrame>();
    if (!mainFrame_->LoadFrame()) {
        mainFrame_.reset();
        return false;
    }
    if (const auto path = CommandLineTemplate()) mainFrame_->DocFrame()->OpenTemplate(*path);
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
    const int status = CDoxApp::ExitInstance();
    Brindle::Finalize();
    return status;
}

int CDoxKQRunner::OpenFile(const std::wstring& path)
{
    if (!mainFrame_) return 0;
    return mainFrame_->DocFrame()->OpenTemplate(path) ? 1 : 0;
}

int RunDoxKQRunner(CDoxKQRunner& app) { return RunDoxApp(app); }
