#include "SampleWorkspace.h"

#include "DoxControlKinds.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPageWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <QWidget>


namespace wstest
{

bool WriteSampleTemplate(IDoxCore* core, const std::wstring& path, const std::vector<SamplePage>& pages)
{
    IDoxDocument* document = core->CreateTemplate(path.c_str(), pages[0].name.c_str(), pages[0].width, pages[0].height);
    if (!document)
        return false;
    bool ok = true;
    for (size_t p = 0; p < pages.size(); ++p) {
        IDoxPage* page = p == 0 ? document->GetPage(0)
                                : document->AddPage(pages[p].name.c_str(), pages[p].width, pages[p].height);
        if (!page) {
            ok = false;
            break;
        }
        DoxLayer* layer = static_cast<DoxPage*>(page)->GetLayer(0);
        int order = 1;
        for (const SampleField& field : pages[p].fields) {
            auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &field.rect));
            ok = ok && edit && edit->DataAttribute().FieldName().SetValueText(field.name.c_str()) &&
                 edit->DataAttribute().FieldType().SetValueText(field.type.c_str());
            if (edit)
                edit->SetTabIndex(order++);
        }
    }
    ok = ok && document->Save() == 1;
    document->Release();
    return ok;
}

QWidget* PageClient(IDoxPageWindow* window)
{
    return dynamic_cast<QWidget*>(window);
}

OnNextDialog::OnNextDialog(std::function<void(QWidget*)> step) : step_(std::move(step)), timer_(new QTimer)
{
    timer_->setInterval(20);
    QObject::connect(timer_, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer_->stop();
            opened_ = true;
            step_(modal);
        } else if (++ticks_ > 500) {
            timer_->stop();
        }
    });
    timer_->start();
}

OnNextDialog::~OnNextDialog()
{
    delete timer_;
}

bool ClickButton(QWidget* dialog, int id)
{
    auto* button = dialog->findChild<QAbstractButton*>(QString::number(id));
    if (!button)
        return false;
    button->click();
    return true;
}

} // namespace wstest
