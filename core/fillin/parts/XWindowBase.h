#pragma once
// Light-weight window parts. The editors of the fill-in window and the calendar popup
// are trees of parts that share one real window (the host) and paint into it: a part
// is a rectangle in the host's client coordinates with visibility, an enabled state,
// children and virtual handlers. The root part (XTopWindowBase) keeps which part has
// the focus, which holds the mouse capture and which is under the mouse; the host
// window hands its input to the root (mouse: OnLButtonDown and the rest; keys: to the
// root's focus part) and paints the tree with Paint.
//
// Parts are owned by whoever made them (usually as members); a part only links to its
// parent and children. Destroy() (or destruction) takes a part and its subtree out of
// the tree and out of the root's focus, capture and hover.

#include "DeviceContext.h"
#include "WindowDC.h"

#include <QString>
#include <cstdint>
#include <vector>

class QWidget;
class XTopWindowBase;

class XWindowBase
{
public:
    XWindowBase() = default;
    virtual ~XWindowBase();
    XWindowBase(const XWindowBase&) = delete;
    XWindowBase& operator=(const XWindowBase&) = delete;

    // ---- Mouse, dispatched down the tree: a part that is hidden, disabled or not
    // under the point refuses (false); else the first child that accepts gets it; else
    // the part itself handles it (SetCursor, then its Do... handler) and accepts.
    virtual bool OnLButtonDown(uint32_t flags, int x, int y);
    virtual bool OnMouseMove(uint32_t flags, int x, int y);
    virtual bool OnLButtonUp(uint32_t flags, int x, int y);
    virtual bool OnLButtonDblClk(uint32_t flags, int x, int y);
    virtual bool OnRButtonDown(uint32_t flags, int x, int y);
    virtual bool OnRButtonUp(uint32_t flags, int x, int y);
    virtual bool OnRButtonDblClk(uint32_t flags, int x, int y);

    virtual bool OnCreate() { return true; }
    virtual void OnSetFocus() {}
    virtual void OnKillFocus() {}
    virtual void OnPaint(CDC& /*dc*/) {}
    virtual void OnEraseBackground(CDC& /*dc*/) {}
    virtual bool OnKeyDown(uint32_t /*key*/, uint32_t /*repeat*/, uint32_t /*flags*/) { return false; }
    virtual bool OnKeyUp(uint32_t /*key*/, uint32_t /*repeat*/, uint32_t /*flags*/) { return false; }
    virtual bool OnChar(uint32_t /*ch*/, uint32_t /*repeat*/, uint32_t /*flags*/) { return false; }
    virtual void OnImeStartComposition() {}
    virtual void OnImeEndComposition() {}
    virtual bool OnImeComposition(uint32_t /*ch*/, uint32_t /*flags*/) { return false; }

    // The part's own handlers.
    virtual void DoLButtonDown(uint32_t flags, int x, int y);
    virtual void OnMouseEnter(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void DoMouseMove(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void OnMouseLeave(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void DoLButtonUp(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void DoLButtonDblClk(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void DoRButtonDown(uint32_t flags, int x, int y);
    virtual void DoRButtonUp(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    virtual void DoRButtonDblClk(uint32_t /*flags*/, int /*x*/, int /*y*/) {}
    // Parts clear their hover and pressed states here.
    virtual void OnCancelMode() {}
    virtual void SetFont(const CFont* /*font*/) {}
    virtual void OnSize(int /*cx*/, int /*cy*/) {}
    virtual void SetCursor() {}
    virtual void SetText(const QString& /*text*/) {}
    virtual QString GetText() const { return {}; }
    virtual int GetTextLength() const { return 0; }
    virtual bool IsTopWindow() const { return false; }

    // ---- Life.
    // Links the part under `parent` (none: the part is a root, its own top part, on
    // `host`) with its rectangle, then OnCreate().
    bool Create(XWindowBase* parent, const RECT& rect, QWidget* host, bool enabled, int id);
    // OnKillFocus, OnCancelMode, out of the tree with its children (depth first), and
    // out of the root's focus, capture and hover.
    void Destroy();

    // ---- State.
    void SetFocusPart();
    void Enable(bool enable);
    bool IsEnabled() const { return enabled_ != 0; }
    void Show(bool show);
    bool IsVisible() const { return visible_ != 0; }
    void SetEraseBackground(bool erase) { eraseBackground_ = erase ? 1 : 0; }
    void SetRect(const RECT& rect);
    const RECT& GetRect() const { return rect_; }
    int GetId() const { return id_; }
    QWidget* GetHostWindow() const { return host_; }
    XTopWindowBase* GetTopWindow() const { return top_; }
    XWindowBase* GetParent() const { return parent_; }
    const std::vector<XWindowBase*>& GetChildren() const { return children_; }
    bool IsAncestorOf(const XWindowBase* part) const;

    // Takes the mouse capture for the root (all mouse input goes to this part's own
    // handlers) and gives it back.
    void SetCapturePart();
    void ReleaseCapturePart();

    // ---- Painting.
    // later: the rectangle is repainted by the host's next paint; else painted now
    // into a client context of the host, without erasing.
    void Update(bool later);
    // The part (erased first when its flag is set) and then its children in order.
    void Paint(CDC& dc);
    // Invalidates the part's rectangle on the host.
    void Invalidate();

protected:
    enum MouseKind { LButtonDown, MouseMove, LButtonUp, LButtonDblClk, RButtonDown, RButtonUp, RButtonDblClk };
    // The part's own handler of a mouse kind.
    void CallHandler(MouseKind kind, uint32_t flags, int x, int y);
    // The child's entry point of a mouse kind.
    static bool Offer(XWindowBase* part, MouseKind kind, uint32_t flags, int x, int y);
    bool Dispatch(MouseKind kind, uint32_t flags, int x, int y);

    XTopWindowBase* top_ = nullptr;
    XWindowBase* parent_ = nullptr;
    QWidget* host_ = nullptr;
    int id_ = 0;
    RECT rect_{};
    int visible_ = 1;
    int enabled_ = 1;
    int eraseBackground_ = 1;
    std::vector<XWindowBase*> children_;

private:
    friend class XTopWindowBase;
    void Unlink();
    void ForgetInTop();
    void ForgetTopInSubtree();
};

class XTopWindowBase : public XWindowBase
{
public:
    ~XTopWindowBase() override;

    // The calendar's views: fonts, owner window and sizes; enabled 0 until shown.
    bool Create(const CFont* font, const CFont* headerFont, QWidget* owner, SIZE charSize, SIZE clientSize);
    using XWindowBase::Create;

    // While a part holds the capture, a visible and enabled root gives every mouse
    // event straight to that part's own handler.
    bool OnLButtonDown(uint32_t flags, int x, int y) override;
    bool OnMouseMove(uint32_t flags, int x, int y) override;
    bool OnLButtonUp(uint32_t flags, int x, int y) override;
    bool OnLButtonDblClk(uint32_t flags, int x, int y) override;
    bool OnRButtonDown(uint32_t flags, int x, int y) override;
    bool OnRButtonUp(uint32_t flags, int x, int y) override;
    bool OnRButtonDblClk(uint32_t flags, int x, int y) override;

    // The mouse left the host window: the hover part gets OnMouseLeave and there is none.
    void MouseLeftHost(uint32_t flags, int x, int y);

    XWindowBase* GetFocusPart() const { return focus_; }
    XWindowBase* GetCapturePart() const { return capture_; }
    XWindowBase* GetHoverPart() const { return hover_; }

    const CFont* GetNormalFont() const { return font_; }
    const CFont* GetHeaderFont() const { return headerFont_; }
    SIZE GetCharSize() const { return charSize_; }
    SIZE GetClientSize() const { return clientSize_; }

private:
    friend class XWindowBase;
    bool CaptureTakes() const { return capture_ && visible_ && enabled_; }

    XWindowBase* focus_ = nullptr;
    XWindowBase* capture_ = nullptr;
    XWindowBase* hover_ = nullptr;
    const CFont* font_ = nullptr;
    const CFont* headerFont_ = nullptr;
    SIZE charSize_{};
    SIZE clientSize_{};
};

// A drawing context on the part's host window for drawing outside a paint event:
// pixels at zoom 100; what is drawn reaches the screen when it goes away.
class XClientDC : public CClientDCX
{
public:
    explicit XClientDC(const XWindowBase* part);
};
