// The designer's paper and print dialogs on the PDF printer, which is always there.

#include "CPaperDialog.h"
#include "DesignerPrintDlg.h"
#include "Printers.h"
#include "PdfPlaceCases.h"
#include "Prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace
{

template <typename T>
T* Child(QWidget* dialog, int id)
{
    T* child = dialog->findChild<T*>(QString::number(id));
    EXPECT_NE(child, nullptr) << id;
    return child;
}

void Choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

struct KnownPaper {
    const char* name;
    int id;
    int width, height; // 0.1 mm
    const char* shownWidth;
    const char* shownHeight;
};

const KnownPaper kPapers[] = {
    {"A4", 9, 2100, 2970, "210", "297"},
    {"A3", 8, 2970, 4200, "297", "420"},
    {"A5", 11, 1480, 2100, "148", "210"},
};

TEST(PrinterQueries, ThePdfPrinterOffersPapersWithTheirIdsAndSizes)
{
    const std::vector<plat::PrinterPaper> papers = plat::PrinterPapers(plat::PdfPrinterName());
    for (const KnownPaper& known : kPapers) {
        SCOPED_TRACE(known.name);
        auto it = std::find_if(papers.begin(), papers.end(),
                               [&](const plat::PrinterPaper& p) { return p.name == QLatin1String(known.name); });
        ASSERT_NE(it, papers.end());
        EXPECT_EQ(it->id, known.id);
        EXPECT_EQ(it->width, known.width);
        EXPECT_EQ(it->height, known.height);
    }
    // Letter is 8.5 x 11 inches, and the printer takes sizes of the user's own.
    auto letter = std::find_if(papers.begin(), papers.end(), [](const plat::PrinterPaper& p) { return p.id == 1; });
    ASSERT_NE(letter, papers.end());
    EXPECT_EQ(letter->width, 2159);
    EXPECT_EQ(letter->height, 2794);
    ASSERT_FALSE(papers.empty());
    EXPECT_EQ(papers.back().id, 256);
    EXPECT_TRUE(plat::PrinterPapers(QStringLiteral("无此打印机")).empty());

    plat::PrinterDetails details;
    ASSERT_TRUE(plat::GetPrinterDetails(plat::PdfPrinterName(), &details));
    EXPECT_EQ(details.port, QStringLiteral("FILE:"));
    EXPECT_FALSE(plat::GetPrinterDetails(QStringLiteral("无此打印机"), &details));
    EXPECT_EQ(plat::EnumPrinters().back().name, plat::PdfPrinterName());
}

TEST(PaperDialog, ListsThePrintersPapersAndShowsTheChosenSizeInMillimetres)
{
    CPaperDialog dialog(L"pdf");
    auto* printers = Child<QComboBox>(&dialog, 1007);
    auto* papers = Child<QComboBox>(&dialog, 1024);
    EXPECT_EQ(printers->currentText(), QStringLiteral("PDF"));
    ASSERT_EQ(papers->count(), static_cast<int>(plat::PrinterPapers(QStringLiteral("PDF")).size()));
    EXPECT_EQ(papers->currentIndex(), 0);
    for (const KnownPaper& known : kPapers) {
        SCOPED_TRACE(known.name);
        Choose(papers, QLatin1String(known.name));
        EXPECT_EQ(Child<QLineEdit>(&dialog, 1008)->text(), QLatin1String(known.shownWidth));
        EXPECT_EQ(Child<QLineEdit>(&dialog, 1009)->text(), QLatin1String(known.shownHeight));
        EXPECT_EQ(dialog.Width(), known.width);
        EXPECT_EQ(dialog.Height(), known.height);
    }
    // The user size has no size of its own: OK keeps the dialog open.
    papers->setCurrentIndex(papers->count() - 1);
    emit papers->activated(papers->count() - 1);
    EXPECT_EQ(dialog.Width(), 0);
    dialog.show();
    Child<QAbstractButton>(&dialog, 1)->click();
    EXPECT_TRUE(dialog.isVisible());
    Choose(papers, QStringLiteral("A4"));
    Child<QAbstractButton>(&dialog, 1)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(PaperDialog, RunHandsBackThePrinterAndTheSize)
{
    std::wstring printer = L"PDF";
    int cx = 0, cy = 0;
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        Choose(Child<QComboBox>(dialog, 1024), QStringLiteral("A5"));
        Child<QAbstractButton>(dialog, 1)->click();
    });
    ASSERT_TRUE(RunPaperDialog(nullptr, &printer, &cx, &cy));
    EXPECT_EQ(printer, L"PDF");
    EXPECT_EQ(cx, 1480);
    EXPECT_EQ(cy, 2100);
}

TEST(DesignerPrintDialog, OffersTheTemplatePageFirstAndBuildsTheChosenSettings)
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
        designer::CPrintDlg dialog(2100, 990, L"PDF");
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

// The test page's print names the file it will write, as the printing program's does.
TEST(DesignerPrintDialog, ThePdfPrintersPlaceIsTheFileThePrintWillWrite)
{
    ExpectThePdfPlaceIsTheFileThePrintWillWrite([](const wchar_t* document) {
        designer::CPrintDlg dialog(2100, 990, L"PDF", nullptr, document);
        return Child<QLabel>(&dialog, 1021)->text();
    });
}

} // namespace

// A printer that reports no papers is told about when chosen and refused on OK, and
// the dialog stays open for another choice.
TEST(DesignerPrintDialog, APrinterThatReportsNoPapersIsRefusedOnOk)
{
    dox::platform::ScriptedPrompter prompter;
    dox::platform::ScopedPrompter scope(&prompter);
    const QString pdf = plat::PdfPrinterName();
    bool none = true;
    const designer::PaperQuery previous = designer::SetPaperQuery([&](const QString& printer) {
        return none ? std::vector<plat::PrinterPaper>{} : plat::PrinterPapers(printer);
    });
    {
        designer::CPrintDlg dialog(2100, 990, pdf.toStdWString());
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
    designer::SetPaperQuery(previous);
}

TEST(DesignerPrintDialogs, EveryMnemonicCaptionNamesItsField)
{
    CPaperDialog paper(L"pdf");
    designer::CPrintDlg print(2100, 990, L"PDF");
    for (QDialog* dialog : {static_cast<QDialog*>(&paper), static_cast<QDialog*>(&print)}) {
        int captions = 0;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (!label->text().contains(QLatin1String("(&")))
                continue;
            ++captions;
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << ": the ampersand is drawn";
        }
        EXPECT_GE(captions, 1);
    }
}
