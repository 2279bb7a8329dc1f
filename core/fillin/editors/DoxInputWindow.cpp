#include "DoxInputWindow.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "DataField.h"
#include "DateTimeText.h"
#include "DoxControl.h"
#include "DoxCalenderWindow.h"
#include "DoxChoiceWindow.h"
#include "DrawUnits.h"
#include "GdiShapes.h"
#include "GradientFill.h"
#include "Messages.h"
#include "SqlCommand.h"
#include "SqlStatement.h"
#include "SystemColors.h"
#include "WindowDC.h"

namespace
{
constexpr COLORREF kFramePen = 0x0096775C;
constexpr COLORREF kOutline = 0x0069BDFF;
constexpr COLORREF kButtonTop = 0x00FDECDD;
constexpr COLORREF kButtonBottom = 0x00FDDCC2;

} // namespace

bool DoxEditWindow::OnChar(uint32_t ch, uint32_t repeat, uint32_t keyState)
{
    const bool handled = XEditWindow::OnChar(ch, repeat, keyState);
    // A typed character or a Backspace changes what the history list matches.
    if (handled && (ch >= 32 || ch == plat::VK_BACK))
        owner_->UpdateHistory();
    return handled;
}

void DoxEditWindow::OnImeEndComposition()
{
    XEditWindow::OnImeEndComposition();
    owner_->UpdateHistory();
}

void DoxEditWindow::OnRefused(const wchar_t* reason)
{
    owner_->ShowRefusal(reason);
}

void DoxEditWindow::OnTextChanged()
{
    owner_->TextChanged();
}

DoxInputWindow::DoxInputWindow() : edit_(this) {}

DoxInputWindow::~DoxInputWindow() = default;

bool DoxInputWindow::Create(QWidget* host)
{
    mode_ = 0;
    check_.SetOnChanged([this] {
        // A check box value is stored on every toggle; Esc cannot take it back.
        if (target_)
            target_->ExchangeEditor(this, 1);
    });
    return XWindowBase::Create(nullptr, RECT{}, host, false, 0) &&
           edit_.Create(this, RECT{}, nullptr, false, 1) && check_.Create(this, RECT{}, nullptr, false, 2);
}

void DoxInputWindow::TearDown()
{
    if (history_ && history_->IsOpen())
        history_->EndTrack(0);
    SetTarget(nullptr, false);
    delete history_.data();
    delete calendar_.data();
    Destroy();
}

DoxChoiceWindow& DoxInputWindow::History()
{
    if (!history_)
        history_ = new DoxChoiceWindow(host_);
    return *history_;
}

DoxCalenderWindow& DoxInputWindow::Calendar()
{
    if (!calendar_)
        calendar_ = new DoxCalenderWindow(host_);
    return *calendar_;
}

bool DoxInputWindow::IsPopupOpen() const
{
    return pressedButton_ != 0 || (history_ && history_->IsOpen()) || (calendar_ && calendar_->IsOpen());
}

XWindowBase* DoxInputWindow::KeyPart() const
{
    XWindowBase* part = GetFocusPart();
    return visible_ && enabled_ && part && part->IsEnabled() && part->IsVisible() ? part : nullptr;
}

void DoxInputWindow::Open(const CFont* font, uint32_t style, int x, int y, int width, int height)
{
    mode_ = style;
    place_ = {x, y, width, height};
    auto dc = MakeClientDCX(2, 100);
    POINT corners[2] = {{x, y}, {x + width, y - height}};
    dc->LPtoDP(corners, 2);
    const int left = std::min(corners[0].x, corners[1].x);
    const int top = std::min(corners[0].y, corners[1].y);
    int cx = std::abs(corners[1].x - corners[0].x);
    const int cy = std::abs(corners[1].y - corners[0].y);
    if (font && (style & kDateBit) && IsText()) {
        // A date field's editor takes at least a whole date (and time).
        CBitmap bitmap;
        CDC measure;
        if (bitmap.CreateBitmap(1, 1) && measure.CreateCompatibleDC(nullptr)) {
            measure.SelectObject(&bitmap);
            measure.SelectObject(*font);
            const wchar_t* sample = (style & kTimeBit) ? L"2010-05-25 11:23:10" : L"2010-05-25";
            cx = std::max(cx, static_cast<int>(measure.GetTextExtent(sample).cx));
        }
    }
    Layout(left - 3, top - 3, cx + 6, cy + 6);
}

void DoxInputWindow::Layout(int x, int y, int cx, int cy)
{
    Invalidate();
    const int right = host_ ? host_->width() : x + cx + 2 * kButtonWidth;
    int width = cx;
    if (IsText()) {
        check_.Enable(false);
        const int bw = (mode_ & kDateBit) ? 2 * kButtonWidth : kButtonWidth;
        width = cx + bw;
        if (x + width >= right)
            x = right - width;
        edit_.Place(RECT{x + 3, y + 3, x + 3 + width - bw - 5, y + 3 + cy - 6});
    } else if (IsCheck()) {
        check_.Invalidate();
        check_.SetRect(RECT{x + 3, y + 3, x + cx - 3, y + cy - 3});
        check_.Invalidate();
    } else {
        edit_.Enable(false);
        check_.Enable(false);
        if (x + cx + kButtonWidth >= right)
            x = right - cx - kButtonWidth;
    }
    const RECT rect{x, y, x + width, y + cy};
    if (rect.right - rect.left != rect_.right - rect_.left || rect.bottom - rect.top != rect_.bottom - rect_.top)
        SetRect(rect);
    else
        rect_ = rect;
    Invalidate();
}

QRect DoxInputWindow::HistoryButton() const
{
    return QRect(rect_.right - kButtonWidth, rect_.top, kButtonWidth, rect_.bottom - rect_.top);
}

QRect DoxInputWindow::CalendarButton() const
{
    return QRect(rect_.right - 2 * kButtonWidth, rect_.top, kButtonWidth, rect_.bottom - rect_.top);
}

void DoxInputWindow::SetEditorFont(const CFont* font)
{
    font_ = font ? *font : CFont();
    if (IsCheck())
        check_.SetFont(font);
    else
        edit_.SetFont(font);
}

void DoxInputWindow::SetText(const std::wstring& text)
{
    loaded_ = text;
    edit_.SetText(text);
}

bool DoxInputWindow::GetText(std::wstring& text) const
{
    // A stored value longer than the box is shown cut; what the operator did not
    // change goes back whole.
    text = edit_.IsModified() ? edit_.Text() : loaded_;
    return !text.empty();
}

void DoxInputWindow::SetMultiLine(bool multiLine)
{
    edit_.SetMultiLine(multiLine);
}

void DoxInputWindow::SetDrawFlags(uint32_t flags)
{
    edit_.SetDrawFormat(flags);
}

void DoxInputWindow::SetMaxLength(int32_t length)
{
    edit_.SetMaxLength(length < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(length));
}

void DoxInputWindow::SetChecked(bool checked)
{
    check_.SetChecked(checked);
}

bool DoxInputWindow::GetChecked() const
{
    return check_.GetChecked();
}

void DoxInputWindow::SetTarget(DoxControlBase* field, bool open)
{
    target_ = field;
    refusalShown_ = false;
    if (!open || !field) {
        if (history_ && history_->IsOpen())
            history_->EndTrack(0);
        edit_.SetText(L"");
        loaded_.clear();
        edit_.Enable(false);
        check_.SetChecked(false);
        check_.Enable(false);
        mode_ = 0;
        target_ = nullptr;
        Invalidate();
        Enable(false);
        Show(false);
        return;
    }
    Show(true);
    Enable(true);
    if (IsText()) {
        edit_.Enable(true);
        edit_.SetFocusPart();
        edit_.SelectAll();
    } else if (IsCheck()) {
        check_.Enable(true);
        check_.SetFocusPart();
    }
    Invalidate();
}

void DoxInputWindow::ShowRefusal(const wchar_t* reason)
{
    DoxControl* control = target_ ? target_->GetControl() : nullptr;
    if (!control)
        return;
    control->ShowTipAt(reason, place_.x, place_.y, place_.width, place_.height);
    refusalShown_ = true;
}

void DoxInputWindow::TextChanged()
{
    if (!refusalShown_ || !target_)
        return;
    refusalShown_ = false;
    target_->HideTip();
}

QRect DoxInputWindow::ScreenRect(const QRect& rect) const
{
    if (!host_)
        return rect;
    return QRect(host_->mapToGlobal(rect.topLeft()), rect.size());
}

bool DoxInputWindow::FillHistory(const wchar_t* text)
{
    DoxChoiceWindow& list = History();
    list.ClearItems();
    DataField* field = target_ ? target_->GetBinding() : nullptr;
    if (!field)
        return false;
    SqlCommand command;
    if (!field->QueryInputHistory(text, command))
        return false;
    SqlStatementRef reader;
    if (!command.ExecuteReader(reader))
        return false;
    while (reader->Next() == 1)
        list.AddItem(reader->ColumnText(0));
    return !list.Items().empty();
}

void DoxInputWindow::OpenHistory(bool typing)
{
    if (!host_)
        return;
    const QRect part(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top);
    const QRect screen = ScreenRect(part);
    DoxChoiceWindow& list = History();
    // The page (and this editor with it) may be destroyed while the list is open.
    const QPointer<QWidget> host(host_);
    const int result =
        list.TrackPopWindow(screen.left(), screen.top(), ScreenRect(HistoryButton()), screen.width(), screen.height(),
                            typing);
    if (!host)
        return;
    const int index = list.GetCurSel();
    if (result == 1 && index >= 0 && index < static_cast<int>(list.Items().size()) && IsEnabled() && IsText())
        edit_.ReplaceAll(list.Items()[static_cast<size_t>(index)]);
}

void DoxInputWindow::OpenCalendar()
{
    if (!host_)
        return;
    DoxCalenderWindow& calendar = Calendar();
    const std::wstring current = edit_.Text();
    calendar.SetDateText(current);
    const QRect part(rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top);
    const QPointer<QWidget> host(host_);
    if (calendar.Track(ScreenRect(part), ScreenRect(CalendarButton())) != 1 || !host || !IsEnabled() ||
        !IsText())
        return;
    const CalendarDate date = calendar.Picked();
    wchar_t text[64];
    if (mode_ & kTimeBit) {
        // The date picked, at the calendar's time.
        swprintf(text, 64, L"%04d-%02d-%02d %02d:%02d:%02d", date.year, date.month, date.day, calendar.PickedHour(),
                 calendar.PickedMinute(), calendar.PickedSecond());
    } else {
        swprintf(text, 64, L"%04d-%02d-%02d", date.year, date.month, date.day);
    }
    edit_.ReplaceAll(text);
}

void DoxInputWindow::UpdateHistory()
{
    const std::wstring text = edit_.Text();
    if (!text.empty() && FillHistory(text.c_str())) {
        OpenHistory(true);
        return;
    }
    if (history_)
        history_->EndTrack(0);
}

void DoxInputWindow::PaintButton(CDC& dc, const QRect& button, int which)
{
    const RECT r{button.left(), button.top() + 1, button.right() + 1, button.bottom()};
    if (pressedButton_ == which) {
        const int mid = (r.top + r.bottom) / 2;
        FillGradientRect(&dc, RECT{r.left, r.top, r.right, mid}, kButtonBottom, kButtonTop, 0);
        FillGradientRect(&dc, RECT{r.left, mid, r.right, r.bottom}, kButtonTop, kButtonBottom, 0);
        Draw3dRect(dc, r, kFramePen, kFramePen);
    } else {
        FillGradientRect(&dc, r, kButtonTop, kButtonBottom, 0);
        FillGradientRect(&dc, RECT{r.left, r.top, r.left + 1, r.bottom}, kOutline, kFramePen, 0);
    }
    // The two button pictures, drawn: an arrow pointing down for the history, a
    // calendar leaf with its binding and days for the calendar.
    QPainter* p = dc.painter();
    if (!p)
        return;
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    const QPoint c = button.center();
    const QColor ink(0, 21, 110);
    if (which == 1) {
        QPolygon arrow;
        arrow << QPoint(c.x() - 4, c.y() - 2) << QPoint(c.x() + 4, c.y() - 2) << QPoint(c.x(), c.y() + 2);
        p->setBrush(ink);
        p->setPen(Qt::NoPen);
        p->drawPolygon(arrow);
    } else {
        const QRect leaf(c.x() - 6, c.y() - 5, 12, 11);
        p->setBrush(Qt::white);
        p->setPen(ink);
        p->drawRect(leaf);
        p->fillRect(QRect(leaf.left(), leaf.top(), leaf.width() + 1, 3), QColor(200, 40, 40));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                p->fillRect(QRect(leaf.left() + 2 + col * 3, leaf.top() + 5 + row * 3, 2, 2), ink);
    }
    p->restore();
}

void DoxInputWindow::OnPaint(CDC& dc)
{
    if (!IsEnabled())
        return;
    const int mid = (rect_.top + rect_.bottom) / 2;
    FillGradientRect(&dc, RECT{rect_.left + 1, rect_.top + 1, rect_.right - 1, mid}, kOutline, kFramePen, 0);
    FillGradientRect(&dc, RECT{rect_.left + 1, mid, rect_.right - 1, rect_.bottom - 1}, kFramePen, kOutline, 0);
    // The gradient shows as a 3-pixel ring between the outline and the inner frame.
    const CPen outline(PS_SOLID, 1, kOutline);
    const CPen frame(PS_SOLID, 1, kFramePen);
    CBrush hollow;
    hollow.CreateHollowBrush();
    const CPen oldPen = dc.SelectObject(outline);
    const CBrush oldBrush = dc.SelectObject(hollow);
    RoundRect(dc, rect_.left, rect_.top, rect_.right, rect_.bottom, 6, 6);
    dc.SelectObject(frame);
    dc.Rectangle(rect_.left + 2, rect_.top + 2, rect_.right - 2, rect_.bottom - 2);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
    if (IsText()) {
        PaintButton(dc, HistoryButton(), 1);
        if (mode_ & kDateBit)
            PaintButton(dc, CalendarButton(), 2);
    }
}

void DoxInputWindow::DoLButtonDown(uint32_t /*flags*/, int x, int y)
{
    if (!IsText() || pressedButton_)
        return;
    const QPointer<QWidget> host(host_);
    if (HistoryButton().contains(x, y)) {
        pressedButton_ = 1;
        Invalidate();
        FillHistory(nullptr);
        OpenHistory();
    } else if ((mode_ & kDateBit) && CalendarButton().contains(x, y)) {
        pressedButton_ = 2;
        Invalidate();
        OpenCalendar();
    }
    if (!host)
        return;
    pressedButton_ = 0;
    Invalidate();
}

void DoxInputWindow::SetCursor()
{
    if (host_)
        host_->setCursor(Qt::ArrowCursor);
}

bool DoxInputWindow::KeyDown(uint32_t key, uint32_t repeat, uint32_t keyState)
{
    XWindowBase* part = KeyPart();
    return part && part->OnKeyDown(key, repeat, keyState);
}

bool DoxInputWindow::KeyUp(uint32_t key, uint32_t repeat, uint32_t keyState)
{
    XWindowBase* part = KeyPart();
    return part && part->OnKeyUp(key, repeat, keyState);
}

bool DoxInputWindow::Char(uint32_t ch, uint32_t repeat, uint32_t keyState)
{
    XWindowBase* part = KeyPart();
    return part && part->OnChar(ch, repeat, keyState);
}

void DoxInputWindow::ImeStartComposition()
{
    if (XWindowBase* part = KeyPart())
        part->OnImeStartComposition();
}

void DoxInputWindow::ImeEndComposition()
{
    if (XWindowBase* part = KeyPart())
        part->OnImeEndComposition();
}

void DoxInputWindow::ImeResult(const std::wstring& text)
{
    if (KeyPart() == &edit_)
        edit_.OnImeResult(text);
}
