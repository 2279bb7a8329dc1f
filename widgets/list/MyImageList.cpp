#include "MyImageList.h"

#include "SystemColors.h"

#include <QPainter>

bool CImageList::Create(int cx, int cy)
{
    images_.clear();
    if (cx <= 0 || cy <= 0) {
        size_ = SIZE();
        return false;
    }
    size_.cx = cx;
    size_.cy = cy;
    return true;
}

void CImageList::DeleteImageList()
{
    images_.clear();
    size_ = SIZE();
}

int CImageList::Add(const QImage& strip, COLORREF mask)
{
    if (size_.cx <= 0 || strip.isNull())
        return -1;
    QImage src = strip.convertToFormat(QImage::Format_ARGB32);
    if (mask != 0xFFFFFFFF) {
        QRgb key = plat::ToQColor(mask).rgb() & 0xFFFFFF;
        for (int y = 0; y < src.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = 0;
        }
    }
    int first = GetImageCount();
    int count = std::max(1, src.width() / size_.cx);
    for (int i = 0; i < count; ++i) {
        QImage one(size_.cx, size_.cy, QImage::Format_ARGB32_Premultiplied);
        one.fill(Qt::transparent);
        QPainter p(&one);
        p.drawImage(0, 0, src, i * size_.cx, 0, size_.cx, size_.cy);
        p.end();
        images_.push_back(one);
    }
    return first;
}

const QImage* CImageList::Image(int index) const
{
    if (index < 0 || index >= GetImageCount())
        return nullptr;
    return &images_[index];
}

bool CImageList::Draw(CDC& dc, int index, POINT pt) const
{
    const QImage* image = Image(index);
    if (!image)
        return false;
    CBitmap bitmap;
    bitmap.Attach(*image);
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc))
        return false;
    memory.SelectObject(&bitmap);
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = 255;
    bool ok = dc.AlphaBlend(pt.x, pt.y, size_.cx, size_.cy, &memory, 0, 0, size_.cx, size_.cy, blend);
    memory.DeleteDC();
    return ok;
}
