#include "UIWinApp.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{

// An application object as the programs make it: one setting, "defaultprinter", and an
// open hook that accepts the paths it is told to.
class TestApp : public UIWinApp
{
public:
    std::wstring defaultPrinter;
    int readCalls = 0;
    std::vector<std::wstring> opened;
    std::vector<std::wstring> openable;

protected:
    bool ReadSettings(TiXmlElementP root) override
    {
        ++readCalls;
        TiXmlElementP e = root.FirstChildElement("defaultprinter");
        if (!e) return false;
        return e.Attribute("value", &defaultPrinter);
    }
    void WriteSettings(TiXmlElementP root) override
    {
        root.InsertEndChild("defaultprinter").SetAttribute("value", defaultPrinter);
    }
    int OpenFile(const std::wstring& path) override
    {
        opened.push_back(path);
        return std::find(openable.begin(), openable.end(), path) != openable.end();
    }
};

// The programs' own reading of their printer setting.
class PrinterApp : public TestApp
{
protected:
    bool ReadSettings(TiXmlElementP root) override { return ReadPrinterSetting(root, &defaultPrinter); }
};

class AppConfig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::setApplicationName(QStringLiteral("VududiruraTest"));
    }
    void TearDown() override { QCoreApplication::setApplicationName(QString()); }

    fs::path ConfigFile() const { return home.path() / "config" / "VududiruraTest" / "config.xml"; }

    doxtest::TempDir home;
    doxtest::ScopedEnv config{"XDG_CONFIG_HOME", (home.path() / "config").string()};
    doxtest::ScopedEnv data{"XDG_DATA_HOME", (home.path() / "data").string()};
};

// The private libraries are looked for where this library lies, not beside the
// program: installed, the programs are in bin/ and the libraries in lib/dox/. This test
// program lies in tests/, the libraries in bin/, so the two folders differ here too.
TEST_F(AppConfig, LibrariesAreLookedForBesideTheFrameLibrary)
{
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    const fs::path self = fs::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(fs::path(app.AppDirectory()), self);
    EXPECT_EQ(fs::canonical(fs::path(app.LibraryDirectory())), fs::canonical(doxtest::BinDir()));
    EXPECT_TRUE(fs::exists(fs::path(app.LibraryDirectory()) / "libVududirura.so"));
}

TEST_F(AppConfig, SettingsRecentFilesAndPlacementRoundTrip)
{
    {
        TestApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(app.DataDirectory(), QString::fromStdString((home.path() / "data" / "VududiruraTest").string()).toStdWString());
        EXPECT_TRUE(fs::is_directory(home.path() / "data" / "VududiruraTest"));
        app.SetupRecentFileList(4);
        EXPECT_FALSE(app.LoadCfg()); // first start: no file, defaults
        EXPECT_EQ(app.readCalls, 0);
        for (const wchar_t* p : {L"/t/1.dxt", L"/t/2.dxt", L"/t/3.dxt", L"/t/1.dxt", L"/t/票据 4.dxt", L"/t/5.dxt"})
            app.AddToRecentFileList(p);
        app.defaultPrinter = L"打印机 \"A\" <&>";
        app.SetPlacement(QByteArray("\x01\x02geometry", 10));
        ASSERT_TRUE(app.DumpCfg());
    }
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    app.SetupRecentFileList(4);
    ASSERT_TRUE(app.LoadCfg());
    EXPECT_EQ(app.defaultPrinter, L"打印机 \"A\" <&>");
    const std::vector<std::wstring> expected = {L"/t/5.dxt", L"/t/票据 4.dxt", L"/t/1.dxt", L"/t/3.dxt"};
    ASSERT_EQ(app.GetRecentFileCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(app.GetRecentFile(i), expected[static_cast<size_t>(i)]);
    EXPECT_EQ(app.Placement(), QByteArray("\x01\x02geometry", 10));

    // A list kept with 16 entries is cut to what this program keeps.
    TestApp small;
    ASSERT_TRUE(small.InitInstance());
    small.SetupRecentFileList(2);
    ASSERT_TRUE(small.LoadCfg());
    EXPECT_EQ(small.GetRecentFileCount(), 2);
}

TEST_F(AppConfig, MissingOrDamagedConfigurationGivesTheDefaults)
{
    const std::string damaged[] = {
        "",
        "not xml at all",
        "<config><recentfiles><file path=\"/t/a.dxt\"/>", // cut off
        "<?xml version=\"1.0\"?><other><defaultprinter value=\"P\"/></other>",
        "<config><recentfiles><file path=\"/a\"></recentfiles></config>", // tags crossed
    };
    for (const std::string& text : damaged) {
        SCOPED_TRACE(text);
        fs::create_directories(ConfigFile().parent_path());
        ASSERT_TRUE(doxtest::WriteFileBytes(ConfigFile(), text));
        TestApp app;
        ASSERT_TRUE(app.InitInstance());
        app.SetupRecentFileList(4);
        EXPECT_FALSE(app.LoadCfg());
        EXPECT_EQ(app.readCalls, 0);
        EXPECT_EQ(app.GetRecentFileCount(), 0);
        EXPECT_EQ(app.defaultPrinter, L"");
        // The next write replaces the damaged file with a sound one.
        ASSERT_TRUE(app.DumpCfg());
        TestApp again;
        ASSERT_TRUE(again.InitInstance());
        EXPECT_TRUE(again.LoadCfg());
    }
}

TEST_F(AppConfig, WithoutDefaultPrinterTheSettingStaysAndIsWrittenEmpty)
{
    fs::create_directories(ConfigFile().parent_path());
    ASSERT_TRUE(doxtest::WriteFileBytes(ConfigFile(), "<config><recentfiles/></config>"));
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    app.defaultPrinter = L"kept";
    EXPECT_TRUE(app.LoadCfg());
    EXPECT_EQ(app.readCalls, 1);
    EXPECT_EQ(app.defaultPrinter, L"kept");
    app.defaultPrinter.clear();
    ASSERT_TRUE(app.DumpCfg());
    EXPECT_NE(doxtest::ReadFileBytes(ConfigFile()).find("<defaultprinter value=\"\"/>"), std::string::npos);
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(ConfigFile().parent_path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(AppConfig, WhatIsReadIsBoundedAndAPrinterNoPrinterHasIsDropped)
{
    fs::create_directories(ConfigFile().parent_path());
    const std::string longPath = "/t/" + std::string(5000, 'a') + ".dxt";
    struct Case {
        const char* name;
        std::string printer;
        std::wstring kept;
    };
    const Case cases[] = {
        {"the PDF printer", "PDF", L"PDF"},
        {"a printer taken away", "已删除的打印机", L""},
        {"a 100 kB name", std::string(100000, 'P'), L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = "<config><recentfiles><file path=\"" + longPath + "\"/><file path=\"/t/票据.dxt\"/>"
                                 "</recentfiles><placement value=\"" + std::string(5000, 'A') + "\"/>"
                                 "<defaultprinter value=\"" + c.printer + "\"/></config>";
        ASSERT_TRUE(doxtest::WriteFileBytes(ConfigFile(), text));
        PrinterApp app;
        ASSERT_TRUE(app.InitInstance());
        ASSERT_TRUE(app.LoadCfg());
        EXPECT_EQ(app.defaultPrinter, c.kept);
        ASSERT_EQ(app.GetRecentFileCount(), 1);
        EXPECT_EQ(app.GetRecentFile(0), L"/t/票据.dxt");
        EXPECT_TRUE(app.Placement().isEmpty());
        ASSERT_TRUE(app.DumpCfg());
        EXPECT_LT(fs::file_size(ConfigFile()), 1000u);
    }

    // A file beyond any configuration's size is not read at all.
    ASSERT_TRUE(doxtest::WriteFileBytes(ConfigFile(), "<config><!--" + std::string(2u << 20, ' ') + "--></config>"));
    PrinterApp big;
    ASSERT_TRUE(big.InitInstance());
    EXPECT_FALSE(big.LoadCfg());
}

TEST_F(AppConfig, AConfigurationThatIsNoRegularFileIsNotReadAndDoesNotBlock)
{
    fs::create_directories(ConfigFile().parent_path());
    ASSERT_EQ(::mkfifo(ConfigFile().c_str(), 0600), 0);
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    auto loading = std::async(std::launch::async, [&] { return app.LoadCfg(); });
    if (loading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "reading a FIFO blocks the start";
        // A writer that comes and goes lets the blocked reader see the end.
        const int writer = ::open(ConfigFile().c_str(), O_WRONLY);
        if (writer >= 0) ::close(writer);
    }
    EXPECT_FALSE(loading.get());
    EXPECT_EQ(app.readCalls, 0);
    fs::remove(ConfigFile());
    fs::create_directory(ConfigFile());
    EXPECT_FALSE(app.LoadCfg());
}

TEST_F(AppConfig, QtsOwnTextsAreChineseWhileTheApplicationLives)
{
    const QString english = QStringLiteral("Cancel");
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_zh_CN.qm")))
        GTEST_SKIP() << "Qt's translations are not installed";
    {
        TestApp app;
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), english);
}

TEST_F(AppConfig, RecentFileCommandsOpenMoveAndDrop)
{
    TestApp app;
    ASSERT_TRUE(app.InitInstance());
    app.SetupRecentFileList(4);
    for (const wchar_t* p : {L"/lib/c.dxt", L"/lib/sub/b.dxt", L"/other/a.dxt"}) app.AddToRecentFileList(p);
    // Newest first: a, b, c.
    EXPECT_EQ(app.GetRecentDisplayName(0, L"/lib/"), L"/other/a.dxt");
    EXPECT_EQ(app.GetRecentDisplayName(1, L"/lib\\"), L"sub/b.dxt");
    EXPECT_EQ(app.GetRecentDisplayName(2, L"/lib"), L"c.dxt");
    EXPECT_EQ(app.GetRecentDisplayName(3, L"/lib"), L"");

    app.openable = {L"/lib/c.dxt"};
    EXPECT_TRUE(app.OpenRecentFileByID(ID_FILE_MRU_FILE1 + 2)); // c opens and comes first
    EXPECT_EQ(app.GetRecentFile(0), L"/lib/c.dxt");
    EXPECT_FALSE(app.OpenRecentFileByID(ID_FILE_MRU_FILE1 + 1)); // a fails and is dropped
    EXPECT_EQ(app.opened, (std::vector<std::wstring>{L"/lib/c.dxt", L"/other/a.dxt"}));
    EXPECT_EQ(app.GetRecentFileCount(), 2);
    EXPECT_EQ(app.GetRecentFile(1), L"/lib/sub/b.dxt");
    EXPECT_FALSE(app.OpenRecentFileByID(ID_FILE_MRU_FILE1 + 5)); // no such entry
    EXPECT_FALSE(app.OpenRecentFileByID(100));
    EXPECT_EQ(app.opened.size(), 2u);
}

} // namespace
