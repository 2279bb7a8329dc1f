// The plug-in as the programs see it: libDoxKQPlus.so loaded by name, the object
// reached through CreateModule and the slots of IDoxPlusIn.

#include "IDoxPlusIn.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtGlobal>

#include <dlfcn.h>

namespace
{

class PlusInModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The programs that load the plug-in are Qt programs: Qt stays loaded.
        ASSERT_NE(qVersion(), nullptr);
        const std::string file = (doxtest::BinDir() / "libDoxKQPlus.so").string();
        library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        create_ = reinterpret_cast<DoxPlusInCreateModuleFn>(dlsym(library_, "CreateModule"));
        ASSERT_NE(create_, nullptr);
    }
    void TearDown() override
    {
        if (library_)
            dlclose(library_);
    }

    void* library_ = nullptr;
    DoxPlusInCreateModuleFn create_ = nullptr;
};

// An operation as a separately built program reaches it: by its slot (the
// slots up to the destructor; the compiler's destructor entries follow them).
template <class R, class... A> R CallSlot(IDoxPlusIn* object, int slot, A... args)
{
    auto table = *reinterpret_cast<void***>(object);
    return reinterpret_cast<R (*)(IDoxPlusIn*, A...)>(table[slot])(object, args...);
}

} // namespace

TEST_F(PlusInModule, OneObjectUntilTheFinalRelease)
{
    EXPECT_EQ(create_(500, 0), nullptr) << "only version 200 makes the object";
    IDoxPlusIn* object = create_(200, 1234);
    ASSERT_NE(object, nullptr);
    auto count = [](IDoxPlusIn* o) { return static_cast<InterfaceImpl<IDoxPlusIn>*>(o)->GetRefCount(); };
    EXPECT_EQ(count(object), 1);

    // A later call, whatever its version, hands out the same object unchanged.
    EXPECT_EQ(create_(7, 0), object);
    EXPECT_EQ(count(object), 1);

    EXPECT_EQ((CallSlot<IDoxPlusIn*>(object, 0)), object);            // AddRef
    EXPECT_EQ(count(object), 2);
    CallSlot<void>(object, 1);                                        // Release
    EXPECT_EQ((CallSlot<int, intptr_t>(object, 2, 0)), 1);            // Init
    EXPECT_EQ((CallSlot<int, IDoxPage*>(object, 5, nullptr)), 0);     // IsConfigured(null)
    EXPECT_EQ((CallSlot<int, IDoxPage*>(object, 6, nullptr)), 1);     // CheckBeforePrint(null)
    object->Release();

    // Gone for good: the next call must not hand out the freed object.
    EXPECT_EQ(create_(7, 0), nullptr);
    IDoxPlusIn* again = create_(200, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(count(again), 1);
    again->Release();
}

TEST(PlusInExports, OnlyTheFactoryIsExported)
{
    const std::string file = (doxtest::BinDir() / "libDoxKQPlus.so").string();
    void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_EQ(dlsym(library, "_ZN6kqplus18CreateKQPlusModuleEil"), nullptr);
    EXPECT_NE(dlsym(library, "CreateModule"), nullptr);
    dlclose(library);
}
