#include "RecentNames.h"

#include <algorithm>
#include <cstddef>

namespace designer
{

namespace
{

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// The folders of a path from the innermost out, and its file name.
struct Parts {
    std::wstring name;
    std::vector<std::wstring> folders; // innermost first
};

Parts Split(const std::wstring& path)
{
    std::vector<std::wstring> pieces;
    std::wstring piece;
    for (wchar_t c : path) {
        if (IsSeparator(c)) {
            if (!piece.empty())
                pieces.push_back(std::move(piece));
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    if (!piece.empty())
        pieces.push_back(std::move(piece));
    Parts parts;
    if (pieces.empty())
        return parts;
    parts.name = pieces.back();
    pieces.pop_back();
    parts.folders.assign(pieces.rbegin(), pieces.rend());
    return parts;
}

// The last `depth` folders, outermost first, joined by "/".
std::wstring Tail(const Parts& parts, size_t depth)
{
    std::wstring text;
    const size_t n = std::min(depth, parts.folders.size());
    for (size_t i = n; i-- > 0;) {
        if (!text.empty())
            text += L'/';
        text += parts.folders[i];
    }
    if (n == parts.folders.size() && !parts.folders.empty())
        text.insert(0, L"/"); // the whole folder: shown from the root
    return text;
}

} // namespace

std::vector<std::wstring> RecentDisplayNames(const std::vector<std::wstring>& paths)
{
    std::vector<Parts> parts;
    parts.reserve(paths.size());
    for (const std::wstring& path : paths)
        parts.push_back(Split(path));
    std::vector<std::wstring> names(paths.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        std::vector<size_t> clash;
        for (size_t j = 0; j < parts.size(); ++j)
            if (j != i && parts[j].name == parts[i].name)
                clash.push_back(j);
        names[i] = parts[i].name;
        if (clash.empty())
            continue;
        // As many folders as it takes for no clashing entry to end the same way.
        size_t depth = 1;
        for (; depth < parts[i].folders.size(); ++depth) {
            const std::wstring mine = Tail(parts[i], depth);
            const bool unique = std::none_of(clash.begin(), clash.end(),
                                             [&](size_t j) { return Tail(parts[j], depth) == mine; });
            if (unique)
                break;
        }
        names[i] += L" (" + Tail(parts[i], depth) + L")";
    }
    return names;
}

} // namespace designer
