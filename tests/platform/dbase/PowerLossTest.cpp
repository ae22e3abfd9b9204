// A power loss at every change a job makes to the disk, with the unsynced
// writes lost, torn or reordered: afterwards the table opens, every tag walks
// the rows in the order their keys give, and every record whose post (or
// whose job) had returned is there as posted.

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "PowerLossIo.h"
#include "TableTestSupport.h"
#include "dbase/MdxFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::Damage;
using dbftest::field;

namespace {

// Records of 218 bytes, so that many of them straddle a sector boundary.
const TableLayout substanceLayout({field("NAME", FieldType::Character, 100),
                                   field("NR", FieldType::Numeric, 6),
                                   field("ORT", FieldType::Character, 100),
                                   field("TEXT", FieldType::Memo, 10)});
constexpr int memoField = 3;

// Memo texts of different lengths, so that rewrites fit their blocks or not.
QString memoText(int n, int length)
{
    return QString("Hinweis %1: ").arg(n).leftJustified(length, QChar('a' + n % 26));
}

void put(Table& table, const QString& name, int nr, const QString& memo)
{
    table.field(0).setAsString(name);
    table.field(1).setAsInteger(nr);
    table.field(2).setAsString(name.toUpper());
    table.field(memoField).setAsString(memo);
}

// chemie.dbf with twelve substances and the tags NAME and NR; quelle.dbf of
// the same layout with five, two of them named as in chemie.dbf.
void makeTables()
{
    Table table;
    table.setTableName("chemie.dbf");
    table.createTable(substanceLayout);
    table.open();
    for (int i = 1; i <= 12; ++i) {
        table.append();
        put(table, QString("Stoff %1").arg(i, 2, 10, QChar('0')), (i * 37) % 50, memoText(i, 100 * i));
        table.post();
    }
    table.close();
    table.addIndex({"NAME", "NAME"});
    table.addIndex({"NR", "NR"});

    Table source;
    source.setTableName("quelle.dbf");
    source.createTable(substanceLayout);
    source.open();
    for (int i : {3, 20, 8, 21, 22}) {
        source.append();
        put(source, QString("Stoff %1").arg(i, 2, 10, QChar('0')), 60 + i, memoText(i + 1, 700));
        source.post();
    }
    source.close();
}

void openSubstances(Table& table, const QString& tag = {})
{
    table.setTableName("chemie.dbf");
    table.setIndexName(tag);
    table.open();
}

// Each job changes chemie.dbf and calls `returned` once the change it makes
// has come back to its caller; the tables are closed after that.
using Returned = std::function<void()>;
struct Scenario {
    const char* name;
    std::function<void(const Returned&)> job;
};

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

void editRecord(std::uint32_t recNo, const QString& name, const QString& memo, const Returned& returned)
{
    Table table;
    openSubstances(table, "NAME");
    table.gotoRecNo(recNo);
    table.edit();
    put(table, name, 7, memo);
    table.post();
    returned();
    table.close();
}

void batchMoveInto(BatchMode mode, const QString& tag, const Returned& returned)
{
    Table source;
    source.setTableName("quelle.dbf");
    source.open();
    Table destination;
    openSubstances(destination, tag);
    batchMove(source, destination, mode);
    returned();
    destination.close();
}

const Scenario scenarios[] = {
    {"EditWhoseMemoMoves",
     [](const Returned& returned) { editRecord(5, "Zinkchlorid", memoText(40, 2000), returned); }},
    {"EditWhoseMemoStaysInItsBlocks",
     [](const Returned& returned) { editRecord(7, "Aceton", memoText(41, 30), returned); }},
    {"Append",
     [](const Returned& returned) {
         Table table;
         openSubstances(table, "NR");
         table.append();
         put(table, "Natriumchlorid", 1, memoText(42, 900));
         table.post();
         returned();
         table.close();
     }},
    {"Delete",
     [](const Returned& returned) {
         Table table;
         openSubstances(table, "NAME");
         table.gotoRecNo(4);
         table.remove();
         returned();
         table.close();
     }},
    {"BatchMoveAppending",
     [](const Returned& returned) { batchMoveInto(BatchMode::Append, {}, returned); }},
    {"BatchMoveUpdating",
     [](const Returned& returned) { batchMoveInto(BatchMode::AppendUpdate, "NAME", returned); }},
    {"AppliedCachedUpdates",
     [](const Returned& returned) {
         Table table;
         openSubstances(table, "NAME");
         table.setCachedUpdates(true);
         table.gotoRecNo(2);
         table.edit();
         put(table, "Ammoniak", 3, memoText(43, 1500));
         table.post();
         table.append();
         put(table, "Blei", 4, memoText(44, 20));
         table.post();
         table.applyUpdates();
         returned();
         table.setCachedUpdates(false);
         table.close();
     }},
    {"IndexRebuiltAfterAnInterruptedSession",
     [](const Returned& returned) {
         MdxFile::markDirty("chemie.mdx");
         Table table;
         openSubstances(table);
         table.close();
         returned();
     }},
    {"TableMadeAnewWithItsTags",
     [](const Returned& returned) {
         Table table;
         table.setTableName("chemie.dbf");
         table.createTable(substanceLayout, 0x58, {{"NAME", "NAME"}, {"NR", "NR"}});
         returned();
     }},
    {"TagAdded",
     [](const Returned& returned) {
         Table table;
         table.setTableName("chemie.dbf");
         table.addIndex({"GROSS", "UPPER(NAME)", true});
         returned();
     }},
};

struct Row {
    QString name;
    QString nr;
    QString place;
    QByteArray memo; // empty with `unreadable`
    bool unreadable = false;
    bool operator==(const Row&) const = default;
};
using Rows = std::map<std::uint32_t, Row>;

Rows readRows()
{
    Table table;
    table.setTableName("chemie.dbf");
    table.setReadOnly(true);
    table.open();
    Rows rows;
    for (table.first(); !table.eof(); table.next()) {
        Row& row = rows[table.recNo()];
        row.name = table.field(0).asString();
        row.nr = table.field(1).asString();
        row.place = table.field(2).asString();
        try {
            row.memo = table.field(memoField).asBytes();
        } catch (const DbaseError&) {
            row.unreadable = true;
        }
    }
    return rows;
}

std::vector<std::uint32_t> walk(const QString& tableName, const QString& tag)
{
    Table table;
    table.setTableName(tableName);
    table.setIndexName(tag);
    table.setReadOnly(true);
    table.open();
    return tabletest::recNos(table);
}

// Every tag on disk walks the rows as tags made anew from the rows do.
void expectTagsInKeyOrder()
{
    std::filesystem::create_directory("neu");
    for (const char* name : {"chemie.dbf", "chemie.dbt", "chemie.mdx"})
        dbftest::PowerLossDisk::overwrite(std::filesystem::path("neu") / name, dbftest::readFile(name));
    MdxFile::markDirty("neu/chemie.mdx");
    Table table;
    table.setTableName("chemie.dbf");
    table.setReadOnly(true);
    table.open();
    for (const IndexDef& def : table.indexDefs()) {
        const QString tag = QString::fromStdString(def.name);
        EXPECT_EQ(walk("chemie.dbf", tag), walk("neu/chemie.dbf", tag)) << "Tag " << def.name;
    }
}

// What the job left against what it had made when its change returned
// (`promised`) or not: unchanged records as they were, changed ones as the
// job made them once promised, else as before, as after or (an interrupted
// rewrite in place) anything; appended ones complete or absent, deleted
// ones gone or as they were.
void expectRecords(const Rows& found, const Rows& before, const Rows& after, bool promised)
{
    for (const auto& [recNo, row] : after) {
        const auto was = before.find(recNo);
        const auto now = found.find(recNo);
        const bool changed = was == before.end() || !(was->second == row);
        if (!changed || promised) {
            ASSERT_NE(now, found.end()) << "Datensatz " << recNo << " fehlt";
            EXPECT_EQ(now->second, row) << "Datensatz " << recNo;
        } else if (was == before.end() && now != found.end()) {
            EXPECT_EQ(now->second, row) << "halb angefügter Datensatz " << recNo;
        }
    }
    for (const auto& [recNo, row] : found) {
        if (after.contains(recNo))
            continue;
        const auto was = before.find(recNo);
        EXPECT_TRUE(!promised && was != before.end() && was->second == row)
            << "Datensatz " << recNo << (was == before.end() ? " kam aus dem Nichts" : " ist nicht gelöscht");
    }
}

class PowerLoss : public ::testing::TestWithParam<Scenario> {
protected:
    fixtures::TempDir dir;
};

TEST_P(PowerLoss, EveryPromisedRecordSurvivesAndTheTagsMatchTheTable)
{
    makeTables();
    const dbftest::DirectoryFiles fixture;
    const Rows before = readRows();

    // The job without a power loss: its changes to the disk and its result.
    int changes = 0;
    {
        dbftest::PowerLossScope power(".");
        GetParam().job([] {});
        changes = power.disk->changes();
    }
    const Rows after = readRows();

    for (int cut = 0; cut <= changes; ++cut) {
        for (const dbftest::Fate& fate : dbftest::everyFate) {
            SCOPED_TRACE(testing::Message() << "Stromausfall bei Änderung " << cut << " von "
                                            << changes << ", Schaden " << static_cast<int>(fate.damage)
                                            << "/" << fate.seed);
            fixture.restore();
            bool promised = false;
            {
                dbftest::PowerLossScope power(".");
                power.disk->cutAt(cut);
                GetParam().job([&] { promised = !power.disk->off(); });
                power.disk->powerOn(fate.damage, fate.seed);
            }
            ASSERT_NO_THROW(expectRecords(readRows(), before, after, promised));
            ASSERT_NO_THROW(expectTagsInKeyOrder());
            if (HasFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, PowerLoss, ::testing::ValuesIn(scenarios),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
