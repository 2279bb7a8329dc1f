#pragma once
// A pane of a split design object: one column or row of a split control. The pane
// owns the line on its far side (its splitter); the line of the previous pane
// leads to it (the back link).

#include "GdiTypes.h"

class GrabObjectCore;
class GrabSplitter;

class GrabPane
{
public:
    virtual ~GrabPane();
    // The pane's rectangle inside its object, in the object's logical units.
    virtual void GetPaneRect(RECT* rect);
    // Moves one edge of the pane by distance: edge 1 the far edge (right or
    // bottom), edge 0 the near edge (left or top).
    virtual void MoveBy(int edge, int distance);

    // Places the pane's own splitter again from the pane's rectangle; called
    // whenever the layout of the object changes.
    void UpdateSplitter();

    GrabObjectCore* GetObject() const { return object_; }
    GrabSplitter* GetSplitter() const { return splitter_; }
    GrabSplitter* GetBackLink() const { return backLink_; }
    void SetBackLink(GrabSplitter* splitter) { backLink_ = splitter; }

protected:
    GrabPane() = default;
    void SetObject(GrabObjectCore* object) { object_ = object; }
    void SetSplitter(GrabSplitter* splitter) { splitter_ = splitter; }

private:
    GrabObjectCore* object_ = nullptr;
    GrabSplitter* splitter_ = nullptr;
    GrabSplitter* backLink_ = nullptr;
};
