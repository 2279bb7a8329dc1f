#include "TextFormats.h"

#include <cwchar>

namespace
{

bool IsBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x3000;
}

bool InSet(wchar_t c, const wchar_t* set)
{
    if (!set || !*set)
        return IsBlank(c);
    return std::wcschr(set, c) != nullptr && c != L'\0';
}

bool InSet(wchar_t c, const std::wstring& set)
{
    return c != L'\0' && set.find(c) != std::wstring::npos;
}

int FormatTextDefault(const wchar_t*, const FormatValue* value, std::wstring& out)
{
    out = value->text ? value->text : L"";
    return 1;
}

// The n-th character (from 1); empty when the text is shorter.
template <int N> int FormatTextCharacter(const wchar_t*, const FormatValue* value, std::wstring& out)
{
    out.clear();
    const wchar_t* text = value->text;
    if (text && std::wcslen(text) >= static_cast<size_t>(N))
        out.assign(1, text[N - 1]);
    return 1;
}

// The n-th word; the parameter names the separator characters.
template <int N> int FormatTextWord(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    out = NthWord(value->text, N, parameter);
    return 1;
}

// The part between X and Y; the parameter is "X,Y".
int FormatTextBetween(const wchar_t* parameter, const FormatValue* value, std::wstring& out)
{
    out.clear();
    if (!parameter || !*parameter)
        return 1;
    out = TextBetween(value->text, NthWord(parameter, 1, L","), NthWord(parameter, 2, L","));
    return 1;
}

FormatEntry g_textEntries[] = {
    {0, L"<默认>", &FormatTextDefault, 0, L"ABC"},
    {0, L"<空白>", &FormatBlank, 0, L""},
    {0, L"<第1个字>", &FormatTextCharacter<1>, 0, L"一"},
    {0, L"<第2个字>", &FormatTextCharacter<2>, 0, L"二"},
    {0, L"<第3个字>", &FormatTextCharacter<3>, 0, L"三"},
    {0, L"<第4个字>", &FormatTextCharacter<4>, 0, L"四"},
    {0, L"<第5个字>", &FormatTextCharacter<5>, 0, L"五"},
    {0, L"<第6个字>", &FormatTextCharacter<6>, 0, L"六"},
    {0, L"<第7个字>", &FormatTextCharacter<7>, 0, L"七"},
    {0, L"<第8个字>", &FormatTextCharacter<8>, 0, L"八"},
    {0, L"<第9个字>", &FormatTextCharacter<9>, 0, L"九"},
    {0, L"<第10个字>", &FormatTextCharacter<10>, 0, L"十"},
    {0, L"<第1个词>", &FormatTextWord<1>, 1, L"词一"},
    {0, L"<第2个词>", &FormatTextWord<2>, 1, L"词二"},
    {0, L"<第3个词>", &FormatTextWord<3>, 1, L"词三"},
    {0, L"<第4个词>", &FormatTextWord<4>, 1, L"词四"},
    {0, L"<第5个词>", &FormatTextWord<5>, 1, L"词五"},
    {0, L"<第6个词>", &FormatTextWord<6>, 1, L"词六"},
    {0, L"<第7个词>", &FormatTextWord<7>, 1, L"词七"},
    {0, L"<第8个词>", &FormatTextWord<8>, 1, L"词八"},
    {0, L"<第9个词>", &FormatTextWord<9>, 1, L"词九"},
    {0, L"<第10个词>", &FormatTextWord<10>, 1, L"词十"},
    {0, L"<介于X,Y之间>", &FormatTextBetween, 1, L"X-Y"},
};
static_assert(sizeof(g_textEntries) / sizeof(g_textEntries[0]) == 23);

} // namespace

std::span<FormatEntry> TextFormatEntries()
{
    return g_textEntries;
}

int FormatBlank(const wchar_t*, const FormatValue*, std::wstring& out)
{
    out.clear();
    return 1;
}

std::wstring NthWord(const wchar_t* text, int n, const wchar_t* separators)
{
    if (!text || n < 1)
        return std::wstring();
    size_t i = 0;
    while (IsBlank(text[i]))
        ++i;
    for (int passed = 0; passed < n - 1; ++passed) {
        while (text[i] != L'\0' && !InSet(text[i], separators))
            ++i;
        if (text[i] == L'\0')
            return std::wstring();
        while (text[i] != L'\0' && InSet(text[i], separators))
            ++i;
    }
    const size_t start = i;
    while (text[i] != L'\0' && !InSet(text[i], separators))
        ++i;
    return std::wstring(text + start, i - start);
}

std::wstring TextBetween(const wchar_t* text, const std::wstring& x, const std::wstring& y)
{
    if (!text)
        return std::wstring();
    size_t i = 0;
    while (IsBlank(text[i]))
        ++i;
    size_t start = i;
    bool foundX = false;
    if (!x.empty()) {
        size_t j = i;
        while (text[j] != L'\0' && !InSet(text[j], x))
            ++j;
        if (text[j] != L'\0') {
            foundX = true;
            while (InSet(text[j], x))
                ++j;
            start = j;
        }
    }
    size_t end = start;
    while (text[end] != L'\0')
        ++end;
    if (!y.empty()) {
        size_t j = start;
        while (text[j] != L'\0' && !InSet(text[j], y))
            ++j;
        if (text[j] != L'\0')
            end = j;
        else if (!foundX)
            return std::wstring();
    }
    return std::wstring(text + start, end - start);
}
