#pragma once
// The design window: an outer scrolling window with the two rulers, the corner plate
// and two scroll bars; the area around the page inside them (painted through the
// host's sink); and the canvas, sized to the page at the zoom, which carries the
// design engine and implements IDoxDesignWindow. Deleting the outer window deletes
// all of them.

#include <QWidget>

#include <vector>

#include "DoxAttribCollection.h"
#include "DoxBitmap.h"
#include "DoxRulerWindow.h"
#include "DoxScrollBarWindow.h"
#include "GrabCanvas.h"
#include "IDoxDesignWindow.h"

class DoxDesignWindow;
class DoxLayer;
class DoxPage;
class QScrollBar;

class DoxDesignClient : public QWidget, public InterfaceImpl<IDoxDesignWindow>, public GrabCanvas, public GrabHost
{
public:
    DoxDesignClient(DoxDesignWindow* window, QWidget* parent);
    ~DoxDesignClient() override;

    // The engine and its drawing objects; false when they cannot be made.
    bool Create();

    // IDoxDesignWindow
    IDoxWindowUISink* SetUISink(IDoxWindowUISink* sink) override;
    QWidget* GetHwnd() override;
    int MoveWindow(int x, int y, int cx, int cy) override;
    void PaintToDC(CDC* dc) override;
    void UpdateLayout(int unused1, int unused2) override;
    IDoxDesignWindowSink* SetDesignSink(IDoxDesignWindowSink* sink) override;
    void RefreshSelection() override;
    IDoxPage* GetPage() override;
    int AttachPage(IDoxPage* page) override;
    void DetachPage() override;
    int SetPageSize(int cx, int cy) override;
    int SetPageName(const wchar_t* name) override;
    int SetPageBasePoint(int x, int y) override;
    int SetBackgroundPicture(const wchar_t* path, int applySize) override;
    int SetBackgroundStretch(int mode) override;
    int GetBackgroundStretch() override;
    int IsBackgroundVisible() override;
    void ShowBackground(int show) override;
    void RebuildVisibleLayers() override;
    void ClearVisibleLayers() override;
    int PrintGrid(const wchar_t* printerName) override;
    void RenumberTabOrder() override;
    int GetTool() override;
    void SetTool(int tool) override;
    void SetSnapToGrid(int on) override;
    int IsSnapToGrid() override;
    void SetTabOrderMode(int on) override;
    int IsTabOrderMode() override;
    int GetSelectedCount() override;
    void AlignTop() override;
    void AlignBottom() override;
    void AlignLeft() override;
    void AlignRight() override;
    void AlignVertCenterLine() override;
    void AlignHorzCenterLine() override;
    void SpaceEvenlyHorz() override;
    void SpaceEvenlyVert() override;
    void CenterHorz() override;
    void CenterVert() override;
    void RemoveSpaceHorz() override;
    void RemoveSpaceVert() override;
    void SameWidth() override;
    void SameHeight() override;
    void SameSize() override;
    void Cut() override;
    void Paste() override;
    int CanPaste() override;
    void Copy() override;
    void NoOp50() override {}
    void NoOp51() override {}
    void EvenCells() override;
    int CanEvenCells() override;
    void SelectAll() override;
    const wchar_t* MakeNewLayerName() override;
    int AddLayer(const wchar_t* name) override;
    int RemoveLayer(int index) override;
    int FindLayerIndex(const wchar_t* name) override;
    int GetLayerCount() override;
    const wchar_t* GetLayerName(int index) override;
    int RenameLayer(int index, const wchar_t* name) override;
    int GetLayerState(int index) override;
    int SetLayerState(int index, int state) override;
    int IsLayerLocked(int index) override;
    void SetLayerLocked(int index, int locked) override;
    int GetZoom() override;
    int ZoomBy(int delta) override;
    int SetZoom(int percent) override;
    void FinalRelease() override;

    // The engine's hooks.
    void OnBasePointMoved(int x, int y) override;
    void OnSelectionChanged(GrabNode* primary) override;
    void OnModified() override;
    // The page changed: the change hook.
    void OnChange() override;

    // GrabHost
    RECT ToDevice(const RECT& logical) override;
    SIZE PixelsToLogical(SIZE pixels) override;
    void Invalidate(const RECT* device, bool erase) override;
    void RedrawNow(const RECT& device) override;
    void Validate(const RECT& device) override;
    void UpdateWindow() override;
    void SetCapture() override;
    void ReleaseCapture() override;
    bool HasCapture() override;
    void SetCursor(GrabCursor cursor) override;
    void DrawFeedbackRect(const RECT& logical) override;
    void DrawFeedbackLine(int x1, int y1, int x2, int y2) override;

    // The zoom the window applies (rulers, canvas and engine follow).
    void ApplyZoom(int zoom);
    // Composes the page background (fill, picture, edge lines, grid) at the client size.
    void ComposeBackground();
    // A press at a canvas pixel (also one beside the page, passed on by the outer windows).
    void ButtonDown(QPoint point, uint32_t flags, bool right);
    // The shown layer, not the current one, whose control lies under a point in
    // 0.1 mm (y up); null when there is none.
    const DoxLayer* OtherLayerAt(POINT at) const;
    // A canvas pixel in 0.1 mm (y up) at the zoom, clamped to the canvas first.
    POINT ToLogical(QPoint point, bool clamp) const;
    // The outlines shown at the moment (rubber band and engine outlines).
    size_t FeedbackCount() const { return feedback_.size(); }
    DoxPage* Page() const { return page_; }
    const DoxAttribSet_Collection& Collection() const { return collection_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The wheel scrolls or, with Ctrl, zooms the outer window.
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Outline {
        bool line;
        RECT r;
        bool operator==(const Outline& o) const
        {
            return line == o.line && r.left == o.r.left && r.top == o.r.top && r.right == o.r.right &&
                   r.bottom == o.r.bottom;
        }
    };
    void Toggle(const Outline& outline);
    DoxLayer* LayerAt(int index) const;
    void ApplyPageGeometry(bool compose);
    void Repaint() { update(); }
    void CutSelection();
    // The selected nodes of the current layer, the primary first; a primary whose
    // marks are hidden is the current object but not selected.
    std::vector<GrabNode*> SelectedNodes() const;
    void MarkModified();
    // A mouse drag is under way: the rubber band or a drag of the engine.
    bool Dragging() { return dragging_ || HasCapture(); }
    void ShowToolCursor();

    // Tells the sink what the selection now is.
    void ReportSelection();

    // One command (a key, a mouse step, an alignment, opening a page) changes many
    // controls: the sink hears of the selection and of the change once, when the
    // outermost command ends, not once per control.
    class Batch
    {
    public:
        explicit Batch(DoxDesignClient* client) : client_(client) { ++client_->batchDepth_; }
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        DoxDesignClient* client_;
    };
    int batchDepth_ = 0;
    bool selectionPending_ = false;
    bool modifiedPending_ = false;

    DoxDesignWindow* window_;
    DoxPage* page_ = nullptr;
    IDoxDesignWindowSink* designSink_ = nullptr;
    IDoxWindowUISink* uiSink_ = nullptr;
    int tool_ = 8;
    int zoom_ = 100;
    bool showBackground_ = true;
    bool dragging_ = false;
    // The status bar names the layer of a control a click could not select.
    bool layerPromptShown_ = false;
    bool toolCursor_ = true; // the tool's cursor shows, not one of a handle
    POINT start_{};
    POINT current_{};
    DoxBitmap background_;
    DoxAttribSet_Collection collection_;
    std::vector<Outline> feedback_;
};

// The area around the page; clicks beside the page go on to the canvas.
class DoxDesignNClient : public DoxScrollClient
{
public:
    explicit DoxDesignNClient(QWidget* parent);
    void SetUISink(IDoxWindowUISink* sink) { sink_ = sink; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    IDoxWindowUISink* sink_ = nullptr;
};

class DoxDesignWindow : public DoxScrollBarWindow
{
public:
    DoxDesignWindow();
    ~DoxDesignWindow() override;

    // Makes the bars, the rulers, the plate, the area around the page and the canvas,
    // then attaches the page (null leaves the canvas empty). False on failure.
    bool Create(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent, uint32_t id);
    DoxDesignClient* Client() const { return client_; }
    DoxDesignNClient* NClient() const { return nclient_; }
    DoxRulerWindow* HRuler() const { return hruler_; }
    DoxRulerWindow* VRuler() const { return vruler_; }
    DoxPlateWindow* Plate() const { return plate_; }
    int GetZoom() const { return zoom_; }
    void SetUISink(IDoxWindowUISink* sink) { sink_ = sink; }

    // Applies a zoom within 50..150 to the rulers, the canvas and the engine, then
    // the page geometry; false outside the range.
    bool ApplyZoom(int zoom);
    // Page size in 0.1 mm: ruler ranges, scroll sizes, the canvas size and the layout.
    void SetPageGeometry(int cx, int cy);
    void Layout();

    // Scroll hooks beyond the bars'.
    void UpdateScroll() override;
    void DoScrollWindow(int dx, int dy) override;
    void DoUpdateWindow() override;
    bool OnCtrlMouseWheel(int delta, int x, int y) override;

    // The ruler band's width in pixels.
    static constexpr int kBand = 25;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // The canvas and the rulers follow the bars' positions (never a sum of steps).
    void OnBarMoved() override;

private:
    friend class DoxDesignNClient;

    bool created_ = false;
    int zoom_ = 100;
    DoxRulerWindow* vruler_ = nullptr;
    DoxRulerWindow* hruler_ = nullptr;
    DoxPlateWindow* plate_ = nullptr;
    DoxDesignNClient* nclient_ = nullptr;
    DoxDesignClient* client_ = nullptr;
    IDoxWindowUISink* sink_ = nullptr;
};

// IDoxCore::CreateDesignWindow: the window's interface, or null (with the reason in
// the core's last error text) when a window cannot be made.
IDoxDesignWindow* CreateDoxDesignWindow(IDoxPage* page, uint32_t style, const QRect* rect, QWidget* parent,
                                        uint32_t id);
