#pragma once
// The driver's texts are 8-bit in the GBK code page (936), which is what the
// plug-in reads. They are written in UTF-8 here and converted where they are made.

#include <string>
#include <string_view>

namespace kq
{

// A character GBK cannot hold, or an invalid UTF-8 sequence, becomes '?'.
std::string Utf8ToGbk(std::string_view utf8);

} // namespace kq
