#include "CDoxDesigner.h"

#include "Brindle.h"
#include "CDesignDoc.h"
#include "CMainFrame.h"
#include "DesignerPictures.h"
#include "UIUitl.h"

#include <QDir>

namespace
{

CDoxDesigner* g_app = nullptr;

} // namespace

CDoxDesigner::CDoxDesigner(std::wstring appDirectory)
    : CDoxApp(std::move(appDirectory), {kDesignerTitle, DesignerPictures::ProgramIcon(), 16, 1030})
{
    g_app = this;
}

CDoxDesigner::~CDoxDesigner()
{
    // The windows hold objects of the core: they go before the base releases it.
    mainFrame_.reset();
    if (g_app == this) g_app = nullptr;
}

CDoxDesigner* CDoxDesigner::App() { return g_app; }

bool CDoxDesigner::StartUp()
{
    // New templates are proposed where the clerk's printing program finds them, made
    // here when the designer runs before that program ever did.
    const std::wstring library = LibraryFolder();
    if (QDir().mkpath(QString::fromStdWString(library))) SetCurrentPath(library);
    // A widget library that cannot start ends the program without a word.
    if (!Brindle::Initialize(nullptr)) return false;
    if (!LoadModules(nullptr)) return false;
    mainFrame_ = std::make_unique<CMainFrame>();
    if (!mainFrame_->LoadFrame(Core())) {
        mainFrame_.reset();
        UIUitl::MessageBoxW(16, L"加载主框架窗口失败。请确认软件是否正确安装。");
        return false;
    }
    if (const auto path = CommandLineTemplate()) {
        mainFrame_->ShowDesignPage();
        mainFrame_->Document()->OpenByPath(*path);
    } else {
        mainFrame_->ShowHomePage();
    }
    mainFrame_->showMaximized();
    mainFrame_->update();
    return true;
}

int CDoxDesigner::OpenFile(const std::wstring& path)
{
    if (!mainFrame_) return 0;
    return mainFrame_->Document()->OpenByPath(path);
}

int RunDoxDesigner(CDoxDesigner& app) { return RunDoxApp(app); }
