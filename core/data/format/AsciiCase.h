#pragma once
// Format and field names are matched without regard to Latin letter case; other
// characters (the Chinese names included) must match exactly.

inline bool EqualIgnoringAsciiCase(const wchar_t* a, const wchar_t* b)
{
    auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b)
        if (fold(*a) != fold(*b))
            return false;
    return *a == *b;
}
