#pragma once
// Call-back of the fill-in and design windows, implemented by the programs: the
// area around the page and the right button released over the page. The slot
// order is part of the protocol.

#include <cstdint>

#include "GdiTypes.h"

class CDC;

class IDoxWindowUISink
{
public:
    // Paints the area around the page: the context of the paint and the client
    // rectangle of the window around the page.
    virtual void OnEraseBackground(CDC* dc, const RECT* rect) = 0;
    // A right-button release the editors did not use; flags MK_*, point in pixels
    // of the page.
    virtual void OnRButtonUp(uint32_t flags, int x, int y) = 0;

protected:
    ~IDoxWindowUISink() = default;
};
