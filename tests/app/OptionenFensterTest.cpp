#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/SymbolBild.h"
#include "data/Optionen.h"
#include "data/OptionenDialog.h"
#include "fixtures/Dbfread.h"
#include "fixtures/FileWrites.h"
#include "fixtures/Modal.h"
#include "ini/IniFile.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString benzol = QStringLiteral("71-43-2");
const QString chlor = QStringLiteral("7782-50-5");

void klick(QAbstractButton* knopf)
{
    // A check box reacts only to a click on its box or its text.
    QTest::mouseClick(knopf, Qt::LeftButton, {}, QPoint(4, knopf->height() / 2));
}

void tippen(QLineEdit* feld, const QString& text)
{
    QTest::mouseClick(feld, Qt::LeftButton);
    QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
    for (const QChar zeichen : text) {
        // Umlauts come as text, as a German keyboard sends them.
        if (zeichen.unicode() < 0x80)
            QTest::keyClick(feld, zeichen.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, feld, Qt::Key_unknown, QString(zeichen), Qt::NoModifier);
    }
    ASSERT_EQ(feld->text(), text);
}

// The page of the control is shown first, as a user has to.
void aufSeite(TOptionen& d, QWidget* seite)
{
    d.PageControl1->setCurrentWidget(seite);
    QTest::mouseClick(d.PageControl1->tabBar(), Qt::LeftButton, {},
                      d.PageControl1->tabBar()->tabRect(d.PageControl1->indexOf(seite)).center());
    ASSERT_EQ(d.PageControl1->currentWidget(), seite);
}

QStringList sichtbareSeiten(const TOptionen& d)
{
    QStringList seiten;
    for (int i = 0; i < d.PageControl1->count(); ++i)
        if (d.PageControl1->isTabVisible(i))
            seiten << d.PageControl1->tabText(i);
    return seiten;
}

std::vector<dbase::Table*> zugriffsTabellen()
{
    return {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table6};
}

// Aceton (three names, in storage, symbol C), Benzol (symbol T), Chlor.
class Optionsregister : public Register {
public:
    explicit Optionsregister(bool nurLesen = false)
    {
        symbolOrdnerSchreiben(QDir(programm()));
        namenSchreiben({{"Aceton", aceton}, {"Benzol", benzol}, {"Chlor", chlor}, {"Dimethylketon", aceton},
                        {"Propanon", aceton}});
        chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}, {GEFSYM1, "C"}}},
                         {benzol, "1", {{NAME1, "Benzol"}, {GEFSYM1, "T"}}},
                         {chlor, "1", {{NAME1, "Chlor"}}}});
        lagerSchreiben({{aceton, "1"}});
        formelnSchreiben({aceton});
        if (nurLesen)
            einstellung(SektionOptionen, "Nur Lesemodus", "1");
        TMarlex& m = starten();
        if (nurLesen) {
            // As the start-up opens a register in read-only mode.
            for (dbase::Table* t : zugriffsTabellen()) {
                t->close();
                t->setReadOnly(true);
                t->open();
            }
            m.BearbeitungFreigeben(false);
        }
        m.show();
        m.DatenlisteEinlesen();
    }

    TMarlex& m() { return fenster(); }

    void waehlen(int zeile)
    {
        widgets::NameList& liste = *m().ListBox1;
        QTest::mouseClick(liste.viewport(), Qt::LeftButton, {},
                          liste.visualRect(liste.model()->index(zeile, 0)).center());
        ASSERT_EQ(liste.itemIndex(), zeile);
    }

    QString wert(const QString& schluessel, const QString& sektion = SektionOptionen) const
    {
        return ini::IniFile(ini()).readString(sektion, schluessel, QStringLiteral("(fehlt)"));
    }

    void optionen(const std::function<void(TOptionen&)>& schritte)
    {
        fixtures::imDialogVon<TOptionen>([&] { m().Optionen1->trigger(); }, schritte);
    }
};

QRgb farbe(const SymbolBild* bild)
{
    return farbeVon(bild->picture());
}

} // namespace

TEST(Optionen, EveryControlWritesItsKeyInOneSaveAndTheMainWindowShowsTheChangeAtOnce)
{
    Optionsregister r;
    TMarlex& m = r.m();
    r.waehlen(0);
    ASSERT_EQ(farbe(m.Image2), symbolfarbe("C.", true)) << "colour pictures by default";
    ASSERT_EQ(m.PageControl1->tabPosition(), QTabWidget::North);
    ASSERT_TRUE(m.ndern1->isEnabled());
    const QString layout = QDir::current().absoluteFilePath("LABEL.ETI");
    const QString blatt = QDir::current().absoluteFilePath("BLATT.STO");
    // A settings file as the first start leaves it.
    r.einstellung(SektionOptionen, "First", "0");
    fixtures::FileWrites schreiben(r.programm());

    r.optionen([&](TOptionen& d) {
        EXPECT_EQ(d.windowTitle(), "Optionen");
        EXPECT_EQ(sichtbareSeiten(d), QStringList({"Marlex", "Daten", "Lager", "Druck", "Hilfe"}));
        EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheet1);
        klick(d.CheckBox9);
        klick(d.CheckBox10);
        klick(d.RadioUnten);
        fixtures::imDialogVon<QFontDialog>([&] { QTest::mouseClick(d.Button3, Qt::LeftButton); },
                              [&](QFontDialog& f) {
                                  f.setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 14));
                                  QTest::keyClick(&f, Qt::Key_Return);
                              });
        aufSeite(d, d.TabSheet2);
        for (QCheckBox* k : {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox5, d.CheckBox12, d.CheckBox11})
            klick(k);
        aufSeite(d, d.TabSheet3);
        tippen(d.Edit2, QStringLiteral("Chemiehandel Süd"));
        tippen(d.Edit3, QStringLiteral("Raum 12"));
        klick(d.CheckBox4);
        aufSeite(d, d.TabSheet4);
        tippen(d.Edit5, layout);
        tippen(d.Edit6, blatt);
        tippen(d.Edit7, QStringLiteral("10"));
        tippen(d.Edit8, QStringLiteral("12"));
        tippen(d.Edit9, QStringLiteral("8"));
        tippen(d.Edit10, QStringLiteral("zehn"));
        klick(d.CheckBox6);
        klick(d.CheckBox7);
        aufSeite(d, d.TabSheet5);
        EXPECT_FALSE(d.GroupBox4->isEnabled()) << "the browser is chosen only without the automatic one";
        klick(d.CheckBox8);
        EXPECT_TRUE(d.GroupBox4->isEnabled()) << "unticking enables the browser group at once";
        tippen(d.Edit1, QStringLiteral("/usr/bin/firefox"));
        EXPECT_EQ(schreiben.count("marlex99.ini"), 0) << "nothing is stored before OK";
        // "zehn" is no margin a print could use: OK refuses it, names the
        // field and puts the user back on it.
        const std::size_t meldungenVorher = r.meldungen().size();
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << "a margin no print can use is refused";
        ASSERT_EQ(r.meldungen().size(), meldungenVorher + 1);
        EXPECT_EQ(r.meldungen().back().text, "Der Rand „Links“ (Rand in mm) „zehn“ ist keine gültige Millimeterangabe. "
                                         "Bitte tragen Sie eine Zahl ab 0 ein, zum Beispiel 10 oder 10,5.");
        EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheet4);
        EXPECT_EQ(d.focusWidget(), d.Edit10);
        EXPECT_EQ(schreiben.count("marlex99.ini"), 0) << "nothing is stored while a margin is refused";
        tippen(d.Edit10, QStringLiteral("7,5"));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });

    EXPECT_EQ(schreiben.count("marlex99.ini"), 1) << "one save for all settings";
    const std::vector<std::pair<const char*, QString>> erwartet = {
        {"Hint", "0"}, {"Abfrage vor Beenden", "1"}, {"Nur Lesemodus", "1"}, {"IndexCheck", "1"},
        {"ExklusivZugriff", "1"}, {"Darstellung in Farbe", "0"}, {"Formel darstellen", "0"},
        {"Lagerdatensätze markieren", "0"}, {"Lieferant", "Chemiehandel Süd"}, {"Verwender", "Raum 12"},
        {"Farb-Druck", "1"}, {"TabPosition", "1"}, {"StandardEtikett", layout}, {"StandardStoffinfo", blatt},
        {"RandOben", "10"}, {"RandUnten", "12"}, {"RandRechts", "8"}, {"RandLinks", "7,5"}, {"OnlyEtikett", "0"},
        {"EtikettAnzahlLoeschen", "0"}, {"AutoHelp", "0"}, {"HelpBrowser", "/usr/bin/firefox"}};
    for (const auto& [schluessel, w] : erwartet)
        EXPECT_EQ(r.wert(QString::fromUtf8(schluessel)), w) << schluessel;
    EXPECT_EQ(r.wert("FontName", SektionFont), "DejaVu Sans");
    EXPECT_EQ(r.wert("FontSize", SektionFont), "14");
    EXPECT_EQ(r.wert("First"), "0") << "keys without a control are left alone";
    EXPECT_EQ(r.wert("xpos", SektionMarlex), "(fehlt)");

    // The main window at once.
    EXPECT_EQ(m.ListBox1->font().family(), "DejaVu Sans");
    EXPECT_EQ(m.ListBox1->font().pointSize(), 14);
    EXPECT_EQ(m.DBGrid1->font().pointSize(), 14);
    EXPECT_EQ(m.ScreenFont.family(), "DejaVu Sans");
    EXPECT_EQ(m.PageControl1->tabPosition(), QTabWidget::South);
    EXPECT_EQ(farbe(m.Image2), symbolfarbe("C.", false)) << "plain pictures now";
    EXPECT_EQ(FarbDruck, 1);
    EXPECT_FALSE(m.hinweiseZeigen());
    EXPECT_FALSE(m.DBImage1->isVisible());
    EXPECT_EQ(m.StatusPanel[3]->text(), "Im Lager") << "without list markers the status bar tells";
    EXPECT_EQ(m.ListBox1->itemIndex(), 0);
    for (QAction* befehl : {m.ndern1, m.Neueingabe1, m.Eingabe1, m.Editieren2})
        EXPECT_FALSE(befehl->isEnabled()) << befehl->objectName().toStdString();
    EXPECT_FALSE(m.ToolButton31->isEnabled());
    for (dbase::Table* t : zugriffsTabellen()) {
        EXPECT_TRUE(t->active());
        EXPECT_TRUE(t->readOnly()) << t->tableName().toStdString();
    }
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3})
        EXPECT_TRUE(t->exclusive()) << t->tableName().toStdString();
    EXPECT_FALSE(Datas->Table6->exclusive());
}

TEST(Optionen, ReadOnlyModeSwitchedOffReopensEveryTableForWritingOnTheLineShown)
{
    Optionsregister r(true);
    TMarlex& m = r.m();
    r.waehlen(4);
    ASSERT_FALSE(m.ndern1->isEnabled());
    ASSERT_TRUE(Datas->Table6->readOnly());

    r.optionen([&](TOptionen& d) {
        aufSeite(d, d.TabSheet2);
        ASSERT_TRUE(d.CheckBox12->isChecked());
        klick(d.CheckBox12);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    EXPECT_EQ(r.wert("Nur Lesemodus"), "0");
    for (dbase::Table* t : zugriffsTabellen()) {
        EXPECT_TRUE(t->active());
        EXPECT_FALSE(t->readOnly()) << t->tableName().toStdString();
    }
    EXPECT_TRUE(m.ndern1->isEnabled());
    EXPECT_TRUE(m.ToolButton31->isEnabled());
    EXPECT_FALSE(m.ToolButton25->isEnabled()) << "only with the storage edit mode";
    EXPECT_EQ(m.ListBox1->itemIndex(), 4);
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), "Propanon") << "the record of line 5 again";
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Aceton");

    // The structure pictures take changes again.
    dbase::Table& formeln = *Datas->Table6;
    ASSERT_TRUE(formeln.findKey({aceton}));
    formeln.edit();
    formeln.fieldByName("SUBCARN").setAsString("1");
    EXPECT_NO_THROW(formeln.post());
}

TEST(Optionen, AReopenThatFailsKeepsTheTablesOpenAsTheyWereAndSaysWhy)
{
    Optionsregister r;
    TMarlex& m = r.m();
    r.waehlen(1);
    // Another program has the storage register open.
    dbase::Table andere;
    andere.setTableName("lager.dbf");
    andere.open();
    fixtures::FileWrites schreiben(r.programm());

    r.optionen([&](TOptionen& d) {
        aufSeite(d, d.TabSheet2);
        klick(d.CheckBox2);
        klick(d.CheckBox9);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << "the dialog stays for another choice";
        EXPECT_FALSE(d.CheckBox2->isChecked());
        EXPECT_FALSE(d.CheckBox9->isChecked()) << "the other choices stay as made";
        ASSERT_EQ(r.meldungen().size(), 1u);
        EXPECT_TRUE(r.meldungen()[0].text.startsWith("Die Tabellen lassen sich nicht exklusiv öffnen; sie bleiben "
                                                     "geöffnet, wie sie waren"))
            << r.meldungen()[0].text.toStdString();
        EXPECT_TRUE(r.meldungen()[0].text.contains("lager.dbf")) << r.meldungen()[0].text.toStdString();
    });
    EXPECT_EQ(schreiben.count("marlex99.ini"), 0);
    for (dbase::Table* t : zugriffsTabellen()) {
        EXPECT_TRUE(t->active()) << t->tableName().toStdString();
        EXPECT_FALSE(t->exclusive()) << t->tableName().toStdString();
        EXPECT_FALSE(t->readOnly()) << t->tableName().toStdString();
    }
    EXPECT_EQ(m.ListBox1->itemIndex(), 1);
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), "Benzol");
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Benzol");
    EXPECT_TRUE(m.hinweiseZeigen()) << "nothing applied";
}

// The access mode is switched, but the settings file refuses the change:
// the tables go back to how they were, and the record page, the symbols and
// the structure picture show the line's substance again, not the first
// rows the reopened tables stand on.
TEST(Optionen, SettingsThatCannotBeStoredAfterAnAccessSwitchShowTheLinesRecordAgain)
{
    Optionsregister r;
    TMarlex& m = r.m();
    r.waehlen(1);
    ASSERT_EQ(m.DBRichEdit2->toPlainText(), "Benzol");
    ASSERT_TRUE(m.DBImage1->picture().isEmpty()) << "Benzol has no structure picture";
    const QRgb benzolSymbol = farbe(m.Image2);

    r.optionen([&](TOptionen& d) {
        aufSeite(d, d.TabSheet2);
        klick(d.CheckBox12);
        // The settings file cannot be written now: a folder stands in its place.
        QFile::remove(r.ini());
        ASSERT_TRUE(QDir().mkdir(r.ini()));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        ASSERT_EQ(r.meldungen().size(), 1u);
        EXPECT_TRUE(r.meldungen()[0].text.startsWith("Die Einstellungen konnten nicht gespeichert werden"))
            << r.meldungen()[0].text.toStdString();
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    });
    for (dbase::Table* t : zugriffsTabellen())
        EXPECT_FALSE(t->readOnly()) << t->tableName().toStdString();
    EXPECT_EQ(m.ListBox1->itemIndex(), 1);
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), "Benzol");
    EXPECT_EQ(Datas->Table2->fieldByName("CARN").asString(), benzol);
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Benzol");
    EXPECT_EQ(m.DBEdit15->text(), benzol);
    EXPECT_EQ(farbe(m.Image2), benzolSymbol);
    EXPECT_TRUE(m.DBImage1->picture().isEmpty()) << "not Aceton's structure picture";
}

TEST(Optionen, SwitchingTheAccessModeWhileARecordIsEditedAsksFirst)
{
    Optionsregister r;
    TMarlex& m = r.m();
    r.waehlen(1);
    QTest::mouseClick(m.ToolButton41, Qt::LeftButton);
    ASSERT_EQ(m.EditModus, 1);
    QTest::mouseClick(m.DBRichEdit3->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(m.DBRichEdit3, "Cyclohexatrien");
    std::vector<QString> fragen;
    widgets::Answer antwort = widgets::Answer::No;
    const widgets::ScopedAnswerProvider antworten([&](const widgets::MessageRequest& frage) {
        fragen.push_back(frage.text);
        return antwort;
    });

    r.optionen([&](TOptionen& d) {
        aufSeite(d, d.TabSheet2);
        klick(d.CheckBox12);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        ASSERT_EQ(fragen.size(), 1u);
        EXPECT_TRUE(fragen[0].startsWith("Ein Datensatz wird gerade bearbeitet.")) << fragen[0].toStdString();
        EXPECT_TRUE(d.isVisible()) << "answered no: nothing happens";
        EXPECT_EQ(r.wert("Nur Lesemodus"), "(fehlt)");
        EXPECT_EQ(m.EditModus, 1);
        EXPECT_FALSE(Datas->Table2->readOnly());

        antwort = widgets::Answer::Yes;
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(m.EditModus, 0);
    EXPECT_FALSE(m.ndern1->isChecked()) << "edit mode ended";
    EXPECT_FALSE(m.DBRichEdit3->isEnabled());
    EXPECT_TRUE(Datas->Table2->readOnly());
    EXPECT_EQ(r.wert("Nur Lesemodus"), "1");
    QString name2;
    for (const auto& zeile : fixtures::readWithDbfread("chemie.dbf").rows)
        if (zeile.toObject().value("CARN").toString() == benzol)
            name2 = zeile.toObject().value("NAME2").toString();
    EXPECT_EQ(name2, "Cyclohexatrien") << "what was typed was stored before the tables were reopened";
    EXPECT_EQ(m.DBRichEdit3->toPlainText(), "Cyclohexatrien");
}

TEST(Optionen, PrintOptionsShowTheirTwoPagesAndKeepTheHiddenKeysAsTheyWere)
{
    Optionsregister r;
    TMarlex& m = r.m();
    r.einstellung(SektionOptionen, "Hint", "0");
    r.einstellung(SektionOptionen, "TabPosition", "0x1");
    QFile etikett(QDir::current().absoluteFilePath("STANDARD.ETI"));
    ASSERT_TRUE(etikett.open(QIODevice::WriteOnly));
    etikett.close();

    // Abbruch first: nothing stored, nothing applied.
    fixtures::FileWrites schreiben(r.programm());
    fixtures::imDialogVon<TOptionen>([&] { m.Druckoptionen1->trigger(); },
                        [&](TOptionen& d) {
                            klick(d.CheckBox7);
                            QTest::mouseClick(d.Button2, Qt::LeftButton);
                        });
    EXPECT_EQ(schreiben.count("marlex99.ini"), 0);
    EXPECT_EQ(r.wert("Farb-Druck"), "(fehlt)");

    fixtures::imDialogVon<TOptionen>([&] { m.Druckoptionen1->trigger(); },
                        [&](TOptionen& d) {
                            EXPECT_EQ(sichtbareSeiten(d), QStringList({"Lager", "Druck"}));
                            EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheet4);
                            EXPECT_TRUE(d.RadioUnten->isChecked()) << "0x1 reads as 1";
                            fixtures::imDialogVon<QFileDialog>([&] { QTest::mouseClick(d.Button4, Qt::LeftButton); },
                                                  [&](QFileDialog& f) {
                                                      EXPECT_EQ(f.selectedNameFilter(), "Etiketten (*.ETI *.eti)");
                                                      f.selectFile(etikett.fileName());
                                                      QTest::keyClick(&f, Qt::Key_Return);
                                                  });
                            EXPECT_EQ(d.Edit5->text(), etikett.fileName()) << "stored with its full path";
                            QTest::mouseClick(d.Button1, Qt::LeftButton);
                        });
    EXPECT_EQ(r.wert("StandardEtikett"), etikett.fileName());
    EXPECT_EQ(r.wert("Hint"), "0") << "the hidden pages' keys as they were";
    EXPECT_EQ(r.wert("TabPosition"), "1");
    EXPECT_EQ(r.wert("AutoHelp"), "1");
    EXPECT_EQ(OptStandardEtikett, etikett.fileName()) << "the option values are loaded again";
    EXPECT_EQ(m.PageControl1->tabPosition(), QTabWidget::South);
}

// Margins typed as a keyboard user types them, from field to field with Tab:
// a negative one, and two that leave no room on the labels' A4 page, are
// refused at OK with a message naming the fields; nothing is stored until
// they can be used.
TEST(Optionen, MarginsThatNoPrintCanUseAreRefusedAtOkNamingTheField)
{
    Optionsregister r;
    r.einstellung(SektionOptionen, "First", "0");
    fixtures::FileWrites schreiben(r.programm());
    const auto tippenUndTab = [](const QString& text) {
        QWidget* feld = QApplication::focusWidget();
        QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(feld, text);
        QTest::keyClick(feld, Qt::Key_Tab);
    };
    const auto meldungNachOk = [&r](TOptionen& d) {
        const std::size_t vorher = r.meldungen().size();
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        return r.meldungen().size() == vorher + 1 ? r.meldungen().back().text : QStringLiteral("(keine Meldung)");
    };

    r.optionen([&](TOptionen& d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        aufSeite(d, d.TabSheet4);
        QTest::mouseClick(d.Edit7, Qt::LeftButton);
        for (const char* rand : {"-5", "10", "8", "8"})
            tippenUndTab(QString::fromLatin1(rand));
        EXPECT_EQ(QApplication::focusWidget(), d.CheckBox6) << "Tab went through the four margins";
        aufSeite(d, d.TabSheet1);
        EXPECT_EQ(meldungNachOk(d), "Der Rand „Oben“ (Rand in mm) „-5“ ist keine gültige Millimeterangabe. Bitte "
                                    "tragen Sie eine Zahl ab 0 ein, zum Beispiel 10 oder 10,5.");
        EXPECT_EQ(QApplication::focusWidget(), d.Edit7);

        tippenUndTab(QStringLiteral("150"));
        tippenUndTab(QStringLiteral("147,5"));
        EXPECT_EQ(meldungNachOk(d), "Die Ränder „Oben“ und „Unten“ (Rand in mm) lassen auf einer Seite von 297 mm "
                                    "Höhe keinen Platz zum Drucken. Bitte verkleinern Sie sie.");
        EXPECT_EQ(QApplication::focusWidget(), d.Edit7);

        tippenUndTab(QStringLiteral("150"));
        tippenUndTab(QStringLiteral("146,5"));
        tippenUndTab(QStringLiteral("105"));
        tippenUndTab(QStringLiteral("105"));
        EXPECT_EQ(meldungNachOk(d), "Die Ränder „Links“ und „Rechts“ (Rand in mm) lassen auf einer Seite von 210 mm "
                                    "Breite keinen Platz zum Drucken. Bitte verkleinern Sie sie.");
        EXPECT_EQ(QApplication::focusWidget(), d.Edit10);
        EXPECT_EQ(schreiben.count("marlex99.ini"), 0) << "nothing stored while a margin is refused";

        QTest::keyClick(d.Edit10, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d.Edit10, QStringLiteral("0"));
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible()) << "a page 0,5 mm high and 105 mm wide can be printed on";
    });
    EXPECT_EQ(r.wert("RandOben"), "150");
    EXPECT_EQ(r.wert("RandUnten"), "146,5");
    EXPECT_EQ(r.wert("RandRechts"), "105");
    EXPECT_EQ(r.wert("RandLinks"), "0");
    EXPECT_EQ(OptRandUnten, "146,5") << "the options in force are the stored ones";
}

// The font dialog starts from the screen font in its real style (not on
// the family's first style, "Oblique"), and the screen shows exactly what is
// stored: the font's name and size, upright and of normal weight, whatever
// style was picked.
TEST(Optionen, TheFontDialogStartsOnTheScreenFontsStyleAndTheScreenShowsWhatIsStored)
{
    Optionsregister r;
    TMarlex& m = r.m();
    const auto schriftWaehlen = [&](const std::function<void(QFontDialog&)>& schritte) {
        r.optionen([&](TOptionen& d) {
            fixtures::imDialogVon<QFontDialog>([&] { QTest::mouseClick(d.Button3, Qt::LeftButton); }, schritte);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            EXPECT_FALSE(d.isVisible());
        });
    };
    const auto erwarteBildschirm = [&](int groesse) {
        for (const QWidget* w : std::initializer_list<const QWidget*>{m.ListBox1, m.DBGrid1}) {
            EXPECT_EQ(w->font().family(), "DejaVu Sans") << w->objectName().toStdString();
            EXPECT_EQ(w->font().pointSize(), groesse) << w->objectName().toStdString();
            EXPECT_FALSE(w->font().italic()) << w->objectName().toStdString();
            EXPECT_EQ(w->font().weight(), QFont::Normal) << w->objectName().toStdString();
        }
        EXPECT_EQ(r.wert("FontName", SektionFont), "DejaVu Sans");
        EXPECT_EQ(r.wert("FontSize", SektionFont), QString::number(groesse));
    };

    schriftWaehlen([](QFontDialog& f) {
        f.setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        QTest::keyClick(&f, Qt::Key_Return);
    });
    erwarteBildschirm(12);

    // Opened again and confirmed as it opened: the screen stays as it is.
    schriftWaehlen([](QFontDialog& f) {
        const QFont start = f.currentFont();
        EXPECT_EQ(start.family(), "DejaVu Sans");
        EXPECT_EQ(start.pointSize(), 12);
        EXPECT_FALSE(start.italic()) << "opened on " << start.styleName().toStdString();
        EXPECT_EQ(start.weight(), QFont::Normal) << "opened on " << start.styleName().toStdString();
        QTest::keyClick(&f, Qt::Key_Return);
    });
    erwarteBildschirm(12);

    // A bold oblique style picked: only the name and the size are kept.
    schriftWaehlen([](QFontDialog& f) {
        f.setCurrentFont(QFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold, true));
        ASSERT_TRUE(f.currentFont().italic());
        QTest::keyClick(&f, Qt::Key_Return);
    });
    erwarteBildschirm(14);
}
