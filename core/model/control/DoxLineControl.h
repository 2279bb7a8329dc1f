#pragma once
// The line control: one pixel-wide rule along one edge or one diagonal of its
// rectangle, for rules and strike-outs on a form. It takes no input.

#include "DoxAttribItemUint.h"
#include "DoxAttribOptions.h"
#include "DC.h"
#include "DoxControl.h"
#include "DoxSingleAttributes.h"

class DoxLineStyleOptions : public DoxAttribOptionsTable
{
public:
    DoxLineStyleOptions();
};

// The "style" choice item of the line and frame controls.
class DoxStyleItem : public DoxAttribItemUint
{
public:
    DoxStyleItem(uint32_t initial, DoxAttribOptions* options);
};

// The end points of the style's line in rect (y up: top above bottom); false for a
// style that names no line.
bool DoxLineEnds(uint32_t style, const RECT& rect, POINT& from, POINT& to);

// The solid one-pixel pen of the line and frame controls.
bool DoxCreateRulePen(CPen& pen, uint32_t colour);

// Shared by the kinds that only draw: no input, no background, never transparent.
class DoxDrawOnlyControl : public DoxControl
{
public:
    bool BeginRun() override;
    void EndRun() override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    void SetRunCursor() override;
    bool IsEditable() override;
    bool IsInput() override;
    bool IsVisible() override;
    uint8_t GetTransparency() override;
    void DrawDesign(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;

protected:
    // Draws the lines into rect with the pen the context holds.
    virtual void DrawLines(DC& dc, const RECT& rect) = 0;
    virtual uint32_t LineColour() = 0;
    virtual bool IsPrintable() = 0;
};

class DoxLineControl : public DoxDrawOnlyControl
{
public:
    DoxLineControl();


    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxStyleItem& Style() { return style_; }
    DoxPrintableAttribute& Printable() { return printable_; }

protected:
    void DrawLines(DC& dc, const RECT& rect) override;
    uint32_t LineColour() override { return fgColor_.GetUValue(); }
    bool IsPrintable() override { return printable_.GetValue() != 0; }

private:
    DoxLineStyleOptions styleOptions_;
    DoxFgColorAttribute fgColor_;
    DoxStyleItem style_;
    DoxPrintableAttribute printable_;
};
