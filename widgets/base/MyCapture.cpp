#include "MyCapture.h"

#include <QApplication>
#include <QBasicTimer>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QTimerEvent>
#include <QWidget>

namespace
{

// Tells the window that the cursor is where it is now, as a plain move without
// buttons, so that it drops a hover state the cursor has left.
void PostMouseMove(QWidget* window)
{
    QPoint global = QCursor::pos();
    QPointF local = window->mapFromGlobal(QPointF(global));
    QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseMove, local, QPointF(global), Qt::NoButton,
                                                        Qt::NoButton, QGuiApplication::keyboardModifiers()));
}

// The one captured window of the process and its watchdog. Lives under the
// application object, so its timer never outlives the event loop.
class CaptureState : public QObject
{
public:
    using QObject::QObject;

    QPointer<QWidget> captured;
    QBasicTimer watchdog;

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() != watchdog.timerId())
            return;
        if (!captured) {
            watchdog.stop();
            return;
        }
        // Still over the window, or still held by a press made in it: nothing to do.
        if (QApplication::widgetAt(QCursor::pos()) == captured || QWidget::mouseGrabber() == captured
            || QGuiApplication::mouseButtons() != Qt::NoButton)
            return;
        watchdog.stop();
        PostMouseMove(captured);
    }
};

CaptureState* State()
{
    static QPointer<CaptureState> state;
    if (!state && QCoreApplication::instance())
        state = new CaptureState(QCoreApplication::instance());
    return state;
}

} // namespace

QWidget* MyCapture::MySetCapture(QWidget* window)
{
    CaptureState* state = State();
    if (!state)
        return nullptr;
    QWidget* previous = state->captured;
    if (previous && previous != window)
        PostMouseMove(previous);
    state->captured = window;
    if (window && !state->watchdog.isActive())
        state->watchdog.start(kWatchdogMs, state);
    return previous;
}

int MyCapture::MyReleaseCapture()
{
    if (CaptureState* state = State()) {
        state->captured = nullptr;
        state->watchdog.stop();
    }
    return 1;
}

QWidget* MyCapture::MyGetCapture()
{
    CaptureState* state = State();
    return state ? state->captured.data() : nullptr;
}

int MyCapture::MyTestPoint(QWidget* window)
{
    return window && QApplication::widgetAt(QCursor::pos()) == window ? 1 : 0;
}

int MyCapture::MyGetCursorPos(QWidget* window, QPoint* out)
{
    if (!window || !out)
        return 0;
    *out = window->mapFromGlobal(QCursor::pos());
    return 1;
}
