#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>

#include "WmfBuilder.h"
#include "fixtures/Errors.h"
#include "fixtures/Files.h"
#include "fixtures/Images.h"
#include "fixtures/TempDir.h"
#include "graphics/GraphicsError.h"
#include "graphics/Picture.h"

namespace graphics::test {
namespace {

const QColor Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), White(255, 255, 255);

// 20 × 10 pixels: the left half red, the right half blue.
QImage halves()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(Red);
    QPainter(&image).fillRect(10, 0, 10, 10, Blue);
    return image;
}

// Qt reads GIF but does not write it: a GIF89a of up to four colours,
// written as codes that never outgrow three bits (a clear code before every
// second pixel), which every decoder must read.
QByteArray gif(const QImage& image)
{
    QList<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!colours.contains(image.pixel(x, y)))
                colours.append(image.pixel(x, y));
    colours.resize(4, qRgb(0, 0, 0));
    QByteArray out("GIF89a");
    put16(out, image.width());
    put16(out, image.height());
    out.append(char(0x81)).append('\0').append('\0');   // a global table of 4 colours
    for (QRgb c : colours)
        out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    out.append(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, image.width());
    put16(out, image.height());
    out.append('\0').append('\2');                    // no local table; minimum code size 2
    QByteArray codes;
    quint32 buffer = 0;
    int filled = 0;
    const auto code = [&](int c) {
        buffer |= quint32(c) << filled;
        for (filled += 3; filled >= 8; filled -= 8, buffer >>= 8)
            codes.append(char(buffer & 0xFF));
    };
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (n++ % 2 == 0)
                code(4);
            code(int(colours.indexOf(image.pixel(x, y))));
        }
    code(5);
    if (filled > 0)
        codes.append(char(buffer & 0xFF));
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append('\0').append(';');
    return out;
}

QByteArray encoded(const QImage& image, const char* format)
{
    if (QByteArray(format) == "GIF")
        return gif(image);
    return fixtures::encodedImage(image, format);
}

// A 200 × 100 unit metafile at 400 units per inch, left half red.
QByteArray metafile()
{
    WmfBuilder b;
    b.window(0, 0, 200, 100).brush(Red).select(0).pen(wmf::PsNull, 0, Qt::black).select(1);
    b.rectangle(0, 0, 100, 100);
    return b.placeable(200, 100, 400);
}

bool colourNear(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 && std::abs(a.blue() - b.blue()) < 40;
}

template <typename F>
QString errorOf(F&& f)
{
    return fixtures::errorOf<GraphicsError>(std::forward<F>(f));
}

TEST(Picture, LoadsByExtensionWhateverTheCase)
{
    fixtures::TempDir dir;
    QDir().mkdir(QStringLiteral("symbol"));
    fixtures::writeBytes(QStringLiteral("symbol/c.bmp"), encoded(halves(), "BMP"));
    fixtures::writeBytes(QStringLiteral("symbol/n.dib"), encoded(halves(), "BMP"));
    fixtures::writeBytes(QStringLiteral("symbol/f_c.Png"), encoded(halves(), "PNG"));
    fixtures::writeBytes(QStringLiteral("symbol/t.gif"), encoded(halves(), "GIF"));
    fixtures::writeBytes(QStringLiteral("symbol/xn.jpeg"), encoded(halves(), "JPG"));
    fixtures::writeBytes(QStringLiteral("symbol/o.JPG"), encoded(halves(), "JPG"));
    fixtures::writeBytes(QStringLiteral("symbol/e.wmf"), metafile());

    for (const char* name : {"Symbol\\C.BMP", "Symbol\\N.DIB", "Symbol\\F_C.PNG", "Symbol\\T.GIF", "Symbol\\XN.JPEG",
                             "SYMBOL\\o.jpg"}) {
        SCOPED_TRACE(name);
        const Picture picture = Picture::load(QString::fromLatin1(name));
        EXPECT_EQ(picture.kind(), Picture::Kind::Raster);
        EXPECT_EQ(picture.size(), QSize(20, 10));
        const QImage image = picture.toImage();
        EXPECT_TRUE(colourNear(image.pixelColor(3, 5), Red));
        EXPECT_TRUE(colourNear(image.pixelColor(16, 5), Blue));
    }

    const Picture wmf = Picture::load(QStringLiteral("Symbol\\E.WMF"));
    EXPECT_EQ(wmf.kind(), Picture::Kind::Vector);
    EXPECT_EQ(wmf.size(), QSize(48, 24));   // 200 × 100 units at 400 per inch, shown at 96 dpi
    const QImage drawn = wmf.toImage(QSize(400, 40));
    EXPECT_EQ(drawn.pixelColor(150, 20), Red);
    EXPECT_EQ(drawn.pixelColor(250, 20).alpha(), 0);   // the rest stays transparent
}

TEST(Picture, LoadErrorsNameTheFile)
{
    fixtures::TempDir dir;
    fixtures::writeBytes(QStringLiteral("C.BMP"), encoded(halves(), "PNG"));   // a PNG file named as a bitmap
    fixtures::writeBytes(QStringLiteral("LEER.GIF"), QByteArray());
    fixtures::writeBytes(QStringLiteral("KAPUTT.WMF"), metafile().left(40));
    fixtures::writeBytes(QStringLiteral("C.TIF"), encoded(halves(), "PNG"));
    QDir().mkdir(QStringLiteral("ORDNER.BMP"));

    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("C.TIF")); }).contains(u"„.TIF“"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("C.TIF")); }).contains(u"„C.TIF“"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("Symbol\\FEHLT.BMP")); }).contains(u"„Symbol\\FEHLT.BMP“ wurde nicht gefunden"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("ORDNER.BMP")); }).contains(u"nicht gefunden"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("c.bmp")); }).contains(u"„c.bmp“"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("leer.gif")); }).contains(u"„leer.gif“ ist leer"));
    EXPECT_TRUE(errorOf([] { Picture::load(QStringLiteral("kaputt.wmf")); }).contains(u"„kaputt.wmf“ ist beschädigt"));
}

TEST(Picture, DataIsRecognisedBySignature)
{
    const QImage image = halves();
    for (const char* format : {"BMP", "PNG", "GIF", "JPG"}) {
        SCOPED_TRACE(format);
        // A wrong hint does not matter: the signature decides.
        const Picture picture = Picture::fromData(encoded(image, format), QStringLiteral("WMF"));
        EXPECT_EQ(picture.kind(), Picture::Kind::Raster);
        EXPECT_EQ(picture.size(), QSize(20, 10));
    }
    EXPECT_EQ(Picture::fromData(metafile()).kind(), Picture::Kind::Vector);
    WmfBuilder plain;
    plain.window(0, 0, 30, 30).rectangle(0, 0, 10, 10);
    EXPECT_EQ(Picture::fromData(plain.plain()).size(), QSize(30, 30));

    EXPECT_TRUE(Picture::fromData(QByteArray()).isEmpty());
    EXPECT_TRUE(Picture().toImage(QSize(10, 10)).isNull());

    const QByteArray unknown("\x01\x02\x03\x04 no picture", 15);
    EXPECT_TRUE(errorOf([&] { Picture::fromData(unknown, {}, QStringLiteral("Feld FORMEL")); })
                    .contains(u"„Feld FORMEL“ hat ein unbekanntes Format"));
    EXPECT_TRUE(errorOf([&] { Picture::fromData(unknown, QStringLiteral("bmp"), QStringLiteral("Feld FORMEL")); })
                    .contains(u"„Feld FORMEL“"));
    EXPECT_TRUE(errorOf([&] { Picture::fromData(metafile().left(30), {}, QStringLiteral("Layout")); })
                    .contains(u"„Layout“ ist beschädigt"));
    QByteArray emf(88, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    EXPECT_TRUE(errorOf([&] { Picture::fromData(emf, QStringLiteral("WMF"), QStringLiteral("Layout")); })
                    .contains(u"erweiterte Metadatei (EMF)"));
}

TEST(Picture, DrawStretchesIntoTheTarget)
{
    for (const Picture& picture : {Picture(halves()), Picture::fromData(metafile())}) {
        QImage canvas(100, 100, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        picture.draw(painter, QRectF(10, 20, 80, 60));
        painter.end();
        EXPECT_EQ(canvas.pixelColor(30, 50), Red);
        EXPECT_EQ(canvas.pixelColor(5, 50), White);
        EXPECT_EQ(canvas.pixelColor(30, 85), White);
    }
}

// The bitmap file that the label export writes, read byte by byte as the
// format lays it down: a plain BITMAPINFOHEADER, 24 bits, rows bottom-up.
TEST(Picture, SavedBitmapIsAPlainTwentyFourBitFile)
{
    fixtures::TempDir dir;
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Red);
    image.setPixelColor(0, 1, Blue);
    image.setPixelColor(2, 1, QColor(0, 0, 0, 0));
    saveBmp(image, QStringLiteral("Etikett.bmp"));

    QFile file(QStringLiteral("Etikett.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    ASSERT_GE(b.size(), 54);
    EXPECT_TRUE(b.startsWith("BM"));
    EXPECT_EQ(dword(b, 2), quint32(b.size()));
    const quint32 bits = dword(b, 10);
    EXPECT_EQ(dword(b, 14), 40u);          // BITMAPINFOHEADER
    EXPECT_EQ(qint32(dword(b, 18)), 3);
    EXPECT_EQ(qint32(dword(b, 22)), 2);    // positive: bottom-up
    EXPECT_EQ(word(b, 26), 1);
    EXPECT_EQ(word(b, 28), 24);
    EXPECT_EQ(dword(b, 30), 0u);           // uncompressed
    const int stride = 12;                 // 9 bytes padded to 4
    ASSERT_EQ(b.size(), qsizetype(bits) + 2 * stride);
    const auto pixel = [&](int x, int row) {
        const qsizetype at = bits + row * stride + 3 * x;
        return QColor(quint8(b[at + 2]), quint8(b[at + 1]), quint8(b[at]));
    };
    EXPECT_EQ(pixel(0, 0), Blue);          // the bottom row comes first
    EXPECT_EQ(pixel(2, 0), White);         // transparent laid over white
    EXPECT_EQ(pixel(1, 1), Red);

    EXPECT_TRUE(errorOf([&] { saveBmp(image, QStringLiteral("fehlt/Etikett.bmp")); }).contains(u"„fehlt/Etikett.bmp“"));
}

TEST(DecodePicture, ReadsCommonFormatsAndTheFieldHeaderOfTheDatabaseEngine)
{
    const QImage source = fixtures::filledImage(4, 3, Qt::yellow);
    for (const char* format : {"BMP", "PNG", "JPEG"})
        EXPECT_EQ(decodePicture(fixtures::encodedImage(source, format), "BILD").size(), QSize(4, 3)) << format;
    const QByteArray header("\x01\x00\x01\x00\x46\x00\x00\x00", 8);
    EXPECT_EQ(decodePicture(header + fixtures::encodedImage(source, "BMP"), "BILD").size(), QSize(4, 3));
    EXPECT_TRUE(decodePicture("kein Bild", "BILD").isEmpty());
    EXPECT_TRUE(decodePicture({}, "BILD").isEmpty());
}

} // namespace
} // namespace graphics::test
