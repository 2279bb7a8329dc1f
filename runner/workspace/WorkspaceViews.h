#pragma once
// The windows inside the workspace's tab control: the bill list, the page view that
// hosts the core's fill-in window, the splitter between them and the client that
// stacks the three and runs the bill commands.

#include "IDoxDataQuerySink.h"
#include "IDoxWindowUISink.h"
#include "MyGridCtrl.h"
#include "MySearchCtrl.h"
#include "PageSetup.h"

#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CMainClient;
class CMainPageWnd;
class CPrintDlg;
class CVoucherView;
class IDoxCore;
class IDoxDocument;
class IDoxPage;
class IDoxPageWindow;

class CSearchCtrl : public MySearchCtrl
{
public:
    using MySearchCtrl::MySearchCtrl;
    void SetList(CVoucherView* list) { list_ = list; }
    void OnSearch() override;

private:
    CVoucherView* list_ = nullptr;
};

// The list of the stored bills of the current page: column "序号" with the record id,
// then the fields; row data is the id.
class CVoucherView : public MyGridCtrl, public IDoxDataQuerySink
{
public:
    explicit CVoucherView(CMainClient* client);

    void SetSearchBox(CSearchCtrl* search);
    CSearchCtrl* SearchBox() const { return search_; }
    IDoxPage* CurrentPage() const { return page_; }

    // Lists the page's stored bills. The first screen of rows is read at once; the
    // rest come in parts from the event loop, so the program answers its user while
    // they come: a search shown, a sorted column and "tick all" cover each part as
    // it arrives.
    bool RefillBillList(IDoxDocument* document, int index);
    // Whether bills are still coming in.
    bool IsLoading() const { return loadEnd_ >= 0; }
    // "Tick all" was chosen while the bills come in: those still to come come ticked.
    bool TicksArriving() const { return tickArriving_; }
    // Reads the bills still to come at once (a run over every ticked bill needs them).
    void FinishLoading();
    void ClearBillList();
    void UpdateBillRow(int64_t id) { UpdateRow(id, 2); }
    void UpdateBillRowAndFocus(int64_t id) { UpdateRow(id, 3); }
    // Focus none: an empty bill.
    void NewBill();
    void DeleteCheckedBills();
    void Search(int column, const std::wstring& text);
    // The record the page shows (-1: a new bill).
    int64_t ShownId() const { return shownId_; }
    // While a run prints, the focus row follows the bill being printed and no change
    // of focus, whoever reports it, loads a bill or saves the one on screen.
    void HoldSelection(bool hold) { held_ = hold; }
    // Puts the focus back on the shown bill without loading anything.
    void RestoreFocus();
    // Gives a row the focus without loading its bill (a print run loads its own).
    void FocusQuietly(int row);

    bool OnCmdMsg(unsigned id, bool* enabled);

    // IDoxDataQuerySink
    int OnColumns(IDoxColumnReader* columns) override;
    int OnRecord(IDoxRecordReader* record) override;

    // MyGridCtrl hooks
    void OnFocusedItemChanged() override;
    void OnRButtonUpItem(QPoint screenPoint) override;
    void OnEraseCossBkgrnd(CDC& dc, const RECT& r, int state) override;

protected:
    // Delete deletes the ticked bills, or the focused one (after asking).
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int FieldColumnWidth(int count) const;
    void UpdateRow(int64_t id, int mode);
    void ClearSearchBox();
    void FillSearchClasses();
    void SelectBill();
    // Reads the next part of the list (the rows of about one frame) and places it.
    // (`all`: every row still to come, at once).
    void LoadPart(bool all = false);
    // Reads the rows after the last one read, until `limit` rows or `deadline`;
    // true when it stopped there, with rows left.
    bool ReadRows(std::chrono::steady_clock::time_point deadline, size_t limit);
    void StopLoading();

    CMainClient* client_;
    CSearchCtrl* search_ = nullptr;
    IDoxPage* page_ = nullptr;
    int mode_ = 0;
    int64_t shownId_ = -1;
    bool quiet_ = false;
    bool held_ = false;
    int autoWidth_ = 0;               // the field columns' width while nobody has sized them
    // One row's texts in UTF-8 while the list is filled, as the grid keeps them.
    std::vector<std::string> cells_;
    std::vector<std::string_view> cellViews_;
    // While the list comes in: the last bill read and the newest one there was when
    // it began (bills saved since come through UpdateBillRow); -1 when not loading.
    int64_t loadedTo_ = 0;
    int64_t loadEnd_ = -1;
    // The next part is the list's first: one screen of rows.
    bool firstPart_ = false;
    QTimer loader_;
    bool tickArriving_ = false; // "tick all" was chosen while bills came in
    // While a part is read: where it stops, and whether it stopped there.
    size_t partRows_ = 0;
    size_t partLimit_ = 0;
    std::chrono::steady_clock::time_point partDeadline_;
    bool partCut_ = false;
};

// Hosts the core's fill-in window (id 101) and keeps the page setup of its page.
class CDoxPageView : public QWidget, public IDoxWindowUISink
{
public:
    CDoxPageView(CMainClient* client, IDoxCore* core);
    ~CDoxPageView() override;

    IDoxPageWindow* PageWindow() const { return window_; }
    IDoxPage* Page() const;
    int PageIndex() const { return index_; }
    PageSetupRecord& Setup() { return setup_; }

    // Saves a modified bill of the page shown, then shows the page; false when the
    // bill could not be saved (it stays) or the page cannot be shown.
    bool LoadPageIntoView(IDoxDocument* document, int index);
    // Saves a modified bill and takes the page out of the window.
    void DetachPageFromView();

    bool OnCmdMsg(unsigned id, bool* enabled);

    // IDoxWindowUISink
    void OnEraseBackground(CDC* dc, const RECT* rect) override;
    void OnRButtonUp(uint32_t flags, int x, int y) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    CMainClient* client_;
    IDoxPageWindow* window_ = nullptr;
    int index_ = -1;
    PageSetupRecord setup_;
};

// The one-pixel splitter between the list and the page.
class CHSliderWnd : public QWidget
{
public:
    explicit CHSliderWnd(CMainClient* client);
    int Position() const { return position_; }
    void SetPosition(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CMainClient* client_;
    int position_ = 200;
    bool dragging_ = false;
    int startY_ = 0;
    int startPosition_ = 200;
};

class CMainClient : public QWidget
{
public:
    CMainClient(CMainPageWnd* owner, IDoxCore* core);

    CVoucherView* List() const { return list_; }
    CDoxPageView* PageView() const { return view_; }
    CHSliderWnd* Slider() const { return slider_; }
    CMainPageWnd* Owner() const { return owner_; }
    IDoxCore* Core() const { return core_; }

    void Relayout();
    void SwitchBillPage(int index);
    void NewBill();
    // False when the bill could not be saved (the message is shown, the bill stays).
    bool SaveBill(bool asNew = false);
    void PrintCurrentBill();
    void ComputePaymentPassword();
    void EditPageSetup();
    void ContinuousPrint();

    // Commits an open editor and saves a modified bill of the page: 1 saved, 0 nothing
    // to save, -1 not saved (a refused entry, or the database's message is shown).
    int SaveModified(IDoxPage* page);

    bool OnCmdMsg(unsigned id, bool* enabled);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Runs the print dialog and builds the page's printer settings; false (with its
    // message shown) when nothing is to be printed.
    bool PreparePrint(CPrintDlg& dialog, const wchar_t* noPage, const DEVMODEW** devMode);
    void PrintCurrentPage();
    bool PrintCheckedBills(const std::wstring& printer, const DEVMODEW* devMode, int copies);
    // The shown bill is loaded again after a run printed others through the page.
    void ReloadShownBill();
    std::wstring PageName();
    // "打印失败" with the core's reason when it gives one.
    void ReportPrintFailure();
    std::wstring CoreError() const;

    CMainPageWnd* owner_;
    IDoxCore* core_;
    CVoucherView* list_;
    CDoxPageView* view_;
    CHSliderWnd* slider_;
};
