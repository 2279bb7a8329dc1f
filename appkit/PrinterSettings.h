#pragma once
// The printer's settings (DEVMODE) for a paper and an orientation, as the print dialog
// and the page setup of bills ask for them, with the reason shown when the printer
// cannot take them, and lengths in 0.1 mm as the dialogs show them.

#include "CDevMode.h"
#include "Printers.h"

#include <QString>

#include <string>

// The printer's settings for a paper (id, size in 0.1 mm) and orientation
// (plat::BuildPrinterSettings), kept in holder; a user paper (256) the printer does not
// take becomes the nearest of its papers that holds it, else its default paper. Null,
// with the reason in *error, when the printer is not there or the paper has no size.
const DEVMODEW* HoldPrinterSettings(CDevMode& holder, const plat::PrinterDescription& printer, int orientation,
                                    int paperId, int width, int height, std::wstring* error);

// A length in 0.1 mm shown in millimetres ("210", "215.9").
QString MillimetreText(int tenths);
