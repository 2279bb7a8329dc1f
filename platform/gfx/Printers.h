#pragma once
// The machine's printers (CUPS through Qt PrintSupport) plus one PDF printer that
// always exists, so that printing works on a machine without printers.

#include <QString>
#include <QStringList>

namespace plat
{

// The name of the PDF printer: "PDF".
QString PdfPrinterName();
bool IsPdfPrinter(const QString& name);

// The installed printers, then the PDF printer.
QStringList PrinterNames();
// The system's default printer, else the PDF printer.
QString DefaultPrinterName();
bool PrinterExists(const QString& name);

// Whether the printer takes a user paper of width x length (0.1 mm): always for the
// PDF printer; for others, when they take custom sizes within their limits.
bool PrinterAcceptsUserPaper(const QString& name, int width, int length);

} // namespace plat
