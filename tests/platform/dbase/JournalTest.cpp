// A change of several tables under the rollback journal: a power cut at
// every change it makes to the disk, with the unsynced writes lost, torn or
// reordered, leaves after the rollback every table as before the change or
// every table as after it, never one of each; and a change that returned
// is there.

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "PowerLossIo.h"
#include "TableTestSupport.h"
#include "dbase/DbfFile.h"
#include "dbase/Journal.h"
#include "dbase/MdxFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::Damage;
using dbftest::field;

namespace {

const TableLayout nameLayout({field("NAME", FieldType::Character, 60), field("CARN", FieldType::Character, 12),
                              field("SUB", FieldType::Numeric, 3)});
const TableLayout substanceLayout({field("CARN", FieldType::Character, 12), field("SUB", FieldType::Numeric, 3),
                                   field("INFO", FieldType::Character, 200), field("TEXT", FieldType::Memo, 10)});
const char* const tables[] = {"namen.dbf", "chemie.dbf", "tmp.dbf"};

QString carn(int n) { return QString("%1-00-%2").arg(50 + n).arg(n % 10); }

void fill(Table& table, const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i)
        table.field(i).setAsString(values[i]);
}

void appendRow(Table& table, const QStringList& values)
{
    table.append();
    fill(table, values);
    table.post();
}

// Eight substances with two names each; the research table holds the
// first name of every other substance.
void makeRegister()
{
    Table names, substances, research;
    names.setTableName("namen.dbf");
    names.createTable(nameLayout);
    substances.setTableName("chemie.dbf");
    substances.createTable(substanceLayout);
    research.setTableName("tmp.dbf");
    research.createTable(nameLayout);
    names.open();
    substances.open();
    research.open();
    for (int n = 1; n <= 8; ++n) {
        appendRow(substances, {carn(n), "0", QString("Stoff %1 ").repeated(12).arg(n),
                               QString("Hinweis %1 ").repeated(40 * n).arg(n)});
        appendRow(names, {QString("Name %1").arg(n), carn(n), "0"});
        appendRow(names, {QString("Synonym %1").arg(n), carn(n), "0"});
        if (n % 2)
            appendRow(research, {QString("Name %1").arg(n), carn(n), "0"});
    }
    names.close();
    substances.close();
    research.close();
    for (const char* table : tables) {
        Table t;
        t.setTableName(table);
        t.addIndex({"ZWEIT", std::string(table) == "chemie.dbf" ? "SUB" : "NAME"});
        t.addIndex({"CARN", "CARN"});
    }
}

void openTable(Table& table, const char* name)
{
    table.setTableName(name);
    table.setIndexName("CARN");
    table.open();
}

bool findRow(Table& table, const QString& key) { return table.findKey({key}); }

using Returned = std::function<void()>;
struct Job {
    const char* name;
    std::function<void()> change;
};

void PrintTo(const Job& job, std::ostream* out) { *out << job.name; }

// Runs a job as one change of the register; `returned` hears when it has.
void asChange(const Job& job, const Returned& returned)
{
    JournalChange change;
    job.change();
    change.commit();
    returned();
}

const Job jobs[] = {
    {"NewSubstance",
     [] {
         Table substances, names;
         openTable(substances, "chemie.dbf");
         openTable(names, "namen.dbf");
         appendRow(substances, {carn(9), "0", "Neu", QString("Neuer Hinweis ").repeated(90)});
         appendRow(names, {"Name 9", carn(9), "0"});
         appendRow(names, {"Synonym 9", carn(9), "0"});
     }},
    {"Delete",
     [] {
         Table substances, names, research;
         openTable(substances, "chemie.dbf");
         openTable(names, "namen.dbf");
         openTable(research, "tmp.dbf");
         ASSERT_TRUE(findRow(substances, carn(3)));
         substances.remove();
         while (findRow(names, carn(3)))
             names.remove();
         while (findRow(research, carn(3)))
             research.remove();
     }},
    {"Copy",
     [] {
         Table substances, names;
         openTable(names, "namen.dbf");
         openTable(substances, "chemie.dbf");
         appendRow(names, {"Kopie 2", carn(2), "1"});
         ASSERT_TRUE(findRow(substances, carn(2)));
         const QString info = substances.field(2).asString();
         const QString memo = substances.field(3).asString();
         appendRow(substances, {carn(2), "1", info, memo});
     }},
    {"Rename",
     [] {
         Table substances, names;
         openTable(substances, "chemie.dbf");
         openTable(names, "namen.dbf");
         names.setIndexName("ZWEIT");
         ASSERT_TRUE(names.findKey({"Name 5"}));
         names.edit();
         names.field(0).setAsString("Umbenannt 5");
         names.post();
         ASSERT_TRUE(findRow(substances, carn(5)));
         substances.edit();
         substances.field(2).setAsString("Umbenannt");
         substances.field(3).setAsString(QString("Längerer Hinweis ").repeated(200));
         substances.post();
     }},
    {"SynonymChange",
     [] {
         Table research, names;
         openTable(research, "tmp.dbf");
         openTable(names, "namen.dbf");
         research.setIndexName("ZWEIT");
         ASSERT_TRUE(research.findKey({"Name 7"}));
         research.edit();
         research.field(0).setAsString("Anders 7");
         research.post();
         names.setIndexName("ZWEIT");
         ASSERT_TRUE(names.findKey({"Name 7"}));
         names.edit();
         names.field(0).setAsString("Anders 7");
         names.post();
         appendRow(names, {"Noch ein Name 7", carn(7), "0"});
     }},
};

// Every live row of every table, memo included, by table and record number.
using Register = std::map<std::string, std::map<std::uint32_t, QStringList>>;

Register readRegister()
{
    Register result;
    for (const char* name : tables) {
        Table table;
        table.setTableName(name);
        table.setReadOnly(true);
        table.open();
        for (table.first(); !table.eof(); table.next()) {
            QStringList& row = result[name][table.recNo()];
            for (int i = 0; i < table.fieldCount(); ++i)
                row << table.field(i).asString();
        }
    }
    return result;
}

// No bytes past the rows a table counts, but its end-of-file mark.
void expectNothingPastTheCount(const char* name)
{
    const auto file = DbfFile::open(name, OpenMode::ReadOnly, ShareMode::Shared);
    const DbfHeader& header = file->header();
    const std::uintmax_t rows = header.headerLength + std::uintmax_t(header.recordCount) * header.recordLength;
    const std::uintmax_t size = std::filesystem::file_size(name);
    EXPECT_TRUE(size == rows || size == rows + 1) << name << ": " << size - rows << " Bytes nach den Datensätzen";
}

// Every tag walks the rows as a tag made anew from them does.
void expectTagsMatchTheRows(const char* name)
{
    std::filesystem::create_directory("neu");
    const std::filesystem::path table(name);
    for (const char* extension : {".dbf", ".dbt", ".mdx"}) {
        std::filesystem::path file = table;
        file.replace_extension(extension);
        if (std::filesystem::exists(file))
            dbftest::PowerLossDisk::overwrite("neu" / file, dbftest::readFile(file.string()));
    }
    MdxFile::markDirty(("neu" / table).replace_extension(".mdx"));
    for (const char* tag : {"ZWEIT", "CARN"}) {
        Table stored, rebuilt;
        tabletest::openTable(stored, name, {}, tag);
        tabletest::openTable(rebuilt, QString::fromStdString(("neu" / table).string()), {}, tag);
        EXPECT_EQ(tabletest::recNos(stored), tabletest::recNos(rebuilt)) << name << ", Tag " << tag;
    }
    std::filesystem::remove_all("neu");
}

bool journalLeft()
{
    for (const auto& entry : std::filesystem::directory_iterator("."))
        if (entry.path().extension() == ".journal")
            return true;
    return false;
}

class JournalPowerLoss : public ::testing::TestWithParam<Job> {
protected:
    fixtures::TempDir dir;
};

TEST_P(JournalPowerLoss, EveryCutLeavesTheWholeChangeOrNoneOfIt)
{
    makeRegister();
    const dbftest::DirectoryFiles fixture;
    const Register before = readRegister();

    int changes = 0;
    {
        dbftest::PowerLossScope power(".");
        asChange(GetParam(), [] {});
        changes = power.disk->changes();
    }
    ASSERT_FALSE(journalLeft());
    const Register after = readRegister();
    ASSERT_NE(before, after);

    for (int cut = 0; cut <= changes; ++cut) {
        for (const dbftest::Fate& fate : dbftest::everyFate) {
            SCOPED_TRACE(testing::Message() << "Stromausfall bei Änderung " << cut << " von " << changes
                                            << ", Schaden " << static_cast<int>(fate.damage) << "/" << fate.seed);
            fixture.restore();
            bool returned = false;
            {
                dbftest::PowerLossScope power(".");
                power.disk->cutAt(cut);
                asChange(GetParam(), [&] { returned = !power.disk->off(); });
                power.disk->powerOn(fate.damage, fate.seed);
            }
            rollBackLeftChanges(".");
            EXPECT_FALSE(journalLeft());
            const Register found = readRegister();
            if (returned)
                EXPECT_EQ(found, after) << "Die Änderung war zurückgekehrt";
            else
                EXPECT_TRUE(found == before || found == after) << "Die Änderung ist halb gemacht";
            for (const char* table : tables) {
                expectNothingPastTheCount(table);
                expectTagsMatchTheRows(table);
            }
            if (HasFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, JournalPowerLoss, ::testing::ValuesIn(jobs),
                         [](const auto& info) { return std::string(info.param.name); });

class Journal : public ::testing::Test {
protected:
    fixtures::TempDir dir;
};

// A journal whose process is alive stays, and so do the rows of its change;
// once the process is dead, the change goes at the next rollback, and the
// production indexes are written back whole by the next open.
TEST_F(Journal, OnlyAJournalNobodyHoldsIsRolledBackAndItsIndexesAreWrittenAnew)
{
    makeRegister();
    const Register before = readRegister();
    // A process that dies in the middle of its change, while another one
    // (here: the same) looks for journals to roll back.
    const int code = dbftest::inChild([&] {
        JournalChange change;
        jobs[0].change();
        if (!journalLeft() || rollBackLeftChanges(".") != 0 || readRegister() == before)
            return 1;
        ::_exit(0);
        return 0;
    });
    ASSERT_EQ(code, 0);
    EXPECT_NE(readRegister(), before);
    EXPECT_TRUE(journalLeft());
    EXPECT_EQ(rollBackLeftChanges("."), 1);
    EXPECT_FALSE(journalLeft());
    EXPECT_EQ(readRegister(), before);
    EXPECT_TRUE(MdxFile::isMarkedDirty("chemie.mdx"));
    EXPECT_TRUE(MdxFile::isMarkedDirty("namen.mdx"));
    {
        Table names;
        openTable(names, "namen.dbf");
        EXPECT_FALSE(findRow(names, carn(9)));
    }
    EXPECT_FALSE(MdxFile::isMarkedDirty("namen.mdx")) << "nach dem Öffnen zurückgeschrieben";
    for (const char* table : tables) {
        expectNothingPastTheCount(table);
        expectTagsMatchTheRows(table);
    }
}

// While a change appends to a table, another open of it waits: a rollback
// of the change can then never cut away another user's rows.
TEST_F(Journal, AChangeHoldsTheAppendLockOfItsTablesUntilItCommits)
{
    makeRegister();
    Table other;
    openTable(other, "namen.dbf");
    {
        JournalChange change;
        Table names;
        openTable(names, "namen.dbf");
        appendRow(names, {"Name 9", carn(9), "0"});
        other.append();
        fill(other, {"Fremder Name", carn(1), "5"});
        EXPECT_THROW(other.post(), DbaseError);
        other.cancel();
        change.commit();
    }
    appendRow(other, {"Fremder Name", carn(1), "5"});
    EXPECT_EQ(readRegister()["namen.dbf"].size(), 18u);
}

} // namespace
