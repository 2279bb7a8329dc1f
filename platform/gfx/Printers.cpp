#include "Printers.h"

#include <QPageSize>
#include <QPrinterInfo>

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

} // namespace plat
