#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "dbase/MdxFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

// Record numbers of a tag as stored in the index file.
std::vector<std::uint32_t> storedOrder(const std::filesystem::path& mdx, const std::string& tag)
{
    MdxFile file = MdxFile::read(mdx, dbftest::westernEurope());
    if (const IndexTag* t = file.tag(tag))
        return dbftest::recNosOf(*t);
    ADD_FAILURE() << "no tag " << tag;
    return {};
}

std::uint32_t get32(const std::string& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// Byte offset of the root node of the index file's tag number `tag` (from 0).
std::size_t rootOffset(const std::string& mdx, std::size_t tag)
{
    const std::size_t header = std::size_t{get32(mdx, 544 + 32 * tag)} * 512;
    return std::size_t{get32(mdx, header)} * 512;
}

class TableIndexTest : public ::testing::Test {
protected:
    void SetUp() override { makeNameTable("namen.dbf", sampleNames()); }
    void open(const char* tag = "NAME1_SUB") { openTable(table, "namen.dbf", "namen.mdx", tag); }
    fixtures::TempDir dir;
    Table table;
};

TEST_F(TableIndexTest, RowsComeInTheActiveTagsOrder)
{
    open();
    EXPECT_EQ(column(table, 1),
              (QStringList{"ACETON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
    EXPECT_EQ(columnBackwards(table, 1),
              (QStringList{"WASSER", "ETHYLALKOHOL", "ETHANOL", "BENZOL", "ACETON"}));
    table.setIndexName("CARN_SUB");
    EXPECT_EQ(recNos(table), (std::vector<std::uint32_t>{1, 4, 2, 5, 3}));
    table.setIndexName("");
    EXPECT_EQ(recNos(table), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));
    const std::vector<IndexDef> defs = table.indexDefs();
    ASSERT_EQ(defs.size(), 2u);
    EXPECT_EQ(defs[0].name, "CARN_SUB");
    EXPECT_TRUE(defs[0].isExpression);
    EXPECT_EQ(defs[1].expression, "STRIPNAME1");
    EXPECT_FALSE(defs[1].isExpression);
    EXPECT_THROW(table.setIndexName("FEHLT"), DbaseError);
    EXPECT_EQ(table.indexName(), "");
}

TEST_F(TableIndexTest, FindKeyWithFullAndPartialKeysLeavesTheCursorWhenNothingMatches)
{
    open("CARN_SUB");
    table.last();
    const std::uint32_t before = table.recNo();
    EXPECT_FALSE(table.findKey({"64-17-5", "2"}));
    EXPECT_FALSE(table.findKey({"64-17"})); // a partial key compares whole fields
    EXPECT_EQ(table.recNo(), before);
    EXPECT_TRUE(table.eof()); // unchanged as well

    EXPECT_TRUE(table.findKey({"64-17-5", "1"}));
    EXPECT_EQ(table.recNo(), 1u);
    EXPECT_FALSE(table.eof());
    EXPECT_TRUE(table.findKey({"7732-18-5"}));
    EXPECT_EQ(table.field(0).asString(), "Wasser");
    EXPECT_THROW(table.findKey({"1", "2", "3"}), DbaseError);

    // the first visible row of a key: deleted and filtered rows are passed by
    table.findKey({"64-17-5"});
    table.remove();
    EXPECT_TRUE(table.findKey({"64-17-5"}));
    EXPECT_EQ(table.recNo(), 4u);
    table.setFilterText("NAME1<>'Ethylalkohol'");
    table.setFiltered(true);
    EXPECT_FALSE(table.findKey({"64-17-5"}));

    // only a tag made of plain fields can be searched by field values
    table.setIndexName("");
    EXPECT_THROW(table.findKey({"64-17-5"}), DbaseError);
    table.addIndex({"GROSS", "UPPER(NAME1)", true});
    table.setIndexName("GROSS");
    EXPECT_THROW(table.findKey({"ACETON"}), DbaseError);
}

TEST_F(TableIndexTest, FindNearestStopsAtTheFirstKeyNotLess)
{
    open();
    table.findNearest({"C"});
    EXPECT_EQ(table.field(0).asString(), "Ethanol");
    table.findNearest({"ETHZ"});
    EXPECT_EQ(table.field(0).asString(), "Wasser");
    table.findNearest({"ZZZ"});
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.field(0).asString(), "Wasser");
}

TEST_F(TableIndexTest, EveryTagFollowsEditsAppendsAndDeletesAndTheFileIsWrittenBack)
{
    open();
    ASSERT_TRUE(table.findKey({"WASSER"}));
    table.edit();
    table.field(1).setAsString("AQUA");
    table.field(2).setAsString("1-1-1");
    table.post();
    EXPECT_EQ(table.recNo(), 3u);
    table.next(); // the cursor follows the row to its new place
    EXPECT_EQ(table.field(1).asString(), "BENZOL");
    appendRow(table, {"Zink", "ZINK", "7440-66-6", "6"});
    ASSERT_TRUE(table.findKey({"BENZOL"}));
    table.remove();
    EXPECT_EQ(column(table, 1), (QStringList{"ACETON", "AQUA", "ETHANOL", "ETHYLALKOHOL", "ZINK"}));
    table.setIndexName("CARN_SUB");
    EXPECT_EQ(recNos(table), (std::vector<std::uint32_t>{3, 1, 4, 2, 6}));
    table.close();

    // deleted records keep their keys, as dBASE has it
    EXPECT_EQ(storedOrder("namen.mdx", "NAME1_SUB"), (std::vector<std::uint32_t>{2, 3, 5, 1, 4, 6}));
    EXPECT_EQ(storedOrder("namen.mdx", "CARN_SUB"), (std::vector<std::uint32_t>{3, 1, 4, 2, 5, 6}));
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx"));
}

TEST_F(TableIndexTest, TheIndexFileIsMarkedDirtyFromTheFirstChangeUntilItIsWritten)
{
    open();
    table.first();
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx"));
    table.edit();
    table.field(1).setAsString("AAA");
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx")); // nothing written yet
    table.post();
    EXPECT_TRUE(MdxFile::isMarkedDirty("namen.mdx"));
    table.flush();
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx"));
    EXPECT_EQ(storedOrder("namen.mdx", "NAME1_SUB").front(), 2u);
    appendRow(table, {"Blei", "BLEI", "7439-92-1", "7"});
    EXPECT_TRUE(MdxFile::isMarkedDirty("namen.mdx"));
}

TEST_F(TableIndexTest, AStaleIndexIsRebuiltFromTheTableOnOpen)
{
    // A process killed after changing the table: the dirty mark stays and the
    // stored keys are those of before.
    const std::string before = dbftest::readFile("namen.mdx");
    open();
    appendRow(table, {"Argon", "ARGON", "7440-37-1", "8"});
    table.first();
    table.edit();
    table.field(1).setAsString("ZZZ");
    table.post();
    table.close();
    dbftest::writeFile("namen.mdx", before);
    MdxFile::markDirty("namen.mdx");
    open();
    EXPECT_EQ(column(table, 1),
              (QStringList{"ARGON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER", "ZZZ"}));
    table.close();
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx")); // written at close

    // without the mark, a key count that differs from the records gives it away
    dbftest::writeFile("namen.mdx", before);
    open();
    EXPECT_EQ(table.recordCount(), 6u);
    EXPECT_EQ(column(table, 1).size(), 6);
}

TEST_F(TableIndexTest, AddIndexOnOpenAndClosedTablesAndRefusedExpressions)
{
    open();
    table.addIndex({"NAME1", "NAME1"});
    table.setIndexName("NAME1");
    EXPECT_EQ(column(table, 0).front(), "Aceton");
    EXPECT_TRUE(dbftest::failsWith("KAPUTT", [&] { table.addIndex({"KAPUTT", "CARN+", true}); }));
    EXPECT_THROW(table.addIndex({"NAME1", "CARN"}), DbaseError); // name taken
    EXPECT_THROW(table.addIndex({"X", "GIBTSNICHT"}), DbaseError);
    EXPECT_EQ(table.indexDefs().size(), 3u);
    table.close();
    EXPECT_EQ(MdxFile::readTagInfos("namen.mdx").size(), 3u);

    // a table without an index file gets its production index
    makeNameTable("filter.dbf", sampleNames(), false);
    Table filter;
    filter.setTableName("filter.dbf");
    filter.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
    filter.setIndexName("CARN_SUB");
    filter.open(); // no index file named: the production index opens with the table
    EXPECT_EQ(recNos(filter), (std::vector<std::uint32_t>{1, 4, 2, 5, 3}));
}

// Tags added one after another to a closed table go on from the index the
// call before wrote, but never over what another open changed in between.
TEST_F(TableIndexTest, AddIndexOnAClosedTableKeepsWhatAnotherOpenChangedMeanwhile)
{
    makeNameTable("zan.dbf", sampleNames(), false);
    Table closed;
    closed.setTableName("zan.dbf");
    closed.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
    closed.addIndex({"NAME1", "NAME1"});
    {
        Table other;
        openTable(other, "zan.dbf");
        other.addIndex({"STRIP", "STRIPNAME1"});
        other.append();
        other.field(0).setAsString("Zink");
        other.field(2).setAsString("7440-66-6");
        other.post();
        other.close();
    }
    closed.addIndex({"SUBCARN", "SUBCARN"});

    const MdxFile file = MdxFile::read("zan.mdx", dbftest::westernEurope());
    std::vector<std::string> names;
    for (const IndexTag& tag : file.tags()) {
        names.push_back(tag.info().name);
        EXPECT_EQ(tag.size(), 6u) << tag.info().name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CARN_SUB", "NAME1", "STRIP", "SUBCARN"}));
    EXPECT_EQ(storedOrder("zan.mdx", "NAME1"), (std::vector<std::uint32_t>{2, 5, 1, 4, 3, 6}));
}

} // namespace

TEST_F(TableIndexTest, ATagFirstUsedAfterAnEditHoldsTheEditedKey)
{
    // Only the active tag is read at the open; the other one must not come
    // from the file as it was before the edit.
    open();
    ASSERT_TRUE(table.findKey({"WASSER"}));
    table.edit();
    table.field(2).setAsString("1-1-1");
    table.post();
    table.setIndexName("CARN_SUB");
    EXPECT_FALSE(table.findKey({"7732-18-5"}));
    ASSERT_TRUE(table.findKey({"1-1-1"}));
    EXPECT_EQ(table.recNo(), 3u);
    EXPECT_EQ(recNos(table), (std::vector<std::uint32_t>{3, 1, 4, 2, 5}));
    table.close();
    EXPECT_EQ(storedOrder("namen.mdx", "CARN_SUB"), (std::vector<std::uint32_t>{3, 1, 4, 2, 5}));

    // A tag whose tree is damaged does not keep the table from opening; it
    // is made from the rows when it is first used.
    std::string bytes = dbftest::readFile("namen.mdx");
    const std::size_t carnSubRoot = rootOffset(bytes, 0);
    bytes.replace(carnSubRoot, 4, "\xFF\xFF\xFF\x7F", 4); // an impossible key count
    dbftest::writeFile("namen.mdx", bytes);
    open();
    EXPECT_EQ(column(table, 1), (QStringList{"ACETON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
    table.setIndexName("CARN_SUB");
    EXPECT_EQ(recNos(table), (std::vector<std::uint32_t>{3, 1, 4, 2, 5}));
    table.close();
    EXPECT_EQ(storedOrder("namen.mdx", "CARN_SUB"), (std::vector<std::uint32_t>{3, 1, 4, 2, 5}));
}

TEST_F(TableIndexTest, FindKeyByTheFieldsOfAnotherRecord)
{
    // The source fields are wider than the key fields, one is numeric and
    // one table has another code page: each value finds what its text finds.
    Table source;
    source.setTableName("quelle.dbf");
    source.createTable(TableLayout({field("CARN", FieldType::Character, 20),
                                    field("SUB", FieldType::Numeric, 3), field("NAME", FieldType::Character, 20)}),
                       0x02);
    source.open();
    appendRow(source, {"7732-18-5", "3", QString::fromUtf8("Wässer")});
    appendRow(source, {"64-17-5", "1", "Ethylalkohol"});
    open("CARN_SUB");
    source.first();
    ASSERT_TRUE(table.findKey(source.currentRecord(), {0, 1}));
    EXPECT_EQ(table.recNo(), 3u);
    source.next();
    ASSERT_TRUE(table.findKey(source.currentRecord(), {0}));
    EXPECT_EQ(table.recNo(), 1u);
    EXPECT_FALSE(table.findKey(source.currentRecord(), {2}));
    EXPECT_THROW(table.findKey(source.currentRecord(), {0, 1, 2}), DbaseError);
    EXPECT_THROW(table.findKey(source.currentRecord(), {7}), DbaseError);

    // Same code page: the bytes as stored, umlauts included.
    table.setIndexName("");
    appendRow(table, {QString::fromUtf8("Äther"), QString::fromUtf8("ÄTHER"), QString::fromUtf8("60-29-7Ä"), "9"});
    table.setIndexName("CARN_SUB");
    Table same;
    openTable(same, "namen.dbf");
    same.last();
    ASSERT_TRUE(table.findKey(same.currentRecord(), {2, 3}));
    EXPECT_EQ(table.recNo(), 6u);
    // and across code pages through the text
    appendRow(source, {QString::fromUtf8("60-29-7Ä"), "9", ""});
    source.last();
    table.first();
    ASSERT_TRUE(table.findKey(source.currentRecord(), {0, 1}));
    EXPECT_EQ(table.recNo(), 6u);
}

TEST_F(TableIndexTest, ATagStoredInAnotherOrderIsWalkedInOurs)
{
    // Another program's file whose first two names stand the other way
    // round: walking the tag reads its keys to put them in our order.
    std::string bytes = dbftest::readFile("namen.mdx");
    const std::size_t leaf = rootOffset(bytes, 1); // NAME1_SUB, five names in one leaf
    const std::size_t itemLength = 64;             // 60 bytes of key and the record number
    const std::string first = bytes.substr(leaf + 8, itemLength);
    bytes.replace(leaf + 8, itemLength, bytes.substr(leaf + 8 + itemLength, itemLength));
    bytes.replace(leaf + 8 + itemLength, itemLength, first);
    dbftest::writeFile("namen.mdx", bytes);
    open();
    EXPECT_EQ(column(table, 1), (QStringList{"ACETON", "BENZOL", "ETHANOL", "ETHYLALKOHOL", "WASSER"}));
    ASSERT_TRUE(table.findKey({"BENZOL"}));
    EXPECT_EQ(table.recNo(), 5u);
}
