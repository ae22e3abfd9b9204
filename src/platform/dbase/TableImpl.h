#pragma once

// Inside of Table, shared by its source files (cursor, writing, fields, index
// upkeep, batch move). Not for use outside the dBASE layer.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/CodePage.h"
#include "dbase/DbfFile.h"
#include "dbase/DbtMemo.h"
#include "dbase/IndexTag.h"
#include "dbase/KeyExpression.h"
#include "dbase/MdxFile.h"
#include "dbase/Table.h"

namespace dbase {

// Calls `visit(recNo, bytes)` for every record of a table (deleted ones too),
// as index building needs them.
using RowVisitor = std::function<void(std::uint32_t recNo, const std::string& bytes)>;
using RowScan = std::function<void(const RowVisitor& visit)>;

// The tags of one production index file with their compiled key expressions,
// kept in step with the table's records, and the file they are written to.
// A tag's entries are read from the file when the tag is first used; a tag
// nobody uses costs no more than its header.
class TableIndex {
public:
    // Reads the index file's tag table; a file marked dirty, a tag whose
    // entries cannot be read, or one that does not hold one key per record,
    // is made from the rows (`scan`, which must stay callable while the index
    // lives) and written at the next write().
    static TableIndex load(const std::filesystem::path& path, const TableLayout& layout,
                           const CodePage& codePage, std::uint8_t languageDriver,
                           std::uint32_t recordCount, RowScan scan);
    // A new index file that does not exist on disk yet.
    static TableIndex create(const std::filesystem::path& path, const TableLayout& layout,
                             const CodePage& codePage, std::uint8_t languageDriver);

    const std::filesystem::path& path() const { return m_path; }
    int tagCount() const { return static_cast<int>(m_tags.size()); }
    int findTag(const QString& name) const; // -1 when absent
    const TagInfo& info(int i) const { return m_mdx.tags()[static_cast<std::size_t>(i)].info(); }
    // The tag with its entries, read first if this is its first use.
    IndexTag& tag(int i) { return loaded(i, true); }
    const IndexTag& tag(int i) const { return loaded(i, true); }
    // The tag for walking it in order: its record numbers at least (the keys
    // may be missing; IndexTag::hasKeys()).
    const IndexTag& order(int i) const { return loaded(i, false); }
    const KeyExpression& expression(int i) const { return m_tags[static_cast<std::size_t>(i)].expression; }
    std::vector<IndexDef> defs() const;

    // Key of a record for tag i (in index encoding).
    std::string key(int i, std::string_view recordBytes) const;
    // Position of a record's entry in tag i; found by record number when the
    // stored key is not the one computed (another program's rounding).
    // tag(i).size() when absent.
    std::size_t position(int i, std::string_view key, std::uint32_t recNo) const;
    // Whether the record belongs in tag i (its FOR condition, if any).
    bool includes(int i, std::string_view recordBytes) const;

    // Keeps every tag right for one record: `oldBytes` empty for a new record,
    // `newBytes` empty for a record that vanishes. Tags not read yet are read
    // first, from the file as it was before the change.
    void update(std::uint32_t recNo, std::string_view oldBytes, std::string_view newBytes,
                const RowScan& scan);
    // Every tag forgets the records `first` to `last`, which left the table
    // (taken back, or lost with a failed write): a unique tag one of them
    // left is made anew from the rows, since another record may now own
    // the key.
    void dropRecords(std::uint32_t first, std::uint32_t last, const RowScan& scan);
    void rebuild(const RowScan& scan);
    // Adds a tag built from the rows; DbaseError (tag left out) when the name
    // is taken or the expression is refused.
    void addTag(const IndexDef& def, const RowScan& scan);

    // Marks the file on disk as being changed, once after every write, so a
    // process dying before the next write leaves an index that is rebuilt.
    void beforeFileChange();
    bool changed() const { return m_changed; }
    // The file on disk is marked as being changed: right after load(), a
    // stale file whose tags are made from the rows.
    bool markedOnDisk() const { return m_markedOnDisk; }
    // Written, marked or resized by another open since this one last read or
    // wrote the file, or gone.
    bool changedOnDisk() const;
    void setChanged() { m_changed = true; }
    // Writes the file. When another open wrote it since this one last read or
    // wrote it, that open may have changed keys this one never saw: the tags
    // are made anew from the rows first.
    void write(const std::string& tableBaseName, const RowScan& scan);

private:
    TableIndex(std::filesystem::path path, const TableLayout& layout, const CodePage& codePage,
               std::uint8_t languageDriver);
    struct TagState {
        KeyExpression expression;
        std::shared_ptr<Filter::Bound> forCondition; // null: every record
        // Where the entries are in the file until they are read; none when
        // they are to be made from the rows.
        std::optional<StoredTag> stored;
        bool loaded = false; // the entries are read, with their keys or not
    };
    TagState compileTag(const TagInfo& info) const;
    IndexTag& loaded(int i, bool withKeys) const;
    void loadAll() const;
    void rebuildTag(int i, const RowScan& scan) const;
    void noteFileState();

    std::filesystem::path m_path;
    const TableLayout* m_layout;
    const CodePage* m_codePage;
    std::uint8_t m_languageDriver;
    // Tags are read on first use, also through const access.
    mutable MdxFile m_mdx;
    mutable std::vector<TagState> m_tags;
    RowScan m_scan;                       // the rows, for tags made from them
    std::uint32_t m_recordCount = 0;      // records when the file was opened
    mutable std::vector<std::uint8_t> m_owners; // per page: the tag (from 1) read there
    mutable bool m_changed = false;       // differs from the file on disk
    bool m_markedOnDisk = false;          // dirty mark set since the last write
    std::optional<std::filesystem::file_time_type> m_stamp; // file as last seen here
    std::uintmax_t m_fileSize = 0;
    bool m_writtenElsewhere = false;
};

// Field values to and from record bytes, with the field's type rules; a value
// that does not fit is a DbaseError naming the field.
std::string encodeFieldText(const FieldDef& field, const CodePage& codePage, const QString& value);
std::string encodeFieldInteger(const FieldDef& field, std::int64_t value);
// A field's bytes padded with blanks or cut to its width.
std::string fitField(const FieldDef& field, std::string_view bytes);
// Memo block number of a record's blob field; 0 when empty.
std::uint32_t memoBlock(const RecordView& record, int field);

// First record number handed out to rows appended under cached updates; they
// get their real number when the updates are applied. Far above any real
// table, so a shared table that grows meanwhile never collides with them.
inline constexpr std::uint32_t firstProvisionalRecNo = 0xF0000000u;

struct Table::Impl {
    explicit Impl(Table& owner) : self(owner) {}

    Table& self;

    // --- settings, kept across close and open
    QString tableName;
    QString indexFiles;
    QString indexName;
    Filter filter;
    bool filtered = false;
    FilterOptions filterOptions;
    bool readOnly = false;
    bool exclusive = false;
    bool cachedUpdates = false;
    std::vector<TableObserver*> observers;
    bool createdHere = false; // createTable() made the file; the next open fills it

    // --- open files
    std::unique_ptr<DbfFile> dbf;
    std::unique_ptr<DbtMemo> memo;
    std::optional<TableIndex> index;
    std::optional<Filter::Bound> boundFilter;
    // The index that addIndex() on the closed table wrote last, with a copy
    // of the layout it was made for: the next addIndex() goes on from it
    // instead of reading the file again while neither file changed.
    struct KeptIndex {
        std::unique_ptr<TableLayout> layout;
        std::uint32_t recordCount = 0;
        std::optional<TableIndex> index;
    };
    std::optional<KeptIndex> keptIndex;
    int activeTag = -1;
    std::string blank;

    // --- cursor and current record
    std::uint32_t recNo = 0; // 0: no current record
    std::size_t slot = 0;    // position in the active order
    bool bof = true;
    bool eof = true;
    std::string buffer;      // current record as shown, with unposted changes
    std::string original;    // the record as stored when editing began
    std::function<void(Table&)> beforePost;
    std::map<int, std::string> memos; // unposted memo data by field
    TableState state = TableState::Inactive;
    bool modified = false;
    std::uint32_t editLock = 0; // the record this open holds locked, 0: none
    struct Position {
        std::uint32_t recNo;
        std::size_t slot;
        bool bof;
        bool eof;
    } beforeInsert{};
    mutable std::string scratch;
    std::string lookupBytes; // the key of the last keyed lookup, reused
    mutable std::optional<std::uint32_t> filteredCount;
    bool quiet = false;       // batch work: one dataChanged at the end
    int holds = 0;            // notifications held back (Table::holdNotifications)
    bool missed = false;      // something happened while they were held
    // Changes of the rows: posts, deletes, updates applied or dropped, and
    // other programs' writes once seen.
    std::uint64_t writes = 0;
    // What the observers were last shown, taken when the first hold begins:
    // a table back in exactly that state at the last release tells nothing.
    struct Shown {
        bool open = false;
        QString tableName;
        QString indexFiles;
        QString indexName;
        QString filter;
        bool filtered = false;
        FilterOptions filterOptions;
        std::uint32_t recNo = 0;
        TableState state = TableState::Inactive;
        std::string record;
        std::uint64_t writes = 0;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const;
    Shown shownWhenHeld;
    bool deferIndex = false;  // batch appends: tags rebuilt once at the end
    bool indexStale = false;
    mutable bool autoBulk = false; // the fill after createTable(), ended by other calls

    // --- cached updates: posted rows not yet written, by record number
    struct Pending {
        std::string bytes;
        std::map<int, std::string> memos;
    };
    std::map<std::uint32_t, Pending> pending;
    std::vector<std::uint32_t> pendingAppends; // in the order they were posted
    std::uint32_t nextProvisional = firstProvisionalRecNo;

    // --- helpers
    std::string quotedName() const { return "\"" + tableName.toStdString() + "\""; }
    // requireOpen() only checks; requireActive() also ends the automatic
    // bulk of a fresh table, which every call but the filling ones does.
    void requireOpen() const;
    void requireActive() const;
    void checkWritable() const;
    void endAutoBulk() const;
    void requireClosed(const char* what) const;
    void requireWritable() const;
    void requireEditing(const FieldDef& field) const;
    const TableLayout& layout() const { return dbf->layout(); }
    const CodePage& codePage() const { return dbf->codePage(); }

    std::uint32_t fileCount() const { return dbf->recordCount(); }
    bool exists(std::uint32_t r) const;
    // The record as this cursor sees it: cached bytes first, then the file.
    void readRow(std::uint32_t r, std::string& out) const;
    bool passes(std::string_view bytes) const;
    bool filterOn() const { return filtered && boundFilter.has_value() && !filter.isEmpty(); }
    RowScan rowScan() const;
    // The same after re-reading what other opens committed.
    RowScan freshRowScan() const;

    std::size_t slotCount() const;
    std::uint32_t recNoAt(std::size_t s) const;
    // Slot of a record in the active order; slotCount() when not there.
    std::size_t slotOf(std::uint32_t r, std::string_view bytes) const;
    // Slots [first, last) of the active order outside which no row passes
    // the filter: those whose key begins with the text the filter requires
    // of the tag's leading field (CARN of "CARN+SUBCARN"). All slots when it
    // requires none, or the tag lags behind the rows.
    std::pair<std::size_t, std::size_t> filterRange() const;
    // The records of the table that pass the filter, counted in the filter's
    // range when the active tag holds every record once (neither unique nor
    // with a FOR condition), else in the whole file.
    std::uint32_t countPassing() const;
    // Searches visible rows from slot `from` in direction `step` (+1 / -1),
    // within filterRange(); on success the row's bytes are in `scratch`.
    std::optional<std::size_t> findVisible(std::ptrdiff_t from, int step) const;
    void take(std::size_t s); // makes slot s (found by findVisible) current
    void setNoRecord();
    void moveFirst();
    void moveLast();
    // After the order changed: finds the current record's slot again.
    void relocate();

    // Posts a modified record, drops an untouched one (the cursor leaves it).
    void leaveRecord();
    void post();
    void cancel();
    void writeMemos(std::string& bytes, const std::map<int, std::string>& data);
    void updateIndex(std::uint32_t r, std::string_view oldBytes, std::string_view newBytes);
    // The rows from `first` on left the table file: the index, the counts
    // and the cursor forget them, and the observers hear of it.
    void forgetRowsFrom(std::uint32_t first);
    void finishDeferredIndex();
    std::string memoData(int field) const;
    void setField(int field, const std::string& bytes);
    void setMemo(int field, std::string data);
    // The active tag's expression, checked for a lookup of `valueCount`
    // values; lookupBytes emptied for the key.
    const KeyExpression& startLookup(std::size_t valueCount);
    // The key prefix of a lookup, valid until the next one.
    std::string_view lookupKey(const QStringList& values);
    std::string_view lookupKey(const RecordView& record, std::initializer_list<int> fields);
    // Moves to the first visible row whose key starts with `key`.
    bool findPrefix(std::string_view key);
    // Slots [first, last) of tag `tag` whose keys begin with `prefix`.
    std::pair<std::size_t, std::size_t> prefixRangeOf(int tag, std::string_view prefix) const;
    // The ranges of tag `tagName`'s entries outside which no record passes
    // `condition` under `options`, apart and in order; nullopt when every
    // row is to be tested. `tag` is set to the tag's number.
    std::optional<std::vector<std::pair<std::size_t, std::size_t>>>
    conditionRanges(const Filter::Bound& condition, FilterOptions options, const QString& tagName, int& tag) const;
    void checkForeignChanges();
    void reloadAfterForeignChange();
    // Whether another open wrote the table file since this one last looked
    // (one look at the file); `r` is the record about to be shown, 0 for
    // none. The rows are read afresh from then on; rows another open
    // appended join the order at the next checkForeignChanges(), so that a
    // walk keeps its order. Asked before a move, so that the move skips
    // what another open deleted, and after it (freshen()).
    bool foreignWrites(std::uint32_t r);
    // After a move: the record landed on is the one stored now, read afresh
    // when another open wrote the table since it was cached; the observers
    // hear of rows changed when that, or the look before the move
    // (`changedBefore`), found the file changed.
    void freshen(bool changedBefore);
    // The record lock of the current edit (RecordLock.cpp): taken by edit()
    // with the record read afresh under it, ended by post() and cancel().
    void lockForEdit(std::uint32_t r);
    void endEditLock();
    // Before a post or delete writes record r: refused when another open
    // deleted it meanwhile.
    void checkStillStored(std::uint32_t r);

    template <typename F>
    void notify(F f)
    {
        if (quiet)
            return;
        if (holds > 0) {
            missed = true;
            return;
        }
        const auto listeners = observers; // a listener may remove itself
        for (TableObserver* o : listeners)
            f(*o);
    }
    void notifyMoved() { notify([&](TableObserver& o) { o.recordMoved(self); }); }
    void notifyState() { notify([&](TableObserver& o) { o.stateChanged(self); }); }
    void notifyData() { notify([&](TableObserver& o) { o.dataChanged(self); }); }
};

} // namespace dbase
