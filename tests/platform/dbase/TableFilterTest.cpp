#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

class TableFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<NameRow> rows = sampleNames();
        rows.push_back({"o'Kresol", "KRESOL-O", "95-48-7", "5"});
        rows.push_back({"ethanol vergällt", "ethanol vergaellt", "64-17-5", "6"});
        makeNameTable("namen.dbf", rows);
        openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    }
    fixtures::TempDir dir;
    Table table;
};

TEST_F(TableFilterTest, AFilterKeepsIndexOrderAndCountsOnlyPassingRows)
{
    EXPECT_EQ(table.recordCount(), 7u);
    table.setFilterText("CARN='64-17-5'");
    EXPECT_EQ(column(table, 0).size(), 7); // not on until filtered
    table.setFiltered(true);
    // the collation puts a lower-case letter before its upper case
    EXPECT_EQ(column(table, 1), (QStringList{"ethanol vergaellt", "ETHANOL", "ETHYLALKOHOL"}));
    EXPECT_EQ(table.recordCount(), 3u);
    EXPECT_FALSE(table.gotoRecNo(2)); // Aceton does not pass

    // the count follows changes of the rows
    table.first();
    table.edit();
    table.field(2).setAsString("1-1-1");
    table.post();
    EXPECT_EQ(table.recordCount(), 2u);
    appendRow(table, {"Sprit", "SPRIT", "64-17-5", "7"});
    EXPECT_EQ(table.recordCount(), 3u);

    table.setFiltered(false);
    EXPECT_EQ(table.recordCount(), 8u);
}

TEST_F(TableFilterTest, ABadFilterTextThrowsAndTheOldFilterStays)
{
    table.setFilterText("SUBCARN='4'");
    table.setFiltered(true);
    EXPECT_THROW(table.setFilterText("CARN = = 'x'"), DbaseError);
    EXPECT_THROW(table.setFilterText("GIBTSNICHT='x'"), DbaseError);
    EXPECT_EQ(table.filterText(), "SUBCARN='4'");
    EXPECT_EQ(column(table, 0), QStringList{"Benzol"});
    table.setFilterText("");
    EXPECT_EQ(column(table, 0).size(), 7);
}

TEST_F(TableFilterTest, FilterOptionsChangeComparisonAndStayOnTheTable)
{
    table.setFilterText("STRIPNAME1='ETHANOL*'");
    table.setFiltered(true);
    EXPECT_EQ(column(table, 0), QStringList{"Ethanol"});

    table.setFilterOptions({true, false});
    EXPECT_EQ(column(table, 0), (QStringList{"ethanol vergällt", "Ethanol"}));

    // later filters on the table compare the same way
    table.setFilterText("NAME1='ETHANOL VERGÄLLT'");
    EXPECT_EQ(column(table, 0), QStringList{"ethanol vergällt"});

    table.setFilterOptions({true, true}); // '*' is then a plain character
    table.setFilterText("STRIPNAME1='ETHANOL*'");
    EXPECT_TRUE(table.isEmpty());
    table.close();
    table.open();
    EXPECT_EQ(table.filterOptions(), (FilterOptions{true, true}));
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(TableFilterTest, ProgramBuiltPredicatesTakeApostrophesAsData)
{
    table.setFilter(Filter::equals("NAME1", "o'Kresol") || Filter::equals("SUBCARN", "2"));
    table.setFiltered(true);
    EXPECT_EQ(column(table, 0), (QStringList{"Aceton", "o'Kresol"}));
    EXPECT_THROW(table.setFilter(Filter::equals("FEHLT", "x")), DbaseError);
    EXPECT_EQ(table.recordCount(), 2u);
}

} // namespace
