// A filter that fixes the leading field of the active tag looks only at the
// tag's entries that begin with the value; the rows it shows must be exactly
// those a walk through every row finds.
#include <gtest/gtest.h>

#include <algorithm>

#include "TableTestSupport.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

using Row = std::pair<std::uint32_t, QString>; // record number and first field

// The rows the file-order read gives, put at their places: the same rows as
// the walk, read in ascending record order.
std::vector<Row> placedFromFileOrder(Table& table)
{
    std::vector<Row> placed;
    std::vector<std::uint32_t> visited;
    const std::size_t count =
        table.visitInFileOrder([&](const RecordView& row, std::uint32_t recNo, std::size_t position) {
            EXPECT_FALSE(row.deleted());
            if (position >= placed.size())
                placed.resize(position + 1);
            EXPECT_EQ(placed[position].first, 0u) << "two rows at position " << position;
            placed[position] = {recNo, row.text(0)};
            visited.push_back(recNo);
        });
    EXPECT_LE(placed.size(), count);
    EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end())) << "not in file order";
    std::erase_if(placed, [](const Row& row) { return row.first == 0; });
    return placed;
}

std::vector<Row> walkedRows(Table& table)
{
    std::vector<Row> rows;
    for (table.first(); !table.eof(); table.next())
        rows.emplace_back(table.recNo(), table.field(0).asString());
    return rows;
}

class TableKeyFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixtures::makeTable(table, "stoffe.dbf",
                  TableLayout({field("CARN", FieldType::Character, 12), field("SUBCARN", FieldType::Character, 4),
                               field("NAME", FieldType::Character, 30), field("ZEILE", FieldType::Numeric, 2)}),
                  {{"64-17-5", "1", "Ethanol", "1"},
                   {"67-64-1", "2", "Aceton", "1"},
                   {"64-17-5", "1", "Ethylalkohol", "2"},
                   {"64-17-50", "0", "länger, gleicher Anfang", "1"},
                   {"O'KRESOL", "5", "o-Kresol", "1"},
                   {"abc", "0", "klein", "1"},
                   {"ABC", "0", "gross", "1"},
                   {"64-17-5", "2", "Ethanol vergällt", "1"},
                   {"", "", "ohne Schlüssel", "0"},
                   {"64-17-5", "1", "gelöscht", "3"},
                   {"71-43-2", "4", "Benzol", "1"}});
        // A key another program padded with NULs: the filter sees no padding.
        table.append();
        table.field(0).setAsBytes(QByteArray("71-43-2\0\0\0\0\0", 12));
        table.field(2).setAsString("Benzol, NUL-gefüllt");
        table.post();
        table.gotoRecNo(10);
        table.remove();
        table.close();
        table.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
        table.addIndex({"CARN_AB", "CARN+SUBCARN", true, false, true});
        table.addIndex({"CARN_ZEILE", "CARN+STR(ZEILE,2)", true});
        table.addIndex({"NAME", "NAME"});
        table.open();
    }

    // The rows a filter passes, found the long way: every row of the order
    // read with filtering off and tested by the filter itself.
    std::vector<std::uint32_t> walked(const Filter& filter, FilterOptions options)
    {
        table.setFiltered(false);
        const Filter::Bound bound = filter.bind(table.layout());
        std::vector<std::uint32_t> rows;
        for (table.first(); !table.eof(); table.next())
            if (bound.matches(table.currentRecord(), options))
                rows.push_back(table.recNo());
        return rows;
    }

    // Every order, every filter, every option set: forwards, backwards and
    // from a bookmark the filtered table shows what the walk found.
    void expectSameAsWalk()
    {
        for (const QString tag : {"CARN_SUB", "CARN_AB", "CARN_ZEILE", "NAME", ""}) {
            table.setIndexName(tag);
            for (const Filter& filter : filters) {
                for (const FilterOptions options : {FilterOptions{}, FilterOptions{true, false},
                                                    FilterOptions{false, true}}) {
                    SCOPED_TRACE(QStringLiteral("Index %1, Filter %2, Optionen %3/%4")
                                     .arg(tag, filter.text())
                                     .arg(options.caseInsensitive)
                                     .arg(options.noPartialCompare)
                                     .toStdString());
                    std::vector<std::uint32_t> expected = walked(filter, options);
                    table.setFilterOptions(options);
                    table.setFilter(filter);
                    table.setFiltered(true);
                    EXPECT_EQ(recNos(table), expected);
                    std::vector<std::uint32_t> backwards;
                    for (table.last(); !table.bof(); table.prior())
                        backwards.push_back(table.recNo());
                    std::reverse(expected.begin(), expected.end());
                    EXPECT_EQ(backwards, expected);
                    EXPECT_EQ(table.isEmpty(), expected.empty());
                    EXPECT_EQ(table.recordCount(), expected.size());
                }
            }
        }
        table.setFiltered(false);
    }

    // Every order and filter: the read in file order places the rows the
    // walk shows, where it shows them, and leaves the cursor on its row.
    void expectFileOrderAsWalk()
    {
        for (const QString tag : {"CARN_SUB", "CARN_AB", "CARN_ZEILE", "NAME", ""}) {
            table.setIndexName(tag);
            for (const Filter& filter : filters) {
                SCOPED_TRACE(QStringLiteral("Index %1, Filter %2").arg(tag, filter.text()).toStdString());
                table.setFilter(filter);
                table.setFiltered(true);
                const std::vector<Row> walk = walkedRows(table);
                table.last();
                const std::uint32_t cursor = table.recNo();
                EXPECT_EQ(placedFromFileOrder(table), walk);
                EXPECT_EQ(table.recNo(), cursor);
            }
            table.setFiltered(false);
            EXPECT_EQ(placedFromFileOrder(table), walkedRows(table));
        }
    }

    fixtures::TempDir dir;
    Table table;
    const std::vector<Filter> filters = {
        Filter::parse("CARN='64-17-5'"),
        Filter::parse("CARN='64-17-5' AND SUBCARN='1'"),
        // the key with other terms, as a condition joins the sheet's filter
        Filter::equals("CARN", "64-17-5") && Filter::equals("SUBCARN", "1") && Filter::parse("NAME<>'Ethanol'"),
        Filter::parse("NAME<>'' AND (ZEILE=1 AND CARN='64-17-5')"),
        Filter::parse("'64-17-5'=CARN"),
        // nothing passes
        Filter::equals("CARN", "64-17-5") && Filter::parse("NAME='gibt es nicht'"),
        Filter::parse("CARN='99-99-9'"),
        Filter::parse("CARN='64-17-5' AND CARN='67-64-1'"),
        Filter::parse("CARN='64-17-5-und-noch-mehr'"),
        Filter::parse("CARN='łódź'"),
        // an apostrophe in the key, as a built value and as typed
        Filter::equals("CARN", "O'KRESOL"),
        Filter::parse("CARN=\"O'KRESOL\""),
        // prefixes, trailing blanks, padding and case
        Filter::parse("CARN='64-17*'"),
        Filter::startsWith("CARN", "64-17-5"),
        Filter::parse("CARN='64-17-5   '"),
        Filter::parse("CARN='71-43-2'"),
        Filter::parse("CARN='abc'"),
        Filter::parse("CARN=''"),
        // filters that fix no leading field
        Filter::parse("CARN='64-17-5' OR NAME='Aceton'"),
        Filter::parse("SUBCARN='1'"),
        Filter::parse("NOT CARN='64-17-5'"),
        Filter::parse("CARN>'64-17-5'"),
    };
};

} // namespace

TEST_F(TableKeyFilterTest, ShowsWhatAWalkThroughEveryRowFinds)
{
    expectSameAsWalk();
}

TEST_F(TableKeyFilterTest, FollowsChangedAndHeldBackRows)
{
    const auto carnSetzen = [&](std::uint32_t recNo, const QString& carn) {
        table.setFiltered(false);
        ASSERT_TRUE(table.gotoRecNo(recNo));
        table.edit();
        table.field(0).setAsString(carn);
        table.post();
    };
    const auto ethanolZeilen = [&] {
        table.setIndexName("CARN_SUB");
        table.setFilter(Filter::parse("CARN='64-17-5'"));
        table.setFiltered(true);
        return recNos(table).size();
    };
    const std::size_t vorher = ethanolZeilen();
    // a row moved into the key by an edit is found there, one moved out is gone
    carnSetzen(2, "64-17-5");
    carnSetzen(1, "64-17-6");
    appendRow(table, {"64-17-5", "9", "neu"});
    expectSameAsWalk();

    table.setCachedUpdates(true);
    carnSetzen(5, "64-17-5");
    appendRow(table, {"64-17-5", "8", "zurückgehalten"});
    expectSameAsWalk();
    EXPECT_EQ(ethanolZeilen(), vorher + 3);
    table.cancelUpdates();
}

TEST_F(TableKeyFilterTest, CountsEveryPassingRecordWhateverTheOrderShows)
{
    // A unique tag shows one row a key; the count is of the records.
    table.close();
    table.addIndex({"CARN_EIN", "CARN", true, true});
    table.setIndexName("CARN_EIN");
    table.open();
    table.setFilter(Filter::parse("CARN='64-17-5'"));
    table.setFiltered(true);
    EXPECT_EQ(recNos(table).size(), 1u);
    EXPECT_EQ(table.recordCount(), 3u);
}

TEST_F(TableKeyFilterTest, ReadInFileOrderPlacesTheRowsAsTheWalkShowsThem)
{
    expectFileOrderAsWalk();

    // held-back edits, deletions and new rows, moved in and out of keys
    table.setCachedUpdates(true);
    table.setIndexName("CARN_SUB");
    table.setFiltered(false);
    ASSERT_TRUE(table.gotoRecNo(5));
    table.edit();
    table.field(0).setAsString("64-17-5");
    table.post();
    ASSERT_TRUE(table.gotoRecNo(1));
    table.remove();
    appendRow(table, {"64-17-5", "0", "zurückgehalten"});
    appendRow(table, {"00-00-0", "0", "verworfen"});
    table.remove();
    appendRow(table, {"64-17-5", "1", "Ethanol"});
    // a changed record not yet posted is posted first, as the walk does
    table.setIndexName("NAME");
    ASSERT_TRUE(table.gotoRecNo(2));
    table.edit();
    table.field(2).setAsString("Aaa, noch nicht gespeichert");
    const std::vector<Row> placed = placedFromFileOrder(table);
    EXPECT_EQ(table.state(), TableState::Browse);
    EXPECT_EQ(placed.front().first, 2u);
    EXPECT_EQ(placed, walkedRows(table));
    expectFileOrderAsWalk();
    table.cancelUpdates();

    // a unique tag shows one row per key
    table.setCachedUpdates(false);
    table.close();
    table.addIndex({"CARN_EIN", "CARN", true, true});
    table.setIndexName("CARN_EIN");
    table.open();
    EXPECT_EQ(placedFromFileOrder(table), walkedRows(table));
}

TEST(TableFileOrder, ATableLargerThanTheRecordCacheIsReadPastItWithTheSameRows)
{
    fixtures::TempDir dir;
    Table table;
    // Wide rows, so that a few thousand outgrow the cache.
    std::vector<FieldDef> fields{field("CARN", FieldType::Character, 12)};
    for (int i = 0; i < 8; ++i)
        fields.push_back(field("TEXT" + std::to_string(i), FieldType::Character, 254));
    const TableLayout layout(fields);
    const std::uint32_t rows = DbfFile::cacheBudget / layout.recordLength() + 500;
    table.setTableName("gross.dbf");
    table.createTable(layout);
    table.open();
    for (std::uint32_t r = 0; r < rows; ++r) {
        table.append();
        // descending keys in groups: the order differs from the file's
        table.field(0).setAsString(QString::number((rows - r) % 97));
        table.field(1).setAsString(QString::number(r));
        table.post();
    }
    table.close();
    table.addIndex({"CARN", "CARN", true});
    table.setIndexName("CARN");
    table.open();
    for (const std::uint32_t r : {1u, 700u, rows / 2, rows}) {
        ASSERT_TRUE(table.gotoRecNo(r));
        table.remove();
    }
    // held back: one row moved into the filter's key, one out of it, one new
    table.setCachedUpdates(true);
    for (const auto& [r, carn] : {std::pair{3u, "7"}, std::pair{rows - 6 - 97, "80"}}) {
        ASSERT_TRUE(table.gotoRecNo(r));
        table.edit();
        table.field(0).setAsString(carn);
        table.post();
    }
    appendRow(table, {"7", "zurückgehalten"});

    EXPECT_EQ(placedFromFileOrder(table), walkedRows(table));
    table.setFilter(Filter::parse("CARN='7'"));
    table.setFiltered(true);
    const std::vector<Row> sieben = walkedRows(table);
    EXPECT_EQ(placedFromFileOrder(table), sieben);
    EXPECT_NE(std::find(sieben.begin(), sieben.end(), Row{3, "7"}), sieben.end());
    EXPECT_EQ(std::count_if(sieben.begin(), sieben.end(), [&](const Row& row) { return row.first == rows - 103; }), 0);
    table.cancelUpdates();
}
