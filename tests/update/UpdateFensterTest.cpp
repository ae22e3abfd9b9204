#include <gtest/gtest.h>

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>

#include "UpdateTestSupport.h"
#include "app/Shell.h"
#include "app/Ueber.h"
#include "data/Datas.h"
#include "fixtures/Files.h"
#include "fixtures/Modal.h"
#include "update/Update.h"

using namespace marlextest;
using namespace updatetest;

namespace {

// Aceton and Benzol, started and shown with the list read.
class UpdateFenster : public Register {
public:
    explicit UpdateFenster(const std::function<void()>& vorDemStart = {})
    {
        symbolOrdnerSchreiben(QDir(programm()));
        namenSchreiben({{u"Aceton"_qs, aceton}, {u"Benzol"_qs, benzol}});
        chemieSchreiben({stoff(u"Aceton"_qs, aceton, {{WGK, u"1"_qs}}), stoff(u"Benzol"_qs, benzol, {{WGK, u"3"_qs}})});
        lagerSchreiben({});
        formelnSchreiben({});
        if (vorDemStart)
            vorDemStart();
        TMarlex& m = starten();
        m.show();
        m.DatenlisteEinlesen();
    }

    QStringList liste()
    {
        QStringList texte;
        for (int i = 0; i < fenster().ListBox1->count(); ++i)
            texte << fenster().ListBox1->text(i);
        return texte;
    }
    QStringList meldungstexte() const
    {
        QStringList texte;
        for (const widgets::MessageRequest& m : meldungen())
            texte << m.text;
        return texte;
    }
};

// The user opens "&Daten" and clicks "&Update"; `schritte` runs in the
// dialog.
void updateImMenue(TMarlex& m, const std::function<void(TUpdate&)>& schritte)
{
    auto* daten = m.findChild<QMenu*>(u"Daten1Menu"_qs);
    ASSERT_NE(daten, nullptr);
    ASSERT_TRUE(daten->actions().contains(m.Update1));
    ASSERT_TRUE(m.Update1->isEnabled());
    fixtures::imDialogVon<TUpdate>(
        [&] {
            daten->popup(m.mapToGlobal(QPoint(20, 20)));
            QTest::mouseClick(daten, Qt::LeftButton, {}, daten->actionGeometry(m.Update1).center());
        },
        schritte);
}

// In the dialog: the second mode, the file chosen through "&Durchsuchen".
void dateiWaehlen(TUpdate& d, const QString& datei)
{
    QTest::mouseClick(d.Aktualisieren, Qt::LeftButton);
    ASSERT_TRUE(d.Edit1->isEnabled());
    ASSERT_TRUE(d.Button3->isEnabled());
    fixtures::imDialogVon<QFileDialog>([&] { QTest::mouseClick(d.Button3, Qt::LeftButton); },
                                       [&](QFileDialog& f) {
                                           EXPECT_EQ(f.selectedNameFilter(), u"DBF - Dateien (*.DBF *.dbf)"_qs);
                                           f.selectFile(QFileInfo(datei).absoluteFilePath());
                                           QTest::keyClick(&f, Qt::Key_Return);
                                       });
    ASSERT_EQ(QFileInfo(d.Edit1->text()).absoluteFilePath(), QFileInfo(datei).absoluteFilePath());
}

TEST(UpdateFenster, AusDemMenueMitBerichtUndNeuGelesenerListe)
{
    UpdateFenster r;
    updateSchreiben(u"lieferung/UPDATE.DBF"_qs, {stoff(u"Aceton"_qs, aceton, {{WGK, u"2"_qs}}),
                                                 stoff(u"Benzol"_qs, benzol, {{WGK, u"3"_qs}}),
                                                 stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"46.07"_qs}})});
    updateImMenue(r.fenster(), [&](TUpdate& d) {
        EXPECT_TRUE(d.Internet->isChecked());
        EXPECT_FALSE(d.Edit1->isEnabled()) << "the file is only for the second mode";
        dateiWaehlen(d, u"lieferung/UPDATE.DBF"_qs);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible()) << "a run closes the dialog";
    });

    EXPECT_EQ(r.meldungstexte(), QStringList(u"Die Update-Informationen wurden in der Datei UPDATE.TXT abgespeichert."_qs));
    const QByteArray bericht = fixtures::readBytes(u"UPDATE.TXT"_qs);
    EXPECT_TRUE(bericht.endsWith("Aceton wurde in der Datenbank aufgefrischt.\r\n"
                                 "Ethanol wurde in die Datenbank \xfc" "bernommen.\r\n\r\n"
                                 "Es wurden 1 Datens\xe4tze aufgefrischt.\r\n"
                                 "Es wurden 1 Datens\xe4tze \xfc" "bernommen.\r\n"))
        << bericht.toStdString();
    EXPECT_EQ(r.liste(), QStringList({u"Aceton"_qs, u"Benzol"_qs, u"Ethanol"_qs})) << "the list is read again";
    EXPECT_EQ(r.fenster().ChemieSatzAnzahl, 3);
    EXPECT_EQ(zeilen(u"chemie.dbf"_qs, {u"WGK"_qs, u"MOLMASSE"_qs}),
              QStringList({u"Aceton|67-64-1|1|2|"_qs, u"Benzol|71-43-2|1|3|"_qs, u"Ethanol|64-17-5|1||46.07"_qs}));
}

TEST(UpdateFenster, GehtInsRegisterWasImmerDieListeZeigtUndStelltSieWiederHer)
{
    // The list shows a research table of Benzol's name alone, and
    // chemie.dbf is narrowed to the substances of hazard class 3.
    UpdateFenster r([] { namenSchreiben({{u"Benzol"_qs, benzol}}, u"zan_tmp1.dbf"_qs); });
    TDatas& datas = r.datas();
    r.fenster().AktuelleNamenDatei = u"zan_tmp1.dbf"_qs;
    r.fenster().AktuelleIndexDatei = u"zan_tmp1.mdx"_qs;
    datas.Table2->setFilterText(u"WGK='3'"_qs);
    datas.Table2->setFiltered(true);
    r.fenster().DatenlisteEinlesen();
    ASSERT_EQ(r.liste(), QStringList(u"Benzol"_qs));
    const std::string rechercheVorher = fixtures::readFile("zan_tmp1.dbf");

    updateSchreiben(u"UPD.DBF"_qs, {stoff(u"Aceton"_qs, aceton, {{WGK, u"2"_qs}}),
                                    stoff(u"Ethanol"_qs, ethanol, {{WGK, u"1"_qs}})});
    updateImMenue(r.fenster(), [&](TUpdate& d) {
        dateiWaehlen(d, u"UPD.DBF"_qs);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });

    EXPECT_EQ(zeilen(u"chemie.dbf"_qs, {u"WGK"_qs}),
              QStringList({u"Aceton|67-64-1|1|2"_qs, u"Benzol|71-43-2|1|3"_qs, u"Ethanol|64-17-5|1|1"_qs}))
        << "substances the filter hides are merged too";
    EXPECT_EQ(zeilen(u"namen.dbf"_qs), QStringList({u"Aceton|67-64-1|1"_qs, u"Benzol|71-43-2|1"_qs,
                                                     u"Ethanol|64-17-5|1"_qs}))
        << "the new name goes into the register's name table";
    EXPECT_EQ(fixtures::readFile("zan_tmp1.dbf"), rechercheVorher);
    EXPECT_EQ(datas.Table1->tableName(), u"zan_tmp1.dbf"_qs);
    EXPECT_EQ(datas.Table2->filterText(), u"WGK='3'"_qs);
    EXPECT_TRUE(datas.Table2->filtered());
    EXPECT_EQ(r.liste(), QStringList(u"Benzol"_qs)) << "the list's own table, read again";
}

TEST(UpdateFenster, FalschesLayoutAendertNichtsUndLaesstDenDialogOffen)
{
    UpdateFenster r;
    updateSchreiben(u"ALT.DBF"_qs, {stoff(u"Ethanol"_qs, ethanol)},
                    [](std::vector<dbase::FieldDef>& felder) { felder.resize(40); });
    const std::string chemieVorher = fixtures::readFile("chemie.dbf");
    const std::string namenVorher = fixtures::readFile("namen.dbf");
    updateImMenue(r.fenster(), [&](TUpdate& d) {
        dateiWaehlen(d, u"ALT.DBF"_qs);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << "the user may choose another file";
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    });
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_EQ(r.meldungen()[0].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(r.meldungen()[0].text.contains(u"nur 40 Felder"_qs)) << r.meldungen()[0].text.toStdString();
    EXPECT_EQ(fixtures::readFile("chemie.dbf"), chemieVorher);
    EXPECT_EQ(fixtures::readFile("namen.dbf"), namenVorher);
    EXPECT_FALSE(QFile::exists(u"UPDATE.TXT"_qs));
}

// An update table whose numbers do not fit the register (the issue a user
// met: MOLMASSE declared as a date blanked every molar mass) is refused
// before anything is written, the field named; the dialog stays open.
TEST(UpdateFenster, EineUnpassendeZahlenspalteWirdMitIhremNamenAbgelehntUndAendertNichts)
{
    UpdateFenster r;
    const Unpassend faelle[] = {
        {"DATUM.DBF",
         {stoff(u"Aceton"_qs, aceton, {{MOLMASSE, u"07.12.2026"_qs}}), stoff(u"Benzol"_qs, benzol)},
         [](std::vector<dbase::FieldDef>& felder) {
             felder[MOLMASSE].type = dbase::FieldType::Date;
             felder[MOLMASSE].length = 8;
             felder[MOLMASSE].decimals = 0;
         },
         {u"MOLMASSE"_qs, u"Datumsfeld"_qs, u"Zahlenfeld"_qs}},
        {"TEXT.DBF",
         {stoff(u"Ethanol"_qs, ethanol, {{MOLMASSE, u"46,07"_qs}}), stoff(u"Aceton"_qs, aceton, {{MOLMASSE, u"58,08 g"_qs}})},
         [](std::vector<dbase::FieldDef>& felder) { felder[MOLMASSE].type = dbase::FieldType::Character; },
         {u"MOLMASSE"_qs, u"Aceton"_qs, u"\"58,08 g\", keine Zahl"_qs}},
        {"BREIT.DBF",
         {stoff(u"Ethanol"_qs, ethanol, {{SMT, u"-114.1"_qs}}), stoff(u"Aceton"_qs, aceton, {{SMT, u"1234567.5"_qs}})},
         [](std::vector<dbase::FieldDef>& felder) { felder[SMT].length = 12; },
         {u"SMT"_qs, u"Aceton"_qs, u"1234567,5"_qs, u"passt nicht"_qs}},
    };
    const std::string chemieVorher = fixtures::readFile("chemie.dbf");
    const std::string namenVorher = fixtures::readFile("namen.dbf");
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.datei);
        updateSchreiben(QString::fromLatin1(fall.datei), fall.stoffe, fall.aendern);
        const std::size_t meldungenVorher = r.meldungen().size();
        updateImMenue(r.fenster(), [&](TUpdate& d) {
            dateiWaehlen(d, QString::fromLatin1(fall.datei));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            EXPECT_TRUE(d.isVisible()) << "the user may choose another file";
            QTest::mouseClick(d.Button2, Qt::LeftButton);
        });
        ASSERT_EQ(r.meldungen().size(), meldungenVorher + 1);
        const widgets::MessageRequest& meldung = r.meldungen().back();
        EXPECT_EQ(meldung.kind, widgets::MessageKind::Error);
        for (const QString& teil : fall.genannt)
            EXPECT_TRUE(meldung.text.contains(teil)) << teil.toStdString() << " in " << meldung.text.toStdString();
        EXPECT_TRUE(meldung.text.contains(u"nicht verändert"_qs)) << meldung.text.toStdString();
        EXPECT_EQ(fixtures::readFile("chemie.dbf"), chemieVorher);
        EXPECT_EQ(fixtures::readFile("namen.dbf"), namenVorher);
        EXPECT_FALSE(QFile::exists(u"UPDATE.TXT"_qs));
    }
    EXPECT_EQ(r.liste(), QStringList({u"Aceton"_qs, u"Benzol"_qs}));
}

TEST(UpdateFenster, OhneDateiEineMeldungImInternetModusNurDieSeite)
{
    UpdateFenster r;
    QList<QUrl> geoeffnet;
    ScopedShellStarter starter({[&](const QUrl& url) {
                                    geoeffnet << url;
                                    return true;
                                },
                                {}});
    updateImMenue(r.fenster(), [&](TUpdate& d) {
        QTest::mouseClick(d.Aktualisieren, Qt::LeftButton);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(r.meldungstexte(), QStringList(u"Es wurde keine Datendatei angegeben..."_qs));
        QTest::keyClicks(d.Edit1, u"gibtsnicht.dbf"_qs);
        QTest::mouseClick(d.Internet, Qt::LeftButton);
        EXPECT_FALSE(d.Edit1->isEnabled());
        EXPECT_EQ(d.Edit1->text(), u"gibtsnicht.dbf"_qs) << "the text stays";
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_EQ(geoeffnet.size(), 1);
    EXPECT_TRUE(geoeffnet[0].toString().startsWith(TUeber::Herstelleradresse));
    EXPECT_EQ(r.meldungen().size(), 1u);
    EXPECT_FALSE(QFile::exists(u"UPDATE.TXT"_qs));
}

} // namespace
