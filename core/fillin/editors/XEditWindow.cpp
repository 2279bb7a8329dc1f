#include "XEditWindow.h"

#include <QPointer>
#include <QWidget>

#include "EditClipboard.h"
#include "Messages.h"
#include "SystemColors.h"
#include "XMenu.h"

namespace
{
constexpr uint32_t kCellFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
} // namespace

const wchar_t* const XEditWindow::kTooLongTyped = L"输入的内容超出了字段能容纳的长度";
const wchar_t* const XEditWindow::kTooLongPasted = L"粘贴的内容超出了字段能容纳的长度，未粘贴";

XEditWindow::XEditWindow()
{
    text_.SetMeasure([this](wchar_t ch) { return Measure(ch); });
}

XEditWindow::~XEditWindow() = default;

bool XEditWindow::OnCreate()
{
    if (!measure_.GetSafeHdc()) {
        if (!measureBitmap_.CreateBitmap(1, 1) || !measure_.CreateCompatibleDC(nullptr))
            return false;
        measure_.SelectObject(&measureBitmap_);
    }
    text_.SetLineHeight(measure_.GetTextExtent(L"ABC", 3).cy);
    return true;
}

SIZE XEditWindow::Measure(wchar_t ch)
{
    if (!measure_.GetSafeHdc())
        return SIZE{0, text_.LineHeight()};
    return measure_.GetTextExtent(&ch, 1);
}

void XEditWindow::Changed()
{
    modified_ = true;
    Invalidate();
    OnTextChanged();
}

bool XEditWindow::InsertWhole(const std::wstring& text, const wchar_t* reason)
{
    if (text_.Insert(text, false)) {
        Changed();
        return true;
    }
    if (!text.empty())
        OnRefused(reason);
    return false;
}

void XEditWindow::Place(const RECT& rect)
{
    const bool sized = rect.right - rect.left != rect_.right - rect_.left || rect.bottom - rect.top != rect_.bottom - rect_.top;
    Invalidate();
    if (sized)
        SetRect(rect);
    else
        rect_ = rect;
    text_.SetBox(rect);
    UpdateTextOffset();
    text_.Relayout();
    Invalidate();
}

void XEditWindow::OnSetFocus()
{
    focused_ = true;
    Invalidate();
}

void XEditWindow::OnKillFocus()
{
    focused_ = false;
    composing_ = false;
    Invalidate();
}

void XEditWindow::OnCancelMode()
{
    ReleaseCapturePart();
}

void XEditWindow::UpdateTextOffset()
{
    const int height = rect_.bottom - rect_.top;
    const bool centred = !text_.IsMultiLine() && (format_ & DT_VCENTER) && (format_ & DT_SINGLELINE);
    text_.SetTextOffset(0, centred ? (height - text_.LineHeight()) / 2 : 0);
}

void XEditWindow::SetFont(const CFont* font)
{
    font_ = font ? *font : CFont();
    measure_.SelectObject(font_);
    const int before = text_.LineHeight();
    text_.SetLineHeight(measure_.GetTextExtent(L"ABC", 3).cy);
    UpdateTextOffset();
    if (text_.LineHeight() != before)
        text_.Relayout();
    Invalidate();
}

QFont XEditWindow::EditorQFont() const
{
    return measure_.DeviceFont();
}

void XEditWindow::SetMultiLine(bool multiLine)
{
    text_.SetMultiLine(multiLine);
    UpdateTextOffset();
}

void XEditWindow::SetDrawFormat(uint32_t format)
{
    format_ = format;
    UpdateTextOffset();
    text_.Relayout();
}

void XEditWindow::SetMaxLength(uint32_t length)
{
    text_.SetMaxLength(length);
}

void XEditWindow::SetText(const std::wstring& text)
{
    text_.Clear();
    text_.Insert(text_.Normalise(text), true);
    text_.MoveCaret(0, false);
    modified_ = false;
    Invalidate();
}

QRect XEditWindow::CaretRect() const
{
    const POINT at = text_.CaretPoint();
    return QRect(at.x, at.y, 1, text_.LineHeight());
}

void XEditWindow::OnEraseBackground(CDC& dc)
{
    if (enabled_)
        dc.FillSolidRect(rect_, background_);
}

void XEditWindow::OnPaint(CDC& dc)
{
    if (!enabled_)
        return;
    const CFont oldFont = dc.SelectObject(font_);
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    for (const EditGlyph& g : text_.Glyphs()) {
        if (g.ch == L'\r' || g.ch == L'\n')
            continue;
        RECT cell{g.x, g.y, g.x + g.width, g.y + text_.LineHeight()};
        if (g.selected)
            dc.FillSolidRect(cell, GetSysColor(COLOR_HIGHLIGHT));
        dc.SetTextColor(g.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : textColour_);
        dc.DrawText(&g.ch, 1, &cell, kCellFormat);
    }
    dc.SetBkMode(oldMode);
    dc.SelectObject(oldFont);
    if (focused_ && !composing_) {
        const POINT at = text_.CaretPoint();
        dc.FillSolidRect(at.x, at.y, 1, text_.LineHeight(), 0);
    }
}

bool XEditWindow::OnKeyDown(uint32_t key, uint32_t /*repeat*/, uint32_t keyState)
{
    const bool shift = keyState & plat::MK_SHIFT;
    const bool ctrl = keyState & plat::MK_CONTROL;
    switch (key) {
    case plat::VK_TAB:
    case plat::VK_ESCAPE:
        return false;
    case plat::VK_RETURN:
        return text_.IsMultiLine() && !ctrl;
    case plat::VK_LEFT:
    case plat::VK_RIGHT:
    case plat::VK_HOME:
    case plat::VK_END:
    case plat::VK_UP:
    case plat::VK_DOWN:
        if (!text_.MoveByKey(static_cast<int>(key), shift))
            return false;
        Invalidate();
        return true;
    case plat::VK_DELETE:
        // Shift+Delete cuts, as in every edit box of the desktop.
        if (shift && !ctrl)
            Cut();
        else if (text_.DeleteForward())
            Changed();
        return true;
    case plat::VK_INSERT:
        if (shift && !ctrl)
            Paste();
        else if (ctrl && !shift)
            Copy();
        return true;
    default:
        break;
    }
    if (ctrl) {
        if (key == 'C')
            Copy();
        else if (key == 'V')
            Paste();
        else if (key == 'X')
            Cut();
        else if (key == 'A')
            SelectAll();
    }
    return true;
}

bool XEditWindow::OnChar(uint32_t ch, uint32_t /*repeat*/, uint32_t keyState)
{
    if (ch == plat::VK_BACK) {
        if (text_.DeleteBack())
            Changed();
        return true;
    }
    if (ch == plat::VK_TAB || ch == plat::VK_ESCAPE)
        return false;
    if (ch == plat::VK_RETURN) {
        if (!text_.IsMultiLine() || (keyState & plat::MK_CONTROL))
            return false;
        InsertWhole(L"\r\n", kTooLongTyped);
        return true;
    }
    if (ch < 32)
        return true;
    InsertWhole(std::wstring(1, static_cast<wchar_t>(ch)), kTooLongTyped);
    return true;
}

void XEditWindow::OnImeStartComposition()
{
    composing_ = true;
    Invalidate();
}

void XEditWindow::OnImeEndComposition()
{
    composing_ = false;
    Invalidate();
}

void XEditWindow::OnImeResult(const std::wstring& text)
{
    InsertWhole(text_.Normalise(text), kTooLongTyped);
}

void XEditWindow::DoLButtonDown(uint32_t flags, int x, int y)
{
    SetFocusPart();
    SetCapturePart();
    const int index = text_.HitTest(POINT{x, y});
    text_.MoveCaret(index, (flags & plat::MK_SHIFT) != 0);
    Invalidate();
}

void XEditWindow::DoMouseMove(uint32_t flags, int x, int y)
{
    if (!(flags & plat::MK_LBUTTON) || !HasCapture())
        return;
    text_.MoveCaret(text_.HitTest(POINT{x, y}), true);
    Invalidate();
}

void XEditWindow::DoLButtonUp(uint32_t /*flags*/, int /*x*/, int /*y*/)
{
    ReleaseCapturePart();
}

void XEditWindow::SetCursor()
{
    if (host_)
        host_->setCursor(Qt::IBeamCursor);
}

void XEditWindow::DoLButtonDblClk(uint32_t /*flags*/, int /*x*/, int /*y*/)
{
    text_.SelectWord();
    Invalidate();
}

std::vector<EditMenuItem> XEditWindow::MenuItems()
{
    const bool selection = text_.HasSelection();
    const bool all = text_.SelStart() == 0 && text_.SelEnd() == text_.Count();
    return {{L"剪切(&T)", 0, selection},
            {L"复制(&C)", 1, selection},
            {L"粘贴(&P)", 2, CurrentEditClipboard().HasText()},
            {L"删除(&D)", 3, selection},
            {L"", -1, false},
            {L"全选(&A)", 4, !all}};
}

void XEditWindow::RunMenuCommand(int id)
{
    switch (id) {
    case 0:
        Cut();
        break;
    case 1:
        Copy();
        break;
    case 2:
        Paste();
        break;
    case 3:
        Clear();
        break;
    case 4:
        SelectAll();
        break;
    default:
        break;
    }
}

bool XEditWindow::Copy()
{
    return CurrentEditClipboard().SetText(text_.SelectedText());
}

void XEditWindow::Cut()
{
    // The selection goes only once it is safely on the clipboard.
    if (!Copy())
        return;
    Clear();
}

void XEditWindow::Clear()
{
    if (text_.DeleteSelection())
        Changed();
    else
        Invalidate();
}

void XEditWindow::Paste()
{
    std::wstring text;
    if (!CurrentEditClipboard().GetText(text))
        return;
    InsertWhole(text_.Normalise(text), kTooLongPasted);
}

void XEditWindow::SelectAll()
{
    text_.SelectAll();
    Invalidate();
}

void XEditWindow::ReplaceAll(const std::wstring& text)
{
    text_.SelectAll();
    if (text.empty()) {
        Clear();
        return;
    }
    // A value that does not fit leaves the text as it was.
    if (InsertWhole(text_.Normalise(text), kTooLongTyped))
        text_.SelectAll();
}

void XEditWindow::DoRButtonUp(uint32_t /*flags*/, int x, int y)
{
    if (!host_)
        return;
    XMenu menu;
    if (!menu.Create(host_))
        return;
    for (const EditMenuItem& item : MenuItems()) {
        if (item.id < 0)
            menu.AddSeparator();
        else
            menu.AddItem(QString::fromWCharArray(item.text), item.id, item.enabled);
    }
    const QPoint at = host_->mapToGlobal(QPoint(x, y));
    // The page (and this edit with it) may be destroyed while the menu is open.
    const QPointer<QWidget> host(host_);
    if (menu.Track(at.x(), at.y()) == 1 && host && menu.GetHotItem() >= 0)
        RunMenuCommand(menu.GetItemId(menu.GetHotItem()));
}
