#include "DoxScrollBarWindow.h"

#include "DC.h"
#include "SystemColors.h"
#include "WindowDC.h"

#include <QScrollBar>

#include <algorithm>

void DoxScrollBarWindow::CreateBars()
{
    vbar_ = new QScrollBar(Qt::Vertical, this);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    for (QScrollBar* bar : {vbar_, hbar_}) {
        bar->hide();
        bar->setEnabled(false);
        bar->setFocusPolicy(Qt::NoFocus);
        connect(bar, &QScrollBar::valueChanged, this, [this] { OnBarMoved(); });
    }
}

void DoxScrollBarWindow::UpdateBars(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight)
{
    if (!vbar_ || !hbar_)
        return;
    bool needH = false;
    bool needV = false;
    SIZE range{0, 0};
    POINT pos{0, 0};
    if (!CalcScrollState(clientWidth, clientHeight, vbarWidth, hbarHeight, &needH, &needV, &range, &pos)) {
        EnableVScrollBar(false);
        EnableHScrollBar(false);
        return;
    }
    const SIZE page = GetPageSize();
    const SIZE line = GetLineSize();
    vbar_->setRange(0, needV ? range.cy : 0);
    vbar_->setPageStep(std::max(1, static_cast<int>(page.cy)));
    vbar_->setSingleStep(std::max(1, static_cast<int>(line.cy)));
    vbar_->setValue(needV ? pos.y : 0);
    hbar_->setRange(0, needH ? range.cx : 0);
    hbar_->setPageStep(std::max(1, static_cast<int>(page.cx)));
    hbar_->setSingleStep(std::max(1, static_cast<int>(line.cx)));
    hbar_->setValue(needH ? pos.x : 0);
    EnableVScrollBar(needV);
    EnableHScrollBar(needH);
}

bool DoxScrollBarWindow::IsVScrollBarEnabled()
{
    return vbar_ && vbar_->isEnabled();
}

bool DoxScrollBarWindow::IsHScrollBarEnabled()
{
    return hbar_ && hbar_->isEnabled();
}

int DoxScrollBarWindow::GetVScrollPos()
{
    return vbar_ ? vbar_->value() : 0;
}

int DoxScrollBarWindow::SetVScrollPos(int pos, bool /*redraw*/)
{
    const int old = GetVScrollPos();
    if (vbar_)
        vbar_->setValue(pos);
    return old;
}

int DoxScrollBarWindow::GetVScrollLimit()
{
    return vbar_ ? vbar_->maximum() : 0;
}

int DoxScrollBarWindow::GetVScrollTrackPos()
{
    return vbar_ ? vbar_->sliderPosition() : 0;
}

void DoxScrollBarWindow::EnableVScrollBar(bool enable)
{
    if (!vbar_)
        return;
    vbar_->setEnabled(enable);
    vbar_->setVisible(enable);
}

int DoxScrollBarWindow::GetHScrollPos()
{
    return hbar_ ? hbar_->value() : 0;
}

int DoxScrollBarWindow::SetHScrollPos(int pos, bool /*redraw*/)
{
    const int old = GetHScrollPos();
    if (hbar_)
        hbar_->setValue(pos);
    return old;
}

int DoxScrollBarWindow::GetHScrollLimit()
{
    return hbar_ ? hbar_->maximum() : 0;
}

int DoxScrollBarWindow::GetHScrollTrackPos()
{
    return hbar_ ? hbar_->sliderPosition() : 0;
}

void DoxScrollBarWindow::EnableHScrollBar(bool enable)
{
    if (!hbar_)
        return;
    hbar_->setEnabled(enable);
    hbar_->setVisible(enable);
}

void DoxScrollBarWindow::PaintCorner(CDC& dc)
{
    if (!vbar_ || !hbar_ || !vbar_->isVisible() || !hbar_->isVisible())
        return;
    const int cx = GetSystemMetrics(SM_CXVSCROLL);
    const int cy = GetSystemMetrics(SM_CYHSCROLL);
    dc.FillSolidRect(RECT{width() - cx, height() - cy, width(), height()}, GetSysColor(COLOR_BTNFACE));
}

void DoxScrollBarWindow::paintEvent(QPaintEvent* /*event*/)
{
    try {
        CPaintDCX dc(this);
        PaintCorner(dc);
    } catch (const DoxResourceException&) {
    }
}
