#include "DoxTipWindow.h"

#include <QWidget>

#include "DrawUnits.h"
#include "GdiShapes.h"
#include "GradientFill.h"
#include "Messages.h"
#include "SystemColors.h"
#include "WindowDC.h"

namespace
{
constexpr int kTail = 7;
constexpr COLORREF kBorder = 0x0096775C;
constexpr COLORREF kTailFill = 0x00C9AB91;
constexpr COLORREF kLight = 0x00E3CAB4;
constexpr COLORREF kTextColour = 0x000B0B0B;

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace

TipPlacement PlaceTip(const RECT& field, SIZE textSize, int clientWidth)
{
    TipPlacement place;
    const int width = textSize.cx + 16;
    const int height = textSize.cy + 20;
    place.tailX = field.right - field.left >= 12 ? field.left + 12 : field.left;
    place.fieldTop = field.top;
    place.fieldBottom = field.bottom;
    int x = field.left;
    if (x + width > clientWidth)
        x = clientWidth - width;
    int y = field.top - height;
    place.below = y < 0;
    if (place.below)
        y = field.bottom;
    place.balloon = RECT{x, y, x + width, y + height};
    return place;
}

DoxTipWindow::DoxTipWindow() = default;

bool DoxTipWindow::Create(QWidget* host)
{
    return XWindowBase::Create(nullptr, RECT{}, host, false, 0);
}

bool DoxTipWindow::OnCreate()
{
    // The message font of the desktop: 9 points.
    LOGFONTW font;
    const wchar_t face[] = L"宋体";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    font.lfHeight = -((9 * ScreenDpi + 36) / 72);
    font.lfWeight = 400;
    font.lfCharSet = 1;
    return font_.CreateFontIndirect(font);
}

void DoxTipWindow::Hide()
{
    if (!IsEnabled())
        return;
    Invalidate();
    // Disabled, the tip no longer takes keys even while it is its root's focus part.
    Enable(false);
}

void DoxTipWindow::Show(const std::wstring& text, int x, int y, int width, int height)
{
    auto dc = MakeClientDCX(2, 100);
    POINT corners[2] = {{x, y}, {x + width, y - height}};
    dc->LPtoDP(corners, 2);
    ShowAt(text, RECT{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                      std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)});
}

void DoxTipWindow::ShowAt(const std::wstring& text, const RECT& field)
{
    text_ = text;
    CBitmap bitmap;
    CDC measure;
    SIZE size{0, 0};
    if (bitmap.CreateBitmap(1, 1) && measure.CreateCompatibleDC(nullptr)) {
        measure.SelectObject(&bitmap);
        measure.SelectObject(font_);
        RECT r{0, 0, 256, 10};
        measure.DrawText(text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK);
        size = SIZE{r.right - r.left, r.bottom - r.top};
    }
    Invalidate();
    place_ = PlaceTip(field, size, host_ ? host_->width() : field.right);
    const RECT& r = place_.balloon;
    const bool sized = r.right - r.left != rect_.right - rect_.left || r.bottom - r.top != rect_.bottom - rect_.top;
    if (sized)
        SetRect(r);
    else
        rect_ = r;
    SetFocusPart();
    Enable(true);
    Invalidate();
}

RECT DoxTipWindow::Body() const
{
    RECT body = place_.balloon;
    if (place_.below)
        body.top += kTail;
    else
        body.bottom -= kTail;
    return body;
}

void DoxTipWindow::OnPaint(CDC& dc)
{
    if (!IsEnabled())
        return;
    const RECT body = Body();
    const RECT inner{body.left + 2, body.top + 2, body.right - 2, body.bottom - 2};
    // The darker colour lies on the tail's side.
    if (place_.below)
        FillGradientRect(&dc, inner, kTailFill, kLight, 0);
    else
        FillGradientRect(&dc, inner, kLight, kTailFill, 0);
    const CPen border(PS_SOLID, 1, kBorder);
    const CPen light(PS_SOLID, 1, 0xFFFFFF);
    const CPen none(PS_NULL, 1, 0);
    CBrush hollow;
    hollow.CreateHollowBrush();
    const CBrush tailBrush(kTailFill);
    const CPen oldPen = dc.SelectObject(border);
    const CBrush oldBrush = dc.SelectObject(hollow);
    RoundRect(dc, body.left, body.top, body.right, body.bottom, 6, 6);
    dc.SelectObject(light);
    RoundRect(dc, body.left + 1, body.top + 1, body.right - 1, body.bottom - 1, 5, 5);
    // The tail: its point 3 pixels off the field, its base on the body's edge, so
    // that body and tail make one outline.
    const int tipY = place_.below ? place_.fieldBottom + 3 : place_.fieldTop - 3;
    const int baseY = place_.below ? body.top : body.bottom - 1;
    const int baseX = std::clamp(place_.tailX, static_cast<int>(body.left) + 4, static_cast<int>(body.right) - 14);
    const POINT tail[3] = {{place_.tailX, tipY}, {baseX, baseY}, {baseX + 10, baseY}};
    dc.SelectObject(none);
    dc.SelectObject(tailBrush);
    dc.Polygon(tail, 3);
    dc.SelectObject(border);
    dc.MoveTo(baseX, baseY);
    dc.LineTo(place_.tailX, tipY);
    dc.LineTo(baseX + 10, baseY);
    dc.SelectObject(light);
    dc.MoveTo(baseX + 1, baseY);
    dc.LineTo(baseX + 10, baseY);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    const CFont oldFont = dc.SelectObject(font_);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc.SetTextColor(kTextColour);
    RECT textRect{body.left + 8, body.top + 6, body.right - 8, body.bottom - 6};
    dc.DrawText(text_.c_str(), static_cast<int>(text_.size()), &textRect, DT_WORDBREAK);
    dc.SetTextColor(oldColour);
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
}

bool DoxTipWindow::OnKeyDown(uint32_t key, uint32_t /*repeat*/, uint32_t /*keyState*/)
{
    if (key == plat::VK_ESCAPE)
        Hide();
    return false;
}

void DoxTipWindow::DoLButtonDown(uint32_t /*flags*/, int x, int y)
{
    if (Contains(Body(), x, y))
        Hide();
}

void DoxTipWindow::SetCursor()
{
    if (host_)
        host_->setCursor(Qt::ArrowCursor);
}
