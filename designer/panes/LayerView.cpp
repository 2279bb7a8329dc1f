#include "LayerView.h"

#include "DesignerLook.h"
#include "PanePictures.h"
#include "SystemColors.h"
#include "UIUitl.h"

#include <QDockWidget>
#include <QMenu>
#include <QPainter>

namespace
{

constexpr COLORREF kBorderColor = 0xA0A0A0;
constexpr COLORREF kSelectedColor = 0xF7E4CC; // the list's selected item
constexpr int kCaptionHeight = 20;

RECT Anchored(int left, int right)
{
    RECT r;
    r.left = left;
    r.top = 0;
    r.right = right;
    r.bottom = 0;
    return r;
}

} // namespace

// ---- Rows.

CLayerItem::CLayerItem(IDoxDesignWindow* window, CImageList* images, int index)
    : window_(window), images_(images), index_(index)
{
}

SIZE CLayerItem::GetDimension() const
{
    SIZE size;
    size.cx = 0;
    size.cy = 30;
    return size;
}

void CLayerItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    state_.Initialize(this, Anchored(0, 24), 0);
    state_.SetImageList(images_);
    state_.SetTipText(L"状态");
    state_.SetEventSink(this);
    state_.SetCanFocus(0);
    lock_.Initialize(this, Anchored(24, 48), 1);
    lock_.SetImageList(images_);
    lock_.SetTipText(L"锁定控件");
    lock_.SetEventSink(this);
    lock_.SetCanFocus(0);
    spacer_.Initialize(this, Anchored(48, 50), 2);
    spacer_.Enable(0);
    name_.Initialize(this, Anchored(50, 0), 3);
    name_.SetNone(1);
    name_.LimitText(32);
    name_.SetEventSink(this);
    Read(window_);
}

void CLayerItem::Read(IDoxDesignWindow* window)
{
    window_ = window;
    if (!window_)
        return;
    const int state = window_->GetLayerState(index_);
    state_.SetImageIndex(state);
    lock_.SetImageIndex(window_->IsLayerLocked(index_) ? 4 : 3);
    const wchar_t* name = window_->GetLayerName(index_);
    name_.SetText(name ? name : L"");
    if (state == 2)
        SetFocusObject(&name_);
}

void CLayerItem::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    dc.FillSolidRect(row, IsSelected() ? kSelectedColor : GetSysColor(COLOR_WINDOW));
}

void CLayerItem::OnErase_bkgnd(CDC&, const RECT&, unsigned) {}

void CLayerItem::OnPrepareDC(CDC& dc, unsigned) { savedColor_ = dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT)); }

void CLayerItem::OnRestoreDC(CDC& dc, unsigned) { dc.SetTextColor(savedColor_); }

int CLayerItem::OnSelect(int select, int hint)
{
    if (select && hint >= 0) {
        RECT row;
        if (GetContainerRect(row) && hint - row.left < 48)
            return 0; // a click on the state or lock icon leaves the selection
    }
    if (window_) {
        window_->SetLayerState(index_, select ? 2 : 1);
        state_.SetImageIndex(window_->GetLayerState(index_));
        state_.Update();
    }
    return 1;
}

void CLayerItem::OnWid_Click(unsigned int id)
{
    if (!window_)
        return;
    if (id == 0) {
        const int state = state_.GetImageIndex();
        const int next = state == 0 ? 1 : state == 1 ? 0 : state;
        window_->SetLayerState(index_, next);
        state_.SetImageIndex(next);
        state_.Update();
    } else if (id == 1) {
        const int image = lock_.GetImageIndex() == 4 ? 3 : 4;
        lock_.SetImageIndex(image);
        window_->SetLayerLocked(index_, image == 4 ? 1 : 0);
        lock_.Update();
    }
}

void CLayerItem::OnWid_Changed(unsigned int id)
{
    if (id != 3 || !window_)
        return;
    // A refused name (an empty one) simply shows the old name again.
    window_->RenameLayer(index_, name_.GetText());
    const wchar_t* name = window_->GetLayerName(index_);
    name_.SetText(name ? name : L"");
    Update();
}

// ---- The list.

CLayerView::CLayerView(QWidget* parent) : MyList(parent)
{
    images_.Create(16, 16);
    images_.Add(designer::LayerPictures(), 0xFF00FF);
}

void CLayerView::PreCreateWindow(unsigned& style) { style |= kListSeparator; }

COLORREF CLayerView::GetSpColor() { return kBorderColor; }

const CFont* CLayerView::GetFontHandle() { return designer::InterfaceFont(); }

void CLayerView::RefillLayers()
{
    if (!window_) {
        DeleteAllItems();
        Layout();
        update();
        return;
    }
    // The rows are made again, so that no selection of the old rows survives: taking
    // a selection away would make its layer merely shown.
    DeleteAllItems();
    const int layers = window_->GetLayerCount();
    for (int i = 0; i < layers; ++i)
        AddItem(new CLayerItem(window_, &images_, i), 0);
    Layout();
    for (int i = 0; i < layers; ++i)
        if (Row(i)->StateImage() == 2)
            SetCurSel(i);
    update();
}

bool CLayerView::IsCommandEnabled(unsigned id)
{
    switch (id) {
    case ID_LAYER_NEW:
    case ID_LAYER_RENAME:
        return true;
    case ID_LAYER_DELETE:
        return window_ && window_->GetLayerCount() > 1;
    default:
        return false;
    }
}

bool CLayerView::OnCommand(unsigned id)
{
    switch (id) {
    case ID_LAYER_NEW:
        NewLayer();
        return true;
    case ID_LAYER_DELETE:
        if (IsCommandEnabled(id))
            DeleteLayer();
        return true;
    case ID_LAYER_RENAME:
        RenameLayer();
        return true;
    default:
        return false;
    }
}

void CLayerView::NewLayer()
{
    if (!window_)
        return;
    const wchar_t* made = window_->MakeNewLayerName();
    const std::wstring name = made ? made : L"";
    if (!window_->AddLayer(name.c_str())) {
        UIUitl::MessageBoxW(64, L"新建控件层失败。");
        return;
    }
    const int index = window_->GetLayerCount() - 1;
    AddItem(new CLayerItem(window_, &images_, index), 0);
    Layout();
    SetCurSel(index);
    update();
    if (CLayerItem* row = Row(index))
        row->EditName();
}

void CLayerView::DeleteLayer()
{
    CLayerItem* row = Row(GetCurSel());
    if (!window_ || !row)
        return;
    if (UIUitl::MessageBoxFormat(33, L"确实要删除控件层“%ls”吗?", row->Name()) != 1)
        return;
    window_->RemoveLayer(row->Index());
    RefillLayers();
}

void CLayerView::RenameLayer()
{
    if (CLayerItem* row = Row(GetCurSel()))
        row->EditName();
}

void CLayerView::OnMyList_RButtonUp(POINT pt)
{
    QMenu menu(this);
    const struct {
        unsigned id;
        const char* text;
    } items[] = {{ID_LAYER_NEW, "新建层(&N)"}, {ID_LAYER_RENAME, "重命名(&R)"}, {ID_LAYER_DELETE, "删除层(&D)"}};
    for (const auto& item : items) {
        QAction* action = menu.addAction(QString::fromUtf8(item.text));
        action->setEnabled(IsCommandEnabled(item.id));
        action->setData(item.id);
    }
    QAction* chosen = menu.exec(mapToGlobal(QPoint(pt.x, pt.y)));
    if (chosen)
        OnCommand(chosen->data().toUInt());
}

// ---- The pane.

CLayerPane::CLayerPane(QWidget* parent) : QWidget(parent), view_(new CLayerView)
{
    setWindowTitle(QStringLiteral("控件层视图"));
    RECT r{};
    view_->Create(0x50000000, r, this, 101);
}

int CLayerPane::CaptionHeight() const
{
    // A dock shows the caption in its own title bar.
    return qobject_cast<QDockWidget*>(parentWidget()) ? 0 : kCaptionHeight;
}

void CLayerPane::resizeEvent(QResizeEvent*)
{
    const int top = CaptionHeight();
    view_->setGeometry(1, top + 1, std::max(0, width() - 2), std::max(0, height() - top - 2));
}

void CLayerPane::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int top = CaptionHeight();
    p.fillRect(QRect(0, 0, width(), top), QColor(0xE8, 0xE8, 0xE8));
    p.setFont(designer::InterfaceQFont(true));
    p.setPen(Qt::black);
    const QString title = p.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, std::max(0, width() - 8));
    p.drawText(QRect(4, 0, std::max(0, width() - 8), top), Qt::AlignVCenter | Qt::AlignLeft, title);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(QRect(0, top, width() - 1, height() - top - 1));
}
