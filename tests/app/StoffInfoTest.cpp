#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include "fixtures/Events.h"
#include "StoffInfoTestSupport.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "dbase/Filter.h"
#include "report/Output.h"
#include "report/Units.h"
#include "reports/StoffInfo.h"
#include "report/PreviewWidget.h"
#include "reports/Vorschau.h"

namespace {

using namespace marlextest;
using namespace stoffinfotest;
using reports::Elementart;

// The colour of a printed picture's middle; 0 for none.
QRgb farbe(const QImage& bild)
{
    return bild.isNull() ? 0 : bild.pixel(bild.width() / 2, bild.height() / 2) | 0xff000000u;
}

// The picture of the run element at `nummer` in the element list.
QImage laufbild(int nummer)
{
    const auto& liste = StoffInfo->Builder()->ElementListe();
    const auto* bild = liste.at(static_cast<std::size_t>(nummer)).als<report::Image>();
    return bild ? bild->picture : QImage();
}

} // namespace

// ---------------------------------------------------------------- the sheet

TEST_F(StoffInfoTest, PrintsTheSubstanceOfTheCurrentNameOnceAndPutsEveryTableBack)
{
    // The shared tables as other work left them: a storage filter, the
    // structure table on another substance, the name table on a synonym.
    Datas->Table3->setFilterText(QStringLiteral("LAGER_ORT<>'Schrank 2'"));
    Datas->Table3->setFiltered(true);
    aufZeile(*Datas->Table3, "LAGER_ORT", QStringLiteral("Keller"));
    aufZeile(*Datas->Table6, "CARN", QStringLiteral("64-17-5"));
    aufZeile(*Datas->Table2, "CARN", QStringLiteral("12"));
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Dimethylketon"));
    const auto vorher = tabellenstand();

    std::vector<Tabellenstand> waehrend;
    imDruck = [&] { waehrend = tabellenstand(); };
    ASSERT_TRUE(drucke(QStringLiteral("Dimethylketon")));
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();

    const QStringList gedruckt = gedruckteTexte();
    EXPECT_EQ(gedruckt.count(QStringLiteral("Aceton rein")), 1) << "the detail prints once";
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Dimethylketon")));
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Schrank 3"))) << "the first stock the storage filter shows";
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Schrank 2")));
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Achtung entzündlich")));
    EXPECT_TRUE(gedruckt.contains(
        QStringLiteral("Leichtentzündlich. Reizt die Augen. \n\nBehälter an einem gut gelüfteten Ort aufbewahren. ")))
        << gedruckt.join('|').toStdString();
    EXPECT_TRUE(gedruckt.join(QString()).contains(QStringLiteral("C3H6O")));
    const auto strukturen = bilder(auftraege.back());
    ASSERT_EQ(strukturen.size(), 1u);
    EXPECT_EQ(farbe(strukturen[0].picture), QColor(Qt::darkGreen).rgb());

    // While printing, the substance tables were narrowed (the storage filter
    // still holding); afterwards every table is where it was.
    ASSERT_EQ(waehrend.size(), 5u);
    EXPECT_TRUE(waehrend[1].gefiltert);
    EXPECT_TRUE(waehrend[2].gefiltert);
    EXPECT_EQ(tabellenstand(), vorher);
    EXPECT_EQ(stoffInfo.Builder(), nullptr);
}

TEST_F(StoffInfoTest, PrintsToAPdfFileThatAnotherReaderShows)
{
    Marlex->DruckDatei = QStringLiteral("stoffinfo.pdf");
    ASSERT_TRUE(drucke(QStringLiteral("Ethanol")));
    EXPECT_TRUE(auftraege.empty());

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("stoffinfo.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Ethanol absolut"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Keller")));
    EXPECT_TRUE(text.contains(QStringLiteral("Leichtentzündlich.")));
    EXPECT_FALSE(text.contains(QStringLiteral("Aceton")));
}

// A text insertion on the substance table lifts its narrowing for the rest
// of the fill and leaves the cursor where its search ended; the details
// still print this substance, once.
TEST_F(StoffInfoTest, TextInsertionOnTheSubstanceTablePrintsNoOtherSubstance)
{
    blattSchreiben(QStringLiteral("einschub.sto"),
                   {{QStringLiteral("rbTitle"),
                     60,
                     {memoelement(1000, {QStringLiteral("[+chemie.dbf,CARN,,12]")})}},
                    {QStringLiteral("rbDetail"), 40, {blattelement(100, QStringLiteral("[chemie.dbf NAME1]"))}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("einschub.sto"));
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();

    ASSERT_TRUE(drucke(QStringLiteral("Ethanol")));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("12"))); // the insertion's line: the third field, CARN
    EXPECT_EQ(gedruckt.count(QStringLiteral("Ethanol absolut")), 1);
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Zwölfstoff")));
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Aceton rein")));
    EXPECT_EQ(tabellenstand(), vorher);
}

// Filter texts would break on the apostrophe, or match the neighbour "12".
TEST_F(StoffInfoTest, KeyWithAnApostropheSelectsExactlyThatSubstance)
{
    ASSERT_TRUE(drucke(QStringLiteral("Bob's Stoff")));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_EQ(gedruckt.count(QStringLiteral("Bobs Reiniger")), 1);
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Regal B")));
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Zwölfstoff")));
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Regal A")));
}

TEST_F(StoffInfoTest, SubstanceWithoutStockOrStructurePictureShowsThemEmptyNotAnotherOnes)
{
    // Both tables stand on another substance's row before the run.
    aufZeile(*Datas->Table3, "CARN", QStringLiteral("67-64-1"));
    aufZeile(*Datas->Table6, "CARN", QStringLiteral("67-64-1"));

    ASSERT_TRUE(drucke(QStringLiteral("Wasser")));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Wasser dest.")));
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Schrank 2")));
    EXPECT_TRUE(bilder(auftraege.back()).empty());
    EXPECT_EQ(Datas->Table3->fieldByName("CARN").asString(), QStringLiteral("67-64-1"));
}

// A condition on the storage table asks about all of the stock that the
// user's storage filter shows, whichever substance the sheet is of; the
// storage fields are the substance's own first stock row, or empty without
// one, in every kind of element.
TEST_F(StoffInfoTest, ConditionsOnTheStockAskAboutAllOfItAndItsFieldsAreTheSubstancesOwn)
{
    blattSchreiben(QStringLiteral("lager.sto"),
                   {{QStringLiteral("rbTitle"),
                     80,
                     {blattelement(600, QStringLiteral("{lager.dbf,LAGER_ORT='Regal A',Regal A belegt}")),
                      blattelement(600, QStringLiteral("Ort [lager.dbf,LAGER_ORT]{lager.dbf,LAGER_ORT='Keller',/"
                                                       "[lager.dbf,LAGER_ORT]}"),
                                   {0, 25, 300, 20}),
                      memoelement(1000, {QStringLiteral("Bestand [lager.dbf,LAGER_ORT]")}, {0, 50, 300, 20})}},
                    {QStringLiteral("rbDetail"), 40, {blattelement(100, QStringLiteral("[lager.dbf LAGER_ORT]"))}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("lager.sto"));
    aufZeile(*Datas->Table3, "LAGER_ORT", QStringLiteral("Regal B"));
    const auto vorher = tabellenstand();
    const auto gedruckt = [this] { return texte(auftraege.back()).filter(QRegularExpression(QStringLiteral("."))); };

    ASSERT_TRUE(drucke(QStringLiteral("Aceton")));
    EXPECT_EQ(gedruckt(), (QStringList{QStringLiteral("Regal A belegt"), QStringLiteral("Ort Schrank 2/Keller"),
                                       QStringLiteral("Bestand Schrank 2"), QStringLiteral("Schrank 2")}));
    EXPECT_EQ(tabellenstand(), vorher);

    ASSERT_TRUE(drucke(QStringLiteral("Wasser")));
    EXPECT_EQ(gedruckt(),
              (QStringList{QStringLiteral("Regal A belegt"), QStringLiteral("Ort /"), QStringLiteral("Bestand")}))
        << "no other substance's stock";
    EXPECT_EQ(Datas->Table3->fieldByName("LAGER_ORT").asString(), QStringLiteral("Regal B"));

    // The user's storage filter hides Regal A, Zwölf's only stock, from the
    // sheet as from the storage page.
    Datas->Table3->setFilterText(QStringLiteral("LAGER_ORT<>'Regal A'"));
    Datas->Table3->setFiltered(true);
    ASSERT_TRUE(drucke(QStringLiteral("Zwölf")));
    EXPECT_EQ(gedruckt(), (QStringList{QStringLiteral("Ort /"), QStringLiteral("Bestand")}));
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();
}

// A text insertion on the storage table lifts the user's storage filter for
// the rest of the fill; the stock printed after it is still the first one
// that filter shows.
TEST_F(StoffInfoTest, StockPrintedAfterATextInsertionOnItKeepsToTheStorageFilter)
{
    blattSchreiben(QStringLiteral("einschub.sto"),
                   {{QStringLiteral("rbTitle"), 60, {memoelement(1000, {QStringLiteral("[+lager.dbf,CARN,,12]")})}},
                    {QStringLiteral("rbDetail"), 40, {blattelement(100, QStringLiteral("[lager.dbf LAGER_ORT]"))}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("einschub.sto"));
    Datas->Table3->setFilterText(QStringLiteral("LAGER_ORT<>'Schrank 2'"));
    Datas->Table3->setFiltered(true);
    const auto vorher = tabellenstand();

    ASSERT_TRUE(drucke(QStringLiteral("Aceton")));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Schrank 3"))) << gedruckt.join('|').toStdString();
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Schrank 2")));
    EXPECT_EQ(tabellenstand(), vorher);
}

// Every kind is filled from a substance record that is not there.
TEST_F(StoffInfoTest, NameWithoutSubstanceRecordPrintsTheSheetWithoutDetails)
{
    std::vector<Blattband> blatt = standardblatt();
    for (int art : {200, 1000, 1100, 1200, 1300, 1400, 1500})
        blatt[0].elemente.push_back(art == 1000 ? memoelement(art, {QStringLiteral("CAS [chemie.dbf,CARN]")})
                                                : bildelement(art, QStringLiteral("[chemie.dbf GEFSYM1]")));
    blattSchreiben(QStringLiteral("alles.sto"), blatt);
    stoffInfo.LoadStoffinfo(QStringLiteral("alles.sto"));

    ASSERT_TRUE(drucke(QStringLiteral("Unbekannt")));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Stoffinfo")));
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("CAS"))) << gedruckt.join('|').toStdString();
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Achtung entzündlich")));
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Schrank 2")));
    EXPECT_TRUE(bilder(auftraege.back()).empty());
}

// ---------------------------------------------------------------- the list filter

TEST_F(StoffInfoTest, ListFilterRunReadsTheRegistersNameTableOnTheSelectedName)
{
    listenfilterSetzen();
    dbase::Table& namen = *Datas->Table1;
    aufZeile(namen, "NAME1", QStringLiteral("Dimethylketon"));
    const auto vorher = tabellenstand();

    QString nameWaehrend;
    imDruck = [&] { nameWaehrend = namen.tableName(); };
    ASSERT_TRUE(drucke(QStringLiteral("Dimethylketon")));
    EXPECT_EQ(nameWaehrend, QStringLiteral("namen.dbf"));
    const QStringList gedruckt = gedruckteTexte();
    EXPECT_TRUE(gedruckt.contains(QStringLiteral("Dimethylketon"))) << gedruckt.join('|').toStdString();
    EXPECT_FALSE(gedruckt.contains(QStringLiteral("Aceton")));
    EXPECT_EQ(gedruckt.count(QStringLiteral("Aceton rein")), 1);

    EXPECT_EQ(tabellenstand(), vorher);
    EXPECT_EQ(namen.tableName(), QStringLiteral("filter.dbf"));
    EXPECT_EQ(namen.fieldByName("NAME1").asString(), QStringLiteral("Dimethylketon"));
    EXPECT_EQ(Datas->Table2->filterText(), QStringLiteral("GEFSYM1='F'"));
    EXPECT_EQ(Datas->Table2->recordCount(), 2u);
}

// The printed sheet does not make a run that could not put the tables back
// a success.
TEST_F(StoffInfoTest, ListFilterTableGoneDuringTheRunIsReportedAndTheRunFails)
{
    listenfilterSetzen();
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    imDruck = [] {
        QFile::remove(QStringLiteral("filter.dbf"));
        QFile::remove(QStringLiteral("filter.mdx"));
    };
    EXPECT_FALSE(drucke(QStringLiteral("Ethanol")));
    EXPECT_EQ(auftraege.size(), 1u);
    ASSERT_EQ(reg.meldungen().size(), 1u);
    EXPECT_TRUE(reg.meldungen()[0].text.contains(QStringLiteral("filter.dbf"), Qt::CaseInsensitive))
        << reg.meldungen()[0].text.toStdString();
}

// ---------------------------------------------------------------- pictures

class StoffInfoBilder : public StoffInfoTest, public ::testing::WithParamInterface<int> {
protected:
    // Replaces the Aceton record's picture fields.
    void acetonSetzen(std::map<int, QString> felder)
    {
        dbase::Table& chemie = *Datas->Table2;
        aufZeile(chemie, "CARN", QStringLiteral("67-64-1"));
        chemie.edit();
        for (const auto& [position, wert] : felder)
            chemie.field(position).setAsString(wert);
        chemie.post();
    }

    // Prints Aceton; `pruefen` runs on the run's elements while it prints.
    void druckeAceton(const std::function<void()>& pruefen)
    {
        bool geprueft = false;
        imDruck = [&] {
            pruefen();
            geprueft = true;
        };
        ASSERT_TRUE(drucke(QStringLiteral("Aceton")));
        EXPECT_TRUE(geprueft);
    }
};

TEST_P(StoffInfoBilder, EveryPictogramKindShowsThePictureOfItsCodeInThePrintColour)
{
    const bool bunt = GetParam() == 1;
    FarbDruck = GetParam();
    acetonSetzen({{GEFSYM1, QStringLiteral("F+")}, {GEFSYM2, QStringLiteral("Xi")}, {GEFSYM3, QStringLiteral("Q")},
                  {UNTERRICHT, QStringLiteral("SII#")}, {WIRKUNG, QStringLiteral("HP")}, {KREBS, QStringLiteral("2")}});
    blattSchreiben(QStringLiteral("bilder.sto"),
                   {{QStringLiteral("rbDetail"),
                     100,
                     {bildelement(200, QStringLiteral("[chemie.dbf GEFSYM1]")),
                      bildelement(201, QStringLiteral("[chemie.dbf GEFSYM2]")),
                      bildelement(200, QStringLiteral("[chemie.dbf GEFSYM3]")), // no such code
                      bildelement(200, QStringLiteral("[formeln.dbf CARN]")),   // names no table
                      bildelement(1200), bildelement(1300), bildelement(1401)}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("bilder.sto"));

    std::vector<QRgb> erwartet = {symbolfarbe("F+.", bunt), symbolfarbe("Xi.", bunt), symbolfarbe("SEKII.", bunt),
                                  symbolfarbe("HP.", bunt), symbolfarbe("2.", bunt)};
    druckeAceton([&] {
        EXPECT_EQ(farbe(laufbild(1)), erwartet[0]);
        EXPECT_EQ(farbe(laufbild(2)), erwartet[1]);
        EXPECT_TRUE(laufbild(3).isNull());
        EXPECT_TRUE(laufbild(4).isNull());
        EXPECT_EQ(farbe(laufbild(5)), erwartet[2]);
        EXPECT_EQ(farbe(laufbild(6)), erwartet[3]);
        EXPECT_EQ(farbe(laufbild(7)), erwartet[4]);
    });
    // The filled pictures are the printed ones; the empty ones print nothing.
    std::vector<QRgb> gedruckt;
    for (const report::DrawnItem& bild : bilder(auftraege.back()))
        gedruckt.push_back(farbe(bild.picture));
    std::sort(gedruckt.begin(), gedruckt.end());
    std::sort(erwartet.begin(), erwartet.end());
    EXPECT_EQ(gedruckt, erwartet);
}

INSTANTIATE_TEST_SUITE_P(Druckfarbe, StoffInfoBilder, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 1 ? "Farbe" : "Schwarzweiss"; });

TEST_F(StoffInfoBilder, PrecautionElementsTakeTheThreePicturesInTurnAndAFourthStaysEmpty)
{
    FarbDruck = 1;
    blattSchreiben(QStringLiteral("schutz.sto"),
                   {{QStringLiteral("rbDetail"), 100,
                     {bildelement(1100), bildelement(1101), bildelement(1100), bildelement(1100)}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("schutz.sto"));

    acetonSetzen({{MAK_FAK, QStringLiteral("1")}});
    druckeAceton([] {
        EXPECT_EQ(farbe(laufbild(1)), symbolfarbe("ABZUG.", true));
        EXPECT_EQ(farbe(laufbild(2)), symbolfarbe("SCHUTZ.", true));
        EXPECT_EQ(farbe(laufbild(3)), symbolfarbe("HAND.", true));
        EXPECT_TRUE(laufbild(4).isNull());
    });

    // A substance the rule does not hold for shows none.
    acetonSetzen({{MAK_FAK, QString()}});
    druckeAceton([] {
        for (int i = 1; i <= 4; ++i)
            EXPECT_TRUE(laufbild(i).isNull()) << i;
    });
}

TEST_F(StoffInfoBilder, CarcinogenPictureTakesCancerBeforeKrebs)
{
    blattSchreiben(QStringLiteral("krebs.sto"), {{QStringLiteral("rbDetail"), 100, {bildelement(1400)}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("krebs.sto"));

    acetonSetzen({{CANCER, QStringLiteral("2")}, {KREBS, QStringLiteral("A1")}});
    druckeAceton([] { EXPECT_EQ(farbe(laufbild(1)), symbolfarbe("C2.", false)); });
    acetonSetzen({{CANCER, QString()}, {KREBS, QStringLiteral("A1")}});
    druckeAceton([] { EXPECT_EQ(farbe(laufbild(1)), symbolfarbe("A1.", false)); });
    // A set CANCER without a code of its own shows nothing, not the KREBS picture.
    acetonSetzen({{CANCER, QStringLiteral("7")}, {KREBS, QStringLiteral("A1")}});
    druckeAceton([] { EXPECT_TRUE(laufbild(1).isNull()); });
}

// ---------------------------------------------------------------- page

TEST_F(StoffInfoTest, MarginsComeFromTheLayoutOrFromTheOptionsWithCommaOrPoint)
{
    blattSchreiben(QStringLiteral("rand.sto"),
                   {{QStringLiteral("rbTitle"), 40, {blattelement(0, QStringLiteral("Ecke"))}}},
                   [](stream::Object& bericht) {
                       bericht.append("Page.LeftMargin", stream::Value::extended(250));
                       bericht.append("Page.TopMargin", stream::Value::extended(300));
                   });
    stoffInfo.LoadStoffinfo(QStringLiteral("rand.sto"));
    const auto ecke = [this] {
        for (const report::DrawnItem& item : auftraege.back().front().items)
            if (item.text == QLatin1String("Ecke"))
                return item.rect.topLeft();
        ADD_FAILURE() << "nicht gedruckt";
        return QPointF();
    };

    ASSERT_TRUE(drucke(QStringLiteral("Aceton")));
    EXPECT_NEAR(ecke().x(), 25.0, 0.01);
    EXPECT_NEAR(ecke().y(), 30.0, 0.01);

    OptOnlyEtikett = false;
    OptRandOben = QStringLiteral("12,5");
    OptRandLinks = QStringLiteral(" 7.25 ");
    OptRandUnten = QStringLiteral("10");
    OptRandRechts = QStringLiteral("0");
    ASSERT_TRUE(drucke(QStringLiteral("Aceton")));
    EXPECT_NEAR(ecke().x(), 7.25, 0.01);
    EXPECT_NEAR(ecke().y(), 12.5, 0.01);
}

// ---------------------------------------------------------------- failures

TEST_F(StoffInfoTest, BadMarginOptionIsNamedAndNothingChanges)
{
    OptOnlyEtikett = false;
    OptRandOben = QStringLiteral("10");
    OptRandLinks = QStringLiteral("10");
    OptRandRechts = QStringLiteral("10");
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();

    for (const QString& falsch : {QStringLiteral("zehn"), QStringLiteral("1,2,3"), QStringLiteral("-5")}) {
        OptRandUnten = falsch;
        stoffInfo.DruckModus = 1;
        EXPECT_FALSE(stoffInfo.Erstellen());
        const QString meldung = meldungstexte().value(meldungstexte().size() - 1);
        EXPECT_TRUE(meldung.contains(QStringLiteral("Rand unten")) && meldung.contains(QStringLiteral("RandUnten"))
                    && meldung.contains(falsch))
            << meldung.toStdString();
    }
    OptRandUnten = QStringLiteral("   ");
    EXPECT_FALSE(stoffInfo.Erstellen());
    EXPECT_TRUE(meldungstexte().last().contains(QStringLiteral("ist leer"))) << meldungstexte().last().toStdString();

    EXPECT_TRUE(auftraege.empty());
    EXPECT_EQ(tabellenstand(), vorher);
}

// Margins larger than the page would print blank pages: the run is refused
// before it starts, whether the options or the layout set them.
TEST_F(StoffInfoTest, MarginsThatLeaveNoRoomOnThePageAreRefused)
{
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();
    stoffInfo.DruckModus = 1;

    OptOnlyEtikett = false;
    OptRandOben = QStringLiteral("10");
    OptRandUnten = QStringLiteral("400");
    OptRandLinks = QStringLiteral("10");
    OptRandRechts = QStringLiteral("10");
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 1u);
    QString meldung = reg.meldungen().back().text;
    EXPECT_TRUE(meldung.contains(QStringLiteral("keinen Platz zum Drucken")) && meldung.contains(QStringLiteral("400"))
                && meldung.contains(QStringLiteral("Optionen")))
        << meldung.toStdString();

    OptRandUnten = QStringLiteral("10");
    OptRandLinks = QStringLiteral("105,5");
    OptRandRechts = QStringLiteral("104,5");
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 2u);
    EXPECT_TRUE(reg.meldungen().back().text.contains(QStringLiteral("105,5"))) << reg.meldungen().back().text.toStdString();

    OptOnlyEtikett = true;
    blattSchreiben(QStringLiteral("rand.sto"), standardblatt(), [](stream::Object& bericht) {
        bericht.append("Page.TopMargin", stream::Value::extended(2970));
    });
    stoffInfo.LoadStoffinfo(QStringLiteral("rand.sto"));
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 3u);
    meldung = reg.meldungen().back().text;
    EXPECT_TRUE(meldung.contains(QStringLiteral("keinen Platz zum Drucken")) && meldung.contains(QStringLiteral("Layout")))
        << meldung.toStdString();

    EXPECT_TRUE(auftraege.empty());
    EXPECT_EQ(tabellenstand(), vorher);
}

TEST_F(StoffInfoTest, WithoutALayoutNoRunStartsAndAFailedLoadKeepsTheEarlierOne)
{
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    TStoffInfo ohneLayout;
    StoffInfo = &ohneLayout;
    ohneLayout.DruckModus = 1;
    EXPECT_FALSE(ohneLayout.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 1u);
    EXPECT_TRUE(reg.meldungen()[0].text.contains(QStringLiteral("kein Stoffinfo-Layout")));
    EXPECT_TRUE(auftraege.empty());

    StoffInfo = &stoffInfo;
    EXPECT_ANY_THROW(stoffInfo.LoadStoffinfo(QStringLiteral("fehlt.sto")));
    ASSERT_TRUE(stoffInfo.LayoutReport().has_value());
    EXPECT_EQ(stoffInfo.LayoutReport()->fileName, QStringLiteral("blatt.sto"));
    EXPECT_TRUE(drucke(QStringLiteral("Ethanol")));
}

// A field the table lacks fails the fill; with the list filter on, the
// name table was already switched when it fails.
TEST_F(StoffInfoTest, FieldTheTableLacksIsShownAndEveryTableGoesBack)
{
    listenfilterSetzen();
    dbase::Table& namen = *Datas->Table1;
    blattSchreiben(QStringLiteral("falsch.sto"),
                   {{QStringLiteral("rbDetail"),
                     100,
                     {blattelement(1500, QStringLiteral("=[chemie.dbf GIBTSNICHT]|"))}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("falsch.sto"));
    aufZeile(namen, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();

    stoffInfo.DruckModus = 1;
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 1u);
    EXPECT_TRUE(reg.meldungen()[0].text.contains(QStringLiteral("GIBTSNICHT")))
        << reg.meldungen()[0].text.toStdString();
    EXPECT_TRUE(auftraege.empty());
    EXPECT_EQ(tabellenstand(), vorher);
}

TEST_F(StoffInfoTest, ARunStartedFromInsideARunIsRefused)
{
    bool zweiter = true;
    imDruck = [&] { zweiter = stoffInfo.Erstellen(); };
    EXPECT_TRUE(drucke(QStringLiteral("Ethanol")));
    EXPECT_FALSE(zweiter);
    ASSERT_EQ(reg.meldungen().size(), 1u);
    EXPECT_TRUE(reg.meldungen()[0].text.contains(QStringLiteral("gerade eine Stoffinfo")));
    EXPECT_EQ(auftraege.size(), 1u);
}

TEST_F(StoffInfoTest, NoPrinterIsToldAndTheTablesGoBack)
{
    report::ScopedPrinters keiner({}, -1, {});
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();
    stoffInfo.DruckModus = 1;
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_FALSE(reg.meldungen().empty());
    EXPECT_TRUE(reg.meldungen().back().text.contains(QStringLiteral("Drucker")))
        << reg.meldungen().back().text.toStdString();
    EXPECT_EQ(tabellenstand(), vorher);
}

// ---------------------------------------------------------------- preview

namespace {

// While it lives, hands the preview window to `handle` once it is open,
// from the window's own event loop.
class InDerVorschau {
public:
    explicit InDerVorschau(const std::function<void(TVorschau&)>& handle)
    {
        QObject::connect(&m_wache, &QTimer::timeout, [this, handle] {
            if (auto* vorschau = qobject_cast<TVorschau*>(QApplication::activeModalWidget())) {
                m_wache.stop();
                handle(*vorschau);
            }
        });
        m_wache.start(0);
    }

private:
    QTimer m_wache;
};

} // namespace

TEST_F(StoffInfoTest, PreviewClosedBeforeItsLastPagePutsTheTablesBackWhenItCloses)
{
    // Some 70 pages, far more than one slice of the build lays out.
    std::vector<Blattband> baender(
        1, {QStringLiteral("rbDetail"), 40, {blattelement(100, QStringLiteral("[chemie.dbf NAME1]"))}});
    for (int i = 0; i < 200; ++i)
        baender.push_back({QStringLiteral("rbSummary"), 300, {blattelement(0, QStringLiteral("Seite"))}});
    blattSchreiben(QStringLiteral("lang.sto"), baender);
    stoffInfo.LoadStoffinfo(QStringLiteral("lang.sto"));
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Ethanol"));
    const auto vorher = tabellenstand();

    QString titel;
    int seiten = 0;
    bool eingegrenzt = false;
    const InDerVorschau bedienung([&](TVorschau& vorschau) {
        titel = vorschau.windowTitle();
        fixtures::processEventsUntil([&] { return vorschau.QRPreview1->pageCount() > 0; });
        seiten = vorschau.QRPreview1->pageCount();
        eingegrenzt = Datas->Table2->filtered() && Datas->Table2->recordCount() == 1;
        vorschau.close();
    });
    stoffInfo.DruckModus = 0;
    EXPECT_TRUE(stoffInfo.Erstellen());
    EXPECT_EQ(titel, QStringLiteral("Vorschau - Stoffinfo"));
    EXPECT_GT(seiten, 0);
    EXPECT_LT(seiten, 60);
    EXPECT_TRUE(eingegrenzt) << "the run is live while the preview is open";
    EXPECT_EQ(tabellenstand(), vorher);
    EXPECT_TRUE(reg.meldungen().empty());
}

TEST_F(StoffInfoTest, PreviewThatCannotFillItsPagesSaysSoAndPutsTheTablesBack)
{
    blattSchreiben(QStringLiteral("falsch.sto"),
                   {{QStringLiteral("rbDetail"), 100, {bildelement(201, QStringLiteral("[lager.dbf GIBTSNICHT]"))}}});
    stoffInfo.LoadStoffinfo(QStringLiteral("falsch.sto"));
    aufZeile(*Datas->Table1, "NAME1", QStringLiteral("Aceton"));
    const auto vorher = tabellenstand();

    const InDerVorschau bedienung([this](TVorschau& vorschau) {
        fixtures::processEventsUntil([this] { return !reg.meldungen().empty(); }); // reported by the build, once it ran
        vorschau.close();
    });
    stoffInfo.DruckModus = 0;
    EXPECT_FALSE(stoffInfo.Erstellen());
    ASSERT_EQ(reg.meldungen().size(), 1u);
    EXPECT_TRUE(reg.meldungen()[0].text.contains(QStringLiteral("GIBTSNICHT")))
        << reg.meldungen()[0].text.toStdString();
    EXPECT_EQ(tabellenstand(), vorher);
}

// ---------------------------------------------------------------- program

TEST(StoffInfoImProgramm, TheProgramMakesTheSheetEngineAndItPrintsTheFirstName)
{
    Register reg;
    registerFuellen(reg);
    {
        QFile liste(QStringLiteral("FILES.TXT"));
        ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
        liste.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf\r\n");
    }
    blattSchreiben(QStringLiteral("blatt.sto"), standardblatt());
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("First"), QStringLiteral("0")); // no takeover offered
    std::vector<std::vector<report::Page>> auftraege;
    report::ScopedPrinters drucker({QStringLiteral("Testdrucker")}, 0,
                                   [&](const QString&, const std::vector<report::Page>& s) { auftraege.push_back(s); });
    {
        const Programm programm;
        ASSERT_TRUE(programm.gestartet());
        ASSERT_NE(StoffInfo, nullptr);
        EXPECT_EQ(StoffInfo->objectName(), QStringLiteral("StoffInfo"));
        EXPECT_FALSE(StoffInfo->isVisible());

        StoffInfo->LoadStoffinfo(QStringLiteral("blatt.sto"));
        StoffInfo->DruckModus = 1;
        ASSERT_TRUE(StoffInfo->Erstellen());
        ASSERT_EQ(auftraege.size(), 1u);
        EXPECT_TRUE(texte(auftraege[0]).contains(QStringLiteral("Aceton rein"))); // the list's first name
    }
    EXPECT_EQ(StoffInfo, nullptr);
}
