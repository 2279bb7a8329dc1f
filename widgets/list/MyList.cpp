#include "MyList.h"

#include "Messages.h"
#include "MyCanvas.h"
#include "RowSort.h"
#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>

using brindle::MakeRect;
using brindle::RectContains;
using brindle::RectHeight;
using brindle::RectWidth;

namespace
{

constexpr int kBarWidth = 16;
constexpr int kStripHeight = 20;
constexpr int kLineStep = 16;
constexpr int kFindMs = 1000;

bool IsFindKey(uint32_t vk)
{
    return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z');
}

} // namespace

MyList::MyList(QWidget* parent)
    : QWidget(parent), edgeTopLeft_(GetSysColor(COLOR_BTNSHADOW)), edgeBottomRight_(GetSysColor(COLOR_BTNHIGHLIGHT)),
      bkColor_(GetSysColor(COLOR_WINDOW)), spColor_(GetSysColor(COLOR_BTNSHADOW))
{
    findTimer_.setSingleShot(true);
    findTimer_.setInterval(kFindMs);
    QObject::connect(&findTimer_, &QTimer::timeout, this, [this] { findBuffer_.clear(); });
}

MyList::~MyList()
{
    findTimer_.stop();
    DeleteAllItemsFast();
    if (MyGetCapture() == this)
        MyReleaseCapture();
}

int MyList::Create(unsigned style, const RECT& r, QWidget* parent, unsigned id)
{
    if (created_)
        return 0;
    PreCreateWindow(style);
    if (parent)
        setParent(parent);
    setObjectName(QString::number(id));
    setGeometry(r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r)));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    tip_.InitTipCtrl(this);

    bar_ = new QScrollBar(Qt::Vertical, this);
    bar_->setRange(0, 0);
    bar_->hide();
    QObject::connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != vpos_) {
            vpos_ = value;
            update();
        }
    });
    if (style & kListHeader) {
        header_ = new MyHeader(this);
        header_->Create(0x50000000, RECT(), this, 0);
        header_->Init(this);
        header_->SetHeaderFont(hasFont_ ? &font_ : nullptr);
    }
    if (style & kListFilter) {
        filter_ = new MyFilter(this);
        filter_->Create(0x40800080, RECT(), this, 1);
        filter_->Init(this);
    }
    separator_ = (style & kListSeparator) ? 1 : 0;
    iconLayout_ = (style & kListIconLayout) ? 1 : 0;
    created_ = true;
    ResizeStep();
    if (style & 0x10000000u)
        show();
    OnInitialUpdate();
    return 1;
}

// ---- Geometry.

RECT MyList::WindowClient() const
{
    int b = border_ ? 1 : 0;
    return MakeRect(b, b, std::max(b, width() - b), std::max(b, height() - b));
}

void MyList::GetClientRect(RECT* out) const
{
    if (!out)
        return;
    RECT r = WindowClient();
    if (barShown_)
        r.right -= kBarWidth;
    if (header_)
        r.top += kStripHeight;
    if (filter_)
        r.top += filter_->Height();
    r.right = std::max(r.right, r.left);
    r.bottom = std::max(r.bottom, r.top);
    *out = r;
}

void MyList::ResizeStep()
{
    if (!created_)
        return;
    RECT c = WindowClient();
    int w = RectWidth(c) - (barShown_ ? kBarWidth : 0);
    int top = c.top;
    if (filter_) {
        filter_->setGeometry(c.left, top, std::max(0, w), filter_->Height());
        top += filter_->Height();
    }
    if (header_)
        header_->setGeometry(c.left, top, std::max(0, w), kStripHeight);
    if (barShown_)
        bar_->setGeometry(c.right - kBarWidth, c.top, kBarWidth, RectHeight(c));
    Layout();
}

std::vector<MyList::Placed> MyList::Walk(bool inViewOnly)
{
    RECT area;
    GetClientRect(&area);
    brindle::LayoutWalker walk(iconLayout_ ? brindle::ListLayoutKind::Icon : brindle::ListLayoutKind::List, area,
                               area.top - vpos_, cell_, separator_ != 0);
    std::vector<Placed> out;
    for (int i = 0; i < GetCount(); ++i) {
        MyWidContainer* row = rows_[i];
        if (!row->IsVisiable())
            continue;
        RECT r = walk.Next(iconLayout_ ? cell_.cy : row->GetDimension().cy);
        if (inViewOnly) {
            if (r.top >= area.bottom)
                break;
            if (r.bottom < area.top)
                continue;
        }
        out.push_back({row, i, r});
    }
    return out;
}

bool MyList::RectOf(int index, RECT* out)
{
    if (index < 0 || index >= GetCount() || !rows_[index]->IsVisiable())
        return false;
    for (const Placed& p : Walk(false)) {
        if (p.index == index) {
            if (out)
                *out = p.rect;
            return true;
        }
    }
    return false;
}

int MyList::TotalHeight()
{
    int shown = 0;
    int total = 0;
    for (MyWidContainer* row : rows_) {
        if (!row->IsVisiable())
            continue;
        ++shown;
        if (!iconLayout_)
            total += row->GetDimension().cy + (separator_ ? 1 : 0);
    }
    if (iconLayout_) {
        RECT area;
        GetClientRect(&area);
        int perLine = brindle::IconCellsPerLine(RectWidth(area), cell_.cx);
        total = cell_.cy * ((shown + perLine - 1) / perLine);
    }
    return total;
}

void MyList::Layout()
{
    if (!created_)
        return;
    RECT area;
    GetClientRect(&area);
    int total = TotalHeight();
    if (total > RectHeight(area)) {
        if (!barShown_) {
            barShown_ = 1;
            bar_->show();
            bar_->setEnabled(true);
            ResizeStep(); // narrows header and filter, then lays out again
            return;
        }
        int limit = total - RectHeight(area);
        QSignalBlocker block(bar_);
        bar_->setPageStep(RectHeight(area));
        bar_->setSingleStep(kLineStep);
        bar_->setRange(0, limit);
        int pos = std::clamp(vpos_, 0, limit);
        bar_->setValue(pos);
        vpos_ = pos;
    } else if (barShown_) {
        barShown_ = 0;
        bar_->hide();
        bar_->setEnabled(false);
        vpos_ = 0;
        ResizeStep();
        return;
    }
    update();
}

void MyList::Update()
{
    Layout();
    update();
}

int MyList::HitTest(POINT pt)
{
    RECT area;
    GetClientRect(&area);
    if (!RectContains(area, pt))
        return -1;
    for (const Placed& p : Walk(true))
        if (RectContains(p.rect, pt))
            return p.index;
    return -1;
}

int MyList::GetItemRect(int index, RECT* out)
{
    return RectOf(index, out) ? 1 : 0;
}

int MyList::GetItemRect(MyWidContainer* row, RECT* out)
{
    auto it = std::find(rows_.begin(), rows_.end(), row);
    if (it == rows_.end())
        return 0;
    return RectOf(static_cast<int>(it - rows_.begin()), out) ? 1 : 0;
}

// ---- Rows.

int MyList::AddItem(MyWidContainer* row, int relayout, unsigned id, unsigned parentId)
{
    if (!row)
        return GetCount();
    rows_.push_back(row);
    row->SetID(id);
    row->SetParentID(parentId);
    row->OnInitialize(this);
    if (relayout) {
        Layout();
        update();
    }
    return GetCount() - 1;
}

MyWidContainer* MyList::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return rows_[index];
}

MyWidContainer* MyList::GetItemFromID(unsigned id) const
{
    for (MyWidContainer* row : rows_)
        if (row->GetID() == id)
            return row;
    return nullptr;
}

// Takes the row out of the list before it is released, so that a row whose release
// deletes it at once is never seen again, and keeps the selection on its row.
int MyList::ReleaseRow(int index)
{
    MyWidContainer* row = rows_[index];
    rows_.erase(rows_.begin() + index);
    bool wasSelected = index == sel_;
    if (wasSelected)
        sel_ = -1;
    else if (sel_ > index)
        --sel_;
    row->Release();
    return wasSelected ? 1 : 0;
}

void MyList::AfterDelete(int index, bool wasSelected, bool relayout)
{
    if (relayout) {
        Layout();
        update();
    }
    if (wasSelected && relayout && GetCount() > 0)
        SetSelect(std::min(index, GetCount() - 1), -1);
}

int MyList::DeleteItem(int index)
{
    if (index < 0 || index >= GetCount())
        return 0;
    bool wasSelected = ReleaseRow(index) != 0;
    AfterDelete(index, wasSelected, true);
    return 1;
}

int MyList::DeleteItem(MyWidContainer* row)
{
    auto it = std::find(rows_.begin(), rows_.end(), row);
    if (it == rows_.end())
        return 0;
    return DeleteItem(static_cast<int>(it - rows_.begin()));
}

int MyList::DeleteItemFast(int index)
{
    if (index < 0 || index >= GetCount())
        return 0;
    ReleaseRow(index);
    return 1;
}

int MyList::DeleteAllItemsFast()
{
    std::vector<MyWidContainer*> rows;
    rows.swap(rows_);
    sel_ = -1;
    for (MyWidContainer* row : rows)
        row->Release();
    if (header_)
        header_->SetNoSort();
    if (filter_)
        filter_->SetFilterStr(std::wstring());
    return 1;
}

int MyList::DeleteAllItems()
{
    DeleteAllItemsFast();
    Layout();
    update();
    return 1;
}

// ---- Selection and scrolling.

int MyList::SetSelect(int index, int hint)
{
    int old = sel_;
    if (index < 0 || index >= GetCount() || index == sel_)
        return old;
    MyWidContainer* row = rows_[index];
    if (!row->IsReleased() && row->Select(1, hint)) {
        if (old >= 0 && old < GetCount())
            rows_[old]->Select(0, -1);
        sel_ = index;
        Layout();
        update();
    }
    ScrollVisiable(index);
    return old;
}

void MyList::ScrollVisiable(int index)
{
    RECT r;
    if (!RectOf(index, &r))
        return;
    RECT area;
    GetClientRect(&area);
    if (r.bottom > area.bottom)
        DoScroll(r.bottom - area.bottom);
    else if (r.top < area.top)
        DoScroll(r.top - area.top);
}

bool MyList::DoScroll(int delta)
{
    if (!barShown_)
        return false;
    int pos = std::clamp(vpos_ + delta, 0, bar_->maximum());
    if (pos == vpos_)
        return false;
    SetScrollPosition(pos);
    return true;
}

void MyList::SetScrollPosition(int pos)
{
    vpos_ = pos;
    QSignalBlocker block(bar_);
    bar_->setValue(pos);
    update();
}

static std::vector<brindle::RowState> RowStates(const std::vector<MyWidContainer*>& rows)
{
    std::vector<brindle::RowState> states(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        states[i].visible = rows[i]->IsVisiable() != 0;
        states[i].enabled = rows[i]->IsEnabled() != 0;
    }
    return states;
}

int MyList::GetFirstVisiableItem(int from) const
{
    return brindle::FirstVisibleEnabled(RowStates(rows_), from);
}

int MyList::GetLastVisiableItem(int from) const
{
    return brindle::LastVisibleEnabled(RowStates(rows_), from);
}

int MyList::GetPrevLineVisibleItem(int index) const
{
    RECT area;
    GetClientRect(&area);
    return brindle::PrevLineRow(RowStates(rows_), index, brindle::IconCellsPerLine(RectWidth(area), cell_.cx));
}

int MyList::GetNextLineVisibleItem(int index) const
{
    RECT area;
    GetClientRect(&area);
    return brindle::NextLineRow(RowStates(rows_), index, brindle::IconCellsPerLine(RectWidth(area), cell_.cx));
}

void MyList::FindAndSelect(const wchar_t* text)
{
    for (int i = 0; i < GetCount(); ++i) {
        if (rows_[i]->IsVisiable() && rows_[i]->OnKey_find(text)) {
            SetSelect(i, -1);
            return;
        }
    }
}

void MyList::ShowChildItems(unsigned parentId, int show)
{
    // Rows follow their group row: walk down into a group through its id and back up
    // through the stack when a row belongs to an outer group.
    unsigned current = parentId;
    std::vector<unsigned> stack;
    for (MyWidContainer* row : rows_) {
        while (row->GetParentID() != current && !stack.empty()) {
            current = stack.back();
            stack.pop_back();
        }
        if (row->GetParentID() != current)
            continue;
        row->Show(show);
        if (row->GetID() != 0xFFFFFFFF) {
            stack.push_back(current);
            current = row->GetID();
        }
    }
    Layout();
    update();
}

// ---- Header, filter.

int MyList::AddHeaderCol(const wchar_t* title, const RECT& anchored, unsigned format, int enabled)
{
    if (!header_)
        return -1;
    return header_->AddHeaderItem(title, anchored, format, enabled);
}

void MyList::DeleteAllCols()
{
    if (header_)
        header_->DeleteAllItems();
}

void MyList::SetSort(int column, bool ascending)
{
    if (header_)
        header_->SetSort(column, ascending);
}

void MyList::OnHeader_Click(int column, bool ascending)
{
    brindle::IntroSortRows(rows_, [column, ascending](MyWidContainer* a, MyWidContainer* b) {
        return a->OnCompare(b, column, ascending);
    });
    sel_ = -1;
    for (int i = 0; i < GetCount(); ++i) {
        if (rows_[i]->IsSelected()) {
            sel_ = i;
            break;
        }
    }
    Layout();
    update();
    ScrollVisiable(sel_);
}

void MyList::ShowFilter(int show)
{
    if (!filter_ || (filter_->IsShow() != 0) == (show != 0))
        return;
    filter_->Show(show);
    ResizeStep();
    update();
}

void MyList::OnFilter_Char(const wchar_t* text)
{
    for (MyWidContainer* row : rows_)
        row->OnFilter(text);
    if (sel_ >= 0 && sel_ < GetCount() && rows_[sel_]->IsVisiable()) {
        Layout();
        update();
        return;
    }
    if (sel_ >= 0 && sel_ < GetCount() && !rows_[sel_]->IsReleased())
        rows_[sel_]->Select(0, -1);
    sel_ = GetFirstVisiableItem(0);
    if (sel_ >= 0 && !rows_[sel_]->IsReleased() && !rows_[sel_]->Select(1, -1))
        sel_ = -1;
    Layout();
    update();
}

// ---- Appearance.

void MyList::SetEdgeColor(COLORREF topLeft, COLORREF bottomRight)
{
    edgeTopLeft_ = topLeft;
    edgeBottomRight_ = bottomRight;
}

void MyList::SetBorder(int border)
{
    border_ = border ? 1 : 0;
    ResizeStep();
}

void MyList::SetListFont(const CFont* font)
{
    hasFont_ = font && font->IsCreated();
    if (hasFont_)
        font_ = *font;
    if (header_)
        header_->SetHeaderFont(hasFont_ ? &font_ : nullptr);
    if (filter_)
        filter_->setFont(brindle::QFontOf(hasFont_ ? &font_ : nullptr));
}

const CFont* MyList::GetFontHandle()
{
    return hasFont_ ? &font_ : nullptr;
}

void MyList::PreCreateWindow(unsigned&) {}
void MyList::OnInitialUpdate() {}

void MyList::DoFillBkgrand(CDC& dc)
{
    RECT area;
    GetClientRect(&area);
    dc.FillSolidRect(area, bkColor_);
}

void MyList::OnDraw(CDC*) {}
void MyList::OnMyList_RButtonUp(POINT) {}

// ---- Depot.

void MyList::UpdateWidContainer(MyWidContainer* row)
{
    RECT r;
    if (GetItemRect(row, &r))
        UpdateRect(r);
}

void MyList::UpdateRect(const RECT& r)
{
    update(QRect(r.left, r.top, RectWidth(r), RectHeight(r)));
}

POINT MyList::GetCursorPos()
{
    return brindle::ToPoint(mapFromGlobal(QCursor::pos()));
}

// ---- Painting.

void MyList::paintEvent(QPaintEvent*)
{
    RECT area;
    GetClientRect(&area);
    RECT whole = MakeRect(0, 0, width(), height());
    MyPaintCanvas dc(this, &whole, 0);
    if (border_)
        Draw3dRect(dc, whole, edgeTopLeft_, edgeBottomRight_);
    dc.SaveDC();
    dc.IntersectClipRect(area);
    DoFillBkgrand(dc);
    const CFont* font = GetFontHandle();
    if (font)
        dc.SelectObject(*font);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    for (const Placed& p : Walk(true)) {
        p.row->OnPaint(dc, p.rect);
        if (separator_ && !iconLayout_ && p.rect.bottom >= area.top && p.rect.bottom < area.bottom)
            dc.FillSolidRect(MakeRect(area.left, p.rect.bottom, area.right, p.rect.bottom + 1), GetSpColor());
    }
    dc.SetBkMode(oldMode);
    dc.RestoreDC(-1);
}

void MyList::resizeEvent(QResizeEvent*)
{
    ResizeStep();
}

// ---- Mouse.

template <class F>
void MyList::DispatchRows(F fn)
{
    std::vector<Placed> rows = Walk(true);
    for (const Placed& p : rows)
        p.row->SetReleasable(0);
    for (const Placed& p : rows) {
        if (p.row->IsReleased())
            continue;
        if (fn(p.row, p.rect))
            break;
    }
    for (const Placed& p : rows)
        p.row->SetReleasable(1);
}

void MyList::mousePressEvent(QMouseEvent* event)
{
    POINT pt = brindle::ToPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        EnterScroll();
        setFocus(Qt::MouseFocusReason);
        MySetCapture(this);
        SetSelect(HitTest(pt), pt.x);
        QPointer<MyList> alive(this);
        ++pressDispatching_;
        DispatchRows([&](MyWidContainer* row, const RECT& r) { return row->OnClick_d(pt, r) != 0; });
        if (alive)
            --pressDispatching_;
    } else if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        SetSelect(HitTest(pt), pt.x);
    }
}

void MyList::mouseReleaseEvent(QMouseEvent* event)
{
    POINT pt = brindle::ToPoint(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        MyReleaseCapture();
        if (!pressDispatching_)
            EnterScroll();
        relayoutPending_ = 0;
        DispatchRows([&](MyWidContainer* row, const RECT& r) { return row->OnClick_u(pt, r) != 0; });
        if (relayoutPending_) {
            relayoutPending_ = 0;
            Layout();
            update();
        }
    } else if (event->button() == Qt::RightButton) {
        OnMyList_RButtonUp(pt);
    }
}

void MyList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    POINT pt = brindle::ToPoint(event->position().toPoint());
    SetSelect(HitTest(pt), pt.x);
    DispatchRows([&](MyWidContainer* row, const RECT& r) { return row->OnDbClick(pt, r) != 0; });
}

void MyList::DispatchMove(POINT pt)
{
    DispatchRows([&](MyWidContainer* row, const RECT& r) {
        row->OnMouse_m(pt, r);
        return false;
    });
}

void MyList::mouseMoveEvent(QMouseEvent* event)
{
    POINT pt = brindle::ToPoint(event->position().toPoint());
    RECT area;
    GetClientRect(&area);
    bool inside = RectContains(area, pt);
    if (inside && MyGetCapture() != this) {
        MySetCapture(this);
    } else if (!inside && MyGetCapture() == this) {
        MyReleaseCapture();
        pt.x = pt.y = -1;
    }
    DispatchMove(pt);
}

void MyList::leaveEvent(QEvent*)
{
    if (MyGetCapture() == this)
        MyReleaseCapture();
    POINT outside;
    outside.x = outside.y = -1;
    DispatchMove(outside);
}

void MyList::wheelEvent(QWheelEvent* event)
{
    EnterScroll();
    if ((event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) || !barShown_)
        return;
    // A touchpad's pixels as they come; wheel turns a line a notch, small ones added up.
    if (const int pixels = event->pixelDelta().y())
        DoScroll(-pixels);
    else
        DoScroll(wheel_.Distance(event->angleDelta().y(), 1, {0, 0, kLineStep, std::max(height(), kLineStep)}));
}

// ---- Keys.

bool MyList::focusNextPrevChild(bool)
{
    // Tab moves between the widgets of the selected row, not out of the list.
    return false;
}

bool MyList::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        std::wstring text = tip_.TipAt(brindle::ToPoint(help->pos()));
        if (text.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QString::fromStdWString(text), this);
        return true;
    }
    return QWidget::event(event);
}

void MyList::SelectedRowKey(int key, int arg)
{
    if (sel_ < 0 || sel_ >= GetCount())
        return;
    MyWidContainer* row = rows_[sel_];
    RECT r;
    if (!GetItemRect(row, &r))
        return;
    // The row is held while it handles the key, like any of its handlers.
    row->SetReleasable(0);
    if (key == 0)
        row->OnKey_table(r, arg);
    else
        row->OnKey_return(r, arg);
    row->SetReleasable(1);
}

void MyList::TypeAhead(wchar_t c)
{
    if (findBuffer_.empty())
        findTimer_.start();
    findBuffer_.push_back(c);
    FindAndSelect(findBuffer_.c_str());
}

void MyList::keyPressEvent(QKeyEvent* event)
{
    uint32_t vk = plat::VirtualKeyFromQt(event->key());
    auto select = [this](int index) {
        if (index >= 0)
            SetSelect(index, -1);
    };
    bool hasSel = sel_ >= 0 && sel_ < GetCount();
    switch (vk) {
    case plat::VK_TAB:
        SelectedRowKey(0, (event->modifiers() & Qt::ShiftModifier) ? 0 : 1);
        return;
    case plat::VK_RIGHT:
        if (iconLayout_)
            select(GetFirstVisiableItem(hasSel ? sel_ + 1 : 0));
        else
            SelectedRowKey(0, 1);
        return;
    case plat::VK_LEFT:
        if (iconLayout_)
            select(GetLastVisiableItem(hasSel ? sel_ - 1 : GetCount() - 1));
        else
            SelectedRowKey(0, 0);
        return;
    case plat::VK_UP:
        if (iconLayout_)
            select(GetPrevLineVisibleItem(sel_));
        else
            select(GetLastVisiableItem(hasSel ? sel_ - 1 : GetCount() - 1));
        return;
    case plat::VK_DOWN:
        if (iconLayout_)
            select(GetNextLineVisibleItem(sel_));
        else
            select(GetFirstVisiableItem(hasSel ? sel_ + 1 : 0));
        return;
    case plat::VK_RETURN:
    case plat::VK_SPACE:
        // The row lets auto-repeated key-downs pass only once until the key-up.
        SelectedRowKey(1, 0);
        return;
    case plat::VK_PRIOR:
    case plat::VK_NEXT:
        if (barShown_) {
            RECT area;
            GetClientRect(&area);
            DoScroll(vk == plat::VK_PRIOR ? -RectHeight(area) : RectHeight(area));
        }
        return;
    default:
        break;
    }
    if (IsFindKey(vk)) {
        TypeAhead(static_cast<wchar_t>(vk));
        return;
    }
    QWidget::keyPressEvent(event);
}

void MyList::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    uint32_t vk = plat::VirtualKeyFromQt(event->key());
    if (vk == plat::VK_RETURN || vk == plat::VK_SPACE) {
        SelectedRowKey(1, 1);
        return;
    }
    if (IsFindKey(vk))
        return;
    if (vk == plat::VK_F2) {
        if (filter_)
            ShowFilter(!filter_->IsShow());
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void MyList::focusInEvent(QFocusEvent*)
{
    update();
    if (filter_ && filter_->IsShow())
        filter_->setFocus(Qt::OtherFocusReason);
}

void MyList::focusOutEvent(QFocusEvent*)
{
    update();
}

// ---- Header strip.

MyHeaderItem::MyHeaderItem(MyHeader* header) : header_(header) {}

MyHeaderItem::~MyHeaderItem()
{
    Clear();
}

SIZE MyHeaderItem::GetDimension() const
{
    return header_->GetDimension();
}

void MyHeaderItem::OnRelease()
{
    // The row is a member of its header: releasing it only lets the columns go.
    Clear();
    columns_.clear();
    sortColumn_ = -1;
}

void MyHeaderItem::OnErase_bkgnd(CDC& dc, const RECT& r, unsigned)
{
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    dc.SetTextColor(0);
}

int MyHeaderItem::AddItem(const wchar_t* title, const RECT& anchored, unsigned format, int enabled)
{
    auto button = std::make_unique<MyWidHeaderButton>(this, title, format);
    int index = ColumnCount();
    button->Initialize(this, anchored, static_cast<unsigned>(index));
    button->Enable(enabled);
    columns_.push_back(std::move(button));
    return index;
}

MyWidHeaderButton* MyHeaderItem::Column(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return nullptr;
    return columns_[column].get();
}

void MyHeaderItem::OnWid_Click(unsigned int id)
{
    int column = static_cast<int>(id);
    MyWidHeaderButton* clicked = Column(column);
    if (!clicked || !header_->GetSink())
        return;
    if (sortColumn_ != column && Column(sortColumn_))
        Column(sortColumn_)->SetStatus(0);
    sortColumn_ = column;
    bool ascending = clicked->GetStatus() != 1;
    clicked->SetStatus(ascending ? 1 : 2);
    header_->update();
    header_->GetSink()->OnHeader_Click(column, ascending);
}

void MyHeaderItem::SetSort(int column, bool ascending)
{
    MyWidHeaderButton* button = Column(column);
    if (!button)
        return;
    if (sortColumn_ != column && Column(sortColumn_))
        Column(sortColumn_)->SetStatus(0);
    sortColumn_ = column;
    button->SetStatus(ascending ? 1 : 2);
    header_->update();
    if (header_->GetSink())
        header_->GetSink()->OnHeader_Click(column, ascending);
}

void MyHeaderItem::SetNoSort()
{
    for (auto& c : columns_)
        c->SetStatus(0);
    sortColumn_ = -1;
    header_->update();
}

RECT MyHeaderItem::GetItemRect(int column) const
{
    MyWidHeaderButton* button = Column(column);
    return button ? button->GetRect() : RECT();
}

MyHeader::MyHeader(QWidget* parent) : QWidget(parent), row_(this)
{
    setMouseTracking(true);
}

MyHeader::~MyHeader()
{
    if (MyGetCapture() == this)
        MyReleaseCapture();
}

int MyHeader::Create(unsigned style, const RECT& r, QWidget* parent, unsigned id)
{
    if (parent)
        setParent(parent);
    setObjectName(QString::number(id));
    setGeometry(r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r)));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setVisible((style & 0x10000000u) != 0);
    row_.OnInitialize(this);
    return 1;
}

int MyHeader::AddHeaderItem(const wchar_t* title, const RECT& anchored, unsigned format, int enabled)
{
    int index = row_.AddItem(title, anchored, format, enabled);
    update();
    return index;
}

void MyHeader::DeleteAllItems()
{
    row_.DeleteAllItems();
    update();
}

SIZE MyHeader::GetDimension() const
{
    SIZE s;
    s.cx = width();
    s.cy = height();
    return s;
}

RECT MyHeader::ClientRect() const
{
    return MakeRect(0, 0, width(), height());
}

void MyHeader::UpdateWidContainer(MyWidContainer*)
{
    update();
}

void MyHeader::UpdateRect(const RECT& r)
{
    update(QRect(r.left, r.top, RectWidth(r), RectHeight(r)));
}

POINT MyHeader::GetCursorPos()
{
    return brindle::ToPoint(mapFromGlobal(QCursor::pos()));
}

void MyHeader::paintEvent(QPaintEvent*)
{
    RECT client = ClientRect();
    MyPaintCanvas dc(this, &client, 0);
    dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
    if (font_)
        dc.SelectObject(*font_);
    dc.SetBkMode(TRANSPARENT);
    row_.OnPaint(dc, client);
}

void MyHeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    MySetCapture(this);
    if (parentWidget())
        parentWidget()->setFocus(Qt::MouseFocusReason);
    row_.OnClick_d(brindle::ToPoint(event->position().toPoint()), ClientRect());
}

void MyHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    MyReleaseCapture();
    row_.OnClick_u(brindle::ToPoint(event->position().toPoint()), ClientRect());
}

void MyHeader::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        row_.OnDbClick(brindle::ToPoint(event->position().toPoint()), ClientRect());
}

void MyHeader::mouseMoveEvent(QMouseEvent* event)
{
    POINT pt = brindle::ToPoint(event->position().toPoint());
    bool inside = RectContains(ClientRect(), pt);
    if (inside && MyGetCapture() != this) {
        MySetCapture(this);
    } else if (!inside && MyGetCapture() == this) {
        MyReleaseCapture();
        pt.x = pt.y = -1;
    }
    row_.OnMouse_m(pt, ClientRect());
}

void MyHeader::leaveEvent(QEvent*)
{
    if (MyGetCapture() == this)
        MyReleaseCapture();
    POINT outside;
    outside.x = outside.y = -1;
    row_.OnMouse_m(outside, ClientRect());
}

void MyHeader::focusInEvent(QFocusEvent*)
{
    if (parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
}

// ---- Filter box.

MyFilter::MyFilter(QWidget* parent) : QLineEdit(parent)
{
    QObject::connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (sink_)
            sink_->OnFilter_Char(text.toStdWString().c_str());
    });
}

int MyFilter::Create(unsigned style, const RECT& r, QWidget* parent, unsigned id)
{
    if (parent)
        setParent(parent);
    setObjectName(QString::number(id));
    setGeometry(r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r)));
    shown_ = (style & 0x10000000u) ? 1 : 0;
    setVisible(shown_ != 0);
    return 1;
}

int MyFilter::Show(int show)
{
    if ((shown_ != 0) == (show != 0))
        return 0;
    shown_ = show ? 1 : 0;
    setVisible(shown_ != 0);
    if (shown_)
        setFocus(Qt::OtherFocusReason);
    else if (parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    return 1;
}

// Characters, digits, letters and Backspace edit the filter; every other key acts on
// the list (arrows, Enter, Tab, F2).
static bool FilterOwnsKey(QKeyEvent* event)
{
    uint32_t vk = plat::VirtualKeyFromQt(event->key());
    if (vk == plat::VK_BACK || IsFindKey(vk))
        return true;
    QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

// The list's keys go to the list as they came; returns whether it was one.
bool MyFilter::PassToList(QKeyEvent* event)
{
    if (FilterOwnsKey(event) || !parentWidget())
        return false;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat());
    QApplication::sendEvent(parentWidget(), &copy);
    return true;
}

void MyFilter::keyPressEvent(QKeyEvent* event)
{
    if (!PassToList(event))
        QLineEdit::keyPressEvent(event);
}

void MyFilter::keyReleaseEvent(QKeyEvent* event)
{
    if (!PassToList(event))
        QLineEdit::keyReleaseEvent(event);
}
