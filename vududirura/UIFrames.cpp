#include "UIFrames.h"

#include "UIMessage.h"
#include "UIWinApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDataStream>
#include <QFrame>
#include <QGuiApplication>
#include <QMutex>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleFactory>

void UIApplyVisualManager()
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Window, QColor(0xEE, 0xF2, 0xF8));
    palette.setColor(QPalette::Button, QColor(0xF3, 0xF6, 0xFA));
    palette.setColor(QPalette::Highlight, QColor(0x33, 0x99, 0xFF));
    QApplication::setPalette(palette);
}

#include <algorithm>
#include <map>
#include <string>

namespace
{

// A rectangle moved and shrunk into the work area of the screen it lies on most
// (else the primary one); room is left for a frame of the given size.
QRect FitToScreen(const QRect& stored, const QSize& frame, const QSize& minimum)
{
    QScreen* best = nullptr;
    qint64 bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->availableGeometry().intersected(stored);
        const qint64 area = static_cast<qint64>(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    if (!best) best = QGuiApplication::primaryScreen();
    if (!best) return stored;
    const QRect work = best->availableGeometry();
    const QSize room(std::max(1, work.width() - std::max(0, frame.width())),
                     std::max(1, work.height() - std::max(0, frame.height())));
    const QSize size = stored.size().boundedTo(room).expandedTo(minimum.boundedTo(room));
    const int x = std::clamp(stored.x(), work.left(), std::max(work.left(), work.right() + 1 - size.width()));
    const int y = std::clamp(stored.y(), work.top(), std::max(work.top(), work.bottom() + 1 - size.height()));
    return QRect(QPoint(x, y), size);
}

// The stored placement with its normal rectangles fitted to the screen. A window
// stored maximized is shown maximized, but its normal size is what a click on the
// restore button gives: it must fit as well. The placement is what QWidget keeps
// (a magic number, version 1-3, frame and normal rectangles, screen, the two state
// bytes, then the screen width and the client rectangle); anything else is left
// to QWidget to judge.
QByteArray FittedPlacement(const QByteArray& stored, const QSize& minimum, int titleBar)
{
    QDataStream in(stored);
    in.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0, minor = 0;
    in >> magic >> major >> minor;
    if (magic != 0x1D9D0CB || major < 1 || major > 3) return stored;
    QRect frame, normal, client;
    qint32 screen = 0, screenWidth = 0;
    quint8 maximized = 0, fullScreen = 0;
    in >> frame >> normal >> screen >> maximized >> fullScreen;
    if (major >= 2) in >> screenWidth;
    if (major >= 3) in >> client;
    if (in.status() != QDataStream::Ok || !in.atEnd()) return stored;
    // The client rectangles leave room for the title bar, which QWidget keeps on
    // the screen by moving them down.
    normal = FitToScreen(normal, QSize(0, titleBar), minimum);
    frame = FitToScreen(frame, {}, minimum);
    if (major >= 3) client = FitToScreen(client, QSize(0, titleBar), minimum);

    QByteArray out;
    QDataStream write(&out, QIODevice::WriteOnly);
    write.setVersion(QDataStream::Qt_4_0);
    write << magic << major << minor << frame << normal << screen << maximized << fullScreen;
    if (major >= 2) write << screenWidth;
    if (major >= 3) write << client;
    return out;
}

} // namespace

UIFrameWnd::UIFrameWnd(QWidget* parent) : QMainWindow(parent) {}

void UIFrameWnd::RemoveClientEdge()
{
    if (auto* frame = qobject_cast<QFrame*>(centralWidget())) frame->setFrameShape(QFrame::NoFrame);
}

void UIFrameWnd::showEvent(QShowEvent* event)
{
    if (!placed_) {
        placed_ = true;
        if (UIWinApp* app = UIWinApp::Instance(); app && !app->Placement().isEmpty()) {
            const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
            restoreGeometry(FittedPlacement(app->Placement(), minimumSizeHint(), titleBar));
            KeepOnScreen();
        }
    }
    QMainWindow::showEvent(event);
}

void UIFrameWnd::KeepOnScreen()
{
    if (isMaximized() || isFullScreen()) return;
    // Room for the frame the window manager adds (known once the window was shown).
    const QRect stored = geometry();
    const QRect fitted = FitToScreen(stored, frameGeometry().size() - stored.size(), minimumSizeHint());
    if (fitted != stored) setGeometry(fitted);
}

void UIFrameWnd::closeEvent(QCloseEvent* event)
{
    if (UIWinApp* app = UIWinApp::Instance()) app->SetPlacement(saveGeometry());
    QMainWindow::closeEvent(event);
}

UIChildWnd::UIChildWnd(QWidget* parent) : QWidget(parent) {}

bool UIChildWnd::Create(unsigned style, const QRect& rect, QWidget* parent, unsigned id)
{
    setParent(parent);
    setObjectName(QString::number(id));
    setGeometry(rect);
    if (OnCreate() == -1) {
        hide();
        setParent(nullptr);
        return false;
    }
    setVisible((style & vudu::kWsVisible) != 0);
    return true;
}

UIDialogChildWnd::UIDialogChildWnd(unsigned resourceId, QWidget* parent)
    : UIChildWnd(parent), resourceId_(resourceId)
{
}

int UIDialogChildWnd::OnCreate() { return OnInitDialog() ? 0 : -1; }

unsigned UIRegisterMessage(const char* name)
{
    static QMutex mutex;
    static std::map<std::string, unsigned> numbers;
    std::string key = name ? name : "";
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    QMutexLocker lock(&mutex);
    auto found = numbers.find(key);
    if (found == numbers.end()) found = numbers.emplace(key, static_cast<unsigned>(QEvent::registerEventType())).first;
    return found->second;
}

unsigned UIOnChangeActiveTabMessage() { return UIRegisterMessage("AFX_WM_ONCHANGE_ACTIVE_TAB"); }
