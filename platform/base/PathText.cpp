#include "PathText.h"

#include <system_error>

namespace plat
{

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

std::string Utf8OfWide(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t w : text)
        AppendUtf8(out, static_cast<char32_t>(w));
    return out;
}

// A byte that is not part of well-formed UTF-8 becomes U+FFFD, so that a
// stray name from an old disk still shows instead of failing the whole text.
std::wstring WideOfUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        int extra = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, least = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, least = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, least = 0x10000;
        } else {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        size_t k = 1;
        for (; k <= static_cast<size_t>(extra) && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k)
            c = (c << 6) | (s[i + k] & 0x3F);
        if (k != static_cast<size_t>(extra) + 1 || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += static_cast<wchar_t>(0xFFFD);
            i += k;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += k;
    }
    return out;
}

} // namespace

std::filesystem::path PathFromWide(std::wstring_view text) { return std::filesystem::path(Utf8OfWide(text)); }

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::wstring WideOfPath(const std::filesystem::path& path) { return WideOfUtf8(path.native()); }

std::string Utf8OfPath(const std::filesystem::path& path) { return path.native(); }

bool SameFilePath(std::wstring_view a, std::wstring_view b)
{
    std::error_code error;
    const auto ca = std::filesystem::weakly_canonical(PathFromWide(a), error);
    if (error)
        return a == b;
    const auto cb = std::filesystem::weakly_canonical(PathFromWide(b), error);
    if (error)
        return a == b;
    return ca == cb;
}

} // namespace plat
