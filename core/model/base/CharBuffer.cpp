#include "CharBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

char* CharBuffer::SharedEmpty()
{
    static char empty[1] = {0};
    return empty;
}

CharBuffer::CharBuffer(const char* text)
{
    Assign(text);
}

CharBuffer::~CharBuffer()
{
    Free();
}

void CharBuffer::Free()
{
    if (data_ != SharedEmpty())
        std::free(data_);
    data_ = SharedEmpty();
    length_ = 0;
    capacity_ = 0;
}

bool CharBuffer::Reserve(int32_t n)
{
    if (n <= 0) {
        Free();
        return n == 0;
    }
    if (n <= capacity_) {
        length_ = n;
        return true;
    }
    Free();
    char* p = static_cast<char*>(std::malloc(static_cast<size_t>(n)));
    if (!p)
        return false;
    data_ = p;
    length_ = n;
    capacity_ = n;
    return true;
}

bool CharBuffer::Assign(const char* text)
{
    if (!text) {
        Free();
        return true;
    }
    size_t len = std::strlen(text);
    if (len >= INT32_MAX || !Reserve(static_cast<int32_t>(len + 1)))
        return false;
    // memmove: the text may be a part of this very buffer.
    std::memmove(data_, text, len + 1);
    return true;
}

namespace
{

void AppendUtf8(std::string& out, char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text)
        AppendUtf8(out, static_cast<char32_t>(w));
    return out;
}

std::wstring Utf8ToWide(const char* text, size_t length)
{
    std::wstring out;
    if (!text)
        return out;
    out.reserve(length);
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        unsigned char b = s[i];
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int extra;
        char32_t c;
        char32_t min;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            out += L'\xFFFD';
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= static_cast<size_t>(extra) && i + j < length && (s[i + j] & 0xC0) == 0x80; ++j)
            c = (c << 6) | (s[i + j] & 0x3F);
        if (j <= static_cast<size_t>(extra) || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            // One replacement per maximal invalid prefix, as the usual converters do.
            out += L'\xFFFD';
            i += j;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += j;
    }
    return out;
}

const char* WideToUtf8(CharBuffer& out, const wchar_t* text)
{
    out.Free();
    if (!text)
        return out.data();
    std::string bytes = WideToUtf8(std::wstring(text));
    // The text, its zero and one more zero byte.
    int32_t n = static_cast<int32_t>(bytes.size()) + 2;
    if (!out.Reserve(n))
        return out.data();
    std::memcpy(out.data(), bytes.data(), bytes.size());
    out.data()[n - 2] = '\0';
    out.data()[n - 1] = '\0';
    return out.data();
}

const wchar_t* Utf8ToWide(std::wstring& out, const char* text)
{
    out.clear();
    if (!text)
        return out.c_str();
    out = Utf8ToWide(text, std::strlen(text));
    return out.c_str();
}

void Utf16ToUtf8(const char16_t* text, size_t units, std::string& out)
{
    // At most three bytes a unit: a pair of two units makes four.
    out.resize(units * 3);
    auto* p = reinterpret_cast<unsigned char*>(out.data());
    for (size_t i = 0; i < units; ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            *p++ = static_cast<unsigned char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *p++ = static_cast<unsigned char>(0xC0 | (c >> 6));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *p++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            *p++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *p++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(static_cast<size_t>(p - reinterpret_cast<unsigned char*>(out.data())));
}

void Utf16ToWide(const char16_t* text, size_t units, std::wstring& out)
{
    out.resize(units);
    size_t n = 0;
    for (size_t i = 0; i < units; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        out[n++] = static_cast<wchar_t>(c);
    }
    out.resize(n);
}
