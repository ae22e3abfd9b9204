#include <filesystem>
#include <stdexcept>

#include <gtest/gtest.h>

#include "ReportsTestSupport.h"
#include "dbase/DbaseError.h"
#include "fixtures/TempDir.h"
#include "reports/TabellenWache.h"

using dbase::Filter;
using dbase::FilterOptions;
using dbase::Table;
using reports::TabellenWache;
using reportstest::makeTable;
using reportstest::text;

namespace {

// The name table as the list filter leaves it: "filter.dbf" (no STRIPNAME1)
// with "filter.mdx" in name order; "namen.dbf" is the file the jobs switch
// to. chemie.dbf is narrowed to one substance the way the list filter does.
class TabellenWacheTest : public ::testing::Test {
protected:
    TabellenWacheTest()
    {
        Table namenDatei;
        makeTable(namenDatei, "namen.dbf",
                  {text("NAME1", 30), text("STRIPNAME1", 30), text("CARN", 12), text("SUBCARN", 4)},
                  {{"Ethanol", "ETHANOL", "64-17-5", "1"},
                   {"Aceton", "ACETON", "67-64-1", "2"},
                   {"Benzol", "BENZOL", "71-43-2", "0"}});
        namenDatei.addIndex({"NAME1_SUB", "STRIPNAME1", true});
        namenDatei.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
        namenDatei.close();

        makeTable(namen, "filter.dbf", {text("NAME1", 30), text("CARN", 12), text("SUBCARN", 4)},
                  {{"Benzol", "71-43-2", "0"}, {"Aceton", "67-64-1", "2"}, {"Ethanol", "64-17-5", "1"}});
        namen.addIndex({"NAME1_SUB", "NAME1", true});
        namen.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
        namen.close();
        namen.setIndexFiles("filter.mdx");
        namen.setIndexName("NAME1_SUB");
        namen.open();
        namen.next(); // Aceton, Benzol, Ethanol: stands on Benzol (record 1)

        makeTable(chemie, "chemie.dbf", {text("NAME1", 30), text("CARN", 12), text("SUBCARN", 4)},
                  {{"Ethanol", "64-17-5", "1"}, {"Aceton", "67-64-1", "2"}, {"Benzol", "71-43-2", "0"}});
        chemie.setFilter(Filter::equals("CARN", "67-64-1") || Filter::equals("CARN", "71-43-2"));
        chemie.setFiltered(true);
        chemie.setFilterOptions({.caseInsensitive = true, .noPartialCompare = false});
        chemie.last(); // Benzol, record 3
        chemieFilter = chemie.filterText();
    }

    // What a sheet or report job does to the tables before it prints.
    void jobSchaltetUm()
    {
        namen.close();
        namen.setTableName("namen.dbf");
        namen.setIndexFiles("namen.mdx");
        namen.open();
        namen.setIndexName("CARN_SUB");
        // A filter on a field the list-filter table does not have.
        namen.setFilterText("STRIPNAME1='ETHANOL'");
        namen.setFiltered(true);
        namen.first();

        chemie.setFiltered(false);
        chemie.setFilterText("CARN='64-17-5' AND SUBCARN='1'");
        chemie.setFilterOptions({.caseInsensitive = false, .noPartialCompare = true});
        chemie.setFiltered(true);
        chemie.first();
    }

    void erwarteUrsprung()
    {
        EXPECT_TRUE(namen.active());
        EXPECT_EQ(namen.tableName(), "filter.dbf");
        EXPECT_EQ(namen.indexFiles(), "filter.mdx");
        EXPECT_EQ(namen.indexName(), "NAME1_SUB");
        EXPECT_EQ(namen.fieldCount(), 3);
        EXPECT_TRUE(namen.filter().isEmpty());
        EXPECT_FALSE(namen.filtered());
        EXPECT_EQ(namen.field(0).asString(), "Benzol");
        namen.next(); // still in name order
        EXPECT_EQ(namen.field(0).asString(), "Ethanol");

        EXPECT_TRUE(chemie.filtered());
        EXPECT_EQ(chemie.filterText(), chemieFilter);
        EXPECT_EQ(chemie.filterOptions(), (FilterOptions{.caseInsensitive = true, .noPartialCompare = false}));
        EXPECT_EQ(chemie.recordCount(), 2u);
        EXPECT_EQ(chemie.field(0).asString(), "Benzol");
    }

    fixtures::TempDir dir;
    Table namen;
    Table chemie;
    QString chemieFilter; // the text a built filter renders
};

} // namespace

TEST_F(TabellenWacheTest, FileIndexFilterAndPositionComeBackAfterTheJob)
{
    TabellenWache wache{&namen, &chemie, nullptr, &namen};
    jobSchaltetUm();
    ASSERT_EQ(namen.field(0).asString(), "Ethanol");
    ASSERT_EQ(chemie.recordCount(), 1u);
    wache.restore();
    EXPECT_TRUE(wache.restored());
    erwarteUrsprung();
}

// The controls on screen show what they showed before the job, formatting
// of their own included: a job that puts every table back tells them nothing.
TEST_F(TabellenWacheTest, ObserversHearNothingOfAJobThatPutsEveryTableBack)
{
    struct Zaehler : dbase::TableObserver {
        int meldungen = 0;
        void recordMoved(Table&) override { ++meldungen; }
        void dataChanged(Table&) override { ++meldungen; }
        void opened(Table&) override { ++meldungen; }
        void closed(Table&) override { ++meldungen; }
    } namenZaehler, chemieZaehler;
    namen.addObserver(&namenZaehler);
    chemie.addObserver(&chemieZaehler);
    {
        TabellenWache wache{&namen, &chemie};
        jobSchaltetUm();
        wache.restore();
        EXPECT_EQ(namenZaehler.meldungen, 0);
        EXPECT_EQ(chemieZaehler.meldungen, 0);
    }
    EXPECT_EQ(namenZaehler.meldungen, 0);
    EXPECT_EQ(chemieZaehler.meldungen, 0);
    erwarteUrsprung();
    namen.removeObserver(&namenZaehler);
    chemie.removeObserver(&chemieZaehler);
}

TEST_F(TabellenWacheTest, DestructorRestoresWhenTheJobFailsMidway)
{
    try {
        TabellenWache wache{&chemie, &namen};
        jobSchaltetUm();
        throw std::runtime_error("Abbruch beim Aufbau");
    } catch (const std::runtime_error&) {
    }
    erwarteUrsprung();
}

TEST_F(TabellenWacheTest, CursorMovesAndIndexChangesOnTheSameFile)
{
    chemie.setFiltered(false);
    chemie.gotoRecNo(2);
    {
        TabellenWache wache{&namen, &chemie};
        namen.setIndexName("");
        namen.last();
        chemie.setFilterOptions({.caseInsensitive = false, .noPartialCompare = true});
        chemie.setFilterText("NAME1='Ethanol'");
        chemie.setFiltered(true);
        chemie.first();
    }
    EXPECT_EQ(namen.indexName(), "NAME1_SUB");
    EXPECT_EQ(namen.recNo(), 1u);
    EXPECT_FALSE(chemie.filtered());
    EXPECT_EQ(chemie.filterText(), chemieFilter);
    EXPECT_EQ(chemie.filterOptions(), (FilterOptions{.caseInsensitive = true, .noPartialCompare = false}));
    EXPECT_EQ(chemie.recNo(), 2u);
    // The built filter works as before once it is switched on.
    chemie.setFiltered(true);
    EXPECT_EQ(chemie.recordCount(), 2u);
}

TEST_F(TabellenWacheTest, ARecordThatIsGoneLeavesTheTableOnItsFirstRow)
{
    {
        TabellenWache wache{&namen};
        namen.remove(); // Benzol
        namen.last();
    } // no exception out of the destructor
    EXPECT_EQ(namen.field(0).asString(), "Aceton");

    // A record the restored filter no longer lets through is gone as well.
    TabellenWache wache{&chemie};
    chemie.setFiltered(false);
    chemie.gotoRecNo(3);
    chemie.edit();
    chemie.field(1).setAsString("50-00-0");
    chemie.post();
    chemie.first();
    wache.restore();
    EXPECT_TRUE(chemie.filtered());
    EXPECT_EQ(chemie.field(0).asString(), "Aceton");
}

TEST_F(TabellenWacheTest, OpenAndClosedTablesStaySo)
{
    Table lager;
    makeTable(lager, "lager.dbf", {text("CARN", 12)}, {{"64-17-5"}, {"67-64-1"}});
    lager.close();
    chemie.setFiltered(false);
    chemie.gotoRecNo(2);
    {
        TabellenWache wache{&lager, &chemie};
        lager.open();
        lager.last();
        chemie.close();
    }
    EXPECT_FALSE(lager.active());
    ASSERT_TRUE(chemie.active());
    EXPECT_EQ(chemie.recNo(), 2u);
}

TEST_F(TabellenWacheTest, RestoreRunsOnce)
{
    TabellenWache wache{&namen};
    namen.last();
    wache.restore();
    EXPECT_EQ(namen.field(0).asString(), "Benzol");
    namen.last();
    wache.restore();
    EXPECT_EQ(namen.field(0).asString(), "Ethanol");
}

TEST_F(TabellenWacheTest, ATableThatCannotBeReopenedIsReportedAndTheOthersAreRestored)
{
    {
        TabellenWache wache{&chemie, &namen};
        jobSchaltetUm();
        std::filesystem::rename(dir.file("filter.dbf"), dir.file("weg.dbf"));
        try {
            wache.restore();
            ADD_FAILURE() << "the restore reported success";
        } catch (const dbase::DbaseError& error) {
            EXPECT_NE(std::string(error.what()).find("filter.dbf"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(wache.restored());
    }
    // The substance table, restored after the name table, is back all the same.
    EXPECT_TRUE(chemie.filtered());
    EXPECT_EQ(chemie.filterText(), chemieFilter);
    EXPECT_EQ(chemie.field(0).asString(), "Benzol");
    // The name table keeps the settings of before, to be opened once the file is back.
    EXPECT_FALSE(namen.active());
    EXPECT_EQ(namen.tableName(), "filter.dbf");
    EXPECT_EQ(namen.indexName(), "NAME1_SUB");

    // A guard that fails in its destructor only logs.
    std::filesystem::rename(dir.file("weg.dbf"), dir.file("filter.dbf"));
    namen.open();
    {
        TabellenWache wache{&namen};
        jobSchaltetUm();
        std::filesystem::rename(dir.file("filter.dbf"), dir.file("weg.dbf"));
    }
    EXPECT_FALSE(namen.active());
}
