#include "Cabinet.h"

#include "CabinetName.h"
#include "CabinetSwap.h"

// glib before Qt: Qt defines "signals" as a word that glib headers use.
#include <libgcab.h>

#include <QString>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <set>
#include <vector>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace Cabinet
{
namespace
{

// Texts of the library's codes and of the wrapper's own, as the program shows them.
const wchar_t* const kWriteTexts[] = {
    L"Success",
    L"Failure opening file to be stored in cabinet",
    L"Failure reading file to be stored in cabinet",
    L"Insufficient memory in FCI",
    L"Could not create a temporary file",
    L"Unknown compression type",
    L"Could not create cabinet file",
    L"Client requested abort",
    L"Failure compressing data",
};
const wchar_t* const kReadTexts[] = {
    L"Success",
    L"Cabinet file (or part of splitted CAB) not found",
    L"The file is not a cabinet",
    L"Unknown cabinet version",
    L"Corrupt cabinet",
    L"Memory allocation failed",
    L"Unknown compression type",
    L"Failure decompressing data",
    L"Failure writing to target file",
    L"Cabinets in set have different RESERVE sizes",
    L"Cabinet returned on fdintNEXT_CABINET is incorrect",
    L"User aborted",
};

const wchar_t* OwnText(bool writing, int code)
{
    if (code == 1000) return L"Could not load Cabinet.dll";
    if (writing) {
        switch (code) {
        case 1001: return L"Invalid parameters passed to compression function. Read the documentation!";
        case 1002: return L"The filename of the CAB file must NEVER contain Unicode characters!";
        case 1003: return L"Compressing Unicode paths requires Windows NT, 2000, XP or higher.";
        case 1004: return L"Could not create the directory where to save the CAB file.";
        case 1005:
            return L"The path is too long. (Max 250 Ansii characters or approx 100 Unicode characters).";
        default: return L"Unknown error";
        }
    }
    switch (code) {
    case 1002: return L"Invalid parameters passed to extraction function. Read the documentation!";
    case 1004: return L"The filename of the CAB file must NEVER contain Unicode characters!";
    case 1005: return L"Extracting Unicode paths requires Windows NT, 2000, XP or higher.";
    case 1007:
        return L"The path is too long. (Max 250 Ansii characters or approx 100 Unicode characters).";
    default: return L"Unknown error";
    }
}

// Stored attributes: read-only, hidden, system, archive; 0x100 says the time is UTC.
constexpr uint32_t kAttributeMask = 0x27;
constexpr uint32_t kReadOnly = 0x01;
constexpr uint32_t kHidden = 0x02;
constexpr uint32_t kArchive = 0x20;
constexpr uint32_t kNameIsUtf = 0x80;
constexpr uint32_t kUtcTime = 0x100;

std::string Utf8(const std::wstring& text) { return QString::fromStdWString(text).toStdString(); }
std::wstring Wide(const std::string& text) { return QString::fromStdString(text).toStdWString(); }

std::string Parent(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Makes a folder and its missing parents; false with errno set.
bool MakeFolders(const std::string& folder)
{
    if (folder.empty()) return true;
    struct stat st{};
    if (::stat(folder.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    const std::string parent = Parent(folder);
    if (!parent.empty() && parent != folder && !MakeFolders(parent)) return false;
    return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

// The temporary file an archive is written to before it replaces the path.
constexpr const char* kTempPrefix = ".cabtemp-";

void RemoveKilledTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> found;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() == std::strlen(kTempPrefix) + 6 && name.rfind(kTempPrefix, 0) == 0) found.push_back(name);
    }
    ::closedir(dir);
    for (const std::string& name : found) {
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

// The system's error number behind a failure of GIO, so the reason says what
// happened (a full disk, a file larger than allowed, a folder that may not be
// written) rather than "I/O error". GIO ends its messages of failed system calls
// with the system's own text of the number, which is matched first: several numbers
// share one GIO code.
// 0 when the failure was none of the system's (a stream that ended early).
int SystemErrorOrNone(const GError* error)
{
    if (!error || error->domain != G_IO_ERROR) return 0;
    if (error->message) {
        const std::string message = error->message;
        for (int number = 1; number < 256; ++number) {
            const std::string tail = std::string(": ") + g_strerror(number);
            if (message.size() > tail.size() && message.compare(message.size() - tail.size(), tail.size(), tail) == 0)
                return number;
        }
    }
    switch (error->code) {
    case G_IO_ERROR_NOT_FOUND: return ENOENT;
    case G_IO_ERROR_EXISTS: return EEXIST;
    case G_IO_ERROR_IS_DIRECTORY: return EISDIR;
    case G_IO_ERROR_NOT_DIRECTORY: return ENOTDIR;
    case G_IO_ERROR_NO_SPACE: return ENOSPC;
    case G_IO_ERROR_PERMISSION_DENIED: return EACCES;
    case G_IO_ERROR_READ_ONLY: return EROFS;
    case G_IO_ERROR_FILENAME_TOO_LONG: return ENAMETOOLONG;
    case G_IO_ERROR_TOO_MANY_LINKS: return ELOOP;
    case G_IO_ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case G_IO_ERROR_BUSY: return EBUSY;
#if GLIB_CHECK_VERSION(2, 74, 0)
    case G_IO_ERROR_NO_SUCH_DEVICE: return ENODEV;
#endif
    default: return 0;
    }
}

int SystemError(const GError* error)
{
    const int number = SystemErrorOrNone(error);
    return number ? number : EIO;
}

struct GFree {
    void operator()(gpointer p) const
    {
        if (p) g_object_unref(p);
    }
};
template <class T> using GPtr = std::unique_ptr<T, GFree>;

// libgcab turns every '/' of a name into '\'. A coded run may hold the base64 digit
// '/' but never '\', so inside runs the written names are set back to '/', and the
// UTF-8 mark libgcab adds to names with bytes above 127 is taken off again: these
// names are the 8-bit coding, not UTF-8.
bool PatchWrittenNames(int fd)
{
    unsigned char header[36];
    if (::pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header)) return false;
    const uint32_t coffFiles = header[16] | header[17] << 8 | header[18] << 16 | uint32_t(header[19]) << 24;
    const unsigned fileCount = header[28] | header[29] << 8;
    const unsigned flags = header[30] | header[31] << 8;
    if (flags & 0x0004) return false; // reserved areas: never written by us
    std::string table(static_cast<size_t>(fileCount) * (16 + 257), '\0');
    const ssize_t got = ::pread(fd, table.data(), table.size(), coffFiles);
    if (got < 0) return false;
    table.resize(static_cast<size_t>(got));
    size_t at = 0;
    for (unsigned i = 0; i < fileCount; ++i) {
        if (at + 16 > table.size()) return false;
        unsigned char* record = reinterpret_cast<unsigned char*>(table.data() + at);
        const unsigned attributes = (record[14] | record[15] << 8) & ~kNameIsUtf;
        record[14] = static_cast<unsigned char>(attributes & 0xFF);
        record[15] = static_cast<unsigned char>(attributes >> 8);
        at += 16;
        bool inRun = false;
        for (; at < table.size() && table[at] != '\0'; ++at) {
            char& c = table[at];
            if (c == '<') inRun = true;
            else if (c == '>') inRun = false;
            else if (inRun && c == '\\') c = '/';
        }
        if (at >= table.size()) return false;
        ++at;
    }
    return ::pwrite(fd, table.data(), at, coffFiles) == static_cast<ssize_t>(at);
}

// The inverse on reading: libgcab hands the names out with '/' turned into '\'.
std::string RestoreReadName(const std::string& name)
{
    std::string out = name;
    bool inRun = false;
    for (char& c : out) {
        if (c == '<') inRun = true;
        else if (c == '>') inRun = false;
        else if (inRun && c == '\\') c = '/';
    }
    return out;
}

uint32_t AttributesOf(const struct stat& st, const std::string& path)
{
    uint32_t attributes = kArchive;
    if (!(st.st_mode & S_IWUSR)) attributes |= kReadOnly;
    const size_t slash = path.find_last_of('/');
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0) attributes |= kHidden;
    return attributes;
}

} // namespace

std::wstring CabError::Text() const
{
    if (!text_.empty()) return text_;
    std::wstring text;
    if (own_ != 0) {
        text = OwnText(writing_, own_);
    } else if (library_ != 0) {
        const int count = writing_ ? 9 : 12;
        text = library_ > 0 && library_ < count ? (writing_ ? kWriteTexts : kReadTexts)[library_]
                                                : L"Unknown error";
    } else {
        return L"Success";
    }
    if (system_ != 0) {
        char buffer[256];
        const char* message = strerror_r(system_, buffer, sizeof buffer);
        std::wstring systemText = message && *message ? Wide(message)
                                                      : L"Microsoft has no explanation for this error code.";
        text += L"\nError " + std::to_wstring(system_) + L": " + systemText;
    }
    return text;
}

// ---------------------------------------------------------------------------------
// Writing

struct CCompress::State {
    std::string path; // the archive, UTF-8
    GPtr<GCabCabinet> cabinet;
    GCabFolder* folder = nullptr; // owned by the cabinet once added
    size_t files = 0;
};

CCompress::CCompress() = default;
CCompress::~CCompress() = default;

int CCompress::Create(const std::wstring& archivePath)
{
    state_.reset();
    const std::optional<std::string> coded = EncodeName(archivePath);
    if (!coded) {
        error_.SetOwn(1001);
        return 0;
    }
    if (coded->size() > kMaxCodedPath) {
        error_.SetOwn(1005);
        return 0;
    }
    const size_t slash = archivePath.find_last_of(L'/');
    const std::wstring name = slash == std::wstring::npos ? archivePath : archivePath.substr(slash + 1);
    if (slash == std::wstring::npos || name.size() < 3) {
        error_.SetOwn(1001);
        return 0;
    }
    for (wchar_t c : name) {
        if (static_cast<uint32_t>(c) > 0xFF) {
            error_.SetOwn(1002);
            return 0;
        }
    }
    const std::string path = Utf8(archivePath);
    if (!MakeFolders(Parent(path))) {
        error_.SetOwn(1004, errno);
        return 0;
    }
    auto state = std::make_unique<State>();
    state->path = path;
    state->cabinet.reset(gcab_cabinet_new());
    state_ = std::move(state);
    error_.Clear();
    return 1;
}

int CCompress::AddFile(const std::wstring& filePath, const std::wstring& entryName)
{
    if (!state_) {
        error_.SetOwn(1001);
        return 0;
    }
    const std::optional<std::string> codedFile = EncodeName(filePath);
    const std::optional<std::string> codedEntry = EncodeName(entryName);
    if (!codedFile || !codedEntry || codedEntry->empty()) {
        error_.SetOwn(1001);
        return 0;
    }
    if (codedFile->size() > kMaxCodedPath || codedEntry->size() > kMaxCodedPath) {
        error_.SetOwn(1005);
        return 0;
    }
    const std::string path = Utf8(filePath);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_.SetLibrary(kFciOpenSource, errno);
        return 0;
    }
    struct stat st{};
    std::string bytes;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    int readError = ok ? 0 : (errno ? errno : EISDIR);
    if (ok) {
        // The bytes are taken now, so a file that changes later cannot make the
        // stored size and the stored data disagree.
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ok = false;
                readError = errno;
                break;
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
    }
    ::close(fd);
    if (!ok) {
        error_.SetLibrary(kFciReadSource, readError);
        return 0;
    }
    if (bytes.size() > 0x7FFFFFFFu) {
        error_.SetLibrary(kFciReadSource, EFBIG);
        return 0;
    }

    // libgcab writes one folder per cabinet, so every file goes into that one.
    if (!state_->folder) {
        GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_MSZIP);
        GError* gerror = nullptr;
        if (!gcab_cabinet_add_folder(state_->cabinet.get(), folder, &gerror)) {
            g_clear_error(&gerror);
            g_object_unref(folder);
            error_.SetLibrary(kFciAllocFail);
            return 0;
        }
        g_object_unref(folder); // the cabinet holds it
        state_->folder = folder;
    }
    GBytes* data = g_bytes_new(bytes.data(), bytes.size());
    GPtr<GCabFile> file(gcab_file_new_with_bytes(codedEntry->c_str(), data));
    g_bytes_unref(data);
    GError* gerror = nullptr;
    if (!gcab_folder_add_file(state_->folder, file.get(), FALSE, nullptr, &gerror)) {
        g_clear_error(&gerror);
        error_.SetLibrary(kFciAllocFail);
        return 0;
    }
    // The last-write time in UTC; libgcab stores the fields it is given.
    struct tm utc{};
    time_t seconds = st.st_mtim.tv_sec;
    gmtime_r(&seconds, &utc);
    if (utc.tm_year < 80) utc = tm{0, 0, 0, 1, 0, 80, 0, 0, 0, 0, nullptr};
    GDateTime* when = g_date_time_new_utc(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                          utc.tm_min, utc.tm_sec);
    gcab_file_set_date_time(file.get(), when);
    g_date_time_unref(when);
    gcab_file_set_attributes(file.get(), (AttributesOf(st, path) & kAttributeMask) | kUtcTime);
    ++state_->files;
    error_.Clear();
    return 1;
}

int CCompress::Finish()
{
    if (!state_) {
        error_.SetOwn(1001);
        return 0;
    }
    if (!state_->folder) {
        // An archive without files still needs its one (empty) folder to be written.
        GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_MSZIP);
        GError* gerror = nullptr;
        const bool added = gcab_cabinet_add_folder(state_->cabinet.get(), folder, &gerror);
        g_clear_error(&gerror);
        g_object_unref(folder);
        if (!added) {
            error_.SetLibrary(kFciAllocFail);
            return 0;
        }
        state_->folder = folder;
    }
    const std::string folder = Parent(state_->path);
    const std::string place = folder.empty() ? std::string(".") : folder;
    RemoveKilledTemporaries(place);
    std::string temp = place + "/" + kTempPrefix + "XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error_.SetLibrary(kFciCabFile, errno);
        return 0;
    }
    // Locked while it is written: a later backup into the folder removes only
    // temporary files whose backup was killed.
    ::flock(fd, LOCK_EX);
    ::fchmod(fd, 0644);
    // The library seeks back to fill in sizes, so it writes through a seekable stream.
    GPtr<GFile> tempFile(g_file_new_for_path(temp.c_str()));
    GError* gerror = nullptr;
    GPtr<GFileIOStream> stream(g_file_open_readwrite(tempFile.get(), nullptr, &gerror));
    bool ok = stream != nullptr;
    int code = kFciCabFile;
    int systemError = SystemError(gerror);
    g_clear_error(&gerror);
    if (ok && !Step()) {
        ok = false;
        code = kFciUserAbort;
        systemError = 0;
    }
    if (ok) {
        GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(stream.get()));
        ok = gcab_cabinet_write_simple(state_->cabinet.get(), out, nullptr, nullptr, nullptr, &gerror);
        if (!ok && !(gerror && gerror->domain == G_IO_ERROR)) {
            code = kFciMciFail; // the library failed compressing, not the file system
            systemError = 0;
        } else if (!ok) {
            systemError = SystemError(gerror);
        }
        g_clear_error(&gerror);
        // Closing writes what the stream still holds: a full disk may show only here.
        if (!g_io_stream_close(G_IO_STREAM(stream.get()), nullptr, &gerror) && ok) {
            ok = false;
            systemError = SystemError(gerror);
        }
        g_clear_error(&gerror);
    }
    if (ok && !PatchWrittenNames(fd)) {
        ok = false;
        code = kFciCabFile;
        systemError = errno ? errno : EIO;
    }
    if (ok && !Step()) {
        ok = false;
        code = kFciUserAbort;
        systemError = 0;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        code = kFciCabFile;
        systemError = errno;
    }
    ::close(fd);
    if (ok && !Step()) {
        ok = false;
        code = kFciUserAbort;
        systemError = 0;
    }
    if (ok && ::rename(temp.c_str(), state_->path.c_str()) != 0) {
        ok = false;
        code = kFciCabFile;
        systemError = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error_.SetLibrary(code, systemError);
        return 0;
    }
    // The archive is in place: nothing is left to cut off, but a folder whose new
    // entry cannot be put on the disk still fails the backup.
    Step();
    if (!SyncFolder(place)) {
        error_.SetLibrary(kFciCabFile, errno);
        return 0;
    }
    error_.Clear();
    return 1;
}

// ---------------------------------------------------------------------------------
// Reading

namespace
{

// Room left free on the target's file system after a restore.
constexpr uint64_t kSpareRoom = 16u << 20;

struct StagedEntry {
    GCabFile* file = nullptr;
    std::vector<std::wstring> parts;
    std::string stagedName; // in the staging folder
    uint32_t attributes = 0;
    time_t time = 0;
};

struct ExtractRun {
    std::map<GCabFile*, size_t> index;
    std::vector<StagedEntry>* entries = nullptr;
    const std::function<bool()>* hook = nullptr;
    GCancellable* cancellable = nullptr;
    bool aborted = false;
};

gboolean NameForExtraction(GCabFile* file, gpointer data)
{
    auto* run = static_cast<ExtractRun*>(data);
    const auto found = run->index.find(file);
    if (found == run->index.end() || run->aborted) return FALSE;
    if (*run->hook && !(*run->hook)()) {
        run->aborted = true;
        g_cancellable_cancel(run->cancellable);
        return FALSE;
    }
    gcab_file_set_extract_name(file, (*run->entries)[found->second].stagedName.c_str());
    return TRUE;
}

bool SafePart(const std::wstring& part)
{
    return !part.empty() && part != L"." && part != L".." && part.find(L'/') == std::wstring::npos;
}

} // namespace

CExtract::CExtract() = default;
CExtract::~CExtract() = default;

int CExtract::Load()
{
    loaded_ = true;
    error_.Clear();
    return 1;
}

int CExtract::ExtractAll(const std::wstring& archivePath, const std::wstring& targetDirectory)
{
    if (!loaded_ || archivePath.empty() || targetDirectory.empty()) {
        error_.SetOwn(1002);
        return 0;
    }
    const std::optional<std::string> codedArchive = EncodeName(archivePath);
    const std::optional<std::string> codedTarget = EncodeName(targetDirectory);
    if (!codedArchive || !codedTarget) {
        error_.SetOwn(1002);
        return 0;
    }
    if (codedArchive->size() > kMaxCodedPath || codedTarget->size() + 1 > kMaxCodedPath) {
        error_.SetOwn(1007);
        return 0;
    }
    const size_t slash = archivePath.find_last_of(L'/');
    for (size_t i = slash == std::wstring::npos ? 0 : slash + 1; i < archivePath.size(); ++i) {
        if (static_cast<uint32_t>(archivePath[i]) > 0xFF) {
            error_.SetOwn(1004);
            return 0;
        }
    }

    // The target folder itself must exist; below it nothing is followed.
    char* real = ::realpath(Utf8(targetDirectory).c_str(), nullptr);
    if (!real) {
        error_.SetLibrary(kFdiTargetFile, errno);
        return 0;
    }
    const std::string target = real;
    std::free(real);

    // A run of an earlier program that was killed is finished or undone first.
    if (const int failure = RecoverSwap(target)) {
        error_.SetLibrary(kFdiTargetFile, failure);
        return 0;
    }

    // Only a regular file is read: a FIFO or a device would block or never end. The
    // file is opened once without waiting and read through that open file.
    const std::string archive = Utf8(archivePath);
    const int archiveFd = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (archiveFd < 0) {
        error_.SetLibrary(kFdiCabinetNotFound, errno);
        return 0;
    }
    struct stat archiveStat{};
    if (::fstat(archiveFd, &archiveStat) != 0 || !S_ISREG(archiveStat.st_mode)) {
        ::close(archiveFd);
        error_.SetLibrary(kFdiNotACabinet);
        return 0;
    }
    GPtr<GFile> archiveFile(g_file_new_for_path(("/proc/self/fd/" + std::to_string(archiveFd)).c_str()));
    GError* gerror = nullptr;
    GPtr<GFileInputStream> input(g_file_read(archiveFile.get(), nullptr, &gerror));
    ::close(archiveFd);
    if (!input) {
        g_clear_error(&gerror);
        error_.SetLibrary(kFdiCabinetNotFound, EACCES);
        return 0;
    }
    GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.get(), G_INPUT_STREAM(input.get()), nullptr, &gerror)) {
        const bool format = gerror && gerror->domain == GCAB_ERROR && gerror->code == GCAB_ERROR_FORMAT;
        const bool unsupported =
            gerror && gerror->domain == GCAB_ERROR && gerror->code == GCAB_ERROR_NOT_SUPPORTED;
        g_clear_error(&gerror);
        error_.SetLibrary(format ? kFdiNotACabinet : unsupported ? kFdiBadCompression : kFdiCorruptCabinet);
        return 0;
    }

    // Every name is decoded and checked before anything is written.
    std::vector<StagedEntry> entries;
    std::set<std::vector<std::wstring>> seen;
    uint64_t totalSize = 0;
    std::wstring refusal;
    GPtrArray* folders = gcab_cabinet_get_folders(cabinet.get());
    for (guint f = 0; folders && f < folders->len; ++f) {
        auto* folder = static_cast<GCabFolder*>(g_ptr_array_index(folders, f));
        GSList* files = gcab_folder_get_files(folder);
        for (GSList* l = files; l; l = l->next) {
            auto* file = static_cast<GCabFile*>(l->data);
            StagedEntry entry;
            entry.file = file;
            const std::optional<std::wstring> name = DecodeName(RestoreReadName(gcab_file_get_name(file)));
            bool ok = name.has_value();
            if (ok) {
                std::wstring part;
                for (wchar_t c : *name + L'\\') {
                    if (c != L'\\') {
                        part += c;
                        continue;
                    }
                    ok = ok && SafePart(part);
                    entry.parts.push_back(part);
                    part.clear();
                }
            }
            ok = ok && seen.insert(entry.parts).second && (!filter_ || filter_(entry.parts));
            if (!ok) {
                g_slist_free(files);
                error_.SetLibrary(kFdiCorruptCabinet);
                return 0;
            }
            const uint64_t size = gcab_file_get_size(file);
            totalSize += size;
            if (entryCheck_ && refusal.empty()) refusal = entryCheck_(entry.parts, size);
            entry.attributes = gcab_file_get_attributes(file);
            if (GDateTime* when = gcab_file_get_date_time(file)) {
                struct tm fields{};
                fields.tm_year = g_date_time_get_year(when) - 1900;
                fields.tm_mon = g_date_time_get_month(when) - 1;
                fields.tm_mday = g_date_time_get_day_of_month(when);
                fields.tm_hour = g_date_time_get_hour(when);
                fields.tm_min = g_date_time_get_minute(when);
                fields.tm_sec = g_date_time_get_second(when);
                fields.tm_isdst = -1;
                entry.time = (entry.attributes & kUtcTime) ? timegm(&fields) : mktime(&fields);
                g_date_time_unref(when);
            }
            entry.stagedName = "f" + std::to_string(entries.size());
            entries.push_back(std::move(entry));
        }
        g_slist_free(files);
    }
    if (!refusal.empty()) {
        error_.SetText(refusal);
        return 0;
    }
    // The files must fit beside the ones they replace, with room to spare: a restore
    // never fills the disk.
    struct statvfs room{};
    if (::statvfs(target.c_str(), &room) == 0 &&
        totalSize + kSpareRoom > static_cast<uint64_t>(room.f_bavail) * room.f_frsize) {
        error_.SetLibrary(kFdiTargetFile, ENOSPC);
        return 0;
    }

    // Extract into a staging folder on the same file system, so moving is a rename.
    std::string stagingName;
    const int stagingLock = MakeStaging(target, &stagingName);
    if (stagingLock < 0) {
        error_.SetLibrary(kFdiTargetFile, errno);
        return 0;
    }
    const std::string staging = target + "/" + stagingName;
    auto drop = [&](int library, int system = 0) {
        RemoveStagingFolder(staging);
        ::close(stagingLock);
        error_.SetLibrary(library, system);
        return 0;
    };
    ExtractRun run;
    run.entries = &entries;
    run.hook = &hook_;
    GPtr<GCancellable> cancellable(g_cancellable_new());
    run.cancellable = cancellable.get();
    for (size_t i = 0; i < entries.size(); ++i) run.index[entries[i].file] = i;
    GPtr<GFile> stagingFile(g_file_new_for_path(staging.c_str()));
    const bool extracted = gcab_cabinet_extract(cabinet.get(), stagingFile.get(), NameForExtraction, nullptr,
                                                &run, cancellable.get(), &gerror);
    if (!extracted || run.aborted) {
        // A failing system call is the target's (a full disk, a folder that may not
        // be written); a stream that ends before a member's declared size is the
        // archive's own fault.
        const bool io = gerror && gerror->domain == G_IO_ERROR;
        const int system = SystemErrorOrNone(gerror);
        g_clear_error(&gerror);
        if (run.aborted) return drop(kFdiUserAbort);
        if (io && system) return drop(kFdiTargetFile, system);
        return drop(io ? kFdiCorruptCabinet : kFdiMdiFail);
    }
    std::vector<Staged> staged;
    for (const StagedEntry& entry : entries) {
        const std::string path = staging + "/" + entry.stagedName;
        struct stat st{};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return drop(kFdiMdiFail);
        const struct timespec times[2] = {{entry.time, 0}, {entry.time, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
        ::chmod(path.c_str(), (entry.attributes & kReadOnly) ? 0444 : 0644);
        staged.push_back({entry.parts, path});
    }
    std::vector<std::string> drops;
    if (stagedCheck_) {
        const std::wstring why = stagedCheck_(staged, &drops);
        if (!why.empty()) {
            drop(0);
            error_.SetText(why);
            return 0;
        }
    }

    // Files in sub-folders first, then the files and drops of the target itself.
    SwapPlan plan;
    plan.target = target;
    plan.staging = stagingName;
    std::set<std::string> planned;
    for (int late = 0; late < 2; ++late) {
        if (late) plan.lateFrom = plan.puts.size();
        for (const StagedEntry& entry : entries) {
            if ((entry.parts.size() == 1) != (late == 1)) continue;
            std::string path;
            for (size_t p = 0; p < entry.parts.size(); ++p) {
                if (p) path += "/";
                path += Utf8(entry.parts[p]);
                if (p + 1 < entry.parts.size() && planned.insert(path).second) plan.folders.push_back(path);
            }
            plan.puts.push_back({entry.stagedName, path});
        }
    }
    plan.drops = drops;
    const int swapped = RunSwap(plan, hook_);
    // A failed run has undone itself and removed its staging folder; when even that
    // failed, the folder stays with the journal for the next run.
    ::close(stagingLock);
    if (swapped < 0) {
        error_.SetLibrary(kFdiUserAbort);
        return 0;
    }
    if (swapped > 0) {
        error_.SetLibrary(kFdiTargetFile, swapped);
        return 0;
    }
    error_.Clear();
    return 1;
}

} // namespace Cabinet
