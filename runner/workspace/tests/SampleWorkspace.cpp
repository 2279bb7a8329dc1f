#include "SampleWorkspace.h"

#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "IDoxCore.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxPageWindow.h"
#include "IDoxValue.h"
#include "WorkspaceViews.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
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

void WorkspaceFixture::MakeWorkspace(int width, int height, int paneWidth)
{
    home_.emplace(dir_.path());
    ASSERT_TRUE(home_->Ready());
    core_ = CreateDoxCore(500, 0);
    ASSERT_NE(core_, nullptr);
    host_ = std::make_unique<RecordingHost>(core_, QString::fromStdString(dir_.path().string()).toStdWString());
    pane_ = std::make_unique<CSearchPane>();
    if (paneWidth > 0)
        pane_->resize(paneWidth, 26);
    workspace_ = std::make_unique<CMainPageWnd>(host_.get(), pane_.get());
    workspace_->resize(width, height);
    workspace_->show();
}

void WorkspaceFixture::TearDown()
{
    workspace_.reset();
    pane_.reset();
    if (core_)
        core_->Release();
}

IDoxPage* WorkspaceFixture::Page() { return Client()->PageView()->Page(); }

IDoxPageWindow* WorkspaceFixture::Window() { return Client()->PageView()->PageWindow(); }

std::wstring WorkspaceFixture::FieldText(const wchar_t* field, int row)
{
    IDoxValue* value = Page()->GetFieldValue(field, row);
    if (!value || value->GetType() == 0)
        return L"";
    return value->GetType() == 1 ? value->GetText() : value->Format(0, nullptr);
}

void WorkspaceFixture::BeginTyping(QWidget** client)
{
    *client = PageClient(Window());
    ASSERT_NE(*client, nullptr);
    workspace_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(workspace_.get()));
    (*client)->setFocus();
    QTest::keyClick(*client, Qt::Key_Return);
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
