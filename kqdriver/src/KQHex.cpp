#include "KQHex.h"

namespace kq
{

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

void HexToBytes(const char* text, size_t count, unsigned char* out)
{
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<unsigned char>(HexDigitValue(text[2 * i]) * 16 + HexDigitValue(text[2 * i + 1]));
}

void BytesToHex(const unsigned char* bytes, size_t count, char* out)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < count; ++i) {
        out[2 * i] = kDigits[bytes[i] >> 4];
        out[2 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
}

std::string IntToHex(unsigned value, int digits)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(digits > 0 ? static_cast<size_t>(digits) : 0, '0');
    for (size_t i = text.size(); i-- > 0; value >>= 4)
        text[i] = kDigits[value & 0x0F];
    return text;
}

int HexToInt(const char* text, int digits)
{
    if (!text)
        return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i)
        value = value * 16 + HexDigitValue(text[i]);
    return value;
}

} // namespace kq
