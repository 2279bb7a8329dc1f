#include "FolderSnapshot.h"

#include "TestSupport.h"

#include <QString>

namespace fs = std::filesystem;

namespace cabtest
{

std::map<std::string, std::string> Snapshot(const fs::path& root)
{
    std::map<std::string, std::string> out;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string rel = fs::relative(it->path(), root).string();
        if (it->is_symlink())
            out[rel] = "link:" + fs::read_symlink(it->path()).string();
        else if (it->is_directory())
            out[rel] = "dir";
        else
            out[rel] = doxtest::ReadFileBytes(it->path());
    }
    return out;
}

fs::path P(const std::wstring& text) { return fs::path(QString::fromStdWString(text).toStdString()); }
std::wstring W(const fs::path& path) { return QString::fromStdString(path.string()).toStdWString(); }

} // namespace cabtest
