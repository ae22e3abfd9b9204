#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ForwardingFileIo.h"
#include "TableTestSupport.h"
#include "dbase/DbfFile.h"
#include "dbase/FileIo.h"
#include "dbase/MdxFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

// The name table open under I/O whose writes fail once `writesLeft` reaches
// zero, the way a full disk or a pulled network drive fails them.
class TableSafetyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeNameTable("namen.dbf", sampleNames());
        openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    }

    fixtures::TempDir dir;
    dbftest::FaultyIoScope io;
    int& writesLeft = io.faults->writesLeft;
    Table table;
};

TEST_F(TableSafetyTest, AFailedPostKeepsTheChangeForAnotherTryAndTheIndexUnchanged)
{
    ASSERT_TRUE(table.findKey({"WASSER"}));
    table.edit();
    table.field(1).setAsString("AQUA");
    writesLeft = 0;
    EXPECT_THROW(table.post(), DbaseError);
    EXPECT_EQ(table.state(), TableState::Edit);
    EXPECT_TRUE(table.modified());
    EXPECT_EQ(table.field(1).asString(), "AQUA");
    EXPECT_THROW(table.next(), DbaseError); // leaving posts, and that fails again
    EXPECT_EQ(table.state(), TableState::Edit);

    writesLeft = -1;
    table.post();
    EXPECT_TRUE(table.findKey({"AQUA"}));
    EXPECT_FALSE(table.findKey({"WASSER"}));
    EXPECT_EQ(column(table, 1).size(), 5);
}

TEST_F(TableSafetyTest, AppliedUpdatesThatFailHalfwaySayHowFarTheyGotAndKeepTheRest)
{
    table.setCachedUpdates(true);
    for (const char* name : {"A1", "A2", "A3"})
        appendRow(table, {name, name, "1-1-1", "1"});
    writesLeft = 2; // the first append writes its record and end marker, then the disk is full
    EXPECT_TRUE(dbftest::failsWith("übrigen bleiben vorgemerkt", [&] { table.applyUpdates(); }));
    EXPECT_THROW(table.setCachedUpdates(false), DbaseError); // still held
    writesLeft = -1;
    table.applyUpdates();
    table.setCachedUpdates(false);
    table.close();
    Table check;
    openTable(check, "namen.dbf", "namen.mdx", "CARN_SUB");
    EXPECT_EQ(column(check, 1).mid(0, 3), (QStringList{"A1", "A2", "A3"}));
    EXPECT_EQ(check.recordCount(), 8u);
}

TEST(TableCrash, AProcessKilledAfterAChangeLeavesAnIndexThatIsRebuilt)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames());
    const int code = dbftest::inChild([]() -> int {
        Table table;
        openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
        table.findKey({"WASSER"});
        table.edit();
        table.field(1).setAsString("AQUA");
        table.post();
        appendRow(table, {"Blei", "BLEI", "7439-92-1", "7"});
        ::_exit(0); // killed with the table open: no flush, no close
    });
    ASSERT_EQ(code, 0);
    EXPECT_TRUE(MdxFile::isMarkedDirty("namen.mdx"));

    Table table;
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    EXPECT_EQ(column(table, 1),
              (QStringList{"ACETON", "AQUA", "BENZOL", "BLEI", "ETHANOL", "ETHYLALKOHOL"}));
    table.setIndexName("CARN_SUB");
    EXPECT_TRUE(table.findKey({"7439-92-1", "7"}));
}

TEST(TableIndexSafety, ATagWhoseExpressionCannotBeEvaluatedIsRefusedByName)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    MdxFile index;
    TagInfo info;
    info.name = "KLANG";
    info.expression = "SOUNDEX(NAME1)";
    info.keyLength = 4;
    index.tags().emplace_back(info, dbftest::westernEurope());
    index.write("namen.mdx", "namen", 0x58);

    Table table;
    EXPECT_TRUE(dbftest::failsWith("KLANG", [&] { openTable(table, "namen.dbf", "namen.mdx"); }));
    EXPECT_FALSE(table.active());
}

} // namespace
