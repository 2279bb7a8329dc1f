#include "UIUitl.h"

#include "Prompter.h"
#include "SystemError.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QWidget>

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef VUDU_VERSION
#define VUDU_VERSION "1.0.0.1"
#endif

namespace
{

QString Q(const std::wstring& s) { return QString::fromStdWString(s); }
std::string Utf8(const std::wstring& s) { return Q(s).toStdString(); }

std::mutex g_mutex;
std::map<unsigned, std::wstring>& Strings()
{
    static std::map<unsigned, std::wstring> strings;
    return strings;
}
std::wstring& Caption()
{
    static std::wstring caption;
    return caption;
}
thread_local int t_lastError = 0;

// A helper's failure: its reason is kept and left in errno, so that a system call that
// fails later (and sets errno anew) tells its own reason instead of this one.
bool Failed(int error)
{
    t_lastError = error ? error : EIO;
    errno = t_lastError;
    return false;
}

bool EndsWithDxt(const std::wstring& path)
{
    if (path.size() < 4) return false;
    const std::wstring tail = path.substr(path.size() - 4);
    return tail[0] == L'.' && (tail[1] | 0x20) == L'd' && (tail[2] | 0x20) == L'x' && (tail[3] | 0x20) == L't';
}

} // namespace

int UIUitl::MessageBoxW(unsigned type, const std::wstring& text)
{
    std::wstring caption;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        caption = Caption();
    }
    if (caption.empty()) caption = QGuiApplication::applicationDisplayName().toStdWString();
    return dox::platform::CurrentPrompter().MessageBox(QApplication::activeWindow(), text, caption, type);
}

int UIUitl::MessageBoxW(unsigned type, unsigned stringId) { return MessageBoxW(type, LoadString(stringId)); }

int UIUitl::MessageBoxFormat(unsigned type, const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(512);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) break;
        if (buffer.size() >= (1u << 20)) break; // a format that never fits shows what fitted
        buffer.resize(buffer.size() * 4);
    }
    buffer.back() = L'\0';
    return MessageBoxW(type, std::wstring(buffer.data()));
}

void UIUitl::RegisterString(unsigned id, const std::wstring& text)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Strings()[id] = text;
}

std::wstring UIUitl::LoadString(unsigned id)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto found = Strings().find(id);
    return found != Strings().end() ? found->second : std::to_wstring(id);
}

void UIUitl::SetMessageCaption(const std::wstring& caption)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Caption() = caption;
}

bool UIUitl::CheckFileExist(const std::wstring& path)
{
    struct stat st{};
    return !path.empty() && ::stat(Utf8(path).c_str(), &st) == 0;
}

bool UIUitl::CheckTemplateFile(const std::wstring& path)
{
    if (!EndsWithDxt(path)) return false;
    const int fd = ::open(Utf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st{};
    char head[7] = {};
    // A template file is at least its 20-byte header, beginning with the magic.
    const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 20 &&
                    ::read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head) &&
                    std::memcmp(head, "DOXDOT!", 7) == 0;
    ::close(fd);
    return ok;
}

bool UIUitl::CreateDirectoryW(const std::wstring& path)
{
    if (path.empty())
        return Failed(ENOENT);
    if (::mkdir(Utf8(path).c_str(), 0777) != 0)
        return Failed(errno);
    t_lastError = 0;
    return true;
}

bool UIUitl::DeleteFileW(const std::wstring& path)
{
    if (path.empty())
        return Failed(ENOENT);
    if (::unlink(Utf8(path).c_str()) != 0)
        return Failed(errno);
    t_lastError = 0;
    return true;
}

std::wstring UIUitl::GetLastErrorInfo()
{
    const int now = errno;
    if (t_lastError && (now == t_lastError || now == 0))
        return plat::SystemErrorText(t_lastError);
    return plat::SystemErrorText(now);
}

bool UIUitl::SpliteFileName(const std::wstring& path, std::wstring* folder, std::wstring* name)
{
    const size_t cut = path.find_last_of(L"/\\");
    const size_t start = cut == std::wstring::npos ? 0 : cut + 1;
    if (start >= path.size()) return false;
    if (folder) *folder = path.substr(0, start);
    if (name) *name = path.substr(start);
    return true;
}

std::wstring UIUitl::SpliteFileTitle(const std::wstring& path)
{
    std::wstring name;
    if (!SpliteFileName(path, nullptr, &name)) return {};
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

std::wstring UIUitl::GetFileVersion(const std::wstring& modulePath)
{
    const QString version = QCoreApplication::applicationVersion();
    const bool isProgram = QFileInfo(Q(modulePath)).canonicalFilePath() ==
                           QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    if (isProgram && !version.isEmpty()) return version.toStdWString();
    return QString::fromLatin1(VUDU_VERSION).toStdWString();
}

bool UIUitl::WriteFileReplacing(const std::wstring& path, const std::string& bytes)
{
    const std::string target = Utf8(path);
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    std::string temp = folder + "/.vudusave-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return Failed(errno);
    bool ok = ::fchmod(fd, 0644) == 0;
    size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        const int reason = errno ? errno : error;
        ::unlink(temp.c_str());
        return Failed(reason);
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    t_lastError = 0;
    return true;
}
