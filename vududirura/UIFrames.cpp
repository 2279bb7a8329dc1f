#include "UIFrames.h"

#include "UIMessage.h"
#include "UIWinApp.h"

#include <QApplication>
#include <QCloseEvent>
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
            restoreGeometry(app->Placement());
            KeepOnScreen();
        }
    }
    QMainWindow::showEvent(event);
}

void UIFrameWnd::KeepOnScreen()
{
    if (isMaximized() || isFullScreen()) return;
    // The screen the stored window lies on most, else the primary one.
    const QRect stored = geometry();
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
    if (!best) return;
    const QRect work = best->availableGeometry();
    // Room for the frame the window manager adds (known once the window was shown).
    const QSize frame = frameGeometry().size() - stored.size();
    const QSize room(std::max(1, work.width() - std::max(0, frame.width())),
                     std::max(1, work.height() - std::max(0, frame.height())));
    const QSize size = stored.size().boundedTo(room).expandedTo(minimumSizeHint().boundedTo(room));
    const int x = std::clamp(stored.x(), work.left(), std::max(work.left(), work.right() + 1 - size.width()));
    const int y = std::clamp(stored.y(), work.top(), std::max(work.top(), work.bottom() + 1 - size.height()));
    if (QRect(QPoint(x, y), size) != stored) setGeometry(QRect(QPoint(x, y), size));
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
