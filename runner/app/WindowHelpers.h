#pragma once
// The colour of a COLORREF (0x00BBGGRR) for the program's windows.

#include "GdiTypes.h"

#include <QColor>

namespace runner
{

inline QColor ColourOf(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

} // namespace runner
