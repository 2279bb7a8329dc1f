#pragma once
// The grab handles of one object on the design canvas: eight resize handles just
// outside the object's rectangle, the move handle (the rectangle itself) and the
// move handle of a multiple selection. A handle runs one drag: start, outline
// while the mouse moves, the object's new rectangle on release. All rectangles
// and points here are in the y-down form of the canvas.

#include <vector>

#include "GdiTypes.h"
#include "GrabHost.h"

class GrabCanvas;
class GrabNode;

// The mode of a drag: every mode built at button-down has kModeNow; kModeCopy in
// the low bits means Ctrl is held (copy instead of move); kModeGroup marks the copy
// of a multiple selection.
constexpr int kGrabModeNow = 0x10;
constexpr int kGrabModeGroup = 0x20;
constexpr int kGrabModeCopy = 0x2;
// MK_SHIFT and MK_CONTROL of the mouse and key records.
constexpr int kGrabShift = 4;
constexpr int kGrabControl = 8;

// The mode of a drag from the mouse flags.
inline int GrabDragMode(int flags)
{
    return ((flags & kGrabControl) | 0x40) >> 2;
}

class GrabHandle
{
public:
    explicit GrabHandle(GrabCursor cursor) : cursor_(cursor) {}
    virtual ~GrabHandle() = default;
    GrabHandle(const GrabHandle&) = delete;
    GrabHandle& operator=(const GrabHandle&) = delete;

    virtual int IsEnabled();
    virtual void BeginTrack(int mode, int x, int y);
    // One drag step with the outline following.
    virtual void Track(int mode, int x, int y);
    // The last step; 1 when the object changed.
    virtual int EndTrack(int mode, int x, int y);
    // The handle rectangle from the object rectangle (already copied into it).
    virtual void Place(const RECT& rect);
    // Moves the edges the handle owns by the mouse movement since the last point.
    virtual void ApplyDelta(RECT& rect, int x, int y, const RECT& page);
    // Whether the mouse still holds the dragged edge.
    virtual int IsNear(const RECT& rect, int x, int y);
    virtual void SetCursor(int mode);
    // Mouse move that leaves the dragged edge where it is.
    virtual void KeepPoint(int x, int y) { last_ = POINT{x, y}; }

    void Attach(GrabNode* node, SIZE size);
    // Starts a drag when the point lies on the handle.
    int StartDrag(int mode, int x, int y);
    // Mouse move: tracks while dragging, else shows the pointer over the handle.
    int MouseMove(int mode, int x, int y);
    // Button up while dragging: ends the drag and lets the mouse go.
    int FinishDrag(int mode, int x, int y);

    bool Contains(int x, int y) const;
    bool IsDragging() const { return dragging_ != 0; }
    const RECT& GetHandleRect() const { return rect_; }
    void SetHandleRect(const RECT& rect) { rect_ = rect; }
    const RECT& GetTrackRect() const { return tracking_; }
    int GetEndResult() const { return endResult_; }
    int GetAxes() const { return axes_; }
    void SetAxes(int axes) { axes_ = axes; }
    void SetLastPoint(int x, int y) { last_ = POINT{x, y}; }

protected:
    GrabCanvas* Canvas() const;
    // Draws the outline step: erases the old one and draws the new one, leaving
    // nothing drawn while the outline still sits on the start rectangle.
    void StepFeedback(const RECT& old);
    // Erases the outline left on screen, if any.
    void EraseFeedback();
    int NearBand(int edge, int v, int last, int size) const;

    GrabCursor cursor_;
    SIZE size_{};
    int dragging_ = 0;
    int drawn_ = 0;
    RECT rect_{};
    RECT tracking_{};
    RECT start_{};
    POINT last_{};
    GrabNode* node_ = nullptr;
    int endResult_ = 0;
    // 2: the x edge follows the mouse, 1: the y edge does.
    int axes_ = 3;
};

// A resize handle. xEdge: -1 left, 1 right, 0 none; yEdge: -1 top, 1 bottom, 0 none.
class GrabResizeHandle : public GrabHandle
{
public:
    GrabResizeHandle(GrabCursor cursor, int xEdge, int yEdge);

    int IsEnabled() override;
    void Place(const RECT& rect) override;
    void ApplyDelta(RECT& rect, int x, int y, const RECT& page) override;
    int IsNear(const RECT& rect, int x, int y) override;

private:
    int xEdge_;
    int yEdge_;
};

class GrabHandleN : public GrabResizeHandle
{
public:
    GrabHandleN() : GrabResizeHandle(GrabCursor::SizeNS, 0, -1) {}
};
class GrabHandleS : public GrabResizeHandle
{
public:
    GrabHandleS() : GrabResizeHandle(GrabCursor::SizeNS, 0, 1) {}
};
class GrabHandleW : public GrabResizeHandle
{
public:
    GrabHandleW() : GrabResizeHandle(GrabCursor::SizeWE, -1, 0) {}
};
class GrabHandleE : public GrabResizeHandle
{
public:
    GrabHandleE() : GrabResizeHandle(GrabCursor::SizeWE, 1, 0) {}
};
class GrabHandleNE : public GrabResizeHandle
{
public:
    GrabHandleNE() : GrabResizeHandle(GrabCursor::SizeNESW, 1, -1) {}
};
class GrabHandleNW : public GrabResizeHandle
{
public:
    GrabHandleNW() : GrabResizeHandle(GrabCursor::SizeNWSE, -1, -1) {}
};
class GrabHandleSE : public GrabResizeHandle
{
public:
    GrabHandleSE() : GrabResizeHandle(GrabCursor::SizeNWSE, 1, 1) {}
};
class GrabHandleSW : public GrabResizeHandle
{
public:
    GrabHandleSW() : GrabResizeHandle(GrabCursor::SizeNESW, -1, 1) {}
};

// Moves the object; with Ctrl held at the drop, copies it instead.
class GrabHandleC : public GrabHandle
{
public:
    GrabHandleC() : GrabHandle(GrabCursor::SizeAll) {}

    int IsEnabled() override;
    void Place(const RECT& rect) override;
    void ApplyDelta(RECT& rect, int x, int y, const RECT& page) override;
    int IsNear(const RECT& rect, int x, int y) override;
    void SetCursor(int mode) override;
    void Track(int mode, int x, int y) override;
    int EndTrack(int mode, int x, int y) override;

protected:
    // Whether a drop at the tracking rectangle lies far enough from the start to
    // make copies (two handle widths or heights).
    bool FarEnough() const;
    void SwitchCursor(int mode);

    int mode_ = 0;
};

// Moves every movable object of a multiple selection, each through its own move
// handle; with Ctrl held at the drop, copies them.
class GrabHandleMC : public GrabHandleC
{
public:
    void BeginTrack(int mode, int x, int y) override;
    void Track(int mode, int x, int y) override;
    int EndTrack(int mode, int x, int y) override;
    void KeepPoint(int x, int y) override;

private:
    std::vector<GrabNode*> members_;
};
