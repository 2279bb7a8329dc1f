#pragma once
// The owner-drawn list: a window that shows MyWidContainer rows one per line (list
// layout) or in fixed cells flowing left to right (icon layout), with an optional
// header strip whose column buttons sort the rows, an optional filter box (F2), its
// own vertical scroll bar, tooltips, type-ahead find and keyboard moves.
//
// Style bits given to Create: 0x1 header strip, 0x2 filter box (hidden until F2),
// 0x4 a one-pixel line after every row, 0x8 icon layout.

#include "BrindleExport.h"
#include "MyCapture.h"
#include "MyWidContainer.h"
#include "MyWidgets.h"
#include "ScrollMath.h"

#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QScrollBar;
class MyHeader;

constexpr unsigned kListHeader = 0x1;
constexpr unsigned kListFilter = 0x2;
constexpr unsigned kListSeparator = 0x4;
constexpr unsigned kListIconLayout = 0x8;

struct BRINDLE_API IMyHeaderSink {
    virtual ~IMyHeaderSink() = default;
    virtual void OnHeader_Click(int column, bool ascending) = 0;
};

struct BRINDLE_API IMyFilterSink {
    virtual ~IMyFilterSink() = default;
    virtual void OnFilter_Char(const wchar_t* text) = 0;
};

// The one row of a header strip: its columns are header buttons.
class BRINDLE_API MyHeaderItem : public MyWidContainer, public IMyWidEventSink
{
public:
    explicit MyHeaderItem(MyHeader* header);
    ~MyHeaderItem() override;

    SIZE GetDimension() const override;
    void OnRelease() override;
    void OnErase_bkgnd(CDC& dc, const RECT& r, unsigned id) override;
    using MyWidContainer::OnErase_bkgnd;
    void OnWid_Click(unsigned int column) override;
    void OnWid_DbClick(unsigned int column) override { OnWid_Click(column); }
    void OnWid_KeyReturn(unsigned int column) override { OnWid_Click(column); }

    int AddItem(const wchar_t* title, const RECT& anchored, unsigned format, int enabled);
    void SetSort(int column, bool ascending);
    void SetNoSort();
    RECT GetItemRect(int column) const;
    void DeleteAllItems() { OnRelease(); }
    int GetSortColumn() const { return sortColumn_; }
    MyWidHeaderButton* Column(int column) const;
    int ColumnCount() const { return static_cast<int>(columns_.size()); }

private:
    std::vector<std::unique_ptr<MyWidHeaderButton>> columns_;
    MyHeader* header_;
    int sortColumn_ = -1;
};

class BRINDLE_API MyHeader : public QWidget, public IMyWidContainerDepot, public MyCapture
{
public:
    explicit MyHeader(QWidget* parent = nullptr);
    ~MyHeader() override;

    int Create(unsigned style, const RECT& r, QWidget* parent, unsigned id);
    void Init(IMyHeaderSink* sink) { sink_ = sink; }
    IMyHeaderSink* GetSink() const { return sink_; }
    void SetSort(int column, bool ascending) { row_.SetSort(column, ascending); }
    void SetNoSort() { row_.SetNoSort(); }
    int AddHeaderItem(const wchar_t* title, const RECT& anchored, unsigned format, int enabled);
    void DeleteAllItems();
    RECT GetHeaderItemRect(int column) const { return row_.GetItemRect(column); }
    SIZE GetDimension() const;
    MyHeaderItem& Row() { return row_; }
    void SetHeaderFont(const CFont* font) { font_ = font; }

    void UpdateWidContainer(MyWidContainer* row) override;
    QWidget* GetDepotWnd() override { return this; }
    void UpdateRect(const RECT& r) override;
    COLORREF GetSpColor() override { return 0; }
    POINT GetCursorPos() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    RECT ClientRect() const;

    MyHeaderItem row_;
    const CFont* font_ = nullptr;
    IMyHeaderSink* sink_ = nullptr;
};

// The filter box above a list's rows.
class BRINDLE_API MyFilter : public QLineEdit
{
public:
    explicit MyFilter(QWidget* parent = nullptr);

    int Create(unsigned style, const RECT& r, QWidget* parent, unsigned id);
    void Init(IMyFilterSink* sink) { sink_ = sink; }
    int Show(int show);
    int IsShow() const { return shown_; }
    int Height() const { return shown_ ? 20 : 0; }
    static int const_Height() { return 20; }
    void GetFilterStr(std::wstring& out) const { out = text().toStdWString(); }
    void SetFilterStr(const std::wstring& text) { setText(QString::fromStdWString(text)); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool PassToList(QKeyEvent* event);

    IMyFilterSink* sink_ = nullptr;
    int shown_ = 0;
};

class BRINDLE_API MyList : public QWidget,
                           public IMyWidContainerDepot,
                           public IMyHeaderSink,
                           public IMyFilterSink,
                           public MyCapture
{
public:
    explicit MyList(QWidget* parent = nullptr);
    ~MyList() override;

    int Create(unsigned style, const RECT& r, QWidget* parent, unsigned id);

    int AddItem(MyWidContainer* row, int relayout = 1, unsigned id = 0xFFFFFFFF, unsigned parentId = 0xFFFFFFFF);
    int DeleteItem(int index);
    int DeleteItem(MyWidContainer* row);
    int DeleteItemFast(int index);
    int DeleteAllItems();
    int DeleteAllItemsFast();
    int GetCount() const { return static_cast<int>(rows_.size()); }
    MyWidContainer* GetItem(int index) const;
    MyWidContainer* GetItemFromID(unsigned id) const;
    int GetCurSel() const { return sel_; }
    int SetCurSel(int index) { return SetSelect(index, -1); }
    int HitTest(POINT pt);
    int GetItemRect(int index, RECT* out);
    void GetClientRect(RECT* out) const;
    void Layout();
    void Update();
    void Relayout() { relayoutPending_ = 1; }
    void ShowChildItems(unsigned parentId, int show);
    void FindAndSelect(const wchar_t* text);
    int AddHeaderCol(const wchar_t* title, const RECT& anchored, unsigned format, int enabled);
    void DeleteAllCols();
    void SetSort(int column, bool ascending);
    void ShowFilter(int show);
    MyHeader* GetMyHeader() const { return header_; }
    MyFilter* GetMyFilter() const { return filter_; }
    void SetEdgeColor(COLORREF topLeft, COLORREF bottomRight);
    void SetBkgndColor(COLORREF color) { bkColor_ = color; }
    void SetSpColor(COLORREF color) { spColor_ = color; }
    void SetBorder(int border);
    void SetIconLayoutSize(SIZE size) { cell_ = size; }
    int GetFirstVisiableItem(int from) const;
    int GetLastVisiableItem(int from) const;
    int GetPrevLineVisibleItem(int index) const;
    int GetNextLineVisibleItem(int index) const;
    void ScrollVisiable(int index);
    // The scroll position of the rows (0 at the top).
    int GetScrollPos() const { return vpos_; }
    bool IsScrollBarShown() const { return barShown_ != 0; }
    const std::wstring& FindBuffer() const { return findBuffer_; }
    void SetListFont(const CFont* font);

    // Sees the style bits before the window is made (a program adds 0x4, say).
    virtual void PreCreateWindow(unsigned& style);
    virtual void OnInitialUpdate();
    virtual QWidget* GetPageHwnd() { return this; }
    virtual void DoFillBkgrand(CDC& dc);
    virtual void OnDraw(CDC* dc);
    virtual void OnMyList_RButtonUp(POINT pt);

    // The depot of the rows.
    void UpdateWidContainer(MyWidContainer* row) override;
    QWidget* GetDepotWnd() override { return this; }
    void UpdateRect(const RECT& r) override;
    COLORREF GetSpColor() override { return spColor_; }
    POINT GetCursorPos() override;
    int SetSelect(int index, int hint) override;
    int GetItemRect(MyWidContainer* row, RECT* out) override;
    const CFont* GetFontHandle() override;
    MyWidTipCtrl* GetTipCtrl() override { return &tip_; }

    void OnHeader_Click(int column, bool ascending) override;
    void OnFilter_Char(const wchar_t* text) override;

protected:
    bool event(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Placed {
        MyWidContainer* row;
        int index;
        RECT rect;
    };
    // The rectangles of the shown rows, in order; `inViewOnly` keeps those that reach
    // into the rows area.
    std::vector<Placed> Walk(bool inViewOnly);
    bool RectOf(int index, RECT* out);
    RECT WindowClient() const;
    void ResizeStep();
    int TotalHeight();
    bool DoScroll(int delta);
    void SetScrollPosition(int pos);
    // Calls `fn` on the rows in view, holding them all, until it returns non-zero.
    template <class F>
    void DispatchRows(F fn);
    void DispatchMove(POINT pt);
    int ReleaseRow(int index);
    void AfterDelete(int index, bool wasSelected, bool relayout);
    void TypeAhead(wchar_t c);
    void SelectedRowKey(int key, int arg);

    QScrollBar* bar_ = nullptr;
    MyHeader* header_ = nullptr;
    MyFilter* filter_ = nullptr;
    std::vector<MyWidContainer*> rows_;
    int sel_ = -1;
    CFont font_;
    bool hasFont_ = false;
    int vpos_ = 0;
    int relayoutPending_ = 0;
    // Set while a left press is handed to the rows: an in-place edit opened by the
    // press runs its loop inside it, and the release of that same click must not end it.
    int pressDispatching_ = 0;
    int border_ = 0;
    int barShown_ = 0;
    plat::WheelAccumulator wheel_;
    COLORREF edgeTopLeft_;
    COLORREF edgeBottomRight_;
    COLORREF bkColor_;
    COLORREF spColor_;
    std::wstring findBuffer_;
    QTimer findTimer_;
    int separator_ = 0;
    int iconLayout_ = 0;
    SIZE cell_{32, 32};
    MyWidTipCtrl tip_;
    bool created_ = false;
};
