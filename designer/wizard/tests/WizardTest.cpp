// The new-template wizard's proposal and checks of the file name, its two pages, and
// the template icon set in the properties dialog as the printing program reads it.

#include "PaneFixture.h"
#include "PathText.h"
#include "DocWizard.h"

#include "CHomeView.h"
#include "CMmEdit.h"
#include "IDoxImageData.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <QFile>

using panetest::CoreTest;

namespace
{

namespace fs = std::filesystem;

void Touch(const std::wstring& file)
{
    QFile out(QString::fromStdWString(file));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("x");
}

std::wstring Numbered(const fs::path& folder, int i)
{
    return plat::WideOfPath(folder) + L"/新建模板" + std::to_wstring(i) + L".dxt";
}

TEST(TemplateNameProposal, TakesTheFirstFreeNumberAndSkipsARunOfSixteen)
{
    struct Case {
        std::vector<int> present;
        int proposed;
    };
    const Case cases[] = {
        {{}, 1},
        {{1, 2, 3}, 4},
        {{2}, 1},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, 16},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 31}, 32},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 31, 32}, 33},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 30, 31}, 15},
    };
    for (const Case& c : cases) {
        doxtest::TempDir dir;
        for (int i : c.present)
            Touch(Numbered(dir.path(), i));
        SCOPED_TRACE(c.proposed);
        // Trailing separators of the folder do not matter.
        EXPECT_EQ(ProposeTemplateName(plat::WideOfPath(dir.path())), Numbered(dir.path(), c.proposed));
        EXPECT_EQ(ProposeTemplateName(plat::WideOfPath(dir.path()) + L"/"), Numbered(dir.path(), c.proposed));
    }
}

class WizardTest : public CoreTest
{
};

TEST_F(WizardTest, ThePageOneCheckNamesTheFolderAndFileAndAsksBeforeReplacing)
{
    Touch(Path("old.dxt"));
    fs::create_directory(dir / "sub");
    const std::wstring folder = plat::WideOfPath(dir.path());
    struct Case {
        std::wstring folder;
        std::wstring file;
        std::vector<int> answers;
        std::wstring message; // empty: accepted
        std::wstring path;
    };
    const Case cases[] = {
        {L"", L"a", {}, L"模板存放的目录不正确。", L""},
        {L"//", L"a", {}, L"模板存放的目录不正确。", L""},
        {folder + L"/none", L"a", {}, L"模板存放的目录不存在。", L""},
        {folder, L"", {}, L"请输入模板文件名称。", L""},
        {folder + L"\\/", L"票据", {}, L"", folder + L"/票据.dxt"},
        {folder, L"票据.DXT", {}, L"", folder + L"/票据.DXT"},
        {folder, L"票据.dxtx", {}, L"", folder + L"/票据.dxtx.dxt"},
        {folder, L"dxt", {}, L"", folder + L"/dxt.dxt"},
        {folder, L"old", {2}, L"“" + folder + L"/old.dxt” 这个文件已经存在。\n\n是否替换已有的文件?", L""},
        {folder, L"old.dxt", {1}, L"“" + folder + L"/old.dxt” 这个文件已经存在。\n\n是否替换已有的文件?",
         folder + L"/old.dxt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromStdWString(c.folder + L" | " + c.file).toStdString());
        CDocPanel panel;
        panel.FolderEdit()->setText(QString::fromStdWString(c.folder));
        panel.FileEdit()->setText(QString::fromStdWString(c.file));
        prompter.messages.clear();
        prompter.answers.assign(c.answers.begin(), c.answers.end());
        const bool left = panel.OnKillActive();
        EXPECT_EQ(left, !c.path.empty());
        if (c.message.empty()) {
            EXPECT_TRUE(prompter.messages.empty());
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text, c.message);
            EXPECT_EQ(prompter.messages[0].type, c.answers.empty() ? 64u : 33u);
        }
        if (left) {
            EXPECT_EQ(panel.TemplatePath(), c.path);
        }
    }
}

TEST_F(WizardTest, TheWizardGoesThroughBothPagesAndHandsBackTheFirstPage)
{
    CDocWizard wizard;
    wizard.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
    EXPECT_EQ(wizard.GetActiveIndex(), 0);
    EXPECT_EQ(wizard.NextButton()->text(), QStringLiteral("下一步(&N)>"));
    EXPECT_FALSE(wizard.PreviousButton()->isVisible());
    wizard.DocPanel()->FolderEdit()->setText(QString::fromStdWString(plat::WideOfPath(dir.path())));
    wizard.DocPanel()->FileEdit()->setText(QStringLiteral("凭证"));
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    ASSERT_EQ(wizard.GetActiveIndex(), 1);
    EXPECT_EQ(wizard.NextButton()->text(), QStringLiteral("完成"));
    EXPECT_TRUE(wizard.PreviousButton()->isVisible());
    wizard.grab().save(panetest::ShotPath(dir, "wizard_page.png"));
    CPagePanel* page = wizard.PagePanel();
    EXPECT_EQ(page->WidthEdit()->GetValue(), 2100);
    EXPECT_EQ(page->HeightEdit()->GetValue(), 2970);
    // Going back does not look at page two's values: a size being typed is no
    // reason to keep the author on it. Going on again finds it as it was left.
    page->WidthEdit()->SetValue(100);
    QTest::mouseClick(wizard.PreviousButton(), Qt::LeftButton);
    EXPECT_EQ(wizard.GetActiveIndex(), 0);
    EXPECT_TRUE(prompter.messages.empty());
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    ASSERT_EQ(wizard.GetActiveIndex(), 1);
    EXPECT_EQ(page->WidthEdit()->GetValue(), 100);
    // Finishing checks it.
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(wizard.GetActiveIndex(), 1);
    page->WidthEdit()->SetValue(1800);
    page->BaseXEdit()->SetValue(100);
    QTest::mouseClick(wizard.NextButton(), Qt::LeftButton);
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(wizard.TemplatePath(), plat::WideOfPath(dir.path()) + L"/凭证.dxt");
    EXPECT_EQ(wizard.Page().name, L"默认页面");
    EXPECT_EQ(wizard.Page().cx, 1800);
    EXPECT_EQ(wizard.Page().cy, 2970);
    EXPECT_EQ(wizard.Page().baseX, 100);
}

TEST_F(WizardTest, AnIconSetInThePropertiesDialogIsTheTemplatesIconAfterSaving)
{
    // A red and blue picture of 200 x 100: made 96 x 96 on white.
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (int x = 100; x < 200; ++x)
        for (int y = 0; y < 100; ++y)
            picture.setPixelColor(x, y, Qt::blue);
    const std::wstring file = Path("icon.png");
    picture.save(QString::fromStdWString(file));

    ASSERT_EQ(document->Save(), 1) << core->GetLastErrorText();
    {
        // Without a new icon the dialog leaves the document alone.
        CFilePropertyDlg dialog(Path("t.dxt"), document, core);
        dialog.accept();
        EXPECT_EQ(document->IsModified(), 0);
    }
    {
        prompter.files.push_back({Path("nothing.png")});
        CFilePropertyDlg dialog(Path("t.dxt"), document, core);
        dialog.SetIcon();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, L"“" + Path("nothing.png") + L"” 图片文件无法打开。");
        EXPECT_FALSE(dialog.IconChanged());
        ASSERT_EQ(prompter.fileRequests.size(), 1u);
        EXPECT_EQ(prompter.fileRequests[0].filterIndex, 5);
    }
    CFilePropertyDlg dialog(Path("t.dxt"), document, core);
    dialog.show();
    prompter.files.push_back({file});
    dialog.SetIcon();
    ASSERT_TRUE(dialog.IconChanged());
    EXPECT_EQ(dialog.Icon()->Picture().size(), QSize(96, 96));
    dialog.accept();
    EXPECT_EQ(document->IsModified(), 1);
    ASSERT_EQ(document->Save(), 1) << core->GetLastErrorText();

    // What the printing program's template list reads from the saved file (the file is
    // free again once the designer has closed it).
    document->Release();
    document = nullptr;
    IDoxImageData* data = core->GetTemplateIcon(Path("t.dxt").c_str());
    ASSERT_NE(data, nullptr) << core->GetLastErrorText();
    QImage icon;
    ASSERT_TRUE(icon.loadFromData(data->GetData(), static_cast<int>(data->GetSize())));
    data->Release();
    ASSERT_EQ(icon.size(), QSize(96, 96));
    const QColor left = icon.pixelColor(20, 48), right = icon.pixelColor(76, 48), top = icon.pixelColor(48, 5);
    EXPECT_GT(left.red(), 200);
    EXPECT_LT(left.blue(), 60);
    EXPECT_GT(right.blue(), 200);
    EXPECT_LT(right.red(), 60);
    EXPECT_EQ(top, QColor(Qt::white)); // the band above the wide picture

    // The printing program's template list makes its row from the same call.
    CHomeView list(nullptr);
    CHomeViewItem row(&list, L"t", core->GetTemplateIcon(Path("t.dxt").c_str()), Path("t.dxt"));
    EXPECT_TRUE(row.HasIcon());

    // Opened again, the dialog shows the stored icon.
    document = core->OpenTemplate(Path("t.dxt").c_str());
    ASSERT_NE(document, nullptr) << core->GetLastErrorText();
    CFilePropertyDlg again(Path("t.dxt"), document, core);
    EXPECT_EQ(again.Icon()->Picture().size(), QSize(96, 96));
}

} // namespace
