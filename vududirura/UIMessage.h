#pragma once
// Window messages between the frame's windows and the programs' windows: a QEvent whose
// type is the message number (WM_USER and up are all above QEvent::User), with the
// message's two arguments.

#include "VududiruraApi.h"

#include <QEvent>

#include <cstdint>

namespace vudu
{

constexpr unsigned kWmUser = 0x0400;

// Window style bits the frame looks at.
constexpr unsigned kWsVisible = 0x10000000;

} // namespace vudu

class VUDU_API UIMessageEvent : public QEvent
{
public:
    UIMessageEvent(unsigned message, uintptr_t wParam, intptr_t lParam = 0)
        : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam), lParam_(lParam)
    {
    }
    unsigned Message() const { return static_cast<unsigned>(type()); }
    uintptr_t WParam() const { return wParam_; }
    intptr_t LParam() const { return lParam_; }

private:
    uintptr_t wParam_;
    intptr_t lParam_;
};

// The number of a message registered by name: the same number for the same name (ASCII
// case ignored) for the life of the process, taken from Qt's free event types.
VUDU_API unsigned UIRegisterMessage(const char* name);
// "AFX_WM_ONCHANGE_ACTIVE_TAB", posted by a tab client to its parent.
VUDU_API unsigned UIOnChangeActiveTabMessage();
