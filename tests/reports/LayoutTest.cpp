#include <climits>

#include <gtest/gtest.h>

#include <QFile>

#include "fixtures/TempDir.h"
#include "reports/Layout.h"
#include "stream/StreamError.h"
#include "stream/StreamWriter.h"

using reports::Elementart;
using reports::Layout;
using reports::LayoutKind;
using stream::Object;
using stream::Value;

namespace {

Object band(const QString& className, const QString& name, const QString& bandType, int top = 0, int height = 40)
{
    Object b(className, name);
    b.append("BandType", Value::identifier(bandType));
    b.append("Top", Value::integer(top));
    b.append("Height", Value::integer(height));
    return b;
}

Object label(const QString& name, int tag, const QString& caption)
{
    Object l("TQRLabel", name);
    l.append("Tag", Value::integer(tag));
    l.append("Caption", Value::string(caption));
    return l;
}

// A band's own record: the band again, now owning its elements.
Object bandRecord(const QString& name, std::vector<Object> elements)
{
    Object record("TQRBand", name);
    record.children = std::move(elements);
    return record;
}

QString write(const char* fileName, const std::vector<Object>& records)
{
    stream::StreamWriter::writeFile(fileName, records);
    return QString::fromLatin1(fileName);
}

QString loadError(const QString& path, LayoutKind kind)
{
    try {
        Layout::load(path, kind);
    } catch (const stream::StreamError& error) {
        return QString::fromStdString(error.what());
    }
    ADD_FAILURE() << "the load did not fail";
    return {};
}

} // namespace

TEST(LayoutDatei, SheetGivesEachExactlyNamedBandTheNextRecord)
{
    fixtures::TempDir dir;
    Object report("TOwnQuickRep", "Stoffinfo");
    report.append("Font.Name", Value::string("Arial"));
    report.children = {band("TQRBand", "Titel", "rbTitle", 0, 50),
                       band("TOwnBand", "Eigen", "rbDetail"),
                       band("TQRChildBand", "Kind", "rbChild"),
                       band("TQRBand", "Unter", "rbChild", 50, 30)};
    report.children[0].append("Frame.Style", Value::identifier("psDash"));
    Object titleRecord = bandRecord("Titel", {label("Nr", 100, "[chemie.dbf CARN]"), label("Leer", 102, "")});
    titleRecord.append("Height", Value::integer(60)); // the band's own record wins
    const QString path = write("blatt.sto", {report, titleRecord, bandRecord("Unter", {label("Text", 0, "Hallo")})});

    const Layout layout = Layout::load(path, LayoutKind::Sto);
    ASSERT_EQ(layout.components.size(), 4u);
    const auto bands = layout.bands();
    ASSERT_EQ(bands.size(), 2u);
    const reports::LayoutComponent& title = *bands[0];
    EXPECT_EQ(title.name, "Titel");
    EXPECT_EQ(title.height, 60);
    EXPECT_EQ(title.band->frame.style, Qt::DashLine); // kept from the first record
    ASSERT_EQ(title.components.size(), 2u);
    EXPECT_EQ(title.components[0].elementart(), Elementart::eaFeld);
    EXPECT_EQ(title.components[0].font.name, "Arial"); // from the report
    EXPECT_FALSE(title.components[1].elementart().has_value());

    // The subclasses got no record; the second record went to the next TQRBand.
    EXPECT_FALSE(layout.components[1].isBand());
    EXPECT_TRUE(layout.components[1].components.empty());
    EXPECT_TRUE(layout.components[2].components.empty());
    EXPECT_EQ(bands[1]->band->bandType, report::BandType::Child);
    ASSERT_EQ(bands[1]->components.size(), 1u);
    EXPECT_EQ(bands[1]->components[0].caption, "Hallo");
}

TEST(LayoutDatei, ReportWithoutBandsReadsOnlyItsFirstRecord)
{
    fixtures::TempDir dir;
    Object report("TOwnQuickRep", "Bericht");
    report.append("Description.Strings", Value::list({Value::string("lager.dbf"), Value::string("ANZAHL>0")}));
    report.append("Page.Length", Value::extended(2000)); // single names count as well
    const QString path = write("leer.rep", {report, bandRecord("Fremd", {label("X", 0, "nie gelesen")})});

    const Layout layout = Layout::load(path, LayoutKind::Rep);
    EXPECT_TRUE(layout.bands().empty());
    EXPECT_TRUE(layout.allComponents().empty());
    EXPECT_EQ(layout.description, QStringList({"lager.dbf", "ANZAHL>0"}));
    EXPECT_DOUBLE_EQ(layout.page.length, 200.0);
    EXPECT_DOUBLE_EQ(layout.page.width, 210.0);
}

TEST(LayoutDatei, LabelIsOneRecordWithItsElementsAndTheirStoredProperties)
{
    fixtures::TempDir dir;
    const QByteArray bitmap = QByteArray("BM") + QByteArray(60, '\0');
    Object templ("TOwnQuickRep", "Etikett");
    templ.append("Width", Value::integer(300));
    templ.append("Height", Value::integer(200));
    Object memo("TMemo", "Saetze");
    memo.append("Tag", Value::integer(401));
    memo.append("Lines.Strings", Value::list({Value::string("eins"), Value::string("zwei")}));
    memo.append("Font.Height", Value::integer(-16));
    memo.append("Font.Style", Value::set({"fsBold"}));
    Object image("TImage", "Bild");
    image.append("Tag", Value::integer(800));
    image.append("Stretch", Value::boolean(true));
    image.append("Left", Value::integer(5'000'000'000)); // damaged: held at the limit
    image.append("Top", Value::integer(-5'000'000'000));
    image.append("Picture.Data", Value::binary(stream::Picture{"TBitmap", bitmap}.toPictureData()));
    Object plain("TLabel", "Text");
    Object bandObject("TQRBand", "Band"); // a band in a label is not an element class
    templ.children = {memo, image, plain, bandObject};
    const QString path = write("gefahr.eti", {templ});

    const Layout layout = Layout::load(path, LayoutKind::Eti);
    EXPECT_EQ(layout.width, 300);
    EXPECT_EQ(layout.height, 200);
    ASSERT_EQ(layout.components.size(), 4u);
    const auto& m = layout.components[0];
    EXPECT_EQ(m.elementart(), Elementart::eaSaetze);
    EXPECT_EQ(m.lines, QStringList({"eins", "zwei"}));
    EXPECT_TRUE(m.wordWrap); // a memo's default
    EXPECT_TRUE(m.font.bold());
    EXPECT_EQ(reports::toQFont(m.font).pointSizeF(), 12.0);
    const auto& i = layout.components[1];
    EXPECT_EQ(i.elementart(), Elementart::eaBild);
    EXPECT_TRUE(i.stretch);
    EXPECT_EQ(i.left, INT_MAX);
    EXPECT_EQ(i.top, INT_MIN);
    EXPECT_EQ(i.picture.graphicClass, "TBitmap");
    EXPECT_EQ(i.picture.file, bitmap);
    EXPECT_TRUE(layout.components[2].autoSize); // a label's default
    EXPECT_FALSE(layout.components[2].wordWrap);
    EXPECT_TRUE(layout.components[2].isElementClass());
    EXPECT_FALSE(layout.components[3].isElementClass());
    EXPECT_FALSE(layout.components[3].elementart().has_value());
}

TEST(LayoutDatei, FailedLoadsNameFileAndCauseAndLeaveTheHeldLayoutAlone)
{
    fixtures::TempDir dir;
    Object report("TOwnQuickRep", "Stoffinfo");
    report.children = {band("TQRBand", "Kopf", "rbPageHeader"), band("TQRBand", "Fuss", "rbPageFooter")};
    const QString good = write("gut.sto", {report, bandRecord("Kopf", {label("A", 0, "alt")}),
                                           bandRecord("Fuss", {})});
    const Layout held = Layout::load(good, LayoutKind::Sto);

    // One band record missing.
    const QString shortFile = write("kurz.sto", {report, bandRecord("Kopf", {})});
    QString message = loadError(shortFile, LayoutKind::Sto);
    EXPECT_TRUE(message.contains("kurz.sto")) << message.toStdString();
    EXPECT_TRUE(message.contains("Fuss")) << message.toStdString();

    // A class nobody registered, deep inside a band record. The writer does
    // not care about registration; the reader must.
    Object stranger("TQRDBText", "Feld");
    const QString foreign = write("fremd.sto", {report, bandRecord("Kopf", {stranger}), bandRecord("Fuss", {})});
    message = loadError(foreign, LayoutKind::Sto);
    EXPECT_TRUE(message.contains("fremd.sto")) << message.toStdString();
    EXPECT_TRUE(message.contains("TQRDBText")) << message.toStdString();

    // A band type no report knows would print in the wrong place.
    Object odd("TOwnQuickRep", "R");
    odd.children = {band("TQRBand", "Komisch", "rbSideways")};
    message = loadError(write("seltsam.sto", {odd, bandRecord("Komisch", {})}), LayoutKind::Sto);
    EXPECT_TRUE(message.contains("seltsam.sto") && message.contains("Komisch")) << message.toStdString();

    // Missing and damaged files.
    EXPECT_TRUE(loadError("fehlt.sto", LayoutKind::Sto).contains("fehlt.sto"));
    QFile damaged("kaputt.eti");
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(stream::StreamWriter::toBytes(report).left(20));
    damaged.close();
    EXPECT_TRUE(loadError("kaputt.eti", LayoutKind::Eti).contains("kaputt.eti"));

    ASSERT_EQ(held.bands().size(), 2u);
    ASSERT_EQ(held.bands()[0]->components.size(), 1u);
    EXPECT_EQ(held.bands()[0]->components[0].caption, "alt");
}

TEST(Elementart, TagSelectsKindForNAndNPlusOneOnly)
{
    using reports::elementartVon;
    EXPECT_EQ(elementartVon(0), Elementart::eaText);
    EXPECT_EQ(elementartVon(1), Elementart::eaText);
    EXPECT_EQ(elementartVon(101), Elementart::eaFeld);
    EXPECT_EQ(elementartVon(1500), Elementart::eaFeldformel);
    EXPECT_EQ(elementartVon(1501), Elementart::eaFeldformel);
    for (const std::int64_t other : std::initializer_list<std::int64_t>{-1, 2, 102, 150, 1502, 1600, INT64_MIN, INT64_MIN + 1, INT64_MAX})
        EXPECT_FALSE(elementartVon(other).has_value()) << other;
}

TEST(Elementart, SystemDataCaptionsTakeTheirSecondCharacter)
{
    using reports::systemdatenArt;
    EXPECT_EQ(systemdatenArt("x3"), report::SystemDataKind::PageNumber);
    EXPECT_EQ(systemdatenArt("93 Seite"), report::SystemDataKind::PageNumber);
    EXPECT_EQ(systemdatenArt("00"), report::SystemDataKind::Time);
    EXPECT_EQ(systemdatenArt("#6"), report::SystemDataKind::DetailNumber);
    for (const char* bad : {"", "3", "x7", "xx", "x-1", "x\u0663"})
        EXPECT_FALSE(systemdatenArt(QString::fromUtf8(bad)).has_value()) << bad;
}

// Files written by Free Pascal's component streaming, not by our writer.
TEST(LayoutDatei, ReadsSheetAndLabelWrittenByAnIndependentWriter)
{
    const auto data = [](const char* name) {
        return QString::fromStdString((fixtures::testDataDir() / "stream" / name).string());
    };
    const Layout sheet = Layout::load(data("sheet.sto"), LayoutKind::Sto);
    EXPECT_DOUBLE_EQ(sheet.page.bottomMargin, 15.0);
    EXPECT_DOUBLE_EQ(sheet.page.topMargin, 6.0);
    EXPECT_EQ(sheet.font.name, "Arial");
    const auto bands = sheet.bands();
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0]->name, "Kopf");
    EXPECT_EQ(bands[0]->band->bandType, report::BandType::Title);
    EXPECT_TRUE(bands[0]->band->frame.bottom);
    ASSERT_EQ(bands[0]->components.size(), 2u);
    const auto& title = bands[0]->components[0];
    EXPECT_EQ(title.caption, "Stoffinformation");
    EXPECT_EQ(title.font.name, "Times New Roman");
    EXPECT_EQ(reports::toQColor(title.font), QColor(0, 0, 128));
    EXPECT_TRUE(title.font.underline());
    EXPECT_EQ(bands[0]->components[1].elementart(), Elementart::eaFeld);
    EXPECT_EQ(bands[0]->components[1].font.name, "Arial"); // the report's, through the band

    EXPECT_EQ(bands[1]->name, "Daten");
    EXPECT_EQ(bands[1]->band->bandType, report::BandType::Detail);
    ASSERT_EQ(bands[1]->components.size(), 3u);
    EXPECT_EQ(bands[1]->components[0].lines, QStringList({"R-Saetze", "S-Saetze"}));
    EXPECT_EQ(bands[1]->components[1].hint, "[chemie.dbf GEFAHR1]");
    EXPECT_TRUE(bands[1]->components[1].stretch);
    const auto& rule = bands[1]->components[2];
    EXPECT_EQ(rule.shape, report::ShapeKind::HorLine);
    EXPECT_EQ(rule.pen.width, 2);
    EXPECT_EQ(rule.brush.color, QColor(192, 192, 192));
    EXPECT_TRUE(sheet.components[1].components.empty()); // the TOwnBand between them

    const Layout label = Layout::load(data("label.eti"), LayoutKind::Eti);
    EXPECT_EQ(label.width, 378);
    EXPECT_EQ(label.page.orientation, report::Orientation::Landscape);
    ASSERT_EQ(label.components.size(), 3u);
    EXPECT_EQ(label.components[1].picture.graphicClass, "TBitmap");
    EXPECT_FALSE(label.components[1].picture.toImage().isNull());
    EXPECT_EQ(label.components[2].elementart(), Elementart::eaForm);
}
