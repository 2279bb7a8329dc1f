#include "WorkspaceViews.h"

#include "IDoxCore.h"
#include "IDoxPage.h"
#include "IDoxDocument.h"
#include "IDoxPageWindow.h"
#include "UIUitl.h"
#include "WaitCursor.h"
#include "Workspace.h"

#include "DeviceContext.h"
#include "GdiObjects.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPolygon>

#include <cwchar>

namespace
{

// What the list asks the page for: the rows after those read, the columns and the
// newest bill's id, one bill's row (2 without and 3 with the focus).
constexpr int kFillMore = 4;
constexpr int kNewestId = 5;

// A part of the list is read for about this long before the event loop runs again:
// a key, a click or a scroll waits for one part at most.
constexpr auto kPartTime = std::chrono::milliseconds(12);
// While a dialog or a menu is up the list waits; it looks again this often.
constexpr int kHeldMs = 50;

std::wstring IdText(int64_t id)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%08lld", static_cast<long long>(id));
    return text;
}

// The same in UTF-8, into a text that keeps its storage from row to row.
void IdText(int64_t id, std::string& out)
{
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%08lld", static_cast<long long>(id));
    out.assign(text, n > 0 ? static_cast<size_t>(n) : 0);
}

} // namespace

void CSearchCtrl::OnSearch()
{
    if (list_)
        list_->Search(static_cast<int>(GetSearchID()), GetSearchStr());
}

CVoucherView::CVoucherView(CMainClient* client) : MyGridCtrl(client), client_(client)
{
    Create(0x50000000, RECT{0, 0, 100, 100}, client, 100);
    loader_.callOnTimeout(this, [this] { LoadPart(); });
}

void CVoucherView::SetSearchBox(CSearchCtrl* search)
{
    search_ = search;
    if (search_)
        search_->SetList(this);
}

void CVoucherView::ClearSearchBox()
{
    if (!search_)
        return;
    search_->ClearSearchClass();
    search_->SetSearchStr(L"", 0);
    search_->setEnabled(false);
}

void CVoucherView::FillSearchClasses()
{
    if (!search_)
        return;
    search_->setEnabled(true);
    search_->AddSearchClass(L"搜索所有字段", static_cast<unsigned long>(-1));
    for (int i = 0; i < GetColumnCount(); ++i)
        search_->AddSearchClass(GetColumnText(i).c_str(), static_cast<unsigned long>(i));
    search_->SelectSearchClass(0, 0);
}

void CVoucherView::Search(int column, const std::wstring& text)
{
    // A search only shows and hides rows: the bill on the page stays as it is, saved
    // or not, and keeps the focus while its row is shown.
    const int before = GetFocusItem();
    // The search keeps the focus on the shown bill's row while it stays, or takes it
    // off when it goes; only a bill whose row was hidden before is looked for again.
    const bool focusOnShown =
        shownId_ >= 0 && before >= 0 && GetItemData(before) == static_cast<uint64_t>(shownId_);
    quiet_ = true;
    const int changed = Find(column, text.c_str());
    if (shownId_ >= 0 && !focusOnShown) {
        const int row = FindItemData(static_cast<uint64_t>(shownId_));
        if (row >= 0 && IsItemVisible(row) && row != GetFocusItem())
            SetFocusItem(row);
    }
    quiet_ = false;
    // A key that showed and hid no row leaves the list on screen as it was; one that
    // did paints the rows, not the column titles.
    if (changed || GetFocusItem() != before)
        RelayoutRows();
}

bool CVoucherView::RefillBillList(IDoxDocument* document, int index)
{
    StopLoading();
    ClearSearchBox();
    DeleteAllColumns();
    DeleteAllItems();
    page_ = document ? document->GetPage(index) : nullptr;
    if (!page_) {
        SetFocusItem(-1);
        Relayout();
        return false;
    }
    // The list reaches the newest bill there is now; bills saved while it comes in
    // are added by their saving.
    loadedTo_ = 0;
    loadEnd_ = 0;
    // The columns come with it. The rows come from the event loop, the first screen of
    // them first: the input that opened the list is answered before any row is read.
    DataQuery newest;
    newest.mode = 2;
    mode_ = kNewestId;
    page_->QueryRecords(this, &newest);
    mode_ = 0;
    if (loadEnd_ > 0) {
        firstPart_ = true;
        loader_.start(0);
    } else {
        StopLoading();
    }
    SetFocusItem(-1);
    Relayout();
    return true;
}

bool CVoucherView::ReadRows(std::chrono::steady_clock::time_point deadline, size_t limit)
{
    partRows_ = 0;
    partLimit_ = limit;
    partDeadline_ = deadline;
    partCut_ = false;
    // In the order of the bills' ids, from the first not yet read.
    wchar_t condition[96];
    std::swprintf(condition, 96, L"id > %lld and id <= %lld order by id", static_cast<long long>(loadedTo_),
                  static_cast<long long>(loadEnd_));
    DataQuery query;
    query.mode = 4;
    query.condition = condition;
    page_->QueryRecords(this, &query);
    // A query that failed lists what it read, as a whole read did.
    return partCut_;
}

void CVoucherView::LoadPart(bool all)
{
    if (!IsLoading() || !page_) {
        StopLoading();
        return;
    }
    // A dialog's or a menu's choice may be about a row by its place in the list.
    if (!all && (QApplication::activeModalWidget() || QApplication::activePopupWidget())) {
        loader_.start(kHeldMs);
        return;
    }
    const int first = GetItemCount();
    // "Tick all" chosen while bills come in ticks the bills that come after it too.
    const bool tick = tickArriving_;
    // A list that shows its end (the new-bill line) keeps showing it as it grows;
    // one the user scrolled up or put the focus on a bill in stays where it is.
    const bool follow = GetFocusItem() < 0 && GetVScrollPos() >= GetVScrollLimit();
    const int shownBefore = static_cast<int>(GetClient()->Shown().size());
    // The first part is the first screen, whatever it takes; then parts of a time.
    const bool firstPart = firstPart_ && !all;
    firstPart_ = false;
    const size_t firstScreen = static_cast<size_t>(std::max(1, height() / std::max(1, RowHeight()) + 1));
    mode_ = kFillMore;
    const bool more = ReadRows(all || firstPart ? std::chrono::steady_clock::time_point::max()
                                                : std::chrono::steady_clock::now() + kPartTime,
                               firstPart ? firstScreen : static_cast<size_t>(-1));
    mode_ = 0;
    if (tick)
        for (int row = first; row < GetItemCount(); ++row)
            SetCheckItem(row, 1);
    quiet_ = true;
    const bool placed = PlaceNewRows(first) != 0;
    quiet_ = false;
    if (more && !all)
        loader_.start(0);
    else
        StopLoading();
    if (follow)
        RelayoutRows();
    else if (placed)
        RelayoutRowsInPlace();
    else
        RelayoutRowsAppended(shownBefore);
}

void CVoucherView::FinishLoading()
{
    if (!IsLoading())
        return;
    plat::WaitCursor wait;
    LoadPart(true);
}

void CVoucherView::StopLoading()
{
    loader_.stop();
    loadEnd_ = -1;
    firstPart_ = false;
    tickArriving_ = false;
    cells_.clear();
    cells_.shrink_to_fit();
    cellViews_.clear();
    cellViews_.shrink_to_fit();
}

void CVoucherView::ClearBillList()
{
    if (!page_)
        return;
    StopLoading();
    page_ = nullptr;
    shownId_ = -1;
    ClearSearchBox();
    DeleteAllColumns();
    quiet_ = true;
    DeleteAllItems();
    quiet_ = false;
    Relayout();
}

void CVoucherView::UpdateRow(int64_t id, int mode)
{
    if (!page_)
        return;
    // A bill the list has yet to read comes with its part, as it is stored then.
    if (IsLoading() && id > loadedTo_ && id <= loadEnd_)
        return;
    DataQuery query;
    query.mode = id == -1 ? 2 : 3;
    query.recordId = id;
    mode_ = mode;
    const int ok = page_->QueryRecords(this, &query);
    mode_ = 0;
    if (ok)
        Relayout();
    else
        UIUitl::MessageBoxFormat(64, L"更新票据“%08lld”失败! %ls", static_cast<long long>(id),
                                 client_->Core()->GetLastErrorText());
}

int CVoucherView::OnColumns(IDoxColumnReader* columns)
{
    if (mode_ != kNewestId)
        return 0;
    // 60 px, or what eight digits need in the list's font.
    AddColumn(L"序号", std::max(60, fontMetrics().horizontalAdvance(QStringLiteral("00000000")) + 14), kGridSortable);
    const int count = columns->GetCount();
    for (int i = 0; i < count; ++i)
        AddColumn(columns->GetName(i), FieldColumnWidth(count), kGridSortable);
    autoWidth_ = FieldColumnWidth(count);
    FillSearchClasses();
    return 0;
}

int CVoucherView::FieldColumnWidth(int count) const
{
    return count > 0 ? std::max(80, (width() - 200) / count) : 80;
}

void CVoucherView::resizeEvent(QResizeEvent* event)
{
    MyGridCtrl::resizeEvent(event);
    // A list filled before it was laid out (a template opened at start-up) takes the
    // field widths of its real size, unless the user has sized a column since.
    const int count = GetColumnCount() - 1;
    if (autoWidth_ <= 0 || count <= 0 || FieldColumnWidth(count) == autoWidth_)
        return;
    for (int i = 1; i <= count; ++i) {
        if (GetColumnWidth(i) != autoWidth_) {
            autoWidth_ = 0;
            return;
        }
    }
    autoWidth_ = FieldColumnWidth(count);
    for (int i = 1; i <= count; ++i)
        SetColumn(i, GetColumnText(i).c_str(), autoWidth_, kGridSortable);
    Relayout();
}

int CVoucherView::OnRecord(IDoxRecordReader* record)
{
    const int64_t id = record->GetId();
    int row = -1;
    if (mode_ == kNewestId) {
        loadEnd_ = id;
        return 1;
    }
    if (mode_ == kFillMore) {
        row = AddItem(nullptr, static_cast<uint64_t>(id));
        // The cells come in UTF-8, as the grid keeps them, through texts that keep
        // their storage from row to row, into the row in one piece.
        const int count = record->GetCount();
        cells_.resize(static_cast<size_t>(count) + 1);
        cellViews_.resize(cells_.size());
        IdText(id, cells_[0]);
        for (int i = 0; i < count; ++i) {
            int32_t bytes = 0;
            const char* text = record->GetUtf8(i, &bytes);
            cells_[static_cast<size_t>(i) + 1].assign(text, static_cast<size_t>(bytes));
        }
        for (size_t i = 0; i < cells_.size(); ++i)
            cellViews_[i] = cells_[i];
        SetItemTexts(row, cellViews_.data(), count + 1);
        loadedTo_ = id;
        // The part ends at its count of rows or, looked at every few rows, its time.
        if (++partRows_ >= partLimit_ ||
            ((partRows_ & 15) == 0 && std::chrono::steady_clock::now() >= partDeadline_)) {
            partCut_ = true;
            return 0;
        }
        return 1;
    } else if (mode_ == 2 || mode_ == 3) {
        row = FindItemData(static_cast<uint64_t>(id));
        if (row < 0)
            row = AddItem(IdText(id).c_str(), static_cast<uint64_t>(id));
    } else {
        return 1;
    }
    for (int i = 0; i < record->GetCount(); ++i)
        SetItemText(row, i + 1, record->GetText(i));
    if (mode_ == 3)
        SetFocusItem(row);
    return 1;
}

void CVoucherView::NewBill()
{
    if (!page_)
        return;
    SetFocusItem(-1);
}

void CVoucherView::RestoreFocus()
{
    quiet_ = true;
    SetFocusItem(shownId_ < 0 ? -1 : FindItemData(static_cast<uint64_t>(shownId_)));
    quiet_ = false;
}

void CVoucherView::FocusQuietly(int row)
{
    quiet_ = true;
    SetFocusItem(row);
    quiet_ = false;
}

void CVoucherView::OnFocusedItemChanged()
{
    if (!quiet_ && !held_)
        SelectBill();
}

void CVoucherView::SelectBill()
{
    if (!page_)
        return;
    const int focus = GetFocusItem();
    const int64_t wanted = focus < 0 ? -1 : static_cast<int64_t>(GetItemData(focus));
    const int saved = client_->SaveModified(page_);
    if (saved < 0) {
        // The bill on the page was not saved: it stays, and so does the focus.
        RestoreFocus();
        return;
    }
    if (saved > 0 && page_->GetRecordId() > 0)
        UpdateBillRow(page_->GetRecordId());
    if (wanted < 0) {
        page_->ForgetRecord();
        shownId_ = -1;
    } else if (page_->LoadRecord(wanted)) {
        shownId_ = wanted;
    } else {
        const int row = FindItemData(static_cast<uint64_t>(wanted));
        UIUitl::MessageBoxFormat(64, L"加载票据“%ls”失败! %ls", GetItemText(row, 0).c_str(),
                                 client_->Core()->GetLastErrorText());
        page_->ForgetRecord();
        shownId_ = -1;
    }
    if (IDoxPageWindow* window = client_->PageView()->PageWindow()) {
        for (QWidget* part : window->GetHwnd()->findChildren<QWidget*>())
            part->update();
        window->GetHwnd()->update();
    }
}

void CVoucherView::DeleteCheckedBills()
{
    if (!page_) {
        UIUitl::MessageBoxW(16, L"无效的页面。");
        return;
    }
    // The ticked bills are all the list's, the ones still to come included.
    FinishLoading();
    const int focus = GetFocusItem();
    if (GetCheckCount() == 0 && focus < 0) {
        UIUitl::MessageBoxW(64, L"请勾选需要删除的票据。");
        return;
    }
    auto deleteBill = [this](int row) {
        const int64_t id = static_cast<int64_t>(GetItemData(row));
        if (!page_->DeleteRecord(id)) {
            UIUitl::MessageBoxFormat(16, L"删除票据“%ls”失败! %ls", GetItemText(row, 0).c_str(),
                                     client_->Core()->GetLastErrorText());
            return false;
        }
        if (id == shownId_)
            shownId_ = -1;
        return true;
    };
    auto deleteRow = [this, &deleteBill](int row) {
        if (!deleteBill(row))
            return false;
        quiet_ = true;
        DeleteItem(row);
        quiet_ = false;
        return true;
    };
    if (GetCheckCount() == 0) {
        if (UIUitl::MessageBoxFormat(36, L"确实要删除票据 “%ls” 吗?", GetItemText(focus, 0).c_str()) != 6)
            return;
        if (!deleteRow(focus))
            return;
    } else {
        if (UIUitl::MessageBoxFormat(36, L"确实要删除勾选的 %d 项票据吗?", GetCheckCount()) != 6)
            return;
        // Each ticked bill leaves the database in turn; their rows go together, in
        // one pass, once the last is gone or one could not be deleted.
        std::vector<int> doomed;
        for (int row = GetCheckNext(-1); row >= 0; row = GetCheckNext(row)) {
            if (!deleteBill(row))
                break;
            doomed.push_back(row);
        }
        quiet_ = true;
        DeleteItems(doomed);
        quiet_ = false;
    }
    RefreshFocus();
    Relayout();
    SetFocusItem(-1);
}

bool CVoucherView::OnCmdMsg(unsigned id, bool* enabled)
{
    switch (id) {
    case wscmd::kCheckAll:
        if (enabled)
            *enabled = GetCheckCount() != GetItemCount() || IsLoading();
        else
            SetCheckAll(1), tickArriving_ = IsLoading(), Relayout();
        return true;
    case wscmd::kUncheckAll:
        if (enabled)
            *enabled = GetCheckCount() > 0;
        else
            SetCheckAll(0), tickArriving_ = false, Relayout();
        return true;
    case wscmd::kDeleteBills:
        if (enabled)
            *enabled = GetCheckCount() > 0 || GetFocusItem() >= 0;
        else
            DeleteCheckedBills();
        return true;
    default:
        return false;
    }
}

void CVoucherView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && !(event->modifiers() & ~Qt::KeypadModifier)) {
        bool enabled = false;
        OnCmdMsg(wscmd::kDeleteBills, &enabled);
        if (enabled)
            OnCmdMsg(wscmd::kDeleteBills, nullptr);
        event->accept();
        return;
    }
    MyGridCtrl::keyPressEvent(event);
}

void CVoucherView::OnRButtonUpItem(QPoint screenPoint)
{
    QMenu menu(this);
    const std::pair<unsigned, const char*> items[] = {
        {wscmd::kCheckAll, "全部勾选(&A)"}, {wscmd::kUncheckAll, "取消勾选(&C)"}, {wscmd::kDeleteBills, "删除票据(&D)"}};
    for (const auto& [command, label] : items) {
        QAction* action = menu.addAction(QString::fromUtf8(label));
        bool on = false;
        OnCmdMsg(command, &on);
        action->setEnabled(on);
        action->setData(command);
    }
    if (QAction* chosen = menu.exec(screenPoint))
        OnCmdMsg(chosen->data().toUInt(), nullptr);
}

void CVoucherView::OnEraseCossBkgrnd(CDC& dc, const RECT& r, int state)
{
    MyGridCtrl::OnEraseCossBkgrnd(dc, r, state);
    // A small right triangle in the corner cell, 5 px in from its bottom-right corner.
    const int right = r.right - 5;
    const int bottom = r.bottom - 5;
    POINT points[3] = {{right, bottom - 10}, {right, bottom}, {right - 10, bottom}};
    CBrush brush(0xD4BAA9);
    CPen pen(PS_SOLID, 1, 0xE8D6C7);
    CBrush oldBrush = dc.SelectObject(brush);
    CPen oldPen = dc.SelectObject(pen);
    dc.Polygon(points, 3);
    dc.SelectObject(oldBrush);
    dc.SelectObject(oldPen);
}
