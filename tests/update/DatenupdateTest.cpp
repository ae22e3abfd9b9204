#include <gtest/gtest.h>

#include <QDate>
#include <QLocale>

#include "UpdateTestSupport.h"
#include "app/NameRules.h"
#include "demo/DemoData.h"
#include "demo/Generator.h"
#include "dbase/Table.h"
#include "fixtures/Files.h"
#include "fixtures/Tdbf.h"
#include "update/Datenupdate.h"

using namespace marlextest;
using namespace updatetest;

namespace {

// Aceton (two names) and Benzol with their substances; Chlor has a name
// row but no substance.
class UpdateRegister : public Register {
public:
    UpdateRegister()
    {
        namenSchreiben({{u"Aceton"_qs, aceton}, {u"Propanon"_qs, aceton}, {u"Benzol"_qs, benzol},
                        {u"Chlor"_qs, chlor}});
        chemieSchreiben({stoff(u"Aceton"_qs, aceton, {{WGK, u"1"_qs}, {MOLMASSE, u"58.08"_qs}}),
                         stoff(u"Benzol"_qs, benzol, {{WGK, u"3"_qs}, {MOLMASSE, u"78.11"_qs}, {MEMOTEXT, u"Abzug"_qs}})});
    }
};

// The update's tables opened as the program holds them, merged in one mode.
update::Updatestand zusammenfuehren(const QString& datei, bool satzweise)
{
    dbase::Table quelle, chemie, namen;
    quelle.setTableName(datei);
    quelle.setReadOnly(true);
    chemie.setTableName(u"chemie.dbf"_qs);
    namen.setTableName(u"namen.dbf"_qs);
    for (dbase::Table* t : {&quelle, &chemie, &namen})
        t->open();
    update::Datenupdate lauf(quelle, chemie, namen);
    int schritte = 0;
    if (satzweise)
        lauf.satzweise([&] { ++schritte; });
    else
        lauf.inEinem();
    if (satzweise && lauf.stand().fehler.isEmpty()) {
        EXPECT_EQ(schritte, int(quelle.recordCount())) << "one step per update record";
    }
    if (lauf.stand().fehler.isEmpty()) {
        // Another dBASE program reading now, while the tables are still
        // open, finds every merged substance through each tag of chemie.mdx.
        const fixtures::TdbfTable zeilen = fixtures::readWithTdbf("chemie.dbf");
        for (const fixtures::TdbfTag& tag : zeilen.tags)
            EXPECT_EQ(fixtures::readWithTdbf("chemie.dbf", tag.name).rows.size(), zeilen.rows.size())
                << tag.name << (satzweise ? " record by record" : " in one");
    }
    return lauf.stand();
}

// Aceton's hazard class changed and its name spelt anew, Benzol as it
// stands, Ethanol new with no molar mass, Chlor new to chemie.dbf only.
void typischesUpdate()
{
    updateSchreiben(u"neu/UPD.DBF"_qs,
                    {stoff(u"Aceton (rein)"_qs, aceton, {{WGK, u"2"_qs}, {MOLMASSE, u"58.08"_qs}}),
                     stoff(u"Benzol"_qs, benzol, {{WGK, u"3"_qs}, {MOLMASSE, u"78.110"_qs}, {MEMOTEXT, u"Abzug"_qs}}),
                     stoff(u"Ethanol"_qs, ethanol, {{WGK, u"1"_qs}, {SMT, u"-114.1"_qs}}),
                     stoff(u"Chlor"_qs, chlor, {{WGK, u"2"_qs}, {MOLMASSE, u"70.9"_qs}})},
                    // The supplier keeps the molar mass with two decimals,
                    // the register with three.
                    [](std::vector<dbase::FieldDef>& felder) { felder[MOLMASSE].decimals = 2; });
}

class BeideArten : public ::testing::TestWithParam<bool> {};

TEST_P(BeideArten, FrischtAufUebernimmtErgaenztNamenUndMeldetBeimZweitenMalNichts)
{
    const bool satzweise = GetParam();
    UpdateRegister r;
    typischesUpdate();

    const update::Updatestand erster = zusammenfuehren(u"neu/UPD.DBF"_qs, satzweise);
    EXPECT_EQ(erster.fehler, QString());
    EXPECT_EQ(erster.aufgefrischt, 1);
    EXPECT_EQ(erster.uebernommen, 2);
    if (satzweise)
        EXPECT_EQ(erster.zeilen, QStringList({u"Aceton (rein) wurde in der Datenbank aufgefrischt."_qs,
                                              u"Ethanol wurde in die Datenbank übernommen."_qs,
                                              u"Chlor wurde in die Datenbank übernommen."_qs}));
    else
        EXPECT_TRUE(erster.zeilen.isEmpty()) << "the batch move names no record";

    EXPECT_EQ(zeilen(u"chemie.dbf"_qs, {u"WGK"_qs, u"MOLMASSE"_qs, u"SMT"_qs, u"MEMOTEXT"_qs}),
              QStringList({u"Aceton (rein)|67-64-1|1|2|58.08||"_qs, u"Benzol|71-43-2|1|3|78.11||Abzug"_qs,
                           u"Ethanol|64-17-5|1|1||-114.1|"_qs, u"Chlor|7782-50-5|1|2|70.9||"_qs}))
        << "an empty number stays empty";
    // The renamed substance keeps its name rows; Chlor had one; Ethanol
    // gets one with its key.
    EXPECT_EQ(zeilen(u"namen.dbf"_qs, {u"STRIPNAME1"_qs}),
              QStringList({u"Aceton|67-64-1|1|ACETON"_qs, u"Propanon|67-64-1|1|PROPANON"_qs,
                           u"Benzol|71-43-2|1|BENZOL"_qs, u"Chlor|7782-50-5|1|CHLOR"_qs,
                           u"Ethanol|64-17-5|1|"_qs + StripNameBilden(u"Ethanol"_qs)}));

    const update::Updatestand zweiter = zusammenfuehren(u"neu/UPD.DBF"_qs, satzweise);
    EXPECT_EQ(zweiter.aufgefrischt, 0) << "the same values, numbers with other decimals and empty numbers included";
    EXPECT_EQ(zweiter.uebernommen, 0);
    EXPECT_TRUE(zweiter.zeilen.isEmpty()) << zweiter.zeilen.join(u'\n').toStdString();
    EXPECT_EQ(zeilen(u"namen.dbf"_qs).size(), 5);
}

TEST_P(BeideArten, ZahlenAlsTextMitKommaOderPunktWerdenZahlen)
{
    UpdateRegister r;
    // A supplier's table that keeps the molar mass as text.
    updateSchreiben(u"UPD.DBF"_qs,
                    {stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"46,07"_qs}}),
                     stoff(u"Chlor"_qs, chlor, {{MOLMASSE, u" 70.9"_qs}})},
                    [](std::vector<dbase::FieldDef>& felder) {
                        felder[MOLMASSE].type = dbase::FieldType::Character;
                        felder[MOLMASSE].decimals = 0;
                    });
    const update::Updatestand stand = zusammenfuehren(u"UPD.DBF"_qs, GetParam());
    EXPECT_EQ(stand.fehler, QString());
    EXPECT_EQ(stand.uebernommen, 2);
    EXPECT_EQ(zeilen(u"chemie.dbf"_qs, {u"MOLMASSE"_qs}),
              QStringList({u"Aceton|67-64-1|1|58.08"_qs, u"Benzol|71-43-2|1|78.11"_qs, u"Ethanol|64-17-5|1|46.07"_qs,
                           u"Chlor|7782-50-5|1|70.9"_qs}));
}

INSTANTIATE_TEST_SUITE_P(Update, BeideArten, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Satzweise" : "InEinem"; });

TEST(Datenupdate, PrueftDasLayoutBevorEtwasGeschriebenWird)
{
    UpdateRegister r;
    const std::string chemieVorher = fixtures::readFile("chemie.dbf");
    const std::string namenVorher = fixtures::readFile("namen.dbf");
    const std::vector<marlextest::Stoff> stoffe{stoff(u"Ethanol"_qs, ethanol)};

    updateSchreiben(u"kurz.dbf"_qs, stoffe, [](auto& felder) { felder.pop_back(); });
    updateSchreiben(u"anders.dbf"_qs, stoffe, [](auto& felder) { std::swap(felder[WGK], felder[MOLMASSE - 2]); });
    for (const QString& datei : {u"kurz.dbf"_qs, u"anders.dbf"_qs}) {
        EXPECT_THROW(zusammenfuehren(datei, true), update::UpdateFehler) << datei.toStdString();
        EXPECT_THROW(zusammenfuehren(datei, false), update::UpdateFehler) << datei.toStdString();
    }
    EXPECT_EQ(fixtures::readFile("chemie.dbf"), chemieVorher);
    EXPECT_EQ(fixtures::readFile("namen.dbf"), namenVorher);

    // Further fields after chemie.dbf's are left alone.
    updateSchreiben(u"mehr.dbf"_qs, stoffe,
                    [](auto& felder) { felder.push_back({"HERSTELLER", dbase::FieldType::Character, 20}); });
    EXPECT_EQ(zusammenfuehren(u"mehr.dbf"_qs, true).uebernommen, 1);
}

// Each field has its type (a number field may be text in the update table)
// and every number reads as one and fits the register's field; a table that
// does not is refused before anything is written, naming field and substance.
TEST(Datenupdate, PrueftArtUndZahlenJedesFeldesBevorEtwasGeschriebenWird)
{
    UpdateRegister r;
    const std::string chemieVorher = fixtures::readFile("chemie.dbf");
    const std::string namenVorher = fixtures::readFile("namen.dbf");
    const auto als = [](int feld, dbase::FieldType typ, std::uint8_t laenge) {
        return [=](std::vector<dbase::FieldDef>& felder) {
            felder[static_cast<std::size_t>(feld)].type = typ;
            felder[static_cast<std::size_t>(feld)].length = laenge;
            felder[static_cast<std::size_t>(feld)].decimals = 0;
        };
    };
    const Unpassend faelle[] = {
        {"datum.dbf", {stoff(u"Ethanol"_qs, ethanol)}, als(MOLMASSE, dbase::FieldType::Date, 8),
         {u"MOLMASSE"_qs, u"Datumsfeld"_qs}},
        {"logisch.dbf", {stoff(u"Ethanol"_qs, ethanol)}, als(SMT, dbase::FieldType::Logical, 1),
         {u"SMT"_qs, u"logisches Feld"_qs}},
        {"memo.dbf", {stoff(u"Ethanol"_qs, ethanol)}, als(WGK, dbase::FieldType::Memo, 10),
         {u"WGK"_qs, u"Memofeld"_qs, u"Textfeld"_qs}},
        {"zahl.dbf", {stoff(u"Ethanol"_qs, ethanol)}, als(WGK, dbase::FieldType::Numeric, 4),
         {u"WGK"_qs, u"Zahlenfeld"_qs, u"Textfeld"_qs}},
        {"text.dbf",
         {stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"46.07"_qs}}), stoff(u"Chlor"_qs, chlor, {{MOLMASSE, u"viel"_qs}})},
         als(MOLMASSE, dbase::FieldType::Character, 10), {u"MOLMASSE"_qs, u"Chlor"_qs, u"\"viel\""_qs}},
        {"breit.dbf", {stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"1234567.5"_qs}})},
         [](std::vector<dbase::FieldDef>& felder) { felder[MOLMASSE].length = 14; },
         {u"MOLMASSE"_qs, u"Ethanol"_qs, u"1234567,5"_qs, u"10 Stellen"_qs}},
    };
    for (const auto& fall : faelle) {
        updateSchreiben(QString::fromLatin1(fall.datei), fall.stoffe, fall.aendern);
        for (const bool satzweise : {true, false}) {
            try {
                zusammenfuehren(QString::fromLatin1(fall.datei), satzweise);
                ADD_FAILURE() << fall.datei << " was merged";
            } catch (const update::UpdateFehler& fehler) {
                const QString text = QString::fromUtf8(fehler.what());
                for (const QString& teil : fall.genannt)
                    EXPECT_TRUE(text.contains(teil)) << fall.datei << ": " << text.toStdString();
                EXPECT_TRUE(text.endsWith(u"aten wurden nicht verändert."_qs)) << text.toStdString();
            }
        }
    }
    EXPECT_EQ(fixtures::readFile("chemie.dbf"), chemieVorher);
    EXPECT_EQ(fixtures::readFile("namen.dbf"), namenVorher);

    // A float field, and more decimals than the register keeps (rounded as
    // dBASE stores them), fit.
    updateSchreiben(u"float.dbf"_qs, {stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"46.0685"_qs}})},
                    [](std::vector<dbase::FieldDef>& felder) {
                        felder[MOLMASSE].type = dbase::FieldType::Float;
                        felder[MOLMASSE].decimals = 4;
                    });
    EXPECT_EQ(zusammenfuehren(u"float.dbf"_qs, true).uebernommen, 1);
    EXPECT_TRUE(zeilen(u"chemie.dbf"_qs, {u"MOLMASSE"_qs}).contains(u"Ethanol|64-17-5|1|46.069"_qs));
    const update::Updatestand nochmal = zusammenfuehren(u"float.dbf"_qs, true);
    EXPECT_EQ(nochmal.aufgefrischt, 0) << "46.0685 is 46.069 as chemie.dbf stores it";
}

TEST(Updatebericht, WindowsZeichenUndCrLfAuchBeimLeerenUndAbgebrochenenLauf)
{
    UpdateRegister r;
    updateSchreiben(u"leer.dbf"_qs, {});
    const update::Updatestand leer = zusammenfuehren(u"leer.dbf"_qs, true);
    const QDate heute(2026, 12, 7);
    const QString datum = QLocale().toString(heute, QLocale::ShortFormat);
    update::berichtSchreiben(u"UPDATE.TXT"_qs, update::berichtszeilen(heute, leer));
    EXPECT_EQ(fixtures::readBytes(u"UPDATE.TXT"_qs),
              "Datenupdate vom " + datum.toLatin1() + ":\r\n\r\n\r\nEs wurden 0 Datens\xe4tze aufgefrischt.\r\n"
              "Es wurden 0 Datens\xe4tze \xfc" "bernommen.\r\n");

    update::Updatestand abgebrochen;
    abgebrochen.uebernommen = 1;
    abgebrochen.zeilen << u"Ätzkalk wurde in die Datenbank übernommen."_qs;
    abgebrochen.fehler = u"Wasser: Im Feld MOLMASSE steht \"viel\", keine Zahl."_qs;
    update::berichtSchreiben(u"update.txt"_qs, update::berichtszeilen(heute, abgebrochen));
    EXPECT_EQ(fixtures::readBytes(u"UPDATE.TXT"_qs),
              "Datenupdate vom " + datum.toLatin1() + ":\r\n\r\n\xc4tzkalk wurde in die Datenbank \xfc" "bernommen.\r\n"
              "\r\nDas Update wurde wegen eines Fehlers abgebrochen: Wasser: Im Feld MOLMASSE steht \"viel\", keine "
              "Zahl.\r\n\r\nEs wurden 0 Datens\xe4tze aufgefrischt.\r\nEs wurden 1 Datens\xe4tze \xfc" "bernommen.\r\n")
        << "the earlier file is replaced, whatever the case of its name";
}

} // namespace

namespace {

TEST(Datenupdate, DieUpdatetabelleDesDemoBestands)
{
    Register r;
    const demo::DemoData data = demo::DemoData::load(QDir(QStringLiteral(MARLEX_SOURCE_DIR "/tools/demo/data")));
    demo::generateRegister(data, QDir::current());
    const QString datei = u"Update/UPDATE.DBF"_qs;
    const QStringList geliefert = zeilen(datei, {u"SMT"_qs});
    ASSERT_EQ(geliefert.size(), 5);
    EXPECT_EQ(geliefert[2], u"Kaliumpermanganat|7722-64-7|1|"_qs) << "its melting point is empty";

    const update::Updatestand erster = zusammenfuehren(datei, true);
    EXPECT_EQ(erster.fehler, QString());
    EXPECT_EQ(erster.zeilen, QStringList({u"Aceton wurde in der Datenbank aufgefrischt."_qs,
                                          u"Benzol wurde in der Datenbank aufgefrischt."_qs,
                                          u"Kaliumpermanganat wurde in der Datenbank aufgefrischt."_qs,
                                          u"Wasserstoffperoxid-Lösung 30 % wurde in die Datenbank übernommen."_qs}));
    EXPECT_TRUE(zeilen(u"namen.dbf"_qs).contains(u"Wasserstoffperoxid-Lösung 30 %|7722-84-1|1"_qs));
    const update::Updatestand zweiter = zusammenfuehren(datei, true);
    EXPECT_EQ(zweiter.aufgefrischt + zweiter.uebernommen, 0) << zweiter.zeilen.join(u'\n').toStdString();
}

} // namespace
