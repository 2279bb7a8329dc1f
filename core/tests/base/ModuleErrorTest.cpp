// The module-wide last error and its sink.

#include "ModuleError.h"
#include "DoxCommon.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace
{

struct RecordingSink : IDoxErrorSink {
    std::vector<std::wstring> texts;
    void OnError(const wchar_t* text) override { texts.emplace_back(text); }
};

struct SinkScope {
    RecordingSink sink;
    SinkScope() { SetModuleErrorSink(&sink); }
    ~SinkScope()
    {
        SetModuleErrorSink(nullptr);
        ClearModuleError();
    }
};

} // namespace

TEST(BaseModuleError, SettersTellTheSinkOnce)
{
    SinkScope scope;
    struct Case {
        const char* what;
        void (*set)();
        std::wstring text;
    } cases[] = {
        {"text", [] { SetModuleError(L"文件名不能为空"); }, L"文件名不能为空"},
        {"null text", [] { SetModuleError(static_cast<const wchar_t*>(nullptr)); }, L""},
        {"format with a wide text",
         [] { SetModuleErrorFormat(L"无效的文档元素ID或者文档元素已经存在。[%ls]", L"doc_1"); },
         L"无效的文档元素ID或者文档元素已经存在。[doc_1]"},
        {"format longer than the first buffer",
         [] { SetModuleErrorFormat(L"[%ls]", std::wstring(3000, L'长').c_str()); },
         L"[" + std::wstring(3000, L'长') + L"]"},
        {"system text", [] { SetModuleErrorFromSystem(ENOENT); }, L"No such file or directory"},
        {"errno",
         [] {
             errno = EACCES;
             SetModuleErrorFromSystem();
         },
         L"Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scope.sink.texts.clear();
        c.set();
        EXPECT_EQ(std::wstring(GetModuleErrorText()), c.text);
        ASSERT_EQ(scope.sink.texts.size(), 1u);
        EXPECT_EQ(scope.sink.texts[0], c.text);
    }
    // Clearing does not call the sink; the text is never null.
    scope.sink.texts.clear();
    ClearModuleError();
    EXPECT_STREQ(GetModuleErrorText(), L"");
    EXPECT_TRUE(scope.sink.texts.empty());
    // The text may be set from itself.
    SetModuleError(L"self");
    SetModuleError(GetModuleErrorText());
    EXPECT_STREQ(GetModuleErrorText(), L"self");
}

TEST(BaseModuleError, SinkCanBeReplacedAndRemoved)
{
    RecordingSink first, second;
    EXPECT_EQ(SetModuleErrorSink(&first), &first);
    SetModuleError(L"a");
    EXPECT_EQ(SetModuleErrorSink(&second), &second);
    EXPECT_EQ(GetModuleErrorSink(), &second);
    SetModuleError(L"b");
    EXPECT_EQ(SetModuleErrorSink(nullptr), nullptr);
    SetModuleError(L"c");
    EXPECT_EQ(first.texts, std::vector<std::wstring>{L"a"});
    EXPECT_EQ(second.texts, std::vector<std::wstring>{L"b"});
    ClearModuleError();
}
