#include "BackupCommands.h"
#include "Cabinet.h"
#include "BackupRestore.h"
#include "CProgressDlg.h"
#include "CabinetName.h"
#include "BillDatabase.h"
#include "FolderSnapshot.h"

#include "Prompter.h"
#include "QuotedName.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <map>
#include <thread>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
namespace dp = dox::platform;

namespace
{

using backuptest::Bills;
using backuptest::TemplateBytes;
using cabtest::P;
using cabtest::Snapshot;
using cabtest::W;

// A connection on a bill database, kept open as the program keeps its documents: in
// write-ahead-log mode the bills it commits stay in doxcore.db-wal while it is open.
// The database has the program's document table, so a restore takes it for a bill
// database; the bills themselves go into a table of the test's own.
class Connection
{
public:
    Connection(const fs::path& file, bool wal)
    {
        EXPECT_EQ(sqlite3_open(file.c_str(), &db_), SQLITE_OK);
        sqlite3_busy_timeout(db_, 5000);
        if (wal) Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA wal_autocheckpoint=0");
        Exec("CREATE TABLE IF NOT EXISTS doxdoctbl (id integer primary key autoincrement,docid text,"
             "docsize integer,doccrc32 integer,docdata blob);"
             "CREATE TABLE IF NOT EXISTS bills(id INTEGER PRIMARY KEY, payee TEXT NOT NULL)");
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Exec(const std::string& sql)
    {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
        sqlite3_free(error);
    }
    void Add(const std::vector<std::string>& payees)
    {
        std::string sql = "BEGIN;";
        for (const std::string& payee : payees) sql += "INSERT INTO bills(payee) VALUES('" + payee + "');";
        Exec(sql + "COMMIT");
    }

private:
    sqlite3* db_ = nullptr;
};

// A folder's snapshot with the database given as its bills: a copy taken through SQLite
// holds the same bills, not the same bytes.
std::map<std::string, std::string> WithBills(const fs::path& root)
{
    std::map<std::string, std::string> snapshot = Snapshot(root);
    if (snapshot.count("doxcore.db")) snapshot["doxcore.db"] = Bills(root / "doxcore.db");
    return snapshot;
}

// A template library of two categories, Chinese names among them, files that are no
// templates, a folder too deep to be visited, and a database.
class Library : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Put(L"templates/转账支票.dxt", TemplateBytes("cheque"));
        Put(L"templates/café.dxt", TemplateBytes("latin"));
        Put(L"templates/a<b>.dxt", TemplateBytes("mark"));
        Put(L"templates/readme.txt", "not a template");
        Put(L"templates/fake.dxt", "no template header here at all");
        Put(L"templates/对公业务/进账单.dxt", TemplateBytes("deposit"));
        Put(L"templates/对公业务/电汇凭证.DXT", TemplateBytes("wire"));
        Put(L"templates/对公业务/旧/深.dxt", TemplateBytes("too deep"));
        Put(L"templates/个人/存款.dxt", TemplateBytes("saving"));
        Connection(data.path() / "doxcore.db", false).Add({"北京朝阳收款单位", "上海浦东", "个人储蓄"});
    }

    void Put(const std::wstring& rel, const std::string& bytes)
    {
        const fs::path path = data.path() / P(rel);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(doxtest::WriteFileBytes(path, bytes));
    }

    // What a backup must hold: entry name -> bytes (the bills for the database).
    std::map<std::wstring, std::string> Expected() const
    {
        std::map<std::wstring, std::string> out;
        for (const wchar_t* rel : {L"templates/转账支票.dxt", L"templates/café.dxt", L"templates/a<b>.dxt",
                                   L"templates/对公业务/进账单.dxt", L"templates/对公业务/电汇凭证.DXT",
                                   L"templates/个人/存款.dxt", L"doxcore.db"}) {
            std::wstring entry = rel;
            for (wchar_t& c : entry)
                if (c == L'/') c = L'\\';
            out[entry] = entry == L"doxcore.db" ? Bills(data.path() / "doxcore.db")
                                                : doxtest::ReadFileBytes(data.path() / P(rel));
        }
        return out;
    }

    bool Backup(const fs::path& archive)
    {
        BackupRestore job(W(data.path()), W(archive));
        std::atomic<bool> cancel{false};
        return job.RunBackup(cancel);
    }

    doxtest::TempDir data;
    doxtest::TempDir work;
};

TEST_F(Library, BackupOpensWithOtherReadersToTheSameBytes)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(Backup(archive));

    // Other readers see the stored names: Chinese names as coded runs, which may hold
    // '/' and so make folders of their own there.
    // cabextract keeps such a '/' as a '\\' within the name instead.
    struct Reader {
        const char* program;
        QStringList arguments;
        fs::path out;
        bool slashInName;
    };
    const std::vector<Reader> readers = {
        {"cabextract", {"-q", "-d", QString::fromStdString((work.path() / "cabextract").string())},
         work.path() / "cabextract", true},
        {"gcab", {"-x", "-C", QString::fromStdString((work.path() / "gcab").string())}, work.path() / "gcab", false},
    };
    for (const Reader& reader : readers) {
        SCOPED_TRACE(reader.program);
        fs::create_directories(reader.out);
        QProcess process;
        process.start(QString::fromLatin1(reader.program),
                      QStringList(reader.arguments) << QString::fromStdString(archive.string()));
        ASSERT_TRUE(process.waitForFinished(30000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        std::map<std::string, std::string> expected;
        for (const auto& [entry, bytes] : Expected()) {
            std::string stored = *Cabinet::EncodeName(entry);
            for (char& c : stored) {
                if (c == '\\')
                    c = '/';
                else if (c == '/' && reader.slashInName)
                    c = '\\';
            }
            expected[stored] = bytes;
        }
        std::map<std::string, std::string> got;
        for (const auto& [rel, bytes] : WithBills(reader.out))
            if (bytes != "dir") got[rel] = bytes;
        ASSERT_EQ(got.size(), expected.size());
        for (const auto& [rel, bytes] : expected) {
            SCOPED_TRACE(rel);
            ASSERT_TRUE(got.count(rel));
            EXPECT_TRUE(got[rel] == bytes);
        }
    }
}

// Runs a backup or a restore through the dialog, as the commands do.
int RunDialog(int backup, const fs::path& archive, const fs::path& data, std::wstring* reason,
              std::function<bool()> hook = {})
{
    CProgressDlg dialog(backup, W(archive), W(data));
    dialog.SetStepHook(std::move(hook));
    const int result = dialog.DoModal();
    *reason = dialog.GetReason();
    return result;
}

TEST_F(Library, BackUpLoseFilesRestoreAndEverythingIsBack)
{
    const fs::path archive = work.path() / "备份" / "all.dxb"; // the folder is made
    std::wstring reason;
    ASSERT_EQ(RunDialog(1, archive, data.path(), &reason), 1) << QString::fromStdWString(reason).toStdString();
    const auto before = WithBills(data.path());

    fs::remove(data.path() / P(L"templates/对公业务/进账单.dxt"));
    fs::remove(data.path() / P(L"templates/a<b>.dxt"));
    fs::remove_all(data.path() / P(L"templates/个人"));
    ASSERT_TRUE(doxtest::WriteFileBytes(data.path() / "doxcore.db", "a bill less"));
    // What SQLite left beside the old database belongs to it alone.
    for (const char* companion : {"doxcore.db-wal", "doxcore.db-shm", "doxcore.db-journal"})
        ASSERT_TRUE(doxtest::WriteFileBytes(data.path() / companion, "of the old database"));

    ASSERT_EQ(RunDialog(0, archive, data.path(), &reason), 1) << QString::fromStdWString(reason).toStdString();
    EXPECT_EQ(reason, L"");
    EXPECT_EQ(WithBills(data.path()), before);
}

TEST_F(Library, HostileArchivesAreRefusedAndNothingChanges)
{
    // Archives that hold what no backup holds, written with the same wrapper.
    struct Case {
        const char* what;
        std::vector<std::wstring> entries; // the first is stored from doxcore.db, the rest from a template
        std::wstring reason;
    };
    const std::vector<Case> cases = {
        {"climbs out", {L"doxcore.db", L"..\\x"}, L"Corrupt cabinet"},
        {"climbs out below templates", {L"doxcore.db", L"templates\\..\\..\\x.dxt"}, L"Corrupt cabinet"},
        {"absolute", {L"doxcore.db", L"/etc/x.dxt"}, L"Corrupt cabinet"},
        {"not a template", {L"doxcore.db", L"templates\\run.sh"}, L"Corrupt cabinet"},
        {"too deep", {L"doxcore.db", L"templates\\a\\b\\c.dxt"}, L"Corrupt cabinet"},
        {"another file", {L"doxcore.db", L"evil.db"}, L"Corrupt cabinet"},
    };
    const auto before = Snapshot(data.path());
    // The shared temporary folder may hold an "x" of someone else's already.
    const bool strayBefore = fs::exists(data.path().parent_path() / "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path archive = work.path() / "hostile.dxb";
        Cabinet::CCompress writer;
        ASSERT_EQ(writer.Create(W(archive)), 1);
        ASSERT_EQ(writer.AddFile(W(data.path() / "doxcore.db"), c.entries[0]), 1);
        ASSERT_EQ(writer.AddFile(W(data.path() / P(L"templates/转账支票.dxt")), c.entries[1]), 1);
        ASSERT_EQ(writer.Finish(), 1);
        std::wstring reason;
        EXPECT_EQ(RunDialog(0, archive, data.path(), &reason), 2);
        EXPECT_EQ(reason, c.reason);
        EXPECT_EQ(Snapshot(data.path()), before);
    }
    EXPECT_FALSE(fs::exists(work.path() / "x"));
    if (!strayBefore) {
        EXPECT_FALSE(fs::exists(data.path().parent_path() / "x"));
    }
}

const char kDocumentTable[] =
    "CREATE TABLE doxdoctbl (id integer primary key autoincrement,docid text,docsize integer,doccrc32 integer,"
    "docdata blob)";

// A bill database as a file: the document table, the test's bills (many, so that it
// spans several pages), or a database of some other program.
std::string DatabaseBytes(bool bills, int count = 400)
{
    doxtest::TempDir folder;
    {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open((folder.path() / "x.db").c_str(), &db), SQLITE_OK);
        std::string sql = bills ? "CREATE TABLE doxdoctbl (id integer primary key autoincrement,docid text,"
                                  "docsize integer,doccrc32 integer,docdata blob);"
                                : "CREATE TABLE 客户(名称 TEXT);";
        sql += "CREATE TABLE bills(id INTEGER PRIMARY KEY, payee TEXT NOT NULL); BEGIN;";
        for (int i = 0; i < count; ++i) sql += "INSERT INTO bills(payee) VALUES('收款单位" + std::to_string(i) + std::string(40, 'x') + "');";
        EXPECT_EQ(sqlite3_exec(db, (sql + "COMMIT").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    return doxtest::ReadFileBytes(folder.path() / "x.db");
}

// The bytes of a database made by the given statements.
std::string DatabaseOf(const std::string& sql)
{
    doxtest::TempDir folder;
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open((folder.path() / "x.db").c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    return doxtest::ReadFileBytes(folder.path() / "x.db");
}

// An archive of the given entries and bytes, written as a backup writes it.
void WriteArchive(const fs::path& archive, const std::vector<std::pair<std::wstring, std::string>>& entries)
{
    doxtest::TempDir sources;
    Cabinet::CCompress writer;
    ASSERT_EQ(writer.Create(W(archive)), 1);
    int n = 0;
    for (const auto& [entry, bytes] : entries) {
        const fs::path source = sources.path() / std::to_string(n++);
        ASSERT_TRUE(doxtest::WriteFileBytes(source, bytes));
        ASSERT_EQ(writer.AddFile(W(source), entry), 1);
    }
    ASSERT_EQ(writer.Finish(), 1);
}

// Gives the archive's first entry another size in its file table, as a hand-made
// archive may: a member is judged by the size it declares, before it is written.
void DeclareFirstSize(const fs::path& archive, uint32_t size)
{
    std::string bytes = doxtest::ReadFileBytes(archive);
    const auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])); };
    const uint32_t files = at(16) | at(17) << 8 | at(18) << 16 | at(19) << 24;
    for (int i = 0; i < 4; ++i) bytes[files + i] = static_cast<char>(size >> (8 * i));
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, bytes));
}

TEST_F(Library, ArchivesWithoutARealDatabaseOrTemplateAreRefusedAndNothingChanges)
{
    // The old database as a running program leaves it: bills still in its log.
    {
        doxtest::TempDir running;
        Connection program(running.path() / "doxcore.db", true);
        program.Add({"日志里的账单", "还没写回"});
        for (const char* file : {"doxcore.db", "doxcore.db-wal", "doxcore.db-shm"})
            fs::copy_file(running.path() / file, data.path() / file, fs::copy_options::overwrite_existing);
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImage(16, 16, QImage::Format_RGB32).save(&buffer, "PNG");
    }
    std::string random(8192, '\0');
    uint32_t seed = 12345;
    for (char& c : random) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
    const std::string real = DatabaseBytes(true);
    std::string damaged = real;
    // The page headers of the bill table's pages are overwritten.
    for (size_t page = 3; page * 4096 < damaged.size(); ++page)
        for (size_t i = (page - 1) * 4096; i < (page - 1) * 4096 + 12; ++i) damaged[i] = '\x7F';

    struct Case {
        const char* what;
        std::wstring entry;
        std::string bytes;
        std::wstring reason;
        uint32_t declared = 0; // a size the file table claims instead of the real one
    };
    // SQLite's own words for the damage follow this.
    const std::wstring damage = L"备份文件中的数据库已损坏（";
    const std::wstring notADatabase = L"备份文件中的数据库已损坏（file is not a database）。";
    const std::vector<Case> cases = {
        {"text", L"doxcore.db", "账单都在这里 (not really)", notADatabase},
        {"random bytes", L"doxcore.db", random, notADatabase},
        {"a picture", L"doxcore.db", png.toStdString(), notADatabase},
        {"zeros", L"doxcore.db", std::string(8192, '\0'), notADatabase},
        {"a truncated database", L"doxcore.db", real.substr(0, real.size() / 2), damage},
        {"a damaged database", L"doxcore.db", damaged, damage},
        {"an empty file", L"doxcore.db", "", L"备份文件中的数据库不是票据数据库（没有表“doxdoctbl”）。"},
        {"a database of another program", L"doxcore.db", DatabaseBytes(false, 3),
         L"备份文件中的数据库不是票据数据库（没有表“doxdoctbl”）。"},
        // Databases the core would open and then fail on every template or bill.
        {"a table named doxdoctbl of other columns", L"doxcore.db", DatabaseOf("CREATE TABLE doxdoctbl(名称 TEXT)"),
         L"备份文件中的数据库不是票据数据库（表“doxdoctbl”无法读取：no such column: id）。"},
        {"a view named doxdoctbl", L"doxcore.db",
         DatabaseOf("CREATE TABLE t(id, docid, docsize, doccrc32, docdata); CREATE VIEW doxdoctbl AS SELECT * FROM t"),
         L"备份文件中的数据库不是票据数据库（没有表“doxdoctbl”）。"},
        {"an element stored twice", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) + "; INSERT INTO doxdoctbl(docid) VALUES('p1.kqxdatabase');"
                                                  "INSERT INTO doxdoctbl(docid) VALUES('P1.KQXDATABASE')"),
         L"备份文件中的数据库不是票据数据库（表“doxdoctbl”中的元素“P1.KQXDATABASE”出现了两次）。"},
        {"an element without an id", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) + "; INSERT INTO doxdoctbl(docsize) VALUES(0)"),
         L"备份文件中的数据库不是票据数据库（表“doxdoctbl”中有没有标识的元素）。"},
        {"a bill table without its row column", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) +
                    "; CREATE TABLE p1_MainTable(id integer primary key, parentId integer, createtime integer, 收款人 text)"),
         L"备份文件中的数据库不是票据数据库（票据表“p1_MainTable”缺少列“row”）。"},
        {"a view in a bill table's place", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) + "; CREATE VIEW p1_table2 AS SELECT 1 AS id"),
         L"备份文件中的数据库不是票据数据库（票据表“p1_table2”不是表）。"},
        // Bill tables whose id is not the row key: each bill saved after such a restore
        // would be stored with a NULL id and never be found by the id the save gave.
        {"bills with NULL and repeated ids, not the row key", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) +
                    "; CREATE TABLE p1_MainTable(id integer, parentId integer, createtime integer, row integer);"
                    "INSERT INTO p1_MainTable(id, row) VALUES (NULL, 0), (3, 0), (3, 0)"),
         L"备份文件中的数据库不是票据数据库（票据表“p1_MainTable”的列“id”不是它的行号（INTEGER PRIMARY KEY））。"},
        {"text ids as the key", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) +
                    "; CREATE TABLE p1_table0(id text primary key, parentId integer, createtime integer, row integer);"
                    "INSERT INTO p1_table0(id, row) VALUES ('甲', 0)"),
         L"备份文件中的数据库不是票据数据库（票据表“p1_table0”的列“id”不是它的行号（INTEGER PRIMARY KEY））。"},
        {"a key of two columns", L"doxcore.db",
         DatabaseOf(std::string(kDocumentTable) + "; CREATE TABLE p1_MainTable(id integer, parentId integer,"
                                                  " createtime integer, row integer, primary key(id, row))"),
         L"备份文件中的数据库不是票据数据库（票据表“p1_MainTable”的列“id”不是它的行号（INTEGER PRIMARY KEY））。"},
        {"a template of words", L"templates\\对公业务\\进账单.dxt", "DOXDOT! and then only words",
         L"备份文件中的模板“对公业务/进账单.dxt”已损坏。"},
        {"a template whose directory lies outside it", L"templates\\转账支票.dxt",
         std::string("DOXDOT!\x01\x01\0\0\0\xF0\xFF\0\0\0\0\0\0", 20) + "body",
         L"备份文件中的模板“转账支票.dxt”已损坏。"},
        {"a database of 1.5 GB", L"doxcore.db", real,
         L"备份文件中的数据库太大（1610612736 字节，最多 1073741824 字节）。", 0x60000000u},
        {"a template of 100 MB", L"templates\\转账支票.dxt", TemplateBytes("x"),
         L"备份文件中的模板“转账支票.dxt”太大（104857600 字节，最多 67108864 字节）。", 100u << 20},
        {"a template that declares more than the archive holds", L"templates\\转账支票.dxt", TemplateBytes("x"),
         L"Corrupt cabinet", 70000},
    };
    const auto before = Snapshot(data.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path archive = work.path() / "hostile.dxb";
        // A sound template beside it: the archive is refused as a whole.
        WriteArchive(archive, {{c.entry, c.bytes}, {L"templates\\个人\\存款.dxt", TemplateBytes("new")}});
        if (c.declared) DeclareFirstSize(archive, c.declared);
        std::wstring reason;
        EXPECT_EQ(RunDialog(0, archive, data.path(), &reason), 2);
        if (c.reason == damage)
            EXPECT_TRUE(reason.rfind(damage, 0) == 0 && reason.size() > damage.size() + 2)
                << QString::fromStdWString(reason).toStdString();
        else
            EXPECT_EQ(reason, c.reason) << QString::fromStdWString(reason).toStdString();
        EXPECT_TRUE(Snapshot(data.path()) == before);
    }
    // Not a file at all: nothing would ever arrive through a FIFO.
    const fs::path fifo = work.path() / "管道.dxb";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::wstring reason;
    EXPECT_EQ(RunDialog(0, fifo, data.path(), &reason), 2);
    EXPECT_EQ(reason, L"“" + W(fifo) + L"”不是备份文件。");
    EXPECT_TRUE(Snapshot(data.path()) == before);
    EXPECT_EQ(Bills(data.path() / "doxcore.db"), "ok;日志里的账单;还没写回;");
}

TEST_F(Library, NamesHoldingABackslashAreNotBackedUpAndAKilledBackupLeavesNothing)
{
    // Names a restore could not bring back whole: the previous backup stays.
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    struct Case {
        const wchar_t* file;
        std::wstring reason;
    };
    const std::vector<Case> cases = {
        {L"templates/x\\y.dxt", L"模板“x\\y.dxt”的名称中含有字符“\\”，无法备份。请先改名再备份。"},
        {L"templates/对公\\业务/z.dxt", L"模板“对公\\业务/z.dxt”的名称中含有字符“\\”，无法备份。请先改名再备份。"},
    };
    for (const Case& c : cases) {
        Put(c.file, TemplateBytes("odd name"));
        BackupRestore job(W(data.path()), W(archive));
        std::atomic<bool> cancel{false};
        EXPECT_FALSE(job.RunBackup(cancel));
        EXPECT_EQ(job.Reason(), c.reason);
        EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
        fs::remove(data.path() / P(c.file));
    }

    // A backup killed while it wrote left its temporary file; another backup is
    // writing one right now (it holds it locked). The next backup removes the first
    // only, and nothing of the user's.
    const fs::path killed = work.path() / ".cabtemp-Ab12Cd";
    const fs::path running = work.path() / ".cabtemp-Zz99Yy";
    for (const fs::path& file : {killed, running, work.path() / ".cabtemp-notes.txt", work.path() / "all.dxb.Ab12Cd"})
        ASSERT_TRUE(doxtest::WriteFileBytes(file, "MSCF half an archive"));
    const int held = ::open(running.c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ASSERT_TRUE(Backup(archive));
    ::close(held);
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(work.path() / ".cabtemp-notes.txt"));
    EXPECT_TRUE(fs::exists(work.path() / "all.dxb.Ab12Cd"));
}

TEST_F(Library, ALongNameIsRefusedUpFrontAndNamed)
{
    // The previous backup stays and the message names the template, whichever file
    // of the library it is.
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    // Names the file system holds: 250 bytes of Latin letters, and Chinese characters
    // between Latin ones (each stored as a run of its own, five bytes).
    const std::wstring longName = std::wstring(246, L'a') + L".dxt";
    std::wstring mixed;
    for (int i = 0; i < 60; ++i) mixed += L"长a";
    mixed += L".dxt";
    std::wstring deep = W(data.path());
    while (deep.size() < 160) deep += L"/深一层的文件夹";
    struct Case {
        const char* what;
        std::wstring data;   // the data folder
        std::wstring folder; // below templates
        std::wstring name;
        std::wstring reason; // its start
    };
    // The message quotes such a name by its two ends.
    const std::wstring longEnd = L"…" + std::wstring(27, L'a') + L".dxt”";
    std::wstring mixedStart;
    std::wstring mixedEnd;
    for (int i = 0; i < 16; ++i) mixedStart += L"长a";
    for (int i = 0; i < 13; ++i) mixedEnd += L"长a";
    const std::vector<Case> cases = {
        {"a long name", W(data.path()), L"", longName,
         L"模板“" + std::wstring(32, L'a') + longEnd +
             L"的名称太长（在备份文件中占 260 字节，最多 254 字节），无法备份。请先改短名称再备份。"},
        {"a long name in a category", W(data.path()), L"对公业务", longName,
         L"模板“对公业务/" + std::wstring(27, L'a') + longEnd +
             L"的名称太长（在备份文件中占 274 字节，最多 254 字节），无法备份。请先改短名称再备份。"},
        {"Chinese between Latin letters", W(data.path()), L"", mixed,
         L"模板“" + mixedStart + L"…a" + mixedEnd +
             L".dxt”的名称太长（在备份文件中占 374 字节，最多 254 字节），无法备份。请先改短名称再备份。"},
        {"a short name in a deep data folder", deep, L"", L"转账支票.dxt", L"模板“转账支票.dxt”的路径太长（"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path folder = P(c.data) / "templates" / P(c.folder);
        fs::create_directories(folder);
        ASSERT_TRUE(doxtest::WriteFileBytes(folder / P(c.name), TemplateBytes("long")));
        BackupRestore job(c.data, W(archive));
        std::atomic<bool> cancel{false};
        int files = 0;
        job.stepHook = [&] { return ++files, true; };
        EXPECT_FALSE(job.RunBackup(cancel));
        EXPECT_EQ(job.Reason().substr(0, c.reason.size()), c.reason);
        EXPECT_EQ(files, 0) << "refused before the first file";
        EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
        fs::remove(folder / P(c.name));
    }
}

TEST_F(Library, AFailingWriteSaysWhatTheSystemReported)
{
    // Files may grow no larger than a few hundred bytes once the database copy is
    // made: the archive cannot be written. The reason names the limit, not an
    // input/output error.
    doxtest::TempDir temp;
    doxtest::ScopedEnv tmpdir("TMPDIR", temp.path().string());
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    struct rlimit unlimited{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
    BackupRestore job(W(data.path()), W(archive));
    bool limited = false;
    job.stepHook = [&] {
        if (!limited && !fs::is_empty(temp.path())) {
            const struct rlimit small{256, unlimited.rlim_max};
            limited = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
        return true;
    };
    std::atomic<bool> cancel{false};
    const bool ok = job.RunBackup(cancel);
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, ignored);
    ASSERT_TRUE(limited);
    EXPECT_FALSE(ok);
    EXPECT_EQ(job.Reason(), L"Could not create cabinet file\nError " + std::to_wstring(EFBIG) + L": " +
                                QString::fromLocal8Bit(std::strerror(EFBIG)).toStdWString());
    EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
    int left = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(work.path())) ++left;
    EXPECT_EQ(left, 1) << "no temporary archive";
    EXPECT_TRUE(fs::is_empty(temp.path())) << "no database copy";
}

TEST_F(Library, RestoreNeverWritesThroughALink)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(Backup(archive));
    doxtest::TempDir elsewhere;
    fs::rename(data.path() / P(L"templates/个人"), elsewhere.path() / "moved");
    fs::create_directory_symlink(elsewhere.path() / "moved", data.path() / P(L"templates/个人"));
    const auto before = Snapshot(data.path());
    const auto there = Snapshot(elsewhere.path());
    std::wstring reason;
    EXPECT_EQ(RunDialog(0, archive, data.path(), &reason), 2);
    EXPECT_EQ(reason, L"Failure writing to target file\nError 40: Too many levels of symbolic links");
    EXPECT_EQ(Snapshot(data.path()), before);
    EXPECT_EQ(Snapshot(elsewhere.path()), there);
}

TEST_F(Library, RestoreCutOffHalfWayLeavesTheOldFiles)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(Backup(archive));
    // The library has changed since: a restore would put the old state back.
    Put(L"templates/转账支票.dxt", TemplateBytes("cheque, edited since"));
    Put(L"doxcore.db", "bills added since");
    Put(L"doxcore.db-wal", "bills still in the log");
    Put(L"doxcore.db-shm", "the log's index");
    fs::remove(data.path() / P(L"templates/个人/存款.dxt"));
    const auto before = Snapshot(data.path());

    // Seven files: seven steps extract them, seven move them into place.
    for (int stopAt : {3, 9, 14}) {
        SCOPED_TRACE(stopAt);
        std::atomic<int> steps{0};
        std::wstring reason;
        EXPECT_EQ(RunDialog(0, archive, data.path(), &reason, [&] { return ++steps < stopAt; }), 2);
        EXPECT_EQ(reason, L"User aborted");
        EXPECT_EQ(steps.load(), stopAt);
        EXPECT_EQ(Snapshot(data.path()), before);
    }
}

TEST_F(Library, CancelledBackupLeavesTheOldArchive)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    CProgressDlg dialog(1, W(archive), W(data.path()));
    // The worker waits at the third file until Cancel has been pressed; files are still
    // left in the category folders then.
    std::atomic<int> files{0};
    std::atomic<bool> waiting{false};
    dialog.SetStepHook([&] {
        if (++files == 3) {
            waiting = true;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!dialog.CancelRequested() && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    });
    // The user presses Cancel while the worker is at that file.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (!waiting || dialog.CancelRequested()) return;
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("2"));
        ASSERT_NE(cancel, nullptr);
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    poll.start(5);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(dialog.GetReason(), L"备份取消");
    EXPECT_EQ(files.load(), 3); // the run ended there, not only its folder
    EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
    int left = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(work.path())) ++left;
    EXPECT_EQ(left, 1); // no temporary file either
}

TEST_F(Library, AFileThatCannotBeStoredFailsTheBackupAfterItsFolder)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    // The top folder holds a<b>.dxt, café.dxt and 转账支票.dxt, in that order; café.dxt
    // goes away after it was counted.
    BackupRestore job(W(data.path()), W(archive));
    int files = 0;
    job.stepHook = [&] {
        if (++files == 1) fs::remove(data.path() / P(L"templates/café.dxt"));
        return true;
    };
    std::atomic<bool> cancel{false};
    EXPECT_FALSE(job.RunBackup(cancel));
    EXPECT_EQ(job.Reason(), L"Failure opening file to be stored in cabinet\nError 2: No such file or directory");
    EXPECT_EQ(files, 3); // the rest of the folder was still tried, the categories were not
    EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
}

TEST_F(Library, TheDatabaseIsCopiedInAFolderOfItsOwnThatGoesAfterwards)
{
    doxtest::TempDir temp;
    doxtest::ScopedEnv tmpdir("TMPDIR", temp.path().string());
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(Backup(archive));
    EXPECT_TRUE(fs::is_empty(temp.path()));

    // A damaged database fails the backup, with SQLite's word for it; the older archive
    // stays as it was.
    const std::string previous = doxtest::ReadFileBytes(archive);
    Put(L"doxcore.db", std::string(4096, 'x'));
    BackupRestore job(W(data.path()), W(archive));
    std::atomic<bool> cancel{false};
    EXPECT_FALSE(job.RunBackup(cancel));
    EXPECT_EQ(job.Reason(),
              L"无法读取数据库" + plat::QuotedName(W(data.path() / "doxcore.db")) + L"：file is not a database");
    EXPECT_TRUE(doxtest::ReadFileBytes(archive) == previous);
    EXPECT_TRUE(fs::is_empty(temp.path()));
}

// What stands in the database's place and is no bill database fails the backup at
// once, naming the file: an archive without the bills, or with bills no restore could
// take back, would pass for a good backup.
TEST_F(Library, ABackupWithoutAUsableDatabaseFailsAtOnceAndSaysWhy)
{
    const fs::path archive = work.path() / "all.dxb";
    ASSERT_TRUE(doxtest::WriteFileBytes(archive, "the previous good backup"));
    const fs::path database = data.path() / "doxcore.db";
    const std::wstring named = plat::QuotedName(W(database));
    struct Case {
        const char* what;
        std::function<void()> make;
        std::wstring reason;
    };
    const std::vector<Case> cases = {
        // Opened, a FIFO would wait for a writer for ever.
        {"a FIFO", [&] { ASSERT_EQ(::mkfifo(database.c_str(), 0600), 0); },
         L"数据库" + named + L"不是普通文件（是命名管道），无法备份。"},
        {"a folder", [&] { fs::create_directory(database); }, L"数据库" + named + L"不是普通文件（是文件夹），无法备份。"},
        {"a link that loops", [&] { fs::create_symlink(database, database); },
         L"无法读取数据库" + named + L"：" + QString::fromLocal8Bit(std::strerror(ELOOP)).toStdWString() + L"。无法备份。"},
        {"bills whose id is not the row key",
         [&] {
             Connection(database, false).Exec("CREATE TABLE p1_MainTable(id integer, parentId integer,"
                                              " createtime integer, row integer)");
         },
         L"数据库不是票据数据库（票据表“p1_MainTable”的列“id”不是它的行号（INTEGER PRIMARY KEY））。无法备份。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(database);
        c.make();
        BackupRestore job(W(data.path()), W(archive));
        std::atomic<bool> cancel{false};
        const auto started = std::chrono::steady_clock::now();
        EXPECT_FALSE(job.RunBackup(cancel));
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
        EXPECT_EQ(job.Reason(), c.reason) << QString::fromStdWString(job.Reason()).toStdString();
        EXPECT_EQ(doxtest::ReadFileBytes(archive), "the previous good backup");
    }
    fs::remove(database);
}

// The copy of the database meets the file-size limit: the reason is what the system
// said of it, not SQLite's "disk I/O error". In a child, so that the limit binds no
// other thread of the tests.
TEST(DatabaseCopy, TheFileSizeLimitIsToldInTheSystemsWords)
{
    doxtest::TempDir data;
    doxtest::TempDir temp;
    doxtest::TempDir work;
    {
        Connection program(data.path() / "doxcore.db", false);
        std::vector<std::string> payees(2000, std::string(100, 'x'));
        program.Add(payees);
    }
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        ::setenv("TMPDIR", temp.path().c_str(), 1);
        std::signal(SIGXFSZ, SIG_IGN);
        BackupRestore job(W(data.path()), W(work.path() / "all.dxb"));
        // Before the database, the only file: the archive holds no more than its start.
        job.stepHook = [] {
            const struct rlimit small{64 << 10, 64 << 10};
            return ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        };
        std::atomic<bool> cancel{false};
        const bool ok = job.RunBackup(cancel);
        const std::string reason = QString::fromStdWString(job.Reason()).toStdString();
        const bool written =
            ::write(pipe[1], reason.data(), reason.size()) == static_cast<ssize_t>(reason.size());
        ::_exit(!ok && written ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string reason;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        reason.append(buffer, static_cast<size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << reason;
    const std::wstring told = QString::fromStdString(reason).toStdWString();
    const std::wstring start =
        L"无法把数据库" + plat::QuotedName(W(data.path() / "doxcore.db")) + L"复制到“" + W(temp.path());
    const std::wstring end = L"：" + QString::fromLocal8Bit(std::strerror(EFBIG)).toStdWString();
    EXPECT_EQ(told.substr(0, start.size()), start) << reason;
    EXPECT_TRUE(told.size() > end.size() && told.substr(told.size() - end.size()) == end) << reason;
    EXPECT_TRUE(fs::is_empty(temp.path())) << "no database copy left";
}

TEST_F(Library, EmptyLibraryGivesAValidEmptyArchive)
{
    doxtest::TempDir empty;
    const fs::path archive = work.path() / "empty.dxb";
    BackupRestore job(W(empty.path()), W(archive));
    std::vector<int> positions;
    int total = -1;
    job.onRange = [&](int t) { total = t; };
    job.onPosition = [&](int p) { positions.push_back(p); };
    std::atomic<bool> cancel{false};
    ASSERT_TRUE(job.RunBackup(cancel));
    EXPECT_EQ(total, 0);
    QProcess process;
    process.start(QStringLiteral("gcab"), {QStringLiteral("-t"), QString::fromStdString(archive.string())});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput(), QByteArray());
    doxtest::TempDir target;
    BackupRestore restore(W(target.path()), W(archive));
    EXPECT_TRUE(restore.RunRestore());
    EXPECT_TRUE(fs::is_empty(target.path()));

    // And the full library counts its seven files, reporting before each one.
    BackupRestore full(W(data.path()), W(work.path() / "full.dxb"));
    full.onRange = [&](int t) { total = t; };
    full.onPosition = [&](int p) { positions.push_back(p); };
    positions.clear();
    ASSERT_TRUE(full.RunBackup(cancel));
    EXPECT_EQ(total, 7);
    EXPECT_EQ(positions, (std::vector<int>{0, 0, 1, 2, 3, 4, 5, 6}));
}

TEST_F(Library, CommandsAskAndReportThroughThePrompter)
{
    dp::ScriptedPrompter script;
    dp::ScopedPrompter scope(&script);
    const fs::path archive = work.path() / "cmd.dxb";

    script.files = {{W(archive)}};
    BackupCommand(nullptr, W(data.path()));
    ASSERT_TRUE(fs::exists(archive));

    script.answers = {dp::kIdNo};
    EXPECT_FALSE(RestoreCommand(nullptr, W(data.path()))); // declined: no file dialog

    script.answers = {dp::kIdYes, dp::kIdOk};
    script.files = {{W(archive)}};
    EXPECT_TRUE(RestoreCommand(nullptr, W(data.path())));

    script.answers = {dp::kIdYes, dp::kIdOk};
    script.files = {{W(work.path() / "missing.dxb")}};
    EXPECT_TRUE(RestoreCommand(nullptr, W(data.path())));

    script.files = {{W(work.path() / "备份.dxb")}};
    BackupCommand(nullptr, W(data.path()));

    const std::vector<std::pair<std::wstring, unsigned>> shown = {
        {L"备份所有模板和数据库成功。\n备份文件:" + W(archive), 64},
        {L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？", 36},
        {L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？", 36},
        {L"恢复所有模板和数据库成功。", 64},
        {L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？", 36},
        {L"恢复所有模板和数据库失败。原因：Cabinet file (or part of splitted CAB) not found\nError 2: No such file or "
         L"directory",
         16},
        {L"备份所有模板和数据库失败。原因：The filename of the CAB file must NEVER contain Unicode characters!", 16},
    };
    ASSERT_EQ(script.messages.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(script.messages[i].text, shown[i].first) << i;
        EXPECT_EQ(script.messages[i].type, shown[i].second) << i;
    }
    ASSERT_EQ(script.fileRequests.size(), 4u);
    EXPECT_EQ(script.fileRequests[0].title, L"备份");
    EXPECT_EQ(script.fileRequests[1].title, L"恢复");
    for (const dp::FileDialogRequest& r : script.fileRequests) {
        EXPECT_EQ(r.okText, L"确定");
        EXPECT_EQ(r.defaultSuffix, L"dxb");
        EXPECT_EQ(r.filter, L"dox backup|*.dxb||");
    }
}

TEST_F(Library, ProgressDialogDuringABackup)
{
    // Grabbed while the worker waits at its fourth file of seven; DOX_SCREENSHOT_DIR
    // keeps the picture for a person to look at.
    CProgressDlg dialog(1, W(work.path() / "shot.dxb"), W(data.path()));
    std::atomic<bool> grabbed{false};
    std::atomic<int> files{0};
    dialog.SetStepHook([&] {
        if (++files == 4) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!grabbed && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    });
    QImage shot;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("1004"));
        if (grabbed || !bar || bar->value() != 3) return;
        shot = dialog.grab().toImage();
        grabbed = true;
    });
    poll.start(5);
    EXPECT_EQ(dialog.DoModal(), 1);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("正在备份..."));
    if (const char* dir = std::getenv("DOX_SCREENSHOT_DIR"))
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/backup-progress.png"));
    // The bar is filled about 3/7 from its left: the filled part differs from the rest.
    auto* bar = dialog.findChild<QProgressBar*>(QStringLiteral("1004"));
    const QRect r = bar->geometry();
    const int y = r.center().y();
    const QColor filled = shot.pixelColor(r.left() + r.width() / 5, y);
    const QColor empty = shot.pixelColor(r.left() + r.width() * 4 / 5, y);
    EXPECT_NE(filled, empty);
    EXPECT_EQ(shot.pixelColor(r.left() + r.width() * 3 / 10, y), filled);
    EXPECT_EQ(shot.pixelColor(r.left() + r.width() * 6 / 10, y), empty);
}


// The bill database in write-ahead-log mode, as the program runs it.
TEST(WalDatabase, BillsStillInTheLogAreInTheBackupAndAWriterCannotTearIt)
{
    doxtest::TempDir data;
    doxtest::TempDir work;
    const fs::path db = data.path() / "doxcore.db";
    Connection program(db, true);
    program.Add({"北京朝阳收款单位", "上海浦东"});
    ASSERT_GT(fs::file_size(data.path() / "doxcore.db-wal"), 0u);

    // Another program keeps committing bills two at a time while the backup runs.
    std::atomic<bool> stop{false};
    std::atomic<int> pairs{0};
    std::thread writer([&] {
        Connection other(db, true);
        while (!stop.load()) {
            other.Add({"pair", "pair"});
            ++pairs;
        }
    });
    while (pairs.load() < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const int before = pairs.load();
    BackupRestore backup(cabtest::W(data.path()), cabtest::W(work.path() / "all.dxb"));
    std::atomic<bool> cancel{false};
    const bool backedUp = backup.RunBackup(cancel);
    stop = true;
    writer.join();
    ASSERT_TRUE(backedUp) << QString::fromStdWString(backup.Reason()).toStdString();

    doxtest::TempDir out;
    BackupRestore restore(cabtest::W(out.path()), cabtest::W(work.path() / "all.dxb"));
    ASSERT_TRUE(restore.RunRestore()) << QString::fromStdWString(restore.Reason()).toStdString();
    const std::string bills = Bills(out.path() / "doxcore.db");
    const std::string head = "ok;北京朝阳收款单位;上海浦东;";
    ASSERT_EQ(bills.substr(0, head.size()), head) << bills;
    int copied = 0;
    for (size_t at = head.size(); at < bills.size(); at = bills.find(';', at) + 1) {
        ASSERT_EQ(bills.compare(at, 5, "pair;"), 0) << bills;
        ++copied;
    }
    EXPECT_EQ(copied % 2, 0);
    EXPECT_GE(copied, 2 * before);
}

TEST(WalDatabase, RestoreOverADatabaseWithALogGivesExactlyTheArchivedBills)
{
    doxtest::TempDir work;
    // One archive with a database of two bills, one with a template only.
    doxtest::TempDir withBills;
    Connection(withBills.path() / "doxcore.db", true).Add({"北京朝阳收款单位", "上海浦东"});
    doxtest::TempDir templatesOnly;
    fs::create_directories(templatesOnly.path() / "templates");
    ASSERT_TRUE(doxtest::WriteFileBytes(templatesOnly.path() / "templates" / "a.dxt", TemplateBytes("x")));
    std::atomic<bool> cancel{false};
    for (const auto& [folder, name] : {std::pair{&withBills, "bills.dxb"}, std::pair{&templatesOnly, "templates.dxb"}}) {
        BackupRestore backup(cabtest::W(folder->path()), cabtest::W(work.path() / name));
        ASSERT_TRUE(backup.RunBackup(cancel)) << QString::fromStdWString(backup.Reason()).toStdString();
    }

    const std::string old = "ok;新来的;又一张;第三张;";
    struct Case {
        const char* what;
        const char* archive;
        int stopAt; // the restore's step that is refused; 0 for none
        std::string bills;
    };
    const std::vector<Case> cases = {
        {"database restored", "bills.dxb", 0, "ok;北京朝阳收款单位;上海浦东;"},
        {"no database in the archive keeps the log", "templates.dxb", 0, old},
        {"cut off before extracting", "bills.dxb", 1, old},
        {"cut off before moving into place", "bills.dxb", 2, old},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The data folder as a program left it that ended without closing the database:
        // its bills are committed but only in the log.
        doxtest::TempDir data;
        {
            doxtest::TempDir running;
            Connection program(running.path() / "doxcore.db", true);
            program.Add({"新来的", "又一张", "第三张"});
            for (const char* file : {"doxcore.db", "doxcore.db-wal", "doxcore.db-shm"})
                fs::copy_file(running.path() / file, data.path() / file);
        }
        ASSERT_GT(fs::file_size(data.path() / "doxcore.db-wal"), 0u);

        BackupRestore restore(cabtest::W(data.path()), cabtest::W(work.path() / c.archive));
        int steps = 0;
        restore.stepHook = [&] { return ++steps != c.stopAt; };
        EXPECT_EQ(restore.RunRestore(), c.stopAt == 0) << QString::fromStdWString(restore.Reason()).toStdString();
        if (c.bills != old) {
            EXPECT_FALSE(fs::exists(data.path() / "doxcore.db-wal"));
            EXPECT_FALSE(fs::exists(data.path() / "doxcore.db-shm"));
        }
        EXPECT_EQ(Bills(data.path() / "doxcore.db"), c.bills);
        // Nothing of the restore's own is left in the data folder.
        for (const auto& entry : fs::directory_iterator(data.path()))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
}

} // namespace

// A restore refused because another program holds the database leaves the data folder
// as it found it: no log or index of its own beside the database.
TEST(LockedDatabase, ARefusedRestoreLeavesNoFileBehind)
{
    doxtest::TempDir work;
    doxtest::TempDir withBills;
    Connection(withBills.path() / "doxcore.db", false).Add({"北京朝阳收款单位"});
    std::atomic<bool> cancel{false};
    {
        BackupRestore backup(W(withBills.path()), W(work.path() / "bills.dxb"));
        ASSERT_TRUE(backup.RunBackup(cancel)) << QString::fromStdWString(backup.Reason()).toStdString();
    }
    struct Case {
        const char* what;
        bool wal;
        const char* hold; // what the other program has begun and not ended
    };
    const std::vector<Case> cases = {
        {"a write in a rollback journal", false, "BEGIN IMMEDIATE; INSERT INTO bills(payee) VALUES('写到一半')"},
        {"a read of the log", true, "BEGIN; SELECT count(*) FROM bills"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        doxtest::TempDir data;
        const fs::path database = data.path() / "doxcore.db";
        Connection(database, c.wal).Add({"旧账单"});
        const auto before = Snapshot(data.path());
        std::vector<std::string> during;
        {
            Connection program(database, c.wal);
            program.Exec(c.hold);
            for (const auto& e : fs::directory_iterator(data.path()))
                during.push_back(e.path().filename().string());
            BackupRestore restore(W(data.path()), W(work.path() / "bills.dxb"));
            EXPECT_FALSE(restore.RunRestore());
            EXPECT_EQ(restore.Reason(),
                      L"数据库正被其他程序使用，无法恢复。请先关闭使用数据库的程序（包括打开着票据的窗口）再恢复。");
            std::vector<std::string> after;
            for (const auto& e : fs::directory_iterator(data.path()))
                after.push_back(e.path().filename().string());
            std::sort(during.begin(), during.end());
            std::sort(after.begin(), after.end());
            EXPECT_EQ(after, during);
            program.Exec("ROLLBACK");
        }
        EXPECT_EQ(Snapshot(data.path()), before);
        EXPECT_EQ(Bills(database), "ok;旧账单;");
    }
}
