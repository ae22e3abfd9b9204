#include <gtest/gtest.h>

#include "DbfTestSupport.h"
#include "ForwardingFileIo.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/DbfFile.h"
#include "dbase/DbtMemo.h"
#include "dbase/FileIo.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::FaultyIoScope;
using dbftest::field;
using dbftest::readFile;
using dbftest::SimulatedCrash;
using dbftest::textAt;
using dbftest::writeFile;

namespace {

const TableLayout layout({field("NAME", FieldType::Character, 12), field("NR", FieldType::Numeric, 6)});

std::string record(const DbfFile& file, const std::string& name, char flag = ' ') {
    std::string bytes = file.blankRecord();
    bytes[0] = flag;
    dbftest::put(bytes, file.layout().field(0),
                 file.codePage().encode(QString::fromStdString(name)));
    return bytes;
}

// Writes a table of `count` records "R1", "R2", ... and returns its bytes.
std::string makeTable(std::uint32_t count) {
    const auto file = DbfFile::create("T.DBF", layout);
    for (std::uint32_t i = 1; i <= count; ++i)
        file->appendRecord(record(*file, "R" + std::to_string(i)));
    return readFile("T.DBF");
}

// One write the process may not survive: `original` is put back as T.DBF and
// opened shared under I/O that lets `budget` more bytes reach the disk, the
// write that runs out cut at the byte when `tear`.
struct KillableRun {
    KillableRun(const std::string& original, std::int64_t budget, bool tear = false) {
        writeFile("T.DBF", original);
        scope.faults->bytesLeft = budget;
        scope.faults->tear = tear;
        file = DbfFile::open("T.DBF", OpenMode::ReadWrite, ShareMode::Shared);
    }

    // Whether `write` came back rather than the process dying in it.
    template <typename Write>
    bool survives(Write write) {
        try {
            write(*file);
            return true;
        } catch (const SimulatedCrash&) {
            return false;
        }
    }

    FaultyIoScope scope;
    std::unique_ptr<DbfFile> file; // closed before the faulty I/O goes
};

// Opens the table after a crash with the system's I/O and checks that the
// first `kept` records are those makeTable wrote.
std::unique_ptr<DbfFile> reopenAndCheck(std::uint32_t kept) {
    auto file = DbfFile::open("T.DBF", OpenMode::ReadWrite, ShareMode::Exclusive);
    EXPECT_GE(file->recordCount(), kept);
    for (std::uint32_t i = 1; i <= kept; ++i)
        EXPECT_EQ(textAt(*file, i), QString("R%1").arg(i));
    return file;
}

class DbfCrash : public ::testing::Test {
protected:
    fixtures::TempDir dir;
};

} // namespace

// A single append and a bulk chunk of two, killed at every byte they write:
// the count never takes in part of what was appended, and the table stays
// usable.
TEST_F(DbfCrash, AppendsKilledAtAnyByteLeaveEveryEarlierRecordAndAWholeCount) {
    const std::string original = makeTable(3);
    const struct {
        bool bulk;
        std::vector<const char*> names;
    } cases[] = {{false, {"NEU"}}, {true, {"B4", "B5"}}};
    for (const auto& c : cases) {
        const std::uint32_t whole = 3 + static_cast<std::uint32_t>(c.names.size());
        const std::size_t bytes = c.names.size() * (1 + 12 + 6) + 1 + 32; // records, 0x1A, header
        for (std::size_t budget = 0; budget <= bytes; ++budget) {
            SCOPED_TRACE((c.bulk ? "bulk, budget " : "append, budget ") + std::to_string(budget));
            const bool returned = KillableRun(original, static_cast<std::int64_t>(budget), true)
                                      .survives([&](DbfFile& file) {
                                          if (c.bulk)
                                              file.beginBulk();
                                          std::uint32_t recNo = 3;
                                          for (const char* name : c.names)
                                              EXPECT_EQ(file.appendRecord(record(file, name)), ++recNo);
                                          if (c.bulk)
                                              file.endBulk();
                                      });
            EXPECT_EQ(returned, budget == bytes);
            const auto file = reopenAndCheck(3);
            const std::uint32_t count = file->recordCount();
            EXPECT_TRUE(count == 3u || count == whole) << count;
            EXPECT_TRUE(!returned || count == whole);
            for (std::uint32_t i = 4; count == whole && i <= whole; ++i)
                EXPECT_EQ(textAt(*file, i), c.names[i - 4]);
            // the next append lands right after the last record
            const std::uint32_t next = file->appendRecord(record(*file, "DANACH"));
            EXPECT_EQ(next, count + 1);
            EXPECT_EQ(textAt(*file, next), "DANACH");
        }
    }
}

TEST_F(DbfCrash, CountCrossingAByteBoundarySurvivesAKillBetweenWrites) {
    const std::string original = makeTable(255);
    for (std::int64_t budget : {0, 20, 52}) { // before, between and after the two writes
        KillableRun(original, budget).survives([](DbfFile& file) { file.appendRecord(record(file, "NEU")); });
        const auto file = reopenAndCheck(255);
        EXPECT_EQ(file->recordCount(), budget == 52 ? 256u : 255u);
    }
}

TEST_F(DbfCrash, EditKilledMidwayKeepsTheOtherRecordsAndTheHeader) {
    const std::string original = makeTable(3);
    for (std::int64_t budget : {0, 20, 1000}) {
        KillableRun(original, budget).survives(
            [](DbfFile& file) { file.writeRecord(2, record(file, "GEÄNDERT", '*')); });
        const auto file = DbfFile::open("T.DBF", OpenMode::ReadOnly, ShareMode::Shared);
        ASSERT_EQ(file->recordCount(), 3u);
        EXPECT_EQ(textAt(*file, 1), "R1");
        EXPECT_EQ(textAt(*file, 3), "R3");
        EXPECT_EQ(textAt(*file, 2), budget == 0 ? "R2" : "GEÄNDERT");
    }
}

TEST_F(DbfCrash, FailedWritesAndBulkWritesAreErrorsAndChangeNothing) {
    makeTable(3);
    FaultyIoScope scope;
    auto file = DbfFile::open("T.DBF", OpenMode::ReadWrite, ShareMode::Shared);
    scope.faults->writesLeft = 0;
    EXPECT_THROW(file->appendRecord(record(*file, "NEU")), DbaseError);
    EXPECT_THROW(file->writeRecord(1, record(*file, "X")), DbaseError);
    EXPECT_THROW(file->setProductionMdx(true), DbaseError);
    EXPECT_EQ(file->recordCount(), 3u);
    EXPECT_EQ(textAt(*file, 1), "R1");
    EXPECT_FALSE(file->header().hasProductionMdx);

    // the header write alone fails: the record is there but not counted
    scope.faults->writesLeft = -1;
    scope.faults->bytesLeft = 1 + 12 + 6 + 1;
    EXPECT_THROW(file->appendRecord(record(*file, "HALB")), SimulatedCrash);
    EXPECT_EQ(file->recordCount(), 3u);
    scope.faults->bytesLeft = -1;
    EXPECT_EQ(file->appendRecord(record(*file, "GANZ")), 4u);
    EXPECT_EQ(textAt(*file, 4), "GANZ");

    // a bulk whose write fails says so, and later appends number on right
    file->beginBulk();
    file->appendRecord(record(*file, "VERLOREN"));
    file->appendRecord(record(*file, "VERLOREN"));
    EXPECT_EQ(file->recordCount(), 6u);
    scope.faults->writesLeft = 0;
    const std::string error = dbftest::errorOf([&] { file->endBulk(); });
    EXPECT_NE(error.find("T.DBF"), std::string::npos) << error;
    EXPECT_NE(error.find("2 angefügte"), std::string::npos) << error;
    EXPECT_FALSE(file->inBulk());
    EXPECT_EQ(file->recordCount(), 4u);
    scope.faults->writesLeft = -1;
    EXPECT_EQ(file->appendRecord(record(*file, "DANACH")), 5u);
    EXPECT_EQ(textAt(*file, 5), "DANACH");
}

TEST_F(DbfCrash, FailedCreateLeavesTheOldTable) {
    const std::string original = makeTable(3);
    for (bool crash : {false, true}) {
        {
            FaultyIoScope scope;
            if (crash)
                scope.faults->bytesLeft = 10;
            else
                scope.faults->writesLeft = 0;
            try {
                DbfFile::create("T.DBF", TableLayout({field("ANDERS", FieldType::Character, 3)}));
                ADD_FAILURE() << "create reported success";
            } catch (const DbaseError&) {
                EXPECT_FALSE(crash);
            } catch (const SimulatedCrash&) {
                EXPECT_TRUE(crash);
            }
        }
        EXPECT_EQ(readFile("T.DBF"), original);
        reopenAndCheck(3);
    }
}

TEST_F(DbfCrash, FailedMemoWritesAreErrors) {
    DbtMemo::create("T.DBT", DbtMemo::Format::DBase4).reset();
    FaultyIoScope scope;
    const auto memo = DbtMemo::open("T.DBT", DbtMemo::Format::DBase4, OpenMode::ReadWrite);
    scope.faults->writesLeft = 0;
    EXPECT_THROW(memo->write("Text", 0), DbaseError);
    scope.faults->writesLeft = -1;
    // killed after the data, before "next free": the blocks are only wasted
    scope.faults->bytesLeft = 512;
    EXPECT_THROW(memo->write("erster", 0), SimulatedCrash);
    scope.faults->bytesLeft = -1;
    const std::uint32_t block = memo->write("zweiter", 0);
    EXPECT_EQ(block, 2u);
    EXPECT_EQ(memo->read(block), "zweiter");
}
