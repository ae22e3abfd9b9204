// The label commands of the storage page used as a user uses them: a click
// on the tool button, the dialog answered with clicks and typing, the
// printed PDF read back with poppler's tools and the storage table with
// dbfread. The register is the demo's with its own label layout.

#include <gtest/gtest.h>

#include <map>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "data/OptionenDialog.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "labels/EtikettenDruck.h"
#include "labels/EtikettenLayout.h"
#include "labels/EtikettenPreview.h"
#include "report/Output.h"
#include "reports/Drucker.h"
#include "reports/Vorschau.h"
#include "search/Recherche.h"
#include "sheets/SheetSession.h"
#include "widgets/DBGrid.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"
#include "EtikettenTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Events.h"
#include "fixtures/Modal.h"
#include "fixtures/Poppler.h"

namespace {

using etikettentest::alle;
using fixtures::als;
using fixtures::ModalAntworten;
using fixtures::poppler;

const QString kCas = QStringLiteral("CAS-Nr.:");
const QStringList kCodes{"E", "O", "F+", "F", "T+", "T", "Xn", "Xi", "C", "N"};

// What the demo register says of a substance, read by dbfread.
struct Stoffdaten {
    QString name;
    int symbole = 0; // hazard symbol fields holding one of the ten codes
};

// Clicks a dialog's button as the user does.
template <class D>
ModalAntworten::Antwort klickt(QPushButton* D::*knopf)
{
    return als<D>([knopf](D& d) { QTest::mouseClick(d.*knopf, Qt::LeftButton); });
}

class EtikettenDialoge : public ::testing::Test {
protected:
    void SetUp() override
    {
        OptEtikettAnzahlLoeschen = true;
        Marlex->DruckDatei = out.filePath("etiketten.pdf");
        Marlex->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Marlex));
        seiteKlicken(Marlex->TabSheet3);
        ASSERT_EQ(Marlex->PageControl1->currentWidget(), Marlex->TabSheet3);
        ASSERT_TRUE(Marlex->ToolButton37->isVisible());
    }

    // Clicks the tab of a page as the user does.
    static void seiteKlicken(QWidget* seite)
    {
        QTabBar* reiter = Marlex->PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(Marlex->PageControl1->indexOf(seite)).center());
        QApplication::processEvents(); // the grid reads its rows anew
    }

    dbase::Table& lager() { return *Datas->Table3; }

    // ANZAHL of every stock row by record number, as dbfread reads lager.dbf.
    static std::map<int, int> anzahlen()
    {
        std::map<int, int> werte;
        const fixtures::DbfreadTable t = fixtures::readWithDbfread("lager.dbf");
        for (qsizetype i = 0; i < t.rows.size(); ++i)
            werte[int(i) + 1] = t.rows[i].toObject().value("ANZAHL").toInt();
        return werte;
    }

    static std::map<QString, Stoffdaten> stoffe()
    {
        std::map<QString, Stoffdaten> daten;
        for (const auto& zeile : fixtures::readWithDbfread("chemie.dbf").rows) {
            const QJsonObject satz = zeile.toObject();
            Stoffdaten& s = daten[satz.value("CARN").toString() + "/" + satz.value("SUBCARN").toString()];
            s.name = satz.value("NAME1").toString();
            for (const char* feld : {"GEFSYM1", "GEFSYM2", "GEFSYM3", "GEFSYM4"})
                s.symbole += kCodes.contains(satz.value(feld).toString()) ? 1 : 0;
        }
        return daten;
    }

    void anzahlSetzen(const QString& carn, const QString& subcarn, int anzahl)
    {
        etikettentest::anzahlSetzen(lager(), carn, subcarn, anzahl);
    }

    // Clicks the storage grid's row that holds `carn`/`subcarn`.
    void zeileKlicken(const QString& carn, const QString& subcarn)
    {
        widgets::DBGrid& grid = *Marlex->DBGrid1;
        for (int reihe = 0; reihe < grid.model()->rowCount(); ++reihe) {
            const QModelIndex zelle = grid.model()->index(reihe, 0);
            grid.scrollTo(zelle); // as the user scrolls to a row below the fold
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(zelle).center());
            if (lager().fieldByName("CARN").asString() == carn && lager().fieldByName("SUBCARN").asString() == subcarn)
                return;
        }
        FAIL() << "no row " << carn.toStdString() << " among " << grid.model()->rowCount();
    }

    // The pictures drawn on each page (pdfimages, soft masks not counted).
    static std::map<int, int> bilderProSeite(const QString& pdf)
    {
        std::map<int, int> bilder;
        for (const QString& zeile : poppler("pdfimages", {"-list", pdf}).split(QLatin1Char('\n'))) {
            const QStringList teile = zeile.simplified().split(QLatin1Char(' '));
            bool zahl = false;
            const int seite = teile.value(0).toInt(&zahl);
            if (zahl && teile.value(2) == QLatin1String("image"))
                ++bilder[seite];
        }
        return bilder;
    }

    QTemporaryDir out;
    sheets::SheetSession session;
};

} // namespace

TEST_F(EtikettenDialoge, GesamtPrintsEveryMarkedItemItsCountOfTimesFourToAPageAndResetsTheCounts)
{
    // Counts 0, 1 and 3 among the demo's own: ten labels on three pages,
    // the three of sodium chloride across the first page break.
    anzahlSetzen("7722-64-7", "1", 0);
    anzahlSetzen("64-17-5", "1", 1);
    anzahlSetzen("7647-14-5", "1", 3);
    const QStringList folge = etikettentest::etikettenfolge(lager());
    ASSERT_EQ(folge.size(), 10);
    ASSERT_FALSE(folge.contains("7722-64-7/1"));
    ASSERT_EQ(folge.count("7647-14-5/1"), 3);

    ModalAntworten antworten({als<TEtikettenDruck>([](TEtikettenDruck& d) {
        EXPECT_EQ(d.windowTitle(), "Gesamt Datensatz Etiketten-Druck");
        EXPECT_EQ(d.Edit5->text(), OptStandardEtikett) << "the default label";
        EXPECT_TRUE(QFileInfo(d.Edit5->text()).fileName() == "ETIKETT.ETI");
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    })});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
    EXPECT_EQ(session.takeMessages(), QStringList());

    const QString pdf = Marlex->DruckDatei;
    const std::vector<QStringList> seiten = etikettentest::casProSeite(pdf, kCas);
    ASSERT_EQ(seiten.size(), 3u);
    EXPECT_EQ(seiten[0].size(), 4);
    EXPECT_EQ(seiten[1].size(), 4);
    EXPECT_EQ(alle(seiten), etikettentest::nurCas(folge));
    EXPECT_EQ(seiten[0].back(), "7647-14-5");
    EXPECT_EQ(seiten[1].front(), "7647-14-5");

    // Each page shows the names of its labels' substances and their hazard
    // symbols, nothing of another page's.
    const std::map<QString, Stoffdaten> daten = stoffe();
    const QStringList texte = poppler("pdftotext", {pdf, "-"}).split(QLatin1Char('\f'));
    const std::map<int, int> bilder = bilderProSeite(pdf);
    for (std::size_t s = 0; s < seiten.size(); ++s) {
        int symbole = 0;
        for (const QString& etikett : folge.mid(qsizetype(s) * 4, 4)) {
            symbole += daten.at(etikett).symbole;
            EXPECT_TRUE(texte[qsizetype(s)].contains(daten.at(etikett).name))
                << "page " << s + 1 << ": " << etikett.toStdString();
        }
        EXPECT_EQ(bilder.count(int(s) + 1) ? bilder.at(int(s) + 1) : 0, symbole) << "page " << s + 1;
    }
    EXPECT_FALSE(texte[2].contains("Natriumchlorid")) << texte[2].toStdString();
    EXPECT_TRUE(texte[0].contains("Lösemittelschrank 1")) << "the storage place";
    EXPECT_TRUE(texte[0].contains("Chemikalienhandel Weber")) << "the supplier";

    for (const auto& [zeile, anzahl] : anzahlen())
        EXPECT_EQ(anzahl, 0) << "row " << zeile;
}

TEST_F(EtikettenDialoge, AktuellPrintsTheRowTheUserClickedAndResetsOnlyItsCount)
{
    anzahlSetzen("7647-01-0", "2", 3);
    zeileKlicken("7647-01-0", "2");
    const auto zeile = lager().recNo();
    const std::map<int, int> vorher = anzahlen();

    // A print that fails (its PDF file's folder is not there) keeps the
    // count; the next one prints and resets it.
    const QString pdf = Marlex->DruckDatei;
    Marlex->DruckDatei = out.filePath("fehlt/etiketten.pdf");
    ModalAntworten antworten({als<TEtikettenDruck>([](TEtikettenDruck& d) {
                                  EXPECT_EQ(d.windowTitle(), "Aktueller Datensatz Etiketten-Druck");
                                  QTest::mouseClick(d.Button1, Qt::LeftButton);
                              }),
                              klickt(&TEtikettenDruck::Button1)});
    QTest::mouseClick(Marlex->ToolButton3, Qt::LeftButton);
    EXPECT_EQ(session.takeMessages().size(), 1);
    EXPECT_EQ(anzahlen(), vorher);
    EXPECT_EQ(lager().recNo(), zeile);

    Marlex->DruckDatei = pdf;
    Marlex->EtikettenLangform2->trigger(); // the menu item "Aktuellen Datensatz"
    EXPECT_EQ(session.takeMessages(), QStringList());

    EXPECT_EQ(alle(etikettentest::casProSeite(Marlex->DruckDatei, kCas)), QStringList(3, "7647-01-0"));
    for (const auto& [satz, anzahl] : anzahlen())
        EXPECT_EQ(anzahl, satz == int(zeile) ? 0 : vorher.at(satz)) << "row " << satz;
    EXPECT_EQ(lager().recNo(), zeile) << "the user's row stays current";
}

TEST_F(EtikettenDialoge, ThePreviewShowsTheChosenScopeAndKeepsEveryCount)
{
    zeileKlicken("7647-01-0", "2"); // three labels
    const std::map<int, int> vorher = anzahlen();
    const auto vorschau = [](const QString& seiten) {
        return als<TVorschau>([seiten](TVorschau& v) {
            EXPECT_EQ(v.windowTitle(), "Vorschau - Etikett");
            EXPECT_TRUE(fixtures::processEventsUntil([&] { return v.Panel0->text() == seiten; }, 5000))
                << v.Panel0->text().toStdString();
            QTest::mouseClick(v.Button1, Qt::LeftButton);
        });
    };

    ModalAntworten antworten(
        {als<TEtikettenPreview>([](TEtikettenPreview& d) {
             EXPECT_EQ(d.windowTitle(), "Etiketten Drucklayout");
             EXPECT_TRUE(d.Aktuell->isChecked()) << "the current item is preselected";
             QTest::mouseClick(d.Button1, Qt::LeftButton);
         }),
         vorschau("Seite 1 von 1"),
         als<TEtikettenPreview>([](TEtikettenPreview& d) {
             QTest::mouseClick(d.AlleMarkierten, Qt::LeftButton);
             QTest::mouseClick(d.Button1, Qt::LeftButton);
         }),
         vorschau("Seite 1 von 3")});
    QTest::mouseClick(Marlex->ToolButton33, Qt::LeftButton);
    EXPECT_EQ(Marlex->EtikettUmfang, 0);
    Marlex->Layout2->trigger(); // the menu item "L&ayout"
    EXPECT_EQ(Marlex->EtikettUmfang, 1);
    EXPECT_EQ(antworten.gesehen(), QStringList({"TEtikettenPreview", "TVorschau", "TEtikettenPreview", "TVorschau"}));
    EXPECT_EQ(anzahlen(), vorher);
    EXPECT_EQ(session.takeMessages(), QStringList());
}

TEST_F(EtikettenDialoge, CancelAndTheCloseBoxStartNoJobAfterAnEarlierConfirmedOne)
{
    const std::map<int, int> vorher = anzahlen();
    ModalAntworten antworten({klickt(&TEtikettenDruck::Button2),
                              als<TEtikettenPreview>([](TEtikettenPreview& d) {
                                  QTest::mouseClick(d.Button1, Qt::LeftButton);
                              }),
                              fixtures::schliessen<TVorschau>(), fixtures::schliessen<TEtikettenDruck>(),
                              fixtures::schliessen<TEtikettenPreview>()});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
    EXPECT_EQ(Marlex->EtikettDialogOk, 0);
    QTest::mouseClick(Marlex->ToolButton33, Qt::LeftButton); // confirmed: a preview
    EXPECT_EQ(Marlex->EtikettDialogOk, 1);
    Marlex->Gesamt2->trigger();
    EXPECT_EQ(Marlex->EtikettDialogOk, 0);
    Marlex->Layout1->trigger();
    EXPECT_EQ(antworten.gesehen(),
              QStringList({"TEtikettenDruck", "TEtikettenPreview", "TVorschau", "TEtikettenDruck", "TEtikettenPreview"}));
    EXPECT_FALSE(QFile::exists(Marlex->DruckDatei));
    EXPECT_EQ(anzahlen(), vorher);
    EXPECT_EQ(session.takeMessages(), QStringList());
}

TEST_F(EtikettenDialoge, TheQuestionNamesThePrinterAndThePrinterButtonChangesItForLaterJobs)
{
    report::ScopedPrinters drucker({"Büro", "Labor"}, 0, [](const QString&, const std::vector<report::Page>&) {});
    Marlex->DruckDatei.clear();
    Marlex->DruckerIndex = 1;
    bool ok = true;
    reports::ScopedDruckerDialog dialog([&ok](QWidget*, reports::Druckerwahl& wahl) {
        wahl.drucker = "Büro";
        return ok;
    });
    const QString frage = QStringLiteral("Soll der Etikettendruck auf dem Drucker %1 gedruckt werden?");
    ModalAntworten antworten({als<TEtikettenDruck>([&](TEtikettenDruck& d) {
        EXPECT_EQ(d.Label1->text(), frage.arg("Labor"));
        ok = false; // cancelled: the printer stays, the question is built anew
        QTest::mouseClick(d.Button4, Qt::LeftButton);
        EXPECT_EQ(d.Label1->text(), frage.arg("Labor"));
        EXPECT_EQ(Marlex->DruckerIndex, 1);
        ok = true;
        QTest::mouseClick(d.Button4, Qt::LeftButton);
        EXPECT_EQ(d.Label1->text(), frage.arg("Büro"));
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    })});
    QTest::mouseClick(Marlex->ToolButton3, Qt::LeftButton);
    EXPECT_EQ(Marlex->DruckerIndex, 0) << "the new printer is the program's, also after Abbruch";
    EXPECT_EQ(TEtikettenDruck(Marlex).frage(), frage.arg("Büro"));
}

TEST_F(EtikettenDialoge, IntoAPdfFileTheLabelsTakeAFileOfTheirOwnAndReplaceOneOnlyWhenTheUserSaysSo)
{
    // The sheet printed before went into Aceton.pdf, the file of the choice.
    const QString blatt = out.filePath("Aceton.pdf");
    QFile alt(blatt);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("das Stoffinfo von vorhin");
    alt.close();
    Marlex->DruckDatei = blatt;
    const QString pdf = out.filePath("Etiketten.pdf");
    const QString frage = "Soll der Etikettendruck in die PDF-Datei " + pdf + " gedruckt werden?";
    QStringList fragen;
    widgets::Answer antwort = widgets::Answer::No;
    widgets::ScopedAnswerProvider ersetzen([&](const widgets::MessageRequest& r) {
        fragen << r.text;
        return antwort;
    });

    zeileKlicken("64-17-5", "1");
    anzahlSetzen("64-17-5", "1", 1);
    ModalAntworten antworten({als<TEtikettenDruck>([&](TEtikettenDruck& d) {
                                  EXPECT_EQ(d.Label1->text(), frage);
                                  QTest::mouseClick(d.Button1, Qt::LeftButton);
                              }),
                              // The labels' file is there now: "Nein" keeps
                              // it and the dialog, "Ja" replaces it.
                              als<TEtikettenDruck>([&](TEtikettenDruck& d) {
                                  EXPECT_EQ(d.Label1->text(), frage);
                                  QTest::mouseClick(d.Button1, Qt::LeftButton);
                                  EXPECT_TRUE(d.isVisible());
                                  EXPECT_EQ(alle(etikettentest::casProSeite(pdf, kCas)), QStringList{"64-17-5"});
                                  antwort = widgets::Answer::Yes;
                                  QTest::mouseClick(d.Button1, Qt::LeftButton);
                              })});
    QTest::mouseClick(Marlex->ToolButton3, Qt::LeftButton);
    EXPECT_EQ(alle(etikettentest::casProSeite(pdf, kCas)), QStringList{"64-17-5"});
    EXPECT_EQ(Marlex->DruckDatei, pdf) << "the last file, beside which the next job's goes";
    EXPECT_TRUE(fragen.isEmpty()) << fragen.join("\n").toStdString();

    anzahlSetzen("7647-14-5", "1", 2);
    zeileKlicken("7647-14-5", "1");
    QTest::mouseClick(Marlex->ToolButton3, Qt::LeftButton);
    const QString ersetzenFrage =
        "Die Datei " + QDir::toNativeSeparators(pdf) + " gibt es schon. Soll sie ersetzt werden?";
    EXPECT_EQ(fragen, (QStringList{ersetzenFrage, ersetzenFrage}));
    EXPECT_EQ(alle(etikettentest::casProSeite(pdf, kCas)), QStringList(2, "7647-14-5"));
    QFile blattDanach(blatt);
    ASSERT_TRUE(blattDanach.open(QIODevice::ReadOnly));
    EXPECT_EQ(blattDanach.readAll(), "das Stoffinfo von vorhin");
    EXPECT_EQ(session.takeMessages(), QStringList());
}

TEST_F(EtikettenDialoge, ABadLabelFileOrMarginIsToldAndChangesNothing)
{
    QFile kaputt(out.filePath("KAPUTT.ETI"));
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("TPF0 kein Etikett");
    kaputt.close();
    lager().setFilter(dbase::Filter::parse("ANZAHL>1"));
    lager().setFiltered(true);
    lager().first();
    const auto zeile = lager().recNo();
    const QString index = Datas->Table1->indexName();
    const std::map<int, int> vorher = anzahlen();

    const auto drucken = [&](const QString& datei, const char* erwartet) {
        SCOPED_TRACE(datei.toStdString());
        ModalAntworten antworten({als<TEtikettenDruck>([datei](TEtikettenDruck& d) {
            d.Edit5->clear();
            QTest::keyClicks(d.Edit5, datei);
            QTest::mouseClick(d.Button1, Qt::LeftButton);
        })});
        QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
        const QStringList meldungen = session.takeMessages();
        ASSERT_EQ(meldungen.size(), 1) << meldungen.join("\n").toStdString();
        EXPECT_TRUE(meldungen.front().contains(QString::fromUtf8(erwartet))) << meldungen.front().toStdString();
        EXPECT_FALSE(QFile::exists(Marlex->DruckDatei));
        EXPECT_TRUE(lager().filtered());
        EXPECT_EQ(lager().filter().text(), QStringLiteral("ANZAHL>1"));
        EXPECT_EQ(lager().recNo(), zeile);
        EXPECT_EQ(Datas->Table1->indexName(), index);
        EXPECT_EQ(anzahlen(), vorher);
    };
    drucken(out.filePath("FEHLT.ETI"), "kann nicht gelesen werden");
    drucken(kaputt.fileName(), "kann nicht gelesen werden");
    drucken({}, "keine Etikettendatei");
    const QString rand = OptRandLinks;
    OptRandLinks = QStringLiteral("1O");
    drucken(OptStandardEtikett, "Rand links");
    OptRandLinks = rand;
}

TEST_F(EtikettenDialoge, BlanksTypedAroundTheLabelFileNameAreNoPartOfIt)
{
    seiteKlicken(Marlex->TabSheet3);
    anzahlSetzen("64-17-5", "1", 1);
    ModalAntworten antworten({als<TEtikettenDruck>([](TEtikettenDruck& d) {
        d.Edit5->clear();
        QTest::keyClicks(d.Edit5, "  " + OptStandardEtikett + " ");
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    })});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
    EXPECT_EQ(session.takeMessages(), QStringList());
    EXPECT_TRUE(QFile::exists(Marlex->DruckDatei));
}

TEST_F(EtikettenDialoge, StockItemsWithoutSubstanceDataAreNamedAfterTheJob)
{
    dbase::Table& t = lager();
    for (t.first(); !t.eof(); t.next()) {
        t.edit();
        t.fieldByName("ANZAHL").setAsInteger(0);
        t.post();
    }
    t.append();
    t.fieldByName("CARN").setAsString("99-99-9");
    t.fieldByName("SUBCARN").setAsString("1");
    t.fieldByName("ANZAHL").setAsInteger(2);
    t.post();
    seiteKlicken(Marlex->TabSheet1);
    seiteKlicken(Marlex->TabSheet3);
    zeileKlicken("99-99-9", "1");

    ModalAntworten antworten({klickt(&TEtikettenDruck::Button1)});
    QTest::mouseClick(Marlex->ToolButton3, Qt::LeftButton);
    // Two labels with their fields empty, never another substance's data.
    const QString text = poppler("pdftotext", {Marlex->DruckDatei, "-"});
    EXPECT_EQ(text.count(kCas), 2) << text.toStdString();
    for (const auto& [cas, stoff] : stoffe())
        EXPECT_FALSE(text.contains(stoff.name)) << stoff.name.toStdString();
    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen.front().contains("99-99-9")) << meldungen.front().toStdString();
}

TEST_F(EtikettenDialoge, InReadOnlyModeAPrintKeepsTheCountsAndSaysTheLabelsWerePrinted)
{
    // Read-only mode switched on in the options (on the list page, where
    // the menu "Marlex" is), as a user does.
    seiteKlicken(Marlex->TabSheet1);
    fixtures::imDialogVon<TOptionen>([] { Marlex->Optionen1->trigger(); }, [](TOptionen& d) {
        QTabBar* reiter = d.PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(d.PageControl1->indexOf(d.TabSheet2)).center());
        ASSERT_EQ(d.PageControl1->currentWidget(), d.TabSheet2);
        QTest::mouseClick(d.CheckBox12, Qt::LeftButton, {}, QPoint(6, d.CheckBox12->height() / 2));
        ASSERT_TRUE(d.CheckBox12->isChecked());
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    ASSERT_TRUE(lager().readOnly());
    ASSERT_TRUE(OptEtikettAnzahlLoeschen);
    seiteKlicken(Marlex->TabSheet3);
    const QStringList folge = etikettentest::etikettenfolge(lager());
    ASSERT_FALSE(folge.isEmpty());
    const std::map<int, int> vorher = anzahlen();

    ModalAntworten antworten({klickt(&TEtikettenDruck::Button1)});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);

    EXPECT_EQ(alle(etikettentest::casProSeite(Marlex->DruckDatei, kCas)), etikettentest::nurCas(folge));
    EXPECT_EQ(anzahlen(), vorher);
    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1) << meldungen.join("\n").toStdString();
    EXPECT_TRUE(meldungen[0].contains("Die Etiketten wurden gedruckt")) << meldungen[0].toStdString();
    EXPECT_TRUE(meldungen[0].contains("Nur-Lesemodus")) << meldungen[0].toStdString();
    EXPECT_EQ(lager().state(), dbase::TableState::Browse);
}

TEST_F(EtikettenDialoge, WhileTheListShowsAResearchTableEveryLabelReadsTheWholeRegister)
{
    // A research into TMP1 finds a few substances, and the list shows them.
    seiteKlicken(Marlex->TabSheet1);
    fixtures::imDialogVon<TRecherche>([] { Marlex->RechercheinTMP11->trigger(); }, [](TRecherche& d) {
        QTest::keyClicks(d.Edit1, "Natrium");
        QTest::mouseClick(d.Button1, Qt::LeftButton);
    });
    session.takeMessages();
    const QString recherche = Datas->Table1->tableName();
    ASSERT_TRUE(recherche.contains("zan_tmp1", Qt::CaseInsensitive)) << recherche.toStdString();
    const int zeilen = Marlex->ListBox1->count();
    ASSERT_GT(zeilen, 0);

    // Ethanol is not among them; its label and every other show their
    // substance all the same, and nobody is told of missing data.
    seiteKlicken(Marlex->TabSheet3);
    anzahlSetzen("64-17-5", "1", 1);
    const QStringList folge = etikettentest::etikettenfolge(lager());
    ASSERT_TRUE(folge.contains("64-17-5/1"));
    ModalAntworten antworten({klickt(&TEtikettenDruck::Button1)});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
    EXPECT_EQ(session.takeMessages(), QStringList());
    EXPECT_EQ(alle(etikettentest::casProSeite(Marlex->DruckDatei, kCas)), etikettentest::nurCas(folge));
    const QString text = poppler("pdftotext", {Marlex->DruckDatei, "-"});
    EXPECT_TRUE(text.contains("Ethanol")) << text.toStdString();

    // The list still shows the research table.
    EXPECT_EQ(Datas->Table1->tableName(), recherche);
    EXPECT_EQ(Marlex->ListBox1->count(), zeilen);
}
