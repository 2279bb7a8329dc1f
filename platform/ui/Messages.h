#pragma once
// Window messages as a small record with Windows' own numbers (WM_*, VK_*, MK_*), so
// that the decisions windows take over their input (popup loops ending, keys scrolling,
// hit tests) are plain functions, tested by tables without a window. Qt events become
// records in one place (TranslateEvent); private messages travel as PrivateMessageEvent,
// whose event type is the message number.

#include <QEvent>
#include <QPoint>
#include <cstdint>
#include <optional>

class QWidget;
class QKeyEvent;

namespace plat
{

// ---- Message numbers.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_CANCELMODE = 0x001F;
constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
constexpr uint32_t WM_NCRBUTTONDOWN = 0x00A4;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_VSCROLL = 0x0115;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_MOUSELEAVE = 0x02A3;
constexpr uint32_t WM_USER = 0x0400;
// Ends a popup's modal loop; wParam is the loop's result.
constexpr uint32_t WM_ENDPOPUPLOOP = WM_USER + 4095; // 0x13FF

// ---- Virtual keys.
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_EXECUTE = 0x2B;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr uint32_t VK_F1 = 0x70;
constexpr uint32_t VK_F2 = 0x71;
constexpr uint32_t VK_F3 = 0x72;
constexpr uint32_t VK_F4 = 0x73;
constexpr uint32_t VK_F5 = 0x74;
constexpr uint32_t VK_F6 = 0x75;
constexpr uint32_t VK_F7 = 0x76;
constexpr uint32_t VK_F8 = 0x77;
constexpr uint32_t VK_F9 = 0x78;
constexpr uint32_t VK_F10 = 0x79;
constexpr uint32_t VK_F11 = 0x7A;
constexpr uint32_t VK_F12 = 0x7B;

// ---- Mouse and modifier state (wParam of mouse messages, low word of the wheel's).
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;
// Not a Windows bit: Alt held, so that GetKeyState(VK_MENU) can be answered too.
constexpr uint32_t MK_ALT = 0x0100;

// One wheel notch.
constexpr int WHEEL_DELTA = 120;

constexpr int32_t MakeLParam(int lo, int hi)
{
    return static_cast<int32_t>((static_cast<uint32_t>(lo) & 0xFFFF) | ((static_cast<uint32_t>(hi) & 0xFFFF) << 16));
}
constexpr int LoWordSigned(int64_t v)
{
    return static_cast<int16_t>(static_cast<uint32_t>(v) & 0xFFFF);
}
constexpr int HiWordSigned(int64_t v)
{
    return static_cast<int16_t>((static_cast<uint32_t>(v) >> 16) & 0xFFFF);
}

// One message. `window` is the widget the event is for (the focus widget for keys, the
// widget under the cursor for the mouse). Mouse messages carry the client point packed
// in lParam (x low, y high) and the MK_* state in wParam (the wheel's delta is in the
// high word of wParam); `pt` is the cursor in screen coordinates. Keys carry the VK_*
// code in wParam (WM_CHAR: the character), the repeat count in the low word of lParam.
struct Message {
    QWidget* window = nullptr;
    uint32_t message = WM_NULL;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    QPoint pt;
    // MK_* bits of the moment, also for keys (GetKeyState answers from them).
    uint32_t keyState = 0;
    // Private messages: the serial of the loop a WM_ENDPOPUPLOOP is meant for.
    uint64_t serial = 0;
};

// GetKeyState over the record's state: true while VK_SHIFT, VK_CONTROL or VK_MENU is held.
bool IsKeyDown(const Message& msg, uint32_t vk);
// The wheel's delta (positive: away from the user) of a WM_MOUSEWHEEL record.
int WheelDelta(const Message& msg);
// The client point of a mouse record.
QPoint ClientPoint(const Message& msg);

// The virtual key of a Qt key (0 for keys without one). Letters map to 'A'..'Z' whatever
// the case, digits to '0'..'9'.
uint32_t VirtualKeyFromQt(int qtKey);
// The MK_* state of Qt's modifiers and buttons.
uint32_t KeyStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

// The record of an event for `receiver`; nothing for events that are no message here.
// Translated: mouse presses, releases, double clicks and moves (left, right, middle),
// the wheel (one vertical delta; a horizontal-only turn with Shift, as Windows reports
// a tilt), key presses and releases, PrivateMessageEvent, the application's quit and its
// deactivation (WM_ACTIVATEAPP with wParam 0).
std::optional<Message> TranslateEvent(QObject* receiver, QEvent* event);

// WM_CHAR records of a key press's text (control characters included), in order.
int CharsOfKeyEvent(const QKeyEvent* event, uint32_t* out, int capacity);

// A private message posted to a widget; the event type is the message number, which
// must be a valid user type (>= QEvent::User, 1000).
class PrivateMessageEvent : public QEvent
{
public:
    PrivateMessageEvent(uint32_t message, uint64_t wParam, int64_t lParam, uint64_t serial = 0);
    uint32_t message() const { return static_cast<uint32_t>(type()); }
    uint64_t wParam() const { return wParam_; }
    int64_t lParam() const { return lParam_; }
    uint64_t serial() const { return serial_; }
    PrivateMessageEvent* clone() const override { return new PrivateMessageEvent(*this); }

private:
    uint64_t wParam_;
    int64_t lParam_;
    uint64_t serial_;
};

// PostMessage of a private message (queued, delivered by the event loop).
void PostPrivateMessage(QWidget* window, uint32_t message, uint64_t wParam, int64_t lParam = 0);
// SendMessage of a private message (delivered now); returns whether it was accepted.
bool SendPrivateMessage(QWidget* window, uint32_t message, uint64_t wParam, int64_t lParam = 0);

} // namespace plat
