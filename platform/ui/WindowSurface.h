#pragma once
// Every window that paints through device contexts keeps a persistent back buffer at
// the screen's resolution. Paint and client contexts draw into it; it reaches the
// screen by one copy in the window's paint event (or an update scheduled from outside
// one), so drawing outside a paint event (rubber bands, outlines) is kept as well.
// Shared by the core's windows and the widget library.

class QImage;
class QWidget;
class CDC;

namespace plat
{

// The window's back buffer, made or resized to the window's size (kept content at the
// top left, white elsewhere) with `dpi` dots per inch (0: the screen's); null for no
// window. The buffer goes with the window.
QImage* WindowBackBuffer(QWidget* window, int dpi = 0);

// Makes the context draw on the window's back buffer; false for no window.
bool AttachWindowSurface(CDC& dc, QWidget* window, int dpi = 0);

// Inside the window's paint event copies the back buffer onto the window; elsewhere
// schedules an update of the window.
void PresentWindowSurface(QWidget* window);

// ScrollWindow: moves the window's content by (dx, dy) pixels, the back buffer with it
// (the uncovered band is left for the next paint).
void ScrollWindowSurface(QWidget* window, int dx, int dy);

} // namespace plat
