// The first row passing a name condition, found in the range of the name
// tag, must be the row a walk through every row of the table's order finds:
// with and without case, prefix or whole key, whatever tag orders the table
// and whatever filter is on.
#include <gtest/gtest.h>

#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

class TableFirstPassingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Keys in mixed case, with umlauts (which a case-blind filter takes
        // for their capitals), a blank one and a deleted one.
        makeNameTable("namen.dbf", {{"Aceton", "ACETON", "67-64-1", "1"},
                                    {"aceton", "aceton", "67-64-1", "2"},
                                    {"Acetonitril", "ACETONITRIL", "75-05-8", "1"},
                                    {"ACETYLEN", "AcEtYlEn", "74-86-2", "1"},
                                    {"Äther", "ÄTHER", "60-29-7", "1"},
                                    {"äther", "äther", "60-29-7", "2"},
                                    {"Benzol", "BENZOL", "71-43-2", "1"},
                                    {"benzin", "benzin", "8006-61-9", "1"},
                                    {"Aceton*", "ACETON*", "67-64-1", "3"},
                                    {"", "", "0-00-0", "1"},
                                    {"gelöscht", "ACETON", "67-64-1", "4"},
                                    {"Zink", "ZINK", "7440-66-6", "1"}});
        table.setTableName("namen.dbf");
        table.open();
        ASSERT_TRUE(table.gotoRecNo(11));
        table.remove();
    }

    // The first row of the table's order that passes its filter and the
    // condition, found by walking every row.
    std::uint32_t walked(const Filter& condition, FilterOptions options)
    {
        const Filter::Bound bound = condition.bind(table.layout());
        for (table.first(); !table.eof(); table.next())
            if (bound.matches(table.currentRecord(), options))
                return table.recNo();
        return 0;
    }

    fixtures::TempDir dir;
    Table table;
};

TEST_F(TableFirstPassingTest, FindsWhatAWalkFindsInEveryOrderFilterAndOption)
{
    const QStringList texts = {"ACETON", "aceton", "AcEt", "acety", "Ä", "äther", "ÄTHER", "B", "benz", "ACETON*",
                               "Aceton*", "X", "ZINK", "", "acetonitrilx"};
    const Filter filters[] = {Filter(), Filter::parse("CARN <> '67-64-1'"), Filter::parse("SUBCARN = '2'"),
                              Filter::parse("CARN = '6*'")};
    const FilterOptions tableOptions = {.caseInsensitive = true};
    table.setFilterOptions(tableOptions);
    for (const QString tag : {"NAME1_SUB", "CARN_SUB", ""}) {
        table.setIndexName(tag);
        for (const Filter& filter : filters) {
            for (const QString& text : texts) {
                for (const bool exact : {false, true}) {
                    const Filter condition = exact ? Filter::equals("STRIPNAME1", text)
                                                   : Filter::startsWith("STRIPNAME1", text);
                    for (const bool anyCase : {false, true}) {
                        const FilterOptions options{.caseInsensitive = anyCase, .noPartialCompare = exact};
                        SCOPED_TRACE(QStringLiteral("Index %1, Filter %2, Text %3, exakt %4, ohne Groß/klein %5")
                                         .arg(tag, filter.text(), text)
                                         .arg(exact)
                                         .arg(anyCase)
                                         .toStdString());
                        table.setFilter(filter);
                        table.setFiltered(!filter.isEmpty());
                        table.first();
                        const std::uint32_t cursor = table.recNo();
                        const std::uint32_t found = table.firstPassing(condition, options, "NAME1_SUB");
                        EXPECT_EQ(table.recNo(), cursor) << "the cursor moved";
                        EXPECT_EQ(table.filterOptions(), tableOptions);
                        EXPECT_EQ(table.filter().text(), filter.text());
                        EXPECT_EQ(found, walked(condition, options));
                    }
                }
            }
        }
    }
}

// Without the tag (or with a tag the condition does not fix) the rows are
// walked; a row changed and posted is found by its new key.
TEST_F(TableFirstPassingTest, WalksWithoutTheTagAndSeesPostedChanges)
{
    table.setIndexName("CARN_SUB");
    const Filter benzol = Filter::startsWith("STRIPNAME1", "BENZ");
    EXPECT_EQ(table.firstPassing(benzol, {}, "FEHLT"), 7u);
    EXPECT_EQ(table.firstPassing(benzol, {}, "CARN_SUB"), 7u);
    ASSERT_TRUE(table.gotoRecNo(12));
    table.edit();
    table.fieldByName("STRIPNAME1").setAsString("BENZAL");
    EXPECT_EQ(table.firstPassing(benzol, {}, "NAME1_SUB"), 7u) << "CARN order: 71-43-2 before 7440-66-6";
    table.setIndexName("NAME1_SUB");
    EXPECT_EQ(table.firstPassing(benzol, {}, "NAME1_SUB"), 12u);
    EXPECT_EQ(table.firstPassing(Filter::equals("STRIPNAME1", "ZINK"), {}, "NAME1_SUB"), 0u);
}

} // namespace
