#pragma once
// The words of a printed PDF as poppler's pdftotext -bbox reads them, with their
// boxes in millimetres from the paper's top-left corner, and its first page as a
// picture.

#include <QImage>
#include <QString>

#include <vector>

namespace pdftest
{

struct Word {
    QString text;
    double xMin, yMin; // mm from the top-left corner
    int page;          // 0-based
    double xMax, yMax; // mm, the far corner of the word's box
};

// Every word of every page; empty when the tool fails.
std::vector<Word> ReadWords(const QString& pdf);

// The number of pages of the PDF (pdfinfo); 0 when it cannot be read.
int PageCount(const QString& pdf);

// The first page rendered by pdftoppm at 254 dpi, so that one pixel is 0.1 mm of
// paper; pngBase names the picture file without its ".png". Null when it fails.
QImage RenderPage(const QString& pdf, const QString& pngBase);

} // namespace pdftest
