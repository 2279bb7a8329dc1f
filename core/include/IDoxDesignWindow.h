#pragma once
// The design window the designer embeds: one template page at a zoom of 50..150 %,
// with rulers, the background picture, the snap grid, layers and controls that are
// drawn, selected, moved, sized and aligned. IDoxCore::CreateDesignWindow hands it
// out; the caller owns the one reference. The slot order is part of the protocol;
// keep it.

#include "DoxCommon.h"

class CDC;
class IDoxAttribSet;
class IDoxPage;
class IDoxWindowUISink;
class QWidget;

// Implemented by the designer's design view. Nothing is called while no sink is set.
class IDoxDesignWindowSink
{
public:
    // The selection changed (or RefreshSelection asked again). Never null: the
    // selected control's own attribute set for one object, else a collection
    // captioned "无控件" (nothing selected, no attributes) or "多个控件(n)" holding
    // what the n selected controls have in common. Owned by the window or the
    // control; valid until the next call.
    virtual void OnSelectionChanged(IDoxAttribSet* attributes) = 0;
    // Objects were moved, sized, created, deleted or renumbered.
    virtual void OnModified() = 0;

protected:
    ~IDoxDesignWindowSink() = default;
};

class IDoxDesignWindow : public ICommon
{
public:
    // Stored in the canvas, the outer window and the area around the page; returns
    // the sink given.
    virtual IDoxWindowUISink* SetUISink(IDoxWindowUISink* sink) = 0;
    // The outer window (the one a host places).
    virtual QWidget* GetHwnd() = 0;
    virtual int MoveWindow(int x, int y, int cx, int cy) = 0;
    // Paints the outer window's own surface (the corner between the scroll bars).
    virtual void PaintToDC(CDC* dc) = 0;
    // Sizes the window to the page again and rebuilds the background; the two
    // numbers are not used.
    virtual void UpdateLayout(int unused1, int unused2) = 0;
    // Returns the previous sink.
    virtual IDoxDesignWindowSink* SetDesignSink(IDoxDesignWindowSink* sink) = 0;
    // Tells the sink the current selection again.
    virtual void RefreshSelection() = 0;
    virtual IDoxPage* GetPage() = 0;
    // 0 for a null page, for a page that another design window shows, or when the
    // page refuses (the core's last error text tells why).
    virtual int AttachPage(IDoxPage* page) = 0;
    virtual void DetachPage() = 0;

    // Page settings; sizes and points in 0.1 mm, 0 with the reason in the core's
    // last error text.
    virtual int SetPageSize(int cx, int cy) = 0;
    virtual int SetPageName(const wchar_t* name) = 0;
    virtual int SetPageBasePoint(int x, int y) = 0;
    // An empty or null path removes the picture; applySize makes the page the
    // picture's size. A refused picture or size leaves page and picture unchanged.
    virtual int SetBackgroundPicture(const wchar_t* path, int applySize) = 0;
    virtual int SetBackgroundStretch(int mode) = 0;
    virtual int GetBackgroundStretch() = 0;
    virtual int IsBackgroundVisible() = 0;
    virtual void ShowBackground(int show) = 0;
    // The page's draw list: every shown or current layer, or none.
    virtual void RebuildVisibleLayers() = 0;
    virtual void ClearVisibleLayers() = 0;
    // Prints the snap grid on the named printer; 1 when the job was completed.
    virtual int PrintGrid(const wchar_t* printerName) = 0;
    virtual void RenumberTabOrder() = 0;

    // Tools: 0-7 the control kind to draw, 8 (or any other value) the pointer.
    virtual int GetTool() = 0;
    virtual void SetTool(int tool) = 0;
    virtual void SetSnapToGrid(int on) = 0;
    virtual int IsSnapToGrid() = 0;
    virtual void SetTabOrderMode(int on) = 0;
    virtual int IsTabOrderMode() = 0;
    virtual int GetSelectedCount() = 0;

    // Commands on the selection.
    virtual void AlignTop() = 0;
    virtual void AlignBottom() = 0;
    virtual void AlignLeft() = 0;
    virtual void AlignRight() = 0;
    virtual void AlignVertCenterLine() = 0;
    virtual void AlignHorzCenterLine() = 0;
    virtual void SpaceEvenlyHorz() = 0;
    virtual void SpaceEvenlyVert() = 0;
    virtual void CenterHorz() = 0;
    virtual void CenterVert() = 0;
    virtual void RemoveSpaceHorz() = 0;
    virtual void RemoveSpaceVert() = 0;
    virtual void SameWidth() = 0;
    virtual void SameHeight() = 0;
    virtual void SameSize() = 0;

    // The control clipboard.
    virtual void Cut() = 0;
    virtual void Paste() = 0;
    virtual int CanPaste() = 0;
    virtual void Copy() = 0;
    virtual void NoOp50() = 0;
    virtual void NoOp51() = 0;
    // Spreads the columns and rows of the one selected split control evenly.
    virtual void EvenCells() = 0;
    virtual int CanEvenCells() = 0;
    virtual void SelectAll() = 0;

    // Layers. Indexes outside 0..GetLayerCount()-1 are refused: null name, state
    // and lock 0, result 0.
    // A free name ("新建层", "新建层2", ...); valid until the next call.
    virtual const wchar_t* MakeNewLayerName() = 0;
    virtual int AddLayer(const wchar_t* name) = 0;
    virtual int RemoveLayer(int index) = 0;
    // -1 when no layer has that name.
    virtual int FindLayerIndex(const wchar_t* name) = 0;
    virtual int GetLayerCount() = 0;
    virtual const wchar_t* GetLayerName(int index) = 0;
    virtual int RenameLayer(int index, const wchar_t* name) = 0;
    // 0 hidden, 1 shown, 2 current.
    virtual int GetLayerState(int index) = 0;
    virtual int SetLayerState(int index, int state) = 0;
    virtual int IsLayerLocked(int index) = 0;
    virtual void SetLayerLocked(int index, int locked) = 0;

    // Zoom in percent; both setters return the zoom that holds afterwards.
    virtual int GetZoom() = 0;
    // Steps of 25 (the remainder of delta / 25 is dropped).
    virtual int ZoomBy(int delta) = 0;
    // Applied only within 50..150.
    virtual int SetZoom(int percent) = 0;

protected:
    ~IDoxDesignWindow() = default;
};
