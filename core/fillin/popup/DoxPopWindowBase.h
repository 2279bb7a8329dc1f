#pragma once
// The modal loop of the core's popups (the popup menu, the calendar, the choice list),
// a second base of each popup class next to its window. The caller creates, places
// and shows the popup, calls DoTrackPopWindow and gets back how it ended: 0 without a
// choice (Esc, Tab, a click or wheel turn outside, the owner losing the foreground,
// quitting), 1 accepted (Enter), or the value the popup ended its loop with.
//
// The popup's window belongs to an owner window: its parent widget (a Qt::ToolTip
// window with that parent, so that it never takes the activation), or the owner given
// to DoTrackPopWindow. When the popup or its owner is destroyed while the loop runs,
// the loop ends with 0 and touches neither afterwards; a popup that may be destroyed
// inside its loop checks that it still exists before it touches itself again.

#include "GdiTypes.h"
#include "Messages.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class DoxPopWindowBase
{
public:
    DoxPopWindowBase();
    virtual ~DoxPopWindowBase();
    // Copies the window, the rectangle and the result; each object keeps its own life.
    DoxPopWindowBase(const DoxPopWindowBase& other);
    DoxPopWindowBase& operator=(const DoxPopWindowBase& other);

    // Sees every message of the loop before the loop acts on it.
    virtual void PreProcessMessage(const plat::Message* /*msg*/) {}

    // Tracks `window` until its loop ends; `blind` is the screen rectangle of the field
    // that opened it (normalised here), whose click that closes the popup nobody sees;
    // `owner` is the window the popup belongs to (null: the window's parent widget).
    int DoTrackPopWindow(QWidget* window, const RECT& blind, QWidget* owner = nullptr);
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
    // The popup opened by itself while the user types: Tab, Enter and the program's
    // shortcuts end the loop and keep their meaning for the windows underneath, but
    // Enter while EnterAccepts() says the user chose an item.
    int passTypingKeys_ = 0;
    virtual bool EnterAccepts() const { return false; }

private:
    QWidget* popWindow_ = nullptr;
    QPointer<QWidget> owner_;
    RECT blind_{};
    int result_ = 0;
    // Cleared when the object goes, so that a loop that outlives it stores nothing.
    std::shared_ptr<bool> alive_;
};
