// What the main window shows a person: pictures on the tool buttons that
// say their command, texts that are not cut, and a start message that fits
// on the screen.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/Werkzeugbilder.h"
#include "dbase/Table.h"
#include "ini/IniFile.h"
#include "widgets/DBGrid.h"
#include "widgets/IconTheme.h"

using namespace marlextest;

namespace {

std::vector<QToolButton*> werkzeugknoepfe(const TMarlex& m)
{
    std::vector<QToolButton*> knoepfe;
    for (QToolButton* knopf : m.findChildren<QToolButton*>())
        if (knopf->objectName().startsWith(QLatin1String("ToolButton")))
            knoepfe.push_back(knopf);
    return knoepfe;
}

// Whether a picture shows anything: an icon whose files are there but that
// nothing can draw (no SVG engine) gives empty pixmaps.
bool zeigtEtwas(const QIcon& icon)
{
    const QImage bild = icon.pixmap(28, 28).toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (qAlpha(bild.pixel(x, y)) > 0)
                return true;
    return false;
}

TEST(Werkzeugbilder, EveryToolButtonShowsAPictureOfItsCommand)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    TMarlex& m = r.fensterAnlegen();

    const std::vector<QToolButton*> knoepfe = werkzeugknoepfe(m);
    ASSERT_EQ(knoepfe.size(), 26u);
    for (QToolButton* knopf : knoepfe) {
        EXPECT_FALSE(knopf->icon().isNull()) << knopf->objectName().toStdString();
        EXPECT_TRUE(zeigtEtwas(knopf->icon())) << knopf->objectName().toStdString();
    }

    const std::vector<std::pair<QToolButton*, const char*>> erwartet = {
        {m.ToolButton58, "document-print"},   {m.ToolButton40, "document-print"}, // Stoffinfo drucken
        {m.ToolButton57, "document-preview"}, {m.ToolButton39, "document-preview"}, // Stoffinfo ansehen
        {m.ToolButton53, "list-add"},         {m.ToolButton52, "list-remove"},    // Synonym hinzufügen, entfernen
        {m.ToolButton43, "edit-find"},        {m.ToolButton3, "document-print"},  // Suchen, Etikett drucken
        {m.ToolButton38, "document-new"},     {m.ToolButton41, "document-edit"},
    };
    for (const auto& [knopf, name] : erwartet)
        EXPECT_EQ(knopf->icon().name(), QLatin1String(name)) << knopf->objectName().toStdString();

    // A menu item of the same command shows the same picture.
    for (const auto& [name, icon] : std::vector<std::pair<const char*, const char*>>{
             {"Drucken1", "document-print"}, {"Stoffinfodrucken1", "document-print"},
             {"Stoffinfoanzeigen1", "document-preview"}, {"Hinzufgen1", "list-add"}}) {
        auto* item = m.findChild<QAction*>(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->icon().name(), QLatin1String(icon)) << name;
    }

    // The three databases share one picture, told apart by their numbers.
    const QImage stamm = m.ToolButton48->icon().pixmap(28, 28).toImage();
    EXPECT_NE(m.ToolButton49->icon().pixmap(28, 28).toImage(), stamm);
    EXPECT_NE(m.ToolButton50->icon().pixmap(28, 28).toImage(), m.ToolButton49->icon().pixmap(28, 28).toImage());
}

TEST(Werkzeugbilder, BlinkingModeButtonsShowAnotherPictureInTheirOtherPhase)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    TMarlex& m = r.fensterAnlegen();

    const std::vector<std::pair<QToolButton*, int>> blinker = {
        {m.ToolButton41, 30}, {m.ToolButton22, 31}, {m.ToolButton31, 30}};
    for (const auto& [knopf, anders] : blinker) {
        const int normal = TMarlex::buttonImage(knopf);
        const QImage vorher = knopf->icon().pixmap(28, 28).toImage();
        m.setButtonImage(knopf, anders);
        EXPECT_TRUE(zeigtEtwas(knopf->icon())) << knopf->objectName().toStdString();
        EXPECT_NE(knopf->icon().pixmap(28, 28).toImage(), vorher) << knopf->objectName().toStdString();
        m.setButtonImage(knopf, normal);
        EXPECT_EQ(knopf->icon().pixmap(28, 28).toImage(), vorher);
    }
}

TEST(Werkzeugbilder, TheBuildShipsTheIconThemeBesideTheProgram)
{
    EXPECT_TRUE(QFileInfo(QStringLiteral(MARLEX_BINARY_DIR "/src/app/") + QLatin1String(widgets::IconThemeFile))
                    .isFile());
}

TEST(Statusleiste, EveryTextAPanelShowsFitsIntoIt)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    TMarlex& m = r.fensterAnlegen();
    m.show();
    QApplication::processEvents();

    const std::array<QStringList, 4> texte = {
        QStringList{"100000 / 100000"},
        QStringList{"STAMM", "TMP1", "TMP2"},
        QStringList{"Editiermodus", "Eingabemodus", "Lager-Editiermodus"},
        QStringList{"Im Lager", "Nicht im Lager"},
    };
    for (std::size_t i = 0; i < texte.size(); ++i) {
        QLabel* panel = m.StatusPanel[i];
        for (const QString& text : texte[i])
            EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), panel->contentsRect().width())
                << "panel " << i << ": " << text.toStdString();
    }
    EXPECT_GE(m.StatusPanel[2]->width(), 120) << "never narrower than designed";
}

// Whether each column of the grid is wide enough for its title.
void titelPassen(const widgets::DBGrid& grid, const char* wann)
{
    const QHeaderView* kopf = grid.horizontalHeader();
    const int rand = kopf->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, kopf);
    for (int spalte = 0; spalte < grid.model()->columnCount(); ++spalte) {
        const QString titel = grid.model()->headerData(spalte, Qt::Horizontal).toString();
        EXPECT_LE(kopf->fontMetrics().horizontalAdvance(titel) + 2 * rand, kopf->sectionSize(spalte))
            << wann << ": " << titel.toStdString();
    }
}

TEST(Lagerraster, EveryColumnTitleFitsItsColumnInTheScreenFont)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    titelPassen(*r.fensterAnlegen().DBGrid1, "default font");
    r.einstellung("Font", "FontSize", "16");
    TMarlex& m = r.fensterAnlegen();
    titelPassen(*m.DBGrid1, "16 point");
    EXPECT_EQ(m.DBGrid1->columnWidths().at(2), 109) << "the amount column keeps its designed width";
}

// A stock item whose every field is filled to its width; digits are as
// wide as a desktop grid reckons a character.
void vollerLagerbestand()
{
    lagerzeilenSchreiben({{QStringLiteral("71-43-2")}});
    dbase::Table lager;
    lager.setTableName(QStringLiteral("lager.dbf"));
    lager.open();
    lager.first();
    lager.edit();
    for (int feld = 0; feld < lager.fieldCount(); ++feld) {
        const dbase::FieldDef& def = lager.layout().field(feld);
        if (def.type == dbase::FieldType::Date)
            lager.field(feld).setAsDate(QDate(2026, 12, 31));
        else if (def.type == dbase::FieldType::Numeric && def.decimals > 0)
            lager.field(feld).setAsString(QString(def.length - def.decimals - 1, u'8') + u'.'
                                          + QString(def.decimals, u'8'));
        else if (def.name != "CARN" && def.name != "SUBCARN") // these stay the substance's
            lager.field(feld).setAsString(QString(def.length, u'8'));
    }
    lager.post();
}

TEST(Lagerraster, EveryValueShowsWholeAtLargeFontsWhereNoWidthIsSetForItsColumn)
{
    for (const char* groesse : {"16", "22"}) {
        SCOPED_TRACE(groesse);
        Register r;
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Benzol", "71-43-2"}});
        chemieSchreiben({{"71-43-2", "1", {{NAME1, "Benzol"}}}});
        vollerLagerbestand();
        formelnSchreiben({});
        r.einstellung("Font", "FontSize", groesse);
        r.einstellung("Lager", "Feldbreiten", "40.");
        TMarlex& m = r.starten();
        m.DatenlisteEinlesen();
        m.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
        QTabBar* reiter = m.PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m.PageControl1->indexOf(m.TabSheet3)).center());
        QApplication::processEvents();

        const widgets::DBGrid& gitter = *m.DBGrid1;
        ASSERT_EQ(gitter.model()->rowCount(), 1);
        EXPECT_EQ(gitter.columnWidth(0), 40) << "the user's width wins";
        const int rand = gitter.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &gitter) + 1;
        for (int spalte = 1; spalte < gitter.model()->columnCount(); ++spalte) {
            if (spalte == 2)
                continue; // the amount column has a designed width
            const QModelIndex zelle = gitter.model()->index(0, spalte);
            const QString text = zelle.data().toString();
            const QVariant schrift = zelle.data(Qt::FontRole);
            const QFontMetrics masse(schrift.isValid() ? schrift.value<QFont>() : gitter.font());
            EXPECT_FALSE(text.isEmpty());
            EXPECT_LE(masse.horizontalAdvance(text) + 2 * rand, gitter.visualRect(zelle).width())
                << text.toStdString();
        }
    }
}

// The storage page of a register whose one stock item fills every field,
// started at a font size and shown with its storage page open.
TMarlex& lagerseiteZeigen(Register& r, const char* groesse)
{
    r.einstellung("Font", "FontSize", groesse);
    TMarlex& m = r.fensterAnlegen();
    m.DatenlisteEinlesen();
    m.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
    QTabBar* reiter = m.PageControl1->tabBar();
    QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m.PageControl1->indexOf(m.TabSheet3)).center());
    QApplication::processEvents();
    return m;
}

// Whether the first row's value of a column shows whole in its cell.
bool zeigtGanz(const widgets::DBGrid& gitter, int spalte)
{
    const QModelIndex zelle = gitter.model()->index(0, spalte);
    const QVariant schrift = zelle.data(Qt::FontRole);
    const QFontMetrics masse(schrift.isValid() ? schrift.value<QFont>() : gitter.font());
    const int rand = gitter.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &gitter) + 1;
    return masse.horizontalAdvance(zelle.data().toString()) + 2 * rand <= gitter.visualRect(zelle).width();
}

TEST(Lagerraster, AWidthTheUserDraggedStaysAtTheNextStartWhileTheOtherColumnsFitTheNewFont)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{"Benzol", "71-43-2"}});
    chemieSchreiben({{"71-43-2", "1", {{NAME1, "Benzol"}}}});
    vollerLagerbestand();
    formelnSchreiben({});
    r.einstellung("Optionen", "Abfrage vor Beenden", "0");
    r.starten();
    int gezogen = 0;
    {
        TMarlex& m = lagerseiteZeigen(r, "9");
        // The user drags the right edge of the name column to the right.
        QHeaderView* kopf = m.DBGrid1->horizontalHeader();
        const int kante = kopf->sectionViewportPosition(1) + kopf->sectionSize(1) - 1;
        const int mitte = kopf->height() / 2;
        const int vorher = kopf->sectionSize(1);
        QTest::mousePress(kopf->viewport(), Qt::LeftButton, {}, QPoint(kante, mitte));
        QTest::mouseMove(kopf->viewport(), QPoint(kante + 35, mitte));
        QTest::mouseRelease(kopf->viewport(), Qt::LeftButton, {}, QPoint(kante + 35, mitte));
        gezogen = m.DBGrid1->columnWidth(1);
        ASSERT_GT(gezogen, vorher);
        m.Beenden1->trigger();
        ASSERT_FALSE(m.isVisible());
    }
    const ini::IniFile ini(r.ini());
    EXPECT_EQ(ini.readString("Lager", "EigeneFeldbreiten", {}), "0100000000000") << "only the dragged column";
    EXPECT_EQ(FeldbreitenLesen(ini.readString("Lager", "Feldbreiten", {}), 13).breiten.size(), 13u)
        << "all widths, as earlier versions read them";

    TMarlex& m = lagerseiteZeigen(r, "22");
    ASSERT_EQ(m.DBGrid1->model()->rowCount(), 1);
    EXPECT_EQ(m.DBGrid1->columnWidth(1), gezogen) << "the user's width";
    for (int spalte = 0; spalte < m.DBGrid1->model()->columnCount(); ++spalte) {
        if (spalte != 1) {
            EXPECT_TRUE(zeigtGanz(*m.DBGrid1, spalte)) << "column " << spalte;
        }
    }
    EXPECT_GT(m.DBGrid1->columnWidth(2), 109) << "the amount column grows past its designed width";

    // A settings file of an earlier version: every width written is the user's.
    r.einstellung("Lager", "EigeneFeldbreiten", "");
    r.einstellung("Lager", "Feldbreiten", "40.50.60.");
    TMarlex& frueher = lagerseiteZeigen(r, "22");
    EXPECT_EQ(frueher.DBGrid1->columnWidths().at(2), 60);
    EXPECT_TRUE(zeigtGanz(*frueher.DBGrid1, 3)) << "columns it does not name fit their data";
}

TEST(Startmeldung, ManyMissingPicturesGiveOneBoxThatFitsOnTheScreenWithTheirNamesInTheDetails)
{
    Register r; // no Symbol folder: all 78 pictures are missing
    QStringList namen;
    const auto staemme = [&namen](const auto& tabelle) {
        for (const char* stamm : tabelle)
            namen << QLatin1String(stamm) + QLatin1String("BMP") << QLatin1String("F_") + stamm + "BMP";
    };
    staemme(GefahrStaemme);
    staemme(SchutzStaemme);
    staemme(UnterrichtStaemme);
    staemme(WirkungStaemme);
    staemme(KrebsStaemme);
    staemme(CancerStaemme);

    int boxen = 0;
    QString text;
    QString details;
    int hoehe = 0;
    const auto pruefen = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        ++boxen;
        text = box->text();
        details = box->detailedText();
        hoehe = box->sizeHint().height();
        box->button(QMessageBox::Ok)->click();
    };
    QTimer wache;
    QObject::connect(&wache, &QTimer::timeout, pruefen);
    wache.start(10);
    {
        // The real box, as a user gets it.
        const widgets::ScopedAnswerProvider aufDemBildschirm{widgets::MessageBox::AnswerProvider()};
        r.fensterAnlegen();
    }
    wache.stop();

    EXPECT_EQ(boxen, 1);
    EXPECT_TRUE(text.contains("78 Piktogramme")) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::cleanPath(r.programm()) + "/Symbol/")) << text.toStdString();
    EXPECT_LE(hoehe, QApplication::primaryScreen()->availableGeometry().height()) << text.toStdString();
    for (const QString& name : namen)
        EXPECT_TRUE(details.split('\n').contains(name)) << name.toStdString();
}

} // namespace
