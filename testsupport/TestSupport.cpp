#include "TestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

namespace doxtest
{

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "doxtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path BinDir()
{
    if (const char* dir = std::getenv("DOX_BIN_DIR"); dir && *dir)
        return dir;
    return DOX_BIN_DIR_DEFAULT;
}

std::string ReadFileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name)
{
    if (const char* old = std::getenv(name))
        old_ = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (old_)
        setenv(name_, old_->c_str(), 1);
    else
        unsetenv(name_);
}

ScratchHome::ScratchHome(const std::filesystem::path& folder)
    : folder_(folder),
      home_("HOME", folder.string()),
      config_("XDG_CONFIG_HOME", (folder / ".config").string())
{
    std::error_code error;
    std::filesystem::create_directories(Documents(), error);
    ready_ = std::filesystem::is_directory(Documents(), error);
}

namespace
{

// Sets or clears the immutable flag; false when the system refuses.
bool SetImmutable(const std::filesystem::path& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

} // namespace

ScopedUnwritable::ScopedUnwritable(const std::filesystem::path& path)
    : path_(path), old_(std::filesystem::status(path).permissions())
{
    using std::filesystem::perms;
    std::filesystem::permissions(path_, perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
    immutable_ = SetImmutable(path_, true);
}

ScopedUnwritable::~ScopedUnwritable()
{
    if (immutable_)
        SetImmutable(path_, false);
    std::error_code error;
    std::filesystem::permissions(path_, old_, error);
}

bool ScopedUnwritable::Refused() const
{
    return ::access(path_.c_str(), W_OK) != 0;
}

} // namespace doxtest
