#include "TestPage.h"

#include "DesignerLook.h"
#include "DeviceContext.h"
#include "IDoxCore.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "PrintedFile.h"
#include "UIUitl.h"
#include "WaitCursor.h"

#include <QGuiApplication>
#include <QPainter>

namespace
{

constexpr uint32_t kPageWindowStyle = 0x50010000; // WS_CHILD | WS_VISIBLE | WS_TABSTOP
constexpr uint32_t kTestPageId = 0xE900;

QColor ThemeColor()
{
    const COLORREF face = designer::FaceColor();
    return QColor(face & 0xFF, (face >> 8) & 0xFF, (face >> 16) & 0xFF);
}

} // namespace

CTestPage::CTestPage(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

CTestPage::~CTestPage() { ReleaseWindow(); }

void CTestPage::ReleaseWindow()
{
    if (!window_)
        return;
    window_->EndEdit(1);
    window_->Release();
    window_ = nullptr;
}

bool CTestPage::OpenTestPage(IDoxCore* core, IDoxPage* page)
{
    core_ = core;
    if (!CreateTestWindow(page))
        return false;
    if (showHook)
        showHook(true);
    window_->MoveWindow(0, 0, width(), height());
    return true;
}

bool CTestPage::CreateTestWindow(IDoxPage* page)
{
    if (!core_ || window_)
        return false;
    const QRect empty;
    window_ = core_->CreatePageWindow(page, kPageWindowStyle, &empty, this, kTestPageId);
    if (!window_)
        return false;
    window_->SetUISink(this);
    if (!page->LoadRecord(0)) {
        // The window made for the page goes again, so the page keeps no runner.
        const std::wstring error = core_->GetLastErrorText();
        window_->Release();
        window_ = nullptr;
        UIUitl::MessageBoxFormat(16, L"加载最后数据失败! %ls", error.c_str());
        return false;
    }
    if (QWidget* w = window_->GetHwnd())
        w->setFocus();
    return true;
}

int CTestPage::CloseHook()
{
    OnCommand(ID_TEST_CLOSE);
    return 0;
}

void CTestPage::Close()
{
    {
        plat::WaitCursor wait;
        ReleaseWindow();
    }
    if (showHook)
        showHook(false);
}

void CTestPage::Print()
{
    if (!window_)
        return;
    window_->EndEdit(1);
    IDoxPage* page = window_->GetPage();
    if (!page || !printChooser)
        return;
    SIZE size{};
    page->GetSize(&size);
    const std::wstring name = page->GetName() ? page->GetName() : L"";
    TestPrintChoice choice;
    if (!printChooser(this, name, size.cx, size.cy, defaultPrinter ? *defaultPrinter : std::wstring(), &choice))
        return;
    if (defaultPrinter)
        *defaultPrinter = choice.printer;
    const void* devMode = choice.devMode.empty() ? nullptr : choice.devMode.data();
    const QString pdf = PdfFileOf(choice.printer, name);
    if (!page->Print(choice.printer.c_str(), devMode, 0, 0, 1, 0, choice.printBackground))
        UIUitl::MessageBoxFormat(16, L"打印测试页面失败! %ls", core_ ? core_->GetLastErrorText() : L"");
    else
        ReportPdfFile(pdf);
}

bool CTestPage::CommandState(unsigned id, bool* enabled, bool* checked)
{
    *enabled = true;
    *checked = false;
    switch (id) {
    case ID_TEST_CLOSE:
        *enabled = isVisible() || window_;
        return true;
    case ID_TEST_PRINT:
        *enabled = window_ != nullptr;
        return true;
    case ID_TEST_BACKGROUND:
        *checked = window_ && window_->IsBackgroundVisible();
        return true;
    case ID_TEST_CUT:
    case ID_TEST_COPY:
    case ID_TEST_PASTE:
    case ID_TEST_SELECT_ALL:
        return true;
    default:
        return false;
    }
}

bool CTestPage::OnCommand(unsigned id)
{
    switch (id) {
    case ID_TEST_CLOSE:
        Close();
        return true;
    case ID_TEST_PRINT:
        Print();
        return true;
    case ID_TEST_BACKGROUND:
        if (window_)
            window_->ShowBackground(!window_->IsBackgroundVisible());
        return true;
    case ID_TEST_CUT:
        if (window_)
            window_->Cut();
        return true;
    case ID_TEST_COPY:
        if (window_)
            window_->Copy();
        return true;
    case ID_TEST_PASTE:
        if (window_)
            window_->Paste();
        return true;
    case ID_TEST_SELECT_ALL:
        if (window_)
            window_->SelectAll();
        return true;
    default:
        return false;
    }
}

void CTestPage::OnEraseBackground(CDC* dc, const RECT* rect)
{
    if (dc && rect)
        dc->FillSolidRect(*rect, designer::FaceColor());
}

void CTestPage::OnRButtonUp(uint32_t, int, int) {}

void CTestPage::resizeEvent(QResizeEvent*)
{
    if (window_)
        window_->MoveWindow(0, 0, width(), height());
}

void CTestPage::paintEvent(QPaintEvent*)
{
    if (window_)
        return;
    QPainter p(this);
    p.fillRect(rect(), ThemeColor());
}

void CTestPage::focusInEvent(QFocusEvent*)
{
    if (window_ && window_->GetHwnd())
        window_->GetHwnd()->setFocus();
}
