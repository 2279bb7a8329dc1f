#pragma once
// The check-box part: a box painted with a focus frame and, when ticked, a "√". It
// toggles when a mouse button is released inside it and when Space is released; every
// toggle calls OnChanged.

#include "XWindowBase.h"

class XCheckWindow : public XWindowBase
{
public:
    void OnPaint(CDC& dc) override;
    void DoLButtonUp(uint32_t flags, int x, int y) override;
    void DoRButtonUp(uint32_t flags, int x, int y) override;
    bool OnKeyUp(uint32_t key, uint32_t repeat, uint32_t flags) override;
    void SetFont(const CFont* font) override;

    // After every toggle.
    virtual void OnChanged() {}

    bool IsTicked() const { return ticked_ != 0; }
    void SetTicked(bool ticked) { ticked_ = ticked ? 1 : 0; }
    void SetColors(COLORREF background, COLORREF text)
    {
        background_ = background;
        text_ = text;
    }

private:
    void Toggle();

    int ticked_ = 0;
    CFont font_;
    COLORREF background_ = 0xFFFFFF;
    COLORREF text_ = 0;
};
