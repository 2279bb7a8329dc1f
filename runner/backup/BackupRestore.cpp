#include "BackupRestore.h"

#include "Cabinet.h"
#include "CabinetName.h"
#include "CabinetSwap.h"
#include "QuotedName.h"
#include "UIUitl.h"

#include <QString>

#include <sqlite3.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <fcntl.h>
#include <linux/falloc.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

std::string Utf8(const std::wstring& s) { return QString::fromStdWString(s).toStdString(); }
std::wstring Wide(const std::string& s) { return QString::fromStdString(s).toStdWString(); }

// What the system says of an error number, in the user's language where it has one.
std::wstring SystemText(int error)
{
    char buffer[256];
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : "").toStdWString();
}

// Why SQLite failed on a connection: what the system said when a system call failed
// under it (the file-size limit, a full disk: SQLite itself only says "disk I/O
// error"), SQLite's own words otherwise.
std::wstring SqliteReason(sqlite3* db, int rc)
{
    const int primary = rc & 0xFF;
    const int error = db ? sqlite3_system_errno(db) : 0;
    if (error != 0 && (primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_CANTOPEN))
        return SystemText(error);
    return Wide(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

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

// The folders the database copies are made in, in the system's temporary folder.
constexpr char kCopyPrefix[] = "doxbackup-";
constexpr const char* kCopyFiles[] = {"doxcore.db", "doxcore.db-journal", "doxcore.db-wal", "doxcore.db-shm"};

// Removes the files a database copy may have in its folder, then the folder; a
// folder holding anything else is left as it is.
void RemoveCopyFolder(const std::string& folder)
{
    for (const char* name : kCopyFiles) ::unlink((folder + "/" + name).c_str());
    ::rmdir(folder.c_str());
}

// Copies left by backups that were killed: a live backup holds its folder locked.
void RemoveKilledCopies(const std::string& temp)
{
    DIR* dir = ::opendir(temp.c_str());
    if (!dir) return;
    std::vector<std::string> found;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() == std::strlen(kCopyPrefix) + 6 && name.rfind(kCopyPrefix, 0) == 0) found.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : found) {
        const std::string folder = temp + "/" + name;
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) continue;
        struct stat st{};
        if (::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            RemoveCopyFolder(folder);
        ::close(fd);
    }
}

// What a file that is not a regular one is, as the user would call it.
std::wstring FileKind(mode_t mode)
{
    if (S_ISDIR(mode)) return L"文件夹";
    if (S_ISFIFO(mode)) return L"命名管道";
    if (S_ISSOCK(mode)) return L"套接字";
    if (S_ISCHR(mode)) return L"字符设备";
    if (S_ISBLK(mode)) return L"块设备";
    return L"特殊文件";
}

// Whether SQLite failed because the database or its folder may not be written.
bool CannotWrite(int rc)
{
    const int primary = rc & 0xFF;
    return primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY || primary == SQLITE_PERM;
}

// Opens the bill database to be read, waiting for a writer as long as a program
// would. A database that cannot be written (a read-only folder or file) is read
// through SQLite's read-only open; when even that cannot be had (no log index can
// be made beside it) and no log or journal lies beside it that would be passed
// over, as an immutable file.
int OpenForReading(const std::string& database, sqlite3** db)
{
    auto attempt = [&](const std::string& name, int flags) {
        int rc = sqlite3_open_v2(name.c_str(), db, flags, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(*db, 5000);
            rc = sqlite3_exec(*db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
        return rc;
    };
    int rc = attempt(database, SQLITE_OPEN_READWRITE);
    if (!CannotWrite(rc) && !(rc == SQLITE_OK && sqlite3_db_readonly(*db, "main") == 1)) return rc;
    sqlite3_close(*db);
    *db = nullptr;
    rc = attempt(database, SQLITE_OPEN_READONLY);
    if (!CannotWrite(rc)) return rc;
    for (const char* beside : {"-wal", "-journal"}) {
        struct stat st{};
        if (::stat((database + beside).c_str(), &st) == 0 && st.st_size > 0) return rc;
    }
    sqlite3_close(*db);
    *db = nullptr;
    std::string uri = "file:";
    for (const char c : database) {
        if (c == '%' || c == '?' || c == '#') {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            uri += code;
        } else {
            uri += c;
        }
    }
    return attempt(uri + "?immutable=1", SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
}

// A consistent copy of the bill database in a folder of its own, read through SQLite:
// bills committed but still in the write-ahead log are included, and a program writing
// meanwhile cannot tear the copy. The folder goes with the object; it is locked
// while the object lives, so a later backup removes it when this one was killed.
class DatabaseCopy
{
public:
    DatabaseCopy() = default;
    DatabaseCopy(const DatabaseCopy&) = delete;
    DatabaseCopy& operator=(const DatabaseCopy&) = delete;
    ~DatabaseCopy()
    {
        if (folder_.empty()) return;
        RemoveCopyFolder(folder_);
        if (lock_ >= 0) ::close(lock_);
    }

    // False with the reason when the database cannot be read.
    bool Make(const std::string& database, std::wstring* reason)
    {
        std::error_code noTemp;
        std::filesystem::path temp = std::filesystem::temp_directory_path(noTemp);
        if (noTemp) temp = "/tmp";
        RemoveKilledCopies(temp.string());
        folder_ = (temp / (std::string(kCopyPrefix) + "XXXXXX")).string();
        const bool made = ::mkdtemp(folder_.data()) != nullptr;
        if (made) lock_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (!made || lock_ < 0 || ::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
            const int failure = errno;
            if (lock_ >= 0) ::close(lock_);
            lock_ = -1;
            if (made) ::rmdir(folder_.c_str());
            *reason = L"无法在临时文件夹" + plat::QuotedName(Wide(temp.string())) + L"中建立数据库的副本：" +
                      SystemText(failure);
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

        // Opened for writing as any program on the database is, where it can be, so a
        // hot rollback journal is dealt with and the last connection to close tidies
        // the log as usual. A failure names the file it happened on.
        sqlite3* source = nullptr;
        sqlite3* copy = nullptr;
        int rc = OpenForReading(database, &source);
        if (rc != SQLITE_OK) {
            *reason = L"无法读取数据库" + plat::QuotedName(Wide(database)) + L"：" + SqliteReason(source, rc);
        } else {
            rc = sqlite3_open_v2(path_.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
            if (rc != SQLITE_OK) *reason = CopyFault(copy, rc);
        }
        if (rc == SQLITE_OK) {
            // One step copies every page within one read transaction: one snapshot.
            if (sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main")) {
                rc = sqlite3_backup_step(backup, -1);
                sqlite3_backup_finish(backup);
                // Its failure, on either side, is told on the copy's connection.
                if (rc == SQLITE_DONE)
                    rc = SQLITE_OK;
                else
                    *reason = L"无法把数据库" + plat::QuotedName(Wide(database)) + L"复制到" +
                              plat::QuotedName(Wide(path_)) + L"：" + SqliteReason(copy, rc);
            } else {
                rc = sqlite3_errcode(copy);
                *reason = CopyFault(copy, rc);
            }
        }
        sqlite3_close(copy);
        sqlite3_close(source);
        if (rc != SQLITE_OK) return false;

        const struct timespec times[2] = {newest, newest};
        ::utimensat(AT_FDCWD, path_.c_str(), times, 0);
        return true;
    }

    std::wstring Path() const { return Wide(path_); }

private:
    std::wstring CopyFault(sqlite3* copy, int rc) const
    {
        return L"无法写入数据库的副本" + plat::QuotedName(Wide(path_)) + L"：" + SqliteReason(copy, rc);
    }

    std::string folder_;
    std::string path_;
    int lock_ = -1;
};

// The files SQLite keeps beside a database: its write-ahead log, the log's index and a
// rollback journal. Left beside a restored database, they would be replayed into it.
constexpr const char* kCompanions[] = {"-wal", "-shm", "-journal"};

std::wstring Number(uint64_t value) { return std::to_wstring(value); }

uint32_t U32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Whether a file opens as a template: its header, its directory with the directory's
// checksum, and every element inside the file with its own checksum.
bool OpensAsTemplate(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    std::string bytes;
    struct stat st{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) <= BackupRestore::kMaxTemplateBytes) {
        bytes.resize(static_cast<size_t>(st.st_size));
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const uint64_t size = bytes.size();
    if (size < 20 || std::memcmp(data, "DOXDOT!", 7) != 0) return false;
    const uint32_t count = U32(data + 8);
    const uint32_t directory = U32(data + 12);
    if (count == 0 || directory == 0) return true; // a template without elements
    if (count > 31 || directory >= size) return false;
    uint64_t at = directory;
    uLong crc = crc32(0L, Z_NULL, 0);
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 13 > size) return false;
        const uint32_t offset = U32(data + at);
        const uint32_t length = U32(data + at + 4);
        const uint32_t elementCrc = U32(data + at + 8);
        const uint32_t nameLength = data[at + 12];
        if (nameLength == 0 || at + 13 + nameLength > size) return false;
        if (length > 0 && uint64_t{offset} + length > size) return false;
        crc = crc32(crc, data + at, 13 + nameLength);
        uLong element = crc32(0L, Z_NULL, 0);
        if (length > 0) element = crc32(element, data + offset, length);
        if (static_cast<uint32_t>(element) != elementCrc) return false;
        at += 13 + nameLength;
    }
    return static_cast<uint32_t>(crc) == U32(data + 16);
}

// Whether a table name is one the core gives a page's bills: the page id, then
// "_MainTable" or "_table" and a number.
bool IsBillTableName(const std::string& name)
{
    auto endsWith = [&](const std::string& tail) {
        return name.size() > tail.size() &&
               QString::fromStdString(name.substr(name.size() - tail.size())).compare(
                   QString::fromStdString(tail), Qt::CaseInsensitive) == 0;
    };
    if (endsWith("_MainTable")) return true;
    size_t digits = 0;
    while (digits < name.size() && name[name.size() - 1 - digits] >= '0' && name[name.size() - 1 - digits] <= '9')
        ++digits;
    return digits > 0 && endsWith("_table" + name.substr(name.size() - digits));
}

// Why the core could not open its documents or bills in a database, or nothing:
// the document table with the columns the core reads and element ids it accepts
// (not empty, none twice in any letter case), and every bill table with the columns
// each bill is read through.
std::wstring SchemaFault(sqlite3* db)
{
    auto rows = [db](const std::string& sql, const std::function<bool(sqlite3_stmt*)>& row, std::string* error) {
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW && row(statement)) {
            }
            if (rc == SQLITE_ROW) rc = SQLITE_DONE; // the caller has seen enough
        }
        if (rc != SQLITE_DONE) *error = sqlite3_errmsg(db);
        sqlite3_finalize(statement);
        return rc == SQLITE_DONE;
    };
    auto text = [](sqlite3_stmt* statement, int column) {
        const unsigned char* t = sqlite3_column_text(statement, column);
        return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    std::string error;
    bool documents = false;
    std::vector<std::pair<std::string, std::string>> billTables; // name, type
    if (!rows("SELECT name, type, sql FROM sqlite_master WHERE type IN ('table', 'view')",
              [&](sqlite3_stmt* st) {
                  const std::string name = text(st, 0);
                  if (name == "doxdoctbl" && text(st, 1) == "table" && sqlite3_column_type(st, 2) != SQLITE_NULL)
                      documents = true;
                  if (IsBillTableName(name)) billTables.emplace_back(name, text(st, 1));
                  return true;
              },
              &error))
        return L"无法读取表的目录：" + Wide(error);
    if (!documents) return L"没有表“doxdoctbl”";

    std::set<QString> ids;
    std::wstring idFault;
    if (!rows("select id,docid,docsize,doccrc32,docdata from doxdoctbl",
              [&](sqlite3_stmt* st) {
                  const QString id = QString::fromStdString(text(st, 1));
                  if (id.isEmpty())
                      idFault = L"表“doxdoctbl”中有没有标识的元素";
                  else if (!ids.insert(id.toCaseFolded()).second)
                      idFault = L"表“doxdoctbl”中的元素" + plat::QuotedName(id.toStdWString()) + L"出现了两次";
                  return idFault.empty();
              },
              &error))
        return L"表“doxdoctbl”无法读取：" + Wide(error);
    if (!idFault.empty()) return idFault;

    for (const auto& [name, type] : billTables) {
        const std::wstring shown = L"票据表" + plat::QuotedName(Wide(name));
        if (type != "table") return shown + L"不是表";
        std::set<QString> columns;
        std::string quoted;
        for (const char c : name) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        rows("PRAGMA table_info('" + quoted + "')",
             [&](sqlite3_stmt* st) { return columns.insert(QString::fromStdString(text(st, 1)).toCaseFolded()), true; },
             &error);
        for (const char* column : {"id", "parentId", "createtime", "row"})
            if (!columns.count(QString::fromLatin1(column).toCaseFolded()))
                return shown + L"缺少列“" + Wide(column) + L"”";
        // The core hands out a new bill's rowid as its id: only where id is the
        // INTEGER PRIMARY KEY does that id find the bill again (elsewhere it would be
        // stored as NULL, and old NULL, text or repeated ids find none or several).
        bool rowKey = false;
        const std::string table = "'" + quoted + "'";
        if (!rows("select (select count(*) from pragma_table_info(" + table + ") where pk > 0) = 1"
                  " and exists (select 1 from pragma_table_info(" + table + ") where pk = 1 and name = 'id'"
                  " collate nocase and upper(type) = 'INTEGER')"
                  " and not exists (select 1 from pragma_index_list(" + table + ") where origin = 'pk')",
                  [&](sqlite3_stmt* st) { return rowKey = sqlite3_column_int(st, 0) == 1, true; }, &error))
            return shown + L"无法读取：" + Wide(error);
        if (!rowKey) return shown + L"的列“id”不是它的行号（INTEGER PRIMARY KEY）";
        if (!rows("select id ,parentId,createtime,row from " + name + " order by id desc limit 1",
                  [](sqlite3_stmt*) { return true; }, &error))
            return shown + L"无法读取：" + Wide(error);
    }
    return {};
}

// Why a database extracted from an archive cannot replace the bill database, or
// nothing: it must be a sound SQLite database that the core opens: its document
// table and its bill tables as the core reads them.
std::wstring DatabaseFault(const std::string& path, const std::wstring& what)
{
    sqlite3* db = nullptr;
    std::wstring fault;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        fault = what + L"无法打开（" + Wide(db ? sqlite3_errmsg(db) : "out of memory") + L"）。";
        sqlite3_close(db);
        return fault;
    }
    sqlite3_stmt* statement = nullptr;
    std::string first;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check(1)", -1, &statement, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW && sqlite3_column_text(statement, 0))
        first = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    else
        first = sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    const std::string where = "*** in database main ***\n";
    if (first.rfind(where, 0) == 0) first.erase(0, where.size());
    if (first != "ok") {
        fault = what + L"已损坏（" + Wide(first) + L"）。";
    } else if (const std::wstring why = SchemaFault(db); !why.empty()) {
        fault = what + L"不是票据数据库（" + why + L"）。";
    }
    sqlite3_close(db);
    return fault;
}

// SQLite's exclusive lock on the live bill database, held from before the first file
// is replaced until the swap has ended: no other connection can write into the old
// database meanwhile, and one that is open refuses the restore. With the lock the log
// is folded into the database, so the database file alone holds every bill.
class DatabaseLock
{
public:
    DatabaseLock() = default;
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;
    // Closing never deletes a log by its name: by then the name is the restored
    // database's. The file's own descriptor goes last: closing it would drop
    // SQLite's locks on the file.
    ~DatabaseLock()
    {
        sqlite3_close(db_);
        if (fd_ >= 0) ::close(fd_);
    }

    // After a swap that replaced the database: the old file is emptied while still
    // locked. A program that opened it just before the swap and waits for the lock
    // then finds no database in it and fails, instead of saving bills into a file
    // that no longer has a name.
    void Retire()
    {
        if (fd_ < 0) return;
        struct stat st{};
        if (::fstat(fd_, &st) != 0 || st.st_nlink != 0) return; // still in place: kept
        if (::fallocate(fd_, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, st.st_size) != 0) {
            // Without holes the header alone is enough to make it no database.
            const std::string zeros(std::min<off_t>(st.st_size, 65536), '\0');
            if (::pwrite(fd_, zeros.data(), zeros.size(), 0) < 0) return;
        }
        ::fdatasync(fd_);
    }

    // Nothing, or why the restore must not go on.
    std::wstring Take(const std::string& path)
    {
        struct stat st{};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {}; // no database yet
        path_ = path;
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            return Fault(sqlite3_errcode(db_));
        fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        sqlite3_busy_timeout(db_, BackupRestore::kLockWaitMs);
        SetPersistentLog(true);
        int rc = sqlite3_exec(db_, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT", nullptr, nullptr,
                              nullptr);
        if (rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT) {
            // No database anyone can use: nothing to keep, nothing to lock.
            Release();
            return {};
        }
        if (rc != SQLITE_OK) return Fault(rc);
        int logFrames = 0;
        int copied = 0;
        rc = sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
        if (rc != SQLITE_OK) return Fault(rc);
        if (logFrames > 0) return Fault(SQLITE_BUSY);
        return {};
    }

private:
    void SetPersistentLog(bool persist)
    {
        int value = persist ? 1 : 0;
        if (db_) sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &value);
    }

    // A refused lock lets go at once and closes as any program closes the database:
    // with its log kept, the last connection to close would leave the log emptied
    // beside the database.
    std::wstring Fault(int rc)
    {
        std::wstring why;
        if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
            why = L"数据库正被其他程序使用，无法恢复。请先关闭使用数据库的程序（包括打开着票据的窗口）再恢复。";
        else
            why = L"无法锁定现有的数据库" + plat::QuotedName(Wide(path_)) + L"：" + SqliteReason(db_, rc);
        SetPersistentLog(false);
        Release();
        return why;
    }

    void Release()
    {
        sqlite3_close(db_);
        db_ = nullptr;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    std::string path_;
    sqlite3* db_ = nullptr;
    int fd_ = -1;
};

// The entry name as the user knows it: the path below "templates".
std::wstring Shown(const std::vector<std::wstring>& parts)
{
    std::wstring out;
    for (size_t i = parts.size() > 1 ? 1 : 0; i < parts.size(); ++i) out += (out.empty() ? L"" : L"/") + parts[i];
    return out;
}

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
        std::wstring category;    // empty for the top folder
    };
    std::vector<Group> groups;
    groups.push_back({templates, L"templates\\", TemplatesIn(templates), {}});
    for (const std::wstring& category : Entries(templates, true))
        groups.push_back({templates + L"/" + category, L"templates\\" + category + L"\\",
                          TemplatesIn(templates + L"/" + category), category});
    // Only what a restore takes back is stored: an archive that a restore would refuse
    // is never written. A name holding '\\' would split into other folders there.
    for (const Group& group : groups) {
        const std::wstring& category = group.category;
        for (const std::wstring& name : group.files) {
            const std::wstring shown = category.empty() ? name : category + L"/" + name;
            if (name.find(L'\\') != std::wstring::npos || category.find(L'\\') != std::wstring::npos) {
                reason_ = L"模板" + plat::QuotedName(shown) + L"的名称中含有字符“\\”，无法备份。请先改名再备份。";
                return false;
            }
            // The archive holds names of a bounded length: one long name would
            // otherwise stop the backup part-way, naming no file.
            const std::optional<std::string> entry = Cabinet::EncodeName(group.entryPrefix + name);
            const std::optional<std::string> source = Cabinet::EncodeName(group.folder + L"/" + name);
            if (entry && entry->size() > Cabinet::kMaxCodedPath) {
                reason_ = L"模板" + plat::QuotedName(shown) + L"的名称太长（在备份文件中占 " + Number(entry->size()) +
                          L" 字节，最多 " + Number(Cabinet::kMaxCodedPath) + L" 字节），无法备份。请先改短名称再备份。";
                return false;
            }
            if (source && source->size() > Cabinet::kMaxCodedPath) {
                reason_ = L"模板" + plat::QuotedName(shown) + L"的路径太长（" + Number(source->size()) + L" 字节，最多 " +
                          Number(Cabinet::kMaxCodedPath) + L" 字节），无法备份。请先改短名称再备份。";
                return false;
            }
            const std::string path = Utf8(group.folder + L"/" + name);
            struct stat file{};
            if (::stat(path.c_str(), &file) == 0 && static_cast<uint64_t>(file.st_size) > kMaxTemplateBytes) {
                reason_ = L"模板" + plat::QuotedName(shown) + L"太大（" +
                          Number(static_cast<uint64_t>(file.st_size)) +
                          L" 字节，最多 " + Number(kMaxTemplateBytes) + L" 字节），无法备份。";
                return false;
            }
            if (!OpensAsTemplate(path)) {
                reason_ = L"模板" + plat::QuotedName(shown) + L"已损坏，无法备份。";
                return false;
            }
        }
    }
    // No database yet is an empty bill store; anything else in its place (a FIFO would
    // block the open for ever, a folder holds no bills) or a database that cannot be
    // looked at fails the backup: an archive without the bills would pass for a whole one.
    struct stat st{};
    const bool haveDatabase = ::stat(Utf8(database).c_str(), &st) == 0;
    if (!haveDatabase && errno != ENOENT) {
        reason_ = L"无法读取数据库" + plat::QuotedName(database) + L"：" + SystemText(errno) + L"。无法备份。";
        return false;
    }
    if (haveDatabase && !S_ISREG(st.st_mode)) {
        reason_ = L"数据库" + plat::QuotedName(database) + L"不是普通文件（是" + FileKind(st.st_mode) + L"），无法备份。";
        return false;
    }
    int total = haveDatabase ? 1 : 0;
    for (const Group& g : groups) total += static_cast<int>(g.files.size());
    if (onRange) onRange(total);
    if (onPosition) onPosition(0);

    Cabinet::CCompress archive;
    if (stepHook) archive.SetStepHook(stepHook);
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
        if (stepHook && !stepHook()) {
            reason_ = L"备份取消";
            return false;
        }
        struct stat copied{};
        if (::stat(Utf8(copy.Path()).c_str(), &copied) == 0 &&
            static_cast<uint64_t>(copied.st_size) > kMaxDatabaseBytes) {
            reason_ = L"数据库太大（" + Number(static_cast<uint64_t>(copied.st_size)) + L" 字节，最多 " +
                      Number(kMaxDatabaseBytes) + L" 字节），无法备份。";
            return false;
        }
        if (std::wstring fault = DatabaseFault(Utf8(copy.Path()), L"数据库"); !fault.empty()) {
            reason_ = fault + L"无法备份。";
            return false;
        }
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

int BackupRestore::Recover(const std::wstring& dataDirectory)
{
    char* real = ::realpath(Utf8(dataDirectory).c_str(), nullptr);
    if (!real) return errno == ENOENT ? 0 : errno;
    const std::string target = real;
    std::free(real);
    return Cabinet::RecoverSwap(target);
}

bool BackupRestore::RunRestore()
{
    reason_.clear();
    // Only a regular file is read: a FIFO would wait for a writer for ever.
    const std::string archive = Utf8(archivePath_);
    struct stat st{};
    if (::stat(archive.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        reason_ = plat::QuotedName(archivePath_) + L"不是备份文件。";
        return false;
    }
    Cabinet::CExtract extract;
    if (!extract.Load()) {
        reason_ = extract.GetLastErrorText();
        return false;
    }
    extract.SetEntryFilter([](const Cabinet::CExtract::Entry& parts) { return AcceptedEntry(parts); });
    extract.SetEntryCheck([](const Cabinet::CExtract::Entry& parts, uint64_t size) -> std::wstring {
        const bool database = parts.size() == 1;
        const uint64_t most = database ? kMaxDatabaseBytes : kMaxTemplateBytes;
        if (size <= most) return {};
        return (database ? std::wstring(L"备份文件中的数据库") : L"备份文件中的模板" + plat::QuotedName(Shown(parts))) +
               L"太大（" + Number(size) + L" 字节，最多 " + Number(most) + L" 字节）。";
    });
    // Everything extracted is looked at before anything is replaced; the old database
    // is then locked until the swap has ended.
    DatabaseLock lock;
    const std::string database = Utf8(dataDirectory_ + L"/doxcore.db");
    extract.SetStagedCheck([&](const std::vector<Cabinet::CExtract::Staged>& staged, std::vector<std::string>* drops) {
        const Cabinet::CExtract::Staged* newDatabase = nullptr;
        for (const Cabinet::CExtract::Staged& file : staged) {
            if (file.parts.size() == 1)
                newDatabase = &file;
            else if (!OpensAsTemplate(file.path))
                return L"备份文件中的模板" + plat::QuotedName(Shown(file.parts)) + L"已损坏。";
        }
        if (!newDatabase) return std::wstring(); // the old database and its log stay as they are
        std::wstring fault = DatabaseFault(newDatabase->path, L"备份文件中的数据库");
        if (fault.empty()) fault = lock.Take(database);
        if (fault.empty())
            for (const char* suffix : kCompanions) drops->push_back(std::string("doxcore.db") + suffix);
        return fault;
    });
    if (stepHook) extract.SetStepHook(stepHook);
    if (!extract.ExtractAll(archivePath_, dataDirectory_)) {
        reason_ = extract.GetLastErrorText();
        return false;
    }
    lock.Retire();
    return true;
}
