#include "DocTemplate.h"
#include "ElementTransfer.h"

#include "CharBuffer.h"
#include "DocElement.h"
#include "FileAccess.h"
#include "ModuleError.h"
#include "PathText.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace
{

const char kMagic[7] = {'D', 'O', 'X', 'D', 'O', 'T', '!'};

const wchar_t kMsgNoName[] = L"文件名不能为空";
const wchar_t kMsgNotTemplate[] = L"无法识别的文件格式,不是模板文件或者文件已经损坏。";
const wchar_t kMsgDamaged[] = L"无法读取模板文件,可能文件已经损坏。";
const wchar_t kMsgNoMemory[] = L"无法读取模板文件,内存不足。";
const wchar_t kMsgLength[] = L"无法读取模板文件,文件长度错误。";
const wchar_t kMsgDirectoryCrc[] = L"无法读取模板文件,文件校验错误，可能文件已经损坏。";
const wchar_t kMsgInvalidFile[] = L"无效文件。";
const wchar_t kMsgElementSize[] = L"文档元素Size错误。";
const wchar_t kMsgElementCrc[] = L"文档元素校验错误。";
const wchar_t kMsgReadOnly[] = L"无效文件或者是只读模板文件。";
const wchar_t kMsgTooMany[] = L"模板文件最多只能保存31个文档元素。";
const wchar_t kMsgNameTooLong[] = L"文档元素ID过长,无法保存到模板文件。[%ls]";
const wchar_t kMsgNotAFile[] = L"“%ls”不是模板文件，而是%ls。";

// What a name that is not a plain file stands for, in the words of the message.
const wchar_t* KindOfNonFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return L"文件夹";
    if (S_ISFIFO(mode))
        return L"命名管道";
    if (S_ISSOCK(mode))
        return L"套接字";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return L"设备";
    return L"特殊文件";
}

uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void PutU32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Reads up to n bytes at an offset; the count read (short at the end of the
// file), or -1 with errno set.
ssize_t ReadAt(int fd, void* buffer, size_t n, uint64_t offset)
{
    size_t done = 0;
    while (done < n) {
        ssize_t r = pread(fd, static_cast<char*>(buffer) + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        done += static_cast<size_t>(r);
    }
    return static_cast<ssize_t>(done);
}

bool WriteAll(int fd, const void* bytes, size_t n)
{
    const char* p = static_cast<const char*>(bytes);
    while (n > 0) {
        ssize_t w = write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (w == 0) {
            errno = EIO;
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

// The name bytes of a directory record: the UTF-8 id and two zero bytes.
std::string DirectoryName(const std::wstring& id)
{
    std::string name = WideToUtf8(id);
    name.push_back('\0');
    name.push_back('\0');
    return name;
}

} // namespace

DocTemplate::~DocTemplate()
{
    CloseFile();
    FreeElements();
    ForgetAttached();
}

void DocTemplate::CloseFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    created_ = false;
    unwritable_ = false;
    path_.clear();
    filePath_.clear();
}

void DocTemplate::Abandon()
{
    struct stat st;
    if (fd_ >= 0 && created_ && fstat(fd_, &st) == 0 && st.st_size == 0)
        ::unlink(filePath_.c_str());
    Close();
}

std::string DocTemplate::TemporaryPrefix() const
{
    const std::string name = plat::PathFromUtf8(filePath_).filename().string();
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x",
                  static_cast<unsigned>(crc32(0, reinterpret_cast<const Bytef*>(name.data()),
                                              static_cast<uInt>(name.size()))));
    return std::string(".doxsave-") + hash + "-";
}

void DocTemplate::RemoveStaleTemporaries() const
{
    namespace fs = std::filesystem;
    const fs::path folder = plat::PathFromUtf8(filePath_).parent_path();
    const std::string prefix = TemporaryPrefix();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0 || name.size() != prefix.size() + 6)
            continue;
        int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        // A save in progress holds its file locked.
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(entry.path().c_str());
        ::close(fd);
    }
}

int DocTemplate::IsPath(const wchar_t* path)
{
    if (fd_ < 0 || !path || !*path)
        return 0;
    std::error_code ec;
    auto canon = std::filesystem::weakly_canonical(plat::PathFromWide(path), ec);
    return !ec && canon.string() == filePath_ ? 1 : 0;
}

int DocTemplate::OpenFile(const std::wstring& path, int mode)
{
    std::string file = WideToUtf8(path);
    // Not waiting: opening a FIFO for reading would block until a writer came, and a
    // device could answer an open in its own way. Only a plain file is kept, and it
    // is read and written in the ordinary blocking way.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    // A file this user may not replace (a shipped or shared template, one marked
    // read-only) is opened for reading: its edits stay in memory and only a save
    // under another name writes them.
    const bool unwritable = mode == kDocOpenReadWrite && !plat::MayReplaceFile(plat::PathFromUtf8(file));
    if (mode == kDocOpenRead || unwritable)
        flags |= O_RDONLY;
    else if (mode == kDocOpenCreate)
        flags |= O_RDWR | O_CREAT;
    else
        flags |= O_RDWR;
    bool created = false;
    int fd = -1;
    if (mode == kDocOpenCreate) {
        fd = ::open(file.c_str(), flags | O_EXCL, 0666);
        created = fd >= 0;
    }
    if (fd < 0)
        fd = ::open(file.c_str(), flags, 0666);
    if (fd < 0) {
        // A folder opened for writing is refused by the open itself.
        if (errno == EISDIR)
            SetModuleErrorFormat(kMsgNotAFile, path.c_str(), KindOfNonFile(S_IFDIR));
        else
            SetModuleErrorFromSystem();
        return 0;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        SetModuleErrorFromSystem(error);
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        SetModuleErrorFormat(kMsgNotAFile, path.c_str(), KindOfNonFile(st.st_mode));
        return 0;
    }
    if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(fd);
        SetModuleErrorFromSystem(error);
        return 0;
    }
    // A read-only file shares reading; a writable one shares nothing. An existing
    // file opened to be created anew is not emptied: the first save replaces it
    // whole, and a refused or killed save leaves it as it was.
    if (flock(fd, (mode == kDocOpenRead || unwritable ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        SetModuleErrorFromSystem(error);
        return 0;
    }
    std::error_code ec;
    auto canon = std::filesystem::canonical(plat::PathFromUtf8(file), ec);
    filePath_ = ec ? file : canon.string();
    fd_ = fd;
    created_ = created;
    unwritable_ = unwritable;
    return 1;
}

int DocTemplate::Open(const wchar_t* path, int mode)
{
    if (!path || !*path) {
        SetModuleError(kMsgNoName);
        return 0;
    }
    CloseFile();
    std::wstring name(path);
    if (!OpenFile(name, mode))
        return 0;
    path_ = name;
    readOnly_ = mode == kDocOpenRead ? 1 : 0;
    if (mode == kDocOpenCreate) {
        // A new file starts empty: elements of an earlier file must not be
        // written into it from locations that belong to that file.
        FreeElements();
        ForgetAttached();
        MarkModified();
        return 1;
    }
    return ReadDirectory();
}

void DocTemplate::Close()
{
    CloseFile();
    FreeElements();
    ForgetAttached();
    readOnly_ = 0;
    modified_ = 0;
}

int DocTemplate::ReadDirectory()
{
    FreeElements();
    ForgetAttached();
    modified_ = 0;

    uint8_t header[kHeaderSize];
    ssize_t got = ReadAt(fd_, header, sizeof header, 0);
    if (got < 0) {
        SetModuleErrorFromSystem();
        return 0;
    }
    if (got < kHeaderSize || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        SetModuleError(kMsgNotTemplate);
        return 0;
    }
    uint32_t count = GetU32(header + 8);
    uint32_t dirOffset = GetU32(header + 12);
    uint32_t dirCrc = GetU32(header + 16);
    if (count == 0 || dirOffset == 0)
        return 1;

    struct stat st;
    if (fstat(fd_, &st) != 0) {
        SetModuleErrorFromSystem();
        return 0;
    }
    uint64_t fileSize = static_cast<uint64_t>(st.st_size);
    if (count > static_cast<uint32_t>(kMaxElements) || fileSize >= (uint64_t{1} << 32) ||
        dirOffset >= fileSize) {
        SetModuleError(kMsgDamaged);
        return 0;
    }

    uint64_t pos = dirOffset;
    uint32_t crc = DocCrc32(nullptr, 0);
    uint8_t name[kMaxNameBytes + 1];
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t record[13];
        ssize_t r = ReadAt(fd_, record, sizeof record, pos);
        if (r < 0) {
            SetModuleErrorFromSystem();
            return 0;
        }
        if (r < static_cast<ssize_t>(sizeof record)) {
            SetModuleError(kMsgDamaged);
            return 0;
        }
        pos += sizeof record;
        crc = static_cast<uint32_t>(crc32(crc, record, sizeof record));
        uint32_t offset = GetU32(record);
        uint32_t size = GetU32(record + 4);
        uint32_t elementCrc = GetU32(record + 8);
        uint32_t nameLength = record[12];
        // A record without name bytes, or one whose bytes lie outside the file,
        // can only come from a damaged file.
        if (nameLength == 0 || (size > 0 && uint64_t{offset} + size > fileSize)) {
            SetModuleError(kMsgDamaged);
            return 0;
        }
        r = ReadAt(fd_, name, nameLength, pos);
        if (r < 0) {
            SetModuleErrorFromSystem();
            return 0;
        }
        if (r < static_cast<ssize_t>(nameLength)) {
            SetModuleError(kMsgLength);
            return 0;
        }
        pos += nameLength;
        name[nameLength - 1] = 0;
        crc = static_cast<uint32_t>(crc32(crc, name, nameLength));
        std::wstring id;
        Utf8ToWide(id, reinterpret_cast<const char*>(name));
        DocElement* element = AddElement(id.c_str());
        if (!element)
            return 0;
        element->SetLocation(this, offset, elementCrc, size);
    }
    if (crc != dirCrc) {
        SetModuleError(kMsgDirectoryCrc);
        return 0;
    }
    return 1;
}

int DocTemplate::ReadElement(DocElement* element)
{
    if (fd_ < 0) {
        SetModuleError(kMsgInvalidFile);
        return 0;
    }
    if (std::optional<int> settled = SettledBeforeTransfer(element))
        return *settled;
    uint32_t size = element->Size();
    ssize_t r = ReadAt(fd_, element->Buffer(), size, element->LocationIn(this));
    if (r < 0) {
        SetModuleErrorFromSystem();
        return 0;
    }
    if (static_cast<uint32_t>(r) < size) {
        SetModuleError(kMsgElementSize);
        return 0;
    }
    if (DocCrc32(element->Buffer(), size) != element->Crc()) {
        SetModuleError(kMsgElementCrc);
        return 0;
    }
    return 1;
}

int DocTemplate::WriteElement(DocElement* element)
{
    if (fd_ < 0) {
        SetModuleError(kMsgInvalidFile);
        return 0;
    }
    if (readOnly_ || unwritable_) {
        SetModuleError(kMsgReadOnly);
        return 0;
    }
    if (std::optional<int> settled = SettledBeforeTransfer(element))
        return *settled;
    uint32_t size = element->Size();
    off_t end = lseek(fd_, 0, SEEK_END);
    if (end < 0) {
        SetModuleErrorFromSystem();
        return 0;
    }
    if (uint64_t(end) + size >= (uint64_t{1} << 32)) {
        SetModuleErrorFromSystem(EFBIG);
        return 0;
    }
    uint32_t crc = DocCrc32(element->Buffer(), size);
    if (!WriteAll(fd_, element->Buffer(), size)) {
        SetModuleErrorFromSystem();
        return 0;
    }
    element->SetLocation(this, static_cast<uint32_t>(end), crc, size);
    return 1;
}

int DocTemplate::LoadAll()
{
    if (fd_ < 0) {
        SetModuleError(kMsgInvalidFile);
        return 0;
    }
    for (DocElement* element : Elements()) {
        if (!element->IsLoaded() && !element->LoadData())
            return 0;
    }
    return 1;
}

int DocTemplate::Save()
{
    return WriteFile(false);
}

int DocTemplate::SaveFrom()
{
    return WriteFile(true);
}

int DocTemplate::WriteFile(bool attached)
{
    if (fd_ < 0 || readOnly_ || unwritable_) {
        SetModuleError(kMsgReadOnly);
        return 0;
    }
    RemoveStaleTemporaries();
    if (!modified_)
        return 1;

    std::vector<DocElement*> elements = attached ? AttachedElements() : Elements();
    // Every byte must be in memory before the file is rewritten: bytes that live
    // only in the old layout would be lost otherwise.
    for (DocElement* element : elements) {
        if (!element->IsLoaded() && !element->LoadData())
            return 0;
    }
    // A file with more elements or longer names than its directory can hold
    // could never be read back.
    if (elements.size() > static_cast<size_t>(kMaxElements)) {
        SetModuleError(kMsgTooMany);
        return 0;
    }
    for (DocElement* element : elements) {
        if (DirectoryName(element->Id()).size() > static_cast<size_t>(kMaxNameBytes)) {
            SetModuleErrorFormat(kMsgNameTooLong, element->Id().c_str());
            return 0;
        }
    }

    std::string tempPath =
        (plat::PathFromUtf8(filePath_).parent_path() / (TemporaryPrefix() + "XXXXXX")).string();
    std::vector<char> tempName(tempPath.begin(), tempPath.end());
    tempName.push_back('\0');
    int fd = mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        SetModuleErrorFromSystem();
        return 0;
    }
    // Locked while it is written, so that another save's clean-up leaves it alone.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(tempName.data());
        SetModuleErrorFromSystem(error);
        return 0;
    }
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(tempName.data());
        SetModuleErrorFromSystem(error);
        return 0;
    };

    struct Placed {
        uint32_t offset, size, crc;
    };
    std::vector<Placed> placed;
    placed.reserve(elements.size());
    uint8_t header[kHeaderSize] = {};
    if (!WriteAll(fd, header, sizeof header))
        return fail(errno);
    uint64_t pos = kHeaderSize;
    for (DocElement* element : elements) {
        uint32_t size = element->Size();
        if (size == 0) {
            // An empty element takes no bytes; its record keeps what it had.
            placed.push_back({element->LocationIn(this), 0, element->Crc()});
            continue;
        }
        if (pos + size >= (uint64_t{1} << 32))
            return fail(EFBIG);
        uint32_t crc = DocCrc32(element->Buffer(), size);
        if (!WriteAll(fd, element->Buffer(), size))
            return fail(errno);
        placed.push_back({static_cast<uint32_t>(pos), size, crc});
        pos += size;
    }
    if (pos >= (uint64_t{1} << 32))
        return fail(EFBIG);

    uint32_t dirOffset = static_cast<uint32_t>(pos);
    uint32_t dirCrc = DocCrc32(nullptr, 0);
    std::string directory;
    for (size_t i = 0; i < elements.size(); ++i) {
        std::string name = DirectoryName(elements[i]->Id());
        uint8_t record[13];
        PutU32(record, placed[i].offset);
        PutU32(record + 4, placed[i].size);
        PutU32(record + 8, placed[i].crc);
        record[12] = static_cast<uint8_t>(name.size());
        dirCrc = static_cast<uint32_t>(crc32(dirCrc, record, sizeof record));
        dirCrc = static_cast<uint32_t>(
            crc32(dirCrc, reinterpret_cast<const Bytef*>(name.data()), static_cast<uInt>(name.size())));
        directory.append(reinterpret_cast<const char*>(record), sizeof record);
        directory += name;
    }
    if (!WriteAll(fd, directory.data(), directory.size()))
        return fail(errno);

    std::memcpy(header, kMagic, sizeof kMagic);
    header[7] = 1;
    PutU32(header + 8, static_cast<uint32_t>(elements.size()));
    PutU32(header + 12, dirOffset);
    PutU32(header + 16, dirCrc);
    if (pwrite(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header))
        return fail(errno ? errno : EIO);

    // The new file takes the old one's permissions, reaches the disk, and only
    // then replaces it.
    struct stat st;
    if (fstat(fd_, &st) == 0)
        fchmod(fd, st.st_mode & 07777);
    if (fsync(fd) != 0)
        return fail(errno);
    if (::rename(tempName.data(), filePath_.c_str()) != 0)
        return fail(errno);
    std::string folder = plat::PathFromUtf8(filePath_).parent_path().string();
    int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        ::close(dirFd);
    }
    ::close(fd_);
    fd_ = fd;

    for (size_t i = 0; i < elements.size(); ++i) {
        if (placed[i].size)
            elements[i]->SetLocation(this, placed[i].offset, placed[i].crc, placed[i].size);
    }
    return 1;
}
