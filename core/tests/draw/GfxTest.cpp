// The platform's GDI stand-ins: paper ids and printer settings on a QPrinter, colour
// conversion, the fixed system table, font substitution and MulDiv's rounding.

#include "DevMode.h"
#include "FontSubstitution.h"
#include "GdiTypes.h"
#include "Printers.h"
#include "SystemColors.h"

#include <QFontInfo>
#include <QPageLayout>
#include <QPrinter>
#include <climits>
#include <gtest/gtest.h>

namespace
{

TEST(GfxPaper, WindowsPaperIdsMapToPageSizesAndBack)
{
    const struct {
        int id;
        QPageSize::PageSizeId qt;
    } cases[] = {{1, QPageSize::Letter},   {5, QPageSize::Legal}, {8, QPageSize::A3},
                 {9, QPageSize::A4},       {11, QPageSize::A5},   {13, QPageSize::JisB5},
                 {20, QPageSize::Comm10E}, {27, QPageSize::DLE},  {66, QPageSize::A2},
                 {70, QPageSize::A6}};
    for (const auto& c : cases) {
        QPageSize size = plat::PageSizeForPaperId(c.id);
        ASSERT_TRUE(size.isValid()) << c.id;
        EXPECT_EQ(size.id(), c.qt) << c.id;
        EXPECT_EQ(plat::PaperIdForPageSize(QPageSize(c.qt)), c.id);
    }
}

TEST(GfxPaper, PapersWithoutAWindowsIdGetStableOwnIds)
{
    // 257 + Qt's page-size number: stored setups match on these.
    const struct {
        QPageSize::PageSizeId qt;
        int id;
    } cases[] = {{QPageSize::A0, 260}, {QPageSize::A1, 261}, {QPageSize::B5, 276}, {QPageSize::A10, 270}};
    for (const auto& c : cases) {
        EXPECT_EQ(plat::PaperIdForPageSize(QPageSize(c.qt)), c.id);
        EXPECT_EQ(plat::PageSizeForPaperId(c.id).id(), c.qt);
    }
    QPageSize custom(QSizeF(210, 99), QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    EXPECT_EQ(plat::PaperIdForPageSize(custom), DMPAPER_USER);
    for (int unknown : {0, 17, 256, 257 + QPageSize::Custom, 9999, -3})
        EXPECT_FALSE(plat::PageSizeForPaperId(unknown).isValid()) << unknown;
}

TEST(GfxDevMode, SettingsNameTheirPaper)
{
    DEVMODEW user;
    user.dmFields = DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
    user.dmPaperSize = DMPAPER_USER;
    user.dmPaperWidth = 2100;
    user.dmPaperLength = 990;
    QSizeF mm = plat::PageSizeOf(user).size(QPageSize::Millimeter);
    EXPECT_NEAR(mm.width(), 210.0, 0.01);
    EXPECT_NEAR(mm.height(), 99.0, 0.01);

    DEVMODEW sizesOnly = user;
    sizesOnly.dmFields = DM_PAPERWIDTH | DM_PAPERLENGTH;
    EXPECT_NEAR(plat::PageSizeOf(sizesOnly).size(QPageSize::Millimeter).height(), 99.0, 0.01);

    DEVMODEW a4;
    a4.dmFields = DM_PAPERSIZE;
    a4.dmPaperSize = DMPAPER_A4;
    a4.dmPaperWidth = 1000; // ignored without their bits
    a4.dmPaperLength = 1000;
    EXPECT_EQ(plat::PageSizeOf(a4).id(), QPageSize::A4);

    DEVMODEW overridden = a4;
    overridden.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    EXPECT_NEAR(plat::PageSizeOf(overridden).size(QPageSize::Millimeter).width(), 100.0, 0.01);

    DEVMODEW broken = user;
    broken.dmPaperWidth = 0;
    EXPECT_FALSE(plat::PageSizeOf(broken).isValid());
    DEVMODEW nothing;
    nothing.dmFields = 0;
    EXPECT_FALSE(plat::PageSizeOf(nothing).isValid());
}

TEST(GfxDevMode, AppliedToAPrinterInFullPageModeWithoutMargins)
{
    const struct {
        int16_t paper;
        int16_t width, length;
        int16_t orientation;
        double pageWidthMm, pageHeightMm;
    } cases[] = {
        {DMPAPER_USER, 2100, 990, DMORIENT_PORTRAIT, 210, 99},
        {DMPAPER_A4, 0, 0, DMORIENT_PORTRAIT, 210, 297},
        {DMPAPER_A4, 0, 0, DMORIENT_LANDSCAPE, 297, 210},
        {DMPAPER_USER, 1000, 1500, DMORIENT_LANDSCAPE, 150, 100},
    };
    for (const auto& c : cases) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        DEVMODEW dm;
        dm.dmFields = DM_PAPERSIZE | DM_ORIENTATION | DM_COPIES;
        if (c.paper == DMPAPER_USER)
            dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
        dm.dmPaperSize = c.paper;
        dm.dmPaperWidth = c.width;
        dm.dmPaperLength = c.length;
        dm.dmOrientation = c.orientation;
        dm.dmCopies = 2;
        ASSERT_TRUE(plat::ApplyDevMode(printer, dm));
        QRectF full = printer.pageLayout().fullRect(QPageLayout::Millimeter);
        EXPECT_NEAR(full.width(), c.pageWidthMm, 0.1) << c.paper;
        EXPECT_NEAR(full.height(), c.pageHeightMm, 0.1) << c.paper;
        EXPECT_TRUE(printer.fullPage());
        EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(0, 0, 0, 0));
        EXPECT_EQ(printer.copyCount(), 2);
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    QPageLayout before = printer.pageLayout();
    DEVMODEW unusable;
    unusable.dmFields = DM_PAPERSIZE;
    unusable.dmPaperSize = 17;
    EXPECT_FALSE(plat::ApplyDevMode(printer, unusable));
    EXPECT_TRUE(printer.pageLayout().isEquivalentTo(before));
}

TEST(GfxPrinters, ThePdfPrinterIsAlwaysThere)
{
    QStringList names = plat::PrinterNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.last(), plat::PdfPrinterName());
    EXPECT_EQ(names.count(plat::PdfPrinterName()), 1);
    EXPECT_FALSE(plat::DefaultPrinterName().isEmpty());
    EXPECT_TRUE(plat::PrinterExists("PDF"));
    EXPECT_FALSE(plat::PrinterExists(""));
    EXPECT_FALSE(plat::PrinterExists("No Such Printer 7f3a"));

    DEVMODEW dm = plat::DefaultDevMode(plat::DescribePrinter("PDF"));
    EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmPaperWidth, 2100);
    EXPECT_EQ(dm.dmPaperLength, 2970);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_STREQ(dm.dmDeviceName, L"PDF");
}

TEST(GfxColors, ColorRefsAndQColorsConvertBothWays)
{
    const struct {
        COLORREF colorRef; // 0x00BBGGRR
        QColor color;
    } cases[] = {{0x00563412, QColor(0x12, 0x34, 0x56)},
                 {0x000000FF, QColor(255, 0, 0)},
                 {0x00FF0000, QColor(0, 0, 255)},
                 {0x00808080, QColor(128, 128, 128)}};
    for (const auto& c : cases) {
        EXPECT_EQ(plat::ToQColor(c.colorRef), c.color);
        EXPECT_EQ(plat::FromQColor(c.color), c.colorRef);
    }
}

TEST(GfxColors, SystemColoursAndMetricsComeFromOneFixedTable)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(51, 153, 255));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(99), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(999), 0);
}

TEST(GfxFonts, WindowsFaceNamesResolveToInstalledFaces)
{
    const struct {
        const char* face;
        const char* family;
    } cases[] = {
        {"宋体", "WenQuanYi Zen Hei"},          {"SimSun", "WenQuanYi Zen Hei"},
        {"黑体", "WenQuanYi Zen Hei"},          {"simhei", "WenQuanYi Zen Hei"},
        {"楷体", "WenQuanYi Zen Hei"},          {"KaiTi", "WenQuanYi Zen Hei"},
        {"仿宋", "WenQuanYi Zen Hei"},          {"FangSong", "WenQuanYi Zen Hei"},
        {"MS Sans Serif", "WenQuanYi Zen Hei"}, {"DejaVu Sans Mono", "DejaVu Sans Mono"},
        {"No Such Face", "WenQuanYi Zen Hei"},  {"", "WenQuanYi Zen Hei"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plat::ResolveFontFamily(QString::fromUtf8(c.face)), QString::fromUtf8(c.family)) << c.face;

    plat::InstallFontSubstitutions();
    EXPECT_TRUE(
        QFont::substitutes(QString::fromUtf8("宋体")).contains("WenQuanYi Zen Hei", Qt::CaseInsensitive));
}

TEST(GfxFonts, LogFontsBecomeQFontsOfTheDevicesPixelSize)
{
    LOGFONTW lf;
    wcscpy(lf.lfFaceName, L"黑体");
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = 1;
    lf.lfUnderline = 1;
    QFont font = plat::FontFromLogFont(lf, 50.0, 600);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 50.0 * 72 / 600);
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.strikeOut());
    EXPECT_EQ(QFontInfo(font).family(), "WenQuanYi Zen Hei");
}

TEST(GfxMulDiv, RoundsHalfAwayFromZeroAndReportsFailure)
{
    const struct {
        int32_t n, num, den, result;
    } cases[] = {{10, 3, 4, 8},  {-10, 3, 4, -8},        {5, 1, 2, 3},
                 {-5, 1, 2, -3}, {2100, 600, 254, 4961}, {7, 1, -2, -4},
                 {1, 1, 0, -1},  {INT32_MAX, 2, 1, -1},  {0, 5, 7, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.n, c.num, c.den), c.result) << c.n << "*" << c.num << "/" << c.den;
}

} // namespace
