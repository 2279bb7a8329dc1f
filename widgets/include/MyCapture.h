#pragma once
// Hover tracking for the library's windows. A window that shows a hover state
// (a hot row, a hot header item) "captures" the mouse while the cursor is over
// it: it is recorded as the one captured window of the process and a watchdog
// timer checks every 100 ms whether the cursor is still there. When it is not
// (the mouse left quickly, or onto another application, and no leave event
// came) the window gets a mouse move at the cursor's position, outside its
// rows, and drops its hover state. The mouse is never grabbed: presses go where
// they are made.

#include "BrindleExport.h"

#include <QPoint>

class QWidget;

class BRINDLE_API MyCapture
{
public:
    // Period of the watchdog, in milliseconds.
    static constexpr int kWatchdogMs = 100;

    // Records `window` as the captured one and starts the watchdog. A window
    // recorded before is first sent a mouse move at the cursor, so that it drops
    // its hover state. Returns the window recorded before (null for none).
    static QWidget* MySetCapture(QWidget* window);
    // Forgets the captured window and stops the watchdog; 1.
    static int MyReleaseCapture();
    // The captured window, null for none.
    static QWidget* MyGetCapture();
    // 1 when the window under the cursor is `window`.
    static int MyTestPoint(QWidget* window);
    // The cursor in the window's client coordinates; 0 without a window.
    static int MyGetCursorPos(QWidget* window, QPoint* out);

protected:
    MyCapture() = default;
    ~MyCapture() = default;
};
