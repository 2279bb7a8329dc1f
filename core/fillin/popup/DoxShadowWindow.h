#pragma once
// The drop shadow of a core popup: a strip along its right edge, one under it and the
// corner pixel, each a translucent window of the class "DoxShadowClass" lying right
// under the popup. Without layered windows the popup opens without shadow.

#include "DropShadow.h"

class QWidget;

class DoxShadowWindow
{
public:
    // Makes the three strip windows for a popup of `owner`; false without layered windows.
    bool Create(QWidget* owner);
    // Places the strips for the popup at (x, y, width, height) on the screen; false when
    // not created.
    bool Place(QWidget* popup, int x, int y, int width, int height);
    // Destroys the strip windows (when the popup's loop has ended).
    void Destroy();

    bool IsCreated() const { return shadow_.created(); }
    const plat::DropShadow& strips() const { return shadow_; }

private:
    plat::DropShadow shadow_;
};
