#pragma once
// Rows and their lightweight widgets. A list row (MyWidContainer) has no window: it
// paints into the device context of the window that hosts it (the depot) and gets
// the depot's mouse and key events in the depot's client coordinates. Its widgets
// (MyWidObject and the classes of MyWidgets.h) form a chain inside the row and report
// what the user did through IMyWidEventSink.
//
// Rows are deleted only by the list, through Release(): a row that is inside one of
// its own handlers (a sink deleting the row it was clicked in) is only marked and is
// deleted when the outermost handler returns. The hold is a counter, so handlers that
// nest (a click that opens a drop list whose choice fires a sink) keep the row alive
// until the last of them has returned.
//
// Fonts travel as `const CFont*` (the font's description; null: the context's own).
// Texts are std::wstring; window handles are QWidget*.

#include "BrindleExport.h"
#include "DeviceContext.h"
#include "GdiTypes.h"

#include <string>

class QWidget;
class MyWidContainer;
class MyWidObject;

// What widgets report to the program; `id` is the widget's id.
struct BRINDLE_API IMyWidEventSink {
    virtual ~IMyWidEventSink() = default;
    virtual void OnWid_Click(unsigned int id);
    virtual void OnWid_DbClick(unsigned int id);
    virtual void OnWid_KeyReturn(unsigned int id);
    virtual void OnWid_Changed(unsigned int id);
};

// The tooltip of a depot: one tool over the depot's window whose rectangle and text
// follow the hovered widget. The window shows the text on a tooltip request inside
// the rectangle.
class BRINDLE_API MyWidTipCtrl
{
public:
    void InitTipCtrl(QWidget* wnd);
    void SetTip(const wchar_t* text, const RECT& r);
    void ResetTip();
    // The text for a tooltip request at a client point; empty outside the rectangle.
    std::wstring TipAt(POINT p) const;
    const RECT& TipRect() const { return rect_; }
    const std::wstring& TipText() const { return text_; }
    QWidget* Wnd() const { return wnd_; }

private:
    QWidget* wnd_ = nullptr;
    RECT rect_;
    std::wstring text_;
};

// The window that hosts rows.
class BRINDLE_API IMyWidContainerDepot
{
public:
    virtual ~IMyWidContainerDepot();
    virtual void UpdateWidContainer(MyWidContainer* row) = 0;
    virtual QWidget* GetDepotWnd() = 0;
    virtual void UpdateRect(const RECT& r) = 0;
    virtual COLORREF GetSpColor() = 0;
    virtual POINT GetCursorPos() = 0;
    // Selects a row (hint: the click's x, or -1); returns the previous selection.
    virtual int SetSelect(int index, int hint);
    // The rectangle of a row; 0 when hidden or absent.
    virtual int GetItemRect(MyWidContainer* row, RECT* out);
    virtual const CFont* GetFontHandle();
    virtual MyWidTipCtrl* GetTipCtrl();

    // Set on every button press and release and wheel turn in the depot, cleared
    // when an in-place edit starts: the edit commits as soon as it is set again.
    void EnterScroll() { enterScroll_ = 1; }
    void RestorScroll() { enterScroll_ = 0; }
    int CheckEnterScroll() const { return enterScroll_; }

private:
    int enterScroll_ = 0;
};

// One row. Deriving rows hold their widgets as members, build them in OnInitialize
// and give each an anchored rectangle with MyWidObject::Initialize.
class BRINDLE_API MyWidContainer
{
public:
    MyWidContainer();
    virtual ~MyWidContainer();
    MyWidContainer(const MyWidContainer&) = delete;
    MyWidContainer& operator=(const MyWidContainer&) = delete;

    virtual SIZE GetDimension() const = 0;
    virtual void AddObject(MyWidObject* object);
    virtual void UpdateRect(const RECT& r);
    virtual MyWidObject* GetFoucsObject();
    virtual void OnInitialize(IMyWidContainerDepot* depot);
    virtual void OnRelease();
    virtual void OnPaint(CDC& dc, const RECT& row);
    virtual int OnDbClick(POINT pt, const RECT& row);
    virtual int OnClick_d(POINT pt, const RECT& row);
    virtual int OnClick_u(POINT pt, const RECT& row);
    virtual void OnMouse_m(POINT pt, const RECT& row);
    virtual void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id);
    virtual void OnErase_bkgnd(CDC& dc, const RECT& row);
    virtual void OnKey_return(const RECT& row, int up);
    virtual int OnKey_table(const RECT& row, int forward);
    virtual void OnPrepareDC(CDC& dc, unsigned id);
    virtual void OnRestoreDC(CDC& dc, unsigned id);
    virtual int OnKey_find(const wchar_t* text);
    virtual int OnSelect(int select, int hint);
    virtual bool OnCompare(MyWidContainer* other, int column, bool ascending);
    virtual void OnFilter(const wchar_t* text);
    virtual bool OnGetToolTipStr(std::wstring& out);
    virtual void OnUpdate();

    int Select(int select, int hint);
    void Update();
    // Deletes the row now, or, inside one of its handlers, once the outermost returns.
    void Release();
    // 0 holds the row (it cannot be deleted), 1 lets one hold go again; holds nest.
    void SetReleasable(int releasable);
    int IsReleased() const { return released_; }
    void Invalidate();
    void Clear();
    void Enable(int enable) { enabled_ = enable ? 1 : 0; }
    int IsEnabled() const { return enabled_; }
    void Show(int show) { visible_ = show ? 1 : 0; }
    int IsVisiable() const { return visible_; }
    void SetFocus(int focus) { focused_ = focus ? 1 : 0; }
    int IsFocused() const { return focused_; }
    int IsSelected() const { return selected_; }
    int IsHover() const { return hover_; }
    int IsPressed() const { return pressed_; }
    void SetID(unsigned id) { id_ = id; }
    unsigned GetID() const { return id_; }
    void SetParentID(unsigned id) { parentId_ = id; }
    unsigned GetParentID() const { return parentId_; }
    MyWidObject* SetFocusObject(MyWidObject* object);
    MyWidObject* NextEnabledObject(MyWidObject* from, int forward);
    MyWidObject* GetFirstObject() const { return first_; }
    IMyWidContainerDepot* GetDepot() const { return depot_; }
    QWidget* GetDepotWnd();
    const CFont* GetFontHandle();
    MyWidTipCtrl* GetTipCtrl();
    int GetContainerRect(RECT& out);

protected:
    // Holds the row for the length of a handler; the last hold to go deletes a row
    // released meanwhile. Nothing may touch the row after the hold is gone.
    class Hold
    {
    public:
        explicit Hold(MyWidContainer* row) : row_(row) { row_->SetReleasable(0); }
        ~Hold() { row_->SetReleasable(1); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        MyWidContainer* row_;
    };

    void FocusByMouse(POINT pt, const RECT& row);
    bool Dormant() const { return released_ || !enabled_; }

private:
    friend class MyWidObject;

    MyWidObject* first_ = nullptr;
    MyWidObject* last_ = nullptr;
    MyWidObject* focusObject_ = nullptr;
    int selected_ = 0;
    int focused_ = 0;
    int enabled_ = 1;
    int hover_ = 0;
    IMyWidContainerDepot* depot_ = nullptr;
    int released_ = 0;
    int holds_ = 0;
    int keyPhase_ = 0;
    int visible_ = 1;
    unsigned id_ = 0xFFFFFFFF;
    unsigned parentId_ = 0xFFFFFFFF;
    int pressed_ = 0;
};

// A widget inside a row.
class BRINDLE_API MyWidObject
{
public:
    MyWidObject();
    virtual ~MyWidObject();
    MyWidObject(const MyWidObject&) = delete;
    MyWidObject& operator=(const MyWidObject&) = delete;

    virtual const wchar_t* GetText() const;
    virtual const wchar_t* GetTipText() const;
    virtual void DoPaint(CDC& dc, RECT& real);
    virtual void DoDbClick(RECT& real);
    virtual void DoClick_d(RECT& real);
    virtual void DoClick_u(RECT& real);
    virtual void DoMouse_m(RECT& real);
    virtual void DoKey_return(RECT& real, int up);
    virtual int DoKey_find(const wchar_t* key);

    void Initialize(MyWidContainer* row, const RECT& anchored, unsigned id);
    void Enable(int enable) { enabled_ = enable ? 1 : 0; }
    int IsEnable() const { return enabled_; }
    void Show(int show) { shown_ = show ? 1 : 0; }
    int IsVisiable() const { return shown_; }
    void SetCanFocus(int can) { canFocus_ = can ? 1 : 0; }
    int IsCanFocus() const { return canFocus_; }
    void SetHover(int hover) { hover_ = hover ? 1 : 0; }
    int IsHover() const { return hover_; }
    void SetSp(int sp) { sp_ = sp ? 1 : 0; }
    int IsSp() const { return sp_; }
    void SetTextColor(COLORREF color) { textColor_ = color; }
    void Invalid() { dirty_ = 1; }
    int IsDirty() const { return dirty_; }
    void Update();
    void SetRect(const RECT& anchored);
    const RECT& GetRect() const { return anchored_; }
    void GetRealRect(const RECT& row, RECT& out) const;
    static void CalcRect(const RECT& row, const RECT& anchored, RECT& out);
    void GetXRange(int& left, int& right);
    void SetFocus(int focus);
    int IsFocus() const;
    void SetReleasable(int releasable);
    POINT GetCursorPoint() const { return lastPoint_; }
    unsigned GetID() const { return id_; }
    IMyWidContainerDepot* GetDepot() const;
    QWidget* GetDepotWnd() const;
    const CFont* GetFontHandle() const;
    int GetContainerRect(RECT& out) const;
    MyWidContainer* GetContainer() const { return container_; }
    COLORREF ImpTextColor(CDC& dc);
    void RestoreTextColor(CDC& dc, COLORREF old);
    void DoErase_bkgnd(CDC& dc, const RECT& r);
    // 1 when `text` contains `key`, both lower-cased.
    static int FindCompare(const wchar_t* key, const wchar_t* text);
    MyWidObject* GetNext() const { return next_; }
    MyWidObject* GetPrev() const { return prev_; }
    void AddNext(MyWidObject* next);

    // The row's dispatch of one event to this widget; 1 when the point hit it.
    enum class ButtonEvent { Down, Up, Double };
    int HitButton(POINT pt, const RECT& row, ButtonEvent kind);
    void HitMouse_m(POINT pt, const RECT& row);
    // Paints when shown and dirty, with the separator column.
    void PaintIfDirty(CDC& dc, const RECT& real);

protected:
    // The focus rectangle the widgets draw when they are the focused row's focus object.
    void DrawFocusMark(CDC& dc, const RECT& real);
    // Reports a click to the sink while the widget is hovered (the press or release
    // happened over it), with the row held.
    void ReportHovered(IMyWidEventSink* sink, void (IMyWidEventSink::*event)(unsigned int));
    // Calls into the sink with the row held.
    template <class F>
    void FireSink(F&& call)
    {
        SetReleasable(0);
        call();
        SetReleasable(1);
    }

private:
    friend class MyWidContainer;

    int canFocus_ = 1;
    int enabled_ = 1;
    int shown_ = 1;
    int hover_ = 0;
    int dirty_ = 0;
    unsigned id_ = 0;
    RECT anchored_;
    int sp_ = 0;
    COLORREF textColor_ = 0xFFFFFFFF;
    POINT lastPoint_;
    MyWidContainer* container_ = nullptr;
    MyWidObject* next_ = nullptr;
    MyWidObject* prev_ = nullptr;
};
