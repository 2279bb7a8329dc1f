#include "MyWidgets.h"

#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"


using brindle::MakeRect;
using brindle::RectContains;

namespace
{

constexpr COLORREF kMarkIdle = 0x000F5D38;
constexpr COLORREF kMarkPressed = 0x000FFD38;
constexpr COLORREF kSortMark = 0x808080;

void DrawWidText(CDC& dc, const std::wstring& text, RECT r, unsigned format)
{
    if (!text.empty())
        dc.DrawText(text.c_str(), -1, &r, format);
}

} // namespace

// ---- Label.

MyWidLable::MyWidLable(const wchar_t* text, unsigned format) : text_(text ? text : L""), format_(format) {}

void MyWidLable::SetText(const wchar_t* text)
{
    text_ = text ? text : L"";
}

void MyWidLable::SetTipText(const wchar_t* text)
{
    tip_ = text ? text : L"";
}

void MyWidLable::SetReadOnly(int readOnly, IMyWidEventSink* sink)
{
    readOnly_ = readOnly;
    sink_ = sink;
}

void MyWidLable::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    COLORREF old = ImpTextColor(dc);
    DrawWidText(dc, text_, MakeRect(real.left + 3, real.top + 2, real.right - 3, real.bottom - 2), format_);
    RestoreTextColor(dc, old);
}

void MyWidLable::DoDbClick(RECT&) {}

void MyWidLable::DoClick_d(RECT& real)
{
    DoEditText(real);
}

void MyWidLable::DoKey_return(RECT& real, int up)
{
    if (!up)
        DoEditText(real);
}

int MyWidLable::DoKey_find(const wchar_t* key)
{
    return FindCompare(key, text_.c_str());
}

int MyWidLable::DoEditText(RECT& real)
{
    if (!IsEnable() || !IsVisiable() || readOnly_)
        return 0;
    SetReleasable(0);
    std::optional<std::wstring> text =
        RunInPlaceEdit(GetDepot(), real, text_, limit_, (format_ & DT_WORDBREAK) != 0);
    if (text) {
        text_ = *text;
        Update();
        // A commit is reported whether or not the text changed.
        if (sink_)
            sink_->OnWid_Changed(GetID());
    }
    SetReleasable(1);
    return text ? 1 : 0;
}

// ---- Icon.

MyWidIcon::MyWidIcon(CImageList* list, int index) : index_(index), list_(nullptr)
{
    SetImageList(list);
    index_ = index;
}

void MyWidIcon::SetImageList(CImageList* list)
{
    list_ = list;
    index_ = 0;
    size_ = list ? list->GetImageSize() : SIZE();
}

SIZE MyWidIcon::GetImageSize() const
{
    if (!list_ || index_ < 0 || index_ >= list_->GetImageCount())
        return SIZE();
    return list_->GetImageSize();
}

void MyWidIcon::SetTipText(const wchar_t* text)
{
    tip_ = text ? text : L"";
}

void MyWidIcon::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    if (!list_ || index_ < 0 || index_ >= list_->GetImageCount())
        return;
    RECT r = brindle::InflatedRect(real, -3, -3);
    POINT at;
    at.x = (r.left + r.right) / 2 - size_.cx / 2;
    at.y = (r.top + r.bottom) / 2 - size_.cy / 2;
    list_->Draw(dc, index_, at);
}

void MyWidIcon::DoDbClick(RECT& real)
{
    MyWidObject::DoDbClick(real);
    ReportHovered(sink_, &IMyWidEventSink::OnWid_DbClick);
}

void MyWidIcon::DoClick_d(RECT& real)
{
    MyWidObject::DoClick_d(real);
    ReportHovered(sink_, &IMyWidEventSink::OnWid_Click);
}

// ---- Button.

MyWidButton::MyWidButton(IMyWidEventSink* sink, const wchar_t* text, unsigned format)
    : sink_(sink), text_(text ? text : L""), format_(format)
{
}

void MyWidButton::SetText(const wchar_t* text)
{
    text_ = text ? text : L"";
}

void MyWidButton::SetTipText(const wchar_t* text)
{
    tip_ = text ? text : L"";
}

void MyWidButton::PaintFace(CDC& dc, RECT r)
{
    if (!none_) {
        if (pressedLook_)
            Draw3dRect(dc, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        else if (!flat_ || IsHover())
            Draw3dRect(dc, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
    COLORREF old = ImpTextColor(dc);
    DrawWidText(dc, text_, brindle::InflatedRect(r, -2, -2), format_);
    RestoreTextColor(dc, old);
}

void MyWidButton::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    RECT r = real;
    if (IsSp())
        r = MakeRect(real.left + 1, real.top + 1, real.right - 2, real.bottom - 1);
    PaintFace(dc, r);
}

void MyWidButton::DoDbClick(RECT& real)
{
    if (editing_)
        return;
    MyWidObject::DoDbClick(real);
    ReportHovered(sink_, &IMyWidEventSink::OnWid_DbClick);
}

void MyWidButton::DoClick_d(RECT& real)
{
    if (editing_)
        return;
    pressedLook_ = 1;
    MyWidObject::DoClick_d(real);
}

void MyWidButton::DoClick_u(RECT& real)
{
    if (editing_)
        return;
    pressedLook_ = 0;
    MyWidObject::DoClick_u(real);
    ReportHovered(sink_, &IMyWidEventSink::OnWid_Click);
}

void MyWidButton::DoMouse_m(RECT& real)
{
    if (editing_)
        return;
    pressedLook_ = 0;
    if (GetContainer())
        GetContainer()->UpdateRect(real);
}

void MyWidButton::DoKey_return(RECT& real, int up)
{
    if (editing_)
        return;
    if (!up) {
        if (pressedLook_)
            return;
        pressedLook_ = 1;
        GetContainer()->UpdateRect(real);
        return;
    }
    pressedLook_ = 0;
    GetContainer()->UpdateRect(real);
    if (sink_)
        FireSink([&] { sink_->OnWid_KeyReturn(GetID()); });
}

int MyWidButton::DoKey_find(const wchar_t* key)
{
    return FindCompare(key, text_.c_str());
}

int MyWidButton::EditText()
{
    if (!IsEnable() || !IsVisiable())
        return 0;
    RECT row;
    if (!GetContainerRect(row))
        return 0;
    RECT real;
    GetRealRect(row, real);
    return DoEditText(real);
}

int MyWidButton::DoEditText(RECT& real)
{
    if (!IsEnable() || !IsVisiable())
        return 0;
    editing_ = 1;
    SetReleasable(0);
    std::optional<std::wstring> text = RunInPlaceEdit(GetDepot(), real, text_, limit_, false);
    editing_ = 0;
    if (text) {
        text_ = *text;
        Update();
        if (sink_)
            sink_->OnWid_Changed(GetID());
    }
    SetReleasable(1);
    return text ? 1 : 0;
}

// ---- Header button.

MyWidHeaderButton::MyWidHeaderButton(IMyWidEventSink* sink, const wchar_t* text, unsigned format)
    : MyWidButton(sink, text, format)
{
}

void MyWidHeaderButton::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    Draw3dRect(dc, real,
                        GetSysColor(IsPressedLook() ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT),
                        GetSysColor(IsPressedLook() ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
    RECT text = brindle::InflatedRect(real, -2, -2);
    if (status_ == 1 || status_ == 2) {
        text.right -= 10;
        brindle::DrawChevron(dc, real.right - 7, (real.top + real.bottom) / 2, 7, status_ == 1, kSortMark);
    }
    COLORREF old = ImpTextColor(dc);
    DrawWidText(dc, GetText(), text, Format());
    RestoreTextColor(dc, old);
}

// ---- Check box.

MyWidCheckBox::MyWidCheckBox(int checked) : checked_(checked ? 1 : 0), markColor_(kMarkIdle) {}

void MyWidCheckBox::SetTipText(const wchar_t* text)
{
    tip_ = text ? text : L"";
}

void MyWidCheckBox::DoPaint(CDC& dc, RECT& real)
{
    DrawFocusMark(dc, real);
    int cx = (real.left + real.right) / 2;
    int cy = (real.top + real.bottom) / 2;
    Draw3dRect(dc, MakeRect(cx - 7, cy - 7, cx + 9, cy + 9), boxColor_, boxColor_);
    if (checked_ || pressed_)
        brindle::DrawCheckMark(dc, cx, cy, markColor_);
}

void MyWidCheckBox::DoClick_d(RECT& real)
{
    pressed_ = 1;
    markColor_ = kMarkPressed;
    MyWidObject::DoClick_d(real);
}

void MyWidCheckBox::Toggle()
{
    checked_ = !checked_;
    if (sink_)
        FireSink([&] { sink_->OnWid_Changed(GetID()); });
}

void MyWidCheckBox::DoClick_u(RECT& real)
{
    if (IsHover())
        Toggle();
    pressed_ = 0;
    markColor_ = kMarkIdle;
    MyWidObject::DoClick_u(real);
}

void MyWidCheckBox::DoMouse_m(RECT& real)
{
    pressed_ = 0;
    markColor_ = kMarkIdle;
    GetContainer()->UpdateRect(real);
}

void MyWidCheckBox::DoKey_return(RECT& real, int up)
{
    if (!up) {
        if (pressed_)
            return;
        Toggle();
        pressed_ = 1;
        markColor_ = kMarkPressed;
    } else {
        pressed_ = 0;
        markColor_ = kMarkIdle;
    }
    GetContainer()->UpdateRect(real);
}

