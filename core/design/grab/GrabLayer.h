#pragma once
// Design-side bookkeeping of a layer and the few services of the design window
// ("view") that the model calls. A layer that no view shows keeps an empty grab
// list, and every call through a null view does nothing.

#include <cstdint>
#include <vector>

#include "GdiTypes.h"

class DC;
class GrabCanvas;
class GrabLayer;
class GrabNode;
class GrabObjectCore;

// What the view keeps for one object it shows (handles, selection state).
class GrabSelection
{
public:
    virtual ~GrabSelection() = default;
    virtual GrabObjectCore* GetObject() const = 0;
    // The design engine that made the node; null for a view without one.
    virtual GrabCanvas* GetCanvas() const { return nullptr; }
};

// The services of a design view that the model calls. A window implements them;
// the model calls them only through a non-null view.
class GrabWindow
{
public:
    virtual ~GrabWindow() = default;
    // Wraps an object of a layer into the view's selection node; null when it
    // cannot be made.
    virtual GrabSelection* CreateSelection(GrabLayer* layer, GrabObjectCore* object, int created,
                                           int second) = 0;
    // Drops every reference of the view to the object (selection, hover, current).
    virtual void RemoveObject(GrabSelection* node) = 0;
    virtual void SetCurrentLayer(GrabLayer* layer) = 0;
    virtual void SetPageRect(int cx, int cy, int bpx, int bpy) = 0;
    virtual void InvalidateObject(GrabObjectCore* object, int flag) = 0;
    // Gives each object its list position as fill-in order where it differs.
    virtual void RenumberTabOrder() = 0;
    virtual POINT GetBasePoint() const = 0;
    // Called when a page attached to the view changes.
    virtual void OnChange() = 0;
    // Closes an in-place editor open on the object, if any.
    virtual void CloseEditor(GrabObjectCore* object) = 0;
    // A brush owned by the view for the object's fill; null when it has none.
    virtual void* GetFillBrush(GrabObjectCore* object, COLORREF colour) = 0;
};

class GrabLayer
{
public:
    GrabLayer() = default;
    virtual ~GrabLayer();
    GrabLayer(const GrabLayer&) = delete;
    GrabLayer& operator=(const GrabLayer&) = delete;

    // Wraps the object into a selection node of the view (created: 1 for an object
    // just drawn new, 0 when loading or attaching). Without a view there is nothing
    // to wrap and the result is 1; 0 when the view cannot make the node, after which
    // the caller removes the object again.
    int AddObject(GrabWindow* view, GrabObjectCore* object, int created, int second);
    // Unlinks every node (the view must have dropped them first).
    void RemoveAllObjects();
    // Unlinks one node that the view lets go.
    void ForgetObject(GrabSelection* node);
    const std::vector<GrabSelection*>& Objects() const { return nodes_; }

    GrabWindow* GetView() const { return view_; }
    void SetView(GrabWindow* view) { view_ = view; }

    // The selection of the layer in the design engine that shows it: the primary
    // node, the secondary nodes (newest first) and the node the Tab key selects
    // next (null: the head of the fill-in order). Kept by the engine only.
    GrabNode* primary = nullptr;
    std::vector<GrabNode*> secondaries;
    GrabNode* tabSuccessor = nullptr;
    // The engine that keeps the selection above; told when the layer goes.
    GrabCanvas* canvas = nullptr;

private:
    std::vector<GrabSelection*> nodes_;
    GrabWindow* view_ = nullptr;
};
