#include "BackupRestore.h"

#include "Cabinet.h"
#include "UIUitl.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

std::string Utf8(const std::wstring& s) { return QString::fromStdWString(s).toStdString(); }
std::wstring Wide(const std::string& s) { return QString::fromStdString(s).toStdWString(); }

bool IsTemplateName(const std::wstring& name)
{
    if (name.size() < 5) return false; // at least one character before ".dxt"
    const std::wstring tail = name.substr(name.size() - 4);
    return tail[0] == L'.' && (tail[1] | 0x20) == L'd' && (tail[2] | 0x20) == L'x' && (tail[3] | 0x20) == L't';
}

// The names of a folder's entries of one kind, sorted so that archives come out the same
// each time. Symbolic links are left out: a restore never writes through one either.
std::vector<std::wstring> Entries(const std::wstring& folder, bool folders)
{
    std::vector<std::wstring> names;
    const std::string path = Utf8(folder);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st{};
        if (::lstat((path + "/" + name).c_str(), &st) != 0) continue;
        if (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) names.push_back(Wide(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The accepted template files directly in a folder.
std::vector<std::wstring> TemplatesIn(const std::wstring& folder)
{
    std::vector<std::wstring> out;
    for (const std::wstring& name : Entries(folder, false))
        if (IsTemplateName(name) && UIUitl::CheckTemplateFile(folder + L"/" + name)) out.push_back(name);
    return out;
}

// A consistent copy of the bill database in a folder of its own, read through SQLite:
// bills committed but still in the write-ahead log are included, and a program writing
// meanwhile cannot tear the copy. The folder goes with the object.
class DatabaseCopy
{
public:
    DatabaseCopy() = default;
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;
    ~DatabaseCopy()
    {
        if (folder_.empty()) return;
        ::unlink(path_.c_str());
        ::rmdir(folder_.c_str());
    }

    // False with the reason when the database cannot be read.
    bool Make(const std::string& database, std::wstring* reason)
    {
        std::error_code noTemp;
        std::filesystem::path temp = std::filesystem::temp_directory_path(noTemp);
        if (noTemp) temp = "/tmp";
        folder_ = (temp / "doxbackup-XXXXXX").string();
        if (!::mkdtemp(folder_.data())) {
            Cabinet::CabError error(true);
            error.SetLibrary(Cabinet::kFciTempFile, errno);
            *reason = error.Text();
            folder_.clear();
            return false;
        }
        path_ = folder_ + "/doxcore.db";

        // The entry carries the time the bills last changed, which is the log's when there
        // is one (taken now: the last connection to close takes the log away).
        struct timespec newest{};
        for (const char* suffix : {"", "-wal"}) {
            struct stat st{};
            if (::stat((database + suffix).c_str(), &st) == 0 &&
                (st.st_mtim.tv_sec > newest.tv_sec ||
                 (st.st_mtim.tv_sec == newest.tv_sec && st.st_mtim.tv_nsec > newest.tv_nsec)))
                newest = st.st_mtim;
        }

        // Opened for writing as any program on the database is, so a hot rollback journal
        // is dealt with and the last connection to close tidies the log as usual.
        sqlite3* source = nullptr;
        sqlite3* copy = nullptr;
        std::string message;
        int rc = sqlite3_open_v2(database.c_str(), &source, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) {
            message = source ? sqlite3_errmsg(source) : sqlite3_errstr(rc);
        } else {
            sqlite3_busy_timeout(source, 5000);
            rc = sqlite3_open_v2(path_.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
            if (rc != SQLITE_OK) message = copy ? sqlite3_errmsg(copy) : sqlite3_errstr(rc);
        }
        if (rc == SQLITE_OK) {
            // One step copies every page within one read transaction: one snapshot.
            if (sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main")) {
                rc = sqlite3_backup_step(backup, -1);
                sqlite3_backup_finish(backup);
                if (rc == SQLITE_DONE)
                    rc = SQLITE_OK;
                else
                    message = sqlite3_errstr(rc);
            } else {
                rc = sqlite3_errcode(copy);
                message = sqlite3_errmsg(copy);
            }
        }
        sqlite3_close(copy);
        sqlite3_close(source);
        if (rc != SQLITE_OK) {
            Cabinet::CabError error(true);
            error.SetLibrary(Cabinet::kFciReadSource);
            *reason = error.Text() + L"\n" + Wide(message);
            return false;
        }

        const struct timespec times[2] = {newest, newest};
        ::utimensat(AT_FDCWD, path_.c_str(), times, 0);
        return true;
    }

    std::wstring Path() const { return Wide(path_); }

private:
    std::string folder_;
    std::string path_;
};

// The files SQLite keeps beside a database: its write-ahead log, the log's index and a
// rollback journal. Left beside a restored database, they would be replayed into it.
constexpr const char* kCompanions[] = {"-wal", "-shm", "-journal"};

// Moves the old database's companion files into a folder of their own inside the data
// folder (the same file system, so each move is a rename), to be put back when the
// restore fails or when it brought no database, and deleted when it did.
class CompanionsAside
{
public:
    explicit CompanionsAside(std::string database) : database_(std::move(database)) {}
    CompanionsAside(const CompanionsAside&) = delete;
    CompanionsAside& operator=(const CompanionsAside&) = delete;
    ~CompanionsAside() { PutBack(); }

    // 0, or the errno of the move that failed (what was moved is back then).
    int Move()
    {
        for (const char* suffix : kCompanions) {
            const std::string path = database_ + suffix;
            struct stat st{};
            if (::lstat(path.c_str(), &st) != 0) continue;
            if (folder_.empty()) {
                const size_t slash = database_.find_last_of('/');
                folder_ = database_.substr(0, slash == std::string::npos ? 0 : slash + 1) + ".dbaside-XXXXXX";
                if (!::mkdtemp(folder_.data())) {
                    const int failure = errno;
                    folder_.clear();
                    return failure;
                }
            }
            const std::string aside = folder_ + "/" + std::string(suffix + 1);
            if (::rename(path.c_str(), aside.c_str()) != 0) {
                const int failure = errno;
                PutBack();
                return failure;
            }
            moved_.push_back(suffix);
        }
        return 0;
    }
    void PutBack()
    {
        for (const char* suffix : moved_)
            ::rename((folder_ + "/" + std::string(suffix + 1)).c_str(), (database_ + suffix).c_str());
        moved_.clear();
        if (!folder_.empty()) ::rmdir(folder_.c_str()); // stays when something could not go back
        folder_.clear();
    }
    void Discard()
    {
        for (const char* suffix : moved_) ::unlink((folder_ + "/" + std::string(suffix + 1)).c_str());
        moved_.clear();
        PutBack();
    }

private:
    std::string database_;
    std::string folder_;
    std::vector<const char*> moved_;
};

} // namespace

BackupRestore::BackupRestore(std::wstring dataDirectory, std::wstring archivePath)
    : dataDirectory_(std::move(dataDirectory)), archivePath_(std::move(archivePath))
{
}

bool BackupRestore::AcceptedEntry(const std::vector<std::wstring>& parts)
{
    if (parts.size() == 1) return parts[0] == L"doxcore.db";
    return (parts.size() == 2 || parts.size() == 3) && parts[0] == L"templates" && IsTemplateName(parts.back());
}

bool BackupRestore::RunBackup(const std::atomic<bool>& cancel)
{
    reason_.clear();
    const std::wstring templates = dataDirectory_ + L"/templates";
    const std::wstring database = dataDirectory_ + L"/doxcore.db";

    // One group per folder: the top folder first, then each category.
    struct Group {
        std::wstring folder;      // on disk
        std::wstring entryPrefix; // in the archive
        std::vector<std::wstring> files;
    };
    std::vector<Group> groups;
    groups.push_back({templates, L"templates\\", TemplatesIn(templates)});
    for (const std::wstring& category : Entries(templates, true))
        groups.push_back({templates + L"/" + category, L"templates\\" + category + L"\\",
                          TemplatesIn(templates + L"/" + category)});
    struct stat st{};
    const bool haveDatabase = ::stat(Utf8(database).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    int total = haveDatabase ? 1 : 0;
    for (const Group& g : groups) total += static_cast<int>(g.files.size());
    if (onRange) onRange(total);
    if (onPosition) onPosition(0);

    Cabinet::CCompress archive;
    if (!archive.Create(archivePath_)) {
        reason_ = archive.GetLastErrorText();
        return false;
    }
    int added = 0;
    for (const Group& group : groups) {
        bool failed = false;
        for (const std::wstring& name : group.files) {
            if (onPosition) onPosition(added);
            if (stepHook && !stepHook()) {
                reason_ = L"备份取消";
                return false;
            }
            // A file that cannot be added fails its folder; the others are still tried,
            // so the reason names the last failure.
            if (archive.AddFile(group.folder + L"/" + name, group.entryPrefix + name))
                ++added;
            else {
                failed = true;
                reason_ = archive.GetLastErrorText();
            }
            // Cancel ends the whole run, not only this folder.
            if (cancel.load()) {
                reason_ = L"备份取消";
                return false;
            }
        }
        if (failed) return false;
    }
    if (haveDatabase) {
        if (onPosition) onPosition(added);
        if (stepHook && !stepHook()) {
            reason_ = L"备份取消";
            return false;
        }
        DatabaseCopy copy;
        if (!copy.Make(Utf8(database), &reason_)) return false;
        if (!archive.AddFile(copy.Path(), L"doxcore.db")) {
            reason_ = archive.GetLastErrorText();
            return false;
        }
        if (cancel.load()) {
            reason_ = L"备份取消";
            return false;
        }
    }
    if (!archive.Finish()) {
        reason_ = archive.GetLastErrorText();
        return false;
    }
    return true;
}

bool BackupRestore::RunRestore()
{
    reason_.clear();
    Cabinet::CExtract extract;
    if (!extract.Load()) {
        reason_ = extract.GetLastErrorText();
        return false;
    }
    // Only a restored database makes the old one's companions obsolete; otherwise they
    // go back beside it.
    bool bringsDatabase = false;
    extract.SetEntryFilter([&bringsDatabase](const Cabinet::CExtract::Entry& parts) {
        if (!AcceptedEntry(parts)) return false;
        bringsDatabase = bringsDatabase || parts.size() == 1;
        return true;
    });
    if (stepHook) extract.SetStepHook(stepHook);
    // The old database's log must be gone before the new database arrives.
    CompanionsAside companions(Utf8(dataDirectory_ + L"/doxcore.db"));
    if (const int failure = companions.Move()) {
        Cabinet::CabError error(false);
        error.SetLibrary(Cabinet::kFdiTargetFile, failure);
        reason_ = error.Text();
        return false;
    }
    if (!extract.ExtractAll(archivePath_, dataDirectory_)) {
        reason_ = extract.GetLastErrorText();
        return false; // the old database is back, and its companions with it
    }
    if (bringsDatabase) companions.Discard();
    return true;
}
