#pragma once
// Printer settings: a small DEVMODE of our own with the fields the system uses, paper
// ids with Windows' DMPAPER numbers, and how a DEVMODE is applied to a QPrinter.
//
// Paper ids: Windows' numbers where Windows has one (A4 = 9, ...), 256 for a user
// size given in dmPaperWidth x dmPaperLength, and 257 + Qt's page-size id for papers
// Windows does not number. Stored page setups match papers on these ids.

#include <QPageSize>
#include <QString>
#include <cstdint>

class QPrinter;

constexpr uint32_t DM_ORIENTATION = 0x1;
constexpr uint32_t DM_PAPERSIZE = 0x2;
constexpr uint32_t DM_PAPERLENGTH = 0x4;
constexpr uint32_t DM_PAPERWIDTH = 0x8;
constexpr uint32_t DM_COPIES = 0x100;

constexpr int16_t DMORIENT_PORTRAIT = 1;
constexpr int16_t DMORIENT_LANDSCAPE = 2;

constexpr int16_t DMPAPER_LETTER = 1;
constexpr int16_t DMPAPER_A3 = 8;
constexpr int16_t DMPAPER_A4 = 9;
constexpr int16_t DMPAPER_A5 = 11;
constexpr int16_t DMPAPER_USER = 256;
constexpr int16_t kFirstOwnPaperId = 257;

struct DEVMODEW {
    wchar_t dmDeviceName[32] = {};
    uint16_t dmSize = sizeof(DEVMODEW); // bytes of this record
    uint16_t dmDriverExtra = 0;         // bytes of driver data after it (none here)
    uint32_t dmFields = 0;
    int16_t dmOrientation = DMORIENT_PORTRAIT;
    int16_t dmPaperSize = DMPAPER_A4;
    int16_t dmPaperLength = 0; // 0.1 mm
    int16_t dmPaperWidth = 0;  // 0.1 mm
    int16_t dmCopies = 1;
};

namespace plat
{

// The page size of a paper id (not 256); an invalid QPageSize for an unknown id.
QPageSize PageSizeForPaperId(int paperId);
// The paper id of a page size: Windows' number, else our own, else 256 (custom sizes).
int PaperIdForPageSize(const QPageSize& size);

// The page size a DEVMODE asks for: dmPaperWidth x dmPaperLength when both their bits
// are set (they override the paper id, as on Windows) or the paper id is 256, else the
// size of the paper id. Invalid when neither gives a size.
QPageSize PageSizeOf(const DEVMODEW& devMode);

// Sets the printer to the DEVMODE: page size, orientation, copies (when the fields
// say so), full-page mode and zero margins, so that (0, 0) is the paper's corner.
// False, leaving the printer as it was, when the DEVMODE names no usable paper.
bool ApplyDevMode(QPrinter& printer, const DEVMODEW& devMode);


} // namespace plat
