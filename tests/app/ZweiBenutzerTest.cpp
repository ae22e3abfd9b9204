// Two users on one register: this window, driven as a user does, and
// another program run (a forked process on the same tables) that edits,
// deletes and appends meanwhile. Every table touched is read back by
// python3-dbfread.

#include <csignal>
#include <functional>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "BedienungTestSupport.h"
#include "MarlexTestSupport.h"
#include "app/Kopieren.h"
#include "app/SymbolBild.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Modal.h"
#include "platform/dbase/ChildProcess.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString aetzkali = QStringLiteral("1310-58-3");
const QString ethanol = QStringLiteral("64-17-5");
const QString sauerstoff = QStringLiteral("7782-44-7");
const QString gesperrt = QStringLiteral("Der Datensatz wird gerade von einem anderen Benutzer bearbeitet.");
const QString geloescht = QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Benutzer gelöscht.");

// The other user's program: runs in a forked process on the register (the
// current directory), with the engine alone.
int andererBenutzer(const std::function<void()>& schritte)
{
    return dbftest::inChild([&] {
        schritte();
        return 0;
    });
}

// Opens a register table as the other program does.
void oeffnen(dbase::Table& t, const char* datei)
{
    t.setTableName(QString::fromLatin1(datei));
    t.open();
}

// Moves to the first row whose field `feld` holds `wert`.
bool aufZeile(dbase::Table& t, const char* feld, const QString& wert)
{
    for (t.first(); !t.eof(); t.next()) {
        if (t.fieldByName(feld).asString() == wert)
            return true;
    }
    return false;
}

// The other user deletes a substance with its names, as its delete command does.
void stoffLoeschen(const QString& carn)
{
    dbase::Table chemie, namen;
    oeffnen(chemie, "chemie.dbf");
    oeffnen(namen, "namen.dbf");
    if (!aufZeile(chemie, "CARN", carn))
        throw dbase::DbaseError("kein Stoff");
    chemie.remove();
    while (aufZeile(namen, "CARN", carn))
        namen.remove();
}

QJsonArray zeilenVon(const char* datei) { return fixtures::readWithDbfread(datei).rows; }

QList<QJsonObject> zeilenMit(const char* datei, const QString& feld, const QString& wert)
{
    QList<QJsonObject> treffer;
    for (const auto& z : zeilenVon(datei)) {
        if (z.toObject().value(feld).toString() == wert)
            treffer << z.toObject();
    }
    return treffer;
}

class ZweiBenutzer : public ::testing::Test {
protected:
    void SetUp() override
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Aceton", aceton}, {"Ätzkali", aetzkali}, {"Ethanol", ethanol}});
        chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}}},
                         {aetzkali, "1", {{NAME1, "Ätzkali"}}},
                         {ethanol, "1", {{NAME1, "Ethanol"}}}});
        lagerzeilenSchreiben({{aceton, "1", "Keller"}, {aetzkali, "1", "Schrank"}});
        formelnSchreiben({aceton, aetzkali, ethanol});
        m = &r.starten();
        m->DatenlisteEinlesen();
        m->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m));
    }

    QStringList listenzeilen() const
    {
        QStringList zeilen;
        for (int i = 0; i < m->ListBox1->count(); ++i)
            zeilen << m->ListBox1->text(i);
        return zeilen;
    }
    void waehlen(const QString& name) { listenzeileKlicken(*m, static_cast<int>(listenzeilen().indexOf(name))); }
    QStringList meldungen() const
    {
        QStringList texte;
        for (const auto& meldung : r.meldungen())
            texte << meldung.text;
        return texte;
    }
    bool gemeldet(const QString& text) const
    {
        return std::any_of(r.meldungen().begin(), r.meldungen().end(),
                           [&](const widgets::MessageRequest& f) { return f.text.contains(text); });
    }
    void klick(QWidget* knopf) { QTest::mouseClick(knopf, Qt::LeftButton); }
    void tippen(QWidget* feld, const QString& text)
    {
        QWidget* ziel = feld;
        if (auto* edit = qobject_cast<QTextEdit*>(feld))
            ziel = edit->viewport();
        QTest::mouseClick(ziel, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(feld, Qt::Key_Delete);
        QTest::keyClicks(feld, text);
    }
    // Right-clicks the current line and clicks `item` in the popup.
    void imPopup(QAction* item)
    {
        const QRect zeile = m->ListBox1->visualRect(m->ListBox1->lineModel().index(m->ListBox1->itemIndex()));
        QTest::mouseClick(m->windowHandle(), Qt::RightButton, {},
                          m->ListBox1->viewport()->mapTo(m, zeile.center()));
        ASSERT_TRUE(m->PopupMenu1->isVisible());
        QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {}, m->PopupMenu1->actionGeometry(item).center());
        QApplication::processEvents();
    }

    Register r;
    TMarlex* m = nullptr;
};

} // namespace

TEST_F(ZweiBenutzer, ASubstanceTheOtherUserEditsIsRefusedUntilHisProgramIsKilledAndTheLockDiesWithIt)
{
    waehlen("Aceton");
    dbftest::ChildSignal bereit;
    const pid_t anderer = dbftest::startChild([&] {
        dbase::Table chemie;
        oeffnen(chemie, "chemie.dbf");
        aufZeile(chemie, "CARN", aceton);
        chemie.edit();
        chemie.fieldByName("EG_INDEX").setAsString("halb getippt");
        bereit.send('j');
        ::pause();
        return 0;
    });
    ASSERT_EQ(bereit.wait(), 'j');

    klick(m->ToolButton41);
    EXPECT_TRUE(gemeldet(gesperrt)) << meldungen().join('\n').toStdString();
    EXPECT_EQ(m->EditModus, 0);
    EXPECT_FALSE(m->ndern1->isChecked());
    EXPECT_FALSE(m->DBEdit19->isEnabled());

    ::kill(anderer, SIGKILL);
    dbftest::exitCodeOf(anderer);
    klick(m->ToolButton41);
    ASSERT_EQ(m->EditModus, 1);
    EXPECT_TRUE(m->DBEdit19->text().isEmpty()) << "nothing of the killed edit was stored";
    tippen(m->DBEdit19, "606-001-00-8");
    // While this window edits Aceton, the other program's edit is refused.
    const int code = dbftest::inChild([] {
        dbase::Table chemie;
        oeffnen(chemie, "chemie.dbf");
        aufZeile(chemie, "CARN", aceton);
        try {
            chemie.edit();
        } catch (const dbase::RecordLockedError&) {
            return 1;
        }
        return 0;
    });
    EXPECT_EQ(code, 1);
    klick(m->ToolButton23);
    EXPECT_EQ(m->EditModus, 0);

    const QList<QJsonObject> stoff = zeilenMit("chemie.dbf", "CARN", aceton);
    ASSERT_EQ(stoff.size(), 1);
    EXPECT_EQ(stoff[0]["EG_INDEX"].toString(), "606-001-00-8");
    EXPECT_EQ(stoff[0]["NAME1"].toString(), "Aceton");
}

TEST_F(ZweiBenutzer, EditModeStartsFromWhatTheOtherUserStoredAndKeepsItWhenOnlyTheMolarMassIsTyped)
{
    waehlen("Aceton");
    ASSERT_EQ(andererBenutzer([] {
                  dbase::Table chemie;
                  oeffnen(chemie, "chemie.dbf");
                  aufZeile(chemie, "CARN", aceton);
                  chemie.edit();
                  chemie.fieldByName("R_SATZ").setAsString("R11");
                  chemie.fieldByName("NAME2").setAsString("Propanon");
                  chemie.post();
              }),
              0);

    klick(m->ToolButton41);
    ASSERT_EQ(m->EditModus, 1);
    EXPECT_EQ(m->DBEdit23->text(), "R11") << "the window shows the record as stored now";
    tippen(m->DBEdit49, "58");
    klick(m->ToolButton23);

    const QList<QJsonObject> stoff = zeilenMit("chemie.dbf", "CARN", aceton);
    ASSERT_EQ(stoff.size(), 1);
    EXPECT_EQ(stoff[0]["R_SATZ"].toString(), "R11");
    EXPECT_EQ(stoff[0]["NAME2"].toString(), "Propanon");
    EXPECT_DOUBLE_EQ(stoff[0]["MOLMASSE"].toDouble(), 58.0);
}

TEST_F(ZweiBenutzer, ASubstanceTheOtherUserDeletedIsNeitherEditedNorCopiedNorTakenIntoStorage)
{
    // Edit mode on a substance deleted since it was shown.
    waehlen("Ätzkali");
    ASSERT_EQ(andererBenutzer([] { stoffLoeschen(aetzkali); }), 0);
    klick(m->ToolButton41);
    EXPECT_TRUE(gemeldet(geloescht)) << meldungen().join('\n').toStdString();
    EXPECT_EQ(m->EditModus, 0);
    EXPECT_FALSE(listenzeilen().contains("Ätzkali")) << "the list is read again";
    EXPECT_TRUE(zeilenMit("chemie.dbf", "CARN", aetzkali).isEmpty()) << "the deleted row stays deleted";
    EXPECT_TRUE(zeilenMit("namen.dbf", "CARN", aetzkali).isEmpty());

    // Taken into storage from the popup.
    waehlen("Ethanol");
    ASSERT_EQ(andererBenutzer([] { stoffLoeschen(ethanol); }), 0);
    const auto lagerVorher = zeilenVon("lager.dbf").size();
    imPopup(m->Menu31);
    EXPECT_EQ(meldungen().count(geloescht), 2);
    EXPECT_EQ(zeilenVon("lager.dbf").size(), lagerVorher);
    EXPECT_FALSE(listenzeilen().contains("Ethanol"));

    // Copied with the tool button.
    waehlen("Aceton");
    ASSERT_EQ(andererBenutzer([] { stoffLoeschen(aceton); }), 0);
    fixtures::imDialogVon<TKopieren>([&] { klick(m->ToolButton42); },
                                     [&](TKopieren& d) { klick(d.Button1); });
    EXPECT_EQ(meldungen().count(geloescht), 3);
    EXPECT_TRUE(zeilenMit("chemie.dbf", "CARN", aceton).isEmpty()) << "no copy of a deleted substance";
    EXPECT_TRUE(zeilenMit("namen.dbf", "CARN", aceton).isEmpty());
    EXPECT_TRUE(listenzeilen().isEmpty());
}

TEST_F(ZweiBenutzer, APlusInTheStorageGridCountsOnFromTheRowAsTheOtherUserStoredIt)
{
    QTest::mouseDClick(m->Image11, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(m->PageControl1->currentWidget(), m->TabSheet3);
    ASSERT_EQ(m->DBGrid1->model()->rowCount(), 2);
    QTest::mouseClick(m->DBGrid1->viewport(), Qt::LeftButton, {},
                      m->DBGrid1->visualRect(m->DBGrid1->model()->index(0, 0)).center());
    const QString carn = r.datas().Table3->fieldByName("CARN").asString();

    // The other user changes the amount; his program stamps the dates.
    ASSERT_EQ(andererBenutzer([carn] {
                  dbase::Table lager;
                  oeffnen(lager, "lager.dbf");
                  aufZeile(lager, "CARN", carn);
                  lager.edit();
                  lager.fieldByName("MENGE_IN_G").setAsString("2400");
                  lager.fieldByName("DATUM_ALT").setAsDate(QDate(2020, 1, 2));
                  lager.fieldByName("DATUM_NEU").setAsDate(QDate(2026, 3, 4));
                  lager.post();
              }),
              0);

    QTest::keyClicks(m->DBGrid1, "+");
    QTest::keyClick(m->DBGrid1, Qt::Key_Down); // leaving the row stores it

    const QList<QJsonObject> zeile = zeilenMit("lager.dbf", "CARN", carn);
    ASSERT_EQ(zeile.size(), 1);
    EXPECT_EQ(zeile[0]["ANZAHL"].toInt(), 2);
    EXPECT_EQ(zeile[0]["MENGE_IN_G"].toString(), "2400") << "the other user's amount is kept";
    EXPECT_EQ(zeile[0]["DATUM_ALT"].toString(), "2020-01-02");
    EXPECT_EQ(zeile[0]["DATUM_NEU"].toString(), "2026-03-04");
}

TEST_F(ZweiBenutzer, ANewSubstanceGetsASubNumberTheOtherUserDidNotTakeMeanwhile)
{
    ASSERT_EQ(m->ChemieSatzAnzahl, 3);
    // After this window read its list, the other user enters oxygen with the
    // number this window would give it.
    ASSERT_EQ(andererBenutzer([] {
                  dbase::Table chemie, namen;
                  oeffnen(chemie, "chemie.dbf");
                  oeffnen(namen, "namen.dbf");
                  chemie.append();
                  chemie.fieldByName("NAME1").setAsString("Sauerstoff");
                  chemie.fieldByName("CARN").setAsString(sauerstoff);
                  chemie.fieldByName("SUBCARN").setAsString("4");
                  chemie.post();
                  namen.append();
                  namen.fieldByName("NAME1").setAsString("Sauerstoff");
                  namen.fieldByName("CARN").setAsString(sauerstoff);
                  namen.fieldByName("SUBCARN").setAsString("4");
                  namen.post();
              }),
              0);

    klick(m->ToolButton38);
    ASSERT_EQ(m->EingabeModus, 1);
    tippen(m->DBRichEdit2, "Oxygenium");
    tippen(m->DBRichEdit1, "O2");
    tippen(m->DBEdit15, sauerstoff);
    klick(m->ToolButton22);
    ASSERT_EQ(m->EingabeModus, 0) << meldungen().join('\n').toStdString();

    const QList<QJsonObject> stoffe = zeilenMit("chemie.dbf", "CARN", sauerstoff);
    ASSERT_EQ(stoffe.size(), 2);
    QStringList nummern{stoffe[0]["SUBCARN"].toString(), stoffe[1]["SUBCARN"].toString()};
    nummern.sort();
    EXPECT_EQ(nummern, (QStringList{"4", "5"}));
    const QList<QJsonObject> namen = zeilenMit("namen.dbf", "NAME1", "Oxygenium");
    ASSERT_EQ(namen.size(), 1);
    EXPECT_EQ(namen[0]["SUBCARN"].toString(), "5");
    EXPECT_EQ(zeilenMit("formeln.dbf", "CARN", sauerstoff).size(), 1);
}
