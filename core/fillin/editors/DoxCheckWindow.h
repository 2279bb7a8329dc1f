#pragma once
// The check-box editor of the fill-in window: the kit's check box over the check
// field. Every toggle is reported to its owner at once, so a check field stores its
// value on each one.

#include <functional>

#include "XCheckWindow.h"

class DoxCheckWindow : public XCheckWindow
{
public:
    void SetOnChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    void OnChanged() override
    {
        if (changed_)
            changed_();
    }
    // A tick set from outside (the field's value) is shown at once.
    void SetChecked(bool ticked)
    {
        SetTicked(ticked);
        Invalidate();
    }
    bool GetChecked() const { return IsTicked(); }
    // Closed (disabled) it paints nothing, as the caret editor: otherwise the box
    // would stay drawn over the last check field while a text field is edited.
    void OnPaint(CDC& dc) override
    {
        if (IsEnabled())
            XCheckWindow::OnPaint(dc);
    }

private:
    std::function<void()> changed_;
};
