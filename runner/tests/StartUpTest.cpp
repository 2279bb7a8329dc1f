// Start-up and shutdown of the printing program: the library copy on a fresh data
// folder, the libraries it cannot do without, the configuration kept across starts,
// and the command line.

#include "CDoxFrame.h"
#include "CMainFrame.h"
#include "RunnerFixture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace runnertest
{
namespace
{

using StartUp = RunnerTest;

const char* const kSamples[] = {"转账支票.dxt", "银行进账单.dxt", "费用报销单.dxt", "支付密码支票.dxt"};

TEST_F(StartUp, FirstStartCopiesTheSamplesAndTheSecondCopiesNothing)
{
    Install();
    ASSERT_FALSE(fs::exists(DataDir()));
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Messages().empty());
    for (const char* name : kSamples) {
        SCOPED_TRACE(name);
        EXPECT_EQ(doxtest::ReadFileBytes(Library() / fs::u8path(name)), doxtest::ReadFileBytes(Sample(name)));
    }
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / "version.vvc"), doxtest::ReadFileBytes(Sample("version.vvc")));
    EXPECT_EQ(Stop(), 0);

    // The clerk deleted one and changed another: the same version brings neither back.
    fs::remove(Library() / fs::u8path(kSamples[0]));
    ASSERT_TRUE(doxtest::WriteFileBytes(Library() / fs::u8path(kSamples[1]), "DOXDOT! changed by the clerk"));
    ASSERT_TRUE(Start());
    EXPECT_FALSE(fs::exists(Library() / fs::u8path(kSamples[0])));
    EXPECT_EQ(doxtest::ReadFileBytes(Library() / fs::u8path(kSamples[1])), "DOXDOT! changed by the clerk");
}

TEST_F(StartUp, ARestoreKilledPartWayIsUndoneBeforeTheLibraryIsRead)
{
    Install();
    ASSERT_TRUE(Start());
    EXPECT_EQ(Stop(), 0);
    // A restore was killed after it had put the first of two templates in place: the
    // old one waits in its staging folder, the second new one was not moved yet.
    const fs::path staging = DataDir() / ".cabstage-Kill01";
    fs::create_directories(staging);
    const fs::path first = Library() / fs::u8path(kSamples[0]);
    const std::string old = doxtest::ReadFileBytes(first);
    fs::create_hard_link(first, staging / "o0");
    fs::remove(first);
    ASSERT_TRUE(doxtest::WriteFileBytes(first, "DOXDOT! the restored one"));
    ASSERT_TRUE(doxtest::WriteFileBytes(staging / "f1", "DOXDOT! not moved yet"));
    ASSERT_TRUE(doxtest::WriteFileBytes(DataDir() / ".cabjournal",
                                        "cabinet swap 1\nstaging .cabstage-Kill01\nput f0 o0 templates/" +
                                            std::string(kSamples[0]) + "\nput f1 - templates/新.dxt\nend\n"));

    ASSERT_TRUE(Start());
    EXPECT_EQ(doxtest::ReadFileBytes(first), old);
    EXPECT_FALSE(fs::exists(Library() / fs::u8path("新.dxt")));
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_FALSE(fs::exists(DataDir() / ".cabjournal"));
}

TEST_F(StartUp, AMissingLibraryShowsItsMessageAndEndsWithAnError)
{
    struct Case {
        InstallOptions install;
        const wchar_t* message;
    };
    const Case cases[] = {
        {{false, true, true}, L"加载DoxCore失败。请确认软件是否正确安装。"},
        {{true, false, true}, L"加载KQ支持插件失败。请确认软件是否正确安装。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.message).toStdString());
        fs::remove_all(dir / "inst");
        prompter.messages.clear();
        Install(c.install);
        CDoxKQRunner runner(W(AppDir()));
        EXPECT_EQ(RunDoxKQRunner(runner), 1);
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, c.message);
        EXPECT_EQ(prompter.messages[0].type, 16u);
        EXPECT_EQ(runner.MainFrame(), nullptr);
    }
}

TEST_F(StartUp, TheDefaultPrinterIsWrittenAtExitAndReadAtTheNextStart)
{
    Install();
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->DefaultPrinter(), L"");
    Stop();
    // A configuration without the printer gets one with an empty value.
    EXPECT_NE(doxtest::ReadFileBytes(ConfigFile()).find("<defaultprinter value=\"\"/>"), std::string::npos);

    ASSERT_TRUE(Start());
    app->SetDefaultPrinter(L"PDF");
    Stop();
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->DefaultPrinter(), L"PDF");
    // A printer that has gone since is forgotten, not offered again.
    app->SetDefaultPrinter(L"财务室 打印机");
    Stop();
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->DefaultPrinter(), L"");
}

TEST_F(StartUp, TheCommandLineOpensItsTemplate)
{
    Install();
    const fs::path cheque = dir / "柜员 文件" / "转账支票.dxt";
    fs::create_directories(cheque.parent_path());
    fs::copy_file(Sample("转账支票.dxt"), cheque);
    ASSERT_TRUE(Start({QString::fromStdString(cheque.string())}));
    EXPECT_FALSE(Frame()->IsHomePageShown());
    EXPECT_TRUE(app->MainFrame()->windowTitle().startsWith(QStringLiteral("转账支票.dxt")));
    Stop();

    // A switch is a file name too: "-x" names the file x, which is no template.
    ASSERT_TRUE(Start({QStringLiteral("-x")}));
    EXPECT_TRUE(Frame()->IsHomePageShown());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind(L"打开失败! ", 0), 0u);
}

// A name on the command line that is a FIFO or a folder is refused at once, with its
// name and what it is, and the program goes on to its home page.
TEST_F(StartUp, ACommandLineNameThatIsNoFileIsRefusedAtOnce)
{
    Install();
    const fs::path pipe = dir / "管道.dxt";
    const fs::path folder = dir / "文件夹.dxt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
    fs::create_directory(folder);
    const struct {
        fs::path path;
        const wchar_t* kind;
    } cases[] = {{pipe, L"命名管道"}, {folder, L"文件夹"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.string());
        prompter.messages.clear();
        // A hang fails the test instead of stalling the run.
        alarm(30);
        const bool started = Start({QString::fromStdString(c.path.string())});
        alarm(0);
        ASSERT_TRUE(started);
        EXPECT_TRUE(Frame()->IsHomePageShown());
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], L"打开失败! “" + W(c.path) + L"”不是模板文件，而是" + c.kind + L"。");
        Stop();
    }
}

} // namespace
} // namespace runnertest
