#include "DoxScrollWindow.h"

#include "DrawUnits.h"
#include "Messages.h"
#include "ScrollMath.h"
#include "WindowDC.h"
#include "WindowSurface.h"

#include <QKeyEvent>
#include <QWheelEvent>

DoxScrollWindow::DoxScrollWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

void DoxScrollWindow::SetScrollSizes(int mapping, int zoom, int totalCx, int totalCy, int pageCx, int pageCy,
                                     int lineCx, int lineCy)
{
    const int previous = mapping_;
    mapping_ = mapping;
    SIZE sizes[3] = {{totalCx, totalCy}, {pageCx, pageCy}, {lineCx, lineCy}};
    auto dc = MakeClientDCX(mapping, zoom);
    for (SIZE& s : sizes)
        dc->LPtoDP(&s);
    QSize total(sizes[0].cx, sizes[0].cy), page(sizes[1].cx, sizes[1].cy), line(sizes[2].cx, sizes[2].cy);
    plat::DeriveScrollSizes(total, page, line);
    total_ = {total.width(), total.height()};
    page_ = {page.width(), page.height()};
    line_ = {line.width(), line.height()};
    UpdateScroll();
    if (previous != mapping_)
        update();
}

bool DoxScrollWindow::CalcScrollState(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight,
                                      bool* needHBar, bool* needVBar, SIZE* range, POINT* pos)
{
    plat::ScrollState s = plat::CalcScrollState(QSize(total_.cx, total_.cy), QSize(clientWidth, clientHeight),
                                                QSize(vbarWidth, hbarHeight), QPoint(GetHScrollPos(), GetVScrollPos()));
    if (!s.ok)
        return false;
    if (needHBar)
        *needHBar = s.needHorizontal;
    if (needVBar)
        *needVBar = s.needVertical;
    if (range)
        *range = {s.range.width(), s.range.height()};
    if (pos)
        *pos = {s.pos.x(), s.pos.y()};
    return true;
}

void DoxScrollWindow::ScrollToPosition(int x, int y)
{
    const int oldX = GetHScrollPos();
    const int oldY = GetVScrollPos();
    SetHScrollPos(x, true);
    SetVScrollPos(y, true);
    DoScrollWindow(oldX - x, oldY - y);
}

bool DoxScrollWindow::ScrollBy(int dx, int dy)
{
    const int oldX = GetHScrollPos();
    const int oldY = GetVScrollPos();
    const int newX = plat::ClampScrollPos(oldX, dx, GetHScrollLimit());
    const int newY = plat::ClampScrollPos(oldY, dy, GetVScrollLimit());
    if (newX == oldX && newY == oldY)
        return false;
    DoScrollWindow(oldX - newX, oldY - newY);
    if (newX != oldX)
        SetHScrollPos(newX, true);
    if (newY != oldY)
        SetVScrollPos(newY, true);
    DoUpdateWindow();
    return true;
}

bool DoxScrollWindow::DoKeyScroll(uint32_t key)
{
    bool handled = false;
    const int distance = plat::KeyScrollDistance(key, {GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy}, &handled);
    if (handled && IsVScrollBarEnabled())
        ScrollBy(0, distance);
    return handled;
}

bool DoxScrollWindow::OnMouseWheel(uint32_t flags, int delta, int x, int y)
{
    if (flags & plat::MK_SHIFT)
        return false;
    if (flags & plat::MK_CONTROL)
        return OnCtrlMouseWheel(delta, x, y);
    const int lines = plat::WheelScrollLines();
    if (IsVScrollBarEnabled()) {
        const plat::ScrollAxis axis{GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy};
        return ScrollBy(0, wheel_.Distance(delta, lines, axis));
    }
    if (IsHScrollBarEnabled()) {
        const plat::ScrollAxis axis{GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx};
        return ScrollBy(wheel_.Distance(delta, lines, axis), 0);
    }
    return false;
}

void DoxScrollWindow::OnVScroll(int code)
{
    if (!IsVScrollBarEnabled())
        return;
    const plat::ScrollAxis axis{GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy};
    ScrollBy(0, plat::ScrollBarDistance(code, axis, code == plat::SB_THUMBTRACK ? GetVScrollTrackPos() : 0));
}

void DoxScrollWindow::OnHScroll(int code)
{
    if (!IsHScrollBarEnabled())
        return;
    const plat::ScrollAxis axis{GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx};
    ScrollBy(plat::ScrollBarDistance(code, axis, code == plat::SB_THUMBTRACK ? GetHScrollTrackPos() : 0), 0);
}

void DoxScrollWindow::wheelEvent(QWheelEvent* event)
{
    auto msg = plat::TranslateEvent(this, event);
    if (!msg) {
        QWidget::wheelEvent(event);
        return;
    }
    const QPoint pixels = event->pixelDelta();
    if (!pixels.isNull() && !(msg->keyState & (plat::MK_SHIFT | plat::MK_CONTROL))) {
        // A touchpad says how far it moved: follow it pixel for pixel.
        if (IsVScrollBarEnabled() && pixels.y())
            ScrollBy(0, plat::PixelWheelDistance(pixels.y(), {GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy}));
        else if (IsHScrollBarEnabled())
            ScrollBy(plat::PixelWheelDistance(pixels.y() ? pixels.y() : pixels.x(),
                                              {GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx}),
                     0);
        event->accept();
        return;
    }
    OnMouseWheel(msg->keyState, plat::WheelDelta(*msg), msg->pt.x(), msg->pt.y());
    event->accept();
}

void DoxScrollWindow::keyPressEvent(QKeyEvent* event)
{
    if (!DoKeyScroll(plat::VirtualKeyFromQt(event->key())))
        QWidget::keyPressEvent(event);
}

void DoxScrollClient::DoScrollWindow(int dx, int dy)
{
    plat::ScrollWindowSurface(this, dx, dy);
}
