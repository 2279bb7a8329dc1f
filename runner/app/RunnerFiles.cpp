#include "RunnerFiles.h"

#include "PathText.h"
#include "UIUitl.h"

#include <QString>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace runner
{

namespace
{

fs::path P(const std::wstring& path) { return plat::PathFromWide(path); }
std::wstring W(const fs::path& path) { return plat::WideOfPath(path); }
std::wstring Reason(const std::error_code& error) { return QString::fromStdString(error.message()).toStdWString(); }

} // namespace

bool CopyFileReplacing(const std::wstring& source, const std::wstring& target, std::wstring* reason)
{
    std::ifstream in(P(source), std::ios::binary);
    if (!in) {
        if (reason) *reason = QString::fromLocal8Bit(std::strerror(errno)).toStdWString();
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (reason) *reason = L"Input/output error";
        return false;
    }
    if (!UIUitl::WriteFileReplacing(target, bytes)) {
        if (reason) *reason = UIUitl::GetLastErrorInfo();
        return false;
    }
    return true;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name)
{
    if (folder.empty()) return name;
    if (folder.back() == L'/') return folder + name;
    return folder + L'/' + name;
}

std::wstring BackslashName(const std::wstring& path)
{
    std::wstring name = path.substr(path.find_last_of(L'/') + 1);
    if (name.find(L'\\') == std::wstring::npos) return {};
    if (HasTemplateExtension(name)) name.resize(name.size() - 4);
    return name;
}

std::wstring FileNameOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

bool HasTemplateExtension(const std::wstring& name)
{
    return name.size() >= 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), L".dxt");
}

std::vector<std::wstring> TemplateFilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    std::error_code error;
    for (fs::directory_iterator it(P(folder), error), end; !error && it != end; it.increment(error)) {
        const std::wstring name = W(it->path().filename());
        if (HasTemplateExtension(name) && it->is_regular_file(error)) files.push_back(name);
    }
    return files;
}

std::vector<std::wstring> SubFoldersOf(const std::wstring& folder)
{
    std::vector<std::wstring> folders;
    std::error_code error;
    for (fs::directory_iterator it(P(folder), error), end; !error && it != end; it.increment(error))
        if (it->is_directory(error) && !it->is_symlink(error)) folders.push_back(W(it->path().filename()));
    return folders;
}

bool SameFile(const std::wstring& a, const std::wstring& b) { return plat::SameFilePath(a, b); }

bool RemoveFolder(const std::wstring& folder, std::wstring* reason)
{
    std::error_code error;
    fs::remove_all(P(folder), error);
    if (error && reason) *reason = Reason(error);
    return !error;
}

} // namespace runner
