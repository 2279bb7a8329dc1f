#include "CFolderView.h"

#include "RowDrawing.h"
#include "RunnerFiles.h"
#include "SystemColors.h"

#include <QEvent>

using rowdraw::Rect;

CFolderItem::CFolderItem(CFolderView* view, const std::wstring& name, const std::wstring& path)
    : view_(view), name_(name), path_(path), text_(name.c_str())
{
}

void CFolderItem::OnInitialize(IMyWidContainerDepot* depot)
{
    MyWidContainer::OnInitialize(depot);
    button_.Initialize(this, Rect(0, 0, 10, 0), 1);
    button_.SetNone(1);
    button_.SetCanFocus(0);
    text_.Initialize(this, Rect(10, 0, 0, 0), 2);
    text_.SetCanFocus(0);
}

void CFolderItem::OnErase_bkgnd(CDC& dc, const RECT& row)
{
    struct Look {
        COLORREF top, bottom, frame, inner;
    };
    static const Look kPressed{0xFDECDD, 0xFDDCC2, 0xCEA27D, 0xFDF4EB};
    static const Look kSelected{0xF9F9F8, 0xE6E6E6, 0xDADADA, 0xFBFBFB};
    static const Look kHovered{0xFFFDFB, 0xFFF5ED, 0xFCD7B9, 0xFFF8F3};
    const Look* look = IsPressed() ? &kPressed : IsSelected() ? &kSelected : IsHover() ? &kHovered : nullptr;
    if (!look) {
        dc.FillSolidRect(row, GetSysColor(COLOR_WINDOW));
        rowdraw::ShadedLine(dc, row.left, row.right, row.bottom - 1, 0xFFF9F4, 0xFCD7B9);
        return;
    }
    rowdraw::VGradient(dc, row, look->top, look->bottom);
    rowdraw::Frame(dc, row, look->frame);
    rowdraw::Frame(dc, Rect(row.left + 1, row.top + 1, row.right - 1, row.bottom - 1), look->inner);
}

void CFolderItem::OnPaint(CDC& dc, const RECT& row)
{
    MyWidContainer::OnPaint(dc, row);
    if (IsFocused() && view_->hasFocus()) DrawFocusRect(dc, Rect(row.left + 2, row.top + 2, row.right - 2, row.bottom - 2));
}

void CFolderItem::OnPrepareDC(CDC& dc, unsigned)
{
    savedColor_ = dc.GetTextColor();
    dc.SetTextColor(0xBC3300);
}

void CFolderItem::OnRestoreDC(CDC& dc, unsigned) { dc.SetTextColor(savedColor_); }

int CFolderItem::OnClick_u(POINT pt, const RECT& row)
{
    const bool wasPressed = IsPressed();
    const int hit = MyWidContainer::OnClick_u(pt, row);
    if (!wasPressed || !hit || !IsSelected() || IsReleased() || !view_->onFolderClicked) return hit;
    Hold hold(this);
    const std::wstring name = name_, path = path_;
    view_->onFolderClicked(name, path);
    return hit;
}

CFolderView::CFolderView(QWidget* parent) : MyList(parent) {}

void CFolderView::Fill(const std::wstring& library)
{
    DeleteAllItems();
    AddItem(new CFolderItem(this, L"本地模板", library), 0);
    for (const std::wstring& folder : runner::SubFoldersOf(library))
        AddItem(new CFolderItem(this, folder, runner::JoinPath(library, folder)), 0);
    Layout();
    update();
}

void CFolderView::DoFillBkgrand(CDC& dc)
{
    RECT area;
    GetClientRect(&area);
    dc.FillSolidRect(area, GetSysColor(COLOR_WINDOW));
}

bool CFolderView::event(QEvent* event)
{
    // Repaint the focus rectangle as the keyboard focus comes and goes.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) update();
    return MyList::event(event);
}
