#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "app/SymbolBild.h"
#include "data/Init.h"
#include "data/Programm.h"
#include "widgets/DBEdit.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

namespace {

using namespace marlextest;

// The phrase table the start opens with the others.
void phrasenSchreiben()
{
    dbase::Table t;
    t.setTableName(QStringLiteral("si_gef.dbf"));
    t.createTable(dbase::TableLayout({{"NRSATZ", dbase::FieldType::Character, 8},
                                      {"ZEILE", dbase::FieldType::Character, 2},
                                      {"SATZTEXT", dbase::FieldType::Character, 80}}));
    t.open();
    t.append();
    t.field(0).setAsString(QStringLiteral("R11"));
    t.field(2).setAsString(QStringLiteral("11= Leichtentzündlich"));
    t.post();
    t.close();
    t.addIndex({"NRSATZ_SUB", "NRSATZ", false});
}

// What a start needs beside the name, substance, storage and structure
// tables: the phrase table, the pictograms and the list of required files;
// and settings that say it is not the first start, which would offer the
// takeover of an earlier version's storage data first.
void startdateienSchreiben(Register& reg)
{
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("First"), QStringLiteral("0"));
    phrasenSchreiben();
    symbolOrdnerSchreiben(QDir(reg.programm()));
    QFile liste(QStringLiteral("FILES.TXT"));
    ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
    liste.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf\r\n");
}

} // namespace

// The whole program on a small register, started as its main routine does
// it: the windows in their order, the start of the data side, the hand-over
// to the main window with the first name's substance on show.
TEST(Programmstart, StartsOnASmallRegisterAndShowsTheFirstNamesSubstance)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Ethanol"), QStringLiteral("64-17-5")},
                    {QStringLiteral("Aceton"), QStringLiteral("67-64-1")},
                    {QStringLiteral("Dimethylketon"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("64-17-5"), QStringLiteral("1"), {{NAME1, QStringLiteral("Ethanol")}, {GEFSYM1, QStringLiteral("F")}}},
                     {QStringLiteral("67-64-1"), QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Aceton")}, {GEFSYM1, QStringLiteral("F")}, {GEFSYM2, QStringLiteral("Xi")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")}});
    formelnSchreiben({QStringLiteral("67-64-1")});
    startdateienSchreiben(reg);
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("Darstellung in Farbe"), QStringLiteral("1"));

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();

    EXPECT_TRUE(Marlex->isVisible());
    EXPECT_FALSE(Init->isVisible());
    EXPECT_EQ(Marlex->PageControl1->currentWidget(), Marlex->TabSheet1);
    ASSERT_EQ(Marlex->ListBox1->count(), 3);
    EXPECT_EQ(Marlex->ListBox1->marker(0), TMarlex::LagerMarke);
    EXPECT_EQ(Marlex->ListBox1->marker(2), TMarlex::KeinLagerMarke);
    EXPECT_EQ(Marlex->Label48->text(), QStringLiteral("1"));
    EXPECT_EQ(Marlex->ChemieSatzAnzahl, 2);

    ASSERT_EQ(Marlex->ListBox1->itemIndex(), 0);
    EXPECT_EQ(Marlex->ListBox1->text(0), QStringLiteral("Aceton"));
    EXPECT_EQ(Marlex->DBEdit15->text(), QStringLiteral("67-64-1"));
    EXPECT_EQ(Marlex->DBRichEdit2->toPlainText(), QStringLiteral("Aceton"));
    EXPECT_EQ(Marlex->DBRichEdit4->toPlainText(), QStringLiteral("Aceton"));
    EXPECT_EQ(farbeVon(Marlex->Image2->picture()), symbolfarbe("F.", true));
    EXPECT_EQ(farbeVon(Marlex->Image3->picture()), symbolfarbe("Xi.", true));
    EXPECT_FALSE(Marlex->DBImage1->isHidden());
}

// A register whose name table is empty: the start shows no substance and
// offers no command for one, though the other tables have rows.
TEST(Programmstart, OnAnEmptyNameTableNoRecordIsShownOrOffered)
{
    Register reg;
    namenSchreiben({});
    chemieSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Aceton")}, {GEFSYM1, QStringLiteral("F")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")}});
    formelnSchreiben({QStringLiteral("67-64-1")});
    startdateienSchreiben(reg);
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("Lagerdatensätze markieren"), QStringLiteral("0"));

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();

    TMarlex& m = *Marlex;
    EXPECT_EQ(m.ListBox1->count(), 0);
    EXPECT_EQ(m.ListBox1->itemIndex(), -1);
    EXPECT_EQ(m.PageControl1->currentWidget(), m.TabSheet1);
    EXPECT_FALSE(m.PageControl1->isTabVisible(m.PageControl1->indexOf(m.TabSheet2)));
    for (QAction* a : {m.ndern1, m.Kopie1, m.Lschen1, m.Memo1, m.Ansehen1, m.Synonym1, m.Stoffinfo1,
                       m.Datensatzanzeigen1, m.Datensatzbearbeiten1, m.Datensatzkopieren1, m.Menu31,
                       m.Stoffinfoanzeigen1, m.Stoffinfodrucken1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton53, m.ToolButton55,
                           m.ToolButton57, m.ToolButton58, m.ToolButton23, m.ToolButton24, m.ToolButton39,
                           m.ToolButton40})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(m.Neueingabe1->isEnabled()) << "a first substance can be entered";
    EXPECT_EQ(farbeVon(m.DBImage1->picture()), symbolfarbe("NODATA.", true)) << "not Aceton's structure";
    EXPECT_TRUE(m.Image2->picture().isEmpty());
    EXPECT_EQ(m.StatusPanel[0]->text(), QStringLiteral("0 / 1")) << "no record number of chemie.dbf";
    EXPECT_TRUE(m.StatusPanel[3]->text().isEmpty());
}

// The program's navigator and supplement window, made at start, work on the
// program's data module; left open, they do not keep the program running
// once "Beenden" has ended it.
TEST(Programmstart, TheSmallWindowsOfTheRecordPageAreMadeAtStartAndEndWithTheProgram)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Ethanol"), QStringLiteral("64-17-5")},
                    {QStringLiteral("Aceton"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("64-17-5"), QStringLiteral("1"), {{NAME1, QStringLiteral("Ethanol")}}},
                     {QStringLiteral("67-64-1"), QStringLiteral("1"), {{NAME1, QStringLiteral("Aceton")}}}});
    lagerSchreiben({});
    formelnSchreiben({});
    startdateienSchreiben(reg);
    QDir(reg.programm()).mkpath(QStringLiteral("Hilfe"));
    QFile seite(reg.programm() + QStringLiteral("Hilfe/hinweis1.htm"));
    ASSERT_TRUE(seite.open(QIODevice::WriteOnly));
    seite.write("<p>Hinweis</p>");
    seite.close();

    {
        const Programm programm;
        ASSERT_TRUE(programm.gestartet());
        ASSERT_NE(Datennavigator, nullptr);
        ASSERT_NE(Einstufung, nullptr);
        EXPECT_FALSE(Datennavigator->isVisible());
        EXPECT_FALSE(Einstufung->isVisible());

        TMarlex& m = *Marlex;
        m.Datensatzanzeigen1->trigger();
        QTest::mouseClick(m.ToolButton2, Qt::LeftButton);
        QTest::mouseClick(m.ToolButton6, Qt::LeftButton);
        ASSERT_TRUE(Datennavigator->isVisible());
        EXPECT_TRUE(Einstufung->isVisible());
        QTest::mouseClick(Datennavigator->findChild<QToolButton*>(QStringLiteral("nbNext")), Qt::LeftButton);
        EXPECT_EQ(m.ListBox1->itemIndex(), 1);
        EXPECT_EQ(m.DBRichEdit2->toPlainText(), QStringLiteral("Ethanol"));

        QTimer::singleShot(0, &m, [&m] { m.Beenden1->trigger(); });
        // The guard ends with this block: left pending, it would fire in a
        // later test, and an exit outside the application's own loop makes
        // every later event loop (each modal dialog's) return at once.
        QObject wache;
        QTimer::singleShot(5000, &wache, [] { QApplication::exit(1); });
        EXPECT_EQ(QApplication::exec(), 0) << "the program ended";
    }
    EXPECT_EQ(Datennavigator, nullptr);
    EXPECT_EQ(Einstufung, nullptr);
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();
}

// Rows deleted in an earlier run stay in lager.dbf until it is packed; the
// storage count beside the picture counts only the rows the user has.
TEST(Programmstart, TheStorageCountLeavesOutDeletedRows)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Aceton"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1"), {{NAME1, QStringLiteral("Aceton")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")},
                    {QStringLiteral("64-17-5"), QStringLiteral("1")},
                    {QStringLiteral("67-64-1"), QStringLiteral("1")}});
    {
        dbase::Table lager;
        lager.setTableName(QStringLiteral("lager.dbf"));
        lager.open();
        lager.first();
        lager.next();
        lager.remove();
    }
    formelnSchreiben({});
    startdateienSchreiben(reg);

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    EXPECT_EQ(Marlex->Label48->text(), QStringLiteral("2"));
}
