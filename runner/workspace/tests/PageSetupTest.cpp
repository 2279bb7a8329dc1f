// The page setup record: its stored XML text and the printer settings built from it;
// its dialog, which opens on the paper that holds the stored setup; and the mnemonics
// of the printing dialogs.

#include "CMmEdit.h"
#include "CPageSetupDlg.h"
#include "CPrintDlg.h"
#include "DialogChild.h"
#include "PageSetup.h"
#include "TiXmlW.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using doxtest::Child;

struct Fields {
    int orientation, paper, width, height, top, left, spacing, set;
};

Fields Of(const PageSetupRecord& r)
{
    return {r.Orientation, r.PaperSize, r.PaperWidth, r.PaperHeight, r.TopOffset, r.LeftOffset, r.PageSpacing, r.set};
}

bool operator==(const Fields& a, const Fields& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(PageSetupText, ReadsWhatIsThereAndKeepsTheRest)
{
    struct Case {
        const char* what;
        const char* xml;
        Fields expected;
    };
    const Case cases[] = {
        {"all seven",
         "<page_setup><Orientation value=\"2\"/><PaperSize value=\"9\"/><PaperWidth value=\"2100\"/>"
         "<PaperHeight value=\"2970\"/><TopOffset value=\"-15\"/><LeftOffset value=\"30\"/>"
         "<PageSpacing value=\"120\"/></page_setup>",
         {2, 9, 2100, 2970, -15, 30, 120, 1}},
        {"a missing child and a missing attribute keep their defaults",
         "<PAGE_SETUP><PaperWidth value=\"1800\"/><PaperHeight/><TopOffset value=\"x\"/></PAGE_SETUP>",
         {1, 256, 1800, 0, 0, 0, 0, 1}},
        {"another root changes nothing", "<pager><PaperWidth value=\"1800\"/></pager>", {1, 256, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiXmlDocumentW document;
        ASSERT_TRUE(document.Parse(c.xml));
        PageSetupRecord record;
        ReadPageSetup(document, record);
        EXPECT_TRUE(Of(record) == c.expected);
    }
}

TEST(PageSetupText, WrittenTextReadsBackInItsOrder)
{
    PageSetupRecord record;
    record.Orientation = 2;
    record.PaperSize = 11;
    record.PaperWidth = 1480;
    record.PaperHeight = 2100;
    record.TopOffset = -7;
    record.LeftOffset = 999;
    record.PageSpacing = 40;
    TiXmlDocumentW document;
    ASSERT_TRUE(document.AddDeclaration());
    ASSERT_TRUE(WritePageSetup(record, document));
    const std::string text = document.Print();
    EXPECT_EQ(text.rfind("<?xml", 0), 0u);
    size_t at = 0;
    for (const char* name : {"Orientation", "PaperSize", "PaperWidth", "PaperHeight", "TopOffset", "LeftOffset",
                             "PageSpacing"}) {
        const size_t found = text.find(name, at);
        ASSERT_NE(found, std::string::npos) << name;
        at = found;
    }
    TiXmlDocumentW back;
    ASSERT_TRUE(back.Parse(text.c_str()));
    PageSetupRecord read;
    ASSERT_TRUE(ReadPageSetup(back, read));
    EXPECT_TRUE(Of(read) == (Fields{2, 11, 1480, 2100, -7, 999, 40, 1}));
}

TEST(PageSetupDevMode, BuiltOnlyForASetupWithAPaper)
{
    struct Case {
        const char* what;
        int set, paper, width, height, orientation;
        const wchar_t* printer;
        bool ok;
        bool devMode;
        const wchar_t* error;
    };
    const Case cases[] = {
        {"never set up: the printer's defaults", 0, 256, 2100, 990, 1, L"PDF", true, false, L""},
        {"no height: the printer's defaults", 1, 256, 2100, 0, 1, L"PDF", true, false, L""},
        {"the template's own size", 1, 256, 2100, 990, 1, L"PDF", true, true, L""},
        {"A4 landscape", 1, 9, 2100, 2970, 2, L"PDF", true, true, L""},
        {"a printer that is not there", 1, 256, 2100, 990, 1, L"无此打印机", false, false,
         L"打开打印机失败:无此打印机，请确认是否正确安装打印机。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageSetupRecord record;
        record.set = c.set;
        record.PaperSize = c.paper;
        record.PaperWidth = c.width;
        record.PaperHeight = c.height;
        record.Orientation = c.orientation;
        const DEVMODEW* devMode = reinterpret_cast<const DEVMODEW*>(&record);
        const plat::PrinterDescription printer = plat::DescribePrinter(QString::fromWCharArray(c.printer));
        EXPECT_EQ(ApplyPageSetupToDevMode(record, printer, &devMode), c.ok);
        EXPECT_EQ(devMode != nullptr, c.devMode);
        EXPECT_EQ(record.errorText, c.error);
        if (!devMode)
            continue;
        const uint32_t bits = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
        EXPECT_EQ(devMode->dmFields & bits, bits);
        EXPECT_EQ(devMode->dmOrientation, c.orientation);
        EXPECT_EQ(devMode->dmPaperSize, c.paper);
        EXPECT_EQ(devMode->dmPaperWidth, c.width);
        EXPECT_EQ(devMode->dmPaperLength, c.height);
    }
}


TEST(PageSetupDialog, ChoosesThePaperThatHoldsTheStoredSetup)
{
    struct Case {
        const char* what;
        int set, paper, width, height;
        const char* shown;   // the paper the list opens on
        bool editable;       // width and height may be typed
        int openWidth, openHeight;
    };
    const Case cases[] = {
        {"first time: the template's own size", 0, 256, 0, 0, "模板页面", false, 2100, 990},
        {"a stored A5", 1, 11, 1480, 2100, "A5", false, 1480, 2100},
        {"a paper the printer no longer has: its user size", 1, 999, 1234, 567, "自定义大小", true, 1234, 567},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PageSetupRecord record;
        record.templateWidth = 2100;
        record.templateHeight = 990;
        record.set = c.set;
        record.PaperSize = c.paper;
        record.PaperWidth = c.width;
        record.PaperHeight = c.height;
        CPageSetupDlg dialog(record, L"PDF");
        EXPECT_EQ(Child<QComboBox>(&dialog, 1002)->currentText(), QString::fromUtf8(c.shown));
        auto* width = Child<CMmEdit>(&dialog, 1006);
        EXPECT_EQ(width->isReadOnly(), !c.editable);
        EXPECT_EQ(width->GetValue(), c.openWidth);
        EXPECT_EQ(Child<CMmEdit>(&dialog, 1007)->GetValue(), c.openHeight);
        EXPECT_EQ(record.set, 1);
        EXPECT_EQ(dialog.Orientation(), 1);

        // OK writes the choice back, offsets included.
        auto* left = Child<CMmEdit>(&dialog, 1013);
        left->setText(QStringLiteral("-3.5"));
        emit left->textEdited(left->text());
        dialog.show();
        Child<QAbstractButton>(&dialog, 1)->click();
        EXPECT_EQ(dialog.result(), 1);
        EXPECT_EQ(record.PaperWidth, c.openWidth);
        EXPECT_EQ(record.PaperHeight, c.openHeight);
        EXPECT_EQ(record.LeftOffset, -35);
    }
}

TEST(PrintingDialogs, EveryMnemonicCaptionNamesItsFieldAndAltMovesThere)
{
    PageSetupRecord record;
    record.templateWidth = 2100;
    record.templateHeight = 990;
    CPageSetupDlg setup(record, L"PDF");
    CPrintDlg print(L"PDF", false);
    for (QDialog* dialog : {static_cast<QDialog*>(&setup), static_cast<QDialog*>(&print)}) {
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        int captions = 0;
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            const QString text = label->text();
            const qsizetype amp = text.indexOf(QLatin1String("(&"));
            if (amp < 0)
                continue;
            ++captions;
            SCOPED_TRACE(text.toStdString());
            ASSERT_NE(label->buddy(), nullptr) << "the ampersand is drawn";
            if (!label->buddy()->isEnabled() || label->buddy()->focusPolicy() == Qt::NoFocus)
                continue;
            dialog->setFocus();
            QTest::keyClick(dialog, text.at(amp + 2).toLower().toLatin1(), Qt::AltModifier);
            EXPECT_TRUE(label->buddy()->hasFocus());
        }
        EXPECT_GE(captions, 1);
        dialog->hide();
    }
}

} // namespace
