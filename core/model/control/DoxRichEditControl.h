#pragma once
// The rich edit control: one bill field shown once per column, each column with
// its own format, alignment, inner boxes and condition, so that one amount can
// stand in figures in one column and in capital characters in the next. The
// value is typed once, into a single-line editor over the whole control.

#include <string>

#include "DoxAlignAttribute.h"
#include "DoxControl.h"
#include "DoxEditSplit.h"
#include "DoxSingleAttributes.h"
#include "DoxSplitLayout.h"
#include "DoxTextAttributes.h"

// The control's "split" group: its column set alone.
class DoxRichEditSplitAttribute : public DoxAttribute
{
public:
    DoxRichEditSplitAttribute();
    int32_t GetKindId() const override;
};

class DoxRichEditCol : public DoxControlCol
{
public:
    explicit DoxRichEditCol(DoxControl* control);
    ~DoxRichEditCol() override;

    // The context is the control's "databind" group: the column shows its field
    // through its own format and condition.
    bool Init(bool isNew, void* dataContext) override;

    DoxAlignAttribute& Align() { return align_; }
    DoxEditSplitAttribute& Split() { return split_; }
    DoxFormatAttribute& Format() { return format_; }
    DoxFormulaAttribute& FormulaAttr() { return formula_; }

private:
    DoxAlignAttribute align_;
    DoxEditSplitAttribute split_;
    DoxFormatAttribute format_;
    DoxFormulaAttribute formula_;
};

class DoxRichEditColSet : public DoxControlColSet
{
public:
    using DoxControlColSet::DoxControlColSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override;
};

// One per column; shows the value as its column formats it and takes no input of
// its own.
class DoxRichEditCell : public DoxControlCell
{
public:
    using DoxControlCell::DoxControlCell;

    int Update(int32_t row) override;
    void DrawDesign(DC& dc) override;
    void DrawGridLines(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;

    DoxRichEditCol* Column() const { return static_cast<DoxRichEditCol*>(GetColumn()); }
};

class DoxRichEditContainer : public DoxControlContainer
{
public:
    using DoxControlContainer::DoxControlContainer;
    DoxControlCell* CreateCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row) override;
};

class DoxRichEditControl : public DoxControlEx
{
public:
    DoxRichEditControl();
    ~DoxRichEditControl() override;


    bool Init(bool isNew) override;
    bool BeginRun() override;
    void EndRun() override;
    void DrawDesign(DC& dc) override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;
    bool IsEditable() override;
    bool IsInput() override;
    bool IsVisible() override;
    uint8_t GetTransparency() override;
    int ExchangeEditor(DoxEditorHost* host, int direction) override;
    int Update(int32_t row) override;

    DoxBgColorAttributeEx& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxEditableAttribute& Editable() { return editable_; }
    DoxPrintableAttribute& Printable() { return printable_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxTransparentAttribute& Transparent() { return transparent_; }
    DoxTipAttribute& Tip() { return tip_; }
    DoxFontAttribute& Font() { return font_; }
    DoxRichEditSplitAttribute& Split() { return split_; }
    DoxRichEditColSet& Columns() { return columns_; }
    DoxRichEditContainer& Cells() { return cells_; }
    DoxRichEditCol* Column(int i) { return static_cast<DoxRichEditCol*>(columns_.GridAt(i)); }

private:
    DoxBgColorAttributeEx bgColor_{0xF0D9C6};
    DoxFgColorAttribute fgColor_;
    DoxEditableAttribute editable_;
    DoxPrintableAttribute printable_;
    DoxBorderAttribute border_;
    DoxTransparentAttribute transparent_;
    DoxTipAttribute tip_;
    DoxFontAttribute font_;
    DoxRichEditSplitAttribute split_;
    DoxRichEditColSet columns_{"column", L"列", this};
    // After the columns: the cells point at them and go first.
    DoxRichEditContainer cells_{this, &columns_, nullptr};
};
