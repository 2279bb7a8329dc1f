#include "KQPlusModule.h"

#include "IDoxPage.h"
#include "IDoxValue.h"
#include "KQXBoxDlg.h"
#include "KQXCfgDlg.h"
#include "KQXFieldCfg.h"
#include "Prompter.h"
#include "QuotedName.h"
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
const wchar_t kNotPrinted[] = L"票据中没有支付密码，票据没有打印。";

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return QString::fromStdWString(a).compare(QString::fromStdWString(b), Qt::CaseInsensitive) == 0;
}

// Why the map's payment-password field cannot hold this bill's password, or
// nothing: it must name a field of the page itself (not a table's column), that no
// other entry of the map names.
std::wstring PayCodeFault(const CKQXFieldCfg& map, IDoxPage* page)
{
    const std::wstring& name = map.Name(MapEntry::PayCode);
    const std::wstring shown = L"支付密码字段" + plat::QuotedName(name);
    const std::wstring why = L"KQ密码器配置信息有误：";
    const std::wstring after = L"，无法确定付款密码字段。请在模板设计器中重新配置。";
    if (name.empty())
        return why + L"没有配置支付密码字段" + after;
    // Bill fields read 主表.<name>; a table's columns carry the table's name.
    const size_t dot = name.find(L'.');
    if (dot != std::wstring::npos && !SameName(name.substr(0, dot), L"主表"))
        return why + shown + L"是表格中的列，不是票据的字段" + after;
    if (!page->GetFieldValue(name.c_str(), 0))
        return why + L"模板页面中没有" + shown + after;
    const std::pair<MapEntry, const wchar_t*> others[] = {
        {MapEntry::Account, L"账号"},          {MapEntry::Date, L"签发日期"}, {MapEntry::Money, L"金额"},
        {MapEntry::CredenceNo, L"凭证号码"}, {MapEntry::BizType, L"业务种类"},
    };
    for (const auto& [entry, label] : others) {
        if (SameName(map.Name(entry), name))
            return why + shown + L"同时被配置为" + label + L"字段" + after;
    }
    return {};
}

// Whether a field holds a payment password as the computation writes it: four
// groups of four hexadecimal digits joined by '-'. Anything else typed into the
// field (a date, a stray number) is no password.
bool HoldsPassword(IDoxValue* value)
{
    if (!value || value->GetType() != 1 || !value->GetText())
        return false;
    const std::wstring text = value->GetText();
    if (text.size() != 19)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const bool hex = (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f');
        if (i % 5 == 4 ? c != L'-' : !hex)
            return false;
    }
    return true;
}

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
    // A page counted as configured whose password field cannot be told, or cannot
    // hold a password, is reported, and the operator is asked as for a bill
    // without one: nobody can tell whether this bill has its password.
    std::wstring fault = kMapDamaged;
    if (map.LoadFromPage()) {
        fault = PayCodeFault(map, page);
        if (fault.empty() && HoldsPassword(page->GetFieldValue(map.Name(MapEntry::PayCode).c_str(), 0)))
            return 1;
    }
    if (!fault.empty())
        dox::platform::CurrentPrompter().MessageBox(DialogParent(), fault, kMapTitle,
                                                    dox::platform::kMbOk | dox::platform::kMbIconWarning);
    {
        CKQXQueryDlg prompt(DialogParent());
        if (prompt.exec() != QDialog::Accepted)
            return 1; // printing goes on without a password
    }
    CKQXBoxDlg dialog(page, DialogParent());
    if (dialog.exec() == QDialog::Accepted)
        return 1;
    // The printing program prints nothing and says nothing more: the reason is told here.
    dox::platform::CurrentPrompter().MessageBox(DialogParent(), kNotPrinted, kMapTitle,
                                                dox::platform::kMbOk | dox::platform::kMbIconInformation);
    return 0;
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
