#pragma once
// A list of equally sized pictures drawn by index: the icons of list rows and the
// search box. A mask colour, when given, becomes transparent as pictures are added.

#include "BrindleExport.h"
#include "DeviceContext.h"

#include <QImage>
#include <vector>

class BRINDLE_API CImageList
{
public:
    // `cx` x `cy` pictures; false for a size that is not positive.
    bool Create(int cx, int cy);
    void DeleteImageList();
    // Adds a strip of pictures side by side (each `cx` wide); pixels of `mask` become
    // transparent unless `mask` is 0xFFFFFFFF. Returns the index of the first one, -1.
    int Add(const QImage& strip, COLORREF mask = 0xFFFFFFFF);
    int GetImageCount() const { return static_cast<int>(images_.size()); }
    SIZE GetImageSize() const { return size_; }
    // Draws picture `index` with its top-left at `pt` (logical units of `dc`).
    bool Draw(CDC& dc, int index, POINT pt) const;
    const QImage* Image(int index) const;

private:
    SIZE size_;
    std::vector<QImage> images_;
};
