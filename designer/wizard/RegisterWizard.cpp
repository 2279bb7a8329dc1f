// The new-template wizard and the template properties dialog plugged into the
// designer's design document.

#include "CDoxDesigner.h"
#include "DesignerExtensions.h"
#include "DocWizard.h"

namespace
{

bool RunNewTemplateWizard(QWidget* parent, NewTemplateRequest& request)
{
    CDoxDesigner* app = CDoxDesigner::App();
    std::wstring printer = app ? app->DefaultPrinter() : std::wstring();
    CDocWizard wizard(parent);
    bool ok = false;
    {
        ScopedDefaultPrinter lend(&printer);
        ok = wizard.exec() == QDialog::Accepted;
    }
    if (app)
        app->SetDefaultPrinter(printer);
    if (!ok)
        return false;
    const PageValues& page = wizard.Page();
    request.path = wizard.TemplatePath();
    request.pageName = page.name;
    request.picturePath = page.picture;
    request.sizeFromPicture = page.sizeFromPicture ? 1 : 0;
    request.cx = page.cx;
    request.cy = page.cy;
    request.baseX = page.baseX;
    request.baseY = page.baseY;
    request.stretch = page.stretch ? 1 : 0;
    return true;
}

} // namespace

void RegisterDesignerWizard()
{
    DesignerExtensions& hooks = Extensions();
    hooks.runNewTemplateWizard = RunNewTemplateWizard;
    hooks.runTemplateProperties = [](QWidget* parent, const std::wstring& path, IDoxDocument* document,
                                     IDoxCore* core) {
        CFilePropertyDlg dialog(path, document, core, parent);
        dialog.exec();
    };
}
