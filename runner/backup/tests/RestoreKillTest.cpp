// Restores killed at chosen steps and at random moments, each in a process of its own,
// and restores beside another program that keeps saving bills. After a kill, once the
// program starts again, the library and the database are wholly the old ones or wholly
// the restored ones: no template of the one beside a template of the other, no bill
// lost, no folder of the restore's own left behind.

#include "BackupRestore.h"
#include "BillDatabase.h"
#include "FolderSnapshot.h"

#include "TestSupport.h"

#include <QString>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <random>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace
{

using backuptest::Bills;
using backuptest::TemplateBytes;
using cabtest::P;
using cabtest::Snapshot;
using cabtest::W;

#if defined(__SANITIZE_ADDRESS__)
constexpr int kRandomKills = 6; // the sanitizer build runs every process slower
#else
constexpr int kRandomKills = 16;
#endif

std::string Text(const std::wstring& text) { return QString::fromStdWString(text).toStdString(); }

void Exec(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
}

// A bill database as the program keeps it, with the test's bills in a table of their own.
sqlite3* OpenBills(const fs::path& file)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    Exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
             "CREATE TABLE IF NOT EXISTS doxdoctbl (id integer primary key autoincrement,docid text,"
             "docsize integer,doccrc32 integer,docdata blob);"
             "CREATE TABLE IF NOT EXISTS bills(id INTEGER PRIMARY KEY, payee TEXT NOT NULL)");
    return db;
}

void AddBills(sqlite3* db, const std::string& prefix, int count)
{
    std::string sql = "BEGIN;";
    for (int i = 1; i <= count; ++i) sql += "INSERT INTO bills(payee) VALUES('" + prefix + std::to_string(i) + "');";
    Exec(db, sql + "COMMIT");
}

pid_t Spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    EXPECT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    return pid;
}

int Wait(pid_t pid)
{
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    return status;
}

// The old library and the archive of a newer one, made once.
class Restores : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folders = new Folders;
        const fs::path source = folders->newer.path();
        fs::create_directories(source / "templates" / P(L"对公业务"));
        fs::create_directories(source / "templates" / P(L"新类别"));
        for (const auto& [rel, body] : std::vector<std::pair<std::wstring, std::string>>{
                 {L"templates/转账支票.dxt", "新的转账支票"},
                 {L"templates/对公业务/进账单.dxt", "新的进账单"},
                 {L"templates/新类别/新模板.dxt", "新类别里的"},
                 {L"templates/新.dxt", "新"}})
            ASSERT_TRUE(doxtest::WriteFileBytes(source / P(rel), TemplateBytes(body)));
        sqlite3* db = OpenBills(source / "doxcore.db");
        AddBills(db, "新", 50);
        sqlite3_close(db);
        BackupRestore backup(W(source), W(folders->work.path() / "newer.dxb"));
        std::atomic<bool> cancel{false};
        ASSERT_TRUE(backup.RunBackup(cancel)) << Text(backup.Reason());

        // The old library twice: its bills written back into the database, and with 200
        // of them still only in the log, as a program leaves it that is still running.
        for (bool wal : {false, true}) {
            const fs::path old = folders->old[wal].path();
            fs::create_directories(old / "templates" / P(L"对公业务"));
            for (const auto& [rel, body] : std::vector<std::pair<std::wstring, std::string>>{
                     {L"templates/转账支票.dxt", "旧的转账支票"},
                     {L"templates/对公业务/进账单.dxt", "旧的进账单"},
                     {L"templates/只在旧库.dxt", "只在旧库"}})
                ASSERT_TRUE(doxtest::WriteFileBytes(old / P(rel), TemplateBytes(body)));
            doxtest::TempDir running;
            sqlite3* db = OpenBills(running.path() / "doxcore.db");
            AddBills(db, "旧", 20);
            if (wal) {
                Exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
                AddBills(db, "日志里的", 200);
                for (const char* file : {"doxcore.db", "doxcore.db-wal", "doxcore.db-shm"})
                    fs::copy_file(running.path() / file, old / file);
                sqlite3_close(db);
            } else {
                sqlite3_close(db);
                fs::copy_file(running.path() / "doxcore.db", old / "doxcore.db");
            }
            ASSERT_EQ(fs::exists(old / "doxcore.db-wal"), wal);
        }
    }
    static void TearDownTestSuite()
    {
        delete folders;
        folders = nullptr;
    }

    struct Folders {
        doxtest::TempDir newer;
        doxtest::TempDir work;
        doxtest::TempDir old[2];
    };
    static Folders* folders;

    static fs::path Archive() { return folders->work.path() / "newer.dxb"; }

    // A fresh copy of the old library.
    void Fresh(bool wal)
    {
        for (const auto& e : fs::directory_iterator(data.path())) fs::remove_all(e.path());
        fs::copy(folders->old[wal].path(), data.path(), fs::copy_options::recursive);
    }

    struct State {
        std::map<std::string, std::string> templates;
        std::string bills;
        bool operator==(const State& o) const { return templates == o.templates && bills == o.bills; }
    };
    // What the folder holds as the program sees it (reading the database may fold its
    // log in, so this comes last).
    State Read(const fs::path& root) const
    {
        return {Snapshot(root / "templates"), Bills(root / "doxcore.db")};
    }
    // Anything the restore left of its own in the data folder.
    std::vector<std::string> Leftovers() const
    {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(data.path()))
            if (e.path().filename().string()[0] == '.') out.push_back(e.path().filename().string());
        return out;
    }

    doxtest::TempDir data;
};

Restores::Folders* Restores::folders = nullptr;

TEST_F(Restores, AKilledRestoreIsWhollyOldOrWhollyNewOnceTheProgramStartsAgain)
{
    // The two states a kill may leave, for each old library.
    State old[2];
    State restored[2];
    int steps[2] = {0, 0};
    std::chrono::microseconds runTime[2];
    for (bool wal : {false, true}) {
        Fresh(wal);
        old[wal] = Read(data.path());
        Fresh(wal);
        BackupRestore job(W(data.path()), W(Archive()));
        job.stepHook = [&] { return ++steps[wal], true; };
        ASSERT_TRUE(job.RunRestore()) << Text(job.Reason());
        restored[wal] = Read(data.path());
        ASSERT_NE(old[wal].bills.find("ok;旧1;"), std::string::npos);
        ASSERT_EQ(restored[wal].bills.rfind("ok;新1;", 0), 0u);
        // And the same run in a process of its own, for its time.
        Fresh(wal);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(Wait(Spawn({DOX_RESTORE_HELPER, "restore", data.path().string(), Archive().string(), "0"})), 0);
        runTime[wal] = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_TRUE(Read(data.path()) == restored[wal]);
    }
    EXPECT_EQ(old[true].bills.find("日志里的200;") != std::string::npos, true);

    std::mt19937 random(20261210);
    int kills = 0;
    int oldSeen = 0;
    int newSeen = 0;
    for (bool wal : {false, true}) {
        // Every step of the run once, then random moments.
        std::vector<int> plan;
        for (int step = 1; step <= steps[wal]; ++step) plan.push_back(step);
        for (int i = 0; i < kRandomKills; ++i) plan.push_back(-1);
        for (size_t i = 0; i < plan.size(); ++i) {
            const int step = plan[i];
            SCOPED_TRACE(std::string(wal ? "bills in the log, " : "") +
                         (step > 0 ? "killed at step " + std::to_string(step) : "killed at a random moment"));
            Fresh(wal);
            const pid_t pid = Spawn({DOX_RESTORE_HELPER, "restore", data.path().string(), Archive().string(),
                                     std::to_string(std::max(step, 0))});
            if (step < 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(
                    std::uniform_int_distribution<long>(0, runTime[wal].count() * 4 / 5)(random)));
                ::kill(pid, SIGKILL);
            }
            const int status = Wait(pid);
            if (step > 0) {
                ASSERT_TRUE(WIFSIGNALED(status));
            }
            kills += WIFSIGNALED(status) ? 1 : 0;

            // The program starts again; every fourth time the next restore comes first.
            if (i % 4 == 3) {
                BackupRestore again(W(data.path()), W(Archive()));
                ASSERT_TRUE(again.RunRestore()) << Text(again.Reason());
                EXPECT_TRUE(Read(data.path()) == restored[wal]);
            } else {
                ASSERT_EQ(BackupRestore::Recover(W(data.path())), 0);
                EXPECT_EQ(Leftovers(), std::vector<std::string>());
                const State now = Read(data.path());
                EXPECT_TRUE(now == old[wal] || now == restored[wal]) << now.bills.substr(0, 200);
                oldSeen += now == old[wal];
                newSeen += now == restored[wal];
            }
            EXPECT_EQ(Leftovers(), std::vector<std::string>());
        }
    }
    // Kills fell before and after the point of no return.
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 0);
    EXPECT_GE(kills, 2 * (steps[0] + kRandomKills) / 2);
    std::printf("%d kills, %d steps without and %d with bills in the log\n", kills, steps[0], steps[1]);
}

// Another program keeps saving bills all through a restore. Whatever it was told had
// been saved is in the database afterwards, unless the restore replaced it before it
// was saved; nothing it saves after the restore is lost.
TEST_F(Restores, AProgramSavingThroughoutLosesNothing)
{
    struct Case {
        const char* what;
        bool each; // a connection per save instead of one kept open
    };
    for (const Case& c : {Case{"connection kept open, as the program keeps it", false},
                          Case{"a connection for each save", true}}) {
        SCOPED_TRACE(c.what);
        Fresh(false);
        const auto templatesBefore = Snapshot(data.path() / "templates");
        const fs::path log = folders->work.path() / "saves.log";
        const fs::path stop = folders->work.path() / "stop";
        fs::remove(stop);
        const pid_t saver = Spawn({DOX_RESTORE_HELPER, "save", (data.path() / "doxcore.db").string(), log.string(),
                                   stop.string(), c.each ? "1" : "0"});
        auto saved = [&] {
            std::ifstream in(log);
            std::string line;
            int n = 0;
            while (std::getline(in, line)) n += line.rfind("ok ", 0) == 0;
            return n;
        };
        // Waits for the saver's n-th saved bill; a saver that ended or a wait that
        // took too long is named with what it had logged.
        auto waitForSaves = [&](int n) -> ::testing::AssertionResult {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (saved() < n) {
                int status = 0;
                const pid_t ended = ::waitpid(saver, &status, WNOHANG);
                if (ended == saver || std::chrono::steady_clock::now() > until) {
                    if (ended != saver) ::kill(saver, SIGKILL), ::waitpid(saver, &status, 0);
                    return ::testing::AssertionFailure()
                           << (ended == saver ? "the saver ended with status " + std::to_string(status)
                                              : std::string("the saver saved too slowly"))
                           << " after " << saved() << " of " << n << " saves; its log:\n"
                           << doxtest::ReadFileBytes(log);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            return ::testing::AssertionSuccess();
        };
        ASSERT_TRUE(waitForSaves(5));

        BackupRestore job(W(data.path()), W(Archive()));
        const bool restored = job.RunRestore();
        const long long ended = std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count();
        ASSERT_TRUE(waitForSaves(saved() + 10));
        ASSERT_TRUE(doxtest::WriteFileBytes(stop, ""));
        ASSERT_EQ(Wait(saver), 0);

        if (!c.each) {
            // It holds the database: the restore is refused and says why.
            EXPECT_FALSE(restored);
            EXPECT_EQ(job.Reason(), L"数据库正被其他程序使用，无法恢复。请先关闭使用数据库的程序（包括打开着票据的窗口）再恢复。");
            EXPECT_TRUE(Snapshot(data.path() / "templates") == templatesBefore);
        } else {
            EXPECT_TRUE(restored) << Text(job.Reason());
        }
        const std::string bills = Bills(data.path() / "doxcore.db");
        EXPECT_EQ(bills.rfind("ok;", 0), 0u) << bills.substr(0, 200);
        std::ifstream in(log);
        std::string word;
        int n = 0;
        long long when = 0;
        int kept = 0;
        while (in >> word >> n) {
            if (word == "ok") {
                in >> when;
                // A bill saved before the restore began is the old database's: a refused
                // restore keeps it; a restore that went through replaced it.
                if (!restored || when > ended) {
                    EXPECT_NE(bills.find(";另一个程序" + std::to_string(n) + ";"), std::string::npos) << n;
                    ++kept;
                }
            } else {
                std::getline(in, word); // a save that failed said so
            }
        }
        EXPECT_GE(kept, 10);
        EXPECT_EQ(Leftovers(), std::vector<std::string>());
    }
}

// Backups killed at every step: before each file, with the database copy made, and
// as the archive is written, flushed, renamed and its folder synced. The library
// and its bills are untouched, the archive at the path is the previous one or a
// whole new one, and once the next backup has run nothing of the killed one is left.
TEST_F(Restores, AKilledBackupLeavesTheLibraryAndAWholeArchiveAndNoCopyBehind)
{
    doxtest::TempDir out;
    doxtest::TempDir temp;
    doxtest::ScopedEnv tmpdir("TMPDIR", temp.path().string());
    const fs::path archive = out.path() / "all.dxb";
    const std::string previous = doxtest::ReadFileBytes(Archive());

    Fresh(true);
    const State old = Read(data.path());
    int steps = 0;
    {
        Fresh(true);
        BackupRestore job(W(data.path()), W(archive));
        job.stepHook = [&] { return ++steps, true; };
        const std::atomic<bool> cancel{false};
        ASSERT_TRUE(job.RunBackup(cancel)) << Text(job.Reason());
    }
    ASSERT_GE(steps, 8) << "three templates, the database, its copy and four steps of the archive";

    int whole = 0;
    for (int step = 1; step <= steps; ++step) {
        SCOPED_TRACE("killed at step " + std::to_string(step));
        Fresh(true);
        ASSERT_TRUE(doxtest::WriteFileBytes(archive, previous));
        const int status = Wait(Spawn({DOX_RESTORE_HELPER, "backup", data.path().string(), archive.string(),
                                       std::to_string(step)}));
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_TRUE(Read(data.path()) == old);
        EXPECT_EQ(Leftovers(), std::vector<std::string>());

        // The archive is the previous one or holds the whole library.
        const std::string now = doxtest::ReadFileBytes(archive);
        if (now != previous) {
            ++whole;
            doxtest::TempDir back;
            BackupRestore restore(W(back.path()), W(archive));
            ASSERT_TRUE(restore.RunRestore()) << Text(restore.Reason());
            EXPECT_TRUE(Read(back.path()) == old);
        }

        // The next backup clears what the killed one left.
        Fresh(true);
        BackupRestore next(W(data.path()), W(archive));
        const std::atomic<bool> cancel{false};
        ASSERT_TRUE(next.RunBackup(cancel)) << Text(next.Reason());
        std::vector<std::string> copies;
        for (const auto& e : fs::directory_iterator(temp.path())) copies.push_back(e.path().filename().string());
        EXPECT_EQ(copies, std::vector<std::string>());
        std::vector<std::string> besides;
        for (const auto& e : fs::directory_iterator(out.path())) besides.push_back(e.path().filename().string());
        EXPECT_EQ(besides, std::vector<std::string>{archive.filename().string()});
    }
    EXPECT_GE(whole, 1) << "a kill after the rename leaves the new archive";
}

// A data folder that may not be written (its files and folders read-only, the
// program run by an ordinary user) is backed up with every bill, those still in
// the log included, and nothing in it changes.
TEST_F(Restores, AReadOnlyDataFolderIsBackedUpWithEveryBill)
{
    doxtest::TempDir out;
    doxtest::TempDir temp;
    doxtest::ScopedEnv tmpdir("TMPDIR", temp.path().string());
    doxtest::ScopedEnv nobody("DOX_HELPER_AS_NOBODY", "1");
    fs::permissions(out.path(), fs::perms::all);
    fs::permissions(temp.path(), fs::perms::all);
    auto setModes = [&](bool writable) {
        for (const auto& e : fs::recursive_directory_iterator(data.path()))
            fs::permissions(e.path(),
                            e.is_directory() ? (writable ? fs::perms(0755) : fs::perms(0555))
                                             : (writable ? fs::perms(0644) : fs::perms(0444)));
        fs::permissions(data.path(), writable ? fs::perms(0755) : fs::perms(0555));
    };
    for (bool wal : {false, true}) {
        SCOPED_TRACE(wal ? "bills in the log" : "bills in the database");
        Fresh(wal);
        ASSERT_EQ(fs::exists(data.path() / "doxcore.db-wal"), wal);
        State old;
        {
            doxtest::TempDir copy;
            fs::copy(data.path(), copy.path(), fs::copy_options::recursive);
            old = Read(copy.path());
        }
        setModes(false);
        const auto before = Snapshot(data.path());
        const fs::path archive = out.path() / (wal ? "wal.dxb" : "plain.dxb");
        const int status = Wait(Spawn({DOX_RESTORE_HELPER, "backup", data.path().string(), archive.string(), "0"}));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_TRUE(Snapshot(data.path()) == before);
        setModes(true);
        EXPECT_TRUE(fs::is_empty(temp.path()));

        doxtest::TempDir back;
        BackupRestore restore(W(back.path()), W(archive));
        ASSERT_TRUE(restore.RunRestore()) << Text(restore.Reason());
        const State restored = Read(back.path());
        EXPECT_TRUE(restored == old) << restored.bills.substr(0, 200);
        if (wal) {
            EXPECT_NE(restored.bills.find("日志里的200;"), std::string::npos);
        }
    }
}

} // namespace
