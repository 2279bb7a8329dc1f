#pragma once
// The two-colour background of rulers, calendars and popup editors.

#include "DeviceContext.h"

// Fills the rectangle from the first colour at (left, top) to the second at (right,
// bottom): top to bottom when `horizontal` is 0, else left to right. Without gradient
// support the rectangle is filled with the first colour.
void FillGradientRect(CDC* dc, const RECT& rect, COLORREF first, COLORREF second, int horizontal);
