// The core library as the programs see it: loaded from the application
// directory, bound by the name CreateModule, reached only through IDoxCore.

#include "IDoxCore.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace
{

struct RecordingSink : IDoxErrorSink {
    std::vector<std::wstring> texts;
    void OnError(const wchar_t* text) override { texts.emplace_back(text); }
};

class ModuleLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The programs that load the core are Qt programs, so Qt stays loaded
        // while the core comes and goes (Qt cannot be unloaded cleanly).
        ASSERT_NE(qVersion(), nullptr);
        std::string file = (doxtest::BinDir() / "libDoxCore.so").string();
        library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        create_ = reinterpret_cast<DoxCreateModuleFn>(dlsym(library_, "CreateModule"));
        ASSERT_NE(create_, nullptr);
    }
    void TearDown() override
    {
        if (library_)
            dlclose(library_);
    }

    void* library_ = nullptr;
    DoxCreateModuleFn create_ = nullptr;
};

// The interface's operations as a separately built program reaches them: by
// their slot in the virtual table.
template <class R, class... A> R CallSlot(IDoxCore* core, int slot, A... args)
{
    auto table = *reinterpret_cast<void***>(core);
    return reinterpret_cast<R (*)(IDoxCore*, A...)>(table[slot])(core, args...);
}

} // namespace

TEST_F(ModuleLoad, OneReferenceCountedObject)
{
    EXPECT_EQ(create_(499, 0), nullptr); // wrong version while none exists
    IDoxCore* core = create_(500, 0);
    ASSERT_NE(core, nullptr);
    auto* impl = static_cast<InterfaceImpl<IDoxCore>*>(core);
    EXPECT_EQ(impl->GetRefCount(), 1);

    // A later call hands out the same object with a reference of its own,
    // whatever the version.
    IDoxCore* second = create_(499, 0);
    EXPECT_EQ(second, core);
    EXPECT_EQ(impl->GetRefCount(), 2);
    EXPECT_EQ(core->AddRef(), core);
    EXPECT_EQ(impl->GetRefCount(), 3);
    core->Release();
    second->Release();
    EXPECT_EQ(impl->GetRefCount(), 1); // still alive for the first holder
    EXPECT_STREQ(core->GetLastErrorText(), L"");
    core->Release();

    // Released for good: the next call makes and starts a new object.
    EXPECT_EQ(create_(499, 0), nullptr);
    IDoxCore* again = create_(500, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(static_cast<InterfaceImpl<IDoxCore>*>(again)->GetRefCount(), 1);
    again->Release();
}

TEST_F(ModuleLoad, LastErrorAndSink)
{
    IDoxCore* core = create_(500, 0);
    ASSERT_NE(core, nullptr);
    RecordingSink sink;
    EXPECT_EQ(core->SetErrorSink(&sink), &sink);

    // Each operation that fails on bad input gives a reason; the sink hears
    // each failure once, with the text GetLastErrorText then gives.
    struct Case {
        const char* what;
        bool (*call)(IDoxCore*);
    } cases[] = {
        {"CreateTemplate",
         [](IDoxCore* c) { return c->CreateTemplate(L"/nonexistent/x.dxt", L"p", 399, 2970) == nullptr; }},
        {"OpenTemplate", [](IDoxCore* c) { return c->OpenTemplate(L"/nonexistent/x.dxt") == nullptr; }},
        {"CreateConnection",
         [](IDoxCore* c) { return c->CreateConnection(L"/nonexistent/x.db", L"p", 2100, 399) == nullptr; }},
        {"CreateConnectionFromTemplate",
         [](IDoxCore* c) {
             return c->CreateConnectionFromTemplate(L"/nonexistent/a.db", L"/nonexistent/b.dxt") == nullptr;
         }},
        {"OpenComplex", [](IDoxCore* c) { return c->OpenComplex(L"/nonexistent/a.db", nullptr) == nullptr; }},
        {"CreateDesignWindow",
         [](IDoxCore* c) { return c->CreateDesignWindow(nullptr, 0, nullptr, nullptr, 1) == nullptr; }},
        {"CreatePageWindow",
         [](IDoxCore* c) { return c->CreatePageWindow(nullptr, 0, nullptr, nullptr, 1) == nullptr; }},
        {"GetTemplatePreview",
         [](IDoxCore* c) { return c->GetTemplatePreview(L"/nonexistent/x.dxt") == nullptr; }},
        {"GetTemplateIcon", [](IDoxCore* c) { return c->GetTemplateIcon(L"/nonexistent/x.dxt") == nullptr; }},
    };
    std::wstring last;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.texts.clear();
        EXPECT_TRUE(c.call(core));
        std::wstring text = core->GetLastErrorText();
        EXPECT_FALSE(text.empty());
        ASSERT_EQ(sink.texts.size(), 1u);
        EXPECT_EQ(sink.texts[0], text);
        last = text;
    }
    // Setting the sink leaves the text; a null sink stops the calls.
    EXPECT_EQ(core->SetErrorSink(nullptr), nullptr);
    EXPECT_EQ(core->GetLastErrorText(), last);
    sink.texts.clear();
    core->OpenTemplate(L"x");
    EXPECT_TRUE(sink.texts.empty());

    // Shutting down empties the text and forgets the sink.
    core->SetErrorSink(&sink);
    core->Release();
    IDoxCore* again = create_(500, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_STREQ(again->GetLastErrorText(), L"");
    sink.texts.clear();
    again->OpenTemplate(L"x");
    EXPECT_TRUE(sink.texts.empty());
    again->Release();
}

TEST_F(ModuleLoad, OperationsSitInTheirSlots)
{
    IDoxCore* core = create_(500, 0);
    ASSERT_NE(core, nullptr);
    RecordingSink sink;
    EXPECT_EQ((CallSlot<IDoxCore*>(core, 0)), core);                                    // AddRef
    CallSlot<void>(core, 1);                                                            // Release
    EXPECT_EQ((CallSlot<int, intptr_t>(core, 2, 0)), 1);                                // Init
    EXPECT_EQ((CallSlot<void*, const wchar_t*>(core, 4, L"/nonexistent/x")), nullptr);  // OpenTemplate
    EXPECT_EQ((CallSlot<IDoxErrorSink*, IDoxErrorSink*>(core, 10, &sink)), &sink);      // SetErrorSink
    EXPECT_STREQ((CallSlot<const wchar_t*>(core, 11)), core->GetLastErrorText());       // GetLastErrorText
    EXPECT_EQ((CallSlot<void*, const wchar_t*>(core, 13, L"/nonexistent/x")), nullptr); // GetTemplateIcon
    ASSERT_FALSE(sink.texts.empty());
    EXPECT_EQ(sink.texts.back(), core->GetLastErrorText());
    core->SetErrorSink(nullptr);
    core->Release();
}
