#pragma once
// The recent-file entries as the home page and the application menu show them.

#include <string>
#include <vector>

namespace designer
{

// One text per path, in order: the file's name; where two entries have the same
// name, the name and, in brackets, as much of the end of its folder as tells the
// entries apart ("票据二.dxt (银行/旧)"). "/" and "\" both separate folders.
std::vector<std::wstring> RecentDisplayNames(const std::vector<std::wstring>& paths);

} // namespace designer
