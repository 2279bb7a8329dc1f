#pragma once
// Registered clipboard formats: a table of names to numbers from 0xC000 up, one
// number per name for the life of the process (names compare ignoring the case
// of ASCII letters), so a format keeps its number when a library registers it
// again.

#include <cstdint>
#include <string>

namespace plat
{

constexpr uint32_t kFirstClipboardFormat = 0xC000;

// The format's number; 0 for an empty name or when the table is full.
uint32_t RegisterClipboardFormat(const std::wstring& name);
// The name of a registered format; empty when the number is unknown.
std::wstring ClipboardFormatName(uint32_t format);

} // namespace plat
