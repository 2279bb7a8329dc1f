#include "WaitPopup.h"

#include "FontSubstitution.h"
#include "SerialPortNames.h"
#include "SystemColors.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPainter>

#include <cstring>
#include <system_error>

namespace kqplus
{

namespace
{

const wchar_t kReadingNumber[] = L"正在读取密码器编号...";
const wchar_t kCalculating[] = L"正在联机计算...";

QEvent::Type TextChangedEvent()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

std::wstring CWaitSink::GetText() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
}

void CWaitSink::SetText(const std::wstring& text)
{
    QWidget* popup;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        text_ = text;
        popup = popup_;
    }
    // The worker never touches a widget: the popup repaints on its own thread.
    if (popup)
        QCoreApplication::postEvent(popup, new QEvent(TextChangedEvent()));
}

KQXWaitReadKQSN::KQXWaitReadKQSN(int port) : CWaitSink(kReadingNumber), port_(port)
{
    std::memset(&id_, 0, sizeof id_);
}

int KQXWaitReadKQSN::Run()
{
    return ReadKQSN(port_, reinterpret_cast<char*>(&id_), 0);
}

KQXWaitConnKQCalc::KQXWaitConnKQCalc(int port) : CWaitSink(L"..."), port_(port)
{
    std::memset(auth_.text, 'f', sizeof auth_.text);
    auth_.terminator = '\0';
    std::memset(&request_, 0, sizeof request_);
    std::memset(&result_, 0, sizeof result_);
    std::memset(&id_, 0, sizeof id_);
}

int KQXWaitConnKQCalc::Run()
{
    SetText(kReadingNumber);
    if (!ReadKQSN(port_, reinterpret_cast<char*>(&id_), 0))
        return 0;
    SetText(kCalculating);
    return MarvConnKQCalcFunc(port_, auth_.text, reinterpret_cast<const char*>(&request_), result_.text);
}

WaitLoopAction WaitLoopActionFor(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        return WaitLoopAction::ActivateOwner;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
    case QEvent::Close:
        return WaitLoopAction::Drop;
    default:
        return WaitLoopAction::Deliver;
    }
}

CWait::CWait(CWaitSink& job, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), job_(job), owner_(owner)
{
    // A tool-tip window takes no activation, so the owner stays the active window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("KQxPlusInUIClass"));
    QFont font(plat::DefaultFontFamily());
    font.setPixelSize(16);
    setFont(font);
    resize(kWidth, kHeight);
}

CWait::~CWait()
{
    if (worker_.joinable())
        worker_.join();
    std::lock_guard<std::mutex> lock(job_.mutex_);
    job_.popup_ = nullptr;
}

int CWait::Run()
{
    if (owner_) {
        const QPoint centre = owner_->frameGeometry().center();
        move(centre.x() - kWidth / 2, centre.y() - kHeight / 2);
    }
    show();
    {
        std::lock_guard<std::mutex> lock(job_.mutex_);
        job_.popup_ = this;
    }
    done_ = false;
    try {
        worker_ = std::thread([this] {
            result_ = job_.Run();
            QCoreApplication::postEvent(this, new QEvent(kJobDoneEvent));
        });
    } catch (const std::system_error&) {
        hide();
        return 0;
    }
    QEventLoop loop;
    loop_ = &loop;
    qApp->installEventFilter(this);
    if (!done_)
        loop.exec();
    qApp->removeEventFilter(this);
    loop_ = nullptr;
    // The worker posted its end as its last act (or the program is quitting and
    // the device call ends within its time-out): wait for it, never kill it.
    worker_.join();
    hide();
    return result_;
}

bool CWait::event(QEvent* event)
{
    if (event->type() == kJobDoneEvent) {
        done_ = true;
        if (loop_)
            loop_->exit(0);
        return true;
    }
    if (event->type() == TextChangedEvent()) {
        update();
        return true;
    }
    return QWidget::event(event);
}

bool CWait::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType() && !watched->isWindowType())
        return false;
    switch (WaitLoopActionFor(event->type())) {
    case WaitLoopAction::Deliver:
        return false;
    case WaitLoopAction::ActivateOwner:
        if (owner_)
            owner_->activateWindow();
        return true;
    case WaitLoopAction::Drop:
        return true;
    }
    return false;
}

void CWait::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, plat::ToQColor(GetSysColor(COLOR_BTNFACE)));
    p.setPen(QColor(88, 207, 229));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(QColor(1, 99, 129));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(QColor(0, 0, 255));
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, QString::fromStdWString(job_.GetText()));
}

int OfferedPortNumber(const std::string& name)
{
    if (name.size() < 4 || name.size() > 5)
        return 0;
    for (int i = 0; i < 3; ++i) {
        const char upper = static_cast<char>(name[static_cast<size_t>(i)] & ~0x20);
        if (upper != "COM"[i])
            return 0;
    }
    int number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

int SPEnumator::Enumerate()
{
    ports_.clear();
    for (const plat::SerialPortEntry& entry : plat::EnumerateSerialPorts()) {
        if (int number = OfferedPortNumber(entry.name))
            ports_.push_back({std::wstring(entry.name.begin(), entry.name.end()), number});
    }
    return static_cast<int>(ports_.size());
}

} // namespace kqplus
