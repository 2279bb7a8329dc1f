#include "DoxAttribText.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace doxattrib
{

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f' || c == L'\v';
}

size_t SkipBlanks(const wchar_t* text, size_t pos)
{
    while (text[pos] && IsBlank(text[pos]))
        ++pos;
    return pos;
}

DecimalRead ReadDecimal(const wchar_t* text, size_t& pos)
{
    DecimalRead read;
    pos = SkipBlanks(text, pos);
    if (text[pos] == L'+' || text[pos] == L'-') {
        read.negative = text[pos] == L'-';
        ++pos;
    }
    constexpr uint64_t cap = uint64_t{1} << 32;
    while (text[pos] >= L'0' && text[pos] <= L'9') {
        read.digits = true;
        read.magnitude = read.magnitude * 10 + static_cast<uint64_t>(text[pos] - L'0');
        if (read.magnitude > cap)
            read.magnitude = cap;
        ++pos;
    }
    return read;
}

int32_t SaturateToInt32(const DecimalRead& read)
{
    if (read.negative)
        return read.magnitude >= uint64_t{0x80000000u} ? INT32_MIN : -static_cast<int32_t>(read.magnitude);
    return read.magnitude >= uint64_t{0x7FFFFFFFu} ? INT32_MAX : static_cast<int32_t>(read.magnitude);
}

int32_t ParseXmlInt32(const char* text)
{
    if (!text)
        return 0;
    std::wstring wide;
    for (const char* p = text; *p; ++p)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    size_t pos = 0;
    return SaturateToInt32(ReadDecimal(wide.c_str(), pos));
}

namespace
{

wchar_t FoldCase(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

bool EqualsIgnoreCase(const wchar_t* a, const wchar_t* b)
{
    if (!a)
        a = L"";
    if (!b)
        b = L"";
    for (; *a && *b; ++a, ++b) {
        if (FoldCase(*a) != FoldCase(*b))
            return false;
    }
    return *a == *b;
}

std::wstring Format(const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(64);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
            return std::wstring(buffer.data(), static_cast<size_t>(n));
        if (buffer.size() > (1u << 20))
            return std::wstring();
        buffer.resize(buffer.size() * 4);
    }
}

} // namespace doxattrib
