#include "DoxCalenderWindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QPointer>

#include "Clock.h"
#include "DateTimeText.h"
#include "GdiShapes.h"
#include "SystemColors.h"
#include "Messages.h"
#include "WindowDC.h"

namespace
{
const QColor kBack(241, 246, 249);
const QColor kInk(0, 21, 110);
const QColor kFrame(92, 119, 150);
const QColor kHotTop(247, 217, 182);
const QColor kHotBottom(248, 187, 81);
const QColor kHotFrame(200, 213, 228);
const QColor kSelTop(247, 248, 249);
const QColor kSelBottom(233, 233, 233);
const QColor kSelFrame(218, 218, 218);
const QColor kDayInk(51, 51, 51);
const QColor kOtherInk(172, 189, 214);
const QColor kToday(31, 120, 210);

const wchar_t* const kWeekdays[] = {L"日", L"一", L"二", L"三", L"四", L"五", L"六"};
const wchar_t* const kMonths[] = {L"一月", L"二月", L"三月", L"四月", L"五月",   L"六月",
                                  L"七月", L"八月", L"九月", L"十月", L"十一月", L"十二月"};

CalendarDate Today()
{
    const plat::SystemTime now = plat::LocalNow();
    return CalendarDate{now.year, now.month, now.day};
}

QFont CalendarFont(int pixels)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    return font;
}

void Gradient(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

// The pressed look: two gradients meeting in the middle; the hover look: one.
void HotBackground(QPainter& p, const QRect& r, bool pressed)
{
    if (pressed) {
        const QRect upper(r.left(), r.top(), r.width(), r.height() / 2);
        const QRect lower(r.left(), upper.bottom() + 1, r.width(), r.height() - upper.height());
        Gradient(p, upper, kHotTop, kHotBottom);
        Gradient(p, lower, kHotBottom, kHotTop);
    } else {
        Gradient(p, r, kHotTop, kHotBottom);
    }
    p.setPen(kHotFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

QString Text(const wchar_t* text)
{
    return QString::fromWCharArray(text);
}
} // namespace

// ---------------------------------------------------------------- elements

void XCalenderElement::OnPaint(CDC& dc)
{
    if (!IsEnabled())
        return;
    if (QPainter* p = dc.painter()) {
        p->save();
        owner_->PaintElement(*p, *this);
        p->restore();
    }
}

void XCalenderElement::DoLButtonDown(uint32_t /*flags*/, int /*x*/, int /*y*/)
{
    SetFocusPart();
    pressed = true;
    Invalidate();
}

void XCalenderElement::DoLButtonUp(uint32_t /*flags*/, int x, int y)
{
    const RECT& r = rect_;
    if (!pressed || x < r.left || x >= r.right || y < r.top || y >= r.bottom)
        return;
    pressed = false;
    hover = true;
    Invalidate();
    owner_->Click(*this);
}

void XCalenderElement::OnMouseEnter(uint32_t /*flags*/, int /*x*/, int /*y*/)
{
    hover = true;
    Invalidate();
}

void XCalenderElement::OnMouseLeave(uint32_t /*flags*/, int /*x*/, int /*y*/)
{
    hover = false;
    pressed = false;
    Invalidate();
}

void XCalenderElement::OnCancelMode()
{
    hover = false;
    pressed = false;
}

void XCalenderElement::SetCursor()
{
    if (host_)
        host_->setCursor(Qt::PointingHandCursor);
}

// ---------------------------------------------------------------- popup

DoxCalenderWindow::DoxCalenderWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), month_(Today())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    normal_ = CalendarFont(13);
    header_ = CalendarFont(16);
    underlined_ = normal_;
    underlined_.setUnderline(true);
    const QFontMetrics metrics(normal_);
    char_ = QSize(metrics.horizontalAdvance(QLatin1Char('A')), metrics.height());
    client_ = QSize(14 * char_.width() + 128, 9 * char_.height() + 112);
    resize(client_ + QSize(2, 2));
    LayOut();
    Refresh();
}

DoxCalenderWindow::~DoxCalenderWindow()
{
    // The elements go before their views.
    monthElements_.clear();
    yearElements_.clear();
}

void DoxCalenderWindow::AddElement(XTopWindowBase& view, ElementList& list, int kind, int sub, const QRect& rect)
{
    // Element rectangles are in the popup's coordinates, inside its 1-pixel frame.
    auto element = std::make_unique<XCalenderElement>(this, kind, sub);
    element->Create(&view, RECT{rect.left() + 1, rect.top() + 1, rect.right() + 2, rect.bottom() + 2}, nullptr, true,
                    sub);
    list.push_back(std::move(element));
}

void DoxCalenderWindow::LayOut()
{
    const int c = char_.width();
    const int h = char_.height();
    const int w = client_.width();
    const SIZE charSize{c, h};
    const SIZE clientSize{client_.width(), client_.height()};
    auto common = [&](XTopWindowBase& view, ElementList& list, int headerSub) {
        view.Create(nullptr, nullptr, this, charSize, clientSize);
        view.SetRect(RECT{1, 1, client_.width() + 1, client_.height() + 1});
        AddElement(view, list, XCalenderElement::Link, headerSub, QRect((w - 16 * c) / 2, 8, 16 * c, h + 8));
        AddElement(view, list, XCalenderElement::Arrow, 0, QRect(8, 8, 20, 20));
        AddElement(view, list, XCalenderElement::Arrow, 1, QRect(w - 28, 8, 20, 20));
        AddElement(view, list, XCalenderElement::Link, 0,
                   QRect((w - 10 * c) / 2, client_.height() - 8 - (h + 8), 10 * c, h + 8));
        list.back()->text = Text(L"转到今天");
    };
    common(monthView_, monthElements_, 1);
    const int left = (w - 28 * c) / 2;
    for (int i = 0; i < 7; ++i) {
        AddElement(monthView_, monthElements_, XCalenderElement::Weekday, i, QRect(left + i * 4 * c, 36, 4 * c, h + 8));
        monthElements_.back()->text = Text(kWeekdays[i]);
    }
    const int daysTop = 36 + h + 8 + 8;
    for (int i = 0; i < 42; ++i)
        AddElement(monthView_, monthElements_, XCalenderElement::Day, i,
                   QRect(left + (i % 7) * 4 * c, daysTop + (i / 7) * (h + 8), 4 * c, h + 8));
    common(yearView_, yearElements_, 2);
    const int cellWidth = 28 * c / 3;
    const int cellHeight = 7 * (h + 8) / 4;
    for (int i = 0; i < 12; ++i) {
        AddElement(yearView_, yearElements_, XCalenderElement::MonthCell, i + 1,
                   QRect(left + (i % 3) * cellWidth, 36 + (i / 3) * cellHeight, cellWidth, cellHeight));
        yearElements_.back()->text = Text(kMonths[i]);
    }
    current_ = &monthView_;
    monthView_.Enable(true);
}

std::vector<const XCalenderElement*> DoxCalenderWindow::Elements() const
{
    std::vector<const XCalenderElement*> out;
    for (const auto& e : IsYearView() ? yearElements_ : monthElements_)
        out.push_back(e.get());
    return out;
}

void DoxCalenderWindow::Refresh()
{
    const CalendarDate shown = month_.Shown();
    const CalendarGrid grid = month_.Grid();
    size_t cell = 0;
    for (auto& e : monthElements_) {
        if (e->kind == XCalenderElement::Day) {
            e->date = grid[cell].date;
            e->state = grid[cell].state;
            e->text = QString::number(e->date.day);
            // The selected day carries the view's focus.
            if (e->state & kCellSelected)
                e->SetFocusPart();
            ++cell;
        } else if (e->kind == XCalenderElement::Link && e->sub == 1) {
            e->text = QString::asprintf("%04d年%d月", shown.year, shown.month);
        } else if (e->kind == XCalenderElement::Link && e->sub == 0) {
            e->Enable(month_.TodayLinkEnabled());
        }
    }
    for (auto& e : yearElements_) {
        if (e->kind == XCalenderElement::Link && e->sub == 2) {
            e->text = QString::asprintf("%04d年", yearShown_);
        } else if (e->kind == XCalenderElement::MonthCell) {
            e->state = e->sub == yearSelectedMonth_ ? kCellSelected : 0u;
            if (e->state & kCellSelected)
                e->SetFocusPart();
        }
    }
    update();
}

void DoxCalenderWindow::SetDateText(const std::wstring& text)
{
    const CalendarDate today = Today();
    month_.SetToday(today);
    DateTimeParts parts;
    InitDateTimeParts(parts, text.c_str());
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ParseDateText(parts, year, month, day)) {
        year = today.year;
        month = today.month;
        day = today.day;
    }
    month_.SetDate(day, month, year);
    Refresh();
}

void DoxCalenderWindow::ShowView(bool month)
{
    XTopWindowBase& next = month ? monthView_ : yearView_;
    if (month) {
        if (current_ == &yearView_)
            month_.SetDate(0, yearSelectedMonth_, yearShown_);
    } else {
        yearShown_ = month_.Shown().year;
        yearSelectedMonth_ = month_.Shown().month;
    }
    if (current_ && current_ != &next) {
        // The view left behind forgets its hover and pressed looks.
        for (auto& e : current_ == &monthView_ ? monthElements_ : yearElements_)
            e->OnCancelMode();
        current_->Enable(false);
    }
    current_ = &next;
    current_->Enable(true);
    Refresh();
    const QPoint cursor = mapFromGlobal(QCursor::pos());
    current_->OnMouseMove(0, cursor.x(), cursor.y());
}

void DoxCalenderWindow::Position(const QRect& field)
{
    const QSize size = client_ + QSize(2, 2);
    int y = field.bottom() + 1;
    QScreen* screen = QGuiApplication::screenAt(field.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const int workBottom = screen ? screen->availableGeometry().bottom() + 1 : y + size.height();
    if (field.top() + field.height() + size.height() > workBottom)
        y = field.top() - size.height();
    setGeometry(field.left(), y, size.width(), size.height());
    shadow_.Place(this, field.left(), y, size.width(), size.height());
}

int DoxCalenderWindow::Track(const QRect& field, const QRect& blind)
{
    if (open_) {
        ShowView(true);
        Position(field);
        return 2;
    }
    open_ = true;
    const plat::SystemTime now = plat::LocalNow();
    hour_ = now.hour;
    minute_ = now.minute;
    second_ = now.second;
    ShowView(true);
    shadow_.Create(parentWidget());
    Position(field);
    show();
    const QPointer<DoxCalenderWindow> self(this);
    const int result = DoTrackPopWindow(
        this, RECT{blind.left(), blind.top(), blind.left() + blind.width(), blind.top() + blind.height()});
    if (!self)
        return 0; // destroyed with its owner while it was open
    // Closing hides the window and drops the shadow; the elements stay for the
    // next opening.
    hide();
    shadow_.Destroy();
    ShowView(true);
    open_ = false;
    return result == 1 ? 1 : 0;
}

void DoxCalenderWindow::End(int result)
{
    EndPopWindow(result);
}

void DoxCalenderWindow::Click(const XCalenderElement& element)
{
    const CalendarDate today = month_.Today();
    if (!IsYearView()) {
        switch (element.kind) {
        case XCalenderElement::Arrow:
            month_.StepMonth(element.sub == 0 ? -1 : 1);
            Refresh();
            break;
        case XCalenderElement::Day:
            month_.SetDate(element.date.day, element.date.month, element.date.year);
            Refresh();
            End(1);
            break;
        case XCalenderElement::Link:
            if (element.sub == 0) {
                month_.SetDate(today.day, today.month, today.year);
                Refresh();
                End(1);
            } else {
                ShowView(false);
            }
            break;
        default:
            break;
        }
        return;
    }
    switch (element.kind) {
    case XCalenderElement::Arrow:
        yearShown_ = StepYear(yearShown_, element.sub == 0 ? -1 : 1);
        Refresh();
        break;
    case XCalenderElement::MonthCell:
        yearSelectedMonth_ = element.sub;
        ShowView(true);
        break;
    case XCalenderElement::Link:
        if (element.sub == 0) {
            month_.SetDate(today.day, today.month, today.year);
            yearShown_ = today.year;
            yearSelectedMonth_ = today.month;
            ShowView(true);
            End(1);
        } else {
            ShowView(true);
        }
        break;
    default:
        break;
    }
}

void DoxCalenderWindow::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const uint32_t flags = plat::KeyStateFromQt(event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton)
        current_->OnLButtonDown(flags, p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        current_->OnRButtonDown(flags, p.x(), p.y());
}

void DoxCalenderWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (!current_->OnMouseMove(plat::KeyStateFromQt(event->modifiers(), event->buttons()), p.x(), p.y()))
        current_->MouseLeftHost(0, p.x(), p.y());
}

void DoxCalenderWindow::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    const uint32_t flags = plat::KeyStateFromQt(event->modifiers(), event->buttons());
    if (event->button() == Qt::LeftButton)
        current_->OnLButtonUp(flags, p.x(), p.y());
    else if (event->button() == Qt::RightButton)
        current_->OnRButtonUp(flags, p.x(), p.y());
}

void DoxCalenderWindow::leaveEvent(QEvent* /*event*/)
{
    current_->MouseLeftHost(0, -1, -1);
}

void DoxCalenderWindow::PaintElement(QPainter& p, const XCalenderElement& e) const
{
    const QRect r = e.Rect();
    switch (e.kind) {
    case XCalenderElement::Arrow: {
        if (e.pressed || e.hover)
            HotBackground(p, r, e.pressed);
        const int x = (r.left() + r.right() + 1 - 8) / 2 + 1;
        const int y = (r.top() + r.bottom() + 1 - 8) / 2 + 1;
        QPolygon arrow;
        if (e.sub == 0)
            arrow << QPoint(x + 3, y) << QPoint(x, y + 3) << QPoint(x + 3, y + 6);
        else
            arrow << QPoint(x, y) << QPoint(x + 3, y + 3) << QPoint(x, y + 6);
        const QColor ink = e.pressed ? kBack : kInk;
        p.setPen(ink);
        p.setBrush(ink);
        p.drawPolygon(arrow);
        break;
    }
    case XCalenderElement::Link:
        p.setFont(e.sub == 1 || e.sub == 2 ? header_ : (e.hover || e.pressed ? underlined_ : normal_));
        if (e.sub != 0 && (e.hover || e.pressed)) {
            QFont f = header_;
            f.setUnderline(true);
            p.setFont(f);
        }
        p.setPen(e.pressed ? QColor(248, 176, 72) : e.hover ? QColor(160, 0, 160) : kInk);
        p.drawText(r, Qt::AlignCenter, e.text);
        break;
    case XCalenderElement::Weekday:
        p.setFont(normal_);
        p.setPen(kInk);
        p.drawText(r, Qt::AlignCenter, e.text);
        break;
    default: {
        if (e.pressed || e.hover) {
            HotBackground(p, r, e.pressed);
        } else if (e.state & kCellSelected) {
            const QRect upper(r.left(), r.top(), r.width(), r.height() / 2);
            const QRect lower(r.left(), upper.bottom() + 1, r.width(), r.height() - upper.height());
            Gradient(p, upper, kSelTop, kSelBottom);
            Gradient(p, lower, kSelBottom, kSelTop);
            p.setPen(kSelFrame);
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        p.setFont(normal_);
        p.setPen(e.kind == XCalenderElement::Day && (e.state & kCellOtherMonth) ? kOtherInk : kDayInk);
        p.drawText(r, Qt::AlignCenter, e.text);
        if (e.state & kCellToday) {
            p.setPen(QPen(kToday, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(1, 1, -2, -2));
        }
        break;
    }
    }
}

void DoxCalenderWindow::paintEvent(QPaintEvent* /*event*/)
{
    try {
        CPaintDCX dc(this);
        dc.FrameRect(RECT{0, 0, width(), height()}, CBrush(plat::FromQColor(kFrame)));
        dc.FillSolidRect(1, 1, client_.width(), client_.height(), plat::FromQColor(kBack));
        current_->Paint(dc);
        // The focus part (the selected day or month) carries the focus rectangle.
        if (XWindowBase* focus = current_->GetFocusPart(); focus && focus->IsEnabled())
            DrawFocusRect(dc, focus->GetRect());
    } catch (const DoxResourceException&) {
    }
}
