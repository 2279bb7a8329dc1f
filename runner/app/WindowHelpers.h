#pragma once
// Small helpers of the program's windows: a wait cursor for the length of a step, and
// the colour of a COLORREF (0x00BBGGRR).

#include "GdiTypes.h"

#include <QApplication>
#include <QColor>

namespace runner
{

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

inline QColor ColourOf(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

} // namespace runner
