#pragma once
// The device context of one print job on a named printer (CUPS through Qt), or on the
// PDF printer, which writes a PDF file. The page's origin is the paper's top-left
// corner: the printer runs in full-page mode with zero margins, so positions in 0.1 mm
// are positions on the paper. Painters ask for map mode 2 (MM_LOMETRIC): 0.1 mm, y up.
//
// A job runs Open or StartDoc, then StartPage, drawing, EndPage for every page, and
// EndDoc(true) at the end or EndDoc(false) when a page failed. Every step reports
// failure by its result and keeps a short text of it in GetErrorText().

#include "DC.h"
#include "DevMode.h"
#include "Heap.h"
#include "Printers.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class QPrinter;

class DoxPrinter : public DC
{
public:
    DoxPrinter();
    // Aborts a job that was not ended and deletes the printer context.
    ~DoxPrinter() override;

    // Builds user-paper settings (0.1 mm) for the printer, then StartDoc with them.
    bool Open(const plat::PrinterDescription& printer, int paperWidth, int paperLength, int extraLength,
              const wchar_t* documentName);
    // Copies the settings, adds extraLength (0.1 mm) to the paper length, fits a user
    // paper the printer does not take to one of its papers, creates the printer
    // context and opens the document. The job reads the printer's description only:
    // a job asks the system about its printer once, when the caller describes it.
    bool StartDoc(const DEVMODEW* settings, const plat::PrinterDescription& printer, int extraLength,
                  const wchar_t* documentName);
    // The same for a printer named: described here, once for the job.
    bool Open(const wchar_t* printerName, int paperWidth, int paperLength, int extraLength,
              const wchar_t* documentName);
    bool StartPage();
    bool EndPage();
    // ok: ends the document; not ok: aborts it (always succeeds).
    bool EndDoc(bool ok);

    // Where the job writes a PDF: used by the PDF printer, and for any printer when set
    // (the printer's settings still decide the paper). Without it the PDF printer
    // writes "<document name>.pdf" into the user's documents folder, numbered when that
    // file is there already (plat::PdfPrinterOutputPath).
    void SetOutputFile(const QString& path) { outputFile_ = path; }
    QString outputFile() const { return outputFile_; }

    const std::wstring& GetErrorText() const { return errorText_; }
    // The job's copy of the settings (null before StartDoc).
    const DEVMODEW* GetDevMode() const;
    QPrinter* printer() const { return printer_.get(); }

private:
    void RecordError(const wchar_t* step, int code);
    bool CreatePrinterContext(const plat::PrinterDescription& printer, const QString& documentName);

    int savedState_ = -1;
    std::wstring errorText_;
    std::vector<uint8_t> devMode_;
    std::unique_ptr<QPrinter> printer_;
    QString outputFile_;
    QString writtenFile_; // the PDF being written, removed when the job is aborted
    int pagesStarted_ = 0;
    // The room the PDF engine's per-page buffers come from, held for the job.
    plat::HeapReserve pageBuffers_;
};

// Copies dmSize + dmDriverExtra bytes of the settings into the buffer, growing it;
// false when that size is below 1. The buffer always holds at least a whole DEVMODEW.
bool CopyDevMode(const DEVMODEW* source, std::vector<uint8_t>& buffer);

// The core's start-up step for the optional drawing entry points: sets the capability
// flags, registers the font substitutions and reads ScreenDpi from the screen context.
void BindGdiEntryPoints();
// The core's shut-down: clears the flags.
void UnbindGdiEntryPoints();
