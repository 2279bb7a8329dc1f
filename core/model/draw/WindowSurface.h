#pragma once
// Every window the core paints keeps a persistent back buffer at the screen's
// resolution. Paint and client contexts draw into it; it reaches the screen by one
// copy in the window's paint event (or an update scheduled from outside one), so
// drawing outside a paint event (rubber bands, outlines) is kept as well.

class QImage;
class QWidget;
class CDC;

// The window's back buffer, made or resized to the window's size; null for no window.
QImage* WindowBackBuffer(QWidget* window);

// Makes the context draw on the window's back buffer; false for no window.
bool AttachWindowSurface(CDC& dc, QWidget* window);

// Inside the window's paint event copies the back buffer onto the window; elsewhere
// schedules an update of the window.
void PresentWindowSurface(QWidget* window);
