#pragma once
// Whether the desktop blends translucent windows over what lies under them. Layered
// windows (drop shadows, faded windows) stand on it: without it a shadow strip would
// show as a solid black bar, so the drawing support leaves layered windows out and
// the popups open without shadow.

namespace plat
{

// True off screen and on Wayland; on X11 only while a compositing manager owns the
// screen's compositing selection. False without a GUI application.
bool TranslucentWindowsBlend();

} // namespace plat
