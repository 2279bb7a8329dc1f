// What the module object starts and stops: the connection pool, the optional
// drawing entry points, the clipboard format and the window classes.

#include "CoreStartup.h"
#include "Capabilities.h"
#include "ClipboardFormat.h"
#include "DoxCore.h"
#include "ModuleError.h"
#include "SqlConnection.h"
#include "SqlConnectionPool.h"
#include "TestSupport.h"
#include "WindowClass.h"

#include <gtest/gtest.h>

TEST(ModuleStartup, StartsAndStopsTheServices)
{
    IDoxCore* core = CreateDoxCore(500, 0);
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(DoxCore::Instance(), core);
    EXPECT_TRUE(SqlConnectionPool::IsInitialised());
    EXPECT_TRUE(plat::GetCapabilities().gradientFill);
    EXPECT_TRUE(plat::GetCapabilities().updateLayeredWindow);

    uint32_t format = DoxClipboardFormat();
    EXPECT_GE(format, plat::kFirstClipboardFormat);
    EXPECT_EQ(plat::ClipboardFormatName(format), L"DoxControlClipboardForamt");
    auto shadow = plat::FindWindowClass(L"DoxShadowClass");
    ASSERT_TRUE(shadow.has_value());
    EXPECT_EQ(shadow->style, 0x0800u);
    EXPECT_EQ(shadow->background, 16);
    EXPECT_EQ(shadow->cursor, plat::ClassCursor::Arrow);
    auto window = plat::FindWindowClass(L"DoxWindowClass");
    ASSERT_TRUE(window.has_value());
    EXPECT_EQ(window->style, 0x000Bu);
    EXPECT_EQ(window->background, 0);

    // A database still held at shut-down is let go without leaking.
    doxtest::TempDir dir;
    SqlConnection connection;
    std::string path = (dir / "held.db").string();
    ASSERT_EQ(connection.Open(std::wstring(path.begin(), path.end()).c_str()), 1);
    SetModuleError(L"某个错误");
    core->Release();
    EXPECT_EQ(DoxCore::Instance(), nullptr);
    EXPECT_FALSE(SqlConnectionPool::IsInitialised());
    EXPECT_FALSE(plat::GetCapabilities().gradientFill);
    EXPECT_STREQ(GetModuleErrorText(), L"");
    EXPECT_EQ(connection.Handle(), nullptr);

    // Started again: the same clipboard format number, a working pool.
    IDoxCore* again = CreateDoxCore(500, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(DoxClipboardFormat(), format);
    SqlConnection fresh;
    EXPECT_EQ(fresh.Open(std::wstring(path.begin(), path.end()).c_str()), 1);
    fresh.Close();
    again->Release();
}
