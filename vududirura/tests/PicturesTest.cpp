#include "BitmapPlus.h"
#include "CDCPlus.h"
#include "ImagePlus.h"
#include "StreamPlus.h"

#include "DeviceContext.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace
{

StreamPlus PngStream(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return StreamPlus(bytes.constData(), bytes.size(), 0);
}

QImage Solid(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

TEST(Pictures, StreamsBuffersAndImagesCarryTheSameBytes)
{
    QImage source = Solid(40, 20, Qt::red);
    source.setDotsPerMeterX(11811); // 300 dpi
    source.setDotsPerMeterY(7874);  // 200 dpi
    StreamPlus stream = PngStream(source);
    ImagePlus image;
    ASSERT_TRUE(image.Open(stream));
    EXPECT_EQ(image.GetSize(), QSize(40, 20));
    EXPECT_EQ(image.GetHDPI(), 300);
    EXPECT_EQ(image.GetVDPI(), 200);

    StreamPlus saved;
    ASSERT_TRUE(image.Save(saved));
    BufferPlus buffer;
    ASSERT_TRUE(buffer.Open(saved));
    ASSERT_GT(buffer.GetSize(), 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.GetData()), 8), QByteArray("\x89PNG\r\n\x1a\n", 8));

    StreamPlus garbage("nope", 4, 0);
    EXPECT_FALSE(image.Open(garbage));
    EXPECT_FALSE(BufferPlus().Open(StreamPlus()));

    StreamPlus s;
    EXPECT_EQ(s.Write("abcdef", 6), 6);
    s.Rewind();
    char two[2];
    EXPECT_EQ(s.Read(two, 2), 2);
    EXPECT_EQ(s.Write("XY", 2), 2);
    EXPECT_EQ(s.Bytes(), QByteArray("abXYef"));
}

TEST(Pictures, FittedPictureIsCentredOnTheBackground)
{
    // 600 x 300 red fitted into 300 x 300 on white: a red band 150 high in the middle.
    BitmapPlus bitmap;
    ASSERT_TRUE(bitmap.FromStreamPlushEx(PngStream(Solid(600, 300, Qt::red)), QSize(300, 300), RGB(255, 255, 255)));
    const QImage& image = bitmap.Image();
    ASSERT_EQ(image.size(), QSize(300, 300));
    EXPECT_EQ(image.pixelColor(150, 20), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(150, 150), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(150, 280), QColor(Qt::white));
    // A small picture is not enlarged.
    ASSERT_TRUE(bitmap.FromStreamPlush(PngStream(Solid(10, 10, Qt::blue)), QSize(96, 96)));
    EXPECT_EQ(bitmap.Image().pixelColor(48, 48), QColor(Qt::blue));
    EXPECT_EQ(bitmap.Image().pixelColor(30, 48).alpha(), 0);
    EXPECT_FALSE(bitmap.FromStreamPlush(StreamPlus("x", 1, 0), QSize(96, 96)));
    EXPECT_TRUE(bitmap.IsNull());
}

TEST(Pictures, DrawKeysOutTheTransparentColourAndCanvasCopiesBack)
{
    QImage target(100, 60, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::white);
    CDC dc;
    ASSERT_TRUE(dc.AttachImage(&target));

    // A 20 x 20 picture: left half green, right half magenta (the key colour).
    QImage picture = Solid(20, 20, Qt::green);
    for (int y = 0; y < 20; ++y)
        for (int x = 10; x < 20; ++x) picture.setPixelColor(x, y, QColor(255, 0, 255));
    BitmapPlus bitmap;
    ASSERT_TRUE(bitmap.FromStreamPlush(PngStream(picture)));

    CDCPlus canvas;
    CDC* off = canvas.OpenCanvas(&dc, RECT{10, 10, 90, 50});
    ASSERT_NE(off, nullptr);
    // Centred in 10..50 x 10..50 at its own size: 20..40 both ways.
    ASSERT_TRUE(bitmap.Draw(off, RECT{10, 10, 50, 50}, RGB(255, 0, 255), 256));
    ASSERT_TRUE(bitmap.DrawStretch(off, RECT{50, 10, 90, 50}, kNoColor, 256));
    EXPECT_EQ(target.pixelColor(25, 30), QColor(Qt::white)); // nothing until closed
    ASSERT_TRUE(canvas.CloseCanvas());
    dc.EndPainting();

    EXPECT_EQ(target.pixelColor(25, 30), QColor(Qt::green));
    EXPECT_EQ(target.pixelColor(35, 30), QColor(Qt::white)); // keyed out
    EXPECT_EQ(target.pixelColor(15, 30), QColor(Qt::white)); // outside the picture
    EXPECT_EQ(target.pixelColor(55, 30), QColor(Qt::green)); // stretched: left half green
    EXPECT_EQ(target.pixelColor(85, 30), QColor(255, 0, 255));
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::white));   // outside the canvas
}

} // namespace
