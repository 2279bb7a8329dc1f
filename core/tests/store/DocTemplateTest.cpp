// The template file: reading files built byte by byte, the exact bytes written,
// the messages for damaged and hostile files, and saves that must never lose
// the old file.

#include "DocTemplate.h"
#include "DocElement.h"
#include "StoreTestUtil.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <set>
#include <string>

using namespace storetest;
using doxtest::ReadFileBytes;
using doxtest::TempDir;
using doxtest::WriteFileBytes;

namespace
{

const std::vector<RawElement> kTwo = {{"doc_dxtemplate", "<dox:template/>"},
                                      {"bkpic0", std::string("\x00\x01\x02\xff", 4)}};

} // namespace

TEST(StoreTemplateFile, ReadsAFileBuiltByteByByte)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "a.dxt", BuildTemplate(kTwo, DocCrc32)));
    ClearModuleError();
    DocTemplate store;
    ASSERT_EQ(store.Open(Path(dir, "a.dxt").c_str(), kDocOpenRead), 1);
    EXPECT_FALSE(store.IsModified());
    EXPECT_TRUE(store.IsReadOnly());
    auto elements = store.Elements();
    ASSERT_EQ(elements.size(), 2u);
    EXPECT_EQ(elements[0]->Id(), L"doc_dxtemplate");
    EXPECT_EQ(elements[1]->Id(), L"bkpic0");
    EXPECT_FALSE(elements[0]->IsLoaded()); // bytes are read on demand
    EXPECT_EQ(elements[0]->Location(), 20u);
    EXPECT_EQ(Bytes(elements[0]), kTwo[0].bytes);
    EXPECT_EQ(Bytes(elements[1]), kTwo[1].bytes);
    EXPECT_EQ(store.GetElement(L"DOC_DXTEMPLATE"), elements[0]);
}

TEST(StoreTemplateFile, WritesTheExactLayout)
{
    PoolScope scope;
    TempDir dir;
    std::wstring path = Path(dir, "w.dxt");
    {
        DocTemplate store;
        ASSERT_EQ(store.Open(path.c_str(), kDocOpenCreate), 1);
        EXPECT_TRUE(store.IsModified());
        ASSERT_EQ(store.GetElement(L"abc")->SetData("XYZ", 3), 1);
        ASSERT_EQ(store.GetElement(L"empty")->SetData(nullptr, 0), 1);
        ASSERT_EQ(store.GetElement(L"图片")->SetData("\x01\x02", 2), 1);
        ASSERT_EQ(store.Save(), 1);
        // A clean element drops its bytes after the save and reads them back.
        DocElement* abc = store.GetElement(L"abc");
        EXPECT_FALSE(abc->IsLoaded());
        EXPECT_FALSE(abc->IsDirty());
        EXPECT_EQ(Bytes(abc), "XYZ");
    }
    std::string file = ReadFileBytes(dir / "w.dxt");
    std::string name3 = "\xe5\x9b\xbe\xe7\x89\x87"; // 图片 in UTF-8
    std::string expected = "DOXDOT!";
    expected.push_back('\x01');
    PutU32(expected, 3);
    PutU32(expected, 25); // 20 + 3 + 2 bytes of data
    std::string directory;
    PutU32(directory, 20);
    PutU32(directory, 3);
    PutU32(directory, DocCrc32("XYZ", 3));
    directory += std::string("\x05"
                             "abc\0\0",
                             6);
    PutU32(directory, 0); // the empty element keeps its offset and CRC (none yet)
    PutU32(directory, 0);
    PutU32(directory, 0);
    directory += std::string("\x07"
                             "empty\0\0",
                             8);
    PutU32(directory, 23);
    PutU32(directory, 2);
    PutU32(directory, DocCrc32("\x01\x02", 2));
    directory.push_back(static_cast<char>(name3.size() + 2));
    directory += name3 + std::string("\0\0", 2);
    PutU32(expected, DocCrc32(directory.data(), static_cast<uint32_t>(directory.size())));
    expected += "XYZ";
    expected += std::string("\x01\x02", 2);
    expected += directory;
    EXPECT_EQ(file, expected);

    // Read back: order, ids, sizes and bytes survive.
    DocTemplate again;
    ASSERT_EQ(again.Open(path.c_str(), kDocOpenReadWrite), 1);
    auto elements = again.Elements();
    ASSERT_EQ(elements.size(), 3u);
    EXPECT_EQ(elements[0]->Id(), L"abc");
    EXPECT_EQ(elements[1]->Id(), L"empty");
    EXPECT_EQ(elements[1]->GetSize(), 0u);
    EXPECT_EQ(elements[2]->Id(), L"图片");
    EXPECT_EQ(Bytes(elements[2]), std::string("\x01\x02", 2));
}

TEST(StoreTemplateFile, SaveRewritesAndKeepsUnchangedElements)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "a.dxt", BuildTemplate(kTwo, DocCrc32)));
    std::wstring path = Path(dir, "a.dxt");
    {
        DocTemplate store;
        ASSERT_EQ(store.Open(path.c_str(), kDocOpenReadWrite), 1);
        // Nothing modified: the save writes nothing and succeeds.
        ASSERT_EQ(store.Save(), 1);
        EXPECT_EQ(ReadFileBytes(dir / "a.dxt"), BuildTemplate(kTwo, DocCrc32));
        // Growing the first element moves the second, whose bytes lived only in the
        // old layout.
        ASSERT_EQ(store.GetElement(L"doc_dxtemplate")->SetData("<dox:template name=\"x\"/>", 24), 1);
        store.GetElement(L"new")->SetData("n", 1);
        ASSERT_EQ(store.Save(), 1);
        EXPECT_TRUE(store.IsModified()); // a save leaves the flag set
        EXPECT_EQ(Bytes(store.GetElement(L"bkpic0")), kTwo[1].bytes);
    }
    DocTemplate again;
    ASSERT_EQ(again.Open(path.c_str(), kDocOpenRead), 1);
    ASSERT_EQ(again.ElementCount(), 3);
    EXPECT_EQ(Bytes(again.GetElement(L"doc_dxtemplate")), "<dox:template name=\"x\"/>");
    EXPECT_EQ(Bytes(again.GetElement(L"bkpic0")), kTwo[1].bytes);
    EXPECT_EQ(Bytes(again.GetElement(L"new")), "n");
}

TEST(StoreTemplateFile, SingleWriteAppendsWithoutTouchingTheDirectory)
{
    TempDir dir;
    const std::string original = BuildTemplate(kTwo, DocCrc32);
    ASSERT_TRUE(WriteFileBytes(dir / "a.dxt", original));
    DocTemplate store;
    ASSERT_EQ(store.Open(Path(dir, "a.dxt").c_str(), kDocOpenReadWrite), 1);
    DocElement* e = store.GetElement(L"bkpic0");
    ASSERT_EQ(e->SetData("tail", 4), 1);
    ASSERT_EQ(store.WriteElement(e), 1);
    EXPECT_EQ(e->Location(), original.size());
    EXPECT_FALSE(e->IsDirty());
    EXPECT_EQ(Bytes(e), "tail");
    // The header and directory still describe the file as it was.
    EXPECT_EQ(ReadFileBytes(dir / "a.dxt"), original + "tail");
}

// Damaged and hostile files: each gets its message and never a read outside the
// file or the buffers (these cases run under the sanitizers too).
TEST(StoreTemplateFile, DamagedFilesGetTheirMessage)
{
    const std::string good = BuildTemplate(kTwo, DocCrc32);
    const uint32_t dirOffset = GetU32(good, 12);
    auto with = [&](size_t at, char byte) {
        std::string f = good;
        f[at] = byte;
        return f;
    };
    auto withU32 = [&](size_t at, uint32_t v) {
        std::string f = good;
        std::string b;
        PutU32(b, v);
        f.replace(at, 4, b);
        return f;
    };
    // Records of a file whose directory CRC is right, so that the record check is reached.
    auto withRecords = [&](const std::string& directory) {
        std::string f = "DOXDOT!";
        f.push_back('\x01');
        PutU32(f, 1);
        PutU32(f, 24);
        PutU32(f, DocCrc32(directory.data(), static_cast<uint32_t>(directory.size())));
        return f + "data" + directory;
    };
    std::string zeroName;
    PutU32(zeroName, 20);
    PutU32(zeroName, 4);
    PutU32(zeroName, DocCrc32("data", 4));
    zeroName.push_back('\0');
    std::string outside;
    PutU32(outside, 20);
    PutU32(outside, 0xFFFFFFF0u); // far beyond the end of the file
    PutU32(outside, 0);
    outside += std::string("\x03"
                           "a\0\0",
                           4);
    std::string empty20 = "DOXDOT!";
    empty20.push_back('\x01');
    empty20 += std::string(12, '\0');

    const std::wstring kNotTemplate = L"无法识别的文件格式,不是模板文件或者文件已经损坏。";
    const std::wstring kDamaged = L"无法读取模板文件,可能文件已经损坏。";
    const std::wstring kLength = L"无法读取模板文件,文件长度错误。";
    const std::wstring kDirCrc = L"无法读取模板文件,文件校验错误，可能文件已经损坏。";
    struct Case {
        const char* what;
        std::string file;
        std::wstring message; // empty: opens
    } cases[] = {
        {"19 bytes", good.substr(0, 19), kNotTemplate},
        {"no file content", "", kNotTemplate},
        {"wrong magic", with(0, 'X'), kNotTemplate},
        {"empty template of 20 bytes", empty20, L""},
        {"count 32", withU32(8, 32), kDamaged},
        {"count 0xFFFFFFFF", withU32(8, 0xFFFFFFFFu), kDamaged},
        {"directory offset at the end", withU32(12, static_cast<uint32_t>(good.size())), kDamaged},
        {"directory offset beyond the end", withU32(12, 0x7FFFFFFFu), kDamaged},
        {"truncated inside a record", good.substr(0, dirOffset + 5), kDamaged},
        {"truncated inside a name", good.substr(0, good.size() - 2), kLength},
        {"count larger than the records", withU32(8, 3), kDamaged},
        {"one byte of a name changed", with(dirOffset + 14, 'X'), kDirCrc},
        {"directory CRC changed", withU32(16, 12345), kDirCrc},
        {"name length 0", withRecords(zeroName), kDamaged},
        {"element outside the file", withRecords(outside), kDamaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ASSERT_TRUE(WriteFileBytes(dir / "t.dxt", c.file));
        ClearModuleError();
        DocTemplate store;
        int ok = store.Open(Path(dir, "t.dxt").c_str(), kDocOpenRead);
        EXPECT_EQ(ok, c.message.empty() ? 1 : 0);
        EXPECT_EQ(LastError(), c.message);
    }
}

// Every single damaged byte and every truncation of a small file: opening and
// reading all elements either fails with a message or, only for the bytes that
// are never checked (the version byte, and the last zero of each name, which the
// reader sets to zero itself), reads the original bytes. Run under the sanitizers, this also
// shows that no damage leads to a read outside the file or a buffer.
TEST(StoreTemplateFile, EveryDamagedByteIsCaught)
{
    const std::string good = BuildTemplate(kTwo, DocCrc32);
    std::set<size_t> unchecked = {7};
    size_t end = GetU32(good, 12);
    for (const RawElement& e : kTwo) {
        end += 13 + e.name.size() + 2;
        unchecked.insert(end - 1);
    }
    TempDir dir;
    auto attempt = [&](const std::string& file, bool& opened) {
        EXPECT_TRUE(WriteFileBytes(dir / "x.dxt", file));
        ClearModuleError();
        DocTemplate store;
        opened = store.Open(Path(dir, "x.dxt").c_str(), kDocOpenRead) == 1 && store.LoadAll() == 1;
        if (!opened)
            return std::wstring(GetModuleErrorText());
        EXPECT_EQ(store.ElementCount(), 2);
        for (size_t i = 0; i < kTwo.size() && i < static_cast<size_t>(store.ElementCount()); ++i)
            EXPECT_EQ(Bytes(store.Elements()[i]), kTwo[i].bytes);
        return std::wstring();
    };
    for (size_t at = 0; at < good.size(); ++at) {
        for (int flip : {0x01, 0xFF}) {
            SCOPED_TRACE("byte " + std::to_string(at) + " xor " + std::to_string(flip));
            std::string file = good;
            file[at] = static_cast<char>(file[at] ^ flip);
            bool opened = false;
            std::wstring message = attempt(file, opened);
            EXPECT_EQ(opened, unchecked.count(at) == 1);
            EXPECT_EQ(message.empty(), opened);
        }
    }
    for (size_t length = 0; length < good.size(); ++length) {
        SCOPED_TRACE("cut at " + std::to_string(length));
        bool opened = true;
        std::wstring message = attempt(good.substr(0, length), opened);
        EXPECT_FALSE(opened);
        EXPECT_FALSE(message.empty());
    }
}

TEST(StoreTemplateFile, ThirtyOneElementsAreReadBack)
{
    std::vector<RawElement> many;
    for (int i = 0; i < 31; ++i)
        many.push_back({"e" + std::to_string(i), std::string(static_cast<size_t>(i), 'x')});
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "m.dxt", BuildTemplate(many, DocCrc32)));
    DocTemplate store;
    ASSERT_EQ(store.Open(Path(dir, "m.dxt").c_str(), kDocOpenRead), 1);
    ASSERT_EQ(store.ElementCount(), 31);
    EXPECT_EQ(Bytes(store.GetElement(L"e30")), std::string(30, 'x'));
}

TEST(StoreTemplateFile, ElementReadErrors)
{
    std::string file = BuildTemplate(kTwo, DocCrc32);
    file[20] ^= 0x20; // one byte of the first element's data
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "c.dxt", file));
    DocTemplate store;
    ASSERT_EQ(store.Open(Path(dir, "c.dxt").c_str(), kDocOpenRead), 1); // found only when read
    DocElement* damaged = store.GetElement(L"doc_dxtemplate");
    EXPECT_EQ(damaged->GetData(), nullptr);
    EXPECT_EQ(LastError(), L"文档元素校验错误。");
    EXPECT_FALSE(damaged->IsLoaded());
    EXPECT_EQ(Bytes(store.GetElement(L"bkpic0")), kTwo[1].bytes);

    // The element's bytes cut off by a later truncation of the file.
    TempDir dir2;
    std::string good = BuildTemplate(kTwo, DocCrc32);
    ASSERT_TRUE(WriteFileBytes(dir2 / "s.dxt", good));
    DocTemplate open;
    ASSERT_EQ(open.Open(Path(dir2, "s.dxt").c_str(), kDocOpenRead), 1);
    ASSERT_EQ(truncate((dir2 / "s.dxt").c_str(), 22), 0);
    EXPECT_EQ(open.GetElement(L"doc_dxtemplate")->GetData(), nullptr);
    EXPECT_EQ(LastError(), L"文档元素Size错误。");
}

TEST(StoreTemplateFile, RefusalsAndTheirMessages)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "a.dxt", BuildTemplate(kTwo, DocCrc32)));
    DocTemplate store;
    EXPECT_EQ(store.Open(L"", kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"文件名不能为空");
    EXPECT_EQ(store.Open(nullptr, kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"文件名不能为空");
    EXPECT_EQ(store.Open(Path(dir, "missing.dxt").c_str(), kDocOpenRead), 0);
    EXPECT_EQ(LastError(), L"No such file or directory");
    EXPECT_EQ(store.LoadAll(), 0);
    EXPECT_EQ(LastError(), L"无效文件。");
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"无效文件或者是只读模板文件。");

    ASSERT_EQ(store.Open(Path(dir, "a.dxt").c_str(), kDocOpenRead), 1);
    EXPECT_EQ(store.GetElement(L"unknown"), nullptr); // read-only: nothing is made
    EXPECT_EQ(store.ElementCount(), 2);
    EXPECT_EQ(store.GetElement(L"bkpic0")->SetData("x", 1), 0);
    EXPECT_EQ(Bytes(store.GetElement(L"bkpic0")), kTwo[1].bytes);
    ClearModuleError();
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"无效文件或者是只读模板文件。");
    EXPECT_EQ(store.LoadAll(), 1);

    // A read-only file shares reading only; a writable one shares nothing.
    DocTemplate reader2;
    EXPECT_EQ(reader2.Open(Path(dir, "a.dxt").c_str(), kDocOpenRead), 1);
    DocTemplate writer;
    EXPECT_EQ(writer.Open(Path(dir, "a.dxt").c_str(), kDocOpenReadWrite), 0);
    EXPECT_FALSE(LastError().empty());
    store.Close();
    reader2.Close();
    EXPECT_EQ(writer.Open(Path(dir, "a.dxt").c_str(), kDocOpenReadWrite), 1);
    EXPECT_EQ(writer.IsPath(Path(dir, "a.dxt").c_str()), 1);
    EXPECT_EQ(writer.IsPath(Path(dir, "A.dxt").c_str()), 0); // Linux names differ by case
    EXPECT_EQ(writer.IsPath(Path(dir, "./a.dxt").c_str()), 1);

    // Opening another file anew leaves nothing of the first one behind.
    ASSERT_EQ(writer.Open(Path(dir, "b.dxt").c_str(), kDocOpenCreate), 1);
    EXPECT_EQ(writer.ElementCount(), 0);
    EXPECT_EQ(writer.IsPath(Path(dir, "a.dxt").c_str()), 0);
    ASSERT_EQ(writer.Save(), 1);
    // No elements: count 0, the directory right behind the header, CRC of nothing.
    EXPECT_EQ(ReadFileBytes(dir / "b.dxt"), std::string("DOXDOT!\x01\0\0\0\0\x14\0\0\0\0\0\0\0", 20));
}

TEST(StoreTemplateFile, WriterRefusesWhatCouldNotBeReadBack)
{
    TempDir dir;
    std::wstring path = Path(dir, "lim.dxt");
    DocTemplate store;
    ASSERT_EQ(store.Open(path.c_str(), kDocOpenCreate), 1);
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(store.GetElement((L"e" + std::to_wstring(i)).c_str())->SetData("x", 1), 1);
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"模板文件最多只能保存31个文档元素。");
    store.GetElement(L"e31")->Remove();
    // 253 bytes of UTF-8 still fit with the two zero bytes; 254 do not.
    std::wstring fits(253, L'n');
    std::wstring tooLong = std::wstring(84, L'图') + L"nn"; // 84 x 3 + 2 = 254 bytes
    ASSERT_EQ(store.GetElement(L"e30")->SetId(fits.c_str()), 1);
    ASSERT_EQ(store.GetElement(L"e29")->SetId(tooLong.c_str()), 1);
    EXPECT_EQ(store.Save(), 0);
    EXPECT_EQ(LastError(), L"文档元素ID过长,无法保存到模板文件。[" + tooLong + L"]");
    store.GetElement(tooLong.c_str())->Remove();
    ASSERT_EQ(store.Save(), 1);
    store.Close();
    DocTemplate again;
    ASSERT_EQ(again.Open(path.c_str(), kDocOpenRead), 1);
    EXPECT_EQ(again.ElementCount(), 30);
    EXPECT_TRUE(again.HasElement(fits.c_str()));
}

TEST(StoreTemplateFile, FailedSaveLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string original = BuildTemplate(kTwo, DocCrc32);
    ASSERT_TRUE(WriteFileBytes(dir / "a.dxt", original));
    DocTemplate store;
    ASSERT_EQ(store.Open(Path(dir, "a.dxt").c_str(), kDocOpenReadWrite), 1);
    const std::string big(256 * 1024, 'b');
    ASSERT_EQ(store.GetElement(L"big")->SetData(big.data(), static_cast<uint32_t>(big.size())), 1);

    // A file size limit makes the write of the new file fail half-way.
    struct sigaction ignore = {}, old = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit limit = saved;
    limit.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    int result = store.Save();
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(LastError(), L"File too large");
    EXPECT_EQ(ReadFileBytes(dir / "a.dxt"), original);
    size_t files = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1u); // no temporary file left behind
    // The elements still point into the old file and the new bytes are kept.
    store.GetElement(L"bkpic0")->ReleaseData();
    EXPECT_EQ(Bytes(store.GetElement(L"bkpic0")), kTwo[1].bytes);
    EXPECT_EQ(Bytes(store.GetElement(L"big")), big);
    // Once the limit is gone the same save goes through.
    ASSERT_EQ(store.Save(), 1);
    DocTemplate again;
    store.Close();
    ASSERT_EQ(again.Open(Path(dir, "a.dxt").c_str(), kDocOpenRead), 1);
    EXPECT_EQ(Bytes(again.GetElement(L"big")), big);
    EXPECT_EQ(Bytes(again.GetElement(L"doc_dxtemplate")), kTwo[0].bytes);
}

TEST(StoreTemplateFile, SaveThroughALinkReplacesTheTarget)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "real.dxt", BuildTemplate(kTwo, DocCrc32)));
    std::filesystem::create_symlink(dir / "real.dxt", dir / "link.dxt");
    std::filesystem::permissions(dir / "real.dxt", std::filesystem::perms(0640));
    {
        DocTemplate store;
        ASSERT_EQ(store.Open(Path(dir, "link.dxt").c_str(), kDocOpenReadWrite), 1);
        ASSERT_EQ(store.GetElement(L"bkpic0")->SetData("new", 3), 1);
        ASSERT_EQ(store.Save(), 1);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.dxt"));
    EXPECT_EQ(std::filesystem::status(dir / "real.dxt").permissions(), std::filesystem::perms(0640));
    DocTemplate again;
    ASSERT_EQ(again.Open(Path(dir, "real.dxt").c_str(), kDocOpenRead), 1);
    EXPECT_EQ(Bytes(again.GetElement(L"bkpic0")), "new");
}

TEST(StoreTemplateFile, SaveAsThroughTheAttachedList)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "src.dxt", BuildTemplate(kTwo, DocCrc32)));
    DocTemplate source;
    ASSERT_EQ(source.Open(Path(dir, "src.dxt").c_str(), kDocOpenReadWrite), 1);
    ASSERT_EQ(source.GetElement(L"bkpic0")->SetData("changed", 7), 1); // unsaved in the source
    DocTemplate target;
    ASSERT_EQ(target.Open(Path(dir, "dst.dxt").c_str(), kDocOpenCreate), 1);
    target.AttachAll(&source);
    EXPECT_EQ(target.AttachedCount(), 2);
    ASSERT_EQ(target.SaveFrom(), 1);
    EXPECT_EQ(source.GetElement(L"doc_dxtemplate")->SecondLocation(), 20u);
    // The source file itself is untouched and its element still dirty.
    EXPECT_EQ(ReadFileBytes(dir / "src.dxt"), BuildTemplate(kTwo, DocCrc32));
    EXPECT_TRUE(source.GetElement(L"bkpic0")->IsDirty());
    target.Close();
    DocTemplate copy;
    ASSERT_EQ(copy.Open(Path(dir, "dst.dxt").c_str(), kDocOpenRead), 1);
    EXPECT_EQ(copy.ElementCount(), 2);
    EXPECT_EQ(Bytes(copy.GetElement(L"doc_dxtemplate")), kTwo[0].bytes);
    EXPECT_EQ(Bytes(copy.GetElement(L"bkpic0")), "changed");
}

// Something that is not a file at a template's name is refused at once, in every mode,
// naming what it is: a FIFO must not keep the open waiting for a writer that never
// comes, and neither may be taken for an empty template.
TEST(StoreTemplateFile, AFifoOrAFolderIsRefusedAtOnce)
{
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "pipe.dxt").c_str(), 0644), 0);
    ASSERT_TRUE(std::filesystem::create_directory(dir / "folder.dxt"));
    const struct {
        const char* name;
        const wchar_t* kind;
    } files[] = {{"pipe.dxt", L"命名管道"}, {"folder.dxt", L"文件夹"}};
    // A hang fails the test instead of stalling the run.
    alarm(20);
    for (const auto& file : files) {
        for (int mode : {kDocOpenRead, kDocOpenReadWrite, kDocOpenCreate}) {
            SCOPED_TRACE(std::string(file.name) + " mode " + std::to_string(mode));
            const std::wstring path = Path(dir, file.name);
            DocTemplate store;
            EXPECT_EQ(store.Open(path.c_str(), mode), 0);
            EXPECT_FALSE(store.IsOpen());
            EXPECT_EQ(LastError(), L"“" + path + L"”不是模板文件，而是" + file.kind + L"。");
        }
    }
    alarm(0);
    EXPECT_EQ(std::filesystem::status(dir / "pipe.dxt").type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "folder.dxt"));
}
