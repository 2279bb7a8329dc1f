#include "TemplateLibrary.h"

#include "RunnerFiles.h"
#include "UIUitl.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace runner
{

int ReadLibraryVersion(const std::wstring& folder)
{
    const std::string path = QString::fromStdWString(JoinPath(folder, L"version.vvc")).toStdString();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 0;
    char buffer[16] = {};
    const size_t got = std::fread(buffer, 1, 15, file);
    std::fclose(file);
    buffer[got < 15 ? got : 15] = 0;
    return std::atoi(buffer);
}

bool CopyTemplateLibrary(const std::wstring& source, const std::wstring& destination)
{
    int sourceVersion = 0;
    if (UIUitl::CheckFileExist(destination)) {
        sourceVersion = ReadLibraryVersion(source);
        if (ReadLibraryVersion(destination) == sourceVersion) return true;
    } else {
        if (!UIUitl::CreateDirectoryW(destination)) return false;
        sourceVersion = ReadLibraryVersion(source);
    }
    bool copiedAll = true;
    for (const std::wstring& name : TemplateFilesIn(source)) {
        std::wstring reason;
        if (!CopyFileReplacing(JoinPath(source, name), JoinPath(destination, name), &reason)) copiedAll = false;
    }
    if (!copiedAll) return false;
    UIUitl::WriteFileReplacing(JoinPath(destination, L"version.vvc"), std::to_string(sourceVersion));
    return true;
}

std::wstring InstalledTemplateFolder(const std::wstring& appDirectory)
{
    return JoinPath(appDirectory, L"../share/DoxKQRunner/templates");
}

} // namespace runner
