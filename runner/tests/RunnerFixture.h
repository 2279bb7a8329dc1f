#pragma once
// The printing program started in-process on an installation of its own: a folder
// with links to this build's core and plug-in (or without one of them), the sample
// library of this build beside it, and the user's data and configuration folders in a
// scratch folder. Message boxes and file dialogs are scripted.

#include "CDoxKQRunner.h"
#include "Prompter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CHomePageWnd;
class CHomeSidebar;
class CHomeView;
class CDoxFrame;

namespace runnertest
{

namespace fs = std::filesystem;

std::wstring W(const fs::path& path);
fs::path P(const std::wstring& path);

struct InstallOptions {
    bool core = true;
    bool plugIn = true;
    bool samples = true;
};

class RunnerTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the installation folder (once per test).
    void Install(const InstallOptions& options = {});
    // A new application object started on the installation; false when start-up failed.
    bool Start(const QStringList& arguments = {});
    // ExitInstance and the end of the application object.
    int Stop();

    fs::path AppDir() const { return dir / "inst" / "bin"; }
    fs::path DataDir() const { return dir / "home" / "data" / "DoxKQRunner"; }
    fs::path Library() const { return DataDir() / "templates"; }
    fs::path ConfigFile() const { return dir / "home" / "config" / "DoxKQRunnerTest" / "config.xml"; }
    // A shipped sample by file name.
    static fs::path Sample(const std::string& name);

    CDoxFrame* Frame() const;
    CHomePageWnd* Home() const;
    CHomeSidebar* Sidebar() const;
    CHomeView* View() const;
    // Clicks the middle of a list row.
    void ClickRow(QWidget* list, int index, bool twice = false);
    // The side bar's command row with the label.
    void ClickCommand(const wchar_t* label);
    int ViewIndexOf(const std::wstring& title) const;
    std::vector<std::wstring> ViewTitles() const;
    // The texts of the message boxes shown so far.
    std::vector<std::wstring> Messages() const;

    doxtest::TempDir dir;
    dox::platform::ScriptedPrompter prompter;
    std::unique_ptr<dox::platform::ScopedPrompter> scope;
    std::unique_ptr<doxtest::ScopedEnv> dataHome;
    std::unique_ptr<doxtest::ScopedEnv> configHome;
    std::unique_ptr<CDoxKQRunner> app;
    int status = 0;
};

// Runs steps on the modal dialogs that come up while the code under test waits in them.
class ModalSteps
{
public:
    using Step = std::function<void(QWidget*)>;
    explicit ModalSteps(std::vector<Step> steps);
    ~ModalSteps();
    bool Done() const { return steps_.empty(); }

private:
    void Poll();
    std::vector<Step> steps_;
    QPointer<QWidget> last_;
    class QTimer* timer_;
};

template <class T> T* Child(QWidget* parent, int id) { return parent->findChild<T*>(QString::number(id)); }

} // namespace runnertest
