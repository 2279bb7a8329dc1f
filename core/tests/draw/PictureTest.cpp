// Pictures: loading PNG, JPEG and BMP from bytes and files with their resolution,
// refusing damaged data, saving as JPEG that decodes again, and rescaling to the
// screen's resolution or to a size in 0.1 mm.

#include "DC.h"
#include "DrawTestSupport.h"
#include "DrawUnits.h"
#include "PictureRoutines.h"
#include "ScreenInfo.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

using namespace drawtest;

namespace
{

int DotsPerMeter(int dpi)
{
    return static_cast<int>(std::lround(dpi / 0.0254));
}

// A 40 x 30 picture: left half red, right half blue, at the given resolution.
QByteArray Encode(const char* format, int dpi, int width = 40, int height = 30)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    image.setDotsPerMeterX(DotsPerMeter(dpi));
    image.setDotsPerMeterY(DotsPerMeter(dpi));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (QByteArray(format) == "jpeg")
        writer.setQuality(95);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

COLORREF PixelOf(const ImageHolder& holder, int x, int y)
{
    return ColorAt(holder->image, x, y);
}

class Picture : public testing::Test
{
protected:
    void SetUp() override
    {
        plat::SetScreenDotsPerInch(96);
        ScreenDpi = 96;
    }
    void TearDown() override { plat::SetScreenDotsPerInch(0); }
};

TEST_F(Picture, LoadsFromBytesAndFilesKeepingSizeAndResolution)
{
    doxtest::TempDir dir;
    const struct {
        const char* format;
        int dpi;
        int tolerance; // JPEG is lossy
    } cases[] = {{"png", 300, 0}, {"jpeg", 200, 40}, {"bmp", 254, 0}, {"png", 96, 0}};
    for (const auto& c : cases) {
        QByteArray bytes = Encode(c.format, c.dpi);
        auto file = dir / (std::string("picture.") + c.format);
        ASSERT_TRUE(doxtest::WriteFileBytes(file, bytes.toStdString()));
        ImageHolder fromBytes;
        ImageHolder fromFile;
        ASSERT_TRUE(GdiplusBitmapFromStream(fromBytes, bytes)) << c.format;
        ASSERT_TRUE(GdiplusBitmapFromFile(fromFile, file.wstring().c_str())) << c.format;
        for (const ImageHolder* holder : {&fromBytes, &fromFile}) {
            SIZE size = GdiplusGetImageSize(*holder);
            EXPECT_EQ(size.cx, 40) << c.format;
            EXPECT_EQ(size.cy, 30) << c.format;
            EXPECT_NEAR(GdiplusGetImageHorizontalResolution(*holder), c.dpi, 0.5) << c.format;
            EXPECT_NEAR(GdiplusGetImageVerticalResolution(*holder), c.dpi, 0.5) << c.format;
            EXPECT_TRUE(Near(PixelOf(*holder, 5, 15), kRed, c.tolerance)) << c.format;
            EXPECT_TRUE(Near(PixelOf(*holder, 35, 15), kBlue, c.tolerance)) << c.format;
        }
    }
}

TEST_F(Picture, DamagedOrMissingDataFailsAndLeavesTheHolderEmpty)
{
    QByteArray png = Encode("png", 96);
    QByteArray jpeg = Encode("jpeg", 96);
    const QByteArray damaged[] = {
        QByteArray(),
        QByteArray("not a picture at all"),
        png.left(40),                            // header only
        jpeg.left(20),                           // truncated after the markers
        QByteArray("BM") + QByteArray(60, '\0'), // bitmap header with nothing behind it
    };
    for (const QByteArray& bytes : damaged) {
        ImageHolder holder;
        ASSERT_TRUE(GdiplusBitmapFromStream(holder, png));
        EXPECT_FALSE(GdiplusBitmapFromStream(holder, bytes)) << bytes.size();
        EXPECT_EQ(holder, nullptr);
        EXPECT_EQ(GdiplusGetImageSize(holder).cx, 0);
    }
    doxtest::TempDir dir;
    ImageHolder holder;
    EXPECT_FALSE(GdiplusBitmapFromFile(holder, (dir / "missing.png").wstring().c_str()));
    ASSERT_TRUE(doxtest::WriteFileBytes(dir / "broken.png", png.left(60).toStdString()));
    EXPECT_FALSE(GdiplusBitmapFromFile(holder, (dir / "broken.png").wstring().c_str()));
    EXPECT_EQ(holder, nullptr);
    EXPECT_FALSE(GdiplusBitmapFromFile(holder, nullptr));
}

TEST_F(Picture, SavesAsJpegThatDecodesAgain)
{
    ImageHolder holder;
    ASSERT_TRUE(GdiplusBitmapFromStream(holder, Encode("png", 150)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(GdiplusSaveJpeg(holder, &buffer));
    EXPECT_EQ(holder->status, kPictureOk);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8"));

    ImageHolder again;
    ASSERT_TRUE(GdiplusBitmapFromStream(again, bytes));
    EXPECT_EQ(GdiplusGetImageSize(again).cx, 40);
    EXPECT_EQ(GdiplusGetImageSize(again).cy, 30);
    EXPECT_TRUE(Near(PixelOf(again, 5, 15), kRed, 40));
    EXPECT_TRUE(Near(PixelOf(again, 35, 15), kBlue, 40));
}

TEST_F(Picture, SavingAnEmptyHolderFailsWithoutTouchingTheStream)
{
    QByteArray bytes("kept");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    ImageHolder empty;
    EXPECT_FALSE(GdiplusSaveJpeg(empty, &buffer));
    EXPECT_EQ(bytes, QByteArray("kept"));
    EXPECT_EQ(buffer.pos(), 0);
}

TEST_F(Picture, EncodersAreFoundByTheirExactMimeType)
{
    const struct {
        const wchar_t* mime;
        int result;
    } cases[] = {
        {L"image/jpeg", 1}, {L"image/png", 1}, {L"IMAGE/JPEG", -1}, {L"image/x-none", -1}, {nullptr, -1}};
    for (const auto& c : cases) {
        QByteArray format;
        EXPECT_EQ(GetEncoderClsid(c.mime, &format), c.result);
        if (c.result == 1)
            EXPECT_TRUE(QImageWriter::supportedImageFormats().contains(format)) << format.constData();
        else
            EXPECT_TRUE(format.isEmpty());
    }
}

TEST_F(Picture, NormalisingRedrawsAtTheScreensResolutionAtPhysicalSize)
{
    const struct {
        int dpi;
        int width, height;
        int screenWidth, screenHeight; // pixels at 96 dpi
    } cases[] = {
        {254, 100, 50, 38, 19},  // 10 mm x 5 mm: kept as 0.1 mm
        {300, 300, 150, 96, 48}, // one inch by half an inch
        {96, 96, 48, 96, 48},
        {600, 60, 60, 10, 10},
    };
    for (const auto& c : cases) {
        ImageHolder in;
        ASSERT_TRUE(GdiplusBitmapFromStream(in, Encode("png", c.dpi, c.width, c.height)));
        ImageHolder out;
        ASSERT_TRUE(NormalizeImageResolution(in, out)) << c.dpi;
        SIZE size = GdiplusGetImageSize(out);
        EXPECT_NEAR(size.cx, c.screenWidth, 1) << c.dpi;
        EXPECT_NEAR(size.cy, c.screenHeight, 1) << c.dpi;
        EXPECT_NEAR(GdiplusGetImageHorizontalResolution(out), 96, 0.5);
        EXPECT_TRUE(Near(PixelOf(out, 1, size.cy / 2), kRed, 8));
        EXPECT_TRUE(Near(PixelOf(out, size.cx - 2, size.cy / 2), kBlue, 8));
    }
    ImageHolder empty, out;
    EXPECT_FALSE(NormalizeImageResolution(empty, out));
}

TEST_F(Picture, ScalesToASizeInTenthMillimetres)
{
    const struct {
        int cx, cy;
        int width, height;
    } cases[] = {{2540, 1270, 960, 480}, {254, 254, 96, 96}, {2100, 990, 794, 374}};
    QByteArray bytes = Encode("bmp", 72);
    for (const auto& c : cases) {
        ImageHolder in, out;
        ASSERT_TRUE(GdiplusBitmapFromStream(in, bytes));
        ASSERT_TRUE(ScaleImageToTenthMm(in, out, c.cx, c.cy));
        SIZE size = GdiplusGetImageSize(out);
        EXPECT_NEAR(size.cx, c.width, 1) << c.cx;
        EXPECT_NEAR(size.cy, c.height, 1) << c.cy;

        ImageHolder loaded;
        ASSERT_TRUE(LoadScaledImage(loaded, bytes, c.cx, c.cy));
        EXPECT_EQ(GdiplusGetImageSize(loaded).cx, size.cx);
        EXPECT_EQ(GdiplusGetImageSize(loaded).cy, size.cy);
    }
    ImageHolder out;
    EXPECT_FALSE(LoadScaledImage(out, QByteArray("junk"), 100, 100));
    EXPECT_EQ(out, nullptr);
}

TEST_F(Picture, DrawsAtPhysicalSizeFromTheViewportOrigin)
{
    ImageHolder picture;
    ASSERT_TRUE(GdiplusBitmapFromStream(picture, Encode("png", 96, 20, 10)));
    QImage image = MakeImage(100, 100, 192);
    DCX dc;
    ASSERT_TRUE(dc.AttachImage(&image));
    dc.SetViewportOrg(10, 20);
    GdiplusDrawImage(&dc, picture, 5, 5); // 20 x 10 at 96 dpi is 40 x 20 at 192
    dc.EndPainting();
    EXPECT_TRUE(Near(ColorAt(image, 16, 26), kRed, 8));
    EXPECT_TRUE(Near(ColorAt(image, 54, 44), kBlue, 8));
    EXPECT_EQ(ColorAt(image, 56, 30), kWhite);
    EXPECT_EQ(ColorAt(image, 30, 46), kWhite);
    EXPECT_EQ(ColorAt(image, 14, 30), kWhite);

    ImageHolder empty;
    GdiplusDrawImage(&dc, empty, 0, 0); // nothing, no crash
    GdiplusDrawImageRect(nullptr, picture, 0, 0, 5, 5);
}

} // namespace
