#pragma once
// The pen and brush of selection frames and rubber bands: a one-pixel dotted pen
// (every other pixel) in dark grey and a hollow brush.

#include "GdiObjects.h"

class DoxPenBrush
{
public:
    // False when either object cannot be made.
    bool CreateSelectionFrame();

    CBrush brush;
    CPen pen;
    // What selecting the pair into a context replaced, for putting it back.
    CBrush oldBrush;
    CPen oldPen;
};
