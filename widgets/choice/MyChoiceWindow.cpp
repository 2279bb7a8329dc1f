#include "MyChoiceWindow.h"

#include "Messages.h"
#include "MyCanvas.h"
#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

using brindle::MakeRect;
using brindle::RectHeight;
using brindle::RectWidth;

namespace
{

constexpr int kFindMs = 1000;
constexpr int kInset = 8;
constexpr int kRadioWidth = 16;
constexpr unsigned kItemFormat = 0x8024; // DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER

} // namespace

MyChoiceWindow::MyChoiceWindow()
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->hide();
    bar_->setEnabled(false);
    ConnectScrollBar(bar_);
    findTimer_.setSingleShot(true);
    findTimer_.setInterval(kFindMs);
    QObject::connect(&findTimer_, &QTimer::timeout, this, [this] { findBuffer_.clear(); });
}

MyChoiceWindow::~MyChoiceWindow()
{
    findTimer_.stop();
    shadow_.Destroy();
}

int MyChoiceWindow::AddItem(const wchar_t* text, long value)
{
    items_.emplace_back(text ? text : L"", value);
    return GetCount() - 1;
}

void MyChoiceWindow::RemoveAll()
{
    items_.clear();
    sel_ = -1;
    if (created_)
        update();
}

int MyChoiceWindow::SetCurSel(int index)
{
    if (index < 0 || index >= GetCount() || index == sel_)
        return sel_;
    int old = sel_;
    Select(index);
    return old;
}

int MyChoiceWindow::SetItemData(int index, long value)
{
    if (index < 0 || index >= GetCount())
        return 0;
    items_[index].second = value;
    return 1;
}

int MyChoiceWindow::GetItemData(int index, long& out) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    out = items_[index].second;
    return 1;
}

int MyChoiceWindow::GetItemText(int index, std::wstring& out) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    out = items_[index].first;
    return 1;
}

int MyChoiceWindow::FindString(const wchar_t* text) const
{
    if (!text)
        return -1;
    for (int i = 0; i < GetCount(); ++i)
        if (items_[i].first == text)
            return i;
    return -1;
}

// ---- Opening and closing.

KPWR MyChoiceWindow::TrackPopWindow(int x, int y, int cx, int cy, QWidget* parent, const RECT& blind,
                                    const CFont* font)
{
    if (items_.empty())
        return KPWR_CANCEL;
    hasFont_ = font && font->IsCreated();
    if (hasFont_)
        font_ = *font;
    QFont qfont = brindle::QFontOf(hasFont_ ? &font_ : nullptr);
    setFont(qfont);
    itemHeight_ = QFontMetrics(qfont).height() + 8;
    if (created_) {
        origin_ = 0;
        Reposition(x, y, cx, cy);
        ScrollIntoView(sel_);
        return KPWR_OPENED;
    }
    // A tool-tip window owned by the opener, which it never takes the activation from.
    // It is no child of the opener: the object belongs to a combo box or a search box,
    // and the opener must not delete it with its children.
    shadow_.Create(parent);
    created_ = 1;
    origin_ = 0;
    Reposition(x, y, cx, cy);
    show();
    raise();
    ScrollIntoView(sel_);
    const QPointer<MyChoiceWindow> self(this);
    KPWR result = DoTrackPopWindow(this, blind, parent);
    if (!self)
        return KPWR_CANCEL; // its owner went while it was open
    Close();
    return result;
}

void MyChoiceWindow::Close()
{
    findTimer_.stop();
    findBuffer_.clear();
    created_ = 0;
    shadow_.Destroy();
    bar_->hide();
    bar_->setEnabled(false);
    hide();
    QToolTip::hideText();
}

void MyChoiceWindow::Reposition(int x, int y, int cx, int cy)
{
    opener_ = QRect(x, y, cx, cy);
    int content = itemHeight_ * std::max(1, GetCount());
    int height = std::min(maxHeight_, content + 2);
    QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    int workBottom = screen ? screen->availableGeometry().bottom() + 1 : y + cy + height;
    int top = (y + cy + height > workBottom) ? y - height : y + cy;
    setGeometry(x, top, std::max(1, cx), height);
    // Scrolled by whole items: a wheel notch moves as many items as the desktop's
    // lines per notch, a page what the list shows.
    SetScrollSizes(MM_TEXT, SIZE{0, content}, SIZE{0, std::max(itemHeight_, height - 2)}, SIZE{0, itemHeight_});
    shadow_.Place(this);
}

// ---- Geometry and scrolling.

RECT MyChoiceWindow::ItemArea() const
{
    RECT r = MakeRect(1, 1, width() - 1, height() - 1);
    if (bar_->isEnabled())
        r.right -= MyScrollWindow::const_sbsize_cx();
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    return r;
}

void MyChoiceWindow::resizeEvent(QResizeEvent*)
{
    UpdateScroll();
}

void MyChoiceWindow::UpdateScroll()
{
    int client = std::max(0, height() - 2);
    int total = GetTotalSize().cy;
    if (total > client) {
        EnableVScrollBar(1);
        QSignalBlocker block(bar_);
        bar_->setRange(0, total - client);
        bar_->setPageStep(client);
        bar_->setSingleStep(GetLineSize().cy > 0 ? GetLineSize().cy : itemHeight_);
        int pos = std::clamp(-origin_, 0, total - client);
        bar_->setValue(pos);
        origin_ = -pos;
    } else {
        EnableVScrollBar(0);
        origin_ = 0;
    }
    int bw = MyScrollWindow::const_sbsize_cx();
    bar_->setGeometry(width() - 1 - bw, 1, bw, std::max(0, height() - 2));
    update();
}

int MyChoiceWindow::IsVScrollBarEnabled()
{
    return bar_->isEnabled() ? 1 : 0;
}

int MyChoiceWindow::GetVScrollPos()
{
    return bar_->value();
}

int MyChoiceWindow::SetVScrollPos(int pos, int)
{
    int old = bar_->value();
    QSignalBlocker block(bar_);
    bar_->setValue(pos);
    return old;
}

int MyChoiceWindow::GetVScrollLimit()
{
    return bar_->maximum();
}

int MyChoiceWindow::GetVScrollTrackPos()
{
    return bar_->sliderPosition();
}

void MyChoiceWindow::EnableVScrollBar(int enable)
{
    bar_->setEnabled(enable != 0);
    bar_->setVisible(enable != 0);
}

void MyChoiceWindow::DoScrollWindow(int, int dy)
{
    origin_ += dy;
    update();
}

void MyChoiceWindow::DoUpdateWindow()
{
    repaint();
}

void MyChoiceWindow::ScrollIntoView(int index)
{
    if (!created_ || index < 0 || index >= GetCount())
        return;
    RECT area = ItemArea();
    int top = area.top + origin_ + index * itemHeight_;
    if (top + itemHeight_ > area.bottom)
        DoScroll(SIZE{0, top + itemHeight_ - area.bottom}, 1);
    else if (top < area.top)
        DoScroll(SIZE{0, top - area.top}, 1);
}

int MyChoiceWindow::ItemAt(QPoint p) const
{
    RECT area = ItemArea();
    if (p.x() < area.left || p.x() >= area.right || p.y() < area.top || p.y() >= area.bottom)
        return -1;
    int index = (p.y() - area.top - origin_) / itemHeight_;
    return (index >= 0 && index < GetCount()) ? index : -1;
}

void MyChoiceWindow::Select(int index)
{
    sel_ = index;
    if (!created_)
        return;
    ScrollIntoView(index);
    update();
}

// ---- Painting.

void MyChoiceWindow::paintEvent(QPaintEvent*)
{
    RECT whole = MakeRect(0, 0, width(), height());
    MyPaintCanvas dc(this, &whole, 0);
    Draw3dRect(dc, whole, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
    RECT area = ItemArea();
    dc.SaveDC();
    dc.IntersectClipRect(area);
    if (hasFont_)
        dc.SelectObject(font_);
    dc.SetBkMode(TRANSPARENT);
    int y = area.top + origin_;
    for (int i = 0; i < GetCount(); ++i, y += itemHeight_) {
        if (y + itemHeight_ <= area.top)
            continue;
        if (y >= area.bottom)
            break;
        RECT row = MakeRect(area.left, y, area.right, y + itemHeight_);
        bool selected = i == sel_;
        dc.FillSolidRect(row, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        dc.SetTextColor(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT inner = MakeRect(row.left + kInset, row.top, row.right - kInset, row.bottom);
        const std::wstring& text = items_[i].first;
        if (colorList_) {
            long color = 0;
            if (!brindle::ParseColorText(text, color)) {
                dc.FillSolidRect(brindle::InflatedRect(inner, 0, -2), 0xFFFFFF);
            } else if (color == -1) {
                RECT box = brindle::InflatedRect(inner, 0, -2);
                Draw3dRect(dc, box, 0x808080, 0x808080);
                dc.DrawText(L"<透明色>", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            } else {
                dc.FillSolidRect(brindle::InflatedRect(inner, 0, -2), static_cast<COLORREF>(color));
            }
            continue;
        }
        if (i == radio_) {
            brindle::DrawArrowHead(dc, inner.left + 10, (row.top + row.bottom) / 2, dc.GetTextColor());
            inner.left += kRadioWidth;
        }
        DrawTextEx(dc, text.c_str(), -1, &inner, kItemFormat);
    }
    if (y < area.bottom)
        dc.FillSolidRect(MakeRect(area.left, std::max(y, area.top), area.right, area.bottom),
                         GetSysColor(COLOR_WINDOW));
    dc.RestoreDC(-1);
}

// ---- Mouse, keys, tooltip.

void MyChoiceWindow::mousePressEvent(QMouseEvent*) {}

void MyChoiceWindow::mouseMoveEvent(QMouseEvent* event)
{
    int index = ItemAt(event->position().toPoint());
    if (index >= 0 && index != sel_)
        Select(index);
}

void MyChoiceWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        EndTrack(KPWR_OK);
}

int MyChoiceWindow::TypeAhead(wchar_t key)
{
    if (findBuffer_.empty())
        findTimer_.start();
    findBuffer_.push_back(key);
    for (int i = 0; i < GetCount(); ++i) {
        if (brindle::StartsWithIgnoringCase(findBuffer_, items_[i].first)) {
            SetCurSel(i);
            return i;
        }
    }
    return sel_;
}

void MyChoiceWindow::keyPressEvent(QKeyEvent* event)
{
    uint32_t vk = plat::VirtualKeyFromQt(event->key());
    int count = GetCount();
    if (count == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    int perPage = std::max(1, RectHeight(ItemArea()) / std::max(1, itemHeight_));
    switch (vk) {
    case plat::VK_UP:
        SetCurSel(sel_ <= 0 ? count - 1 : sel_ - 1);
        return;
    case plat::VK_DOWN:
        SetCurSel(sel_ < 0 || sel_ >= count - 1 ? 0 : sel_ + 1);
        return;
    case plat::VK_PRIOR:
        SetCurSel(std::max(0, sel_ - perPage));
        return;
    case plat::VK_NEXT:
        SetCurSel(std::min(count - 1, sel_ + perPage));
        return;
    case plat::VK_HOME:
        SetCurSel(0);
        return;
    case plat::VK_END:
        SetCurSel(count - 1);
        return;
    default:
        break;
    }
    // Type-ahead takes what the key types, so entries that begin with a sign or a
    // Chinese character ("<中文大写金额>") are found as readily as "yyyy".
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!command && typed.size() == 1 && typed.at(0).isPrint() && !typed.at(0).isSpace()) {
        TypeAhead(static_cast<wchar_t>(typed.at(0).unicode()));
        return;
    }
    if (typed.isEmpty() && ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))) {
        TypeAhead(static_cast<wchar_t>(vk));
        return;
    }
    QWidget::keyPressEvent(event);
}

bool MyChoiceWindow::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // The full text of the item under the cursor, for texts cut by the ellipsis.
        auto* help = static_cast<QHelpEvent*>(event);
        int index = ItemAt(help->pos());
        if (index >= 0 && !colorList_)
            QToolTip::showText(help->globalPos(), QString::fromStdWString(items_[index].first), this);
        else
            QToolTip::hideText();
        return true;
    }
    return MyScrollWindow::event(event);
}
