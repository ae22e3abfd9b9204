// Bulk appends whose chunk cannot be written, and taking back many appended
// rows in one step: what the table holds in memory stays what its files hold.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include "ForwardingFileIo.h"
#include "TableTestSupport.h"
#include "dbase/DbaseError.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Tdbf.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

QString number(int i) { return QStringLiteral("R%1").arg(i, 5, 10, QChar('0')); }

void appendNumbered(Table& table, int i)
{
    appendRow(table, {number(i), QStringLiteral("Zeile %1").arg(i), QString(200, QChar('b'))});
}

QByteArray bytesOf(const char* file)
{
    QFile f(QString::fromLatin1(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class BulkChunkFailure : public ::testing::Test {
protected:
    static constexpr int kept = 20; // rows stored before any bulk
    void SetUp() override
    {
        Table made;
        made.setTableName("lager.dbf");
        made.createTable(wideLayout(), 0x58, {IndexDef{"NR", "NR"}});
        openTable(made, "lager.dbf");
        for (int i = 1; i <= kept; ++i)
            appendNumbered(made, i);
        made.close();
        before = bytesOf("lager.dbf");
        openTable(table, "lager.dbf", {}, "NR");
    }
    // Every row 1..count is found by its key, none from count+1 to `upTo`,
    // and a walk in key order shows exactly the rows 1..count.
    void expectRowsUpTo(int count, int upTo)
    {
        for (int i = 1; i <= upTo; ++i)
            EXPECT_EQ(table.findKey({number(i)}), i <= count) << number(i).toStdString();
        EXPECT_EQ(table.recordCount(), std::uint32_t(count));
        EXPECT_EQ(table.visibleCount(), std::uint32_t(count));
        QStringList expected;
        for (int i = 1; i <= count; ++i)
            expected << number(i);
        EXPECT_EQ(column(table, 0), expected);
    }
    fixtures::TempDir dir;
    dbftest::FaultyIoScope io;
    Table table;
    QByteArray before;
};

} // namespace

TEST_F(BulkChunkFailure, WhenAChunkCannotBeWrittenNoRowOfTheBulkIsInTheFileOrTheIndex)
{
    // The first chunk reaches the disk, half of the second does (a full disk):
    // the bulk is whole or not at all, so the first chunk's rows go too.
    io.faults->writesLeft = 3;
    io.faults->tear = true;
    table.beginBulk();
    int failedAt = 0;
    for (int i = kept + 1; i <= kept + 4000 && failedAt == 0; ++i) {
        try {
            appendNumbered(table, i);
        } catch (const DbaseError&) {
            failedAt = i;
        }
    }
    ASSERT_GT(failedAt, 0) << "no chunk write failed";
    EXPECT_EQ(table.state(), TableState::Insert) << "the failed row stays in the input";
    table.cancel();
    io.faults->writesLeft = -1;
    table.endBulk();

    const int count = int(table.recordCount());
    ASSERT_GT(failedAt, kept + 1000) << "the first chunk was written before the failure";
    ASSERT_EQ(count, kept) << "the rows of the bulk went with the failed chunk";
    expectRowsUpTo(count, failedAt);
    // The full disk refuses the end-of-file mark too: then the file ends
    // with the last row, never with a byte of a lost one (which a reader
    // walking to the mark would take for a row).
    const qint64 rowsEnd = 32 + 5 * 32 + 1 + qint64(count) * 1000;
    const qint64 size = QFileInfo("lager.dbf").size();
    EXPECT_TRUE(size == rowsEnd || size == rowsEnd + 1) << "the file ends after the last row it counts";
    EXPECT_EQ(fixtures::readWithDbfread("lager.dbf").rows.size(), count);

    // The next row takes the first lost number, and the index has it once.
    appendNumbered(table, 99999);
    EXPECT_EQ(table.recNo(), std::uint32_t(count + 1));
    EXPECT_FALSE(table.findKey({number(count + 1)}));
    ASSERT_TRUE(table.findKey({number(99999)}));
    EXPECT_EQ(table.recNo(), std::uint32_t(count + 1));
    table.close();

    const fixtures::DbfreadTable read = fixtures::readWithDbfread("lager.dbf");
    ASSERT_EQ(read.rows.size(), count + 1);
    EXPECT_EQ(read.rows.last().toObject().value("NR").toString(), number(99999));
    EXPECT_EQ(read.deletedCount, 0);
    EXPECT_NO_THROW(table.checkIndexFile());
    if (fixtures::tdbfAvailable()) {
        const fixtures::TdbfTable tdbf = fixtures::readWithTdbf("lager.dbf", "NR");
        ASSERT_EQ(tdbf.rows.size(), std::size_t(count + 1)) << "the stored index names every row once";
        EXPECT_EQ(tdbf.rows.front().values[0], number(1).toStdString());
        EXPECT_EQ(tdbf.rows.back().values[0], number(99999).toStdString());
    }
    openTable(table, "lager.dbf", {}, "NR");
    EXPECT_FALSE(table.findKey({number(count + 1)}));
    EXPECT_TRUE(table.findKey({number(99999)}));
}

TEST_F(BulkChunkFailure, RowsAppendedInBulkAreTakenBackInOneStep)
{
    table.beginBulk();
    for (int i = kept + 1; i <= kept + 2500; ++i)
        appendNumbered(table, i);
    table.endBulk();
    ASSERT_TRUE(table.findKey({number(kept + 1)}));

    EXPECT_FALSE(table.takeBackAppends(kept + 1, kept + 2499)) << "only rows up to the file's end go";
    EXPECT_TRUE(table.takeBackAppends(kept + 1, kept + 2500));
    expectRowsUpTo(kept, kept + 2500);
    table.close();
    EXPECT_EQ(bytesOf("lager.dbf").mid(32), before.mid(32)) << "rows and end-of-file marker as before";
    EXPECT_EQ(fixtures::readWithDbfread("lager.dbf").rows.size(), kept);
    EXPECT_NO_THROW(table.checkIndexFile());

    // Stopped after the count was lowered, before the file was cut: the
    // table opens with the rows before.
    openTable(table, "lager.dbf", {}, "NR");
    table.beginBulk();
    for (int i = kept + 1; i <= kept + 1500; ++i)
        appendNumbered(table, i);
    table.endBulk();
    io.faults->bytesLeft = 32; // the header goes through, the end-of-file marker does not
    EXPECT_THROW(table.takeBackAppends(kept + 1, kept + 1500), dbftest::SimulatedCrash);
    io.faults->bytesLeft = -1;
    Table after;
    openTable(after, "lager.dbf", {}, "NR");
    EXPECT_EQ(after.recordCount(), std::uint32_t(kept));
    EXPECT_EQ(column(after, 0).size(), kept);
}
