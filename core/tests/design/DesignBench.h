#pragma once
// A window-less bench for the design engine: a host that records what the engine
// asks of its window (repaints, capture, pointer, XOR outlines), an engine whose
// hooks count, and layers of real controls attached to it.

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "DataPage.h"
#include "DoxControl.h"
#include "DoxControlKinds.h"
#include "DoxControlLayer.h"
#include "GrabCanvas.h"

namespace designtest
{

// One unit of the canvas is one pixel, y flipped; 6 pixels make 10 units.
class RecordingHost : public GrabHost
{
public:
    RECT ToDevice(const RECT& r) override { return RECT{r.left, -r.top, r.right, -r.bottom}; }
    SIZE PixelsToLogical(SIZE p) override { return SIZE{p.cx * 10 / 6, p.cy * 10 / 6}; }
    void Invalidate(const RECT*, bool) override { ++invalidated; }
    void RedrawNow(const RECT&) override { ++invalidated; }
    void Validate(const RECT&) override {}
    void UpdateWindow() override {}
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    bool HasCapture() override { return captured; }
    void SetCursor(GrabCursor c) override { cursor = c; }
    // XOR: a shape drawn twice is gone again.
    void DrawFeedbackRect(const RECT& r) override { Toggle(r.left, r.top, r.right, r.bottom); }
    void DrawFeedbackLine(int x1, int y1, int x2, int y2) override { Toggle(x1, y1, x2, y2); }
    // The outlines on screen now, in logical units.
    std::vector<std::tuple<int, int, int, int>> Outlines() const;

    int invalidated = 0;
    bool captured = false;
    GrabCursor cursor = GrabCursor::Arrow;
    int feedbackDraws = 0;

private:
    void Toggle(int a, int b, int c, int d);
    std::map<std::tuple<int, int, int, int>, int> shown_;
};

class TestCanvas : public GrabCanvas
{
public:
    void OnBasePointMoved(int x, int y) override { basePoint = POINT{x, y}; }
    void OnSelectionChanged(GrabNode* primary) override
    {
        ++selectionChanges;
        lastPrimary = primary;
    }
    void OnModified() override { ++modified; }

    POINT basePoint{-1, -1};
    int selectionChanges = 0;
    GrabNode* lastPrimary = nullptr;
    int modified = 0;
};

// A bare design object with no minimum size: a rectangle (y up), a fill-in
// number and a move lock.
class BoxObject : public GrabObjectCore
{
public:
    BoxObject(int left, int top, int width, int height) : rect{left, -top, left + width, -(top + height)} {}
    void SetRect(const RECT& r) override { rect = r; }
    void GetRect(RECT* r) override { *r = rect; }
    int IsMoveLocked() override { return locked; }
    void SetTabIndex(int index) override { tab = index; }
    int GetTabIndex() override { return tab; }
    int Left() const { return rect.left; }
    int Top() const { return -rect.top; }

    RECT rect;
    int tab = -1;
    int locked = 0;
};

// A layer of a page 2100 x 2970 whose controls the engine shows.
class DesignLayer : public DoxControlLayer
{
public:
    ~DesignLayer() override;
    bool GetPageExtent(int32_t& width, int32_t& height) const override
    {
        width = 2100;
        height = 2970;
        return true;
    }
    bool IsLocked() const override { return locked; }
    int GetState() const override { return state; }
    DataPage* GetPageData() override { return &page; }
    void SetModified() override { ++modified; }
    void UnlinkControl(DoxControl* control) override { std::erase(controls, control); }
    DoxControl* LoadControl(const tinyxml2::XMLElement* element, int a, int b) override;
    // A control of the kind at a rectangle in 0.1 mm (y up), attached as drawn new.
    DoxControl* Create(int32_t kind, RECT rect);

    DataPage page;
    std::vector<DoxControl*> controls;
    bool locked = false;
    int state = 1;
    int modified = 0;
};

// The canvas with two layers; a is current.
struct Bench {
    Bench();
    DoxControl* Add(int left, int top, int width, int height, DesignLayer* layer = nullptr,
                    int32_t kind = DoxKindLine);
    // Bare objects on layer a, attached in order; the last is the primary.
    void AddBoxes(std::vector<std::unique_ptr<BoxObject>>& boxes);
    GrabNode* NodeOf(DoxControl* control) const;
    void MakeCurrent(DesignLayer& layer);
    // Mouse records in the y-down form tests think in; the engine gets y up.
    int Down(int flags, int x, int y) { return canvas.OnLButtonDown(flags, x, -y); }
    int Move(int flags, int x, int y) { return canvas.OnMouseMove(flags, x, -y); }
    int Up(int flags, int x, int y) { return canvas.OnLButtonUp(flags, x, -y); }
    void Drag(int flags, int x0, int y0, int x1, int y1, int steps = 4);

    RecordingHost host;
    DesignLayer a;
    DesignLayer b;
    TestCanvas canvas;
};

// The control as the template file writes it.
std::string TemplateXml(DoxControl* control);
// A line control as written by hand: position and size in 0.1 mm, y up.
std::string LineXml(int x, int y, int cx, int cy, int order, int lock = 0);
// The control's rectangle in y-down form.
RECT DownRect(DoxControl* control);

} // namespace designtest
