#pragma once
// File paths between the system's texts and std::filesystem. The file system
// keeps names as UTF-8 bytes; a path made straight from a wide string, or
// asked for its wide form, goes through the library's fixed "C" conversion and
// throws on the first Chinese letter. These conversions are plain UTF-8, never
// look at the process locale and never throw.

#include <filesystem>
#include <string>
#include <string_view>

namespace plat
{

std::filesystem::path PathFromWide(std::wstring_view text);
std::filesystem::path PathFromUtf8(std::string_view text);
std::wstring WideOfPath(const std::filesystem::path& path);
std::string Utf8OfPath(const std::filesystem::path& path);

// Whether two names are the same file: the same after resolving ".", ".." and
// links (names are case-sensitive here). Names that cannot be resolved compare
// as written.
bool SameFilePath(std::wstring_view a, std::wstring_view b);

} // namespace plat
