#pragma once
// The design window's view of one design object (every control is one). The slot
// order of the virtual operations is fixed; the base answers for an object that
// has no geometry and no split.

#include "GdiTypes.h"

class DC;
class GrabLayer;
class GrabSelection;
class GrabPane;

namespace tinyxml2
{
class XMLElement;
}

class GrabObjectCore
{
public:
    virtual ~GrabObjectCore();
    // Clears the design link.
    virtual void Release();
    // kind 0: the object itself; controls also answer 1 and 2.
    virtual void* CastTo(int kind);
    virtual void GetMinSize(SIZE* size);
    virtual void SetRect(const RECT& rect);
    virtual void GetRect(RECT* rect);
    virtual void GetBoundRect(RECT* rect);
    virtual void Relayout();
    virtual void Reserved();
    virtual void DrawDesign(DC* dc);
    // The split queries: whether a column or row line lies at (x, y).
    virtual int HitSplitter(DC* dc, int x, int y);
    virtual int FindSplitter(GrabPane** line, DC* dc, int x, int y);
    virtual int TestSplitter(DC* dc, int x, int y);
    // The locks the design engine honours: the position may not change, the width
    // may not change (slot 14), the height may not change (slot 15).
    virtual int IsMoveLocked();
    virtual int IsSizeLocked();
    virtual int IsSelectLocked();
    virtual int IsLayerShown();
    virtual int IsLayerCurrent();
    virtual GrabLayer* GetLayer();
    virtual int SaveXml(tinyxml2::XMLElement* parent);
    virtual GrabObjectCore* Duplicate(int a, int b);
    virtual void SetTabIndex(int index);
    virtual int GetTabIndex();
    virtual void RelayoutAndRedraw();
    virtual int HasSplit();

    // Moves the object by (dx, dy) in the y-down units of the design canvas showing
    // it, honouring its locks and without repainting; nothing outside a canvas.
    void OffsetBy(int dx, int dy);

    GrabSelection* GetDesignLink() const { return designLink_; }
    void SetDesignLink(GrabSelection* link) { designLink_ = link; }

protected:
    // The view's selection object for this object; null outside a design window.
    GrabSelection* designLink_ = nullptr;
};
