#include "DoxPrinter.h"

#include "Capabilities.h"
#include "Compositing.h"
#include "DrawUnits.h"
#include "FontSubstitution.h"
#include "Printers.h"
#include "WindowDC.h"

#include <QGuiApplication>
#include <QFile>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <cwchar>

namespace
{

QString FromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

DEVMODEW* AsDevMode(std::vector<uint8_t>& buffer)
{
    return buffer.size() >= sizeof(DEVMODEW) ? reinterpret_cast<DEVMODEW*>(buffer.data()) : nullptr;
}

// What Qt 6's PDF engine takes to write a page: a 16 MiB read and a 16 MiB write
// buffer and a compressor of some 270 KB, with room to spare for what the job
// keeps between its pages (the page's content, the objects' offsets).
constexpr size_t kPageBufferBytes = 40 * 1024 * 1024;

bool FitsPaperField(long value)
{
    return value > 0 && value <= SHRT_MAX;
}

} // namespace

bool CopyDevMode(const DEVMODEW* source, std::vector<uint8_t>& buffer)
{
    if (!source)
        return false;
    size_t size = static_cast<size_t>(source->dmSize) + source->dmDriverExtra;
    if (size < 1)
        return false;
    // Our settings carry no driver data: only the record itself is ours to read.
    size_t copied = std::min(size, sizeof(DEVMODEW));
    try {
        buffer.assign(std::max(size, sizeof(DEVMODEW)), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(buffer.data(), source, copied);
    return true;
}

void BindGdiEntryPoints()
{
    plat::BindOptionalEntryPoints();
    // Layered windows only where the desktop blends them: elsewhere the popups open
    // without shadow rather than with black bars. (Without a GUI there is nothing to
    // show, and the flags stay as bound.)
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && !plat::TranslucentWindowsBlend()) {
        plat::GetCapabilities().updateLayeredWindow = false;
        plat::GetCapabilities().setLayeredWindowAttributes = false;
    }
    plat::InstallFontSubstitutions();
    CClientDCX screen(nullptr);
    ScreenDpi = screen.GetDeviceCaps(LOGPIXELSY);
}

void UnbindGdiEntryPoints()
{
    plat::UnbindOptionalEntryPoints();
}

DoxPrinter::DoxPrinter() = default;

DoxPrinter::~DoxPrinter()
{
    if (IsPainting())
        EndDoc(false);
    DeleteDC();
}

const DEVMODEW* DoxPrinter::GetDevMode() const
{
    return devMode_.size() >= sizeof(DEVMODEW) ? reinterpret_cast<const DEVMODEW*>(devMode_.data()) : nullptr;
}

void DoxPrinter::RecordError(const wchar_t* step, int code)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"%ls %d", step, code);
    errorText_ = text;
}

bool DoxPrinter::Open(const plat::PrinterDescription& printer, int paperWidth, int paperLength, int extraLength,
                      const wchar_t* documentName)
{
    DEVMODEW settings;
    if (plat::BuildPrinterSettings(printer, DMORIENT_PORTRAIT, DMPAPER_USER, paperWidth, paperLength, &settings) ==
        plat::PaperFit::None)
        return false;
    return StartDoc(&settings, printer, extraLength, documentName);
}

bool DoxPrinter::Open(const wchar_t* printerName, int paperWidth, int paperLength, int extraLength,
                      const wchar_t* documentName)
{
    return Open(plat::DescribePrinter(FromWide(printerName)), paperWidth, paperLength, extraLength, documentName);
}

bool DoxPrinter::CreatePrinterContext(const plat::PrinterDescription& description, const QString& documentName)
{
    if (!description.exists)
        return false;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (description.pdf || !outputFile_.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        writtenFile_ = outputFile_.isEmpty() ? plat::PdfPrinterOutputPath(documentName) : outputFile_;
        printer->setOutputFileName(writtenFile_);
    } else {
        printer->setPrinterName(description.name);
        writtenFile_.clear();
        if (!printer->isValid())
            return false;
    }
    printer->setDocName(documentName);
    if (!plat::ApplyDevMode(*printer, *GetDevMode()))
        return false;
    int dpi = printer->resolution();
    QRect full = printer->pageLayout().fullRectPixels(dpi);
    DeviceCaps caps = DeviceCaps::ForRaster(full.width(), full.height(), dpi, dpi);
    QRectF mm = printer->pageLayout().fullRect(QPageLayout::Millimeter);
    caps.horzSizeMm = std::max(1, static_cast<int>(std::lround(mm.width())));
    caps.vertSizeMm = std::max(1, static_cast<int>(std::lround(mm.height())));
    // Full-page mode: the device's origin is the paper's corner, there is no offset.
    caps.physicalOffsetX = 0;
    caps.physicalOffsetY = 0;
    DeleteDC();
    printer_ = std::move(printer);
    return AttachDevice(printer_.get(), caps);
}

bool DoxPrinter::StartDoc(const DEVMODEW* settings, const plat::PrinterDescription& printer, int extraLength,
                          const wchar_t* documentName)
{
    if (IsPainting())
        EndDoc(false);
    if (!CopyDevMode(settings, devMode_))
        return false;
    DEVMODEW* dm = AsDevMode(devMode_);
    long length = static_cast<long>(dm->dmPaperLength) + extraLength;
    // The 16-bit field must not wrap: a wrapped length would be a different paper.
    if (extraLength != 0 && !FitsPaperField(length))
        return false;
    dm->dmPaperLength = static_cast<int16_t>(length);
    // Whoever made the settings, a printer is never sent a size it cannot print: the
    // same page prints on the same paper with a page setup and without one.
    if (plat::FitUserPaper(printer, *dm) == plat::PaperFit::None)
        return false;
    if (!CreatePrinterContext(printer, FromWide(documentName)))
        return false;
    // Every page is reset to the paper enlarged by twice the printer's offsets. With the
    // paper's corner as origin the offsets are 0 and the paper stays as asked.
    dm->dmPaperWidth = static_cast<int16_t>(dm->dmPaperWidth + 2 * GetDeviceCaps(PHYSICALOFFSETX));
    dm->dmPaperLength = static_cast<int16_t>(dm->dmPaperLength + 2 * GetDeviceCaps(PHYSICALOFFSETY));
    pagesStarted_ = 0;
    savedState_ = -1;
    errno = 0;
    if (!BeginPainting()) {
        RecordError(L"start Doc", errno);
        return false;
    }
    // Every page ends with its content compressed by a fresh compressor with its own
    // buffers, freed again at once: room kept in the heap lets every page take them
    // where the last page had them, instead of the heap growing, faulting in and
    // shrinking around every page in a client that left the heap's thresholds alone
    // (which a library cannot change for its host).
    pageBuffers_.Hold(kPageBufferBytes);
    return true;
}

bool DoxPrinter::StartPage()
{
    if (!printer_ || !IsPainting()) {
        RecordError(L"start Page", 0);
        return false;
    }
    if (pagesStarted_ > 0 && !printer_->newPage()) {
        RecordError(L"start Page", errno);
        return false;
    }
    ++pagesStarted_;
    savedState_ = SaveDC();
    return true;
}

bool DoxPrinter::EndPage()
{
    RestoreDC(savedState_);
    savedState_ = -1;
    if (!printer_ || !IsPainting() || printer_->printerState() == QPrinter::Error) {
        RecordError(L"end Page", errno);
        return false;
    }
    return true;
}

bool DoxPrinter::EndDoc(bool ok)
{
    // The room goes back once the last page is written, whatever the outcome.
    struct ReleaseAtEnd {
        plat::HeapReserve& reserve;
        ~ReleaseAtEnd() { reserve.Release(); }
    } releaseAtEnd{pageBuffers_};
    if (!ok) {
        if (printer_)
            printer_->abort();
        EndPainting();
        // An aborted PDF is not a document: do not leave the partial file behind.
        if (!writtenFile_.isEmpty())
            QFile::remove(writtenFile_);
        return true;
    }
    if (!printer_ || !IsPainting()) {
        RecordError(L"end Doc", 0);
        return false;
    }
    errno = 0;
    bool ended = EndPainting();
    if (!ended || printer_->printerState() == QPrinter::Error) {
        RecordError(L"end Doc", errno);
        return false;
    }
    return true;
}
