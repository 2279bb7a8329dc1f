#include "CDesignPage.h"

#include "CDesignDoc.h"
#include "CDesignView.h"
#include "DesignerExtensions.h"
#include "IDoxDesignWindow.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "UIMessage.h"
#include "UITabs.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QVBoxLayout>

namespace
{

// A dock with its caption and id, holding the content a pane folder made (or an empty
// area until one is there).
QDockWidget* MakeDock(QMainWindow* inner, const QString& caption, unsigned id, DesignPaneContent* content)
{
    auto* dock = new QDockWidget(caption, inner);
    dock->setObjectName(QString::number(id));
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    if (content && content->Widget()) {
        dock->setWidget(content->Widget());
    } else {
        auto* empty = new QWidget(dock);
        empty->setAutoFillBackground(true);
        empty->setBackgroundRole(QPalette::Base);
        dock->setWidget(empty);
    }
    dock->setMinimumWidth(220);
    return dock;
}

} // namespace

CDesignPage::CDesignPage(CDesignDoc* document, QWidget* parent) : UIChildWnd(parent), document_(document) {}

CDesignPage::~CDesignPage()
{
    // The views go first: they tell the panes to forget their windows.
    RemoveAllTabs();
}

int CDesignPage::OnCreate()
{
    inner_ = new QMainWindow(this);
    inner_->setWindowFlags(Qt::Widget);
    inner_->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(inner_);

    if (Extensions().makeLayerPane) layerPane_ = Extensions().makeLayerPane(inner_);
    if (Extensions().makePropertyPane) propertyPane_ = Extensions().makePropertyPane(inner_);
    layerDock_ = MakeDock(inner_, QStringLiteral("控件层视图"), 101, layerPane_.get());
    propertyDock_ = MakeDock(inner_, QStringLiteral("属性"), 102, propertyPane_.get());
    inner_->addDockWidget(Qt::LeftDockWidgetArea, layerDock_);
    inner_->addDockWidget(Qt::RightDockWidgetArea, propertyDock_);

    tabs_ = new UITabClient(inner_);
    tabs_->setObjectName(QString::number(0xE900));
    inner_->setCentralWidget(tabs_);
    // The tab client posts its change of the active tab to its parent.
    inner_->installEventFilter(this);
    return 0;
}

bool CDesignPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == inner_ && static_cast<unsigned>(event->type()) == UIOnChangeActiveTabMessage()) {
        ActiveTabChanged(static_cast<int>(static_cast<UIMessageEvent*>(event)->WParam()));
        return true;
    }
    return UIChildWnd::eventFilter(watched, event);
}

bool CDesignPage::OnCmdMsg(unsigned id, CmdUI* ui)
{
    if (CDesignView* view = ActiveView(); view && view->OnCmdMsg(id, ui)) return true;
    if (layerPane_ && layerPane_->OnCmdMsg(id, ui)) return true;
    if (propertyPane_ && propertyPane_->OnCmdMsg(id, ui)) return true;
    return false;
}

int CDesignPage::TabCount() const { return tabs_ ? tabs_->GetTabsNum() : 0; }
int CDesignPage::ActiveTab() const { return tabs_ ? tabs_->GetActiveTab() : -1; }

CDesignView* CDesignPage::ViewAt(int index) const
{
    if (!tabs_ || index < 0 || index >= tabs_->GetTabsNum()) return nullptr;
    return static_cast<CDesignView*>(tabs_->GetTabWnd(index));
}

CDesignView* CDesignPage::ActiveView() const { return ViewAt(ActiveTab()); }

IDoxDesignWindow* CDesignPage::DesignWindowAt(int index) const
{
    CDesignView* view = ViewAt(index);
    return view ? view->Window() : nullptr;
}

CDesignView* CDesignPage::AddPageTab(IDoxPage* page)
{
    const int index = TabCount();
    auto* view = new CDesignView(tabs_);
    if (!view->AttachDesignWindow(this, page, QRect(), static_cast<unsigned>(index))) {
        delete view;
        return nullptr;
    }
    tabs_->InsertTab(view, page->GetName() ? page->GetName() : L"", index);
    return view;
}

bool CDesignPage::RebuildTabs()
{
    IDoxDocument* document = document_ ? document_->Document() : nullptr;
    if (!document) return false;
    const int tabs = TabCount();
    const int pages = document->GetPageCount();
    const int common = std::min(tabs, pages);
    tabs_->hide();
    bool ok = true;
    for (int i = 0; i < common && ok; ++i) {
        IDoxDesignWindow* window = DesignWindowAt(i);
        IDoxPage* page = document->GetPage(i);
        if (window->GetPage() == page) continue;
        window->DetachPage();
        ok = window->AttachPage(page) != 0;
        if (ok) tabs_->SetTabLabel(i, page->GetName() ? page->GetName() : L"");
    }
    for (int i = common; i < pages && ok; ++i) ok = AddPageTab(document->GetPage(i)) != nullptr;
    if (ok)
        while (TabCount() > pages) RemovePageTab(TabCount() - 1);
    tabs_->show();
    if (!ok) return false;
    if (pages > 0) ActiveTabChanged(tabs_->GetActiveTab() >= 0 ? tabs_->GetActiveTab() : 0);
    tabs_->updateGeometry();
    return true;
}

void CDesignPage::RemovePageTab(int index)
{
    CDesignView* view = ViewAt(index);
    if (!view) return;
    const bool wasLast = index == TabCount() - 1;
    tabs_->RemoveTab(index);
    // The view lets the panes forget its window and releases it.
    delete view;
    if (TabCount() > 0) {
        const int next = wasLast ? TabCount() - 1 : index;
        tabs_->SetActiveTab(next);
        ActiveTabChanged(next);
    }
}

void CDesignPage::RemoveAllTabs()
{
    if (!tabs_) return;
    while (TabCount() > 0) {
        CDesignView* view = ViewAt(TabCount() - 1);
        tabs_->RemoveTab(TabCount() - 1);
        delete view;
    }
}

void CDesignPage::ActivateView(CDesignView* view)
{
    const int index = tabs_->indexOf(view);
    if (index < 0) return;
    tabs_->SetActiveTab(index);
    ActiveTabChanged(index);
}

void CDesignPage::RenameViewTab(CDesignView* view, const std::wstring& name)
{
    const int index = tabs_->indexOf(view);
    if (index >= 0) tabs_->SetTabLabel(index, name);
}

void CDesignPage::DetachPageAt(int index)
{
    IDoxDesignWindow* window = DesignWindowAt(index);
    if (!window) return;
    ForgetDesignWindow(window);
    window->DetachPage();
}

void CDesignPage::ReattachPageAt(int index, IDoxPage* page)
{
    IDoxDesignWindow* window = DesignWindowAt(index);
    if (!window) return;
    window->AttachPage(page);
    if (index == ActiveTab()) ActiveTabChanged(index);
}

void CDesignPage::ClearPanes()
{
    if (propertyPane_) propertyPane_->ShowAttributes(nullptr);
    if (layerPane_) {
        layerPane_->SetDesignWindow(nullptr);
        layerPane_->RefillLayers();
    }
}

void CDesignPage::ForgetDesignWindow(IDoxDesignWindow* window)
{
    // The rows may hold attributes of the window's page: they go with it.
    if (propertyPane_) propertyPane_->ShowAttributes(nullptr);
    if (layerPane_ && layerPane_->GetDesignWindow() == window) {
        layerPane_->SetDesignWindow(nullptr);
        layerPane_->RefillLayers();
    }
}

void CDesignPage::ActiveTabChanged(int index)
{
    CDesignView* view = ViewAt(index);
    if (!view || !view->Window()) return;
    view->Window()->RefreshSelection();
    if (layerPane_) {
        layerPane_->SetDesignWindow(view->Window());
        layerPane_->RefillLayers();
    }
    view->ResetShownZoom();
}

void CDesignPage::ShowSelection(IDoxAttribSet* attributes)
{
    if (!propertyPane_) return;
    if (attributes)
        propertyPane_->ShowAttributes(attributes);
    else
        propertyPane_->RefreshRows();
    propertyDock_->update();
}

void CDesignPage::RefreshProperties()
{
    if (propertyPane_) propertyPane_->RefreshRows();
    propertyDock_->update();
    if (Extensions().refreshPropertySinks) Extensions().refreshPropertySinks();
}
