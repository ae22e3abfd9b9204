// The storage page driven as a user drives it: substances taken into
// storage from the list's popup and by dragging lines onto the storage
// picture, amounts typed into the grid, the label count changed with plus
// and minus, rows deleted, and the list's markers after each step.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "FilterTestSupport.h"
#include "MarlexTestSupport.h"
#include "app/Datennavigator.h"
#include "app/NameRules.h"
#include "app/SymbolBild.h"
#include "data/Optionen.h"
#include "fixtures/Dbfread.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "search/AktuellerLagerFilter.h"
#include "search/Filtersetzen.h"
#include "widgets/DBGrid.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString toluol = QStringLiteral("108-88-3");
const QString propanol = QStringLiteral("67-63-0");
const QString benzol = QStringLiteral("71-43-2");

// Lines in name order.
enum Zeile { Benzol, Propan2ol, Toluen, Toluol };
// Grid columns.
enum Spalte { SpalteAnzahl = 0, SpalteName = 1, SpalteMenge = 2, SpalteOrt = 6 };

const QDate frueher(2020, 3, 14);
const QDate vorher(2021, 6, 1);

struct Lagerbestand {
    QString name;
    QString carn;
    QString ort;
    QString menge;
    int anzahl = 1;
};

// Storage rows with name, amount, label count and the dates of an earlier
// amount change.
void bestandSchreiben(const std::vector<Lagerbestand>& bestand)
{
    std::vector<Lagerzeile> zeilen;
    for (const Lagerbestand& b : bestand)
        zeilen.push_back({b.carn, QStringLiteral("1"), b.ort});
    lagerzeilenSchreiben(zeilen);
    dbase::Table lager;
    lager.setTableName(QStringLiteral("lager.dbf"));
    lager.setIndexName({});
    lager.open();
    lager.first();
    for (const Lagerbestand& b : bestand) {
        lager.edit();
        lager.fieldByName("NAME1").setAsString(b.name);
        lager.fieldByName("STRIPNAME1").setAsString(b.name.toUpper());
        lager.fieldByName("MENGE_IN_G").setAsString(b.menge);
        lager.fieldByName("DATUM_ALT").setAsDate(frueher);
        lager.fieldByName("DATUM_NEU").setAsDate(vorher);
        lager.fieldByName("ANZAHL").setAsInteger(b.anzahl);
        lager.post();
        lager.next();
    }
    lager.close();
}

// What lager.dbf holds on disk, as another program reads it.
QList<QJsonObject> gespeichert()
{
    QList<QJsonObject> zeilen;
    for (const QJsonValue& zeile : fixtures::readWithDbfread("lager.dbf").rows)
        zeilen << zeile.toObject();
    return zeilen;
}

QString iso(const QDate& datum)
{
    return datum.toString(Qt::ISODate);
}

// Answers every question with `antwort` and keeps its text.
struct Fragen {
    std::vector<QString> texte;
    widgets::Answer antwort = widgets::Answer::No;
    widgets::ScopedAnswerProvider anbieter{[this](const widgets::MessageRequest& frage) {
        texte.push_back(frage.text);
        return antwort;
    }};
};

class MarlexLager : public ::testing::Test {
protected:
    void starten(const std::vector<Lagerbestand>& bestand, bool nurLesen = false)
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Toluol", toluol}, {"Propan-2-ol", propanol}, {"Toluen", toluol}, {"Benzol", benzol}});
        chemieSchreiben({{toluol, "1", {{marlextest::NAME1, "Toluol"}}},
                         {propanol, "1", {{marlextest::NAME1, "Isopropanol"}}},
                         {benzol, "1", {{marlextest::NAME1, "Benzol"}}}});
        bestandSchreiben(bestand);
        formelnSchreiben({});
        r.einstellung("Optionen", "Lagerdatensätze markieren", "1");
        if (nurLesen)
            r.einstellung("Optionen", "Nur Lesemodus", "1");
        m = &r.starten();
        if (nurLesen) {
            // As the start-up opens the storage table in read-only mode.
            lager().close();
            lager().setReadOnly(true);
            lager().open();
            m->BearbeitungFreigeben(false);
        }
        m->DatenlisteEinlesen();
        m->Label48->setText(QString::number(r.datas().Table3->recordCount()));
        m->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m));
    }

    QWidget* liste() const { return m->ListBox1->viewport(); }
    QPoint zeile(int nummer) const
    {
        return m->ListBox1->visualRect(m->ListBox1->lineModel().index(nummer)).center();
    }
    void klicken(int nummer, Qt::KeyboardModifiers tasten = {})
    {
        QTest::mouseClick(liste(), Qt::LeftButton, tasten, zeile(nummer));
    }
    std::vector<std::uint8_t> marken() const
    {
        std::vector<std::uint8_t> m_;
        for (int i = 0; i < m->ListBox1->count(); ++i)
            m_.push_back(m->ListBox1->marker(i));
        return m_;
    }
    // Clicks the tab of a page as the user does.
    void seiteKlicken(QWidget* seite)
    {
        QTabBar* reiter = m->PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m->PageControl1->indexOf(seite)).center());
        QApplication::processEvents(); // the grid reads its rows anew
    }
    // A double click on the storage picture opens the storage page.
    void lagerseiteOeffnen()
    {
        QTest::mouseDClick(m->Image11, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Drags the selected lines from line `von` onto `ziel`.
    QWidget* ziehen(int von, QWidget* ziel)
    {
        Ziehen zug;
        const QPoint mitte = ziel->rect().center();
        QTimer::singleShot(0, [ziel, mitte] {
            QTest::mouseMove(ziel, mitte);
            QTest::mouseRelease(ziel, Qt::LeftButton, {}, mitte);
        });
        QTest::mousePress(liste(), Qt::LeftButton, {}, zeile(von));
        QTest::mouseMove(liste(), zeile(von) + QPoint(0, 2));
        QTest::mouseMove(liste(), zeile(von) + QPoint(0, 40));
        QApplication::processEvents(); // the rows are taken once the drop has ended
        QApplication::processEvents();
        return zug.abgelegtAuf;
    }
    QWidget* gitter() const { return m->DBGrid1->viewport(); }
    QPoint zelle(int reihe, int spalte) const
    {
        return m->DBGrid1->visualRect(m->DBGrid1->model()->index(reihe, spalte)).center();
    }
    QString text(int reihe, int spalte) const
    {
        return m->DBGrid1->model()->index(reihe, spalte).data().toString();
    }
    dbase::Table& lager() { return *r.datas().Table3; }

    Register r;
    TMarlex* m = nullptr;
};

} // namespace

TEST_F(MarlexLager, SubstancesTakenIntoStorageByPopupAndDragAreStoredAndMarked)
{
    starten({});
    const auto im = TMarlex::LagerMarke;
    const auto nicht = TMarlex::KeinLagerMarke;
    ASSERT_EQ(marken(), (std::vector<std::uint8_t>{nicht, nicht, nicht, nicht}));

    klicken(Benzol);
    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {}, liste()->mapTo(m, zeile(Benzol)));
    ASSERT_TRUE(m->PopupMenu1->isVisible());
    ASSERT_TRUE(m->Menu31->isEnabled());
    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {}, m->PopupMenu1->actionGeometry(m->Menu31).center());
    QApplication::processEvents();

    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet3);
    EXPECT_EQ(lager().indexName(), "NAME1_SUB");
    EXPECT_FALSE(m->Marlex1->isEnabled());
    EXPECT_TRUE(m->Daten3->isEnabled());
    EXPECT_EQ(m->Label48->text(), "1");
    EXPECT_EQ(marken(), (std::vector<std::uint8_t>{im, nicht, nicht, nicht}));
    EXPECT_FALSE(m->Menu31->isEnabled()) << "Benzol is in storage now";
    QList<QJsonObject> zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 1);
    EXPECT_EQ(zeilen[0]["NAME1"].toString(), "Benzol");
    EXPECT_EQ(zeilen[0]["CARN"].toString(), benzol);
    EXPECT_EQ(zeilen[0]["ANZAHL"].toInt(), 1);
    EXPECT_EQ(zeilen[0]["STRIPNAME1"].toString(), StripNameBilden("Benzol"));
    EXPECT_EQ(zeilen[0]["DATUM_ALT"].toString(), iso(QDate::currentDate()));
    EXPECT_EQ(zeilen[0]["DATUM_NEU"].toString(), iso(QDate::currentDate()));
    EXPECT_EQ(zeilen[0]["MENGE_IN_G"].toString(), "0");

    // Back on the list page by its tab: the storage table is in key order again.
    seiteKlicken(m->TabSheet1);
    EXPECT_EQ(lager().indexName(), "CARN_SUB");
    EXPECT_FALSE(m->Daten3->isEnabled());
    EXPECT_TRUE(m->Marlex1->isEnabled());

    // Two lines selected and dragged onto the storage picture: one stored
    // row each, in list order, and both lines of Toluol marked.
    klicken(Propan2ol);
    klicken(Toluen, Qt::ControlModifier);
    ASSERT_EQ(m->ListBox1->selectedLines(), (std::vector<int>{Propan2ol, Toluen}));
    EXPECT_EQ(ziehen(Toluen, m->Image11), m->Image11);
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet3);
    EXPECT_EQ(m->Label48->text(), "3");
    EXPECT_EQ(marken(), (std::vector<std::uint8_t>{im, im, im, im}));
    zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 3);
    EXPECT_EQ(zeilen[1]["NAME1"].toString(), "Propan-2-ol");
    EXPECT_EQ(zeilen[2]["NAME1"].toString(), "Toluen");
    EXPECT_EQ(zeilen[2]["CARN"].toString(), toluol);
    // The page stands on the shown substance's row, in name order.
    EXPECT_EQ(lager().fieldByName("NAME1").asString(), "Toluen");
    EXPECT_EQ(text(0, SpalteName), "Benzol");

    // A change of page from code runs none of the page's steps.
    m->PageControl1->setCurrentWidget(m->TabSheet1);
    EXPECT_EQ(lager().indexName(), "NAME1_SUB");
    seiteKlicken(m->TabSheet3);
    seiteKlicken(m->TabSheet1);
    EXPECT_EQ(lager().indexName(), "CARN_SUB");

    // The navigator belongs to the record page: it goes with the storage
    // page and comes back with the record page while its button is down.
    TDatennavigator navigator;
    Datennavigator = &navigator;
    struct Abmelden {
        ~Abmelden() { Datennavigator = nullptr; }
    } abmelden;
    seiteKlicken(m->TabSheet2);
    QTest::mouseClick(m->ToolButton2, Qt::LeftButton);
    ASSERT_TRUE(navigator.isVisible());
    seiteKlicken(m->TabSheet3);
    EXPECT_FALSE(navigator.isVisible());
    EXPECT_EQ(lager().indexName(), "NAME1_SUB");
    seiteKlicken(m->TabSheet2);
    EXPECT_TRUE(navigator.isVisible());
    EXPECT_EQ(lager().indexName(), "CARN_SUB");
    seiteKlicken(m->TabSheet1);
    EXPECT_FALSE(navigator.isVisible());

    // A double click on the storage picture opens the page too.
    lagerseiteOeffnen();
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet3);
    EXPECT_EQ(lager().indexName(), "NAME1_SUB");
}

TEST_F(MarlexLager, AnAmountTypedInTheGridStampsTheDatesOfThatRowWhenItIsStored)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g"}, {"Toluol", toluol, "Schrank", "bis 100g"}});
    lagerseiteOeffnen();
    ASSERT_EQ(text(0, SpalteName), "Benzol");

    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    EXPECT_EQ(m->LagerEditModus, 1);
    EXPECT_TRUE(m->Editieren2->isChecked());
    EXPECT_TRUE(m->ToolButton25->isEnabled());
    EXPECT_TRUE(m->ToolButton30->isEnabled());
    EXPECT_EQ(m->StatusPanel[2]->text(), "Lager-Editiermodus");

    // The amount of the first row typed, then down the amount column to the
    // second row, whose amount stays: only the first row is stamped.
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteMenge));
    QTest::keyClick(m->DBGrid1, Qt::Key_F2);
    auto* editor = m->DBGrid1->findChild<QComboBox*>();
    ASSERT_NE(editor, nullptr);
    editor->lineEdit()->selectAll();
    QTest::keyClicks(editor->lineEdit(), "bis 1000g");
    QTest::keyClick(editor->lineEdit(), Qt::Key_Return);
    QTest::keyClick(m->DBGrid1, Qt::Key_Down);
    QTest::keyClick(m->DBGrid1, Qt::Key_Right);

    QList<QJsonObject> zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 2);
    EXPECT_EQ(zeilen[0]["MENGE_IN_G"].toString(), "bis 1000g");
    EXPECT_EQ(zeilen[0]["DATUM_ALT"].toString(), iso(vorher));
    EXPECT_EQ(zeilen[0]["DATUM_NEU"].toString(), iso(QDate::currentDate()));
    EXPECT_EQ(zeilen[1]["DATUM_ALT"].toString(), iso(frueher)) << "the second row's amount never changed";
    EXPECT_EQ(zeilen[1]["DATUM_NEU"].toString(), iso(vorher));

    // A place typed changes no date.
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(1, SpalteOrt));
    QTest::keyClicks(m->DBGrid1, "R"); // a key opens the cell's editor
    auto* ort = qobject_cast<QLineEdit*>(m->DBGrid1->indexWidget(m->DBGrid1->currentIndex()));
    ASSERT_NE(ort, nullptr);
    QTest::keyClicks(ort, "egal");
    QTest::keyClick(ort, Qt::Key_Return);
    QTest::keyClick(m->DBGrid1, Qt::Key_Up);
    zeilen = gespeichert();
    EXPECT_EQ(zeilen[1]["LAGER_ORT"].toString(), "Regal");
    EXPECT_EQ(zeilen[1]["DATUM_NEU"].toString(), iso(vorher));

    // A further row for the current substance, counted at once, stored
    // when the cursor leaves it.
    QTest::mouseClick(m->ToolButton25, Qt::LeftButton);
    EXPECT_EQ(m->Label48->text(), "3");
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    EXPECT_EQ(m->LagerEditModus, 0);
    EXPECT_FALSE(m->ToolButton25->isEnabled());
    EXPECT_EQ(m->StatusPanel[2]->text(), "");
    seiteKlicken(m->TabSheet1);
    zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 3);
    EXPECT_EQ(zeilen[2]["NAME1"].toString(), "Benzol");
    EXPECT_EQ(zeilen[2]["CARN"].toString(), benzol);
}

TEST_F(MarlexLager, PlusAndMinusChangeTheLabelCountOnlyOutsideTheEditMode)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g", 0}, {"Toluol", toluol, "Schrank", "bis 10g", 2}});
    lagerseiteOeffnen();
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));

    QTest::keyClicks(m->DBGrid1, "-");
    EXPECT_EQ(text(0, SpalteAnzahl), "0");
    EXPECT_EQ(lager().state(), dbase::TableState::Browse) << "nothing to count down";
    QTest::keyClicks(m->DBGrid1, "++");
    EXPECT_EQ(text(0, SpalteAnzahl), "2");
    QTest::keyClick(m->DBGrid1, Qt::Key_Down);
    QTest::keyClicks(m->DBGrid1, "-");
    QTest::keyClick(m->DBGrid1, Qt::Key_Up);
    QList<QJsonObject> zeilen = gespeichert();
    EXPECT_EQ(zeilen[0]["ANZAHL"].toInt(), 2);
    EXPECT_EQ(zeilen[1]["ANZAHL"].toInt(), 1);
    EXPECT_EQ(zeilen[0]["DATUM_NEU"].toString(), iso(vorher)) << "a count is no amount";

    // In the edit mode the keys are input.
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));
    QTest::keyClicks(m->DBGrid1, "+");
    EXPECT_EQ(lager().fieldByName("ANZAHL").asInteger(), 2);
}

TEST_F(MarlexLager, ADeleteAsksAndUnmarksASubstanceOnlyWhenLagerDbfHoldsNoneOfItsRows)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g"},
             {"Toluol", toluol, "Keller", "bis 10g"},
             {"Toluol", toluol, "Schrank", "bis 10g"}});
    const auto im = TMarlex::LagerMarke;
    const auto nicht = TMarlex::KeinLagerMarke;
    ASSERT_EQ(marken(), (std::vector<std::uint8_t>{im, nicht, im, im}));
    // The user's storage filter hides the Toluol in the cupboard.
    lager().setFilterText(QStringLiteral("LAGER_ORT='Keller'"));
    lager().setFiltered(true);
    m->LagerFilterAktiv = 1;
    TAktuellerLagerFilter lagerFilterFenster;
    AktuellerLagerFilter = &lagerFilterFenster;
    struct Abmelden {
        ~Abmelden() { AktuellerLagerFilter = nullptr; }
    } abmelden;

    Fragen fragen;
    lagerseiteOeffnen();
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    ASSERT_EQ(text(1, SpalteName), "Toluol");
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(1, SpalteName));

    QTest::mouseClick(m->ToolButton30, Qt::LeftButton);
    ASSERT_EQ(fragen.texte.size(), 1u);
    EXPECT_TRUE(fragen.texte[0].contains("Toluol"));
    EXPECT_EQ(gespeichert().size(), 3) << "answered no";

    fragen.antwort = widgets::Answer::Yes;
    QTest::mouseClick(m->ToolButton30, Qt::LeftButton);
    EXPECT_EQ(gespeichert().size(), 2);
    EXPECT_EQ(marken(), (std::vector<std::uint8_t>{im, nicht, im, im})) << "Toluol is still in the cupboard";

    // The grid's own delete is the page's, question and markers alike.
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));
    ASSERT_EQ(text(0, SpalteName), "Benzol");
    QTest::keyClick(m->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(fragen.texte.size(), 3u);
    EXPECT_EQ(marken(), (std::vector<std::uint8_t>{nicht, nicht, im, im}));

    // The filter now shows no row: there is no substance to add a row for.
    QApplication::processEvents();
    ASSERT_EQ(m->DBGrid1->model()->rowCount(), 0);
    QTest::mouseClick(m->ToolButton25, Qt::LeftButton);
    EXPECT_EQ(lager().state(), dbase::TableState::Browse);

    // The storage filter's window stands beside the storage page only.
    EXPECT_TRUE(lagerFilterFenster.isVisible());
    seiteKlicken(m->TabSheet1);
    EXPECT_FALSE(lagerFilterFenster.isVisible());

    const fixtures::DbfreadTable gelesen = fixtures::readWithDbfread("lager.dbf");
    EXPECT_EQ(gelesen.deletedCount, 2);
    ASSERT_EQ(gelesen.rows.size(), 1);
    EXPECT_EQ(gelesen.rows[0].toObject()["LAGER_ORT"].toString(), "Schrank");
    EXPECT_EQ(lager().filterText(), "LAGER_ORT='Keller'") << "the user's filter stays";
}

TEST_F(MarlexLager, ReadOnlyModeTakesNothingIntoStorageAndChangesNoRow)
{
    starten({{"Toluol", toluol, "Keller", "bis 10g", 1}}, true);
    ASSERT_TRUE(OptNurLesemodus);
    klicken(Benzol);
    EXPECT_FALSE(m->Menu31->isEnabled());
    EXPECT_EQ(ziehen(Benzol, m->Image11), nullptr) << "the storage picture refuses the drop";

    lagerseiteOeffnen();
    ASSERT_EQ(m->PageControl1->currentWidget(), m->TabSheet3);
    for (QToolButton* knopf : {m->ToolButton25, m->ToolButton30, m->ToolButton31})
        EXPECT_FALSE(knopf->isEnabled()) << knopf->objectName().toStdString();
    for (QAction* befehl : {m->Neu2, m->Editieren2, m->Lschen2})
        EXPECT_FALSE(befehl->isEnabled()) << befehl->objectName().toStdString();

    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));
    QTest::keyClicks(m->DBGrid1, "++-");
    QTest::keyClick(m->DBGrid1, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(lager().state(), dbase::TableState::Browse);
    EXPECT_TRUE(r.meldungen().empty());
    const QList<QJsonObject> zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 1);
    EXPECT_EQ(zeilen[0]["ANZAHL"].toInt(), 1);
}

TEST_F(MarlexLager, TheCountBesideThePictureLeavesOutDeletedRows)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g"}, {"Toluol", toluol, "Keller", "bis 10g"}});
    widgets::ScopedAnswerProvider ja([](const widgets::MessageRequest&) { return widgets::Answer::Yes; });
    lagerseiteOeffnen();
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));
    QTest::mouseClick(m->ToolButton30, Qt::LeftButton);
    EXPECT_EQ(m->Label48->text(), "1");

    // Taken into storage from the list's popup: the deleted row still counts for nothing.
    seiteKlicken(m->TabSheet1);
    klicken(Benzol);
    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {}, liste()->mapTo(m, zeile(Benzol)));
    ASSERT_TRUE(m->PopupMenu1->isVisible());
    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {}, m->PopupMenu1->actionGeometry(m->Menu31).center());
    QApplication::processEvents();
    EXPECT_EQ(m->Label48->text(), "2");
    EXPECT_EQ(gespeichert().size(), 2);
}

// The edit mode's button takes no focus: a cell still being edited when it
// is clicked off keeps what was typed, and the row is stored with its dates.
TEST_F(MarlexLager, EndingTheEditModeClosesAnOpenCellAndStoresWhatWasTyped)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g"}, {"Toluol", toluol, "Schrank", "bis 100g"}});
    lagerseiteOeffnen();
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(1, SpalteMenge));
    QTest::keyClick(m->DBGrid1, Qt::Key_F2);
    auto* editor = qobject_cast<QComboBox*>(m->DBGrid1->indexWidget(m->DBGrid1->currentIndex()));
    ASSERT_NE(editor, nullptr);
    editor->lineEdit()->selectAll();
    QTest::keyClicks(editor->lineEdit(), "bis 1000g");

    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    EXPECT_EQ(m->LagerEditModus, 0);
    EXPECT_EQ(m->DBGrid1->indexWidget(m->DBGrid1->currentIndex()), nullptr) << "the cell is closed";
    EXPECT_FALSE(m->DBGrid1->cellEditing());
    EXPECT_EQ(text(1, SpalteMenge), "bis 1000g");
    const QList<QJsonObject> zeilen = gespeichert();
    ASSERT_EQ(zeilen.size(), 2);
    EXPECT_EQ(zeilen[1]["MENGE_IN_G"].toString(), "bis 1000g");
    EXPECT_EQ(zeilen[1]["DATUM_ALT"].toString(), iso(vorher));
    EXPECT_EQ(zeilen[1]["DATUM_NEU"].toString(), iso(QDate::currentDate()));
    EXPECT_EQ(zeilen[0]["MENGE_IN_G"].toString(), "bis 10g");

    // Typing into the closed grid now edits nothing.
    QTest::keyClicks(m->DBGrid1, "x");
    EXPECT_EQ(m->DBGrid1->indexWidget(m->DBGrid1->currentIndex()), nullptr);
}

// The marker tells what lager.dbf holds: a take-over the disk refuses
// marks nothing, adds nothing, and says so.
TEST_F(MarlexLager, ATakeOverTheDiskRefusesMarksNothing)
{
    dbftest::FaultyIoScope io; // under every table the program opens
    starten({});
    const auto nicht = TMarlex::KeinLagerMarke;
    io.faults->writesLeft = 0;

    klicken(Benzol);
    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {}, liste()->mapTo(m, zeile(Benzol)));
    ASSERT_TRUE(m->PopupMenu1->isVisible());
    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {}, m->PopupMenu1->actionGeometry(m->Menu31).center());
    QApplication::processEvents();
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_TRUE(r.meldungen()[0].text.startsWith("\"Benzol\" wurde nicht ins Lager übernommen"))
        << r.meldungen()[0].text.toStdString();
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet1);

    klicken(Toluen);
    ziehen(Toluen, m->Image11);
    EXPECT_EQ(r.meldungen().size(), 2u);
    EXPECT_EQ(marken(), (std::vector<std::uint8_t>{nicht, nicht, nicht, nicht}));
    EXPECT_EQ(m->Label48->text(), "0");
    io.faults->writesLeft = -1;
    EXPECT_TRUE(gespeichert().empty());
    EXPECT_TRUE(m->Menu31->isEnabled()) << "nothing of Toluol is in storage";
}

// The storage page is not shown at the start: its grid reads the stock
// items when the user first opens the page, with the table's row current.
TEST_F(MarlexLager, TheStorageGridReadsItsRowsWhenItsPageIsFirstShown)
{
    starten({{"Toluol", toluol, "Giftschrank", "bis 10g"}, {"Benzol", benzol, "Regal 1", "bis 100g"}});
    QApplication::processEvents();
    ASSERT_NE(m->PageControl1->currentWidget(), m->TabSheet3);
    EXPECT_TRUE(m->DBGrid1->gridModel().waiting()) << "nothing read for a page not shown";
    lager().last();

    seiteKlicken(m->TabSheet3);
    EXPECT_FALSE(m->DBGrid1->gridModel().waiting());
    ASSERT_EQ(m->DBGrid1->model()->rowCount(), 2);
    const int reihe = m->DBGrid1->currentIndex().row();
    ASSERT_GE(reihe, 0);
    EXPECT_EQ(text(reihe, SpalteName), lager().fieldByName("NAME1").asString());
    EXPECT_EQ(text(1 - reihe, SpalteOrt).trimmed() == "Regal 1", text(reihe, SpalteOrt).trimmed() == "Giftschrank");
}

// The storage picture says what it is for; the storage menu's delete, as
// a keyboard user reaches it with Ctrl+Del, asks first like the tool
// button, and a row added for the current substance counts before it is
// stored.
TEST_F(MarlexLager, ThePictureTellsWhatToDropAndTheMenuDeleteAsksFirst)
{
    starten({{"Benzol", benzol, "Keller", "bis 10g"}, {"Toluol", toluol, "Schrank", "bis 100g"}});
    const QString hinweis =
        QStringLiteral("Ziehen Sie hier Ihre markierten Listeinträge hin, um  sie ins Lager zu übernehmen");
    EXPECT_EQ(m->Image11->toolTip(), hinweis);
    EXPECT_EQ(m->Image11->statusTip(), hinweis);

    Fragen fragen;
    lagerseiteOeffnen();
    m->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m));
    QTest::mouseClick(m->ToolButton31, Qt::LeftButton);
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(1, SpalteName));
    ASSERT_EQ(text(1, SpalteName), "Toluol");
    ASSERT_EQ(m->Lschen2->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));

    // The menu item by its shortcut, answered no: nothing goes.
    m->Lschen2->trigger();
    ASSERT_EQ(fragen.texte.size(), 1u);
    EXPECT_TRUE(fragen.texte[0].contains("Toluol")) << fragen.texte[0].toStdString();
    EXPECT_EQ(gespeichert().size(), 2);
    EXPECT_EQ(m->Label48->text(), "2");

    fragen.antwort = widgets::Answer::Yes;
    m->Lschen2->trigger();
    EXPECT_EQ(fragen.texte.size(), 2u);
    ASSERT_EQ(gespeichert().size(), 1);
    EXPECT_EQ(gespeichert()[0]["NAME1"].toString(), "Benzol");
    EXPECT_EQ(m->Label48->text(), "1");

    // A new row from the menu is counted while it waits to be stored.
    QTest::mouseClick(gitter(), Qt::LeftButton, {}, zelle(0, SpalteName));
    m->Neu2->trigger();
    ASSERT_EQ(lager().state(), dbase::TableState::Insert);
    EXPECT_EQ(m->Label48->text(), "2");
    EXPECT_EQ(fragen.texte.size(), 2u) << "a new row asks nothing";
}

// Reading the list anew while a storage filter is in force (a list filter
// set) marks every substance that has a stock item, also one whose items
// the storage filter hides; the storage filter stays as the user set it.
TEST(Lagermarken, AListReadUnderAStorageFilterMarksWhatLagerDbfHolds)
{
    filtertest::FilterRegister r;
    TMarlex& m = r.m;
    ASSERT_TRUE(OptLagerMarkieren);
    const auto marke = [&](const QString& name) {
        const int zeile = static_cast<int>(filtertest::listenzeilen(m).indexOf(name));
        return zeile < 0 ? -1 : m.ListBox1->marker(zeile);
    };
    ASSERT_EQ(marke("Benzol"), TMarlex::LagerMarke);

    // On the storage page the user sets a storage filter for the cellar.
    QTest::mouseDClick(m.Image11, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(m.PageControl1->currentWidget(), m.TabSheet3);
    filtertest::imDialog([&] { m.Filter2->trigger(); },
                         [&](TFiltersetzen& d) {
                             filtertest::tippen(d, QStringLiteral("LAGER_ORT='Keller'"));
                             filtertest::setzen(d);
                         });
    ASSERT_EQ(m.LagerFilterAktiv, 1);
    QTabBar* reiter = m.PageControl1->tabBar();
    QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m.PageControl1->indexOf(m.TabSheet1)).center());
    QApplication::processEvents();

    // Then a list filter: the list is read again.
    filtertest::imDialog([&] { m.Filtersetzen1->trigger(); },
                         [&](TFiltersetzen& d) {
                             filtertest::tippen(d, QStringLiteral("GEFSYM1='F+'"));
                             filtertest::setzen(d);
                         });
    ASSERT_EQ(m.ListenFilterAktiv, 1);
    ASSERT_EQ(filtertest::listenzeilen(m), (QStringList{"Aceton", "Benzol", "Dimethylketon", "Propanon"}));
    EXPECT_EQ(marke("Benzol"), TMarlex::LagerMarke) << "its stock item is in the cupboard, not in the cellar";
    for (const char* name : {"Aceton", "Dimethylketon", "Propanon"})
        EXPECT_EQ(marke(name), TMarlex::LagerMarke) << name;

    // Without the list filter, Ethanol (no stock item) is the one unmarked.
    filtertest::imDialog([&] { m.Filtersetzen1->trigger(); },
                         [&](TFiltersetzen& d) {
                             filtertest::tippen(d, QStringLiteral("GEFSYM1='F+' or GEFSYM1='F' or GEFSYM1='T'"));
                             filtertest::setzen(d);
                         });
    EXPECT_EQ(marke("Ethanol"), TMarlex::KeinLagerMarke);
    EXPECT_EQ(marke("Chlor"), TMarlex::LagerMarke);
    EXPECT_EQ(marke("Benzol"), TMarlex::LagerMarke);

    dbase::Table& lager = *r.datas().Table3;
    EXPECT_EQ(lager.filterText(), "LAGER_ORT='Keller'");
    EXPECT_TRUE(lager.filtered());
    EXPECT_EQ(lager.visibleCount(), 2u) << "the storage page still shows the cellar only";
    EXPECT_TRUE(filtertest::meldungstexte(r).isEmpty()) << filtertest::meldungstexte(r).join('\n').toStdString();
}
