#pragma once
// The working area while a template is open: a tab per template page, each tab a
// design view over the core's design window, with the layer pane ("控件层视图") and
// the property pane ("属性") docked beside the tabs.

#include "CommandRouter.h"
#include "UIFrames.h"

#include <memory>

class CDesignDoc;
class CDesignView;
class IDoxAttribSet;
class IDoxDesignWindow;
class IDoxPage;
class LayerPaneContent;
class PropertyPaneContent;
class QDockWidget;
class QMainWindow;
class UITabClient;

class CDesignPage : public UIChildWnd, public CmdTarget
{
public:
    explicit CDesignPage(CDesignDoc* document, QWidget* parent = nullptr);
    ~CDesignPage() override;

    // Command routing: the active view, the layer pane, the property pane, the page.
    bool OnCmdMsg(unsigned id, CmdUI* ui) override;

    // The tabs follow the open document's pages; false when a view cannot be made.
    bool RebuildTabs();
    // A tab at the end for the page; null when its view cannot be made.
    CDesignView* AddPageTab(IDoxPage* page);
    // Nothing for an index outside the tabs; the tab at the same index (or the new last
    // one) becomes active.
    void RemovePageTab(int index);
    void RemoveAllTabs();
    // Activates the first tab whose window is the view.
    void ActivateView(CDesignView* view);
    // Renames the tab whose window is the view.
    void RenameViewTab(CDesignView* view, const std::wstring& name);

    // The view at a tab lets go of its page while the document deletes it, and takes
    // it back when the document refuses.
    void DetachPageAt(int index);
    void ReattachPageAt(int index, IDoxPage* page);

    int TabCount() const;
    int ActiveTab() const;
    CDesignView* ViewAt(int index) const;
    CDesignView* ActiveView() const;
    IDoxDesignWindow* DesignWindowAt(int index) const;
    UITabClient* Tabs() const { return tabs_; }
    QDockWidget* LayerDock() const { return layerDock_; }
    QDockWidget* PropertyDock() const { return propertyDock_; }
    LayerPaneContent* LayerPane() const { return layerPane_.get(); }
    PropertyPaneContent* PropertyPane() const { return propertyPane_.get(); }
    CDesignDoc* Document() const { return document_; }

    // The panes forget the attribute set and the design window they show.
    void ClearPanes();
    // Before a view releases its design window: the property rows drop the attribute
    // set of its page and the layer pane drops the window when it is that one.
    void ForgetDesignWindow(IDoxDesignWindow* window);
    // The active tab changed: its selection shows in the property pane, its layers in
    // the layer pane, and its zoom in the status bar.
    void ActiveTabChanged(int index);

    // Called by the views on their sinks.
    void ShowSelection(IDoxAttribSet* attributes);
    void RefreshProperties();

protected:
    int OnCreate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CDesignDoc* document_;
    QMainWindow* inner_ = nullptr;
    UITabClient* tabs_ = nullptr;
    QDockWidget* layerDock_ = nullptr;
    QDockWidget* propertyDock_ = nullptr;
    std::unique_ptr<LayerPaneContent> layerPane_;
    std::unique_ptr<PropertyPaneContent> propertyPane_;
};
