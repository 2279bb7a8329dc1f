// The in-place editor of labels, buttons and combo boxes: an edit over the widget and a
// modal loop that decides, message by message, when the edit ends and whether its
// text is taken.

#include "InPlaceEdit.h"

#include "MyWidgets.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

namespace
{

constexpr int kScrollWatchMs = 50;

using plat::Message;
using plat::PopupAction;
using plat::PopupDecision;
using plat::PopupView;

// Ends the editor's loop with a commit when the editor loses the keyboard focus
// (another window activated, the focus moved by the program).
class FocusOutCommit : public QObject
{
public:
    explicit FocusOutCommit(QWidget* editor) : editor_(editor) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut && editor_ && plat::IsPopupLoopRunning(editor_))
            plat::EndPopupLoop(editor_, 1);
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> editor_;
};

bool OnEditor(const Message& msg, QWidget* editor)
{
    return msg.window && (msg.window == editor || editor->isAncestorOf(msg.window));
}

} // namespace

// The editor's ending rules, over one message.
PopupDecision DecideInPlaceEdit(const Message& msg, const PopupView& view, bool scrolled, bool editorHasFocus)
{
    // The list scrolled, or a button went down or up in it: the edit is over and its
    // text is taken; the message still reaches its window.
    if (scrolled)
        return {PopupAction::EndLeaveQueued, 1};
    switch (msg.message) {
    case plat::WM_QUIT:
        return {PopupAction::EndLeaveQueued, 0};
    case plat::WM_NCLBUTTONDOWN:
    case plat::WM_NCRBUTTONDOWN:
    case plat::WM_LBUTTONDOWN:
    case plat::WM_RBUTTONDOWN:
        if (view.popup && OnEditor(msg, view.popup))
            return {PopupAction::Deliver, 0};
        return {PopupAction::EndLeaveQueued, 1};
    case plat::WM_KEYDOWN:
        switch (msg.wParam) {
        case plat::VK_TAB:
        case plat::VK_RETURN:
        case plat::VK_EXECUTE:
            return {PopupAction::End, 1};
        case plat::VK_ESCAPE:
            return {PopupAction::End, 0};
        case plat::VK_SPACE:
            if (plat::IsKeyDown(msg, plat::VK_CONTROL))
                return {PopupAction::Drop, 0};
            break;
        default:
            break;
        }
        return {PopupAction::Deliver, 0};
    case plat::WM_MOUSEWHEEL:
        if (!editorHasFocus)
            return {PopupAction::End, 1};
        return {PopupAction::Deliver, 0};
    case plat::WM_ENDPOPUPLOOP:
        if (msg.window != view.popup)
            return {PopupAction::Deliver, 0};
        if (msg.serial != view.serial)
            return {PopupAction::Drop, 0};
        return {PopupAction::End, static_cast<int>(static_cast<int64_t>(msg.wParam))};
    default:
        return {PopupAction::Deliver, 0};
    }
}

int RunEditorLoop(QWidget* editor, QWidget* owner, const std::function<bool()>& scrolled)
{
    FocusOutCommit commitOnFocusOut(editor);
    editor->installEventFilter(&commitOnFocusOut);
    QPointer<QWidget> guard(editor);
    plat::PopupLoopOptions options;
    options.owner = owner;
    options.decide = [editor, scrolled](const Message& msg, const PopupView& view) {
        return DecideInPlaceEdit(msg, view, scrolled && scrolled(), QApplication::focusWidget() == editor);
    };
    // The owner scrolls from its own handlers (a wheel turn, a press on its bar): look
    // at the flag between messages too, so the edit ends without waiting for the next one.
    QTimer watch;
    if (scrolled) {
        watch.setInterval(kScrollWatchMs);
        QObject::connect(&watch, &QTimer::timeout, [guard, scrolled] {
            if (guard && scrolled() && plat::IsPopupLoopRunning(guard))
                plat::EndPopupLoop(guard, 1);
        });
        watch.start();
    }
    int result = plat::RunPopupLoop(editor, options);
    watch.stop();
    if (guard)
        editor->removeEventFilter(&commitOnFocusOut);
    return result;
}

std::optional<std::wstring> RunInPlaceEdit(IMyWidContainerDepot* depot, const RECT& rect, const std::wstring& text,
                                           int limit, bool multiLine)
{
    QWidget* host = depot ? depot->GetDepotWnd() : nullptr;
    if (!host)
        return std::nullopt;
    RECT r = brindle::InflatedRect(rect, -2, -2);
    QRect geometry(r.left, r.top, std::max(1, brindle::RectWidth(r)), std::max(1, brindle::RectHeight(r)));
    QFont font = brindle::QFontOf(depot->GetFontHandle());
    QString initial = QString::fromStdWString(text);

    QPointer<QWidget> editor;
    QLineEdit* line = nullptr;
    QPlainTextEdit* block = nullptr;
    if (multiLine) {
        block = new QPlainTextEdit(host);
        block->setPlainText(initial);
        block->setFrameShape(QFrame::NoFrame);
        block->selectAll();
        editor = block;
    } else {
        line = new QLineEdit(host);
        line->setFrame(false);
        line->setMaxLength(limit > 0 ? limit : 32767);
        line->setText(initial);
        line->selectAll();
        editor = line;
    }
    editor->setFont(font);
    editor->setGeometry(geometry);
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);

    depot->RestorScroll();
    int result = RunEditorLoop(editor, host, [depot] { return depot->CheckEnterScroll() != 0; });

    std::optional<std::wstring> out;
    if (editor) {
        if (result == 1) {
            if (line)
                out = line->text().toStdWString();
            else
                out = block->toPlainText().toStdWString();
        }
        bool hadFocus = editor->hasFocus();
        delete editor.data();
        if (hadFocus)
            host->setFocus(Qt::OtherFocusReason);
    }
    return out;
}
