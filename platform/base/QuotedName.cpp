#include "QuotedName.h"

namespace plat
{

std::wstring QuotedName(std::wstring_view name)
{
    std::wstring out = L"“";
    if (name.size() <= kQuotedNameChars) {
        out += name;
    } else {
        const size_t tail = (kQuotedNameChars - 1) / 2;
        const size_t head = kQuotedNameChars - 1 - tail;
        out += name.substr(0, head);
        out += L'…';
        out += name.substr(name.size() - tail);
    }
    return out + L"”";
}

} // namespace plat
