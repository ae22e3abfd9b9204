#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "FilterTestSupport.h"
#include "app/NameRules.h"
#include "dbase/Filter.h"
#include "search/LagerSuchen.h"
#include "search/Suchen.h"
#include "widgets/NameList.h"

using namespace marlextest;
using filtertest::imDialogVon;
using filtertest::meldungstexte;

namespace {

const QString aceton = u"67-64-1"_qs;
const QString acetonitril = u"75-05-8"_qs;
const QString aethylen = u"74-85-1"_qs;
const QString benzol = u"71-43-2"_qs;
const QString eigen = u"EIG'1"_qs;
const QString propanol = u"67-63-0"_qs;

// Gives every row of a table the real name key of its NAME1.
void schluesselSetzen(const QString& datei)
{
    dbase::Table t;
    t.setTableName(datei);
    t.open();
    for (t.first(); !t.eof(); t.next()) {
        t.edit();
        t.fieldByName("STRIPNAME1").setAsString(StripNameBilden(t.fieldByName("NAME1").asString()));
        t.post();
    }
    t.close();
}

// Names in key order: Aceton, Acetonitril, Aethylen (Äthylen), Benzol,
// Michler's Keton, Propanol2- (2-Propanol). Storage: Aceton, Äthylen and
// Benzol in the Keller, Acetonitril in the Schrank.
class SuchRegister : public Register {
public:
    SuchRegister()
    {
        symbolOrdnerSchreiben(QDir(programm()));
        namenSchreiben({{u"Benzol"_qs, benzol},
                        {u"2-Propanol"_qs, propanol},
                        {u"Äthylen"_qs, aethylen},
                        {u"Michler's Keton"_qs, eigen},
                        {u"Acetonitril"_qs, acetonitril},
                        {u"Aceton"_qs, aceton}});
        schluesselSetzen(u"namen.dbf"_qs);
        std::vector<Stoff> stoffe;
        for (const auto& [carn, name] : {std::pair{aceton, u"Aceton"_qs}, {acetonitril, u"Acetonitril"_qs},
                                         {aethylen, u"Äthylen"_qs}, {benzol, u"Benzol"_qs},
                                         {eigen, u"Michler's Keton"_qs}, {propanol, u"2-Propanol"_qs}})
            stoffe.push_back({carn, u"1"_qs, {{NAME1, name}}});
        chemieSchreiben(stoffe);
        lagerzeilenSchreiben({{benzol, u"1"_qs, u"Keller"_qs}, {aceton, u"1"_qs, u"Keller"_qs},
                              {acetonitril, u"1"_qs, u"Schrank"_qs}, {aethylen, u"1"_qs, u"Keller"_qs}});
        {
            dbase::Table lager;
            lager.setTableName(u"lager.dbf"_qs);
            lager.open();
            for (lager.first(); !lager.eof(); lager.next()) {
                const QString carn = lager.fieldByName("CARN").asString();
                lager.edit();
                lager.fieldByName("NAME1").setAsString(carn == aceton        ? u"Aceton"_qs
                                                       : carn == acetonitril ? u"Acetonitril"_qs
                                                       : carn == aethylen    ? u"Äthylen"_qs
                                                                             : u"Benzol"_qs);
                lager.post();
            }
            lager.close();
        }
        schluesselSetzen(u"lager.dbf"_qs);
        formelnSchreiben({});
        siGefSchreiben({});
        starten().show();
        fenster().DatenlisteEinlesen();
    }
};

struct Suche {
    QString text;
    bool exakt = false;
    bool grossKlein = false;
};

// Types the text and ticks the boxes as a user does, then clicks "&OK".
void suchen(TSuchdialog& d, const Suche& s)
{
    EXPECT_FALSE(d.CheckBox2->isChecked());
    EXPECT_FALSE(d.CheckBox3->isChecked());
    QTest::mouseClick(d.Edit1, Qt::LeftButton);
    for (const QChar zeichen : s.text) {
        // Umlauts come as text, as a German keyboard sends them.
        if (zeichen.unicode() < 0x80)
            QTest::keyClick(d.Edit1, zeichen.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, d.Edit1, Qt::Key_unknown, QString(zeichen), Qt::NoModifier);
    }
    EXPECT_EQ(d.Edit1->text(), s.text);
    if (s.grossKlein)
        QTest::mouseClick(d.CheckBox2, Qt::LeftButton, {}, QPoint(4, d.CheckBox2->height() / 2));
    if (s.exakt)
        QTest::mouseClick(d.CheckBox3, Qt::LeftButton, {}, QPoint(4, d.CheckBox3->height() / 2));
    QTest::mouseClick(d.Button1, Qt::LeftButton);
}

// Searches the name list through F3 on the main window; returns whether
// the dialog closed.
bool namenSuchen(TMarlex& m, const Suche& s)
{
    // Shortcuts reach the active window only.
    m.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&m));
    bool geschlossen = false;
    imDialogVon<TSuchen>([&] { QTest::keyClick(&m, Qt::Key_F3); },
                         [&](TSuchen& d) {
                             suchen(d, s);
                             geschlossen = !d.isVisible();
                         });
    return geschlossen;
}

bool lagerSuchen(TMarlex& m, const Suche& s)
{
    bool geschlossen = false;
    imDialogVon<TLagerSuchen>([&] { m.Suchen3->trigger(); },
                              [&](TLagerSuchen& d) {
                                  suchen(d, s);
                                  geschlossen = !d.isVisible();
                              });
    return geschlossen;
}

QString gezeigt(const TMarlex& m)
{
    return m.ListBox1->text(m.ListBox1->itemIndex());
}

QString namensfeld(dbase::Table& t)
{
    return t.fieldByName("NAME1").asString();
}

} // namespace

// What a user finds by typing the beginning or the whole of a name key,
// with and without case: the line is selected and its substance shown, and
// the name table is left unfiltered, on the shown row.
TEST(Suchen, FindsTheFirstNameByKeyPrefixOrWholeKeyAndShowsIt)
{
    SuchRegister r;
    TMarlex& m = r.fenster();
    dbase::Table& namen = *Datas->Table1;
    const struct {
        Suche suche;
        QString name;
    } faelle[] = {
        {{u"aceton"_qs}, u"Aceton"_qs},                        // prefix, any case: the first in name order
        {{u"Acetonit"_qs}, u"Acetonitril"_qs},
        {{u"Ä"_qs}, u"Äthylen"_qs},                            // folded to "Ae", any case
        {{u"ä"_qs}, u"Äthylen"_qs},
        {{u"Propanol2"_qs}, u"2-Propanol"_qs},                 // the key form, not the name as shown
        {{u"acetonitril"_qs, true}, u"Acetonitril"_qs},        // exact, any case
        {{u"Aceton"_qs, true, true}, u"Aceton"_qs},            // exact with case
        {{u"Benz"_qs, false, true}, u"Benzol"_qs},             // prefix with case
        {{u"Michler's"_qs}, u"Michler's Keton"_qs},            // an apostrophe is a character like any
        {{u"michler's keton"_qs, true}, u"Michler's Keton"_qs},
    };
    for (const auto& fall : faelle) {
        SCOPED_TRACE(fall.suche.text.toStdString());
        EXPECT_TRUE(namenSuchen(m, fall.suche));
        EXPECT_EQ(gezeigt(m), fall.name);
        EXPECT_EQ(m.ListBox1->selectedLines(), std::vector<int>{m.ListBox1->itemIndex()});
        EXPECT_EQ(namensfeld(namen), fall.name);
        EXPECT_EQ(namensfeld(*Datas->Table2), fall.name);
        EXPECT_FALSE(namen.filtered());
        EXPECT_TRUE(namen.filter().isEmpty());
    }
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join(u'\n').toStdString();
}

// A search that finds nothing says so and leaves the list, the record shown
// and the name table as they were.
TEST(Suchen, ASearchThatFindsNothingSaysSoAndChangesNothing)
{
    SuchRegister r;
    TMarlex& m = r.fenster();
    dbase::Table& namen = *Datas->Table1;
    ASSERT_TRUE(namenSuchen(m, {u"Benzol"_qs}));
    const int zeile = m.ListBox1->itemIndex();
    const std::uint32_t satz = namen.recNo();

    for (const Suche& suche : {Suche{u"Xylol"_qs}, Suche{u"benzol"_qs, true, true}, Suche{u"2-Prop"_qs},
                               Suche{u"Aceton*"_qs, true}, Suche{u"Michler''"_qs}}) {
        SCOPED_TRACE(suche.text.toStdString());
        EXPECT_TRUE(namenSuchen(m, suche));
        EXPECT_EQ(meldungstexte(r).back(), u"Es wurde kein Datensatz gefunden."_qs);
        EXPECT_EQ(m.ListBox1->itemIndex(), zeile);
        EXPECT_EQ(namen.recNo(), satz);
        EXPECT_FALSE(namen.filtered());
        EXPECT_TRUE(namen.filter().isEmpty());
    }
    EXPECT_EQ(meldungstexte(r).size(), 5u);
}

// OK with no text does nothing and the dialog stays open; the tool button
// opens the same search. A search leaves the name table's filter options as
// they were: what a later filter finds does not hang on an earlier search.
TEST(Suchen, EmptyTextKeepsTheDialogOpenAndASearchLeavesTheFilterOptions)
{
    SuchRegister r;
    TMarlex& m = r.fenster();
    bool offen = false;
    imDialogVon<TSuchen>([&] { QTest::mouseClick(m.ToolButton43, Qt::LeftButton); },
                         [&](TSuchen& d) {
                             EXPECT_EQ(d.windowTitle(), u"Suchen"_qs);
                             QTest::mouseClick(d.Button1, Qt::LeftButton);
                             offen = d.isVisible();
                         });
    EXPECT_TRUE(offen);
    EXPECT_TRUE(meldungstexte(r).isEmpty());

    dbase::Table& namen = *Datas->Table1;
    ASSERT_TRUE(namenSuchen(m, {u"acetonitril"_qs, true}));
    EXPECT_EQ(gezeigt(m), u"Acetonitril"_qs);
    EXPECT_EQ(namen.filterOptions(), dbase::FilterOptions{});
    namen.setFilterText(u"STRIPNAME1='Ace*'"_qs);
    namen.setFiltered(true);
    EXPECT_EQ(namen.visibleCount(), 2u) << "the exact search left its options behind";
    namen.setFiltered(false);

    namen.setFilterOptions({.caseInsensitive = true});
    ASSERT_TRUE(namenSuchen(m, {u"Benz"_qs, false, true}));
    EXPECT_EQ(gezeigt(m), u"Benzol"_qs);
    EXPECT_EQ(namen.filterOptions(), dbase::FilterOptions{.caseInsensitive = true});
}

// The storage search looks inside the storage filter in force, makes the
// found record current, and leaves the storage filter as it was.
TEST(LagerSuchen, FindsInsideTheStorageFilterAndPutsTheFilterBack)
{
    SuchRegister r;
    TMarlex& m = r.fenster();
    dbase::Table& lager = *Datas->Table3;
    lager.setIndexName(u"NAME1_SUB"_qs);
    const dbase::Filter keller = dbase::Filter::parse(u"LAGER_ORT='Keller'"_qs);
    lager.setFilter(keller);
    lager.setFiltered(true);
    lager.last();
    ASSERT_EQ(namensfeld(lager), u"Benzol"_qs);

    const auto filterUnveraendert = [&] {
        EXPECT_TRUE(lager.filtered());
        EXPECT_EQ(lager.filterText(), u"LAGER_ORT='Keller'"_qs);
    };
    EXPECT_TRUE(lagerSuchen(m, {u"Acetonit"_qs})); // in the Schrank: outside the filter
    EXPECT_EQ(meldungstexte(r), QStringList{u"Der Lagerdatensatz wurde nicht gefunden."_qs});
    EXPECT_EQ(namensfeld(lager), u"Benzol"_qs);
    filterUnveraendert();

    EXPECT_TRUE(lagerSuchen(m, {u"ä"_qs}));
    EXPECT_EQ(namensfeld(lager), u"Äthylen"_qs);
    filterUnveraendert();
    EXPECT_TRUE(lagerSuchen(m, {u"acet"_qs}));
    EXPECT_EQ(namensfeld(lager), u"Aceton"_qs);
    filterUnveraendert();
    EXPECT_TRUE(lagerSuchen(m, {u"Benzol"_qs, true, true}));
    EXPECT_EQ(namensfeld(lager), u"Benzol"_qs);
    filterUnveraendert();
    EXPECT_EQ(lager.filterOptions(), dbase::FilterOptions{});
    // A storage filter set after the exact search still matches by prefix.
    lager.setFilterText(u"LAGER_ORT='Kel*'"_qs);
    QStringList imKeller;
    for (lager.first(); !lager.eof(); lager.next())
        imKeller << namensfeld(lager);
    EXPECT_EQ(imKeller, (QStringList{u"Aceton"_qs, u"Äthylen"_qs, u"Benzol"_qs}));
    lager.setFilter(keller);
    lager.last();

    // An "or" in the storage filter does not reach past the name condition.
    lager.setFilter(dbase::Filter::parse(u"LAGER_ORT='Keller' OR LAGER_ORT='Regal'"_qs));
    lager.last();
    EXPECT_TRUE(lagerSuchen(m, {u"Acetonit"_qs}));
    EXPECT_EQ(namensfeld(lager), u"Benzol"_qs);
    EXPECT_EQ(meldungstexte(r).size(), 2u);

    // Without a storage filter the whole table is searched.
    lager.setFiltered(false);
    lager.setFilter(dbase::Filter());
    EXPECT_TRUE(lagerSuchen(m, {u"Acetonit"_qs}));
    EXPECT_EQ(namensfeld(lager), u"Acetonitril"_qs);
    EXPECT_FALSE(lager.filtered());
    EXPECT_TRUE(lager.filter().isEmpty());
    EXPECT_EQ(meldungstexte(r).size(), 2u);
}
