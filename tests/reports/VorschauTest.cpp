#include <gtest/gtest.h>

#include <functional>
#include <new>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "fixtures/Events.h"
#include "widgets/ErrorText.h"
#include "fixtures/FileWrites.h"
#include "fixtures/Files.h"
#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "platform/report/ReportTestSupport.h"
#include "report/PageFile.h"
#include "report/PreviewWidget.h"
#include "reports/Vorschau.h"
#include "widgets/MessageBox.h"

using namespace report;

namespace {

// Details of 20 mm on a 100 mm page with 10 mm margins: four to a page.
struct Lauf {
    Report report;
    int baender = 0;
    int restores = 0;
    bool bandNachRestore = false;

    explicit Lauf(int details)
    {
        reporttest::smallPage(report);
        Band& detail = report.addBand(BandType::Detail);
        detail.height = 20;
        reporttest::addLabel(detail, QStringLiteral("Schwefelsäure Lager Süd"));
        report.needData = [details]() mutable { return details-- > 0; };
        report.events.beforeBand = [this](Band&, bool&) {
            ++baender;
            bandNachRestore = bandNachRestore || restores > 0;
        };
        report.events.afterPreview = [this](bool) { ++restores; };
    }
};

// The messages the window shows, answered without a screen.
struct Meldungen {
    QList<widgets::MessageRequest> gezeigt;
    widgets::Answer antwort = widgets::Answer::Ok;
    widgets::ScopedAnswerProvider provider{[this](const widgets::MessageRequest& request) {
        gezeigt << request;
        return antwort;
    }};
};

struct Umgebung {
    fixtures::TempDir dir;
    ini::IniFile ini{QStringLiteral("marlex99.ini")};

    int lies(const char* key) const { return ini.readInteger("Vorschau", QString::fromLatin1(key), -9999); }
    void schreibe(const char* key, int value) { ini.writeInteger("Vorschau", QString::fromLatin1(key), value); }
    QString ordner() const { return QString::fromStdString(dir.path().string()); }
};

// Hands the modal window of this type to handle at every turn of its event
// loop until handle says it is done.
template <typename Fenster>
void solangeOffen(std::function<bool(Fenster&)> handle)
{
    auto* wache = new QTimer;
    QObject::connect(wache, &QTimer::timeout, [wache, handle] {
        auto* fenster = qobject_cast<Fenster*>(QApplication::activeModalWidget());
        if (fenster && handle(*fenster)) {
            wache->stop();
            wache->deleteLater();
        }
    });
    wache->start(0);
}

void speichereUnter(TVorschau& vorschau, const QString& fileName, const QString& filter)
{
    solangeOffen<QFileDialog>([=](QFileDialog& dialog) {
        // The dialog takes a file name only while its name field has no focus.
        if (QWidget* fokus = QApplication::focusWidget())
            fokus->clearFocus();
        dialog.selectNameFilter(filter);
        dialog.selectFile(fileName);
        QMetaObject::invokeMethod(&dialog, "accept");
        return true;
    });
    vorschau.ToolButton2->click();
}

void taste(QWidget* widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
}

} // namespace

TEST(Vorschau, OpensWithPageOneWhileBuildingAndCountsPagesAtTheEnd)
{
    Umgebung u;
    Lauf lauf(200); // fifty pages
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    vorschau.show();
    EXPECT_EQ(QRect(vorschau.pos(), vorschau.size()), QRect(0, 0, 640, 480));
    EXPECT_EQ(vorschau.ComboBox1->currentText(), "100");
    EXPECT_EQ(vorschau.ComboBox1->itemText(14), "150");

    fixtures::processEventsUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    ASSERT_TRUE(builder.isBusy());
    EXPECT_EQ(vorschau.QRPreview1->pageNumber(), 1);
    EXPECT_EQ(vorschau.Panel0->text(), "");
    // During the build the last page is the last one built.
    vorschau.ToolButton6->click();
    const int gebaut = vorschau.QRPreview1->pageCount();
    EXPECT_EQ(vorschau.Panel0->text(), QStringLiteral("Seite %1 von %1").arg(gebaut));

    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(vorschau.Panel0->text(), QStringLiteral("Seite %1 von 50").arg(gebaut));
    vorschau.ToolButton3->click();
    vorschau.ToolButton4->click();
    EXPECT_EQ(vorschau.Panel0->text(), "Seite 1 von 50");
    vorschau.ToolButton5->click();
    EXPECT_EQ(vorschau.Panel0->text(), "Seite 2 von 50");
    vorschau.ToolButton6->click();
    vorschau.ToolButton5->click();
    EXPECT_EQ(vorschau.Panel0->text(), "Seite 50 von 50");

    vorschau.Button1->click();
    EXPECT_EQ(lauf.restores, 1);
    for (const char* key : {"xpos", "ypos", "state"})
        EXPECT_EQ(u.lies(key), 0) << key;
    EXPECT_EQ(u.lies("breite"), 640);
    EXPECT_EQ(u.lies("hoehe"), 480);
    EXPECT_EQ(u.lies("zoom"), 100);
}

TEST(Vorschau, ZoomFromSettingsWithinItsRangeAndFromTheList)
{
    struct Fall {
        int gespeichert;
        int zoom;
        QString eintrag; // "" when no item is selected
    };
    for (const Fall& fall : {Fall{105, 105, "100"}, Fall{155, 155, "150"}, Fall{160, 160, ""}, Fall{5, 5, ""},
                             Fall{2000, 2000, ""}, Fall{1, 100, "100"}, Fall{2001, 100, "100"}}) {
        SCOPED_TRACE(fall.gespeichert);
        Umgebung u;
        u.schreibe("zoom", fall.gespeichert);
        Lauf lauf(2);
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, u.ini);
        vorschau.show();
        EXPECT_EQ(vorschau.QRPreview1->zoom(), fall.zoom);
        EXPECT_EQ(vorschau.ComboBox1->currentText(), fall.eintrag);
    }

    // A zoom chosen during the build stays when it ends, and is stored.
    Umgebung u;
    u.schreibe("zoom", 80);
    Lauf lauf(200);
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    vorschau.show();
    fixtures::processEventsUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    ASSERT_TRUE(builder.isBusy());
    taste(vorschau.ComboBox1, Qt::Key_Up);
    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(vorschau.ComboBox1->currentText(), "70");
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 70);
    taste(vorschau.ComboBox1, Qt::Key_End);
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 150);
    vorschau.close();
    EXPECT_EQ(u.lies("zoom"), 150);
}

TEST(Vorschau, GeometryAndStateAsStoredButNeverMinimisedNorOffScreen)
{
    Umgebung u;
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    u.schreibe("xpos", 30);
    u.schreibe("ypos", 40);
    u.schreibe("breite", 500);
    u.schreibe("hoehe", 400);
    QRect maximiert;
    {
        TVorschau vorschau(nullptr, builder, u.ini);
        vorschau.show();
        EXPECT_EQ(QRect(vorschau.pos(), vorschau.size()), QRect(30, 40, 500, 400));
        vorschau.showMaximized();
        fixtures::processEventsUntil([&] { return vorschau.width() != 500; });
        maximiert = QRect(vorschau.pos(), vorschau.size());
        vorschau.close();
    }
    EXPECT_EQ(u.lies("state"), 2);
    EXPECT_EQ(QRect(u.lies("xpos"), u.lies("ypos"), u.lies("breite"), u.lies("hoehe")), maximiert);
    EXPECT_TRUE(TVorschau(nullptr, builder, u.ini).windowState() & Qt::WindowMaximized);

    // Minimised or unknown: the modal window opens normal.
    for (const int state : {1, 3, -1}) {
        u.schreibe("state", state);
        Qt::WindowStates gesehen = Qt::WindowMinimized;
        solangeOffen<TVorschau>([&](TVorschau& vorschau) {
            gesehen = vorschau.windowState();
            vorschau.Button1->click();
            return true;
        });
        TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Report"), builder, u.ini);
        EXPECT_EQ(gesehen, Qt::WindowNoState) << state;
    }

    const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect weitWeg(frei.right() + 4000, frei.bottom() + 3000, 600, 400);
    const QRect ohneTitelleiste(100, frei.top() - 390, 600, 400);
    const QRect halbDraussen(frei.left() - 300, frei.top() + 20, 600, 400);
    for (const QRect& gespeichert : {weitWeg, ohneTitelleiste, halbDraussen}) {
        u.schreibe("xpos", gespeichert.x());
        u.schreibe("ypos", gespeichert.y());
        u.schreibe("breite", gespeichert.width());
        u.schreibe("hoehe", gespeichert.height());
        TVorschau vorschau(nullptr, builder, u.ini);
        const QRect fenster(vorschau.pos(), vorschau.size());
        if (gespeichert == halbDraussen)
            EXPECT_EQ(fenster, gespeichert) << "its title bar can still be reached";
        else
            EXPECT_TRUE(frei.contains(fenster)) << gespeichert.x() << "," << gespeichert.y();
    }
}

TEST(Vorschau, SizesNoScreenCouldShowOpenTheDefaultSize)
{
    Umgebung u;
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    u.schreibe("xpos", 20);
    u.schreibe("ypos", 10);
    u.schreibe("breite", 2147483647);
    u.schreibe("hoehe", -480);
    TVorschau vorschau(nullptr, builder, u.ini);
    EXPECT_EQ(QRect(vorschau.pos(), vorschau.size()), QRect(20, 10, 640, 480));
}

TEST(Vorschau, ClosingDuringTheBuildStopsItAndRestoresOnceBeforeTheCallReturns)
{
    Umgebung u;
    Lauf lauf(2000);
    PageBuilder builder(lauf.report);
    solangeOffen<TVorschau>([](TVorschau& vorschau) {
        if (vorschau.QRPreview1->pageCount() < 2)
            return false;
        vorschau.close(); // the close box
        return true;
    });
    TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Stoffinfo"), builder, u.ini);
    EXPECT_EQ(lauf.restores, 1);
    EXPECT_EQ(builder.status(), PageBuilder::Status::Cancelled);
    const int baender = lauf.baender;
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(lauf.baender, baender);
    EXPECT_FALSE(lauf.bandNachRestore);
    EXPECT_EQ(u.lies("state"), 0) << "settings written on the close box too";
}

TEST(Vorschau, ClosingStoresItsSettingsWithOneSaveAndKeepsTheOtherLines)
{
    Umgebung u;
    const QByteArray andere = "; von Hand\r\n[Optionen]\r\nHint=0\r\n";
    fixtures::writeBytes(u.ini.fileName(), andere);
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    fixtures::FileWrites schreibvorgaenge(u.ordner());
    solangeOffen<TVorschau>([](TVorschau& vorschau) {
        vorschau.Button1->click();
        return true;
    });
    TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Report"), builder, u.ini);
    EXPECT_EQ(schreibvorgaenge.count(u.ini.fileName()), 1);
    EXPECT_EQ(fixtures::readBytes(u.ini.fileName()),
              andere + "\r\n[Vorschau]\r\nxpos=0\r\nypos=0\r\nbreite=640\r\nhoehe=480\r\nstate=0\r\nzoom=100\r\n");
}

TEST(Vorschau, FailingSettingsWriteIsReportedAndTheWindowClosesAllTheSame)
{
    fixtures::TempDir dir;
    // A folder in the settings file's place: every write fails, whoever runs the test.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("marlex99.ini")));
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    Meldungen meldungen;
    solangeOffen<TVorschau>([](TVorschau& vorschau) {
        vorschau.Button1->click();
        return true;
    });
    TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Etikett"), builder, ini);
    ASSERT_EQ(meldungen.gezeigt.size(), 1) << "one message for the six keys";
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("marlex99.ini"));
    EXPECT_EQ(lauf.restores, 1);
}

TEST(Vorschau, SavesTheFinishedPagesAsPdfOrPageFile)
{
    Umgebung u;
    Lauf lauf(12); // three pages
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    vorschau.show();
    Meldungen meldungen;

    // While pages are still coming no file is asked for, and the user is told.
    vorschau.ToolButton2->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("noch aufgebaut"));
    EXPECT_EQ(vorschau.SaveDialog1, nullptr);
    meldungen.gezeigt.clear();

    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    const QString ordner = u.ordner();
    speichereUnter(vorschau, ordner + "/liste.pdf", "PDF-Dokument (*.pdf)");
    QProcess pdftotext;
    pdftotext.start("pdftotext", {ordner + "/liste.pdf", "-"});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_EQ(text.count("Schwefelsäure Lager Süd"), 12);
    EXPECT_EQ(text.count(u'\f'), 3) << "one form feed per page";

    // A name without extension gets that of the chosen type.
    speichereUnter(vorschau, ordner + "/liste", "QuickPrint (*.QRP *.qrp)");
    EXPECT_EQ(PageFile::load(ordner + "/liste.QRP"), builder.pages());
    EXPECT_TRUE(meldungen.gezeigt.isEmpty());

    // The extension added must not replace a file without asking.
    QFile alt(ordner + "/alt.pdf");
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly) && alt.write("alt") == 3);
    alt.close();
    meldungen.antwort = widgets::Answer::No;
    speichereUnter(vorschau, ordner + "/alt", "PDF-Dokument (*.pdf)");
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_EQ(alt.size(), 3);

    // A link into a missing folder cannot be written, whoever runs the test.
    ASSERT_TRUE(QFile::link(ordner + "/fehlt/ziel.pdf", ordner + "/verweis.pdf"));
    speichereUnter(vorschau, ordner + "/verweis.pdf", "PDF-Dokument (*.pdf)");
    ASSERT_EQ(meldungen.gezeigt.size(), 2);
    EXPECT_EQ(meldungen.gezeigt[1].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(meldungen.gezeigt[1].text.contains("verweis.pdf"));
    EXPECT_TRUE(vorschau.isVisible());
}

TEST(Vorschau, ToolBarOffersPagesSavingZoomAndClosingButNoPrinting)
{
    Umgebung u;
    Lauf lauf(3);
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    vorschau.show();
    QStringList leiste;
    for (QAction* action : vorschau.ToolBar1->actions()) {
        const QWidget* befehl = vorschau.ToolBar1->widgetForAction(action);
        leiste << (action->isSeparator() ? u"|"_qs : befehl->objectName() + u' ' + befehl->toolTip());
    }
    EXPECT_EQ(leiste.join(u" / ").toStdString(),
              "ToolButton3 Erste Seite / ToolButton4 Vorherige Seite / ToolButton5 Nächste Seite / "
              "ToolButton6 Letzte Seite / | / ToolButton2 Vorschau als QuickPrint abspeichern / | / "
              "ComboBox1 Zoom / | / Button1 Vorschau - Fenster schließen");
    for (const QAbstractButton* knopf : vorschau.findChildren<QAbstractButton*>())
        EXPECT_FALSE(knopf->text().contains("Druck") || knopf->toolTip().contains("Druck"))
            << knopf->objectName().toStdString();
}

TEST(Vorschau, FailedBuildIsReportedOnceAndKeepsItsPages)
{
    Umgebung u;
    Lauf lauf(200);
    lauf.report.events.beforeBand = [&](Band&, bool&) {
        if (++lauf.baender == 30)
            throw std::runtime_error("Die Tabelle chemie.dbf ist nicht geöffnet.");
    };
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    Meldungen meldungen;
    vorschau.show();
    fixtures::processEventsUntil([&] { return !meldungen.gezeigt.isEmpty(); });
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("chemie.dbf ist nicht geöffnet"));
    EXPECT_EQ(vorschau.Panel0->text(), "Seite 1 von 7");

    vorschau.ToolButton2->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 2);
    EXPECT_TRUE(meldungen.gezeigt[1].text.contains("nicht gespeichert werden"));
}

// A build stopped by too little memory is told in German, with the
// library's own text only as the detail, in the message and when saving.
TEST(Vorschau, ABuildStoppedByTooLittleMemoryIsToldInGerman)
{
    Umgebung u;
    Lauf lauf(200);
    lauf.report.events.beforeBand = [&](Band&, bool&) {
        if (++lauf.baender == 30)
            throw std::bad_alloc();
    };
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, u.ini);
    Meldungen meldungen;
    vorschau.show();
    fixtures::processEventsUntil([&] { return !meldungen.gezeigt.isEmpty(); });
    vorschau.ToolButton2->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 2);
    const QString deutsch = widgets::errorText(std::bad_alloc());
    for (const auto& meldung : meldungen.gezeigt) {
        EXPECT_TRUE(meldung.text.contains(deutsch)) << meldung.text.toStdString();
        EXPECT_FALSE(meldung.text.startsWith(u"std::bad_alloc"_qs)) << meldung.text.toStdString();
    }
}
