#include "Printers.h"

#include "DevMode.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QPageSize>
#include <QPrinterInfo>
#include <QStandardPaths>

#include <climits>
#include <cmath>

namespace plat
{

QString PdfPrinterName()
{
    return QStringLiteral("PDF");
}

bool IsPdfPrinter(const QString& name)
{
    return name == PdfPrinterName();
}

QStringList PrinterNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName());
    names << PdfPrinterName();
    return names;
}

QString DefaultPrinterName()
{
    QString name = QPrinterInfo::defaultPrinterName();
    return name.isEmpty() ? PdfPrinterName() : name;
}

namespace
{

struct QueueQueries {
    QMutex mutex;
    QHash<QString, int> count;
};

QueueQueries& Queries()
{
    static QueueQueries queries;
    return queries;
}

// The one place the system is asked about a named queue; the count tells how often.
QPrinterInfo QueryQueue(const QString& name)
{
    {
        QueueQueries& queries = Queries();
        QMutexLocker lock(&queries.mutex);
        ++queries.count[name];
    }
    return QPrinterInfo::printerInfo(name);
}

int TenthsOfMm(qreal mm)
{
    return static_cast<int>(std::lround(mm * 10));
}

PrinterPaper PaperOf(const QPageSize& size, int id)
{
    QSizeF mm = size.size(QPageSize::Millimeter);
    return {size.name(), id, TenthsOfMm(mm.width()), TenthsOfMm(mm.height())};
}

PrinterPaper UserPaper()
{
    return {QStringLiteral("自定义大小"), DMPAPER_USER, 0, 0};
}

PrinterDescription DescribePdfPrinter()
{
    PrinterDescription pdf;
    pdf.name = PdfPrinterName();
    pdf.exists = true;
    pdf.pdf = true;
    pdf.details = {pdf.name, QStringLiteral("PDF"), QStringLiteral("FILE:"), QStringLiteral("打印到 PDF 文件")};
    for (int id = 1; id < DMPAPER_USER; ++id) {
        QPageSize size = PageSizeForPaperId(id);
        if (size.isValid())
            pdf.papers.push_back(PaperOf(size, id));
    }
    pdf.papers.push_back(UserPaper());
    pdf.customSizes = true;
    pdf.defaultPageSize = QPageSize(QPageSize::A4);
    pdf.resolutions = {1200};
    return pdf;
}

PrinterDescription DescribeQueue(const QString& name, const QPrinterInfo& info)
{
    PrinterDescription printer;
    printer.name = name;
    if (info.isNull())
        return printer;
    printer.exists = true;
    printer.details = {name, info.makeAndModel(), info.location(), info.description()};
    for (const QPageSize& size : info.supportedPageSizes())
        printer.papers.push_back(PaperOf(size, PaperIdForPageSize(size)));
    printer.customSizes = info.supportsCustomPageSizes();
    if (printer.customSizes) {
        printer.papers.push_back(UserPaper());
        printer.minimumSize = info.minimumPhysicalPageSize().size(QPageSize::Millimeter);
        printer.maximumSize = info.maximumPhysicalPageSize().size(QPageSize::Millimeter);
    }
    printer.defaultPageSize = info.defaultPageSize();
    const QList<int> resolutions = info.supportedResolutions();
    printer.resolutions.assign(resolutions.begin(), resolutions.end());
    return printer;
}

} // namespace

int PrinterQueueQueries(const QString& name)
{
    QueueQueries& queries = Queries();
    QMutexLocker lock(&queries.mutex);
    return queries.count.value(name);
}

PrinterDescription DescribePrinter(const QString& name)
{
    if (IsPdfPrinter(name))
        return DescribePdfPrinter();
    if (name.isEmpty())
        return {};
    return DescribeQueue(name, QueryQueue(name));
}

std::vector<PrinterDescription> DescribePrinters()
{
    std::vector<PrinterDescription> printers;
    for (const QString& name : PrinterNames()) {
        PrinterDescription printer = DescribePrinter(name);
        if (printer.exists)
            printers.push_back(std::move(printer));
    }
    return printers;
}

bool PrinterExists(const QString& name)
{
    if (name.isEmpty())
        return false;
    return IsPdfPrinter(name) || !QueryQueue(name).isNull();
}

bool PrinterAcceptsUserPaper(const PrinterDescription& printer, int width, int length)
{
    if (width <= 0 || length <= 0 || !printer.exists)
        return false;
    if (printer.pdf)
        return true;
    if (!printer.customSizes)
        return false;
    QSizeF wanted(width / 10.0, length / 10.0);
    const QSizeF& least = printer.minimumSize;
    const QSizeF& most = printer.maximumSize;
    // Drivers that report no limits take any size.
    if (most.isEmpty())
        return true;
    auto fits = [&](QSizeF s) {
        return s.width() >= least.width() - 0.5 && s.height() >= least.height() - 0.5 &&
               s.width() <= most.width() + 0.5 && s.height() <= most.height() + 0.5;
    };
    return fits(wanted) || fits(wanted.transposed());
}


std::vector<PrinterPaper> PrinterPapers(const QString& name)
{
    return DescribePrinter(name).papers;
}

PaperFit PaperForPage(const PrinterDescription& printer, int width, int length, PrinterPaper* paper)
{
    if (width <= 0 || length <= 0 || !printer.exists)
        return PaperFit::None;
    if (PrinterAcceptsUserPaper(printer, width, length)) {
        *paper = {UserPaper().name, DMPAPER_USER, width, length};
        return PaperFit::OwnSize;
    }
    // Sizes are rounded to 0.1 mm: a paper a tenth smaller than the page still holds it.
    const std::vector<PrinterPaper>& papers = printer.papers;
    const PrinterPaper* nearest = nullptr;
    for (const PrinterPaper& p : papers) {
        if (p.id == DMPAPER_USER || p.width + 1 < width || p.height + 1 < length)
            continue;
        if (!nearest || static_cast<long>(p.width) * p.height < static_cast<long>(nearest->width) * nearest->height)
            nearest = &p;
    }
    if (nearest) {
        *paper = *nearest;
        return PaperFit::Nearest;
    }
    // The default paper as the printer names it.
    const DEVMODEW defaults = DefaultDevMode(printer);
    for (const PrinterPaper& p : papers) {
        if (p.id == defaults.dmPaperSize && p.id != DMPAPER_USER) {
            *paper = p;
            return PaperFit::Default;
        }
    }
    QPageSize size = PageSizeOf(defaults);
    if (!size.isValid())
        size = QPageSize(QPageSize::A4);
    *paper = PaperOf(size, PaperIdForPageSize(size));
    return PaperFit::Default;
}

PaperFit FitUserPaper(const PrinterDescription& printer, DEVMODEW& dm)
{
    if (!(dm.dmFields & DM_PAPERSIZE) || dm.dmPaperSize != DMPAPER_USER)
        return PaperFit::OwnSize;
    PrinterPaper paper;
    const PaperFit fit = PaperForPage(printer, dm.dmPaperWidth, dm.dmPaperLength, &paper);
    if (fit != PaperFit::Nearest && fit != PaperFit::Default)
        return fit;
    dm.dmPaperSize = static_cast<int16_t>(paper.id);
    dm.dmPaperWidth = static_cast<int16_t>(paper.width);
    dm.dmPaperLength = static_cast<int16_t>(paper.height);
    // A named paper goes by its id; one Qt has no id for keeps its size, which Qt
    // matches to the printer's paper of that size.
    if (paper.id == DMPAPER_USER)
        dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    else
        dm.dmFields &= ~(DM_PAPERWIDTH | DM_PAPERLENGTH);
    return fit;
}

DEVMODEW DefaultDevMode(const PrinterDescription& printer)
{
    DEVMODEW dm;
    QString name = printer.name.left(31);
    int n = name.toWCharArray(dm.dmDeviceName);
    dm.dmDeviceName[n < 0 ? 0 : n] = 0;
    QPageSize size(QPageSize::A4);
    if (!printer.pdf && printer.defaultPageSize.isValid())
        size = printer.defaultPageSize;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = static_cast<int16_t>(PaperIdForPageSize(size));
    QSizeF mm = size.size(QPageSize::Millimeter);
    dm.dmPaperWidth = static_cast<int16_t>(mm.width() * 10 + 0.5);
    dm.dmPaperLength = static_cast<int16_t>(mm.height() * 10 + 0.5);
    if (dm.dmPaperSize == DMPAPER_USER)
        dm.dmFields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    dm.dmCopies = 1;
    return dm;
}

PaperFit BuildPrinterSettings(const PrinterDescription& printer, int orientation, int paperId, int width, int length,
                              DEVMODEW* settings)
{
    // The settings keep sizes in 16 bits: a size that would wrap is another paper.
    const auto fitsField = [](int value) { return value > 0 && value <= SHRT_MAX; };
    if (!printer.exists || !fitsField(width) || !fitsField(length))
        return PaperFit::None;
    DEVMODEW dm = DefaultDevMode(printer);
    dm.dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
    dm.dmOrientation = static_cast<int16_t>(orientation);
    dm.dmPaperSize = static_cast<int16_t>(paperId);
    dm.dmPaperWidth = static_cast<int16_t>(width);
    dm.dmPaperLength = static_cast<int16_t>(length);
    // What a driver would refuse: a paper it cannot size. A user size the printer does
    // not take prints on the nearest paper that holds it (or the printer's default).
    if (!PageSizeOf(dm).isValid())
        return PaperFit::None;
    const PaperFit fit = FitUserPaper(printer, dm);
    if (fit != PaperFit::None)
        *settings = dm;
    return fit;
}

QString PdfPrinterOutputPath(const QString& documentName)
{
    QString name = documentName.isEmpty() ? QStringLiteral("document") : documentName;
    name.replace(u'/', u'_');
    // A new account may have no documents folder yet: make it rather than fail the print.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    const QDir dir(folder);
    QString path = dir.filePath(name + QStringLiteral(".pdf"));
    // An earlier print (or a link, even a dangling one: writing would follow it) is
    // kept; anything else at that name fails the print as it would have.
    const auto taken = [](const QString& p) { return QFileInfo(p).isFile() || QFileInfo(p).isSymLink(); };
    for (int n = 2; taken(path); ++n)
        path = dir.filePath(QStringLiteral("%1 (%2).pdf").arg(name).arg(n));
    return path;
}

} // namespace plat
