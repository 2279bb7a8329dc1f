#include "WindowClass.h"

#include <map>

namespace plat
{

namespace
{

std::wstring Key(const std::wstring& name)
{
    std::wstring key = name;
    for (wchar_t& c : key) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return key;
}

std::map<std::wstring, WindowClass>& Table()
{
    static std::map<std::wstring, WindowClass> table;
    return table;
}

} // namespace

void RegisterWindowClass(const WindowClass& windowClass)
{
    Table()[Key(windowClass.name)] = windowClass;
}

std::optional<WindowClass> FindWindowClass(const std::wstring& name)
{
    auto it = Table().find(Key(name));
    if (it == Table().end())
        return std::nullopt;
    return it->second;
}

bool UnregisterWindowClass(const std::wstring& name)
{
    return Table().erase(Key(name)) > 0;
}

} // namespace plat
