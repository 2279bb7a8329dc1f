#include "UIFileDailog.h"
#include "UIUitl.h"

#include "Prompter.h"
#include "TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace dp = dox::platform;

namespace
{

TEST(Prompting, MessageBoxesGoThroughThePrompterWithTheProgramCaption)
{
    dp::ScriptedPrompter script;
    dp::ScopedPrompter scope(&script);
    UIUitl::SetMessageCaption(L"禾页票据打印器");
    UIUitl::RegisterString(103, L"加载KQ支持插件失败。请确认软件是否正确安装。");
    script.answers = {dp::kIdYes, dp::kIdOk, dp::kIdOk};

    EXPECT_EQ(UIUitl::MessageBoxW(36, L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？"), dp::kIdYes);
    EXPECT_EQ(UIUitl::MessageBoxW(16, 103u), dp::kIdOk);
    EXPECT_EQ(UIUitl::MessageBoxFormat(64, L"备份所有模板和数据库成功。\n备份文件:%ls (%d)", L"/备份/a.dxb", 7), dp::kIdOk);
    EXPECT_EQ(UIUitl::MessageBoxW(16, L"unexpected"), dp::kIdCancel); // nothing scripted

    const std::vector<std::pair<std::wstring, unsigned>> shown = {
        {L"恢复所有模板和数据库将会导致现有模板文件和数据库被覆盖，是否需要继续？", 36},
        {L"加载KQ支持插件失败。请确认软件是否正确安装。", 16},
        {L"备份所有模板和数据库成功。\n备份文件:/备份/a.dxb (7)", 64},
        {L"unexpected", 16},
    };
    ASSERT_EQ(script.messages.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(script.messages[i].text, shown[i].first);
        EXPECT_EQ(script.messages[i].type, shown[i].second);
        EXPECT_EQ(script.messages[i].caption, L"禾页票据打印器");
    }
    UIUitl::SetMessageCaption(L"");
}

TEST(Prompting, AMessageLongerThanTheFirstBufferIsShownWhole)
{
    dp::ScriptedPrompter script;
    dp::ScopedPrompter scope(&script);
    const std::wstring reason(3000, L'因');
    UIUitl::MessageBoxFormat(16, L"备份所有模板和数据库失败。原因：%ls", reason.c_str());
    ASSERT_EQ(script.messages.size(), 1u);
    EXPECT_EQ(script.messages[0].text, L"备份所有模板和数据库失败。原因：" + reason);
}

TEST(Prompting, FileDialogsAskWhatTheCallerSetAndGiveThePath)
{
    dp::ScriptedPrompter script;
    dp::ScopedPrompter scope(&script);
    script.files = {{L"/home/u/备份/all.dxb"}, {}};

    UIFileDailog backup(1, L"dxb", nullptr, OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                        L"dox backup|*.dxb||");
    backup.SetTitle(L"备份");
    backup.SetOKButtonText(L"确定");
    ASSERT_EQ(backup.DoModal(), dp::kIdOk);
    EXPECT_EQ(backup.GetPathName(), L"/home/u/备份/all.dxb");
    EXPECT_EQ(backup.GetFileName(), L"all.dxb");
    EXPECT_EQ(backup.GetFileTitle(), L"all");

    UIFileDailog pictures(1, nullptr, L"/pics/a.png", OFN_FILEMUSTEXIST, L"PNG(*.PNG)|*.PNG|所有图片文件|*.PNG;*.JPG||");
    pictures.SetFilterIndex(2);
    EXPECT_EQ(pictures.DoModal(), dp::kIdCancel);
    EXPECT_EQ(pictures.GetPathName(), L"");

    ASSERT_EQ(script.fileRequests.size(), 2u);
    const dp::FileDialogRequest& a = script.fileRequests[0];
    EXPECT_FALSE(a.save);
    EXPECT_FALSE(a.mustExist); // a new backup file may be named
    EXPECT_EQ(a.title, L"备份");
    EXPECT_EQ(a.okText, L"确定");
    EXPECT_EQ(a.defaultSuffix, L"dxb");
    EXPECT_EQ(a.filter, L"dox backup|*.dxb||");
    const dp::FileDialogRequest& b = script.fileRequests[1];
    EXPECT_TRUE(b.mustExist);
    EXPECT_EQ(b.initialPath, L"/pics/a.png");
    EXPECT_EQ(b.filterIndex, 2);
}

TEST(Prompting, TheRealFileDialogShowsWhatWasAsked)
{
    // No script: the Qt dialog itself, inspected and answered while it is open.
    doxtest::TempDir dir;
    const QString target = QString::fromStdString((dir.path() / "新备份.dxb").string());
    QString title, okText, filter;
    bool anyFile = false, open = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QFileDialog* dialog = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) dialog = d;
        if (!dialog) return;
        poll.stop();
        title = dialog->windowTitle();
        okText = dialog->labelText(QFileDialog::Accept);
        filter = dialog->selectedNameFilter();
        anyFile = dialog->fileMode() == QFileDialog::AnyFile;
        open = dialog->acceptMode() == QFileDialog::AcceptOpen;
        dialog->selectFile(target);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    });
    poll.start(10);
    UIFileDailog backup(1, L"dxb", QString::fromStdString(dir.path().string()).toStdWString().c_str(),
                        OFN_ENABLESIZING | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY,
                        L"dox backup|*.dxb|所有文件|*.*||");
    backup.SetTitle(L"备份");
    backup.SetOKButtonText(L"确定");
    backup.SetFilterIndex(2);
    ASSERT_EQ(backup.DoModal(), dp::kIdOk);
    EXPECT_EQ(backup.GetPathName(), target.toStdWString());
    EXPECT_EQ(title, QStringLiteral("备份"));
    EXPECT_EQ(okText, QStringLiteral("确定"));
    EXPECT_EQ(filter, QStringLiteral("所有文件 (*.*)"));
    EXPECT_TRUE(anyFile); // a backup file that does not exist yet may be named
    EXPECT_TRUE(open);
}

} // namespace
