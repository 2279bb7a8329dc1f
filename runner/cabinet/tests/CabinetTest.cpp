#include "Cabinet.h"
#include "CabinetName.h"
#include "FlushSpy.h"
#include "FolderSnapshot.h"

#include "TestSupport.h"

// glib before Qt: Qt defines "signals" as a word that glib headers use.
#include <libgcab.h>

#include <QString>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace
{

using cabtest::P;
using cabtest::Snapshot;
using cabtest::W;

// Writes an archive whose names are stored exactly as given, as a foreign writer might.
void WriteRawArchive(const fs::path& archive, const std::vector<std::string>& names)
{
    GCabCabinet* cabinet = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_MSZIP);
    for (const std::string& name : names) {
        GBytes* bytes = g_bytes_new(name.data(), name.size());
        GCabFile* file = gcab_file_new_with_bytes(name.c_str(), bytes);
        ASSERT_TRUE(gcab_folder_add_file(folder, file, FALSE, nullptr, nullptr));
        g_object_unref(file);
        g_bytes_unref(bytes);
    }
    ASSERT_TRUE(gcab_cabinet_add_folder(cabinet, folder, nullptr));
    g_object_unref(folder);
    GFile* out = g_file_new_for_path(archive.c_str());
    GFileOutputStream* stream = g_file_replace(out, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr);
    ASSERT_TRUE(stream);
    ASSERT_TRUE(gcab_cabinet_write_simple(cabinet, G_OUTPUT_STREAM(stream), nullptr, nullptr, nullptr, nullptr));
    g_output_stream_close(G_OUTPUT_STREAM(stream), nullptr, nullptr);
    g_object_unref(stream);
    g_object_unref(out);
    g_object_unref(cabinet);
}

struct StoredFile {
    std::string name;
    uint16_t date = 0;
    uint16_t time = 0;
    uint16_t attributes = 0;
};

// The file table of a single-cabinet archive, read byte by byte.
std::vector<StoredFile> ReadFileTable(const fs::path& archive)
{
    const std::string bytes = doxtest::ReadFileBytes(archive);
    auto u16 = [&](size_t at) { return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    std::vector<StoredFile> files;
    size_t at = u32(16);
    for (unsigned i = 0; i < u16(28); ++i) {
        StoredFile f;
        f.date = u16(at + 10);
        f.time = u16(at + 12);
        f.attributes = u16(at + 14);
        at += 16;
        const size_t end = bytes.find('\0', at);
        f.name = bytes.substr(at, end - at);
        at = end + 1;
        files.push_back(f);
    }
    return files;
}

class CabinetArchive : public ::testing::Test
{
protected:
    void Put(const std::wstring& rel, const std::string& bytes)
    {
        const fs::path path = source.path() / P(rel);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(doxtest::WriteFileBytes(path, bytes));
    }

    doxtest::TempDir source;
    doxtest::TempDir target;
    doxtest::TempDir work;
};

TEST_F(CabinetArchive, NamesBytesTimesAndAttributesRoundTrip)
{
    struct Item {
        std::wstring file;  // below the source folder
        std::wstring entry; // in the archive
    };
    const std::vector<Item> items = {
        {L"caf\u00e9.dxt", L"templates\\caf\u00e9.dxt"},
        {L"a<b>.dxt", L"templates\\a<b>.dxt"},
        {L"\u5bf9\u516c/\u6a21\u677f.dxt", L"templates\\\u5bf9\u516c\\\u6a21\u677f.dxt"},
        {L"doxcore.db", L"doxcore.db"},
    };
    for (size_t i = 0; i < items.size(); ++i) Put(items[i].file, "bytes of " + std::to_string(i));
    // A read-only file keeps its attribute, and an old time its time.
    const fs::path db = source.path() / "doxcore.db";
    const struct timespec old[2] = {{1262349296, 0}, {1262349296, 0}}; // 2010-01-01 12:34:56 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, db.c_str(), old, 0), 0);
    fs::permissions(db, fs::perms::owner_read | fs::perms::group_read);

    const fs::path archive = work.path() / "backup.dxb";
    Cabinet::CCompress compress;
    ASSERT_EQ(compress.Create(W(archive)), 1) << QString::fromStdWString(compress.GetLastErrorText()).toStdString();
    for (const Item& item : items)
        ASSERT_EQ(compress.AddFile(W(source.path() / P(item.file)), item.entry), 1);
    ASSERT_EQ(compress.Finish(), 1);
    EXPECT_EQ(compress.GetLastErrorText(), L"Success");

    // Stored as coded: '/' inside a run survives, no UTF-8 mark, time in UTC.
    const std::vector<StoredFile> table = ReadFileTable(archive);
    ASSERT_EQ(table.size(), items.size());
    std::map<std::string, StoredFile> byName;
    for (const StoredFile& f : table) byName[f.name] = f;
    ASSERT_TRUE(byName.count("templates\\<W/lRbA>\\<aiFnfw>.dxt"));
    ASSERT_TRUE(byName.count("templates\\a<>b>.dxt"));
    ASSERT_TRUE(byName.count("templates\\caf\xe9.dxt"));
    EXPECT_EQ(byName["templates\\caf\xe9.dxt"].attributes, 0x120);
    const StoredFile& stored = byName["doxcore.db"];
    EXPECT_EQ(stored.attributes, 0x121);
    EXPECT_EQ(stored.date, ((2010 - 1980) << 9) | (1 << 5) | 1);
    EXPECT_EQ(stored.time, (12 << 11) | (34 << 5) | (56 / 2));

    // An older, read-only copy in the target is replaced.
    fs::create_directories(target.path() / "templates");
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "templates" / P(L"caf\u00e9.dxt"), "old"));
    fs::permissions(target.path() / "templates" / P(L"caf\u00e9.dxt"), fs::perms::owner_read);

    Cabinet::CExtract extract;
    ASSERT_EQ(extract.Load(), 1);
    ASSERT_EQ(extract.ExtractAll(W(archive), W(target.path())), 1)
        << QString::fromStdWString(extract.GetLastErrorText()).toStdString();
    for (size_t i = 0; i < items.size(); ++i) {
        std::wstring rel = items[i].entry;
        for (wchar_t& c : rel)
            if (c == L'\\') c = L'/';
        EXPECT_EQ(doxtest::ReadFileBytes(target.path() / P(rel)), "bytes of " + std::to_string(i));
    }
    struct stat st{};
    ASSERT_EQ(stat((target.path() / "doxcore.db").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1262349296);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    ASSERT_EQ(stat((target.path() / "templates" / P(L"caf\u00e9.dxt")).c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IWUSR, 0u);
    // Nothing of the staging is left behind.
    for (const auto& e : fs::directory_iterator(target.path()))
        EXPECT_EQ(e.path().filename().string().rfind(".cabstage", 0), std::string::npos);
}

TEST_F(CabinetArchive, FailuresGiveTheirTexts)
{
    const fs::path file = work.path() / "plain";
    ASSERT_TRUE(doxtest::WriteFileBytes(file, "not a cabinet at all, just some text"));
    struct Case {
        const char* what;
        std::function<std::wstring()> run;
        std::wstring text;
    };
    const std::vector<Case> cases = {
        {"unicode archive name",
         [&] {
             Cabinet::CCompress c;
             EXPECT_EQ(c.Create(W(work.path() / P(L"\u5907\u4efd.dxb"))), 0);
             return c.GetLastErrorText();
         },
         L"The filename of the CAB file must NEVER contain Unicode characters!"},
        {"no folder",
         [&] {
             Cabinet::CCompress c;
             EXPECT_EQ(c.Create(L"backup.dxb"), 0);
             return c.GetLastErrorText();
         },
         L"Invalid parameters passed to compression function. Read the documentation!"},
        {"folder below a file",
         [&] {
             Cabinet::CCompress c;
             EXPECT_EQ(c.Create(W(file / "sub" / "b.dxb")), 0);
             return c.GetLastErrorText();
         },
         L"Could not create the directory where to save the CAB file.\nError 20: Not a directory"},
        {"path too long",
         [&] {
             Cabinet::CCompress c;
             EXPECT_EQ(c.Create(W(work.path() / std::string(250, 'x'))), 0);
             return c.GetLastErrorText();
         },
         L"The path is too long. (Max 250 Ansii characters or approx 100 Unicode characters)."},
        {"missing file to add",
         [&] {
             Cabinet::CCompress c;
             EXPECT_EQ(c.Create(W(work.path() / "a.dxb")), 1);
             EXPECT_EQ(c.AddFile(W(work.path() / "missing"), L"x"), 0);
             return c.GetLastErrorText();
         },
         L"Failure opening file to be stored in cabinet\nError 2: No such file or directory"},
        {"missing archive",
         [&] {
             Cabinet::CExtract e;
             e.Load();
             EXPECT_EQ(e.ExtractAll(W(work.path() / "none.dxb"), W(target.path())), 0);
             return e.GetLastErrorText();
         },
         L"Cabinet file (or part of splitted CAB) not found\nError 2: No such file or directory"},
        {"not a cabinet",
         [&] {
             Cabinet::CExtract e;
             e.Load();
             EXPECT_EQ(e.ExtractAll(W(file), W(target.path())), 0);
             return e.GetLastErrorText();
         },
         L"The file is not a cabinet"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.run(), c.text);
    }
    EXPECT_TRUE(fs::is_empty(target.path()));
    // A failed Create leaves nothing behind either.
    EXPECT_FALSE(fs::exists(work.path() / P(L"\u5907\u4efd.dxb")));
}

TEST_F(CabinetArchive, HostileNamesAreRefusedBeforeAnythingIsWritten)
{
    fs::create_directories(target.path() / "templates");
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "doxcore.db", "live database"));
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "templates" / "a.dxt", "live template"));
    const auto before = Snapshot(target.path());
    const auto outside = Snapshot(work.path());

    const std::vector<std::vector<std::string>> archives = {
        {"doxcore.db", "..\\x"},
        {"doxcore.db", "templates\\..\\..\\x"},
        {"doxcore.db", "/etc/x"},          // absolute
        {"doxcore.db", "\\x"},             // absolute the Windows way
        {"doxcore.db", "templates\\<AC8>x"}, // a run that decodes to '/'
        {"doxcore.db", "<ALgALg>\\x"},      // a run that decodes to ".."
        {"doxcore.db", "templates\\<Ti0"},  // a run never closed
        {"doxcore.db", "templates\\.\\a.dxt"},
        {"doxcore.db", "templates\\\\a.dxt"},
        {"doxcore.db", "doxcore.DB"},       // made the same name below
    };
    int n = 0;
    for (const auto& names : archives) {
        SCOPED_TRACE(names.back());
        const fs::path archive = work.path() / ("hostile" + std::to_string(n++) + ".dxb");
        WriteRawArchive(archive, names);
        if (names.back() == "doxcore.DB") {
            // The library will not write one name twice; the table is patched instead.
            std::string bytes = doxtest::ReadFileBytes(archive);
            bytes.replace(bytes.find("doxcore.DB"), 10, "doxcore.db");
            ASSERT_TRUE(doxtest::WriteFileBytes(archive, bytes));
        }
        Cabinet::CExtract extract;
        extract.Load();
        EXPECT_EQ(extract.ExtractAll(W(archive), W(target.path())), 0);
        // The library itself refuses a name that comes twice.
        EXPECT_EQ(extract.GetLastErrorText(),
                  names.back() == "doxcore.DB" ? L"The file is not a cabinet" : L"Corrupt cabinet");
        fs::remove(archive);
        EXPECT_EQ(Snapshot(target.path()), before);
        EXPECT_EQ(Snapshot(work.path()), outside);
    }
}

TEST_F(CabinetArchive, NeverWritesThroughSymbolicLinks)
{
    const fs::path archive = work.path() / "a.dxb";
    WriteRawArchive(archive, {"doxcore.db", "templates\\a.dxt"});
    doxtest::TempDir elsewhere;
    ASSERT_TRUE(doxtest::WriteFileBytes(elsewhere.path() / "a.dxt", "not yours"));

    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const std::vector<Case> cases = {
        {"folder is a link", [&] { fs::create_directory_symlink(elsewhere.path(), target.path() / "templates"); }},
        {"file is a link",
         [&] {
             fs::create_directories(target.path() / "templates");
             fs::create_symlink(elsewhere.path() / "a.dxt", target.path() / "templates" / "a.dxt");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& e : fs::directory_iterator(target.path())) fs::remove_all(e.path());
        ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "doxcore.db", "live database"));
        c.prepare();
        const auto before = Snapshot(target.path());
        const auto there = Snapshot(elsewhere.path());
        Cabinet::CExtract extract;
        extract.Load();
        EXPECT_EQ(extract.ExtractAll(W(archive), W(target.path())), 0);
        EXPECT_EQ(extract.GetLastErrorText(), L"Failure writing to target file\nError 40: Too many levels of symbolic links");
        EXPECT_EQ(Snapshot(target.path()), before);
        EXPECT_EQ(Snapshot(elsewhere.path()), there);
    }
}

TEST_F(CabinetArchive, ARunCutOffPartWayLeavesTheOldFiles)
{
    Put(L"doxcore.db", "new database");
    Put(L"templates/a.dxt", "new a");
    Put(L"templates/\u5bf9\u516c/b.dxt", "new b");
    const fs::path archive = work.path() / "a.dxb";
    Cabinet::CCompress compress;
    ASSERT_EQ(compress.Create(W(archive)), 1);
    ASSERT_EQ(compress.AddFile(W(source.path() / "doxcore.db"), L"doxcore.db"), 1);
    ASSERT_EQ(compress.AddFile(W(source.path() / "templates/a.dxt"), L"templates\\a.dxt"), 1);
    ASSERT_EQ(compress.AddFile(W(source.path() / P(L"templates/\u5bf9\u516c/b.dxt")), L"templates\\\u5bf9\u516c\\b.dxt"), 1);
    ASSERT_EQ(compress.Finish(), 1);

    fs::create_directories(target.path() / "templates");
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "doxcore.db", "old database"));
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "templates" / "a.dxt", "old a"));
    const auto before = Snapshot(target.path());

    // Three steps extract, three move into place: stop at each of them.
    for (int stopAt = 1; stopAt <= 6; ++stopAt) {
        SCOPED_TRACE(stopAt);
        int step = 0;
        Cabinet::CExtract extract;
        extract.Load();
        extract.SetStepHook([&] { return ++step < stopAt; });
        EXPECT_EQ(extract.ExtractAll(W(archive), W(target.path())), 0);
        EXPECT_EQ(extract.GetLastErrorText(), L"User aborted");
        EXPECT_EQ(Snapshot(target.path()), before);
    }
}

// Whether every file renamed into a folder below root was flushed before its rename,
// and every folder that got one was flushed after it; the number of such renames.
size_t RenamedIntoPlaceFlushed(const std::vector<flushspy::Event>& events, const fs::path& root)
{
    const std::string under = fs::canonical(root).string() + "/";
    std::set<std::pair<dev_t, ino_t>> flushed;
    std::set<std::string> unsynced;
    size_t renames = 0;
    for (const flushspy::Event& e : events) {
        if (e.kind == flushspy::Event::Flush) {
            flushed.insert({e.device, e.inode});
        } else if (e.kind == flushspy::Event::FolderFlush) {
            unsynced.erase(e.path);
        } else if (e.kind == flushspy::Event::Rename && e.path.rfind(under, 0) == 0 &&
                   e.path.find(".cabstage-") == std::string::npos) {
            ++renames;
            EXPECT_TRUE(flushed.count({e.device, e.inode})) << e.path << " was renamed into place unflushed";
            unsynced.insert(fs::path(e.path).parent_path().string());
        }
    }
    EXPECT_EQ(unsynced, std::set<std::string>()) << "folders not flushed after their renames";
    return renames;
}

TEST_F(CabinetArchive, EveryFileIsOnTheDiskBeforeItIsRenamedIntoPlace)
{
    Put(L"doxcore.db", "new database");
    Put(L"templates/a.dxt", "new a");
    Put(L"templates/\u5bf9\u516c/b.dxt", "new b");
    const fs::path archive = work.path() / "a.dxb";
    flushspy::Start();
    {
        Cabinet::CCompress compress;
        ASSERT_EQ(compress.Create(W(archive)), 1);
        ASSERT_EQ(compress.AddFile(W(source.path() / "doxcore.db"), L"doxcore.db"), 1);
        ASSERT_EQ(compress.AddFile(W(source.path() / "templates/a.dxt"), L"templates\\a.dxt"), 1);
        ASSERT_EQ(compress.AddFile(W(source.path() / P(L"templates/\u5bf9\u516c/b.dxt")),
                                   L"templates\\\u5bf9\u516c\\b.dxt"),
                  1);
        ASSERT_EQ(compress.Finish(), 1);
    }
    EXPECT_EQ(RenamedIntoPlaceFlushed(flushspy::Stop(), work.path()), 1u) << "the archive";

    fs::create_directories(target.path() / "templates");
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "doxcore.db", "old database"));
    ASSERT_TRUE(doxtest::WriteFileBytes(target.path() / "templates" / "a.dxt", "old a"));
    const auto before = Snapshot(target.path());

    // A disk that cannot keep the staged files: the restore fails and nothing changes.
    flushspy::FailFlushesOf(".cabstage-");
    {
        Cabinet::CExtract extract;
        extract.Load();
        EXPECT_EQ(extract.ExtractAll(W(archive), W(target.path())), 0);
        EXPECT_EQ(extract.GetLastErrorText(), L"Failure writing to target file\nError 5: Input/output error");
    }
    flushspy::FailFlushesOf("");
    EXPECT_EQ(Snapshot(target.path()), before);

    flushspy::Start();
    {
        Cabinet::CExtract extract;
        extract.Load();
        ASSERT_EQ(extract.ExtractAll(W(archive), W(target.path())), 1)
            << QString::fromStdWString(extract.GetLastErrorText()).toStdString();
    }
    EXPECT_EQ(RenamedIntoPlaceFlushed(flushspy::Stop(), target.path()), 3u) << "the three files";
    EXPECT_EQ(doxtest::ReadFileBytes(target.path() / "doxcore.db"), "new database");
}

} // namespace
