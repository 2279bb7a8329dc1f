#include "XServer.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <xcb/xcb.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace doxtest
{

namespace detail
{
// Set by the X server main() once the server answers.
Display* g_display = nullptr;
// Set by the main() of an input-method test once fcitx5 answers.
bool g_inputMethod = false;
} // namespace detail

bool HaveXServer()
{
    return detail::g_display != nullptr;
}

bool HaveInputMethod()
{
    return HaveXServer() && detail::g_inputMethod;
}

bool WaitFor(const std::function<bool()>& cond, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!cond()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(10);
    }
    return true;
}

bool ShowAndActivate(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    // Without a window manager the server gives the focus only when asked.
    if (QWindow* handle = window->windowHandle())
        handle->requestActivate();
    return WaitFor([window] { return QApplication::activeWindow() == window->window(); });
}

namespace
{

// A line that notes the input method's compositions.
class ProbeLine : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    bool composed = false;

protected:
    void inputMethodEvent(QInputMethodEvent* event) override
    {
        if (!event->preeditString().isEmpty())
            composed = true;
        QLineEdit::inputMethodEvent(event);
    }
};

} // namespace

bool WaitForInputMethod(QWidget* window)
{
    QPointer<QWidget> focus = QApplication::focusWidget();
    auto* line = new ProbeLine(window->window());
    line->setGeometry(0, 0, 120, 24);
    line->show();
    line->raise();
    for (int attempt = 0; attempt < 30 && !line->composed; ++attempt) {
        line->clear();
        line->setFocus();
        WaitFor([&] { return line->hasFocus(); }, 1000);
        xinput::Type("a");
        // The letter comes back at once while the input method is not there yet.
        WaitFor([&] { return line->composed || !line->text().isEmpty(); }, 1000);
    }
    const bool composed = line->composed;
    if (composed) {
        xinput::Chord({"Escape"});
        WaitFor([&] { return line->text().isEmpty(); }, 3000);
    }
    delete line;
    if (focus)
        focus->setFocus();
    WaitFor([&] { return !focus || focus->hasFocus(); }, 1000);
    return composed;
}

namespace xinput
{

namespace
{

Display* Dpy()
{
    if (!detail::g_display)
        throw std::runtime_error("no X server");
    return detail::g_display;
}

KeyCode Code(const char* key)
{
    const KeySym sym = XStringToKeysym(key);
    if (sym == NoSymbol)
        throw std::runtime_error(std::string("unknown X key name ") + key);
    const KeyCode code = XKeysymToKeycode(Dpy(), sym);
    if (!code)
        throw std::runtime_error(std::string("no key for ") + key);
    return code;
}

void Send(const char* key, bool down)
{
    XTestFakeKeyEvent(Dpy(), Code(key), down ? True : False, CurrentTime);
    XFlush(Dpy());
}

} // namespace

void Press(const char* key)
{
    Send(key, true);
}

void Release(const char* key)
{
    Send(key, false);
}

void Chord(std::initializer_list<const char*> keys)
{
    for (const char* key : keys)
        Send(key, true);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        Send(*it, false);
    Settle();
}

void Type(const char* text)
{
    // The punctuation of dates, times and amounts; letters and digits are their own names.
    const struct {
        char c;
        const char* key;
        bool shift;
    } named[] = {{' ', "space", false}, {'.', "period", false}, {'-', "minus", false},
                 {',', "comma", false}, {'/', "slash", false},  {':', "semicolon", true}};
    for (const char* p = text; *p; ++p) {
        const char plain[2] = {*p, 0};
        const char* key = plain;
        bool shift = *p >= 'A' && *p <= 'Z';
        for (const auto& n : named) {
            if (n.c == *p) {
                key = n.key;
                shift = n.shift;
            }
        }
        if (shift)
            Send("Shift_L", true);
        Send(key, true);
        Send(key, false);
        if (shift)
            Send("Shift_L", false);
    }
    Settle();
}

void Hold(const char* key, int ms)
{
    Send(key, true);
    QTest::qWait(ms);
    Send(key, false);
    Settle();
}

void MoveTo(QPoint global)
{
    XTestFakeMotionEvent(Dpy(), -1, global.x(), global.y(), CurrentTime);
    XFlush(Dpy());
}

void Click(QPoint global, int button)
{
    MoveTo(global);
    // The pointer is over the target before the button goes down.
    Settle();
    XTestFakeButtonEvent(Dpy(), static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(Dpy(), static_cast<unsigned>(button), False, CurrentTime);
    XFlush(Dpy());
    Settle();
}

namespace
{

// Sees the marker property change that Settle makes on the root window. The server
// sends it to Qt's connection after every input sent before it, so once Qt has read it
// Qt has read that input too, however busy the machine is.
class MarkerFilter : public QAbstractNativeEventFilter
{
public:
    explicit MarkerFilter(xcb_atom_t atom) : atom_(atom) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override
    {
        if (type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY &&
            reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == atom_)
            seen = true;
        return false;
    }
    bool seen = false;

private:
    xcb_atom_t atom_;
};

// Waits (at most a few seconds) until Qt has read everything sent so far; false when
// the marker did not come back in that time.
bool WaitUntilQtHasReadTheInput()
{
    Display* dpy = Dpy();
    const Atom atom = XInternAtom(dpy, "_DOX_TEST_SETTLE", False);
    MarkerFilter filter(static_cast<xcb_atom_t>(atom));
    QCoreApplication::instance()->installNativeEventFilter(&filter);
    static long serial = 0;
    ++serial;
    XChangeProperty(dpy, DefaultRootWindow(dpy), atom, XA_INTEGER, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&serial), 1);
    XSync(dpy, False);
    const bool seen = WaitFor([&filter] { return filter.seen; }, 5000);
    QCoreApplication::instance()->removeNativeEventFilter(&filter);
    return seen;
}

} // namespace

void Settle()
{
    XSync(Dpy(), False);
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !WaitUntilQtHasReadTheInput())
        ADD_FAILURE() << "the X server's marker did not reach Qt within 5 s: the input may be lost";
    // What the input made Qt post (deferred deletes aside) runs before the test looks.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace xinput

} // namespace doxtest
