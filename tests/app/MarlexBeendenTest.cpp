// Quitting the main window the ways a user does: "Beenden" in the menu
// "Marlex" and the window's close box, with and without the question, with
// a record being edited, and what the settings file holds afterwards.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>
#include <QWindow>
#include <QJsonArray>
#include <QTest>
#include <QToolButton>

#include <map>
#include <string>

#include "MarlexTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/FileWrites.h"
#include "ini/IniFile.h"
#include "app/SymbolBild.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"

using namespace marlextest;

namespace {

const QString carn = QStringLiteral("67-64-1");

// The user picks "Beenden" from the menu "Marlex".
void beendenImMenue(TMarlex& m)
{
    auto* menue = m.findChild<QMenu*>(QStringLiteral("Marlex1Menu"));
    ASSERT_NE(menue, nullptr);
    ASSERT_TRUE(menue->actions().contains(m.Beenden1));
    m.Beenden1->trigger();
}

// The close box: the desktop asks the window to close.
void schliessfeld(TMarlex& m)
{
    ASSERT_NE(m.windowHandle(), nullptr);
    m.windowHandle()->close();
}

QRect gespeicherteLage(const Register& r)
{
    const ini::IniFile ini(r.ini());
    return {ini.readInteger("Marlex99", "xpos", -1), ini.readInteger("Marlex99", "ypos", -1),
            ini.readInteger("Marlex99", "breite", -1), ini.readInteger("Marlex99", "hoehe", -1)};
}

// Answers the boxes with `antwort` and keeps their texts.
struct Antworten {
    explicit Antworten(widgets::Answer a)
        : antwort(a), scope([this](const widgets::MessageRequest& r) {
              fragen << r.text;
              arten.push_back(r.kind);
              return antwort;
          })
    {
    }
    widgets::Answer antwort;
    QStringList fragen;
    std::vector<widgets::MessageKind> arten;
    widgets::ScopedAnswerProvider scope;
};

TMarlex& gestartet(Register& r)
{
    r.einstellung("Optionen", "Hint", "1");
    return r.startenMit({{carn, "1", {{NAME1, "Aceton"}, {R_SATZ, "11"}}}});
}

QString gespeicherterRSatz()
{
    dbase::Table chemie;
    chemie.setTableName("chemie.dbf");
    chemie.open();
    chemie.first();
    return chemie.field(R_SATZ).asString();
}

} // namespace

TEST(Beenden, MenuAndCloseBoxQuitAtOnceWithoutTheQuestionAndStoreTheOuterBounds)
{
    Register r;
    // A settings file to replace: the watch counts replacements.
    r.einstellung("Optionen", "Abfrage vor Beenden", "0");
    for (const bool menue : {true, false}) {
        TMarlex& m = r.fensterZeigen();
        m.move(40, 30);
        m.resize(720, 510);
        m.DruckerIndex = 3;
        m.DBGrid1->setColumnWidth(1, 150);
        const QRect aussen = m.frameGeometry();
        ASSERT_NE(aussen.size(), m.size()) << "the test platform draws no frame";
        const QString breiten = FeldbreitenText(m.DBGrid1->columnWidths());
        fixtures::FileWrites schreibvorgaenge(r.programm());
        Antworten antworten(widgets::Answer::Cancel);
        if (menue)
            beendenImMenue(m);
        else
            schliessfeld(m);
        EXPECT_FALSE(m.isVisible()) << menue;
        EXPECT_TRUE(antworten.fragen.isEmpty()) << antworten.fragen.join('|').toStdString();
        EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 1);
        EXPECT_EQ(gespeicherteLage(r), aussen) << "frame and title bar included";
        const ini::IniFile ini(r.ini());
        EXPECT_EQ(ini.readInteger("Marlex99", "state", -1), 0);
        EXPECT_EQ(ini.readInteger("Optionen", "AktPrinterIndex", -1), 3);
        EXPECT_EQ(ini.readString("Lager", "Feldbreiten", {}), breiten);
    }

    // Started again, the window has the bounds it was closed with, and
    // closing it unchanged stores the same: it does not grow by its frame.
    const QRect gespeichert = gespeicherteLage(r);
    for (int start = 0; start < 2; ++start) {
        TMarlex& m = r.fensterAnlegen();
        m.show();
        EXPECT_EQ(m.frameGeometry(), gespeichert) << start;
        m.Beenden1->trigger();
        EXPECT_EQ(gespeicherteLage(r), gespeichert) << start;
    }
    EXPECT_TRUE(r.meldungen().empty());
}

TEST(Beenden, TheQuestionKeepsTheWindowOpenOnCancelForTheCloseBoxAndTheMenu)
{
    Register r;
    r.einstellung("Optionen", "Abfrage vor Beenden", "1");
    TMarlex& m = r.fensterZeigen();
    fixtures::FileWrites schreibvorgaenge(r.programm());
    Antworten antworten(widgets::Answer::Cancel);
    schliessfeld(m);
    EXPECT_TRUE(m.isVisible());
    beendenImMenue(m);
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 0) << "nothing is written";

    antworten.antwort = widgets::Answer::Ok;
    schliessfeld(m);
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 1);
    EXPECT_EQ(antworten.fragen, QStringList(3, "Marlex beenden?"));
}

TEST(Beenden, SettingsThatCannotBeStoredDoNotKeepTheMenuFromQuitting)
{
    Register r;
    TMarlex& m = r.fensterZeigen();
    ASSERT_TRUE(QDir().mkdir(r.ini()));
    beendenImMenue(m);
    EXPECT_FALSE(m.isVisible());
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_EQ(r.meldungen()[0].kind, widgets::MessageKind::Warning);
}

TEST(Beenden, ARecordBeingEditedIsNeitherStoredNorDroppedWithoutAsking)
{
    Register r;
    TMarlex& m = gestartet(r);
    dbase::Table& chemie = *r.datas().Table2;
    chemie.edit();
    chemie.field(R_SATZ).setAsString("11-36");

    Antworten antworten(widgets::Answer::No);
    fixtures::FileWrites schreibvorgaenge(r.programm());
    schliessfeld(m);
    EXPECT_TRUE(m.isVisible()) << "no: the window stays";
    ASSERT_EQ(antworten.fragen.size(), 1);
    EXPECT_TRUE(antworten.fragen[0].contains("trotzdem beenden")) << antworten.fragen[0].toStdString();
    EXPECT_EQ(antworten.arten[0], widgets::MessageKind::Warning);
    EXPECT_EQ(chemie.state(), dbase::TableState::Edit) << "the edit goes on as it was";
    EXPECT_EQ(chemie.field(R_SATZ).asString(), "11-36");
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 0);

    antworten.antwort = widgets::Answer::Yes;
    beendenImMenue(m);
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(antworten.fragen.size(), 2) << "asked once, not again by the close";
    EXPECT_EQ(chemie.state(), dbase::TableState::Browse);
    EXPECT_EQ(chemie.field(R_SATZ).asString(), "11");
    EXPECT_EQ(gespeicherterRSatz(), "11") << "the dropped change never reaches the file";
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 1);
}

// An edit mode with nothing typed loses nothing: quitting asks as the
// option says. Something typed makes it ask whether to drop that instead.
TEST(Beenden, AnEditModeAsksInsteadOfTheQuitQuestionOnceSomethingIsTyped)
{
    Register r;
    r.einstellung("Optionen", "Abfrage vor Beenden", "1");
    TMarlex& m = gestartet(r);
    QTest::mouseClick(m.ToolButton41, Qt::LeftButton);
    ASSERT_EQ(m.EditModus, 1);
    Antworten antworten(widgets::Answer::Cancel);
    beendenImMenue(m);
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(antworten.fragen, QStringList{"Marlex beenden?"});
    EXPECT_EQ(m.EditModus, 1) << "cancelled: the edit goes on";

    // The R phrases typed on, the control still holding them.
    QTest::mouseClick(m.DBEdit23, Qt::LeftButton);
    QTest::keyClick(m.DBEdit23, Qt::Key_End);
    QTest::keyClicks(m.DBEdit23, "-36");
    antworten.antwort = widgets::Answer::No;
    beendenImMenue(m);
    EXPECT_TRUE(m.isVisible());
    ASSERT_EQ(antworten.fragen.size(), 2);
    EXPECT_TRUE(antworten.fragen[1].contains("trotzdem beenden")) << antworten.fragen[1].toStdString();
    EXPECT_EQ(m.DBEdit23->text(), "11-36");

    // Input held back for one save (new-substance input) counts the same.
    QTest::mouseClick(m.ToolButton23, Qt::LeftButton);
    ASSERT_EQ(m.EditModus, 0);
    r.datas().Table2->setCachedUpdates(true);
    r.datas().Table2->append();
    r.datas().Table2->field(NAME1).setAsString("Neu");
    r.datas().Table2->post();
    antworten.antwort = widgets::Answer::Yes;
    schliessfeld(m);
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(antworten.fragen.size(), 3);
    EXPECT_FALSE(r.datas().Table2->cachedUpdates());
    EXPECT_EQ(r.datas().Table2->recordCount(), 1u);
    EXPECT_EQ(gespeicherterRSatz(), "11-36") << "stored when the edit mode ended";
}

// With the question switched off, each edit mode with nothing typed quits
// at once, and the tables keep exactly what they held: a new substance
// begun and left blank leaves no row behind.
TEST(Beenden, EditModesWithNothingTypedQuitAtOnceWithoutTheQuestion)
{
    enum class Modus { Bearbeiten, Neueingabe, Lager };
    for (const Modus modus : {Modus::Bearbeiten, Modus::Neueingabe, Modus::Lager}) {
        SCOPED_TRACE(static_cast<int>(modus));
        Register r;
        r.einstellung("Optionen", "Abfrage vor Beenden", "0");
        TMarlex& m = gestartet(r);
        const auto vorher = [] {
            std::map<std::string, QJsonArray> zeilen;
            for (const char* datei : {"namen.dbf", "chemie.dbf", "formeln.dbf", "lager.dbf"})
                zeilen[datei] = fixtures::readWithDbfread(datei).rows;
            return zeilen;
        };
        const auto anfangs = vorher();
        switch (modus) {
        case Modus::Bearbeiten:
            QTest::mouseClick(m.ToolButton41, Qt::LeftButton);
            ASSERT_EQ(m.EditModus, 1);
            QTest::mouseClick(m.DBEdit23, Qt::LeftButton); // entered, nothing typed
            break;
        case Modus::Neueingabe:
            QTest::mouseClick(m.ToolButton38, Qt::LeftButton);
            ASSERT_EQ(m.EingabeModus, 1);
            QTest::mouseClick(m.DBEdit15, Qt::LeftButton); // out of the name, nothing typed
            break;
        case Modus::Lager:
            QTest::mouseDClick(m.Image11, Qt::LeftButton);
            QTest::mouseClick(m.ToolButton31, Qt::LeftButton);
            ASSERT_EQ(m.LagerEditModus, 1);
            break;
        }
        Antworten antworten(widgets::Answer::Cancel);
        beendenImMenue(m);
        EXPECT_FALSE(m.isVisible());
        EXPECT_TRUE(antworten.fragen.isEmpty()) << antworten.fragen.join('|').toStdString();
        // The program's end closes the tables: nothing is held back to be written then.
        for (dbase::Table* t : {r.datas().Table1, r.datas().Table2, r.datas().Table3, r.datas().Table6})
            EXPECT_NO_THROW(t->close()) << t->tableName().toStdString();
        EXPECT_EQ(vorher(), anfangs);
    }
}

// A new substance with a name typed is input that quitting would lose.
TEST(Beenden, ANewSubstanceWithANameTypedAsksBeforeItIsDropped)
{
    Register r;
    r.einstellung("Optionen", "Abfrage vor Beenden", "0");
    TMarlex& m = gestartet(r);
    QTest::mouseClick(m.ToolButton38, Qt::LeftButton);
    ASSERT_EQ(m.EingabeModus, 1);
    QTest::mouseClick(m.DBRichEdit2->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(m.DBRichEdit2, "Wasser");
    Antworten antworten(widgets::Answer::No);
    schliessfeld(m);
    EXPECT_TRUE(m.isVisible());
    ASSERT_EQ(antworten.fragen.size(), 1);
    EXPECT_TRUE(antworten.fragen[0].contains("trotzdem beenden")) << antworten.fragen[0].toStdString();
    EXPECT_EQ(m.EingabeModus, 1);
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Wasser");

    antworten.antwort = widgets::Answer::Yes;
    beendenImMenue(m);
    EXPECT_FALSE(m.isVisible());
    for (dbase::Table* t : {r.datas().Table1, r.datas().Table2, r.datas().Table6})
        EXPECT_NO_THROW(t->close()) << t->tableName().toStdString();
    EXPECT_EQ(fixtures::readWithDbfread("chemie.dbf").rows.size(), 1);
    EXPECT_EQ(fixtures::readWithDbfread("namen.dbf").rows.size(), 1);
}

TEST(Beenden, QuittingWhileMaximisedStoresStateTwoAndTheMaximisedBounds)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    TMarlex& m = r.fensterAnlegen();
    m.showMaximized();
    QApplication::processEvents();
    const QRect maximiert = m.frameGeometry();
    beendenImMenue(m);
    EXPECT_EQ(ini::IniFile(r.ini()).readInteger("Marlex99", "state", -1), 2);
    EXPECT_EQ(gespeicherteLage(r), maximiert);
}
