#include "XCheckWindow.h"

#include "GdiShapes.h"
#include "Messages.h"

void XCheckWindow::OnPaint(CDC& dc)
{
    dc.FillSolidRect(rect_, background_);
    DrawFocusRect(dc, rect_);
    if (!ticked_)
        return;
    CFont oldFont = dc.SelectObject(font_);
    COLORREF oldColor = dc.SetTextColor(text_);
    int oldMode = dc.SetBkMode(TRANSPARENT);
    RECT inner{rect_.left + 2, rect_.top + 2, rect_.right - 2, rect_.bottom - 2};
    dc.DrawText(L"\u221A", 1, &inner, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
    dc.SelectObject(oldFont);
}

void XCheckWindow::Toggle()
{
    ticked_ = ticked_ ? 0 : 1;
    Update(true);
    OnChanged();
}

void XCheckWindow::DoLButtonUp(uint32_t, int, int)
{
    Toggle();
}

void XCheckWindow::DoRButtonUp(uint32_t, int, int)
{
    Toggle();
}

bool XCheckWindow::OnKeyUp(uint32_t key, uint32_t, uint32_t)
{
    if (key != plat::VK_SPACE)
        return false;
    Toggle();
    return true;
}

void XCheckWindow::SetFont(const CFont* font)
{
    font_ = font ? *font : CFont();
    Invalidate();
}
