#include "XWindowBase.h"

#include <QRect>
#include <QWidget>
#include <algorithm>

namespace
{

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

QRect ToQRect(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

} // namespace

XWindowBase::~XWindowBase()
{
    ForgetInTop();
    Unlink();
    for (XWindowBase* child : children_) {
        child->ForgetTopInSubtree();
        child->parent_ = nullptr;
    }
    children_.clear();
}

void XWindowBase::ForgetTopInSubtree()
{
    top_ = nullptr;
    for (XWindowBase* child : children_)
        child->ForgetTopInSubtree();
}

void XWindowBase::Unlink()
{
    if (!parent_)
        return;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
}

void XWindowBase::ForgetInTop()
{
    if (!top_)
        return;
    if (top_->focus_ == this)
        top_->focus_ = nullptr;
    if (top_->capture_ == this)
        top_->capture_ = nullptr;
    if (top_->hover_ == this)
        top_->hover_ = nullptr;
}

bool XWindowBase::Create(XWindowBase* parent, const RECT& rect, QWidget* host, bool enabled, int id)
{
    ForgetInTop();
    Unlink();
    parent_ = parent;
    id_ = id;
    rect_ = rect;
    visible_ = 1;
    enabled_ = enabled ? 1 : 0;
    if (parent) {
        host_ = parent->host_;
        top_ = parent->top_;
        parent->children_.push_back(this);
    } else {
        host_ = host;
        top_ = dynamic_cast<XTopWindowBase*>(this);
    }
    return OnCreate();
}

void XWindowBase::Destroy()
{
    OnKillFocus();
    OnCancelMode();
    Unlink();
    // Children first, deepest first; each leaves its own list.
    while (!children_.empty())
        children_.back()->Destroy();
    ForgetInTop();
    top_ = nullptr;
    parent_ = nullptr;
    id_ = 0;
    rect_ = RECT{};
    visible_ = 1;
    enabled_ = 1;
}

bool XWindowBase::IsAncestorOf(const XWindowBase* part) const
{
    for (const XWindowBase* p = part ? part->parent_ : nullptr; p; p = p->parent_) {
        if (p == this)
            return true;
    }
    return false;
}

void XWindowBase::SetFocusPart()
{
    if (!top_ || top_->focus_ == this)
        return;
    XWindowBase* old = top_->focus_;
    if (old)
        old->OnKillFocus();
    top_->focus_ = this;
    OnSetFocus();
}

void XWindowBase::Enable(bool enable)
{
    const int value = enable ? 1 : 0;
    if (enabled_ == value)
        return;
    enabled_ = value;
    if (top_ && top_->focus_ && (top_->focus_ == this || IsAncestorOf(top_->focus_))) {
        if (enable)
            top_->focus_->OnSetFocus();
        else
            top_->focus_->OnKillFocus();
    }
    Invalidate();
}

void XWindowBase::Show(bool show)
{
    const int value = show ? 1 : 0;
    if (visible_ == value)
        return;
    visible_ = value;
    Invalidate();
}

void XWindowBase::SetRect(const RECT& rect)
{
    rect_ = rect;
    OnSize(rect.right - rect.left, rect.bottom - rect.top);
}

void XWindowBase::SetCapturePart()
{
    if (top_)
        top_->capture_ = this;
}

void XWindowBase::ReleaseCapturePart()
{
    if (top_ && top_->capture_ == this)
        top_->capture_ = nullptr;
}

void XWindowBase::Invalidate()
{
    if (host_)
        host_->update(ToQRect(rect_));
}

void XWindowBase::Update(bool later)
{
    if (!host_)
        return;
    if (later) {
        Invalidate();
        return;
    }
    if (!visible_)
        return;
    XClientDC dc(this);
    OnPaint(dc);
    for (XWindowBase* child : children_)
        child->Paint(dc);
}

void XWindowBase::Paint(CDC& dc)
{
    if (!visible_)
        return;
    if (eraseBackground_)
        OnEraseBackground(dc);
    OnPaint(dc);
    // A copy: a painting child must not upset the walk by changing the tree.
    const std::vector<XWindowBase*> children = children_;
    for (XWindowBase* child : children)
        child->Paint(dc);
}

void XWindowBase::DoLButtonDown(uint32_t, int, int)
{
    SetFocusPart();
}

void XWindowBase::DoRButtonDown(uint32_t, int, int)
{
    SetFocusPart();
}

void XWindowBase::CallHandler(MouseKind kind, uint32_t flags, int x, int y)
{
    switch (kind) {
    case LButtonDown:
        DoLButtonDown(flags, x, y);
        break;
    case MouseMove:
        DoMouseMove(flags, x, y);
        break;
    case LButtonUp:
        DoLButtonUp(flags, x, y);
        break;
    case LButtonDblClk:
        DoLButtonDblClk(flags, x, y);
        break;
    case RButtonDown:
        DoRButtonDown(flags, x, y);
        break;
    case RButtonUp:
        DoRButtonUp(flags, x, y);
        break;
    case RButtonDblClk:
        DoRButtonDblClk(flags, x, y);
        break;
    }
}

bool XWindowBase::Offer(XWindowBase* part, MouseKind kind, uint32_t flags, int x, int y)
{
    switch (kind) {
    case LButtonDown:
        return part->OnLButtonDown(flags, x, y);
    case MouseMove:
        return part->OnMouseMove(flags, x, y);
    case LButtonUp:
        return part->OnLButtonUp(flags, x, y);
    case LButtonDblClk:
        return part->OnLButtonDblClk(flags, x, y);
    case RButtonDown:
        return part->OnRButtonDown(flags, x, y);
    case RButtonUp:
        return part->OnRButtonUp(flags, x, y);
    case RButtonDblClk:
        return part->OnRButtonDblClk(flags, x, y);
    }
    return false;
}

bool XWindowBase::Dispatch(MouseKind kind, uint32_t flags, int x, int y)
{
    if (!visible_ || !enabled_ || !Contains(rect_, x, y))
        return false;
    const std::vector<XWindowBase*> children = children_;
    for (XWindowBase* child : children) {
        if (Offer(child, kind, flags, x, y))
            return true;
    }
    SetCursor();
    if (kind == MouseMove && top_ && top_->hover_ != this) {
        XWindowBase* old = top_->hover_;
        if (old)
            old->OnMouseLeave(flags, x, y);
        top_->hover_ = this;
        OnMouseEnter(flags, x, y);
    }
    CallHandler(kind, flags, x, y);
    return true;
}

bool XWindowBase::OnLButtonDown(uint32_t flags, int x, int y)
{
    return Dispatch(LButtonDown, flags, x, y);
}
bool XWindowBase::OnMouseMove(uint32_t flags, int x, int y)
{
    return Dispatch(MouseMove, flags, x, y);
}
bool XWindowBase::OnLButtonUp(uint32_t flags, int x, int y)
{
    return Dispatch(LButtonUp, flags, x, y);
}
bool XWindowBase::OnLButtonDblClk(uint32_t flags, int x, int y)
{
    return Dispatch(LButtonDblClk, flags, x, y);
}
bool XWindowBase::OnRButtonDown(uint32_t flags, int x, int y)
{
    return Dispatch(RButtonDown, flags, x, y);
}
bool XWindowBase::OnRButtonUp(uint32_t flags, int x, int y)
{
    return Dispatch(RButtonUp, flags, x, y);
}
bool XWindowBase::OnRButtonDblClk(uint32_t flags, int x, int y)
{
    return Dispatch(RButtonDblClk, flags, x, y);
}

// ---- XTopWindowBase

XTopWindowBase::~XTopWindowBase()
{
    focus_ = capture_ = hover_ = nullptr;
    top_ = nullptr;
    for (XWindowBase* child : children_) {
        child->ForgetTopInSubtree();
        child->parent_ = nullptr;
    }
    children_.clear();
}

bool XTopWindowBase::Create(const CFont* font, const CFont* headerFont, QWidget* owner, SIZE charSize,
                            SIZE clientSize)
{
    font_ = font;
    headerFont_ = headerFont;
    host_ = owner;
    charSize_ = charSize;
    clientSize_ = clientSize;
    rect_ = RECT{};
    visible_ = 1;
    enabled_ = 0;
    parent_ = nullptr;
    top_ = this;
    return OnCreate();
}

#define DOX_CAPTURED(Name, Kind)                                                                                        \
    bool XTopWindowBase::Name(uint32_t flags, int x, int y)                                                             \
    {                                                                                                                   \
        if (CaptureTakes()) {                                                                                           \
            capture_->CallHandler(Kind, flags, x, y);                                                                   \
            return true;                                                                                                \
        }                                                                                                               \
        return XWindowBase::Name(flags, x, y);                                                                          \
    }
DOX_CAPTURED(OnLButtonDown, LButtonDown)
DOX_CAPTURED(OnMouseMove, MouseMove)
DOX_CAPTURED(OnLButtonUp, LButtonUp)
DOX_CAPTURED(OnLButtonDblClk, LButtonDblClk)
DOX_CAPTURED(OnRButtonDown, RButtonDown)
DOX_CAPTURED(OnRButtonUp, RButtonUp)
DOX_CAPTURED(OnRButtonDblClk, RButtonDblClk)
#undef DOX_CAPTURED

void XTopWindowBase::MouseLeftHost(uint32_t flags, int x, int y)
{
    XWindowBase* old = hover_;
    hover_ = nullptr;
    if (old)
        old->OnMouseLeave(flags, x, y);
}

XClientDC::XClientDC(const XWindowBase* part) : CClientDCX(part ? part->GetHostWindow() : nullptr, 100) {}
