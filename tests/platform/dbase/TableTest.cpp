#include <memory>

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "TableTestSupport.h"
#include "dbase/DbfFile.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

class Recorder : public TableObserver {
public:
    void recordMoved(Table&) override { events << "moved"; }
    void fieldChanged(Table&, int field) override { events << QString("field%1").arg(field); }
    void stateChanged(Table&) override { events << "state"; }
    void opened(Table&) override { events << "opened"; }
    void closed(Table&) override { events << "closed"; }
    void dataChanged(Table&) override { events << "data"; }
    QStringList events;
};

TEST(TableOpen, MissingTableOrIndexFileIsAGermanErrorNamingIt)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    const struct {
        const char *table, *index, *tag;
        std::vector<const char*> named;
    } missing[] = {{"fehlt.dbf", "", "", {"fehlt.dbf", "nicht gefunden"}},
                   {"namen.dbf", "namen.mdx", "", {"namen.mdx"}},
                   {"namen.dbf", "", "GIBTSNICHT", {"GIBTSNICHT"}}};
    for (const auto& m : missing) {
        Table table;
        for (const char* part : m.named)
            EXPECT_TRUE(dbftest::failsWith(part, [&] { openTable(table, m.table, m.index, m.tag); }));
        EXPECT_FALSE(table.active());
    }
}

TEST(TableOpen, SettingsSurviveCloseAndOpenAndCannotChangeWhileOpen)
{
    fixtures::TempDir dir;
    makeNameTable("NAMEN.DBF", sampleNames()); // found whatever the case of the name
    Table table;
    openTable(table, "namen", "namen.mdx", "NAME1_SUB");
    table.setFilterText("CARN='64-17-5'");
    table.setFiltered(true);
    table.setFilterOptions({true, true});
    table.close();
    table.open();
    EXPECT_EQ(table.tableName(), "namen");
    EXPECT_EQ(table.indexFiles(), "namen.mdx");
    EXPECT_EQ(table.indexName(), "NAME1_SUB");
    EXPECT_EQ(table.filterText(), "CARN='64-17-5'");
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(table.filterOptions(), (FilterOptions{true, true}));
    EXPECT_EQ(column(table, 0), (QStringList{"Ethanol", "Ethylalkohol"}));

    EXPECT_THROW(table.setTableName("anders.dbf"), DbaseError);
    EXPECT_THROW(table.setReadOnly(true), DbaseError);
    EXPECT_THROW(table.setExclusive(true), DbaseError);
    EXPECT_EQ(table.tableName(), "namen");
}

TEST(TableCursor, WalksAndMovesByWithTheDatasetsEofAndBofRules)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Table table;
    openTable(table, "namen.dbf");
    EXPECT_TRUE(table.bof());
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(column(table, 0), (QStringList{"Ethanol", "Aceton", "Wasser", "Ethylalkohol", "Benzol"}));
    EXPECT_EQ(columnBackwards(table, 0),
              (QStringList{"Benzol", "Ethylalkohol", "Wasser", "Aceton", "Ethanol"}));

    table.first();
    EXPECT_EQ(table.moveBy(3), 3);
    EXPECT_EQ(table.recNo(), 4u);
    EXPECT_FALSE(table.eof()); // next() on the last row does not move, it sets eof
    EXPECT_EQ(table.moveBy(10), 1);
    EXPECT_EQ(table.recNo(), 5u);
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.moveBy(-2), -2);
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(table.moveBy(-7), -2);
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.recNo(), 1u);
}

TEST(TableCursor, DeletedRowsVanishAndTheCursorMovesOnOrBackFromTheEnd)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames());
    Table table;
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    ASSERT_TRUE(table.gotoRecNo(1)); // Ethanol
    table.remove();
    EXPECT_EQ(table.field(0).asString(), "Ethylalkohol");
    EXPECT_FALSE(table.eof());
    table.last(); // Wasser
    table.remove();
    EXPECT_EQ(table.field(0).asString(), "Ethylalkohol");
    EXPECT_TRUE(table.eof());
    EXPECT_FALSE(table.gotoRecNo(3));
    EXPECT_EQ(column(table, 0), (QStringList{"Aceton", "Benzol", "Ethylalkohol"}));
    EXPECT_EQ(table.recordCount(), 5u); // the header's count, as the engine gives it
    table.close();
    table.setIndexName("");
    table.open();
    EXPECT_EQ(column(table, 0), (QStringList{"Aceton", "Ethylalkohol", "Benzol"}));

    // the usual "delete all" loop ends with an empty table
    table.first();
    while (!table.eof())
        table.remove();
    EXPECT_TRUE(table.isEmpty());
    EXPECT_TRUE(table.bof());
    EXPECT_EQ(table.recNo(), 0u);
    EXPECT_EQ(table.moveBy(1), 0);
    EXPECT_THROW(table.remove(), DbaseError);
}

TEST(TableCursor, BookmarksAndRecordNumbersSurviveIndexSwitches)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames());
    Table table;
    openTable(table, "namen.dbf", "namen.mdx", "NAME1_SUB");
    ASSERT_TRUE(table.gotoRecNo(4));
    const Bookmark mark = table.bookmark();
    EXPECT_EQ(mark.recNo, 4u);
    table.setIndexName("CARN_SUB");
    EXPECT_EQ(table.recNo(), 4u); // switching the order keeps the current row
    table.first();
    table.gotoBookmark(mark);
    EXPECT_EQ(table.field(0).asString(), "Ethylalkohol");
    table.next(); // in CARN_SUB order after 64-17-5 comes 67-64-1
    EXPECT_EQ(table.field(0).asString(), "Aceton");

    EXPECT_FALSE(table.gotoRecNo(99));
    EXPECT_FALSE(table.gotoRecNo(0));
    EXPECT_EQ(table.field(0).asString(), "Aceton");
    table.gotoBookmark(mark);
    table.remove();
    EXPECT_FALSE(table.bookmarkValid(mark));
    EXPECT_THROW(table.gotoBookmark(mark), DbaseError);
}

TEST(TableFields, ValuesAreEncodedByTypeAndRefusedWhenTheyDoNotFit)
{
    fixtures::TempDir dir;
    Table table;
    table.setTableName("lager.dbf");
    table.createTable(TableLayout({field("NAME1", FieldType::Character, 8),
                                   field("MENGE", FieldType::Numeric, 7, 2),
                                   field("ANZAHL", FieldType::Numeric, 3),
                                   field("DATUM", FieldType::Date, 8),
                                   field("OK", FieldType::Logical, 1)}));
    table.open();
    EXPECT_THROW(table.field(0).setAsString("x"), DbaseError); // not in edit state
    table.append();
    table.field(0).setAsString("Ätznatronlauge"); // cut to 8, in Windows-1252
    table.field(1).setAsFloat(12.5);
    table.field(2).setAsInteger(7);
    table.field(3).setAsDate(QDate(2026, 12, 7));
    table.field(4).setAsBoolean(true);
    EXPECT_TRUE(dbftest::failsWith("ANZAHL", [&] { table.field(2).setAsInteger(1000); }));
    EXPECT_THROW(table.field(1).setAsFloat(123456.0), DbaseError);
    EXPECT_THROW(table.field(1).setAsString("viel"), DbaseError);
    EXPECT_THROW(table.field(3).setAsString("32.13.2026"), DbaseError);
    table.post();

    EXPECT_EQ(table.field(0).raw(), "\xC4tznatro");
    EXPECT_EQ(table.field(0).asString(), "Ätznatro");
    EXPECT_EQ(table.field(1).raw(), "  12.50");
    EXPECT_EQ(table.field(2).raw(), "  7");
    EXPECT_EQ(table.field(3).raw(), "20261207");
    EXPECT_EQ(table.field(4).raw(), "T");
    EXPECT_DOUBLE_EQ(table.field(1).asFloat(), 12.5);
    EXPECT_EQ(table.field(2).asInteger(), 7);
    EXPECT_EQ(table.field(3).asDate(), QDate(2026, 12, 7));
    EXPECT_EQ(table.field(3).asString(), "07.12.2026");
    EXPECT_TRUE(table.field(4).asBoolean());

    table.edit();
    table.field(1).setAsString("-0,004"); // German comma; rounds to zero without a sign
    table.field(2).clear();
    table.post();
    EXPECT_EQ(table.field(1).raw(), "   0.00");
    EXPECT_TRUE(table.field(2).isNull());
    EXPECT_EQ(table.field(2).asInteger(), 0);
    EXPECT_THROW(table.fieldByName("FEHLT"), DbaseError);
    EXPECT_EQ(table.fieldByName("menge").index(), 1);
}

TEST(TableFields, MemosAreWrittenAtPostAndDroppedOnCancel)
{
    fixtures::TempDir dir;
    Table table;
    insertIntoNewMemoTable(table);
    EXPECT_TRUE(table.field(1).isNull());
    table.field(1).setAsString("Leicht entzündlich.\r\nZweite Zeile");
    EXPECT_EQ(table.field(1).asString(), "Leicht entzündlich.\r\nZweite Zeile");
    table.post();
    table.edit();
    table.field(1).setAsString("verworfen");
    table.cancel();
    EXPECT_EQ(table.field(1).asString(), "Leicht entzündlich.\r\nZweite Zeile");
    table.append();
    table.field(0).setAsString("7732-18-5");
    table.post();
    table.close();

    table.open();
    EXPECT_EQ(table.field(1).asString(), "Leicht entzündlich.\r\nZweite Zeile");
    table.next();
    EXPECT_TRUE(table.field(1).isNull());
    table.close();

    const fixtures::DbfreadTable read = fixtures::readWithDbfread("chemie.dbf");
    ASSERT_EQ(read.rows.size(), 2);
    EXPECT_EQ(read.rows[0].toObject()["MEMOTEXT"].toString(), "Leicht entzündlich.\r\nZweite Zeile");
    EXPECT_EQ(read.rows[1].toObject()["CARN"].toString(), "7732-18-5");
}

TEST(TableWrite, LeavingAChangedRecordPostsItAndCancelOrAnUntouchedAppendDropsIt)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Table table;
    openTable(table, "namen.dbf");
    table.moveBy(2);
    table.edit();
    table.field(0).setAsString("geändert");
    table.cancel();
    EXPECT_EQ(table.field(0).asString(), "Wasser");
    table.append();
    table.field(0).setAsString("nicht gespeichert");
    table.cancel();
    EXPECT_EQ(table.recNo(), 3u); // back where the append started

    table.first();
    table.edit();
    table.field(0).setAsString("Ethanol absolut");
    EXPECT_TRUE(table.modified());
    table.next(); // posts
    EXPECT_EQ(table.state(), TableState::Browse);
    table.append();
    EXPECT_EQ(table.state(), TableState::Insert);
    EXPECT_EQ(table.recNo(), 0u);
    table.first(); // nothing typed: nothing written
    EXPECT_EQ(table.recordCount(), 5u);
    table.append();
    table.field(0).setAsString("Neu");
    EXPECT_EQ(table.recordCount(), 5u); // still pending
    table.close(); // posts
    table.open();
    EXPECT_EQ(table.recordCount(), 6u);
    EXPECT_EQ(table.field(0).asString(), "Ethanol absolut");
    table.last();
    EXPECT_EQ(table.field(0).asString(), "Neu");
}

// The before-post handler completes a record however it is stored, sees it
// as it was read, and is not called for an edit that changed nothing.
TEST(TableWrite, TheBeforePostHandlerCompletesEveryStoredRecordAndSeesTheStoredOne)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Table table;
    openTable(table, "namen.dbf");
    QStringList gesehen;
    table.setBeforePost([&gesehen](Table& t) {
        gesehen << t.storedRecord().text(0) + " -> " + t.currentRecord().text(0);
        t.field(1).setAsString(t.field(0).asString().toUpper());
    });
    table.edit();
    table.next(); // untouched: nothing to store
    table.edit();
    table.field(0).setAsString("Propanon");
    EXPECT_EQ(table.storedRecord().text(0), "Aceton");
    table.next(); // leaving it stores it
    table.append();
    table.field(0).setAsString("Neu");
    table.post();
    EXPECT_EQ(gesehen, (QStringList{"Aceton -> Propanon", " -> Neu"}));
    EXPECT_EQ(table.storedRecord().text(1), "NEU") << "browsing: the record itself";

    // A handler that refuses keeps the record unwritten and in its state.
    table.setBeforePost([](Table&) { throw DbaseError("nein"); });
    table.edit();
    table.field(0).setAsString("Nicht gespeichert");
    EXPECT_THROW(table.post(), DbaseError);
    EXPECT_EQ(table.state(), TableState::Edit);
    table.cancel();
    table.setBeforePost({});
    table.close();
    table.open();
    table.moveBy(1);
    EXPECT_EQ(table.field(0).asString(), "Propanon");
    EXPECT_EQ(table.field(1).asString(), "PROPANON");
}

TEST(TableObserver, IsToldAboutOpeningMovesEditsAndClosing)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Table table;
    Recorder recorder;
    table.addObserver(&recorder);
    table.addObserver(&recorder); // once only
    openTable(table, "namen.dbf");
    EXPECT_EQ(recorder.events, QStringList{"opened"});
    recorder.events.clear();
    table.next();
    table.edit();
    table.field(2).setAsString("1-1-1");
    table.post();
    table.setFilterText("CARN='1-1-1'");
    table.setFiltered(true);
    table.close();
    EXPECT_EQ(recorder.events, (QStringList{"moved", "state", "field2", "state", "data", "data",
                                            "moved", "closed"}));
    table.removeObserver(&recorder);
    recorder.events.clear();
    table.open();
    EXPECT_TRUE(recorder.events.isEmpty());

    // A table going away open tells no one: observers may already be gone.
    auto kurzlebig = std::make_unique<Table>();
    openTable(*kurzlebig, "namen.dbf");
    kurzlebig->addObserver(&recorder);
    kurzlebig.reset();
    EXPECT_TRUE(recorder.events.isEmpty());
}

TEST(TableObserver, HeldNotificationsAreToldOnceWhenTheLastHoldEnds)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Recorder recorder; // outlives the table, which tells it when it closes
    Table table;
    openTable(table, "namen.dbf");
    table.addObserver(&recorder);
    {
        NotificationHold aussen(table);
        {
            NotificationHold innen(table);
            table.next();
            table.setFilterText("CARN='1-1-1'");
            table.setFiltered(true);
            table.close();
            table.open();
        }
        table.first();
        EXPECT_TRUE(recorder.events.isEmpty()) << "nothing while any hold lasts";
    }
    EXPECT_EQ(recorder.events, (QStringList{"opened", "data", "moved"}));

    recorder.events.clear();
    {
        NotificationHold nichtsGeschehen(table);
    }
    EXPECT_TRUE(recorder.events.isEmpty()) << "a hold in which nothing happened tells nothing";
    {
        NotificationHold hold(table);
        table.close();
    }
    EXPECT_EQ(recorder.events, QStringList{"closed"});
    recorder.events.clear();
    table.releaseNotifications(); // one release too many changes nothing
    table.open();
    EXPECT_EQ(recorder.events, QStringList{"opened"});
}

// A print job narrows a table, walks it and puts it back: the controls on
// screen, which may show the record formatted their own way, hear nothing
// unless the job left the table otherwise than it found it.
TEST(TableObserver, AHoldEndingWithTheTableAsItFoundItTellsNothing)
{
    fixtures::TempDir dir;
    makeNameTable("namen.dbf", sampleNames(), false);
    Recorder recorder;
    Table table;
    openTable(table, "namen.dbf");
    table.next();
    const Bookmark hier = table.bookmark();
    table.addObserver(&recorder);
    const auto zurueck = [&] {
        table.setFiltered(false);
        table.setFilterText("");
        table.gotoBookmark(hier);
    };
    {
        NotificationHold hold(table);
        table.setFilterText("CARN='1-1-1'");
        table.setFiltered(true);
        table.close();
        table.open();
        zurueck();
    }
    EXPECT_TRUE(recorder.events.isEmpty()) << recorder.events.join(' ').toStdString();

    {
        NotificationHold hold(table);
        table.first();
        table.edit();
        table.field(2).setAsString("9-9-9");
        table.post(); // another row than the one shown
        zurueck();
    }
    EXPECT_EQ(recorder.events, (QStringList{"opened", "data", "moved"})) << "a row was written";

    recorder.events.clear();
    {
        NotificationHold hold(table);
        table.setFilterText("CARN='9-9-9'");
        table.setFiltered(true);
    }
    EXPECT_EQ(recorder.events, (QStringList{"opened", "data", "moved"})) << "left filtered";
}

TEST(TableCreate, ReplacesTableMemoAndIndexAndDropsForeignIndexMarks)
{
    fixtures::TempDir dir;
    makeNameTable("zan_tmp1.dbf", sampleNames());
    Table names;
    openTable(names, "zan_tmp1.dbf", "zan_tmp1.mdx", "NAME1_SUB");
    TableLayout copied = names.layout();
    names.close();

    Table table;
    table.setTableName("zan_tmp1.dbf");
    table.createTable(copied);
    EXPECT_FALSE(std::filesystem::exists("zan_tmp1.mdx"));
    table.open();
    EXPECT_EQ(table.recordCount(), 0u);
    EXPECT_TRUE(table.indexDefs().empty());
    EXPECT_EQ(table.fieldCount(), 4);
    for (const FieldDef& f : table.layout().fields())
        EXPECT_FALSE(f.mdxTag) << f.name;
    EXPECT_THROW(table.createTable(copied), DbaseError); // not while open
}

} // namespace
