// Printing bills through CUPS as operators' printers are reached: a cupsd of the test's
// own with a cups-pdf queue (which takes any paper size) and a queue of CUPS's generic
// PCL driver (which has none of its own), a bill printed through the workspace onto
// each, with the page's own paper from its page setup ("模板页面") and without a setup;
// and how often a print asks CUPS about its queue.

#include "PrivateCupsd.h"
#include "SampleWorkspace.h"

#include "CPageSetupDlg.h"
#include "CPrintDlg.h"
#include "DoxCore.h"
#include "IDoxCore.h"
#include "IDoxPage.h"
#include "Printers.h"
#include "Prompter.h"
#include "TestSupport.h"
#include "WorkspaceViews.h"

#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

namespace
{

using namespace wstest;
using dox::platform::ScriptedPrompter;

const char kCupsPdfQueue[] = "dox-cups-pdf";
const char kPclQueue[] = "dox-pcl";

std::string Utf8(const std::wstring& text)
{
    return QString::fromStdWString(text).toStdString();
}

std::wstring W(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string()).toStdWString();
}

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    tool.waitForFinished(30000);
    return QString::fromUtf8(tool.readAll());
}

// A PDF page's size in millimetres, as pdfinfo gives it.
QSizeF PageSizeMm(const QString& pdf)
{
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts"))
                                             .match(Run(QStringLiteral("pdfinfo"), {pdf}));
    if (!size.hasMatch())
        return {};
    return {size.captured(1).toDouble() * 25.4 / 72, size.captured(2).toDouble() * 25.4 / 72};
}

constexpr int kDpi = 150;

// Where a rendered page has ink: the box round its dark pixels, in millimetres from the
// paper's top-left corner, and how many they are.
struct Ink {
    QRectF box;
    int pixels = 0;
};

Ink InkOf(const QString& pdf, const QString& base)
{
    Run(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(kDpi), QStringLiteral("-gray"),
                                     QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    const QImage page(base + QStringLiteral(".png"));
    Ink ink;
    if (page.isNull())
        return ink;
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
                ++ink.pixels;
            }
        }
    }
    const double mm = 25.4 / kDpi;
    ink.box = QRectF(box.left() * mm, box.top() * mm, box.width() * mm, box.height() * mm);
    return ink;
}

// Ink on the same place of the sheet, every side within half a millimetre.
void ExpectInkAt(const Ink& got, const Ink& wanted)
{
    EXPECT_NEAR(got.box.left(), wanted.box.left(), 0.5);
    EXPECT_NEAR(got.box.top(), wanted.box.top(), 0.5);
    EXPECT_NEAR(got.box.right(), wanted.box.right(), 0.5);
    EXPECT_NEAR(got.box.bottom(), wanted.box.bottom(), 0.5);
}

class CupsPrintTest : public WorkspaceFixture
{
protected:
    // One cupsd for the whole run: the CUPS library keeps the server it was first
    // told of.
    static void SetUpTestSuite()
    {
        cupsFolder_ = new doxtest::TempDir;
        cupsd_ = new cupstest::PrivateCupsd(cupsFolder_->path());
        if (!cupsd_->Unavailable().isEmpty())
            return;
        setenv("CUPS_SERVER", cupsd_->Socket().toLocal8Bit().constData(), 1);
        QString output;
        queuesAdded_ = cupsd_->AddCupsPdfQueue(QString::fromLatin1(kCupsPdfQueue), &output) &&
                       cupsd_->AddFileQueue(QString::fromLatin1(kPclQueue),
                                            QStringLiteral("drv:///sample.drv/generpcl.ppd"), PclFile(), &output);
        queueOutput_ = new QString(output);
    }
    static void TearDownTestSuite()
    {
        // cupsd stops even when a test failed.
        delete cupsd_;
        cupsd_ = nullptr;
        delete cupsFolder_;
        cupsFolder_ = nullptr;
        delete queueOutput_;
        queueOutput_ = nullptr;
        unsetenv("CUPS_SERVER");
    }
    static QString PclFile() { return QString::fromStdString((cupsFolder_->path() / "out" / "pcl.out").string()); }

    void SetUp() override
    {
        if (!cupsd_->Unavailable().isEmpty())
            GTEST_SKIP() << "no private cupsd: " << cupsd_->Unavailable().toStdString();
        ASSERT_TRUE(queuesAdded_) << queueOutput_->toStdString();
        ASSERT_NO_FATAL_FAILURE(MakeWorkspace(900, 700, 0));
        templatePath_ = W(dir_ / "进账单.dxt");
        // A transfer slip of 210 x 99 mm: the size of a bank's cheque forms.
        ASSERT_TRUE(WriteSampleTemplate(core_, templatePath_,
                                        {{L"进账单",
                                          2100,
                                          990,
                                          {{L"收款人", L"文本", {200, -150, 1000, -210}},
                                           {L"金额", L"数值", {1200, -150, 1800, -210}},
                                           {L"用途", L"文本", {200, -400, 1400, -460}}}}}));
        ScriptedPrompter quiet;
        dox::platform::ScopedPrompter scope(&quiet);
        ASSERT_TRUE(workspace_->OpenTemplateDocument(templatePath_));
        ASSERT_TRUE(quiet.messages.empty());
        Client()->OnCmdMsg(wscmd::kNewBill, nullptr);
        IDoxPage* page = Client()->PageView()->Page();
        ASSERT_EQ(page->SetFieldText(L"主表.收款人", 0, L"北京朝阳收款单位"), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.金额", 0, L"1234.5"), 1);
        ASSERT_EQ(page->SetFieldText(L"主表.用途", 0, L"货款"), 1);
        Client()->OnCmdMsg(wscmd::kSaveBill, nullptr);
    }

    PageSetupRecord& PageSetup() { return Client()->PageView()->Setup(); }

    // The page's own paper, as the page setup dialog leaves it when "模板页面" is kept.
    void SetUpTemplatePaper()
    {
        PageSetupRecord& setup = PageSetup();
        setup.set = 1;
        setup.Orientation = 1;
        setup.PaperSize = 256;
        setup.PaperWidth = 2100;
        setup.PaperHeight = 990;
    }

    // The two roads to a printer: the page's own size without a page setup, and the
    // setup's "模板页面". Prints the bill onto the queue by one of them and waits for the
    // job, which completes as the queue's next one.
    struct Road {
        const char* name;
        bool templatePaper;
    };
    static constexpr Road kRoads[] = {{"without a page setup", false}, {"with the page setup's 模板页面", true}};
    void PrintOntoQueue(const QString& queue, const Road& road, int* jobs)
    {
        if (road.templatePaper)
            SetUpTemplatePaper();
        const auto messages = PrintBill(queue.toStdWString());
        EXPECT_TRUE(messages.empty()) << Utf8(messages.empty() ? L"" : messages[0].text);
        ASSERT_TRUE(cupsd_->WaitUntilIdle(60000)) << cupsd_->LogTail().toStdString();
        EXPECT_EQ(cupsd_->CompletedJobs(queue).size(), static_cast<qsizetype>(++*jobs));
    }

    // Prints the shown bill through the print dialog onto the printer; the messages
    // the workspace showed.
    std::vector<dox::platform::ScriptedPrompter::Message> PrintBill(const std::wstring& printer)
    {
        host_->printer = printer;
        ScriptedPrompter prompts;
        dox::platform::ScopedPrompter scope(&prompts);
        OnNextDialog dialog([](QWidget* d) {
            auto* printers = d->findChild<QComboBox*>(QStringLiteral("1002"));
            EXPECT_NE(printers, nullptr);
            if (printers) {
                EXPECT_GE(printers->currentIndex(), 0);
            }
            EXPECT_TRUE(ClickButton(d, 1));
        });
        EXPECT_TRUE(workspace_->OnCmdMsg(wscmd::kPrintBill, nullptr));
        EXPECT_TRUE(dialog.Opened());
        return prompts.messages;
    }

    static doxtest::TempDir* cupsFolder_;
    static cupstest::PrivateCupsd* cupsd_;
    static bool queuesAdded_;
    static QString* queueOutput_;

    std::wstring templatePath_;
};

doxtest::TempDir* CupsPrintTest::cupsFolder_ = nullptr;
cupstest::PrivateCupsd* CupsPrintTest::cupsd_ = nullptr;
bool CupsPrintTest::queuesAdded_ = false;
QString* CupsPrintTest::queueOutput_ = nullptr;

TEST_F(CupsPrintTest, TheCupsPdfQueuePrintsTheBillAtItsSizeWithItsInkWhereThePdfPrinterPutsIt)
{
    // Where the PDF printer puts the bill's ink.
    const auto written = PrintBill(L"PDF");
    ASSERT_EQ(written.size(), 1u);
    const QString reference = QString::fromStdString((dir_ / "Documents" / "进账单.pdf").string());
    ASSERT_EQ(written[0].text, L"已打印到文件：" + reference.toStdWString());
    const Ink wanted = InkOf(reference, QString::fromStdString((dir_ / "reference").string()));
    ASSERT_GT(wanted.pixels, 100);

    int jobs = 0;
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        QDir pdfs(cupsd_->PdfFolder());
        for (const QString& old : pdfs.entryList({QStringLiteral("*.pdf")}, QDir::Files))
            pdfs.remove(old);
        ASSERT_NO_FATAL_FAILURE(PrintOntoQueue(QString::fromLatin1(kCupsPdfQueue), road, &jobs));

        const QStringList printed = pdfs.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        ASSERT_EQ(printed.size(), 1) << cupsd_->LogTail().toStdString();
        const QString pdf = pdfs.filePath(printed[0]);
        // The bill's own size (Qt gives the size in whole points: within 0.4 mm).
        const QSizeF size = PageSizeMm(pdf);
        EXPECT_NEAR(size.width(), 210.0, 0.5);
        EXPECT_NEAR(size.height(), 99.0, 0.5);
        // Its ink where the PDF printer puts it, within half a millimetre.
        const Ink got = InkOf(pdf, QString::fromStdString((dir_ / "cups").string()));
        ExpectInkAt(got, wanted);
        // cups-pdf draws the same glyphs again through Ghostscript, a little thinner.
        EXPECT_GT(got.pixels, wanted.pixels / 2);
        EXPECT_LT(got.pixels, wanted.pixels * 2);
    }
}

// A row of PCL raster data in TIFF "packbits" (compression mode 2).
QByteArray Unpack(const QByteArray& packed)
{
    QByteArray row;
    for (qsizetype i = 0; i < packed.size();) {
        const int n = static_cast<signed char>(packed[i++]);
        if (n >= 0) {
            row += packed.mid(i, n + 1);
            i += n + 1;
        } else if (n != -128 && i < packed.size()) {
            row += QByteArray(1 - n, packed[i++]);
        }
    }
    return row;
}

// What a PCL raster job puts on its first sheet: the paper it selects (ESC & l <n> A;
// 2 is US Letter, 26 A4) and its ink, in millimetres from the sheet's top-left corner.
struct PclSheet {
    int paper = -1;
    int compression = 0;
    Ink ink;
};

PclSheet ReadPcl(const QString& file)
{
    PclSheet sheet;
    QFile pcl(file);
    if (!pcl.open(QIODevice::ReadOnly))
        return sheet;
    const QByteArray b = pcl.readAll();
    int dpi = 300;
    int row = 0;
    // The cursor, from the corner of PCL's logical page, which in portrait starts a
    // quarter of an inch in from the sheet's left edge.
    double leftMm = 6.35;
    double topMm = 0;
    QRect box;
    for (qsizetype i = 0; i < b.size();) {
        if (b[i] != '\x1b') {
            // A form feed ends the sheet.
            if (b[i] == '\f' && sheet.ink.pixels > 0)
                break;
            ++i;
            continue;
        }
        if (i + 2 >= b.size())
            break;
        const char family = b[i + 1];
        if (family < '!' || family > '/') {
            i += 2; // a two-character command such as ESC E
            continue;
        }
        const char group = b[i + 2];
        i += 3;
        // Parameters of one family and group, each a value and a letter; an upper-case
        // letter ends the command.
        while (i < b.size()) {
            const qsizetype start = i;
            while (i < b.size() && (std::isdigit(static_cast<unsigned char>(b[i])) || b[i] == '+' || b[i] == '-' ||
                                    b[i] == '.'))
                ++i;
            if (i >= b.size())
                break;
            const double value = b.mid(start, i - start).toDouble();
            const char letter = b[i++];
            const char command = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
            const QByteArray key = QByteArray(1, family) + group + command;
            if (key == "&lA") {
                sheet.paper = static_cast<int>(value);
            } else if (key == "*tR") {
                dpi = static_cast<int>(value);
            } else if (key == "&aH") {
                leftMm = 6.35 + value / 720 * 25.4; // decipoints
            } else if (key == "&aV") {
                topMm = value / 720 * 25.4;
            } else if (key == "*rA") {
                row = 0;
            } else if (key == "*bM") {
                sheet.compression = static_cast<int>(value);
            } else if (key == "*bY") {
                row += static_cast<int>(value);
            } else if (key == "*bW") {
                const qsizetype size = static_cast<qsizetype>(value);
                const QByteArray data = b.mid(i, size);
                i += size;
                const QByteArray line = sheet.compression == 2 ? Unpack(data) : data;
                for (qsizetype x = 0; x < line.size() * 8; ++x) {
                    if (line[x / 8] & (0x80 >> (x % 8))) {
                        box |= QRect(static_cast<int>(x), row, 1, 1);
                        ++sheet.ink.pixels;
                    }
                }
                ++row;
            }
            if (letter == command)
                break;
        }
    }
    const double mm = 25.4 / dpi;
    sheet.ink.box = QRectF(leftMm + box.left() * mm, topMm + box.top() * mm, box.width() * mm, box.height() * mm);
    return sheet;
}

TEST_F(CupsPrintTest, AQueueWithoutCustomSizesPrintsOnItsNearestPaperThatHoldsTheBillWithASetupAndWithout)
{
    const QString queue = QString::fromLatin1(kPclQueue);
    ASSERT_FALSE(QPrinterInfo::printerInfo(queue).supportsCustomPageSizes());
    // Where the bill's ink is on its own paper.
    ASSERT_EQ(PrintBill(L"PDF").size(), 1u);
    const Ink wanted = InkOf(QString::fromStdString((dir_ / "Documents" / "进账单.pdf").string()),
                             QString::fromStdString((dir_ / "reference").string()));
    ASSERT_GT(wanted.pixels, 100);

    // The paper each size goes to: the smallest that is at least as wide and as long,
    // never the page turned; the default paper when none holds it.
    const struct {
        int width, length;
        plat::PaperFit fit;
        const char* paper;
    } sizes[] = {
        {2100, 990, plat::PaperFit::Nearest, "US Letter"},
        {2100, 2970, plat::PaperFit::Nearest, "A4"},
        {2500, 1000, plat::PaperFit::Nearest, "Tabloid"},
        {6000, 6000, plat::PaperFit::Default, "US Letter"},
    };
    for (const auto& s : sizes) {
        plat::PrinterPaper paper;
        EXPECT_EQ(plat::PaperForPage(plat::DescribePrinter(queue), s.width, s.length, &paper), s.fit) << s.width << "x" << s.length;
        EXPECT_EQ(paper.name.toStdString(), s.paper) << s.width << "x" << s.length;
    }
    plat::PrinterPaper own;
    EXPECT_EQ(plat::PaperForPage(plat::DescribePrinter(QString::fromLatin1(kCupsPdfQueue)), 2100, 990, &own), plat::PaperFit::OwnSize);

    // The page setup dialog says where "模板页面" goes on this printer; the cups-pdf
    // queue prints it as it is and says nothing.
    for (const char* printer : {kPclQueue, kCupsPdfQueue}) {
        SCOPED_TRACE(printer);
        host_->printer = QString::fromLatin1(printer).toStdWString();
        ScriptedPrompter prompts;
        dox::platform::ScopedPrompter scope(&prompts);
        QString note;
        bool shown = false;
        OnNextDialog dialog([&](QWidget* d) {
            auto* papers = d->findChild<QComboBox*>(QStringLiteral("1002"));
            EXPECT_EQ(papers->currentText(), QStringLiteral("模板页面"));
            auto* label = d->findChild<QLabel*>(QStringLiteral("paperNote"));
            EXPECT_NE(label, nullptr);
            if (label) {
                note = label->text();
                shown = label->isVisible();
            }
            EXPECT_TRUE(ClickButton(d, 1));
        });
        EXPECT_TRUE(workspace_->OnCmdMsg(wscmd::kPageSetup, nullptr));
        EXPECT_TRUE(dialog.Opened());
        EXPECT_TRUE(prompts.messages.empty()) << Utf8(prompts.messages.empty() ? L"" : prompts.messages[0].text);
        if (std::string(printer) == kPclQueue) {
            EXPECT_TRUE(shown);
            EXPECT_TRUE(note.contains(QStringLiteral("“US Letter”"))) << note.toStdString();
        } else {
            EXPECT_FALSE(shown) << note.toStdString();
        }
    }
    PageSetup().Reset();

    // Both roads print, on the same paper, with the bill's ink where it is on the
    // bill's own paper: the fields land on the form fed into the printer.
    int jobs = 0;
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        QFile::remove(PclFile());
        ASSERT_NO_FATAL_FAILURE(PrintOntoQueue(queue, road, &jobs));
        const PclSheet sheet = ReadPcl(PclFile());
        EXPECT_EQ(sheet.paper, 2) << cupsd_->LogTail().toStdString();
        ExpectInkAt(sheet.ink, wanted);
        EXPECT_GT(sheet.ink.pixels, 0);
    }
}

} // namespace

// With a branch's printers on a CUPS server every question about a queue is a round
// trip over the network. A print asks about its queue once for its job, however many
// bills the job prints, and its dialog asks about each queue at most once.
TEST_F(CupsPrintTest, APrintAsksAboutItsQueueOncePerJobAndItsDialogOnceAPrinter)
{
    const QString queue = QString::fromLatin1(kPclQueue);
    const QString other = QString::fromLatin1(kCupsPdfQueue);
    struct Case {
        const char* what;
        unsigned command;
        int bills;
    };
    const Case cases[] = {{"one bill", wscmd::kPrintBill, 1},
                          {"a continuous run of four bills", wscmd::kContinuousPrint, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.command == wscmd::kContinuousPrint) {
            // SetUp saved one bill; three more, then every bill ticked.
            for (int i = 1; i < c.bills; ++i) {
                Client()->OnCmdMsg(wscmd::kNewBill, nullptr);
                ASSERT_EQ(Client()->PageView()->Page()->SetFieldText(L"主表.收款人", 0, L"收款单位"), 1);
                Client()->OnCmdMsg(wscmd::kSaveBill, nullptr);
            }
            Client()->OnCmdMsg(wscmd::kCheckAll, nullptr);
        }
        host_->printer = queue.toStdWString();
        const qsizetype jobs = cupsd_->CompletedJobs(queue).size();
        const int before = plat::PrinterQueueQueries(queue);
        const int otherBefore = plat::PrinterQueueQueries(other);
        int inDialog = -1;
        int otherInDialog = -1;
        ScriptedPrompter prompts;
        dox::platform::ScopedPrompter scope(&prompts);
        OnNextDialog dialog([&](QWidget* d) {
            inDialog = plat::PrinterQueueQueries(queue) - before;
            otherInDialog = plat::PrinterQueueQueries(other) - otherBefore;
            EXPECT_TRUE(ClickButton(d, 1));
        });
        EXPECT_TRUE(workspace_->OnCmdMsg(c.command, nullptr));
        ASSERT_TRUE(dialog.Opened());
        EXPECT_TRUE(prompts.messages.empty()) << Utf8(prompts.messages.empty() ? L"" : prompts.messages[0].text);
        EXPECT_EQ(inDialog, 1);
        EXPECT_EQ(otherInDialog, 1);
        // The job: the bills printed after the dialog closed.
        EXPECT_EQ(plat::PrinterQueueQueries(queue) - before - inDialog, 1);
        EXPECT_EQ(plat::PrinterQueueQueries(other) - otherBefore, 1);
        ASSERT_TRUE(cupsd_->WaitUntilIdle(60000)) << cupsd_->LogTail().toStdString();
        // One job, whatever the number of bills.
        EXPECT_EQ(cupsd_->CompletedJobs(queue).size(), jobs + 1);
    }
}
