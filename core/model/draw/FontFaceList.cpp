#include "FontFaceList.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>

namespace
{
wchar_t AsciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

int CompareIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t ca = AsciiLower(a[i]), cb = AsciiLower(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}
} // namespace

std::vector<std::wstring>& FontFaceList()
{
    static std::vector<std::wstring> list;
    return list;
}

void AddFontFace(std::vector<std::wstring>& list, const std::wstring& reported)
{
    size_t start = reported.find_first_not_of(L"@\t ");
    if (start == std::wstring::npos)
        return;
    std::wstring name = reported.substr(start);
    for (const std::wstring& known : list) {
        if (CompareIgnoringCase(known, name) == 0)
            return;
    }
    list.push_back(std::move(name));
}

void SortFontFaces(std::vector<std::wstring>& list)
{
    std::stable_sort(list.begin(), list.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareIgnoringCase(a, b) < 0;
    });
}

void EnumerateFontFaces()
{
    std::vector<std::wstring>& list = FontFaceList();
    for (const QString& family : QFontDatabase::families())
        AddFontFace(list, family.toStdWString());
    SortFontFaces(list);
}

const wchar_t* GetFontFace(int index)
{
    const std::vector<std::wstring>& list = FontFaceList();
    if (index < 0 || index >= static_cast<int>(list.size()))
        return L"";
    return list[static_cast<size_t>(index)].c_str();
}
