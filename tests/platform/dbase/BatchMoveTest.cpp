#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

class BatchMoveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        makeNameTable("namen.dbf", sampleNames());
        openTable(source, "namen.dbf", "namen.mdx", "NAME1_SUB");
    }
    fixtures::TempDir dir;
    Table source;
};

TEST_F(BatchMoveTest, AppendCopiesTheVisibleRowsInCursorOrder)
{
    Table target;
    target.setTableName("filter.dbf");
    target.createTable(source.layout());
    target.setExclusive(true);
    target.open();
    source.setFilterText("CARN='64-17-5' OR CARN='71-43-2'");
    source.setFiltered(true);
    ASSERT_TRUE(source.findKey({"ETHANOL"}));

    EXPECT_EQ(batchMove(source, target, BatchMode::Append), 3u);
    EXPECT_EQ(source.field(1).asString(), "ETHANOL"); // the source stays where it was
    EXPECT_EQ(column(target, 0), (QStringList{"Benzol", "Ethanol", "Ethylalkohol"}));
    target.close();
    target.setExclusive(false);
    target.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
    target.setIndexName("CARN_SUB");
    target.open();
    EXPECT_TRUE(target.findKey({"71-43-2", "4"}));
}

TEST_F(BatchMoveTest, FieldsGoByPositionAndConvertBetweenTypes)
{
    Table target;
    fixtures::makeTable(target, "lager.dbf",
                        TableLayout({field("NAME", FieldType::Character, 5), field("KEY", FieldType::Character, 60),
                                     field("NUMMER", FieldType::Character, 12), field("ANZAHL", FieldType::Numeric, 4),
                                     field("REST", FieldType::Character, 3)}),
                        {});
    source.setIndexName("");
    EXPECT_EQ(batchMove(source, target, BatchMode::Append), 5u);
    target.first();
    EXPECT_EQ(target.field(0).asString(), "Ethan"); // cut to the field
    EXPECT_EQ(target.field(2).asString(), "64-17-5");
    EXPECT_EQ(target.field(3).raw(), "   1"); // "1" as a number
    EXPECT_TRUE(target.field(4).isNull());
}

TEST_F(BatchMoveTest, AValueThatDoesNotFitStopsTheMoveBeforeAnythingIsWritten)
{
    Table target;
    fixtures::makeTable(target, "ziel.dbf",
                        TableLayout({field("NAME1", FieldType::Character, 60),
                                     field("STRIPNAME1", FieldType::Character, 60), field("CARN", FieldType::Numeric, 12)}),
                        {});
    EXPECT_THROW(batchMove(source, target, BatchMode::Append), DbaseError); // "64-17-5" is no number
    EXPECT_EQ(target.recordCount(), 0u);
    EXPECT_EQ(target.state(), TableState::Browse);
}

TEST_F(BatchMoveTest, AppendUpdateOverwritesMatchesThroughTheActiveTag)
{
    Table update;
    fixtures::makeTable(update, "update.dbf", nameLayout(),
                        {{"Ethanol neu", "ETHANOL NEU", "64-17-5", "1"}, {"Xylol", "XYLOL", "1330-20-7", "12"},
                         {"Xylol doppelt", "XYLOL DOPPELT", "1330-20-7", "12"}});

    source.setIndexName("CARN_SUB");
    EXPECT_EQ(batchMove(update, source, BatchMode::AppendUpdate), 3u);
    EXPECT_EQ(source.recordCount(), 6u); // one overwritten, one appended, then overwritten
    ASSERT_TRUE(source.findKey({"64-17-5", "1"}));
    EXPECT_EQ(source.field(0).asString(), "Ethanol neu");
    EXPECT_EQ(source.recNo(), 1u);
    ASSERT_TRUE(source.findKey({"1330-20-7", "12"}));
    EXPECT_EQ(source.field(0).asString(), "Xylol doppelt");
    source.setIndexName("NAME1_SUB");
    EXPECT_EQ(column(source, 1), (QStringList{"ACETON", "BENZOL", "ETHANOL NEU", "ETHYLALKOHOL",
                                              "WASSER", "XYLOL DOPPELT"}));

    source.setIndexName("");
    EXPECT_THROW(batchMove(update, source, BatchMode::AppendUpdate), DbaseError);
}

} // namespace
