#pragma once
// The drop-down list of the text editor: the field's earlier values (its input
// history), under the field while the operator types or after a click on the
// history button. It follows the mouse and the arrow keys and ends its modal loop
// when a row is released or Enter is pressed; it never takes the activation, so
// the page keeps the keyboard.

#include <QRect>
#include <QWidget>
#include <string>
#include <vector>

#include "DoxPopWindowBase.h"
#include "DoxScrollWindow.h"
#include "DoxShadowWindow.h"

class QScrollBar;

class DoxChoiceWindow : public DoxScrollWindow, public DoxPopWindowBase
{
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kMaxHeight = 400;

    // A tool-tip window of the owner (the page client), which never takes the
    // activation; the owner deletes it.
    explicit DoxChoiceWindow(QWidget* owner);
    ~DoxChoiceWindow() override;

    int AddItem(const std::wstring& text);
    void ClearItems();
    const std::vector<std::wstring>& Items() const { return items_; }
    int GetCurSel() const { return current_; }
    // Returns the previous index; only an index of a row that differs is taken.
    int SetCurSel(int index);
    // The row under a point of the list, -1 for none.
    int HitTest(QPoint point) const;
    bool IsOpen() const { return open_; }

    // Opens the list at screen x, y (the dropping box's top-left) with the given
    // width, below the box of the given height (above when it does not fit the work
    // area), and runs its loop: 1 accepted, 0 not. A list already open is only
    // placed again with no row highlighted, and 2 is returned at once.
    // A list that opens by itself while the user types (`typing`) was not asked for:
    // Tab, Enter and the program's shortcuts end it and then do what they do without
    // it; only Enter on a row the user went to with the arrow keys takes that row.
    int TrackPopWindow(int x, int y, const QRect& blind, int width, int height, bool typing = false);
    // Ends a running loop with the result; without one the result is only kept.
    void EndTrack(int result) { EndPopWindow(result); }

    // Scroll hooks, vertical only, over the list's own bar.
    void UpdateScroll() override;
    bool IsVScrollBarEnabled() override;
    int GetVScrollPos() override;
    int SetVScrollPos(int pos, bool redraw) override;
    int GetVScrollLimit() override;
    int GetVScrollTrackPos() override;
    void EnableVScrollBar(bool enable) override;
    void DoScrollWindow(int dx, int dy) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Place(int x, int y, int width, int height);
    QRect ClientRect() const;
    int Offset() const;
    void ScrollIntoView(int index);
    bool EnterAccepts() const override;

    std::vector<std::wstring> items_;
    QScrollBar* bar_ = nullptr;
    int current_ = -1;
    // The current row was reached with the arrow keys (not the mouse).
    bool keyChosen_ = false;
    bool open_ = false;
    DoxShadowWindow shadow_;
};
