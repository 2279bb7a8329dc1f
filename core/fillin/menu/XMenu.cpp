#include "XMenu.h"

#include "GdiShapes.h"
#include "Messages.h"
#include "SystemColors.h"
#include "WindowDC.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

namespace
{

constexpr int kSeparatorHeight = 5;
constexpr int kTextMargin = 16;
constexpr COLORREF kFrameColor = RGB(92, 119, 150);

// The client area starts inside the 1-pixel frame.
constexpr int kFrame = 1;

QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

XMenu::XMenu() : QWidget(nullptr) {}

XMenu::~XMenu()
{
    shadow_.Destroy();
}

bool XMenu::Create(QWidget* parent)
{
    LOGFONTW lf;
    lf.lfHeight = -MulDiv(10, 96, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = 1; // DEFAULT_CHARSET
    const wchar_t face[] = L"宋体";
    std::copy(std::begin(face), std::end(face), lf.lfFaceName);
    if (!font_.CreateFontIndirect(lf))
        return false;
    if (!parent)
        return false;
    // A window of its own, not a child of the owner: the owner deletes its children,
    // and the menu lives on the caller's stack.
    owner_ = parent;
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setGeometry(0, 0, 1, 1);
    shadow_.Create(parent); // a menu without shadow works the same
    return true;
}

void XMenu::AddItem(const QString& text, int id, bool enabled)
{
    Item item;
    item.id = id;
    item.text = text;
    item.enabled = enabled ? 1 : 0;
    const qsizetype amp = text.indexOf(u'&');
    if (amp >= 0 && amp + 1 < text.size())
        item.mnemonic = text[amp + 1].toUpper().unicode();
    items_.push_back(item);
}

void XMenu::AddSeparator()
{
    items_.push_back(Item{});
}

int XMenu::GetItemId(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return -1;
    return items_[static_cast<size_t>(index)].id;
}

RECT XMenu::GetRowRect(int index) const
{
    int top = 0;
    const int clientWidth = std::max(0, width() - 2 * kFrame);
    for (int i = 0; i < GetItemCount(); ++i) {
        const int h = IsSeparator(i) ? kSeparatorHeight : itemHeight_;
        if (i == index)
            return RECT{0, top, clientWidth, top + h};
        top += h;
    }
    return RECT{};
}

int XMenu::HitTest(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() - 2 * kFrame || y >= height() - 2 * kFrame)
        return -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        if (IsSeparator(i))
            continue;
        RECT r = GetRowRect(i);
        if (y >= r.top && y < r.bottom && x >= r.left && x < r.right)
            return i;
    }
    return -1;
}

void XMenu::Layout(int x, int y)
{
    CClientDCX screen(nullptr);
    screen.SelectObject(font_);
    SIZE a{};
    screen.GetTextExtentPoint32(L"A", 1, &a);
    itemHeight_ = a.cy + 8;
    int height = 0;
    int widest = 0;
    for (const Item& item : items_) {
        if (item.id < 0) {
            height += kSeparatorHeight;
            continue;
        }
        height += itemHeight_;
        const std::wstring text = item.text.toStdWString();
        SIZE extent{};
        screen.GetTextExtentPoint32(text.c_str(), static_cast<int>(text.size()), &extent);
        widest = std::max(widest, static_cast<int>(extent.cx));
    }
    const int width = widest + 2 * kTextMargin;

    // The work area of the screen at the point decides whether the menu opens upwards
    // or to the left.
    QScreen* at = QGuiApplication::screenAt(QPoint(x, y));
    if (!at)
        at = QGuiApplication::primaryScreen();
    const QRect work = at ? at->availableGeometry() : QRect(0, 0, 1920, 1080);
    if (y + height >= work.y() + work.height())
        y -= height;
    if (x + width >= work.x() + work.width())
        x -= width;

    shadow_.Place(this, x, y, width, height);
    setGeometry(x, y, width, height);
    show();
    raise();
}

int XMenu::Track(int x, int y)
{
    if (!owner_ || !font_.IsCreated())
        return 0;
    trackMouse_ = 1;
    allKeysToPopup_ = 1;
    Layout(x, y);
    const QPointer<XMenu> self(this);
    int result = DoTrackPopWindow(this, RECT{}, owner_);
    if (!self)
        return 0;
    shadow_.Destroy();
    hide();
    font_.DeleteObject();
    // Enter ends the loop with 1 whatever is highlighted: a disabled item chooses nothing.
    if (hot_ >= 0 && hot_ < GetItemCount() && !items_[static_cast<size_t>(hot_)].enabled)
        hot_ = -1;
    return result;
}

void XMenu::paintEvent(QPaintEvent*)
{
    CPaintDCX dc(this);
    CBrush frame(kFrameColor);
    dc.FrameRect(RECT{0, 0, width(), height()}, frame);
    dc.SetViewportOrg(kFrame, kFrame);
    dc.SetBkMode(TRANSPARENT);
    CFont oldFont = dc.SelectObject(font_);
    for (int i = 0; i < GetItemCount(); ++i) {
        const Item& item = items_[static_cast<size_t>(i)];
        RECT row = GetRowRect(i);
        if (item.id < 0) {
            dc.FillSolidRect(row, GetSysColor(COLOR_BTNFACE));
            Draw3dRect(dc, row.left + 4, row.top + 2, row.right - row.left - 8, 2, GetSysColor(COLOR_3DDKSHADOW),
                       GetSysColor(COLOR_BTNHIGHLIGHT));
            continue;
        }
        const bool hot = i == hot_;
        dc.FillSolidRect(row, GetSysColor(hot ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        if (!item.enabled)
            dc.SetTextColor(GetSysColor(COLOR_GRAYTEXT));
        else
            dc.SetTextColor(GetSysColor(hot ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
        RECT text{row.left + kTextMargin, row.top, row.right - kTextMargin, row.bottom};
        const std::wstring s = item.text.toStdWString();
        DrawTextEx(dc, s.c_str(), static_cast<int>(s.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    dc.SelectObject(oldFont);
}

void XMenu::RedrawRow(int index)
{
    if (index < 0 || index >= GetItemCount())
        return;
    update(ToQRect(GetRowRect(index)).translated(kFrame, kFrame));
}

void XMenu::SetHot(int index)
{
    if (index == hot_)
        return;
    const int old = hot_;
    hot_ = index;
    RedrawRow(old);
    RedrawRow(hot_);
}

void XMenu::mousePressEvent(QMouseEvent* event)
{
    event->accept(); // a press only starts the click
}

void XMenu::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    if (hot_ >= 0 && hot_ < GetItemCount() && items_[static_cast<size_t>(hot_)].enabled)
        EndPopWindow(1);
}

void XMenu::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint() - QPoint(kFrame, kFrame);
    if (keyboardMode_) {
        if (QRect(0, 0, width() - 2 * kFrame, height() - 2 * kFrame).contains(p))
            keyboardMode_ = 0;
        return;
    }
    SetHot(HitTest(p.x(), p.y()));
}

// The nearest item (not a separator) going up or down from the hot item, wrapping
// around the ends, so that a trailing or leading separator does not stop the wrap.
int XMenu::NextItem(int step) const
{
    const int count = GetItemCount();
    int i = hot_;
    if (i < 0 || i >= count)
        i = step > 0 ? -1 : count;
    for (int n = 0; n < count; ++n) {
        i = (i + step + count) % count;
        if (!IsSeparator(i))
            return i;
    }
    return -1;
}

void XMenu::keyPressEvent(QKeyEvent* event)
{
    const uint32_t vk = plat::VirtualKeyFromQt(event->key());
    if (vk == plat::VK_UP || vk == plat::VK_DOWN) {
        keyboardMode_ = 1;
        SetHot(NextItem(vk == plat::VK_UP ? -1 : 1));
        return;
    }
    if (vk != 0) {
        for (int i = 0; i < GetItemCount(); ++i) {
            const Item& item = items_[static_cast<size_t>(i)];
            if (item.id >= 0 && item.enabled && item.mnemonic != 0 && item.mnemonic == vk) {
                SetHot(i);
                EndPopWindow(1);
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}
