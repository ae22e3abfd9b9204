// The report generator on the demo register, started as a user starts it
// (the dialog's output "Drucker", the question answered "Ja"); the printed
// reports are read back with poppler's tools.

#include <gtest/gtest.h>

#include <numeric>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include "ReportLaufSupport.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "demo/ReportLayouts.h"
#include "report/PreviewWidget.h"
#include "reports/ReportErstellung.h"
#include "reports/Vorschau.h"
#include "widgets/DBImage.h"
#include "search/Filterverwaltung.h"
#include "sheets/ReportRun.h"
#include "sheets/SheetSession.h"

namespace {

using reportlauf::casSortiert;
using reportlauf::testlayoutSchreiben;

// What a run must leave as it found it.
struct Tabellenstand {
    QString namen, namenIndex, chemieFilter, lagerFilter, lagerIndex, siGefFilter;
    bool chemieGefiltert, lagerGefiltert;
    std::uint32_t namenZeile, lagerZeile;
    bool strukturbildVersteckt; // the main window's structure picture

    static Tabellenstand jetzt()
    {
        TDatas& d = *Datas;
        return {d.Table1->tableName(),   d.Table1->indexName(), d.Table2->filter().text(),
                d.Table3->filter().text(), d.Table3->indexName(), d.Table4->filter().text(),
                d.Table2->filtered(),    d.Table3->filtered(),  d.Table1->recNo(),
                d.Table3->recNo(),       Marlex->DBImage1->isHidden()};
    }
    bool operator==(const Tabellenstand&) const = default;
};

void PrintTo(const Tabellenstand& s, std::ostream* os)
{
    *os << s.namen.toStdString() << "/" << s.namenIndex.toStdString() << "@" << s.namenZeile << " chemie "
        << s.chemieFilter.toStdString() << (s.chemieGefiltert ? " (an)" : " (aus)") << " lager "
        << s.lagerFilter.toStdString() << (s.lagerGefiltert ? " (an) " : " (aus) ") << s.lagerIndex.toStdString()
        << "@" << s.lagerZeile << " si_gef " << s.siGefFilter.toStdString()
        << (s.strukturbildVersteckt ? " structure picture hidden" : "");
}

class Reporte : public ::testing::Test {
protected:
    // Prints the layout with the description into a PDF; its CAS numbers
    // sorted, or a failure with the program's messages.
    QStringList drucken(const QStringList& beschreibung, const QString& name)
    {
        const QString layout = out.filePath(name + ".REP");
        testlayoutSchreiben(layout, beschreibung);
        const QString pdf = out.filePath(name + ".pdf");
        try {
            sheets::printReportPdf(session, layout, pdf);
        } catch (const sheets::SheetError& e) {
            ADD_FAILURE() << name.toStdString() << ": " << e.what();
            return {};
        }
        return casSortiert(pdf);
    }

    QTemporaryDir out;
    sheets::SheetSession session;
};

QStringList sortiert(QStringList liste)
{
    liste.sort();
    return liste;
}

const QStringList kAlle = sortiert({"67-64-1", "64-17-5", "7647-01-0", "7647-01-0", "1310-73-2", "7440-23-5",
                                    "7439-97-6", "7647-14-5", "7722-64-7", "67-56-1", "108-95-2", "7726-95-6",
                                    "10326-27-9"});
const QStringList kGiftschrank = sortiert({"7439-97-6", "108-95-2", "7726-95-6", "10326-27-9"});

} // namespace

TEST_F(Reporte, EveryFormOfSelectionLinePicksItsStockItemsAndLeavesTheTablesAsTheyWere)
{
    struct Fall {
        QStringList beschreibung;
        QStringList erwartet;
    };
    const std::vector<Fall> faelle{
        {{"lager.dbf", ""}, kAlle},
        {{"LAGER.DBF", "LAGER_ORT='Giftschrank'"}, kGiftschrank},
        // A trailing "*" matches as a prefix.
        {{"lager.dbf", "LAGER_ORT='Giftschrank*'"}, sortiert(kGiftschrank + QStringList{"7440-23-5"})},
        // A path before the file name, as a layout made on another machine has it.
        {{"C:\\MARLEX\\lager.dbf", "LAGER_ORT='Säureschrank'"}, {"7647-01-0", "7647-01-0"}},
        // Through the substance: the very toxic and toxic ones.
        {{"chemie.dbf", "GEFSYM1='T+' OR GEFSYM1='T' OR GEFSYM2='T'"},
         sortiert({"7439-97-6", "67-56-1", "108-95-2", "7726-95-6", "10326-27-9"})},
        // Through the name table.
        {{"namen.dbf", "NAME1='Quecksilber'"}, {"7439-97-6"}},
        // The phrase table selects no stock item; lines after the second
        // are not looked at.
        {{"si_gef.dbf", "NRSATZ='R11'", "was hier steht, zählt nicht"}, kAlle},
    };
    Datas->Table3->next(); // the user stands on the second stock item
    const Tabellenstand vorher = Tabellenstand::jetzt();
    int nummer = 0;
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.beschreibung.join(" | ").toStdString());
        EXPECT_EQ(drucken(fall.beschreibung, QStringLiteral("AUSWAHL%1").arg(++nummer)), fall.erwartet);
        EXPECT_EQ(Tabellenstand::jetzt(), vorher);
    }
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Reporte, ThePrintedReportHasTitleAndSummaryOnceAndNeitherChildBandNorExpandedCondition)
{
    const QString layout = out.filePath("TEST.REP");
    testlayoutSchreiben(layout, {"chemie.dbf", "GEFSYM1='T+'"});
    const QString pdf = out.filePath("test.pdf");
    sheets::printReportPdf(session, layout, pdf);
    const QString text = fixtures::poppler("pdftotext", {pdf, "-"});
    // Brom alone passes; the title and summary print all the same.
    EXPECT_EQ(casSortiert(pdf), QStringList{"7726-95-6"});
    EXPECT_EQ(text.count("TITELZEILE"), 1);
    EXPECT_EQ(text.count("SUMMENZEILE"), 1);
    EXPECT_TRUE(text.contains("Brom")) << text.toStdString();
    EXPECT_FALSE(text.contains("KINDBAND")) << text.toStdString();
    EXPECT_TRUE(text.contains("NOCHT NICHT IMPLEMENTIERT")) << text.toStdString();
    EXPECT_FALSE(text.contains("bedingt")) << text.toStdString();
}

TEST_F(Reporte, ASelectionOnTheStorageTableTakesThePlaceOfTheStorageFilterWhichComesBackAfterwards)
{
    // The user looks at the acid cabinet; a poison cabinet report lists the
    // poison cabinet all the same.
    LagerFilterSetzen(dbase::Filter::parse("LAGER_ORT='Säureschrank'"));
    const Tabellenstand vorher = Tabellenstand::jetzt();
    ASSERT_TRUE(vorher.lagerGefiltert);

    EXPECT_EQ(drucken({"lager.dbf", "LAGER_ORT='Giftschrank'"}, "GIFT"), kGiftschrank);
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
    // An empty selection line on the storage table selects every stock item.
    EXPECT_EQ(drucken({"lager.dbf", ""}, "LEER"), kAlle);
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
    // A selection through the substances picks among the stock items the
    // storage filter shows: the concentrated hydrochloric acid, not the
    // other corrosive ones nor the dilute acid beside it.
    EXPECT_EQ(drucken({"chemie.dbf", "GEFSYM1='C'"}, "AETZEND"), QStringList{"7647-01-0"});
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
}

TEST_F(Reporte, WithTheListFilterOnTheReportReadsTheRegisterAndPutsTheFilterBack)
{
    ASSERT_TRUE(ListenFilterSetzen(dbase::Filter::parse("GEFSYM1='C'")));
    ASSERT_TRUE(Marlex->ListenFilterAktiv);
    const Tabellenstand vorher = Tabellenstand::jetzt();
    ASSERT_EQ(vorher.namen, Datas->arbeitsdatei("filter.dbf"));
    ASSERT_TRUE(vorher.chemieGefiltert);

    // The selection replaces the list filter for the run; "namen.dbf" names
    // the register's name table although the list reads from its copy.
    // Mercury (T, N) is not among the corrosive substances of the list.
    EXPECT_EQ(drucken({"chemie.dbf", "GEFSYM2='N'"}, "LISTE"), QStringList{"7439-97-6"});
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
    EXPECT_EQ(drucken({"namen.dbf", "NAME1='Ethanol'"}, "NAMEN"), QStringList{"64-17-5"});
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
}

TEST_F(Reporte, ABadInputIsAGermanMessageAndChangesNothing)
{
    LagerFilterSetzen(dbase::Filter::parse("ANZAHL>0"));
    Datas->Table3->next();
    const Tabellenstand vorher = Tabellenstand::jetzt();
    const QString pdf = out.filePath("nie.pdf");

    const auto pruefen = [&](const char* was, const QString& layout, const QString& erwartet) {
        try {
            sheets::printReportPdf(session, layout, pdf);
            ADD_FAILURE() << was << ": printed";
        } catch (const sheets::SheetError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(erwartet)) << was << ": " << e.what();
        }
        EXPECT_FALSE(QFile::exists(pdf)) << was;
        EXPECT_EQ(Tabellenstand::jetzt(), vorher) << was;
    };
    const auto layout = [&](const QString& name, const QStringList& beschreibung) {
        const QString pfad = out.filePath(name);
        testlayoutSchreiben(pfad, beschreibung);
        return pfad;
    };
    pruefen("missing file", out.filePath("FEHLT.REP"), "kann nicht gelesen werden");
    QFile kaputt(out.filePath("KAPUTT.REP"));
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("TPF0 kein Report");
    kaputt.close();
    pruefen("damaged file", kaputt.fileName(), "kann nicht gelesen werden");
    pruefen("one line", layout("EINE.REP", {"lager.dbf"}), "keine Auswahl");
    pruefen("no lines", layout("KEINE.REP", {}), "keine Auswahl");
    pruefen("unknown table", layout("ARTIKEL.REP", {"artikel.dbf", ""}), "„artikel.dbf“");
    pruefen("formulas table", layout("FORMELN.REP", {"formeln.dbf", ""}), "keine der Tabellen");
    pruefen("bad syntax", layout("SYNTAX.REP", {"lager.dbf", "LAGER_ORT="}), "LAGER_ORT=");
    pruefen("field of another table", layout("FELD.REP", {"lager.dbf", "GEFSYM1='T'"}), "GEFSYM1");

    const QString gut = layout("GUT.REP", {"lager.dbf", ""});
    OptOnlyEtikett = false;
    const QString rand = OptRandLinks;
    OptRandLinks = QStringLiteral("15 mm");
    pruefen("margin", gut, "Rand links");
    OptRandLinks = QStringLiteral("150");
    OptRandRechts = QStringLiteral("150");
    pruefen("no room", gut, "keinen Platz");
    OptRandLinks = rand;
    OptRandRechts = rand;
    OptOnlyEtikett = true;
}

TEST_F(Reporte, TheDemoStockListPrintsEveryItemOnceInNameOrderWithItsPlaceOnItsPage)
{
    // Enough items for four pages: Ethanol in places "Fach 001" to "Fach 120",
    // in name order by their name keys.
    dbase::Table& lager = *Datas->Table3;
    for (int i = 1; i <= 120; ++i) {
        lager.append();
        lager.fieldByName("NAME1").setAsString("Ethanol");
        lager.fieldByName("STRIPNAME1").setAsString(QStringLiteral("ETHANOL %1").arg(i, 3, 10, QLatin1Char('0')));
        lager.fieldByName("CARN").setAsString("64-17-5");
        lager.fieldByName("SUBCARN").setAsString("1");
        lager.fieldByName("MENGE_IN_G").setAsString(QString::number(i * 10));
        lager.fieldByName("LAGER_ORT").setAsString(QStringLiteral("Fach %1").arg(i, 3, 10, QLatin1Char('0')));
        lager.post();
    }
    const QString pdf = out.filePath("LAGERLISTE.pdf");
    sheets::printReportPdf(session, sheets::demoReportLayouts().at(0), pdf);

    const QString text = fixtures::poppler("pdftotext", {"-layout", pdf, "-"});
    QStringList seitentexte = text.split('\f');
    seitentexte.removeAll(QString());
    ASSERT_GE(seitentexte.size(), 3);
    QStringList faecher;
    std::vector<int> zeilenJeSeite;
    for (int s = 0; s < seitentexte.size(); ++s) {
        const QString& seite = seitentexte[s];
        SCOPED_TRACE("page " + std::to_string(s + 1));
        EXPECT_TRUE(seite.contains("Lagerort")) << "column headings on every page";
        EXPECT_TRUE(seite.contains(QRegularExpression(QStringLiteral("Seite\\s+%1\\b").arg(s + 1))));
        EXPECT_EQ(seite.contains("Stand:"), s == 0) << "the title on the first page only";
        const bool letzte = s + 1 == seitentexte.size();
        EXPECT_EQ(seite.contains(QRegularExpression("Anzahl der Lagerdatensätze:\\s+133\\b")), letzte);
        // Each line: the place, the item's name, CAS number and amount.
        const QRegularExpression fach("Fach (\\d{3})\\s+Ethanol\\s+64-17-5\\s+(\\d+)");
        for (auto it = fach.globalMatch(seite); it.hasNext();) {
            const auto treffer = it.next();
            faecher << treffer.captured(1);
            EXPECT_EQ(treffer.captured(2).toInt(), treffer.captured(1).toInt() * 10);
        }
        zeilenJeSeite.push_back(
            static_cast<int>(seite.count(QRegularExpression("\\b\\d{2,7}-\\d\\d-\\d\\s+\\d+\\b"))));
    }
    // Every page but the last is full: as many lines as fit under the
    // headings, the first page fewer for the title; 133 in all.
    EXPECT_EQ(std::accumulate(zeilenJeSeite.begin(), zeilenJeSeite.end(), 0), 133);
    for (std::size_t s = 2; s + 1 < zeilenJeSeite.size(); ++s)
        EXPECT_EQ(zeilenJeSeite[s], zeilenJeSeite[1]) << "page " << s + 1;
    EXPECT_LT(zeilenJeSeite[0], zeilenJeSeite[1]);
    EXPECT_GT(zeilenJeSeite[0], 0);
    EXPECT_GT(zeilenJeSeite.back(), 0);
    QStringList erwartet;
    for (int i = 1; i <= 120; ++i)
        erwartet << QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
    EXPECT_EQ(faecher, erwartet);
    // The demo's own items, each on one line with its place.
    for (const char* zeile : {"Giftschrank\\s+Quecksilber\\s+7439-97-6\\s+50\\b",
                              "Regal 3\\s+Natriumchlorid\\s+7647-14-5\\s+1000\\b",
                              "Säureschrank\\s+Salzsäure 37 %\\s+7647-01-0\\s+1000\\b"})
        EXPECT_EQ(text.count(QRegularExpression(QString::fromUtf8(zeile))), 1) << zeile;
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Reporte, TheDemoToxicListShowsTheToxicItemsWithSymbolsAndPhrases)
{
    const QString pdf = out.filePath("GIFTLISTE.pdf");
    sheets::printReportPdf(session, sheets::demoReportLayouts().at(1), pdf);
    const QString text = fixtures::poppler("pdftotext", {"-layout", pdf, "-"});
    for (const char* stoff : {"Quecksilber", "Methanol", "Phenol", "Brom", "Bariumchlorid-Dihydrat"})
        EXPECT_EQ(text.count(QString::fromUtf8(stoff)), 1) << stoff << "\n" << text.toStdString();
    for (const char* harmlos : {"Aceton", "Natriumchlorid", "Salzsäure"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(harmlos))) << harmlos;
    // Two symbols a line, the two of each substance that has two.
    const QString bilder = fixtures::poppler("pdfimages", {"-list", pdf});
    EXPECT_EQ(bilder.split('\n', Qt::SkipEmptyParts).size() - 2, 9) << bilder.toStdString();
}

TEST_F(Reporte, WithAResearchTableAsTheNameTableOnlyItsSubstancesPrintAndNamenDbfNamesNoTable)
{
    // The research table holds mercury's name alone.
    dbase::Table& namen = *Datas->Table1;
    namen.close();
    namen.setTableName(Datas->arbeitsdatei("zan_tmp1.dbf"));
    namen.setIndexFiles(Datas->arbeitsdatei("zan_tmp1.mdx"));
    namen.setIndexName("NAME1_SUB");
    namen.open();
    namen.append();
    namen.fieldByName("NAME1").setAsString("Quecksilber");
    namen.fieldByName("STRIPNAME1").setAsString("QUECKSILBER");
    namen.fieldByName("CARN").setAsString("7439-97-6");
    namen.fieldByName("SUBCARN").setAsString("1");
    namen.post();
    const Tabellenstand vorher = Tabellenstand::jetzt();

    EXPECT_EQ(drucken({"lager.dbf", ""}, "RECHERCHE"), QStringList{"7439-97-6"});
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);

    const QString layout = out.filePath("NAMEN.REP");
    testlayoutSchreiben(layout, {"namen.dbf", ""});
    try {
        sheets::printReportPdf(session, layout, out.filePath("namen.pdf"));
        ADD_FAILURE() << "printed";
    } catch (const sheets::SheetError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("„namen.dbf“")) << e.what();
    }
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
}

TEST_F(Reporte, APreviewClosedWhileItsPagesAreStillBeingBuiltPutsTheTablesBack)
{
    dbase::Table& lager = *Datas->Table3;
    for (int i = 0; i < 400; ++i) {
        lager.append();
        lager.fieldByName("NAME1").setAsString("Ethanol");
        lager.fieldByName("STRIPNAME1").setAsString("ETHANOL");
        lager.fieldByName("CARN").setAsString("64-17-5");
        lager.fieldByName("SUBCARN").setAsString("1");
        lager.post();
    }
    LagerFilterSetzen(dbase::Filter::parse("LAGER_ORT<>'Regal 3'"));
    lager.next();
    const Tabellenstand vorher = Tabellenstand::jetzt();

    int seitenBeimSchliessen = -1;
    bool nochImAufbau = false;
    QTimer schliessen;
    schliessen.setInterval(0);
    QObject::connect(&schliessen, &QTimer::timeout, [&] {
        auto* vorschau = qobject_cast<TVorschau*>(QApplication::activeModalWidget());
        if (!vorschau || vorschau->QRPreview1->pageCount() < 1)
            return;
        schliessen.stop();
        seitenBeimSchliessen = vorschau->QRPreview1->pageCount();
        nochImAufbau = vorschau->Panel0->text().isEmpty(); // the page text comes when the build ends
        vorschau->close();
    });
    schliessen.start();
    sheets::previewReport(session, sheets::demoReportLayouts().at(0));

    EXPECT_GE(seitenBeimSchliessen, 1);
    EXPECT_TRUE(nochImAufbau) << seitenBeimSchliessen << " pages";
    EXPECT_EQ(Tabellenstand::jetzt(), vorher);
    EXPECT_TRUE(session.takeMessages().isEmpty());
}
