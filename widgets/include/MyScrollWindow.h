#pragma once
// The scrolling base of the library's large windows. It keeps the scroll geometry
// (mapping mode; total, page and line sizes in pixels) and scrolls by keys, wheel
// and scroll-bar requests, but leaves the bars and the moving of the content to
// its hooks: a derived window decides where its bars are (child scroll bars, or
// none) and how its content moves (DoScrollWindow).
//
// The wheel scrolls by lines, as many per notch as the desktop's wheel setting
// says, never more than a page in either direction; a page per notch only with
// the page setting. PgUp and PgDn scroll a page while the vertical bar is on.

#include "BrindleExport.h"
#include "GdiTypes.h"
#include "ScrollMath.h"

#include <QWidget>
#include <cstdint>

class QScrollBar;

// Window styles Create honours.
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;

class BRINDLE_API MyScrollWindow : public QWidget
{
public:
    explicit MyScrollWindow(QWidget* parent = nullptr);
    ~MyScrollWindow() override;

    // Makes this a window of the library's class at `rect` in `parent` with the
    // control id `id`; shown with WS_VISIBLE.
    bool Create(uint32_t style, const RECT& rect, QWidget* parent, int id);

    // The sizes in units of `mapMode`, converted to pixels; negative sizes count as
    // positive, a page of 0 becomes an eighth of the total and a line of 0 an eighth
    // of the page. Then UpdateScroll, and a repaint when the mode changed.
    void SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line);
    int GetMapMode() const { return mapMode_; }
    SIZE GetTotalSize() const { return total_; }
    SIZE GetPageSize() const { return page_; }
    SIZE GetLineSize() const { return line_; }

    // Sets both positions and moves the content by the difference.
    void ScrollToPosition(POINT pos);
    // Scrolls by `delta` pixels within 0..limit per axis: 0 when nothing would move;
    // with `apply` 0 only tells (1) that something would.
    int DoScroll(SIZE delta, int apply);
    // PgUp and PgDn: a page up or down while the vertical bar is on; 1 for those keys
    // (also with the bar off), 0 for others.
    int DoKeyScroll(UINT key);

    // Thickness of a vertical and of a horizontal bar; lines per wheel notch (read
    // once per process, 3 when the desktop gives none).
    static int const_sbsize_cx();
    static int const_sbsize_cy();
    static int const_wheellines();

    // ---- Hooks: the bars and the content, as a derived window has them.
    virtual void UpdateScroll();
    virtual int IsVScrollBarEnabled();
    virtual int IsHScrollBarEnabled();
    virtual int GetVScrollPos();
    virtual int SetVScrollPos(int pos, int redraw);
    virtual int GetVScrollLimit();
    virtual int GetVScrollTrackPos();
    virtual void EnableVScrollBar(int enable);
    virtual int GetHScrollPos();
    virtual int SetHScrollPos(int pos, int redraw);
    virtual int GetHScrollLimit();
    virtual int GetHScrollTrackPos();
    virtual void EnableHScrollBar(int enable);
    // Moves the content by (dx, dy) = old position - new position.
    virtual void DoScrollWindow(int dx, int dy);
    virtual void DoUpdateWindow();

    // ---- Message handlers.
    // WM_MOUSEWHEEL with the MK_* state, the wheel's delta and the screen point;
    // 1 when it scrolled.
    virtual int OnMouseWheel(uint32_t flags, int delta, QPoint point);
    // WM_HSCROLL / WM_VSCROLL with an SB_* code.
    virtual void OnHScroll(int code, int pos);
    virtual void OnVScroll(int code, int pos);

protected:
    // Which bars the client area needs (see plat::CalcScrollState): 0 when the client
    // is not larger than the bars, else 1 with the ranges, the kept positions and
    // needBars (1/0 per axis).
    int CalcScrollState(SIZE client, SIZE barThickness, SIZE& range, POINT& pos, SIZE& needBars);

    // Routes a child scroll bar's requests to OnHScroll / OnVScroll by its orientation.
    void ConnectScrollBar(QScrollBar* bar);

    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int mapMode_ = 0;
    SIZE total_;
    SIZE page_;
    SIZE line_;
    plat::WheelAccumulator wheel_;
};

// A pane whose content scrolls with its scroll window.
class BRINDLE_API MyScrollClient : public QWidget
{
public:
    explicit MyScrollClient(QWidget* parent = nullptr);
    ~MyScrollClient() override;

    // Scrolls the pane's own content by (dx, dy).
    virtual void DoScrollWindow(int dx, int dy);
};
