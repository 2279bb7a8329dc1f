#include "WorkspaceViews.h"

#include "DeviceContext.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "SystemColors.h"
#include "UIUitl.h"
#include "WaitCursor.h"
#include "Workspace.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRect>

namespace
{
constexpr uint32_t kChildVisible = 0x40000000 | 0x10000000;
}

CDoxPageView::CDoxPageView(CMainClient* client, IDoxCore* core) : QWidget(client), client_(client)
{
    const QRect rect(0, 0, 100, 100);
    window_ = core->CreatePageWindow(nullptr, kChildVisible, &rect, this, 101);
    if (window_)
        window_->SetUISink(this);
}

CDoxPageView::~CDoxPageView()
{
    if (window_) {
        window_->SetUISink(nullptr);
        window_->Release();
    }
}

IDoxPage* CDoxPageView::Page() const
{
    return window_ ? window_->GetPage() : nullptr;
}

bool CDoxPageView::LoadPageIntoView(IDoxDocument* document, int index)
{
    if (!document || !window_)
        return false;
    if (IDoxPage* shown = window_->GetPage()) {
        if (client_->SaveModified(shown) < 0)
            return false;
        window_->DetachPage();
        setup_.Reset();
        index_ = -1;
    }
    IDoxPage* page = document->GetPage(index);
    if (!page)
        return false;
    page->ViewAllLayers();
    if (!window_->AttachPage(page)) {
        UIUitl::MessageBoxFormat(64, L"加载页面“%ls”失败! %ls", page->GetName(), client_->Core()->GetLastErrorText());
        return false;
    }
    index_ = index;
    SIZE size{};
    page->GetSize(&size);
    setup_.templateWidth = size.cx;
    setup_.templateHeight = size.cy;
    {
        plat::WaitCursor wait;
        ReadPageSetupElement(page, setup_);
    }
    return true;
}

void CDoxPageView::DetachPageFromView()
{
    if (!window_ || !window_->GetPage())
        return;
    // A bill that cannot be saved is lost with the page: say so.
    client_->SaveModified(window_->GetPage());
    window_->DetachPage();
    setup_.Reset();
    index_ = -1;
}

bool CDoxPageView::OnCmdMsg(unsigned id, bool* enabled)
{
    if (!window_)
        return false;
    void (IDoxPageWindow::*run)() = nullptr;
    switch (id) {
    case wscmd::kEditCut:
        run = &IDoxPageWindow::Cut;
        break;
    case wscmd::kEditCopy:
        run = &IDoxPageWindow::Copy;
        break;
    case wscmd::kEditPaste:
        run = &IDoxPageWindow::Paste;
        break;
    case wscmd::kEditSelectAll:
        run = &IDoxPageWindow::SelectAll;
        break;
    default:
        return false;
    }
    if (enabled)
        *enabled = window_->IsEditing() != 0;
    else
        (window_->*run)();
    return true;
}

void CDoxPageView::OnEraseBackground(CDC* dc, const RECT* rect)
{
    if (dc && rect)
        dc->FillSolidRect(*rect, GetSysColor(COLOR_BTNFACE));
}

void CDoxPageView::OnRButtonUp(uint32_t, int, int) {}

void CDoxPageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (window_)
        window_->MoveWindow(0, 0, width(), height());
}

CHSliderWnd::CHSliderWnd(CMainClient* client) : QWidget(client), client_(client)
{
    setObjectName(QStringLiteral("102"));
    setCursor(Qt::SizeVerCursor);
}

void CHSliderWnd::SetPosition(int position)
{
    position_ = position;
    client_->Relayout();
}

void CHSliderWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // COLORREF 0xE2B592.
    painter.fillRect(rect(), QColor(0x92, 0xB5, 0xE2));
}

void CHSliderWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grabMouse();
    dragging_ = true;
    startY_ = event->globalPosition().toPoint().y();
    startPosition_ = position_;
}

void CHSliderWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    int position = startPosition_ + event->globalPosition().toPoint().y() - startY_;
    position = std::clamp(position, 10, std::max(10, client_->height() - 10));
    if (position != position_)
        SetPosition(position);
}

void CHSliderWnd::mouseReleaseEvent(QMouseEvent*)
{
    if (!dragging_)
        return;
    dragging_ = false;
    releaseMouse();
    client_->Relayout();
}
