#include "FlushSpy.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace flushspy
{
namespace
{

std::mutex mutex;
bool recording = false;
std::vector<Event> events;
std::string failing;

std::string PathOf(int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t n = ::readlink(link, path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

template <class F> F Real(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

// Records a flush of fd; true when it is to fail.
bool Flushed(int fd, bool wholeFileSystem)
{
    std::lock_guard<std::mutex> lock(mutex);
    struct stat st{};
    const std::string path = PathOf(fd);
    if (recording && ::fstat(fd, &st) == 0)
        events.push_back({wholeFileSystem ? Event::FileSystemFlush
                                          : S_ISDIR(st.st_mode) ? Event::FolderFlush : Event::Flush,
                          st.st_dev, st.st_ino, path});
    return !failing.empty() && path.find(failing) != std::string::npos;
}

} // namespace

void Start()
{
    std::lock_guard<std::mutex> lock(mutex);
    events.clear();
    recording = true;
}

std::vector<Event> Stop()
{
    std::lock_guard<std::mutex> lock(mutex);
    recording = false;
    return std::move(events);
}

void FailFlushesOf(const std::string& fragment)
{
    std::lock_guard<std::mutex> lock(mutex);
    failing = fragment;
}

} // namespace flushspy

extern "C" int fsync(int fd)
{
    static const auto real = flushspy::Real<int (*)(int)>("fsync");
    if (flushspy::Flushed(fd, false)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = flushspy::Real<int (*)(int)>("fdatasync");
    if (flushspy::Flushed(fd, false)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

extern "C" int syncfs(int fd)
{
    static const auto real = flushspy::Real<int (*)(int)>("syncfs");
    if (flushspy::Flushed(fd, true)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static const auto real = flushspy::Real<int (*)(const char*, const char*)>("rename");
    {
        std::lock_guard<std::mutex> lock(flushspy::mutex);
        struct stat st{};
        if (flushspy::recording && ::lstat(from, &st) == 0)
            flushspy::events.push_back({flushspy::Event::Rename, st.st_dev, st.st_ino, to});
    }
    return real(from, to);
}
