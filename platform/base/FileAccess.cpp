#include "FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace plat
{

bool MayReplaceFile(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path file = std::filesystem::canonical(path, error);
    if (error)
        return true;
    struct stat st{};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;
    if ((st.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    return ::faccessat(AT_FDCWD, file.parent_path().c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace plat
