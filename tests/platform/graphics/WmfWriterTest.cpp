#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include "WmfBuilder.h"
#include "fixtures/Errors.h"
#include "fixtures/TempDir.h"
#include "codepage/CodePage.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfReader.h"
#include "graphics/WmfWriter.h"

namespace graphics::test {
namespace {

using namespace wmf;

const QColor Red(255, 0, 0), Green(0, 255, 0), Blue(0, 0, 255), White(255, 255, 255), Black(0, 0, 0);

QImage quadrants()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, Red);
    image.setPixelColor(1, 0, Green);
    image.setPixelColor(0, 1, Blue);
    image.setPixelColor(1, 1, QColor(0, 0, 0, 0)); // transparent: white in the file
    return image;
}

QFont labelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    return font;
}

// What the label export draws, in one picture of 300 × 100 pixels.
void drawScene(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(Red);
    painter.drawRect(QRectF(10, 10, 60, 40));
    painter.setBrush(Blue);
    painter.drawEllipse(QRectF(90, 10, 60, 60));
    painter.setBrush(Green);
    painter.drawPolygon(QPolygonF({QPointF(170, 10), QPointF(230, 10), QPointF(230, 70)}));
    painter.drawImage(QRectF(250, 10, 40, 40), quadrants());
    painter.setPen(QPen(Black, 3));
    painter.drawLine(QPointF(10, 90), QPointF(290, 90));
    painter.setFont(labelFont());
    painter.drawText(QPointF(10, 75), QStringLiteral("Säure €"));
}

QByteArray writeScene()
{
    WmfWriter writer(QSize(300, 100));
    QPainter painter(&writer);
    drawScene(painter);
    painter.end();
    return writer.data();
}

TEST(WmfWriter, PlaysBackWhatWasDrawn)
{
    const QImage image = render(writeScene(), QSize(300, 100));
    // (95, 15) is outside the ellipse but inside its box; from (260, 20) on the picture's quadrants.
    expectPixels(image, {{40, 30, Red}, {75, 30, White}, {120, 40, Blue}, {95, 15, White}, {220, 20, Green},
                         {180, 60, White}, {260, 20, Red}, {280, 20, Green}, {260, 40, Blue}, {280, 40, White},
                         {150, 90, Black}, {150, 95, White}});

    // The text lands where Qt itself puts it.
    QImage direct(300, 100, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter painter(&direct);
        painter.setFont(labelFont());
        painter.drawText(QPointF(10, 75), QStringLiteral("Säure €"));
    }
    const int width = int(QFontMetricsF(labelFont()).horizontalAdvance(QStringLiteral("Säure €")));
    const QRect line(10, 60, width, 20);
    EXPECT_GT(inkIn(image, line), 40);
    EXPECT_NEAR(inkIn(image, line), inkIn(direct, line), inkIn(direct, line) / 5);
    EXPECT_EQ(inkIn(image, QRect(width + 12, 72, 40, 8)), 0);

    // At twice the size the metafile is drawn afresh, not enlarged.
    expectPixels(render(writeScene(), QSize(600, 200)), {{80, 60, Red}, {240, 80, Blue}}, "twice the size");
}

TEST(WmfWriter, HeaderAndObjectTableAreConsistent)
{
    const QByteArray file = writeScene();
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.constData());
    ASSERT_GT(file.size(), PlaceableHeaderBytes + 18);
    EXPECT_EQ(dword(file, 0), PlaceableKey);
    EXPECT_EQ(word(file, 20), placeableChecksum(bytes));
    EXPECT_EQ(word(file, 10), 300 * 15);   // right
    EXPECT_EQ(word(file, 12), 100 * 15);   // bottom
    EXPECT_EQ(word(file, 14), 1440);       // units per inch

    const qsizetype meta = PlaceableHeaderBytes;
    EXPECT_EQ(word(file, meta), 1);
    EXPECT_EQ(word(file, meta + 2), 9);
    EXPECT_EQ(word(file, meta + 4), 0x0300);
    EXPECT_EQ(qsizetype(dword(file, meta + 6)) * 2, file.size() - meta);
    const int tableSize = word(file, meta + 10);

    // Walk the records as a player does: every object goes into the lowest
    // free slot, every select and delete names a live one.
    const auto records = storedRecords(file);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().function, Eof);
    quint32 largest = 0;
    std::vector<bool> live(std::size_t(tableSize), false);
    int created = 0;
    for (const auto& r : records) {
        largest = std::max<quint32>(largest, quint32(3 + r.params.size() / 2));
        if (r.function == CreatePenIndirect || r.function == CreateBrushIndirect || r.function == CreateFontIndirect) {
            auto free = std::find(live.begin(), live.end(), false);
            ASSERT_NE(free, live.end()) << "object table too small";
            *free = true;
            ++created;
        } else if (r.function == SelectObject || r.function == DeleteObject) {
            ASSERT_LT(r.param(0), tableSize);
            ASSERT_TRUE(live[std::size_t(r.param(0))]) << "slot " << r.param(0) << " is empty";
            if (r.function == DeleteObject)
                live[std::size_t(r.param(0))] = false;
        }
    }
    EXPECT_EQ(dword(file, meta + 12), largest);
    EXPECT_GE(created, 5);
    EXPECT_EQ(std::count(live.begin(), live.end(), true), 0) << "objects left behind";
}

TEST(WmfWriter, RecordsPenBrushFontAndText)
{
    WmfWriter writer(QSize(100, 100));
    {
        QPainter painter(&writer);
        painter.setPen(QPen(Blue, 2, Qt::DashLine));
        painter.setBrush(QBrush(Green, Qt::CrossPattern));
        painter.drawRect(10, 10, 20, 20);
        QFont font(QStringLiteral("DejaVu Serif"));
        font.setPixelSize(20);
        font.setBold(true);
        font.setItalic(true);
        font.setUnderline(true);
        painter.setFont(font);
        painter.drawText(QPointF(5, 80), QStringLiteral("Öl€Ł"));
        painter.rotate(-90);
        painter.drawText(QPointF(-90, 95), QStringLiteral("x"));
    }
    const auto records = storedRecords(writer.data());
    const auto find = [&](quint16 function, int nth = 0) {
        for (const auto& r : records)
            if (r.function == function && nth-- == 0)
                return r;
        ADD_FAILURE() << "no record " << function;
        return StoredRecord{};
    };
    const StoredRecord pen = find(CreatePenIndirect);
    EXPECT_EQ(pen.param(0), PsDash);
    EXPECT_EQ(pen.param(1), 2 * 15);
    EXPECT_EQ(pen.param(3), 0);            // red, green
    EXPECT_EQ(pen.param(4), 255);          // blue
    const StoredRecord brush = find(CreateBrushIndirect);
    EXPECT_EQ(brush.param(0), BsHatched);
    EXPECT_EQ(quint16(brush.param(1)), 0xFF00);
    EXPECT_EQ(brush.param(3), HsCross);

    const StoredRecord font = find(CreateFontIndirect);
    EXPECT_EQ(font.param(0), -20 * 15);
    EXPECT_EQ(font.param(4), 700);
    EXPECT_EQ(font.param(5), 0x0101);      // italic, underline
    EXPECT_EQ(font.params.mid(18).left(12), QByteArray("DejaVu Serif"));
    EXPECT_EQ(find(CreateFontIndirect, 1).param(2), 900);   // the turned text's escapement

    const StoredRecord text = find(ExtTextOut);
    EXPECT_EQ(text.param(0), 80 * 15);
    EXPECT_EQ(text.param(1), 5 * 15);
    ASSERT_EQ(text.param(2), 4);
    EXPECT_EQ(text.params.mid(8, 4), QByteArray("\xD6l\x80?"));
    int advance = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(text.param(6 + i), 0);
        advance += text.param(6 + i);
    }
    QFont measured(QStringLiteral("DejaVu Serif"));
    measured.setPixelSize(20);
    measured.setBold(true);
    measured.setItalic(true);
    EXPECT_NEAR(advance, QFontMetricsF(measured).horizontalAdvance(QStringLiteral("Öl€Ł")) * 15, 15);
}

TEST(WmfWriter, ClippingTurnedShapesAndPaths)
{
    WmfWriter writer(QSize(100, 100));
    {
        QPainter painter(&writer);
        painter.setClipRect(0, 0, 50, 50);
        painter.fillRect(0, 0, 100, 100, Red);
        painter.setClipping(false);
        painter.fillRect(60, 60, 10, 10, Blue);
        painter.save();
        painter.translate(80, 20);
        painter.rotate(45);
        painter.fillRect(QRectF(-5, -5, 10, 10), Green);
        painter.restore();
        QPainterPath open;
        open.moveTo(10, 80);
        open.lineTo(40, 80);
        open.lineTo(40, 95);
        painter.setPen(QPen(Black, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(open);
    }
    const QByteArray file = writer.data();
    const QImage image = render(file, QSize(100, 100));
    // (80, 13) is the turned square's top corner, (74, 14) a corner of the
    // unturned one; (25, 90) is inside the open path, which stays open.
    expectPixels(image, {{25, 25, Red}, {75, 75, White}, {65, 65, Blue}, {80, 13, Green}, {74, 14, White},
                         {25, 80, Black}, {25, 90, White}});

    const auto records = storedRecords(file);
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) { return r.function == IntersectClipRect; }));
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const auto& r) { return r.function == Polygon; }));
}

// A pictogram stored as a metafile goes into the label's metafile as shapes
// and text, not as a bitmap.
TEST(WmfWriter, MetafilePicturesStayVectors)
{
    WmfBuilder pictogram;
    pictogram.window(0, 0, 100, 100).brush(Red).select(0).pen(PsNull, 0, Black).select(1);
    pictogram.rectangle(0, 0, 50, 100);
    pictogram.record(CreateFontIndirect, {-40, 0, 0, 0, 400, 0, 0, 0, 0}, QByteArray("DejaVu Sans\0", 12));
    pictogram.select(2).record(SetBkMode, {Transparent}).record(TextOut, {1, 0x58, 80, 60});  // "X" at (60, 80)
    const WmfReader reader(pictogram.placeable(100, 100), QStringLiteral("Symbol/C.WMF"));

    WmfWriter writer(QSize(200, 100));
    {
        QPainter painter(&writer);
        reader.play(painter, QRectF(100, 0, 100, 50));
    }
    const QByteArray file = writer.data();
    const auto records = storedRecords(file);
    const auto count = [&](quint16 function) {
        return std::count_if(records.begin(), records.end(), [&](const auto& r) { return r.function == function; });
    };
    EXPECT_EQ(count(Rectangle), 1);
    EXPECT_EQ(count(ExtTextOut), 1);
    EXPECT_EQ(count(StretchDib), 0);
    const auto text = std::find_if(records.begin(), records.end(), [](const auto& r) { return r.function == CreateFontIndirect; });
    ASSERT_NE(text, records.end());
    EXPECT_NEAR(text->param(0), -20 * 15, 15);   // 40 units of a window drawn at half its height

    const QImage image = render(file, QSize(200, 100));
    expectPixels(image, {{120, 25, Red}, {90, 25, White}, {160, 5, White}});
    EXPECT_GT(inkIn(image, QRect(158, 40, 30, 22)), 10);   // the "X", its cell's top at 40
    EXPECT_EQ(image.pixelColor(185, 60), White);           // no background behind it
}

TEST(WmfWriter, UnitsFitTheSixteenBitCoordinates)
{
    EXPECT_EQ(WmfWriter(QSize(300, 100)).unitsPerInch(), 1440);
    EXPECT_EQ(WmfWriter(QSize(2184, 10)).unitsPerInch(), 1440);
    EXPECT_EQ(WmfWriter(QSize(10, 3000)).unitsPerInch(), 960);
    EXPECT_EQ(WmfWriter(QSize(32767, 1)).unitsPerInch(), 96);
    EXPECT_THROW(WmfWriter(QSize(32768, 1)), GraphicsError);
    EXPECT_THROW(WmfWriter(QSize(0, 10)), GraphicsError);

    // The frame is the device in pixels at 96 dpi.
    WmfWriter writer(QSize(3000, 50));
    EXPECT_EQ(WmfReader(writer.data(), QStringLiteral("x")).size(), QSize(3000, 50));
}

TEST(WmfWriter, SaveWritesTheFileOrSaysWhyNot)
{
    fixtures::TempDir dir;
    WmfWriter writer(QSize(40, 20));
    {
        QPainter painter(&writer);
        painter.fillRect(0, 0, 20, 20, Red);
    }
    const QString path = QString::fromStdString(dir.file("Etikett.wmf").string());
    writer.save(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), writer.data());

    const QString nowhere = QString::fromStdString(dir.file("fehlt/Etikett.wmf").string());
    EXPECT_TRUE(fixtures::errorOf<GraphicsError>([&] { writer.save(nowhere); }).contains(nowhere));
}

// libwmf, an independent reader, turns our file into SVG; the shapes and the
// text come out where and as we drew them.
TEST(WmfWriter, LibwmfReadsOurFile)
{
    const QString wmf2svg = QStandardPaths::findExecutable(QStringLiteral("wmf2svg"));
    if (wmf2svg.isEmpty())
        GTEST_SKIP() << "wmf2svg (Debian libwmf-bin) is not installed";
    fixtures::TempDir dir;
    const QString in = QString::fromStdString(dir.file("label.wmf").string());
    const QString out = QString::fromStdString(dir.file("label.svg").string());
    WmfWriter writer(QSize(300, 100));
    {
        QPainter painter(&writer);
        drawScene(painter);
    }
    writer.save(in);

    QProcess process;
    process.start(wmf2svg, {QStringLiteral("-o"), out, in});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QByteArray errors = process.readAllStandardError();
    ASSERT_EQ(process.exitCode(), 0) << errors.constData();
    EXPECT_FALSE(errors.contains("ERROR")) << errors.constData();

    QFile svg(out);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    // libwmf copies the text's bytes as they are into its SVG, whatever
    // encoding the SVG declares.
    const QByteArray svgBytes = svg.readAll();
    QXmlStreamReader xml(codepage::CodePage::windows1252().decode(svgBytes));
    xml.setNamespaceProcessing(false); // its image elements use an undeclared xlink prefix
    QString text;
    std::optional<double> rectX, ellipseX;
    int polygons = 0, images = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        const auto attributes = xml.attributes();
        if (name == u"rect" && !rectX)
            rectX = attributes.value(QLatin1String("x")).toDouble();
        else if (name == u"ellipse")
            ellipseX = attributes.value(QLatin1String("cx")).toDouble();
        else if (name == u"polygon" || name == u"path" || name == u"polyline")
            ++polygons;
        else if (name == u"image")
            ++images;
        else if (name == u"text")
            text += xml.readElementText(); // one element per character: we give advances
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(text, QStringLiteral("Säure €"));
    ASSERT_TRUE(rectX && ellipseX);
    EXPECT_LT(*rectX, *ellipseX);
    EXPECT_GE(polygons, 1);
    EXPECT_EQ(images, 1);
}

} // namespace
} // namespace graphics::test
