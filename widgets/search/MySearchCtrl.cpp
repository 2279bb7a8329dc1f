#include "MySearchCtrl.h"

#include "InPlaceEdit.h"
#include "MyCanvas.h"
#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>

using brindle::MakeRect;
using brindle::RectContains;
using brindle::RectHeight;
using brindle::RectWidth;

namespace
{

constexpr const wchar_t* kDefaultTitle = L"搜索";
constexpr COLORREF kPlaceholder = 0x808080;
constexpr COLORREF kCloseMark = 0x00895528;
constexpr COLORREF kBorder = 0x00D9C8BB;
constexpr unsigned kTextFormat = 0x8020 | DT_VCENTER; // DT_END_ELLIPSIS | DT_SINGLELINE

} // namespace

// ---- Command event.

MyCommandEvent::MyCommandEvent(unsigned id, unsigned code, QWidget* sender)
    : QEvent(EventType()), id_(id), code_(code), sender_(sender)
{
}

QEvent::Type MyCommandEvent::EventType()
{
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// ---- Inline edit.

MySearchEdit::MySearchEdit(MySearchCtrl* owner) : QLineEdit(owner), owner_(owner)
{
    setFrame(false);
    QObject::connect(this, &QLineEdit::textChanged, this, [this] { owner_->OnEditChanged(); });
}

// ---- Search box.

MySearchCtrl::MySearchCtrl(QWidget* parent) : QWidget(parent), title_(kDefaultTitle)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    edit_ = new MySearchEdit(this);
    edit_->hide();
    edit_->setEnabled(false);
}

MySearchCtrl::~MySearchCtrl() = default;

int MySearchCtrl::Create(unsigned style, const RECT& r, QWidget* parent, unsigned id)
{
    if (parent)
        setParent(parent);
    id_ = id;
    setObjectName(QString::number(id));
    setGeometry(r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r)));
    setVisible((style & 0x10000000u) != 0);
    return 1;
}

void MySearchCtrl::SetSearchIcon(const CBitmap& bitmap, COLORREF mask)
{
    SIZE size = bitmap.GetSize();
    iconWidth_ = size.cx + 4;
    icon_.Create(size.cx, size.cy);
    icon_.Add(bitmap.image(), mask);
    update();
}

int MySearchCtrl::AddSearchClass(const wchar_t* title, unsigned long id)
{
    return classes_.AddItem(title, static_cast<long>(id));
}

void MySearchCtrl::ClearSearchClass()
{
    classIndex_ = 0;
    searchId_ = 0;
    title_ = kDefaultTitle;
    classes_.RemoveAll();
    update();
}

void MySearchCtrl::SelectSearchClass(int index, int notify)
{
    if (index < 0 || index >= classes_.GetCount())
        index = 0;
    classIndex_ = index;
    std::wstring title;
    long id = 0;
    if (classes_.GetItemText(index, title) && classes_.GetItemData(index, id)) {
        title_ = title;
        searchId_ = static_cast<unsigned long>(id);
    } else {
        // No classes: the placeholder class, never an item that does not exist.
        title_ = kDefaultTitle;
        searchId_ = 0;
    }
    update();
    if (notify)
        OnSearch();
}

void MySearchCtrl::SetSearchStr(const wchar_t* text, int notify)
{
    if (edit_->isVisible() && plat::IsPopupLoopRunning(edit_))
        plat::EndPopupLoop(edit_, 1);
    text_ = text ? text : L"";
    update();
    if (notify)
        OnSearch();
}

void MySearchCtrl::SetSearchFont(const CFont* font)
{
    hasFont_ = font && font->IsCreated();
    if (hasFont_)
        font_ = *font;
    update();
}

const CFont* MySearchCtrl::OnGetFont()
{
    return hasFont_ ? &font_ : nullptr;
}

void MySearchCtrl::OnSearch()
{
    if (QWidget* parent = parentWidget()) {
        MyCommandEvent command(id_, EN_CHANGE, this);
        QApplication::sendEvent(parent, &command);
    }
}

void MySearchCtrl::OnEditChanged()
{
    if (!edit_->isVisible())
        return;
    std::wstring text = edit_->text().toStdWString();
    if (text == text_)
        return;
    text_ = text;
    update();
    OnSearch();
}

// ---- Areas.

RECT MySearchCtrl::Client() const
{
    return MakeRect(1, 1, std::max(1, width() - 1), std::max(1, height() - 1));
}

RECT MySearchCtrl::IconRect() const
{
    RECT c = Client();
    return MakeRect(c.left, c.top, c.left + iconWidth_, c.bottom);
}

RECT MySearchCtrl::TextRect() const
{
    RECT c = Client();
    return MakeRect(c.left + iconWidth_ + 3, c.top + 3, c.right - closeWidth_ - 1, c.bottom - 3);
}

RECT MySearchCtrl::CloseRect() const
{
    RECT c = Client();
    return MakeRect(c.right - closeWidth_, c.top, c.right, c.bottom);
}

// ---- Painting.

void MySearchCtrl::paintEvent(QPaintEvent*)
{
    RECT whole = MakeRect(0, 0, width(), height());
    MyPaintCanvas dc(this, &whole, 0);
    Draw3dRect(dc, whole, kBorder, kBorder);
    RECT c = Client();
    dc.FillSolidRect(c, GetSysColor(COLOR_WINDOW));
    RECT icon = IconRect();
    if (icon_.GetImageCount() > 0) {
        icon_.Draw(dc, 0, POINT{icon.left, icon.top});
    } else {
        dc.FillSolidRect(icon, GetSysColor(COLOR_BTNFACE));
        Draw3dRect(dc, icon, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
    if (!edit_->isVisible()) {
        RECT text = TextRect();
        if (const CFont* font = OnGetFont())
            dc.SelectObject(*font);
        dc.SetBkMode(TRANSPARENT);
        if (text_.empty()) {
            dc.SetTextColor(kPlaceholder);
            DrawTextEx(dc, title_.c_str(), -1, &text, kTextFormat);
        } else {
            dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
            DrawTextEx(dc, text_.c_str(), -1, &text, kTextFormat);
        }
        if (hasFocus())
            DrawFocusRect(dc, text);
    }
    if (!text_.empty()) {
        RECT close = CloseRect();
        int cx = (close.left + close.right) / 2;
        int cy = (close.top + close.bottom) / 2;
        for (int k = -1; k <= 1; ++k) {
            brindle::DrawLine(dc, cx - 4 + k, cy - 4, cx + 4 + k, cy + 4, kCloseMark);
            brindle::DrawLine(dc, cx + 4 + k, cy - 4, cx - 4 + k, cy + 4, kCloseMark);
        }
    }
}

// ---- Input.

void MySearchCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    setFocus(Qt::MouseFocusReason);
    POINT pt = brindle::ToPoint(event->position().toPoint());
    if (RectContains(IconRect(), pt)) {
        DropClasses();
    } else if (RectContains(TextRect(), pt)) {
        EditInline(nullptr);
    } else if (RectContains(CloseRect(), pt) && !text_.empty()) {
        text_.clear();
        update();
        OnSearch();
    }
}

void MySearchCtrl::mouseReleaseEvent(QMouseEvent*) {}

void MySearchCtrl::mouseMoveEvent(QMouseEvent* event)
{
    bool onText = RectContains(TextRect(), brindle::ToPoint(event->position().toPoint()));
    setCursor(onText ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void MySearchCtrl::keyPressEvent(QKeyEvent* event)
{
    EditInline(event);
}

void MySearchCtrl::focusInEvent(QFocusEvent*)
{
    update();
}

void MySearchCtrl::focusOutEvent(QFocusEvent*)
{
    update();
}

void MySearchCtrl::DropClasses()
{
    if (classes_.IsEmpty())
        return;
    classes_.SetCurSel(classIndex_);
    classes_.SetRadio(classIndex_);
    RECT icon = IconRect();
    QPoint at = mapToGlobal(QPoint(icon.left, icon.top));
    QPoint own = mapToGlobal(QPoint(0, 0));
    RECT blind = MakeRect(own.x(), own.y(), own.x() + width(), own.y() + height());
    QPointer<MySearchCtrl> self(this);
    KPWR result = classes_.TrackPopWindow(at.x(), at.y(), 200, RectHeight(icon), this, blind, OnGetFont());
    if (!self || result != KPWR_OK || classes_.GetCurSel() < 0)
        return;
    SelectSearchClass(classes_.GetCurSel(), 1);
}

void MySearchCtrl::EditInline(QKeyEvent* first)
{
    if (edit_->isVisible())
        return;
    RECT text = TextRect();
    edit_->setFont(brindle::QFontOf(OnGetFont()));
    edit_->setGeometry(text.left, text.top, std::max(1, RectWidth(text)), std::max(1, RectHeight(text)));
    edit_->setEnabled(true);
    {
        // Showing the search text is no change of it.
        QSignalBlocker block(edit_);
        edit_->setText(QString::fromStdWString(text_));
    }
    edit_->show();
    edit_->setFocus(Qt::OtherFocusReason);
    edit_->selectAll();
    update();
    if (first) {
        // The key that opened the edit is its first key.
        QKeyEvent copy(first->type(), first->key(), first->modifiers(), first->text(), first->isAutoRepeat());
        QApplication::sendEvent(edit_, &copy);
    }
    QPointer<MySearchCtrl> self(this);
    RunEditorLoop(edit_, this, {});
    if (!self)
        return;
    setFocus(Qt::OtherFocusReason);
    edit_->setEnabled(false);
    edit_->hide();
    update();
    OnSearch();
}
