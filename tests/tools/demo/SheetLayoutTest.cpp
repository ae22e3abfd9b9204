// The demo's sheet layout: what the program reads from it, and what its
// field references, conditions and templates come to on the demo register.

#include <map>
#include <set>

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "DemoTestSupport.h"
#include "dbase/Table.h"
#include "fixtures/TempDir.h"
#include "demo/RegisterTables.h"
#include "demo/SheetLayout.h"
#include "ini/IniFile.h"
#include "report/Units.h"
#include "reports/Layout.h"
#include "reports/Vorlagensprache.h"

using demotest::generated;
using reports::Elementart;
using reports::Layout;
using reports::LayoutComponent;

namespace {

const Layout& sheet()
{
    static const Layout layout =
        Layout::load(generated().programm.filePath(QLatin1String(demo::kSheetLayoutFile)), reports::LayoutKind::Sto);
    return layout;
}

std::vector<const LayoutComponent*> elementsOf(Elementart art)
{
    std::vector<const LayoutComponent*> found;
    for (const LayoutComponent* k : sheet().allComponents())
        if (k->elementart() == art)
            found.push_back(k);
    return found;
}

} // namespace

TEST(DemoSheetLayout, SettingsNameTheLayoutTheProgramReadsAsASheet)
{
    const QString path = generated().programm.filePath(QLatin1String(demo::kSheetLayoutFile));
    const ini::IniFile settings(generated().programm.filePath("marlex99.ini"));
    // The program runs in the register's directory: a relative name would miss.
    const QString standard = settings.readString("Optionen", "StandardStoffinfo", QString());
    EXPECT_TRUE(QFileInfo(standard).isAbsolute()) << standard.toStdString();
    EXPECT_EQ(QFileInfo(standard).canonicalFilePath(), QFileInfo(path).canonicalFilePath());

    const Layout& layout = sheet();
    EXPECT_EQ(layout.page.paperSize, report::PaperSize::A4);
    EXPECT_EQ(layout.page.orientation, report::Orientation::Portrait);
    EXPECT_DOUBLE_EQ(layout.page.width, 210.0);
    EXPECT_DOUBLE_EQ(layout.page.length, 297.0);
    EXPECT_DOUBLE_EQ(layout.page.leftMargin, layout.page.rightMargin);

    std::vector<std::pair<QString, report::BandType>> bands;
    for (const LayoutComponent* b : layout.bands())
        bands.emplace_back(b->name, b->band->bandType);
    using report::BandType;
    const std::vector<std::pair<QString, BandType>> expected{
        {"Titel", BandType::Title},         {"Stoff", BandType::Detail},        {"Kennzeichnung", BandType::Child},
        {"Schutz", BandType::Child},        {"Saetze", BandType::Child},        {"Grenzwerte", BandType::Child},
        {"Hinweise", BandType::Child},      {"Fuss", BandType::PageFooter}};
    EXPECT_EQ(bands, expected);

    std::set<Elementart> kinds;
    for (const LayoutComponent* k : layout.allComponents())
        if (const auto art = k->elementart())
            kinds.insert(*art);
    EXPECT_EQ(kinds.size(), reports::kElementarten.size());
}

// The builder hangs a child band from every band whose lower edge is its
// upper edge: each section must meet exactly one, or it prints twice or not
// at all.
TEST(DemoSheetLayout, EverySectionHangsFromExactlyOneBandAndEveryElementFitsItsBand)
{
    const Layout& layout = sheet();
    const auto bands = layout.bands();
    const double printableWidthMm = layout.page.width - layout.page.leftMargin - layout.page.rightMargin;
    double stackedMm = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const LayoutComponent& band = *bands[i];
        EXPECT_LE(report::pixelsToMm(band.width), printableWidthMm + 0.2) << band.name.toStdString();
        stackedMm += report::pixelsToMm(band.height);
        if (band.band->bandType == report::BandType::Child) {
            int parents = 0;
            for (std::size_t j = 0; j < i; ++j)
                parents += bands[j]->top + bands[j]->height == band.top ? 1 : 0;
            EXPECT_EQ(parents, 1) << band.name.toStdString();
        }
        for (const LayoutComponent& e : band.components) {
            EXPECT_GE(e.left, 0) << e.name.toStdString();
            EXPECT_GE(e.top, 0) << e.name.toStdString();
            EXPECT_LE(e.left + e.width, band.width) << e.name.toStdString();
            EXPECT_LE(e.top + e.height, band.height) << e.name.toStdString();
        }
    }
    // The whole sheet fits one page before its template text stretches.
    EXPECT_LT(stackedMm, layout.page.length - layout.page.topMargin - layout.page.bottomMargin);

    // Hazard symbols 1 to 4 of the substance, in order.
    QStringList hints;
    for (const LayoutComponent* symbol : elementsOf(Elementart::eaGefahrsymbol))
        hints << symbol->hint;
    EXPECT_EQ(hints, QStringList({"[chemie.dbf GEFSYM1]", "[chemie.dbf GEFSYM2]", "[chemie.dbf GEFSYM3]",
                                  "[chemie.dbf GEFSYM4]"}));
    EXPECT_EQ(elementsOf(Elementart::eaSchutzbild).size(), 3u);
    const LayoutComponent& emblem = *elementsOf(Elementart::eaBild).at(0);
    EXPECT_FALSE(emblem.picture.toImage().isNull());
}

namespace {

// The four tables of the demo register that references may name, opened in
// a directory of their own as the program opens them, with the substance
// table narrowed to one substance and the storage table on its first stock
// row as a sheet run leaves them (the storage fields reading empty without
// stock).
class DemoSheetTexts : public ::testing::Test {
protected:
    DemoSheetTexts()
    {
        for (const QString& file : demo::requiredFiles())
            QFile::copy(generated().daten.filePath(file), file);
        for (auto [table, file] : {std::pair{&namen, "namen.dbf"}, std::pair{&chemie, "chemie.dbf"},
                                   std::pair{&lager, "lager.dbf"}, std::pair{&siGef, "si_gef.dbf"}}) {
            table->setTableName(QString::fromLatin1(file));
            table->open();
        }
    }

    void substanz(const QString& name)
    {
        const demo::Substance* s = nullptr;
        for (const demo::Substance& candidate : generated().data.substances)
            if (candidate.name() == name)
                s = &candidate;
        ASSERT_NE(s, nullptr) << name.toStdString();
        const dbase::Filter key = dbase::Filter::equals("CARN", s->carn()) && dbase::Filter::equals("SUBCARN", s->subcarn());
        for (dbase::Table* t : {&chemie, &lager}) {
            t->setFilter(key);
            t->setFiltered(true);
            t->first();
        }
        ASSERT_FALSE(chemie.eof());
        const dbase::Bookmark bestand = lager.bookmark();
        lager.setFiltered(false);
        if (bestand.valid())
            lager.gotoBookmark(bestand);
        if (!bestand.valid())
            satz.ohneDatensatz = {&lager};
        sprache = reports::Vorlagensprache(satz);
    }

    // Every conditional caption expanded, by element name; the template memo
    // expanded; every field reference of data texts and symbols read.
    std::map<QString, QString> captions()
    {
        std::map<QString, QString> result;
        for (const LayoutComponent* k : elementsOf(Elementart::eaBedingungstext)) {
            QString caption = k->caption;
            sprache.BedingungsParser(caption);
            // A construct left over means one was written wrongly.
            EXPECT_FALSE(caption.contains(QRegularExpression("[][{}]"))) << k->name.toStdString() << ": "
                                                                          << caption.toStdString();
            result[k->name] = caption;
        }
        for (const LayoutComponent* k : elementsOf(Elementart::eaFeld))
            result[k->name] = reports::Feldwert(k->caption, satz);
        for (const LayoutComponent* k : elementsOf(Elementart::eaGefahrsymbol))
            result[k->name] = reports::Feldwert(k->hint, satz);
        for (const LayoutComponent* k : elementsOf(Elementart::eaFeldformel))
            result[k->name] = reports::Feldwert(k->caption.mid(1), satz);
        return result;
    }

    QStringList vorlage()
    {
        QStringList lines = elementsOf(Elementart::eaVorlagentext).at(0)->lines;
        sprache.Parser(lines);
        return lines;
    }

    fixtures::TempDir dir;
    dbase::Table namen, chemie, lager, siGef;
    reports::TabellenSatz satz{&namen, &chemie, &lager, &siGef};
    reports::Vorlagensprache sprache{satz};
};

} // namespace

TEST_F(DemoSheetTexts, ABenzeneSheetNamesEveryHazardItCarries)
{
    substanz("Benzol");
    auto c = captions();
    EXPECT_EQ(c["StoffName"], "Benzol");
    EXPECT_EQ(c["FussFormel"], "C6H6");
    EXPECT_EQ(c["StoffSynonym"], "Synonym: Benzen");
    EXPECT_EQ(c["StoffVbf"], "AI");
    EXPECT_EQ(c["StoffLager"], ""); // none in stock, though others are
    EXPECT_EQ(c["StoffMenge"], "");
    EXPECT_EQ(c["KennzeichnungBezeichnung1"], "Leichtentzündlich");
    EXPECT_EQ(c["KennzeichnungBezeichnung2"], "Giftig");
    EXPECT_EQ(c["KennzeichnungBezeichnung3"], "");
    EXPECT_EQ(c["KennzeichnungSymbol1"], "F");
    EXPECT_EQ(c["GrenzwerteMak"], "–");
    EXPECT_EQ(c["GrenzwerteTrk"], "1 ml/m³ (3,2 mg/m³)");
    EXPECT_EQ(c["GrenzwerteCmr"].simplified(), "K1 M2");
    EXPECT_EQ(c["GrenzwerteWgk"], "WGK 3 – stark wassergefährdend");
    EXPECT_TRUE(c["GrenzwerteSdt"].startsWith("80") && c["GrenzwerteSdt"].endsWith(" °C")) << c["GrenzwerteSdt"].toStdString();
    EXPECT_TRUE(c["SchutzText"].startsWith("Besondere Schutzmaßnahmen")) << c["SchutzText"].toStdString();

    const QStringList hinweise = vorlage();
    ASSERT_EQ(hinweise.size(), 3);
    EXPECT_TRUE(hinweise[0].contains("Tätigkeitsverbot")) << hinweise[0].toStdString();
    EXPECT_TRUE(hinweise[1].contains("Entzündbar") && hinweise[1].contains("Giftig")) << hinweise[1].toStdString();
    EXPECT_FALSE(hinweise[1].contains("Ätzend")) << hinweise[1].toStdString();
    EXPECT_TRUE(hinweise[2].contains("Umweltgefährlich")) << hinweise[2].toStdString();
    EXPECT_FALSE(hinweise[2].contains("Ausguss gegeben")) << hinweise[2].toStdString();
    // The conditions leave the substance filter as they found it.
    EXPECT_EQ(chemie.recordCount(), 1);
}

TEST_F(DemoSheetTexts, AHarmlessSaltGetsTheGeneralNotesAndNoHazardWords)
{
    substanz("Natriumchlorid");
    auto c = captions();
    for (int slot = 1; slot <= 4; ++slot)
        EXPECT_EQ(c[QStringLiteral("KennzeichnungBezeichnung%1").arg(slot)], "") << slot;
    EXPECT_EQ(c["StoffSynonym"], "");
    EXPECT_EQ(c["StoffVbf"], "–");
    EXPECT_EQ(c["GrenzwerteCmr"], "–");
    EXPECT_EQ(c["GrenzwerteDampf"], "–");
    EXPECT_TRUE(c["SchutzText"].startsWith("Keine besonderen Schutzmaßnahmen")) << c["SchutzText"].toStdString();
    const QStringList hinweise = vorlage();
    ASSERT_EQ(hinweise.size(), 3);
    EXPECT_TRUE(hinweise[0].contains("Sekundarstufe I ")) << hinweise[0].toStdString();
    EXPECT_FALSE(hinweise[1].contains("Entzündbar")) << hinweise[1].toStdString();
    EXPECT_TRUE(hinweise[2].contains("Ausguss gegeben")) << hinweise[2].toStdString();
}

TEST_F(DemoSheetTexts, LimitsAndStockReadWithTheirUnits)
{
    substanz("Aceton");
    auto c = captions();
    EXPECT_EQ(c["StoffSynonym"], "Synonym: Propanon");
    EXPECT_EQ(c["StoffLager"], "Lösemittelschrank 1");
    EXPECT_EQ(c["StoffMenge"], "2500");
    EXPECT_EQ(c["GrenzwerteMak"], "500 ml/m³ (1200 mg/m³)");
    EXPECT_EQ(c["GrenzwerteTrk"], "–");
    EXPECT_EQ(c["GrenzwerteWgk"], "WGK 1 – schwach wassergefährdend");
    EXPECT_EQ(c["KennzeichnungBezeichnung1"], "Leichtentzündlich");
    EXPECT_EQ(c["KennzeichnungBezeichnung2"], "Reizend");
    EXPECT_TRUE(c["StoffMolmasse"].startsWith("58.08") || c["StoffMolmasse"].startsWith("58,08"))
        << c["StoffMolmasse"].toStdString();
}
