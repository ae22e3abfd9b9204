#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "FilterTestSupport.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "fixtures/Dbfread.h"
#include "ini/IniFile.h"
#include "search/Filtersetzen.h"
#include "search/Recherche.h"
#include "search/Recherchelauf.h"

using namespace filtertest;

// Names and messages in failure reports as text.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QStringList alleNamen = {u"Aceton"_qs, u"Benzol"_qs, u"Chlor"_qs, u"Dimethylketon"_qs,
                               u"Ethanol"_qs, u"O'Brien-Reagenz"_qs, u"Propanon"_qs};
const QStringList leichtEntzuendlich = {u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Propanon"_qs};

// What the user enters in the research dialog.
struct Eingabe {
    QString text;
    bool synonyme = true;
    bool filterMitbenutzen = true;
    bool grossKlein = false;
};

// The filter tests' register, started as the program starts (the research
// tables made at start), with the user's answers to questions chosen by the
// test.
class Recherche : public ::testing::Test {
protected:
    ~Recherche() override
    {
        programm.reset();
        if (frueheresBenutzerverzeichnis)
            qputenv("XDG_CONFIG_HOME", *frueheresBenutzerverzeichnis);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    // `nurLesen`: read-only mode, whose working folder lies in the test's
    // own user folder.
    void starten(bool nurLesen = false)
    {
        registerSchreiben(reg);
        if (nurLesen) {
            if (qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
                frueheresBenutzerverzeichnis = qgetenv("XDG_CONFIG_HOME");
            qputenv("XDG_CONFIG_HOME", (QDir::currentPath() + u"/benutzer"_qs).toUtf8());
            ini::IniFile(reg.ini()).writeString(u"Optionen"_qs, u"Nur Lesemodus"_qs, u"1"_qs);
        }
        reg.einstellung(u"Optionen"_qs, u"First"_qs, u"0"_qs); // not the first start: no takeover offered
        programm.emplace();
        ASSERT_TRUE(programm->gestartet());
        meldungen.clear();
    }

    // A register of the name and substance tables `schreiben` writes, no
    // stock, started as the program starts.
    void startenMit(const std::function<void()>& schreiben)
    {
        marlextest::symbolOrdnerSchreiben(QDir(reg.programm()));
        schreiben();
        marlextest::lagerSchreiben({});
        marlextest::formelnSchreiben({});
        marlextest::siGefSchreiben({});
        QFile liste(u"FILES.TXT"_qs);
        ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
        liste.write("namen.dbf\r\nchemie.dbf\r\n");
        liste.close();
        reg.einstellung(u"Optionen"_qs, u"First"_qs, u"0"_qs); // not the first start: no takeover offered
        programm.emplace();
        ASSERT_TRUE(programm->gestartet());
        meldungen.clear();
    }
    // Opens the research by its menu item and fills in the dialog as a user
    // does; OK is clicked. Returns the number of name rows the research
    // reported found.
    int recherchieren(QAction* befehl, const Eingabe& e)
    {
        int treffer = -1;
        imDialogVon<TRecherche>([&] { befehl->trigger(); },
                                [&](TRecherche& d) {
                                    // Typed key by key, umlauts too.
                                    for (const QChar zeichen : e.text)
                                        QTest::sendKeyEvent(QTest::Click, d.Edit1, Qt::Key_unknown, QString(zeichen),
                                                            Qt::NoModifier);
                                    EXPECT_EQ(d.Edit1->text(), e.text);
                                    const auto setzen = [](QCheckBox* feld, bool an) {
                                        if (feld->isChecked() != an)
                                            QTest::mouseClick(feld, Qt::LeftButton, {}, QPoint(4, feld->height() / 2));
                                        EXPECT_EQ(feld->isChecked(), an) << feld->objectName().toStdString();
                                    };
                                    setzen(d.CheckBox1, e.synonyme);
                                    if (d.CheckBox2->isEnabled())
                                        setzen(d.CheckBox2, e.filterMitbenutzen);
                                    setzen(d.CheckBox3, e.grossKlein);
                                    QTest::mouseClick(d.Button1, Qt::LeftButton);
                                    EXPECT_FALSE(d.isVisible()) << "OK closes the dialog";
                                    EXPECT_EQ(d.RechercheGefunden, d.RechercheTrefferAnzahl > 0);
                                    treffer = d.RechercheTrefferAnzahl;
                                });
        return treffer;
    }

    void listenfilter(const QString& text)
    {
        imDialog([] { Marlex->Filtersetzen1->trigger(); },
                 [&](TFiltersetzen& d) {
                     tippen(d, text);
                     setzen(d);
                 });
    }

    void klicken(const char* knopf)
    {
        auto* button = Marlex->findChild<QToolButton*>(QLatin1String(knopf));
        ASSERT_NE(button, nullptr) << knopf;
        ASSERT_TRUE(button->isEnabled()) << knopf;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QStringList meldungstexte() const
    {
        QStringList texte;
        for (const widgets::MessageRequest& m : meldungen)
            texte << m.text;
        return texte;
    }

    // The rows of a table file as an independent reader reads them.
    static QStringList gelesen(const QString& datei)
    {
        QStringList namen;
        for (const QJsonValue& zeile : fixtures::readWithDbfread(datei.toStdString()).rows)
            namen << zeile[u"NAME1"_qs].toString();
        namen.sort();
        return namen;
    }

    marlextest::Register reg;
    std::vector<widgets::MessageRequest> meldungen;
    widgets::Answer jaNein = widgets::Answer::Yes;
    widgets::ScopedAnswerProvider antworten{[this](const widgets::MessageRequest& m) {
        meldungen.push_back(m);
        return m.buttons.contains(widgets::Answer::Yes) ? jaNein : widgets::Answer::Ok;
    }};
    std::optional<QByteArray> frueheresBenutzerverzeichnis;
    std::optional<Programm> programm;
};

} // namespace

// A research into TMP1 shows the research table; the switch goes back to the
// register's names and to TMP1 again, by the tool buttons and the menu, and
// the table already shown is only told. An independent reader reads the
// research table with the rows the list shows.
TEST_F(Recherche, IntoTmp1ThenSwitchedToStammAndBack)
{
    starten();
    TMarlex& m = *Marlex;
    EXPECT_FALSE(m.TMP11->isEnabled());
    EXPECT_FALSE(m.ToolButton49->isEnabled());
    m.ListBox1->setItemIndex(2);
    m.Stamm1->trigger();
    EXPECT_EQ(meldungstexte(), QStringList{u"STAMM-Datenbank ist schon aktiv!"_qs});
    EXPECT_EQ(m.ListBox1->itemIndex(), 2) << "the list is left as it was";

    EXPECT_EQ(recherchieren(m.RechercheinTMP11, {u"f+"_qs}), 4) << "the count is of name rows";
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP1"_qs);
    EXPECT_EQ(Datas->Table1->tableName(), Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs));
    EXPECT_TRUE(m.TMP11->isEnabled());
    EXPECT_TRUE(m.ToolButton49->isEnabled());
    EXPECT_FALSE(m.TMP21->isEnabled());
    EXPECT_FALSE(ListeEinlesen->isVisible());
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), leichtEntzuendlich);
    std::vector<std::string> tags;
    for (const dbase::IndexDef& tag : Datas->Table1->indexDefs())
        tags.push_back(tag.name);
    EXPECT_EQ(tags, (std::vector<std::string>{"CARN_SUB", "NAME1_SUB"}));

    klicken("ToolButton48");
    EXPECT_EQ(listenzeilen(m), alleNamen);
    EXPECT_EQ(m.ListBox1->itemIndex(), 0);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"STAMM"_qs);
    EXPECT_EQ(Datas->Table1->tableName(), u"namen.dbf"_qs);

    klicken("ToolButton49");
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP1"_qs);
    m.TMP11->trigger();
    EXPECT_EQ(meldungstexte().back(), u"TMP1-Datenbank ist schon aktiv!"_qs);
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);

    // Nothing found: the research table is emptied and cannot be switched
    // to; the list stays on TMP1.
    recherchieren(m.RechercheinTMP21, {u"gibt es nicht"_qs});
    EXPECT_EQ(meldungstexte().back(), u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs);
    EXPECT_FALSE(m.TMP21->isEnabled());
    EXPECT_FALSE(m.ToolButton50->isEnabled());
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP1"_qs);
    EXPECT_EQ(meldungstexte().size(), 3) << meldungstexte().join('\n').toStdString();
}

// The table the list shows is where a research takes its name rows from:
// a research into it is refused, also while the list filter stands on it,
// and the table keeps its rows.
TEST_F(Recherche, IntoTheTableShownIsRefused)
{
    starten();
    TMarlex& m = *Marlex;
    recherchieren(m.RechercheinTMP11, {u"f+"_qs});
    ASSERT_EQ(listenzeilen(m), leichtEntzuendlich);

    recherchieren(m.RechercheinTMP11, {u"Chlor"_qs});
    EXPECT_EQ(meldungstexte(), QStringList{u"Es kann nicht auf sich selbst recherchiert werden."_qs});
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);

    listenfilter(u"WGK='3'"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    recherchieren(m.RechercheinTMP11, {u"Chlor"_qs, true, false});
    EXPECT_EQ(meldungstexte().back(), u"Es kann nicht auf sich selbst recherchiert werden."_qs);
    EXPECT_EQ(meldungstexte().size(), 2) << meldungstexte().join('\n').toStdString();
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), leichtEntzuendlich);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(m.ListenFilterAktiv, 1);
}

// The user's text is searched for as it is, an apostrophe like any other
// character, and the substance found has an apostrophe in its key too.
TEST_F(Recherche, AnApostropheIsSearchedFor)
{
    starten();
    recherchieren(Marlex->RechercheinTMP21, {u"O'B"_qs});
    EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"O'Brien-Reagenz"_qs});
    EXPECT_EQ(Marlex->StatusPanel[1]->text(), u"TMP2"_qs);
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();

    klicken("ToolButton48");
    recherchieren(Marlex->RechercheinTMP11, {u"'"_qs});
    EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"O'Brien-Reagenz"_qs});
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), QStringList{u"O'Brien-Reagenz"_qs});
}

// Letter case, the text anywhere in a field, one name per substance
// without its synonyms.
TEST_F(Recherche, CaseContainmentAndSynonyms)
{
    starten();
    TMarlex& m = *Marlex;
    recherchieren(m.RechercheinTMP11, {u"ZOL"_qs});
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs}) << "found in the middle of a field";

    klicken("ToolButton48");
    recherchieren(m.RechercheinTMP11, {u"zol"_qs, true, true, true});
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    recherchieren(m.RechercheinTMP21, {u"ZOL"_qs, true, true, true});
    EXPECT_EQ(meldungstexte().back(), u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs);

    // The names come from the table shown: TMP1 holds Benzol alone.
    EXPECT_EQ(recherchieren(m.RechercheinTMP21, {u"f+"_qs, false}), 1);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});

    // From the register's names Aceton is taken once, by its first name.
    klicken("ToolButton48");
    EXPECT_EQ(recherchieren(m.RechercheinTMP21, {u"f+"_qs, false}), 2);
    EXPECT_EQ(listenzeilen(m), QStringList({u"Aceton"_qs, u"Benzol"_qs}));
}

// Umlauts keep their case: only a to z are compared without it.
TEST_F(Recherche, OnlyTheLettersAToZIgnoreCase)
{
    startenMit([] {
        marlextest::namenSchreiben({{u"Äther"_qs, ethanol}, {u"Chlor"_qs, chlor}});
        marlextest::chemieSchreiben({{ethanol, u"1"_qs, {{marlextest::NAME1, u"Äther"_qs}}},
                                     {chlor, u"1"_qs, {{marlextest::NAME1, u"Chlor"_qs}}}});
    });
    ASSERT_TRUE(programm && programm->gestartet());

    recherchieren(Marlex->RechercheinTMP11, {u"ÄTHER"_qs});
    EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"Äther"_qs});
    recherchieren(Marlex->RechercheinTMP21, {u"äTHER"_qs});
    EXPECT_EQ(meldungstexte(), QStringList{u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs});
}

// Numbers are searched as the record page shows them: 58.080 in chemie.dbf
// is found as "58,08", "8,1" in 78.100, and the stored zeros of 70.900 are
// not there to be found.
TEST_F(Recherche, NumbersAreFoundAsTheyAreShown)
{
    constexpr int molmasse = 27;
    startenMit([&] {
        marlextest::namenSchreiben({{u"Aceton"_qs, aceton}, {u"Benzol"_qs, benzol}, {u"Chlor"_qs, chlor}});
        marlextest::chemieSchreiben(
            {{aceton, u"1"_qs, {{marlextest::NAME1, u"Aceton"_qs}, {molmasse, u"58.08"_qs}}},
             {benzol, u"1"_qs, {{marlextest::NAME1, u"Benzol"_qs}, {molmasse, u"78.1"_qs}}},
             {chlor, u"1"_qs, {{marlextest::NAME1, u"Chlor"_qs}, {molmasse, u"70.9"_qs}}}});
    });
    ASSERT_TRUE(programm && programm->gestartet());

    EXPECT_EQ(recherchieren(Marlex->RechercheinTMP11, {u"58,08"_qs}), 1);
    EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"Aceton"_qs});
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), QStringList{u"Aceton"_qs});
    klicken("ToolButton48");
    EXPECT_EQ(recherchieren(Marlex->RechercheinTMP21, {u"8,1"_qs}), 1);
    EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"Benzol"_qs});
    klicken("ToolButton48");
    EXPECT_EQ(recherchieren(Marlex->RechercheinTMP11, {u"900"_qs}), 0);
    EXPECT_EQ(meldungstexte().back(), u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs)
        << "70.9 is stored as 70.900";
}

// With the list filter on, the research searches its substances only or
// all of them, as the user chooses; afterwards the filter is in force as
// before, and the list shows the research table's names that pass it.
TEST_F(Recherche, UnderTheListFilter)
{
    starten();
    TMarlex& m = *Marlex;
    listenfilter(u"WGK='3'"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});

    recherchieren(m.RechercheinTMP11, {u"F+"_qs});
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), QStringList{u"Benzol"_qs});
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});

    klicken("ToolButton48");
    recherchieren(m.RechercheinTMP21, {u"F+"_qs, true, false});
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp2.dbf"_qs)), leichtEntzuendlich) << "all substances searched, all their names";
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP2"_qs);
    EXPECT_EQ(m.ListenFilterAktiv, 1);
    EXPECT_EQ(Datas->Table2->filterText(), u"WGK='3'"_qs);
    EXPECT_TRUE(Datas->Table2->filtered());
    EXPECT_EQ(Datas->Table1->tableName(), Datas->arbeitsdatei(u"filter.dbf"_qs));
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();
}

// The list filter follows the switch: filter.dbf is made from the rows of
// the table switched to.
TEST_F(Recherche, TheListFilterFollowsTheSwitch)
{
    starten();
    TMarlex& m = *Marlex;
    recherchieren(m.RechercheinTMP11, {u"e"_qs});
    ASSERT_EQ(listenzeilen(m), QStringList({u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Ethanol"_qs,
                                            u"O'Brien-Reagenz"_qs, u"Propanon"_qs}));
    klicken("ToolButton48");
    listenfilter(u"GEFSYM1='Xi' or GEFSYM1='T'"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList({u"Chlor"_qs, u"O'Brien-Reagenz"_qs}));

    klicken("ToolButton49");
    EXPECT_EQ(listenzeilen(m), QStringList{u"O'Brien-Reagenz"_qs});
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP1"_qs);
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"filter.dbf"_qs)), QStringList{u"O'Brien-Reagenz"_qs});
    m.TMP11->trigger();
    EXPECT_EQ(meldungstexte().back(), u"TMP1-Datenbank ist schon aktiv!"_qs) << "asked of the name table, not filter.dbf";

    m.Stamm1->trigger();
    EXPECT_EQ(listenzeilen(m), QStringList({u"Chlor"_qs, u"O'Brien-Reagenz"_qs}));
    EXPECT_EQ(m.ListBox1->itemIndex(), 0);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"STAMM"_qs);
}

// A research table that cannot be opened is told; the list stays with the
// table it showed, which stays current.
TEST_F(Recherche, ASwitchToATableThatDoesNotOpenKeepsTheList)
{
    starten();
    TMarlex& m = *Marlex;
    recherchieren(m.RechercheinTMP11, {u"f+"_qs});
    klicken("ToolButton48");
    ASSERT_TRUE(QFile::remove(Datas->arbeitsdatei(u"zan_tmp1.mdx"_qs)));

    klicken("ToolButton49");
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_EQ(meldungen[0].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(meldungen[0].text.startsWith(u"Die TMP1-Datenbank kann nicht geöffnet werden"_qs))
        << meldungen[0].text.toStdString();
    EXPECT_EQ(m.AktuelleNamenDatei, u"namen.dbf"_qs);
    EXPECT_EQ(m.StatusPanel[1]->text(), u"STAMM"_qs);
    EXPECT_TRUE(Datas->Table1->active());
    EXPECT_EQ(listenzeilen(m), alleNamen);
    QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, {},
                      m.ListBox1->visualRect(m.ListBox1->model()->index(1, 0)).center());
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), u"Benzol"_qs) << "list and name table go together";
}

// Earlier results are overwritten only when the user agrees; declined,
// nothing changes.
TEST_F(Recherche, OverwritingEarlierResultsIsAsked)
{
    starten();
    TMarlex& m = *Marlex;
    recherchieren(m.RechercheinTMP11, {u"f+"_qs});
    klicken("ToolButton48");
    listenfilter(u"WGK='3'"_qs);
    meldungen.clear();

    jaNein = widgets::Answer::No;
    recherchieren(m.RechercheinTMP11, {u"Chlor"_qs, true, false});
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_EQ(meldungen[0].text, u"Soll die Recherche-TMP Datei überschrieben werden?"_qs);
    EXPECT_EQ(meldungen[0].kind, widgets::MessageKind::Warning);
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), leichtEntzuendlich);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    EXPECT_EQ(m.StatusPanel[1]->text(), u"STAMM"_qs);
    EXPECT_TRUE(m.TMP11->isEnabled());
    EXPECT_EQ(Datas->Table2->filterText(), u"WGK='3'"_qs);

    jaNein = widgets::Answer::Yes;
    recherchieren(m.RechercheinTMP11, {u"Chlor"_qs, true, false});
    EXPECT_EQ(gelesen(Datas->arbeitsdatei(u"zan_tmp1.dbf"_qs)), QStringList{u"Chlor"_qs});
    EXPECT_EQ(listenzeilen(m), QStringList{}) << "Chlor does not pass the list filter";
    EXPECT_EQ(m.StatusPanel[1]->text(), u"TMP1"_qs);
}

// In read-only mode the register's folder is not written: the research
// tables and the list filter's table lie in the user's working folder.
TEST_F(Recherche, ReadOnlyModeWritesIntoTheWorkingFolder)
{
    starten(true);
    TMarlex& m = *Marlex;
    ASSERT_TRUE(OptNurLesemodus);
    const QString arbeitsordner = Datas->Arbeitsordner;
    ASSERT_FALSE(arbeitsordner.isEmpty());
    ASSERT_NE(QFileInfo(arbeitsordner).absoluteFilePath(), QDir::current().absolutePath());

    recherchieren(m.RechercheinTMP11, {u"f+"_qs});
    EXPECT_EQ(listenzeilen(m), leichtEntzuendlich);
    listenfilter(u"WGK='3'"_qs);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    klicken("ToolButton48");
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});

    EXPECT_EQ(gelesen(arbeitsordner + u"/zan_tmp1.dbf"_qs), leichtEntzuendlich);
    EXPECT_EQ(gelesen(arbeitsordner + u"/filter.dbf"_qs), QStringList{u"Benzol"_qs});
    for (const char* datei : {"zan_tmp1.dbf", "zan_tmp1.mdx", "zan_tmp2.dbf", "filter.dbf", "filter.mdx"})
        EXPECT_FALSE(QFileInfo::exists(QLatin1String(datei))) << datei << " written into the register's folder";
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();
}

// The progress label counts the substances found, not the name rows copied
// after: "f+" finds Aceton (three names) and Benzol. The scan reports its
// running count row by row, which the label shows whenever the window is
// brought up to date.
TEST_F(Recherche, TheProgressLabelCountsTheSubstancesFoundWhileItScans)
{
    starten();
    TMarlex& m = *Marlex;
    // What the label says each time the window is brought up to date.
    QStringList gezeigt;
    QTimer ablesen;
    QObject::connect(&ablesen, &QTimer::timeout, [&] {
        if (ListeEinlesen->isVisible() && ListeEinlesen->windowTitle() == u"Recherche"_qs)
            gezeigt << ListeEinlesen->Label1->text();
    });
    ablesen.start(0);
    EXPECT_EQ(recherchieren(m.RechercheinTMP11, {u"f+"_qs}), 4) << "four name rows";
    ablesen.stop();
    gezeigt.removeDuplicates();
    EXPECT_EQ(gezeigt, (QStringList{u"Datensätze werden durchsucht: 0 Datensätze gefunden"_qs,
                                    u"Datensätze werden durchsucht: 2 Datensätze gefunden"_qs}));

    std::vector<std::size_t> zaehler;
    dbase::Table& chemie = *Datas->Table2;
    const Stoffschluesselmenge stoffe =
        StoffeSuchen(chemie, u"f+"_qs, false, [&](std::size_t gefunden) { zaehler.push_back(gefunden); });
    EXPECT_EQ(stoffe.size(), 2u);
    ASSERT_EQ(zaehler.size(), static_cast<std::size_t>(chemie.recordCount())) << "once per row";
    std::size_t schritte = 0;
    for (std::size_t i = 1; i < zaehler.size(); ++i) {
        EXPECT_LE(zaehler[i - 1], zaehler[i]);
        EXPECT_LE(zaehler[i] - zaehler[i - 1], 1u);
        schritte += zaehler[i] - zaehler[i - 1];
    }
    EXPECT_EQ(zaehler.front() + schritte, 2u);
    EXPECT_EQ(zaehler.back(), 2u) << "the count as the scan goes";
}
