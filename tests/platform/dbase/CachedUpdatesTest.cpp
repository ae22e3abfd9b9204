#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "dbase/MdxFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

// What another reader of the files sees meanwhile.
QStringList onDisk(const char* tag = "NAME1_SUB")
{
    Table other;
    openTable(other, "namen.dbf", "namen.mdx", tag);
    return column(other, 1);
}

class CachedUpdatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeNameTable("namen.dbf", sampleNames());
        openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
        original = onDisk();
        table.setCachedUpdates(true);
        // an append, an edit that moves a key, a delete
        appendRow(table, {"Argon", "ARGON", "7440-37-1", "6"});
        ASSERT_TRUE(table.findKey({"WASSER"}));
        table.edit();
        table.field(1).setAsString("AQUA");
        table.post();
        ASSERT_TRUE(table.findKey({"BENZOL"}));
        table.remove();
    }
    const QStringList held{"ACETON", "AQUA", "ARGON", "ETHANOL", "ETHYLALKOHOL"};
    fixtures::TempDir dir;
    Table table;
    QStringList original;
};

TEST_F(CachedUpdatesTest, HeldChangesAreVisibleHereButNotInTheFiles)
{
    EXPECT_EQ(column(table, 1), held);
    EXPECT_EQ(columnBackwards(table, 1),
              (QStringList{"ETHYLALKOHOL", "ETHANOL", "ARGON", "AQUA", "ACETON"}));
    EXPECT_EQ(table.recordCount(), 6u);
    table.setIndexName("");
    EXPECT_EQ(column(table, 1),
              (QStringList{"ETHANOL", "ACETON", "AQUA", "ETHYLALKOHOL", "ARGON"}));
    EXPECT_EQ(onDisk(), original);
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx"));

    // deleting a held append just drops it
    table.setIndexName("CARN_SUB");
    ASSERT_TRUE(table.findKey({"7440-37-1", "6"}));
    table.remove();
    EXPECT_EQ(table.field(1).asString(), "AQUA");
    EXPECT_EQ(table.recordCount(), 5u);
    table.applyUpdates();
    table.setCachedUpdates(false);
    EXPECT_EQ(onDisk(), (QStringList{"ACETON", "AQUA", "ETHANOL", "ETHYLALKOHOL"}));
}

TEST_F(CachedUpdatesTest, ApplyPostsThePendingRowWritesEverythingAndKeepsTheIndexRight)
{
    table.append();
    table.field(1).setAsString("XENON");
    table.applyUpdates();
    table.setCachedUpdates(false);
    table.flush();
    const QStringList written = held + QStringList{"XENON"};
    EXPECT_EQ(column(table, 1), written);
    EXPECT_EQ(onDisk(), written);
    EXPECT_EQ(onDisk("CARN_SUB"),
              (QStringList{"XENON", "ETHANOL", "ETHYLALKOHOL", "ACETON", "ARGON", "AQUA"}));
    table.close();
    table.open();
    EXPECT_EQ(table.recordCount(), 7u);
}

TEST_F(CachedUpdatesTest, CancelDropsEverythingAndTheCursorStaysValid)
{
    table.append();
    table.field(1).setAsString("XENON");
    table.cancelUpdates();
    EXPECT_EQ(table.state(), TableState::Browse);
    EXPECT_EQ(column(table, 1), original);
    EXPECT_EQ(table.recordCount(), 5u);
    table.setCachedUpdates(false);
    table.close();
    EXPECT_EQ(onDisk(), original);
}

TEST_F(CachedUpdatesTest, NothingHeldIsLostSilently)
{
    EXPECT_THROW(table.setCachedUpdates(false), DbaseError);
    EXPECT_TRUE(table.cachedUpdates());
    EXPECT_THROW(table.close(), DbaseError);
    EXPECT_TRUE(table.active());
    EXPECT_EQ(column(table, 1), held);

    // an unposted change counts as well
    table.applyUpdates();
    table.first();
    table.edit();
    table.field(1).setAsString("AAA");
    EXPECT_THROW(table.setCachedUpdates(false), DbaseError);
    table.cancel();
    table.setCachedUpdates(false);
    EXPECT_FALSE(table.cachedUpdates());
}

TEST(CachedUpdatesMemo, AMemoEditIsHeldUntilApplied)
{
    fixtures::TempDir dir;
    Table table;
    insertIntoNewMemoTable(table);
    table.field(1).setAsString("alt");
    table.post();

    table.setCachedUpdates(true);
    table.edit();
    table.field(1).setAsString("neu, und länger als vorher");
    table.post();
    {
        Table other;
        openTable(other, "chemie.dbf");
        EXPECT_EQ(other.field(1).asString(), "alt");
    }
    EXPECT_EQ(table.field(1).asString(), "neu, und länger als vorher");
    table.applyUpdates();
    table.setCachedUpdates(false);
    Table other;
    openTable(other, "chemie.dbf");
    EXPECT_EQ(other.field(1).asString(), "neu, und länger als vorher");
}

} // namespace
