#include "CDesignView.h"

#include "CDesignPage.h"
#include "CDoxDesigner.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "DeviceContext.h"
#include "IDoxCore.h"
#include "IDoxPage.h"
#include "IDoxPlusIn.h"
#include "SystemColors.h"
#include "UIUitl.h"
#include "WaitCursor.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QStatusBar>

namespace
{

// The frame around the design window and the area around the page.
constexpr COLORREF kBorderColour = 0x00A08C7A;   // RGB(122, 140, 160)
constexpr COLORREF kBackgroundColour = 0x00F0E9E3; // RGB(227, 233, 240)

// Commands on the selection and the number of selected controls they need.
struct SelectionCommand {
    unsigned id;
    void (IDoxDesignWindow::*run)();
    int minimum;
};

const SelectionCommand kSelectionCommands[] = {
    {32773, &IDoxDesignWindow::AlignLeft, 2},
    {32774, &IDoxDesignWindow::AlignRight, 2},
    {32775, &IDoxDesignWindow::AlignTop, 2},
    {32776, &IDoxDesignWindow::AlignBottom, 2},
    {32777, &IDoxDesignWindow::AlignHorzCenterLine, 2},
    {32778, &IDoxDesignWindow::AlignVertCenterLine, 2},
    {32779, &IDoxDesignWindow::CenterVert, 1},
    {32780, &IDoxDesignWindow::CenterHorz, 1},
    {32782, &IDoxDesignWindow::SpaceEvenlyHorz, 3},
    {32783, &IDoxDesignWindow::SpaceEvenlyVert, 3},
    {32785, &IDoxDesignWindow::RemoveSpaceHorz, 2},
    {32787, &IDoxDesignWindow::RemoveSpaceVert, 2},
    {32788, &IDoxDesignWindow::SameWidth, 2},
    {32789, &IDoxDesignWindow::SameHeight, 2},
    {32790, &IDoxDesignWindow::SameSize, 2},
    {57635, &IDoxDesignWindow::Cut, 1},
    {57634, &IDoxDesignWindow::Copy, 1},
};

// The drawing tools: command and tool number (8 the pointer).
struct ToolCommand {
    unsigned id;
    int tool;
};

const ToolCommand kToolCommands[] = {
    {32811, 8}, {32812, 0}, {32813, 1}, {32814, 4}, {32815, 5}, {32816, 2}, {32817, 3}, {32818, 6}, {32819, 7},
};

CMainFrame* Frame()
{
    CDoxDesigner* app = CDoxDesigner::App();
    return app ? app->MainFrame() : nullptr;
}

} // namespace

CDesignView::CDesignView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CDesignView::~CDesignView()
{
    if (!window_) return;
    if (owner_) owner_->ForgetDesignWindow(window_);
    window_->SetDesignSink(nullptr);
    window_->SetUISink(nullptr);
    IDoxDesignWindow* window = window_;
    window_ = nullptr;
    window->Release();
}

bool CDesignView::AttachDesignWindow(CDesignPage* owner, IDoxPage* page, const QRect& area, unsigned id)
{
    owner_ = owner;
    IDoxCore* core = CDoxDesigner::App() ? CDoxDesigner::App()->Core() : nullptr;
    if (!core) return false;
    window_ = core->CreateDesignWindow(nullptr, 0x50000000u, &area, this, id);
    if (!window_) return false;
    if (!window_->GetHwnd()) {
        window_->Release();
        window_ = nullptr;
        return false;
    }
    window_->GetHwnd()->setGeometry(rect().adjusted(1, 1, -1, -1));
    window_->SetDesignSink(this);
    window_->SetUISink(this);
    return window_->AttachPage(page) != 0;
}

void CDesignView::resizeEvent(QResizeEvent*)
{
    // The client area is the window less one pixel on each side.
    if (window_ && window_->GetHwnd()) window_->GetHwnd()->setGeometry(rect().adjusted(1, 1, -1, -1));
}

void CDesignView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(plat::ToQColor(kBorderColour));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CDesignView::contextMenuEvent(QContextMenuEvent* event)
{
    CMainFrame* frame = Frame();
    if (!frame) return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("设计视图"));
    const std::pair<unsigned, const char*> items[] = {
        {57635, "剪切(&T)\tCtrl+X"}, {57634, "复制(&C)\tCtrl+C"}, {57637, "粘贴(&P)\tCtrl+V"}};
    for (const auto& [id, text] : items) {
        QAction* action = menu.addAction(QString::fromUtf8(text));
        action->setData(id);
        action->setEnabled(frame->Router().State(id).enabled);
    }
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen) frame->Router().Execute(CommandIdOf(chosen));
    frame->IdleUpdate();
}

bool CDesignView::OnCmdMsg(unsigned id, CmdUI* ui)
{
    if (!window_) return false;
    for (const SelectionCommand& command : kSelectionCommands) {
        if (command.id != id) continue;
        if (ui)
            ui->enabled = window_->GetSelectedCount() >= command.minimum;
        else
            (window_->*command.run)();
        return true;
    }
    for (const ToolCommand& command : kToolCommands) {
        if (command.id != id) continue;
        if (ui)
            ui->checked = window_->GetTool() == command.tool;
        else
            window_->SetTool(command.tool);
        return true;
    }
    switch (id) {
    case 32793:
        if (ui)
            ui->enabled = window_->CanEvenCells() != 0;
        else
            window_->EvenCells();
        return true;
    case 32795:
        if (ui) {
            ui->checked = window_->IsSnapToGrid() != 0;
        } else {
            plat::WaitCursor wait;
            window_->SetSnapToGrid(!window_->IsSnapToGrid());
        }
        return true;
    case 32797:
        if (ui)
            ui->checked = window_->IsTabOrderMode() != 0;
        else
            window_->SetTabOrderMode(!window_->IsTabOrderMode());
        return true;
    case 32824:
        if (ui)
            ui->checked = window_->IsBackgroundVisible() != 0;
        else
            window_->ShowBackground(!window_->IsBackgroundVisible());
        return true;
    case 57637:
        if (ui)
            ui->enabled = window_->CanPaste() != 0;
        else
            window_->Paste();
        return true;
    case 57642:
        if (!ui) window_->SelectAll();
        return true;
    case 57643:
        // Undo is not offered.
        if (ui) ui->enabled = false;
        return true;
    case 32823:
        if (ui)
            ui->enabled = static_cast<bool>(Extensions().runPageProperties);
        else
            OnPageProperties();
        return true;
    case 32826:
        if (ui)
            ui->enabled = Frame() && Frame()->TestPage();
        else
            TestRun();
        return true;
    case 32825:
        if (!ui) Configure();
        return true;
    case 32844:
        Zoom(ui);
        return true;
    default:
        return false;
    }
}

void CDesignView::Zoom(CmdUI* ui)
{
    CMainFrame* frame = Frame();
    if (!frame) return;
    QSlider* slider = frame->ZoomSlider();
    if (!ui) {
        window_->SetZoom(slider->value() + 50);
        return;
    }
    const int zoom = window_->GetZoom();
    if (zoom == shownZoom_) return;
    shownZoom_ = zoom;
    {
        const QSignalBlocker quiet(slider);
        slider->setValue(zoom - 50);
    }
    frame->ZoomLabel()->setText(QString::asprintf("%d%%", zoom));
    frame->statusBar()->update();
}

void CDesignView::OnPageProperties()
{
    IDoxPage* page = window_->GetPage();
    if (!page || !Extensions().runPageProperties) return;
    PageProperties properties;
    properties.name = page->GetName() ? page->GetName() : L"";
    SIZE size{};
    page->GetSize(&size);
    properties.cx = size.cx;
    properties.cy = size.cy;
    POINT base{};
    page->GetBasePoint(&base);
    properties.baseX = base.x;
    properties.baseY = base.y;
    properties.picturePath = page->GetBackgroundName() ? page->GetBackgroundName() : L"";
    properties.hasPicture = page->HasBackgroundImage();
    properties.stretch = page->GetBackgroundStretch();
    properties.page = page;
    if (!Extensions().runPageProperties(this, properties)) return;
    IDoxCore* core = CDoxDesigner::App()->Core();
    plat::WaitCursor wait;
    // Each step reports its own failure and the next one still runs.
    auto report = [core](int ok, const wchar_t* format) {
        if (!ok) UIUitl::MessageBoxFormat(16, format, core->GetLastErrorText());
    };
    if (properties.pictureChanged) {
        if (!properties.sizeFromPicture)
            report(window_->SetPageSize(properties.cx, properties.cy), L"设置页面大小失败。 原因：%ls");
        report(window_->SetBackgroundPicture(properties.picturePath.c_str(), properties.sizeFromPicture),
               L"设置背景图片失败。 原因：%ls");
    } else {
        report(window_->SetPageSize(properties.cx, properties.cy), L"设置页面大小失败。 原因：%ls");
    }
    if (window_->SetPageName(properties.name.c_str())) {
        // The tab is found by its window: indexes move when tabs before it go.
        if (owner_) owner_->RenameViewTab(this, page->GetName() ? page->GetName() : L"");
    } else {
        report(0, L"设置页面名称失败。 原因：%ls");
    }
    report(window_->SetPageBasePoint(properties.baseX, properties.baseY), L"设置页面基点失败。原因：%ls");
    report(window_->SetBackgroundStretch(properties.stretch), L"设置背景图片拉伸模式失败。原因：%ls");
}

void CDesignView::TestRun()
{
    window_->RenumberTabOrder();
    window_->RebuildVisibleLayers();
    plat::WaitCursor wait;
    if (CMainFrame* frame = Frame()) frame->OpenTestPage(window_->GetPage());
}

void CDesignView::Configure()
{
    IDoxPlusIn* plus = CDoxDesigner::App() ? CDoxDesigner::App()->PlusIn() : nullptr;
    if (!plus) return;
    plat::WaitCursor wait;
    plus->Configure(window_->GetPage());
}

void CDesignView::OnSelectionChanged(IDoxAttribSet* attributes)
{
    if (owner_) owner_->ShowSelection(attributes);
}

void CDesignView::OnModified()
{
    if (owner_) owner_->RefreshProperties();
}

void CDesignView::OnEraseBackground(CDC* dc, const RECT* rect)
{
    if (dc && rect) dc->FillSolidRect(*rect, kBackgroundColour);
}

void CDesignView::OnRButtonUp(uint32_t, int, int) {}
