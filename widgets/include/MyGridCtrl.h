#pragma once
// The report grid: text cells in columns, a 64-bit data word per row, a check mark
// and a focus row, sorting by a click on a column title (columns with format bit
// 0x10), column widths dragged at the title separators (never below 15 px), a find
// filter that hides rows and a trailing empty new-row line. Three panes (column
// header, row leader with check marks and the focus pointer, rows) and two scroll
// bars; every background, line and highlight is painted through a virtual hook, so a
// program restyles the grid by overriding them.
//
// Adding, deleting and changing rows does not repaint; call Relayout() after a batch.

#include "BrindleExport.h"
#include "GdiObjects.h"
#include "MyCapture.h"
#include "MyScrollWindow.h"

#include <QCursor>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDC;
class GridFind;
class MyGridCtrl;

// Column format: low 4 bits the alignment, bit 0x10 sorts on a click.
constexpr unsigned kGridAlignLeft = 0;
constexpr unsigned kGridAlignCenter = 1;
constexpr unsigned kGridAlignRight = 2;
constexpr unsigned kGridSortable = 0x10;
// Narrowest column a separator drag leaves; narrower titles are not painted.
constexpr int kGridMinColumnWidth = 15;

// The texts of one row, kept in a single block as UTF-8: a grid holds a hundred
// thousand rows of forty cells, and a string object per cell costs more than the
// text. UTF-8 keeps the order of the characters byte for byte, so sorting and finding
// work on the bytes without decoding them.
class BRINDLE_API MyGridCells
{
public:
    MyGridCells() = default;
    MyGridCells(const MyGridCells& other);
    MyGridCells& operator=(const MyGridCells& other);
    MyGridCells(MyGridCells&&) noexcept = default;
    MyGridCells& operator=(MyGridCells&&) noexcept = default;

    size_t size() const;
    bool empty() const { return size() == 0; }
    // The cell's UTF-8 bytes; empty outside the cells.
    std::string_view View(int column) const;
    std::wstring Text(int column) const;
    // Whether any one cell holds the UTF-8 text (an empty text is in every row).
    bool Contains(std::string_view text) const;
    // Sets a cell, growing the row up to it.
    void Set(int column, const wchar_t* text);
    // Replaces every cell at once (one allocation for the row).
    void Assign(const std::wstring* texts, size_t count);
    // The same from texts already in UTF-8 (taken as they are).
    void Assign(const std::string_view* texts, size_t count);
    void clear()
    {
        block_.reset();
        pairs_ = {};
    }
    // Asks the processor to start loading the block's first lines, the cell ends and
    // the start of the text (a walk over many rows). A prefetch never faults, so the
    // lines past a short block's end cost nothing but the bandwidth.
    void Prefetch() const
    {
        const char* block = block_.get();
        __builtin_prefetch(block);
        __builtin_prefetch(block + 64);
        __builtin_prefetch(block + 128);
    }
    // Where a text lies inside one cell: its first byte in the block, and the bytes
    // from there to the end of that cell. Valid while the row's cells stay as they are.
    struct Hit {
        const char* at = nullptr;
        uint32_t left = 0;
    };
    // The first place of a text (not empty) inside one cell (column -1: any cell),
    // searched from a place an earlier Hit of this block gave (nullptr: the start).
    Hit FindHit(std::string_view text, int column, const char* from) const;

    // The pairs of neighbouring characters a text holds, each as one bit of 256 (a
    // hash: pairs share bits). A row keeps the mask of the pairs inside its cells
    // beside its flags, so a find over many rows turns most rows that cannot hold a
    // text away without reading their text.
    struct PairMask {
        static constexpr unsigned kShift = 24; // 256 bits
        static constexpr size_t kBits = size_t{1} << (32 - kShift);
        uint64_t bits[kBits / 64] = {};
        bool empty() const
        {
            uint64_t any = 0;
            for (uint64_t word : bits)
                any |= word;
            return any == 0;
        }
    };
    static PairMask PairsOf(std::string_view text);
    // False when the row cannot hold a text with these pairs inside one cell; true
    // says only that it may.
    bool MayHold(const PairMask& pairs) const;

private:
    // Writes the block; the row's pair mask is worked out from the cells unless given.
    void Pack(const std::string_view* cells, size_t count, const PairMask* pairs = nullptr);

    // The block is taken from the grid's runs of cell blocks and given back to them.
    struct BRINDLE_API BlockFree {
        void operator()(char* block) const;
    };
    PairMask pairs_;
    std::unique_ptr<char[], BlockFree> block_;
};

// One row.
class BRINDLE_API MyGridItem
{
public:
    explicit MyGridItem(MyGridCtrl* grid) : grid_(grid) {}

    // Rows are kept side by side in slabs (a find reads every row's flags and mask).
    static void* operator new(size_t size);
    static void operator delete(void* row, size_t size);

    // The cell text, empty when the row has no such cell.
    std::wstring Text(int column) const;
    // Sort test: this row goes before `other` for the column and direction.
    int Compare(const MyGridItem& other, int column, bool ascending) const;
    // Whether the row passes the find filter.
    int Find(int column, const wchar_t* text) const;
    // The same with the text already in UTF-8 (what a filter over many rows passes).
    int FindUtf8(int column, std::string_view text) const;

    MyGridCells cells;
    uint64_t data = 0;
    uint8_t visible = 1;
    uint8_t checked = 0;
    uint8_t focus = 0;

private:
    MyGridCtrl* grid_;
};

struct GridColumn {
    std::wstring title;
    int width = 0;
    // 0 none, -1 ascending, 1 descending.
    int sortMark = 0;
    unsigned format = 0;
};

class BRINDLE_API MyGridHeader : public MyScrollClient, public MyCapture
{
public:
    explicit MyGridHeader(MyGridCtrl* grid);
    void DoScrollWindow(int dx, int dy) override;

    std::vector<GridColumn> columns;
    int origin = 0;
    int pressed = -1;
    int headerHeight = 20;
    int TotalWidth() const;
    // The column whose right edge is within 3 px of x, -1.
    int SeparatorAt(int x) const;
    // The column whose inner zone (3 px in from each edge) holds x, -1.
    int InnerColumnAt(int x) const;
    int ColumnLeft(int column) const;
    bool IsSizing() const { return sizing_ >= 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DragTo(int x);

    MyGridCtrl* grid_;
    int sizing_ = -1;
    int lastX_ = 0;
    bool tracking_ = false;
};

class BRINDLE_API MyGridLeader : public MyScrollClient, public MyCapture
{
public:
    explicit MyGridLeader(MyGridCtrl* grid);
    void DoScrollWindow(int dx, int dy) override;

    int origin = 0;
    int pressed = -1;
    int leaderWidth = 30;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MyGridCtrl* grid_;
};

class BRINDLE_API MyGridClient : public MyScrollClient, public MyCapture
{
public:
    explicit MyGridClient(MyGridCtrl* grid);
    ~MyGridClient() override;
    void DoScrollWindow(int dx, int dy) override;

    std::vector<std::unique_ptr<MyGridItem>> rows;
    int origin = 0;
    int rowHeight = 20;
    int focus = -1;
    MyGridItem newRow;
    int checkCount = 0;

    // The visible rows in order (rebuilt when rows are added, deleted, hidden or sorted).
    const std::vector<int>& Shown();
    void Reshuffled()
    {
        shownValid_ = false;
        ++shuffles_;
    }
    // A row added at the end, shown: the visible rows stay known without a walk.
    void Appended()
    {
        if (shownValid_)
            shown_.push_back(static_cast<int>(rows.size()) - 1);
        ++shuffles_;
    }
    // Counts the times the visible rows were put out of date: a find's notes on the
    // rows it showed hold while this stays the same.
    uint64_t Shuffles() const { return shuffles_; }
    // Takes the visible rows in order, as a filter that just looked at every row found
    // them; `shown` gets the list it replaces (its storage is used again).
    void SetShown(std::vector<int>& shown);
    // Index of the visible row at pane y, -1 (x is checked against the cells by the caller).
    int RowAtY(int y);
    // Number of visible rows before `index` (all of them for an index out of range).
    int OrdinalOf(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    MyGridCtrl* grid_;
    friend class MyGridCtrl;
    friend class GridFind;
    // In row order, so a row's place among them is a binary search.
    std::vector<int> shown_;
    bool shownValid_ = false;
    uint64_t shuffles_ = 0;
};

class BRINDLE_API MyGridCtrl : public MyScrollWindow, public MyCapture
{
public:
    explicit MyGridCtrl(QWidget* parent = nullptr);
    ~MyGridCtrl() override;

    int Create(uint32_t style, const RECT& r, QWidget* parent, unsigned id);

    int AddColumn(const wchar_t* title, int width, unsigned format);
    int SetColumn(int index, const wchar_t* title, int width, unsigned format);
    int DeleteColumn(int index);
    int DeleteAllColumns();
    int GetColumnCount() const;
    std::wstring GetColumnText(int index) const;
    int GetColumnWidth(int index) const;
    int GetColumnSortMark(int index) const;

    int AddItem(const wchar_t* text, uint64_t data);
    // Sets a cell, growing the row up to it; 0 for a bad row or a negative column.
    int SetItemText(int row, int column, const wchar_t* text);
    // Replaces every cell of a row, from column 0 on; 0 for a bad row.
    int SetItemTexts(int row, const std::wstring* texts, int count);
    // The same from UTF-8 texts (what a list read from the bill database passes).
    int SetItemTexts(int row, const std::string_view* texts, int count);
    std::wstring GetItemText(int row, int column) const;
    int SetItemData(int row, uint64_t data);
    uint64_t GetItemData(int row) const;
    int FindItemData(uint64_t data) const;
    // Deletes a row; the focus index follows its row, or is -1 when the row was it.
    int DeleteItem(int row);
    // Deletes the rows given by their indices (taken before any goes) in one pass; the
    // focus index follows its row, or is -1 when its row went. The count deleted.
    int DeleteItems(const std::vector<int>& rows);
    int DeleteItemText(int row);
    // Deletes every row; no row has the focus afterwards.
    int DeleteAllItems();
    int GetItemCount() const;
    int IsItemVisible(int row) const;
    int IsItemChecked(int row) const;
    int GetCheckCount() const;
    int GetCheckNext(int after) const;
    int SetCheckItem(int row, int check);
    int SetCheckAll(int check);
    int ReverseItemCheck(int row);
    int GetFocusItem() const;
    int SetFocusItem(int row);
    int RefreshFocus();
    // Shows the rows holding the text (in the column, or in any cell for -1) and hides
    // the others. 1 when a row was shown or hidden or the focus moved (then the rows
    // are repainted), 0 when the rows on screen stay as they were.
    int Find(int column, const wchar_t* text);
    // The rows added at the end since the grid held `first` rows take their places as
    // if they had been there all along: the last find hides those that do not hold its
    // text, and under a sorted column they move to their places in its order, with any
    // row added since the last placing (the focus index follows its row). What a list
    // that comes in part by part calls after each part; 1 when rows were put in order,
    // 0 when they all stayed at the end.
    int PlaceNewRows(int first);
    void Relayout();
    // The same after a batch that only showed, hid or changed rows: the column titles
    // stay as they are painted.
    void RelayoutRows();
    // The same while rows come in: the rows pane stays where it is scrolled to.
    void RelayoutRowsInPlace();
    // The same after rows came in at the end and none moved (PlaceNewRows gave 0),
    // `shownBefore` rows having been shown before them: the rows are painted again
    // only when the ones that came in are on screen.
    void RelayoutRowsAppended(int shownBefore);
    void DoSort(int column, bool ascending);
    void SetGridFont(const CFont* font);

    MyGridHeader* GetHeader() const { return header_; }
    MyGridLeader* GetLeader() const { return leader_; }
    MyGridClient* GetClient() const { return client_; }
    int RowHeight() const;
    int HeaderHeight() const;
    int IsCornerPressed() const { return cornerPressed_; }

    // ---- Scroll hooks.
    void UpdateScroll() override;
    int IsVScrollBarEnabled() override;
    int IsHScrollBarEnabled() override;
    int GetVScrollPos() override;
    int SetVScrollPos(int pos, int redraw) override;
    int GetVScrollLimit() override;
    int GetVScrollTrackPos() override;
    void EnableVScrollBar(int enable) override;
    int GetHScrollPos() override;
    int SetHScrollPos(int pos, int redraw) override;
    int GetHScrollLimit() override;
    int GetHScrollTrackPos() override;
    void EnableHScrollBar(int enable) override;
    void DoScrollWindow(int dx, int dy) override;
    void DoUpdateWindow() override;

    // ---- Paint hooks; those returning a COLORREF give the text colour there.
    virtual const CFont* OnGetFont();
    virtual void OnEraseCossBkgrnd(CDC& dc, const RECT& r, int state);
    virtual COLORREF OnEraseHeaderButton(CDC& dc, const RECT& r, int state);
    virtual void OnEraseHeaderBkgrnd(CDC& dc, const RECT& r);
    virtual void OnDrawHeaderBottom(CDC& dc, const RECT& r);
    virtual void OnDrawHeaderSeparator(CDC& dc, const RECT& r);
    virtual COLORREF OnEraseLeaderButton(CDC& dc, const RECT& r, int state);
    virtual COLORREF OnEraseLeaderBkgrnd(CDC& dc, const RECT& r);
    virtual void OnDrawLeaderRight(CDC& dc, const RECT& r);
    virtual void OnDrawLeaderSeparator(CDC& dc, const RECT& r);
    virtual COLORREF OnDrawItemHighlight(CDC& dc, const RECT& r, int focused);
    virtual COLORREF OnEraseItemBkgrnd(CDC& dc, const RECT& r);
    virtual void OnDrawItemSeparator(CDC& dc, const RECT& r);
    virtual void OnEraseClientBkgrnd(CDC& dc, const RECT& r);
    virtual void OnFocusedItemChanged();
    virtual void OnRButtonUpItem(QPoint screenPoint);

    // The pane placement of the client rectangle (header, leader, rows).
    RECT HeaderRect() const;
    RECT LeaderRect() const;
    RECT RowsRect() const;
    // Scrolls the rows pane so the row (the new-row line for an index out of range) shows.
    void ScrollIntoView(int row);
    // The leader's toggle of a row by the mouse.
    void LeaderPress(int row);
    void ClientPress(QPoint pt, bool right);
    int HitTestRow(QPoint panePoint);
    void HeaderClick(int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    friend class MyGridItem;
    void MeasureFont();
    void PlacePanes();
    // The scroll sizes of the rows shown, and the panes placed for them.
    void LayOutRows();
    MyGridItem* Row(int row) const;
    // The row whose cells are about to change (the find over it goes stale); null for a bad row.
    MyGridItem* CellsToChange(int row);
    void SetCheck(MyGridItem& item, int check);
    void RepaintRows();
    // SetFocusItem; `paintNow` paints a scroll that brings the row into view at once,
    // else with the next paint of the rows.
    void MoveFocus(int row, bool paintNow);
    void ScrollRowIntoView(int row, bool paintNow);

    MyGridHeader* header_ = nullptr;
    MyGridLeader* leader_ = nullptr;
    MyGridClient* client_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    QScrollBar* hbar_ = nullptr;
    int created_ = 0;
    CFont font_;
    bool hasFont_ = false;
    int cornerPressed_ = 0;
    // Which rows hold the search text, kept from key to key.
    std::unique_ptr<GridFind> find_;
    // The rows before this index were in their sorted places when last placed.
    int placedRows_ = 0;
    // The row FindItemData found last; -1 once a row moved or a row's word was set.
    mutable int dataHint_ = -1;
};
