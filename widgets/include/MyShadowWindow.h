#pragma once
// The soft shadow an open choice window casts to its right and below: a strip
// 4 pixels wide at its right (from 4 pixels below its top) and one 4 pixels high
// under it (shifted 4 pixels right), each a translucent window of the shadow
// class lying right under the popup. Without layered-window support there is no
// shadow and the popup opens the same.

#include "BrindleExport.h"
#include "DropShadow.h"

class QWidget;

class BRINDLE_API MyShadowWindow
{
public:
    MyShadowWindow() = default;
    ~MyShadowWindow() = default;
    MyShadowWindow(const MyShadowWindow&) = delete;
    MyShadowWindow& operator=(const MyShadowWindow&) = delete;

    // Makes the right and then the bottom strip for popups owned by `owner`; false
    // (and no strips) without layered-window support.
    bool Create(QWidget* owner);
    // Places the strips under the popup at its screen rectangle and shows them;
    // false when the strips were not made.
    bool Place(QWidget* popup);
    // Destroys the strip windows (when the popup closes).
    void Destroy();

    bool IsCreated() const { return shadow_.created(); }
    // The strip windows, right first.
    const std::vector<QPointer<plat::ShadowStripWindow>>& Strips() const { return shadow_.strips(); }

private:
    plat::DropShadow shadow_;
};
