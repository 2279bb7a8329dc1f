#pragma once
// Where the designer's panes, dialogs, wizard and test page plug into the frame. The
// frame, the design document and the design page call through these hooks. A folder
// that supplies some offers a static library target that the program links when it
// exists, with one registration function that fills its hooks, called by main():
//   designer_panes     void RegisterDesignerPanes()     (panes, page and template dialogs)
//   designer_wizard    void RegisterDesignerWizard()    (the new-template wizard)
//   designer_testpage  void RegisterDesignerTestPage()  (the test page)
// A hook left empty leaves its pane empty and its command disabled. The frame and the
// application are reached through CDoxDesigner::App() (Core(), PlusIn(), MainFrame()).

#include "CommandRouter.h"

#include <functional>
#include <memory>
#include <string>

class IDoxAttribSet;
class IDoxCore;
class IDoxDesignWindow;
class IDoxDocument;
class IDoxPage;
class QWidget;

// The content of a docked pane of the design page. Commands reach it after the active
// design view and before the design page itself.
class DesignPaneContent
{
public:
    virtual ~DesignPaneContent() = default;
    // The widget the dock shows (owned by the dock once handed over).
    virtual QWidget* Widget() = 0;
    virtual bool OnCmdMsg(unsigned id, CmdUI* ui)
    {
        (void)id;
        (void)ui;
        return false;
    }
};

// The layer pane ("控件层视图"): always works on the design window of the active tab.
class LayerPaneContent : public DesignPaneContent
{
public:
    // The design window whose layers are listed; null empties the list. A window is
    // handed over again (or null) before it is released.
    virtual void SetDesignWindow(IDoxDesignWindow* window) = 0;
    virtual IDoxDesignWindow* GetDesignWindow() const = 0;
    // Fills the list again from the design window (empty when there is none).
    virtual void RefillLayers() = 0;
};

// The property pane ("属性"): the rows of the attribute set of the selection.
class PropertyPaneContent : public DesignPaneContent
{
public:
    // Keeps the set and fills the rows from it; null forgets the set and empties the rows.
    virtual void ShowAttributes(IDoxAttribSet* attributes) = 0;
    // Reads every row again from the set it keeps.
    virtual void RefreshRows() = 0;
};

// What the new-template wizard hands back; lengths in 0.1 mm.
struct NewTemplateRequest {
    std::wstring path;
    std::wstring pageName;
    std::wstring picturePath;
    int sizeFromPicture = 0;
    int cx = 2100;
    int cy = 2970;
    int baseX = 0;
    int baseY = 0;
    int stretch = 0;
};

// The page properties dialog's fields, filled before it opens and read after OK.
struct PageProperties {
    bool newPage = false;   // new-page mode, else edit mode
    std::wstring name;
    int cx = 2100;
    int cy = 2970;
    int baseX = 0;
    int baseY = 0;
    std::wstring picturePath;
    int hasPicture = 0;
    int sizeFromPicture = 0;
    int stretch = 0;
    bool pictureChanged = false;
    // The page shown (edit mode): the panel previews the picture stored in it.
    IDoxPage* page = nullptr;
};

// The test page: the frame makes it once; the design view opens it for a page.
class TestPageContent
{
public:
    virtual ~TestPageContent() = default;
    virtual QWidget* Widget() = 0;
    // Shows the page in the test page's fill-in window; false when it cannot.
    virtual bool Open(IDoxPage* page, IDoxCore* core) = 0;
    virtual bool OnCmdMsg(unsigned id, CmdUI* ui)
    {
        (void)id;
        (void)ui;
        return false;
    }
};

struct DesignerExtensions {
    std::function<std::unique_ptr<LayerPaneContent>(QWidget* parent)> makeLayerPane;
    std::function<std::unique_ptr<PropertyPaneContent>(QWidget* parent)> makePropertyPane;
    // Runs the new-template wizard modally; true when finished with OK.
    std::function<bool(QWidget* parent, NewTemplateRequest& request)> runNewTemplateWizard;
    // Runs the page properties dialog modally; true for OK.
    std::function<bool(QWidget* parent, PageProperties& properties)> runPageProperties;
    // The template properties dialog, modal.
    std::function<void(QWidget* parent, const std::wstring& path, IDoxDocument* document, IDoxCore* core)>
        runTemplateProperties;
    // Refreshes every property sink of the application, first to last (after an edit).
    std::function<void()> refreshPropertySinks;
    std::function<std::unique_ptr<TestPageContent>(QWidget* parent)> makeTestPage;
};

// The hooks in force (one set per process).
DesignerExtensions& Extensions();
