// Templates through the core's front door alone, as the programs reach them:
// the library loaded by name, documents and pages through their interfaces.

#include "IDoxCore.h"
#include "IDoxDocElement.h"
#include "IDoxDocument.h"
#include "IDoxImageData.h"
#include "IDoxPage.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace
{

struct RecordingSink : IDoxErrorSink {
    std::vector<std::wstring> texts;
    void OnError(const wchar_t* text) override { texts.emplace_back(text); }
};

class DocModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string file = (doxtest::BinDir() / "libDoxCore.so").string();
        library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        auto create = reinterpret_cast<DoxCreateModuleFn>(dlsym(library_, "CreateModule"));
        ASSERT_NE(create, nullptr);
        core_ = create(500, 0);
        ASSERT_NE(core_, nullptr);
    }
    void TearDown() override
    {
        if (core_)
            core_->Release();
        if (library_)
            dlclose(library_);
    }
    std::wstring Path(const std::string& name) const { return (dir_ / name).wstring(); }

    void* library_ = nullptr;
    IDoxCore* core_ = nullptr;
    doxtest::TempDir dir_;
};

} // namespace

TEST_F(DocModule, TemplateRoundTripIconAndPreview)
{
    const std::wstring path = Path("bill.dxt");
    IDoxDocument* document = core_->CreateTemplate(path.c_str(), L"封面", 2100, 1400);
    ASSERT_NE(document, nullptr) << std::wstring(core_->GetLastErrorText()).size();
    IDoxPage* second = document->AddPage(L"Back", 1000, 800);
    ASSERT_NE(second, nullptr);
    IDoxDocElement* user = second->GetUserElement(L"kqxfieldmap", 0);
    ASSERT_NE(user, nullptr);
    ASSERT_EQ(user->SetData("map", 3), 1);

    QImage picture(48, 36, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const std::string png = (dir_ / "icon.png").string();
    ASSERT_TRUE(picture.save(QString::fromStdString(png), "PNG"));
    ASSERT_EQ(document->SetIconFromFile(Path("icon.png").c_str()), 1);
    ASSERT_EQ(document->Save(), 1);
    EXPECT_EQ(document->IsModified(), 0);
    document->Release();

    IDoxDocument* opened = core_->OpenTemplate(path.c_str());
    ASSERT_NE(opened, nullptr);
    EXPECT_STREQ(core_->GetLastErrorText(), L"");
    ASSERT_EQ(opened->GetPageCount(), 2);
    SIZE size{};
    EXPECT_STREQ(opened->GetPage(0)->GetName(), L"封面");
    opened->GetPage(1)->GetSize(&size);
    EXPECT_EQ(size.cx, 1000);
    EXPECT_EQ(size.cy, 800);
    EXPECT_EQ(opened->GetPage(1)->HasUserElement(L"kqxfieldmap", 0), 1);
    EXPECT_EQ(opened->GetPage(0)->HasUserElement(L"kqxfieldmap", 0), 0);
    EXPECT_EQ(opened->GetPage(1)->GetDocument(), opened);
    opened->Release();

    struct Picture {
        const char* what;
        IDoxImageData* (IDoxCore::*get)(const wchar_t*);
        QSize size;
    } pictures[] = {{"icon", &IDoxCore::GetTemplateIcon, QSize(48, 36)},
                    {"preview", &IDoxCore::GetTemplatePreview, QSize(794, 529)}};
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.what);
        IDoxImageData* data = (core_->*p.get)(path.c_str());
        ASSERT_NE(data, nullptr);
        QImage decoded;
        ASSERT_TRUE(decoded.loadFromData(data->GetData(), static_cast<int>(data->GetSize()), "JPEG"));
        // The preview's size goes through the screen's 0.1 mm mapping: within a pixel.
        EXPECT_NEAR(decoded.width(), p.size.width(), 1);
        EXPECT_NEAR(decoded.height(), p.size.height(), 1);
        data->Release();
        EXPECT_EQ(data->GetSize(), 0u);
    }

    // Not a template: null, and the store's reason reaches the sink once.
    ASSERT_TRUE(doxtest::WriteFileBytes(dir_ / "plain.dxt", std::string(40, 'x')));
    RecordingSink sink;
    core_->SetErrorSink(&sink);
    for (auto get : {&IDoxCore::GetTemplateIcon, &IDoxCore::GetTemplatePreview}) {
        sink.texts.clear();
        EXPECT_EQ((core_->*get)(Path("plain.dxt").c_str()), nullptr);
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_EQ(sink.texts[0], core_->GetLastErrorText());
        EXPECT_FALSE(sink.texts[0].empty());
    }
    core_->SetErrorSink(nullptr);
}

TEST_F(DocModule, ConnectionAndComplexThroughTheCore)
{
    const std::wstring tpl = Path("t.dxt");
    IDoxDocument* source = core_->CreateTemplate(tpl.c_str(), L"p", 800, 600);
    ASSERT_NE(source, nullptr);
    ASSERT_EQ(source->Save(), 1);
    source->Release();

    const std::wstring db = Path("bills.db");
    IDoxDocument* connection = core_->CreateConnectionFromTemplate(db.c_str(), tpl.c_str());
    ASSERT_NE(connection, nullptr);
    ASSERT_NE(connection->AddPage(L"q", 500, 500), nullptr);
    ASSERT_EQ(connection->Save(), 1);
    EXPECT_EQ(connection->SaveAs(nullptr), 0);
    EXPECT_STREQ(core_->GetLastErrorText(), L"文件名不能为空");
    ASSERT_EQ(connection->SaveAs(Path("out.dxt").c_str()), 1);
    connection->Release();

    IDoxDocument* exported = core_->OpenTemplate(Path("out.dxt").c_str());
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(exported->GetPageCount(), 2);
    exported->Release();

    IDoxDocument* complex = core_->OpenComplex(db.c_str(), tpl.c_str());
    ASSERT_NE(complex, nullptr);
    EXPECT_EQ(complex->GetPageCount(), 1);
    IDoxDocElement* setup = complex->GetPage(0)->GetUserElement(L"pager_param", 1);
    ASSERT_NE(setup, nullptr);
    ASSERT_EQ(setup->SetData("x", 1), 1);
    EXPECT_EQ(complex->SaveStore(), 1);
    complex->Release();

    IDoxDocument* store = core_->OpenComplex(db.c_str(), nullptr);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->GetPageCount(), 2);
    EXPECT_EQ(store->GetPage(0)->HasUserElement(L"pager_param", 0), 1);
    store->Release();

    EXPECT_EQ(core_->CreateTemplate(Path("bad.dxt").c_str(), L"p", 399, 500), nullptr);
    EXPECT_STREQ(core_->GetLastErrorText(), L"页面SIZE无效");
    EXPECT_EQ(core_->OpenTemplate(Path("missing.dxt").c_str()), nullptr);
    EXPECT_NE(std::wstring(core_->GetLastErrorText()), L"");
}
