#include "ImagePlus.h"

#include "BitmapPlus.h"
#include "StreamPlus.h"

#include <QBuffer>
#include <QImageReader>
#include <QString>

#include <cmath>

namespace
{

int Dpi(int dotsPerMeter) { return dotsPerMeter > 0 ? static_cast<int>(std::lround(dotsPerMeter * 0.0254)) : 96; }

} // namespace

bool ImagePlus::Open(const std::wstring& path)
{
    QImageReader reader(QString::fromStdWString(path));
    image_ = reader.read();
    return !image_.isNull();
}

bool ImagePlus::Open(const StreamPlus& stream)
{
    image_ = QImage::fromData(stream.Bytes());
    return !image_.isNull();
}

bool ImagePlus::Open(const BitmapPlus& bitmap)
{
    image_ = bitmap.Image();
    return !image_.isNull();
}

bool ImagePlus::Save(StreamPlus& stream) const
{
    if (image_.isNull()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image_.save(&buffer, "PNG")) return false;
    stream.SetBytes(bytes);
    return true;
}

int ImagePlus::GetHDPI() const { return Dpi(image_.dotsPerMeterX()); }
int ImagePlus::GetVDPI() const { return Dpi(image_.dotsPerMeterY()); }
