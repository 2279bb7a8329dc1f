#pragma once
// The modal loop of the core's popups (the popup menu, the calendar, the choice list),
// a second base of each popup class next to its window. The caller creates, places
// and shows the popup, calls DoTrackPopWindow and gets back how it ended: 0 without a
// choice (Esc, Tab, a click or wheel turn outside, the owner losing the foreground,
// quitting), 1 accepted (Enter), or the value the popup ended its loop with.
//
// The popup's window must have the window the popup belongs to as its parent widget
// (a Qt::ToolTip window with that parent, so that it never takes the activation).

#include "GdiTypes.h"
#include "Messages.h"

class QWidget;

class DoxPopWindowBase
{
public:
    DoxPopWindowBase() = default;
    virtual ~DoxPopWindowBase() = default;
    DoxPopWindowBase(const DoxPopWindowBase&) = default;
    DoxPopWindowBase& operator=(const DoxPopWindowBase&) = default;

    // Sees every message of the loop before the loop acts on it.
    virtual void PreProcessMessage(const plat::Message* /*msg*/) {}

    // Tracks `window` until its loop ends; `blind` is the screen rectangle of the field
    // that opened it (normalised here), whose click that closes the popup nobody sees.
    int DoTrackPopWindow(QWidget* window, const RECT& blind);
    // The loop over the stored window and rectangle.
    int PopMessageLoop();

    // Ends the loop with `result` (0x13FF posted to the popup); without a running loop
    // the result is only stored.
    void EndPopWindow(int result);

    QWidget* GetPopWindow() const { return popWindow_; }
    const RECT& GetBlindRect() const { return blind_; }
    int GetResult() const { return result_; }

protected:
    // Every mouse move goes to the popup, wherever the cursor is.
    int trackMouse_ = 0;
    // Every key press that does not end the loop goes to the popup.
    int allKeysToPopup_ = 0;

private:
    QWidget* popWindow_ = nullptr;
    RECT blind_{};
    int result_ = 0;
};
