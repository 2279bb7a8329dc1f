#include "PopupLoop.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <memory>
#include <vector>

namespace plat
{

namespace
{

PopupDecision Deliver()
{
    return {PopupAction::Deliver, 0};
}

PopupDecision EndWith(PopupAction action, int result)
{
    return {action, result};
}

// A press (or a wheel turn) outside the popup: the opener does not see the one that
// closes its popup; anything else clicked still gets it, after the popup has gone.
PopupDecision OutsidePress(const Message& msg, const PopupView& view)
{
    if (view.blind.contains(msg.pt))
        return EndWith(PopupAction::End, 0);
    return EndWith(PopupAction::EndLeaveQueued, 0);
}

bool IsLetterOrDigit(uint32_t vk)
{
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
}

} // namespace

PopupDecision DecidePopupMessage(const PopupRules& rules, const Message& msg, const PopupView& view)
{
    if (!view.ownerInForeground || (msg.message == WM_ACTIVATEAPP && msg.wParam == 0))
        return EndWith(PopupAction::EndLeaveQueued, 0);
    switch (msg.message) {
    case WM_ENDPOPUPLOOP:
        if (!view.popup || msg.window != view.popup)
            return Deliver();
        if (msg.serial != view.serial)
            return {PopupAction::Drop, 0};
        return EndWith(PopupAction::End, static_cast<int>(static_cast<int64_t>(msg.wParam)));
    case WM_MOUSEMOVE:
        return rules.trackMouse ? PopupDecision{PopupAction::Redirect, 0} : Deliver();
    case WM_QUIT:
        return EndWith(PopupAction::EndLeaveQueued, 0);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (view.onPopup)
            return Deliver();
        return OutsidePress(msg, view);
    case WM_MOUSEWHEEL:
        if (view.onPopup)
            return {PopupAction::Redirect, 0};
        if (rules.wheelLikeClick)
            return OutsidePress(msg, view);
        return EndWith(PopupAction::End, 0);
    case WM_KEYDOWN: {
        const auto vk = static_cast<uint32_t>(msg.wParam);
        if (rules.passTabAndEnter && (vk == VK_TAB || (vk == VK_RETURN && !rules.enterAccepts)))
            return EndWith(PopupAction::EndDeliver, 0);
        if (vk == VK_RETURN || vk == VK_EXECUTE)
            return EndWith(PopupAction::End, 1);
        if (vk == VK_ESCAPE || vk == VK_TAB)
            return EndWith(PopupAction::End, 0);
        if (vk == VK_SPACE && IsKeyDown(msg, VK_CONTROL))
            return {PopupAction::Drop, 0};
        if (rules.allKeysToPopup || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_UP || vk == VK_DOWN ||
            (rules.lettersToPopup && IsLetterOrDigit(vk)))
            return {PopupAction::Redirect, 0};
        return Deliver();
    }
    default:
        return Deliver();
    }
}

PopupDecide StandardPopupRules(const PopupRules& rules)
{
    return [rules](const Message& msg, const PopupView& view) { return DecidePopupMessage(rules, msg, view); };
}

namespace
{

uint64_t g_nextSerial = 1;

bool IsProgramShortcut(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Control:
    case Qt::Key_Shift:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return false; // a modifier going down on its own
    default:
        break;
    }
    if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35)
        return true;
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!mods)
        return false;
    // Ctrl+Space switches the input method and never reaches anybody.
    return !(mods == Qt::ControlModifier && key->key() == Qt::Key_Space);
}

class LoopFilter;
std::vector<LoopFilter*>& Loops()
{
    static std::vector<LoopFilter*> loops;
    return loops;
}

bool IsInputEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return true;
    default:
        return false;
    }
}

class LoopFilter : public QObject
{
public:
    LoopFilter(QWidget* popup, const PopupLoopOptions& options)
        : popup_(popup), owner_(options.owner ? options.owner : popup->parentWidget()), options_(options),
          serial_(g_nextSerial++)
    {
        if (!options_.decide)
            options_.decide = StandardPopupRules({});
    }

    int Run()
    {
        Loops().push_back(this);
        qApp->installEventFilter(this);
        QObject::connect(popup_, &QObject::destroyed, this, [this] { End(0); });
        if (owner_)
            QObject::connect(owner_, &QObject::destroyed, this, [this] { End(0); });
        if (!ended_)
            loop_.exec();
        qApp->removeEventFilter(this);
        Loops().erase(std::find(Loops().begin(), Loops().end(), this));
        // What the loop ended on but left for the windows underneath.
        for (auto& [receiver, event] : requeued_) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
        return result_;
    }

    QWidget* popup() const { return popup_; }
    uint64_t serial() const { return serial_; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (ended_) {
            // Input that follows one left queued (the release of the click that ended
            // the loop) waits behind it, so that the window gets them in their order.
            if (!requeued_.empty() && IsInputEvent(event->type()) && qobject_cast<QWidget*>(receiver)) {
                requeued_.emplace_back(QPointer<QObject>(receiver), std::unique_ptr<QEvent>(event->clone()));
                return true;
            }
            return false;
        }
        if (redirecting_ || Loops().empty())
            return false;
        if (Loops().back() != this) {
            // An outer loop's own end message, met while an inner loop runs: the outer
            // loop ends as soon as the inner one has.
            if (receiver == popup_ && event->type() == static_cast<QEvent::Type>(WM_ENDPOPUPLOOP)) {
                auto* e = dynamic_cast<PrivateMessageEvent*>(event);
                if (e && e->serial() == serial_) {
                    End(static_cast<int>(static_cast<int64_t>(e->wParam())));
                    return true;
                }
            }
            return false;
        }
        if (!popup_) {
            End(0);
            return false;
        }
        if (event->type() == QEvent::ShortcutOverride) {
            if (options_.passShortcuts && IsProgramShortcut(static_cast<QKeyEvent*>(event))) {
                End(0);
                return false; // the window and the program's shortcuts decide, as without a popup
            }
            // No shortcut of the program runs while a popup is up: the key comes as a
            // plain key press, which the rules below decide on.
            event->accept();
            return true;
        }
        std::optional<Message> msg;
        auto* window = qobject_cast<QWindow*>(receiver);
        if (window && event->type() == QEvent::MouseMove) {
            // A move over a window that has no tracking widget reaches no widget; the
            // popup that tracks the mouse still wants to hear of it.
            if (window == popup_->window()->windowHandle())
                return false;
            auto* e = static_cast<QMouseEvent*>(event);
            msg = Message{};
            msg->message = WM_MOUSEMOVE;
            msg->pt = e->globalPosition().toPoint();
            msg->keyState = KeyStateFromQt(e->modifiers(), e->buttons());
        } else {
            if (window)
                return false; // the widget the window hands the event to decides
            msg = TranslateEvent(receiver, event);
            if (!msg)
                return false;
            if (IsInputEvent(event->type()) && !msg->window)
                return false;
            if (event->type() == QEvent::MouseMove && msg->window->window() != popup_->window())
                return false; // decided when its window got it
        }

        PopupView view;
        view.popup = popup_;
        view.blind = options_.blind;
        view.serial = serial_;
        view.ownerInForeground = OwnerInForeground();
        view.onPopup = msg->window && (msg->window == popup_ || popup_->isAncestorOf(msg->window));

        if (options_.preProcess)
            options_.preProcess(*msg);
        if (!popup_) { // the hook may close the popup
            End(0);
            return false;
        }
        const PopupDecision decision = options_.decide(*msg, view);
        switch (decision.action) {
        case PopupAction::Deliver:
            return false;
        case PopupAction::Drop:
            return true;
        case PopupAction::Redirect:
            Redirect(event);
            return true;
        case PopupAction::End:
            End(decision.result);
            return true;
        case PopupAction::EndDeliver:
            End(decision.result);
            return false;
        case PopupAction::EndLeaveQueued:
            End(decision.result);
            if (IsInputEvent(event->type()) && msg->window) {
                requeued_.emplace_back(QPointer<QObject>(receiver), std::unique_ptr<QEvent>(event->clone()));
                return true;
            }
            return false; // quitting or deactivation: let it go on at once
        }
        return false;
    }

private:
    void End(int result)
    {
        if (ended_)
            return;
        ended_ = true;
        result_ = result;
        loop_.exit(result);
    }

    // The owner's top-level window, or one that owns it, has the desktop's keyboard
    // focus. Without any focus window the question cannot be answered (a desktop without
    // a window manager); the application's deactivation then ends the loop instead.
    bool OwnerInForeground() const
    {
        QWindow* focus = QGuiApplication::focusWindow();
        if (!focus)
            return true;
        if (popup_->window()->windowHandle() == focus)
            return true;
        if (!owner_)
            return false;
        for (QWidget* w = owner_->window(); w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
            if (w->windowHandle() == focus)
                return true;
        }
        return false;
    }

    void Redirect(QEvent* event)
    {
        redirecting_ = true;
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            QPointF global = e->globalPosition();
            QMouseEvent move(QEvent::MouseMove, popup_->mapFromGlobal(global), global, Qt::NoButton, e->buttons(),
                             e->modifiers());
            QCoreApplication::sendEvent(popup_, &move);
            break;
        }
        case QEvent::Wheel: {
            auto* e = static_cast<QWheelEvent*>(event);
            QPointF global = e->globalPosition();
            QWheelEvent wheel(popup_->mapFromGlobal(global), global, e->pixelDelta(), e->angleDelta(), e->buttons(),
                              e->modifiers(), e->phase(), e->inverted());
            QCoreApplication::sendEvent(popup_, &wheel);
            break;
        }
        default: {
            std::unique_ptr<QEvent> copy(event->clone());
            QCoreApplication::sendEvent(popup_, copy.get());
            break;
        }
        }
        redirecting_ = false;
    }

    QPointer<QWidget> popup_;
    QPointer<QWidget> owner_;
    PopupLoopOptions options_;
    uint64_t serial_;
    QEventLoop loop_;
    bool ended_ = false;
    bool redirecting_ = false;
    int result_ = 0;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> requeued_;
};

LoopFilter* FindLoop(const QWidget* popup)
{
    if (!popup)
        return nullptr;
    auto& loops = Loops();
    for (auto it = loops.rbegin(); it != loops.rend(); ++it) {
        if ((*it)->popup() == popup)
            return *it;
    }
    return nullptr;
}

} // namespace

int RunPopupLoop(QWidget* popup, const PopupLoopOptions& options)
{
    if (!popup)
        return 0;
    LoopFilter filter(popup, options);
    return filter.Run();
}

bool EndPopupLoop(QWidget* popup, int result)
{
    LoopFilter* loop = FindLoop(popup);
    if (!loop)
        return false;
    QCoreApplication::postEvent(popup, new PrivateMessageEvent(WM_ENDPOPUPLOOP,
                                                               static_cast<uint64_t>(static_cast<int64_t>(result)), 0,
                                                               loop->serial()));
    return true;
}

bool IsPopupLoopRunning(const QWidget* popup)
{
    return FindLoop(popup) != nullptr;
}

uint64_t PopupLoopSerial(const QWidget* popup)
{
    LoopFilter* loop = FindLoop(popup);
    return loop ? loop->serial() : 0;
}

} // namespace plat
