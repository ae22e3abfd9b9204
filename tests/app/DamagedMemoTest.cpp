#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/SymbolBild.h"
#include "dbase/DbfFile.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

// The user clicks a line of the name list.
void klicken(widgets::NameList& liste, int zeile)
{
    const QPoint punkt = liste.visualRect(liste.model()->index(zeile, 0)).center();
    for (const QEvent::Type art : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent ereignis(art, punkt, liste.viewport()->mapToGlobal(punkt), Qt::LeftButton,
                             art == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(liste.viewport(), &ereignis);
    }
}

// Points a record's memo field at a block far behind the end of the memo file.
void memoZeigerHinterDasEnde(std::uint32_t satz)
{
    auto datei = dbase::DbfFile::open("chemie.dbf", dbase::OpenMode::ReadWrite, dbase::ShareMode::Shared);
    std::string bytes;
    datei->readRecord(satz, bytes);
    const dbase::FieldDef& memo = datei->layout().field(MEMOTEXT);
    bytes.replace(memo.offset, memo.length, "    999999");
    datei->writeRecord(satz, bytes);
}

} // namespace

TEST(DamagedMemo, TheRecordIsShownWithItsMemoEmptyAndTheDamageToldOnce)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{"Aceton", "67-64-1"}, {"Benzol", "71-43-2"}});
    chemieSchreiben({{"67-64-1", "1", {{NAME1, "Aceton"}, {MEMOTEXT, "leicht entzündlich"}}},
                     {"71-43-2", "1", {{NAME1, "Benzol"}, {GEFSYM1, "T"}, {MEMOTEXT, "krebserzeugend"}}}});
    lagerSchreiben({});
    formelnSchreiben({});
    memoZeigerHinterDasEnde(2);
    TMarlex& m = r.starten();
    m.show();
    m.DatenlisteEinlesen();
    ASSERT_TRUE(m.ToolButton55->isEnabled()) << "Aceton's memo is sound";
    ASSERT_TRUE(r.meldungen().empty() || r.meldungen().back().text.startsWith("Beim Start"));
    const std::size_t vorher = r.meldungen().size();

    klicken(*m.ListBox1, 1);
    ASSERT_EQ(m.ListBox1->itemIndex(), 1);
    EXPECT_EQ(m.StatusPanel[0]->text(), "2 / 2") << "the display ran to its end";
    EXPECT_TRUE(m.PageControl1->isTabVisible(m.PageControl1->indexOf(m.TabSheet2)));
    EXPECT_FALSE(m.ToolButton55->isEnabled());
    EXPECT_FALSE(m.Ansehen1->isEnabled());
    EXPECT_TRUE(m.Stoffinfo1->isEnabled());
    EXPECT_FALSE(m.Image2->picture().isEmpty()) << "the hazard symbol is shown";
    ASSERT_EQ(r.meldungen().size(), vorher + 1);
    const QString meldung = r.meldungen().back().text;
    EXPECT_TRUE(meldung.startsWith("Der Memotext dieses Stoffes kann nicht gelesen werden")) << meldung.toStdString();
    EXPECT_EQ(meldung.count("chemie.dbt"), 1) << meldung.toStdString();
}
