#pragma once
// The balloon the fill-in window shows next to a field: the field's hint when its
// editor opens, the reason when an entry is refused. Painted into the page client
// after everything else, with a tail pointing at the field; hidden by Esc, by a
// click on it, when the current field changes and when the page goes.

#include <QRect>
#include <string>

#include "DeviceContext.h"
#include "DoxRunnerPage.h"
#include "XWindowBase.h"

// Where a balloon goes for a field (pixels of the page client).
struct TipPlacement {
    RECT balloon{0, 0, 0, 0}; // tail included
    int tailX = 0;
    int fieldTop = 0;
    int fieldBottom = 0;
    bool below = false; // the balloon is below the field, its tail on top
};

// The balloon for a text of textSize (measured with word breaks from 256 pixels)
// next to the field, kept inside the client's width.
TipPlacement PlaceTip(const RECT& field, SIZE textSize, int clientWidth);

class DoxTipWindow : public XTopWindowBase, public DoxRunnerTip
{
public:
    DoxTipWindow();

    // A root part of the page client, hidden until shown.
    bool Create(QWidget* host);
    bool OnCreate() override;
    bool IsTopWindow() const override { return true; }

    // DoxRunnerTip: the field's top-left and size in 0.1 mm (y up).
    bool IsShown() override { return IsEnabled(); }
    void Hide() override;
    void Show(const std::wstring& text, int x, int y, int width, int height) override;

    // The same with the field in client pixels.
    void ShowAt(const std::wstring& text, const RECT& field);
    const std::wstring& Text() const { return text_; }
    const TipPlacement& Placement() const { return place_; }

    void OnPaint(CDC& dc) override;
    // Esc hides a shown tip; never handled, so the page client sees the key too.
    bool OnKeyDown(uint32_t key, uint32_t repeat, uint32_t keyState) override;
    // A click on the body hides the tip (the click goes on to the page).
    void DoLButtonDown(uint32_t flags, int x, int y) override;
    void SetCursor() override;

private:
    RECT Body() const;

    CFont font_;
    std::wstring text_;
    TipPlacement place_;
};
