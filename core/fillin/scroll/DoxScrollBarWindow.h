#pragma once
// A scrolling window whose positions live in two child QScrollBars: the bar hooks of
// DoxScrollWindow over them, and the step that decides which bars the content needs.
// The derived window places the bars and its content.

#include "DoxScrollWindow.h"

class CDC;
class QScrollBar;

class DoxScrollBarWindow : public DoxScrollWindow
{
public:
    using DoxScrollWindow::DoxScrollWindow;

    // Makes the two bars: hidden, disabled, without focus; a change of either
    // position calls OnBarMoved.
    void CreateBars();
    QScrollBar* VBar() const { return vbar_; }
    QScrollBar* HBar() const { return hbar_; }

    // Which bars the content needs in a client area of the given size, with the bars'
    // ranges, steps and clamped positions; both disabled and hidden when none fits.
    void UpdateBars(int clientWidth, int clientHeight, int vbarWidth, int hbarHeight);

    bool IsVScrollBarEnabled() override;
    bool IsHScrollBarEnabled() override;
    int GetVScrollPos() override;
    int SetVScrollPos(int pos, bool redraw) override;
    int GetVScrollLimit() override;
    int GetVScrollTrackPos() override;
    void EnableVScrollBar(bool enable) override;
    int GetHScrollPos() override;
    int SetHScrollPos(int pos, bool redraw) override;
    int GetHScrollLimit() override;
    int GetHScrollTrackPos() override;
    void EnableHScrollBar(bool enable) override;

    // Fills the square between the two bars when both show (the content's own paint
    // calls it too, since the content may lie under that square).
    void PaintCorner(CDC& dc);

protected:
    void paintEvent(QPaintEvent* event) override;

    // A bar's position changed: the content follows it.
    virtual void OnBarMoved() {}

private:
    QScrollBar* vbar_ = nullptr;
    QScrollBar* hbar_ = nullptr;
};
