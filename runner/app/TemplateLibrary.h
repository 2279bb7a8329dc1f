#pragma once
// The shipped template library and the user's copy of it. The installation keeps the
// shipped templates beside the programs (<bin>/../share/DoxKQRunner/templates) with
// the library's version in "version.vvc"; the user's library is "templates" in the
// data folder, with the version it was last filled from.

#include <string>

namespace runner
{

// The decimal number at the start of folder/version.vvc (at most 15 bytes read), as
// atoi reads it; 0 when the file cannot be read or starts with no digit.
int ReadLibraryVersion(const std::wstring& folder);

// Fills the user's library from the shipped one when their versions differ (or the
// user's folder is new): every "*.dxt" at the top of the source replaces the file of
// that name; category folders are left alone. The source's version is written only
// when every copy succeeded, so a failed copy is tried again at the next start.
// False when the library folder cannot be made or a copy failed.
bool CopyTemplateLibrary(const std::wstring& source, const std::wstring& destination);

// Where the installation keeps the shipped templates, given the program's folder.
std::wstring InstalledTemplateFolder(const std::wstring& appDirectory);

} // namespace runner
