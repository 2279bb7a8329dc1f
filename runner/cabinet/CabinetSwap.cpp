#include "CabinetSwap.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cabinet
{
namespace
{

constexpr const char* kJournalHead = "cabinet swap 1";

// Journal fields are separated by blanks: blanks, control characters and '%' in
// names are written as %XX.
std::string Escape(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c <= 0x20 || c == '%' || c == 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Unescape(const std::string& text, std::string* out)
{
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const std::string hex = text.substr(i + 1, 2);
        char* end = nullptr;
        const long value = std::strtol(hex.c_str(), &end, 16);
        if (hex.size() != 2 || *end != '\0') return false;
        *out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string ParentOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// The journal as read back: what each step was, in the order of the run.
struct Journal {
    std::string staging;
    std::vector<std::string> folders;
    struct Put {
        std::string staged, aside, path; // aside empty: there was no old file
    };
    std::vector<Put> puts;
    struct Drop {
        std::string aside, path;
    };
    std::vector<Drop> drops;
};

std::string Write(const Journal& journal)
{
    std::string text = std::string(kJournalHead) + "\nstaging " + Escape(journal.staging) + "\n";
    for (const std::string& folder : journal.folders) text += "folder " + Escape(folder) + "\n";
    for (const Journal::Put& put : journal.puts)
        text += "put " + Escape(put.staged) + " " + (put.aside.empty() ? "-" : Escape(put.aside)) + " " +
                Escape(put.path) + "\n";
    for (const Journal::Drop& drop : journal.drops)
        text += "drop " + Escape(drop.aside) + " " + Escape(drop.path) + "\n";
    return text + "end\n";
}

bool Parse(const std::string& text, Journal* journal)
{
    std::vector<std::vector<std::string>> lines;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) return false;
        std::vector<std::string> fields;
        std::string line = text.substr(at, end - at);
        at = end + 1;
        size_t from = 0;
        while (from <= line.size()) {
            const size_t blank = line.find(' ', from);
            std::string field;
            if (!Unescape(line.substr(from, blank == std::string::npos ? std::string::npos : blank - from), &field))
                return false;
            fields.push_back(field);
            if (blank == std::string::npos) break;
            from = blank + 1;
        }
        lines.push_back(fields);
    }
    if (lines.size() < 3 || text.compare(0, std::strlen(kJournalHead) + 1, std::string(kJournalHead) + "\n") != 0 ||
        lines.back() != std::vector<std::string>{"end"})
        return false;
    auto safe = [](const std::string& rel) {
        return !rel.empty() && rel[0] != '/' && ("/" + rel + "/").find("/../") == std::string::npos &&
               ("/" + rel + "/").find("/./") == std::string::npos;
    };
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::vector<std::string>& f = lines[i];
        if (f[0] == "staging" && f.size() == 2 && f[1].rfind(kStagingPrefix, 0) == 0 &&
            f[1].find('/') == std::string::npos)
            journal->staging = f[1];
        else if (f[0] == "folder" && f.size() == 2 && safe(f[1]))
            journal->folders.push_back(f[1]);
        else if (f[0] == "put" && f.size() == 4 && safe(f[3]) && f[1].find('/') == std::string::npos &&
                 f[2].find('/') == std::string::npos)
            journal->puts.push_back({f[1], f[2] == "-" ? std::string() : f[2], f[3]});
        else if (f[0] == "drop" && f.size() == 3 && safe(f[2]) && f[1].find('/') == std::string::npos)
            journal->drops.push_back({f[1], f[2]});
        else
            return false;
    }
    return !journal->staging.empty();
}

// Locks a staging folder for this process; the fd, or -1 when another run holds it
// (errno EWOULDBLOCK) or it cannot be opened.
int LockFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int failure = errno;
        ::close(fd);
        errno = failure;
        return -1;
    }
    return fd;
}

// Puts the target back as it was before the run: every replaced file gets its old
// one back, every new file goes, every dropped file returns. Steps already undone
// by an earlier try are recognised and skipped. 0 or the first failure's errno.
int Undo(const std::string& target, const Journal& journal)
{
    const std::string staging = target + "/" + journal.staging;
    int failure = 0;
    auto note = [&failure](bool ok) {
        if (!ok && !failure) failure = errno;
    };
    for (auto it = journal.drops.rbegin(); it != journal.drops.rend(); ++it) {
        const std::string path = target + "/" + it->path;
        const std::string aside = staging + "/" + it->aside;
        if (!Exists(aside)) continue;
        note(Exists(path) ? ::unlink(aside.c_str()) == 0 : ::rename(aside.c_str(), path.c_str()) == 0);
    }
    for (auto it = journal.puts.rbegin(); it != journal.puts.rend(); ++it) {
        const std::string path = target + "/" + it->path;
        const bool replaced = !Exists(staging + "/" + it->staged);
        const std::string aside = it->aside.empty() ? std::string() : staging + "/" + it->aside;
        if (replaced) {
            if (aside.empty())
                note(::unlink(path.c_str()) == 0 || errno == ENOENT);
            else if (Exists(aside))
                note(::rename(aside.c_str(), path.c_str()) == 0);
        } else if (!aside.empty() && Exists(aside)) {
            note(::unlink(aside.c_str()) == 0);
        }
    }
    for (auto it = journal.folders.rbegin(); it != journal.folders.rend(); ++it)
        ::rmdir((target + "/" + *it).c_str()); // stays when something else is in it
    return failure;
}

bool AllDone(const std::string& target, const Journal& journal)
{
    const std::string staging = target + "/" + journal.staging;
    for (const Journal::Put& put : journal.puts)
        if (Exists(staging + "/" + put.staged)) return false;
    for (const Journal::Drop& drop : journal.drops)
        if (Exists(target + "/" + drop.path)) return false;
    return true;
}

// The end of a run, or of its recovery: the staging folder with the old files goes,
// then the journal.
void Close(const std::string& target, const Journal& journal)
{
    RemoveStagingFolder(target + "/" + journal.staging);
    SyncFolder(target);
    ::unlink((target + "/" + kSwapJournal).c_str());
    SyncFolder(target);
}

bool ReadJournal(const std::string& path, Journal* journal)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() < (16u << 20))
        text.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    return Parse(text, journal);
}

// Opens `path` with `flags` and syncs it; errno tells why when it fails.
bool SyncOpened(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    const int failure = errno;
    ::close(fd);
    errno = failure;
    return ok;
}

} // namespace

bool SyncFolder(const std::string& folder)
{
    return SyncOpened(folder, O_DIRECTORY);
}

bool FlushFile(const std::string& path)
{
    return SyncOpened(path, O_NOFOLLOW | O_NONBLOCK);
}

void RemoveStagingFolder(const std::string& folder)
{
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") ::unlink((folder + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    ::rmdir(folder.c_str());
}

int MakeStaging(const std::string& target, std::string* name)
{
    std::string folder = target + "/" + kStagingPrefix + "XXXXXX";
    if (!::mkdtemp(folder.data())) return -1;
    const int fd = LockFolder(folder);
    if (fd < 0) {
        const int failure = errno;
        ::rmdir(folder.c_str());
        errno = failure;
        return -1;
    }
    *name = folder.substr(target.size() + 1);
    return fd;
}

int RunSwap(const SwapPlan& plan, const std::function<bool()>& hook)
{
    const std::string& target = plan.target;
    const std::string staging = target + "/" + plan.staging;

    // Every path is looked at before anything changes: no step may write through a
    // link or over a folder.
    Journal journal;
    journal.staging = plan.staging;
    auto early = [&staging](int code) {
        RemoveStagingFolder(staging);
        return code;
    };
    for (const std::string& folder : plan.folders) {
        struct stat st{};
        if (::lstat((target + "/" + folder).c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) return early(ELOOP);
            if (!S_ISDIR(st.st_mode)) return early(ENOTDIR);
        } else if (errno == ENOENT) {
            journal.folders.push_back(folder);
        } else {
            return early(errno);
        }
    }
    for (size_t i = 0; i < plan.puts.size(); ++i) {
        const SwapPlan::Put& put = plan.puts[i];
        struct stat st{};
        std::string aside;
        if (::lstat((target + "/" + put.path).c_str(), &st) == 0) {
            if (S_ISLNK(st.st_mode)) return early(ELOOP);
            if (S_ISDIR(st.st_mode)) return early(EISDIR);
            if (!S_ISREG(st.st_mode)) return early(EINVAL);
            aside = std::string("o").append(std::to_string(i));
        } else if (errno != ENOENT && errno != ENOTDIR) {
            return early(errno);
        }
        journal.puts.push_back({put.staged, aside, put.path});
    }
    for (size_t i = 0; i < plan.drops.size(); ++i) {
        struct stat st{};
        if (::lstat((target + "/" + plan.drops[i]).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) return early(EISDIR);
        journal.drops.push_back({std::string("d").append(std::to_string(i)), plan.drops[i]});
    }

    // Every file that is put in place is on the disk before the first change: after
    // a power cut no replaced file can be found empty or short.
    for (const SwapPlan::Put& put : plan.puts) {
        if (hook && !hook()) return early(-1);
        if (!FlushFile(staging + "/" + put.staged)) return early(errno);
    }

    // The journal, complete and on disk, before the first change. It is made in the
    // staging folder and linked into place, so it never replaces another run's.
    {
        const std::string text = Write(journal);
        const std::string temp = staging + "/j";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return early(errno);
        const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                             ::fsync(fd) == 0;
        const int writeError = errno;
        ::close(fd);
        if (!written) {
            ::unlink(temp.c_str());
            return early(writeError ? writeError : EIO);
        }
        const int linked = ::link(temp.c_str(), (target + "/" + kSwapJournal).c_str());
        const int linkError = errno;
        ::unlink(temp.c_str());
        if (linked != 0) return early(linkError == EEXIST ? EBUSY : linkError);
        SyncFolder(target);
    }

    int failure = 0;
    auto fail = [&](int code) {
        failure = code;
        if (Undo(target, journal) == 0) Close(target, journal);
        return failure;
    };
    auto step = [&]() { return !hook || hook(); };

    // The old files stay reachable from the staging folder until the end.
    for (const Journal::Put& put : journal.puts) {
        if (put.aside.empty()) continue;
        if (!step()) return fail(-1);
        if (::link((target + "/" + put.path).c_str(), (staging + "/" + put.aside).c_str()) != 0) return fail(errno);
    }
    for (const Journal::Drop& drop : journal.drops) {
        if (!step()) return fail(-1);
        if (::link((target + "/" + drop.path).c_str(), (staging + "/" + drop.aside).c_str()) != 0)
            return fail(errno);
    }
    std::set<std::string> touched{target};
    for (const std::string& folder : journal.folders) {
        if (::mkdir((target + "/" + folder).c_str(), 0777) != 0 && errno != EEXIST) return fail(errno);
        touched.insert(ParentOf(target + "/" + folder));
    }
    // The old files' second names are on the disk before any of them is replaced:
    // an undo after a power cut finds each one.
    if (!step()) return fail(-1);
    if (!SyncFolder(staging)) return fail(errno);

    // Each file is replaced by one rename; the late ones after the drops.
    auto put = [&](const Journal::Put& p) {
        if (!step()) return -1;
        const std::string path = target + "/" + p.path;
        if (::rename((staging + "/" + p.staged).c_str(), path.c_str()) != 0) return errno;
        touched.insert(ParentOf(path));
        return 0;
    };
    for (size_t i = 0; i < plan.lateFrom && i < journal.puts.size(); ++i)
        if (const int code = put(journal.puts[i])) return fail(code);
    for (const Journal::Drop& drop : journal.drops) {
        if (!step()) return fail(-1);
        if (::unlink((target + "/" + drop.path).c_str()) != 0 && errno != ENOENT) return fail(errno);
    }
    for (size_t i = plan.lateFrom; i < journal.puts.size(); ++i)
        if (const int code = put(journal.puts[i])) return fail(code);

    if (!step()) return fail(-1);
    for (const std::string& folder : touched)
        if (!SyncFolder(folder)) return fail(errno);
    // Every file is in place: from here on a cut-off run is finished, not undone.
    if (!step()) return fail(-1);
    Close(target, journal);
    return 0;
}

int RecoverSwap(const std::string& target)
{
    const std::string journalPath = target + "/" + kSwapJournal;
    std::string current;
    Journal journal;
    if (Exists(journalPath)) {
        if (!ReadJournal(journalPath, &journal)) return EINVAL;
        current = journal.staging;
        const std::string staging = target + "/" + journal.staging;
        int lock = -1;
        if (Exists(staging)) {
            lock = LockFolder(staging);
            if (lock < 0) return errno == EWOULDBLOCK ? 0 : errno; // its run is alive
        }
        int failure = 0;
        if (!AllDone(target, journal)) failure = Undo(target, journal);
        if (!failure) Close(target, journal);
        if (lock >= 0) ::close(lock);
        if (failure) return failure;
    }

    // Staging folders of runs that ended before their journal was written hold only
    // extracted files. A folder with anything else is none of ours to remove.
    if (DIR* dir = ::opendir(target.c_str())) {
        std::vector<std::string> strays;
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.rfind(kStagingPrefix, 0) == 0 && name != current) strays.push_back(name);
        }
        ::closedir(dir);
        for (const std::string& name : strays) {
            const std::string folder = target + "/" + name;
            struct stat st{};
            if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
            const int lock = LockFolder(folder);
            if (lock < 0) continue;
            bool onlyExtracted = true;
            if (DIR* inner = ::opendir(folder.c_str())) {
                while (dirent* e = ::readdir(inner)) {
                    const std::string file = e->d_name;
                    if (file != "." && file != ".." && file[0] != 'f' && file != "j") onlyExtracted = false;
                }
                ::closedir(inner);
            }
            if (onlyExtracted) RemoveStagingFolder(folder);
            ::close(lock);
        }
    }
    return 0;
}

} // namespace Cabinet
