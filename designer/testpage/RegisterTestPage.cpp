// The test page plugged into the designer's main frame, printing through the
// designer's print dialog.

#include "CDoxDesigner.h"
#include "CMainFrame.h"
#include "DesignerExtensions.h"
#include "CPrintDlg.h"
#include "TestPage.h"

#include <QPointer>

namespace
{

bool ChoosePrinter(QWidget* parent, const std::wstring& document, int cx, int cy, const std::wstring& printer,
                   TestPrintChoice* choice)
{
    CPrintDlg dialog(cx, cy, printer, parent, document);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const DEVMODEW* devMode = nullptr;
    if (!dialog.BuildDevMode(&devMode))
        return false;
    choice->printer = dialog.printerName;
    choice->printBackground = dialog.printBackground;
    choice->devMode.clear();
    if (devMode) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(devMode);
        choice->devMode.assign(bytes, bytes + devMode->dmSize + devMode->dmDriverExtra);
    }
    return true;
}

class TestPageAdapter : public TestPageContent
{
public:
    explicit TestPageAdapter(QWidget* parent) : page_(new CTestPage(parent))
    {
        page_->defaultPrinter = &printer_;
        page_->printChooser = ChoosePrinter;
        page_->showHook = [this](bool show) {
            CMainFrame* frame = page_ ? dynamic_cast<CMainFrame*>(page_->window()) : nullptr;
            if (!frame)
                return;
            record_.closeHook = [this] { return page_ ? page_->CloseHook() : 0; };
            frame->ShowTestPage(record_, show);
        };
    }
    QWidget* Widget() override { return page_; }
    bool Open(IDoxPage* page, IDoxCore* core) override { return page_ && page_->OpenTestPage(core, page); }
    bool OnCmdMsg(unsigned id, CmdUI* ui) override
    {
        if (!page_)
            return false;
        if (ui) {
            bool enabled = true, checked = false;
            if (!page_->CommandState(id, &enabled, &checked))
                return false;
            ui->enabled = enabled;
            ui->checked = checked;
            return true;
        }
        CDoxDesigner* app = CDoxDesigner::App();
        printer_ = app ? app->DefaultPrinter() : std::wstring();
        const bool handled = page_->OnCommand(id);
        if (app)
            app->SetDefaultPrinter(printer_);
        return handled;
    }

private:
    QPointer<CTestPage> page_;
    std::wstring printer_;
    TestPageRecord record_;
};

} // namespace

void RegisterDesignerTestPage()
{
    Extensions().makeTestPage = [](QWidget* parent) { return std::make_unique<TestPageAdapter>(parent); };
}
