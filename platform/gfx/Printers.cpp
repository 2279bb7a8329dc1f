#include "Printers.h"

#include "DevMode.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPrinterInfo>
#include <QStandardPaths>

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

bool PrinterExists(const QString& name)
{
    if (name.isEmpty())
        return false;
    return IsPdfPrinter(name) || !QPrinterInfo::printerInfo(name).isNull();
}

bool PrinterAcceptsUserPaper(const QString& name, int width, int length)
{
    if (width <= 0 || length <= 0)
        return false;
    if (IsPdfPrinter(name))
        return true;
    QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull() || !info.supportsCustomPageSizes())
        return false;
    QSizeF wanted(width / 10.0, length / 10.0);
    QSizeF least = info.minimumPhysicalPageSize().size(QPageSize::Millimeter);
    QSizeF most = info.maximumPhysicalPageSize().size(QPageSize::Millimeter);
    // Drivers that report no limits take any size.
    if (most.isEmpty())
        return true;
    auto fits = [&](QSizeF s) {
        return s.width() >= least.width() - 0.5 && s.height() >= least.height() - 0.5 &&
               s.width() <= most.width() + 0.5 && s.height() <= most.height() + 0.5;
    };
    return fits(wanted) || fits(wanted.transposed());
}

namespace
{

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

} // namespace

bool GetPrinterDetails(const QString& name, PrinterDetails* details)
{
    if (!PrinterExists(name))
        return false;
    if (IsPdfPrinter(name)) {
        *details = {name, QStringLiteral("PDF"), QStringLiteral("FILE:"), QStringLiteral("打印到 PDF 文件")};
        return true;
    }
    QPrinterInfo info = QPrinterInfo::printerInfo(name);
    *details = {name, info.makeAndModel(), info.location(), info.description()};
    return true;
}

std::vector<PrinterDetails> EnumPrinters()
{
    std::vector<PrinterDetails> printers;
    for (const QString& name : PrinterNames()) {
        PrinterDetails details;
        if (GetPrinterDetails(name, &details))
            printers.push_back(details);
    }
    return printers;
}

std::vector<PrinterPaper> PrinterPapers(const QString& name)
{
    std::vector<PrinterPaper> papers;
    if (!PrinterExists(name))
        return papers;
    if (IsPdfPrinter(name)) {
        for (int id = 1; id < DMPAPER_USER; ++id) {
            QPageSize size = PageSizeForPaperId(id);
            if (size.isValid())
                papers.push_back(PaperOf(size, id));
        }
        papers.push_back(UserPaper());
        return papers;
    }
    QPrinterInfo info = QPrinterInfo::printerInfo(name);
    for (const QPageSize& size : info.supportedPageSizes())
        papers.push_back(PaperOf(size, PaperIdForPageSize(size)));
    if (info.supportsCustomPageSizes())
        papers.push_back(UserPaper());
    return papers;
}

PaperFit PaperForPage(const QString& printer, int width, int length, PrinterPaper* paper)
{
    if (width <= 0 || length <= 0 || !PrinterExists(printer))
        return PaperFit::None;
    if (PrinterAcceptsUserPaper(printer, width, length)) {
        *paper = {UserPaper().name, DMPAPER_USER, width, length};
        return PaperFit::OwnSize;
    }
    // Sizes are rounded to 0.1 mm: a paper a tenth smaller than the page still holds it.
    const std::vector<PrinterPaper> papers = PrinterPapers(printer);
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

PaperFit FitUserPaper(const QString& printer, DEVMODEW& dm)
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
