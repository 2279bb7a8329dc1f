#pragma once
// Columns and rows of the split kinds (rich edit, rich label, table). A set
// attribute ("column" or "row" of the kind's "split" group) owns the grids in
// order and lays them out across the control; each grid is an attribute set of
// its own (width or height first, then whatever the kind adds) and the pane of a
// draggable line in the design window. The container keeps one cell per column x
// row; cells carry the text, the data binding and the input focus in fill-in
// mode. Lengths are 0.1 mm with y up: a control covers (x, y, x + width,
// y - height).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DataObserver.h"
#include "DoxAttribItemInt.h"
#include "DoxAttribItemUint.h"
#include "DoxAttribSet.h"
#include "DoxAttribute.h"
#include "DoxControl.h"
#include "DoxControlBase.h"
#include "GrabPane.h"
#include "GrabSplitter.h"

class CFont;
class DC;
class DataField;
class DoxControlCell;
class DoxControlContainer;
class DoxControlGridSet;
class DoxDataAttribute;
class DoxFormatAttribute;
class DoxFormulaAttribute;

// No column or row gets narrower than this, neither typed nor by a neighbour's
// change.
constexpr int DoxGridMinSize = 10;

// The width ("cx") or height ("cy") of a grid: 1.0 mm by default, 1 mm to 600 mm
// when typed.
class DoxGridSizeItem : public DoxAttribItemSize
{
public:
    DoxGridSizeItem(const char* key, const wchar_t* caption);
};

// The "base" group of a column or row; kinds add their own items after the size.
class DoxAttribGridBasic : public DoxAttribute
{
public:
    explicit DoxAttribGridBasic(bool row);

    int32_t GetKindId() const override;

    DoxAttribItemSize& SizeItem() { return size_; }
    const DoxAttribItemSize& SizeItem() const { return size_; }

private:
    DoxGridSizeItem size_;
};

class DoxControlGrid : public DoxAttribSet, public GrabPane
{
public:
    DoxControlGrid(DoxControl* control, bool row);
    ~DoxControlGrid() override;
    DoxControlGrid(const DoxControlGrid&) = delete;
    DoxControlGrid& operator=(const DoxControlGrid&) = delete;

    // The last applied size follows the loaded one.
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    // A changed size moves the line after this grid (before it, for the last
    // grid): the neighbour takes the difference. Refused when the neighbour
    // would get narrower than the minimum.
    bool AcceptChange(bool changing) override;

    // Along the control's axis: x span of a column, the y span of a row (start
    // above end).
    virtual int GetSpanStart() const;
    virtual int GetSpanEnd() const;
    // Takes the kind's data context (the base keeps it); false refuses the grid.
    virtual bool Init(bool isNew, void* dataContext);
    // Fill-in mode: the condition object of the filter, made and released.
    virtual void BeginRun();
    virtual void EndRun();
    // The dotted line on the far edge.
    virtual void DrawLine(DC& dc);

    void GetPaneRect(RECT* rect) override;
    void MoveBy(int edge, int distance) override;

    bool IsRow() const { return row_; }
    DoxControl* GetControl() const { return control_; }
    DoxAttribGridBasic& Base() { return base_; }
    int GetOffset() const { return offset_; }
    void SetOffset(int offset) { offset_ = offset; }
    int GetSize() const { return base_.SizeItem().GetStoredValue(); }
    // Stores a size from the layout, without the change chain or range test.
    void StoreSize(int size);
    int GetLastSize() const { return lastSize_; }
    // The neighbours through the lines; null at either end.
    DoxControlGrid* Next() const;
    DoxControlGrid* Prev() const;
    void* GetDataContext() const { return dataContext_; }
    DoxDataAttribute* GetBinding() const { return binding_; }
    DoxFormulaAttribute* GetFilter() const { return filter_; }
    // Kinds with a binding of their own at Init.
    void SetBinding(DoxDataAttribute* binding) { binding_ = binding; }
    void SetFilter(DoxFormulaAttribute* filter) { filter_ = filter; }

private:
    bool InDesignWindow() const;

    DoxAttribGridBasic base_;
    DoxControl* control_;
    std::unique_ptr<GrabSplitter> splitter_;
    void* dataContext_ = nullptr;
    DoxDataAttribute* binding_ = nullptr;
    DoxFormulaAttribute* filter_ = nullptr;
    int offset_ = 0;
    int lastSize_ = DoxGridMinSize;
    bool row_;
};

class DoxControlCol : public DoxControlGrid
{
public:
    explicit DoxControlCol(DoxControl* control) : DoxControlGrid(control, false) {}
};

class DoxControlRow : public DoxControlGrid
{
public:
    explicit DoxControlRow(DoxControl* control) : DoxControlGrid(control, true) {}
};

// The count item of a split: its value is the number of grids, its elements are
// the grids themselves.
class DoxControlGridSet : public DoxAttribItemUint, public DoxControlSplitSet
{
public:
    DoxControlGridSet(const char* key, const wchar_t* caption, DoxControl* control);
    ~DoxControlGridSet() override;

    // The property grid's collection operations.
    int32_t GetElementCount() override;
    IDoxAttribSet* GetElement(int32_t i) override;
    bool AddElement() override;
    // An index out of range is ignored.
    void RemoveElement(int32_t i) override;
    // Swaps with the neighbour; false for the first towards the front, the last
    // towards the back, or an index out of range.
    bool MoveElement(int32_t i, bool towardsFront) override;
    // The count follows the list; it is never typed.
    bool SetValueText(const wchar_t* text) override;
    bool SetValue(int32_t value) override;
    void Refresh() override;

    // Loading replaces every grid by those of the element's "dox:attribset"
    // children; saving writes one such child per grid.
    bool LoadXml(const tinyxml2::XMLElement* element) override;
    bool SaveXml(tinyxml2::XMLElement* element, bool full) override;

    // even: every grid gets the same share and the last the rest; otherwise the
    // sizes stay and only the last grid takes what is left.
    void Relayout(bool even) override = 0;
    // The sum of every size but the last, and room for a last grid.
    int GetMinSize() const override;
    int HitSplitter(DC* dc, int x, int y) override;
    int FindSplitter(GrabPane** line, DC* dc, int x, int y) override;
    int TestSplitter(DC* dc, int x, int y) override;

    // One column or row of the kind; none from the base.
    virtual DoxControlGrid* CreateGrid(DoxControl* owner);
    // Rows tell the control's data context how many rows there are.
    virtual void OnCountChanged();

    // Appends a grid (AddElement): made, linked, initialised, laid out evenly,
    // cells rebuilt, control told. Null when the kind makes none.
    DoxControlGrid* AppendGrid();
    // Remembers the context and initialises every grid with it; false at the
    // first refusal.
    bool InitGrids(void* dataContext, bool isNew);
    int GetFixedExtent() const;
    // The dotted lines between the grids.
    void DrawLines(DC& dc);
    // The design window's mouse on the lines, offered to each grid's line in
    // order; true when one took it.
    bool BeginSplitterDrag(int x, int y);
    bool DragSplitter(DC* dc, int x, int y, GrabPane** line);
    bool EndSplitterDrag(int x, int y);

    int Count() const { return static_cast<int>(grids_.size()); }
    DoxControlGrid* GridAt(int i) const;
    int IndexOf(const DoxControlGrid* grid) const;
    DoxControl* GetControl() const { return control_; }
    DoxControlContainer* GetContainer() const { return container_; }
    void SetContainer(DoxControlContainer* container) { container_ = container; }

protected:
    // Places the grids over extent starting at offset 0.
    void LayOut(int extent, bool even);

private:
    void Relink();
    // Links the grid appended last to its neighbour.
    void LinkLast();
    void CountChanged();
    void RebuildCells();
    void Notify();
    void DeleteAll();

    DoxControl* control_;
    void* dataContext_ = nullptr;
    std::vector<std::unique_ptr<DoxControlGrid>> grids_;
    DoxControlContainer* container_ = nullptr;
};

class DoxControlColSet : public DoxControlGridSet
{
public:
    using DoxControlGridSet::DoxControlGridSet;
    void Relayout(bool even) override;
};

class DoxControlRowSet : public DoxControlGridSet
{
public:
    using DoxControlGridSet::DoxControlGridSet;
    void Relayout(bool even) override;
    void OnCountChanged() override;
};

// One column x row of a split control in fill-in mode.
class DoxControlCell : public DataObserver, public DoxControlBase
{
public:
    DoxControlCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row);
    virtual ~DoxControlCell();
    DoxControlCell(const DoxControlCell&) = delete;
    DoxControlCell& operator=(const DoxControlCell&) = delete;

    // The kind re-reads its text; the base keeps it.
    int Update(int32_t row) override;
    // Empties the text and observes the bound field's row; the kind then reads the
    // current value.
    virtual void Reload();
    virtual void ClearText();
    virtual void DrawDesign(DC& dc);
    // The cell's own inner box lines in design.
    virtual void DrawGridLines(DC& dc);
    virtual void DrawContent(DC& dc, int dx, int dy, bool output);
    virtual bool CanInput();

    // Field face.
    void InvalidateField(int flag) override;
    void ValidateField() override;
    void DrawFocus(DC* dc) override;
    int IsWholeControl() override;
    DoxControl* GetControl() override;
    DoxControlBase* NextField() override;
    DoxControlBase* PrevField() override;
    DataField* GetBinding() override;
    void ReservedField() override;
    void HideTip() override;
    int ExchangeEditor(DoxEditorHost* host, int direction) override;
    void GetFieldRect(POINT* position, SIZE* size) override;

    // The control's rectangle narrowed to the column's span and the row's span.
    RECT GetRect() const;
    // Edges included.
    bool HitTest(int x, int y) const;
    // store: writes text into the bound cell (error: the data layer's message).
    // Otherwise text receives the shown value: formatted with format, through the
    // filter's condition when there is one.
    bool ExchangeValue(DoxFormatAttribute* format, std::wstring& text, bool store, std::wstring& error);
    // The stored text of the bound cell; false when unbound.
    bool GetBoundText(std::wstring& text);
    // Stops observing the bound field.
    void StopObserving();

    DoxControlContainer* GetContainer() const { return container_; }
    DoxControlGrid* GetColumn() const { return column_; }
    DoxControlGrid* GetRow() const { return row_; }
    int GetIndex() const { return index_; }
    int GetColumnIndex() const { return columnIndex_; }
    int GetRowIndex() const { return rowIndex_; }
    const std::wstring& GetText() const { return text_; }
    void SetText(const std::wstring& text) { text_ = text; }

    // The column's binding, else the row's.
    DoxDataAttribute* Binding() const;
    // The column's filter, else the row's.
    DoxFormulaAttribute* Filter() const;

private:
    friend class DoxControlContainer;

    DoxControlContainer* container_ = nullptr;
    DoxControl* control_;
    DoxControlGrid* column_;
    DoxControlGrid* row_;
    int index_ = 0;
    int columnIndex_ = 0;
    int rowIndex_ = 0;
    std::wstring text_;
    DataField* observed_ = nullptr;
};

// The cells of a split control, remade from its column and row sets.
class DoxControlContainer
{
public:
    DoxControlContainer(DoxControl* control, DoxControlGridSet* columns, DoxControlGridSet* rows);
    virtual ~DoxControlContainer();
    DoxControlContainer(const DoxControlContainer&) = delete;
    DoxControlContainer& operator=(const DoxControlContainer&) = delete;

    // The kind's cell; none from the base.
    virtual DoxControlCell* CreateCell(DoxControl* control, DoxControlGrid* column, DoxControlGrid* row);

    // One cell per column x row, row-major. False when the kind made no cell (the
    // cells made so far stay).
    bool Rebuild();
    void Clear();
    void BeginRun();
    void EndRun();
    // The placeholder "<请拆分控件>" without cells, else each cell.
    void DrawDesign(DC& dc);
    void DrawGridLines(DC& dc);
    void DrawContent(DC& dc, int dx, int dy, bool output);
    // The same with the control's font selected and its text colour on screen;
    // printing keeps the colour the runner chose.
    void DrawDesign(DC& dc, COLORREF colour, const CFont& font);
    void DrawContent(DC& dc, int dx, int dy, bool output, COLORREF colour, const CFont& font);
    // The first cell that takes input at the point becomes the runner's field.
    bool OnRunClick(int x, int y);
    bool HitTest(int x, int y);

    // Field navigation in cell order over the cells that take input.
    DoxControlCell* NextInput(const DoxControlCell* cell);
    DoxControlCell* PrevInput(const DoxControlCell* cell);
    DoxControlCell* FirstInput();
    DoxControlCell* LastInput();

    DoxControl* GetControl() const { return control_; }
    DoxControlGridSet* GetColumns() const { return columns_; }
    DoxControlGridSet* GetRows() const { return rows_; }
    int CellCount() const { return static_cast<int>(cells_.size()); }
    DoxControlCell* CellAt(int i) const;

private:
    DoxControl* control_;
    DoxControlGridSet* columns_;
    DoxControlGridSet* rows_;
    std::vector<std::unique_ptr<DoxControlCell>> cells_;
};
