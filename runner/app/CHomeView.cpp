#include "CHomeView.h"

#include "CHomePageWnd.h"
#include "IDoxImageData.h"
#include "RowDrawing.h"
#include "RunnerFiles.h"
#include "RunnerPictures.h"
#include "StreamPlus.h"

using rowdraw::Rect;

namespace
{

struct PanelColours {
    COLORREF outer, inner, bandTop, bandBottom, fill, bottom;
};

} // namespace

CHomeViewItem::CHomeViewItem(CHomeView* view, const std::wstring& title, IDoxImageData* icon, const std::wstring& path)
    : view_(view), title_(title), path_(path), text_(title.c_str(), 37)
{
    if (icon) {
        if (icon->GetData() && icon->GetSize())
            icon_.FromStreamPlush(StreamPlus(icon->GetData(), icon->GetSize()), QSize(96, 96));
        icon->Release();
    }
}

void CHomeViewItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    margin_.Initialize(this, Rect(0, 0, 0, 5), 1);
    margin_.SetCanFocus(0);
    picture_.Initialize(this, Rect(0, 5, 0, -20), 2);
    picture_.SetCanFocus(0);
    text_.Initialize(this, Rect(0, -20, 0, 0), 3);
    text_.SetCanFocus(0);
    text_.SetTipText(title_.c_str());
}

void CHomeViewItem::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    static const PanelColours kPressed{0x2B76C2, 0x58CAF1, 0x67C8F6, 0x8AE4FF, 0x8AE4FF, 0x7AD7FA};
    static const PanelColours kHovered{0x58CAF1, 0xFFFFFF, 0xB3EEFD, 0x8AE3FD, 0x8AE3FD, 0xEBFDFD};
    static const PanelColours kSelected{0x308AC2, 0x58CAF1, 0x9CEDFF, 0x69E1FF, 0x69E1FF, 0xDBFCFF};
    const PanelColours* c = IsPressed() ? &kPressed : IsSelected() ? &kSelected : IsHover() ? &kHovered : nullptr;
    if (!c) return;
    const RECT r = Rect(row.left + 2, row.top + 2, row.right - 2, row.bottom - 2);
    rowdraw::DoubleRoundFrame(dc, r, c->outer, c->inner, 5);
    const int left = r.left + 2, right = r.right - 2;
    rowdraw::VGradient(dc, Rect(left, r.top + 2, right, r.top + 8), c->bandTop, c->bandBottom);
    dc.FillSolidRect(Rect(left, r.top + 8, right, r.bottom - 10), c->fill);
    rowdraw::VGradient(dc, Rect(left, r.bottom - 10, right, r.bottom - 2), c->fill, c->bottom);
}

void CHomeViewItem::Picture::DoPaint(CDC& dc, RECT& real)
{
    const BitmapPlus& picture = item_->icon_.IsNull() ? item_->view_->NoIcon() : item_->icon_;
    picture.Draw(&dc, real);
    const int x = (real.left + real.right - 96) / 2, y = (real.top + real.bottom - 96) / 2;
    rowdraw::Frame(dc, Rect(x, y, x + 96, y + 96), 0x9C9A9C);
}

int CHomeViewItem::OnSelect(int select, int)
{
    if (select) view_->Home()->ShowPreview(path_, title_);
    return 1;
}

int CHomeViewItem::OnDbClick(POINT pt, const RECT& row)
{
    const int hit = MyWidContainer::OnDbClick(pt, row);
    if (IsReleased() || !rowdraw::Contains(row, pt)) return hit;
    Hold hold(this);
    const std::wstring path = path_;
    view_->Home()->OpenTemplate(path);
    return 1;
}

void CHomeViewItem::OnKey_return(const RECT&, int up)
{
    if (up || IsReleased()) return;
    Hold hold(this);
    const std::wstring path = path_;
    view_->Home()->OpenTemplate(path);
}

CHomeView::CHomeView(CHomePageWnd* home) : MyList(home), home_(home), noIcon_(runner::RunnerBitmap(342)) {}

bool CHomeView::SelectTitle(const std::wstring& title)
{
    if (title.empty()) return false;
    for (int i = 0; i < GetCount(); ++i)
        if (runner::EqualsIgnoringAsciiCase(Item(i)->Title(), title)) {
            SetCurSel(i);
            return GetCurSel() == i;
        }
    return false;
}

CHomeViewItem* CHomeView::Selected() const
{
    const int sel = GetCurSel();
    return sel >= 0 && sel < GetCount() ? Item(sel) : nullptr;
}

void CHomeView::OnMyList_RButtonUp(POINT pt) { home_->ShowContextMenu(336, mapToGlobal(QPoint(pt.x, pt.y))); }
