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
    std::filesystem::path file = std::filesystem::canonical(path, error);
    if (error)
        return true;
    struct stat own{};
    if (::stat(file.c_str(), &own) != 0 || !S_ISREG(own.st_mode))
        return true;
    if ((own.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    const std::filesystem::path folder = file.parent_path();
    struct stat holder{};
    if (::stat(folder.c_str(), &holder) != 0 || ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return false;
    // In a folder like /tmp only the owners of the file or the folder may rename over it.
    const uid_t user = ::geteuid();
    return !(holder.st_mode & S_ISVTX) || user == 0 || user == own.st_uid || user == holder.st_uid;
}

} // namespace plat
