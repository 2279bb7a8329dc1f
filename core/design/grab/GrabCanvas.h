#pragma once
// The editing engine of the design canvas. It keeps one node per object of the
// attached page, knows the selection of every layer, tests the mouse against
// objects and their handles, runs the drags (resize, move, group move, copy by
// dragging, the base point marker), snaps to the grid, moves and sizes objects
// by keys, numbers the fill-in order and paints the objects with their marks.
//
// It has no window: the design window hosts it, hands it mouse and key records in
// logical units (0.1 mm, y up) and implements GrabHost and the three hooks. Every
// geometric test works on the y-down form of rectangles and points: y negated
// unless the mapping kind is 1 (pixels).

#include <array>
#include <memory>
#include <vector>

#include "GdiObjects.h"
#include "GrabHandle.h"
#include "GrabHost.h"
#include "GrabLayer.h"

class DC;
class GrabObjectCore;

namespace tinyxml2
{
class XMLElement;
}

// One object on the canvas: its handles, its selection state, its layer.
class GrabNode : public GrabSelection
{
public:
    enum Handle { N, S, W, E, NE, NW, SE, SW, C, kHandles };

    GrabNode(GrabCanvas* canvas, GrabObjectCore* object, GrabLayer* layer, int serial);
    // Clears the object's design link.
    ~GrabNode() override;
    GrabNode(const GrabNode&) = delete;
    GrabNode& operator=(const GrabNode&) = delete;

    GrabObjectCore* GetObject() const override { return object_; }
    GrabCanvas* GetCanvas() const override { return canvas_; }
    GrabLayer* GetLayer() const { return layer_; }
    int GetSerial() const { return serial_; }

    // 0 not selected, 1 secondary, 2 primary.
    int GetState() const { return state_; }
    bool MarksHidden() const { return marksHidden_ != 0; }
    bool IsPrimary() const { return layer_ && layer_->primary == this; }
    bool OnCurrentLayer() const;
    int GetTabIndex() const;

    // The object rectangle in y-down form.
    RECT GetRect() const;
    // Applies a y-down rectangle, honouring the locks; 1 when it changed.
    int ApplyRect(const RECT& rect);
    // Stores a y-down rectangle without looking at the locks.
    void SetObjectRect(const RECT& rect);
    void PlaceHandles();
    // Puts the handles around the object again when its rectangle changed behind
    // the engine's back (a typed position, a relayout); never during a drag.
    void FollowObject();

    // Makes the node its layer's primary; returns the previous primary.
    GrabNode* SetPrimary(int redrawNow, int keepPrevious);
    void AddSecondary(int notify);
    void Deselect(int notify);
    void SetTabIndex(int index);

    int OnLButtonDown(int flags, int x, int y);
    int OnMouseMove(int flags, int x, int y);
    int OnLButtonUp(int flags, int x, int y);

    void Draw(DC* dc);
    void DrawTabOrder(DC* dc);

    GrabHandle* GetHandle(int index) { return handles_[static_cast<size_t>(index)].get(); }
    GrabHandleMC* GetGroupHandle() { return &group_; }

private:
    friend class GrabCanvas;

    GrabCanvas* canvas_;
    GrabObjectCore* object_;
    GrabLayer* layer_;
    int serial_;
    int state_ = 0;
    int marksHidden_ = 0;
    std::array<std::unique_ptr<GrabHandle>, kHandles> handles_;
    GrabHandleMC group_;
    RECT placed_{}; // the rectangle the handles were placed around
};

// The page base point: a small square with cross hairs through the whole page.
class GrabBasePointMarker
{
public:
    explicit GrabBasePointMarker(GrabCanvas* canvas) : canvas_(canvas) {}

    void SetSize(SIZE size) { size_ = size; }
    // Moves the marker to a point in logical units.
    void MoveTo(int x, int y);
    POINT GetPoint() const { return point_; }
    // The marker square in y-down form.
    const RECT& GetRect() const { return rect_; }
    bool IsDragging() const { return dragging_ != 0; }

    int OnLButtonDown(int x, int y);
    int OnMouseMove(int x, int y);
    int OnLButtonUp(int x, int y);
    void Draw(DC* dc);

private:
    RECT Around(int x, int y) const;
    void Step(int x, int y, bool always);
    void DrawCrossHairs(const RECT& rect);

    GrabCanvas* canvas_;
    POINT point_{};
    RECT rect_{};
    SIZE size_{16, 16};
    int dragging_ = 0;
    RECT start_{};
    RECT current_{};
    POINT last_{};
    int axes_ = 3;
};

class GrabCanvas : public GrabWindow
{
public:
    GrabCanvas();
    ~GrabCanvas() override;
    GrabCanvas(const GrabCanvas&) = delete;
    GrabCanvas& operator=(const GrabCanvas&) = delete;

    // Mapping kind 2, grid 10, the host and the object whose hooks are called
    // (null: none); makes the drawing objects. 0 when one cannot be made.
    int Init(GrabHost* host, GrabCanvas* hooks);

    // The hooks the design window implements.
    virtual void OnBasePointMoved(int x, int y) = 0;
    virtual void OnSelectionChanged(GrabNode* primary) = 0;
    virtual void OnModified() = 0;

    // What the page and layer code asks of the view.
    GrabSelection* CreateSelection(GrabLayer* layer, GrabObjectCore* object, int created,
                                   int second) override;
    void RemoveObject(GrabSelection* node) override;
    void SetCurrentLayer(GrabLayer* layer) override;
    void SetPageRect(int cx, int cy, int bpx, int bpy) override;
    void InvalidateObject(GrabObjectCore* object, int flag) override;
    void RenumberTabOrder() override;
    POINT GetBasePoint() const override { return marker_.GetPoint(); }
    void OnChange() override {}
    void CloseEditor(GrabObjectCore* /*object*/) override {}
    void* GetFillBrush(GrabObjectCore* object, COLORREF colour) override;

    // Wraps an object into a node of the current layer; null in tab-order mode.
    GrabNode* AddObject(GrabObjectCore* object, int redrawNow, int keepPrevious);
    void InvalidateObject(GrabNode* node, int now);
    // A layer that goes away: nothing may point at it any more.
    void ForgetLayer(GrabLayer* layer);

    // Mouse records in logical units; 1 when the engine took the event.
    int OnLButtonDown(int flags, int x, int y);
    int OnMouseMove(int flags, int x, int y);
    int OnLButtonUp(int flags, int x, int y);
    // Keys of the canvas: Tab, Enter, Esc, Delete, Ctrl+A and the arrows; 1 when
    // the engine took the key. Delete marks the document modified when it removed
    // something.
    enum Key { KeyTab, KeyEnter, KeyEscape, KeyDelete, KeyA, KeyLeft, KeyUp, KeyRight, KeyDown };
    int OnKeyDown(Key key, int flags);

    void Paint(DC* dc);
    void DrawGrid(DC* dc);

    // Selection.
    void SelectInRect(const RECT& rect);
    void SelectNextInTabOrder(int redrawNow);
    void ShowPrimaryMarks();
    void SetTabOrderMode(int on);
    bool InTabOrderMode() const { return tabMode_ != 0; }
    void ClearSelection(int notify);
    // Deselects everything on the current layer, the primary included, without
    // notice: what is made next is all that is selected.
    void DropSelection();
    void SelectAll();
    // The selection of the current layer as it shows, to be put back when an
    // operation that cleared it (a paste) ended up making nothing.
    struct SelectionMarks {
        GrabLayer* layer = nullptr;
        GrabNode* primary = nullptr;
        int marksHidden = 0;
        std::vector<GrabNode*> secondaries;
    };
    SelectionMarks SaveSelectionMarks() const;
    void RestoreSelectionMarks(const SelectionMarks& marks);

    // Commands on the selection of the current layer.
    void AlignTop();
    void AlignBottom();
    void AlignLeft();
    void AlignRight();
    void AlignVertCenterLine();
    void AlignHorzCenterLine();
    void SpaceEvenlyHorz();
    void SpaceEvenlyVert();
    void CenterHorz();
    void CenterVert();
    void RemoveSpaceHorz();
    void RemoveSpaceVert();
    void SameWidth();
    void SameHeight();
    void SameSize();
    // dx, dy in y-down units (positive dy moves down).
    void MoveSelectionBy(int dx, int dy);
    void ResizeSelectionBy(int dx, int dy);
    int DeleteSelection();
    int SaveSelectionXml(tinyxml2::XMLElement* element);
    // Drops copies of the movable selection where their move handles were dragged.
    void DuplicateSelection(int mode, int x, int y);

    // State the handles, splitters and tests read.
    GrabHost* Host() const { return host_; }
    int GetMapKind() const { return kind_; }
    int Down(int y) const { return kind_ == 1 ? y : -y; }
    RECT DownRect(const RECT& rect) const;
    RECT LogicalRect(const RECT& down) const;
    // The page in y-down form.
    const RECT& GetPageRect() const { return page_; }
    SIZE GetHandleSize() const { return handleSize_; }
    int GetSplitterSize() const { return splitterSize_; }
    int GetGrid() const { return grid_; }
    void SetGrid(int grid) { grid_ = grid > 0 ? grid : 1; }
    bool GetSnap() const { return snap_ != 0; }
    void SetSnap(int on) { snap_ = on; }
    int GetZoom() const { return zoom_; }
    void SetZoom(int zoom) { zoom_ = zoom; }
    // v on the grid (dir 0 nearest, > 0 up, < 0 down) when snapping is on.
    int Snap(int v, int dir) const;
    // A size rounded up to a grid multiple when snapping is on.
    int GridRounded(int size) const;
    // Invalidates a y-down rectangle inflated by 12 pixels; now: repaint at once.
    void InvalidateDown(const RECT& rect, bool now);
    void ValidateDown(const RECT& rect);
    // The whole canvas; erase: the background too.
    void InvalidateAll(bool erase);
    void UpdateHost();
    void Feedback(const RECT& down);

    GrabLayer* GetCurrentLayer() const { return current_; }
    GrabNode* GetPrimary() const { return current_ ? current_->primary : nullptr; }
    // Whether the primary counts as selected: a primary whose marks are hidden is
    // only the current object, unless secondaries are selected with it. The keys
    // and commands act on what is selected, never on a hidden primary.
    bool PrimarySelected() const;
    const std::vector<GrabNode*>& HitList() const { return hitList_; }
    const std::vector<GrabNode*>& TabList() const { return tabList_; }
    int GetNextTabNumber() const { return nextTab_; }
    GrabBasePointMarker& Marker() { return marker_; }

    // Hooks, when a hook target is set.
    void NotifySelection(GrabNode* primary);
    // While a batch is open (a paste of many controls), selection changes are told
    // once, when the outermost batch closes, instead of once per control.
    void BeginSelectionBatch();
    void EndSelectionBatch();
    void NotifyModified();
    void NotifyBasePoint(int x, int y);

    void MoveToHead(GrabNode* node);
    GrabNode* NextInTab(GrabNode* node) const;
    // The primary and the secondaries whose objects may move, the primary first.
    std::vector<GrabNode*> MovableSet() const;
    // The union of their rectangles; a zero rectangle for none.
    RECT MovableBounds() const;

private:
    friend class GrabNode;
    friend class GrabBasePointMarker;

    void InsertInTabList(GrabNode* node);
    void RemoveFromList(std::vector<GrabNode*>& list, GrabNode* node);
    void DestroyNode(GrabNode* node);
    void Register(GrabLayer* layer);
    int TabOrderClick(int x, int y);
    // Offers a mouse record (y-down) to the nodes of the current layer, top first.
    int OfferToNodes(int (GrabNode::*handler)(int, int, int), int flags, int x, int y);
    // Applies a y-down rectangle with the invalidation around it.
    int Change(GrabNode* node, const RECT& rect);
    // Shifts the secondaries so that an edge or centre matches the primary.
    template <class Shift> void AlignSecondaries(Shift shift);
    template <class Size> void ResizeSecondaries(Size size);
    void SpaceEvenly(bool vertical);
    void RemoveSpace(bool vertical);
    void Center(bool vertical);
    int SelectionCount() const;
    bool Ready() const { return !tabMode_ && current_; }

    GrabHost* host_ = nullptr;
    GrabCanvas* hooks_ = nullptr;
    std::vector<GrabNode*> hitList_; // head (top-most) first
    std::vector<GrabNode*> tabList_; // ascending fill-in order
    std::vector<GrabLayer*> layers_; // every layer whose selection the engine keeps
    GrabLayer* current_ = nullptr;
    int kind_ = 1;
    int grid_ = 10;
    int zoom_ = 100;
    int snap_ = 0;
    int tabMode_ = 0;
    int nextTab_ = 0;
    RECT page_{};
    SIZE handleSize_{6, 6};
    int splitterSize_ = 6;
    int serial_ = 0;
    int selectionBatch_ = 0;
    bool selectionPending_ = false;
    GrabBasePointMarker marker_;

    CPen handlePen_, lockedPen_, framePen_, nullPen_, markerPen_;
    CBrush secondaryFill_, enabledFill_, lockedFill_, frameBrush_, noFill_, hollow_;
    CBrush tabCurrent_, tabOther_;
    CFont tabFont_;
    CBrush fillCache_;
    COLORREF fillColour_ = static_cast<COLORREF>(-2);
};
