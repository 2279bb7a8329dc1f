// The print dialog in both its uses: a bill's print (the printer list, the copies box
// and how it ends) and a template page's print (the papers with the template's own
// size first, and the printer's settings built from the choice).

#include "CPrintDlg.h"
#include "DialogChild.h"
#include "PdfPlaceCases.h"
#include "Printers.h"
#include "Prompter.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace
{

using doxtest::Child;

TEST(PrintDialog, CopiesTakeOnlyDigitsAndZeroKeepsTheDialogOpen)
{
    struct Case {
        const char* typed;
        const char* shown;
        bool closes;
        int copies;
    };
    const Case cases[] = {
        {"3", "3", true, 3},
        {"1x", "1", true, 1}, // the letter is put back while typing
        {"0", "0", false, 0},
        {"12", "12", true, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CPrintDlg dialog(L"pdf", false);
        dialog.show();
        auto* copies = Child<QLineEdit>(&dialog, 1006);
        copies->selectAll();
        QTest::keyClick(copies, Qt::Key_Delete);
        QTest::keyClicks(copies, QString::fromLatin1(c.typed));
        EXPECT_EQ(copies->text(), QLatin1String(c.shown));
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_EQ(!dialog.isVisible(), c.closes);
        EXPECT_EQ(dialog.copies, c.copies);
        if (c.closes) {
            EXPECT_EQ(dialog.result(), 1);
            EXPECT_EQ(dialog.printerName, L"PDF"); // as the list spells it
        }
    }
}

TEST(PrintDialog, AnotherPrinterOffersCloseAndContinuousHidesTheBackground)
{
    CPrintDlg dialog(L"PDF", true);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("连打"));
    EXPECT_TRUE(Child<QCheckBox>(&dialog, 1013)->isHidden());
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, 2)->isHidden());
    EXPECT_TRUE(Child<QAbstractButton>(&dialog, 8)->isHidden());
    auto* printers = Child<QComboBox>(&dialog, 1002);
    EXPECT_EQ(printers->currentText(), QStringLiteral("PDF"));
    emit printers->activated(printers->currentIndex());
    EXPECT_TRUE(Child<QAbstractButton>(&dialog, 2)->isHidden());
    EXPECT_FALSE(Child<QAbstractButton>(&dialog, 8)->isHidden());
    dialog.show();
    Child<QAbstractButton>(&dialog, 8)->click();
    EXPECT_EQ(dialog.result(), CPrintDlg::kClose);
    EXPECT_EQ(dialog.printerName, L"PDF");
}

// The band says what the dialog will print: a continuous print names the count of the
// ticked bills.
TEST(PrintDialog, TheHintNamesTheCountOfBillsAContinuousPrintPrints)
{
    struct Case {
        bool continuous;
        int count;
        const char* hint;
    };
    const Case cases[] = {
        {false, 0, "打印。"},
        {true, 3, "连打勾选的 3 张票据。"},
        {true, 1, "连打勾选的 1 张票据。"},
    };
    for (const Case& c : cases) {
        CPrintDlg dialog(L"PDF", c.continuous, nullptr, {}, c.count);
        EXPECT_EQ(dialog.Hint(), QString::fromUtf8(c.hint)) << c.count;
    }
}

TEST(PrintDialog, ThePdfPrintersPlaceIsTheFileThePrintWillWrite)
{
    ExpectThePdfPlaceIsTheFileThePrintWillWrite([](const wchar_t* document) {
        CPrintDlg dialog(L"PDF", false, nullptr, document);
        return Child<QLabel>(&dialog, 1021)->text();
    });
}

// ---- A template page's print (the designer's test page).

void Choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

TEST(PagePrintDialog, OffersTheTemplatePageFirstAndBuildsTheChosenSettings)
{
    struct Case {
        const char* what;
        const char* paper; // null: as it opens
        bool landscape;
        int id, width, height, orientation;
    };
    const Case cases[] = {
        {"the template's own size", nullptr, false, 256, 2100, 990, 1},
        {"A4 turned", "A4", true, 9, 2100, 2970, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPrintDlg dialog(2100, 990, L"PDF");
        auto* papers = Child<QComboBox>(&dialog, 1024);
        EXPECT_EQ(papers->itemText(0), QStringLiteral("模板页面"));
        EXPECT_EQ(papers->currentIndex(), 0);
        EXPECT_EQ(Child<QLineEdit>(&dialog, 1008)->text(), QStringLiteral("210"));
        EXPECT_EQ(Child<QLineEdit>(&dialog, 1009)->text(), QStringLiteral("99"));
        if (c.paper)
            Choose(papers, QLatin1String(c.paper));
        if (c.landscape)
            Child<QRadioButton>(&dialog, 1004)->click();
        dialog.show();
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        const DEVMODEW* devMode = nullptr;
        ASSERT_TRUE(dialog.BuildDevMode(&devMode));
        ASSERT_NE(devMode, nullptr);
        EXPECT_EQ(devMode->dmPaperSize, c.id);
        EXPECT_EQ(devMode->dmPaperWidth, c.width);
        EXPECT_EQ(devMode->dmPaperLength, c.height);
        EXPECT_EQ(devMode->dmOrientation, c.orientation);
    }
}

// A template page's print names the file it will write, as a bill's print does.
TEST(PagePrintDialog, ThePdfPrintersPlaceIsTheFileThePrintWillWrite)
{
    ExpectThePdfPlaceIsTheFileThePrintWillWrite([](const wchar_t* document) {
        CPrintDlg dialog(2100, 990, L"PDF", nullptr, document);
        return Child<QLabel>(&dialog, 1021)->text();
    });
}

} // namespace

// A printer that reports no papers is told about when chosen and refused on OK, and
// the dialog stays open for another choice.
TEST(PagePrintDialog, APrinterThatReportsNoPapersIsRefusedOnOk)
{
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scope(&prompter);
    const QString pdf = plat::PdfPrinterName();
    bool none = true;
    const PaperQuery previous = SetPaperQuery([&](const QString& printer) {
        return none ? std::vector<plat::PrinterPaper>{} : plat::PrinterPapers(printer);
    });
    {
        CPrintDlg dialog(2100, 990, pdf.toStdWString());
        const std::wstring told = L"获取页面信息失败:" + pdf.toStdWString();
        ASSERT_EQ(prompter.messages.size(), 1u);
        EXPECT_EQ(prompter.messages[0].text, told);
        EXPECT_EQ(Child<QComboBox>(&dialog, 1024)->count(), 0);
        dialog.show();
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(prompter.messages.size(), 2u);
        EXPECT_EQ(prompter.messages[1].text, told);

        // Once the printer offers its papers again it can be chosen.
        none = false;
        Choose(Child<QComboBox>(&dialog, 1007), pdf);
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(prompter.messages.size(), 2u);
    }
    SetPaperQuery(previous);
}
