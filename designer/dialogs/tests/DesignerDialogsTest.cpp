// The designer's paper and print dialogs on the PDF printer, which is always there.

#include "CPaperDialog.h"
#include "CPrintDlg.h"
#include "DialogChild.h"
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

using doxtest::Child;

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

    const plat::PrinterDescription pdf = plat::DescribePrinter(plat::PdfPrinterName());
    ASSERT_TRUE(pdf.exists);
    EXPECT_EQ(pdf.details.port, QStringLiteral("FILE:"));
    EXPECT_FALSE(plat::DescribePrinter(QStringLiteral("无此打印机")).exists);
    EXPECT_EQ(plat::DescribePrinters().back().details.name, plat::PdfPrinterName());
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

} // namespace

TEST(DesignerPrintDialogs, EveryMnemonicCaptionNamesItsField)
{
    CPaperDialog paper(L"pdf");
    CPrintDlg print(2100, 990, L"PDF");
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
