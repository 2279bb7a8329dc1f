// The designer's configuration dialog on a real template: the field map it
// stores, its guesses, a stored name the page lost, and deleting the map.

#include "ChequePage.h"
#include "IDoxDocument.h"
#include "IDoxPage.h"
#include "KQPlusModule.h"
#include "KQXCfgDlg.h"
#include "KQXFieldCfg.h"
#include "ModalKey.h"
#include "Prompter.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QTest>

using namespace kqtest;
using kqplus::CKQXCfgDlg;
using kqplus::CKQXFieldCfg;
using kqplus::MapEntry;

namespace
{

constexpr int kCombos[] = {2022, 2028, 2029, 2032, 2033, 2034};

std::string U8(const QString& text)
{
    return text.toStdString();
}

std::vector<std::string> Selections(QWidget* dialog)
{
    std::vector<std::string> texts;
    for (int id : kCombos)
        texts.push_back(U8(Control<QComboBox>(dialog, id)->currentText()));
    return texts;
}

void Click(QWidget* dialog, int id)
{
    QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton);
}

} // namespace

TEST(ConfigDialog, MapRoundTripThroughTheTemplate)
{
    const std::vector<ChequeField> fields = {{L"付款账号", L"文本"}, {L"出票日期", L"日期"}, {L"小写金额", L"数值"},
                                             {L"支付密码", L"文本"}, {L"备注", L"文本"}};
    ChequePage cheque(fields, false, false);
    IDoxPage* page = cheque.OpenTemplate();
    ASSERT_NE(page, nullptr);
    IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);
    EXPECT_EQ(plugin->IsConfigured(page), 0);
    {
        CKQXCfgDlg dialog(page);
        // Guessed from the names; nothing matches the two optional entries.
        EXPECT_EQ(Selections(&dialog), (std::vector<std::string>{"主表.付款账号", "主表.出票日期", "主表.小写金额",
                                                                 "主表.支付密码", "", ""}));
        EXPECT_EQ(plugin->IsConfigured(page), 0) << "looking does not configure";
        Control<QComboBox>(&dialog, 2009)->setCurrentIndex(2);
        Control<QComboBox>(&dialog, 2033)->setCurrentIndex(5); // 主表.备注 after the empty item
        Click(&dialog, 1);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(plugin->IsConfigured(page), 1);
    ASSERT_EQ(page->GetDocument()->Save(), 1);

    page = cheque.OpenTemplate();
    ASSERT_NE(page, nullptr);
    CKQXFieldCfg map(page);
    ASSERT_EQ(map.LoadFromPage(), 1);
    EXPECT_EQ(map.BizType(), 2);
    EXPECT_EQ(map.Name(MapEntry::Account), L"主表.付款账号");
    EXPECT_EQ(map.Name(MapEntry::Money), L"主表.小写金额");
    EXPECT_EQ(map.Name(MapEntry::CredenceNo), L"主表.备注");
    EXPECT_EQ(map.Name(MapEntry::BizType), L"");
    EXPECT_EQ(plugin->IsConfigured(page), 1);

    // Opened again, the dialog shows the stored map.
    CKQXCfgDlg again(page);
    EXPECT_EQ(Selections(&again), (std::vector<std::string>{"主表.付款账号", "主表.出票日期", "主表.小写金额",
                                                            "主表.支付密码", "主表.备注", ""}));
    EXPECT_EQ(Control<QComboBox>(&again, 2009)->currentIndex(), 2);

    // A template alone has no bill database: no credence numbers to read or keep.
    kqplus::CKQXDataCfg numbers(page);
    EXPECT_EQ(numbers.Load(), 0);
    numbers.SetUsedCredenceNo(L"6222", 3);
    EXPECT_EQ(numbers.Save(), 0);
    plugin->Release();
}

TEST(ConfigDialog, VanishedFieldNameIsLeftUnselectedAndStoredEmpty)
{
    ChequePage cheque(ChequeFields(), true, false);
    IDoxPage* page = cheque.OpenTemplate();
    ASSERT_NE(page, nullptr);
    {
        CKQXFieldCfg map(page);
        ASSERT_EQ(map.LoadFromPage(), 1);
        map.SetName(MapEntry::Money, L"主表.旧金额");
        ASSERT_EQ(map.SaveToPage(), 1);
    }
    CKQXCfgDlg dialog(page);
    EXPECT_EQ(Control<QComboBox>(&dialog, 2029)->currentIndex(), -1);
    EXPECT_EQ(U8(Control<QComboBox>(&dialog, 2022)->currentText()), "主表.账号");
    Click(&dialog, 1);
    CKQXFieldCfg map(page);
    ASSERT_EQ(map.LoadFromPage(), 1);
    EXPECT_EQ(map.Name(MapEntry::Money), L"");
    EXPECT_EQ(map.Name(MapEntry::Account), L"主表.账号");
}

TEST(ConfigDialog, DeletingAsksAndThenForgetsTheMap)
{
    ChequePage cheque(ChequeFields(), true, false);
    IDoxPage* page = cheque.OpenTemplate();
    ASSERT_NE(page, nullptr);
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scoped(&prompter);
    prompter.answers = {dox::platform::kIdCancel, dox::platform::kIdOk};
    IDoxPlusIn* plugin = kqplus::CreateKQPlusModule(200, 0);

    CKQXCfgDlg dialog(page);
    dialog.show();
    Click(&dialog, 2035);
    EXPECT_TRUE(dialog.isVisible()) << "cancelled: nothing happens";
    EXPECT_EQ(plugin->IsConfigured(page), 1);
    Click(&dialog, 2035);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(plugin->IsConfigured(page), 0);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].type, dox::platform::kMbOkCancel | dox::platform::kMbIconQuestion);
    EXPECT_EQ(U8(QString::fromStdWString(prompter.messages[0].text)),
              "确定要删除KQX密码器配置信息吗？\n删除了KQX密码器配置信息将会导致KQX联机计算功能无法使用。");

    // Configure reports the deletion as done.
    prompter.answers = {dox::platform::kIdOk};
    ModalScript script({[](QWidget* d) { Click(d, 2035); }});
    EXPECT_EQ(plugin->Configure(page), 1);
    EXPECT_EQ(script.Seen(), std::vector<QString>{QStringLiteral("KQ密码器配置")});
    plugin->Release();
}

TEST(ConfigDialog, FailedSaveSaysSoAndStaysOpen)
{
    // The printing program holds the template read-only: the map cannot be written.
    ChequePage cheque;
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scoped(&prompter);
    prompter.answers = {dox::platform::kIdOk};
    CKQXCfgDlg dialog(cheque.Page());
    dialog.show();
    Click(&dialog, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].type, dox::platform::kMbOk | dox::platform::kMbIconInformation);
}

// The printing program's question before a bill without its password is printed,
// answered from the keyboard: 是(Y) and 否(N) by their letters alone, Esc for 否,
// Return for the default 是.
TEST(QueryDialog, IsAnsweredFromTheKeyboard)
{
    const struct {
        Qt::Key key;
        int result;
    } cases[] = {{Qt::Key_N, QDialog::Rejected},
                 {Qt::Key_Y, QDialog::Accepted},
                 {Qt::Key_Escape, QDialog::Rejected},
                 {Qt::Key_Return, QDialog::Accepted}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        kqplus::CKQXQueryDlg query;
        doxtest::ModalKey key(c.key);
        EXPECT_EQ(query.exec(), c.result);
        EXPECT_TRUE(key.answered);
        EXPECT_TRUE(key.captions.contains(QStringLiteral("是(&Y)")) &&
                    key.captions.contains(QStringLiteral("否(&N)")))
            << U8(key.captions.join(u' '));
    }
}

TEST(ConfigDialog, Screenshots)
{
    ChequePage cheque(ChequeFields(), true, false);
    IDoxPage* page = cheque.OpenTemplate();
    ASSERT_NE(page, nullptr);
    CKQXCfgDlg config(page);
    kqplus::CKQXQueryDlg query;
    const char* folder = std::getenv("DOX_SCREENSHOT_DIR");
    const struct {
        QWidget* dialog;
        const char* file;
    } shots[] = {{&config, "/kqplus-config.png"}, {&query, "/kqplus-query.png"}};
    for (const auto& s : shots) {
        s.dialog->show();
        QImage shot = s.dialog->grab().toImage();
        if (folder)
            shot.save(QString::fromLocal8Bit(folder) + QString::fromLatin1(s.file));
        EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::white)) << s.file;
        bool blue = false; // the header's text, in the same blue as the programs' bands
        for (int x = 10; x < shot.width() / 2 && !blue; ++x) {
            for (int y = 10; y < 44 && !blue; ++y)
                blue = shot.pixelColor(x, y) == QColor(2, 102, 170);
        }
        EXPECT_TRUE(blue) << s.file;
    }
}
