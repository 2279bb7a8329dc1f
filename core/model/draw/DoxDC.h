#pragma once
// Double buffering. A DoxDC opened over an area of a target context draws into an
// off-screen bitmap of that area, in the target's device pixels; closing it copies
// (or blends) the bitmap onto the target in one transfer and puts the target's
// mapping back. While a buffer is open the target is in MM_TEXT.

#include "DC.h"

class QWidget;

// BitBlt of dst's size from (srcX, srcY) of srcDc to dst's top-left on dstDc.
void BlitRect(const RECT* dst, HDC dstDc, HDC srcDc, int srcX, int srcY);

// Blends src onto dst when alpha blending is available, else copies the source's
// top-left corner at dst's size.
void AlphaBlendOrBlit(const RECT* dst, HDC dstDc, const RECT* src, HDC srcDc, BLENDFUNCTION blend);

class DoxDC : public DCX
{
public:
    DoxDC() = default;
    // Closes an open buffer onto its target (which must still exist).
    ~DoxDC() override;

    // Opens the buffer over area (device pixels of the target, any corner order). False
    // for no target or an empty area; the target is then left as it was.
    bool BeginBuffer(const RECT* area, HDC target, bool copyTarget);
    // Copies the buffer onto the target, closes it and restores the target; returns
    // the target, or null when no buffer was open.
    HDC EndBuffer();
    // The same, blending with constant alpha.
    HDC EndBufferBlend(BYTE alpha);

    bool IsBufferOpen() const { return target_ != nullptr; }
    const RECT& area() const { return area_; }

private:
    HDC Close(bool blend, BYTE alpha);
    void RestoreTarget();

    HDC target_ = nullptr;
    CBitmap bitmap_;
    CBitmap* oldBitmap_ = nullptr;
    RECT area_;
    int savedState_ = -1;
    SIZE targetViewportExt_;
    SIZE targetWindowExt_;
    int targetMapMode_ = 0;
};

// The double-buffered paint context of a window's paint event.
class DoxPaintDC : public DoxDC
{
public:
    // Buffers the whole client area. Throws DoxResourceException on failure.
    explicit DoxPaintDC(QWidget* window);
    // Buffers the area (the client area when null), then applies the zoom with the
    // pixel mapping.
    DoxPaintDC(QWidget* window, const RECT* area, int zoom);
    ~DoxPaintDC() override;

private:
    void Open(const RECT* area);

    QWidget* window_;
    CDC paint_;
};

// The double-buffered client context of a window.
class DoxClientDC : public DoxDC
{
public:
    explicit DoxClientDC(QWidget* window);
    ~DoxClientDC() override;

private:
    QWidget* window_;
    CDC client_;
};
