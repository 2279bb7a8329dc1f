#include "DoxCalenderWindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "Clock.h"
#include "DateTimeText.h"

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

DoxCalenderWindow::DoxCalenderWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), month_(Today())
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
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

DoxCalenderWindow::~DoxCalenderWindow() = default;

void DoxCalenderWindow::LayOut()
{
    const int c = char_.width();
    const int h = char_.height();
    const int w = client_.width();
    auto common = [&](std::vector<CalendarElement>& view, int headerSub) {
        view.clear();
        CalendarElement header;
        header.kind = CalendarElement::Link;
        header.sub = headerSub;
        header.rect = QRect((w - 16 * c) / 2, 8, 16 * c, h + 8);
        view.push_back(header);
        CalendarElement back;
        back.kind = CalendarElement::Arrow;
        back.sub = 0;
        back.rect = QRect(8, 8, 20, 20);
        view.push_back(back);
        CalendarElement forward = back;
        forward.sub = 1;
        forward.rect = QRect(w - 28, 8, 20, 20);
        view.push_back(forward);
        CalendarElement today;
        today.kind = CalendarElement::Link;
        today.sub = 0;
        today.text = Text(L"转到今天");
        today.rect = QRect((w - 10 * c) / 2, client_.height() - 8 - (h + 8), 10 * c, h + 8);
        view.push_back(today);
    };
    common(monthElements_, 1);
    const int left = (w - 28 * c) / 2;
    for (int i = 0; i < 7; ++i) {
        CalendarElement title;
        title.kind = CalendarElement::Weekday;
        title.sub = i;
        title.text = Text(kWeekdays[i]);
        title.rect = QRect(left + i * 4 * c, 36, 4 * c, h + 8);
        monthElements_.push_back(title);
    }
    const int daysTop = 36 + h + 8 + 8;
    for (int i = 0; i < 42; ++i) {
        CalendarElement day;
        day.kind = CalendarElement::Day;
        day.rect = QRect(left + (i % 7) * 4 * c, daysTop + (i / 7) * (h + 8), 4 * c, h + 8);
        monthElements_.push_back(day);
    }
    common(yearElements_, 2);
    const int cellWidth = 28 * c / 3;
    const int cellHeight = 7 * (h + 8) / 4;
    for (int i = 0; i < 12; ++i) {
        CalendarElement cell;
        cell.kind = CalendarElement::MonthCell;
        cell.sub = i + 1;
        cell.text = Text(kMonths[i]);
        cell.rect = QRect(left + (i % 3) * cellWidth, 36 + (i / 3) * cellHeight, cellWidth, cellHeight);
        yearElements_.push_back(cell);
    }
}

const std::vector<CalendarElement>& DoxCalenderWindow::Elements() const
{
    return yearView_ ? yearElements_ : monthElements_;
}

void DoxCalenderWindow::Refresh()
{
    const CalendarDate shown = month_.Shown();
    const CalendarGrid grid = month_.Grid();
    size_t cell = 0;
    for (CalendarElement& e : monthElements_) {
        if (e.kind == CalendarElement::Day) {
            e.date = grid[cell].date;
            e.state = grid[cell].state;
            e.text = QString::number(e.date.day);
            ++cell;
        } else if (e.kind == CalendarElement::Link && e.sub == 1) {
            e.text = QString::asprintf("%04d年%d月", shown.year, shown.month);
        } else if (e.kind == CalendarElement::Link && e.sub == 0) {
            e.enabled = month_.TodayLinkEnabled();
        }
    }
    for (CalendarElement& e : yearElements_) {
        if (e.kind == CalendarElement::Link && e.sub == 2)
            e.text = QString::asprintf("%04d年", yearShown_);
        else if (e.kind == CalendarElement::MonthCell)
            e.state = e.sub == yearSelectedMonth_ ? kCellSelected : 0u;
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
    for (CalendarElement& e : yearView_ ? yearElements_ : monthElements_) {
        e.hover = false;
        e.pressed = false;
    }
    if (month) {
        if (yearView_)
            month_.SetDate(0, yearSelectedMonth_, yearShown_);
    } else {
        yearShown_ = month_.Shown().year;
        yearSelectedMonth_ = month_.Shown().month;
    }
    yearView_ = !month;
    focus_ = -1;
    Refresh();
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
    ShowView(true);
    shadow_.Create(parentWidget());
    Position(field);
    show();
    const int result = DoTrackPopWindow(
        this, RECT{blind.left(), blind.top(), blind.left() + blind.width(), blind.top() + blind.height()});
    // Closing hides the window and drops the shadow; the elements stay for the
    // next opening.
    hide();
    shadow_.Destroy();
    yearView_ = false;
    open_ = false;
    return result == 1 ? 1 : 0;
}

void DoxCalenderWindow::End(int result)
{
    EndPopWindow(result);
}

void DoxCalenderWindow::Click(const CalendarElement& element)
{
    if (!element.enabled)
        return;
    const CalendarDate today = month_.Today();
    if (!yearView_) {
        switch (element.kind) {
        case CalendarElement::Arrow:
            month_.StepMonth(element.sub == 0 ? -1 : 1);
            Refresh();
            break;
        case CalendarElement::Day:
            month_.SetDate(element.date.day, element.date.month, element.date.year);
            Refresh();
            End(1);
            break;
        case CalendarElement::Link:
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
    case CalendarElement::Arrow:
        yearShown_ = StepYear(yearShown_, element.sub == 0 ? -1 : 1);
        Refresh();
        break;
    case CalendarElement::MonthCell:
        yearSelectedMonth_ = element.sub;
        ShowView(true);
        break;
    case CalendarElement::Link:
        if (element.sub == 0) {
            month_.SetDate(today.day, today.month, today.year);
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

CalendarElement* DoxCalenderWindow::Find(QPoint point)
{
    const QPoint client = point - QPoint(1, 1);
    for (CalendarElement& e : yearView_ ? yearElements_ : monthElements_) {
        if (e.kind != CalendarElement::Weekday && e.enabled && e.rect.contains(client))
            return &e;
    }
    return nullptr;
}

const CalendarElement* DoxCalenderWindow::ElementAt(QPoint point) const
{
    return const_cast<DoxCalenderWindow*>(this)->Find(point);
}

void DoxCalenderWindow::mousePressEvent(QMouseEvent* event)
{
    CalendarElement* e = Find(event->position().toPoint());
    auto& view = yearView_ ? yearElements_ : monthElements_;
    focus_ = e ? static_cast<int>(e - view.data()) : -1;
    if (e && event->button() == Qt::LeftButton)
        e->pressed = true;
    update();
}

void DoxCalenderWindow::mouseMoveEvent(QMouseEvent* event)
{
    CalendarElement* hot = Find(event->position().toPoint());
    for (CalendarElement& e : yearView_ ? yearElements_ : monthElements_) {
        if (&e != hot) {
            e.hover = false;
            e.pressed = false;
        }
    }
    if (hot)
        hot->hover = true;
    update();
}

void DoxCalenderWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    CalendarElement* e = Find(event->position().toPoint());
    if (!e || !e->pressed)
        return;
    e->pressed = false;
    e->hover = true;
    const CalendarElement clicked = *e;
    update();
    Click(clicked);
}

void DoxCalenderWindow::leaveEvent(QEvent* /*event*/)
{
    for (CalendarElement& e : yearView_ ? yearElements_ : monthElements_) {
        e.hover = false;
        e.pressed = false;
    }
    update();
}

void DoxCalenderWindow::PaintElement(QPainter& p, const CalendarElement& e) const
{
    const QRect& r = e.rect;
    switch (e.kind) {
    case CalendarElement::Arrow: {
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
    case CalendarElement::Link:
        if (e.sub == 0 && !e.enabled)
            break;
        p.setFont(e.sub == 1 || e.sub == 2 ? header_ : (e.hover || e.pressed ? underlined_ : normal_));
        if (e.sub != 0 && (e.hover || e.pressed)) {
            QFont f = header_;
            f.setUnderline(true);
            p.setFont(f);
        }
        p.setPen(e.pressed ? QColor(248, 176, 72) : e.hover ? QColor(160, 0, 160) : kInk);
        p.drawText(r, Qt::AlignCenter, e.text);
        break;
    case CalendarElement::Weekday:
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
        p.setPen(e.kind == CalendarElement::Day && (e.state & kCellOtherMonth) ? kOtherInk : kDayInk);
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
    QPainter p(this);
    p.setPen(kFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.translate(1, 1);
    p.fillRect(QRect(QPoint(0, 0), client_), kBack);
    const auto& view = Elements();
    for (const CalendarElement& e : view)
        PaintElement(p, e);
    // The selected day (or month) carries the focus rectangle.
    for (const CalendarElement& e : view) {
        if ((e.kind == CalendarElement::Day || e.kind == CalendarElement::MonthCell) && (e.state & kCellSelected)) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(e.rect.adjusted(0, 0, -1, -1));
        }
    }
}
