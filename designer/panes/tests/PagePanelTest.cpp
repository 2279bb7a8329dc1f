// The page properties panel: its size limits and their message, the base point that
// follows the page, the page size taken from a scanned form, and the preview's scale.

#include "CMmEdit.h"
#include "PaneFixture.h"
#include "PagePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

using panetest::CoreTest;

namespace
{

class PagePanelTest : public CoreTest
{
protected:
    std::unique_ptr<CPageProperty> Open(const PageValues& values, IDoxPage* shown = nullptr, int mode = 1)
    {
        auto sheet = std::make_unique<CPageProperty>(mode, values, shown);
        sheet->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet.get()));
        return sheet;
    }
    static PageValues A4()
    {
        PageValues values;
        values.name = L"默认页面";
        return values;
    }
};

TEST_F(PagePanelTest, SizesOutsideFortyToSixHundredMillimetresAreRefusedWithTheLimits)
{
    struct Case {
        int cx;
        int cy;
        bool accepted;
    };
    const Case cases[] = {{399, 2970, false}, {400, 400, true}, {2100, 300, false}, {6000, 6000, true}, {0, 1000, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cx * 10000 + c.cy);
        auto sheet = Open(A4());
        CPagePanel* panel = sheet->Panel();
        panel->WidthEdit()->SetValue(c.cx);
        panel->HeightEdit()->SetValue(c.cy);
        prompter.messages.clear();
        sheet->accept();
        EXPECT_EQ(sheet->result() == QDialog::Accepted && !sheet->isVisible(), c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(prompter.messages.empty());
            EXPECT_EQ(sheet->Values().cx, c.cx);
            EXPECT_EQ(sheet->Values().cy, c.cy);
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u);
            EXPECT_EQ(prompter.messages[0].text, L"页面参数设置不正确。页面的长度和宽度必须在40-600毫米的范围内。");
            EXPECT_EQ(prompter.messages[0].type, 64u);
        }
    }
}

TEST_F(PagePanelTest, LoweringTheWidthBelowTheBasePointResetsIt)
{
    PageValues values = A4();
    values.baseX = 1500;
    values.baseY = 2000;
    auto sheet = Open(values);
    CPagePanel* panel = sheet->Panel();
    EXPECT_EQ(panel->BaseXEdit()->GetValue(), 1500);
    panel->WidthEdit()->SetValue(1800); // still above the base point
    EXPECT_EQ(panel->BaseXEdit()->GetValue(), 1500);
    panel->WidthEdit()->SetValue(1000);
    EXPECT_EQ(panel->BaseXEdit()->GetValue(), 0);
    panel->HeightEdit()->SetValue(1999);
    EXPECT_EQ(panel->BaseYEdit()->GetValue(), 0);
    sheet->accept();
    EXPECT_EQ(sheet->Values().baseX, 0);
    EXPECT_EQ(sheet->Values().cx, 1000);
}

TEST_F(PagePanelTest, AScannedA4At300DpiGivesTheA4PageWhenThePictureDecidesTheSize)
{
    const std::wstring scan = panetest::WritePicture(dir, "scan.png", QSize(2480, 3508), 300);
    PageValues values = A4();
    values.cx = 1000;
    values.cy = 1000;
    auto sheet = Open(values);
    CPagePanel* panel = sheet->Panel();
    EXPECT_FALSE(panel->SizeFromPicture()->isEnabled()); // no picture yet
    prompter.files.push_back({scan});
    panel->Browse();
    ASSERT_EQ(panel->PictureList()->currentIndex(), 1);
    EXPECT_EQ(panel->PictureSize(), QSize(2100, 2970));
    ASSERT_TRUE(panel->SizeFromPicture()->isEnabled());
    QTest::mouseClick(panel->SizeFromPicture(), Qt::LeftButton, {}, QPoint(8, panel->SizeFromPicture()->height() / 2));
    ASSERT_TRUE(panel->SizeFromPicture()->isChecked());
    EXPECT_EQ(panel->WidthEdit()->GetValue(), 2100);
    EXPECT_EQ(panel->HeightEdit()->GetValue(), 2970);
    EXPECT_FALSE(panel->WidthEdit()->isEnabled());
    EXPECT_FALSE(panel->HeightEdit()->isEnabled());
    EXPECT_FALSE(panel->PaperButton()->isEnabled());
    sheet->accept();
    const PageValues& out = sheet->Values();
    EXPECT_EQ(out.picture, scan);
    EXPECT_TRUE(out.sizeFromPicture);
    EXPECT_TRUE(out.pictureChanged);
    EXPECT_EQ(out.cx, 2100);
    EXPECT_EQ(out.cy, 2970);

    // A file that is not there is reported and leaves the list as it was.
    auto again = Open(values);
    prompter.files.push_back({Path("missing.png")});
    again->Panel()->Browse();
    EXPECT_EQ(again->Panel()->PictureList()->currentIndex(), 0);
    ASSERT_FALSE(prompter.messages.empty());
    EXPECT_EQ(prompter.messages.back().text, L"“" + Path("missing.png") + L"” 不存在或者无法打开。");
}

TEST_F(PagePanelTest, ThePreviewFillsTheSquareForTheLargestPageAndMagnifiesSmallOnes)
{
    struct Case {
        int cx;
        int cy;
        double magnification;
    };
    const Case cases[] = {{6000, 6000, 1}, {1000, 1000, 3}, {2100, 2970, 2}, {6000, 4200, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cx);
        PageValues values = A4();
        values.cx = c.cx;
        values.cy = c.cy;
        auto sheet = Open(values);
        const QRect square = sheet->Panel()->PreviewSquare();
        const QRect page = sheet->Panel()->PreviewPage();
        ASSERT_FALSE(square.isEmpty());
        const double scale = square.width() / 6000.0;
        EXPECT_NEAR(page.width(), c.cx * scale * c.magnification, 1.0);
        EXPECT_NEAR(page.height(), c.cy * scale * c.magnification, 1.0);
        EXPECT_NEAR(page.center().x(), square.center().x(), 1.0);
    }
}

} // namespace
