#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <fstream>
#include <thread>

#include "ChildProcess.h"
#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

enum { NAME1 = 0, STRIPNAME1 = 1, CARN = 2, SUBCARN = 3 };

// The rows as the file holds them, read by a fresh open.
QStringList storedNames()
{
    Table reader;
    reader.setReadOnly(true);
    openTable(reader, "namen.dbf");
    return column(reader, NAME1);
}

// Moves the cursor to the record with that number.
void go(Table& table, std::uint32_t recNo)
{
    ASSERT_TRUE(table.gotoRecNo(recNo)) << "record " << recNo;
}

// Marks a record deleted behind every open's back, as a program that takes
// no record locks does.
void deleteBehindTheBack(std::uint32_t recNo)
{
    Table probe;
    probe.setReadOnly(true);
    openTable(probe, "namen.dbf");
    const auto header = 32 + 32 * probe.fieldCount() + 1;
    const auto length = probe.layout().recordLength();
    probe.close();
    std::fstream file("namen.dbf", std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(header + std::streamoff(recNo - 1) * length);
    file.put('*');
}

using Signal = dbftest::ChildSignal;

class RecordLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeNameTable("namen.dbf", sampleNames());
        openTable(a, "namen.dbf");
        openTable(b, "namen.dbf");
    }
    fixtures::TempDir dir;
    Table a;
    Table b;
};

TEST_F(RecordLockTest, ASecondEditOfALockedRecordIsRefusedAndChangesNothingUntilPostOrCancel)
{
    go(a, 2);
    go(b, 2);
    a.edit();
    a.field(NAME1).setAsString("Propanon");
    EXPECT_TRUE(dbftest::failsWith("Der Datensatz wird gerade von einem anderen Benutzer bearbeitet.",
                                   [&] { b.edit(); }));
    EXPECT_THROW(b.remove(), RecordLockedError);
    EXPECT_EQ(b.state(), TableState::Browse);
    go(b, 3);
    b.edit(); // another record is free
    b.field(NAME1).setAsString("Dihydrogenoxid");
    b.post();
    a.post();
    EXPECT_EQ(storedNames(), (QStringList{"Ethanol", "Propanon", "Dihydrogenoxid", "Ethylalkohol", "Benzol"}));

    go(b, 2);
    b.edit(); // free again after the post
    b.cancel();
    a.edit();
    a.cancel();
    b.edit(); // and after a cancel
    b.cancel();
}

TEST_F(RecordLockTest, AnEditStartsFromTheRecordAsStoredNowNotFromWhatThisOpenShowed)
{
    go(a, 2);
    EXPECT_EQ(a.field(NAME1).asString(), "Aceton");
    go(b, 2);
    b.edit();
    b.field(NAME1).setAsString("Propanon");
    b.post();

    a.edit(); // a still showed the old record
    EXPECT_EQ(a.field(NAME1).asString(), "Propanon");
    a.field(SUBCARN).setAsString("9");
    a.post();

    Table reader;
    openTable(reader, "namen.dbf");
    go(reader, 2);
    EXPECT_EQ(reader.field(NAME1).asString(), "Propanon") << "b's stored change is kept";
    EXPECT_EQ(reader.field(SUBCARN).asString(), "9");
    EXPECT_EQ(reader.field(CARN).asString(), "67-64-1");
}

TEST_F(RecordLockTest, ARecordDeletedMeanwhileIsNeitherEditedNorMadeLiveAgain)
{
    go(a, 3);
    go(b, 3);
    b.remove();
    EXPECT_TRUE(dbftest::failsWith("inzwischen von einem anderen Benutzer gelöscht", [&] { a.edit(); }));
    EXPECT_EQ(a.state(), TableState::Browse);

    // A program that takes no locks deletes the record under a running edit:
    // the post refuses and writes nothing.
    go(a, 4);
    a.edit();
    a.field(NAME1).setAsString("Ethylalkohol geändert");
    deleteBehindTheBack(4);
    EXPECT_THROW(a.post(), RecordDeletedError);
    EXPECT_EQ(a.state(), TableState::Browse);
    EXPECT_EQ(storedNames(), (QStringList{"Ethanol", "Aceton", "Benzol"}));
}

TEST_F(RecordLockTest, AMoveShowsWhatAnotherOpenStoredSinceTheRecordWasCached)
{
    EXPECT_EQ(column(a, NAME1).size(), 5); // every record cached
    go(a, 2);
    // The file's change time counts in clock ticks: b's write comes a tick
    // after what a saw. (A write in the same tick shows once the file is
    // two seconds older, which a test does not wait for.)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    go(b, 3);
    b.edit();
    b.field(NAME1).setAsString("Dihydrogenoxid");
    b.post();
    go(b, 5);
    b.remove();

    a.next();
    ASSERT_EQ(a.recNo(), 3u);
    EXPECT_EQ(a.field(NAME1).asString(), "Dihydrogenoxid");
    EXPECT_EQ(column(a, NAME1), (QStringList{"Ethanol", "Aceton", "Dihydrogenoxid", "Ethylalkohol"}));
    a.first();
    a.moveBy(4); // onto the row b deleted, which is gone
    EXPECT_NE(a.recNo(), 5u);
}

TEST_F(RecordLockTest, AnotherProcessEditingARecordShutsItOutUntilItIsKilledWithTheLock)
{
    a.close();
    b.close();
    Signal ready;
    const pid_t child = dbftest::startChild([&] {
        Table other;
        openTable(other, "namen.dbf");
        other.gotoRecNo(2);
        other.edit();
        other.field(NAME1).setAsString("halb getippt");
        ready.send('y');
        ::pause();
        return 0;
    });
    ASSERT_EQ(ready.wait(), 'y');
    Table table;
    openTable(table, "namen.dbf");
    go(table, 2);
    EXPECT_THROW(table.edit(), RecordLockedError);
    ::kill(child, SIGKILL);
    dbftest::exitCodeOf(child);
    table.edit(); // the lock died with its process
    EXPECT_EQ(table.field(NAME1).asString(), "Aceton") << "nothing of the killed edit was stored";
    table.cancel();
}

TEST_F(RecordLockTest, ARecordAnotherProcessStoredIsShownAtTheNextMove)
{
    EXPECT_EQ(column(a, NAME1).size(), 5);
    const int code = dbftest::inChild([] {
        Table other;
        openTable(other, "namen.dbf");
        other.gotoRecNo(1);
        other.edit();
        other.field(NAME1).setAsString("Weingeist");
        other.post();
        return 0;
    });
    ASSERT_EQ(code, 0);
    a.first();
    EXPECT_EQ(a.field(NAME1).asString(), "Weingeist");
}

TEST_F(RecordLockTest, AnAppendHoldSeesTheOtherOpensRowsAndKeepsOtherAppendsWaitingUntilItEnds)
{
    EXPECT_EQ(column(a, NAME1).size(), 5);
    b.append();
    b.field(NAME1).setAsString("Methanol");
    b.post();
    pid_t child = 0;
    {
        const AppendHold hold(a);
        EXPECT_EQ(a.recordCount(), 6u);
        EXPECT_TRUE(column(a, NAME1).contains("Methanol")) << "the rows on disk are read";
        Signal started;
        child = dbftest::startChild([&] {
            Table other;
            openTable(other, "namen.dbf");
            started.send('y');
            other.append();
            other.field(NAME1).setAsString("Propanol");
            other.post();
            return 0;
        });
        ASSERT_EQ(started.wait(), 'y');
        ::usleep(200'000); // the other process's append waits meanwhile
        a.append();
        a.field(NAME1).setAsString("Butanol");
        a.post();
        EXPECT_EQ(a.recNo(), 7u);
    }
    EXPECT_EQ(dbftest::exitCodeOf(child), 0);
    EXPECT_EQ(storedNames(), (QStringList{"Ethanol", "Aceton", "Wasser", "Ethylalkohol", "Benzol", "Methanol",
                                          "Butanol", "Propanol"}));
}

} // namespace
