#include "CProgressDlg.h"

#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "TestSupport.h"
#include "UIUitl.h"

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace
{

std::wstring W(const fs::path& path) { return QString::fromStdString(path.string()).toStdWString(); }

int RunDialog(int backup, const fs::path& archive, const fs::path& data)
{
    CProgressDlg dialog(backup, W(archive), W(data));
    const int result = dialog.DoModal();
    EXPECT_EQ(dialog.GetReason(), L"") << QString::fromStdWString(dialog.GetReason()).toStdString();
    return result;
}

TEST(BackupOfBills, ATemplateAndABillDeletedAfterABackupAreBackAfterTheRestore)
{
    doxtest::TempDir data;
    doxtest::TempDir work;
    fs::create_directories(data.path() / "templates" / "对公业务");
    const std::wstring tpl = W(data.path() / "templates" / "对公业务" / "进账单.dxt");
    const std::wstring db = W(data.path() / "doxcore.db");
    IDoxCore* core = CreateDoxCore(500, 0);
    ASSERT_NE(core, nullptr);

    // A template with one field, and one bill filled in with it.
    IDoxDocument* doc = core->CreateTemplate(tpl.c_str(), L"进账单", 2100, 990);
    ASSERT_NE(doc, nullptr);
    DoxLayer* layer = static_cast<DoxPage*>(doc->GetPage(0))->GetLayer(0);
    RECT rect{100, -100, 1100, -160};
    auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->DataAttribute().FieldName().SetValueText(L"收款人"));
    ASSERT_TRUE(edit->DataAttribute().FieldType().SetValueText(L"文本"));
    ASSERT_EQ(doc->Save(), 1);
    doc->Release();
    ASSERT_TRUE(UIUitl::CheckTemplateFile(tpl));

    IDoxDocument* complex = core->OpenComplex(db.c_str(), tpl.c_str());
    ASSERT_NE(complex, nullptr) << QString::fromWCharArray(core->GetLastErrorText()).toStdString();
    // Bills are filled in on a page with its runner, as the fill-in window does.
    IDoxPage* page = complex->GetPage(0);
    auto runner = std::make_unique<DoxPageRunner>();
    ASSERT_EQ(runner->Attach(page), 1);
    ASSERT_EQ(page->SetFieldText(L"主表.收款人", 0, L"北京朝阳收款单位"), 1);
    ASSERT_EQ(page->SaveRecordAsNew(0), 1);
    const int64_t id = page->GetRecordId();
    runner->Detach();
    complex->Release();

    const fs::path archive = work.path() / "all.dxb";
    ASSERT_EQ(RunDialog(1, archive, data.path()), 1);

    // The bill and then the template are lost.
    complex = core->OpenComplex(db.c_str(), tpl.c_str());
    ASSERT_NE(complex, nullptr);
    ASSERT_EQ(runner->Attach(complex->GetPage(0)), 1);
    ASSERT_EQ(complex->GetPage(0)->DeleteRecord(id), 1);
    complex->GetPage(0)->LoadRecord(id);
    IDoxValue* gone = complex->GetPage(0)->GetFieldValue(L"主表.收款人", 0);
    EXPECT_TRUE(!gone || std::wstring(gone->GetText()) != L"北京朝阳收款单位");
    runner->Detach();
    complex->Release();
    fs::remove(QString::fromStdWString(tpl).toStdString());

    ASSERT_EQ(RunDialog(0, archive, data.path()), 1);

    complex = core->OpenComplex(db.c_str(), tpl.c_str());
    ASSERT_NE(complex, nullptr) << QString::fromWCharArray(core->GetLastErrorText()).toStdString();
    page = complex->GetPage(0);
    ASSERT_EQ(runner->Attach(page), 1);
    ASSERT_EQ(page->LoadRecord(id), 1);
    EXPECT_STREQ(page->GetFieldValue(L"主表.收款人", 0)->GetText(), L"北京朝阳收款单位");
    runner->Detach();
    complex->Release();
    core->Release();
}

} // namespace
