#pragma once
// The screen as the drawing code sees it. The resolution can be pinned (tests, or a
// setting) so that everything sized from it is deterministic.

#include "DeviceContext.h"

namespace plat
{

// The pinned resolution when one is set, else the primary screen's logical vertical
// resolution, else 96.
int ScreenDotsPerInch();
// Pins the screen resolution; 0 goes back to asking the screen.
void SetScreenDotsPerInch(int dpi);

// What a screen context reports: the resolution above, the primary screen's size in
// pixels (1920 x 1080 without a screen) and that size in millimetres.
DeviceCaps ScreenCaps();

} // namespace plat
