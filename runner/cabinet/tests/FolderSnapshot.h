#pragma once
// Helpers of the archive and backup tests: what a folder holds, and path conversions.

#include <filesystem>
#include <map>
#include <string>

namespace cabtest
{

// Everything below a folder: relative path -> bytes, "dir" for a folder, "link:" and the
// target for a symbolic link (never followed).
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root);

std::filesystem::path P(const std::wstring& text);
std::wstring W(const std::filesystem::path& path);

} // namespace cabtest
