#include "MyScrollWindow.h"

#include "DeviceContext.h"
#include "Messages.h"
#include "ScrollMath.h"
#include "SystemColors.h"
#include "WindowSurface.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstdlib>

MyScrollWindow::MyScrollWindow(QWidget* parent) : QWidget(parent) {}

MyScrollWindow::~MyScrollWindow() = default;

bool MyScrollWindow::Create(uint32_t style, const RECT& rect, QWidget* parent, int id)
{
    setParent(parent);
    setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    setObjectName(QString::number(id));
    // Keys reach the window when it is clicked or tabbed to.
    setFocusPolicy(Qt::StrongFocus);
    if (style & WS_VISIBLE)
        show();
    return true;
}

void MyScrollWindow::SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line)
{
    if (mapMode != MM_TEXT) {
        CDC screen;
        screen.CreateCompatibleDC(nullptr);
        screen.SetMapMode(mapMode);
        screen.LPtoDP(&total);
        screen.LPtoDP(&page);
        screen.LPtoDP(&line);
    }
    QSize t(total.cx, total.cy), p(page.cx, page.cy), l(line.cx, line.cy);
    plat::DeriveScrollSizes(t, p, l);
    total_ = {t.width(), t.height()};
    page_ = {p.width(), p.height()};
    line_ = {l.width(), l.height()};
    const int previous = mapMode_;
    mapMode_ = mapMode;
    UpdateScroll();
    if (previous != mapMode)
        update();
}

int MyScrollWindow::CalcScrollState(SIZE client, SIZE barThickness, SIZE& range, POINT& pos, SIZE& needBars)
{
    plat::ScrollState s = plat::CalcScrollState(QSize(total_.cx, total_.cy), QSize(client.cx, client.cy),
                                                QSize(barThickness.cx, barThickness.cy),
                                                QPoint(GetHScrollPos(), GetVScrollPos()));
    if (!s.ok)
        return 0;
    range = {s.range.width(), s.range.height()};
    pos = {s.pos.x(), s.pos.y()};
    needBars = {s.needHorizontal ? 1 : 0, s.needVertical ? 1 : 0};
    return 1;
}

void MyScrollWindow::ScrollToPosition(POINT pos)
{
    POINT old{GetHScrollPos(), GetVScrollPos()};
    SetHScrollPos(pos.x, 1);
    SetVScrollPos(pos.y, 1);
    DoScrollWindow(old.x - pos.x, old.y - pos.y);
}

int MyScrollWindow::DoScroll(SIZE delta, int apply)
{
    const POINT old{GetHScrollPos(), GetVScrollPos()};
    const POINT now{plat::ClampScrollPos(old.x, delta.cx, GetHScrollLimit()),
                    plat::ClampScrollPos(old.y, delta.cy, GetVScrollLimit())};
    if (now.x == old.x && now.y == old.y)
        return 0;
    if (!apply)
        return 1;
    DoScrollWindow(old.x - now.x, old.y - now.y);
    if (now.x != old.x)
        SetHScrollPos(now.x, 1);
    if (now.y != old.y)
        SetVScrollPos(now.y, 1);
    DoUpdateWindow();
    return 1;
}

int MyScrollWindow::DoKeyScroll(UINT key)
{
    bool handled = false;
    plat::ScrollAxis axis{GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy};
    const int distance = plat::KeyScrollDistance(key, axis, &handled);
    if (!handled)
        return 0;
    if (IsVScrollBarEnabled())
        DoScroll({0, distance}, 1);
    return 1;
}

int MyScrollWindow::const_sbsize_cx()
{
    static const int size = GetSystemMetrics(SM_CXHTHUMB);
    return size;
}

int MyScrollWindow::const_sbsize_cy()
{
    static const int size = GetSystemMetrics(SM_CYVTHUMB);
    return size;
}

int MyScrollWindow::const_wheellines()
{
    static const int lines = plat::WheelScrollLines();
    return lines;
}

void MyScrollWindow::UpdateScroll() {}
int MyScrollWindow::IsVScrollBarEnabled()
{
    return 0;
}
int MyScrollWindow::IsHScrollBarEnabled()
{
    return 0;
}
int MyScrollWindow::GetVScrollPos()
{
    return 0;
}
int MyScrollWindow::SetVScrollPos(int, int)
{
    return 0;
}
int MyScrollWindow::GetVScrollLimit()
{
    return 0;
}
int MyScrollWindow::GetVScrollTrackPos()
{
    return 0;
}
void MyScrollWindow::EnableVScrollBar(int) {}
int MyScrollWindow::GetHScrollPos()
{
    return 0;
}
int MyScrollWindow::SetHScrollPos(int, int)
{
    return 0;
}
int MyScrollWindow::GetHScrollLimit()
{
    return 0;
}
int MyScrollWindow::GetHScrollTrackPos()
{
    return 0;
}
void MyScrollWindow::EnableHScrollBar(int) {}
void MyScrollWindow::DoScrollWindow(int, int) {}
void MyScrollWindow::DoUpdateWindow() {}

int MyScrollWindow::OnMouseWheel(uint32_t flags, int delta, QPoint /*point*/)
{
    if (flags & (plat::MK_SHIFT | plat::MK_CONTROL))
        return 0;
    if (IsVScrollBarEnabled()) {
        plat::ScrollAxis axis{GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy};
        return DoScroll({0, wheel_.Distance(delta, const_wheellines(), axis)}, 1);
    }
    if (IsHScrollBarEnabled()) {
        plat::ScrollAxis axis{GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx};
        return DoScroll({wheel_.Distance(delta, const_wheellines(), axis), 0}, 1);
    }
    return 0;
}

void MyScrollWindow::OnHScroll(int code, int /*pos*/)
{
    if (!IsHScrollBarEnabled())
        return;
    plat::ScrollAxis axis{GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx};
    const int distance = plat::ScrollBarDistance(code, axis, GetHScrollTrackPos());
    if (distance != 0)
        DoScroll({distance, 0}, 1);
}

void MyScrollWindow::OnVScroll(int code, int /*pos*/)
{
    if (!IsVScrollBarEnabled())
        return;
    plat::ScrollAxis axis{GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy};
    const int distance = plat::ScrollBarDistance(code, axis, GetVScrollTrackPos());
    if (distance != 0)
        DoScroll({0, distance}, 1);
}

void MyScrollWindow::ConnectScrollBar(QScrollBar* bar)
{
    if (!bar)
        return;
    connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int action) {
        const int code = plat::ScrollCodeFromSliderAction(action);
        if (code < 0)
            return;
        // The bar has moved its slider by its own step; the window decides the step,
        // then the bar keeps the position the window set.
        const bool vertical = bar->orientation() == Qt::Vertical;
        if (vertical)
            OnVScroll(code, bar->sliderPosition());
        else
            OnHScroll(code, bar->sliderPosition());
        bar->setSliderPosition(vertical ? GetVScrollPos() : GetHScrollPos());
    });
}

void MyScrollWindow::wheelEvent(QWheelEvent* event)
{
    std::optional<plat::Message> msg = plat::TranslateEvent(this, event);
    const QPoint pixels = event->pixelDelta();
    if (msg && !pixels.isNull() && !(msg->keyState & (plat::MK_SHIFT | plat::MK_CONTROL))) {
        // A touchpad says how far it moved: follow it pixel for pixel.
        int scrolled = 0;
        if (IsVScrollBarEnabled() && pixels.y())
            scrolled = DoScroll(
                {0, plat::PixelWheelDistance(pixels.y(), {GetVScrollPos(), GetVScrollLimit(), line_.cy, page_.cy})}, 1);
        else if (IsHScrollBarEnabled())
            scrolled = DoScroll({plat::PixelWheelDistance(pixels.y() ? pixels.y() : pixels.x(),
                                                          {GetHScrollPos(), GetHScrollLimit(), line_.cx, page_.cx}),
                                 0},
                                1);
        event->setAccepted(scrolled != 0);
        return;
    }
    if (msg && msg->message == plat::WM_MOUSEWHEEL && OnMouseWheel(msg->keyState, plat::WheelDelta(*msg), msg->pt))
        event->accept();
    else
        event->ignore();
}

void MyScrollWindow::keyPressEvent(QKeyEvent* event)
{
    if (DoKeyScroll(plat::VirtualKeyFromQt(event->key())))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

MyScrollClient::MyScrollClient(QWidget* parent) : QWidget(parent) {}

MyScrollClient::~MyScrollClient() = default;

void MyScrollClient::DoScrollWindow(int dx, int dy)
{
    plat::ScrollWindowSurface(this, dx, dy);
}
