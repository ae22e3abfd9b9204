#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>

#include "MarlexTestSupport.h"
#include "data/Optionen.h"
#include "fixtures/FileWrites.h"
#include "fixtures/Files.h"
#include "ini/IniFile.h"
#include "widgets/DBGrid.h"

using namespace marlextest;

namespace {

// The main window on the settings written so far, shown.
TMarlex& fensterZeigen(Register& r)
{
    symbolOrdnerSchreiben(QDir(r.programm()));
    TMarlex& m = r.fensterAnlegen();
    m.show();
    return m;
}

} // namespace

TEST(FormCloseQuery, ClosingStoresPlaceSizePrinterAndColumnWidthsWithOneSave)
{
    Register r;
    r.einstellung("Optionen", "Hint", "0");
    QRect aussen;
    {
        TMarlex& m = fensterZeigen(r);
        m.move(50, 60);
        m.resize(700, 500);
        m.DruckerIndex = 2;
        m.DBGrid1->setColumnWidth(0, 77);
        aussen = m.frameGeometry(); // the bounds are stored with the frame
        const std::vector<int> breiten = m.DBGrid1->columnWidths();
        fixtures::FileWrites schreibvorgaenge(r.programm());
        EXPECT_TRUE(m.close()) << "the close box";
        EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 1);

        const ini::IniFile ini(r.ini());
        EXPECT_EQ(QRect(ini.readInteger("Marlex99", "xpos", -1), ini.readInteger("Marlex99", "ypos", -1),
                        ini.readInteger("Marlex99", "breite", -1), ini.readInteger("Marlex99", "hoehe", -1)),
                  aussen);
        EXPECT_EQ(ini.readInteger("Marlex99", "state", -1), 0);
        EXPECT_EQ(ini.readInteger("Optionen", "AktPrinterIndex", -1), 2);
        EXPECT_EQ(ini.readString("Lager", "Feldbreiten", {}), FeldbreitenText(breiten));
        EXPECT_FALSE(ini.readBool("Optionen", "Hint", true)) << "the other settings stay";
    }

    // The next start opens the window as it was closed.
    TMarlex& m = r.fensterAnlegen();
    EXPECT_EQ(m.frameGeometry(), aussen);
    EXPECT_EQ(m.DruckerIndex, 2);
    EXPECT_EQ(m.DBGrid1->columnWidths().at(0), 77);
    EXPECT_TRUE(r.meldungen().empty());
}

TEST(FormCloseQuery, QuittingAsksFirstWhenTheOptionSaysSo)
{
    Register r;
    r.einstellung("Optionen", "Abfrage vor Beenden", "1");
    TMarlex& m = fensterZeigen(r);
    widgets::Answer antwort = widgets::Answer::Cancel;
    QStringList fragen;
    const widgets::ScopedAnswerProvider antworten([&](const widgets::MessageRequest& request) {
        fragen << request.text;
        return antwort;
    });
    fixtures::FileWrites schreibvorgaenge(r.programm());
    m.Beenden1->trigger();
    EXPECT_TRUE(m.isVisible()) << "cancelled";
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 0);

    antwort = widgets::Answer::Ok;
    m.Beenden1->trigger();
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(schreibvorgaenge.count("marlex99.ini"), 1);
    EXPECT_EQ(fragen, QStringList({"Marlex beenden?", "Marlex beenden?"}));
}

TEST(FormCreate, AbsurdGeometryAndFontGiveAWindowOnTheScreenWithAReadableFont)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    const QRect frei = QGuiApplication::primaryScreen()->availableGeometry();
    r.einstellung("Marlex99", "xpos", "100000");
    r.einstellung("Marlex99", "ypos", "-2147483648");
    r.einstellung("Marlex99", "breite", "2147483647");
    r.einstellung("Marlex99", "hoehe", "2147483647");
    r.einstellung("Font", "FontSize", "100000");
    {
        TMarlex& m = r.fensterAnlegen();
        EXPECT_EQ(m.frameGeometry().size(), QSize(640, 480).boundedTo(frei.size())) << "the default size";
        EXPECT_TRUE(frei.contains(m.frameGeometry()));
        EXPECT_EQ(m.ScreenFont.pointSize(), 8);
    }

    // Bounds from a larger screen, far to its right: the window comes onto
    // this one, no larger than it.
    r.einstellung("Marlex99", "xpos", QString::number(frei.right() + 4000));
    r.einstellung("Marlex99", "ypos", "0");
    r.einstellung("Marlex99", "breite", QString::number(frei.width() + 1000));
    r.einstellung("Marlex99", "hoehe", "400");
    r.einstellung("Font", "FontSize", "12");
    TMarlex& m = r.fensterAnlegen();
    EXPECT_TRUE(frei.contains(m.frameGeometry()));
    EXPECT_EQ(m.frameGeometry().width(), frei.width());
    EXPECT_EQ(m.frameGeometry().height(), 400);
    EXPECT_EQ(m.ScreenFont.pointSize(), 12);
}

TEST(FormCloseQuery, SettingsThatCannotBeStoredAreReportedAndTheWindowClosesAllTheSame)
{
    Register r;
    TMarlex& m = fensterZeigen(r);
    // A folder in the settings file's place: the save fails, whoever runs the test.
    ASSERT_TRUE(QDir().mkdir(r.ini()));
    EXPECT_TRUE(m.close());
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_EQ(r.meldungen()[0].kind, widgets::MessageKind::Warning);
    EXPECT_TRUE(r.meldungen()[0].text.contains("marlex99.ini")) << r.meldungen()[0].text.toStdString();
}
