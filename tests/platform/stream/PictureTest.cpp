#include <gtest/gtest.h>

#include <QImage>

#include "StreamTestSupport.h"
#include "fixtures/Errors.h"
#include "fixtures/Images.h"
#include "stream/Picture.h"
#include "stream/StreamError.h"

using namespace streamtest;
using stream::Picture;

namespace {

// 2 x 2, 24 bits, bottom-up: red, green over blue, white.
const QByteArray kBmp = bytes("'BM' 46 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 02 00 00 00 02 00 00 00"
                              "01 00 18 00 00 00 00 00 10 00 00 00 13 0B 00 00 13 0B 00 00 00 00 00 00"
                              "00 00 00 00 FF 00 00 FF FF FF 00 00 00 00 FF 00 FF 00 00 00");

QImage sample()
{
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    return image;
}

} // namespace

TEST(Picture, BitmapDataGivesTheImageWithItsPixels)
{
    const QByteArray data = shortString("TBitmap") + le32(kBmp.size()) + kBmp;
    const Picture picture = Picture::fromPictureData(data, "a.eti");
    EXPECT_EQ(picture.graphicClass, "TBitmap");
    EXPECT_EQ(picture.file, kBmp);
    const QImage image = picture.toImage();
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(0, 1), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_EQ(picture.toPictureData(), data);
}

TEST(Picture, EachGraphicClassWithItsOwnLayout)
{
    const QByteArray jpeg = fixtures::encodedImage(sample(), "JPG");
    const Picture fromJpeg = Picture::fromPictureData(shortString("TJPEGImage") + le32(jpeg.size()) + jpeg, "a");
    EXPECT_EQ(fromJpeg.toImage().size(), QSize(8, 4));

    const QByteArray png = fixtures::encodedImage(sample(), "PNG");
    const Picture fromPng = Picture::fromPictureData(shortString("TPngImage") + png, "a");
    EXPECT_EQ(fromPng.file, png);
    EXPECT_EQ(fromPng.toImage().pixelColor(3, 2), QColor(10, 200, 30));
    EXPECT_EQ(fromPng.toPictureData(), shortString("TPngImage") + png);

    const QByteArray wmf = bytes("D7 CD C6 9A 00 00 01 02 03");
    const Picture metafile = Picture::fromPictureData(shortString("TMetafile") + le32(wmf.size()) + wmf + "rest", "a");
    EXPECT_TRUE(metafile.isMetafile());
    EXPECT_EQ(metafile.file, wmf);
    EXPECT_TRUE(metafile.toImage().isNull());

    // A class of another library: its size prefix is taken off when it fits.
    EXPECT_EQ(Picture::fromPictureData(shortString("TdxSmartImage") + le32(png.size()) + png, "a").file, png);
    EXPECT_EQ(Picture::fromPictureData(shortString("TdxSmartImage") + png, "a").file, png);
}

TEST(Picture, EmptyGlyphAndDamagedData)
{
    EXPECT_TRUE(Picture::fromPictureData(bytes("07 'TBitmap' 00 00 00 00"), "a").isEmpty());
    EXPECT_TRUE(Picture::fromPictureData({}, "a").isEmpty());
    EXPECT_TRUE(Picture::fromPictureData(bytes("07 'TBitmap' 00 00 00 00"), "a").toImage().isNull());

    const Picture glyph = Picture::fromGlyphData(le32(kBmp.size()) + kBmp, "a");
    EXPECT_TRUE(glyph.graphicClass.isEmpty());
    EXPECT_EQ(glyph.toImage().size(), QSize(2, 2));
    EXPECT_EQ(glyph.toPictureData(), le32(kBmp.size()) + kBmp);

    const QByteArray damaged[] = {
        bytes("07 'TBitmap' 47 00 00 00") + kBmp, // size one past the end
        bytes("07 'TBitmap' 46 00"),               // size cut short
        bytes("20 'TBitmap'"),                     // name past the end
        bytes("00 01 02"),                         // no name
    };
    for (const QByteArray& data : damaged) {
        SCOPED_TRACE(data.toHex(' ').constData());
        EXPECT_TRUE(fixtures::errorOf<stream::StreamError>([&] { Picture::fromPictureData(data, "Etikett.ETI"); })
                        .contains("Etikett.ETI"));
    }
    EXPECT_THROW(Picture::fromGlyphData(bytes("FF FF FF FF 42 4D"), "a"), stream::StreamError);
}
