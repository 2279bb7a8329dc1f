#include "PictureRoutines.h"

#include "DrawUnits.h"
#include "WindowDC.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace
{

bool Keep(ImageHolder& holder, QImage image)
{
    if (image.isNull())
        return false;
    auto picture = std::make_unique<GdiplusImage>();
    picture->image = std::move(image);
    holder = std::move(picture);
    return true;
}

QImage Decode(QIODevice* device)
{
    QImageReader reader(device);
    reader.setAutoTransform(false);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    return image;
}

double Dpi(int dotsPerMeter)
{
    return dotsPerMeter > 0 ? dotsPerMeter * 0.0254 : 0.0;
}

// Screen pixels of a size in 0.1 mm (magnitudes).
SIZE ScreenPixelsOfTenthMm(int cx, int cy)
{
    CClientDCX screen(nullptr);
    int previous = screen.SetMapMode(2);
    SIZE size{cx, cy};
    screen.LPtoDP(&size);
    screen.SetMapMode(previous);
    return {std::abs(size.cx), std::abs(size.cy)};
}

// Draws the picture stretched over a screen-compatible bitmap of the pixel size and
// makes a picture of that bitmap.
bool RedrawAtScreen(const ImageHolder& in, ImageHolder& out, SIZE pixels)
{
    CClientDCX screen(nullptr);
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(pixels.cx, pixels.cy))
        return false;
    CDC memory;
    if (!memory.CreateCompatibleDC(&screen))
        return false;
    CBitmap* old = memory.SelectObject(&bitmap);
    GdiplusDrawImageRect(&memory, in, 0, 0, pixels.cx, pixels.cy);
    memory.SelectObject(old);
    return GdiplusBitmapFromHBITMAP(out, &bitmap);
}

} // namespace

bool GdiplusBitmapFromFile(ImageHolder& holder, const wchar_t* path)
{
    holder.reset();
    if (!path)
        return false;
    QFile file(QString::fromWCharArray(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return Keep(holder, Decode(&file));
}

bool GdiplusBitmapFromStream(ImageHolder& holder, const QByteArray& bytes)
{
    holder.reset();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    return Keep(holder, Decode(&buffer));
}

bool GdiplusBitmapFromHBITMAP(ImageHolder& holder, const CBitmap* bitmap)
{
    holder.reset();
    if (!bitmap || !bitmap->IsCreated())
        return false;
    return Keep(holder, bitmap->image().convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void GdiplusDeleteImage(ImageHolder& holder)
{
    holder.reset();
}

SIZE GdiplusGetImageSize(const ImageHolder& holder)
{
    if (!holder)
        return {0, 0};
    return {holder->image.width(), holder->image.height()};
}

double GdiplusGetImageHorizontalResolution(const ImageHolder& holder)
{
    return holder ? Dpi(holder->image.dotsPerMeterX()) : 0.0;
}

double GdiplusGetImageVerticalResolution(const ImageHolder& holder)
{
    return holder ? Dpi(holder->image.dotsPerMeterY()) : 0.0;
}

SIZE GdiplusGetImageDeviceSize(const CDC* dc, const ImageHolder& holder, int zoom)
{
    if (!dc || !holder)
        return {0, 0};
    double dpiX = GdiplusGetImageHorizontalResolution(holder);
    double dpiY = GdiplusGetImageVerticalResolution(holder);
    if (dpiX <= 0)
        dpiX = ScreenDpi;
    if (dpiY <= 0)
        dpiY = ScreenDpi;
    const double scale = zoom / 100.0;
    return {static_cast<int>(std::lround(holder->image.width() * dc->GetDeviceCaps(LOGPIXELSX) * scale / dpiX)),
            static_cast<int>(std::lround(holder->image.height() * dc->GetDeviceCaps(LOGPIXELSY) * scale / dpiY))};
}

void GdiplusDrawImage(CDC* dc, const ImageHolder& holder, int x, int y)
{
    if (!dc || !holder)
        return;
    const SIZE size = GdiplusGetImageDeviceSize(dc, holder);
    GdiplusDrawImageRect(dc, holder, x, y, size.cx, size.cy);
}

void GdiplusDrawImageRect(CDC* dc, const ImageHolder& holder, int x, int y, int cx, int cy)
{
    if (!dc || !holder || cx == 0 || cy == 0)
        return;
    QPainter* p = dc->painter();
    if (!p)
        return;
    POINT origin = dc->GetViewportOrg();
    QRect box(QPoint(x + origin.x + std::min(cx, 0), y + origin.y + std::min(cy, 0)),
              QSize(std::abs(cx), std::abs(cy)));
    QImage image = holder->image;
    if (cx < 0 || cy < 0)
        image = image.mirrored(cx < 0, cy < 0);
    p->save();
    p->setClipping(false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setOpacity(1.0);
    p->setRenderHint(QPainter::SmoothPixmapTransform, true);
    p->drawImage(box, image);
    p->restore();
}

int GetEncoderClsid(const wchar_t* mimeType, QByteArray* out)
{
    const QList<QByteArray> types = QImageWriter::supportedMimeTypes();
    if (types.isEmpty())
        return 0;
    QByteArray wanted = mimeType ? QString::fromWCharArray(mimeType).toUtf8() : QByteArray();
    for (const QByteArray& type : types) {
        if (type == wanted) {
            const QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(type);
            if (formats.isEmpty())
                continue;
            if (out)
                *out = formats.first();
            return 1;
        }
    }
    return -1;
}

bool GdiplusSaveJpeg(const ImageHolder& holder, QIODevice* stream)
{
    if (!holder || !stream)
        return false;
    QByteArray format;
    if (GetEncoderClsid(L"image/jpeg", &format) != 1) {
        holder->status = kPictureNoEncoder;
        return false;
    }
    QImageWriter writer(stream, format);
    writer.setQuality(85);
    // JPEG has no alpha: transparent pixels come out black, as drawn on a new bitmap.
    if (!writer.write(holder->image.convertToFormat(QImage::Format_RGB32))) {
        holder->status = kPictureWriteFailed;
        return false;
    }
    holder->status = kPictureOk;
    return true;
}

bool NormalizeImageResolution(const ImageHolder& in, ImageHolder& out)
{
    SIZE size = GdiplusGetImageSize(in);
    auto resolution = [&](double dpi) {
        if (!in)
            return 96;
        int whole = static_cast<int>(dpi);
        return whole == 0 ? static_cast<int>(ScreenDpi) : whole;
    };
    int dpiX = resolution(GdiplusGetImageHorizontalResolution(in));
    int dpiY = resolution(GdiplusGetImageVerticalResolution(in));
    if (dpiX != TenthMmPerInch)
        size.cx = MulDiv(size.cx, TenthMmPerInch, dpiX);
    if (dpiY != TenthMmPerInch)
        size.cy = MulDiv(size.cy, TenthMmPerInch, dpiY);
    if (!in)
        return false;
    return RedrawAtScreen(in, out, ScreenPixelsOfTenthMm(size.cx, size.cy));
}

bool ScaleImageToTenthMm(const ImageHolder& in, ImageHolder& out, int cx, int cy)
{
    if (!in)
        return false;
    return RedrawAtScreen(in, out, ScreenPixelsOfTenthMm(cx, cy));
}

bool LoadScaledImage(ImageHolder& out, const QByteArray& bytes, int cx, int cy)
{
    ImageHolder loaded;
    if (!GdiplusBitmapFromStream(loaded, bytes))
        return false;
    bool ok = ScaleImageToTenthMm(loaded, out, cx, cy);
    GdiplusDeleteImage(loaded);
    return ok;
}
