#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "fixtures/Modal.h"
#include "data/Optionen.h"
#include "report/Output.h"
#include "reports/Drucker.h"
#include "reports/StoffInfo.h"
#include "reports/StoffinfoDialoge.h"
#include "reports/Vorschau.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString frageDruck = QStringLiteral("Soll das Stoffinfo des aktuellen Datensatzes auf dem Drucker %1 gedruckt werden?");

using fixtures::als;
using fixtures::dateiWaehlen;
using fixtures::ModalAntworten;
using fixtures::schliessen;

// Types a file name into the printer dialog's "print to file" field, OK.
ModalAntworten::Antwort druckdateiEingeben(const QString& datei)
{
    return als<QPrintDialog>([datei](QPrintDialog& d) {
        QLineEdit* feld = nullptr;
        for (QLineEdit* edit : d.findChildren<QLineEdit*>())
            if (edit->text().endsWith(".pdf"))
                feld = edit;
        ASSERT_NE(feld, nullptr) << "no file field";
        feld->setText(datei);
        d.accept();
    });
}

// A sheet layout: a title band with a fixed text and the substance's name.
void layoutSchreiben(const QString& datei, const QString& text)
{
    blattSchreiben(datei, {{QStringLiteral("rbTitle"), 60,
                            {blattelement(0, text, {0, 0, 300, 20}),
                             blattelement(100, QStringLiteral("[chemie.dbf NAME1]"), {0, 25, 300, 20})}}});
}

// The fixed text of the loaded layout; empty when none is loaded.
QString geladenerText()
{
    if (!StoffInfo->LayoutReport())
        return {};
    for (const reports::LayoutComponent* c : StoffInfo->LayoutReport()->allComponents())
        if (c->name == "Band1E1")
            return c->caption;
    return {};
}

struct Druckauftrag {
    QString drucker;
    QStringList texte;
};

class StoffinfoDialoge : public ::testing::Test {
protected:
    StoffinfoDialoge()
        : m_standard(OptStandardStoffinfo)
        , m_nurEtikett(OptOnlyEtikett)
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Aceton", aceton}, {"Ethanol", "64-17-5"}});
        chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}}}, {"64-17-5", "1", {{NAME1, "Ethanol"}}}});
        lagerSchreiben({{aceton, "1"}});
        formelnSchreiben({});
        layoutSchreiben("blatt.sto", "Erstes Layout");
        layoutSchreiben("zweites.sto", "Zweites Layout");
        QFile kein("kein.sto");
        EXPECT_TRUE(kein.open(QIODevice::WriteOnly));
        kein.write("Dies ist kein Layout, sondern Text.");
        kein.close();

        OptStandardStoffinfo.clear();
        OptOnlyEtikett = true; // the layout's own margins
        m = &r.starten();
        m->DatenlisteEinlesen();
        if (!StoffInfo) {
            m_stoffInfo = std::make_unique<TStoffInfo>();
            StoffInfo = m_stoffInfo.get();
        }
    }
    ~StoffinfoDialoge() override
    {
        if (m_stoffInfo)
            StoffInfo = nullptr;
        OptStandardStoffinfo = m_standard;
        OptOnlyEtikett = m_nurEtikett;
    }

    report::ScopedPrinters drucker(QStringList namen, int standard = 0)
    {
        return report::ScopedPrinters(std::move(namen), standard,
                                      [this](const QString& name, const std::vector<report::Page>& seiten) {
                                          Druckauftrag auftrag{name, {}};
                                          for (const report::Page& seite : seiten)
                                              for (const report::DrawnItem& item : seite.items)
                                                  auftrag.texte << item.text;
                                          auftraege.push_back(auftrag);
                                      });
    }

    std::vector<widgets::MessageRequest> fehler() const
    {
        std::vector<widgets::MessageRequest> result;
        for (const widgets::MessageRequest& meldung : r.meldungen())
            if (meldung.kind == widgets::MessageKind::Error)
                result.push_back(meldung);
        return result;
    }

    Register r;
    TMarlex* m = nullptr;
    std::vector<Druckauftrag> auftraege;

private:
    QString m_standard;
    bool m_nurEtikett;
    std::unique_ptr<TStoffInfo> m_stoffInfo;
};

QString absolut(const QString& datei)
{
    return QFileInfo(datei).absoluteFilePath();
}

} // namespace

TEST_F(StoffinfoDialoge, OkFollowsTheDefaultLayoutOrABrowse)
{
    auto druckerListe = drucker({"Büro"});
    {
        TStoffinfoDruck druck(m);
        TStoffinfoLayout layout(m);
        EXPECT_FALSE(druck.Button1->isEnabled());
        EXPECT_FALSE(layout.Button1->isEnabled());
        EXPECT_TRUE(druck.Button1->isDefault()) << "Enter answers Ja once a layout is named";
        EXPECT_TRUE(druck.Edit1->text().isEmpty());

        // A cancelled browse changes nothing; a chosen file is taken.
        ModalAntworten antworten({schliessen<QFileDialog>(), dateiWaehlen(absolut("zweites.sto")),
                                  dateiWaehlen(absolut("blatt.sto"))});
        druck.Button4->click();
        EXPECT_FALSE(druck.Button1->isEnabled());
        druck.Button4->click();
        EXPECT_TRUE(druck.Button1->isEnabled());
        EXPECT_EQ(druck.Edit1->text(), absolut("zweites.sto"));
        layout.Button3->click();
        EXPECT_TRUE(layout.Button1->isEnabled());
        EXPECT_EQ(layout.Edit1->text(), absolut("blatt.sto"));
    }
    OptStandardStoffinfo = "blatt.sto";
    TStoffinfoDruck druck(m);
    TStoffinfoLayout layout(m);
    EXPECT_TRUE(druck.Button1->isEnabled());
    EXPECT_TRUE(layout.Button1->isEnabled());
    EXPECT_EQ(druck.Edit1->text(), "blatt.sto");
    EXPECT_EQ(layout.Edit1->text(), "blatt.sto");
    EXPECT_TRUE(fehler().empty());
}

TEST_F(StoffinfoDialoge, TheQuestionNamesThePrinterAlsoAfterThePrinterSetup)
{
    auto druckerListe = drucker({"Büro", "Labor"});
    m->DruckerIndex = 1;
    TStoffinfoDruck druck(m);
    EXPECT_EQ(druck.Label1->text(), frageDruck.arg("Labor"));

    std::vector<reports::Druckerwahl> vorgaben;
    reports::Druckerwahl antwort;
    bool ok = true;
    reports::ScopedDruckerDialog dialog([&](QWidget*, reports::Druckerwahl& wahl) {
        vorgaben.push_back(wahl);
        wahl = antwort;
        return ok;
    });
    antwort.drucker = "Büro";
    druck.Button3->click();
    EXPECT_EQ(m->DruckerIndex, 0);
    EXPECT_EQ(druck.Label1->text(), frageDruck.arg("Büro"));

    // "Print to file": the question names the file, jobs go there.
    antwort = {{}, absolut("stoffinfo.pdf")};
    druck.Button3->click();
    EXPECT_EQ(m->DruckDatei, absolut("stoffinfo.pdf"));
    EXPECT_EQ(druck.Label1->text(), QStringLiteral("Soll das Stoffinfo des aktuellen Datensatzes in die PDF-Datei %1 "
                                                   "gedruckt werden?")
                                         .arg(absolut("stoffinfo.pdf")));

    // Cancel keeps the choice, whatever the dialog did with its copy.
    ok = false;
    antwort.drucker = "Labor";
    antwort.datei.clear();
    druck.Button3->click();
    EXPECT_EQ(m->DruckDatei, absolut("stoffinfo.pdf"));
    EXPECT_EQ(m->DruckerIndex, 0);

    // Back from the file to a printer.
    ok = true;
    druck.Button3->click();
    EXPECT_EQ(m->DruckerIndex, 1);
    EXPECT_TRUE(m->DruckDatei.isEmpty());
    EXPECT_EQ(druck.Label1->text(), frageDruck.arg("Labor"));

    ASSERT_EQ(vorgaben.size(), 4u);
    EXPECT_EQ(vorgaben[0].drucker, "Labor") << "the dialog opens on the current printer";
    EXPECT_EQ(vorgaben[1].drucker, "Büro");
    EXPECT_EQ(vorgaben[2].datei, absolut("stoffinfo.pdf"));
    EXPECT_TRUE(vorgaben[2].drucker.isEmpty());
}

TEST_F(StoffinfoDialoge, JaPrintsTheSheetOfTheCurrentSubstanceOnThePrinterOfDruckerIndex)
{
    auto druckerListe = drucker({"Büro", "Labor", "Lager"});
    m->DruckerIndex = 2;
    OptStandardStoffinfo = "blatt.sto";
    m->ListBox1->setItemIndex(0);
    m->AktuellenDatensatzZeigen();
    TStoffinfoDruck druck(m);
    druck.show();
    druck.Button1->click();

    ASSERT_EQ(auftraege.size(), 1u) << (fehler().empty() ? "" : fehler()[0].text.toStdString());
    EXPECT_EQ(auftraege[0].drucker, "Lager");
    EXPECT_TRUE(auftraege[0].texte.contains("Erstes Layout"));
    EXPECT_TRUE(auftraege[0].texte.contains("Aceton"));
    EXPECT_EQ(StoffInfo->DruckModus, 1);
    EXPECT_EQ(druck.result(), QDialog::Accepted);
    EXPECT_FALSE(druck.isVisible());
    EXPECT_TRUE(r.meldungen().empty());
}

TEST_F(StoffinfoDialoge, AStoredPrinterThatIsGoneFallsBackToTheDefaultAndSaysSo)
{
    auto druckerListe = drucker({"Büro", "Labor"}, 1);
    m->DruckerIndex = 5;
    OptStandardStoffinfo = "blatt.sto";
    TStoffinfoDruck druck(m);
    EXPECT_EQ(druck.Label1->text(), frageDruck.arg("Labor"));
    druck.Button1->click();

    ASSERT_EQ(auftraege.size(), 1u);
    EXPECT_EQ(auftraege[0].drucker, "Labor");
    ASSERT_EQ(r.meldungen().size(), 1u) << "told once";
    EXPECT_TRUE(r.meldungen()[0].text.contains("Nummer 5")) << r.meldungen()[0].text.toStdString();
    EXPECT_TRUE(r.meldungen()[0].text.contains("Labor"));
    EXPECT_EQ(m->DruckerIndex, 5) << "the stored choice stays for when the printer is back";
}

TEST_F(StoffinfoDialoge, WithoutAnyPrinterPrintingSaysSoAndThePreviewStillWorks)
{
    auto druckerListe = drucker({});
    OptStandardStoffinfo = "blatt.sto";
    {
        TStoffinfoDruck druck(m);
        EXPECT_TRUE(druck.Label1->text().contains("kein Drucker installiert")) << druck.Label1->text().toStdString();
        druck.show();
        druck.Button1->click();
        ASSERT_EQ(fehler().size(), 1u);
        EXPECT_TRUE(fehler()[0].text.contains("kein Drucker installiert")) << fehler()[0].text.toStdString();
        EXPECT_TRUE(druck.isVisible()) << "the user may still choose a PDF file or cancel";
    }

    ModalAntworten antworten({als<TStoffinfoLayout>([](TStoffinfoLayout& d) { d.Button1->click(); }),
                              schliessen<TVorschau>()});
    m->Ansehen2->trigger();
    EXPECT_EQ(antworten.gesehen(), QStringList({"TStoffinfoLayout", "TVorschau"}));
    EXPECT_EQ(StoffInfo->DruckModus, 0);
    EXPECT_EQ(fehler().size(), 1u);
}

TEST_F(StoffinfoDialoge, PrintingToAFileWritesAPdfThatAReaderCanRead)
{
    auto druckerListe = drucker({});
    m->DruckDatei = absolut("blatt.pdf");
    OptStandardStoffinfo = "blatt.sto";
    TStoffinfoDruck druck(m);
    druck.Button1->click();
    EXPECT_TRUE(r.meldungen().empty());
    ASSERT_TRUE(QFile::exists(m->DruckDatei));

    QProcess pdftotext;
    pdftotext.start("pdftotext", {m->DruckDatei, "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains("Erstes Layout")) << text.toStdString();
    EXPECT_TRUE(text.contains("Aceton")) << text.toStdString();
}

TEST_F(StoffinfoDialoge, AFailedLoadIsToldStartsNoRunAndKeepsTheEarlierLayout)
{
    auto druckerListe = drucker({"Büro"});
    StoffInfo->LoadStoffinfo("blatt.sto");
    for (const QString name : {"fehlt.sto", "", "kein.sto"}) {
        SCOPED_TRACE(name.toStdString());
        const std::size_t vorher = fehler().size();
        TStoffinfoDruck druck(m);
        druck.show();
        druck.Edit1->setText(name);
        druck.Button1->setEnabled(true);
        druck.Button1->click();
        ASSERT_EQ(fehler().size(), vorher + 1);
        if (!name.isEmpty()) {
            EXPECT_TRUE(fehler().back().text.contains(name)) << fehler().back().text.toStdString();
        }
        EXPECT_TRUE(druck.isVisible());
        EXPECT_TRUE(auftraege.empty());
        EXPECT_EQ(geladenerText(), "Erstes Layout");

        // The view dialog stays open, so no preview starts on it.
        ModalAntworten antworten({als<TStoffinfoLayout>([name](TStoffinfoLayout& d) {
            d.Edit1->setText(name);
            d.Button1->setEnabled(true);
            d.Button1->click();
            EXPECT_TRUE(d.isVisible());
            d.Button2->click();
        })});
        m->Ansehen2->trigger();
        EXPECT_EQ(antworten.gesehen(), QStringList({"TStoffinfoLayout"}));
        EXPECT_EQ(fehler().size(), vorher + 2);
        EXPECT_EQ(geladenerText(), "Erstes Layout");
    }

    // A good name loads, and the view dialog closes for the preview.
    ModalAntworten antworten({als<TStoffinfoLayout>([](TStoffinfoLayout& d) {
                                  d.Edit1->setText("zweites.sto");
                                  d.Button1->setEnabled(true);
                                  d.Button1->click();
                              }),
                              schliessen<TVorschau>()});
    m->Ansehen2->trigger();
    EXPECT_EQ(geladenerText(), "Zweites Layout");
}

TEST_F(StoffinfoDialoge, EveryCommandOpensItsDialog)
{
    auto druckerListe = drucker({"Büro"});
    using Befehl = std::function<void()>;
    const std::vector<std::pair<Befehl, const char*>> befehle = {
        {[&] { m->Ansehen2->trigger(); }, "TStoffinfoLayout"},
        {[&] { m->Stoffinfoanzeigen1->trigger(); }, "TStoffinfoLayout"},
        {[&] { m->ToolButton57->click(); }, "TStoffinfoLayout"},
        {[&] { m->ToolButton39->click(); }, "TStoffinfoLayout"},
        {[&] { emit m->listenzeilenAbgelegt(m->ToolButton57, {0}); }, "TStoffinfoLayout"},
        {[&] { m->Drucken1->trigger(); }, "TStoffinfoDruck"},
        {[&] { m->Stoffinfodrucken1->trigger(); }, "TStoffinfoDruck"},
        {[&] { m->ToolButton58->click(); }, "TStoffinfoDruck"},
        {[&] { m->ToolButton40->click(); }, "TStoffinfoDruck"},
        {[&] { emit m->listenzeilenAbgelegt(m->ToolButton58, {0, 1}); }, "TStoffinfoDruck"},
    };
    for (std::size_t i = 0; i < befehle.size(); ++i) {
        SCOPED_TRACE(i);
        ModalAntworten antworten({[](QWidget& w) { w.close(); }});
        befehle[i].first();
        antworten.abwarten();
        EXPECT_EQ(antworten.gesehen(), QStringList({befehle[i].second}));
    }
    // A drop on another target is not the sheet's: the copy button's opens
    // the copy dialog.
    ModalAntworten kopie({[](QWidget& w) { w.close(); }});
    emit m->listenzeilenAbgelegt(m->ToolButton42, {0});
    kopie.abwarten();
    EXPECT_EQ(kopie.gesehen(), QStringList{"TKopieren"});
}

TEST_F(StoffinfoDialoge, DropsFromAnythingButTheNameListAreRefused)
{
    const std::unique_ptr<QMimeData> mime(m->ListBox1->lineModel().mimeData({}));
    ModalAntworten keine({});
    for (QToolButton* ziel : {m->ToolButton57, m->ToolButton58}) {
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ziel, &drop);
        EXPECT_FALSE(drop.isAccepted()) << ziel->objectName().toStdString();
    }
    keine.abwarten();
    EXPECT_TRUE(keine.gesehen().isEmpty());
}

// The printer dialog that runs when no test stands in for it: on a machine
// without printers it offers printing to a PDF file.
TEST_F(StoffinfoDialoge, TheRealPrinterDialogTakesATypedFileRefusesAFolderAndCancelKeepsTheChoice)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "this machine has printers";
    reports::Druckziel ziel{3, absolut("neu.pdf")};
    {
        ModalAntworten antworten({als<QPrintDialog>([](QPrintDialog& d) { d.reject(); })});
        reports::druckerEinrichten(m, ziel);
    }
    EXPECT_EQ(ziel.datei, absolut("neu.pdf"));
    EXPECT_EQ(ziel.druckerIndex, 3);
    {
        ModalAntworten antworten({druckdateiEingeben(absolut("anders.pdf"))});
        reports::druckerEinrichten(m, ziel);
    }
    EXPECT_EQ(ziel.datei, absolut("anders.pdf"));

    // A folder typed as the file: said so, the choice stays.
    {
        ModalAntworten antworten({druckdateiEingeben(QDir::currentPath())});
        reports::druckerEinrichten(m, ziel);
    }
    EXPECT_EQ(ziel.datei, absolut("anders.pdf"));
    ASSERT_EQ(fehler().size(), 1u);
    EXPECT_TRUE(fehler()[0].text.contains("Dateiname")) << fehler()[0].text.toStdString();

    // With neither printer nor file the dialog offers a file in the home
    // folder, never the folder itself.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QDir::currentPath().toUtf8());
    ziel.datei.clear();
    {
        ModalAntworten antworten({als<QPrintDialog>([](QPrintDialog& d) { d.accept(); })});
        reports::druckerEinrichten(m, ziel);
    }
    qputenv("HOME", home);
    EXPECT_EQ(ziel.datei, absolut("Marlex99.pdf"));
}
