#pragma once
// Where a print to the PDF printer goes: the print dialogs show the file as the
// printer's place, and the programs tell it once the print is written, as no sheet
// comes out of that printer.

#include "Printers.h"

#include <QString>

#include <string>

// The file the PDF printer is about to write the document to (the core names it the
// same way); empty for any other printer.
QString PdfFileOf(const std::wstring& printer, const std::wstring& documentName);

// The place a print dialog shows for a printer: the file the print will write for the
// PDF printer when the document is named, the printer's port otherwise.
QString PrinterPlace(const plat::PrinterDetails& printer, const std::wstring& documentName);

// Tells the file a print wrote ("已打印到文件：..."); nothing for an empty path or a
// file that is not there.
void ReportPdfFile(const QString& path);
