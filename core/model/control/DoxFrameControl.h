#pragma once
// The frame control: a ruled box, its outline and an even grid of inner lines from
// a column count and a row count. It keeps no cells and takes no input.

#include "DoxAttribItemInt.h"
#include "DoxAttribute.h"
#include "DoxLineControl.h"

class DoxFrameStyleOptions : public DoxAttribOptionsTable
{
public:
    DoxFrameStyleOptions();
};

class DoxFrameSplitAttribute : public DoxAttribute
{
public:
    DoxFrameSplitAttribute();

    int32_t GetKindId() const override;

    DoxAttribItemInt& ColumnItem() { return columns_; }
    DoxAttribItemInt& RowItem() { return rows_; }

private:
    DoxAttribItemInt columns_;
    DoxAttribItemInt rows_;
};

// The grid of the style in rect (y up): vertical lines at the even steps of the
// width and at the right edge, horizontal ones likewise from the top; the last
// band takes the remainder.
void DoxDrawFrameGrid(DC& dc, const RECT& rect, int columns, int rows, uint32_t style);

class DoxFrameControl : public DoxDrawOnlyControl
{
public:
    DoxFrameControl();


    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxStyleItem& Style() { return style_; }
    DoxFrameSplitAttribute& Split() { return split_; }

protected:
    void DrawLines(DC& dc, const RECT& rect) override;
    uint32_t LineColour() override { return fgColor_.GetUValue(); }
    bool IsPrintable() override { return printable_.GetValue() != 0; }

private:
    DoxFrameStyleOptions styleOptions_;
    DoxFgColorAttribute fgColor_;
    DoxPrintableAttribute printable_;
    DoxStyleItem style_;
    DoxFrameSplitAttribute split_;
};
