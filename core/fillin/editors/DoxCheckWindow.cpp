#include "DoxCheckWindow.h"

#include <QPainter>
#include <QWidget>

#include "Messages.h"

void DoxCheckWindow::Create(QWidget* host, std::function<void()> changed)
{
    host_ = host;
    changed_ = std::move(changed);
}

void DoxCheckWindow::Invalidate()
{
    if (host_)
        host_->update(QRect(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top));
}

void DoxCheckWindow::SetRect(const RECT& rect)
{
    Invalidate();
    rect_ = rect;
    Invalidate();
}

void DoxCheckWindow::Enable(bool enabled)
{
    enabled_ = enabled;
    if (!enabled)
        focused_ = false;
    Invalidate();
}

void DoxCheckWindow::SetFont(const CFont* font)
{
    font_ = font ? *font : CFont();
    Invalidate();
}

void DoxCheckWindow::SetChecked(bool ticked)
{
    ticked_ = ticked;
    Invalidate();
}

void DoxCheckWindow::Paint(CDC& dc)
{
    if (!enabled_)
        return;
    dc.FillSolidRect(rect_, 0xFFFFFF);
    if (QPainter* p = dc.painter()) {
        p->save();
        p->setPen(QPen(Qt::black, 1, Qt::DotLine));
        p->setBrush(Qt::NoBrush);
        p->drawRect(QRect(rect_.left, rect_.top, rect_.right - rect_.left - 1, rect_.bottom - rect_.top - 1));
        p->restore();
    }
    if (!ticked_)
        return;
    const CFont oldFont = dc.SelectObject(font_);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc.SetTextColor(0);
    RECT inner{rect_.left + 2, rect_.top + 2, rect_.right - 2, rect_.bottom - 2};
    dc.DrawText(L"√", 1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

void DoxCheckWindow::Toggle()
{
    ticked_ = !ticked_;
    Invalidate();
    if (changed_)
        changed_();
}

bool DoxCheckWindow::OnButtonUp(int x, int y)
{
    if (!enabled_ || x < rect_.left || x >= rect_.right || y < rect_.top || y >= rect_.bottom)
        return false;
    Toggle();
    return true;
}

bool DoxCheckWindow::OnKeyUp(uint32_t key)
{
    if (!enabled_ || key != plat::VK_SPACE)
        return false;
    Toggle();
    return true;
}
