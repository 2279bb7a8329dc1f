#pragma once
// The ending rules of the in-place editor's loop, over one message: a press outside
// the editor, Enter, Tab, VK_EXECUTE, a wheel turn after the focus left the editor and
// the depot's enter-scroll flag commit (1); Esc and the application quitting cancel (0).

#include "PopupLoop.h"

plat::PopupDecision DecideInPlaceEdit(const plat::Message& msg, const plat::PopupView& view, bool scrolled,
                                      bool editorHasFocus);

#include <functional>

class QWidget;

// Runs the editor's loop for a shown, focused `editor` over `owner` until it ends; the
// editor losing the focus ends it with a commit. `scrolled` tells whether the owner's
// content moved meanwhile (may be empty). Returns 1 for a commit, 0 for a cancel.
int RunEditorLoop(QWidget* editor, QWidget* owner, const std::function<bool()>& scrolled);
