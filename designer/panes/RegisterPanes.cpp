// The panes and the page properties dialog plugged into the designer's frame.

#include "CDoxDesigner.h"
#include "CPaperDialog.h"
#include "DesignerExtensions.h"
#include "LayerView.h"
#include "PagePanel.h"
#include "PropertySink.h"
#include "PropertyView.h"

#include <QPointer>

namespace
{

class LayerPaneAdapter : public LayerPaneContent
{
public:
    explicit LayerPaneAdapter(QWidget* parent) : pane_(new CLayerPane(parent)) {}
    QWidget* Widget() override { return pane_; }
    void SetDesignWindow(IDoxDesignWindow* window) override
    {
        if (pane_)
            pane_->View()->SetDesignWindow(window);
    }
    IDoxDesignWindow* GetDesignWindow() const override { return pane_ ? pane_->View()->DesignWindow() : nullptr; }
    void RefillLayers() override
    {
        if (pane_)
            pane_->View()->RefillLayers();
    }
    bool OnCmdMsg(unsigned id, CmdUI* ui) override
    {
        if (!pane_ || (id != ID_LAYER_NEW && id != ID_LAYER_DELETE && id != ID_LAYER_RENAME))
            return false;
        if (ui) {
            ui->enabled = pane_->View()->IsCommandEnabled(id);
            return true;
        }
        return pane_->View()->OnCommand(id);
    }

private:
    QPointer<CLayerPane> pane_; // the dock owns it
};

class PropertyPaneAdapter : public PropertyPaneContent
{
public:
    explicit PropertyPaneAdapter(QWidget* parent) : pane_(new CPropertyPane(parent)) {}
    QWidget* Widget() override { return pane_; }
    void ShowAttributes(IDoxAttribSet* attributes) override
    {
        if (!pane_)
            return;
        if (attributes)
            pane_->FillProperties(attributes);
        else
            pane_->View()->Clear();
        pane_->update();
    }
    void RefreshRows() override
    {
        if (pane_)
            pane_->View()->RefreshItems();
    }

private:
    QPointer<CPropertyPane> pane_;
};

bool RunPageProperties(QWidget* parent, PageProperties& properties)
{
    PageValues values;
    values.name = properties.name;
    values.cx = properties.cx;
    values.cy = properties.cy;
    values.baseX = properties.baseX;
    values.baseY = properties.baseY;
    values.picture = properties.picturePath;
    values.hasPicture = properties.hasPicture != 0;
    values.stretch = properties.stretch != 0;
    CDoxDesigner* app = CDoxDesigner::App();
    std::wstring printer = app ? app->DefaultPrinter() : std::wstring();
    bool ok = false;
    CPageProperty sheet(properties.newPage ? 1 : 0, values, properties.page, parent);
    {
        ScopedDefaultPrinter lend(&printer);
        ok = sheet.exec() == QDialog::Accepted;
    }
    if (app)
        app->SetDefaultPrinter(printer);
    if (!ok)
        return false;
    const PageValues& out = sheet.Values();
    properties.name = out.name;
    properties.cx = out.cx;
    properties.cy = out.cy;
    properties.baseX = out.baseX;
    properties.baseY = out.baseY;
    properties.picturePath = out.picture;
    properties.sizeFromPicture = out.sizeFromPicture ? 1 : 0;
    properties.stretch = out.stretch ? 1 : 0;
    properties.pictureChanged = out.pictureChanged;
    return true;
}

} // namespace

void RegisterDesignerPanes()
{
    DesignerExtensions& hooks = Extensions();
    hooks.makeLayerPane = [](QWidget* parent) { return std::make_unique<LayerPaneAdapter>(parent); };
    hooks.makePropertyPane = [](QWidget* parent) { return std::make_unique<PropertyPaneAdapter>(parent); };
    hooks.runPageProperties = RunPageProperties;
    hooks.refreshPropertySinks = [] { designer::RefreshPropertySinks(); };
    CPagePanel::SetPaperChooser(RunPaperDialog);
}
