#include "ClipboardFormat.h"

#include <vector>

namespace plat
{

namespace
{

std::vector<std::wstring>& Names()
{
    static std::vector<std::wstring> names;
    return names;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    auto lower = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    };
    for (size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

} // namespace

uint32_t RegisterClipboardFormat(const std::wstring& name)
{
    if (name.empty())
        return 0;
    std::vector<std::wstring>& names = Names();
    for (size_t i = 0; i < names.size(); ++i) {
        if (SameName(names[i], name))
            return kFirstClipboardFormat + static_cast<uint32_t>(i);
    }
    if (names.size() >= 0x4000) // the numbers end at 0xFFFF
        return 0;
    names.push_back(name);
    return kFirstClipboardFormat + static_cast<uint32_t>(names.size() - 1);
}

std::wstring ClipboardFormatName(uint32_t format)
{
    const std::vector<std::wstring>& names = Names();
    if (format < kFirstClipboardFormat || format - kFirstClipboardFormat >= names.size())
        return std::wstring();
    return names[format - kFirstClipboardFormat];
}

} // namespace plat
