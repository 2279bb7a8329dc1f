#include "Messages.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace plat
{

bool IsKeyDown(const Message& msg, uint32_t vk)
{
    switch (vk) {
    case VK_SHIFT:
        return msg.keyState & MK_SHIFT;
    case VK_CONTROL:
        return msg.keyState & MK_CONTROL;
    case VK_MENU:
        return msg.keyState & MK_ALT;
    default:
        return false;
    }
}

int WheelDelta(const Message& msg)
{
    return static_cast<int16_t>((msg.wParam >> 16) & 0xFFFF);
}

QPoint ClientPoint(const Message& msg)
{
    return {LoWordSigned(msg.lParam), HiWordSigned(msg.lParam)};
}

uint32_t VirtualKeyFromQt(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<uint32_t>('A' + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<uint32_t>('0' + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return VK_F1 + static_cast<uint32_t>(qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Execute:
        return VK_EXECUTE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    default:
        return 0;
    }
}

uint32_t KeyStateFromQt(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    uint32_t state = 0;
    if (buttons & Qt::LeftButton)
        state |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        state |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        state |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (modifiers & Qt::AltModifier)
        state |= MK_ALT;
    return state;
}

namespace
{

uint32_t MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    int row = 0; // 0 down, 1 up, 2 double click
    if (type == QEvent::MouseButtonRelease)
        row = 1;
    else if (type == QEvent::MouseButtonDblClick)
        row = 2;
    switch (button) {
    case Qt::LeftButton:
        return WM_LBUTTONDOWN + row;
    case Qt::RightButton:
        return WM_RBUTTONDOWN + row;
    case Qt::MiddleButton:
        return WM_MBUTTONDOWN + row;
    default:
        return WM_NULL;
    }
}

} // namespace

std::optional<Message> TranslateEvent(QObject* receiver, QEvent* event)
{
    Message msg;
    msg.window = qobject_cast<QWidget*>(receiver);
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        if (!msg.window)
            return std::nullopt;
        auto* e = static_cast<QMouseEvent*>(event);
        msg.message = type == QEvent::MouseMove ? WM_MOUSEMOVE : MouseMessage(type, e->button());
        if (msg.message == WM_NULL)
            return std::nullopt;
        QPoint local = e->position().toPoint();
        msg.lParam = MakeLParam(local.x(), local.y());
        msg.pt = e->globalPosition().toPoint();
        msg.keyState = KeyStateFromQt(e->modifiers(), e->buttons());
        msg.wParam = msg.keyState & 0xFF;
        return msg;
    }
    case QEvent::Wheel: {
        if (!msg.window)
            return std::nullopt;
        auto* e = static_cast<QWheelEvent*>(event);
        int delta = e->angleDelta().y();
        if (delta == 0)
            delta = e->angleDelta().x();
        msg.message = WM_MOUSEWHEEL;
        msg.keyState = KeyStateFromQt(e->modifiers(), e->buttons());
        msg.wParam = (msg.keyState & 0xFF) | ((static_cast<uint32_t>(delta) & 0xFFFF) << 16);
        msg.pt = e->globalPosition().toPoint();
        msg.lParam = MakeLParam(msg.pt.x(), msg.pt.y()); // the wheel's point is a screen point
        return msg;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        if (!msg.window)
            return std::nullopt;
        auto* e = static_cast<QKeyEvent*>(event);
        msg.message = type == QEvent::KeyPress ? WM_KEYDOWN : WM_KEYUP;
        msg.wParam = VirtualKeyFromQt(e->key());
        msg.lParam = 1;
        msg.keyState = KeyStateFromQt(e->modifiers(), Qt::NoButton);
        return msg;
    }
    case QEvent::Quit:
        msg.message = WM_QUIT;
        return msg;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive)
            return std::nullopt;
        msg.message = WM_ACTIVATEAPP;
        msg.wParam = 0;
        return msg;
    default:
        break;
    }
    if (type >= QEvent::User && type <= QEvent::MaxUser) {
        if (auto* e = dynamic_cast<PrivateMessageEvent*>(event)) {
            msg.message = e->message();
            msg.wParam = e->wParam();
            msg.lParam = e->lParam();
            msg.serial = e->serial();
            return msg;
        }
    }
    return std::nullopt;
}

int CharsOfKeyEvent(const QKeyEvent* event, uint32_t* out, int capacity)
{
    if (!event || event->type() != QEvent::KeyPress)
        return 0;
    // Delete is a key, not a character (X gives it the text "\x7f").
    if (event->key() == Qt::Key_Delete)
        return 0;
    QString text = event->text();
    if (text.isEmpty()) {
        // Keys whose character Qt leaves out on some platforms.
        switch (event->key()) {
        case Qt::Key_Backspace:
            text = QString(QChar(0x08));
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            text = QString(QChar(0x0D));
            break;
        case Qt::Key_Escape:
            text = QString(QChar(0x1B));
            break;
        default:
            if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
                event->key() <= Qt::Key_Z)
                text = QString(QChar(event->key() - Qt::Key_A + 1));
            break;
        }
    }
    int n = 0;
    for (char32_t c : text.toUcs4()) {
        if (n >= capacity)
            break;
        out[n++] = static_cast<uint32_t>(c);
    }
    return n;
}

PrivateMessageEvent::PrivateMessageEvent(uint32_t message, uint64_t wParam, int64_t lParam, uint64_t serial)
    : QEvent(static_cast<QEvent::Type>(message)), wParam_(wParam), lParam_(lParam), serial_(serial)
{
}

void PostPrivateMessage(QWidget* window, uint32_t message, uint64_t wParam, int64_t lParam)
{
    if (window)
        QCoreApplication::postEvent(window, new PrivateMessageEvent(message, wParam, lParam));
}

bool SendPrivateMessage(QWidget* window, uint32_t message, uint64_t wParam, int64_t lParam)
{
    if (!window)
        return false;
    PrivateMessageEvent e(message, wParam, lParam);
    return QCoreApplication::sendEvent(window, &e);
}

} // namespace plat
