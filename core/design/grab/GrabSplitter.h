#pragma once
// The draggable line between two panes of a split design object: a column line
// (GrabHSplitter, moves along x) or a row line (GrabVSplitter, moves along y).
// The line sits on the far edge of its own pane; the line of the last pane has
// no pane after it and never reacts. Geometry is kept in the y-down form of the
// design canvas: y values are negated unless the mapping kind is 1 (pixels).

#include "GdiTypes.h"

class DC;
class GrabCanvas;
class GrabPane;

class GrabSplitter
{
public:
    virtual ~GrabSplitter();

    // Moves the line by distance along its axis: the pane before it grows at its
    // far edge, the pane after it shrinks at its near edge. 0 without a pane after.
    virtual int MoveBy(int distance);
    // Puts the line on the far edge of the pane rectangle (logical units of kind).
    virtual void Place(int kind, const RECT& paneRect);

    // 1 when (x, y) (logical units) lies in the hit band, edges included.
    int HitTest(int x, int y) const;
    // Button down, mouse move and button up on the line; 1 when this line took the
    // event.
    int BeginDrag(int x, int y);
    int DragTo(DC* dc, int x, int y);
    int EndDrag(int x, int y);
    // Places the line again from the rectangle of its own pane.
    void ApplyPosition();

    GrabPane* GetPane() const { return pane_; }
    GrabPane* GetNextPane() const { return next_; }
    void SetNextPane(GrabPane* pane) { next_ = pane; }
    bool IsDragging() const { return dragging_ != 0; }
    // The line's position along its axis (y-down form), as last placed.
    int GetPosition() const { return alongY_ ? boundary_.top : boundary_.left; }
    // The hit band: the splitter size across the line, centred on it (y-down).
    RECT GetHitBand() const;
    // Width of the hit band and the narrowest a pane beside a dragged line may get.
    void SetSplitterSize(int size) { size_ = size > 0 ? size : 1; }

protected:
    GrabSplitter(GrabPane* pane, bool alongY);

    // Moves the tracking segment by the mouse movement since the last point,
    // keeping both neighbouring panes at least one splitter size wide.
    virtual int ApplyDelta(int kind, RECT& rect, int x, int y);
    // Moves the boundary from start to end through the two panes.
    virtual void Commit(int kind, const RECT& start, const RECT& end);
    // Whether the mouse is close enough to the tracking segment to move it.
    virtual int IsNear(int kind, const RECT& rect, int x, int y);

private:
    int Down(int y) const { return kind_ == 1 ? y : -y; }
    RECT DownRect(const RECT& rect) const;
    // The design engine showing the object, when there is one.
    GrabCanvas* Canvas() const;
    int Size() const;
    // Draws a y-down segment in XOR through the engine's host.
    void Feedback(const RECT& segment) const;

    GrabPane* pane_;
    GrabPane* next_ = nullptr;
    bool alongY_;
    int kind_ = 0;
    int size_ = 16;
    RECT boundary_{};
    RECT tracking_{};
    POINT last_{};
    int dragging_ = 0;
    // A drag outline is on screen.
    int drawn_ = 0;
};

// The line between two columns.
class GrabHSplitter : public GrabSplitter
{
public:
    explicit GrabHSplitter(GrabPane* pane) : GrabSplitter(pane, false) {}
};

// The line between two rows.
class GrabVSplitter : public GrabSplitter
{
public:
    explicit GrabVSplitter(GrabPane* pane) : GrabSplitter(pane, true) {}
};
