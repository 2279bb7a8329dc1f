#pragma once
// Small drawing figures the lists and the grid share: one-pixel lines, the check mark,
// chevrons, the arrow head and the asterisk of the grid's new-row line (3-D frames, the
// focus frame and text with an ellipsis are the platform's, GdiShapes.h).

#include "DeviceContext.h"
#include "GdiShapes.h"

namespace brindle
{

// A one-pixel line from (x1, y1) to (x2, y2), the end point excluded.
void DrawLine(CDC& dc, int x1, int y1, int x2, int y2, COLORREF color);
// The six-stroke tick centred at (cx, cy).
void DrawCheckMark(CDC& dc, int cx, int cy, COLORREF color);
// A chevron three pixels thick, `width` wide, apex up or down, centred at (cx, cy).
void DrawChevron(CDC& dc, int cx, int cy, int width, bool apexUp, COLORREF color);
// A small right-pointing arrow head of four strokes with its tip at (x, cy).
void DrawArrowHead(CDC& dc, int x, int cy, COLORREF color);
// Four strokes through (cx, cy): two diagonals, a vertical and a horizontal one.
void DrawAsterisk(CDC& dc, int cx, int cy, int size, COLORREF color);

} // namespace brindle

class QFont;
class QPoint;
namespace brindle
{
// A Qt point as a POINT.
POINT ToPoint(const QPoint& p);
// The Qt font of a font description at the screen's resolution (editors over rows);
// the application's font for null.
QFont QFontOf(const CFont* font);
} // namespace brindle
