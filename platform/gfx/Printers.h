#pragma once
// The machine's printers (CUPS through Qt PrintSupport) plus one PDF printer that
// always exists, so that printing works on a machine without printers.

#include "DevMode.h"

#include <QPageSize>
#include <QSizeF>
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

// How a printer takes a page of its own size (a user paper).
enum class PaperFit {
    OwnSize, // the printer takes the page's size
    Nearest, // the smallest paper the printer offers that holds the page
    Default, // no paper holds the page: the printer's default paper
    None,    // no such printer, or a size of 0
};

// The paper a page of width x length (0.1 mm, as it lies on the paper) prints on:
// its own size (id 256) where the printer takes it; else the smallest paper the
// printer offers that is at least as wide and as long, so that the page's top-left
// corner is the paper's and every field prints where it would on the page's own
// paper; else the printer's default paper. The page is never turned: a form is fed
// the way it is printed. (Declared below, over a printer's description.)

// The file the PDF printer writes a document to: "<document name>.pdf" in the user's
// documents folder (made when missing, else the home folder), numbered
// "<document name> (2).pdf", ... when that file is already there, so that no earlier
// print is overwritten.
QString PdfPrinterOutputPath(const QString& documentName);

// The papers of a printer: the PDF printer offers every paper with a Windows id and a
// user size; other printers what their driver lists, plus the user size when they take
// custom sizes. Empty for a printer that does not exist.
std::vector<PrinterPaper> PrinterPapers(const QString& name);

// Everything printing asks of one printer, read in one query of its queue. With a
// branch's printers on a CUPS server every query is a round trip over the network, so
// a print job, a print dialog and a page setup each describe a printer once and read
// the description, never the queue again.
struct PrinterDescription {
    QString name;
    bool exists = false;      // false: no such printer (every other field is empty)
    bool pdf = false;         // the PDF printer
    PrinterDetails details;
    std::vector<PrinterPaper> papers;  // as PrinterPapers lists them
    bool customSizes = false;          // takes a user paper within the limits below
    QSizeF minimumSize;                // mm; both empty: any size
    QSizeF maximumSize;
    QPageSize defaultPageSize;         // valid: the driver names one
    std::vector<int> resolutions;      // dpi the driver offers
};

// Describes the printer in one query of its queue (none for the PDF printer or an
// empty name).
PrinterDescription DescribePrinter(const QString& name);
// Every printer of PrinterNames(), each described once, in that order.
std::vector<PrinterDescription> DescribePrinters();
// How many times this process asked the system about the named queue.
int PrinterQueueQueries(const QString& name);

// The questions above answered from a description instead of a new query.
bool PrinterAcceptsUserPaper(const PrinterDescription& printer, int width, int length);
PaperFit PaperForPage(const PrinterDescription& printer, int width, int length, PrinterPaper* paper);
// Completes settings that ask for a user paper (id 256) the way a driver checks them:
// a size the printer does not take becomes the paper PaperForPage chooses, by its own
// id, so that no printer is sent a size it cannot print. Other settings stay as they
// are (and give OwnSize).
PaperFit FitUserPaper(const PrinterDescription& printer, DEVMODEW& settings);
// The settings a printer starts with: its default paper, portrait, one copy.
DEVMODEW DefaultDevMode(const PrinterDescription& printer);

// The printer's settings for a paper (id, size in 0.1 mm as the page lies on it) and
// orientation, the one way both programs and the core build them: the printer's
// defaults with the paper and orientation set, then completed as FitUserPaper does. A
// paper without a size, or a user size no paper of the printer holds, gives None.
PaperFit BuildPrinterSettings(const PrinterDescription& printer, int orientation, int paperId, int width, int length,
                              DEVMODEW* settings);

} // namespace plat
