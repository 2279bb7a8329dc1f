#include "GbkText.h"

#include <cerrno>
#include <iconv.h>

namespace kq
{

std::string Utf8ToGbk(std::string_view utf8)
{
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(utf8);
    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(utf8.data()); // iconv's signature; the input is not changed
    size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            // EILSEQ or EINVAL: skip one byte of the offending sequence.
            out.push_back('?');
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace kq
