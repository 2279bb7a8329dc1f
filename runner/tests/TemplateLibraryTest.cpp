// The copy of the shipped template library into the user's and the version file that
// decides it.

#include "TemplateLibrary.h"
#include "TestSupport.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace
{

std::wstring W(const fs::path& path) { return QString::fromStdString(path.string()).toStdWString(); }

// A template file as the library check sees one: the container's magic and some bytes.
std::string TemplateBytes(const std::string& tag) { return "DOXDOT!" + std::string(20, '\0') + tag; }

class LibraryCopy : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(source);
        ASSERT_TRUE(doxtest::WriteFileBytes(source / "支票.dxt", TemplateBytes("new cheque")));
        ASSERT_TRUE(doxtest::WriteFileBytes(source / "VOUCHER.DXT", TemplateBytes("new voucher")));
        ASSERT_TRUE(doxtest::WriteFileBytes(source / "readme.txt", "not a template"));
        fs::create_directories(source / "对公");
        ASSERT_TRUE(doxtest::WriteFileBytes(source / "对公" / "inner.dxt", TemplateBytes("inner")));
    }

    bool Copy() { return runner::CopyTemplateLibrary(W(source), W(target)); }

    doxtest::TempDir dir;
    fs::path source = dir / "share" / "templates";
    fs::path target = dir / "data" / "templates";
};

TEST_F(LibraryCopy, FirstCopyTakesTheTopLevelTemplatesAndTheVersion)
{
    ASSERT_TRUE(doxtest::WriteFileBytes(source / "version.vvc", "7"));
    fs::create_directories(dir / "data");
    ASSERT_TRUE(Copy());
    EXPECT_EQ(doxtest::ReadFileBytes(target / "支票.dxt"), TemplateBytes("new cheque"));
    EXPECT_EQ(doxtest::ReadFileBytes(target / "VOUCHER.DXT"), TemplateBytes("new voucher"));
    EXPECT_FALSE(fs::exists(target / "readme.txt"));
    EXPECT_FALSE(fs::exists(target / "对公")) << "category folders are the user's";
    EXPECT_EQ(doxtest::ReadFileBytes(target / "version.vvc"), "7");

    // The second start finds the same version and copies nothing.
    fs::remove(target / "支票.dxt");
    ASSERT_TRUE(Copy());
    EXPECT_FALSE(fs::exists(target / "支票.dxt"));
}

TEST_F(LibraryCopy, VersionsDecideWhetherTheLibraryIsCopied)
{
    struct Case {
        const char* name;
        const char* installed; // null: no version file
        const char* user;
        bool copies;
    };
    const Case cases[] = {
        {"equal", "12", "12", false},
        {"digits then letters read as their digits", "12", "12abc", false},
        {"no file on either side reads as 0", nullptr, nullptr, false},
        {"no digits read as 0", "abc", nullptr, false},
        {"a raised version copies", "13", "12", true},
        {"a lowered version copies too", "3", "12", true},
        {"only the first 15 bytes count", "000000000000000123", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir / "data");
        fs::create_directories(target);
        fs::remove(source / "version.vvc");
        if (c.installed) {
            ASSERT_TRUE(doxtest::WriteFileBytes(source / "version.vvc", c.installed));
        }
        if (c.user) {
            ASSERT_TRUE(doxtest::WriteFileBytes(target / "version.vvc", c.user));
        }
        ASSERT_TRUE(doxtest::WriteFileBytes(target / "支票.dxt", TemplateBytes("user's own")));
        ASSERT_TRUE(doxtest::WriteFileBytes(target / "mine.dxt", TemplateBytes("mine")));
        ASSERT_TRUE(Copy());
        EXPECT_EQ(doxtest::ReadFileBytes(target / "支票.dxt"), TemplateBytes(c.copies ? "new cheque" : "user's own"));
        EXPECT_EQ(doxtest::ReadFileBytes(target / "mine.dxt"), TemplateBytes("mine"));
        if (c.copies) {
            EXPECT_EQ(doxtest::ReadFileBytes(target / "version.vvc"), c.installed);
        }
    }
}

TEST_F(LibraryCopy, AFailedCopyLeavesTheVersionSoTheNextStartTriesAgain)
{
    ASSERT_TRUE(doxtest::WriteFileBytes(source / "version.vvc", "2"));
    fs::create_directories(target);
    ASSERT_TRUE(doxtest::WriteFileBytes(target / "version.vvc", "1"));
    // A folder where the voucher should go: its copy cannot replace it.
    fs::create_directories(target / "VOUCHER.DXT");
    EXPECT_FALSE(Copy());
    EXPECT_EQ(doxtest::ReadFileBytes(target / "version.vvc"), "1");
    EXPECT_EQ(doxtest::ReadFileBytes(target / "支票.dxt"), TemplateBytes("new cheque"));

    fs::remove(target / "VOUCHER.DXT");
    EXPECT_TRUE(Copy());
    EXPECT_EQ(doxtest::ReadFileBytes(target / "VOUCHER.DXT"), TemplateBytes("new voucher"));
    EXPECT_EQ(doxtest::ReadFileBytes(target / "version.vvc"), "2");
}

TEST_F(LibraryCopy, ALibraryFolderThatCannotBeMadeFails)
{
    // The data folder itself is missing: the library folder is made without parents.
    EXPECT_FALSE(Copy());
    EXPECT_FALSE(fs::exists(target));
}

} // namespace
