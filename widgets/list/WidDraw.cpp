#include "WidDraw.h"

#include "GdiObjects.h"
#include "SystemColors.h"
#include "WidGeometry.h"

namespace brindle
{

void DrawLine(CDC& dc, int x1, int y1, int x2, int y2, COLORREF color)
{
    CPen pen(PS_SOLID, 1, color);
    CPen old = dc.SelectObject(pen);
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
    dc.SelectObject(old);
}

void DrawCheckMark(CDC& dc, int cx, int cy, COLORREF color)
{
    for (int k = 0; k < 3; ++k) {
        DrawLine(dc, cx - 3, cy - 1 + k, cx, cy + 2 + k, color);
        DrawLine(dc, cx + 3, cy - 3 + k, cx - 1, cy + 1 + k, color);
    }
}

void DrawChevron(CDC& dc, int cx, int cy, int width, bool apexUp, COLORREF color)
{
    // Each column of the chevron is three pixels high; the arms meet at cx.
    int half = width / 2;
    for (int dx = -half; dx <= half; ++dx) {
        int d = dx < 0 ? -dx : dx;
        int top = apexUp ? cy - 2 + d : cy - d;
        dc.FillSolidRect(cx + dx, top, 1, 3, color);
    }
}

void DrawArrowHead(CDC& dc, int x, int cy, COLORREF color)
{
    for (int k = 0; k < 4; ++k)
        DrawLine(dc, x - 3 + k, cy - 3 + k, x - 3 + k, cy + 4 - k, color);
}

void DrawAsterisk(CDC& dc, int cx, int cy, int size, COLORREF color)
{
    int h = size / 2;
    DrawLine(dc, cx - h + 1, cy - h + 1, cx + h, cy + h, color);
    DrawLine(dc, cx + h - 1, cy - h + 1, cx - h, cy + h, color);
    DrawLine(dc, cx, cy - h, cx, cy + h + 1, color);
    DrawLine(dc, cx - h, cy, cx + h + 1, cy, color);
}

} // namespace brindle

#include "ScreenInfo.h"

#include <QApplication>
#include <QImage>
#include <QPoint>

namespace brindle
{

POINT ToPoint(const QPoint& p)
{
    POINT pt;
    pt.x = p.x();
    pt.y = p.y();
    return pt;
}

QFont QFontOf(const CFont* font)
{
    if (!font || !font->IsCreated())
        return QApplication::font();
    QImage probe(1, 1, QImage::Format_ARGB32_Premultiplied);
    int dpi = plat::ScreenDotsPerInch();
    probe.setDotsPerMeterX(qRound(dpi / 0.0254));
    probe.setDotsPerMeterY(qRound(dpi / 0.0254));
    CDC dc;
    dc.AttachImage(&probe);
    dc.SelectObject(*font);
    return dc.DeviceFont();
}

} // namespace brindle
