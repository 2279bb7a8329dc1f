// A small program for the restore tests, run as a process of its own:
//   restore <data folder> <archive> <step>  restores; with a step above 0 it kills
//                                          itself at that step of the run
//   backup <data folder> <archive> <step>   backs up, killed at a step the same way
// With DOX_HELPER_AS_NOBODY set, a helper started as root runs as the user nobody.
//   save <database> <log> <stop file> <each> saves a bill every few milliseconds, as
//                                          the printing program does (one connection
//                                          kept open, or with <each> 1 one per save),
//                                          and logs "ok <n> <time>" or "fail <n> <why>"
//                                          for each until the stop file exists

#include "BackupRestore.h"

#include <QString>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <grp.h>
#include <unistd.h>

namespace
{

std::wstring W(const char* text) { return QString::fromUtf8(text).toStdWString(); }

long long Now()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Run(bool restore, const char* data, const char* archive, int step)
{
    BackupRestore job(W(data), W(archive));
    int steps = 0;
    if (step > 0)
        job.stepHook = [&] {
            if (++steps == step) ::raise(SIGKILL);
            return true;
        };
    const std::atomic<bool> cancel{false};
    const bool ok = restore ? job.RunRestore() : job.RunBackup(cancel);
    if (!ok) std::printf("%s\n", QString::fromStdWString(job.Reason()).toUtf8().constData());
    return ok ? 0 : 1;
}

sqlite3* Open(const char* database)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) return db;
    sqlite3_busy_timeout(db, 5000);
    sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    return db;
}

int Save(const char* database, const char* log, const char* stop, bool each)
{
    FILE* out = std::fopen(log, "w");
    if (!out) return 2;
    sqlite3* kept = each ? nullptr : Open(database);
    for (int n = 1; ::access(stop, F_OK) != 0; ++n) {
        sqlite3* db = each ? Open(database) : kept;
        const std::string sql = "INSERT INTO bills(payee) VALUES('另一个程序" + std::to_string(n) + "')";
        char* error = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
        if (rc == SQLITE_OK)
            std::fprintf(out, "ok %d %lld\n", n, Now());
        else
            std::fprintf(out, "fail %d %s\n", n, error ? error : sqlite3_errstr(rc));
        std::fflush(out);
        sqlite3_free(error);
        if (each) sqlite3_close(db);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    sqlite3_close(kept);
    std::fclose(out);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // DOX_HELPER_AS_NOBODY: run as an ordinary user, to whom file modes apply.
    if (std::getenv("DOX_HELPER_AS_NOBODY") && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
        std::perror("nobody");
        return 3;
    }
    if (argc == 5 && (std::strcmp(argv[1], "restore") == 0 || std::strcmp(argv[1], "backup") == 0))
        return Run(argv[1][0] == 'r', argv[2], argv[3], std::atoi(argv[4]));
    if (argc == 6 && std::strcmp(argv[1], "save") == 0) return Save(argv[2], argv[3], argv[4], argv[5][0] == '1');
    std::fprintf(stderr, "usage: restore|backup <data> <archive> <step> | save <database> <log> <stop> <each>\n");
    return 2;
}
