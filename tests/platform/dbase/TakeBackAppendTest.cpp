// Taking back a stored append (a job that wrote part of what belongs
// together and must undo it) and counting the rows a walk visits.

#include <gtest/gtest.h>

#include <QFile>

#include "ChildProcess.h"
#include "ForwardingFileIo.h"
#include "TableTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

QByteArray bytesOf(const char* file)
{
    QFile f(QString::fromLatin1(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class TakeBackAppend : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeNameTable("namen.dbf", sampleNames());
        before = bytesOf("namen.dbf");
        openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    }
    std::uint32_t appendArgon()
    {
        appendRow(table, {"Argon", "ARGON", "7440-37-1", "6"});
        return table.recNo();
    }
    fixtures::TempDir dir;
    Table table;
    QByteArray before;
};

} // namespace

TEST_F(TakeBackAppend, TheFileEndsBeforeTheRowAgainWithNothingDeletedAndTheIndexWithoutIt)
{
    const std::uint32_t argon = appendArgon();
    ASSERT_EQ(argon, 6u);
    ASSERT_TRUE(table.findKey({"ARGON"}));

    ASSERT_TRUE(table.takeBackAppend(argon));
    EXPECT_EQ(bytesOf("namen.dbf"), before) << "record, count and end-of-file marker as before";
    EXPECT_FALSE(table.findKey({"ARGON"}));
    EXPECT_EQ(column(table, 1), (QStringList{"ACETON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
    EXPECT_EQ(table.recordCount(), 5u);
    const fixtures::DbfreadTable read = fixtures::readWithDbfread("namen.dbf");
    EXPECT_EQ(read.rows.size(), 5);
    EXPECT_EQ(read.deletedCount, 0);

    // The next append takes the number again, and the written index holds it once.
    EXPECT_EQ(appendArgon(), 6u);
    table.close();
    Table other;
    openTable(other, "namen.dbf", "namen.mdx", "NAME1_SUB");
    EXPECT_EQ(column(other, 1),
              (QStringList{"ACETON", "ARGON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
}

TEST_F(TakeBackAppend, OnlyTheLastRowGoesAndNeverOneBeingEditedOrHeld)
{
    const std::uint32_t argon = appendArgon();
    // Another open appended after it: the row stays.
    {
        Table other;
        openTable(other, "namen.dbf");
        appendRow(other, {"Helium", "HELIUM", "7440-59-7", "7"});
    }
    table.refresh();
    EXPECT_FALSE(table.takeBackAppend(argon));
    EXPECT_FALSE(table.takeBackAppend(3));
    EXPECT_TRUE(table.findKey({"ARGON"}));
    EXPECT_EQ(fixtures::readWithDbfread("namen.dbf").rows.size(), 7);

    table.setIndexName({});
    table.last();
    const std::uint32_t helium = table.recNo();
    table.edit();
    table.field(0).setAsString("He");
    EXPECT_THROW(table.takeBackAppend(helium), DbaseError);
    table.cancel();
    table.setCachedUpdates(true);
    appendRow(table, {"Neon", "NEON", "7440-01-9", "8"});
    EXPECT_FALSE(table.takeBackAppend(table.recNo())) << "a held row is cancelled, not taken back";
    table.cancelUpdates();
    table.setCachedUpdates(false);
    EXPECT_TRUE(table.takeBackAppend(helium));
    EXPECT_EQ(fixtures::readWithDbfread("namen.dbf").rows.size(), 6);
}

TEST_F(TakeBackAppend, TheVisibleCountLeavesOutDeletedAndFilteredRows)
{
    ASSERT_TRUE(table.findKey({"BENZOL"}));
    table.remove();
    EXPECT_EQ(table.recordCount(), 5u) << "the file's count, deleted ones included";
    EXPECT_EQ(table.visibleCount(), 4u);
    appendArgon();
    EXPECT_EQ(table.visibleCount(), 5u);
    table.setFilterText("CARN='64-17-5'");
    table.setFiltered(true);
    EXPECT_EQ(table.visibleCount(), 2u);
    table.setFiltered(false);
    EXPECT_EQ(table.visibleCount(), 5u);
}

// A new row whose sync fails is not stored: the post fails, the file ends
// before the row again, and the post tried again stores it once.
TEST(TakeBackAppendSync, ANewRowWhoseSyncFailsLeavesTheFileAndIsStoredOnceOnTheNextTry)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames());
    const QByteArray before = bytesOf("namen.dbf");
    // The syncs of namen.dbf that still succeed before one fails; -1: all do.
    auto syncs = std::make_shared<int>(-1);
    struct Io final : dbftest::ForwardingFileIo {
        explicit Io(std::shared_ptr<int> n) : left(std::move(n)) {}
        void sync() override
        {
            if (m_path.filename() == "namen.dbf" && *left >= 0 && (*left)-- == 0)
                throw DbaseError("Die Datei \"namen.dbf\" kann nicht auf den Datenträger gebracht werden");
            ForwardingFileIo::sync();
        }
        std::shared_ptr<int> left;
    };
    const dbftest::ScopedFileIo io{[syncs] { return std::make_unique<Io>(syncs); }};
    Table table;
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    table.append();
    for (const auto& [feld, wert] : {std::pair{0, "Argon"}, {1, "ARGON"}, {2, "7440-37-1"}, {3, "6"}})
        table.field(feld).setAsString(QString::fromLatin1(wert));
    *syncs = 1; // the row's own sync goes through, the one of its count fails
    EXPECT_THROW(table.post(), DbaseError);
    EXPECT_EQ(bytesOf("namen.dbf"), before);
    EXPECT_EQ(table.state(), TableState::Insert) << "the row stays in the input for another try";

    table.post();
    EXPECT_EQ(column(table, 1), (QStringList{"ACETON", "ARGON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
    const fixtures::DbfreadTable read = fixtures::readWithDbfread("namen.dbf");
    EXPECT_EQ(read.rows.size(), 6);
    EXPECT_EQ(read.deletedCount, 0);
}

// A process killed at any byte of taking a row back leaves a table that
// opens, with its index, holding the row or not, and nothing deleted.
TEST(TakeBackAppendCrash, AKillAtAnyPointLeavesATableThatOpens)
{
    fixtures::TempDir dir;
    const QStringList ohne{"ACETON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"};
    const QStringList mit{"ACETON", "ARGON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"};
    int getoetet = 0;
    int ueberlebt = -1;
    for (std::int64_t budget = 0; budget < 4096 && ueberlebt != 0; ++budget) {
        SCOPED_TRACE("bytes written before the kill: " + std::to_string(budget));
        makeNameTable("namen.dbf", sampleNames());
        ueberlebt = dbftest::inChild([budget] {
            dbftest::FaultyIoScope io;
            // Left to the process's end: a killed process runs no destructor.
            auto* table = new Table;
            openTable(*table, "namen.dbf", "namen.mdx", "NAME1_SUB");
            appendRow(*table, {"Argon", "ARGON", "7440-37-1", "6"});
            io.faults->bytesLeft = budget;
            io.faults->tear = true;
            try {
                return table->takeBackAppend(6) ? 0 : 2;
            } catch (const dbftest::SimulatedCrash&) {
                return 1;
            }
        });
        ASSERT_TRUE(ueberlebt == 0 || ueberlebt == 1) << ueberlebt;
        getoetet += ueberlebt;
        Table danach;
        openTable(danach, "namen.dbf", "namen.mdx", "NAME1_SUB");
        const QStringList zeilen = column(danach, 1);
        EXPECT_TRUE(zeilen == ohne || (ueberlebt == 1 && zeilen == mit)) << zeilen.join(',').toStdString();
        EXPECT_EQ(fixtures::readWithDbfread("namen.dbf").deletedCount, 0);
    }
    EXPECT_EQ(ueberlebt, 0) << "the take-back ends within the bytes tried";
    EXPECT_GT(getoetet, 2);
}
