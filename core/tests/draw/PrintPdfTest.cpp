// A page printed through the printer job into a PDF, read back with poppler's tools:
// the paper size, where each text box starts, and that Chinese comes out as text.

#include "DoxPrinter.h"
#include "DrawUnits.h"
#include "PdfWords.h"
#include "Printers.h"
#include "TestSupport.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax; // points from the page's top-left corner
};

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

std::vector<Word> ReadWords(const QString& pdf)
{
    QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    std::vector<Word> words;
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        auto m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

double Mm(double points)
{
    return points * 25.4 / 72.0;
}

LOGFONTW Font(const wchar_t* face, int height)
{
    LOGFONTW lf;
    lf.lfHeight = height;
    wcscpy(lf.lfFaceName, face);
    return lf;
}

TEST(PrintPdf, TextAndBoxesLandWhereTheyWereDrawnOnUserPaper)
{
    doxtest::TempDir dir;
    QString pdf = QString::fromStdString((dir / "page.pdf").string());
    {
        DoxPrinter job;
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(plat::PdfPrinterName().toStdWString().c_str(), 2100, 990, 0, L"bill"));
        ASSERT_TRUE(job.StartPage());
        EXPECT_EQ(job.GetMapping(), MM_TEXT);
        job.SetMapMode(2);
        EXPECT_EQ(job.GetMapping(), MM_LOMETRIC);
        job.SetBkMode(TRANSPARENT);
        CPen pen(PS_SOLID, 3, RGB(0, 0, 0));
        job.SelectObject(pen);
        job.SelectObject(StockBrush(StockObject::NullBrush));
        job.Rectangle(100, -600, 900, -900);
        CFont latin;
        latin.CreateFontIndirect(Font(L"MS Sans Serif", FontHeightFromPoints(12)));
        job.SelectObject(latin);
        job.TextOut(350, -200, L"Latin");
        job.TextOut(1200, -200, L"Amount");
        CFont chinese;
        chinese.CreateFontIndirect(Font(L"宋体", FontHeightFromPoints(14)));
        job.SelectObject(chinese);
        job.TextOut(350, -400, L"票据金额");
        job.TextOut(1200, -750, L"行月角");
        ASSERT_TRUE(job.EndPage());
        ASSERT_TRUE(job.EndDoc(true));
    }
    ASSERT_TRUE(QFile::exists(pdf));

    QString info = RunTool("pdfinfo", {pdf});
    QRegularExpression sizeRe(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)");
    auto size = sizeRe.match(info);
    ASSERT_TRUE(size.hasMatch()) << info.toStdString();
    EXPECT_NEAR(Mm(size.captured(1).toDouble()), 210.0, 0.2);
    EXPECT_NEAR(Mm(size.captured(2).toDouble()), 99.0, 0.2);
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\b")));

    // The line box of a font is (ascent + descent) / em times its em height.
    QFont probe("WenQuanYi Zen Hei");
    probe.setPixelSize(1000);
    QFontMetricsF fm(probe);
    const double cellPerEm = (fm.ascent() + fm.descent()) / 1000.0;
    const struct {
        const char* text;
        double xMm, yMm;
        double emMm;
    } expected[] = {
        {"Latin", 35.0, 20.0, 4.2},
        {"Amount", 120.0, 20.0, 4.2},
        {"票据金额", 35.0, 40.0, 4.9},
        {"行月角", 120.0, 75.0, 4.9},
    };
    std::vector<Word> words = ReadWords(pdf);
    for (const auto& e : expected) {
        QString text = QString::fromUtf8(e.text);
        auto it = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
        ASSERT_NE(it, words.end()) << "missing word " << e.text;
        EXPECT_NEAR(Mm(it->xMin), e.xMm, 0.2) << e.text;
        EXPECT_NEAR(Mm(it->yMin), e.yMm, 0.2) << e.text;
        EXPECT_NEAR(Mm(it->yMax - it->yMin), e.emMm * cellPerEm, 0.2) << e.text;
    }

    // Rendered at 254 DPI one pixel is 0.1 mm: the frame drawn from (10 mm, 60 mm) to
    // (90 mm, 90 mm) with a 0.3 mm pen has its ink on those lines.
    QString png = QString::fromStdString((dir / "page").string());
    const QImage page = pdftest::RenderPage(pdf, png);
    ASSERT_FALSE(page.isNull());
    // The PDF's media box is kept in whole points: up to 0.35 mm more paper.
    EXPECT_NEAR(page.width(), 2100, 4);
    EXPECT_NEAR(page.height(), 990, 4);
    auto inked = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    for (int y : {650, 750, 850}) {
        EXPECT_TRUE(inked(100, y)) << y;
        EXPECT_TRUE(inked(899, y)) << y;
        EXPECT_FALSE(inked(96, y)) << y;
        EXPECT_FALSE(inked(104, y)) << y;
        EXPECT_FALSE(inked(500, y)) << y;
        EXPECT_FALSE(inked(903, y)) << y;
    }
    for (int x : {200, 500, 800}) {
        EXPECT_TRUE(inked(x, 600)) << x;
        EXPECT_TRUE(inked(x, 899)) << x;
        EXPECT_FALSE(inked(x, 596)) << x;
        EXPECT_FALSE(inked(x, 604)) << x;
    }
}

TEST(PrintPdf, EveryStartedPageIsAPageOfTheDocument)
{
    doxtest::TempDir dir;
    QString pdf = QString::fromStdString((dir / "pages.pdf").string());
    DoxPrinter job;
    job.SetOutputFile(pdf);
    ASSERT_TRUE(job.Open(L"PDF", 1000, 1500, 0, L"pages"));
    for (int page = 0; page < 3; ++page) {
        ASSERT_TRUE(job.StartPage());
        job.SetMapMode(2);
        job.TextOut(100, -100, L"page");
        ASSERT_TRUE(job.EndPage());
    }
    ASSERT_TRUE(job.EndDoc(true));
    QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\b"))) << info.toStdString();
}

TEST(PrintPdf, ConsecutivePagesAndJobsPrintTheirOwnText)
{
    // A long page before short ones, and a second job on the same printer: a page
    // whose buffers kept anything of the page or job before would show it here.
    const std::vector<std::vector<QString>> jobs = {
        {"甲一 alpha beta gamma delta epsilon zeta eta theta", "甲二", "甲三 iota"},
        {"乙一", "乙二 kappa lambda mu nu xi omicron pi rho sigma tau", "乙三"},
    };
    doxtest::TempDir dir;
    DoxPrinter job;
    for (size_t j = 0; j < jobs.size(); ++j) {
        const QString pdf = QString::fromStdString((dir / ("job" + std::to_string(j) + ".pdf")).string());
        job.SetOutputFile(pdf);
        ASSERT_TRUE(job.Open(L"PDF", 2100, 990, 0, L"pages"));
        CFont font;
        font.CreateFontIndirect(Font(L"宋体", FontHeightFromPoints(12)));
        for (const QString& text : jobs[j]) {
            ASSERT_TRUE(job.StartPage());
            job.SetMapMode(2);
            job.SelectObject(font);
            const std::wstring wide = text.toStdWString();
            job.TextOut(100, -100, wide.c_str());
            ASSERT_TRUE(job.EndPage());
        }
        ASSERT_TRUE(job.EndDoc(true));

        std::vector<QStringList> found(jobs[j].size());
        for (const pdftest::Word& w : pdftest::ReadWords(pdf)) {
            ASSERT_LT(static_cast<size_t>(w.page), found.size()) << pdf.toStdString();
            found[static_cast<size_t>(w.page)] << w.text;
        }
        for (size_t p = 0; p < jobs[j].size(); ++p)
            EXPECT_EQ(found[p].join(' '), jobs[j][p]) << "job " << j << ", page " << p;
    }
}

TEST(PrintPdf, ExtraLengthIsAddedToTheJobsPaper)
{
    doxtest::TempDir dir;
    QString pdf = QString::fromStdString((dir / "long.pdf").string());
    DoxPrinter job;
    job.SetOutputFile(pdf);
    ASSERT_TRUE(job.Open(L"PDF", 2100, 990, 110, L"long"));
    ASSERT_NE(job.GetDevMode(), nullptr);
    EXPECT_EQ(job.GetDevMode()->dmPaperLength, 1100);
    EXPECT_EQ(job.GetDevMode()->dmPaperWidth, 2100);
    EXPECT_EQ(job.GetDevMode()->dmPaperSize, DMPAPER_USER);
    ASSERT_TRUE(job.StartPage());
    ASSERT_TRUE(job.EndPage());
    ASSERT_TRUE(job.EndDoc(true));
    QString info = RunTool("pdfinfo", {pdf});
    QRegularExpression sizeRe(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)");
    auto size = sizeRe.match(info);
    ASSERT_TRUE(size.hasMatch());
    EXPECT_NEAR(Mm(size.captured(2).toDouble()), 110.0, 0.2);
}

TEST(PrintPdf, UnusablePaperOrPrinterFailsBeforeAnyDocument)
{
    const struct {
        const wchar_t* printer;
        int width;
        int length;
    } cases[] = {
        {L"PDF", 0, 990},
        {L"PDF", 2100, 0},
        {L"PDF", 40000, 990}, // does not fit the 16-bit paper field
        {L"No Such Printer 7f3a", 2100, 990},
        {nullptr, 2100, 990},
    };
    for (const auto& c : cases) {
        DEVMODEW settings;
        const QString printer = c.printer ? QString::fromWCharArray(c.printer) : QString();
        EXPECT_EQ(plat::BuildPrinterSettings(plat::DescribePrinter(printer), DMORIENT_PORTRAIT, DMPAPER_USER, c.width,
                                             c.length, &settings),
                  plat::PaperFit::None)
            << c.width << "x" << c.length;
        DoxPrinter job;
        EXPECT_FALSE(job.Open(c.printer, c.width, c.length, 0, L"x"));
        EXPECT_FALSE(job.StartPage());
    }
    // A length that the extra length would wrap round.
    DoxPrinter job;
    EXPECT_FALSE(job.Open(L"PDF", 2100, 32000, 1000, L"x"));
}

TEST(PrintPdf, AFailedStepIsRecordedAsItsOwnStep)
{
    doxtest::TempDir dir;
    DoxPrinter job;
    job.SetOutputFile(QString::fromStdString((dir / "no-such-folder" / "x.pdf").string()));
    EXPECT_FALSE(job.Open(L"PDF", 2100, 990, 0, L"x"));
    EXPECT_EQ(job.GetErrorText().rfind(L"start Doc ", 0), 0u)
        << std::string(job.GetErrorText().begin(), job.GetErrorText().end());

    DoxPrinter unopened;
    EXPECT_FALSE(unopened.EndDoc(true));
    EXPECT_EQ(unopened.GetErrorText().rfind(L"end Doc ", 0), 0u);
    EXPECT_FALSE(unopened.StartPage());
    EXPECT_EQ(unopened.GetErrorText().rfind(L"start Page ", 0), 0u);
}

TEST(PrintPdf, AbortingADocumentSucceedsAndLeavesNoFile)
{
    doxtest::TempDir dir;
    QString pdf = QString::fromStdString((dir / "aborted.pdf").string());
    DoxPrinter job;
    job.SetOutputFile(pdf);
    ASSERT_TRUE(job.Open(L"PDF", 2100, 990, 0, L"aborted"));
    ASSERT_TRUE(job.StartPage());
    job.TextOut(10, 10, L"x");
    EXPECT_TRUE(job.EndDoc(false));
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(PrintPdf, SettingsCopyKeepsTheRecordAndRefusesAnEmptyOne)
{
    DEVMODEW source;
    source.dmFields = DM_PAPERSIZE | DM_ORIENTATION;
    source.dmPaperSize = DMPAPER_A4;
    source.dmOrientation = DMORIENT_LANDSCAPE;
    std::vector<uint8_t> buffer(3, 0xAA);
    ASSERT_TRUE(CopyDevMode(&source, buffer));
    ASSERT_GE(buffer.size(), sizeof(DEVMODEW));
    const DEVMODEW* copy = reinterpret_cast<const DEVMODEW*>(buffer.data());
    EXPECT_EQ(copy->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(copy->dmOrientation, DMORIENT_LANDSCAPE);

    DEVMODEW empty;
    empty.dmSize = 0;
    empty.dmDriverExtra = 0;
    EXPECT_FALSE(CopyDevMode(&empty, buffer));
    EXPECT_FALSE(CopyDevMode(nullptr, buffer));
}

} // namespace
