#include "WorkspaceViews.h"

#include "CPageSetupDlg.h"
#include "CPrintDlg.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxPlusIn.h"
#include "Printers.h"
#include "PrintedFile.h"
#include "UIMessage.h"
#include "UIUitl.h"
#include "WaitCursor.h"
#include "Workspace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

#include <algorithm>
#include <chrono>

CMainClient::CMainClient(CMainPageWnd* owner, IDoxCore* core)
    : QWidget(owner),
      owner_(owner),
      core_(core),
      list_(new CVoucherView(this)),
      view_(new CDoxPageView(this, core)),
      slider_(new CHSliderWnd(this))
{
    Relayout();
}

std::wstring CMainClient::CoreError() const
{
    return core_->GetLastErrorText();
}

void CMainClient::Relayout()
{
    const int listHeight = std::max(0, std::min(slider_->Position(), height() - 10));
    list_->setGeometry(0, 0, width(), listHeight);
    slider_->setGeometry(0, listHeight, width(), 1);
    view_->setGeometry(0, listHeight + 1, width(), std::max(0, height() - listHeight - 1));
    list_->Relayout();
}

void CMainClient::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

bool CMainClient::event(QEvent* event)
{
    if (auto* message = dynamic_cast<UIMessageEvent*>(event); message && message->Message() == vudu::kWmUser) {
        SwitchBillPage(static_cast<int>(message->WParam()));
        return true;
    }
    return QWidget::event(event);
}

void CMainClient::SwitchBillPage(int index)
{
    if (owner_->IsBusy())
        return;
    plat::WaitCursor wait;
    const int shown = view_->PageIndex();
    if (view_->LoadPageIntoView(owner_->Document(), index)) {
        list_->RefillBillList(owner_->Document(), index);
        // The clerk types into the form next, wherever the keyboard was before (the
        // home page's list that opened the template, or the bill list).
        if (IDoxPageWindow* window = view_->PageWindow())
            window->GetHwnd()->setFocus(Qt::OtherFocusReason);
    } else if (shown >= 0 && view_->PageIndex() == shown) {
        // The bill of the page shown could not be saved: that page stays.
        owner_->ShowTabQuietly(shown);
    }
}

int CMainClient::SaveModified(IDoxPage* page)
{
    if (!page)
        return 0;
    IDoxPageWindow* window = view_->PageWindow();
    if (window && window->GetPage() == page) {
        window->EndEdit(1);
        // A refused entry keeps its editor open with the reason: nothing is saved.
        if (window->IsEditing())
            return -1;
    }
    if (page->SaveRecord(0))
        return 1;
    if (!page->IsRecordModified())
        return 0;
    UIUitl::MessageBoxFormat(16, L"保存票据失败! %ls", CoreError().c_str());
    return -1;
}

void CMainClient::NewBill()
{
    if (!list_->CurrentPage())
        return;
    plat::WaitCursor wait;
    list_->NewBill();
}

bool CMainClient::SaveBill(bool asNew)
{
    plat::WaitCursor wait;
    IDoxPage* page = view_->Page();
    if (!page)
        return true;
    int saved = 0;
    if (asNew) {
        IDoxPageWindow* window = view_->PageWindow();
        window->EndEdit(1);
        if (window->IsEditing())
            return false;
        saved = page->SaveRecordAsNew(0);
        if (!saved) {
            UIUitl::MessageBoxFormat(16, L"保存票据失败! %ls", CoreError().c_str());
            return false;
        }
    } else {
        saved = SaveModified(page);
        if (saved < 0)
            return false;
    }
    // An emptied new bill stores nothing and has no id: there is no row to show.
    const int64_t id = page->GetRecordId();
    if (saved > 0 && id > 0)
        list_->UpdateBillRowAndFocus(id);
    return true;
}

void CMainClient::PrintCurrentBill()
{
    if (!SaveBill())
        return;
    IDoxPlusIn* plus = owner_->Host()->PlusIn();
    if (plus && !plus->CheckBeforePrint(view_->Page()))
        return;
    if (!SaveBill())
        return;
    PrintCurrentPage();
}

void CMainClient::ComputePaymentPassword()
{
    IDoxPlusIn* plus = owner_->Host()->PlusIn();
    if (!plus || !SaveBill())
        return;
    if (plus->Compute(view_->Page()))
        SaveBill();
}

void CMainClient::EditPageSetup()
{
    IDoxPage* page = view_->Page();
    if (!page)
        return;
    CPageSetupDlg dialog(view_->Setup(), owner_->Host()->DefaultPrinter(), this);
    if (dialog.exec() != 1)
        return;
    bool saved = false;
    {
        plat::WaitCursor wait;
        saved = WritePageSetupElement(page, view_->Setup());
    }
    if (!saved)
        UIUitl::MessageBoxFormat(16, L"保存页面设置失败! %ls", CoreError().c_str());
}

bool CMainClient::PreparePrint(CPrintDlg& dialog, const wchar_t* noPage, const DEVMODEW** devMode)
{
    const int result = dialog.exec();
    if (result == 1 || result == CPrintDlg::kClose)
        owner_->Host()->SetDefaultPrinter(dialog.printerName);
    if (result != 1)
        return false;
    if (!view_->Page()) {
        UIUitl::MessageBoxW(16, noPage);
        return false;
    }
    plat::WaitCursor wait;
    PageSetupRecord& setup = view_->Setup();
    // Without the page's paper nothing is printed, one bill or many.
    if (!ApplyPageSetupToDevMode(setup, dialog.Printer(), devMode)) {
        UIUitl::MessageBoxW(16, setup.errorText);
        return false;
    }
    return true;
}

std::wstring CMainClient::PageName()
{
    IDoxPage* page = view_->Page();
    const wchar_t* name = page ? page->GetName() : nullptr;
    return name ? name : L"";
}

void CMainClient::PrintCurrentPage()
{
    CPrintDlg dialog(owner_->Host()->DefaultPrinter(), false, this, PageName());
    const DEVMODEW* devMode = nullptr;
    if (!PreparePrint(dialog, L"无效的页面", &devMode))
        return;
    plat::WaitCursor wait;
    const PageSetupRecord& setup = view_->Setup();
    const QString pdf = PdfFileOf(dialog.printerName, PageName());
    if (!view_->Page()->Print(dialog.printerName.c_str(), devMode, setup.LeftOffset, setup.TopOffset, dialog.copies,
                              0, dialog.printBackground))
        ReportPrintFailure();
    else
        ReportPdfFile(pdf);
}

void CMainClient::ContinuousPrint()
{
    IDoxPage* page = view_->Page();
    if (!list_->CurrentPage() || list_->CurrentPage() != page) {
        UIUitl::MessageBoxW(16, L"无效的页面。");
        return;
    }
    // "Tick all" chosen while the bills come in ticks the ones still to come: a list
    // that has none of them yet is not a list with none ticked.
    if (list_->GetCheckCount() == 0 && list_->TicksArriving())
        list_->FinishLoading();
    if (list_->GetCheckCount() == 0) {
        UIUitl::MessageBoxW(64, L"请勾选需要打印的票据。");
        return;
    }
    CPrintDlg dialog(owner_->Host()->DefaultPrinter(), true, this, PageName(), list_->GetCheckCount());
    const DEVMODEW* devMode = nullptr;
    if (!PreparePrint(dialog, L"无效的页面。", &devMode))
        return;
    plat::WaitCursor wait;
    // The run goes over the rows by their places: the bills still to come are listed
    // (and ticked, after "tick all") before it starts.
    list_->FinishLoading();
    PrintCheckedBills(dialog.printerName, devMode, dialog.copies);
}

bool CMainClient::PrintCheckedBills(const std::wstring& printer, const DEVMODEW* devMode, int copies)
{
    IDoxPage* page = view_->Page();
    if (!page) {
        UIUitl::MessageBoxW(16, L"无效的页面。");
        return false;
    }
    const PageSetupRecord& setup = view_->Setup();
    const QString pdf = PdfFileOf(printer, PageName());
    if (!page->BeginPrintJob(printer.c_str(), devMode, setup.LeftOffset, setup.TopOffset, setup.PageSpacing, copies,
                             0)) {
        UIUitl::MessageBoxFormat(64, L"准备打印失败! %ls", CoreError().c_str());
        return false;
    }
    // Each bill prints with its own stored values, loaded by the job; the bill on
    // the page was saved before the run and is shown again after it.
    // The bill being printed has the focus and is on the page, so that the operator
    // sees where a long run is. Bills print far faster than anyone can read them, so
    // the list and the page are shown as frames: between frames their painting is held
    // and each bill only moves the focus and loads the page; a frame paints them whole,
    // as they are then. Frames come at most ten times a second, and a frame that took
    // long holds the next one back thirty times as long, so that painting never costs
    // more than a thirtieth of the run, however slow the screen (a whole frame of the
    // workspace costs about as much as printing twenty bills).
    using FrameClock = std::chrono::steady_clock;
    constexpr auto kFrame = std::chrono::milliseconds(100);
    constexpr int kFrameShare = 30;
    auto nextFrame = FrameClock::now() + kFrame;
    // The events handled between bills may report a focus change of the list (the
    // window system gives the focus back after the dialog): it must not load the bill
    // being printed as the one on screen.
    list_->HoldSelection(true);
    for (int row = list_->GetCheckNext(-1); row >= 0; row = list_->GetCheckNext(row)) {
        const int64_t id = static_cast<int64_t>(list_->GetItemData(row));
        setUpdatesEnabled(false);
        list_->FocusQuietly(row);
        const bool printed = page->PrintRecord(id, 1) != 0;
        const auto frameStart = FrameClock::now();
        const bool frame = frameStart >= nextFrame;
        if (frame) {
            setUpdatesEnabled(true);
            if (IDoxPageWindow* window = view_->PageWindow())
                window->GetHwnd()->update();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (frame) {
            const auto frameEnd = FrameClock::now();
            nextFrame = frameEnd + std::max<FrameClock::duration>(kFrame, (frameEnd - frameStart) * kFrameShare);
        }
        if (printed)
            continue;
        setUpdatesEnabled(true);
        const int answer = UIUitl::MessageBoxFormat(36, L"加载票据“%ls”失败! %ls\n是否继续打印下一张?",
                                                    list_->GetItemText(row, 0).c_str(), CoreError().c_str());
        if (answer != 6)
            break;
    }
    const bool ended = page->EndPrintJob() != 0;
    // The run over, the bill that was on screen comes back with its focus, and then
    // the list and the page are painted once, whole, as they are (painted as they
    // changed, the list was painted twice and every field measured for nothing).
    list_->RestoreFocus();
    list_->HoldSelection(false);
    ReloadShownBill();
    setUpdatesEnabled(true);
    if (!ended)
        ReportPrintFailure();
    else
        ReportPdfFile(pdf);
    return ended;
}

void CMainClient::ReportPrintFailure()
{
    const std::wstring reason = CoreError();
    if (reason.empty())
        UIUitl::MessageBoxW(16, L"打印失败");
    else
        UIUitl::MessageBoxFormat(16, L"打印失败! %ls", reason.c_str());
}

void CMainClient::ReloadShownBill()
{
    IDoxPage* page = view_->Page();
    const int64_t shown = list_->ShownId();
    if (shown < 0 || !page->LoadRecord(shown))
        page->ForgetRecord();
    if (IDoxPageWindow* window = view_->PageWindow())
        window->GetHwnd()->update();
}

bool CMainClient::OnCmdMsg(unsigned id, bool* enabled)
{
    if (view_->OnCmdMsg(id, enabled) || list_->OnCmdMsg(id, enabled))
        return true;
    if (id == wscmd::kNextPane || id == wscmd::kPreviousPane) {
        // The page and the bill list take turns (with two panes next and previous meet).
        IDoxPageWindow* window = view_->PageWindow();
        if (enabled) {
            *enabled = window != nullptr;
        } else if (window) {
            QWidget* focus = QApplication::focusWidget();
            const bool inList = focus && (focus == list_ || list_->isAncestorOf(focus));
            if (inList)
                window->GetHwnd()->setFocus(Qt::TabFocusReason);
            else
                list_->setFocus(Qt::TabFocusReason);
        }
        return true;
    }
    IDoxPage* page = view_->Page();
    IDoxPlusIn* plus = owner_->Host()->PlusIn();
    bool on = page != nullptr;
    void (CMainClient::*run)() = nullptr;
    switch (id) {
    case wscmd::kNewBill:
        run = &CMainClient::NewBill;
        break;
    case wscmd::kSaveBill:
        if (!enabled && on)
            SaveBill(false);
        break;
    case wscmd::kSaveBillAsNew:
        if (!enabled && on)
            SaveBill(true);
        break;
    case wscmd::kPageSetup:
        run = &CMainClient::EditPageSetup;
        break;
    case wscmd::kPrintBill:
        on = on && (list_->GetFocusItem() >= 0 || page->IsRecordModified());
        run = &CMainClient::PrintCurrentBill;
        break;
    case wscmd::kContinuousPrint:
        if (!enabled && on && SaveBill())
            ContinuousPrint();
        break;
    case wscmd::kCompute:
        on = on && plus && plus->IsConfigured(page);
        run = &CMainClient::ComputePaymentPassword;
        break;
    default:
        return false;
    }
    if (enabled)
        *enabled = on;
    else if (run && on)
        (this->*run)();
    return true;
}
