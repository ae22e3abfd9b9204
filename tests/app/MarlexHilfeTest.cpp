// The commands that lead out of the register, as the user gives them from
// the menus: help, the sibling program KAVU, the about box and the printer
// set-up. A launcher in the desktop's place records what would be started.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "MarlexTestSupport.h"
#include "app/Shell.h"
#include "app/Ueber.h"
#include "fixtures/Modal.h"
#include "ini/IniFile.h"
#include "report/Output.h"
#include "reports/Drucker.h"

using namespace marlextest;

namespace {

struct Start {
    QString programm;
    QStringList argumente;
    QString verzeichnis;
    bool operator==(const Start&) const = default;
};

// Records what would be opened or started; each answers as told.
struct Starter {
    Starter()
        : scope({[this](const QUrl& url) {
                     geoeffnet << url;
                     return oeffnenGelingt;
                 },
                 [this](const QString& p, const QStringList& a, const QString& v) {
                     gestartet.push_back({p, a, v});
                     return startenGelingt;
                 }})
    {
    }
    QList<QUrl> geoeffnet;
    std::vector<Start> gestartet;
    bool oeffnenGelingt = true;
    bool startenGelingt = true;
    ScopedShellStarter scope;
};

void dateiSchreiben(const QString& pfad, const QByteArray& inhalt = "x")
{
    QDir().mkpath(QFileInfo(pfad).absolutePath());
    QFile f(pfad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

QStringList texte(const std::vector<widgets::MessageRequest>& meldungen)
{
    QStringList t;
    for (const auto& m : meldungen)
        t << m.text;
    return t;
}

} // namespace

TEST(Index1Click, HelpOpensTheStartPageWithTheDesktopsProgramOrTheConfiguredBrowser)
{
    Register r;
    // Copied from Windows: folder and page in other cases than the program writes.
    const QString seite = r.programm() + "Hilfe/INDEX.HTM";
    dateiSchreiben(seite, "<html></html>");
    const QString browser = r.programm() + "werkzeug/browser";
    dateiSchreiben(browser);
    r.einstellung("Optionen", "HelpBrowser", browser);
    TMarlex& m = r.fensterZeigen();
    Starter starter;

    // "AutoHelp" is on by default: the desktop opens the page.
    m.Index1->trigger();
    EXPECT_EQ(starter.geoeffnet, QList<QUrl>{QUrl::fromLocalFile(seite)});
    EXPECT_TRUE(starter.gestartet.empty());
    EXPECT_TRUE(r.meldungen().empty());

    // The desktop has no program for the page: said so.
    starter.oeffnenGelingt = false;
    m.Index1->trigger();
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_EQ(r.meldungen()[0].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(r.meldungen()[0].text.contains("Hilfe konnte nicht geöffnet werden")) << r.meldungen()[0].text.toStdString();

    // Without "AutoHelp" the configured browser gets the page, in the help folder.
    r.einstellung("Optionen", "AutoHelp", "0");
    TMarlex& ohne = r.fensterZeigen();
    ohne.Index1->trigger();
    ASSERT_EQ(starter.gestartet.size(), 1u);
    EXPECT_EQ(starter.gestartet[0], (Start{browser, {seite}, r.programm() + "Hilfe"}));

    starter.startenGelingt = false;
    ohne.Index1->trigger();
    ASSERT_EQ(r.meldungen().size(), 2u);
    EXPECT_TRUE(r.meldungen()[1].text.contains(browser)) << r.meldungen()[1].text.toStdString();
}

TEST(Index1Click, WithoutAutoHelpAndABrowserTheUserIsToldTheBrowserIsMissing)
{
    Register r;
    dateiSchreiben(r.programm() + "HILFE/index.htm");
    r.einstellung("Optionen", "AutoHelp", "0");
    for (const QString& browser : {QString(), r.programm() + "fehlt/browser"}) {
        r.einstellung("Optionen", "HelpBrowser", browser);
        TMarlex& m = r.fensterZeigen();
        Starter starter;
        m.Index1->trigger();
        EXPECT_TRUE(starter.gestartet.empty());
        EXPECT_TRUE(starter.geoeffnet.empty());
    }
    EXPECT_EQ(texte(r.meldungen()), QStringList(2, "Der angegebene Browser ist auf Ihrem System nicht installiert!"));

    // With the help pages missing the user learns that instead of an empty browser.
    QDir(r.programm() + "HILFE").removeRecursively();
    r.einstellung("Optionen", "AutoHelp", "1");
    TMarlex& m = r.fensterZeigen();
    Starter starter;
    m.Index1->trigger();
    EXPECT_TRUE(starter.geoeffnet.empty());
    ASSERT_EQ(r.meldungen().size(), 3u);
    EXPECT_TRUE(r.meldungen()[2].text.contains("index.htm")) << r.meldungen()[2].text.toStdString();
}

TEST(Kavuaufrufen1Click, StartsKavuAsAProgramOfItsOwnAndSaysWhenItCannot)
{
    Register r;
    TMarlex& m = r.fensterZeigen();
    dateiSchreiben("kavu.exe");
    const QString kavu = QFileInfo("kavu.exe").absoluteFilePath();
    Starter starter;
    m.Kavuaufrufen1->trigger();
    ASSERT_EQ(starter.gestartet.size(), 1u);
    EXPECT_EQ(starter.gestartet[0], (Start{kavu, {}, r.programm()}));
    EXPECT_TRUE(r.meldungen().empty());

    starter.startenGelingt = false;
    m.Kavuaufrufen1->trigger();
    QFile::remove("kavu.exe");
    m.Kavuaufrufen1->trigger();
    EXPECT_EQ(starter.gestartet.size(), 2u);
    ASSERT_EQ(r.meldungen().size(), 2u);
    EXPECT_TRUE(r.meldungen()[0].text.contains("KAVU konnte nicht gestartet werden"));
    EXPECT_TRUE(r.meldungen()[1].text.contains("KAVU.EXE"));
}

TEST(Infober1Click, TheAboutBoxShowsVersionAndBuildItsLinkOpensTheWebSiteAndOkClosesIt)
{
    Register r;
    TMarlex& m = r.fensterZeigen();
    Starter starter;
    QString titel, version, build;
    int ergebnis = -1;
    QTimer::singleShot(0, [&] {
        auto* ueber = qobject_cast<TUeber*>(QApplication::activeModalWidget());
        ASSERT_NE(ueber, nullptr);
        titel = ueber->windowTitle();
        version = ueber->findChild<QLabel*>("Label5")->text();
        build = ueber->findChild<QLabel*>("Label6")->text();
        QTest::mouseClick(ueber->findChild<QLabel*>("Label7"), Qt::LeftButton);
        QObject::connect(ueber, &QDialog::finished, [&](int e) { ergebnis = e; });
        QTest::mouseClick(ueber->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    });
    m.Infober1->trigger();
    EXPECT_EQ(ergebnis, QDialog::Accepted);
    EXPECT_EQ(titel, "Über...");
    EXPECT_EQ(version, "Version 1.01");
    EXPECT_EQ(build, "Build 990523");
    EXPECT_EQ(starter.geoeffnet, QList<QUrl>{QUrl(TUeber::Herstelleradresse)});
    EXPECT_EQ(m.findChildren<TUeber*>().size(), 0) << "made for the showing only";
}

TEST(Druckerinstallation1Click, TheChosenPrinterHoldsForTheRunAndIsStoredAtQuitting)
{
    Register r;
    r.einstellung("Optionen", "AktPrinterIndex", "5");
    const report::ScopedPrinters drucker({"Büro", "Labor"}, 1, {});
    TMarlex& m = r.fensterZeigen();
    std::vector<reports::Druckerwahl> vorgaben;
    reports::Druckerwahl antwort;
    bool ok = false;
    const reports::ScopedDruckerDialog dialog([&](QWidget*, reports::Druckerwahl& wahl) {
        vorgaben.push_back(wahl);
        wahl = antwort;
        return ok;
    });

    // Printer 5 is gone: the dialog starts on the default printer, with a note.
    m.Druckerinstallation1->trigger();
    ASSERT_EQ(vorgaben.size(), 1u);
    EXPECT_EQ(vorgaben[0].drucker, "Labor");
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_TRUE(r.meldungen()[0].text.contains("nicht installiert")) << r.meldungen()[0].text.toStdString();
    EXPECT_EQ(m.DruckerIndex, 5) << "cancelled: unchanged";

    ok = true;
    antwort.drucker = "Büro";
    m.Druckerinstallation1->trigger();
    EXPECT_EQ(m.DruckerIndex, 0);
    EXPECT_EQ(reports::hauptfensterDruckziel().druckerIndex, 0) << "every later print job";

    // Printing to a PDF file holds as well; the printer's number stays.
    antwort = {{}, QDir::current().absoluteFilePath("liste.pdf")};
    m.Druckerinstallation1->trigger();
    EXPECT_EQ(reports::hauptfensterDruckziel().datei, QDir::current().absoluteFilePath("liste.pdf"));

    m.Beenden1->trigger();
    EXPECT_EQ(ini::IniFile(r.ini()).readInteger("Optionen", "AktPrinterIndex", -1), 0);
    // The note came once more, while the number was still 5, and no more.
    EXPECT_EQ(r.meldungen().size(), 2u) << texte(r.meldungen()).join('|').toStdString();
}

// "Druckerinstallation" sets the printer up and prints nothing: its dialog
// is the "Druckereinrichtung", whose button "&OK" takes the choice (a PDF
// file here), not a "Drucken" dialog.
TEST(Druckerinstallation1Click, ShowsThePrinterSetUpWhoseOkButtonSetsThePrinter)
{
    Register r;
    TMarlex& m = r.fensterZeigen();
    const QString datei = QDir::current().absoluteFilePath(QStringLiteral("einrichtung.pdf"));
    fixtures::ModalAntworten antworten({fixtures::als<QPrintDialog>([&](QPrintDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Druckereinrichtung");
        QPushButton* ok = nullptr;
        for (QDialogButtonBox* knoepfe : d.findChildren<QDialogButtonBox*>())
            if (QPushButton* knopf = knoepfe->button(QDialogButtonBox::Ok))
                ok = knopf;
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(ok->text(), "&OK");
        for (const QPushButton* knopf : d.findChildren<QPushButton*>())
            EXPECT_FALSE(knopf->isVisible() && knopf->text().remove(u'&').contains(QStringLiteral("Drucken")))
                << knopf->text().toStdString();
        QLineEdit* feld = nullptr;
        for (QLineEdit* edit : d.findChildren<QLineEdit*>())
            if (edit->text().endsWith(QStringLiteral(".pdf")))
                feld = edit;
        ASSERT_NE(feld, nullptr) << "no file field";
        feld->setText(datei);
        QTest::mouseClick(ok, Qt::LeftButton);
    })});
    m.Druckerinstallation1->trigger();
    EXPECT_EQ(antworten.gesehen(), QStringList{QStringLiteral("QPrintDialog")});
    EXPECT_EQ(m.DruckDatei, datei);
    EXPECT_FALSE(QFileInfo::exists(datei)) << "setting the printer up prints nothing";
}
