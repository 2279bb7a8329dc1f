#include "CabinetName.h"

#include <cstdint>
#include <vector>

namespace Cabinet
{
namespace
{

constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int DigitValue(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// wchar_t holds whole code points here; the stored form counts UTF-16 units.
std::vector<uint16_t> ToUtf16(const std::wstring& text)
{
    std::vector<uint16_t> units;
    for (wchar_t wc : text) {
        const uint32_t c = static_cast<uint32_t>(wc);
        if (c >= 0x10000) {
            const uint32_t v = c - 0x10000;
            units.push_back(static_cast<uint16_t>(0xD800 + (v >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(c));
        }
    }
    return units;
}

void AppendRun(std::string& out, const std::vector<uint16_t>& run)
{
    out += '<';
    uint32_t bits = 0;
    int count = 0;
    for (uint16_t unit : run) {
        bits = (bits << 16) | unit;
        count += 16;
        while (count >= 6) {
            count -= 6;
            out += kDigits[(bits >> count) & 0x3F];
        }
        bits &= (1u << count) - 1;
    }
    if (count > 0) out += kDigits[(bits << (6 - count)) & 0x3F];
    out += '>';
}

} // namespace

std::optional<std::string> EncodeName(const std::wstring& text)
{
    const std::vector<uint16_t> units = ToUtf16(text);
    std::string out;
    std::vector<uint16_t> run;
    for (uint16_t unit : units) {
        if (unit == 0) return std::nullopt;
        if (unit > 0xFF) {
            run.push_back(unit);
            continue;
        }
        if (!run.empty()) {
            AppendRun(out, run);
            run.clear();
        }
        if (unit == '<')
            out += "<>";
        else
            out += static_cast<char>(unit);
    }
    if (!run.empty()) AppendRun(out, run);
    return out;
}

std::optional<std::wstring> DecodeName(const std::string& coded)
{
    std::vector<uint16_t> units;
    for (size_t i = 0; i < coded.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(coded[i]);
        if (c == 0) return std::nullopt;
        if (c != '<') {
            units.push_back(c);
            continue;
        }
        const size_t end = coded.find('>', i + 1);
        if (end == std::string::npos) return std::nullopt;
        if (end == i + 1) {
            units.push_back('<');
            ++i;
            continue;
        }
        uint32_t bits = 0;
        int count = 0;
        for (size_t k = i + 1; k < end; ++k) {
            const int v = DigitValue(static_cast<unsigned char>(coded[k]));
            if (v < 0) return std::nullopt;
            bits = (bits << 6) | static_cast<uint32_t>(v);
            count += 6;
            if (count >= 16) {
                count -= 16;
                const uint16_t unit = static_cast<uint16_t>(bits >> count);
                // The writer codes only units above 255 in a run.
                if (unit <= 0xFF) return std::nullopt;
                units.push_back(unit);
                bits &= (1u << count) - 1;
            }
        }
        // What is left is the padding of the last digit: fewer than 6 bits, all zero.
        if (count >= 6 || bits != 0) return std::nullopt;
        i = end;
    }
    std::wstring out;
    for (size_t i = 0; i < units.size(); ++i) {
        const uint16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF)
                return std::nullopt;
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return std::nullopt;
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return out;
}

} // namespace Cabinet
