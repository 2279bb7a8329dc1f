#include "MyWidContainer.h"

#include "SystemColors.h"
#include "WidDraw.h"
#include "WidGeometry.h"

using brindle::AnchorRect;
using brindle::RectContains;

// ---- Sink and depot defaults.

void IMyWidEventSink::OnWid_Click(unsigned int) {}
void IMyWidEventSink::OnWid_DbClick(unsigned int) {}
void IMyWidEventSink::OnWid_KeyReturn(unsigned int) {}
void IMyWidEventSink::OnWid_Changed(unsigned int) {}

IMyWidContainerDepot::~IMyWidContainerDepot() = default;

int IMyWidContainerDepot::SetSelect(int, int)
{
    return -1;
}

int IMyWidContainerDepot::GetItemRect(MyWidContainer*, RECT*)
{
    return 0;
}

const CFont* IMyWidContainerDepot::GetFontHandle()
{
    return nullptr;
}

MyWidTipCtrl* IMyWidContainerDepot::GetTipCtrl()
{
    return nullptr;
}

// ---- Tooltip.

void MyWidTipCtrl::InitTipCtrl(QWidget* wnd)
{
    wnd_ = wnd;
    ResetTip();
}

void MyWidTipCtrl::SetTip(const wchar_t* text, const RECT& r)
{
    rect_ = r;
    text_ = text ? text : L"";
}

void MyWidTipCtrl::ResetTip()
{
    rect_ = RECT();
    text_.clear();
}

std::wstring MyWidTipCtrl::TipAt(POINT p) const
{
    return RectContains(rect_, p) ? text_ : std::wstring();
}

// ---- Row.

MyWidContainer::MyWidContainer() = default;
MyWidContainer::~MyWidContainer() = default;

void MyWidContainer::AddObject(MyWidObject* object)
{
    if (released_ || !object)
        return;
    object->container_ = this;
    object->next_ = nullptr;
    object->prev_ = last_;
    if (last_)
        last_->next_ = object;
    else
        first_ = object;
    last_ = object;
    if (!focusObject_)
        focusObject_ = NextEnabledObject(nullptr, 1);
}

void MyWidContainer::UpdateRect(const RECT& r)
{
    if (!released_ && depot_)
        depot_->UpdateRect(r);
}

MyWidObject* MyWidContainer::GetFoucsObject()
{
    return focusObject_;
}

void MyWidContainer::OnInitialize(IMyWidContainerDepot* depot)
{
    depot_ = depot;
}

void MyWidContainer::OnRelease()
{
    delete this;
}

void MyWidContainer::OnPaint(CDC& dc, const RECT& row)
{
    if (released_)
        return;
    OnErase_bkgnd(dc, row);
    for (MyWidObject* w = first_; w; w = w->next_) {
        RECT real = AnchorRect(row, w->anchored_);
        OnErase_bkgnd(dc, real, w->id_);
        w->dirty_ = 1;
        OnPrepareDC(dc, w->id_);
        w->PaintIfDirty(dc, real);
        OnRestoreDC(dc, w->id_);
    }
}

void MyWidContainer::FocusByMouse(POINT pt, const RECT& row)
{
    for (MyWidObject* w = first_; w; w = w->next_) {
        if (w->enabled_ && w->shown_ && w->canFocus_ && RectContains(AnchorRect(row, w->anchored_), pt)) {
            focusObject_ = w;
            w->dirty_ = 1;
            return;
        }
    }
}

// Every mouse handler: nothing on a released or disabled row; the row is held for the
// whole call, so a sink that deletes it only marks it, and the hold's end deletes it.
int MyWidContainer::OnDbClick(POINT pt, const RECT& row)
{
    if (Dormant())
        return 0;
    Hold hold(this);
    FocusByMouse(pt, row);
    int hit = 0;
    for (MyWidObject* w = first_; w && !released_; w = w->next_)
        hit |= w->HitButton(pt, row, MyWidObject::ButtonEvent::Double);
    return hit;
}

int MyWidContainer::OnClick_d(POINT pt, const RECT& row)
{
    if (Dormant())
        return 0;
    Hold hold(this);
    FocusByMouse(pt, row);
    pressed_ = RectContains(row, pt) ? 1 : 0;
    int hit = 0;
    for (MyWidObject* w = first_; w && !released_; w = w->next_)
        hit |= w->HitButton(pt, row, MyWidObject::ButtonEvent::Down);
    if (depot_ && !released_)
        hover_ = RectContains(row, depot_->GetCursorPos()) ? 1 : 0;
    return hit;
}

int MyWidContainer::OnClick_u(POINT pt, const RECT& row)
{
    if (Dormant())
        return 0;
    Hold hold(this);
    pressed_ = 0;
    int hit = 0;
    for (MyWidObject* w = first_; w && !released_; w = w->next_)
        hit |= w->HitButton(pt, row, MyWidObject::ButtonEvent::Up);
    if (depot_ && !released_)
        hover_ = RectContains(row, depot_->GetCursorPos()) ? 1 : 0;
    return hit;
}

void MyWidContainer::OnMouse_m(POINT pt, const RECT& row)
{
    if (Dormant())
        return;
    Hold hold(this);
    hover_ = RectContains(row, pt) ? 1 : 0;
    if (!hover_)
        pressed_ = 0;
    for (MyWidObject* w = first_; w && !released_; w = w->next_)
        w->HitMouse_m(pt, row);
}

void MyWidContainer::OnErase_bkgnd(CDC&, const RECT&, unsigned) {}
void MyWidContainer::OnErase_bkgnd(CDC&, const RECT&) {}

void MyWidContainer::OnKey_return(const RECT& row, int up)
{
    if (Dormant())
        return;
    Hold hold(this);
    // Auto-repeated key-downs arrive before their key-up: only alternate calls pass.
    if ((up ? 1 : 0) != keyPhase_)
        return;
    MyWidObject* focus = focusObject_;
    if (focus) {
        RECT real = AnchorRect(row, focus->anchored_);
        focus->DoKey_return(real, up);
    }
    if (released_)
        return;
    pressed_ = up ? 0 : 1;
    keyPhase_ = up ? 0 : 1;
}

int MyWidContainer::OnKey_table(const RECT& row, int forward)
{
    if (Dormant() || !first_)
        return 0;
    MyWidObject* old = focusObject_;
    focusObject_ = NextEnabledObject(old, forward);
    if (old && old->shown_)
        UpdateRect(AnchorRect(row, old->anchored_));
    if (focusObject_ && focusObject_ != old && focusObject_->shown_)
        UpdateRect(AnchorRect(row, focusObject_->anchored_));
    return 1;
}

void MyWidContainer::OnPrepareDC(CDC&, unsigned) {}
void MyWidContainer::OnRestoreDC(CDC&, unsigned) {}

int MyWidContainer::OnKey_find(const wchar_t* text)
{
    for (MyWidObject* w = first_; w; w = w->next_)
        if (w->enabled_ && w->DoKey_find(text))
            return 1;
    return 0;
}

int MyWidContainer::OnSelect(int, int)
{
    return 1;
}

bool MyWidContainer::OnCompare(MyWidContainer*, int, bool)
{
    return false;
}

void MyWidContainer::OnFilter(const wchar_t* text)
{
    if (!text || !*text)
        visible_ = 1;
    else
        visible_ = OnKey_find(text) ? 1 : 0;
}

bool MyWidContainer::OnGetToolTipStr(std::wstring& out)
{
    for (MyWidObject* w = first_; w; w = w->next_) {
        const wchar_t* tip = w->GetTipText();
        if (w->enabled_ && w->shown_ && w->hover_ && tip && *tip) {
            out = tip;
            return true;
        }
    }
    return false;
}

void MyWidContainer::OnUpdate() {}

int MyWidContainer::Select(int select, int hint)
{
    if (released_ || !OnSelect(select, hint))
        return 0;
    selected_ = focused_ = select ? 1 : 0;
    return 1;
}

void MyWidContainer::Update()
{
    if (!released_ && depot_)
        depot_->UpdateWidContainer(this);
}

void MyWidContainer::Release()
{
    if (holds_ > 0) {
        released_ = 1;
        return;
    }
    released_ = 1;
    OnRelease();
}

void MyWidContainer::SetReleasable(int releasable)
{
    if (!releasable) {
        ++holds_;
        return;
    }
    if (holds_ > 0 && --holds_ == 0 && released_)
        OnRelease();
}

void MyWidContainer::Invalidate()
{
    for (MyWidObject* w = first_; w; w = w->next_)
        w->dirty_ = 1;
}

void MyWidContainer::Clear()
{
    first_ = last_ = focusObject_ = nullptr;
}

MyWidObject* MyWidContainer::SetFocusObject(MyWidObject* object)
{
    MyWidObject* old = focusObject_;
    focusObject_ = object;
    return old;
}

MyWidObject* MyWidContainer::NextEnabledObject(MyWidObject* from, int forward)
{
    if (!first_)
        return nullptr;
    auto eligible = [](MyWidObject* w) { return w->enabled_ && w->canFocus_; };
    auto step = [&](MyWidObject* w) {
        MyWidObject* n = forward ? w->next_ : w->prev_;
        return n ? n : (forward ? first_ : last_);
    };
    MyWidObject* w = from ? step(from) : (forward ? first_ : last_);
    MyWidObject* start = w;
    do {
        if (w == from)
            return eligible(w) ? w : nullptr;
        if (eligible(w))
            return w;
        w = step(w);
    } while (w != start);
    return nullptr;
}

QWidget* MyWidContainer::GetDepotWnd()
{
    return depot_ ? depot_->GetDepotWnd() : nullptr;
}

const CFont* MyWidContainer::GetFontHandle()
{
    return depot_ ? depot_->GetFontHandle() : nullptr;
}

MyWidTipCtrl* MyWidContainer::GetTipCtrl()
{
    return depot_ ? depot_->GetTipCtrl() : nullptr;
}

int MyWidContainer::GetContainerRect(RECT& out)
{
    return depot_ ? depot_->GetItemRect(this, &out) : 0;
}

// ---- Widget.

MyWidObject::MyWidObject() = default;
MyWidObject::~MyWidObject() = default;

const wchar_t* MyWidObject::GetText() const
{
    return L"";
}

const wchar_t* MyWidObject::GetTipText() const
{
    return L"";
}

void MyWidObject::DoPaint(CDC&, RECT&) {}

void MyWidObject::DoDbClick(RECT& real)
{
    if (shown_ && container_)
        container_->UpdateRect(real);
}

void MyWidObject::DoClick_d(RECT& real)
{
    if (shown_ && container_)
        container_->UpdateRect(real);
}

void MyWidObject::DoClick_u(RECT& real)
{
    if (shown_ && container_)
        container_->UpdateRect(real);
}

void MyWidObject::DoMouse_m(RECT&) {}
void MyWidObject::DoKey_return(RECT&, int) {}

int MyWidObject::DoKey_find(const wchar_t*)
{
    return 0;
}

void MyWidObject::Initialize(MyWidContainer* row, const RECT& anchored, unsigned id)
{
    anchored_ = anchored;
    id_ = id;
    container_ = row;
    if (row)
        row->AddObject(this);
}

void MyWidObject::Update()
{
    if (container_)
        container_->Update();
}

void MyWidObject::SetRect(const RECT& anchored)
{
    anchored_ = anchored;
    dirty_ = 1;
    Update();
}

void MyWidObject::GetRealRect(const RECT& row, RECT& out) const
{
    out = AnchorRect(row, anchored_);
}

void MyWidObject::CalcRect(const RECT& row, const RECT& anchored, RECT& out)
{
    out = AnchorRect(row, anchored);
}

void MyWidObject::GetXRange(int& left, int& right)
{
    RECT row;
    if (!GetContainerRect(row)) {
        left = right = 0;
        return;
    }
    RECT real = AnchorRect(row, anchored_);
    left = real.left;
    right = real.right;
}

void MyWidObject::SetFocus(int focus)
{
    if (focus && container_)
        container_->focusObject_ = this;
    dirty_ = 1;
    Update();
}

int MyWidObject::IsFocus() const
{
    return container_ && container_->GetFoucsObject() == this && container_->IsFocused();
}

void MyWidObject::SetReleasable(int releasable)
{
    if (container_)
        container_->SetReleasable(releasable);
}

IMyWidContainerDepot* MyWidObject::GetDepot() const
{
    return container_ ? container_->GetDepot() : nullptr;
}

QWidget* MyWidObject::GetDepotWnd() const
{
    return container_ ? container_->GetDepotWnd() : nullptr;
}

const CFont* MyWidObject::GetFontHandle() const
{
    return container_ ? container_->GetFontHandle() : nullptr;
}

int MyWidObject::GetContainerRect(RECT& out) const
{
    return container_ ? container_->GetContainerRect(out) : 0;
}

COLORREF MyWidObject::ImpTextColor(CDC& dc)
{
    if (textColor_ == 0xFFFFFFFF)
        return 0xFFFFFFFF;
    return dc.SetTextColor(textColor_);
}

void MyWidObject::RestoreTextColor(CDC& dc, COLORREF old)
{
    if (old != 0xFFFFFFFF)
        dc.SetTextColor(old);
}

void MyWidObject::DoErase_bkgnd(CDC& dc, const RECT& r)
{
    if (container_)
        container_->OnErase_bkgnd(dc, r, id_);
}

int MyWidObject::FindCompare(const wchar_t* key, const wchar_t* text)
{
    if (!key || !text)
        return 0;
    return brindle::ContainsIgnoringCase(key, text) ? 1 : 0;
}

void MyWidObject::ReportHovered(IMyWidEventSink* sink, void (IMyWidEventSink::*event)(unsigned int))
{
    if (hover_ && sink)
        FireSink([&] { (sink->*event)(id_); });
}

void MyWidObject::AddNext(MyWidObject* next)
{
    next_ = next;
    if (next)
        next->prev_ = this;
}

// Press, release and double click: a hit records the point and calls the widget's
// handler with its hover state as each expects; a miss repaints the widget.
int MyWidObject::HitButton(POINT pt, const RECT& row, ButtonEvent kind)
{
    if (!enabled_ || !shown_)
        return 0;
    RECT real = AnchorRect(row, anchored_);
    if (!RectContains(real, pt)) {
        container_->UpdateRect(real);
        return 0;
    }
    lastPoint_ = pt;
    switch (kind) {
    case ButtonEvent::Down:
        hover_ = 1;
        DoClick_d(real);
        break;
    case ButtonEvent::Up:
        DoClick_u(real);
        hover_ = 0;
        break;
    case ButtonEvent::Double:
        hover_ = 1;
        DoDbClick(real);
        hover_ = 0;
        break;
    }
    return 1;
}

void MyWidObject::HitMouse_m(POINT pt, const RECT& row)
{
    if (!enabled_ || !shown_)
        return;
    RECT real = AnchorRect(row, anchored_);
    bool inside = RectContains(real, pt);
    if (hover_ && !inside) {
        hover_ = 0;
        DoMouse_m(real);
    } else if (!hover_ && inside) {
        lastPoint_ = pt;
        hover_ = 1;
        DoMouse_m(real);
        const wchar_t* tip = GetTipText();
        MyWidTipCtrl* tips = container_->GetTipCtrl();
        if (tips && tip && *tip)
            tips->SetTip(tip, real);
    }
}

void MyWidObject::PaintIfDirty(CDC& dc, const RECT& r)
{
    if (!shown_ || !dirty_)
        return;
    RECT real = r;
    DoPaint(dc, real);
    if (sp_ && container_ && container_->GetDepot())
        dc.FillSolidRect(brindle::MakeRect(r.right - 1, r.top, r.right, r.bottom),
                         container_->GetDepot()->GetSpColor());
    dirty_ = 0;
}

void MyWidObject::DrawFocusMark(CDC& dc, const RECT& real)
{
    DoErase_bkgnd(dc, real);
    if (!IsFocus())
        return;
    RECT r = real;
    r.top += 1;
    r.bottom -= 1;
    DrawFocusRect(dc, r);
}
