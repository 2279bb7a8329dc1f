#pragma once
// A name as a message quotes it. Names come from files and templates and may be of
// any length: one of megabytes would make the message unreadable and take a message
// box minutes to lay out. A long name keeps its start and its end, which tell names
// apart best, with "…" between.

#include <cstddef>
#include <string>
#include <string_view>

namespace plat
{

// The most characters of a name a message shows.
constexpr size_t kQuotedNameChars = 64;

// The name between “ and ”, cut in its middle when longer than kQuotedNameChars.
std::wstring QuotedName(std::wstring_view name);

} // namespace plat
