#pragma once
// The table control: a grid of input fields over a child table of the page's bill
// data that belongs to the control. Every column is set up like an edit control
// (font, alignment, boxes, binding, format, condition, editable flag, tip), every
// row is one row of the control's table, and every cell shows and edits the value
// of its column's field in its row.

#include <string>

#include "DoxAlignAttribute.h"
#include "DoxControl.h"
#include "DoxDataAttribute.h"
#include "DoxEditSplit.h"
#include "DoxSingleAttributes.h"
#include "DoxSplitLayout.h"
#include "DoxTableAttribute.h"
#include "DoxTextAttributes.h"

class DataTable;

// The control's "split" group: the column set, then the row set.
class DoxTableSplitAttribute : public DoxAttribute
{
public:
    DoxTableSplitAttribute();
    int32_t GetKindId() const override;
};

class DoxTableCol : public DoxControlCol
{
public:
    explicit DoxTableCol(DoxControl* control);
    ~DoxTableCol() override;

    // The context is the control's data table: the column binds its field there.
    // False when the field cannot be bound.
    bool Init(bool isNew, void* dataContext) override;

    DoxEditableAttribute& Editable() { return editable_; }
    DoxTipAttribute& Tip() { return tip_; }
    DoxFontAttribute& Font() { return font_; }
    DoxAlignAttribute& Align() { return align_; }
    DoxEditSplitAttribute& Split() { return split_; }
    DoxDataAttribute& Data() { return data_; }
    DoxFormatAttribute& Format() { return format_; }
    DoxFormulaAttribute& FormulaAttr() { return formula_; }

private:
    DoxEditableAttribute editable_;
    DoxTipAttribute tip_;
    DoxFontAttribute font_;
    DoxAlignAttribute align_;
    DoxEditSplitAttribute split_;
    DoxDataAttribute data_;
    DoxFormatAttribute format_;
    DoxFormulaAttribute formula_;
    bool sinksAttached_ = false;
};

class DoxTableRow : public DoxControlRow
{
public:
    using DoxControlRow::DoxControlRow;
};

class DoxTableColSet : public DoxControlColSet
{
public:
    using DoxControlColSet::DoxControlColSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override;
};

class DoxTableRowSet : public DoxControlRowSet
{
public:
    using DoxControlRowSet::DoxControlRowSet;
    DoxControlGrid* CreateGrid(DoxControl* owner) override;
};

class DoxTableCell : public DoxControlCell
{
public:
    using DoxControlCell::DoxControlCell;

    int Update(int32_t row) override;
    void DrawDesign(DC& dc) override;
    void DrawGridLines(DC& dc) override;
    void DrawContent(DC& dc, int dx, int dy, bool output) override;
    bool CanInput() override;
    int ExchangeEditor(DoxEditorHost* host, int direction) override;

    DoxTableCol* Column() const { return static_cast<DoxTableCol*>(GetColumn()); }

private:
    void DrawText(DC& dc, const std::wstring& text, const RECT& rect);
};

class DoxTableContainer : public DoxControlContainer
{
public:
    using DoxControlContainer::DoxControlContainer;
    DoxControlCell* CreateCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row) override;
};

class DoxTableControl : public DoxControl
{
public:
    DoxTableControl();
    ~DoxTableControl() override;


    DataContainer* GetDataContext() override;
    bool Init(bool isNew) override;
    bool BeginRun() override;
    void EndRun() override;
    void DrawDesign(DC& dc) override;
    void DrawDesignBackground(DC& dc) override;
    void DrawBackground(DC& dc) override;
    // Printing draws the column, row and box lines with the context's pen as well:
    // a table is read by its lines. Backgrounds are never printed.
    void DrawContent(DC& dc, int dx, int dy, bool output) override;
    bool OnRunClick(DC* dc, uint32_t flags, int x, int y) override;
    bool HitTest(DC* dc, uint32_t flags, int x, int y) override;
    bool IsEditable() override;
    bool IsInput() override;
    bool IsVisible() override;
    uint8_t GetTransparency() override;

    // Field face: the first and the last cell that takes input; the control itself
    // is never edited.
    DoxControlBase* NextField() override;
    DoxControlBase* PrevField() override;

    DataTable* GetTable() const { return table_.GetTable(); }

    DoxBgColorAttribute& BgColor() { return bgColor_; }
    DoxFgColorAttribute& FgColor() { return fgColor_; }
    DoxBorderAttribute& Border() { return border_; }
    DoxTransparentAttribute& Transparent() { return transparent_; }
    DoxTableAttribute& TableAttribute() { return table_; }
    DoxTableSplitAttribute& Split() { return split_; }
    DoxTableColSet& Columns() { return columns_; }
    DoxTableRowSet& Rows() { return rows_; }
    DoxTableContainer& Cells() { return cells_; }
    DoxTableCol* Column(int i) { return static_cast<DoxTableCol*>(columns_.GridAt(i)); }

private:
    void DrawPrintedLines(DC& dc, int dx, int dy);

    DoxBgColorAttribute bgColor_{0x00DDF1EB};
    DoxFgColorAttribute fgColor_;
    DoxBorderAttribute border_;
    DoxTransparentAttribute transparent_;
    // Before the sets: the columns' bindings go before the table they point into.
    DoxTableAttribute table_;
    DoxTableSplitAttribute split_;
    DoxTableColSet columns_{"column", L"列", this};
    DoxTableRowSet rows_{"row", L"行", this};
    // After the sets: the cells point at the grids and go first.
    DoxTableContainer cells_{this, &columns_, &rows_};
    COLORREF savedTextColour_ = 0;
};
