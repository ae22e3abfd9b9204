// Copying and deleting substances as a user does: a line clicked, the
// command taken from the list's popup, the menu or a tool button, the
// question answered. Every table the command touches is read back by
// python3-dbfread.

#include <gtest/gtest.h>

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "BedienungTestSupport.h"
#include "FilterTestSupport.h"
#include "app/Kopieren.h"
#include "app/NameRules.h"
#include "fixtures/Dbfread.h"
#include "search/Filtersetzen.h"
#include "widgets/DBEdit.h"
#include "widgets/NameList.h"

using namespace filtertest;
using marlextest::DateiFehler;
using Antworten = marlextest::Fragen;

namespace {

constexpr int smt = 29; // chemie.dbf: melting point

void klick(QWidget* knopf)
{
    QTest::mouseClick(knopf, Qt::LeftButton);
}

void waehlen(TMarlex& m, const QString& name)
{
    marlextest::listenzeileKlicken(m, static_cast<int>(listenzeilen(m).indexOf(name)));
}

// A structure-formula row of the substance carn/1.
void formelzeileAnlegen(const QString& carn)
{
    dbase::Table& formeln = *Datas->Table6;
    formeln.append();
    formeln.field(0).setAsString(carn);
    formeln.field(1).setAsString(u"1"_qs);
    formeln.post();
}

// Right-clicks the current line and clicks `item` in the popup.
void imPopup(TMarlex& m, QAction* item)
{
    const QRect zeile = m.ListBox1->visualRect(m.ListBox1->lineModel().index(m.ListBox1->itemIndex()));
    QTest::mouseClick(m.windowHandle(), Qt::RightButton, {}, m.ListBox1->viewport()->mapTo(&m, zeile.center()));
    ASSERT_TRUE(m.PopupMenu1->isVisible());
    QTest::mouseClick(m.PopupMenu1, Qt::LeftButton, {}, m.PopupMenu1->actionGeometry(item).center());
}

// A table's live rows as dbfread reads them, in a stable order: a row put
// back after a failed delete may stand elsewhere in the file.
QStringList zeilenVon(const char* datei)
{
    QStringList zeilen;
    for (const auto& z : fixtures::readWithDbfread(datei).rows)
        zeilen << QString::fromUtf8(QJsonDocument(z.toObject()).toJson(QJsonDocument::Compact));
    zeilen.sort();
    return zeilen;
}

QJsonObject zeileMit(const char* datei, const QString& feld, const QString& wert)
{
    for (const auto& z : fixtures::readWithDbfread(datei).rows) {
        if (z.toObject().value(feld).toString() == wert)
            return z.toObject();
    }
    return {};
}

int anzahl(const char* datei, const QString& feld, const QString& wert)
{
    int n = 0;
    for (const auto& z : fixtures::readWithDbfread(datei).rows)
        n += z.toObject().value(feld).toString() == wert ? 1 : 0;
    return n;
}

} // namespace

// The copy gets a sub-number no substance of its CAS number has, even when
// the count of substances + 1 is taken, and its numbers as numbers.
TEST(StoffKopieren, ACopyGetsAFreeSubNumberAndOneNameRow)
{
    FilterRegister r;
    TMarlex& m = r.m;
    // Acetone's record with an empty molar mass and a memo.
    {
        dbase::Table& chemie = *Datas->Table2;
        ASSERT_TRUE(chemie.findKey({aceton, u"1"_qs}));
        chemie.edit();
        chemie.field(smt).setAsString(u"-95"_qs);
        chemie.field(marlextest::MEMOTEXT).setAsString(u"Leicht entzündlich."_qs);
        chemie.post();
        // A second acetone substance holds the number count + 1.
        chemie.append();
        chemie.field(marlextest::NAME1).setAsString(u"Aceton technisch"_qs);
        chemie.field(marlextest::CARN).setAsString(aceton);
        chemie.field(marlextest::SUBCARN).setAsString(u"7"_qs);
        chemie.post();
    }
    m.DatenlisteEinlesen();
    ASSERT_EQ(m.ChemieSatzAnzahl, 6);
    const QStringList formelnVorher = zeilenVon("formeln.dbf");
    const QStringList lagerVorher = zeilenVon("lager.dbf");

    waehlen(m, u"Dimethylketon"_qs);
    bool kopiert = false;
    imDialogVon<TKopieren>([&] { imPopup(m, m.Datensatzkopieren1); },
                           [&](TKopieren& d) {
                               EXPECT_EQ(d.windowTitle(), u"Datensatz kopieren"_qs);
                               EXPECT_EQ(d.Edit1->text(), u"Dimethylketon"_qs);
                               QTest::mouseClick(d.Edit1, Qt::LeftButton);
                               QTest::keyClick(d.Edit1, Qt::Key_A, Qt::ControlModifier);
                               QTest::keyClicks(d.Edit1, u"Aceton rein"_qs);
                               klick(d.Button1);
                               kopiert = !d.isVisible();
                           });
    ASSERT_TRUE(kopiert);

    const QJsonObject name = zeileMit("namen.dbf", u"NAME1"_qs, u"Aceton rein"_qs);
    EXPECT_EQ(name["STRIPNAME1"].toString(), StripNameBilden(u"Aceton rein"_qs));
    EXPECT_EQ(name["CARN"].toString(), aceton);
    EXPECT_EQ(name["SUBCARN"].toString(), u"8"_qs) << "7 is taken by acetone: the next free number";
    const QJsonObject kopie = zeileMit("chemie.dbf", u"SUBCARN"_qs, u"8"_qs);
    ASSERT_FALSE(kopie.isEmpty());
    EXPECT_EQ(kopie["NAME1"].toString(), u"Aceton"_qs) << "the substance keeps its name";
    EXPECT_EQ(kopie["CARN"].toString(), aceton);
    EXPECT_EQ(kopie["GEFSYM1"].toString(), u"F+"_qs);
    EXPECT_EQ(kopie["WGK"].toString(), u"1"_qs);
    EXPECT_EQ(kopie["MEMOTEXT"].toString(), u"Leicht entzündlich."_qs);
    EXPECT_EQ(kopie["MOLMASSE"].toDouble(-1), 0.0) << "an empty number becomes 0";
    EXPECT_EQ(kopie["SMT"].toDouble(), -95.0);
    EXPECT_EQ(anzahl("chemie.dbf", u"CARN"_qs, aceton), 3);
    EXPECT_EQ(anzahl("namen.dbf", u"CARN"_qs, aceton), 4) << "one name row, not the substance's others";
    EXPECT_EQ(zeilenVon("formeln.dbf"), formelnVorher);
    EXPECT_EQ(zeilenVon("lager.dbf"), lagerVorher);
    EXPECT_TRUE(listenzeilen(m).contains(u"Aceton rein"_qs));

    // Cancelled, nothing is copied.
    const QStringList chemieVorher = zeilenVon("chemie.dbf");
    const QStringList namenVorher = zeilenVon("namen.dbf");
    waehlen(m, u"Benzol"_qs);
    imDialogVon<TKopieren>([&] { klick(m.ToolButton42); }, [&](TKopieren& d) { klick(d.Button2); });
    EXPECT_EQ(zeilenVon("chemie.dbf"), chemieVorher);
    EXPECT_EQ(zeilenVon("namen.dbf"), namenVorher);
}

// Deleting asks first; "Ja" removes the substance's record, its formula row
// and its name rows from namen.dbf and from the filter table the list shows,
// and leaves its storage rows.
TEST(StoffKopieren, DeletingASubstanceRemovesItsRowsFromEveryTableButStorage)
{
    FilterRegister r;
    TMarlex& m = r.m;
    formelzeileAnlegen(aceton);
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, u"GEFSYM1='F+'"_qs);
                 setzen(d);
             });
    ASSERT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Propanon"_qs}));
    const QStringList lagerVorher = zeilenVon("lager.dbf");
    const QStringList namenVorher = zeilenVon("namen.dbf");
    const QStringList chemieVorher = zeilenVon("chemie.dbf");

    waehlen(m, u"Propanon"_qs);
    {
        Antworten nein(widgets::Answer::No);
        m.Lschen1->trigger();
        EXPECT_EQ(nein.texte, QStringList{u"Soll der Datensatz zum Synonym 'Propanon' gelöscht werden?"_qs});
    }
    EXPECT_EQ(zeilenVon("namen.dbf"), namenVorher);
    EXPECT_EQ(zeilenVon("chemie.dbf"), chemieVorher);

    {
        Antworten ja(widgets::Answer::Yes);
        m.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
        QTest::keyClick(&m, Qt::Key_L, Qt::ControlModifier);
        ASSERT_EQ(ja.texte.size(), 1);
    }
    EXPECT_EQ(anzahl("chemie.dbf", u"CARN"_qs, aceton), 0);
    EXPECT_EQ(anzahl("formeln.dbf", u"CARN"_qs, aceton), 0);
    EXPECT_EQ(anzahl("namen.dbf", u"CARN"_qs, aceton), 0);
    EXPECT_EQ(anzahl("filter.dbf", u"CARN"_qs, aceton), 0);
    EXPECT_EQ(zeilenVon("namen.dbf").size(), namenVorher.size() - 3);
    EXPECT_EQ(zeilenVon("chemie.dbf").size(), chemieVorher.size() - 1);
    EXPECT_EQ(zeilenVon("lager.dbf"), lagerVorher);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(m.ListBox1->itemIndex(), 0);
}

// A substance deleted while the list shows the register's names leaves
// none of its names in the research tables filled before: switched to, they
// list no name whose substance is gone.
TEST(StoffKopieren, DeletingASubstanceRemovesItsNamesFromTheResearchTablesToo)
{
    FilterRegister r;
    TMarlex& m = r.m;
    recherchieren(m, true, u"F+"_qs);
    recherchieren(m, false, u"Benzol"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    klick(m.ToolButton48);
    const QStringList tmp1Vorher = zeilenVon("zan_tmp1.dbf");

    waehlen(m, u"Benzol"_qs);
    {
        Antworten ja(widgets::Answer::Yes);
        m.Lschen1->trigger();
        ASSERT_EQ(ja.texte, QStringList{u"Soll der Datensatz zum Synonym 'Benzol' gelöscht werden?"_qs});
    }
    for (const char* t : {"namen.dbf", "zan_tmp1.dbf", "zan_tmp2.dbf"})
        EXPECT_EQ(anzahl(t, u"CARN"_qs, benzol), 0) << t;
    EXPECT_EQ(zeilenVon("zan_tmp1.dbf").size(), tmp1Vorher.size() - 1);
    klick(m.ToolButton49);
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Dimethylketon"_qs, u"Propanon"_qs}));
    klick(m.ToolButton50);
    EXPECT_TRUE(listenzeilen(m).isEmpty());
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join(u'\n').toStdString();
}

// A table that refuses its part in the middle of a delete leaves every
// table as it was, with a German message; the substance is still shown.
TEST(StoffKopieren, AFailureInTheMiddleOfADeleteLeavesTheRegisterAsItWas)
{
    DateiFehler fehler; // before the tables are opened, so it lies under them
    FilterRegister r;
    TMarlex& m = r.m;
    formelzeileAnlegen(aceton);
    {
        dbase::Table& chemie = *Datas->Table2;
        ASSERT_TRUE(chemie.findKey({aceton, u"1"_qs}));
        chemie.edit();
        chemie.field(marlextest::MEMOTEXT).setAsString(u"Leicht entzündlich."_qs);
        chemie.post();
    }
    const char* tabellen[] = {"chemie.dbf", "formeln.dbf", "namen.dbf", "lager.dbf"};
    std::map<std::string, QStringList> vorher;
    for (const char* t : tabellen)
        vorher[t] = zeilenVon(t);

    // The substance's record and formula row are gone when namen.dbf fails;
    // when formeln.dbf fails, only the record is.
    for (const char* datei : {"namen.dbf", "formeln.dbf"}) {
        SCOPED_TRACE(datei);
        waehlen(m, u"Aceton"_qs);
        *fehler.datei = QString::fromLatin1(datei);
        {
            Antworten ja(widgets::Answer::Yes);
            m.Lschen1->trigger();
            ASSERT_EQ(ja.texte.size(), 2);
            EXPECT_TRUE(ja.texte[1].startsWith(u"Der Stoff kann nicht gelöscht werden. Keine der Tabellen wurde verändert."_qs))
                << ja.texte[1].toStdString();
        }
        *fehler.datei = QString();
        for (const char* t : tabellen)
            EXPECT_EQ(zeilenVon(t), vorher[t]) << t;
        waehlen(m, u"Dimethylketon"_qs);
        EXPECT_EQ(m.DBEdit15->text(), aceton) << "its names still lead to the substance";
    }

    // A copy that chemie.dbf refuses takes its name row out of namen.dbf
    // again, leaving no deleted row behind.
    const int geloeschtVorher = fixtures::readWithDbfread("namen.dbf").deletedCount;
    waehlen(m, u"Benzol"_qs);
    *fehler.datei = u"chemie.dbf"_qs;
    imDialogVon<TKopieren>([&] { klick(m.ToolButton42); }, [&](TKopieren& d) { klick(d.Button1); });
    *fehler.datei = QString();
    EXPECT_TRUE(meldungstexte(r).last().startsWith(
        u"Der Datensatz kann nicht kopiert werden. Keine der Tabellen wurde verändert."_qs));
    for (const char* t : tabellen)
        EXPECT_EQ(zeilenVon(t), vorher[t]) << t;
    EXPECT_EQ(fixtures::readWithDbfread("namen.dbf").deletedCount, geloeschtVorher);

    // With the disk writable again the same delete goes through.
    waehlen(m, u"Aceton"_qs);
    {
        Antworten ja(widgets::Answer::Yes);
        m.Lschen1->trigger();
        EXPECT_EQ(ja.texte.size(), 1);
    }
    EXPECT_EQ(anzahl("chemie.dbf", u"CARN"_qs, aceton), 0);
    EXPECT_EQ(anzahl("namen.dbf", u"CARN"_qs, aceton), 0);
}

// A copy while the list shows the filter table puts its name row into
// namen.dbf too, where it outlives the filter.
TEST(StoffKopieren, ACopyUnderTheListFilterReachesNamenDbf)
{
    FilterRegister r;
    TMarlex& m = r.m;
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, u"WGK='3'"_qs);
                 setzen(d);
             });
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    waehlen(m, u"Benzol"_qs);
    imDialogVon<TKopieren>([&] { klick(m.ToolButton42); },
                           [&](TKopieren& d) {
                               QTest::mouseClick(d.Edit1, Qt::LeftButton);
                               QTest::keyClick(d.Edit1, Qt::Key_End);
                               QTest::keyClicks(d.Edit1, u" zur Analyse"_qs);
                               QTest::keyClick(d.Edit1, Qt::Key_Return);
                           });
    // The substances counted are those the filter lets through: one, so
    // the copy is benzene number 2.
    for (const char* t : {"namen.dbf", "filter.dbf"})
        EXPECT_EQ(zeileMit(t, u"NAME1"_qs, u"Benzol zur Analyse"_qs)["SUBCARN"].toString(), u"2"_qs) << t;
    EXPECT_EQ(zeileMit("chemie.dbf", u"SUBCARN"_qs, u"2"_qs)["CARN"].toString(), benzol);
    EXPECT_EQ(listenzeilen(m).size(), 2);
    EXPECT_TRUE(listenzeilen(m).contains(u"Benzol zur Analyse"_qs));
}
