#pragma once
// The ending rules of the in-place editor's loop, over one message: a press outside
// the editor, Enter, Tab, VK_EXECUTE, a wheel turn after the focus left the editor and
// the depot's enter-scroll flag commit (1); Esc and the application quitting cancel (0).

#include "PopupLoop.h"

plat::PopupDecision DecideInPlaceEdit(const plat::Message& msg, const plat::PopupView& view, bool scrolled,
                                      bool editorHasFocus);
