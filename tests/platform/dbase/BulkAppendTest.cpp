#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <csignal>
#include <thread>

#include <QJsonObject>

#include "ChildProcess.h"
#include "TableTestSupport.h"
#include "dbase/DbaseError.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

QString number(int i) { return QStringLiteral("R%1").arg(i); }

void appendNumbered(Table& table, int from, int to)
{
    for (int i = from; i <= to; ++i)
        appendRow(table, {number(i), QStringLiteral("Größe %1").arg(i), QString(200, QChar('b'))});
}

void createWide(Table& table, const QString& file)
{
    table.setTableName(file);
    table.createTable(wideLayout());
}

// Runs `work` on a table in a child process that is then killed with the
// table open: no close, no destructor, nothing written afterwards. Fails
// when `work` threw.
template <typename Work>
void killedAfter(Work work)
{
    const pid_t child = dbftest::startChild([&work] {
        Table table;
        work(table);
        ::kill(::getpid(), SIGKILL);
        return 0;
    });
    ASSERT_EQ(dbftest::exitCodeOf(child), -1) << "the child failed before it was killed";
}

// The rows of the table after the kill: numbered from R1 without a gap,
// each one whole.
int intactRows(const QString& file)
{
    Table table;
    openTable(table, file);
    const QStringList numbers = column(table, 0);
    for (int i = 0; i < numbers.size(); ++i) {
        EXPECT_EQ(numbers[i], number(i + 1));
        table.gotoRecNo(static_cast<std::uint32_t>(i + 1));
        EXPECT_EQ(table.field(1).asString(), QStringLiteral("Größe %1").arg(i + 1));
    }
    EXPECT_EQ(table.recordCount(), static_cast<std::uint32_t>(numbers.size()));
    return static_cast<int>(numbers.size());
}

} // namespace

TEST(BulkAppendCrash, EachModeKeepsWhatItPromisesWhenTheProcessIsKilled)
{
    fixtures::TempDir dir;
    {
        SCOPED_TRACE("without bulk every post that returned survives");
        Table made;
        createWide(made, "einzeln.dbf");
        killedAfter([](Table& table) {
            openTable(table, "einzeln.dbf");
            appendNumbered(table, 1, 40);
        });
        EXPECT_EQ(intactRows("einzeln.dbf"), 40);
    }
    {
        SCOPED_TRACE("a fresh table being filled counts its rows only at the end of the fill");
        killedAfter([](Table& table) {
            createWide(table, "frisch.dbf");
            table.open();
            appendNumbered(table, 1, 2500);
        });
        EXPECT_EQ(intactRows("frisch.dbf"), 0);
        EXPECT_GT(std::filesystem::file_size("frisch.dbf"), 1000u * 300) << "chunks were written, uncounted";
    }
    {
        SCOPED_TRACE("the fill of a fresh table ends at the first other call");
        killedAfter([](Table& table) {
            createWide(table, "beendet.dbf");
            table.open();
            appendNumbered(table, 1, 5);
            table.first();
            appendNumbered(table, 6, 10);
        });
        EXPECT_EQ(intactRows("beendet.dbf"), 10);
    }
    {
        SCOPED_TRACE("a kill in the middle of a bulk leaves none of its rows, written or not");
        Table made;
        createWide(made, "block.dbf");
        killedAfter([](Table& table) {
            openTable(table, "block.dbf");
            table.beginBulk();
            table.beginBulk(); // a copying loop inside another's bulk
            appendNumbered(table, 1, 1500);
            table.flush();
            appendNumbered(table, 1501, 1510);
        });
        EXPECT_EQ(intactRows("block.dbf"), 0);
        Table after;
        openTable(after, "block.dbf");
        appendNumbered(after, 1, 3);
        after.close();
        EXPECT_EQ(intactRows("block.dbf"), 3) << "the next append goes where the count says";
    }
    {
        SCOPED_TRACE("a bulk that ended is there whole");
        Table made;
        createWide(made, "ganz.dbf");
        killedAfter([](Table& table) {
            openTable(table, "ganz.dbf");
            table.beginBulk();
            appendNumbered(table, 1, 1500);
            table.endBulk();
        });
        EXPECT_EQ(intactRows("ganz.dbf"), 1500);
    }
}

// t.dbf, made empty and open twice, as two windows of the program hold it.
class BulkAppend : public ::testing::Test {
protected:
    void SetUp() override
    {
        Table made;
        createWide(made, "t.dbf");
        openTable(writer, "t.dbf");
        openTable(other, "t.dbf");
    }
    fixtures::TempDir dir;
    Table writer;
    Table other;
};

TEST_F(BulkAppend, GatheredRowsAreWrittenBeforeAnyReadAndCountedForOtherOpensAtTheEnd)
{
    writer.beginBulk();
    appendNumbered(writer, 1, 3);
    EXPECT_EQ(writer.recNo(), 3u);
    other.refresh();
    EXPECT_EQ(other.recordCount(), 0u) << "gathered rows are not on disk yet";

    EXPECT_EQ(column(writer, 0), (QStringList{"R1", "R2", "R3"}));
    writer.refresh();
    EXPECT_EQ(column(writer, 0), (QStringList{"R1", "R2", "R3"})) << "a refresh keeps the bulk's rows";
    other.refresh();
    EXPECT_EQ(other.recordCount(), 0u) << "the bulk's rows are counted at its end";

    // the bulk goes on after the read, and its end writes the rest
    appendNumbered(writer, 4, 5);
    writer.endBulk();
    other.refresh();
    EXPECT_EQ(other.recordCount(), 5u);
}

TEST_F(BulkAppend, AnotherProcessAppendingWaitsUntilTheGatheredRowsAreWritten)
{
    writer.beginBulk();
    appendNumbered(writer, 1, 3);
    const pid_t child = dbftest::startChild([] {
        Table kind;
        openTable(kind, "t.dbf");
        appendRow(kind, {"KIND"});
        kind.close();
        return 0;
    });
    // the child's append is under way, waiting for the numbers handed out here
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    writer.endBulk();
    ASSERT_EQ(dbftest::exitCodeOf(child), 0);
    writer.refresh();
    EXPECT_EQ(column(writer, 0), (QStringList{"R1", "R2", "R3", "KIND"}));
}

TEST_F(BulkAppend, AnAppendBlockedByGatheredRowsOfThisProcessFailsInsteadOfHanging)
{
    writer.beginBulk();
    appendNumbered(writer, 1, 2);
    other.append();
    other.field(0).setAsString("ANDERS");
    EXPECT_TRUE(dbftest::failsWith("t.dbf", [&] { other.post(); })) << "an append went past rows being gathered";
    other.cancel();

    writer.endBulk();
    appendRow(other, {"ANDERS"});
    other.refresh();
    EXPECT_EQ(column(other, 0), (QStringList{"R1", "R2", "ANDERS"}));
}

TEST(BulkAppendDbfread, ATableFilledInBulkReadsTheSameInDbfread)
{
    fixtures::TempDir dir;
    {
        Table table;
        createWide(table, "gross.dbf");
        table.open();
        appendNumbered(table, 1, 1200); // more than one chunk
        table.close();
    }
    const fixtures::DbfreadTable read = fixtures::readWithDbfread("gross.dbf");
    ASSERT_EQ(read.rows.size(), 1200);
    for (int i : {1, 600, 1200}) {
        const QJsonObject row = read.rows[i - 1].toObject();
        EXPECT_EQ(row.value("NR").toString(), number(i));
        EXPECT_EQ(row.value("A").toString(), QStringLiteral("Größe %1").arg(i));
    }
}
