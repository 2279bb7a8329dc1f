#pragma once
// What the design engine needs of the window that hosts it. The engine has no
// window of its own: it asks its host to convert rectangles to pixels, to repaint,
// to take the mouse, to show a pointer and to draw drag outlines. Outlines are
// drawn in XOR, so drawing one a second time erases it.

#include "GdiTypes.h"

enum class GrabCursor {
    Arrow,
    SizeNS,
    SizeWE,
    SizeNESW,
    SizeNWSE,
    SizeAll,
    // Shown while a Ctrl-drag drops copies.
    Copy,
    Hand,
};

class GrabHost
{
public:
    virtual ~GrabHost() = default;

    // A rectangle in the engine's logical units (0.1 mm, y up) in canvas pixels.
    virtual RECT ToDevice(const RECT& logical) = 0;
    // A size in canvas pixels in logical units (both positive).
    virtual SIZE PixelsToLogical(SIZE pixels) = 0;
    // Marks pixels for repainting; null marks the whole canvas.
    virtual void Invalidate(const RECT* device, bool erase) = 0;
    // Repaints the pixels at once.
    virtual void RedrawNow(const RECT& device) = 0;
    // Takes pixels back out of the area waiting for repainting.
    virtual void Validate(const RECT& device) = 0;
    // Paints what waits for repainting.
    virtual void UpdateWindow() = 0;

    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    virtual bool HasCapture() = 0;
    virtual void SetCursor(GrabCursor cursor) = 0;

    // Drag feedback in logical units, drawn in XOR.
    virtual void DrawFeedbackRect(const RECT& logical) = 0;
    virtual void DrawFeedbackLine(int x1, int y1, int x2, int y2) = 0;
};
