// A user's session from start to "Beenden", through the menus, popups, grid
// and header as a person uses them: the list filter set and cleared, a
// substance taken into storage, the storage filter set, an amount changed,
// a stock item deleted, a column widened. Afterwards the settings file holds
// the window, printer, columns and saved filters, and another program reads
// every change from lager.dbf.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QHeaderView>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "FilterTestSupport.h"
#include "data/Datas.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Events.h"
#include "ini/IniFile.h"
#include "search/Filtersetzen.h"
#include "widgets/DBGrid.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

using namespace filtertest;

namespace {

// Opens a menu of the menu bar by a click on its title and clicks `item` in it.
void imMenue(TMarlex& m, QAction* menue, QAction* item)
{
    QMenuBar* leiste = m.menuBar();
    QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->actionGeometry(menue).center());
    QMenu* liste = menue->menu();
    ASSERT_TRUE(fixtures::processEventsUntil([&] { return liste->isVisible(); }))
        << menue->objectName().toStdString();
    ASSERT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    QTest::mouseClick(liste, Qt::LeftButton, {}, liste->actionGeometry(item).center());
}

// Sets a filter through the dialog the menu item opens.
void filterSetzen(TMarlex& m, QAction* menue, QAction* item, const QString& text)
{
    imDialog([&] { imMenue(m, menue, item); },
             [&](TFiltersetzen& d) {
                 tippen(d, text);
                 setzen(d);
             });
}

int zeileVon(const TMarlex& m, const QString& name)
{
    return static_cast<int>(listenzeilen(m).indexOf(name));
}

} // namespace

TEST(Arbeitstag, EveryChangeOfTheSessionIsInTheSettingsAndTablesAfterQuitting)
{
    FilterRegister r;
    TMarlex& m = r.m;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    // Questions are answered yes; anything else the program says is a fault here.
    QStringList gesagt;
    widgets::ScopedAnswerProvider ja([&gesagt](const widgets::MessageRequest& frage) {
        if (frage.buttons.size() < 2)
            gesagt << frage.text;
        return frage.buttons.contains(widgets::Answer::Yes) ? widgets::Answer::Yes : widgets::Answer::Ok;
    });

    // The list filter, set and cleared again from its window.
    filterSetzen(m, m.Daten1, m.Filtersetzen1, u"WGK='3'"_qs);
    ASSERT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
    kontextmenue(r.aktuellerFilter, r.aktuellerFilter.Filterlschen1);
    ASSERT_EQ(m.ListenFilterAktiv, 0);
    ASSERT_EQ(listenzeilen(m).size(), 7);

    // Ethanol into storage from the list's popup.
    const QRect zeile = m.ListBox1->visualRect(m.ListBox1->lineModel().index(zeileVon(m, u"Ethanol"_qs)));
    QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, {}, zeile.center());
    QTest::mouseClick(m.windowHandle(), Qt::RightButton, {}, m.ListBox1->viewport()->mapTo(&m, zeile.center()));
    ASSERT_TRUE(m.PopupMenu1->isVisible());
    QTest::mouseClick(m.PopupMenu1, Qt::LeftButton, {}, m.PopupMenu1->actionGeometry(m.Menu31).center());
    QApplication::processEvents();
    ASSERT_EQ(m.PageControl1->currentWidget(), m.TabSheet3);

    // The storage filter hides the cupboard; the edit mode from the menu.
    filterSetzen(m, m.Daten3, m.Filter2, u"LAGER_ORT<>'Schrank'"_qs);
    ASSERT_EQ(m.LagerFilterAktiv, 1);
    imMenue(m, m.Daten3, m.Editieren2);
    ASSERT_EQ(m.LagerEditModus, 1);
    QApplication::processEvents();
    widgets::DBGrid& gitter = *m.DBGrid1;
    ASSERT_EQ(gitter.model()->rowCount(), 3);
    const auto zelle = [&](int reihe, int spalte) {
        return gitter.visualRect(gitter.model()->index(reihe, spalte)).center();
    };
    int ethanolReihe = -1;
    for (int i = 0; i < 3; ++i)
        if (gitter.model()->index(i, 1).data().toString() == u"Ethanol"_qs)
            ethanolReihe = i;
    ASSERT_GE(ethanolReihe, 0);

    // Its amount typed in the amount column, then a row up.
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(ethanolReihe, 2));
    QTest::keyClick(&gitter, Qt::Key_F2);
    auto* menge = qobject_cast<QComboBox*>(gitter.indexWidget(gitter.currentIndex()));
    ASSERT_NE(menge, nullptr);
    menge->lineEdit()->selectAll();
    QTest::keyClicks(menge->lineEdit(), u"bis 100g"_qs);
    QTest::keyClick(menge->lineEdit(), Qt::Key_Return);

    // Another row deleted from the menu.
    const int andereReihe = ethanolReihe == 0 ? 1 : 0;
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(andereReihe, 1));
    const QString geloeschtCarn = Datas->Table3->fieldByName("CARN").asString();
    imMenue(m, m.Daten3, m.Lschen2);
    QApplication::processEvents();
    ASSERT_EQ(gitter.model()->rowCount(), 2);

    // A further stock item of the current substance from the menu, stored
    // when the edit mode ends.
    const QString weitererCarn = Datas->Table3->fieldByName("CARN").asString();
    imMenue(m, m.Daten3, m.Neu2);
    EXPECT_EQ(m.Label48->text(), u"3"_qs) << "the stock items the storage filter shows";

    // The name column widened by dragging its right edge in the header.
    QHeaderView* kopf = gitter.horizontalHeader();
    const int breite = kopf->sectionSize(1);
    const int rand = kopf->sectionViewportPosition(1) + breite - 1;
    const int mitte = kopf->height() / 2;
    QTest::mousePress(kopf->viewport(), Qt::LeftButton, {}, QPoint(rand, mitte));
    QTest::mouseMove(kopf->viewport(), QPoint(rand + 20, mitte));
    QTest::mouseMove(kopf->viewport(), QPoint(rand + 40, mitte));
    QTest::mouseRelease(kopf->viewport(), Qt::LeftButton, {}, QPoint(rand + 40, mitte));
    ASSERT_EQ(kopf->sectionSize(1), breite + 40);
    QTest::mouseClick(m.ToolButton31, Qt::LeftButton);
    ASSERT_EQ(m.LagerEditModus, 0);
    // Back to the list: "&Marlex" is a menu of the other pages.
    QTabBar* reiter = m.PageControl1->tabBar();
    QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m.PageControl1->indexOf(m.TabSheet1)).center());
    ASSERT_TRUE(m.Marlex1->isEnabled());

    m.move(30, 20);
    m.resize(700, 500);
    m.DruckerIndex = 2;
    const QRect aussen = m.frameGeometry();
    const QString breiten = FeldbreitenText(gitter.columnWidths());
    imMenue(m, m.Marlex1, m.Beenden1);
    EXPECT_FALSE(m.isVisible());

    EXPECT_EQ(r.gespeicherteFensterlage(), aussen);
    const ini::IniFile ini(r.ini());
    EXPECT_EQ(ini.readInteger("Marlex99", "state", -1), 0);
    EXPECT_EQ(ini.readInteger("Optionen", "AktPrinterIndex", -1), 2);
    EXPECT_EQ(ini.readString("Lager", "Feldbreiten", {}), breiten);
    EXPECT_TRUE(breiten.contains(u'.' + QString::number(breite + 40) + u'.')) << breiten.toStdString();
    EXPECT_EQ(ini.readInteger("Filter", "Anzahl", -1), 1);
    EXPECT_EQ(ini.readString("Filter", "Filter1", {}), u"WGK='3'"_qs);
    EXPECT_EQ(ini.readInteger("LagerFilter", "Anzahl", -1), 1);
    EXPECT_EQ(ini.readString("LagerFilter", "Filter1", {}), u"LAGER_ORT<>'Schrank'"_qs);

    const fixtures::DbfreadTable lager = fixtures::readWithDbfread("lager.dbf");
    EXPECT_EQ(lager.deletedCount, 1);
    QStringList carns;
    QJsonObject neu;
    for (const QJsonValue& z : lager.rows) {
        carns << z[u"CARN"_qs].toString();
        if (z[u"NAME1"_qs].toString() == u"Ethanol"_qs)
            neu = z.toObject();
    }
    EXPECT_EQ(carns.size(), 4);
    EXPECT_EQ(carns.count(weitererCarn), 2) << weitererCarn.toStdString();
    EXPECT_FALSE(carns.contains(geloeschtCarn));
    EXPECT_TRUE(carns.contains(benzol)) << "the row the filter hid is still there";
    EXPECT_EQ(neu[u"CARN"_qs].toString(), ethanol);
    EXPECT_EQ(neu[u"MENGE_IN_G"_qs].toString(), u"bis 100g"_qs);
    EXPECT_EQ(neu[u"DATUM_NEU"_qs].toString(), QDate::currentDate().toString(Qt::ISODate));
    EXPECT_EQ(neu[u"ANZAHL"_qs].toInt(), 1);
    EXPECT_TRUE(gesagt.isEmpty()) << gesagt.join('\n').toStdString();
}
