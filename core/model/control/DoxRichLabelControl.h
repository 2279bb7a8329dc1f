#pragma once
// The rich label control: a row of fixed captions side by side, each column with
// its own text, alignment and layout. It takes no input and binds no data.

#include "DoxAlignAttribute.h"
#include "DoxControl.h"
#include "DoxEditSplit.h"
#include "DoxSingleAttributes.h"
#include "DoxSplitLayout.h"
#include "DoxTextAttributes.h"

// The control's "split" group: its column set alone.
class DoxRichLabelSplitAttribute : public DoxAttribute
{
public:
    DoxRichLabelSplitAttribute();
    int32_t GetKindId() const override;
};

class DoxRichLabelCol : public DoxControlCol
{
public:
    explicit DoxRichLabelCol(DoxControl* control);

    // The caption as drawn: a typed "\n" is a line break.
    const std::wstring& DisplayText() { return text_.GetDisplayText(); }

    DoxTextAttribute& Text() { return text_; }
    DoxAlignAttribute& Align() { return align_; }
    DoxEditSplitAttribute& Split() { return split_; }

private:
    DoxTextAttribute text_;
    DoxAlignAttribute align_;
    DoxEditSplitAttribute split_;
};

class DoxRichLabelColSet : public DoxControlColSet
{
public:
    using DoxControlColSet::DoxControlColSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override;
};

class DoxRichLabelCell : public DoxControlCell
{
public:
    using DoxControlCell::DoxControlCell;

    void DrawDesign(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;

    DoxRichLabelCol* Column() const { return static_cast<DoxRichLabelCol*>(GetColumn()); }

private:
    void DrawCaption(DC& dc, const RECT& rect);
};

class DoxRichLabelContainer : public DoxControlContainer
{
public:
    using DoxControlContainer::DoxControlContainer;
    DoxControlCell* CreateCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row) override;
};

class DoxRichLabelControl : public DoxControl
{
public:
    DoxRichLabelControl();
    ~DoxRichLabelControl() override;


    bool BeginRun() override;
    void EndRun() override;
    void DrawDesign(DC& dc) override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;

    DoxBgColorAttributeEx& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxFontAttribute& Font() { return font_; }
    DoxRichLabelSplitAttribute& Split() { return split_; }
    DoxRichLabelColSet& Columns() { return columns_; }
    DoxRichLabelContainer& Cells() { return cells_; }
    DoxRichLabelCol* Column(int i) { return static_cast<DoxRichLabelCol*>(columns_.GridAt(i)); }

private:
    DoxBgColorAttributeEx bgColor_{0xFFFFFFFF};
    DoxFgColorAttribute fgColor_;
    DoxPrintableAttribute printable_;
    DoxBorderAttribute border_;
    DoxFontAttribute font_;
    DoxRichLabelSplitAttribute split_;
    DoxRichLabelColSet columns_{"column", L"列", this};
    // After the columns: the cells point at them and go first.
    DoxRichLabelContainer cells_{this, &columns_, nullptr};
};
