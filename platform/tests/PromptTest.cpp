#include "Prompter.h"

#include <gtest/gtest.h>

using namespace dox::platform;

TEST(Prompter, WindowsFiltersBecomeQtFilters)
{
    const struct { const wchar_t* in; const wchar_t* out; } cases[] = {
        {L"dox template|*.dxt||", L"dox template (*.dxt)"},
        {L"图片|*.jpg;*.png|所有文件|*.*||", L"图片 (*.jpg *.png);;所有文件 (*.*)"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(QtFilterFromWindows(c.in), c.out) << c.in;
}

TEST(Prompter, ScriptedAnswersInOrderThenCancelAndRestoresThePrevious)
{
    Prompter* before = &CurrentPrompter();
    ScriptedPrompter script;
    script.answers = {kIdYes, kIdNo};
    {
        ScopedPrompter scope(&script);
        EXPECT_EQ(CurrentPrompter().MessageBox(nullptr, L"a", L"t", kMbYesNo), kIdYes);
        EXPECT_EQ(CurrentPrompter().MessageBox(nullptr, L"b", L"t", kMbYesNo), kIdNo);
        EXPECT_EQ(CurrentPrompter().MessageBox(nullptr, L"c", L"t", kMbYesNo), kIdCancel);
        std::vector<std::wstring> chosen;
        EXPECT_FALSE(CurrentPrompter().FileDialog(nullptr, {}, &chosen));
    }
    ASSERT_EQ(script.messages.size(), 3u);
    EXPECT_EQ(script.messages[2].text, L"c");
    EXPECT_EQ(&CurrentPrompter(), before);
}
