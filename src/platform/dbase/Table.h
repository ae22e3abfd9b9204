#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include "dbase/DbaseError.h"
#include "dbase/FieldDef.h"
#include "dbase/Filter.h"

namespace dbase {

class Table;

enum class TableState { Inactive, Browse, Edit, Insert };
enum class BatchMode { Append, AppendUpdate };

// Told about a table's changes; data sources and data-aware controls listen.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void recordMoved(Table&) {}
    virtual void fieldChanged(Table&, int /*field*/) {}
    virtual void stateChanged(Table&) {}
    virtual void opened(Table&) {}
    virtual void closed(Table&) {}
    // The rows of the table changed as a whole (filter, index, post, delete).
    virtual void dataChanged(Table&) {}
};

// Holds a table's notifications for its lifetime.
class NotificationHold {
public:
    explicit NotificationHold(Table& table);
    ~NotificationHold();
    NotificationHold(const NotificationHold&) = delete;
    NotificationHold& operator=(const NotificationHold&) = delete;

private:
    Table& m_table;
};

// One field of the current record of a table, by position or name.
class Field {
public:
    Field(Table& table, int index) : m_table(&table), m_index(index) {}

    int index() const { return m_index; }
    const FieldDef& def() const;
    const std::string& name() const { return def().name; }

    bool isNull() const; // blank field, or a memo/blob without a block
    // The value as the program shows it: numbers in numberDisplayText(),
    // dates as "dd.MM.yyyy". setAsString() takes the same text back, and
    // numbers also with a decimal point.
    QString asString() const;
    double asFloat() const;      // 0 when null
    std::int64_t asInteger() const;
    QDate asDate() const;        // invalid when null
    bool asBoolean() const;
    QByteArray asBytes() const;  // memo and binary data, raw field bytes otherwise
    // The stored bytes, untrimmed and without code-page translation.
    std::string raw() const;

    // Writing requires the table in Edit or Insert state; a value that does
    // not fit the field is a DbaseError naming the field.
    void setAsString(const QString& value);
    void setAsFloat(double value);
    void setAsInteger(std::int64_t value);
    void setAsDate(const QDate& value);
    void setAsBoolean(bool value);
    void setAsBytes(const QByteArray& value);
    void clear();

private:
    Table* m_table;
    int m_index;
};

// A position a cursor can return to: the physical record number.
struct Bookmark {
    std::uint32_t recNo = 0;
    bool valid() const { return recNo != 0; }
};

struct IndexDef {
    std::string name;
    std::string expression; // the expression, or the field name of a field tag
    bool isExpression = false;
    bool unique = false;
    bool descending = false;
};

// A dBASE table with one cursor, like the database engine's table dataset.
// Settings (file, index file, active tag, filter, filter options, read-only,
// exclusive) are kept across close and open. Table and index files are
// resolved against the current directory when the table is opened, through
// the case-insensitive lookup, so "NAMEN.DBF" is found for "namen.dbf".
//
// Rows are those of the active tag in index order (physical order without
// one), without deleted records, and only those passing the filter while it
// is on. A changed or appended record is posted when the cursor leaves it.
//
// Shared tables: every move looks at the table file (its size and change
// time) and reads afresh what another user stored since it was cached, so
// the record shown is the one stored. Edits lock their record (see edit()).
class Table {
public:
    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // --- settings, kept across close and open
    void setTableName(const QString& fileName);
    QString tableName() const;
    // Empty: the production index (the table's name with .mdx) when the
    // table's header says it has one, else none.
    void setIndexFiles(const QString& mdxFileName);
    QString indexFiles() const;
    void setIndexName(const QString& tagName);      // empty: physical order
    QString indexName() const;
    void setReadOnly(bool readOnly);                // only while closed
    bool readOnly() const;
    void setExclusive(bool exclusive);              // only while closed
    bool exclusive() const;

    // --- open and close
    // DbaseError naming the file when missing, corrupt or locked;
    // WriteProtectedError when a table that is not read-only cannot be
    // written. Removes what replacements of the table's files left behind
    // in processes that were killed.
    void open();
    // Posts a pending record first and writes the index if it changed.
    // Refused (DbaseError, the table stays open) while cached updates are held.
    void close();
    bool active() const;
    void setActive(bool active) { active ? open() : close(); }

    // --- structure
    const TableLayout& layout() const;
    int fieldCount() const;
    Field field(int index);
    Field fieldByName(const std::string& name); // DbaseError when absent
    std::vector<IndexDef> indexDefs() const;    // tags of the open index file
    std::uint8_t languageDriver() const;
    const CodePage& codePage() const;

    // Creates the table file (replacing an existing table, its memo and its
    // production index) from `layout`; the table stays closed. The next open
    // of this table fills it in bulk (see beginBulk()) until the first call
    // that is not append(), insert(), post(), cancel() or the setting of a
    // field: a table being filled right after it was made is not one anybody
    // relies on yet, and a kill leaves it opening empty.
    // With `tags`, the empty table gets its production index with them in the
    // same step, as addIndex() one after another would give it, but with
    // each new file synced once, before it takes the old one's place; the
    // next open then does not fill in bulk.
    void createTable(const TableLayout& layout, std::uint8_t languageDriver = 0x58,
                     const std::vector<IndexDef>& tags = {});
    // For a closed table: checks the index file that open() reads (none
    // without one), its tag table and tag headers read afresh: open() may
    // read a tag only when it is first used. DbaseError naming the index
    // file when it is missing, damaged or no index file. A table file that
    // is missing or cannot be read is left for open() to report.
    void checkIndexFile() const;
    // For a closed table: makes the index file that open() reads anew from
    // `tags` and the rows, in place of a damaged or missing one; the table
    // file is only read, under an exclusive lock.
    void rebuildIndexFile(const std::vector<IndexDef>& tags);
    // Adds a tag to the production index (creating it); the table may be open
    // or closed. Expression tags and field tags as the engine offers them.
    // A closed table's index file is written at once, an open table's at
    // close() or flush(), so that tags added one after another are written
    // once; until then other opens do not see the tag.
    void addIndex(const IndexDef& def);

    // --- cursor
    void first();
    void last();
    void next();
    void prior();
    int moveBy(int distance); // returns the distance moved; stops at the ends
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;
    // Physical record number, 0 when none and while a new record is being
    // inserted. A row appended under cached updates carries a provisional
    // number (far above any real one) until the updates are applied.
    std::uint32_t recNo() const;
    // Records of the table file (the header's count, deleted ones included),
    // like the engine's record count for a dBASE table without a filter;
    // with a filter on, the rows that pass.
    std::uint32_t recordCount() const;
    // The rows a walk visits: deleted records left out, and with a filter on
    // only those that pass. Counted once and kept until the table changes.
    std::uint32_t visibleCount() const;
    Bookmark bookmark() const;
    void gotoBookmark(const Bookmark& bookmark); // DbaseError if the row is gone
    bool bookmarkValid(const Bookmark& bookmark) const;
    // Moves to a physical record; false (cursor unchanged) when not visible.
    bool gotoRecNo(std::uint32_t recNo);

    // --- keyed lookup on the active tag
    // Values for the tag's key fields in order; fewer values than key fields
    // make a partial key. Returns false and leaves the cursor where it was
    // when nothing is found.
    bool findKey(const QStringList& values);
    // The same with the values of fields of another record (a row read
    // elsewhere), one field position of `record` per key field: character
    // fields in the same code page are taken as stored, blank-padded or cut
    // to the key field's width, without being decoded to text and encoded
    // back; other fields go through their text as above.
    bool findKey(const RecordView& record, std::initializer_list<int> fields);
    // Moves to the first row whose key is not less than the values.
    void findNearest(const QStringList& values);
    // The record number of the first row in the active order that passes
    // the table's filter (when on, under the table's options) and
    // `condition` under `options`; 0 when none. The cursor, the filter and
    // its options stay as they are. When `condition` requires a text of the
    // leading field of the tag `rangeTag` (an equality or a prefix, with or
    // without case), only the tag's entries that can begin with it are read,
    // not every row.
    std::uint32_t firstPassing(const Filter& condition, const FilterOptions& options, const QString& rangeTag);

    // --- filters
    void setFilter(const Filter& filter);     // checks field names; throws before anything changes
    void setFilterText(const QString& text);  // parses; throws before anything changes
    QString filterText() const;
    const Filter& filter() const;
    void setFiltered(bool filtered);
    bool filtered() const;
    void setFilterOptions(FilterOptions options);
    FilterOptions filterOptions() const;

    // --- writing
    TableState state() const;
    // A blank record. Leaving it posts it once a field was set; an untouched
    // one is dropped, as the engine does. post() always writes it.
    void append();
    void insert();   // as append: dBASE has no position for new rows
    // Locks the current record against every other open of the table (in
    // this process or another) until post() or cancel() and reads it as the
    // file holds it now: RecordLockedError while another open edits it,
    // RecordDeletedError when another user deleted it meanwhile; both leave
    // the table browsing. post() writes nothing and throws
    // RecordDeletedError (the edit cancelled) when a program that takes no
    // locks deleted the record meanwhile; remove() takes the lock as well.
    void edit();
    void post();
    void cancel();
    void remove();   // marks the current record deleted; the cursor moves on
    // Takes back the record `recNo` this table appended and stored, as if it
    // had never been: the table file ends before it again and its keys leave
    // the index, so nothing deleted is left behind. Only the file's last
    // record can go so: false, and nothing changed, when another was
    // appended after it. Refused while the record is edited or held in
    // cached updates.
    bool takeBackAppend(std::uint32_t recNo);
    // The same for the records `first` to `last` this table appended, in
    // bulk or not, all in one step: the file's count is lowered first, then
    // the file is cut, so that a kill in between leaves a table that opens
    // without them. False, and nothing changed, when `last` is not the
    // file's last record or one of them is held in cached updates.
    bool takeBackAppends(std::uint32_t first, std::uint32_t last);
    bool modified() const;
    // The current record as it was read before the changes of the current
    // edit: a blank record while inserting, the current record while browsing.
    RecordView storedRecord() const;
    // Runs before a changed or new record is written, by post() or by the
    // cursor leaving it, with the record still in Edit or Insert state: the
    // place to complete it (the date of a change, say). Not held back by
    // holdNotifications(); a handler that throws keeps the record unwritten.
    // Kept across close and open; empty: none.
    void setBeforePost(std::function<void(Table&)> handler);

    // Cached updates: writes (appends, edits, deletes, memos) are held back,
    // visible to this cursor only, until applied or cancelled, all together.
    // Switching them off while updates are held (or a changed record is not
    // posted) is refused with a DbaseError: apply or cancel first. A table
    // destroyed with updates held drops them.
    void setCachedUpdates(bool on);
    bool cachedUpdates() const;
    // Posts the current record first. When a write fails, what was written
    // stays written, the rest stays held, and the DbaseError says how many.
    void applyUpdates();
    void cancelUpdates();

    // Bulk appends, for filling and copying loops: posted new records are
    // gathered and written about a megabyte at a time instead of one by one,
    // and counted in the file's header only at the outermost endBulk() (or
    // close()), once all are synced: a process killed meanwhile leaves the
    // table as before the bulk. They are written at every chunk, at flush()
    // and before any read of the table file. While records are gathered in a shared
    // open, other programs' appends wait. Without bulk, every post that
    // returned survives a kill and, synced at its end, a power loss; a bulk
    // is synced once, at its outermost end. Calls nest; close() ends every
    // level. When a chunk cannot be written, no record of the bulk is in the
    // table: not in the file, its count or its index, and the cursor leaves
    // them; the call that wrote it throws.
    void beginBulk();
    void endBulk();

    // Re-reads what other opens of the file committed.
    void refresh();
    // Reads the current record as the table file holds it now, other users'
    // posts included, and shows it; RecordDeletedError when another user
    // deleted it meanwhile. For commands that go on from what the window
    // shows (a copy, taking a substance into storage). Nothing while a
    // record is edited or inserted.
    void refreshRecord();
    // Writes the records gathered in bulk and the production index if it
    // changed.
    void flush();

    // --- notifications
    void addObserver(TableObserver* observer);
    void removeObserver(TableObserver* observer);
    // Holds the observers' notifications back while a job moves the table
    // about (a print run narrowing it to one substance and putting it back):
    // the controls on screen then follow none of it. When the last hold is
    // released and anything happened meanwhile, the observers hear once
    // that the table was opened and its rows and record changed, or that it
    // is closed; unless the table is back as the first hold found it (open
    // or closed, the same file, order, filter and record, nothing written):
    // then what they show is still right and they hear nothing. Holds nest.
    void holdNotifications();
    void releaseNotifications();

    // The record being shown (with pending changes), as filters see it;
    // raw(field) reads a field's bytes without allocating, for long loops.
    RecordView currentRecord() const;

    // Visits the rows that a walk from first() to eof() shows, with
    // everything the walk honours (deleted records, the filter and the key
    // range it fixes, held-back changes, the tag's own entries), but in the
    // order of the table file, held-back new rows last, each with its place
    // in the walk: `position` grows with the walk's order and stays below
    // the returned count, leaving gaps where the walk skips an entry. A table
    // larger than its record cache is read once from start to end, where the
    // walk in index order would jump across the file. Posts a changed record
    // first, as a move does; the cursor stays on its row. The visitor must
    // not move or change this table; `row` is valid during the call only.
    using FileOrderVisitor =
        std::function<void(const RecordView& row, std::uint32_t recNo, std::size_t position)>;
    std::size_t visitInFileOrder(const FileOrderVisitor& visit);

private:
    friend class Field;
    friend class AppendHold;
    friend std::uint32_t batchMove(Table& source, Table& destination, BatchMode mode);
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Bulk appends (see Table::beginBulk()) over one or more tables that end on
// every path. end() ends them all and throws the first failed write; a
// scope left without end(), by an error, ends them quietly: that error is
// the one to tell, and the records of a failed write are not in the table.
class Bulk {
public:
    explicit Bulk(std::initializer_list<Table*> tables);
    ~Bulk();
    Bulk(const Bulk&) = delete;
    Bulk& operator=(const Bulk&) = delete;

    void end();

private:
    void endQuietly() noexcept;

    std::vector<Table*> m_tables;
    bool m_ended = false;
};

// Holds a shared table's append lock for its lifetime and reads the rows
// on disk, other users' appends included, on taking it: no other user
// appends to the table meanwhile (their appends wait a few seconds, then
// are refused). For choosing a key that must still be free when the row
// with it is appended.
class AppendHold {
public:
    explicit AppendHold(Table& table);
    ~AppendHold();
    AppendHold(const AppendHold&) = delete;
    AppendHold& operator=(const AppendHold&) = delete;

private:
    Table& m_table;
};

// Copies every visible row of `source` into `destination` (opened by the
// caller), field by field by position. AppendUpdate matches rows through the
// destination's active tag and overwrites a match instead of appending.
// Every row is converted before the first is written, so a value that does
// not fit leaves the destination untouched; the source cursor returns to
// where it was. Returns the number of rows moved.
std::uint32_t batchMove(Table& source, Table& destination, BatchMode mode);

} // namespace dbase
