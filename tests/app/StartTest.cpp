#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>

#include "MarlexTestSupport.h"
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
    phrasenSchreiben();
    symbolOrdnerSchreiben(QDir(reg.programm()));
    {
        QFile liste(QStringLiteral("FILES.TXT"));
        ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
        liste.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf\r\n");
    }
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
