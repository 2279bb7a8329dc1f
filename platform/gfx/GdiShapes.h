#pragma once
// Drawing calls that windows need besides the context's own: rounded rectangles, the
// two-colour 3-D frame, the dotted focus rectangle and single-line text with an
// underlined mnemonic cut with an ellipsis. Free functions over a context, in its
// logical units; they leave the context's selected objects and colours as they were.

#include "DeviceContext.h"

#include <QString>

// DrawText formats besides the context's own.
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_HIDEPREFIX = 0x100000;

// A rectangle with rounded corners (ellipses of width x height) outlined with the
// selected pen and filled with the selected brush; GDI's exclusive right and bottom edges.
bool RoundRect(CDC& dc, int left, int top, int right, int bottom, int width, int height);

// A one-pixel frame: top and left edges in `topLeft`, right and bottom in `bottomRight`.
void Draw3dRect(CDC& dc, int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
void Draw3dRect(CDC& dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);

// The focus rectangle: every other pixel of the frame inverted, so that drawing it a
// second time takes it away. On a device that cannot be read back (a printer) a dotted
// grey frame.
void DrawFocusRect(CDC& dc, const RECT& rect);

// DrawText with two more formats on a single line (DT_SINGLELINE): DT_END_ELLIPSIS ends
// a text too wide for the rectangle with "..." and, unless DT_NOPREFIX, the character
// behind an "&" is underlined ("&&" is a plain "&"; DT_HIDEPREFIX drops the underline).
// Other text goes to the context's DrawText. Returns the height of the text drawn.
int DrawTextEx(CDC& dc, const wchar_t* text, int count, RECT* rect, UINT format);
// The same for a text already in a QString (a grid's cells are not widened to draw them).
int DrawTextEx(CDC& dc, QString text, RECT* rect, UINT format);

// The text without its prefix marks and the index of the mnemonic character in it (-1
// for none).
QString StripMnemonic(const QString& text, int* mnemonicIndex);
