#include "KQPlusModule.h"

#include "IDoxPage.h"
#include "IDoxValue.h"
#include "KQXBoxDlg.h"
#include "KQXCfgDlg.h"
#include "KQXFieldCfg.h"
#include "Prompter.h"
#include "WindowClass.h"

#include <QApplication>

#include <new>

namespace kqplus
{

namespace
{

CDoxKQPlusIn* singleton = nullptr;

const wchar_t kMapDamaged[] = L"读取KQ密码器配置信息失败：模板页面中的配置已损坏，无法确定付款密码字段。";
const wchar_t kMapTitle[] = L"KQ密码器联机计算";

// The dialogs have no owner window of their own: the program's active window.
QWidget* DialogParent()
{
    return QApplication::activeWindow();
}

} // namespace

CDoxKQPlusIn::~CDoxKQPlusIn()
{
    if (singleton == this)
        singleton = nullptr;
}

CDoxKQPlusIn* CDoxKQPlusIn::Instance()
{
    return singleton;
}

int CDoxKQPlusIn::Init(intptr_t host)
{
    host_ = host;
    plat::WindowClass windowClass;
    windowClass.name = L"KQxPlusInUIClass";
    windowClass.style = plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDblClks;
    windowClass.background = 0;
    windowClass.cursor = plat::ClassCursor::Arrow;
    plat::RegisterWindowClass(windowClass);
    return 1;
}

int CDoxKQPlusIn::Configure(IDoxPage* page)
{
    CKQXCfgDlg dialog(page, DialogParent());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int CDoxKQPlusIn::Compute(IDoxPage* page)
{
    CKQXBoxDlg dialog(page, DialogParent());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

int CDoxKQPlusIn::IsConfigured(IDoxPage* page)
{
    return page ? page->HasUserElement(L"kqxfieldmap", 0) : 0;
}

int CDoxKQPlusIn::CheckBeforePrint(IDoxPage* page)
{
    CKQXFieldCfg map(page);
    if (!page || !page->HasUserElement(L"kqxfieldmap", 0))
        return 1;
    if (map.LoadFromPage()) {
        const std::wstring& field = map.Name(MapEntry::PayCode);
        if (field.empty())
            return 1;
        IDoxValue* value = page->GetFieldValue(field.c_str(), 0);
        if (!value || value->GetType() != 0)
            return 1;
    } else {
        // A template that counts as configured but whose map cannot be read: nobody
        // can tell whether the bill has its password, so the operator is told and
        // asked as for a bill without one.
        dox::platform::CurrentPrompter().MessageBox(DialogParent(), kMapDamaged, kMapTitle,
                                                    dox::platform::kMbOk | dox::platform::kMbIconWarning);
    }
    {
        CKQXQueryDlg prompt(DialogParent());
        if (prompt.exec() != QDialog::Accepted)
            return 1; // printing goes on without a password
    }
    CKQXBoxDlg dialog(page, DialogParent());
    return dialog.exec() == QDialog::Accepted ? 1 : 0;
}

IDoxPlusIn* CreateKQPlusModule(int version, intptr_t host)
{
    if (singleton)
        return singleton;
    if (version != kPlusInVersion)
        return nullptr;
    auto* object = new (std::nothrow) CDoxKQPlusIn;
    if (!object)
        return nullptr;
    singleton = object;
    if (!object->Init(host)) {
        object->Release(); // the destructor clears the singleton
        return nullptr;
    }
    return object;
}

} // namespace kqplus
