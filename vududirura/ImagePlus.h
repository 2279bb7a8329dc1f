#pragma once
// A picture as read from a file or a stream (BMP, JPEG, PNG, GIF), with its resolution.

#include "VududiruraApi.h"

#include <QImage>

#include <string>

class BitmapPlus;
class StreamPlus;

class VUDU_API ImagePlus
{
public:
    bool Open(const std::wstring& path);
    bool Open(const StreamPlus& stream);
    bool Open(const BitmapPlus& bitmap);
    // Writes the picture as PNG into the stream (replacing its bytes); false when empty.
    bool Save(StreamPlus& stream) const;

    bool IsNull() const { return image_.isNull(); }
    // Pixels.
    QSize GetSize() const { return image_.size(); }
    // Dots per inch (96 when the file tells none).
    int GetHDPI() const;
    int GetVDPI() const;
    const QImage& Image() const { return image_; }

private:
    QImage image_;
};
