#pragma once
// A picture ready for drawing (ARGB, premultiplied), made from a stream, a file, a
// resource or an ImagePlus, optionally fitted into a size on a background, and drawn
// into a device context.

#include "VududiruraApi.h"

#include "GdiTypes.h"

#include <QImage>
#include <QSize>

#include <string>

class CDC;
class ImagePlus;
class StreamPlus;

// No colour: a fitted picture keeps a transparent background, Draw keys out nothing.
constexpr COLORREF kNoColor = 0xFFFFFFFF;

class VUDU_API BitmapPlus
{
public:
    // Each From* replaces the picture and is false (leaving it empty) when the bytes are
    // no picture. With a size, the picture is scaled to fit inside it (aspect kept,
    // never enlarged) and centred on a canvas of exactly that size.
    bool FromStreamPlush(const StreamPlus& stream, QSize size = QSize());
    bool FromStreamPlushEx(const StreamPlus& stream, QSize size, COLORREF background);
    // A picture compiled into the program (a Qt resource path such as ":/res/347.png").
    bool FromResource(const std::wstring& resourcePath);
    bool FromFileEx(const std::wstring& path, QSize size = QSize(), COLORREF background = kNoColor);
    bool FromImagePlus(const ImagePlus& image, QSize size = QSize(), COLORREF background = kNoColor);
    void Clear() { image_ = QImage(); }

    // Draws at the picture's own size, centred in the rectangle (logical units of the
    // context), with the pixels of `transparent` left out and a constant alpha
    // (256 or more: opaque).
    bool Draw(CDC* dc, const RECT& rect, COLORREF transparent = kNoColor, int alpha = 256) const;
    // Draws scaled to fill the rectangle.
    bool DrawStretch(CDC* dc, const RECT& rect, COLORREF transparent = kNoColor, int alpha = 256) const;
    // Tiles the picture over the rectangle from its top-left corner.
    bool FillRect(CDC* dc, const RECT& rect) const;

    bool IsNull() const { return image_.isNull(); }
    QSize GetSize() const { return image_.size(); }
    int GetWidth() const { return image_.width(); }
    int GetHeight() const { return image_.height(); }
    const QImage& Image() const { return image_; }

private:
    bool Take(const QImage& decoded, QSize size, COLORREF background);
    bool Blend(CDC* dc, const RECT& target, const QImage& picture, COLORREF transparent, int alpha) const;

    QImage image_;
};
