// Editing and entering substances on the record page, driven as a user does:
// clicks on the tool buttons and the popup, typing into the controls, and
// leaving them by clicking the next one. What is stored is read back by
// python3-dbfread.

#include <algorithm>

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "BedienungTestSupport.h"
#include "FilterTestSupport.h"
#include "MarlexTestSupport.h"
#include "app/Datennavigator.h"
#include "app/NameRules.h"
#include "fixtures/Dbfread.h"
#include "platform/dbase/ChildProcess.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "search/Filtersetzen.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString ethanol = QStringLiteral("64-17-5");
const QString wasser = QStringLiteral("7732-18-5");

class StoffBearbeiten : public ::testing::Test {
protected:
    void SetUp() override
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        // Two substance records; water's key with the number a third one
        // gets is taken already (a record was deleted before).
        namenSchreiben({{"Aceton", aceton}, {"Ethanol", ethanol}, {"Dimethylketon", aceton}});
        chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}}}, {wasser, "3", {{NAME1, "Wasser alt"}}}});
        lagerSchreiben({});
        formelnSchreiben({aceton});
    }

    TMarlex& starten()
    {
        m = &r.starten();
        m->DatenlisteEinlesen();
        m->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m));
        return *m;
    }

    // Clicks into a control, as a user does before typing.
    void hinein(QWidget* feld) { hineinKlicken(feld); }
    // Types `text` over what the control holds.
    void tippen(QWidget* feld, const QString& text)
    {
        hinein(feld);
        QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(feld, Qt::Key_Delete);
        QTest::keyClicks(feld, text);
    }
    void klick(QToolButton* knopf) { QTest::mouseClick(knopf, Qt::LeftButton); }

    QStringList listenzeilen() const
    {
        QStringList zeilen;
        for (int i = 0; i < m->ListBox1->count(); ++i)
            zeilen << m->ListBox1->text(i);
        return zeilen;
    }
    int zeile(const QString& name) const { return static_cast<int>(listenzeilen().indexOf(name)); }

    QStringList meldungen() const
    {
        QStringList texte;
        for (const auto& meldung : r.meldungen())
            texte << meldung.text;
        return texte;
    }

    static QJsonArray zeilenVon(const char* datei) { return fixtures::readWithDbfread(datei).rows; }
    static QJsonObject zeileMit(const QJsonArray& zeilen, const QString& feld, const QString& wert)
    {
        for (const auto& z : zeilen) {
            if (z.toObject().value(feld).toString() == wert)
                return z.toObject();
        }
        return {};
    }

    Register r;
    TMarlex* m = nullptr;
};

} // namespace

TEST_F(StoffBearbeiten, ANewSubstanceWithAWrongThenARightCasNumberIsStoredInAllThreeTables)
{
    starten();
    klick(m->ToolButton38);
    ASSERT_EQ(m->EingabeModus, 1);
    EXPECT_EQ(m->StatusPanel[2]->text(), "Eingabemodus");
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet2);
    EXPECT_FALSE(m->PageControl1->isTabVisible(m->PageControl1->indexOf(m->TabSheet1)));
    EXPECT_FALSE(m->PageControl1->isTabVisible(m->PageControl1->indexOf(m->TabSheet3)));
    EXPECT_FALSE(m->Daten1->isEnabled());
    EXPECT_TRUE(m->DBEdit15->isEnabled());
    EXPECT_TRUE(m->Label36->isEnabled());
    EXPECT_FALSE(m->DBEdit18->isEnabled());
    EXPECT_EQ(m->DBEdit18->text(), "3") << "record count + 1";

    tippen(m->DBRichEdit2, "Wasser");
    hinein(m->DBRichEdit3); // leaving the name copies it into the name row
    EXPECT_EQ(m->DBRichEdit4->toPlainText(), "Wasser");
    tippen(m->DBRichEdit1, "H2O");
    tippen(m->DBEdit15, "7732-18-4");
    hinein(m->DBEdit19);
    EXPECT_TRUE(meldungen().contains("Fehler bei der Eingabe der CARN-Nummer.")) << meldungen().join('\n').toStdString();
    EXPECT_TRUE(r.datas().Table2->field(41).asString().isEmpty()) << "a wrong number is not copied";

    // Storing with the wrong number asks; "Ja" goes on with the input.
    {
        Fragen ja(widgets::Answer::Yes);
        klick(m->ToolButton22);
        ASSERT_EQ(ja.texte, QStringList{"Fehler bei der Eingabe der CARN-Nummer. Wollen Sie mit der Eingabe fortfahren?"});
    }
    ASSERT_EQ(m->EingabeModus, 1);

    // A code picked in a symbol box and one typed into another.
    hinein(m->DBComboBox1);
    QTest::keyClick(m->DBComboBox1, Qt::Key_Down);
    EXPECT_EQ(m->DBComboBox1->currentText(), "C");
    tippen(m->DBComboBox2->lineEdit(), "Xn");
    // The right number, stored at once with the tool button: the copies are
    // made from what the fields hold, not from when they were last left.
    tippen(m->DBEdit15, wasser);
    klick(m->ToolButton22);

    EXPECT_EQ(m->EingabeModus, 0);
    EXPECT_TRUE(m->StatusPanel[2]->text().isEmpty());
    EXPECT_TRUE(m->PageControl1->isTabVisible(m->PageControl1->indexOf(m->TabSheet1)));
    EXPECT_TRUE(m->Daten1->isEnabled());
    EXPECT_FALSE(m->DBEdit15->isEnabled());
    EXPECT_FALSE(m->DBRichEdit2->isEnabled());
    EXPECT_EQ(m->ListBox1->itemIndex(), 0);
    EXPECT_TRUE(listenzeilen().contains("Wasser"));
    for (dbase::Table* t : {r.datas().Table1, r.datas().Table2, r.datas().Table6})
        EXPECT_FALSE(t->cachedUpdates());

    const QJsonObject stoff = zeileMit(zeilenVon("chemie.dbf"), "NAME1", "Wasser");
    ASSERT_FALSE(stoff.isEmpty());
    EXPECT_EQ(stoff["CARN"].toString(), wasser);
    EXPECT_EQ(stoff["SUBCARN"].toString(), "4") << "3 is taken for this number: the next free one";
    EXPECT_EQ(stoff["FORMEL"].toString(), "H2O");
    EXPECT_EQ(stoff["FORMEL_BMP"].toString(), "7732-18.BMP");
    EXPECT_EQ(stoff["GEFSYM1"].toString(), "C");
    EXPECT_EQ(stoff["GEFSYM1BMP"].toString(), "C.");
    EXPECT_EQ(stoff["GEFSYM2"].toString(), "Xn");
    EXPECT_EQ(stoff["GEFSYM2BMP"].toString(), "XN.") << "a typed code names its picture as a picked one";
    EXPECT_EQ(stoff["GEFSYM3BMP"].toString(), "LEER.BMP");
    EXPECT_EQ(stoff["GEFSYM4BMP"].toString(), "LEER.BMP");
    const QJsonObject name = zeileMit(zeilenVon("namen.dbf"), "NAME1", "Wasser");
    EXPECT_EQ(name["STRIPNAME1"].toString(), StripNameBilden("Wasser"));
    EXPECT_EQ(name["CARN"].toString(), wasser);
    EXPECT_EQ(name["SUBCARN"].toString(), "4");
    const QJsonObject formel = zeileMit(zeilenVon("formeln.dbf"), "CARN", wasser);
    EXPECT_EQ(formel["SUBCARN"].toString(), "4");
    EXPECT_EQ(zeilenVon("namen.dbf").size(), 4);
    EXPECT_EQ(zeilenVon("formeln.dbf").size(), 2);

    // The new substance is shown from its line.
    m->ListBox1->setItemIndex(zeile("Wasser"));
    m->AktuellenDatensatzZeigen();
    EXPECT_EQ(m->DBEdit18->text(), "4");
}

TEST_F(StoffBearbeiten, TheSynonymLeftLastNamesTheRowAndTheFormulaLeavesItAlone)
{
    starten();
    klick(m->ToolButton38);
    tippen(m->DBRichEdit2, "Ethylalkohol");
    tippen(m->DBRichEdit4, "Weingeist");
    tippen(m->DBRichEdit1, "C2H6O"); // leaving the formula keeps the synonym
    tippen(m->DBEdit15, ethanol);
    hinein(m->DBEdit19);
    EXPECT_EQ(m->DBRichEdit4->toPlainText(), "Weingeist");
    klick(m->ToolButton22);

    const QJsonObject name = zeileMit(zeilenVon("namen.dbf"), "NAME1", "Weingeist");
    EXPECT_EQ(name["STRIPNAME1"].toString(), StripNameBilden("Weingeist"));
    EXPECT_EQ(name["CARN"].toString(), ethanol);
    EXPECT_EQ(name["SUBCARN"].toString(), "3");
    EXPECT_EQ(zeileMit(zeilenVon("chemie.dbf"), "NAME1", "Ethylalkohol")["FORMEL_BMP"].toString(), "64-17.BMP");
}

TEST_F(StoffBearbeiten, CancellingEitherModeChangesNothing)
{
    starten();
    const QJsonArray namenVorher = zeilenVon("namen.dbf");
    const QJsonArray chemieVorher = zeilenVon("chemie.dbf");
    const QJsonArray formelnVorher = zeilenVon("formeln.dbf");

    // Edit mode on and off again with the record page's button.
    m->ListBox1->setItemIndex(zeile("Aceton"));
    m->AktuellenDatensatzZeigen();
    klick(m->ToolButton41);
    ASSERT_EQ(m->EditModus, 1);
    EXPECT_EQ(m->StatusPanel[2]->text(), "Editiermodus");
    EXPECT_TRUE(m->ndern1->isChecked());
    EXPECT_TRUE(m->DBRichEdit2->isEnabled());
    EXPECT_TRUE(m->DBComboBox17->isEnabled());
    EXPECT_FALSE(m->DBEdit15->isEnabled()) << "the key stays as it is";
    EXPECT_FALSE(m->DBRichEdit4->isEnabled());
    klick(m->ToolButton23);
    EXPECT_EQ(m->EditModus, 0);
    EXPECT_FALSE(m->ndern1->isChecked());
    EXPECT_TRUE(m->StatusPanel[2]->text().isEmpty());
    EXPECT_FALSE(m->DBRichEdit2->isEnabled());

    // Input mode started from edit mode, then given up when incomplete.
    klick(m->ToolButton41);
    klick(m->ToolButton22);
    ASSERT_EQ(m->EingabeModus, 1);
    EXPECT_EQ(m->EditModus, 0);
    EXPECT_EQ(m->StatusPanel[2]->text(), "Eingabemodus");
    tippen(m->DBRichEdit2, "Halbfertig");
    {
        Fragen nein(widgets::Answer::No);
        klick(m->ToolButton22);
        EXPECT_EQ(nein.texte,
                  QStringList{"Fehler! Die Eingabe ist nicht vollständig. Wollen Sie mit der Eingabe fortfahren?"});
    }
    EXPECT_EQ(m->EingabeModus, 0);
    EXPECT_EQ(m->ListBox1->itemIndex(), 0);
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet1);
    EXPECT_FALSE(listenzeilen().contains("Halbfertig"));
    EXPECT_EQ(QJsonDocument(zeilenVon("namen.dbf")).toJson().toStdString(), QJsonDocument(namenVorher).toJson().toStdString());
    EXPECT_EQ(zeilenVon("chemie.dbf"), chemieVorher);
    EXPECT_EQ(zeilenVon("formeln.dbf"), formelnVorher);
}

// The edit commands open the record page as the user's own change of page
// does: storage menus off, the storage table in key order, the navigator
// back while its button is down; input mode keeps the navigator away, as it
// would move the name table off the new row.
TEST_F(StoffBearbeiten, TheEditCommandsSetUpTheRecordPageAsTheTabDoes)
{
    TDatennavigator navigator;
    Datennavigator = &navigator;
    struct Abmelden {
        ~Abmelden() { Datennavigator = nullptr; }
    } abmelden;
    starten();
    QTabBar* reiter = m->PageControl1->tabBar();
    const auto seite = [&](QWidget* s) {
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m->PageControl1->indexOf(s)).center());
    };
    seite(m->TabSheet2);
    klick(m->ToolButton2);
    ASSERT_TRUE(navigator.isVisible());
    seite(m->TabSheet3);
    ASSERT_FALSE(navigator.isVisible());
    ASSERT_EQ(r.datas().Table3->indexName(), "NAME1_SUB");
    seite(m->TabSheet1);

    klick(m->ToolButton41);
    ASSERT_EQ(m->PageControl1->currentWidget(), m->TabSheet2);
    EXPECT_EQ(m->EditModus, 1);
    EXPECT_EQ(m->StatusPanel[2]->text(), "Editiermodus");
    EXPECT_TRUE(navigator.isVisible());
    EXPECT_FALSE(m->Daten3->isEnabled());
    EXPECT_TRUE(m->Daten1->isEnabled());
    EXPECT_EQ(r.datas().Table3->indexName(), "CARN_SUB");
    klick(m->ToolButton23);

    seite(m->TabSheet1);
    klick(m->ToolButton38);
    ASSERT_EQ(m->EingabeModus, 1);
    EXPECT_EQ(m->StatusPanel[2]->text(), "Eingabemodus");
    EXPECT_FALSE(navigator.isVisible());
    EXPECT_FALSE(m->ToolButton2->isEnabled());
}

TEST_F(StoffBearbeiten, AnEditedNameIsCarriedIntoItsNameRowAndTheList)
{
    starten();
    m->ListBox1->setItemIndex(zeile("Aceton"));
    m->AktuellenDatensatzZeigen();
    // From the list's popup, as a user opens it.
    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {},
                      m->ListBox1->viewport()->mapTo(m, m->ListBox1->visualRect(m->ListBox1->lineModel().index(zeile("Aceton"))).center()));
    ASSERT_TRUE(m->PopupMenu1->isVisible());
    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {},
                      m->PopupMenu1->actionGeometry(m->Datensatzbearbeiten1).center());
    ASSERT_EQ(m->EditModus, 1);
    ASSERT_EQ(m->PageControl1->currentWidget(), m->TabSheet2);

    tippen(m->DBRichEdit2, "Propanon");
    tippen(m->DBEdit55, "1090");
    EXPECT_TRUE(listenzeilen().contains("Propanon"));
    EXPECT_FALSE(listenzeilen().contains("Aceton"));
    EXPECT_TRUE(listenzeilen().contains("Dimethylketon")) << "a synonym keeps its name";
    EXPECT_EQ(m->ListBox1->text(m->ListBox1->itemIndex()), "Propanon");
    EXPECT_EQ(m->DBRichEdit4->toPlainText(), "Propanon");
    EXPECT_EQ(m->EditModus, 1);

    klick(m->ToolButton23); // edit mode off stores the record
    const QJsonObject name = zeileMit(zeilenVon("namen.dbf"), "NAME1", "Propanon");
    EXPECT_EQ(name["STRIPNAME1"].toString(), StripNameBilden("Propanon"));
    EXPECT_EQ(name["CARN"].toString(), aceton);
    const QJsonObject stoff = zeileMit(zeilenVon("chemie.dbf"), "CARN", aceton);
    EXPECT_EQ(stoff["NAME1"].toString(), "Propanon");
    EXPECT_EQ(stoff["UN_NR"].toString(), "1090");
    EXPECT_EQ(zeilenVon("namen.dbf").size(), 3);
}

TEST_F(StoffBearbeiten, AFailedWriteLeavesAllThreeTablesAsTheyWereAndTheInputOn)
{
    DateiFehler fehler; // before the tables are opened, so it lies under them
    starten();
    const QJsonArray namenVorher = zeilenVon("namen.dbf");
    const QJsonArray chemieVorher = zeilenVon("chemie.dbf");
    const QJsonArray formelnVorher = zeilenVon("formeln.dbf");

    klick(m->ToolButton38);
    tippen(m->DBRichEdit2, "Wasser");
    tippen(m->DBEdit15, wasser);
    hinein(m->DBEdit19);
    for (const char* datei : {"namen.dbf", "formeln.dbf", "chemie.dbf"}) {
        *fehler.datei = QString::fromLatin1(datei);
        klick(m->ToolButton22);
        ASSERT_EQ(m->EingabeModus, 1) << datei;
        ASSERT_FALSE(meldungen().isEmpty());
        EXPECT_TRUE(meldungen().last().contains("Keine der Tabellen wurde verändert")) << meldungen().last().toStdString();
        EXPECT_EQ(zeilenVon("namen.dbf"), namenVorher) << datei;
        EXPECT_EQ(zeilenVon("chemie.dbf"), chemieVorher) << datei;
        EXPECT_EQ(zeilenVon("formeln.dbf"), formelnVorher) << datei;
        EXPECT_EQ(m->DBRichEdit2->toPlainText(), "Wasser") << "the input stays as typed";
        EXPECT_EQ(m->DBEdit15->text(), wasser);
    }

    // With the disk writable again the same input is stored once.
    *fehler.datei = QString();
    klick(m->ToolButton22);
    EXPECT_EQ(m->EingabeModus, 0);
    EXPECT_EQ(zeilenVon("namen.dbf").size(), namenVorher.size() + 1);
    EXPECT_EQ(zeilenVon("chemie.dbf").size(), chemieVorher.size() + 1);
    EXPECT_EQ(zeilenVon("formeln.dbf").size(), formelnVorher.size() + 1);
    EXPECT_EQ(zeileMit(zeilenVon("namen.dbf"), "NAME1", "Wasser")["CARN"].toString(), wasser);
}

// A write that fails at any of the three tables takes back what the tables
// before it had written: no deleted row is left in any file, and the
// indexes the program keeps know nothing of the substance.
TEST_F(StoffBearbeiten, AFailedWriteLeavesNoDeletedRowAndNoKeyBehind)
{
    DateiFehler fehler;
    starten();
    std::map<QString, qint64> groessen;
    for (const char* datei : {"namen.dbf", "chemie.dbf", "formeln.dbf"})
        groessen[QString::fromLatin1(datei)] = QFileInfo(QString::fromLatin1(datei)).size();

    klick(m->ToolButton38);
    tippen(m->DBRichEdit2, "Wasser");
    tippen(m->DBEdit15, wasser);
    for (const char* datei : {"chemie.dbf", "formeln.dbf", "namen.dbf"}) {
        *fehler.datei = QString::fromLatin1(datei);
        klick(m->ToolButton22);
        ASSERT_EQ(m->EingabeModus, 1) << datei;
        EXPECT_EQ(m->StatusPanel[2]->text(), "Eingabemodus");
        ASSERT_FALSE(meldungen().isEmpty());
        EXPECT_TRUE(meldungen().last().startsWith("Der neue Stoff konnte nicht gespeichert werden."));
        for (const auto& [tabelle, groesse] : groessen) {
            const fixtures::DbfreadTable gelesen = fixtures::readWithDbfread(tabelle.toStdString());
            EXPECT_EQ(gelesen.deletedCount, 0) << "failed at " << datei << ", " << tabelle.toStdString();
            EXPECT_EQ(QFileInfo(tabelle).size(), groesse) << "failed at " << datei << ", " << tabelle.toStdString();
        }
    }
    // The program's own tables, as the list and the record display use them.
    *fehler.datei = QString();
    klick(m->ToolButton22); // stored now
    ASSERT_EQ(m->EingabeModus, 0);
    // Each index holds the substance's key once, not once per try.
    const auto schluessel = [](dbase::Table& t, const QStringList& werte, int feld) {
        int n = 0;
        if (t.findKey(werte)) {
            for (; !t.eof() && t.field(feld).asString() == werte[0]; t.next())
                ++n;
        }
        return n;
    };
    EXPECT_EQ(schluessel(*r.datas().Table2, {wasser, "4"}, 2), 1);
    EXPECT_EQ(schluessel(*r.datas().Table6, {wasser}, 0), 1);
    EXPECT_EQ(schluessel(*r.datas().Table1, {StripNameBilden("Wasser")}, 1), 1);
    for (const auto& [tabelle, groesse] : groessen)
        EXPECT_EQ(fixtures::readWithDbfread(tabelle.toStdString()).deletedCount, 0) << tabelle.toStdString();
    EXPECT_EQ(listenzeilen().count("Wasser"), 1);
}

TEST_F(StoffBearbeiten, ANewNameRowGoesIntoNamenDbfAlsoWhileTheListShowsAnotherTable)
{
    starten();
    // The list reads a research table holding one of the names.
    namenSchreiben({{"Ethanol", ethanol}}, QStringLiteral("zan_tmp1.dbf"));
    m->AktuelleNamenDatei = QStringLiteral("zan_tmp1.dbf");
    m->AktuelleIndexDatei = QStringLiteral("zan_tmp1.mdx");
    m->DatenlisteEinlesen();
    ASSERT_EQ(listenzeilen(), QStringList{"Ethanol"});
    m->activateWindow(); // the progress window had it
    ASSERT_TRUE(QTest::qWaitForWindowActive(m));

    klick(m->ToolButton38);
    ASSERT_EQ(m->EingabeModus, 1);
    tippen(m->DBRichEdit2, "Wasser");
    tippen(m->DBEdit15, wasser);
    klick(m->ToolButton22);
    ASSERT_EQ(m->EingabeModus, 0);

    EXPECT_EQ(zeileMit(zeilenVon("namen.dbf"), "NAME1", "Wasser")["CARN"].toString(), wasser);
    EXPECT_EQ(zeileMit(zeilenVon("zan_tmp1.dbf"), "NAME1", "Wasser")["CARN"].toString(), wasser);
    EXPECT_TRUE(listenzeilen().contains("Wasser"));
}

// While the list filter reads its lines from a research table, the new
// name row reaches namen.dbf, the research table and the filter table: the
// list shows it at once and still after the filter is switched off. The
// substance row is the one typed, though it does not pass the filter on
// chemie.dbf, and the substances the filter shows stay as they were.
TEST(StoffNeuUnterFilter, TheTypedSubstanceReachesChemieDbfAndItsNameEveryNameTable)
{
    filtertest::FilterRegister r;
    TMarlex& m = r.m;
    namenSchreiben({{"Aceton", filtertest::aceton}, {"Benzol", filtertest::benzol}}, QStringLiteral("zan_tmp1.dbf"));
    m.AktuelleNamenDatei = QStringLiteral("zan_tmp1.dbf");
    m.AktuelleIndexDatei = QStringLiteral("zan_tmp1.mdx");
    m.DatenlisteEinlesen();
    filtertest::imDialog([&] { m.Filtersetzen1->trigger(); },
                         [&](TFiltersetzen& d) {
                             filtertest::tippen(d, QStringLiteral("GEFSYM1='F+'"));
                             filtertest::setzen(d);
                         });
    ASSERT_EQ(m.ListenFilterAktiv, 1);
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    const QJsonArray stoffeVorher = fixtures::readWithDbfread("chemie.dbf").rows;

    QTest::mouseClick(m.ToolButton38, Qt::LeftButton);
    ASSERT_EQ(m.EingabeModus, 1);
    QTest::mouseClick(m.DBRichEdit2->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(m.DBRichEdit2, "Wasser");
    QTest::mouseClick(m.DBEdit15, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(m.DBEdit15, wasser);
    // On from the number with Tab, as a keyboard user goes, to the EG index.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), m.DBEdit19);
    QTest::keyClicks(m.DBEdit19, "231-791-2");
    QTest::mouseClick(m.DBEdit23, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(m.DBEdit23, "R 0");
    QTest::mouseClick(m.ToolButton22, Qt::LeftButton);
    ASSERT_EQ(m.EingabeModus, 0) << filtertest::meldungstexte(r).join('\n').toStdString();

    // chemie.dbf: every earlier substance as it was, and one more, the one
    // typed, with the sub-number its name rows carry.
    const QJsonArray stoffe = fixtures::readWithDbfread("chemie.dbf").rows;
    ASSERT_EQ(stoffe.size(), stoffeVorher.size() + 1);
    for (qsizetype i = 0; i < stoffeVorher.size(); ++i)
        EXPECT_EQ(stoffe[i], stoffeVorher[i]) << "substance " << i;
    const QJsonObject neu = stoffe.last().toObject();
    EXPECT_EQ(neu["NAME1"].toString(), "Wasser");
    EXPECT_EQ(neu["CARN"].toString(), wasser);
    const QString nummer = neu["SUBCARN"].toString();
    EXPECT_FALSE(nummer.isEmpty());
    EXPECT_EQ(neu["EG_INDEX"].toString(), "231-791-2");
    EXPECT_EQ(neu["R_SATZ"].toString(), "R 0");
    EXPECT_EQ(neu["FORMEL_BMP"].toString(), "7732-18.BMP");
    for (const char* feld : {"GEFSYM1", "GEFSYM2", "GEFSYM3", "GEFSYM4", "NAME2", "S_SATZ"})
        EXPECT_TRUE(neu[feld].isNull() || neu[feld].toString().isEmpty()) << feld;
    for (const char* feld : {"GEFSYM1BMP", "GEFSYM2BMP", "GEFSYM3BMP", "GEFSYM4BMP"})
        EXPECT_EQ(neu[feld].toString(), "LEER.BMP") << feld;

    for (const char* datei : {"namen.dbf", "zan_tmp1.dbf", "filter.dbf"}) {
        const QJsonArray zeilen = fixtures::readWithDbfread(datei).rows;
        const auto wasserzeilen = std::count_if(zeilen.begin(), zeilen.end(), [&](const QJsonValue& z) {
            return z.toObject().value("NAME1").toString() == "Wasser"
                && z.toObject().value("CARN").toString() == wasser
                && z.toObject().value("SUBCARN").toString() == nummer;
        });
        EXPECT_EQ(wasserzeilen, 1) << datei;
    }
    EXPECT_TRUE(filtertest::listenzeilen(m).contains("Wasser"));
}

TEST_F(StoffBearbeiten, ReadOnlyModeOffersNoCommandThatWrites)
{
    r.einstellung("Optionen", "Nur Lesemodus", "1");
    starten();
    for (QAction* item : {m->ndern1, m->Neueingabe1, m->Datensatzbearbeiten1, m->Datensatzkopieren1})
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    for (QToolButton* knopf : {m->ToolButton38, m->ToolButton41, m->ToolButton22, m->ToolButton23})
        EXPECT_FALSE(knopf->isEnabled()) << knopf->objectName().toStdString();
    EXPECT_TRUE(m->Datensatzanzeigen1->isEnabled());
}

// A process killed at any point while it writes a new substance leaves
// tables that open, in index order, with every row stored before.
TEST(StoffSpeichernAbbruch, AKillWhileASubstanceIsWrittenLeavesEveryEarlierRow)
{
    Register r;
    dbftest::FaultyIoScope io; // under every table the program opens
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{"Aceton", aceton}, {"Ethanol", ethanol}, {"Dimethylketon", aceton}});
    chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}}}, {ethanol, "1", {{NAME1, "Ethanol"}}}});
    lagerSchreiben({});
    formelnSchreiben({aceton});
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();
    m.Neueingabe1Click();
    r.datas().Table2->fieldByName("NAME1").setAsString("Wasser");
    r.datas().Table2->fieldByName("CARN").setAsString(wasser);
    r.datas().Table1->fieldByName("NAME1").setAsString("Wasser");

    std::map<QString, QByteArray> vorher;
    for (const QString& datei : QDir::current().entryList({"*.dbf", "*.mdx", "*.MDX", "*.dbt"}, QDir::Files)) {
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        vorher[datei] = f.readAll();
    }
    const auto gefunden = [](const char* datei, const char* tag, const QStringList& schluessel) {
        dbase::Table t;
        t.setTableName(QString::fromLatin1(datei));
        t.setIndexName(QString::fromLatin1(tag));
        t.open();
        return t.findKey(schluessel);
    };

    int ueberlebt = -1;
    int getoetet = 0;
    for (std::int64_t budget = 0; budget < 100000 && ueberlebt != 0; budget += budget < 64 ? 5 : 31) {
        SCOPED_TRACE("bytes written before the kill: " + std::to_string(budget));
        ueberlebt = dbftest::inChild([&] {
            io.faults->bytesLeft = budget;
            io.faults->tear = true;
            try {
                return m.neuenStoffSpeichern() ? 0 : 2;
            } catch (const dbftest::SimulatedCrash&) {
                return 1;
            }
        });
        ASSERT_TRUE(ueberlebt == 0 || ueberlebt == 1) << ueberlebt;
        getoetet += ueberlebt;
        EXPECT_TRUE(gefunden("chemie.dbf", "CARN_SUB", {aceton, "1"}));
        EXPECT_TRUE(gefunden("chemie.dbf", "CARN_SUB", {ethanol, "1"}));
        EXPECT_TRUE(gefunden("formeln.dbf", "CARN_SUB", {aceton}));
        for (const char* name : {"ACETON", "ETHANOL", "DIMETHYLKETON"})
            EXPECT_TRUE(gefunden("namen.dbf", "NAME1_SUB", {name})) << name;
        if (ueberlebt == 0) {
            EXPECT_TRUE(gefunden("chemie.dbf", "CARN_SUB", {wasser, "3"}));
            EXPECT_TRUE(gefunden("namen.dbf", "NAME1_SUB", {StripNameBilden("Wasser")}));
        }
        for (const auto& [datei, bytes] : vorher) {
            QFile f(datei);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
    }
    EXPECT_EQ(ueberlebt, 0) << "the store ends within the bytes tried";
    EXPECT_GT(getoetet, 20) << "killed at many points of its writes";
}
