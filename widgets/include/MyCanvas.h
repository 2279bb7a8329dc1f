#pragma once
// Flicker-free painting: a canvas is a device context that draws into a memory
// bitmap of the area to repaint, in the target's own coordinates, and copies the
// bitmap to the target when it closes. When no bitmap can be made (an empty
// area) it draws on the target directly.
//
// MyPaintCanvas paints a window inside its paint event, MyClientCanvas paints a
// window outside one; both draw on the window's back buffer, which reaches the
// screen when the canvas goes. MyWidDC is the canvas a header row paints with.

#include "BrindleExport.h"
#include "DeviceContext.h"

class QRegion;
class QWidget;

class BRINDLE_API MyCanvas : public CDC
{
public:
    MyCanvas() = default;
    ~MyCanvas() override;

    // Starts drawing for the target's rectangle (normalised); with `copyBackground`
    // non-zero the bitmap starts with the target's pixels there.
    void OpenCanvas(HDC target, const RECT& rect, int copyBackground);
    // Copies what was drawn to the target and lets the bitmap go; returns the target.
    HDC CloseCanvas();

    // Whether the canvas draws on its target directly (no bitmap could be made).
    bool IsDirect() const { return open_ && direct_; }
    const RECT& CanvasRect() const { return rect_; }

protected:
    // Opens the canvas on the window's back buffer through `surface`, over `rect` or
    // the client area; false without a window.
    bool OpenOnWindow(CDC& surface, QWidget* window, const RECT* rect, int copyBackground);
    // Closes the canvas and shows the back buffer on the window.
    void CloseOnWindow(CDC& surface, QWidget* window);

private:
    HDC target_ = nullptr;
    CBitmap bitmap_;
    CBitmap* oldBitmap_ = nullptr;
    RECT rect_;
    bool open_ = false;
    bool direct_ = false;
};

// The canvas of a window's paint event: the given rectangle, or the client area
// when `rect` is null.
class BRINDLE_API MyPaintCanvas : public MyCanvas
{
public:
    MyPaintCanvas(QWidget* window, const RECT* rect, int copyBackground);
    ~MyPaintCanvas() override;

    QWidget* window() const { return window_; }

private:
    QWidget* window_;
    CDC paintDC_;
};

// The canvas of a window outside its paint event.
class BRINDLE_API MyClientCanvas : public MyCanvas
{
public:
    MyClientCanvas(QWidget* window, const RECT* rect, int copyBackground);
    ~MyClientCanvas() override;

    QWidget* window() const { return window_; }

private:
    QWidget* window_;
    CDC clientDC_;
};

// The canvas handed to a header row's paint hook: made for a rectangle, opened on
// a window once attached.
class BRINDLE_API MyWidDC : public MyCanvas
{
public:
    explicit MyWidDC(const RECT& rect);
    ~MyWidDC() override;

    // Opens the canvas on the window's rectangle (no background copy); 1.
    int AttachWnd(QWidget* window);
    // Selects the font; the first call remembers the font it replaces, which the
    // canvas selects again when it goes. Null selects nothing.
    void SelectFont(const CFont* font);
    // The rows clip themselves; the region is not applied.
    void SetClipBox(const QRegion& region);

private:
    RECT widRect_;
    QWidget* window_ = nullptr;
    CDC clientDC_;
    CFont oldFont_;
    bool fontSelected_ = false;
};
