// The report generator's dialog and the print question driven as a user
// drives them: the main window's menu command, clicks on the file list, the
// output and the buttons, the printer chosen in the question.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "ReportLaufSupport.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "widgets/DBImage.h"
#include "widgets/MessageBox.h"
#include "report/Output.h"
#include "reports/Drucker.h"
#include "reports/ReportErstellung.h"
#include "reports/Reportdruck.h"
#include "reports/StoffinfoDialoge.h"
#include "reports/Vorschau.h"
#include "sheets/SheetSession.h"
#include "fixtures/Modal.h"

namespace {

using fixtures::als;
using fixtures::ModalAntworten;

void klicken(QWidget* widget)
{
    ASSERT_TRUE(widget->isVisible() && widget->isEnabled()) << widget->objectName().toStdString();
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void zeileKlicken(QListWidget& liste, const QString& text, bool doppelt = false)
{
    const auto treffer = liste.findItems(text, Qt::MatchExactly);
    ASSERT_EQ(treffer.size(), 1) << text.toStdString();
    liste.scrollToItem(treffer.front());
    const QPoint punkt = liste.visualItemRect(treffer.front()).center();
    QTest::mouseClick(liste.viewport(), Qt::LeftButton, {}, punkt);
    if (doppelt)
        QTest::mouseDClick(liste.viewport(), Qt::LeftButton, {}, punkt);
}

// Counts how often a widget is hidden: a flicker the user would see.
class Versteckzaehler : public QObject {
public:
    explicit Versteckzaehler(QWidget& widget) { widget.installEventFilter(this); }
    int mal = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::HideToParent)
            ++mal;
        return false;
    }
};

class ReportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The layout in the register's directory, where the lists start.
        reportlauf::testlayoutSchreiben(QDir::current().filePath("GIFT.REP"),
                                        {"lager.dbf", "LAGER_ORT='Giftschrank'"});
        Marlex->DruckDatei.clear();
        Marlex->DruckerIndex = 0;
    }

    sheets::SheetSession session;
    // Two printers; what is printed on which is recorded.
    std::vector<std::pair<QString, std::size_t>> gedruckt;
    report::ScopedPrinters drucker{{"Laser Lehrerzimmer", "Tinte Chemieraum"}, 0,
                                   [this](const QString& name, const std::vector<report::Page>& seiten) {
                                       gedruckt.emplace_back(name, seiten.size());
                                   }};
};

} // namespace

TEST_F(ReportDialog, AUserChoosesTheFileAnotherPrinterAndPrintsThenDeclinesAndLooksAtThePreview)
{
    // The printer dialog of "Druckerinstallation" answered with the second printer.
    reports::ScopedDruckerDialog druckerDialog([](QWidget*, reports::Druckerwahl& wahl) {
        wahl.drucker = QStringLiteral("Tinte Chemieraum");
        wahl.datei.clear();
        return true;
    });
    const auto lagerVorher = Datas->Table3->recNo();
    const auto namenVorher = Datas->Table1->recNo();
    bool durchgelaufen = false;
    QStringList fragen;
    QString vorschauTitel;

    // The windows in the order they open: the generator, the question
    // answered "Ja" after choosing the other printer, the question answered
    // "Nein", the preview.
    ModalAntworten antworten({
        als<TReportErstellung>([&](TReportErstellung& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Report erstellen");
            EXPECT_FALSE(dialog.Button1->isEnabled());
            EXPECT_FALSE(dialog.RadioGroup1->isEnabled());
            zeileKlicken(*dialog.FileListBox1, "GIFT.REP");
            EXPECT_TRUE(dialog.Button1->isEnabled());
            klicken(dialog.Drucker);
            klicken(dialog.Button1);
            EXPECT_EQ(Marlex->DruckerIndex, 1);

            // "Nein": nothing printed, the same file not read again.
            QFile::remove(QDir::current().filePath("GIFT.REP"));
            klicken(dialog.Button1);

            // The preview of the held layout.
            klicken(dialog.Bildschirm);
            klicken(dialog.Button1);

            // Another directory: nothing chosen, and the file is read afresh.
            zeileKlicken(*dialog.DirectoryListBox1, "[..]", true);
            EXPECT_NE(dialog.Verzeichnis().absolutePath(), QDir::currentPath());
            EXPECT_FALSE(dialog.Button1->isEnabled());
            EXPECT_TRUE(dialog.GeladeneReportDatei().isEmpty());
            durchgelaufen = true;
            klicken(dialog.Button2);
        }),
        als<TReportdruck>([&](TReportdruck& frage) {
            fragen << frage.Label1->text();
            klicken(frage.Button3);
            fragen << frage.Label1->text();
            klicken(frage.Button1);
        }),
        als<TReportdruck>([&](TReportdruck& frage) {
            fragen << frage.Label1->text();
            klicken(frage.Button2);
        }),
        als<TVorschau>([&](TVorschau& vorschau) {
            vorschauTitel = vorschau.windowTitle();
            klicken(vorschau.Button1);
        }),
    });
    Marlex->Reporterstellen1->trigger();

    ASSERT_TRUE(durchgelaufen);
    EXPECT_EQ(fragen, (QStringList{"Soll der akteulle Report auf dem Drucker Laser Lehrerzimmer gedruckt werden?",
                                   "Soll der akteulle Report auf dem Drucker Tinte Chemieraum gedruckt werden?",
                                   "Soll der akteulle Report auf dem Drucker Tinte Chemieraum gedruckt werden?"}));
    ASSERT_EQ(gedruckt.size(), 1u);
    EXPECT_EQ(gedruckt.front().first, "Tinte Chemieraum");
    EXPECT_EQ(gedruckt.front().second, 1u);
    EXPECT_EQ(vorschauTitel, "Vorschau - Report");
    EXPECT_EQ(Datas->Table3->recNo(), lagerVorher);
    EXPECT_EQ(Datas->Table1->recNo(), namenVorher);
    EXPECT_EQ(Datas->Table1->indexName(), "NAME1_SUB");
    EXPECT_EQ(Datas->Table3->indexName(), "CARN_SUB");
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(ReportDialog, AFileThatNoLongerLoadsIsToldAndTheDialogStaysOpenForTheNextRun)
{
    bool durchgelaufen = false;
    ModalAntworten antworten({
        als<TReportErstellung>([&](TReportErstellung& dialog) {
            QFile kaputt(QDir::current().filePath("KAPUTT.REP"));
            ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
            kaputt.write("kein Report");
            kaputt.close();
            dialog.VerzeichnisSetzen(QDir::currentPath()); // the list shows the new file
            zeileKlicken(*dialog.FileListBox1, "KAPUTT.REP");
            klicken(dialog.Button1);
            const QStringList meldungen = session.takeMessages();
            ASSERT_EQ(meldungen.size(), 1);
            EXPECT_TRUE(meldungen.front().contains("„" + QDir::current().filePath("KAPUTT.REP") +
                                                   "“ kann nicht gelesen"))
                << meldungen.front().toStdString();
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(dialog.GeladeneReportDatei().isEmpty());

            // The good one, printed to the first printer.
            zeileKlicken(*dialog.FileListBox1, "GIFT.REP");
            klicken(dialog.Drucker);
            klicken(dialog.Button1);
            durchgelaufen = true;
            klicken(dialog.Button2);
        }),
        als<TReportdruck>([](TReportdruck& frage) { klicken(frage.Button1); }),
    });
    Marlex->Reporterstellen1->trigger();
    ASSERT_TRUE(durchgelaufen);
    ASSERT_EQ(gedruckt.size(), 1u);
    EXPECT_EQ(gedruckt.front().first, "Laser Lehrerzimmer");
}

TEST_F(ReportDialog, AStoredPrinterThatIsNoLongerInstalledGivesWayToTheDefaultPrinterTheQuestionNames)
{
    Marlex->DruckerIndex = 7;
    QString frageText;
    ModalAntworten antworten({
        als<TReportErstellung>([&](TReportErstellung& dialog) {
            zeileKlicken(*dialog.FileListBox1, "GIFT.REP");
            klicken(dialog.Drucker);
            klicken(dialog.Button1);
            klicken(dialog.Button2);
        }),
        als<TReportdruck>([&](TReportdruck& frage) {
            frageText = frage.Label1->text();
            klicken(frage.Button1);
        }),
    });
    Marlex->Reporterstellen1->trigger();
    EXPECT_EQ(frageText, "Soll der akteulle Report auf dem Drucker Laser Lehrerzimmer gedruckt werden?");
    ASSERT_EQ(gedruckt.size(), 1u);
    EXPECT_EQ(gedruckt.front().first, "Laser Lehrerzimmer");
    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen.front().contains("Drucker Nummer 7 ist nicht installiert")) << meldungen.front().toStdString();
}

TEST_F(ReportDialog, AStorageTableWithoutItsNameOrderIsToldBeforeAnyTableOrTheMainWindowChanges)
{
    // lager.dbf with an index file that holds only the substance key.
    dbase::Table& lager = *Datas->Table3;
    lager.close();
    lager.rebuildIndexFile({{"CARN_SUB", "CARN+SUBCARN", true, false, false}});
    lager.open();
    lager.setFilter(dbase::Filter::parse("ANZAHL>0"));
    lager.setFiltered(true);
    lager.next();
    dbase::Table& namen = *Datas->Table1;
    namen.next();
    const auto lagerZeile = lager.recNo();
    const auto namenZeile = namen.recNo();
    ASSERT_FALSE(Marlex->DBImage1->isHidden());
    Versteckzaehler strukturbild(*Marlex->DBImage1);

    bool durchgelaufen = false;
    QStringList meldungen;
    // No print question: the check comes first. A question would be a
    // window beyond these answers, which fails the test.
    ModalAntworten antworten({
        als<TReportErstellung>([&](TReportErstellung& dialog) {
            zeileKlicken(*dialog.FileListBox1, "GIFT.REP");
            klicken(dialog.Drucker);
            klicken(dialog.Button1);
            klicken(dialog.Bildschirm);
            klicken(dialog.Button1);
            meldungen = session.takeMessages();
            EXPECT_TRUE(dialog.isVisible());
            durchgelaufen = true;
            klicken(dialog.Button2);
        }),
    });
    Marlex->Reporterstellen1->trigger();

    ASSERT_TRUE(durchgelaufen);
    ASSERT_EQ(meldungen.size(), 2) << meldungen.join('\n').toStdString();
    for (const QString& meldung : meldungen) {
        EXPECT_TRUE(meldung.contains("lager.dbf") && meldung.contains("„NAME1_SUB“")) << meldung.toStdString();
        EXPECT_FALSE(meldung.contains("konnte nicht erstellt werden")) << meldung.toStdString();
    }
    EXPECT_TRUE(gedruckt.empty());
    // Nothing was switched, so nothing had to be put back.
    EXPECT_EQ(strukturbild.mal, 0);
    EXPECT_FALSE(Marlex->DBImage1->isHidden());
    EXPECT_EQ(lager.recNo(), lagerZeile);
    EXPECT_EQ(lager.indexName(), "CARN_SUB");
    EXPECT_EQ(lager.filter().text(), "ANZAHL>0");
    EXPECT_TRUE(lager.filtered());
    EXPECT_EQ(namen.recNo(), namenZeile);
    EXPECT_EQ(namen.indexName(), "NAME1_SUB");
}

TEST_F(ReportDialog, IntoAPdfFileEachJobProposesAFileOfItsOwnAndAFileThatIsThereIsReplacedOnlyWhenTheUserSaysSo)
{
    // The last job went into the labels' file; it must stay as it is.
    QTemporaryDir ausgabe;
    const QString etiketten = ausgabe.filePath("Etiketten.pdf");
    QFile alt(etiketten);
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("die Etiketten von vorhin");
    alt.close();
    Marlex->DruckDatei = etiketten;
    const QString report = ausgabe.filePath("GIFT.pdf");
    const QString blatt = ausgabe.filePath("Benzol.pdf");
    QStringList fragen;
    widgets::Answer antwort = widgets::Answer::No;
    widgets::ScopedAnswerProvider ersetzen([&](const widgets::MessageRequest& frage) {
        fragen << frage.text;
        return antwort;
    });

    // The sheet of Benzol: its question names its own file, which is new.
    session.select("Benzol");
    ModalAntworten blattFrage({als<TStoffinfoDruck>([&](TStoffinfoDruck& d) {
        EXPECT_EQ(d.Label1->text(),
                  "Soll das Stoffinfo des aktuellen Datensatzes in die PDF-Datei " + blatt + " gedruckt werden?");
        klicken(d.Button1);
    })});
    Marlex->Drucken1->trigger();
    ASSERT_TRUE(QFile::exists(blatt));
    EXPECT_EQ(Marlex->DruckDatei, blatt);

    // The report twice: its own file beside the sheet's; the second time
    // the user keeps the file ("Nein" to the question, then "Nein" to the
    // print), the third time replaces it.
    const auto frage = [&](std::function<void(TReportdruck&)> schritte) {
        return als<TReportdruck>([&, schritte](TReportdruck& d) {
            EXPECT_EQ(d.Label1->text(), "Soll der akteulle Report in die PDF-Datei " + report + " gedruckt werden?");
            schritte(d);
        });
    };
    QByteArray ersterReport;
    QStringList ersteZeilen;
    ModalAntworten antworten({
        als<TReportErstellung>([&](TReportErstellung& dialog) {
            zeileKlicken(*dialog.FileListBox1, "GIFT.REP");
            klicken(dialog.Drucker);
            klicken(dialog.Button1);
            QFile gedruckt(report);
            ASSERT_TRUE(gedruckt.open(QIODevice::ReadOnly));
            ersterReport = gedruckt.readAll();
            gedruckt.close();
            ersteZeilen = reportlauf::casSortiert(report);
            klicken(dialog.Button1);
            klicken(dialog.Button1);
            klicken(dialog.Button2);
        }),
        frage([](TReportdruck& d) { klicken(d.Button1); }),
        frage([&](TReportdruck& d) {
            klicken(d.Button1);
            EXPECT_TRUE(d.isVisible()) << "kept: the question stays for another choice";
            QFile behalten(report);
            ASSERT_TRUE(behalten.open(QIODevice::ReadOnly));
            EXPECT_EQ(behalten.readAll(), ersterReport);
            klicken(d.Button2);
        }),
        frage([&](TReportdruck& d) {
            antwort = widgets::Answer::Yes;
            QFile::resize(report, 10); // a replaced file is whole again afterwards
            klicken(d.Button1);
        }),
    });
    Marlex->Reporterstellen1->trigger();

    const QString ersetzenFrage = "Die Datei " + QDir::toNativeSeparators(report) + " gibt es schon. Soll sie "
                                                                                    "ersetzt werden?";
    EXPECT_EQ(fragen, (QStringList{ersetzenFrage, ersetzenFrage}));
    EXPECT_TRUE(ersterReport.startsWith("%PDF"));
    EXPECT_FALSE(ersteZeilen.isEmpty());
    EXPECT_EQ(reportlauf::casSortiert(report), ersteZeilen);
    EXPECT_TRUE(fixtures::poppler("pdftotext", {blatt, "-"}).contains("Benzol"));
    QFile etikettenDanach(etiketten);
    ASSERT_TRUE(etikettenDanach.open(QIODevice::ReadOnly));
    EXPECT_EQ(etikettenDanach.readAll(), "die Etiketten von vorhin");
    EXPECT_TRUE(gedruckt.empty()) << "no printer was used";
    EXPECT_EQ(Marlex->DruckDatei, report);
    EXPECT_TRUE(session.takeMessages().isEmpty());
}
