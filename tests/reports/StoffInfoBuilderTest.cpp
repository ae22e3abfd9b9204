#include <algorithm>

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "ReportsTestSupport.h"
#include "fixtures/Images.h"
#include "fixtures/TempDir.h"
#include "graphics/WmfWriter.h"
#include "report/PageBuilder.h"
#include "report/Units.h"
#include "reports/StoffInfoBuilder.h"
#include "stream/StreamWriter.h"

using report::BandType;
using report::pixelsToMm;
using report::TextRun;
using reports::Elementart;
using reports::Layout;
using reports::LayoutComponent;
using reports::StoffInfoBuilder;

namespace {

LayoutComponent element(int tag, const QString& caption = {}, QRect geometry = {0, 0, 40, 20})
{
    LayoutComponent k;
    k.className = QStringLiteral("TQRLabel");
    k.name = QStringLiteral("E%1").arg(tag);
    k.tag = tag;
    k.caption = caption;
    k.left = geometry.left();
    k.top = geometry.top();
    k.width = geometry.width();
    k.height = geometry.height();
    return k;
}

LayoutComponent band(BandType type, int top, int height, std::vector<LayoutComponent> elements = {})
{
    LayoutComponent b;
    b.className = QStringLiteral("TQRBand");
    b.top = top;
    b.height = height;
    b.band = reports::LayoutBand{};
    b.band->bandType = type;
    b.components = std::move(elements);
    return b;
}

Layout layout(std::vector<LayoutComponent> components)
{
    Layout l;
    l.components = std::move(components);
    return l;
}

QString beschriftung(const reports::Laufobjekt& objekt)
{
    const auto* label = objekt.als<report::Label>();
    return label ? label->caption : QString();
}

class StoffInfoBuilderTest : public ::testing::Test {
protected:
    StoffInfoBuilderTest()
    {
        reportstest::makeTable(formeln, "formeln.dbf",
                               {reportstest::text("CARN", 12),
                                {.name = "FORMEL", .type = dbase::FieldType::Binary, .length = 10}},
                               {{"64-17-5"}, {"67-64-1"}});
        formeln.last();
        formeln.edit();
        formeln.field(1).setAsBytes(fixtures::encodedImage(fixtures::filledImage(40, 20, Qt::blue), "PNG"));
        formeln.post();
        t.substanz("67-64-1", "2");
    }

    const std::vector<reports::Laufobjekt>& bauen(const Layout& l)
    {
        builder.SetStoffinfoData(l, report);
        return builder.ElementListe();
    }

    fixtures::TempDir dir;
    reportstest::Tabellen t;
    dbase::Table formeln;
    StoffInfoBuilder builder{t.satz(), &formeln};
    report::Report report;
};

} // namespace

TEST_F(StoffInfoBuilderTest, EveryKindBuildsItsRunElementWithItsProperties)
{
    LayoutComponent text = element(0, "Stoffinfo", {96, 48, 192, 24});
    text.autoSize = true; // a text keeps the layout's size all the same
    text.wordWrap = true;
    text.font.name = "Arial";
    text.font.height = -16; // 12 pt
    text.font.style = {"fsBold"};
    text.font.colour = stream::Colour::fromRgb(200, 0, 0);
    LayoutComponent feld = element(101, "[chemie.dbf NAME1]");
    LayoutComponent symbol = element(200);
    symbol.hint = "[chemie.dbf GEFSYM2]";
    LayoutComponent form = element(300);
    form.shape = report::ShapeKind::Ellipse;
    form.pen = {Qt::green, Qt::DashLine, 3};
    form.brush = {Qt::yellow, Qt::CrossPattern};
    LayoutComponent saetze = element(400);
    saetze.lines = QStringList{"aus dem Entwurf"};
    saetze.wordWrap = true;
    LayoutComponent bild = element(801);
    bild.picture = {"TPngImage", fixtures::encodedImage(fixtures::filledImage(12, 6, Qt::red), "PNG")};
    bild.autoSize = true;
    LayoutComponent system = element(900, "#3");
    system.autoSize = true;
    LayoutComponent vorlage = element(1000);
    vorlage.lines = QStringList{"Nr. [chemie.dbf,CARN]", "Ende"};
    LayoutComponent krebs = element(1401);
    krebs.hint = "Krebs";

    const auto& liste = bauen(layout({band(BandType::Detail, 0, 200,
                                           {text, feld, symbol, form, saetze, element(500),
                                            element(600, "{chemie.dbf,CARN='1',ja}"), element(700), bild,
                                            system, vorlage, element(1100), element(1200), element(1300),
                                            krebs, element(1501, "=[chemie.dbf FORMEL]|")})}));

    ASSERT_EQ(liste.size(), 17u);
    ASSERT_EQ(report.bands().size(), 1u);
    const report::Band& detail = *report.bands()[0];
    EXPECT_TRUE(liste[0].istBand());
    EXPECT_EQ(liste[0].band, &detail);
    EXPECT_EQ(detail.elements().size(), 16u);
    for (std::size_t i = 1; i < liste.size(); ++i) {
        EXPECT_EQ(liste[i].band, &detail);
        EXPECT_EQ(liste[i].element, detail.elements()[i - 1].get());
    }
    const std::vector<int> tags = {0, 101, 200, 300, 400, 500, 600, 700, 801, 900, 1000, 1100, 1200, 1300, 1401, 1501};
    for (std::size_t i = 0; i < tags.size(); ++i) {
        EXPECT_EQ(liste[i + 1].element->tag, tags[i]);
        EXPECT_EQ(liste[i + 1].art, reports::elementartVon(tags[i]));
    }

    const auto* label = liste[1].als<report::Label>();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->caption, "Stoffinfo");
    EXPECT_FALSE(label->autoSize);
    EXPECT_TRUE(label->wordWrap);
    EXPECT_EQ(label->font.family(), "Arial");
    EXPECT_DOUBLE_EQ(label->font.pointSizeF(), 12.0);
    EXPECT_TRUE(label->font.bold());
    EXPECT_EQ(label->color, QColor(200, 0, 0));
    // Pixels of the designer at 96 dpi, relative to the band.
    EXPECT_EQ(label->rect, QRectF(25.4, 12.7, 50.8, 6.35));

    const auto* daten = liste[2].als<report::DataText>();
    ASSERT_TRUE(daten);
    EXPECT_TRUE(daten->autoSize);
    EXPECT_EQ(daten->value(), "Aceton");
    // Read when printed, from the record the table then stands on.
    t.substanz("64-17-5", "1");
    EXPECT_EQ(daten->value(), "Ethanol");

    for (const std::size_t i : {3u, 12u, 13u, 14u, 15u}) {
        const auto* bildElement = liste[i].als<report::Image>();
        ASSERT_TRUE(bildElement) << i;
        EXPECT_TRUE(bildElement->stretch);
        EXPECT_TRUE(bildElement->picture.isNull());
    }
    EXPECT_EQ(liste[3].element->hint, "[chemie.dbf GEFSYM2]");
    EXPECT_EQ(liste[15].element->hint, "Krebs");

    const auto* formElement = liste[4].als<report::Shape>();
    ASSERT_TRUE(formElement);
    EXPECT_EQ(formElement->shape, report::ShapeKind::Ellipse);
    EXPECT_EQ(formElement->penColor, QColor(Qt::green));
    EXPECT_EQ(formElement->penStyle, Qt::DashLine);
    EXPECT_DOUBLE_EQ(formElement->penWidth, pixelsToMm(3));
    EXPECT_EQ(formElement->brushColor, QColor(Qt::yellow));
    EXPECT_EQ(formElement->brushStyle, Qt::CrossPattern);

    const auto* saetzeMemo = liste[5].als<report::Memo>();
    ASSERT_TRUE(saetzeMemo);
    EXPECT_TRUE(saetzeMemo->lines.isEmpty());
    EXPECT_FALSE(saetzeMemo->autoSize);
    EXPECT_FALSE(saetzeMemo->autoStretch);
    EXPECT_TRUE(saetzeMemo->wordWrap);

    const auto* struktur = liste[6].als<report::DataImage>();
    ASSERT_TRUE(struktur);
    EXPECT_TRUE(struktur->stretch);
    EXPECT_EQ(struktur->value().size(), QSize(40, 20)); // the record formeln.dbf stands on
    formeln.first();
    EXPECT_TRUE(struktur->value().isNull()); // a record without a picture

    // The conditional text is expanded by the fill, not here.
    EXPECT_EQ(beschriftung(liste[7]), "{chemie.dbf,CARN='1',ja}");

    const auto* summenformel = liste[8].als<report::RichText>();
    ASSERT_TRUE(summenformel);
    EXPECT_TRUE(summenformel->runs.empty());

    const auto* bildElement = liste[9].als<report::Image>();
    ASSERT_TRUE(bildElement);
    EXPECT_FALSE(bildElement->stretch);
    EXPECT_TRUE(bildElement->autoSize);
    EXPECT_EQ(bildElement->picture.size(), QSize(12, 6));
    EXPECT_EQ(bildElement->picture.pixelColor(0, 0), QColor(Qt::red));

    const auto* systemdaten = liste[10].als<report::SystemData>();
    ASSERT_TRUE(systemdaten);
    EXPECT_EQ(systemdaten->data, report::SystemDataKind::PageNumber);
    EXPECT_TRUE(systemdaten->autoSize);

    const auto* vorlagenMemo = liste[11].als<report::Memo>();
    ASSERT_TRUE(vorlagenMemo);
    EXPECT_EQ(vorlagenMemo->lines, vorlage.lines);
    EXPECT_TRUE(vorlagenMemo->autoSize);
    EXPECT_TRUE(vorlagenMemo->autoStretch);

    const auto* feldformel = liste[16].als<report::RichText>();
    ASSERT_TRUE(feldformel);
    EXPECT_EQ(feldformel->hint, "[chemie.dbf FORMEL]|");

    const auto& formeln = builder.RichEditListe();
    ASSERT_EQ(formeln.size(), 2u);
    EXPECT_EQ(formeln[0].richText, summenformel);
    EXPECT_EQ(formeln[0].art, Elementart::eaSummenformel);
    EXPECT_EQ(formeln[0].elementNummer, 8);
    EXPECT_EQ(formeln[1].richText, feldformel);
    EXPECT_EQ(formeln[1].art, Elementart::eaFeldformel);
    EXPECT_EQ(formeln[1].elementNummer, 16);
}

TEST_F(StoffInfoBuilderTest, FieldTextsNamingNoTableStayEmpty)
{
    const auto& liste = bauen(layout({band(BandType::Detail, 0, 100,
                                           {element(100, "[NAMEN.DBF NAME1]"), element(100, "[formeln.dbf CARN]"),
                                            element(100, "[ NAME1]"), element(100, "[C:\\daten\\chemie.dbf NAME1]"),
                                            element(100, "[lager.dbf LAGER_ORT]")})}));
    ASSERT_EQ(liste.size(), 6u);
    auto wert = [&](std::size_t i) { return liste[i].als<report::DataText>()->value(); };
    EXPECT_EQ(wert(1), "Ethanol");
    // formeln.dbf stands on a record with a CARN, but references cannot name it.
    EXPECT_EQ(wert(2), "");
    EXPECT_EQ(wert(3), "");
    EXPECT_EQ(wert(4), "");
    EXPECT_EQ(wert(5), "Schrank 1");
}

TEST_F(StoffInfoBuilderTest, TagsOutsideEveryKindBuildNothingButWhatTheyOwnIsBuilt)
{
    LayoutComponent fremd = element(102, "", {96, 10, 50, 50});
    fremd.components = {element(1, "innen", {10, 5, 20, 10})};
    LayoutComponent amBericht = element(0, "ohne Band");
    amBericht.className = "TOwnBand"; // not exactly a band: an element outside every band
    const auto& liste = bauen(layout({amBericht,
                                      band(BandType::Title, 0, 100,
                                           {fremd, element(150, "x"), element(-1, "y"), element(1502, "z"),
                                            element(0, "danach")})}));

    ASSERT_EQ(liste.size(), 3u);
    EXPECT_TRUE(liste[0].istBand());
    EXPECT_EQ(beschriftung(liste[1]), "innen");
    EXPECT_EQ(beschriftung(liste[2]), "danach");
    // Placed on the band where its owner put it.
    EXPECT_DOUBLE_EQ(liste[1].element->rect.left(), pixelsToMm(106));
    EXPECT_DOUBLE_EQ(liste[1].element->rect.top(), pixelsToMm(15));
    EXPECT_EQ(report.bands()[0]->elements().size(), 2u);
}

TEST_F(StoffInfoBuilderTest, SystemDataCaptionWithoutADigitBuildsNothingAndTheBuildGoesOn)
{
    const auto& liste = bauen(layout({band(BandType::PageFooter, 0, 30,
                                           {element(900, "Xa"), element(901, "X7"), element(900, "3"),
                                            element(900, ""), element(900, "a3"), element(901, "Q0 und mehr"),
                                            element(0, "Ende")})}));
    ASSERT_EQ(liste.size(), 4u);
    ASSERT_TRUE(liste[1].als<report::SystemData>());
    EXPECT_EQ(liste[1].als<report::SystemData>()->data, report::SystemDataKind::PageNumber);
    ASSERT_TRUE(liste[2].als<report::SystemData>());
    EXPECT_EQ(liste[2].als<report::SystemData>()->data, report::SystemDataKind::Time);
    EXPECT_EQ(liste[2].element->tag, 901);
    EXPECT_EQ(beschriftung(liste[3]), "Ende");
}

TEST_F(StoffInfoBuilderTest, BandsCopyTypeHeightAndFrame)
{
    LayoutComponent titel = band(BandType::Title, 0, 40);
    titel.band->sizeLength = 12.5; // the designer's size wins over the pixel height
    titel.band->frame = {Qt::red, true, false, true, false, Qt::DotLine, 2};
    const auto& liste = bauen(layout({titel, band(BandType::Summary, 40, 96), band(BandType::Summary, 136, 10)}));

    ASSERT_EQ(liste.size(), 3u);
    ASSERT_EQ(report.bands().size(), 3u);
    const report::Band& a = *report.bands()[0];
    EXPECT_EQ(a.type, BandType::Title);
    EXPECT_DOUBLE_EQ(a.height, 12.5);
    EXPECT_EQ(a.frame.color, QColor(Qt::red));
    EXPECT_TRUE(a.frame.top);
    EXPECT_FALSE(a.frame.bottom);
    EXPECT_TRUE(a.frame.left);
    EXPECT_FALSE(a.frame.right);
    EXPECT_EQ(a.frame.style, Qt::DotLine);
    EXPECT_DOUBLE_EQ(a.frame.width, pixelsToMm(2));
    // Two bands of one type are both built.
    EXPECT_EQ(report.bands()[1]->type, BandType::Summary);
    EXPECT_DOUBLE_EQ(report.bands()[1]->height, 25.4);
    EXPECT_EQ(report.bands()[2]->type, BandType::Summary);
    EXPECT_FALSE(a.hasChild());
}

TEST_F(StoffInfoBuilderTest, ChildBandsHangFromTheBandWhoseLowerEdgeIsTheirUpperEdge)
{
    const auto& liste =
        bauen(layout({band(BandType::Title, 0, 40, {element(0, "Titel")}),
                      band(BandType::Child, 40, 20, {element(0, "unter Titel")}),
                      band(BandType::Detail, 60, 30),
                      band(BandType::Child, 90, 10, {element(0, "unter Detail")}),
                      band(BandType::Child, 100, 15, {element(0, "darunter")}),
                      band(BandType::Child, 500, 15, {element(0, "verloren")}),
                      band(BandType::Summary, 60, 30)}));

    ASSERT_EQ(report.bands().size(), 3u); // child bands belong to their band, not to the report
    report::Band& titel = *report.bands()[0];
    report::Band& detail = *report.bands()[1];
    ASSERT_TRUE(titel.hasChild());
    EXPECT_DOUBLE_EQ(titel.child()->height, pixelsToMm(20));
    EXPECT_FALSE(titel.child()->hasChild());
    ASSERT_TRUE(detail.hasChild());
    ASSERT_TRUE(detail.child()->hasChild()); // stacked child bands form a chain
    EXPECT_DOUBLE_EQ(detail.child()->child()->height, pixelsToMm(15));

    std::vector<std::pair<const report::Band*, QString>> erwartet = {
        {&titel, ""},           {&titel, "Titel"},           {titel.child(), ""}, {titel.child(), "unter Titel"},
        {&detail, ""},          {detail.child(), ""},        {detail.child(), "unter Detail"},
        {detail.child()->child(), ""}, {detail.child()->child(), "darunter"}, {report.bands()[2].get(), ""}};
    ASSERT_EQ(liste.size(), erwartet.size());
    for (std::size_t i = 0; i < liste.size(); ++i) {
        EXPECT_EQ(liste[i].band, erwartet[i].first) << i;
        EXPECT_EQ(beschriftung(liste[i]), erwartet[i].second) << i;
        EXPECT_EQ(liste[i].istBand(), erwartet[i].second.isEmpty()) << i;
    }
    EXPECT_EQ(titel.child()->elements().size(), 1u);
}

TEST_F(StoffInfoBuilderTest, AChildBandBelowTwoBandsIsGivenToBoth)
{
    const auto& liste = bauen(layout({band(BandType::PageHeader, 0, 40), band(BandType::Title, 0, 40),
                                      band(BandType::Child, 40, 25, {element(0, "Kind")})}));
    ASSERT_EQ(report.bands().size(), 2u);
    const report::Band* kopfKind = report.bands()[0]->child();
    const report::Band* titelKind = report.bands()[1]->child();
    ASSERT_TRUE(kopfKind);
    ASSERT_TRUE(titelKind);
    EXPECT_DOUBLE_EQ(kopfKind->height, pixelsToMm(25));
    ASSERT_EQ(liste.size(), 5u);
    EXPECT_EQ(liste[2].band, kopfKind);
    EXPECT_EQ(liste[3].band, titelKind);
    // The elements go on the last band the child was given to.
    EXPECT_EQ(liste[4].band, titelKind);
    EXPECT_TRUE(kopfKind->elements().empty());
}

TEST_F(StoffInfoBuilderTest, AStaticMetafileIsPrintedFineAtItsOwnSize)
{
    graphics::WmfWriter wmf(QSize(48, 24));
    {
        QPainter painter(&wmf);
        painter.fillRect(QRect(0, 0, 48, 24), Qt::red);
    }
    LayoutComponent bild = element(800);
    bild.picture = {"TMetafile", wmf.data()};
    const auto& liste = bauen(layout({band(BandType::Title, 0, 50, {bild})}));

    ASSERT_EQ(liste.size(), 2u);
    const QImage gedruckt = liste[1].als<report::Image>()->picture;
    ASSERT_FALSE(gedruckt.isNull());
    EXPECT_GT(gedruckt.width(), 48); // finer than the screen
    const QSizeF natuerlich = report::PictureElement::naturalSizeMm(gedruckt);
    EXPECT_NEAR(natuerlich.width(), pixelsToMm(48), 1e-9);
    EXPECT_NEAR(natuerlich.height(), pixelsToMm(24), 1e-9);
    EXPECT_EQ(gedruckt.pixelColor(gedruckt.width() / 2, gedruckt.height() / 2), QColor(Qt::red));
}

TEST(Formelsatz, DigitsThatCountAtomsAreSubscriptsAtHalfTheWholePointSize)
{
    EXPECT_EQ(reports::formelRuns("H2SO4", 10.0),
              (std::vector<TextRun>{{"H", 0.0, false}, {"2", 5.0, true}, {"SO", 0.0, false}, {"4", 5.0, true}}));
    EXPECT_EQ(reports::formelRuns("CuSO4 * 5H2O", 9.0),
              (std::vector<TextRun>{{"CuSO", 0.0, false}, {"4", 4.0, true}, {" * 5H", 0.0, false},
                                    {"2", 4.0, true}, {"O", 0.0, false}}));
    // Only the first line is a formula; numbers with several digits stay together.
    EXPECT_EQ(reports::formelRuns("C12H22O11\nZucker 2", 8.25),
              (std::vector<TextRun>{{"C", 0.0, false}, {"12", 4.0, true}, {"H", 0.0, false}, {"22", 4.0, true},
                                    {"O", 0.0, false}, {"11", 4.0, true}, {"\nZucker 2", 0.0, false}}));
    EXPECT_TRUE(reports::formelRuns("", 10.0).empty());

    report::RichText element;
    element.font.setPointSizeF(14.0);
    reports::formelSetzen(element, "C2H6O");
    EXPECT_EQ(element.plainText(), "C2H6O");
    ASSERT_EQ(element.runs.size(), 5u);
    EXPECT_EQ(element.runs[1], (TextRun{"2", 7.0, true}));
}

// A sheet written as the designer stores it, read, built and laid out: the
// field shows the substance, the child band prints right below its band.
TEST_F(StoffInfoBuilderTest, ALoadedSheetPrintsItsDataAndChildBands)
{
    auto bandObjekt = [](const QString& name, const QString& typ, int top, int height) {
        stream::Object b("TQRBand", name);
        b.append("BandType", stream::Value::identifier(typ));
        b.append("Top", stream::Value::integer(top));
        b.append("Height", stream::Value::integer(height));
        return b;
    };
    auto labelObjekt = [](const QString& name, int tag, const QString& caption, int top) {
        stream::Object l("TQRLabel", name);
        l.append("Tag", stream::Value::integer(tag));
        l.append("Top", stream::Value::integer(top));
        l.append("Width", stream::Value::integer(200));
        l.append("Height", stream::Value::integer(20));
        l.append("Caption", stream::Value::string(caption));
        return l;
    };
    stream::Object bericht("TOwnQuickRep", "Stoffinfo");
    bericht.children = {bandObjekt("Titel", "rbTitle", 0, 40), bandObjekt("Kind", "rbChild", 40, 30)};
    stream::Object titelSatz("TQRBand", "Titel");
    titelSatz.children = {labelObjekt("Name", 100, "[chemie.dbf NAME1]", 0),
                          labelObjekt("Seite", 901, "S3", 20)};
    stream::Object kindSatz("TQRBand", "Kind");
    kindSatz.children = {labelObjekt("Text", 0, "Unterhalb", 5)};
    stream::StreamWriter::writeFile("blatt.sto", {bericht, titelSatz, kindSatz});

    const Layout geladen = Layout::load("blatt.sto", reports::LayoutKind::Sto);
    const auto& liste = bauen(geladen);
    ASSERT_EQ(liste.size(), 5u);

    report::PageBuilder seiten(report, report::PageBuilder::Purpose::Print);
    seiten.buildAll();
    ASSERT_TRUE(seiten.isFinished()) << seiten.errorMessage().toStdString();
    ASSERT_EQ(seiten.pages().size(), 1u);
    auto oben = [&](const QString& text) {
        const auto& items = seiten.pages()[0].items;
        const auto item = std::find_if(items.begin(), items.end(), [&](const report::DrawnItem& i) {
            return i.kind == report::ItemKind::Text && i.text == text;
        });
        return item == items.end() ? -1.0 : item->rect.top();
    };
    const double name = oben("Aceton");
    const double seite = oben("1");
    const double unterhalb = oben("Unterhalb");
    ASSERT_GE(name, 0.0);
    ASSERT_GE(seite, 0.0);
    ASSERT_GE(unterhalb, 0.0);
    EXPECT_NEAR(seite - name, pixelsToMm(20), 1e-6);
    EXPECT_NEAR(unterhalb - name, pixelsToMm(45), 1e-6);

    // A second build replaces the lists of the first.
    report::Report zweiter;
    builder.SetStoffinfoData(layout({band(BandType::Detail, 0, 10)}), zweiter);
    EXPECT_EQ(builder.ElementListe().size(), 1u);
    EXPECT_TRUE(builder.RichEditListe().empty());
}
