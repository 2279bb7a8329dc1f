#pragma once
// Character-wise line wrapping of text into a box: lines break at CR, LF, CR LF and
// LF CR, and between any two characters where the next one would not fit. There is
// no search for word boundaries (bill fields are mostly Chinese text).

#include "DC.h"

// The start of the line after the one beginning at `from`, with the number of
// characters of that line in *count; null when `from` is null or empty. A character
// wider than maxWidth at the start of a line is consumed without being counted, so
// every call makes progress.
const wchar_t* NextWrappedLine(const wchar_t* from, DC& dc, int maxWidth, int* count);

// Draws the text wrapped into the box of a y-up context: as many whole lines as fit,
// from the top, or centred (DT_VCENTER) or at the bottom (DT_BOTTOM); each line with
// DrawText and the format.
void DrawWrappedText(DC& dc, const wchar_t* text, const RECT* box, UINT format);
