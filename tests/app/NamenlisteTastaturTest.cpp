// The name list driven with the keyboard: Home, End and the arrow keys, on
// a list longer than a few steps, with rows of the name table that the
// list does not show (deleted ones). The record shown is always the one of
// the highlighted line.

#include <gtest/gtest.h>

#include <QTest>

#include "MarlexTestSupport.h"
#include "data/Datas.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

class NamenlisteTastatur : public ::testing::Test {
protected:
    NamenlisteTastatur()
    {
        std::vector<Name> namen;
        std::vector<Stoff> stoffe;
        for (int i = 0; i < 120; ++i) {
            const QString carn = QStringLiteral("%1-00-%2").arg(100 + i).arg(i % 10);
            const QString name = QStringLiteral("Stoff %1").arg(1000 + i);
            namen.push_back({name, carn});
            stoffe.push_back({carn, QStringLiteral("1"), {{NAME1, name}}});
        }
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben(namen);
        chemieSchreiben(stoffe);
        lagerSchreiben({});
        formelnSchreiben({});
        // Rows the list leaves out: deleted ones before, among and after
        // the shown ones.
        {
            dbase::Table t;
            t.setTableName(QStringLiteral("namen.dbf"));
            t.open();
            for (const std::uint32_t satz : {1u, 50u, 120u}) {
                EXPECT_TRUE(t.gotoRecNo(satz));
                if (t.recNo() == satz)
                    t.remove();
            }
            t.close();
        }
        m = &r.starten();
        m->DatenlisteEinlesen();
        m->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m));
        m->ListBox1->setFocus();
    }

    void taste(Qt::Key key) { QTest::keyClick(m->ListBox1, key); }

    // The highlighted line's name is the name table's row and the
    // substance shown.
    void zeigtZeile(int zeile)
    {
        ASSERT_EQ(m->ListBox1->itemIndex(), zeile);
        const QString name = m->ListBox1->text(zeile);
        EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), name);
        EXPECT_EQ(Datas->Table1->recNo(), m->ListBox1->recNo(zeile));
        EXPECT_EQ(Datas->Table2->fieldByName("NAME1").asString(), name);
        EXPECT_EQ(m->DBRichEdit2->toPlainText(), name);
    }

    Register r;
    TMarlex* m = nullptr;
};

} // namespace

TEST_F(NamenlisteTastatur, HomeEndAndArrowsShowTheHighlightedLinesRecord)
{
    ASSERT_EQ(m->ListBox1->count(), 117);
    EXPECT_EQ(m->ListBox1->text(0), QStringLiteral("Stoff 1001"));
    EXPECT_EQ(m->ListBox1->text(116), QStringLiteral("Stoff 1118"));
    taste(Qt::Key_End);
    zeigtZeile(116);
    taste(Qt::Key_Up);
    zeigtZeile(115);
    taste(Qt::Key_Home);
    zeigtZeile(0);
    taste(Qt::Key_Down);
    zeigtZeile(1);
    taste(Qt::Key_End);
    zeigtZeile(116);
    taste(Qt::Key_PageUp);
    zeigtZeile(m->ListBox1->itemIndex());
    EXPECT_LT(m->ListBox1->itemIndex(), 116);
    for (int i = 0; i < 3; ++i)
        taste(Qt::Key_Down);
    zeigtZeile(m->ListBox1->itemIndex());
    taste(Qt::Key_Home);
    zeigtZeile(0);
    EXPECT_TRUE(r.meldungen().empty());
}
