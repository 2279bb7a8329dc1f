#pragma once
// The print setup of one template page: paper, orientation, offsets of the printout
// on the sheet and the gap between sheets of continuous paper. It is kept beside the
// bills, as the page's user element "pager_param" in the bill database, and turned
// into the printer's settings (DEVMODE) when a bill is printed. Reading and writing it
// are quick steps of the caller's; the caller shows the wait cursor where the user
// waits.

#include "CDevMode.h"
#include "Printers.h"

#include <string>

class IDoxPage;
class TiXmlDocumentW;
class TiXmlElementP;

struct PageSetupRecord {
    int Orientation = 1; // 1 portrait, 2 landscape
    int PaperSize = 256; // DMPAPER id; 256: a size of its own
    int PaperWidth = 0;  // 0.1 mm
    int PaperHeight = 0;
    int TopOffset = 0;   // 0.1 mm, may be negative
    int LeftOffset = 0;
    int PageSpacing = 0; // gap between two bills of continuous paper
    int templateWidth = 0;
    int templateHeight = 0;
    int set = 0;         // 1 once it holds a setup (read or defaulted)
    CDevMode devMode;    // owns the last DEVMODE made
    std::wstring errorText;

    // Back to the defaults (a page was detached).
    void Reset();
};

// Reads "page_setup" into the record; false, changing nothing, when the root has
// another name. Children or attributes that are missing leave their field as it is.
bool ReadPageSetup(const TiXmlDocumentW& document, PageSetupRecord& record);
// Appends "page_setup" with its seven children to the parent (the document's top
// level when parent is null); false when an insertion fails.
bool WritePageSetup(const PageSetupRecord& record, TiXmlDocumentW& document);

// The stored setup of the page, read into the record (nothing when none is stored).
void ReadPageSetupElement(IDoxPage* page, PageSetupRecord& record);
// Stores the record as the page's "pager_param"; false when the database refuses.
bool WritePageSetupElement(IDoxPage* page, const PageSetupRecord& record);

// Builds the printer's settings from the record: *devMode stays null (the printer's
// own defaults) while the record holds no setup or no paper size. False, with the
// reason in record.errorText, when the printer cannot take it.
bool ApplyPageSetupToDevMode(PageSetupRecord& record, const plat::PrinterDescription& printer,
                             const DEVMODEW** devMode);
