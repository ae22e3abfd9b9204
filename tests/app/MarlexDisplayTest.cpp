#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/SymbolBild.h"
#include "data/Fortschritt.h"
#include "data/Optionen.h"
#include "widgets/DBImage.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString benzol = QStringLiteral("71-43-2");
const QString chlor = QStringLiteral("7782-50-5");
const QString ethanol = QStringLiteral("64-17-5");
const QString fluor = QStringLiteral("7782-41-4");

// Lines in name order, with the physical record numbers of their rows.
enum Zeile { Aceton, Benzol, Chlor, Dimethylketon, Ethanol, Fluor, OhneStoff };
const QStringList recNos = {"2", "4", "7", "6", "1", "5", "3"};

// Seven names of six substances (one without a substance record), two
// substances in storage, one structure picture.
void registerSchreiben(Register& r)
{
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{"Ethanol", ethanol},
                    {"Aceton", aceton},
                    {"Ohne Stoff", "99-99-9"},
                    {"Benzol", benzol},
                    {"Fluor", fluor},
                    {"Dimethylketon", aceton},
                    {"Chlor", chlor}});
    chemieSchreiben({
        {aceton, "1",
         {{NAME1, "Aceton"}, {GEFSYM1, "C"}, {GEFSYM2, "F+"}, {GEFSYM3, "Xn"}, {GEFSYM4, "N"}, {CANCER, "2"},
          {KREBS, "A1"}, {UNTERRICHT, "SI#"}, {WIRKUNG, "HP"}, {MEMOTEXT, "leicht entzündlich"}, {FORMEL, "C3H6O"}}},
        {benzol, "1", {{NAME1, "Benzol"}, {GEFSYM1, "xn"}, {UNTERRICHT, "SI#"}, {KREBS, "3"}}},
        {chlor, "1", {{NAME1, "Chlor"}, {UNTERRICHT, "###"}}},
        {ethanol, "1", {{NAME1, "Ethanol"}}},
        {fluor, "1", {{NAME1, "Fluor"}, {TRK1, "0,1"}}},
    });
    lagerSchreiben({{aceton, "1"}, {chlor, "1"}});
    formelnSchreiben({aceton});
}

TMarlex& gestartet(Register& r, bool markieren = true, bool farbig = false)
{
    registerSchreiben(r);
    r.einstellung("Optionen", "Lagerdatensätze markieren", markieren ? "1" : "0");
    r.einstellung("Optionen", "Darstellung in Farbe", farbig ? "1" : "0");
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();
    return m;
}

void zeigen(TMarlex& m, int zeile)
{
    m.ListBox1->setItemIndex(zeile);
    m.AktuellenDatensatzZeigen();
}

bool seiteSichtbar(const TMarlex& m)
{
    return m.PageControl1->isTabVisible(m.PageControl1->indexOf(m.TabSheet2));
}

QRgb farbe(const SymbolBild* bild)
{
    return farbeVon(bild->picture());
}

} // namespace

TEST(SchutzRegel, HoldsForTheListedClassificationsOnly)
{
    fixtures::TempDir dir;
    struct Fall {
        int feld;
        const char* wert;
        bool gilt;
    };
    const std::vector<Fall> faelle = {
        {KREBS, "A1", true},     {KREBS, "A2", true},      {KREBS, "B", true},        {KREBS, "1", false},
        {FRUCHTSCH, "A", true},  {FRUCHTSCH, "C", true},   {FRUCHTSCH, "D", false},   {WIRKUNG, "H", true},
        {WIRKUNG, "S", true},    {WIRKUNG, "HP", false},   {UNTERRICHT, "#", true},   {UNTERRICHT, "LV", true},
        {UNTERRICHT, "XXX", true}, {UNTERRICHT, "###", true}, {UNTERRICHT, "SI#", false}, {UNTERRICHT, "LV*", false},
        {UNTERRICHT, "lv", false}, {TRK1, "0,5", true},    {TRK2, "1", true},         {MAK_FAK, "II,1", true},
        {NAME2, "irgendwas", false},
    };
    std::vector<Stoff> stoffe;
    for (std::size_t i = 0; i < faelle.size(); ++i)
        stoffe.push_back({QString::number(i), "1", {{faelle[i].feld, QString::fromUtf8(faelle[i].wert)}}});
    chemieSchreiben(stoffe);

    dbase::Table chemie;
    chemie.setTableName("chemie.dbf");
    chemie.open();
    std::size_t i = 0;
    for (chemie.first(); !chemie.eof(); chemie.next(), ++i)
        EXPECT_EQ(SchutzRegelGilt(chemie), faelle[i].gilt) << "field " << faelle[i].feld << " = " << faelle[i].wert;
    EXPECT_EQ(i, faelle.size());
}

TEST(Datensatzanzeige, ShowsEveryPictogramKindInPlainPictures)
{
    Register r;
    TMarlex& m = gestartet(r);
    ASSERT_EQ(m.ListBox1->itemIndex(), Aceton);

    EXPECT_EQ(farbe(m.Image2), symbolfarbe("C.", false));
    EXPECT_EQ(farbe(m.Image3), symbolfarbe("F+.", false));
    EXPECT_EQ(farbe(m.Image4), symbolfarbe("Xn.", false));
    EXPECT_EQ(farbe(m.Image12), symbolfarbe("N.", false));
    EXPECT_EQ(farbe(m.Image5), symbolfarbe("ABZUG.", false)) << "KREBS A1 calls for precautions";
    EXPECT_EQ(farbe(m.Image6), symbolfarbe("SCHUTZ.", false));
    EXPECT_EQ(farbe(m.Image7), symbolfarbe("HAND.", false));
    EXPECT_EQ(farbe(m.Image8), symbolfarbe("SCHULE.", false)) << "SI# shows SI's picture";
    EXPECT_EQ(farbe(m.Image9), symbolfarbe("C2.", false)) << "CANCER wins over KREBS";
    EXPECT_EQ(farbe(m.Image10), symbolfarbe("HP.", false));
    EXPECT_TRUE(m.Image13->picture().isEmpty());
    EXPECT_TRUE(m.Image14->picture().isEmpty());
    EXPECT_FALSE(m.DBImage1->picture().isEmpty()) << "the structure picture of the substance";
    EXPECT_TRUE(seiteSichtbar(m));
    EXPECT_TRUE(m.ToolButton55->isEnabled()) << "the substance has a memo";
    EXPECT_TRUE(m.Ansehen1->isEnabled());
}

TEST(Datensatzanzeige, ColourSettingShowsTheColourPictures)
{
    Register r;
    TMarlex& m = gestartet(r, true, true);

    EXPECT_EQ(farbe(m.Image2), symbolfarbe("C.", true));
    EXPECT_EQ(farbe(m.Image3), symbolfarbe("F+.", true));
    EXPECT_EQ(farbe(m.Image7), symbolfarbe("HAND.", true));
    EXPECT_EQ(farbe(m.Image9), symbolfarbe("C2.", true));
    EXPECT_EQ(farbe(m.Image10), symbolfarbe("HP.", true));
}

TEST(Datensatzanzeige, CodesMatchExactlyAndPicturesOfTheLastRecordGo)
{
    Register r;
    TMarlex& m = gestartet(r);

    zeigen(m, Benzol);
    EXPECT_TRUE(m.Image2->picture().isEmpty()) << "xn is not Xn";
    EXPECT_TRUE(m.Image3->picture().isEmpty()) << "Aceton's second symbol is gone";
    EXPECT_EQ(farbe(m.Image8), symbolfarbe("SCHULE.", false));
    EXPECT_TRUE(m.Image5->picture().isEmpty()) << "SI# and KREBS 3 call for no precautions";
    EXPECT_EQ(farbe(m.Image9), symbolfarbe("3.", false)) << "KREBS when CANCER is empty";
    EXPECT_TRUE(m.Image10->picture().isEmpty());
    EXPECT_TRUE(m.DBImage1->picture().isEmpty()) << "no structure picture for Benzol";
    EXPECT_FALSE(m.ToolButton55->isEnabled()) << "no memo";

    zeigen(m, Chlor);
    EXPECT_EQ(farbe(m.Image5), symbolfarbe("ABZUG.", false)) << "### calls for precautions";
    EXPECT_EQ(farbe(m.Image8), symbolfarbe("###.", false));

    zeigen(m, Fluor);
    EXPECT_EQ(farbe(m.Image6), symbolfarbe("SCHUTZ.", false)) << "a TRK value calls for precautions";
}

TEST(Datensatzanzeige, NameWithoutSubstanceShowsTheNoDataState)
{
    Register r;
    TMarlex& m = gestartet(r);

    zeigen(m, OhneStoff);
    EXPECT_EQ(farbeVon(m.DBImage1->picture()), symbolfarbe("NODATA.", false));
    EXPECT_FALSE(seiteSichtbar(m));
    for (QAction* a : {m.ndern1, m.Kopie1, m.Lschen1, m.Memo1, m.Synonym1, m.Stoffinfo1, m.Datensatzanzeigen1,
                       m.Datensatzbearbeiten1, m.Datensatzkopieren1, m.Stoffinfoanzeigen1, m.Stoffinfodrucken1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton53, m.ToolButton57,
                           m.ToolButton58, m.ToolButton23, m.ToolButton24, m.ToolButton39, m.ToolButton40,
                           m.ToolButton55})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(m.Neueingabe1->isEnabled()) << "a new substance needs no current one";
    EXPECT_TRUE(m.ToolButton38->isEnabled());
    for (SymbolBild* b : {m.Image2, m.Image5, m.Image8, m.Image9})
        EXPECT_TRUE(b->picture().isEmpty());

    zeigen(m, Aceton);
    EXPECT_TRUE(seiteSichtbar(m));
    EXPECT_NE(farbeVon(m.DBImage1->picture()), symbolfarbe("NODATA.", false))
        << "the structure picture replaces the no-data picture";
    EXPECT_TRUE(m.ndern1->isEnabled());
}

TEST(Datensatzanzeige, EmptyNameTableLeavesTheRecordCommandsOff)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({});
    chemieSchreiben({{aceton, "1", {}}});
    lagerSchreiben({});
    formelnSchreiben({});
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();

    EXPECT_EQ(m.ListBox1->count(), 0);
    EXPECT_TRUE(m.RecNoList.isEmpty());
    EXPECT_EQ(m.ListBox1->itemIndex(), -1);
    EXPECT_FALSE(seiteSichtbar(m));
    for (QAction* a : {m.ndern1, m.Kopie1, m.Lschen1, m.Memo1, m.Datensatzbearbeiten1, m.Menu31})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton57, m.ToolButton24})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();

    m.PopupMenu1Popup();
    EXPECT_EQ(m.Menu11->text(), "Akt. Datensatz");
}

TEST(Namenliste, ReadsNamesInKeyOrderWithStorageMarkers)
{
    Register r;
    TMarlex& m = gestartet(r, true);

    ASSERT_EQ(m.ListBox1->count(), 7);
    EXPECT_EQ(m.ListBox1->text(Aceton), "Aceton");
    EXPECT_EQ(m.ListBox1->text(OhneStoff), "Ohne Stoff");
    EXPECT_EQ(m.RecNoList, recNos);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(QString::number(m.ListBox1->recNo(i)), recNos[i]);
    const std::vector<std::uint8_t> erwartet = {TMarlex::LagerMarke, TMarlex::KeinLagerMarke, TMarlex::LagerMarke,
                                                TMarlex::LagerMarke, TMarlex::KeinLagerMarke,
                                                TMarlex::KeinLagerMarke, TMarlex::KeinLagerMarke};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(m.ListBox1->marker(i), erwartet[i]) << "line " << i;
    EXPECT_EQ(m.ChemieSatzAnzahl, 5);

    // With markers the display leaves the storage panel alone and goes by
    // the line's marker.
    EXPECT_FALSE(m.Menu31->isEnabled()) << "Aceton is in storage";
    EXPECT_TRUE(m.StatusPanel[3]->text().isEmpty());
    zeigen(m, Benzol);
    EXPECT_TRUE(m.Menu31->isEnabled());
    EXPECT_TRUE(m.StatusPanel[3]->text().isEmpty());
}

TEST(Namenliste, NamesFollowingOneAnotherShareAStorageLookupOnlyWithTheSameKey)
{
    Register r;
    // File order: Zeta, Alpha, Beta, Gamma, Delta; only 50-00-0/1 is stocked.
    namenSchreiben({{"Zeta", "50-00-0", "1"}, {"Alpha", "50-00-0", "2"}, {"Beta", "50-00-0", "2"},
                    {"Gamma", "50-00-0", "1"}, {"Delta", "50-00-01", "1"}});
    chemieSchreiben({{"50-00-0", "1", {{NAME1, "Zeta"}}}, {"50-00-0", "2", {{NAME1, "Alpha"}}}});
    lagerSchreiben({{"50-00-0", "1"}});
    formelnSchreiben({});
    r.einstellung("Optionen", "Lagerdatensätze markieren", "1");
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();
    ASSERT_EQ(m.ListBox1->count(), 5);
    std::vector<std::pair<QString, std::uint8_t>> zeilen;
    for (int i = 0; i < m.ListBox1->count(); ++i)
        zeilen.emplace_back(m.ListBox1->text(i), m.ListBox1->marker(i));
    const std::uint8_t ja = TMarlex::LagerMarke;
    const std::uint8_t nein = TMarlex::KeinLagerMarke;
    EXPECT_EQ(zeilen, (std::vector<std::pair<QString, std::uint8_t>>{
                          {"Alpha", nein}, {"Beta", nein}, {"Delta", nein}, {"Gamma", ja}, {"Zeta", ja}}));
}

TEST(Namenliste, MarkersStayRightWhileTheStoragePageHasItsNameOrder)
{
    Register r;
    TMarlex& m = gestartet(r, true);
    dbase::Table& lager = *r.datas().Table3;
    lager.setIndexName("NAME1_SUB");
    lager.last();
    const std::uint32_t zeile = lager.recNo();

    m.DatenlisteEinlesen();
    EXPECT_EQ(m.ListBox1->marker(Aceton), TMarlex::LagerMarke);
    EXPECT_EQ(m.ListBox1->marker(Chlor), TMarlex::LagerMarke);
    EXPECT_EQ(m.ListBox1->marker(Benzol), TMarlex::KeinLagerMarke);
    EXPECT_EQ(lager.indexName(), "NAME1_SUB");
    EXPECT_EQ(lager.recNo(), zeile) << "the storage grid's row stays";
}

TEST(Namenliste, WithoutMarkersTheDisplayLooksUpStorageAndKeepsTheUsersFilter)
{
    Register r;
    TMarlex& m = gestartet(r, false);
    for (int i = 0; i < m.ListBox1->count(); ++i)
        EXPECT_EQ(m.ListBox1->marker(i), TMarlex::KeinLagerMarke);
    EXPECT_EQ(m.StatusPanel[3]->text(), "Im Lager");
    EXPECT_FALSE(m.Menu31->isEnabled());

    dbase::Table& lager = *r.datas().Table3;
    lager.setFilterText("CARN='" + chlor + "'");
    lager.setFiltered(true);
    zeigen(m, Benzol);
    EXPECT_EQ(m.StatusPanel[3]->text(), "Nicht im Lager");
    EXPECT_TRUE(m.Menu31->isEnabled());
    zeigen(m, Aceton);
    EXPECT_EQ(m.StatusPanel[3]->text(), "Im Lager") << "the check ignores the user's filter";
    EXPECT_TRUE(lager.filtered());
    EXPECT_EQ(lager.filterText(), "CARN='" + chlor + "'");
    EXPECT_EQ(lager.recordCount(), 1u);
}

TEST(Namenliste, ReaderStepsOncePerRowAndLeavesTheTableOnTheFirstRow)
{
    Register r;
    TMarlex& m = gestartet(r);
    int schritte = 0;
    m.NamenlisteLesen([&schritte] { ++schritte; });
    EXPECT_EQ(schritte, 7);
    EXPECT_EQ(r.datas().Table1->recNo(), 2u) << "Aceton's row";
}

TEST(Namenliste, DatenlisteEinlesenShowsLineZeroAndHidesTheProgressWindow)
{
    Register r;
    TMarlex& m = gestartet(r);
    zeigen(m, Fluor);
    m.PageControl1->setCurrentWidget(m.TabSheet3);

    m.DatenlisteEinlesen();
    EXPECT_EQ(m.ListBox1->itemIndex(), 0);
    EXPECT_EQ(m.VorherigerListenIndex, 0);
    EXPECT_EQ(m.PageControl1->currentWidget(), m.TabSheet1);
    EXPECT_EQ(r.datas().Table1->recNo(), 2u);
    EXPECT_FALSE(ListeEinlesen->isVisible());
    EXPECT_EQ(ListeEinlesen->windowTitle(), "Datenliste neu einlesen");
    EXPECT_EQ(ListeEinlesen->Label1->text(),
              "Datenliste wird neueingelesen und Datensätze werden nach Vorhandensein im Lager überprüft...");
    EXPECT_EQ(ListeEinlesen->ProgressBar1->maximumSteps(), 7);
    EXPECT_EQ(ListeEinlesen->ProgressBar1->position(), 7);
    EXPECT_EQ(m.StatusPanel[0]->text(), "1 / 5") << "Aceton is chemie.dbf's first record";
}

TEST(Namenliste, AMissingFilterTableLeavesTheListOnTheNameTable)
{
    Register r;
    TMarlex& m = gestartet(r);
    zeigen(m, Ethanol);
    m.ListenFilterAktiv = 1;
    EXPECT_THROW(m.DatenlisteEinlesen(), dbase::DbaseError);
    dbase::Table& namen = *r.datas().Table1;
    EXPECT_TRUE(namen.active());
    EXPECT_EQ(namen.tableName(), "namen.dbf");
    EXPECT_EQ(m.ListBox1->count(), 7);
    m.ListenFilterAktiv = 0;
    zeigen(m, Chlor);
    EXPECT_EQ(QString::number(namen.recNo()), recNos[Chlor]);
}

TEST(Namenliste, DisplayMovesTheNameTableByTheLineDifference)
{
    Register r;
    TMarlex& m = gestartet(r);
    dbase::Table& namen = *r.datas().Table1;

    zeigen(m, 5);
    EXPECT_EQ(QString::number(namen.recNo()), recNos[5]);
    EXPECT_EQ(m.VorherigerListenIndex, 5);
    zeigen(m, 2);
    EXPECT_EQ(QString::number(namen.recNo()), recNos[2]);
    EXPECT_EQ(m.AktuellerListenIndex, 2);
    zeigen(m, Dimethylketon);
    EXPECT_EQ(farbe(m.Image2), symbolfarbe("C.", false)) << "a synonym shows its substance";
    EXPECT_EQ(m.ListBox1->marker(Dimethylketon), m.ListBox1->marker(Aceton));
}

TEST(Namenliste, ReadOnlyModeKeepsEditingOffButViewingOn)
{
    Register r;
    r.einstellung("Optionen", "Nur Lesemodus", "1");
    TMarlex& m = gestartet(r);

    EXPECT_FALSE(m.ndern1->isEnabled());
    EXPECT_FALSE(m.ToolButton41->isEnabled());
    EXPECT_FALSE(m.ToolButton31->isEnabled());
    EXPECT_TRUE(m.Stoffinfo1->isEnabled());
    EXPECT_TRUE(m.ToolButton57->isEnabled());
    EXPECT_FALSE(m.Datensatzbearbeiten1->isEnabled()) << "the popup's edit item writes as its menu item does";
    EXPECT_TRUE(seiteSichtbar(m));
}

TEST(Namenliste, PopupTitleIsTheCurrentLine)
{
    Register r;
    namenSchreiben({{"Kupfer & Zinn", "1-1-1"}});
    symbolOrdnerSchreiben(QDir(r.programm()));
    chemieSchreiben({});
    lagerSchreiben({});
    formelnSchreiben({});
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();
    m.PopupMenu1Popup();
    EXPECT_EQ(m.Menu11->text(), "Kupfer && Zinn");

    m.Datensatzanzeigen1Click();
    EXPECT_EQ(m.PageControl1->currentWidget(), m.TabSheet2);
}

TEST(Namenliste, WithoutMarkersTheStorageCheckTakesTheKeyValuesAsTheyAre)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    const QString einschub = QStringLiteral("1' or ''='"); // would pass every row with SUBCARN 1
    const QString stern = QStringLiteral("7782-*");        // would pass Chlor's rows as a prefix
    const QString apostroph = QStringLiteral("12'3");      // would not parse
    namenSchreiben({{"Einschub", einschub}, {"Stern", stern}, {"Apostroph", apostroph}});
    chemieSchreiben({{einschub, "1", {}}, {stern, "1", {}}, {apostroph, "1", {}}});
    lagerSchreiben({{chlor, "1"}, {apostroph, "1"}});
    formelnSchreiben({});
    r.einstellung("Optionen", "Lagerdatensätze markieren", "0");
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();

    // The user's storage filter, built as the program builds them, is the
    // same filter afterwards: exact, not a prefix read back from its text.
    dbase::Table& lager = *r.datas().Table3;
    lager.setFilter(dbase::Filter::equals("CARN", stern));
    lager.setFiltered(true);

    const std::vector<std::pair<int, const char*>> faelle = {
        {2, "Nicht im Lager"}, {1, "Nicht im Lager"}, {0, "Im Lager"}};
    for (const auto& [zeile, erwartet] : faelle) {
        SCOPED_TRACE(m.ListBox1->text(zeile).toStdString());
        ASSERT_NO_THROW(zeigen(m, zeile));
        EXPECT_EQ(m.StatusPanel[3]->text(), erwartet);
        EXPECT_EQ(m.Menu31->isEnabled(), erwartet != std::string("Im Lager"));
        EXPECT_TRUE(lager.filtered());
        EXPECT_EQ(lager.recordCount(), 0u) << "no row holds the CARN 7782-* itself";
    }
}
