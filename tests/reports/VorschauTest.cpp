#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "platform/report/ReportTestSupport.h"
#include "report/Output.h"
#include "report/PageBuilder.h"
#include "report/PageFile.h"
#include "report/PreviewWidget.h"
#include "reports/Vorschau.h"
#include "widgets/MessageBox.h"

using namespace report;

namespace {

const QString kSektion = QStringLiteral("Vorschau");

void processUntil(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
        QCoreApplication::processEvents();
}

// Details of 20 mm on a 100 mm page with 10 mm margins: four to a page.
// Counts the bands laid out and the restores, and notes a band laid out
// after the restore began.
struct Lauf {
    Report report;
    int baender = 0;
    int restores = 0;
    bool vollstaendig = false;
    bool bandNachRestore = false;

    explicit Lauf(int details)
    {
        reporttest::smallPage(report);
        report.title = QStringLiteral("Gefahrstoffliste");
        Band& detail = report.addBand(BandType::Detail);
        detail.height = 20;
        reporttest::addLabel(detail, QStringLiteral("Schwefelsäure Lager Süd"));
        report.needData = [details]() mutable { return details-- > 0; };
        report.events.beforeBand = [this](Band&, bool&) {
            ++baender;
            if (restores > 0)
                bandNachRestore = true;
        };
        report.events.afterPreview = [this](bool completed) {
            ++restores;
            vollstaendig = completed;
        };
    }
};

// Messages the window would show, answered without a screen.
struct Meldungen {
    QList<widgets::MessageRequest> gezeigt;
    widgets::Answer antwort = widgets::Answer::Ok;
    widgets::ScopedAnswerProvider provider{[this](const widgets::MessageRequest& request) {
        gezeigt << request;
        return antwort;
    }};

    QStringList texte() const
    {
        QStringList result;
        for (const auto& request : gezeigt)
            result << request.text;
        return result;
    }
};

void schreibe(ini::IniFile& ini, std::initializer_list<std::pair<const char*, int>> werte)
{
    for (const auto& [key, value] : werte)
        ini.writeInteger(kSektion, QString::fromLatin1(key), value);
}

int lies(const ini::IniFile& ini, const char* key) { return ini.readInteger(kSektion, QString::fromLatin1(key), -9999); }

QString seitenText(const TVorschau& vorschau) { return vorschau.Panel0->text(); }

QString pdftotext(const QString& fileName)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {fileName, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// For windows shown modally: hands the open one to handle at every turn of
// its event loop until handle says it is done.
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

// Saves through the save dialog with this file and type, as a user would.
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

void zoomTaste(TVorschau& vorschau, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(vorschau.ComboBox1, &press);
}

} // namespace

TEST(Vorschau, OpensAtOnceWithPageOneAndCountsPagesWhenTheBuildEnds)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(200); // fifty pages
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, -1);
    vorschau.show();

    // Defaults of a fresh settings file.
    EXPECT_EQ(vorschau.pos(), QPoint(0, 0));
    EXPECT_EQ(vorschau.size(), QSize(640, 480));
    EXPECT_EQ(vorschau.windowState(), Qt::WindowNoState);
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 100);
    EXPECT_EQ(vorschau.ComboBox1->currentText(), "100");
    ASSERT_EQ(vorschau.ComboBox1->count(), 15);
    EXPECT_EQ(vorschau.ComboBox1->itemText(0), "10");
    EXPECT_EQ(vorschau.ComboBox1->itemText(14), "150");

    processUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    EXPECT_EQ(vorschau.QRPreview1->pageNumber(), 1);
    ASSERT_TRUE(builder.isBusy()) << "page one shows while later pages are still built";
    EXPECT_EQ(seitenText(vorschau), "") << "no page text before the build ends";

    // Navigation during the build reaches only built pages and counts them.
    vorschau.ToolButton6->click();
    const int gebaut = vorschau.QRPreview1->pageCount();
    EXPECT_LT(gebaut, 50);
    EXPECT_EQ(seitenText(vorschau), QStringLiteral("Seite %1 von %1").arg(gebaut));

    processUntil([&] { return !builder.isBusy(); });
    EXPECT_TRUE(builder.isFinished());
    EXPECT_EQ(seitenText(vorschau), QStringLiteral("Seite %1 von 50").arg(gebaut));

    vorschau.ToolButton3->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 50");
    vorschau.ToolButton4->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 50");
    vorschau.ToolButton5->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 2 von 50");
    vorschau.ToolButton6->click();
    vorschau.ToolButton5->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 50 von 50");
    vorschau.ToolButton4->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 49 von 50");
    EXPECT_EQ(vorschau.Panel1->text(), "");

    EXPECT_EQ(lauf.restores, 0) << "the window is still open";
    vorschau.Button1->click();
    EXPECT_FALSE(vorschau.isVisible());
    EXPECT_EQ(vorschau.result(), QDialog::Accepted);
    EXPECT_EQ(lauf.restores, 1);
    EXPECT_TRUE(lauf.vollstaendig);

    // All six keys on the first close.
    EXPECT_EQ(lies(ini, "xpos"), 0);
    EXPECT_EQ(lies(ini, "ypos"), 0);
    EXPECT_EQ(lies(ini, "breite"), 640);
    EXPECT_EQ(lies(ini, "hoehe"), 480);
    EXPECT_EQ(lies(ini, "state"), 0);
    EXPECT_EQ(lies(ini, "zoom"), 100);
}

TEST(Vorschau, OnePageReportKeepsPageOne)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, -1);
    vorschau.show();
    processUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 1");
    vorschau.ToolButton5->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 1");
    vorschau.ToolButton4->click();
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 1");
}

TEST(Vorschau, StoredZoomAppliesInItsRangeAndSelectsItsListItem)
{
    struct Fall {
        int gespeichert;
        int zoom;
        QString eintrag; // "" when no item is selected
    };
    const Fall faelle[] = {
        {100, 100, "100"}, {105, 105, "100"}, {50, 50, "50"},  {155, 155, "150"}, {160, 160, ""},
        {2000, 2000, ""},  {5, 5, ""},        {2, 2, ""},      {1, 100, "100"},   {2001, 100, "100"},
        {-30, 100, "100"},
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.gespeichert);
        fixtures::TempDir dir;
        ini::IniFile ini(QStringLiteral("marlex99.ini"));
        schreibe(ini, {{"zoom", fall.gespeichert}});
        Lauf lauf(2);
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, ini, -1);
        vorschau.show();
        EXPECT_EQ(vorschau.QRPreview1->zoom(), fall.zoom);
        EXPECT_EQ(vorschau.ComboBox1->currentText(), fall.eintrag);
        vorschau.close();
        EXPECT_EQ(lies(ini, "zoom"), fall.zoom);
    }
}

TEST(Vorschau, ZoomChosenInTheListStaysAfterTheBuildAndIsStored)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    schreibe(ini, {{"zoom", 80}});
    Lauf lauf(200);
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, -1);
    vorschau.show();
    processUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    ASSERT_TRUE(builder.isBusy());

    zoomTaste(vorschau, Qt::Key_Up);
    EXPECT_EQ(vorschau.ComboBox1->currentText(), "70");
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 70);

    processUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 70) << "list and page agree after the build";
    EXPECT_EQ(vorschau.ComboBox1->currentText(), "70");

    zoomTaste(vorschau, Qt::Key_End);
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 150);
    const QSize gross = vorschau.QRPreview1->pagePixelSize();
    zoomTaste(vorschau, Qt::Key_Home);
    EXPECT_EQ(vorschau.QRPreview1->zoom(), 10);
    EXPECT_NEAR(vorschau.QRPreview1->pagePixelSize().width(), gross.width() / 15.0, 1.0);
    vorschau.close();
    EXPECT_EQ(lies(ini, "zoom"), 10);
}

TEST(Vorschau, GeometryAndStateComeBackAsTheyWereClosed)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    schreibe(ini, {{"xpos", 30}, {"ypos", 40}, {"breite", 500}, {"hoehe", 400}, {"state", 0}});
    Lauf lauf(2);
    {
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, ini, -1);
        vorschau.show();
        EXPECT_EQ(vorschau.geometry().size(), QSize(500, 400));
        EXPECT_EQ(vorschau.pos(), QPoint(30, 40));
        vorschau.move(60, 70);
        vorschau.resize(520, 410);
        vorschau.close();
    }
    EXPECT_EQ(lies(ini, "xpos"), 60);
    EXPECT_EQ(lies(ini, "ypos"), 70);
    EXPECT_EQ(lies(ini, "breite"), 520);
    EXPECT_EQ(lies(ini, "hoehe"), 410);

    // Closed maximised: reopens maximised, having stored the bounds it had.
    QRect maximiert;
    {
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, ini, -1);
        vorschau.show();
        vorschau.showMaximized();
        processUntil([&] { return vorschau.size() != QSize(520, 410); });
        maximiert = QRect(vorschau.pos(), vorschau.size());
        vorschau.close();
    }
    EXPECT_EQ(lies(ini, "state"), 2);
    EXPECT_EQ(QRect(lies(ini, "xpos"), lies(ini, "ypos"), lies(ini, "breite"), lies(ini, "hoehe")), maximiert);
    {
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, ini, -1);
        vorschau.show();
        EXPECT_TRUE(vorschau.isMaximized());
    }
}

TEST(Vorschau, MinimisedOrUnknownStoredStateOpensTheModalWindowNormal)
{
    for (const int state : {1, 3, -1, 255}) {
        SCOPED_TRACE(state);
        fixtures::TempDir dir;
        ini::IniFile ini(QStringLiteral("marlex99.ini"));
        schreibe(ini, {{"state", state}});
        Lauf lauf(2);
        PageBuilder builder(lauf.report);
        Qt::WindowStates gesehen = Qt::WindowMinimized;
        bool modal = false;
        solangeOffen<TVorschau>([&](TVorschau& vorschau) {
            gesehen = vorschau.windowState();
            modal = vorschau.isModal();
            vorschau.Button1->click();
            return true;
        });
        TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Report"), builder, ini, -1);
        EXPECT_EQ(gesehen, Qt::WindowNoState);
        EXPECT_TRUE(modal);
        EXPECT_EQ(lies(ini, "state"), 0);
        EXPECT_EQ(lauf.restores, 1);
    }
}

TEST(Vorschau, GeometryOffEveryScreenIsMovedOntoOne)
{
    const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
    struct Fall {
        QRect gespeichert;
        bool bleibt;
    };
    const Fall faelle[] = {
        {QRect(frei.right() + 4000, frei.bottom() + 3000, 640, 480), false},
        {QRect(-5000, 100, 640, 480), false},
        {QRect(100, frei.top() - 470, 640, 480), false}, // only its lower edge shows, no title bar
        {QRect(frei.left() + 50, frei.top() + 50, frei.width() * 3, frei.height() * 3), true},
        {QRect(frei.left() - 300, frei.top() + 20, 640, 480), true}, // partly off, still within reach
    };
    for (const Fall& fall : faelle) {
        SCOPED_TRACE(fall.gespeichert.x());
        fixtures::TempDir dir;
        ini::IniFile ini(QStringLiteral("marlex99.ini"));
        schreibe(ini, {{"xpos", fall.gespeichert.x()},
                       {"ypos", fall.gespeichert.y()},
                       {"breite", fall.gespeichert.width()},
                       {"hoehe", fall.gespeichert.height()}});
        Lauf lauf(1);
        PageBuilder builder(lauf.report);
        TVorschau vorschau(nullptr, builder, ini, -1);
        const QRect fenster(vorschau.pos(), vorschau.size());
        if (fall.bleibt) {
            EXPECT_EQ(fenster, fall.gespeichert);
        } else {
            EXPECT_TRUE(frei.contains(fenster)) << fenster.x() << "," << fenster.y();
            EXPECT_EQ(fenster.size(), fall.gespeichert.size().boundedTo(frei.size()));
        }
    }
}

TEST(Vorschau, ClosingDuringTheBuildStopsItAndRestoresOnceAfterTheLastBand)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(2000);
    PageBuilder builder(lauf.report);
    int seitenBeimSchliessen = 0;
    solangeOffen<TVorschau>([&](TVorschau& vorschau) {
        if (vorschau.QRPreview1->pageCount() < 2)
            return false;
        seitenBeimSchliessen = vorschau.QRPreview1->pageCount();
        vorschau.close(); // the close box
        return true;
    });
    TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Stoffinfo"), builder, ini, -1);

    EXPECT_EQ(lauf.restores, 1) << "restored before the window call returns";
    EXPECT_FALSE(lauf.vollstaendig);
    EXPECT_EQ(builder.status(), PageBuilder::Status::Cancelled);
    EXPECT_LT(builder.pages().size(), 500u);
    EXPECT_GE(int(builder.pages().size()), seitenBeimSchliessen);
    const int baender = lauf.baender;
    for (int i = 0; i < 50; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(lauf.baender, baender) << "no band after the close";
    EXPECT_FALSE(lauf.bandNachRestore);
    EXPECT_EQ(lies(ini, "state"), 0) << "settings written on the close box too";
    builder.close();
    EXPECT_EQ(lauf.restores, 1);
}

TEST(Vorschau, WindowFreedWithoutClosingStillRestoresOnce)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(2000);
    PageBuilder builder(lauf.report);
    {
        TVorschau vorschau(nullptr, builder, ini, -1);
        vorschau.show();
        processUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    }
    EXPECT_EQ(lauf.restores, 1);
    const int baender = lauf.baender;
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(lauf.baender, baender);
}

TEST(Vorschau, FailingSettingsWriteIsReportedAndDoesNotKeepTheWindowOpen)
{
    fixtures::TempDir dir;
    // A folder where the settings file should be: reads give the defaults,
    // every write fails (whoever runs the test).
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("marlex99.ini")));
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(2);
    PageBuilder builder(lauf.report);
    Meldungen meldungen;
    solangeOffen<TVorschau>([](TVorschau& vorschau) {
        vorschau.Button1->click();
        return true;
    });
    TVorschau::zeigen(nullptr, QStringLiteral("Vorschau - Etikett"), builder, ini, -1);
    ASSERT_EQ(meldungen.gezeigt.size(), 1) << "one message for the six keys";
    EXPECT_EQ(meldungen.gezeigt[0].kind, widgets::MessageKind::Warning);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("marlex99.ini")) << meldungen.gezeigt[0].text.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the window closed";
    EXPECT_EQ(lauf.restores, 1);
}

TEST(Vorschau, SavesFinishedPagesAsPdfOrAsPageFile)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(12); // three pages
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, -1);
    vorschau.setWindowTitle(QStringLiteral("Vorschau - Report"));
    vorschau.show();
    Meldungen meldungen;

    // Before the build has ended nothing is asked or written, and the user
    // hears why.
    vorschau.ToolButton2->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("noch aufgebaut"));
    EXPECT_EQ(vorschau.SaveDialog1, nullptr) << "no file is asked for";
    meldungen.gezeigt.clear();

    processUntil([&] { return !builder.isBusy(); });
    const QString ordner = QString::fromStdString(dir.path().string());
    speichereUnter(vorschau, ordner + "/liste.pdf", "PDF-Dokument (*.pdf)");
    ASSERT_TRUE(QFile::exists(ordner + "/liste.pdf"));
    const QString text = pdftotext(ordner + "/liste.pdf");
    EXPECT_EQ(text.count(QStringLiteral("Schwefelsäure Lager Süd")), 12);
    EXPECT_EQ(text.count(u'\f'), 3) << "one form feed per page";

    // A name without extension gets that of the chosen type.
    speichereUnter(vorschau, ordner + "/liste", "QuickPrint (*.QRP *.qrp)");
    ASSERT_TRUE(QFile::exists(ordner + "/liste.QRP"));
    EXPECT_EQ(PageFile::load(ordner + "/liste.QRP"), builder.pages());
    speichereUnter(vorschau, ordner + "/kopie.qrp", "Alle Dateien (*)");
    EXPECT_EQ(PageFile::load(ordner + "/kopie.qrp"), builder.pages());
    EXPECT_TRUE(meldungen.gezeigt.isEmpty()) << meldungen.texte().join('\n').toStdString();

    // Appending the extension would replace a file the dialog did not ask about.
    QFile alt(ordner + "/alt.pdf");
    ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
    alt.write("alt");
    alt.close();
    meldungen.antwort = widgets::Answer::No;
    speichereUnter(vorschau, ordner + "/alt", "PDF-Dokument (*.pdf)");
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("alt.pdf"));
    EXPECT_EQ(QFile(ordner + "/alt.pdf").size(), 3) << "kept when the user says no";
    meldungen.gezeigt.clear();

    // A file that cannot be written is reported; the window stays open. (A
    // link into a missing folder cannot be written, whoever runs the test.)
    ASSERT_TRUE(QFile::link(ordner + "/fehlt/ziel.pdf", ordner + "/verweis.pdf"));
    speichereUnter(vorschau, ordner + "/verweis.pdf", "PDF-Dokument (*.pdf)");
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_EQ(meldungen.gezeigt[0].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("verweis.pdf")) << meldungen.gezeigt[0].text.toStdString();
    EXPECT_TRUE(vorschau.isVisible());
}

TEST(Vorschau, PrintsOnlyFinishedPagesAndSaysWhenNoPrinterIsThere)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(200);
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, 0);
    vorschau.show();
    Meldungen meldungen;
    processUntil([&] { return vorschau.QRPreview1->pageCount() >= 1; });
    ASSERT_TRUE(builder.isBusy());
    vorschau.ToolButton9->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("gedruckt"));
    EXPECT_TRUE(builder.isBusy()) << "the build goes on in its slices";

    if (!installedPrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed here";
    processUntil([&] { return !builder.isBusy(); });
    vorschau.ToolButton9->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 2);
    EXPECT_EQ(meldungen.gezeigt[1].kind, widgets::MessageKind::Error);
    EXPECT_EQ(meldungen.gezeigt[1].text, "Es ist kein Drucker installiert.");
}

TEST(Vorschau, FailedBuildIsReportedOnceAndSavingThenExplainsWhy)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QStringLiteral("marlex99.ini"));
    Lauf lauf(200);
    lauf.report.events.beforeBand = [&](Band&, bool&) {
        if (++lauf.baender == 30)
            throw std::runtime_error("Die Tabelle chemie.dbf ist nicht geöffnet.");
    };
    PageBuilder builder(lauf.report);
    TVorschau vorschau(nullptr, builder, ini, -1);
    Meldungen meldungen;
    vorschau.show();
    processUntil([&] { return !meldungen.gezeigt.isEmpty(); });
    ASSERT_EQ(meldungen.gezeigt.size(), 1);
    EXPECT_EQ(meldungen.gezeigt[0].kind, widgets::MessageKind::Error);
    EXPECT_TRUE(meldungen.gezeigt[0].text.contains("chemie.dbf ist nicht geöffnet"));
    EXPECT_EQ(seitenText(vorschau), "Seite 1 von 7");
    EXPECT_TRUE(vorschau.isVisible()) << "the pages built so far stay to be seen";

    vorschau.ToolButton2->click();
    ASSERT_EQ(meldungen.gezeigt.size(), 2);
    EXPECT_TRUE(meldungen.gezeigt[1].text.contains("nicht gespeichert werden"));
    EXPECT_TRUE(meldungen.gezeigt[1].text.contains("chemie.dbf"));
    vorschau.close();
    EXPECT_EQ(lauf.restores, 1);
}
