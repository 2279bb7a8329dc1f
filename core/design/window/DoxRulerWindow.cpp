#include "DoxRulerWindow.h"

#include <QMouseEvent>

#include "DoxDC.h"
#include "DrawUnits.h"
#include "GradientFill.h"
#include "SystemColors.h"
#include "WindowDC.h"

namespace
{
// 10 points: at 96 dots per inch for the plate, in 0.1 mm for the rulers' labels.
constexpr int kPlateFontHeight = -13;
constexpr int kLabelFontTenthMm = 35;
constexpr int kStep = 10;          // 1 mm between two small ticks
constexpr int kMajor = 10 * kStep; // 1 cm between two labels
constexpr int kLongTickPixels = 20;
constexpr COLORREF kGradientOuter = 0xFBFBFB;
constexpr COLORREF kGradientInner = 0xD3D3D3;

LOGFONTW SongFont(int height)
{
    LOGFONTW font;
    font.lfHeight = height;
    font.lfWeight = 400;
    font.lfCharSet = 1;
    const wchar_t face[] = L"宋体";
    std::copy(std::begin(face), std::end(face), font.lfFaceName);
    return font;
}

// Click on a band: the keyboard goes to the design window, which hands it on.
void FocusParent(QWidget* band, QMouseEvent* event)
{
    if ((event->button() == Qt::LeftButton || event->button() == Qt::RightButton) && band->parentWidget())
        band->parentWidget()->setFocus(Qt::MouseFocusReason);
}
} // namespace

// ---------------------------------------------------------------- plate

DoxPlateWindow::DoxPlateWindow(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    font_.CreateFontIndirect(SongFont(kPlateFontHeight));
}

void DoxPlateWindow::Paint(CDC& dc)
{
    RECT rect{0, 0, width(), height()};
    dc.FillSolidRect(rect, GetSysColor(COLOR_WINDOW));
    const CPen pen(PS_SOLID, 1, 0);
    const CPen oldPen = dc.SelectObject(pen);
    dc.MoveTo(rect.left, rect.bottom - 1);
    dc.LineTo(rect.right, rect.bottom - 1);
    dc.MoveTo(rect.right - 1, rect.top);
    dc.LineTo(rect.right - 1, rect.bottom);
    dc.SelectObject(oldPen);
    const CFont oldFont = dc.SelectObject(font_);
    dc.SetBkMode(TRANSPARENT);
    rect.right -= 2;
    rect.bottom -= 2;
    const std::wstring text = text_.toStdWString();
    dc.DrawText(text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.SelectObject(oldFont);
}

void DoxPlateWindow::paintEvent(QPaintEvent* /*event*/)
{
    try {
        CPaintDCX dc(this);
        Paint(dc);
    } catch (const DoxResourceException&) {
    }
}

void DoxPlateWindow::mousePressEvent(QMouseEvent* event)
{
    FocusParent(this, event);
}

// ---------------------------------------------------------------- ruler

DoxRulerWindow::DoxRulerWindow(QWidget* parent, bool vertical) : DoxScrollClient(parent), vertical_(vertical)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    grey_ = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, 0x6F6F6F);
    black_ = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, 0x000000);
    red_ = CPen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 1, 0x0000FF);
    UpdateMetrics();
}

void DoxRulerWindow::SetZoom(int zoom)
{
    zoom_ = zoom;
    UpdateMetrics();
}

void DoxRulerWindow::UpdateMetrics()
{
    // The long tick is 20 pixels at every zoom; the label font is 10 points of the
    // page, so it grows and shrinks with the zoom.
    longTick_ = kLongTickPixels;
    SIZE label{kLabelFontTenthMm, kLabelFontTenthMm};
    TenthMmToPixels(zoom_, &label);
    CFont font;
    if (!font.CreateFontIndirect(SongFont(-std::max<int>(1, label.cy))))
        return;
    font_ = font;
    try {
        CClientDCX dc(nullptr);
        const CFont old = dc.SelectObject(font_);
        SIZE extent{};
        dc.GetTextExtentPoint32(L"2147483647", 10, &extent);
        dc.SelectObject(old);
        labelExtent_ = vertical_ ? extent.cy : extent.cx;
    } catch (const DoxResourceException&) {
    }
    update();
}

void DoxRulerWindow::SetRange(int start, int end)
{
    start_ = start;
    end_ = end;
    update();
}

void DoxRulerWindow::SetScrollOffset(int pixels)
{
    if (pixels == offset_)
        return;
    offset_ = pixels;
    update();
}

void DoxRulerWindow::DoScrollWindow(int dx, int dy)
{
    const int amount = vertical_ ? dy : dx;
    if (amount != 0)
        SetScrollOffset(offset_ + amount);
}

int DoxRulerWindow::ToPixel(int tenthMm) const
{
    SIZE size{std::abs(tenthMm), 0};
    TenthMmToPixels(zoom_, &size);
    return (tenthMm < 0 ? -size.cx : size.cx) + offset_;
}

int DoxRulerWindow::MarkPixel() const
{
    return ToPixel(mark_);
}

void DoxRulerWindow::Track(int x, int y)
{
    const int position = vertical_ ? -y : x;
    if (tracked_ && position == mark_)
        return;
    mark_ = position;
    tracked_ = true;
    // The ruler is small: one repaint draws the ticks and the one mark, so no old
    // mark can be left behind.
    update();
}

void DoxRulerWindow::Paint(CDC& dc)
{
    const int w = width();
    const int h = height();
    const RECT client{0, 0, w, h};
    FillGradientRect(&dc, client, kGradientOuter, kGradientInner, vertical_ ? 1 : 0);
    const CPen oldPen = dc.SelectObject(black_);
    if (vertical_) {
        dc.MoveTo(w - 1, 0);
        dc.LineTo(w - 1, h);
    } else {
        dc.MoveTo(0, h - 1);
        dc.LineTo(w, h - 1);
    }
    dc.SetBkMode(TRANSPARENT);
    const CFont oldFont = dc.SelectObject(font_);
    const int along = vertical_ ? h : w;
    const int base = (vertical_ ? w : h) - 2;
    auto tick = [&](int at, int length) {
        if (vertical_) {
            dc.MoveTo(base - length, at);
            dc.LineTo(base, at);
        } else {
            dc.MoveTo(at, base - length);
            dc.LineTo(at, base);
        }
    };
    labels_.clear();
    const int count = (end_ - start_) / kMajor;
    const int first = start_ / kMajor;
    for (int i = first; i < first + count; ++i) {
        const int position = i * kMajor;
        const int pixel = ToPixel(position);
        if (pixel + labelExtent_ >= 0 && pixel < along) {
            dc.SelectObject(black_);
            tick(pixel, LongTick());
            const std::wstring text = std::to_wstring(i);
            if (vertical_)
                dc.TextOut(base - LongTick(), pixel, text.c_str());
            else
                dc.TextOut(pixel + 2, base - LongTick(), text.c_str());
            labels_.push_back(i);
        }
        dc.SelectObject(grey_);
        for (int j = kStep; j < kMajor; j += kStep) {
            const int at = ToPixel(position + j);
            if (at >= 0 && at < along)
                tick(at, j == 5 * kStep ? MediumTick() : ShortTick());
        }
    }
    // The mouse mark across the whole band, once the mouse has shown where it is.
    const int mark = MarkPixel();
    if (tracked_) {
        dc.SelectObject(red_);
        if (vertical_) {
            dc.MoveTo(0, mark);
            dc.LineTo(w, mark);
        } else {
            dc.MoveTo(mark, 0);
            dc.LineTo(mark, h);
        }
    }
    dc.SelectObject(oldFont);
    dc.SelectObject(oldPen);
}

void DoxRulerWindow::paintEvent(QPaintEvent* /*event*/)
{
    try {
        DoxPaintDC dc(this);
        Paint(dc);
    } catch (const DoxResourceException&) {
    }
}

void DoxRulerWindow::mousePressEvent(QMouseEvent* event)
{
    FocusParent(this, event);
}
