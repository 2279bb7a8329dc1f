#pragma once
// The modal side of the library's popups. The caller shows its popup and calls
// DoTrackPopWindow, which returns only when the popup is done: accepted (Enter),
// cancelled (Esc, Tab, a click or a wheel turn outside the popup, another
// application activated, the application quitting) or ended by the popup with a
// result of its own (DoEndTrack). Meanwhile digits, letters, the other characters,
// PgUp, PgDn, Home, End, Up and Down go to the popup although it never has the
// keyboard focus, and a click on
// the opener (the blind rectangle) only closes the popup.

#include "BrindleExport.h"
#include "GdiTypes.h"
#include "Messages.h"
#include "PopupLoop.h"

#include <QPointer>
#include <QWidget>
#include <memory>

// How a popup's loop ended. Popups may end with other values of their own.
enum KPWR : int {
    KPWR_CANCEL = 0,  // no choice: cancelled, clicked elsewhere, another application, quit
    KPWR_OK = 1,      // accepted
    KPWR_OPENED = 2,  // the popup was already open: no loop ran
};

class BRINDLE_API MyPopWindowBase
{
public:
    MyPopWindowBase();
    // Copies the popup, the blind rectangle and the result.
    MyPopWindowBase(const MyPopWindowBase& other);
    MyPopWindowBase& operator=(const MyPopWindowBase& other);
    virtual ~MyPopWindowBase();

    // Sees every message the loop looks at, before the loop acts on it.
    virtual void PreProcessMessage(const plat::Message* msg);

    // The result of the last loop (or what DoEndTrack stored while none ran).
    KPWR TrackResult() const { return result_; }
    // The opener's screen rectangle while a loop runs; empty otherwise.
    const RECT& GetBlindRect() const { return blind_; }
    // The popup whose loop runs, null otherwise.
    QWidget* TrackedPopWindow() const { return popup_; }

    // The ending rules of the library's popup loops.
    static plat::PopupRules PopupRules();

    // Runs the loop for this popup object until it ends.
    static KPWR PopMessageLoop(MyPopWindowBase* base);

protected:
    // Runs the loop for the shown popup with the opener's screen rectangle; `owner` is
    // the window the popup belongs to (null: the popup's parent widget). Destroying the
    // popup or its owner ends the loop with KPWR_CANCEL.
    KPWR DoTrackPopWindow(QWidget* popup, const RECT& blind, QWidget* owner = nullptr);
    // Ends the running loop with `result`; with no loop running, stores it.
    void DoEndTrack(KPWR result);

private:
    void BeginPopWindow(QWidget* popup, const RECT& blind);
    void EndPopWindow(KPWR result);

    QPointer<QWidget> popup_;
    QPointer<QWidget> owner_;
    RECT blind_;
    KPWR result_ = KPWR_CANCEL;
    // Cleared when the object goes, so that a loop whose popup object was destroyed
    // inside it does not touch the object afterwards.
    std::shared_ptr<bool> alive_;
};
