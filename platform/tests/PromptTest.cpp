#include "ModalKey.h"
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

// The real message box, answered as a clerk answers it from the keyboard: the
// mnemonic letter alone, Esc for the cancelling answer, with our captions whether or
// not a translation of Qt's is installed.
TEST(Prompter, EveryQuestionIsAnsweredFromTheKeyboard)
{
    const QString yes = QStringLiteral("是(&Y)"), no = QStringLiteral("否(&N)"), cancel = QStringLiteral("取消"),
                  ok = QStringLiteral("确定");
    const struct {
        unsigned type;
        Qt::Key key;
        int answer;
        QStringList captions;
    } cases[] = {
        {kMbYesNo | kMbIconQuestion, Qt::Key_N, kIdNo, {yes, no}},
        {kMbYesNo | kMbIconQuestion, Qt::Key_Y, kIdYes, {yes, no}},
        {kMbYesNo | kMbIconQuestion, Qt::Key_Escape, kIdNo, {yes, no}},
        {kMbYesNoCancel, Qt::Key_N, kIdNo, {yes, no, cancel}},
        {kMbYesNoCancel, Qt::Key_Escape, kIdCancel, {yes, no, cancel}},
        {kMbOkCancel, Qt::Key_Escape, kIdCancel, {ok, cancel}},
        {kMbOk | kMbIconError, Qt::Key_Escape, kIdOk, {ok}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", key " << c.key);
        doxtest::ModalKey key(c.key);
        EXPECT_EQ(CurrentPrompter().MessageBox(nullptr, L"是否删除？", L"t", c.type), c.answer);
        EXPECT_TRUE(key.answered);
        QStringList captions = key.captions;
        captions.sort();
        QStringList expected = c.captions;
        expected.sort();
        EXPECT_EQ(captions.join(u' ').toStdString(), expected.join(u' ').toStdString());
    }
}
