#pragma once
// The label control: fixed text printed on the form (a caption, a note, a fixed
// value); bound to no data and taking no input.

#include "DoxAlignAttribute.h"
#include "DoxControl.h"
#include "DoxEditSplit.h"
#include "DoxSingleAttributes.h"
#include "DoxTextAttributes.h"

class DoxLabelControl : public DoxControl
{
public:
    DoxLabelControl();


    void DrawDesign(DC& dc) override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;

    DoxBgColorAttributeEx& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxTextAttribute& Text() { return text_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxFontAttribute& Font() { return font_; }
    DoxAlignAttribute& Align() { return align_; }
    DoxEditSplitAttribute& Split() { return split_; }

private:
    // Draws the text; with measure, false when it does not show whole.
    bool DrawTextInto(DC& dc, const RECT& rect, bool measure);

    DoxBgColorAttributeEx bgColor_{0xFFFFFFFF};
    DoxFgColorAttribute fgColor_;
    DoxTextAttribute text_;
    DoxPrintableAttribute printable_;
    DoxBorderAttribute border_;
    DoxFontAttribute font_;
    DoxAlignAttribute align_;
    DoxEditSplitAttribute split_;
};
