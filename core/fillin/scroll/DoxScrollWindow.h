#pragma once
// The scrolling base of the core's large windows (the fill-in page window, the design
// window, the choice list). It keeps the scroll geometry in pixels and does all its
// scrolling through the hooks below, so that a derived window decides where its bars
// are (its own QScrollBar children, or none) and what moves. Keys (PgUp, PgDn), the
// wheel and the bars' requests (SB_* codes, e.g. from plat::ScrollCodeFromSliderAction)
// all end in ScrollBy, which never goes past 0..limit.

#include "GdiTypes.h"
#include "ScrollMath.h"

#include <QWidget>

class DoxScrollWindow : public QWidget
{
public:
    explicit DoxScrollWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    // ---- The hooks, in their order, with do-nothing defaults.
    virtual void UpdateScroll() {}
    virtual bool IsVScrollBarEnabled() { return false; }
    virtual bool IsHScrollBarEnabled() { return false; }
    virtual int GetVScrollPos() { return 0; }
    virtual int SetVScrollPos(int /*pos*/, bool /*redraw*/) { return 0; }
    virtual int GetVScrollLimit() { return 0; }
    virtual int GetVScrollTrackPos() { return 0; }
    virtual void EnableVScrollBar(bool /*enable*/) {}
    virtual int GetHScrollPos() { return 0; }
    virtual int SetHScrollPos(int /*pos*/, bool /*redraw*/) { return 0; }
    virtual int GetHScrollLimit() { return 0; }
    virtual int GetHScrollTrackPos() { return 0; }
    virtual void EnableHScrollBar(bool /*enable*/) {}
    // Moves the content by (dx, dy) pixels (old position - new position).
    virtual void DoScrollWindow(int /*dx*/, int /*dy*/) {}
    virtual void DoUpdateWindow() {}
    // Ctrl + wheel; true when handled.
    virtual bool OnCtrlMouseWheel(int /*delta*/, int /*x*/, int /*y*/) { return false; }

    // ---- Geometry.
    // Sizes in logical units of the mapping kind (1 pixels, 2 0.1 mm) at the zoom,
    // kept in pixels; a page of 0 is an eighth of the total, a line of 0 an eighth of
    // the page.
    void SetScrollSizes(int mapping, int zoom, int totalCx, int totalCy, int pageCx, int pageCy, int lineCx,
                        int lineCy);
    int GetMappingMode() const { return mapping_; }
    SIZE GetTotalSize() const { return total_; }
    SIZE GetPageSize() const { return page_; }
    SIZE GetLineSize() const { return line_; }

    // Which bars the content needs in a client area of the given size (derived windows
    // call it from UpdateScroll); false when the client area is not larger than the bars.
    bool CalcScrollState(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight, bool* needHBar,
                         bool* needVBar, SIZE* range, POINT* pos);

    // ---- Scrolling.
    void ScrollToPosition(int x, int y);
    // Moves by (dx, dy) within the limits; false when nothing moves.
    bool ScrollBy(int dx, int dy);
    // PgUp and PgDn scroll a page (while the vertical bar is enabled) and are handled
    // either way; other keys are not.
    bool DoKeyScroll(uint32_t key);
    // The wheel: `flags` MK_* state, `delta` positive away from the user, the cursor on
    // the screen. Shift does nothing, Ctrl goes to OnCtrlMouseWheel; otherwise the
    // wheel setting's lines per notch (at most a page either way) vertically, or
    // horizontally when only that bar is enabled.
    bool OnMouseWheel(uint32_t flags, int delta, int x, int y);
    // A scroll bar's request (SB_* code), acted on only while that bar is enabled.
    void OnVScroll(int code);
    void OnHScroll(int code);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int mapping_ = 0;
    SIZE total_{};
    SIZE page_{};
    SIZE line_{};
    plat::WheelAccumulator wheel_;
};

// A pane of a scrolling window that scrolls its own content (and its back buffer).
class DoxScrollClient : public QWidget
{
public:
    using QWidget::QWidget;
    virtual void DoScrollWindow(int dx, int dy);
};
