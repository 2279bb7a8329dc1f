#include "RunnerFixture.h"

#include "CDoxFrame.h"
#include "CHomePageWnd.h"
#include "CHomeSidebar.h"
#include "CHomeView.h"
#include "CMainFrame.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

namespace runnertest
{

std::wstring W(const fs::path& path) { return QString::fromStdString(path.string()).toStdWString(); }
fs::path P(const std::wstring& path) { return fs::path(QString::fromStdWString(path).toStdString()); }

void RunnerTest::SetUp()
{
    QCoreApplication::setApplicationName(QStringLiteral("DoxKQRunnerTest"));
    dataHome = std::make_unique<doxtest::ScopedEnv>("XDG_DATA_HOME", (dir / "home" / "data").string());
    configHome = std::make_unique<doxtest::ScopedEnv>("XDG_CONFIG_HOME", (dir / "home" / "config").string());
    scope = std::make_unique<dox::platform::ScopedPrompter>(&prompter);
}

void RunnerTest::TearDown()
{
    if (app) Stop();
    scope.reset();
    configHome.reset();
    dataHome.reset();
    QCoreApplication::setApplicationName(QString());
}

fs::path RunnerTest::Sample(const std::string& name)
{
    return doxtest::BinDir() / ".." / "share" / "DoxKQRunner" / "templates" / fs::u8path(name);
}

void RunnerTest::Install(const InstallOptions& options)
{
    fs::create_directories(AppDir());
    for (const fs::directory_entry& entry : fs::directory_iterator(doxtest::BinDir())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("lib", 0) != 0 || name.find(".so") == std::string::npos) continue;
        if (!options.core && name == "libDoxCore.so") continue;
        if (!options.plugIn && name == "libDoxKQPlus.so") continue;
        fs::create_symlink(entry.path(), AppDir() / name);
    }
    if (options.samples) {
        const fs::path shipped = dir / "inst" / "share" / "DoxKQRunner" / "templates";
        fs::create_directories(shipped);
        for (const fs::directory_entry& entry : fs::directory_iterator(Sample("version.vvc").parent_path()))
            fs::copy_file(entry.path(), shipped / entry.path().filename());
    }
}

bool RunnerTest::Start(const QStringList& arguments)
{
    app = std::make_unique<CDoxKQRunner>(W(AppDir()));
    app->SetCommandLine(arguments);
    if (app->InitInstance()) return true;
    status = 1;
    app.reset();
    return false;
}

int RunnerTest::Stop()
{
    if (CMainFrame* frame = app->MainFrame()) frame->close();
    status = app->ExitInstance();
    app.reset();
    return status;
}

CDoxFrame* RunnerTest::Frame() const { return app->MainFrame()->DocFrame(); }
CHomePageWnd* RunnerTest::Home() const { return Frame()->HomePage(); }
CHomeSidebar* RunnerTest::Sidebar() const { return Home()->Sidebar(); }
CHomeView* RunnerTest::View() const { return Home()->View(); }

void RunnerTest::ClickRow(QWidget* list, int index, bool twice)
{
    RECT r;
    ASSERT_TRUE(static_cast<MyList*>(list)->GetItemRect(index, &r)) << "row " << index << " is not in view";
    const QPoint middle((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    if (twice)
        QTest::mouseDClick(list, Qt::LeftButton, {}, middle);
    else
        QTest::mouseClick(list, Qt::LeftButton, {}, middle);
}

void RunnerTest::ClickCommand(const wchar_t* label)
{
    for (int i = 0; i < Sidebar()->GetCount(); ++i)
        if (auto* row = dynamic_cast<CHomeSidebarCommand*>(Sidebar()->GetItem(i)); row && std::wstring(row->Label()) == label) {
            ClickRow(Sidebar(), i);
            return;
        }
    ADD_FAILURE() << "no command row " << QString::fromWCharArray(label).toStdString();
}

int RunnerTest::ViewIndexOf(const std::wstring& title) const
{
    for (int i = 0; i < View()->GetCount(); ++i)
        if (View()->Item(i)->Title() == title) return i;
    return -1;
}

std::vector<std::wstring> RunnerTest::ViewTitles() const
{
    std::vector<std::wstring> titles;
    for (int i = 0; i < View()->GetCount(); ++i) titles.push_back(View()->Item(i)->Title());
    std::sort(titles.begin(), titles.end());
    return titles;
}

std::vector<std::wstring> RunnerTest::Messages() const
{
    std::vector<std::wstring> texts;
    for (const auto& message : prompter.messages) texts.push_back(message.text);
    return texts;
}

ModalSteps::ModalSteps(std::vector<Step> steps) : steps_(std::move(steps)), timer_(new QTimer)
{
    timer_->setInterval(20);
    QObject::connect(timer_, &QTimer::timeout, [this] { Poll(); });
    timer_->start();
}

ModalSteps::~ModalSteps() { delete timer_; }

void ModalSteps::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_ || steps_.empty()) return;
    last_ = modal;
    Step step = steps_.front();
    steps_.erase(steps_.begin());
    step(modal);
}

} // namespace runnertest
