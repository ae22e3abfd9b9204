// The GIF writer, checked by giflib's own tools: giftext for the file's
// structure, gif2rgb for the pixels, which must decode back exactly.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "labels/GIFImage.h"

namespace {

// The output of one of giflib's tools (giflib-tools); a missing tool or a
// failed run fails the test.
QByteArray giflib(const char* tool, const QStringList& args)
{
    const QString program = QStandardPaths::findExecutable(QLatin1String(tool));
    if (program.isEmpty()) {
        ADD_FAILURE() << tool << " is missing (giflib-tools)";
        return {};
    }
    QProcess run;
    run.start(program, args);
    run.waitForFinished(60000);
    EXPECT_EQ(run.exitCode(), 0) << tool << ": " << run.readAllStandardError().toStdString();
    return run.readAllStandardOutput();
}

QString giftext(const QString& datei)
{
    return QString::fromLatin1(giflib("giftext", {u"-e"_qs, datei}));
}

// The logical screen as gif2rgb paints it from the file, one RGB triple per pixel.
QByteArray dekodiert(const QString& datei)
{
    const QString rgb = datei + u".rgb"_qs;
    giflib("gif2rgb", {u"-1"_qs, u"-o"_qs, rgb, datei});
    QFile f(rgb);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Each frame as giflib's gifbuild dumps it (its palette, global or its
// own, and its pixels as hex indexes or, for small palettes, as the
// characters the palette's lines name), painted into a picture; frames not
// interlaced, as the dump's row order of interlaced ones is its own
// (gif2rgb checks those).
std::vector<QImage> einzelbilder(const QString& datei)
{
    struct Karte {
        std::vector<QRgb> farben;
        QHash<QChar, QRgb> zeichen;
    };
    const QStringList zeilen = QString::fromLatin1(giflib("gifbuild", {u"-d"_qs, datei})).split(u'\n');
    Karte global;
    Karte eigene;
    std::vector<QImage> bilder;
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        const QString zeile = zeilen[i].trimmed();
        if (zeile == u"screen map"_qs || zeile == u"image map"_qs) {
            Karte& karte = zeile.startsWith(u"screen"_qs) ? global : eigene;
            for (++i; i < zeilen.size() && zeilen[i].trimmed() != u"end"_qs; ++i) {
                const QStringList rgb = zeilen[i].trimmed().split(u' '); // "rgb 037 000 001 [is c]"
                if (rgb.size() < 4 || rgb[0] != u"rgb"_qs)
                    continue;
                karte.farben.push_back(qRgb(rgb[1].toInt(), rgb[2].toInt(), rgb[3].toInt()));
                if (rgb.size() == 6)
                    karte.zeichen[rgb[5][0]] = karte.farben.back();
            }
        } else if (zeile.startsWith(u"image # "_qs)) {
            eigene = {};
        } else if (zeile.startsWith(u"image bits "_qs)) {
            const QStringList teile = zeile.split(u' '); // "image bits 20 by 10 [hex]"
            const int breite = teile[2].toInt();
            const int hoehe = teile[4].toInt();
            const bool hex = teile.size() > 5 && teile[5] == u"hex"_qs;
            const Karte& karte = eigene.farben.empty() ? global : eigene;
            QImage b(breite, hoehe, QImage::Format_RGB32);
            for (int y = 0; y < hoehe && ++i < zeilen.size(); ++y) {
                const QByteArray indizes = hex ? QByteArray::fromHex(zeilen[i].toLatin1()) : QByteArray();
                for (int x = 0; x < breite; ++x) {
                    if (!hex && x < zeilen[i].size())
                        b.setPixel(x, y, karte.zeichen.value(zeilen[i][x]));
                    else if (hex && x < indizes.size() && static_cast<std::uint8_t>(indizes[x]) < karte.farben.size())
                        b.setPixel(x, y, karte.farben[static_cast<std::uint8_t>(indizes[x])]);
                }
            }
            bilder.push_back(b);
        }
    }
    return bilder;
}

QByteArray rgbVon(const QImage& bild)
{
    QByteArray rgb;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) {
            const QRgb p = bild.pixel(x, y);
            rgb.append(static_cast<char>(qRed(p))).append(static_cast<char>(qGreen(p))).append(static_cast<char>(qBlue(p)));
        }
    return rgb;
}

// Colour number i, different for every i below 65536.
QRgb farbe(int i, int satz = 0)
{
    return qRgb((i * 37 + satz * 101) & 0xFF, (i >> 8) * 40 + satz, i & 0xFF);
}

// A picture of `farben` colours in a pattern that runs, repeats and
// breaks off, so the coder meets long and short strings; every colour occurs.
QImage bild(int breite, int hoehe, int farben, int satz = 0)
{
    QImage b(breite, hoehe, QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x, ++n)
            b.setPixel(x, y, farbe(n < farben ? n : (x / 3 + y * 7) % farben, satz));
    return b;
}

QByteArray lesen(const QString& datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The four data bytes of the first graphic control extension.
QByteArray steuerblock(const QByteArray& gif)
{
    const qsizetype i = gif.indexOf(QByteArray("\x21\xF9\x04", 3));
    return i < 0 ? QByteArray() : gif.mid(i + 3, 4);
}

struct Fall {
    int breite;
    int hoehe;
    int farben;
    bool interlaced;
    int bits; // of the palette
};

class GifRundreise : public ::testing::TestWithParam<Fall> {};

TEST_P(GifRundreise, GiflibDecodesEveryPixelBack)
{
    const Fall f = GetParam();
    QTemporaryDir dir;
    const QString datei = dir.filePath(u"bild.gif"_qs);
    const QImage b = bild(f.breite, f.hoehe, f.farben);

    ASSERT_TRUE(SaveBitmapAsGif(datei, b, f.interlaced)) << GifFehlertext().toStdString();
    EXPECT_EQ(GifLastError, GifOk);
    EXPECT_TRUE(GifFehlertext().isEmpty());

    const QString text = giftext(datei);
    EXPECT_TRUE(text.contains(u"Width = %1, Height = %2."_qs.arg(f.breite).arg(f.hoehe))) << text.toStdString();
    EXPECT_TRUE(text.contains(u"BitsPerPixel = %1,"_qs.arg(f.bits))) << text.toStdString();
    EXPECT_TRUE(text.contains(f.interlaced ? u"Image is Interlaced."_qs : u"Image is Non Interlaced."_qs));
    EXPECT_TRUE(dekodiert(datei) == rgbVon(b)) << "pixels differ";
}

INSTANTIATE_TEST_SUITE_P(Bilder, GifRundreise,
                         ::testing::Values(Fall{1, 1, 1, false, 1}, Fall{5, 3, 2, true, 1}, Fall{7, 9, 5, true, 3},
                                           Fall{37, 23, 200, true, 8}, Fall{64, 40, 256, false, 8},
                                           Fall{300, 17, 256, true, 8}, Fall{400, 300, 17, false, 5}));

TEST(GifDatei, AOneColourPictureHasATwoEntryTableACodeSizeOfTwoAndTheProgramsCommentAfterTheImage)
{
    QTemporaryDir dir;
    const QString datei = dir.filePath(u"eins.gif"_qs);
    QImage b(4, 4, QImage::Format_RGB32);
    b.fill(qRgb(0x12, 0x34, 0x56));
    ASSERT_TRUE(SaveBitmapAsGif(datei, b));

    const QByteArray gif = lesen(datei);
    const QByteArray kopf("GIF89a\x04\x00\x04\x00\x80\x00\x00" "\x12\x34\x56\x00\x00\x00", 19);
    ASSERT_TRUE(gif.startsWith(kopf)) << gif.left(19).toHex().toStdString();
    // The graphic control block (no delay, no disposal, no transparency),
    // then the image: no local table, minimum code size 2, clear code 4 first.
    const QByteArray bild("\x21\xF9\x04\x00\x00\x00\x00\x00" "\x2C\x00\x00\x00\x00\x04\x00\x04\x00\x00" "\x02", 19);
    ASSERT_EQ(gif.mid(19, 19), bild) << gif.mid(19, 19).toHex().toStdString();
    EXPECT_EQ(gif[39] & 0x07, 4) << "the first code is the clear code";
    EXPECT_EQ(gif.indexOf("NETSCAPE2.0"), -1) << "a single frame has no looping block";
    const qsizetype kommentar = gif.indexOf(QByteArray("\x21\xFE", 2), 38);
    ASSERT_GT(kommentar, 38) << "the identification comment follows the image";
    EXPECT_TRUE(gif.endsWith(QByteArray("\x00\x3B", 2)));
    EXPECT_TRUE(dekodiert(datei) == rgbVon(b));
}

TEST(GifDatei, TheTransparentColourIsMarkedWhereverItStandsInThePaletteAndOnlyWhenItOccurs)
{
    QTemporaryDir dir;
    const QString datei = dir.filePath(u"t.gif"_qs);
    const QImage b = bild(16, 16, 256);
    const auto alsTColor = [](QRgb c) { return static_cast<std::uint32_t>(qRed(c) | qGreen(c) << 8 | qBlue(c) << 16); };

    // The last of 256 colours takes index 255.
    ASSERT_TRUE(SaveBitmapAsGif(datei, b, false, true, alsTColor(farbe(255))));
    EXPECT_EQ(steuerblock(lesen(datei)), QByteArray("\x01\x00\x00\xFF", 4));

    ASSERT_TRUE(SaveBitmapAsGif(datei, b, true, true, alsTColor(farbe(7))));
    EXPECT_EQ(steuerblock(lesen(datei)), QByteArray("\x01\x00\x00\x07", 4)) << "the interlaced order meets it first too";

    ASSERT_TRUE(SaveBitmapAsGif(datei, b, false, true, 0x00FEFEFE)); // not in the picture
    EXPECT_EQ(steuerblock(lesen(datei)), QByteArray("\x00\x00\x00\x00", 4));
    EXPECT_TRUE(dekodiert(datei) == rgbVon(b));
}

TEST(GifDatei, APictureGifCannotHoldIsAGermanMessageAndNoFile)
{
    QTemporaryDir dir;
    const QString neu = dir.filePath(u"neu.gif"_qs);
    const QString alt = dir.filePath(u"alt.gif"_qs);
    ASSERT_TRUE(SaveBitmapAsGif(alt, bild(8, 8, 3)));
    const QByteArray altInhalt = lesen(alt);

    const struct {
        QImage bild;
        std::uint8_t fehler;
        QString text;
    } faelle[] = {
        {bild(17, 17, 257), GifZuVieleFarben, u"mehr als 256 Farben"_qs},
        {QImage(), GifGroesseUngueltig, u"keine Bildpunkte"_qs},
        {bild(65536, 1, 2), GifGroesseUngueltig, u"65535"_qs},
        {bild(1, 65536, 2), GifGroesseUngueltig, u"65535"_qs},
    };
    for (const auto& fall : faelle) {
        EXPECT_FALSE(SaveBitmapAsGif(neu, fall.bild));
        EXPECT_EQ(GifLastError, fall.fehler);
        EXPECT_TRUE(GifFehlertext().contains(fall.text)) << GifFehlertext().toStdString();
        EXPECT_FALSE(QFile::exists(neu));
        EXPECT_FALSE(SaveBitmapAsGif(alt, fall.bild));
        EXPECT_EQ(lesen(alt), altInhalt) << "the earlier file stays";
    }

    // A frame placed beyond the screen's 16 bits, a document without frames:
    // nothing reaches the stream.
    TFrameInfo frame;
    frame.Bitmap = bild(2, 2, 2);
    frame.Left = 65534;
    TGifDocument doc;
    doc.FrameCount = 1;
    doc.Frames[0] = &frame;
    QBuffer puffer;
    puffer.open(QIODevice::WriteOnly);
    EXPECT_FALSE(WriteGifDocument(puffer, doc));
    EXPECT_EQ(GifLastError, GifGroesseUngueltig);
    doc.FrameCount = 0;
    EXPECT_FALSE(WriteGifDocument(puffer, doc));
    EXPECT_EQ(GifLastError, GifSchreibfehler);
    EXPECT_FALSE(GifFehlertext().isEmpty());
    EXPECT_TRUE(puffer.data().isEmpty());

    EXPECT_FALSE(SaveBitmapAsGif(dir.filePath(u"fehlt/bild.gif"_qs), bild(2, 2, 2)));
    EXPECT_EQ(GifLastError, GifDateiFehler);
    EXPECT_TRUE(GifFehlertext().contains(u"fehlt"_qs)) << GifFehlertext().toStdString();
}

// Two frames side by side.
struct Animation {
    QImage links = bild(20, 10, 200, 0);
    QImage rechts = bild(13, 10, 200, 1);
    TFrameInfo f1;
    TFrameInfo f2;
    TGifDocument doc;

    Animation()
    {
        f1.Bitmap = links;
        f1.DelayMs = 1234;
        f1.Disposal = 2;
        f1.Comment = u"Erstes Bild"_qs;
        f2.Bitmap = rechts;
        f2.Left = links.width();
        f2.Disposal = 9; // no disposal method: written as 0
        doc.FrameCount = 2;
        doc.Frames[0] = &f1;
        doc.Frames[1] = &f2;
        doc.LoopCount = 3;
    }
    // Whether giflib reads the two frames back as they were given.
    bool gelesen(const QString& datei) const
    {
        const std::vector<QImage> bilder = einzelbilder(datei);
        return bilder.size() == 2 && rgbVon(bilder[0]) == rgbVon(links) && rgbVon(bilder[1]) == rgbVon(rechts);
    }
};

bool schreiben(const TGifDocument& doc, const QString& datei)
{
    QFile f(datei);
    return f.open(QIODevice::WriteOnly) && WriteGifDocument(f, doc);
}

TEST(GifAnimation, FramesTooColourfulForOneTableEachGetTheirOwnWithLoopDelayDisposalAndComment)
{
    QTemporaryDir dir;
    const QString datei = dir.filePath(u"anim.gif"_qs);
    Animation a;
    ASSERT_TRUE(schreiben(a.doc, datei)) << GifFehlertext().toStdString();
    EXPECT_TRUE(a.doc.GlobalPalette) << "the caller's document is left as it was";

    const QString text = giftext(datei);
    EXPECT_TRUE(text.contains(u"No Global Color Map."_qs)) << text.toStdString();
    EXPECT_EQ(text.count(u"Image Has Color Map."_qs), 2) << text.toStdString();
    const QByteArray gif = lesen(datei);
    EXPECT_TRUE(gif.contains(QByteArray("NETSCAPE2.0\x03\x01\x03\x00\x00", 16)));
    EXPECT_EQ(steuerblock(gif), QByteArray("\x08\x7B\x00\x00", 4)) << "disposal 2, 123 hundredths";
    EXPECT_EQ(steuerblock(gif.mid(gif.indexOf(QByteArray("\x21\xF9\x04", 3)) + 1)), QByteArray(4, '\0'));
    EXPECT_LT(gif.indexOf("Erstes Bild"), gif.indexOf(QByteArray("\x21\xF9\x04", 3)));
    EXPECT_TRUE(a.gelesen(datei)) << "pixels differ";
}

TEST(GifAnimation, FramesThatFitOneTableShareTheGlobalOne)
{
    QTemporaryDir dir;
    const QString datei = dir.filePath(u"anim.gif"_qs);
    Animation a;
    a.f2.Bitmap = a.rechts = bild(13, 10, 50, 0); // colours of the first frame
    ASSERT_TRUE(schreiben(a.doc, datei)) << GifFehlertext().toStdString();

    const QString text = giftext(datei);
    EXPECT_TRUE(text.contains(u"Has Global Color Map."_qs)) << text.toStdString();
    EXPECT_EQ(text.count(u"No Image Color Map."_qs), 2) << text.toStdString();
    EXPECT_TRUE(a.gelesen(datei)) << "pixels differ";

    // One palette per frame when asked for, though one would do.
    a.doc.GlobalPalette = false;
    ASSERT_TRUE(schreiben(a.doc, datei));
    EXPECT_EQ(giftext(datei).count(u"Image Has Color Map."_qs), 2);
    EXPECT_TRUE(a.gelesen(datei)) << "pixels differ";
}

} // namespace
