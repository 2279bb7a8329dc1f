// The platform base: loading libraries by name, the window-class table, the
// clipboard format table, system error texts, byte streams, capability flags and the
// heap room a print job keeps for its pages.

#include "ByteStream.h"
#include "Capabilities.h"
#include "ClipboardFormat.h"
#include "Heap.h"
#include "Library.h"
#include "PathText.h"
#include "SystemError.h"
#include "TestSupport.h"
#include "WindowClass.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <vector>

namespace
{

void LocalFunction() {}

} // namespace

TEST(PlatformLibrary, NamesMapToFilesOfTheApplicationDirectory)
{
    struct Case {
        const char* name;
        const char* file;
    } cases[] = {
        {"DoxCore", "libDoxCore.so"},         {"DoxCore.DLL", "libDoxCore.so"},
        {"DoxKQPlus.dll", "libDoxKQPlus.so"}, {"libDoxCore.so", "libDoxCore.so"},
        {"msimg32.dll", "libmsimg32.so"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plat::LibraryFileName(c.name), c.file) << c.name;

    // The tests run from their own folder; the binaries they load live in bin/.
    std::string self = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(plat::ApplicationDirectory(), self);
    EXPECT_EQ(plat::ModuleDirectory(reinterpret_cast<const void*>(&LocalFunction)), self);
}

TEST(PlatformLibrary, LoadsAndBindsByName)
{
    std::string bin = doxtest::BinDir().string();
    plat::LibraryHandle core = plat::LoadLibraryFrom(bin, "DoxCore.DLL");
    ASSERT_NE(core, nullptr) << plat::LastLibraryError();
    void* create = plat::GetLibraryExport(core, "CreateModule");
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(plat::ModuleDirectory(create), std::filesystem::canonical(bin).string());
    // Only the factory is visible from outside.
    EXPECT_EQ(plat::GetLibraryExport(core, "_ZN7DoxCore4InitEl"), nullptr);
    EXPECT_FALSE(plat::LastLibraryError().empty());
    plat::FreeLibrary(core);

    EXPECT_EQ(plat::LoadLibraryFrom(bin, "NoSuchLibrary.dll"), nullptr);
    EXPECT_NE(plat::LastLibraryError().find("libNoSuchLibrary.so"), std::string::npos);
    EXPECT_EQ(plat::GetLibraryExport(nullptr, "CreateModule"), nullptr);
}

TEST(PlatformWindowClass, TableOfNames)
{
    EXPECT_FALSE(plat::FindWindowClass(L"TestClassA").has_value());
    plat::RegisterWindowClass({L"TestClassA", plat::kClassDblClks, 16, plat::ClassCursor::Arrow});
    auto found = plat::FindWindowClass(L"testclassa");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->name, L"TestClassA");
    EXPECT_EQ(found->style, plat::kClassDblClks);
    // Registering again replaces the record and never fails.
    plat::RegisterWindowClass({L"TESTCLASSA", plat::kClassSaveBits, 0, plat::ClassCursor::None});
    EXPECT_EQ(plat::FindWindowClass(L"TestClassA")->style, plat::kClassSaveBits);
    EXPECT_TRUE(plat::UnregisterWindowClass(L"TestClassA"));
    EXPECT_FALSE(plat::UnregisterWindowClass(L"TestClassA"));
    EXPECT_FALSE(plat::FindWindowClass(L"TestClassA").has_value());
}

TEST(PlatformClipboard, FormatNumbers)
{
    uint32_t a = plat::RegisterClipboardFormat(L"TestFormatA");
    uint32_t b = plat::RegisterClipboardFormat(L"TestFormatB");
    EXPECT_GE(a, plat::kFirstClipboardFormat);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(plat::RegisterClipboardFormat(L"testformata"), a); // one number per name
    EXPECT_EQ(plat::ClipboardFormatName(a), L"TestFormatA");
    EXPECT_EQ(plat::ClipboardFormatName(b + 1), L"");
    EXPECT_EQ(plat::ClipboardFormatName(1), L""); // a standard format has no registered name
    EXPECT_EQ(plat::RegisterClipboardFormat(L""), 0u);
}

TEST(PlatformSystemError, TextsOfErrorNumbers)
{
    EXPECT_EQ(plat::SystemErrorText(ENOENT), L"No such file or directory");
    EXPECT_EQ(plat::SystemErrorText(ENOSPC), L"No space left on device");
    EXPECT_FALSE(plat::SystemErrorText(99999).empty());
}

TEST(PlatformByteStream, ReadWriteSeek)
{
    plat::ByteStream s;
    EXPECT_EQ(s.Write("abc", 3), 3);
    EXPECT_EQ(s.Position(), 3);
    ASSERT_TRUE(s.Seek(5));
    EXPECT_EQ(s.Write("z", 1), 1); // past the end: the gap becomes zeros
    EXPECT_EQ(s.Bytes(), QByteArray("abc\0\0z", 6));
    EXPECT_FALSE(s.Seek(-1));
    EXPECT_EQ(s.Position(), 6);
    ASSERT_TRUE(s.Seek(-2, plat::ByteStream::End));
    char buffer[8] = {};
    EXPECT_EQ(s.Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer, 2), std::string("\0z", 2));
    EXPECT_EQ(s.Read(buffer, 1), 0);
    ASSERT_TRUE(s.Seek(1));
    ASSERT_TRUE(s.Seek(1, plat::ByteStream::Current));
    EXPECT_EQ(s.Read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], 'c');
    s.SetSize(2);
    EXPECT_EQ(s.Bytes(), QByteArray("ab"));
    EXPECT_EQ(s.Read(buffer, 1), 0);
    EXPECT_EQ(s.Write(nullptr, 4), 0);
}

TEST(PlatformCapabilities, FlagsFollowBindAndUnbind)
{
    plat::BindOptionalEntryPoints();
    const plat::Capabilities& caps = plat::GetCapabilities();
    EXPECT_TRUE(caps.alphaBlend && caps.gradientFill && caps.updateLayeredWindow &&
                caps.setLayeredWindowAttributes);
    plat::UnbindOptionalEntryPoints();
    EXPECT_FALSE(caps.alphaBlend || caps.gradientFill || caps.updateLayeredWindow ||
                 caps.setLayeredWindowAttributes);
}

// The library's own wide conversion of a path is fixed to the "C" locale and throws
// on the first Chinese letter; ours keeps every name as it is, under any locale.
TEST(PlatformPathText, ChineseNamesGoBothWaysUnderTheCLocale)
{
    const std::string before = setlocale(LC_ALL, nullptr);
    setlocale(LC_ALL, "C");
    doxtest::TempDir dir;
    const std::wstring folder = plat::WideOfPath(dir.path());
    struct Case {
        std::wstring name;
        std::string bytes;
    } const cases[] = {
        {L"新建模板1.dxt", "\xE6\x96\xB0\xE5\xBB\xBA\xE6\xA8\xA1\xE6\x9D\xBF" "1.dxt"},
        {L"柜员 文件/转账支票.dxt", "\xE6\x9F\x9C\xE5\x91\x98 \xE6\x96\x87\xE4\xBB\xB6/"
                                   "\xE8\xBD\xAC\xE8\xB4\xA6\xE6\x94\xAF\xE7\xA5\xA8.dxt"},
        {L"plain.dxt", "plain.dxt"},
        {L"\U0001F4C4.dxt", "\xF0\x9F\x93\x84.dxt"},
    };
    for (const Case& c : cases) {
        const std::filesystem::path path = plat::PathFromWide(c.name);
        EXPECT_EQ(path.native(), c.bytes);
        EXPECT_EQ(plat::WideOfPath(path), c.name);
        EXPECT_EQ(plat::Utf8OfPath(plat::PathFromUtf8(c.bytes)), c.bytes);
    }
    // A byte that is not UTF-8 shows as a replacement letter instead of failing.
    EXPECT_EQ(plat::WideOfPath(std::filesystem::path("a\xFF" "b")), L"a\uFFFDb");

    // The same file through a dot, a link or another spelling; different files differ.
    const std::wstring file = folder + L"/新建模板1.dxt";
    ASSERT_TRUE(doxtest::WriteFileBytes(plat::PathFromWide(file), "x"));
    std::filesystem::create_directory(plat::PathFromWide(folder + L"/子"));
    std::filesystem::create_symlink(plat::PathFromWide(file), plat::PathFromWide(folder + L"/链接.dxt"));
    EXPECT_TRUE(plat::SameFilePath(file, folder + L"/子/../新建模板1.dxt"));
    EXPECT_TRUE(plat::SameFilePath(file, folder + L"/链接.dxt"));
    EXPECT_TRUE(plat::SameFilePath(folder + L"/不存在/a.dxt", folder + L"/不存在/./a.dxt"));
    EXPECT_FALSE(plat::SameFilePath(file, folder + L"/新建模板2.dxt"));
    EXPECT_FALSE(plat::SameFilePath(file, L""));
    setlocale(LC_ALL, before.c_str());
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
namespace
{

long MinorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Takes blocks of the sizes, writes every 4 KiB of each, frees them: one page of a
// print job's buffers. Gives back the pages the system had to fault in for it.
long FaultsOfOnePage(const std::vector<size_t>& sizes)
{
    std::vector<char*> blocks;
    const long before = MinorFaults();
    for (size_t size : sizes) {
        char* block = static_cast<char*>(std::malloc(size));
        for (size_t at = 0; block && at < size; at += 4096)
            static_cast<volatile char*>(block)[at] = 1;
        blocks.push_back(block);
    }
    const long faults = MinorFaults() - before;
    for (char* block : blocks)
        std::free(block);
    return faults;
}

} // namespace

TEST(PlatformHeap, HeldRoomServesEveryPageWithoutTakingNewMemory)
{
    constexpr size_t kKiB = 1024;
    constexpr size_t kMiB = 1024 * kKiB;
    const struct {
        const char* what;
        size_t hold;
        std::vector<size_t> page;
    } cases[] = {
        // First, while the heap has its start-up thresholds.
        {"blocks of 100 KiB", 2 * kMiB, std::vector<size_t>(12, 100 * kKiB)},
        // Qt's PDF engine: a 16 MiB read and a 16 MiB write buffer and a compressor.
        {"PDF engine page", 40 * kMiB, {16 * kMiB, 16 * kMiB, 64 * kKiB, 64 * kKiB, 64 * kKiB, 64 * kKiB, 6 * kKiB}},
    };
    for (const auto& c : cases) {
        size_t pages = 0;
        for (size_t size : c.page)
            pages += (size + 4095) / 4096;
        plat::HeapReserve reserve;
        reserve.Hold(c.hold);
        EXPECT_TRUE(reserve.Held()) << c.what;
        FaultsOfOnePage(c.page); // the first page faults the room in
        for (int page = 0; page < 3; ++page)
            EXPECT_LT(FaultsOfOnePage(c.page), static_cast<long>(pages / 8)) << c.what << ", page " << page + 2;
        reserve.Release();
        EXPECT_FALSE(reserve.Held()) << c.what;
    }
}
#endif
