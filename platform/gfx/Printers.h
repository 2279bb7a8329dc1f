#pragma once
// The machine's printers (CUPS through Qt PrintSupport) plus one PDF printer that
// always exists, so that printing works on a machine without printers.

#include <QString>
#include <QStringList>

#include <vector>

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

// What the print dialogs show of a printer: its driver (make and model), its port (the
// queue's location; "FILE:" for the PDF printer) and its comment (the description).
struct PrinterDetails {
    QString name;
    QString driver;
    QString port;
    QString comment;
};

// One paper a printer offers: its name, its DMPAPER id (256 for the printer's user
// size, whose width and height are then 0) and its size in 0.1 mm, portrait.
struct PrinterPaper {
    QString name;
    int id = 0;
    int width = 0;
    int height = 0;
};

// Every printer of PrinterNames() with its details, in that order.
std::vector<PrinterDetails> EnumPrinters();
// The details of one printer; false for a printer that does not exist.
bool GetPrinterDetails(const QString& name, PrinterDetails* details);
// The papers of a printer: the PDF printer offers every paper with a Windows id and a
// user size; other printers what their driver lists, plus the user size when they take
// custom sizes. Empty for a printer that does not exist.
std::vector<PrinterPaper> PrinterPapers(const QString& name);

} // namespace plat
