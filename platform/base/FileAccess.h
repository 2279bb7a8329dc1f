#pragma once
// Whether a program of this user may put a new version of a file in its place.

#include <filesystem>

namespace plat
{

// False when the file is marked read-only (its owner may not write it: the read-only
// attribute, which holds for every user, root too), when this user may not write it
// (permissions, an immutable file, a read-only mount), or when its folder takes no
// new file (a save writes the new version beside the old one and renames it over).
// Links are followed to the file they name. A name that does not exist, or that is
// no plain file, is not judged here: true, and opening it says what is wrong.
bool MayReplaceFile(const std::filesystem::path& path);

} // namespace plat
