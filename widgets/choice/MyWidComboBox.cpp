#include "MyWidComboBox.h"

#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

#include <QPointer>
#include <QWidget>

using brindle::MakeRect;

// ---- Combo box.

MyWidComboBox::MyWidComboBox() = default;

void MyWidComboBox::SetText(const wchar_t* text)
{
    text_ = text ? text : L"";
    index_ = list_.FindString(text_.c_str());
}

int MyWidComboBox::AddString(const wchar_t* text, unsigned long value)
{
    int index = list_.AddItem(text, static_cast<long>(value));
    if (text && text_ == text)
        index_ = index;
    return index;
}

void MyWidComboBox::RemoveAll()
{
    list_.RemoveAll();
    index_ = -1;
    text_.clear();
}

int MyWidComboBox::SetCurSel(int index)
{
    int old = index_;
    std::wstring text;
    if (!list_.GetItemText(index, text))
        return old;
    index_ = index;
    text_ = text;
    return old;
}

unsigned long MyWidComboBox::GetItemData(int index) const
{
    long value = 0;
    if (!list_.GetItemData(index, value))
        return 0xFFFFFFFF;
    return static_cast<unsigned long>(value);
}

const wchar_t* MyWidComboBox::GetItemString(int index)
{
    if (!list_.GetItemText(index, itemBuffer_))
        itemBuffer_.clear();
    return itemBuffer_.c_str();
}

void MyWidComboBox::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    RECT area = brindle::InflatedRect(real, -3, -3);
    area.right -= 15;
    brindle::DrawChevron(dc, real.right - 10, (real.top + real.bottom) / 2, 7, false, dropColor_);
    COLORREF old = ImpTextColor(dc);
    if (colorList_) {
        long color = 0;
        if (brindle::ParseColorText(text_, color)) {
            if (color == -1) {
                dc.DrawText(L"<透明色>", -1, &area, kWidTextFormat);
            } else if (color != -2) {
                COLORREF c = static_cast<COLORREF>(color);
                dc.FillSolidRect(area, c);
                Draw3dRect(dc, area, c ^ 0x808080, c ^ 0x808080);
            }
        }
    } else {
        if (!text_.empty())
            dc.DrawText(text_.c_str(), -1, &area, kWidTextFormat);
    }
    RestoreTextColor(dc, old);
}

void MyWidComboBox::DoDbClick(RECT&) {}

void MyWidComboBox::EditOrDrop(RECT& real, bool fromKey)
{
    RECT drop = real;
    CalcDropButtonRect(drop);
    if (editable_ && (fromKey || GetCursorPoint().x < drop.left))
        DoEditText(real);
    else
        DoComboBox(real);
}

void MyWidComboBox::DoClick_d(RECT& real)
{
    EditOrDrop(real, false);
}

void MyWidComboBox::DoKey_return(RECT& real, int up)
{
    if (!up)
        EditOrDrop(real, true);
}

int MyWidComboBox::DoKey_find(const wchar_t* key)
{
    std::wstring current;
    if (!list_.GetItemText(index_, current))
        return 0;
    return FindCompare(key, current.c_str());
}

int MyWidComboBox::DoEditText(RECT& real)
{
    RECT area = brindle::InflatedRect(real, -3, -3);
    CalcEditRect(area);
    SetReleasable(0);
    std::optional<std::wstring> text = RunInPlaceEdit(GetDepot(), area, text_, limit_, false);
    if (text) {
        index_ = list_.FindString(text->c_str());
        if (*text != text_) {
            text_ = *text;
            Update();
            if (sink_)
                sink_->OnWid_Changed(GetID());
        }
    }
    SetReleasable(1);
    return text ? 1 : 0;
}

int MyWidComboBox::DoComboBox(RECT& real)
{
    QWidget* wnd = GetDepotWnd();
    if (!wnd || list_.IsEmpty())
        return 0;
    if (editable_)
        index_ = list_.FindString(text_.c_str());
    list_.SetCurSel(index_);
    list_.SetColorList(colorList_);
    wnd->setFocus();
    QPoint topLeft = wnd->mapToGlobal(QPoint(real.left, real.top));
    RECT screen = MakeRect(topLeft.x(), topLeft.y(), topLeft.x() + brindle::RectWidth(real),
                           topLeft.y() + brindle::RectHeight(real));
    SetReleasable(0);
    // The list that holds this combo box may be deleted while the drop list is open,
    // and this object with it.
    const QPointer<MyChoiceWindow> alive(&list_);
    int result = list_.TrackPopWindow(screen.left, screen.top, brindle::RectWidth(screen),
                                      brindle::RectHeight(screen), wnd, screen, GetFontHandle());
    if (!alive)
        return KPWR_CANCEL;
    // Only a chosen, existing item replaces the text: a list closed without a choice
    // or emptied meanwhile leaves an edited text as it is.
    std::wstring chosen;
    int sel = list_.GetCurSel();
    if (result == 1 && list_.GetItemText(sel, chosen)) {
        index_ = sel;
        if (chosen != text_) {
            text_ = chosen;
            Update();
            if (sink_)
                sink_->OnWid_Changed(GetID());
        }
    }
    SetReleasable(1);
    return result;
}
