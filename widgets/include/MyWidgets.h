#pragma once
// The widget classes a row is built from: label, icon, button, header button and check
// box (the combo box is in MyWidComboBox.h). Labels, buttons and combo boxes edit their text in place (an
// editor over the widget, committed by Enter, Tab, a click elsewhere, scrolling the
// list or the editor losing the focus; Esc cancels).

#include "MyImageList.h"
#include "MyWidContainer.h"

#include <optional>
#include <string>

// DrawText formats the widgets use.
constexpr unsigned kWidTextFormat = 36; // DT_VCENTER | DT_SINGLELINE

class BRINDLE_API MyWidLable : public MyWidObject
{
public:
    explicit MyWidLable(const wchar_t* text = nullptr, unsigned format = kWidTextFormat);

    const wchar_t* GetText() const override { return text_.c_str(); }
    const wchar_t* GetTipText() const override { return tip_.c_str(); }
    void DoPaint(CDC& dc, RECT& real) override;
    void DoDbClick(RECT& real) override;
    void DoClick_d(RECT& real) override;
    void DoKey_return(RECT& real, int up) override;
    int DoKey_find(const wchar_t* key) override;

    void SetText(const wchar_t* text);
    void SetTipText(const wchar_t* text);
    void SetAlign(unsigned format) { format_ = format; }
    void LimitText(int limit) { limit_ = limit; }
    void SetReadOnly(int readOnly, IMyWidEventSink* sink);
    int DoEditText(RECT& real);

private:
    std::wstring tip_;
    std::wstring text_;
    unsigned format_;
    int limit_ = 0;
    int readOnly_ = 1;
    IMyWidEventSink* sink_ = nullptr;
};

class BRINDLE_API MyWidIcon : public MyWidObject
{
public:
    explicit MyWidIcon(CImageList* list = nullptr, int index = 0);

    const wchar_t* GetTipText() const override { return tip_.c_str(); }
    void DoPaint(CDC& dc, RECT& real) override;
    void DoDbClick(RECT& real) override;
    void DoClick_d(RECT& real) override;

    void SetImageList(CImageList* list);
    void SetImageIndex(int index) { index_ = index; }
    int GetImageIndex() const { return index_; }
    SIZE GetImageSize() const;
    void SetTipText(const wchar_t* text);
    void SetEventSink(IMyWidEventSink* sink) { sink_ = sink; }

private:
    std::wstring tip_;
    int index_;
    CImageList* list_;
    SIZE size_;
    IMyWidEventSink* sink_ = nullptr;
};

class BRINDLE_API MyWidButton : public MyWidObject
{
public:
    explicit MyWidButton(IMyWidEventSink* sink = nullptr, const wchar_t* text = nullptr,
                         unsigned format = kWidTextFormat);

    const wchar_t* GetText() const override { return text_.c_str(); }
    const wchar_t* GetTipText() const override { return tip_.c_str(); }
    void DoPaint(CDC& dc, RECT& real) override;
    void DoDbClick(RECT& real) override;
    void DoClick_d(RECT& real) override;
    void DoClick_u(RECT& real) override;
    void DoMouse_m(RECT& real) override;
    void DoKey_return(RECT& real, int up) override;
    int DoKey_find(const wchar_t* key) override;

    void SetText(const wchar_t* text);
    void SetTipText(const wchar_t* text);
    void SetAlign(unsigned format) { format_ = format; }
    void SetEventSink(IMyWidEventSink* sink) { sink_ = sink; }
    void SetFlat(int flat) { flat_ = flat; }
    void SetNone(int none) { none_ = none; }
    void LimitText(int limit) { limit_ = limit; }
    int IsPressedLook() const { return pressedLook_; }
    // Edits the text in place; 1 when committed.
    int EditText();
    int DoEditText(RECT& real);

protected:
    // The button's frame and text inside `r`.
    void PaintFace(CDC& dc, RECT r);
    unsigned Format() const { return format_; }

private:
    IMyWidEventSink* sink_;
    std::wstring tip_;
    std::wstring text_;
    unsigned format_;
    int pressedLook_ = 0;
    int flat_ = 0;
    int none_ = 0;
    int limit_ = 0;
    int editing_ = 0;
};

class BRINDLE_API MyWidHeaderButton : public MyWidButton
{
public:
    explicit MyWidHeaderButton(IMyWidEventSink* sink = nullptr, const wchar_t* text = nullptr,
                               unsigned format = kWidTextFormat);

    void DoPaint(CDC& dc, RECT& real) override;
    // 0 no mark, 1 ascending (^), 2 descending (v).
    void SetStatus(int status) { status_ = status; }
    int GetStatus() const { return status_; }

private:
    int status_ = 0;
};

class BRINDLE_API MyWidCheckBox : public MyWidObject
{
public:
    explicit MyWidCheckBox(int checked = 1);

    const wchar_t* GetTipText() const override { return tip_.c_str(); }
    void DoPaint(CDC& dc, RECT& real) override;
    void DoClick_d(RECT& real) override;
    void DoClick_u(RECT& real) override;
    void DoMouse_m(RECT& real) override;
    void DoKey_return(RECT& real, int up) override;

    void SetCheck(int checked) { checked_ = checked ? 1 : 0; }
    int IsChecked() const { return checked_; }
    void SetBoxColor(COLORREF color) { boxColor_ = color; }
    void SetTipText(const wchar_t* text);
    void SetEventSink(IMyWidEventSink* sink) { sink_ = sink; }

private:
    void Toggle();

    std::wstring tip_;
    int checked_;
    COLORREF markColor_;
    COLORREF boxColor_ = 0;
    int pressed_ = 0;
    IMyWidEventSink* sink_ = nullptr;
};

// The in-place editor the widgets share: an edit over `rect` of the depot's window
// with the depot's font, the text all selected. Runs until Enter, Tab, VK_EXECUTE, a
// press outside the editor, a wheel turn after the focus left it, the depot's
// enter-scroll flag or the editor losing the focus (the text is committed and
// returned), or Esc, the application quitting or the depot going away (nothing).
std::optional<std::wstring> RunInPlaceEdit(IMyWidContainerDepot* depot, const RECT& rect, const std::wstring& text,
                                           int limit, bool multiLine);
