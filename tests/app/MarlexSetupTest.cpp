#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QFocusEvent>
#include <QTextCursor>
#include <QToolTip>
#include <QSplitter>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/SymbolBild.h"
#include "data/Optionen.h"
#include "ini/IniFile.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"
#include <QFrame>
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

QDir programmDir(const Register& r)
{
    return QDir(r.programm());
}

} // namespace

TEST(FeldbreitenLesen, TakesEachNumberBeforeItsPoint)
{
    const Feldbreiten zwei = FeldbreitenLesen("64.120.", 13);
    EXPECT_EQ(zwei.breiten, (std::vector<int>{64, 120}));
    EXPECT_TRUE(zwei.vollstaendig);
    EXPECT_EQ(FeldbreitenLesen("", 13).breiten, std::vector<int>{});
    std::vector<int> dreizehn;
    for (int i = 1; i <= 13; ++i)
        dreizehn.push_back(10 + i);
    EXPECT_EQ(FeldbreitenText({64, 120}), "64.120.");
    const Feldbreiten gelesen = FeldbreitenLesen(FeldbreitenText(dreizehn), 13);
    EXPECT_EQ(gelesen.breiten, dreizehn);
    EXPECT_TRUE(gelesen.vollstaendig);
}

TEST(FeldbreitenLesen, KeepsTheWidthsBeforeAHandEditedPiece)
{
    struct Fall {
        const char* wert;
        int spalten;
        std::vector<int> breiten;
    };
    for (const Fall& fall : {Fall{"64.120", 13, {64}}, // last number without its point
                             Fall{"64.breit.80.", 13, {64}}, Fall{"64.12abc.80.", 13, {64}},
                             Fall{"64.2147483647.80.", 13, {64}}, Fall{".64.", 13, {}}, Fall{"-5.", 13, {}},
                             Fall{"1.2.3.", 2, {1, 2}}}) { // more columns than the grid has
        const Feldbreiten gelesen = FeldbreitenLesen(fall.wert, fall.spalten);
        EXPECT_EQ(gelesen.breiten, fall.breiten) << fall.wert;
        EXPECT_FALSE(gelesen.vollstaendig) << fall.wert;
    }
}

TEST(Fensterzustand, OnlyTheThreeKnownStatesCount)
{
    EXPECT_EQ(fensterzustand(0), Qt::WindowNoState);
    EXPECT_EQ(fensterzustand(1), Qt::WindowMinimized);
    EXPECT_EQ(fensterzustand(2), Qt::WindowMaximized);
    EXPECT_EQ(fensterzustand(4), Qt::WindowNoState) << "the loader's default";
    EXPECT_EQ(fensterzustand(-1), Qt::WindowNoState);
}

TEST(FormCreate, WithoutSettingsFileUsesTheDefaults)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    EXPECT_EQ(m.windowTitle(), "Marlex99");
    EXPECT_EQ(m.Symbolendung, "BMP");
    EXPECT_EQ(m.DruckerIndex, 0);
    EXPECT_EQ(m.AktuelleNamenDatei, "namen.dbf");
    EXPECT_EQ(m.AktuelleIndexDatei, "namen.mdx");
    EXPECT_EQ(m.PageControl1->tabPosition(), QTabWidget::North);
    EXPECT_FALSE(m.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) << "state 4 opens normal";
    EXPECT_EQ(QDir::cleanPath(m.IniDatei->fileName()), QDir::cleanPath(r.ini()));
    EXPECT_TRUE(m.StartFehler.isEmpty()) << m.StartFehler.join('\n').toStdString();
    EXPECT_TRUE(r.meldungen().empty());
    EXPECT_EQ(m.DBGrid1->columnWidths().at(2), 109) << "design width of the amount column";
    EXPECT_EQ(m.StatusPanel[1]->text(), "STAMM");
    EXPECT_EQ(m.PageControl1->tabText(0), "Datenliste");
    EXPECT_EQ(m.PageControl1->tabText(1), "Aktueller Datensatz");
    EXPECT_EQ(m.PageControl1->tabText(2), "Lager");
}

TEST(FormCreate, AppliesTheSettings)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    r.einstellung("Optionen", "TabPosition", "2");
    r.einstellung("Optionen", "AktPrinterIndex", "3");
    r.einstellung("Optionen", "Darstellung in Farbe", "1");
    r.einstellung("Optionen", "Farb-Druck", "0");
    r.einstellung("Optionen", "Hint", "0");
    r.einstellung("Marlex99", "xpos", "40");
    r.einstellung("Marlex99", "ypos", "30");
    r.einstellung("Marlex99", "breite", "700");
    r.einstellung("Marlex99", "hoehe", "500");
    r.einstellung("Marlex99", "state", "0");
    r.einstellung("Font", "FontSize", "14");
    r.einstellung("Lager", "Feldbreiten", "64.120.");
    TMarlex& m = r.fensterAnlegen();

    EXPECT_EQ(m.PageControl1->tabPosition(), QTabWidget::South);
    EXPECT_EQ(m.DruckerIndex, 3);
    EXPECT_EQ(FarbDarstellung, 1);
    EXPECT_EQ(FarbDruck, 0);
    EXPECT_FALSE(m.hinweiseZeigen());
    EXPECT_EQ(m.frameGeometry(), QRect(40, 30, 700, 500)) << "the stored bounds are the outer ones";
    EXPECT_EQ(m.ScreenFont.pointSize(), 14);
    EXPECT_EQ(m.ListBox1->font().pointSize(), 14);
    const std::vector<int> breiten = m.DBGrid1->columnWidths();
    ASSERT_EQ(breiten.size(), 13u);
    EXPECT_EQ(breiten[0], 64);
    EXPECT_EQ(breiten[1], 120);
    EXPECT_EQ(breiten[2], 109) << "columns the setting does not name keep their width";
}

TEST(FormCreate, HandEditedGeometryStillGivesAUsableWindow)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    r.einstellung("Marlex99", "breite", "0");
    r.einstellung("Marlex99", "hoehe", "-5");
    r.einstellung("Marlex99", "state", "7");
    r.einstellung("Font", "FontSize", "0");
    TMarlex& m = r.fensterAnlegen();
    EXPECT_GE(m.width(), 200);
    EXPECT_GE(m.height(), 150);
    EXPECT_EQ(m.windowState(), Qt::WindowNoState);
    EXPECT_GT(m.ListBox1->itemHeight(), 0);
}

TEST(FormCreate, LoadsEveryPictureByItsStem)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    EXPECT_EQ(farbeVon(m.Bilder.GefahrBilder[2][0]), symbolfarbe("F+.", false));
    EXPECT_EQ(farbeVon(m.Bilder.GefahrBilder[2][1]), symbolfarbe("F+.", true));
    EXPECT_EQ(farbeVon(m.Bilder.SchutzBilder[2][1]), symbolfarbe("HAND.", true));
    EXPECT_EQ(farbeVon(m.Bilder.UnterrichtBilder[6][0]), symbolfarbe("SCHULE.", false)) << "SI# loads SI's file";
    EXPECT_EQ(farbeVon(m.Bilder.UnterrichtBilder[8][0]), symbolfarbe("LV&.", false));
    EXPECT_EQ(farbeVon(m.Bilder.KrebsBilder[1][0]), symbolfarbe("A1.", false));
    EXPECT_EQ(farbeVon(m.Bilder.CancerBilder[2][1]), symbolfarbe("C3.", true));
    EXPECT_EQ(farbeVon(m.Bilder.WirkungBilder[4][0]), symbolfarbe("HS.", false));
}

TEST(FormCreate, ReadsMetafilePicturesWhenTheSettingSaysWmf)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r), "WMF");
    r.einstellung("Marlex99", "symbolendung", "WMF");
    TMarlex& m = r.fensterAnlegen();

    EXPECT_TRUE(m.StartFehler.isEmpty()) << m.StartFehler.join('\n').toStdString();
    EXPECT_EQ(m.Bilder.GefahrBilder[0][0].kind(), graphics::Picture::Kind::Vector);
    EXPECT_EQ(farbeVon(m.Bilder.GefahrBilder[0][1]), symbolfarbe("C.", true));
}

TEST(FormCreate, MissingPicturesAndBadWidthsAreReportedOnceAndTheRestIsSetUp)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    ASSERT_TRUE(QFile::remove(r.programm() + "Symbol/F_HAND.BMP"));
    ASSERT_TRUE(QFile::remove(r.programm() + "Symbol/C.BMP"));
    r.einstellung("Lager", "Feldbreiten", "64.120");
    QDir(r.programm()).mkpath("Hilfe");
    QFile hinweis(r.programm() + "Hilfe/hinweis1.htm");
    ASSERT_TRUE(hinweis.open(QIODevice::WriteOnly));
    hinweis.close();
    TMarlex& m = r.fensterAnlegen();

    EXPECT_TRUE(m.Bilder.SchutzBilder[2][1].isEmpty());
    EXPECT_TRUE(m.Bilder.GefahrBilder[0][0].isEmpty());
    EXPECT_FALSE(m.Bilder.GefahrBilder[0][1].isEmpty()) << "the colour picture of C loads all the same";
    EXPECT_FALSE(m.Bilder.CancerBilder[2][1].isEmpty()) << "the last picture still loads";
    EXPECT_EQ(m.DBGrid1->columnWidths().at(0), 64) << "the width before the bad piece is kept";
    EXPECT_NE(m.DBGrid1->columnWidths().at(1), 120) << "design widths from there on";
    EXPECT_TRUE(m.ToolButton6->isEnabled()) << "the steps after the faults still ran";

    ASSERT_EQ(r.meldungen().size(), 1u);
    const QString text = r.meldungen()[0].text;
    EXPECT_TRUE(text.contains("2 Piktogramme")) << text.toStdString();
    EXPECT_EQ(r.meldungen()[0].details, "C.BMP\nF_HAND.BMP") << "the names in the details, in loading order";
    EXPECT_TRUE(text.contains("Spaltenbreiten"));
    EXPECT_EQ(m.StartFehler.size(), 3);
}

TEST(FormCreate, SupplementButtonFollowsTheSupplementPage)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    {
        TMarlex& m = r.fensterAnlegen();
        EXPECT_FALSE(m.ToolButton6->isEnabled());
    }
    QDir(r.programm()).mkpath("HILFE");
    QFile hinweis(r.programm() + "HILFE/HINWEIS1.HTM");
    ASSERT_TRUE(hinweis.open(QIODevice::WriteOnly));
    hinweis.close();
    EXPECT_TRUE(r.fensterAnlegen().ToolButton6->isEnabled()) << "found whatever its case";
}

TEST(FormCreate, SettingsMoveToTheUserDirectoryWhenTheProgramDirectoryIsNotWritable)
{
    fixtures::TempDir benutzer;
    const QByteArray vorher = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(benutzer.path().string()));
    {
        Register r;
        // Not even root can create files here.
        Programmverzeichnis = "/proc/self/";
        TMarlex& m = r.fensterAnlegen();
        EXPECT_TRUE(m.IniDatei->fileName().startsWith(QString::fromStdString(benutzer.path().string())))
            << m.IniDatei->fileName().toStdString();
        m.IniDatei->writeInteger("Optionen", "AktPrinterIndex", 2);
        EXPECT_EQ(ini::IniFile(m.IniDatei->fileName()).readInteger("Optionen", "AktPrinterIndex", 0), 2);
    }
    if (vorher.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", vorher);
}

TEST(Befehle, MenuItemsCarryCaptionShortcutAndHint)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    struct Erwartet {
        const char* name;
        const char* caption;
        QKeySequence shortcut;
        const char* hint;
    };
    const std::vector<Erwartet> erwartet = {
        {"ndern1", "&Ändern", QKeySequence(Qt::CTRL | Qt::Key_A), "Aktuellen Datensatz ändern"},
        {"Lschen1", "&Löschen", QKeySequence(Qt::CTRL | Qt::Key_L), "Löscht den aktuellen Datensatz"},
        {"Stamm1", "&Stamm", QKeySequence(Qt::CTRL | Qt::Key_F1), "Datenbank STAMM auswählen"},
        {"Suchen1", "S&uchen", QKeySequence(Qt::Key_F3), "Nach einem Datensatz suchen"},
        {"Index1", "&Index", QKeySequence(Qt::Key_F1), "Index-Hilfe aufrufen"},
        {"Neu2", "&Neu", QKeySequence(Qt::CTRL | Qt::Key_Insert), "Einen neuen Datensatz anlegen"},
        {"Lschen2", "&Löschen", QKeySequence(Qt::CTRL | Qt::Key_Delete), "Den aktuellen Datensatz löschen"},
        {"Layout2", "L&ayout", QKeySequence(Qt::CTRL | Qt::Key_T), "Etiketten-Layout anzeigen"},
        {"Kavuaufrufen1", "&KAVU aufrufen", {}, "Ruft KAVU auf..."},
        {"EMF1", "Windows Meta File", {}, "Etikett nach WMF exportieren"},
        {"Infober1", "Info &über", {}, "Informationen über Marlex"},
    };
    for (const Erwartet& e : erwartet) {
        auto* item = m.findChild<QAction*>(e.name);
        ASSERT_NE(item, nullptr) << e.name;
        EXPECT_EQ(item->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_EQ(item->shortcut(), e.shortcut) << e.name;
        EXPECT_EQ(item->statusTip(), QString::fromUtf8(e.hint)) << e.name;
    }

    QStringList leiste;
    for (QAction* menu : m.menuBar()->actions())
        leiste << menu->text();
    EXPECT_EQ(leiste, (QStringList{"&Marlex", "&Daten", "&Hilfe", "&Lagerdaten", "D&rucken"}));

    for (const char* aus : {"TMP11", "TMP21", "Daten3", "Drucken3", "Menu11"})
        EXPECT_FALSE(m.findChild<QAction*>(aus)->isEnabled()) << aus;
    EXPECT_EQ(m.findChild<QAction*>("Menu31")->text(), "Datensatz ins &Lager übernehmen");
}

TEST(Befehle, ToolButtonsCarryHintImageAndDesignState)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    const auto knopf = [&m](const char* name) {
        auto* b = m.findChild<QToolButton*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    };
    EXPECT_EQ(knopf("ToolButton37")->toolTip(), "Alle markierten Etiketten drucken");
    EXPECT_EQ(TMarlex::buttonImage(knopf("ToolButton37")), 6);
    EXPECT_EQ(knopf("ToolButton2")->toolTip(), "Zeigt den Datennavigator für den aktuellen Datensatz an");
    EXPECT_TRUE(knopf("ToolButton2")->isCheckable());
    EXPECT_TRUE(knopf("ToolButton6")->isCheckable());
    EXPECT_EQ(TMarlex::buttonImage(knopf("ToolButton31")), 8);
    EXPECT_EQ(TMarlex::buttonImage(knopf("ToolButton22")), 3);
    for (const char* aus : {"ToolButton55", "ToolButton49", "ToolButton50", "ToolButton25", "ToolButton30",
                            "ToolButton6"})
        EXPECT_FALSE(knopf(aus)->isEnabled()) << aus;
    for (const char* an : {"ToolButton38", "ToolButton43", "ToolButton48", "ToolButton4", "ToolButton31"})
        EXPECT_TRUE(knopf(an)->isEnabled()) << an;
    EXPECT_EQ(knopf("ToolButton38")->parentWidget()->objectName(), "ToolBar4");
    EXPECT_EQ(knopf("ToolButton24")->parentWidget()->objectName(), "ToolBar2");
    EXPECT_EQ(knopf("ToolButton33")->parentWidget()->objectName(), "ToolBar3");
}

TEST(BearbeitungFreigeben, SwitchesTheEditingCommandsButNotTheStorageEditButtons)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();
    m.ToolButton25->setEnabled(true); // as storage edit mode leaves them
    m.ToolButton30->setEnabled(true);

    m.BearbeitungFreigeben(false);
    for (QAction* a : {m.ndern1, m.Neueingabe1, m.Kopie1, m.Lschen1, m.Eingabe1, m.ndern2, m.Hinzufgen1,
                       m.Entfernen1, m.Update1, m.Neu2, m.Editieren2, m.Lschen2, m.Etikettfestlegen1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton38, m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton53,
                           m.ToolButton22, m.ToolButton23, m.ToolButton24, m.ToolButton25, m.ToolButton30,
                           m.ToolButton31})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(m.Datensatzbearbeiten1->isEnabled()) << "the popup's edit item writes as its menu item does";
    EXPECT_TRUE(m.Menu31->isEnabled());

    m.BearbeitungFreigeben(true);
    for (QAction* a : {m.ndern1, m.Neueingabe1, m.Kopie1, m.Lschen1, m.Eingabe1, m.ndern2, m.Hinzufgen1,
                       m.Entfernen1, m.Update1, m.Neu2, m.Editieren2, m.Lschen2, m.Etikettfestlegen1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton38, m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton53,
                           m.ToolButton22, m.ToolButton23, m.ToolButton24, m.ToolButton31})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(m.ToolButton25->isEnabled()) << "back only with storage edit mode";
    EXPECT_FALSE(m.ToolButton30->isEnabled());
}

TEST(DisplayHint, StatusBarShowsTheHintAloneWhileThereIsOne)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();
    m.DisplayHint("Marlex beenden");
    EXPECT_EQ(m.statusBar()->currentMessage(), "Marlex beenden");
    m.DisplayHint({});
    EXPECT_TRUE(m.statusBar()->currentMessage().isEmpty());
}

TEST(ListenZiehen, DropTargetsTakeOnlyLinesOfTheNameList)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    const std::unique_ptr<QMimeData> zeilen(m.ListBox1->lineModel().mimeData({}));
    QMimeData fremd;
    fremd.setText("Ethanol");

    EXPECT_TRUE(m.nimmtListenzeilenAn(zeilen.get(), m.ListBox1));
    EXPECT_FALSE(m.nimmtListenzeilenAn(zeilen.get(), nullptr)) << "lines of another list";
    EXPECT_FALSE(m.nimmtListenzeilenAn(&fremd, m.ListBox1));

    const std::vector<QWidget*> ziele = {m.ToolButton42, m.ToolButton52, m.ToolButton57, m.ToolButton58, m.Image11};
    for (QWidget* ziel : ziele) {
        EXPECT_TRUE(ziel->acceptDrops()) << ziel->objectName().toStdString();
        QDragEnterEvent ziehen(QPoint(1, 1), Qt::CopyAction, &fremd, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(ziel, &ziehen);
        EXPECT_FALSE(ziehen.isAccepted()) << ziel->objectName().toStdString();
    }
}

TEST(DisplayHint, HintSettingSwitchesToolTipsOff)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    r.einstellung("Optionen", "Hint", "0");
    TMarlex& m = r.fensterAnlegen();
    m.show();
    const auto tipp = [&m] {
        QHelpEvent ereignis(QEvent::ToolTip, QPoint(2, 2), m.ToolButton43->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(m.ToolButton43, &ereignis);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_TRUE(tipp().isEmpty());
    m.setHinweiseZeigen(true);
    EXPECT_EQ(tipp(), "Nach einem Datensatz suchen");
    QToolTip::hideText();
}

TEST(Datensatzseite, ControlsAreBoundByFieldNameAndStartDisabled)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();

    EXPECT_EQ(m.DBEdit15->dataField(), "CARN");
    EXPECT_EQ(m.DBEdit15->toolTip(), "Carn-Nummer des Stoffes");
    EXPECT_EQ(m.DBEdit23->toolTip(), "Geben Sie hier die R-Sätze des Stoffes ein");
    EXPECT_EQ(m.DBEdit55->dataField(), "UN_NR");
    EXPECT_EQ(m.DBRichEdit1->dataField(), "FORMEL");
    EXPECT_EQ(m.DBRichEdit4->dataField(), "NAME1");
    EXPECT_EQ(m.DBComboBox18->dataField(), "GEFSYM4");
    EXPECT_EQ(m.DBComboBox1->toolTip(), "Wählen Sie hier das erste Gefahrensymbol aus");
    EXPECT_EQ(m.DBComboBox1->items(), (QStringList{"C", "E", "F+", "F", "N", "O", "T+", "T", "Xi", "Xn"}));
    EXPECT_EQ(m.DBComboBox8->items(), (QStringList{"1", "2", "3", "4", "5", "A1", "A2", "B"}));
    EXPECT_EQ(m.DBComboBox16->items().size(), 8);
    const QStringList entsorgung = m.DBComboBox17->items();
    ASSERT_EQ(entsorgung.size(), 20);
    EXPECT_EQ(entsorgung.first(), "1");
    EXPECT_EQ(entsorgung.last(), "Einzelents");
    EXPECT_EQ(m.DBComboBox15->dataField(), "UNTERRICHT");

    for (QWidget* w : std::vector<QWidget*>{m.DBEdit15, m.DBEdit55, m.DBRichEdit2, m.DBComboBox1, m.DBComboBox17})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(m.DBComboBox18->objectName(), "DBComboBox18");
    EXPECT_EQ(m.DBComboBox9->dataField(), "FRUCHTSCH");
}

TEST(Datensatzseite, LeavingTheSecondNameSetsItsFormulaDigitsLow)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();
    QFont font = m.DBRichEdit3->font();
    font.setPointSize(10);
    m.DBRichEdit3->document()->setDefaultFont(font);
    m.DBRichEdit3->setPlainText("H2O");

    QFocusEvent verlassen(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(m.DBRichEdit3, &verlassen);
    QTextCursor c(m.DBRichEdit3->document());
    c.setPosition(2);
    EXPECT_EQ(c.charFormat().fontPointSize(), 5) << "the 2 of H2O";
}

TEST(Symbolfeld, RowsAreSquarePicturesAboveTheStructurePicture)
{
    Register r;
    symbolOrdnerSchreiben(programmDir(r));
    TMarlex& m = r.fensterAnlegen();
    m.resize(800, 600);
    m.show();
    QApplication::processEvents();
    EXPECT_EQ(m.Panel3->width(), ((m.Panel3->height() - m.Panel5->height()) / 3) * 4)
        << "the panel's width follows the window's height";

    m.SymbolfeldAnordnen();
    const int h = m.Panel4->height();
    const int struktur = h / 4 + (h / 4) / 3;
    const int zeile = (h - struktur) / 3;
    EXPECT_EQ(m.Panel5->height(), struktur);
    EXPECT_EQ(m.Panel5->y() + m.Panel5->height(), h) << "the structure picture sits at the bottom";
    EXPECT_EQ(m.Panel13->height(), zeile);
    EXPECT_EQ(m.Panel6->y(), zeile);
    EXPECT_EQ(m.Image2->width(), zeile);
    EXPECT_EQ(m.Image3->x(), zeile) << "the second picture follows the first";
    EXPECT_EQ(m.Image14->width(), zeile);

    m.Splitter1Moved();
    EXPECT_EQ(m.Image2->width(), m.Panel5->width() / 4) << "after the splitter the four pictures fill the row";

    m.resize(800, 400);
    QApplication::processEvents();
    EXPECT_EQ(m.Panel3->width(), ((m.Panel3->height() - m.Panel5->height()) / 3) * 4);
    EXPECT_EQ(m.Image2->width(), m.Panel13->height()) << "square again after the window was resized";
}
