#pragma once
// The modal loop of a popup. The caller shows its popup and runs the loop; the loop
// returns when the popup is done, with a small integer that says how it ended (0 no
// choice, 1 accepted, or whatever the popup posted). Meanwhile every input event of the
// application is turned into a Message and given to a decision function that says what
// becomes of it: delivered, given to the popup instead, dropped, or the end of the loop.
//
// Popups end their own loop with EndPopupLoop (message WM_ENDPOPUPLOOP, 0x13FF, posted to
// the popup). The message carries the serial of the loop it was posted for, so one that
// arrives after its loop has gone never ends a later loop. The loop also ends with 0 when
// the popup or its owner is destroyed, and when the application quits.
//
// No shortcut of the program runs while a loop looks at events: its keys come as plain
// key presses, which the decision function sees (unless the loop passes shortcuts).
//
// Loops nest: a window that the loop delivers to may open another popup; only the
// innermost loop looks at events, and the outer one resumes when it ends.

#include "Messages.h"

#include <QRect>
#include <functional>

class QWidget;

namespace plat
{

// What becomes of one message.
enum class PopupAction {
    Deliver,        // goes where it was going
    Redirect,       // goes to the popup instead (mouse moves with the point made the popup's)
    Drop,           // nobody sees it
    End,            // the loop ends; the message is dropped
    EndLeaveQueued, // the loop ends; the message is delivered after the loop has returned
    EndDeliver,     // the loop ends; the message goes where it was going, at once (in its
                    // place among the input already queued behind it)
};

struct PopupDecision {
    PopupAction action = PopupAction::Deliver;
    int result = 0; // for the End actions

    bool operator==(const PopupDecision&) const = default;
};

// What the loop knows when it decides.
struct PopupView {
    QWidget* popup = nullptr;
    // Screen rectangle of the opener (the field that opened the popup); may be empty.
    QRect blind;
    // The serial of this loop (WM_ENDPOPUPLOOP records carry the one they end).
    uint64_t serial = 0;
    // The popup's owner still has the keyboard focus of the desktop.
    bool ownerInForeground = true;
    // The message's window is the popup or a child of it.
    bool onPopup = false;
};

using PopupDecide = std::function<PopupDecision(const Message&, const PopupView&)>;

// The ending rules both libraries use, with their switches.
struct PopupRules {
    // Every mouse move goes to the popup, with the cursor in its client coordinates.
    bool trackMouse = false;
    // Every key press that does not end the loop goes to the popup.
    bool allKeysToPopup = false;
    // Digits and letters go to the popup (the widget library's choice list types ahead).
    bool lettersToPopup = false;
    // A wheel turn outside the popup that ends the loop follows the click rule (dropped
    // inside the blind rectangle, else delivered after the loop) instead of being dropped.
    bool wheelLikeClick = false;
    // Tab and Enter end the loop with 0 and go on to the window they were meant for, so
    // that they keep their meaning there: a popup that opened by itself while the user
    // types must not take them. Enter still ends with 1 (and is dropped) while
    // enterAccepts is set (the user chose an item of the popup with the keys).
    bool passTabAndEnter = false;
    bool enterAccepts = false;
};

// The rules: the owner losing the foreground, WM_QUIT, a press outside the popup and a
// wheel turn outside end with 0 (a press inside the blind rectangle is dropped, another
// is delivered after the loop); Enter and VK_EXECUTE end with 1, Esc and Tab with 0
// (with passTabAndEnter, Tab and Enter end with 0 and go on at once);
// Ctrl+Space is dropped; PgUp, PgDn, Up and Down (and per the switches other keys) go to
// the popup; WM_ENDPOPUPLOOP for the popup ends with its wParam when its serial is the
// loop's and is dropped when it is stale; everything else is delivered.
PopupDecision DecidePopupMessage(const PopupRules& rules, const Message& msg, const PopupView& view);
PopupDecide StandardPopupRules(const PopupRules& rules);

struct PopupLoopOptions {
    // The window whose foreground status keeps the loop alive (the popup's parent);
    // null: the popup's parent widget. Its destruction ends the loop with 0.
    QWidget* owner = nullptr;
    QRect blind;
    PopupDecide decide;
    // Sees every message first (a popup's PreProcessMessage); may be empty.
    std::function<void(const Message&)> preProcess;
    // A shortcut of the program (a key with Ctrl, Alt or the logo key, but Ctrl+Space,
    // or a function key) ends the loop with 0 and runs: a popup that opened by itself
    // while the user types keeps no command from them.
    bool passShortcuts = false;
};

// Runs the loop for the shown popup and returns its result.
int RunPopupLoop(QWidget* popup, const PopupLoopOptions& options);

// Ends the loop running for `popup` with `result` by posting WM_ENDPOPUPLOOP to it; false
// (and nothing posted) when no loop runs for it.
bool EndPopupLoop(QWidget* popup, int result);

// Whether a loop runs for the popup.
bool IsPopupLoopRunning(const QWidget* popup);

// The serial of the loop running for the popup, 0 for none.
uint64_t PopupLoopSerial(const QWidget* popup);

} // namespace plat
