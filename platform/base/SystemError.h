#pragma once
// The system's message text for an error number (errno), as wide text.

#include <string>

namespace plat
{

std::wstring SystemErrorText(int error);

} // namespace plat
