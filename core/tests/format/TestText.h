#pragma once
// Wide texts in failure messages of the format tests.

#include "CharBuffer.h"

#include <string>

inline std::string U8(const std::wstring& text)
{
    return WideToUtf8(text);
}
