#include "Printers.h"

#include "DevMode.h"

#include <QPageSize>
#include <QPrinterInfo>

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

} // namespace plat
