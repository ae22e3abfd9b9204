#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "WidgetTestSupport.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"

using namespace widgets;
using namespace widgettest;

namespace {

// Whether a value shows whole in a column's cells, in the column's font.
bool datenPassen(const DBGrid& grid, int spalte, const QString& text)
{
    const QModelIndex zelle = grid.model()->index(0, spalte);
    const QVariant schrift = zelle.data(Qt::FontRole);
    const QFontMetrics masse(schrift.isValid() ? schrift.value<QFont>() : grid.font());
    const int rand = grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1;
    const int zelleBreite = grid.columnWidth(spalte) - (grid.showGrid() ? 1 : 0);
    return masse.horizontalAdvance(text) + 2 * rand <= zelleBreite;
}

class Grid : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        grid.setDataSource(&source);
        grid.setColumns({{"NAME1", "Name", -1, {}, true},
                         {"MENGE", "Menge", 109, {"bis 10g", "bis 100g"}},
                         {"CARN", "", 80}});
        grid.resize(400, 300);
    }
    QString cell(int row, int column) const
    {
        return grid.model()->index(row, column).data().toString();
    }
    int gridRow() const { return grid.currentIndex().row(); }

    DBGrid grid;
};

TEST_F(Grid, ShowsTheVisibleRowsInIndexOrderWithTheColumnsGiven)
{
    ASSERT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(cell(0, 0), "Aceton");
    EXPECT_EQ(cell(1, 0), "Ethanol");
    EXPECT_EQ(cell(2, 2), "7732-18-5");
    EXPECT_EQ(cell(0, 1), "1000,5") << "a number as the record page shows it";
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(grid.model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "CARN");
    EXPECT_TRUE(grid.model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(grid.model()->index(0, 2).data(Qt::FontRole).value<QFont>().bold());

    // A filter changes the rows once the grid reads them again.
    table.setFilterText("CARN='64-17-5'");
    table.setFiltered(true);
    QCoreApplication::processEvents();
    ASSERT_EQ(grid.model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), "Ethanol");
    EXPECT_EQ(gridRow(), 0);

    table.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 0);

    table.open();
    {
        DataSource shortLived(&table);
        grid.setDataSource(&shortLived);
        EXPECT_EQ(grid.model()->rowCount(), 1) << "the filter is still on";
    }
    EXPECT_EQ(grid.model()->rowCount(), 0) << "no rows of a source that is gone";
}

TEST_F(Grid, CurrentRowAndTableCursorMoveTogether)
{
    EXPECT_EQ(gridRow(), 0);
    table.next();
    EXPECT_EQ(gridRow(), 1);
    table.last();
    EXPECT_EQ(gridRow(), 2);

    grid.setCurrentIndex(grid.model()->index(0, 0));
    EXPECT_EQ(table.field(NAME1).asString(), "Aceton");
    grid.setCurrentIndex(grid.model()->index(1, 2));
    EXPECT_EQ(table.field(NAME1).asString(), "Ethanol");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString(QChar(0x25B6)));
    EXPECT_EQ(grid.model()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "");

    // Reading the rows again puts the cursor back and tells no one of the walk.
    control<DBEdit>("NAME1"); // a control that would hear of the walk
    Spy moves(&source, &DataSource::recordChanged);
    grid.refresh();
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(table.field(NAME1).asString(), "Ethanol");
    EXPECT_EQ(gridRow(), 1);
}

TEST_F(Grid, CellEditsWriteTheCurrentRecordWhichIsPostedOnTheNextRow)
{
    grid.setCurrentIndex(grid.model()->index(1, 2));
    ASSERT_TRUE(grid.model()->setData(grid.model()->index(1, 2), "1-2-3", Qt::EditRole));
    EXPECT_EQ(table.state(), dbase::TableState::Edit);
    EXPECT_EQ(table.field(CARN).asString(), "1-2-3");
    EXPECT_EQ(cell(1, 2), "1-2-3") << "the row being edited shows the new text";
    EXPECT_EQ(stored("Ethanol", CARN), "64-17-5");

    // A cell of another row is not written behind the cursor's back.
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(0, 2), "9-9-9", Qt::EditRole));

    grid.setCurrentIndex(grid.model()->index(2, 2));
    EXPECT_EQ(table.state(), dbase::TableState::Browse);
    EXPECT_EQ(stored("Ethanol", CARN), "1-2-3");
    QCoreApplication::processEvents();
    EXPECT_EQ(cell(1, 2), "1-2-3");

    // A value the field cannot take is refused with a message.
    EXPECT_FALSE(grid.model()->setData(grid.model()->index(2, 1), "viel", Qt::EditRole));
    ASSERT_EQ(messages.requests.size(), 1u);
    EXPECT_TRUE(messages.requests[0].text.contains("MENGE"));
}

TEST_F(Grid, EditorsOfferThePickListOrTakeTheFieldWidth)
{
    QStyleOptionViewItem option;
    auto* delegate = grid.itemDelegate();
    std::unique_ptr<QWidget> amount(delegate->createEditor(&grid, option, grid.model()->index(0, 1)));
    auto* box = qobject_cast<QComboBox*>(amount.get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), "bis 100g");

    std::unique_ptr<QWidget> carn(delegate->createEditor(&grid, option, grid.model()->index(0, 2)));
    auto* line = qobject_cast<QLineEdit*>(carn.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->maxLength(), 12);
    delegate->setEditorData(line, grid.model()->index(0, 2));
    EXPECT_EQ(line->text(), "67-64-1");
    line->setText("5-5-5");
    delegate->setModelData(line, grid.model(), grid.model()->index(0, 2));
    EXPECT_EQ(table.field(CARN).asString(), "5-5-5");

}

TEST_F(Grid, ColumnExitAndEnterSeeTheOldAndNewColumn)
{
    QStringList events;
    QObject::connect(&grid, &DBGrid::colExit, [&] {
        events << QString("exit %1 %2").arg(grid.selectedIndex()).arg(grid.selectedField()->asString());
    });
    QObject::connect(&grid, &DBGrid::colEnter, [&] {
        events << QString("enter %1 %2").arg(grid.selectedIndex()).arg(grid.selectedField()->asString());
    });

    grid.setCurrentIndex(grid.model()->index(0, 1));
    grid.setCurrentIndex(grid.model()->index(1, 1)); // another row, same column: no event
    grid.setCurrentIndex(grid.model()->index(2, 0)); // row and column: leaves on the old row
    EXPECT_EQ(events, (QStringList{"exit 0 Aceton", "enter 1 1000,5", "exit 1 250", "enter 0 Wasser"}));

    events.clear();
    table.first(); // the cursor moving by itself changes no column
    EXPECT_TRUE(events.isEmpty());
    grid.setSelectedIndex(2);
    EXPECT_EQ(events, (QStringList{"exit 0 Aceton", "enter 2 67-64-1"}));
}

TEST_F(Grid, ACellOfAnotherRowAndColumnBecomesTheCurrentOne)
{
    grid.setCurrentIndex(grid.model()->index(0, 0));
    grid.setCurrentIndex(grid.model()->index(2, 1));
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(2, 1));
    EXPECT_EQ(grid.selectedIndex(), 1);
    EXPECT_EQ(table.field(NAME1).asString(), "Wasser");
}

TEST_F(Grid, KeyPressesGoToTheProgramFirst)
{
    QList<int> keys;
    QObject::connect(&grid, &DBGrid::keyPressed, [&](QKeyEvent* event) {
        keys << event->key();
        if (event->text() == "+")
            event->accept(); // the program's, not the grid's
    });
    pressKey(&grid, Qt::Key_Plus, "+");
    EXPECT_EQ(gridRow(), 0);
    pressKey(&grid, Qt::Key_Down);
    EXPECT_EQ(gridRow(), 1) << "keys the program leaves move the grid";
    EXPECT_EQ(table.field(NAME1).asString(), "Ethanol");
    EXPECT_EQ(keys, (QList<int>{Qt::Key_Plus, Qt::Key_Down}));
}

TEST_F(Grid, ColumnWidthsAreReadAndSetAsAList)
{
    const int name = grid.columnWidth(0); // fitted to the field
    EXPECT_EQ(grid.columnWidths(), (std::vector<int>{name, 109, 80}));
    grid.setColumnWidths({30, 120});
    EXPECT_EQ(grid.columnWidths(), (std::vector<int>{30, 120, 80}));
    grid.setColumnWidths({1, 2, 3, 4, 5});
    EXPECT_EQ(grid.columnWidths(), (std::vector<int>{1, 2, 3}));

    // The program's screen font sets the row height and the bold columns.
    QFont large("DejaVu Sans", 20);
    grid.setFont(large);
    EXPECT_EQ(grid.rowHeight(0), QFontMetrics(large).height() + 4);
    EXPECT_EQ(grid.model()->index(0, 0).data(Qt::FontRole).value<QFont>().pointSize(), 20);
}

TEST_F(Grid, ColumnsWithoutAWidthOfTheirOwnFitTheirTitleInAnyFont)
{
    const auto passt = [this](int spalte, const QString& text) { return datenPassen(grid, spalte, text); };
    grid.setColumns({{"NAME1", "Eine lange Spaltenüberschrift"}, {"MENGE", "Menge", 20}, {"CARN"}});
    const auto titelPasst = [this](int spalte) {
        const QHeaderView* kopf = grid.horizontalHeader();
        const int rand = kopf->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, kopf);
        const QString titel = grid.model()->headerData(spalte, Qt::Horizontal).toString();
        return kopf->fontMetrics().horizontalAdvance(titel) + 2 * rand <= kopf->sectionSize(spalte);
    };
    EXPECT_TRUE(titelPasst(0));
    EXPECT_TRUE(titelPasst(2));
    EXPECT_TRUE(passt(2, QString(12, u'0'))) << "a short title: as wide as the field's twelve characters need";
    EXPECT_EQ(grid.columnWidth(1), 20) << "a width of its own is kept";

    grid.setFont(QFont("DejaVu Sans", 22));
    EXPECT_TRUE(titelPasst(0));
    EXPECT_TRUE(titelPasst(2));
    EXPECT_EQ(grid.columnWidth(1), 20);

    grid.setColumnWidths({50});
    grid.setFont(QFont("DejaVu Sans", 8));
    EXPECT_EQ(grid.columnWidth(0), 50) << "a width set since is not fitted again";
}

TEST_F(Grid, ColumnsWithoutAWidthFitTheirFieldsOnceTheTableIsOpenAndKeepThatWhileItIsClosed)
{
    table.close();
    grid.setColumns({{"NAME1"}, {"CARN"}, {"DATUM"}});
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    EXPECT_EQ(grid.columnWidths(), (std::vector<int>{64, 64, 64})) << "no fields known yet";

    // The user drags the second column's right edge to the left.
    QWidget* kopf = grid.horizontalHeader()->viewport();
    const int kante = grid.horizontalHeader()->sectionViewportPosition(1) + grid.columnWidth(1) - 1;
    const int mitte = grid.horizontalHeader()->height() / 2;
    QTest::mousePress(kopf, Qt::LeftButton, {}, QPoint(kante, mitte));
    QTest::mouseMove(kopf, QPoint(kante - 20, mitte));
    QTest::mouseRelease(kopf, Qt::LeftButton, {}, QPoint(kante - 20, mitte));
    const int gezogen = grid.columnWidth(1);
    ASSERT_LT(gezogen, 64);

    grid.setFont(QFont("DejaVu Sans", 16));
    table.open();
    QCoreApplication::processEvents();
    EXPECT_TRUE(datenPassen(grid, 0, QString(20, u'0'))) << "NAME1 holds twenty characters";
    EXPECT_TRUE(datenPassen(grid, 2, "31.12.2026"));
    EXPECT_EQ(grid.columnWidth(1), gezogen) << "a width the user gave stays";

    const std::vector<int> offen = grid.columnWidths();
    table.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.columnWidths(), offen);
}

TEST_F(Grid, AnAppendedRecordIsAnExtraRowUntilPostedThenTakesItsPlace)
{
    table.append();
    ASSERT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(gridRow(), 3);
    EXPECT_EQ(grid.model()->headerData(3, Qt::Vertical, Qt::DisplayRole).toString(), "*");
    ASSERT_TRUE(grid.model()->setData(grid.model()->index(3, 0), "Benzol", Qt::EditRole));
    EXPECT_EQ(cell(3, 0), "Benzol");

    grid.setCurrentIndex(grid.model()->index(0, 0)); // leaving the new row posts it
    QCoreApplication::processEvents();
    ASSERT_EQ(grid.model()->rowCount(), 4);
    EXPECT_EQ(cell(1, 0), "Benzol") << "in index order once stored";
    EXPECT_EQ(table.field(NAME1).asString(), "Aceton");
    EXPECT_EQ(gridRow(), 0);

    // An untouched appended row vanishes again.
    table.append();
    EXPECT_EQ(grid.model()->rowCount(), 5);
    table.cancel();
    EXPECT_EQ(grid.model()->rowCount(), 4);
}

TEST(GridRows, FiveThousandRowsAreReadAndFollowTheCursor)
{
    fixtures::TempDir dir;
    std::vector<QStringList> rows;
    for (int i = 0; i < 5000; ++i)
        rows.push_back({QString("Stoff %1").arg(i, 5, 10, QLatin1Char('0')), QString::number(i)});
    makeSubstanceTable("gross.dbf", rows);
    dbase::Table table;
    table.setTableName("gross.dbf");
    table.setIndexFiles("gross.mdx");
    table.setIndexName("NAME1");
    table.open();
    DataSource source(&table);
    DBGrid grid;
    grid.setDataSource(&source);
    grid.setColumns({{"NAME1"}, {"CARN"}});
    ASSERT_EQ(grid.model()->rowCount(), 5000);
    EXPECT_EQ(grid.model()->index(4999, 1).data().toString(), "4999");
    table.last();
    EXPECT_EQ(grid.currentIndex().row(), 4999);
    grid.setCurrentIndex(grid.model()->index(2500, 0));
    EXPECT_EQ(table.field(CARN).asString(), "2500");
}

// A grid on a page of a window that is not shown reads no rows until its
// page is shown, yet answers for its rows, cells and keys as the table has
// them at that moment.
class GridOnAHiddenPage : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        window.addTab(new QWidget, "Liste");
        auto* page = new QWidget;
        grid = new DBGrid(page);
        grid->setObjectName("grid");
        window.addTab(page, "Lager");
        grid->setDataSource(&source);
        grid->setColumns({{"NAME1", "Name"}, {"CARN"}});
        window.resize(400, 300);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
    }
    void showPage()
    {
        QTabBar* tabs = window.tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCoreApplication::processEvents();
    }

    QTabWidget window;
    DBGrid* grid = nullptr;
};

TEST_F(GridOnAHiddenPage, ReadsItsRowsWhenItsPageIsFirstShownWithTheCursorsRowCurrent)
{
    EXPECT_TRUE(grid->gridModel().waiting()) << "a page not shown reads nothing";
    table.next();
    table.setFilterText("CARN<>'64-17-5'"); // Ethanol leaves the rows
    table.setFiltered(true);
    table.last();
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid->gridModel().waiting());

    showPage();
    ASSERT_TRUE(grid->isVisible());
    EXPECT_FALSE(grid->gridModel().waiting());
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(grid->model()->index(1, 1).data().toString(), "7732-18-5");
    EXPECT_EQ(grid->currentIndex().row(), 1) << "the cursor's row";
    // Shown once, the grid follows the table at once again.
    table.first();
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(GridOnAHiddenPage, AnswersForRowsCellsAndKeysWhileItsPageIsHidden)
{
    table.setFilterText("CARN='64-17-5'");
    table.setFiltered(true);
    QCoreApplication::processEvents();
    ASSERT_EQ(grid->model()->rowCount(), 1) << "asked, the rows are read as the table has them";
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), "Ethanol");
    EXPECT_EQ(grid->gridModel().currentRow(), 0);

    table.setFiltered(false);
    table.first();
    QCoreApplication::processEvents();
    EXPECT_TRUE(grid->gridModel().waiting());
    // A key goes from the cursor's row, read first.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(grid, &down);
    EXPECT_EQ(table.field(NAME1).asString(), "Ethanol");
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

} // namespace

// The grid's rows are the table's: no key adds one, and its delete key only
// asks whoever owns the rows, who may ask the user first.
TEST_F(Grid, KeysAddNoRowAndTheDeleteKeyOnlyAsks)
{
    int deletes = 0;
    QObject::connect(&grid, &DBGrid::deleteRequested, [&] { ++deletes; });
    grid.setCurrentIndex(grid.model()->index(2, 0));
    for (const int key : {Qt::Key_Insert, Qt::Key_Down, Qt::Key_PageDown})
        pressKey(&grid, key);
    QKeyEvent ctrlDel(QEvent::KeyPress, Qt::Key_Delete, Qt::ControlModifier);
    QCoreApplication::sendEvent(&grid, &ctrlDel);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(table.state(), dbase::TableState::Browse);
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(table.recordCount(), 3u);
    EXPECT_EQ(table.field(NAME1).asString(), "Wasser");
}
