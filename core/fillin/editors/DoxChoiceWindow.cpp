#include "DoxChoiceWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>

#include "Messages.h"
#include "SystemColors.h"

namespace
{
constexpr COLORREF kFrame = 0x0096775C;

QFont ListFont()
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    return font;
}
} // namespace

DoxChoiceWindow::DoxChoiceWindow(QWidget* owner) : DoxScrollWindow(owner, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setFont(ListFont());
    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->hide();
    connect(bar_, &QScrollBar::valueChanged, this, [this] { update(); });
}

DoxChoiceWindow::~DoxChoiceWindow() = default;

int DoxChoiceWindow::AddItem(const std::wstring& text)
{
    items_.push_back(text);
    return static_cast<int>(items_.size()) - 1;
}

void DoxChoiceWindow::ClearItems()
{
    items_.clear();
    current_ = -1;
    keyChosen_ = false;
}

bool DoxChoiceWindow::EnterAccepts() const
{
    return keyChosen_ && current_ >= 0 && current_ < static_cast<int>(items_.size());
}

QRect DoxChoiceWindow::ClientRect() const
{
    const int barWidth = bar_->isVisible() ? bar_->width() : 0;
    return QRect(1, 1, width() - 2 - barWidth, height() - 2);
}

int DoxChoiceWindow::Offset() const
{
    return -bar_->value();
}

int DoxChoiceWindow::HitTest(QPoint point) const
{
    const QRect client = ClientRect();
    if (!client.contains(point))
        return -1;
    const int row = (point.y() - client.top() - Offset()) / kRowHeight;
    return row >= 0 && row < static_cast<int>(items_.size()) ? row : -1;
}

void DoxChoiceWindow::ScrollIntoView(int index)
{
    const QRect client = ClientRect();
    const int top = index * kRowHeight + Offset();
    if (top + kRowHeight > client.height())
        ScrollBy(0, top + kRowHeight - client.height());
    else if (top < 0)
        ScrollBy(0, top);
}

int DoxChoiceWindow::SetCurSel(int index)
{
    const int previous = current_;
    if (index < 0 || index >= static_cast<int>(items_.size()) || index == current_)
        return previous;
    current_ = index;
    if (open_) {
        ScrollIntoView(index);
        update();
    }
    setToolTip(QString::fromStdWString(items_[static_cast<size_t>(index)]));
    return previous;
}

void DoxChoiceWindow::Place(int x, int y, int width, int height)
{
    const int content = std::max(kRowHeight, kRowHeight * static_cast<int>(items_.size()));
    const int windowHeight = std::min(content + 2, kMaxHeight);
    int top = y + height;
    QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int workBottom = screen ? screen->availableGeometry().bottom() + 1 : top + windowHeight;
    if (top + windowHeight > workBottom)
        top = y - windowHeight;
    shadow_.Place(this, x, top, width, windowHeight);
    setGeometry(x, top, width, windowHeight);
    bar_->setValue(0);
    SetScrollSizes(1, 100, 0, content, 0, 0, 0, 0);
    update();
}

void DoxChoiceWindow::UpdateScroll()
{
    bool needH = false;
    bool needV = false;
    SIZE range{0, 0};
    POINT pos{0, 0};
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    if (!CalcScrollState(width() - 2, height() - 2, barWidth, 0, &needH, &needV, &range, &pos) || !needV) {
        EnableVScrollBar(false);
        return;
    }
    bar_->setRange(0, range.cy);
    bar_->setPageStep(std::max(1, height() - 2));
    bar_->setSingleStep(kRowHeight);
    bar_->setValue(pos.y);
    EnableVScrollBar(true);
}

bool DoxChoiceWindow::IsVScrollBarEnabled()
{
    return bar_->isEnabled() && bar_->isVisible();
}

int DoxChoiceWindow::GetVScrollPos()
{
    return bar_->value();
}

int DoxChoiceWindow::SetVScrollPos(int pos, bool /*redraw*/)
{
    const int old = bar_->value();
    bar_->setValue(pos);
    return old;
}

int DoxChoiceWindow::GetVScrollLimit()
{
    return bar_->maximum();
}

int DoxChoiceWindow::GetVScrollTrackPos()
{
    return bar_->sliderPosition();
}

void DoxChoiceWindow::EnableVScrollBar(bool enable)
{
    if (!enable)
        bar_->setRange(0, 0);
    bar_->setEnabled(enable);
    bar_->setVisible(enable);
}

void DoxChoiceWindow::DoScrollWindow(int /*dx*/, int dy)
{
    // The rows are drawn from the bar's position.
    if (dy)
        update();
}

int DoxChoiceWindow::TrackPopWindow(int x, int y, const QRect& blind, int width, int height, bool typing)
{
    keyChosen_ = false;
    if (open_) {
        current_ = -1;
        Place(x, y, width, height);
        return 2;
    }
    current_ = -1;
    passTypingKeys_ = typing ? 1 : 0;
    open_ = true;
    shadow_.Create(parentWidget());
    Place(x, y, width, height);
    show();
    const QPointer<DoxChoiceWindow> self(this);
    const int result =
        DoTrackPopWindow(this, RECT{blind.left(), blind.top(), blind.left() + blind.width(), blind.top() + blind.height()});
    if (!self)
        return 0; // destroyed with its owner while it was open
    hide();
    shadow_.Destroy();
    open_ = false;
    return result == 1 ? 1 : 0;
}

void DoxChoiceWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    p.setPen(plat::ToQColor(kFrame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect client = ClientRect();
    p.setClipRect(client);
    p.setFont(font());
    int y = client.top() + Offset();
    for (size_t i = 0; i < items_.size(); ++i, y += kRowHeight) {
        const QRect row(client.left(), y, client.width(), kRowHeight);
        if (!row.intersects(client))
            continue;
        const bool current = static_cast<int>(i) == current_;
        p.fillRect(row, plat::ToQColor(GetSysColor(current ? COLOR_HIGHLIGHT : COLOR_WINDOW)));
        p.setPen(plat::ToQColor(GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT)));
        const QRect textRect = row.adjusted(1, 0, -1, 0);
        const QString text =
            p.fontMetrics().elidedText(QString::fromStdWString(items_[i]), Qt::ElideRight, textRect.width());
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text);
    }
    if (y < client.bottom() + 1)
        p.fillRect(QRect(client.left(), y, client.width(), client.bottom() + 1 - y),
                   plat::ToQColor(GetSysColor(COLOR_WINDOW)));
}

void DoxChoiceWindow::mouseMoveEvent(QMouseEvent* event)
{
    const int previous = current_;
    SetCurSel(HitTest(event->position().toPoint()));
    if (current_ != previous)
        keyChosen_ = false;
}

void DoxChoiceWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        EndTrack(1);
}

void DoxChoiceWindow::keyPressEvent(QKeyEvent* event)
{
    const int count = static_cast<int>(items_.size());
    const uint32_t key = plat::VirtualKeyFromQt(event->key());
    if (key == plat::VK_UP && count > 0) {
        SetCurSel(current_ <= 0 ? count - 1 : current_ - 1);
        keyChosen_ = true;
    } else if (key == plat::VK_DOWN && count > 0) {
        SetCurSel(current_ >= count - 1 ? 0 : current_ + 1);
        keyChosen_ = true;
    } else if (!DoKeyScroll(key))
        QWidget::keyPressEvent(event);
}

void DoxChoiceWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    bar_->setGeometry(width() - 1 - barWidth, 1, barWidth, height() - 2);
}

