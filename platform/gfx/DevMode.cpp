#include "DevMode.h"

#include "Printers.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPrinter>
#include <utility>

namespace plat
{

namespace
{

struct PaperId {
    int windowsId;
    QPageSize::PageSizeId qtId;
};

// The first entry of a Qt size is the id it reports.
const PaperId kPapers[] = {
    {1, QPageSize::Letter},
    {2, QPageSize::LetterSmall},
    {3, QPageSize::Tabloid},
    {4, QPageSize::Ledger},
    {5, QPageSize::Legal},
    {6, QPageSize::Statement},
    {7, QPageSize::Executive},
    {8, QPageSize::A3},
    {9, QPageSize::A4},
    {10, QPageSize::A4Small},
    {11, QPageSize::A5},
    {12, QPageSize::JisB4},
    {13, QPageSize::JisB5},
    {14, QPageSize::Folio},
    {15, QPageSize::Quarto},
    {16, QPageSize::Imperial10x14},
    {18, QPageSize::Note},
    {19, QPageSize::Envelope9},
    {20, QPageSize::Comm10E},
    {21, QPageSize::Envelope11},
    {22, QPageSize::Envelope12},
    {23, QPageSize::Envelope14},
    {27, QPageSize::DLE},
    {28, QPageSize::C5E},
    {29, QPageSize::EnvelopeC3},
    {30, QPageSize::EnvelopeC4},
    {31, QPageSize::EnvelopeC6},
    {32, QPageSize::EnvelopeC65},
    {33, QPageSize::EnvelopeB4},
    {34, QPageSize::EnvelopeB5},
    {35, QPageSize::EnvelopeB6},
    {36, QPageSize::EnvelopeItalian},
    {37, QPageSize::EnvelopeMonarch},
    {38, QPageSize::EnvelopePersonal},
    {39, QPageSize::FanFoldUS},
    {40, QPageSize::FanFoldGerman},
    {41, QPageSize::FanFoldGermanLegal},
    {42, QPageSize::B4},
    {43, QPageSize::Postcard},
    {66, QPageSize::A2},
    {69, QPageSize::DoublePostcard},
    {70, QPageSize::A6},
    {88, QPageSize::JisB6},
    {93, QPageSize::Prc16K},
    {94, QPageSize::Prc32K},
    {95, QPageSize::Prc32KBig},
};

} // namespace

QPageSize PageSizeForPaperId(int paperId)
{
    for (const PaperId& p : kPapers) {
        if (p.windowsId == paperId)
            return QPageSize(p.qtId);
    }
    int own = paperId - kFirstOwnPaperId;
    if (own >= 0 && own <= QPageSize::LastPageSize && own != QPageSize::Custom)
        return QPageSize(static_cast<QPageSize::PageSizeId>(own));
    return QPageSize();
}

int PaperIdForPageSize(const QPageSize& size)
{
    if (!size.isValid())
        return DMPAPER_USER;
    QPageSize::PageSizeId id = size.id();
    if (id == QPageSize::Custom)
        return DMPAPER_USER;
    for (const PaperId& p : kPapers) {
        if (p.qtId == id)
            return p.windowsId;
    }
    return kFirstOwnPaperId + static_cast<int>(id);
}

QPageSize PageSizeOf(const DEVMODEW& dm)
{
    // Width and length override the paper id when their bits are set; a user paper
    // (256) has nothing else.
    bool userSize = ((dm.dmFields & DM_PAPERWIDTH) && (dm.dmFields & DM_PAPERLENGTH)) ||
                    ((dm.dmFields & DM_PAPERSIZE) && dm.dmPaperSize == DMPAPER_USER);
    if (userSize) {
        if (dm.dmPaperWidth <= 0 || dm.dmPaperLength <= 0)
            return QPageSize();
        // ExactMatch: a user paper that happens to be A5-wide must not turn into A5.
        return QPageSize(QSizeF(dm.dmPaperWidth / 10.0, dm.dmPaperLength / 10.0), QPageSize::Millimeter,
                         QString(), QPageSize::ExactMatch);
    }
    if (dm.dmFields & DM_PAPERSIZE)
        return PageSizeForPaperId(dm.dmPaperSize);
    return QPageSize();
}

bool ApplyDevMode(QPrinter& printer, const DEVMODEW& dm)
{
    QPageSize size = PageSizeOf(dm);
    if (!size.isValid())
        return false;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    if ((dm.dmFields & DM_ORIENTATION) && dm.dmOrientation == DMORIENT_LANDSCAPE)
        orientation = QPageLayout::Landscape;
    // Full-page mode first, then the paper and zero margins one by one: a whole layout
    // with zero margins is refused by every printer whose driver has hardware margins
    // (most real ones), while in full-page mode the margins are ours to set.
    printer.setFullPage(true);
    if (!printer.setPageSize(size) || !printer.setPageOrientation(orientation) ||
        !printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter))
        return false;
    if ((dm.dmFields & DM_COPIES) && dm.dmCopies > 0)
        printer.setCopyCount(dm.dmCopies);
    return true;
}

} // namespace plat
