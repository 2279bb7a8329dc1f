#include "NameRules.h"

#include "AsciiCase.h"

namespace
{

// The SQL words, then the two columns of every bill table.
const wchar_t* const kReservedWords[] = {
    L"table", L"view",     L"insert", L"update", L"create",  L"alert",    L"delete",
    L"drop",  L"index",    L"select", L"add",    L"foreign", L"limit",    L"right",
    L"from",  L"rollback", L"set",    L"where",  L"id",      L"parentId",
};
static_assert(sizeof(kReservedWords) / sizeof(kReservedWords[0]) == 20);

bool IsLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool IsWide(wchar_t c)
{
    return static_cast<unsigned long>(c) >= 129;
}

} // namespace

bool IsValidNameText(const wchar_t* text)
{
    if (!text)
        return true;
    for (const wchar_t* c = text; *c != L'\0'; ++c)
        if (!(IsLetter(*c) || (*c >= L'0' && *c <= L'9') || *c == L'_' || IsWide(*c)))
            return false;
    return true;
}

bool IsValidFieldName(const wchar_t* name)
{
    if (!name || name[0] == L'\0')
        return false;
    if (!(IsLetter(name[0]) || name[0] == L'_' || IsWide(name[0])))
        return false;
    if (!IsValidNameText(name))
        return false;
    for (const wchar_t* word : kReservedWords)
        if (EqualIgnoringAsciiCase(word, name))
            return false;
    return true;
}
