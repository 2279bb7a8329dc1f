#pragma once
// The drop-down list of the library: a borderless popup under (or above) its opener
// that lists texts, each with a value, and lets the user pick one with the mouse or
// the keyboard (Up and Down wrap around, PgUp and PgDn, Home and End; a typed
// character selects the first item beginning with what was typed within a second). It can show colour
// swatches ("#" and a hexadecimal COLORREF; -1 is "<透明色>") and a mark before one
// item. The object lives with its owner; its window is up only inside TrackPopWindow.

#include "BrindleExport.h"
#include "GdiObjects.h"
#include "MyPopWindowBase.h"
#include "MyScrollWindow.h"
#include "MyShadowWindow.h"

#include <QTimer>
#include <string>
#include <utility>
#include <vector>

class QScrollBar;

class BRINDLE_API MyChoiceWindow : public MyScrollWindow, public MyPopWindowBase
{
public:
    MyChoiceWindow();
    ~MyChoiceWindow() override;

    int AddItem(const wchar_t* text, long value);
    // Empties the list; nothing is selected afterwards.
    void RemoveAll();
    int GetCount() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    // Selects a valid item other than the current one and returns the previous
    // selection; otherwise returns the current one.
    int SetCurSel(int index);
    int GetCurSel() const { return sel_; }
    int SetItemData(int index, long value);
    int GetItemData(int index, long& out) const;
    int GetItemText(int index, std::wstring& out) const;
    int FindString(const wchar_t* text) const;
    void SetRadio(int index) { radio_ = index; }
    void SetColorList(int colorList) { colorList_ = colorList; }

    // Opens under the opener's screen rectangle (x, y, cx, cy), above it where the
    // work area ends, and runs until a choice: KPWR_OK with GetCurSel() the choice,
    // KPWR_CANCEL without one (or with no items), KPWR_OPENED when already open.
    KPWR TrackPopWindow(int x, int y, int cx, int cy, QWidget* parent, const RECT& blind, const CFont* font);
    void EndTrack(KPWR result) { DoEndTrack(result); }

    int ItemHeight() const { return itemHeight_; }
    bool IsOpen() const { return created_ != 0; }
    // The item selected by typing `key`, as the window does.
    int TypeAhead(wchar_t key);

    void UpdateScroll() override;
    int IsVScrollBarEnabled() override;
    int GetVScrollPos() override;
    int SetVScrollPos(int pos, int redraw) override;
    int GetVScrollLimit() override;
    int GetVScrollTrackPos() override;
    void EnableVScrollBar(int enable) override;
    void DoScrollWindow(int dx, int dy) override;
    void DoUpdateWindow() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Reposition(int x, int y, int cx, int cy);
    // The item area inside the border, less the bar while it is on.
    RECT ItemArea() const;
    int ItemAt(QPoint p) const;
    void ScrollIntoView(int index);
    void Select(int index);
    void Close();

    std::vector<std::pair<std::wstring, long>> items_;
    QScrollBar* bar_ = nullptr;
    int origin_ = 0;
    int sel_ = -1;
    CFont font_;
    bool hasFont_ = false;
    int created_ = 0;
    QTimer findTimer_;
    std::wstring findBuffer_;
    int colorList_ = 0;
    int radio_ = -1;
    int maxHeight_ = 400;
    int itemHeight_ = 16;
    MyShadowWindow shadow_;
    QRect opener_;
};
