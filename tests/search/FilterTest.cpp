#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "FilterTestSupport.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "fixtures/Dbfread.h"
#include "ini/IniFile.h"
#include "search/Filtersetzen.h"
#include "widgets/MessageBox.h"

using namespace filtertest;

namespace {

QString einstellung(const marlextest::Register& r, const QString& sektion, const QString& schluessel)
{
    return ini::IniFile(r.ini()).readString(sektion, schluessel, u"<fehlt>"_qs);
}

void listenfilter(TMarlex& m, const QString& text)
{
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, text);
                 setzen(d);
             });
}

void lagerfilter(TMarlex& m, const QString& text)
{
    imDialog([&] { m.Filter2->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, text);
                 setzen(d);
             });
}

const QStringList alleNamen = {u"Aceton"_qs, u"Benzol"_qs, u"Chlor"_qs, u"Dimethylketon"_qs,
                               u"Ethanol"_qs, u"O'Brien-Reagenz"_qs, u"Propanon"_qs};
const QStringList leichtEntzuendlich = {u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Propanon"_qs};

class ListenFilter : public ::testing::TestWithParam<bool> {
protected:
    ListenFilter() : win98(std::exchange(OptWin98, GetParam())) {}
    ~ListenFilter() override { OptWin98 = win98; }

    bool win98;
    FilterRegister r;
};

} // namespace

// Set, saved, chosen again from the saved list, cleared: the list follows,
// filter.dbf holds the names of the passing substances in name order, with
// both tags, and an independent reader reads it.
TEST_P(ListenFilter, SetSavedChosenAgainAndCleared)
{
    TMarlex& m = r.m;
    listenfilter(m, u"GEFSYM1='F+'"_qs);

    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    EXPECT_EQ(m.ListenFilterAktiv, 1);
    EXPECT_EQ(Datas->Table1->tableName(), u"filter.dbf"_qs);
    EXPECT_TRUE(r.aktuellerFilter.isVisible());
    EXPECT_EQ(r.aktuellerFilter.Edit1->text(), u"GEFSYM1='F+'"_qs);
    EXPECT_FALSE(r.filterWarten.isVisible());
    EXPECT_FALSE(m.Neueingabe1->isEnabled());
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"1"_qs);
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Filter1"_qs), u"GEFSYM1='F+'"_qs);

    const fixtures::DbfreadTable gelesen = fixtures::readWithDbfread("filter.dbf");
    ASSERT_EQ(gelesen.rows.size(), 4);
    QStringList namen, schluessel;
    for (const QJsonValue& zeile : gelesen.rows) {
        namen << zeile[u"NAME1"_qs].toString();
        schluessel << zeile[u"CARN"_qs].toString() + u'/' + zeile[u"SUBCARN"_qs].toString();
    }
    EXPECT_EQ(namen, leichtEntzuendlich);
    EXPECT_EQ(schluessel, QStringList({aceton + u"/1"_qs, benzol + u"/1"_qs, aceton + u"/1"_qs, aceton + u"/1"_qs}));
    std::vector<std::string> tags;
    for (const dbase::IndexDef& tag : Datas->Table1->indexDefs())
        tags.push_back(tag.name + "=" + tag.expression);
    EXPECT_EQ(tags, (std::vector<std::string>{"CARN_SUB=CARN+SUBCARN", "NAME1_SUB=STRIPNAME1"}));
    EXPECT_FALSE(Datas->Table1->filtered()) << "the name table carries no filter of the build";

    // Another one; then the first again, chosen from the saved list.
    listenfilter(m, u"WGK='3'"_qs);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"2"_qs);
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 EXPECT_EQ(d.Memo1->toPlainText(), u"WGK='3'"_qs);
                 EXPECT_EQ(d.ComboBox1->currentIndex(), 1);
                 d.ComboBox1->setFocus();
                 QTest::keyClick(d.ComboBox1, Qt::Key_Up);
                 EXPECT_EQ(d.Memo1->toPlainText(), u"GEFSYM1='F+'"_qs);
                 setzen(d);
             });
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"2"_qs) << "a saved one is not saved twice";

    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) { QTest::mouseClick(d.Button3, Qt::LeftButton); });
    EXPECT_EQ(listenzeilen(m), alleNamen);
    EXPECT_EQ(m.ListenFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerFilter.isVisible());
    EXPECT_FALSE(Datas->Table2->filtered());
    EXPECT_TRUE(m.Neueingabe1->isEnabled());
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"2"_qs) << "clearing keeps the saved list";
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kopieren, ListenFilter, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "RecordByRecord" : "BatchMove"; });

namespace {

class Filter : public ::testing::Test {
protected:
    FilterRegister r;
    TMarlex& m = r.m;
};

} // namespace

// An apostrophe in a name, in a substance key and at both ends of an
// expression: the filter, its table and the saved list all keep it.
TEST_F(Filter, ApostrophesInNamesKeysAndExpressions)
{
    listenfilter(m, u"NAME1=\"O'Brien-Reagenz\""_qs);
    EXPECT_EQ(listenzeilen(m), QStringList{u"O'Brien-Reagenz"_qs});

    const QString beidseits = u"'T' = GEFSYM1 or GEFSYM1 = 'Xi'"_qs;
    listenfilter(m, beidseits);
    EXPECT_EQ(listenzeilen(m), QStringList({u"Chlor"_qs, u"O'Brien-Reagenz"_qs}));
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 ASSERT_EQ(d.ComboBox1->count(), 2);
                 EXPECT_EQ(d.ComboBox1->itemText(0), u"NAME1=\"O'Brien-Reagenz\""_qs);
                 EXPECT_EQ(d.ComboBox1->itemText(1), beidseits) << "read back as it was typed";
             });
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join('\n').toStdString();
}

// An expression the table cannot take is told with its reason and place;
// the dialog stays open for a correction and the filters in force stay.
TEST_F(Filter, AnInvalidExpressionChangesNothing)
{
    listenfilter(m, u"WGK='3'"_qs);
    lagerfilter(m, u"LAGER_ORT='Keller'"_qs);
    const QString ini = einstellung(r, u"Filter"_qs, u"Anzahl"_qs);

    struct Fall {
        void (TMarlex::*oeffnen)();
        QString text;
        QString grund;
    };
    const std::vector<Fall> faelle = {
        {&TMarlex::Filtersetzen1Click, u"GEFSYM1='F+' and"_qs, u"Position"_qs},
        {&TMarlex::Filtersetzen1Click, u"GEFSYMX='F+'"_qs, u"GEFSYMX"_qs},
        {&TMarlex::Filtersetzen1Click, u"GEFSYM1 = TRUE"_qs, u"kein logisches Feld"_qs},
        {&TMarlex::Filter2Click, u"DATUM_ALT > 'gestern'"_qs, u"kein Datum"_qs},
        {&TMarlex::Filter2Click, u"LAGER_ORT='Keller' or (ANZAHL>1"_qs, u"Position"_qs},
        {&TMarlex::Filter2Click, u"GEFSYM1='F+'"_qs, u"GEFSYM1"_qs},
    };
    for (const Fall& fall : faelle) {
        const std::size_t vorher = r.meldungen().size();
        imDialog([&] { (m.*fall.oeffnen)(); },
                 [&](TFiltersetzen& d) {
                     tippen(d, fall.text);
                     setzen(d);
                     EXPECT_TRUE(d.isVisible()) << fall.text.toStdString();
                     EXPECT_EQ(d.Memo1->toPlainText(), fall.text);
                 });
        ASSERT_EQ(r.meldungen().size(), vorher + 1) << fall.text.toStdString();
        const QString meldung = r.meldungen().back().text;
        EXPECT_TRUE(meldung.contains(u"Filter kann nicht gesetzt werden"_qs)) << meldung.toStdString();
        EXPECT_TRUE(meldung.contains(fall.grund)) << meldung.toStdString();
    }
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(Datas->Table2->filterText(), u"WGK='3'"_qs);
    EXPECT_EQ(r.aktuellerFilter.Edit1->text(), u"WGK='3'"_qs);
    EXPECT_EQ(Datas->Table3->filterText(), u"LAGER_ORT='Keller'"_qs);
    EXPECT_EQ(m.ListenFilterAktiv, 1);
    EXPECT_EQ(m.LagerFilterAktiv, 1);
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), ini);
}

// A new expression that matches nothing turns the list filter off, and the
// list shows the whole name table again instead of the old filter's names.
TEST_F(Filter, AnExpressionMatchingNothingTurnsTheFilterOffAndReadsTheList)
{
    listenfilter(m, u"WGK='3'"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    listenfilter(m, u"WGK='9'"_qs);
    EXPECT_EQ(r.meldungen().back().text,
              u"Es kann auf diese Datenbank kein Filter gesetzt werden, da keine übereinstimmende Datensätze "
              u"gefunden wurden."_qs);
    EXPECT_EQ(m.ListenFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerFilter.isVisible());
    EXPECT_EQ(listenzeilen(m), alleNamen);
    EXPECT_EQ(Datas->Table1->tableName(), u"namen.dbf"_qs);
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"1"_qs) << "not saved";
}

// When filter.dbf cannot be made, the user is told, the list filter is off
// (not half on), the wait window is gone and nothing was saved.
TEST_F(Filter, AFailedBuildLeavesTheFilterOff)
{
    listenfilter(m, u"WGK='3'"_qs);
    Datas->Table1->close();
    ASSERT_TRUE(QFile::remove(u"filter.dbf"_qs));
    ASSERT_TRUE(QDir().mkdir(u"filter.dbf"_qs));

    listenfilter(m, u"GEFSYM1='F+'"_qs);
    ASSERT_FALSE(r.meldungen().empty());
    EXPECT_TRUE(r.meldungen().back().text.contains(u"Filtertabelle konnte nicht erstellt werden"_qs))
        << r.meldungen().back().text.toStdString();
    EXPECT_EQ(m.ListenFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerFilter.isVisible());
    EXPECT_FALSE(r.filterWarten.isVisible());
    EXPECT_FALSE(Datas->Table2->filtered());
    EXPECT_FALSE(Datas->Table1->filtered());
    EXPECT_EQ(listenzeilen(m), alleNamen);
    EXPECT_EQ(einstellung(r, u"Filter"_qs, u"Anzahl"_qs), u"1"_qs);
}
