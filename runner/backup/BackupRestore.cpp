#include "BackupRestore.h"

#include "Cabinet.h"
#include "UIUitl.h"

#include <QString>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <vector>

namespace
{

std::string Utf8(const std::wstring& s) { return QString::fromStdWString(s).toStdString(); }
std::wstring Wide(const std::string& s) { return QString::fromStdString(s).toStdWString(); }

bool IsTemplateName(const std::wstring& name)
{
    if (name.size() < 5) return false; // at least one character before ".dxt"
    const std::wstring tail = name.substr(name.size() - 4);
    return tail[0] == L'.' && (tail[1] | 0x20) == L'd' && (tail[2] | 0x20) == L'x' && (tail[3] | 0x20) == L't';
}

// The names of a folder's entries of one kind, sorted so that archives come out the same
// each time. Symbolic links are left out: a restore never writes through one either.
std::vector<std::wstring> Entries(const std::wstring& folder, bool folders)
{
    std::vector<std::wstring> names;
    const std::string path = Utf8(folder);
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return names;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st{};
        if (::lstat((path + "/" + name).c_str(), &st) != 0) continue;
        if (folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)) names.push_back(Wide(name));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// The accepted template files directly in a folder.
std::vector<std::wstring> TemplatesIn(const std::wstring& folder)
{
    std::vector<std::wstring> out;
    for (const std::wstring& name : Entries(folder, false))
        if (IsTemplateName(name) && UIUitl::CheckTemplateFile(folder + L"/" + name)) out.push_back(name);
    return out;
}

} // namespace

BackupRestore::BackupRestore(std::wstring dataDirectory, std::wstring archivePath)
    : dataDirectory_(std::move(dataDirectory)), archivePath_(std::move(archivePath))
{
}

bool BackupRestore::AcceptedEntry(const std::vector<std::wstring>& parts)
{
    if (parts.size() == 1) return parts[0] == L"doxcore.db";
    return (parts.size() == 2 || parts.size() == 3) && parts[0] == L"templates" && IsTemplateName(parts.back());
}

bool BackupRestore::RunBackup(const std::atomic<bool>& cancel)
{
    reason_.clear();
    const std::wstring templates = dataDirectory_ + L"/templates";
    const std::wstring database = dataDirectory_ + L"/doxcore.db";

    // One group per folder: the top folder first, then each category.
    struct Group {
        std::wstring folder;      // on disk
        std::wstring entryPrefix; // in the archive
        std::vector<std::wstring> files;
    };
    std::vector<Group> groups;
    groups.push_back({templates, L"templates\\", TemplatesIn(templates)});
    for (const std::wstring& category : Entries(templates, true))
        groups.push_back({templates + L"/" + category, L"templates\\" + category + L"\\",
                          TemplatesIn(templates + L"/" + category)});
    struct stat st{};
    const bool haveDatabase = ::stat(Utf8(database).c_str(), &st) == 0 && S_ISREG(st.st_mode);
    int total = haveDatabase ? 1 : 0;
    for (const Group& g : groups) total += static_cast<int>(g.files.size());
    if (onRange) onRange(total);
    if (onPosition) onPosition(0);

    Cabinet::CCompress archive;
    if (!archive.Create(archivePath_)) {
        reason_ = archive.GetLastErrorText();
        return false;
    }
    int added = 0;
    for (const Group& group : groups) {
        bool failed = false;
        for (const std::wstring& name : group.files) {
            if (onPosition) onPosition(added);
            if (stepHook && !stepHook()) {
                reason_ = L"备份取消";
                return false;
            }
            // A file that cannot be added fails its folder; the others are still tried,
            // so the reason names the last failure.
            if (archive.AddFile(group.folder + L"/" + name, group.entryPrefix + name))
                ++added;
            else {
                failed = true;
                reason_ = archive.GetLastErrorText();
            }
            // Cancel ends the whole run, not only this folder.
            if (cancel.load()) {
                reason_ = L"备份取消";
                return false;
            }
        }
        if (failed) return false;
    }
    if (haveDatabase) {
        if (onPosition) onPosition(added);
        if (stepHook && !stepHook()) {
            reason_ = L"备份取消";
            return false;
        }
        if (!archive.AddFile(database, L"doxcore.db")) {
            reason_ = archive.GetLastErrorText();
            return false;
        }
        if (cancel.load()) {
            reason_ = L"备份取消";
            return false;
        }
    }
    if (!archive.Finish()) {
        reason_ = archive.GetLastErrorText();
        return false;
    }
    return true;
}

bool BackupRestore::RunRestore()
{
    reason_.clear();
    Cabinet::CExtract extract;
    if (!extract.Load()) {
        reason_ = extract.GetLastErrorText();
        return false;
    }
    extract.SetEntryFilter(&BackupRestore::AcceptedEntry);
    if (stepHook) extract.SetStepHook(stepHook);
    if (!extract.ExtractAll(archivePath_, dataDirectory_)) {
        reason_ = extract.GetLastErrorText();
        return false;
    }
    return true;
}
