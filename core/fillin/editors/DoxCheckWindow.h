#pragma once
// The check-box editor of the fill-in window: a painted box over the check field
// that toggles on a button release inside it and on the release of Space. Every
// toggle is reported at once, so a check field stores its value on each one.

#include <functional>

#include "DeviceContext.h"

class QWidget;

class DoxCheckWindow
{
public:
    void Create(QWidget* host, std::function<void()> changed);
    void SetRect(const RECT& rect);
    const RECT& Rect() const { return rect_; }
    void Enable(bool enabled);
    bool IsEnabled() const { return enabled_; }
    void SetFocus(bool focused) { focused_ = focused; }
    void SetFont(const CFont* font);
    void SetChecked(bool ticked);
    bool GetChecked() const { return ticked_; }

    void Paint(CDC& dc);
    // A button release inside the box toggles it.
    bool OnButtonUp(int x, int y);
    bool OnKeyUp(uint32_t key);

private:
    void Toggle();
    void Invalidate();

    QWidget* host_ = nullptr;
    std::function<void()> changed_;
    RECT rect_{0, 0, 0, 0};
    bool enabled_ = false;
    bool focused_ = false;
    bool ticked_ = false;
    CFont font_;
};
