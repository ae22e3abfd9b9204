#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

// Opens the table in a child process; true when the open succeeded there.
bool opensInAnotherProcess(bool exclusive)
{
    const int code = dbftest::inChild([exclusive] {
        try {
            Table table;
            table.setTableName("namen.dbf");
            table.setExclusive(exclusive);
            table.open();
            return 0;
        } catch (const DbaseError&) {
            return 1;
        }
    });
    EXPECT_TRUE(code == 0 || code == 1) << "the child ended with " << code;
    return code == 0;
}

class TableLockTest : public ::testing::Test {
protected:
    void SetUp() override { makeNameTable("namen.dbf", sampleNames()); }
    fixtures::TempDir dir;
};

TEST_F(TableLockTest, ReadOnlyOpensRefuseEveryWriteWithAGermanMessage)
{
    Table table;
    table.setReadOnly(true);
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    EXPECT_TRUE(dbftest::failsWith("nur zum Lesen", [&] { table.edit(); }));
    EXPECT_THROW(table.append(), DbaseError);
    EXPECT_THROW(table.remove(), DbaseError);
    EXPECT_THROW(table.addIndex({"X", "CARN"}), DbaseError);
    EXPECT_EQ(table.state(), TableState::Browse);
    EXPECT_EQ(table.recordCount(), 5u);
    EXPECT_TRUE(table.findKey({"WASSER"}));
}

TEST_F(TableLockTest, AnExclusiveOpenShutsOutOtherOpensHereAndInOtherProcesses)
{
    Table table;
    table.setExclusive(true);
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    Table second;
    second.setTableName("namen.dbf");
    EXPECT_THROW(second.open(), DbaseError);
    EXPECT_FALSE(second.active());
    EXPECT_FALSE(opensInAnotherProcess(false));
    table.close();
    EXPECT_TRUE(opensInAnotherProcess(true));
    second.open();
    EXPECT_TRUE(second.active());
}

TEST_F(TableLockTest, SharedOpensSeeEachOthersCommittedRecords)
{
    Table reader;
    openTable(reader, "namen.dbf", "namen.mdx", "NAME1_SUB");
    Table writer;
    openTable(writer, "namen.dbf", "namen.mdx", "NAME1_SUB");

    appendRow(writer, {"Argon", "ARGON", "7440-37-1", "6"});
    writer.flush();
    reader.first(); // notices the grown record count
    EXPECT_EQ(reader.field(1).asString(), "ACETON");
    reader.next();
    EXPECT_EQ(reader.field(1).asString(), "ARGON");
    EXPECT_EQ(reader.recordCount(), 6u);

    ASSERT_TRUE(writer.findKey({"WASSER"}));
    writer.edit();
    writer.field(1).setAsString("AAA");
    writer.post();
    reader.refresh();
    EXPECT_EQ(column(reader, 1).front(), "AAA");
    EXPECT_TRUE(reader.findKey({"AAA"}));
}

TEST_F(TableLockTest, TwoWritersLeaveAnIndexThatHoldsBothTheirChanges)
{
    Table first;
    openTable(first, "namen.dbf", "namen.mdx", "NAME1_SUB");
    Table second;
    openTable(second, "namen.dbf", "namen.mdx", "NAME1_SUB");
    ASSERT_TRUE(first.findKey({"WASSER"}));
    first.edit();
    first.field(1).setAsString("AQUA");
    first.close();
    // the second open never saw that edit; its index write must not undo it
    ASSERT_TRUE(second.findKey({"BENZOL"}));
    second.edit();
    second.field(1).setAsString("ZINK");
    second.close();

    Table check;
    openTable(check, "namen.dbf", "namen.mdx", "NAME1_SUB");
    EXPECT_EQ(column(check, 1),
              (QStringList{"ACETON", "AQUA", "ETHANOL", "ETHYLALKOHOL", "ZINK"}));
}

} // namespace
