#include <gtest/gtest.h>

#include <QFont>
#include <QPainter>

#include "WmfBuilder.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfReader.h"

namespace graphics::test {
namespace {

using namespace wmf;

const QColor Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), White(255, 255, 255), Black(0, 0, 0);

QColor at(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// A filled shape without outline: a red brush and the null pen.
WmfBuilder redFill()
{
    WmfBuilder b;
    b.window(0, 0, 100, 100).brush(Red).select(0).pen(PsNull, 0, Black).select(1);
    return b;
}

// A metafile, the size it is played at and what must then be where.
struct Scene {
    const char* what;
    QByteArray file;
    Pixels pixels;
    QSize size = QSize(100, 100);
};

void expectScenes(const std::vector<Scene>& scenes)
{
    for (const Scene& scene : scenes)
        expectPixels(render(scene.file, scene.size), scene.pixels, scene.what);
}

TEST(WmfReader, ShapesLandWhereTheWindowAndMapModeMapThem)
{
    // bottom, right, top, left: the order the records store a box in
    const QByteArray shapes = redFill()
                                  .rectangle(10, 10, 50, 50)
                                  .record(Polygon, {3, 60, 60, 90, 60, 90, 90}) // a triangle above the diagonal
                                  .record(Ellipse, {95, 40, 60, 5})
                                  .placeable(100, 100);
    // Two nested squares: alternate leaves a hole, winding fills it.
    const auto nested = [](int mode) {
        return redFill()
            .record(SetPolyFillMode, {mode})
            .record(PolyPolygon, {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70})
            .placeable(100, 100);
    };
    expectScenes({
        // (22, 77) is the ellipse's centre, (6, 61) a corner of its box.
        {"shapes", shapes, {{30, 30, Red}, {55, 55, White}, {85, 65, Red}, {65, 85, White}, {22, 77, Red}, {6, 61, White}}},
        {"stretched, keeping the proportions", shapes, {{60, 30, Red}, {110, 30, White}}, QSize(200, 100)},
        // A window with its y axis pointing up: (100, 200) is the top-left corner.
        {"y axis up",
         WmfBuilder().window(100, 200, 100, -100).brush(Red).select(0).pen(PsNull, 0, Black).select(1)
             .rectangle(110, 190, 150, 150).placeable(100, 100),
         {{30, 30, Red}, {30, 70, White}}},
        // In MM_TEXT the window extent does not scale; its origin still moves.
        {"MM_TEXT",
         redFill().record(SetMapMode, {MmText}).record(SetWindowExt, {50, 50}).record(SetWindowOrg, {10, 10})
             .rectangle(10, 10, 50, 50).placeable(100, 100),
         {{5, 5, Red}, {45, 45, White}}},
        {"isotropic: a square stays a square",
         redFill().record(SetMapMode, {MmIsotropic}).rectangle(0, 0, 100, 100).placeable(100, 100),
         {{95, 50, Red}, {150, 50, White}}, QSize(200, 100)},
        {"alternate fill", nested(Alternate), {{20, 50, Red}, {50, 50, White}}},
        {"winding fill", nested(Winding), {{50, 50, Red}}},
    });
}

TEST(WmfReader, SaveRestoreAndTheObjectTable)
{
    WmfBuilder saves = redFill();
    saves.brush(Blue).record(SaveDc, {}).select(2).record(SetWindowExt, {50, 50});
    saves.record(SaveDc, {}).record(SetWindowExt, {10, 10});
    saves.record(RestoreDc, {-2}); // back past both saves: red brush, 100 × 100 window
    saves.rectangle(10, 10, 50, 50);
    saves.record(RestoreDc, {-1}); // nothing left to restore: ignored as Windows does
    saves.rectangle(60, 60, 90, 90);

    // New objects fill the lowest free slot.
    WmfBuilder objects;
    objects.window(0, 0, 100, 100);
    objects.pen(PsNull, 0, Black); // slot 0
    objects.brush(Red);            // slot 1
    objects.remove(0);
    objects.brush(Green);          // slot 0 again
    objects.select(0).record(SelectObject, {1});
    objects.record(SelectObject, {1}).select(0); // green ends selected
    objects.pen(PsNull, 0, Black).select(2);     // slot 2
    objects.rectangle(0, 0, 50, 50);
    objects.remove(1).select(1); // an emptied slot changes nothing
    objects.rectangle(50, 50, 100, 100);

    expectScenes({
        {"save and restore", saves.placeable(100, 100), {{45, 45, Red}, {55, 55, White}, {75, 75, Red}}},
        {"lowest free slot", objects.placeable(100, 100, 96, 3), {{25, 25, Green}, {75, 75, Green}}},
        // Objects we do not draw with still take their slot.
        {"palette in slot 0",
         WmfBuilder().window(0, 0, 100, 100).record(CreatePalette, {0x300, 0}).brush(Red).select(1)
             .pen(PsNull, 0, Black).select(2).rectangle(0, 0, 100, 100).placeable(100, 100, 96, 3),
         {{50, 50, Red}}},
        // The frame's left side, the line at x 50, the polyline at y 20; inside no brush.
        {"pens outline, the null brush does not fill",
         WmfBuilder().window(0, 0, 100, 100).brush(White, BsNull).select(0).pen(PsSolid, 6, Blue).select(1)
             .rectangle(10, 10, 90, 90).record(MoveTo, {50, 10}).record(LineTo, {50, 90})
             .record(Polyline, {2, 10, 20, 90, 20}).placeable(100, 100),
         {{10, 50, Blue}, {30, 50, Blue}, {50, 80, White}, {30, 20, Blue}}},
    });
}

TEST(WmfReader, TextIsWindows1252AndFollowsAlignmentAndColour)
{
    const QByteArray face("DejaVu Sans");
    const auto text = [&](std::initializer_list<int> alignAndColour, int x, int y, const QByteArray& bytes, int height) {
        WmfBuilder b;
        b.window(0, 0, 100, 100);
        b.record(CreateFontIndirect, {height, 0, 0, 0, 400, 0, 0, 0, 0}, face + '\0');
        b.select(0).record(SetBkMode, {Transparent});
        auto it = alignAndColour.begin();
        b.record(SetTextAlign, {*it++});
        b.record(SetTextColor, {*it, *(it + 1)});
        QByteArray params;
        put16(params, int(bytes.size()));
        params.append(bytes);
        if (params.size() % 2)
            params.append('\0');
        put16(params, y);
        put16(params, x);
        b.record(TextOut, {}, params);
        return render(b.placeable(100, 100));
    };

    // Drawn by Qt directly, the same characters in the same font size.
    const auto reference = [&](const QString& s) {
        QImage image(100, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font(QString::fromLatin1(face));
        font.setPixelSize(30);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(10, 60), s);
        return image;
    };
    const auto differing = [](const QImage& a, const QImage& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    const QImage played = text({TaBaseline, 0, 0}, 10, 60, QByteArray("\xC4\x80"), -30);
    EXPECT_LT(differing(played, reference(QStringLiteral("Ä€"))), 20);
    EXPECT_GT(differing(played, reference(QStringLiteral("A?"))), 50);

    // Top alignment puts the glyphs below the point; bottom above it; the colour is the text colour.
    const auto inkRows = [](const QImage& image, const QColor& ink) {
        int top = image.height(), bottom = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == ink)
                    top = std::min(top, y), bottom = std::max(bottom, y);
        return std::pair(top, bottom);
    };
    const auto [topFrom, topTo] = inkRows(text({0, WmfBuilder::rg(Red), 0}, 10, 50, "HH", -20), Red);
    EXPECT_GE(topFrom, 50);
    EXPECT_LE(topTo, 72);
    const auto [bottomFrom, bottomTo] = inkRows(text({TaBottom, WmfBuilder::rg(Red), 0}, 10, 50, "HH", -20), Red);
    EXPECT_LE(bottomTo, 50);
    EXPECT_GE(bottomFrom, 28);
    // Right alignment ends the text at the point.
    const QImage right = text({TaRight | TaBaseline, 0, 0}, 50, 50, "HH", -20);
    for (int y = 0; y < 100; ++y)
        for (int x = 51; x < 100; ++x)
            ASSERT_EQ(at(right, x, y), White) << x << "," << y;
}

TEST(WmfReader, TextStaysUprightInAFlippedWindow)
{
    // The same point in two windows, one with its y axis up: Windows draws
    // the text upright in both, so the pictures are the same.
    const auto textAt = [](int windowY, int windowHeight) {
        WmfBuilder b;
        b.window(0, windowY, 100, windowHeight);
        b.record(CreateFontIndirect, {-20, 0, 0, 0, 400, 0, 0, 0, 0}, QByteArray("DejaVu Sans\0", 12));
        b.select(0).record(SetBkMode, {Transparent}).record(SetTextAlign, {0});
        b.record(ExtTextOut, {40, 10, 2, 0}, QByteArray("Tg", 2));  // y 40, x 10: the top of the cell
        return render(b.placeable(100, 100));
    };
    const QImage down = textAt(0, 100), up = textAt(80, -100);   // y 40 is 40 below the top in both
    QImage blank(100, 100, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_NE(down, blank);
    EXPECT_EQ(down, up);
}

TEST(WmfReader, TextInAWindowSquashedBeyondReasonIsStillDrawn)
{
    // A damaged file: a window 100 units wide and 30,000 high drawn into a
    // square, and text in a big font running upwards. The glyphs are
    // slivers; they must neither crash the painter nor vanish.
    WmfBuilder b;
    b.window(0, 0, 100, 30000);
    b.record(CreateFontIndirect, {-3000, 0, 900, 0, 700, 0, 0, 0, 0}, QByteArray("DejaVu Sans\0", 12));
    b.select(0).record(SetBkMode, {Transparent});
    b.record(TextOut, {5, 0x6148, 0x6c6c, 0x006f, 15000, -1500});  // "Hallo" upwards from (-1500, 15000)
    const QImage image = render(b.placeable(100, 100));
    QImage blank(image.size(), image.format());
    blank.fill(Qt::white);
    EXPECT_NE(image, blank);

    // The file that brought the font engine down: bold italic text at 45
    // degrees in a window 100 wide and 32,668 high.
    const QByteArray found = QByteArray::fromBase64(
        "183GmgAAAAAAAGQAZABgAAAAAABxVwEACQAAA1QAAAAEAEAAAAAAAAUAAAALAgAAAAAFAAAADAJkgGQADwAAAPsC7AkAAMIBAAC8AgEB"
        "AQBBAAAAAHJpYWwABAAAAC0BAAAEAAAALgEYAAUAAAAJAv8AAAAFAAAAAQIAAP8ABAAAAAIBAgAJAAAAIQUFAEhhbGxvADIACgAQAAAA"
        "MgoeAAoABwAGAAAAAAAxACgAQWKAAAoACgAKAAMAAAAAAA==");
    EXPECT_NO_THROW(render(found, QSize(48, 48)));
}

TEST(WmfReader, ExtTextOutOpaqueRectangleAndAdvances)
{
    WmfBuilder b;
    b.window(0, 0, 100, 100).record(SetBkColor, {WmfBuilder::rg(Green), WmfBuilder::b(Green)});
    b.record(CreateFontIndirect, {-20, 0, 0, 0, 700, 0, 0, 0, 0}, QByteArray("DejaVu Sans\0", 12)).select(0);
    b.record(SetBkMode, {Transparent});
    // y, x, count, options, rect (left, top, right, bottom), "II", dx 40 and 0
    b.record(ExtTextOut, {80, 10, 2, EtoOpaque, 0, 0, 100, 20, 0x4949, 40, 0});
    const QImage image = render(b.placeable(100, 100));
    EXPECT_EQ(at(image, 50, 10), Green);
    EXPECT_EQ(at(image, 50, 40), White);
    // The second "I" sits 40 units right of the first.
    int firstInk = 0, secondInk = 0, between = 0;
    for (int y = 82; y < 98; ++y) {
        for (int x = 10; x < 20; ++x)
            firstInk += at(image, x, y) != White;
        for (int x = 50; x < 60; ++x)
            secondInk += at(image, x, y) != White;
        for (int x = 25; x < 45; ++x)
            between += at(image, x, y) != White;
    }
    EXPECT_GT(firstInk, 20);
    EXPECT_GT(secondInk, 20);
    EXPECT_EQ(between, 0);
}

// A 4 × 2 picture: red, green, blue, black over white, black, red, green.
QImage sample(bool twoColours)
{
    QImage image(4, 2, QImage::Format_RGB32);
    const QColor top[] = {Red, Green, Blue, Black}, bottom[] = {White, Black, Red, Green};
    for (int x = 0; x < 4; ++x) {
        image.setPixelColor(x, 0, twoColours ? (x % 2 ? White : Black) : top[x]);
        image.setPixelColor(x, 1, twoColours ? (x % 2 ? Black : White) : bottom[x]);
    }
    return image;
}

TEST(WmfReader, StretchDibAtEveryDepth)
{
    for (const int bits : {1, 4, 8, 24, 32}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            const QImage source = sample(bits == 1);
            WmfBuilder b;
            b.window(0, 0, 100, 100);
            // rop, usage, source h w y x, destination h w y x
            b.record(StretchDib, {0x0020, 0x00CC, 0, 2, 4, 0, 0, 40, 80, 10, 10}, makeDib(source, bits, topDown));
            const QImage image = render(b.placeable(100, 100));
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 4; ++x)
                    EXPECT_EQ(at(image, 20 + 20 * x, 20 + 20 * y), source.pixelColor(x, y)) << x << "," << y;
            EXPECT_EQ(at(image, 95, 95), White);
        }
    }
}

TEST(WmfReader, SixteenBitBitmapsBlitsAndWhatItDoesNotDraw)
{
    // Two pixels, red and green, as 5-5-5 (the default) and as 5-6-5 with masks.
    const auto sixteenBits = [](bool bitFields) {
        QByteArray d;
        put32(d, 40), put32(d, 2), put32(d, 1), put16(d, 1), put16(d, 16), put32(d, bitFields ? 3 : 0);
        for (int i = 0; i < 5; ++i)
            put32(d, 0);
        if (bitFields)
            put32(d, 0xF800), put32(d, 0x07E0), put32(d, 0x001F), put16(d, 0xF800), put16(d, 0x07E0);
        else
            put16(d, 0x7C00), put16(d, 0x03E0);
        return WmfBuilder().window(0, 0, 100, 100)
            .record(StretchDib, {0x0020, 0x00CC, 0, 1, 2, 0, 0, 100, 100, 0, 0}, d)
            .placeable(100, 100);
    };
    const QByteArray dib = makeDib(sample(false), 24);
    WmfBuilder blits;
    blits.window(0, 0, 100, 100);
    // DIBStretchBlt: rop, source h w y x, destination h w y x. The source row
    // 1 counted from the bottom of a bottom-up bitmap is the top row.
    blits.record(DibStretchBlt, {0x0020, 0x00CC, 1, 4, 1, 0, 20, 80, 0, 0}, dib);
    // DIBBitBlt: rop, source y x, height, width, destination y x: the
    // bottom-right pixel (green) at (90, 90) unstretched.
    blits.record(DibBitBlt, {0x0020, 0x00CC, 0, 3, 1, 1, 90, 90}, dib);
    // A pattern blit without bitmap: black over (0, 50)-(10, 60).
    blits.record(DibBitBlt, {0x0042, 0x0000, 0, 0, 0, 10, 10, 50, 0});

    WmfBuilder skipped = redFill();
    skipped.record(0x0626, {15, 1, 2, 3}); // an escape
    skipped.record(0x0999, {});            // unknown
    skipped.record(DibBitBlt, {0x0020, 0x00CC, 0, 0, 2, 2, 0, 0}, QByteArray::fromHex("0c000000")); // old core header
    QByteArray wrongChecksum = redFill().rectangle(0, 0, 100, 100).placeable(100, 100);
    wrongChecksum[20] = char(wrongChecksum[20] ^ 0x5A);

    expectScenes({
        {"5-5-5", sixteenBits(false), {{25, 50, Red}, {75, 50, Green}}},
        {"5-6-5 with masks", sixteenBits(true), {{25, 50, Red}, {75, 50, Green}}},
        {"blits", blits.placeable(100, 100), {{10, 10, Red}, {70, 10, Black}, {10, 30, White}, {90, 90, Green}, {5, 55, Black}}},
        {"records it skips", skipped.rectangle(0, 0, 100, 100).placeable(100, 100), {{50, 50, Red}}},
        {"a wrong checksum", wrongChecksum, {{50, 50, Red}}},
    });
}

TEST(WmfReader, FrameAndSize)
{
    const WmfReader twips(WmfBuilder().placeable(1440, 720, 1440), QStringLiteral("a.wmf"));
    EXPECT_TRUE(twips.isPlaceable());
    EXPECT_EQ(twips.size(), QSize(96, 48));
    EXPECT_EQ(twips.frame(), QRect(0, 0, 1440, 720));

    // A plain file has no frame of its own: its window, else what it draws.
    WmfBuilder windowed;
    windowed.window(-50, -50, 200, 100).rectangle(0, 0, 10, 10);
    const WmfReader plain(windowed.plain(), QStringLiteral("b.wmf"));
    EXPECT_FALSE(plain.isPlaceable());
    EXPECT_EQ(plain.frame(), QRect(-50, -50, 200, 100));
    EXPECT_EQ(plain.size(), QSize(200, 100));

    WmfBuilder drawn;
    drawn.rectangle(10, 20, 30, 60).record(Polyline, {2, 5, 5, 6, 6});
    EXPECT_EQ(WmfReader(drawn.plain(), QStringLiteral("c.wmf")).frame(), QRect(5, 5, 25, 55));
}

TEST(WmfReader, DamagedFilesAreErrorsNamingTheFile)
{
    WmfBuilder good = redFill();
    good.rectangle(0, 0, 100, 100);
    const QByteArray whole = good.placeable(100, 100);

    QByteArray zeroSize = whole;
    zeroSize.insert(whole.size() - 6, QByteArray::fromHex("000000000304"));
    QByteArray pastEnd = WmfBuilder().placeable(10, 10, 96, 0, false) + QByteArray::fromHex("ff0000001b04");
    QByteArray badMetaHeader = whole;
    badMetaHeader[PlaceableHeaderBytes + 2] = 10;
    QByteArray noEofShort = WmfBuilder(good).placeable(100, 100, 96, 8, false);
    noEofShort[PlaceableHeaderBytes + 6] = char(quint8(noEofShort[PlaceableHeaderBytes + 6]) + 40);

    QImage huge(1, 1, QImage::Format_RGB32);
    QByteArray bigDib = makeDib(huge, 24);
    bigDib[4] = bigDib[5] = bigDib[6] = char(0xFF), bigDib[7] = 0x00;   // 16 million wide
    QByteArray shortDib = makeDib(sample(false), 24);
    shortDib.chop(8);

    struct Case {
        const char* what;
        QByteArray file;
    };
    const std::vector<Case> cases = {
        {"truncated in a record", whole.left(whole.size() - 10)},
        {"truncated in the header", whole.left(30)},
        {"truncated placeable header", whole.left(12)},
        {"zero-size record", zeroSize},
        {"record past the end", pastEnd},
        {"bad META header", badMetaHeader},
        {"no end record, header says longer", noEofShort},
        {"units per inch 0", WmfBuilder().placeable(100, 100, 0)},
        {"empty frame", WmfBuilder().placeable(0, 100)},
        {"object index past the table", WmfBuilder().select(9).placeable(10, 10, 96, 2)},
        {"deleting past the table", WmfBuilder().remove(40000).placeable(10, 10, 96, 2)},
        {"full object table", WmfBuilder().brush(Red).brush(Red).brush(Red).placeable(10, 10, 96, 2)},
        {"short rectangle", WmfBuilder().record(Rectangle, {1, 2}).placeable(10, 10)},
        {"polygon with more points than data", WmfBuilder().record(Polygon, {500, 1, 2}).placeable(10, 10)},
        {"text longer than its record", WmfBuilder().record(TextOut, {200, 0x4141}).placeable(10, 10)},
        {"huge bitmap", WmfBuilder().record(StretchDib, {0x20, 0xCC, 0, 1, 1, 0, 0, 1, 1, 0, 0}, bigDib).placeable(10, 10)},
        {"bitmap bits past the record", WmfBuilder().record(StretchDib, {0x20, 0xCC, 0, 2, 4, 0, 0, 2, 4, 0, 0}, shortDib).placeable(10, 10)},
        {"deep saves", [] { WmfBuilder b; for (int i = 0; i < 2000; ++i) b.record(SaveDc, {}); return b.placeable(10, 10); }()},
        {"empty data", QByteArray()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            WmfReader reader(c.file, QStringLiteral("Symbol/C.WMF"));
            ADD_FAILURE() << "accepted";
        } catch (const GraphicsError& e) {
            EXPECT_TRUE(e.message().contains(u"„Symbol/C.WMF“")) << e.what();
        }
    }

    // Without an end record but with a header that agrees, the file is whole.
    EXPECT_NO_THROW(WmfReader(WmfBuilder(good).placeable(100, 100, 96, 8, false), QStringLiteral("x")));
}

} // namespace
} // namespace graphics::test
