#pragma once
// Pictures (PNG, JPEG, BMP, GIF): load from a file or from bytes, draw into a context,
// tell the size, save as JPEG, and rescale so that a picture shows at its physical size
// on the screen or fills a size given in 0.1 mm.
//
// Positions and sizes given to the drawing routines are device pixels, counted from
// the context's viewport origin (so they work inside a double buffer); the context's
// scaling is not applied.

#include "DeviceContext.h"

#include <QByteArray>
#include <QImage>
#include <memory>

class QIODevice;

// A loaded picture and the status of its last operation (0 = ok).
struct GdiplusImage {
    QImage image;
    int status = 0;
};

// The single owner of a picture; empty = null.
using ImageHolder = std::unique_ptr<GdiplusImage>;

// Statuses kept in a picture.
constexpr int kPictureOk = 0;
constexpr int kPictureNoEncoder = 1;
constexpr int kPictureWriteFailed = 2;

// Every loader first empties the holder. A file or bytes that do not decode as a
// picture fail and leave the holder empty.
bool GdiplusBitmapFromFile(ImageHolder& holder, const wchar_t* path);
bool GdiplusBitmapFromStream(ImageHolder& holder, const QByteArray& bytes);
bool GdiplusBitmapFromHBITMAP(ImageHolder& holder, const CBitmap* bitmap);
void GdiplusDeleteImage(ImageHolder& holder);

// Width and height in pixels; 0, 0 for an empty holder.
SIZE GdiplusGetImageSize(const ImageHolder& holder);
// Horizontal and vertical resolution in dots per inch (0 without resolution).
double GdiplusGetImageHorizontalResolution(const ImageHolder& holder);
double GdiplusGetImageVerticalResolution(const ImageHolder& holder);

// The picture's physical size in pixels of that device at a zoom in percent (pixel size
// scaled by device resolution / picture resolution); 0, 0 for an empty holder.
SIZE GdiplusGetImageDeviceSize(const CDC* dc, const ImageHolder& holder, int zoom = 100);
// Draws at (x, y) at the picture's physical size on that device (pixel size scaled by
// device resolution / picture resolution); nothing for an empty holder.
void GdiplusDrawImage(CDC* dc, const ImageHolder& holder, int x, int y);
// Draws stretched into the box; nothing for an empty holder.
void GdiplusDrawImageRect(CDC* dc, const ImageHolder& holder, int x, int y, int cx, int cy);

// Finds the encoder for a MIME type (compared exactly): 1 and its format name in *out;
// -1 when no encoder has that type; 0 when there are no encoders at all.
int GetEncoderClsid(const wchar_t* mimeType, QByteArray* out);

// Writes the picture as JPEG at quality 85 into the stream. An empty holder fails
// without touching the stream; an encoder failure is stored in the picture.
bool GdiplusSaveJpeg(const ImageHolder& holder, QIODevice* stream);

// The picture redrawn at the screen's resolution at its physical size.
bool NormalizeImageResolution(const ImageHolder& in, ImageHolder& out);
// The picture redrawn to fill cx x cy tenths of a millimetre on the screen.
bool ScaleImageToTenthMm(const ImageHolder& in, ImageHolder& out, int cx, int cy);
// Loads the bytes and scales the picture into out.
bool LoadScaledImage(ImageHolder& out, const QByteArray& bytes, int cx, int cy);
