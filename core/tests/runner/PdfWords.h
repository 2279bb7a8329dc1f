#pragma once
// The words of a printed PDF as poppler's pdftotext -bbox reads them, with their
// boxes in millimetres from the paper's top-left corner.

#include <QString>

#include <vector>

namespace pdftest
{

struct Word {
    QString text;
    double xMin, yMin; // mm from the top-left corner
    int page;          // 0-based
};

// Every word of every page; empty when the tool fails.
std::vector<Word> ReadWords(const QString& pdf);

// The number of pages of the PDF (pdfinfo); 0 when it cannot be read.
int PageCount(const QString& pdf);

} // namespace pdftest
