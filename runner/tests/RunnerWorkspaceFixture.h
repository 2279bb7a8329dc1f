#pragma once
// The printing program started in-process with the workspace of the real program (the
// test links it), on a copy of a shipped sample in the test's folder.

#include "RunnerFixture.h"
#include "RunnerWorkspace.h"
#include "WorkspaceViews.h"

namespace runnertest
{

class RunnerWorkspaceTest : public RunnerTest
{
protected:
    void TearDown() override
    {
        RunnerTest::TearDown();
        SetRunnerWorkspaceFactory(nullptr);
    }
    // Installs the program with the real workspace and copies the sample beside it;
    // the copy's path.
    fs::path InstallWithCopyOf(const std::string& sample)
    {
        Install();
        SetRunnerWorkspaceFactory(&CreateRunnerWorkspace);
        const fs::path copy = dir / fs::u8path(sample);
        fs::copy_file(Sample(sample), copy);
        return copy;
    }
    // Starts the program on a copy of the sample given on its command line; its main
    // frame, or null when it did not start.
    QWidget* StartOnCopyOf(const std::string& sample)
    {
        const fs::path copy = InstallWithCopyOf(sample);
        return Start({QString::fromStdString(copy.string())}) ? app->MainFrame() : nullptr;
    }
    static CMainClient* Workspace(QWidget* frame)
    {
        for (QWidget* child : frame->findChildren<QWidget*>())
            if (auto* client = dynamic_cast<CMainClient*>(child))
                return client;
        return nullptr;
    }
};

} // namespace runnertest
