#pragma once
// File helpers of the printing program on top of the application frame's: copying a
// template into the library, the folders of the library, names that end in ".dxt".

#include <string>
#include <vector>

namespace runner
{

// Copies the file over the target through a temporary file beside it, so a failed
// copy leaves an existing target whole. False with the reason in *reason.
bool CopyFileReplacing(const std::wstring& source, const std::wstring& target, std::wstring* reason);

// Why a template name holding '\\' is refused: backups separate folders with it.
inline constexpr const wchar_t* kNoBackslash = L"文件名中不能包含字符“\\”。";
// The file's own name when it holds '\\' (everything after the last '/', without
// ".dxt"); empty for a name without one.
std::wstring BackslashName(const std::wstring& path);

// folder + "/" + name.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The last part of a path.
std::wstring FileNameOf(const std::wstring& path);
// Equal texts when ASCII letters are compared without their case.
bool EqualsIgnoringAsciiCase(const std::wstring& a, const std::wstring& b);
// Whether the name ends in ".dxt", ignoring ASCII case.
bool HasTemplateExtension(const std::wstring& name);
// The regular files of a folder whose names end in ".dxt", in the order the system
// lists them; empty when the folder cannot be read.
std::vector<std::wstring> TemplateFilesIn(const std::wstring& folder);
// The sub-folders of a folder, in the order the system lists them.
std::vector<std::wstring> SubFoldersOf(const std::wstring& folder);
// The same file, by canonical paths (a file that does not exist compares by its path).
bool SameFile(const std::wstring& a, const std::wstring& b);
// Removes a folder with everything in it; false with the reason.
bool RemoveFolder(const std::wstring& folder, std::wstring* reason);

} // namespace runner
