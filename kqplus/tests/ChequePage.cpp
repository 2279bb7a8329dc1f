#include "ChequePage.h"

#include "DoxControlKinds.h"
#include "DoxCore.h"
#include "DoxEditControl.h"
#include "DoxLayer.h"
#include "DoxPage.h"
#include "DoxPageRunner.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "IDoxValue.h"
#include "KQXFieldCfg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace kqtest
{

std::vector<ChequeField> ChequeFields()
{
    return {{L"账号", L"文本"}, {L"日期", L"日期"}, {L"金额", L"数值"},
            {L"密码", L"文本"}, {L"号码", L"文本"}, {L"业务", L"文本"}};
}

ChequePage::ChequePage(const std::vector<ChequeField>& fields, bool withMap, bool complex)
{
    core_ = CreateDoxCore(500, 0);
    if (!core_) {
        ADD_FAILURE() << "the core did not start";
        return;
    }
    IDoxDocument* source = core_->CreateTemplate(TemplatePath().c_str(), L"支票", 2100, 990);
    if (!source) {
        ADD_FAILURE() << "no template";
        return;
    }
    IDoxPage* sheet = source->GetPage(0);
    DoxLayer* layer = static_cast<DoxPage*>(sheet)->GetLayer(0);
    int top = -100;
    for (const ChequeField& field : fields) {
        RECT rect{100, top, 900, top - 60};
        auto* edit = static_cast<DoxEditControl*>(layer->CreateControl(DoxKindEdit, &rect));
        EXPECT_NE(edit, nullptr);
        if (!edit)
            continue;
        EXPECT_TRUE(edit->DataAttribute().FieldName().SetValueText(field.name));
        EXPECT_TRUE(edit->DataAttribute().FieldType().SetValueText(field.type));
        top -= 100;
    }
    if (withMap) {
        kqplus::CKQXFieldCfg map(sheet);
        const kqplus::MapEntry entries[] = {kqplus::MapEntry::Account, kqplus::MapEntry::Date,
                                            kqplus::MapEntry::Money,   kqplus::MapEntry::PayCode,
                                            kqplus::MapEntry::CredenceNo, kqplus::MapEntry::BizType};
        for (kqplus::MapEntry entry : entries)
            map.SetName(entry, std::wstring(L"主表.") + kqplus::MapEntryDefault(entry));
        EXPECT_EQ(map.SaveToPage(), 1);
    }
    EXPECT_EQ(source->Save(), 1);
    source->Release();
    if (!complex)
        return;

    document_ = core_->OpenComplex(DatabasePath().c_str(), TemplatePath().c_str());
    if (!document_) {
        ADD_FAILURE() << "no complex document";
        return;
    }
    page_ = document_->GetPage(0);
    runner_ = std::make_unique<DoxPageRunner>();
    EXPECT_EQ(runner_->Attach(page_), 1);
}

ChequePage::~ChequePage()
{
    for (auto& runner : otherRunners_)
        runner->Detach();
    for (IDoxDocument* other : others_)
        other->Release();
    CloseTemplate();
    if (runner_)
        runner_->Detach();
    if (document_)
        document_->Release();
    if (core_)
        core_->Release();
}

IDoxPage* ChequePage::OpenTemplate()
{
    CloseTemplate();
    template_ = core_->OpenTemplate(TemplatePath().c_str());
    return template_ ? template_->GetPage(0) : nullptr;
}

void ChequePage::CloseTemplate()
{
    if (template_)
        template_->Release();
    template_ = nullptr;
}

IDoxPage* ChequePage::Reopen()
{
    IDoxDocument* document = core_->OpenComplex(DatabasePath().c_str(), TemplatePath().c_str());
    if (!document)
        return nullptr;
    others_.push_back(document);
    otherRunners_.push_back(std::make_unique<DoxPageRunner>());
    otherRunners_.back()->Attach(document->GetPage(0));
    return document->GetPage(0);
}

std::wstring ChequePage::Text(const wchar_t* field) const
{
    IDoxValue* value = page_->GetFieldValue((std::wstring(L"主表.") + field).c_str(), 0);
    if (!value)
        return L"<none>";
    switch (value->GetType()) {
    case 0:
        return L"";
    case 1:
        return value->GetText();
    default:
        return value->Format(0, nullptr);
    }
}

bool ChequePage::Set(const wchar_t* field, const wchar_t* text)
{
    return page_->SetFieldText((std::wstring(L"主表.") + field).c_str(), 0, text) == 1;
}

ModalScript::ModalScript(std::vector<Step> steps) : steps_(std::move(steps)), timer_(new QTimer)
{
    timer_->setInterval(20);
    QObject::connect(timer_, &QTimer::timeout, [this] { Poll(); });
    timer_->start();
}

ModalScript::~ModalScript()
{
    delete timer_;
}

void ModalScript::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == last_ || steps_.empty())
        return;
    last_ = modal;
    seen_.push_back(modal->windowTitle());
    Step step = steps_.front();
    steps_.erase(steps_.begin());
    step(modal);
}

} // namespace kqtest
