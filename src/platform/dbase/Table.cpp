#include "dbase/Table.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "dbase/TableImpl.h"
#include "files/Paths.h"

namespace dbase {

namespace {

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

QString withDefaultSuffix(const QString& name, const char* suffix)
{
    const QString trimmed = name.trimmed();
    const QString file = trimmed.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    return file.contains(QLatin1Char('.')) ? trimmed : trimmed + QLatin1Char('.') + suffix;
}

// The existing file for a name, its case ignored; nullopt when there is none
// (a directory of that name does not count).
std::optional<std::filesystem::path> findFile(const QString& name)
{
    const std::optional<QString> found = files::find(name);
    if (!found || !std::filesystem::is_regular_file(toPath(*found)))
        return std::nullopt;
    return toPath(*found);
}

// A file beside the table with the table's base name and another extension.
QString sibling(const std::filesystem::path& table, const char* extension)
{
    return QString::fromStdString((table.parent_path() / table.stem()).string()) + extension;
}

// Index files are named relative to the table's directory, as the table is.
QString besideTable(const std::filesystem::path& table, const QString& name)
{
    const std::filesystem::path given = toPath(files::nativePath(name.trimmed()));
    return QString::fromStdString(given.is_absolute() ? given.string()
                                                       : (table.parent_path() / given).string());
}

// The index file a table reads: the one its settings name, else its
// production index when its header says it has one.
std::optional<QString> indexFileName(const std::filesystem::path& table, const QString& indexFiles,
                                     bool hasProductionMdx)
{
    if (!indexFiles.trimmed().isEmpty())
        return besideTable(table, indexFiles);
    if (hasProductionMdx)
        return sibling(table, ".mdx");
    return std::nullopt;
}

// The name a missing index file is made under: a production index takes
// the spelling of its table's name, under which other dBASE programs look
// for it where names are case-sensitive.
QString newIndexName(const std::filesystem::path& table, const QString& indexName)
{
    const std::string extension = table.extension().string();
    const bool upper = std::any_of(extension.begin(), extension.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
    const QString production = sibling(table, upper ? ".MDX" : ".mdx");
    return QString::compare(indexName, production, Qt::CaseInsensitive) == 0 ? production : indexName;
}

std::string quoted(const QString& text)
{
    return "\"" + text.toStdString() + "\"";
}

std::string quoted(const std::filesystem::path& path)
{
    return "\"" + path.filename().string() + "\"";
}

std::filesystem::path existingIndexFile(const QString& name, const std::filesystem::path& table)
{
    const auto path = findFile(name);
    if (!path)
        throw DbaseError("Die Indexdatei " + quoted(toPath(name)) + " zur Tabelle " + quoted(table)
                         + " wurde nicht gefunden.");
    return *path;
}

// Reads every record of a file for index building.
RowScan scanFile(const DbfFile& dbf)
{
    return [&dbf](const RowVisitor& visit) {
        std::string bytes;
        const std::uint32_t count = dbf.recordCount();
        for (std::uint32_t r = 1; r <= count; ++r) {
            dbf.readRecord(r, bytes);
            visit(r, bytes);
        }
    };
}

bool sameLayout(const TableLayout& a, const TableLayout& b)
{
    const auto same = [](const FieldDef& x, const FieldDef& y) {
        return x.name == y.name && x.type == y.type && x.length == y.length
            && x.decimals == y.decimals && x.offset == y.offset;
    };
    return std::equal(a.fields().begin(), a.fields().end(), b.fields().begin(), b.fields().end(),
                      same);
}

// Writes a table's production index and marks the table as having one; in
// this order, so that a table never names an index file that is not there.
// The table (and its memos) are synced first: after a power loss the index
// on the disk never describes rows the disk lost.
void writeIndex(DbfFile& dbf, TableIndex& index, const RowScan& scan)
{
    dbf.sync();
    index.write(dbf.path().stem().string(), scan);
    if (!dbf.header().hasProductionMdx)
        dbf.setProductionMdx(true);
}

// Adds a tag to a table's production index (made when there is none yet).
// An open table writes the index when it is closed or flushed, so that tags
// added one after another are written once; a closed one writes it at once.
void addTag(DbfFile& dbf, const TableLayout& layout, std::optional<TableIndex>& index,
            const IndexDef& def, const RowScan& scan, bool writeNow)
{
    const bool fresh = !index.has_value();
    if (fresh) {
        const QString path = files::resolveForWrite(sibling(dbf.path(), ".mdx"));
        index = TableIndex::create(toPath(path), layout, dbf.codePage(),
                                   dbf.header().languageDriver);
    }
    try {
        index->addTag(def, scan);
        if (writeNow)
            writeIndex(dbf, *index, scan);
    } catch (...) {
        if (fresh)
            index.reset();
        throw;
    }
}

} // namespace

// ---------------------------------------------------------------- Impl helpers

void Table::Impl::requireClosed(const char* what) const
{
    if (dbf)
        throw DbaseError("Die Tabelle " + quotedName() + " ist geöffnet; " + what
                         + " lässt sich nur bei geschlossener Tabelle ändern.");
}

void Table::Impl::requireOpen() const
{
    if (!dbf)
        throw DbaseError("Die Tabelle " + quotedName() + " ist nicht geöffnet.");
}

void Table::Impl::requireActive() const
{
    requireOpen();
    endAutoBulk();
}

void Table::Impl::endAutoBulk() const
{
    if (!autoBulk)
        return;
    autoBulk = false;
    dbf->endBulk();
}

void Table::Impl::requireWritable() const
{
    requireActive();
    checkWritable();
}

void Table::Impl::checkWritable() const
{
    if (readOnly || dbf->readOnly())
        throw DbaseError("Die Tabelle " + quotedName()
                         + " ist nur zum Lesen geöffnet; Änderungen sind nicht möglich.");
}

void Table::Impl::requireEditing(const FieldDef& field) const
{
    requireOpen();
    if (state != TableState::Edit && state != TableState::Insert)
        throw DbaseError("Das Feld \"" + field.name + "\" der Tabelle " + quotedName()
                         + " kann nur im Bearbeitungs- oder Einfügemodus geändert werden.");
}

bool Table::Impl::exists(std::uint32_t r) const
{
    if (r >= firstProvisionalRecNo)
        return pending.count(r) != 0;
    return r >= 1 && r <= fileCount();
}

void Table::Impl::readRow(std::uint32_t r, std::string& out) const
{
    if (!pending.empty()) {
        const auto it = pending.find(r);
        if (it != pending.end()) {
            out = it->second.bytes;
            return;
        }
    }
    dbf->readRecord(r, out);
}

bool Table::Impl::passes(std::string_view bytes) const
{
    if (!bytes.empty() && bytes[0] == '*')
        return false;
    return !filterOn() || boundFilter->matches(RecordView(layout(), codePage(), bytes), filterOptions);
}

RowScan Table::Impl::rowScan() const
{
    return [this](const RowVisitor& visit) {
        std::string bytes;
        const std::uint32_t count = fileCount();
        for (std::uint32_t r = 1; r <= count; ++r) {
            readRow(r, bytes);
            visit(r, bytes);
        }
        for (std::uint32_t r : pendingAppends)
            visit(r, pending.at(r).bytes);
    };
}

RowScan Table::Impl::freshRowScan() const
{
    return [this](const RowVisitor& visit) {
        dbf->refresh(); // records other opens wrote, not this open's cached copies
        rowScan()(visit);
    };
}

std::size_t Table::Impl::slotCount() const
{
    if (activeTag >= 0)
        return index->order(activeTag).size();
    return fileCount() + pendingAppends.size();
}

std::uint32_t Table::Impl::recNoAt(std::size_t s) const
{
    if (activeTag >= 0)
        return index->order(activeTag).recNoAt(s);
    const std::uint32_t count = fileCount();
    return s < count ? static_cast<std::uint32_t>(s + 1) : pendingAppends[s - count];
}

std::size_t Table::Impl::slotOf(std::uint32_t r, std::string_view bytes) const
{
    if (activeTag >= 0) {
        if (!index->includes(activeTag, bytes))
            return slotCount();
        return index->position(activeTag, index->key(activeTag, bytes), r);
    }
    if (r < firstProvisionalRecNo)
        return r - 1;
    const auto it = std::find(pendingAppends.begin(), pendingAppends.end(), r);
    return fileCount() + static_cast<std::size_t>(it - pendingAppends.begin());
}

std::pair<std::size_t, std::size_t> Table::Impl::filterRange() const
{
    const std::pair<std::size_t, std::size_t> all{0, slotCount()};
    if (!filterOn() || activeTag < 0 || indexStale)
        return all;
    const KeyExpression& expression = index->expression(activeTag);
    const int field = expression.leadingField();
    if (field < 0)
        return all;
    const std::optional<QString> prefix = boundFilter->requiredPrefix(field, filterOptions);
    if (!prefix || prefix->isEmpty())
        return all;
    std::optional<std::string> bytes = codePage().encodeExactly(*prefix);
    if (!bytes)
        return all; // a character the code page lacks: the walk finds no row
    // A value longer than the field: the few rows that begin with what fits
    // are tested and fail.
    const auto width = std::min<std::size_t>(layout().field(field).length,
                                             static_cast<std::size_t>(expression.keyLength()));
    if (bytes->size() > width)
        bytes->resize(width);
    return index->tag(activeTag).prefixRange(*bytes);
}

std::uint32_t Table::Impl::countPassing() const
{
    std::uint32_t count = 0;
    const auto [first, last] = filterRange();
    const bool everyRecordOnce = activeTag >= 0 && !index->tag(activeTag).info().unique
        && index->tag(activeTag).info().forExpression.empty();
    if (everyRecordOnce && (first > 0 || last < slotCount())) {
        std::string bytes;
        for (std::size_t s = first; s < last; ++s) {
            readRow(recNoAt(s), bytes);
            if (passes(bytes))
                ++count;
        }
        return count;
    }
    rowScan()([&](std::uint32_t, const std::string& bytes) {
        if (passes(bytes))
            ++count;
    });
    return count;
}

std::optional<std::size_t> Table::Impl::findVisible(std::ptrdiff_t from, int step) const
{
    const auto [first, last] = filterRange();
    const auto begin = static_cast<std::ptrdiff_t>(first);
    const auto end = static_cast<std::ptrdiff_t>(last);
    from = step > 0 ? std::max(from, begin) : std::min(from, end - 1);
    for (std::ptrdiff_t s = from; s >= begin && s < end; s += step) {
        readRow(recNoAt(static_cast<std::size_t>(s)), scratch);
        if (passes(scratch))
            return static_cast<std::size_t>(s);
    }
    return std::nullopt;
}

void Table::Impl::take(std::size_t s)
{
    recNo = recNoAt(s);
    slot = s;
    buffer.swap(scratch);
}

void Table::Impl::setNoRecord()
{
    recNo = 0;
    slot = 0;
    buffer = blank;
    bof = eof = true;
}

void Table::Impl::moveFirst()
{
    if (const auto s = findVisible(0, +1)) {
        take(*s);
        bof = true;
        eof = false;
    } else {
        setNoRecord();
    }
}

void Table::Impl::moveLast()
{
    if (const auto s = findVisible(static_cast<std::ptrdiff_t>(slotCount()) - 1, -1)) {
        take(*s);
        eof = true;
        bof = false;
    } else {
        setNoRecord();
    }
}

void Table::Impl::relocate()
{
    if (recNo == 0)
        return;
    if (!exists(recNo)) {
        moveFirst();
        return;
    }
    std::string stored;
    readRow(recNo, stored);
    slot = slotOf(recNo, stored);
}

void Table::Impl::checkForeignChanges()
{
    if (!exclusive && dbf->refresh())
        reloadAfterForeignChange();
}

void Table::Impl::reloadAfterForeignChange()
{
    if (index)
        index->rebuild(rowScan());
    filteredCount.reset();
    if (recNo != 0 && exists(recNo)) {
        readRow(recNo, buffer);
        relocate();
        if (!passes(buffer))
            moveFirst();
    } else {
        moveFirst();
    }
    ++writes;
    notifyData();
}

// ---------------------------------------------------------------- Table

Table::Table() : d(std::make_unique<Impl>(*this)) {}

Table::~Table()
{
    // A table going away tells no one: its observers may be gone before it.
    d->observers.clear();
    if (!d->dbf)
        return;
    try {
        // Updates held back and never applied cannot be asked about any more.
        if (!d->pending.empty())
            cancelUpdates();
        close();
    } catch (...) {
        d->index.reset();
        d->memo.reset();
        d->dbf.reset();
    }
}

void Table::setTableName(const QString& fileName)
{
    d->requireClosed("der Tabellenname");
    d->tableName = fileName;
    d->createdHere = false;
}

QString Table::tableName() const { return d->tableName; }

void Table::setIndexFiles(const QString& mdxFileName)
{
    d->requireClosed("die Indexdatei");
    d->indexFiles = mdxFileName;
}

QString Table::indexFiles() const { return d->indexFiles; }

void Table::setIndexName(const QString& tagName)
{
    if (d->dbf) {
        int tag = -1;
        if (!tagName.trimmed().isEmpty()) {
            tag = d->index ? d->index->findTag(tagName) : -1;
            if (tag < 0)
                throw DbaseError("Den Index " + quoted(tagName) + " gibt es für die Tabelle "
                                 + d->quotedName() + " nicht.");
            // Read before anything changes: the current row is found in it
            // by its key, and a failure leaves the table as it was.
            d->index->tag(tag);
        }
        d->leaveRecord();
        d->activeTag = tag;
        d->relocate();
        d->notifyData();
    }
    d->indexName = tagName;
}

QString Table::indexName() const { return d->indexName; }

void Table::setReadOnly(bool readOnly)
{
    d->requireClosed("der Schreibschutz");
    d->readOnly = readOnly;
}

bool Table::readOnly() const { return d->readOnly; }

void Table::setExclusive(bool exclusive)
{
    d->requireClosed("der exklusive Zugriff");
    d->exclusive = exclusive;
}

bool Table::exclusive() const { return d->exclusive; }

void Table::open()
{
    if (d->dbf)
        return;
    d->keptIndex.reset(); // the open reads the file and may change it
    if (d->tableName.trimmed().isEmpty())
        throw DbaseError("Es ist keine Tabelle angegeben.");
    const QString wanted = withDefaultSuffix(d->tableName, "dbf");
    const auto path = findFile(wanted);
    if (!path)
        throw DbaseError("Die Tabelle " + quoted(wanted) + " wurde nicht gefunden.");

    // Replacements of these files that a killed process left would pile up
    // in the table's folder: nothing else ever looks at them.
    std::vector<std::filesystem::path> ownFiles{*path, toPath(sibling(*path, ".dbt")),
                                                toPath(sibling(*path, ".mdx"))};
    if (!d->indexFiles.trimmed().isEmpty())
        ownFiles.push_back(toPath(besideTable(*path, d->indexFiles)));
    removeStaleReplacements(ownFiles);

    const OpenMode mode = d->readOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite;
    try {
        d->dbf = DbfFile::open(*path, mode, d->exclusive ? ShareMode::Exclusive : ShareMode::Shared);
        if (!d->filter.isEmpty())
            d->boundFilter = d->filter.bind(d->layout());

        if (d->layout().hasBlobFields()) {
            const QString memoName = sibling(*path, ".dbt");
            const auto memoPath = findFile(memoName);
            if (!memoPath)
                throw DbaseError("Die Memodatei " + quoted(toPath(memoName)) + " zur Tabelle "
                                 + quoted(*path) + " wurde nicht gefunden.");
            d->memo = DbtMemo::open(*memoPath, memoFormatFor(d->dbf->header().version), mode);
            d->dbf->setSyncFirst([impl = d.get()] {
                if (impl->memo)
                    impl->memo->sync();
            });
        }

        d->dbf->setAppendsLost([impl = d.get()](std::uint32_t first) {
            if (!impl->dbf)
                return; // closing: nobody looks at the rows any more
            try {
                impl->forgetRowsFrom(first);
            } catch (const DbaseError&) {
                // The disk that lost the rows refuses the reads of the others
                // too; the cursor shows none until it is moved again.
                impl->setNoRecord();
            }
        });

        if (const auto indexName = indexFileName(*path, d->indexFiles, d->dbf->header().hasProductionMdx)) {
            const std::filesystem::path indexPath = existingIndexFile(*indexName, *path);
            d->index = TableIndex::load(indexPath, d->layout(), d->codePage(),
                                        d->dbf->header().languageDriver, d->fileCount(),
                                        d->rowScan());
            // An index left marked by a killed process or a rolled-back
            // change is made from the rows and written back at once, so
            // that other dBASE programs do not go on reading a stale one.
            if (d->index->markedOnDisk() && !d->dbf->readOnly()) {
                try {
                    writeIndex(*d->dbf, *d->index, d->rowScan());
                } catch (const DbaseError&) {
                    // It keeps its mark and is written at close, or rebuilt at the next open.
                }
            }
        }

        d->activeTag = -1;
        if (!d->indexName.trimmed().isEmpty()) {
            d->activeTag = d->index ? d->index->findTag(d->indexName) : -1;
            if (d->activeTag < 0)
                throw DbaseError("Den Index " + quoted(d->indexName) + " gibt es für die Tabelle "
                                 + quoted(*path) + " nicht.");
            d->index->order(d->activeTag); // the rows' order, read while a failure still closes all
        }
    } catch (...) {
        d->boundFilter.reset();
        d->index.reset();
        d->memo.reset();
        d->dbf.reset();
        throw;
    }

    d->blank = d->dbf->blankRecord();
    d->pending.clear();
    d->pendingAppends.clear();
    d->nextProvisional = firstProvisionalRecNo;
    d->filteredCount.reset();
    d->memos.clear();
    d->modified = false;
    d->state = TableState::Browse;
    d->moveFirst();
    if (std::exchange(d->createdHere, false) && !d->dbf->readOnly()) {
        d->dbf->beginBulk();
        d->autoBulk = true;
    }
    d->notify([&](TableObserver& o) { o.opened(*this); });
}

void Table::close()
{
    if (!d->dbf)
        return;
    d->leaveRecord();
    if (!d->pending.empty())
        throw DbaseError("Die Tabelle " + d->quotedName()
                         + " hat zurückgehaltene Änderungen, die weder übernommen noch verworfen"
                           " sind; sie wird nicht geschlossen.");
    std::exception_ptr failure;
    try {
        d->autoBulk = false;
        while (d->dbf->inBulk())
            d->dbf->endBulk();
        d->finishDeferredIndex();
        if (d->index && d->index->changed() && !d->dbf->readOnly())
            writeIndex(*d->dbf, *d->index, d->freshRowScan());
    } catch (...) {
        // The index file keeps its dirty mark and is rebuilt at the next open.
        failure = std::current_exception();
    }
    d->boundFilter.reset();
    d->index.reset();
    d->memo.reset();
    d->dbf.reset();
    d->activeTag = -1;
    d->recNo = 0;
    d->bof = d->eof = true;
    d->state = TableState::Inactive;
    d->notify([&](TableObserver& o) { o.closed(*this); });
    if (failure)
        std::rethrow_exception(failure);
}

bool Table::active() const { return d->dbf != nullptr; }

const TableLayout& Table::layout() const
{
    d->requireOpen(); // setting fields asks for it: the filling of a fresh table goes on
    return d->layout();
}

int Table::fieldCount() const { return layout().fieldCount(); }

Field Table::field(int index)
{
    if (index < 0 || index >= fieldCount())
        throw DbaseError("Die Tabelle " + d->quotedName() + " hat kein Feld Nummer "
                         + std::to_string(index) + ".");
    return Field(*this, index);
}

Field Table::fieldByName(const std::string& name)
{
    const int index = layout().indexOf(name);
    if (index < 0)
        throw DbaseError("Das Feld \"" + name + "\" gibt es in der Tabelle " + d->quotedName()
                         + " nicht.");
    return Field(*this, index);
}

std::vector<IndexDef> Table::indexDefs() const
{
    d->requireActive();
    return d->index ? d->index->defs() : std::vector<IndexDef>{};
}

std::uint8_t Table::languageDriver() const
{
    d->requireActive();
    return d->dbf->header().languageDriver;
}

const CodePage& Table::codePage() const
{
    d->requireActive();
    return d->codePage();
}

void Table::createTable(const TableLayout& layout, std::uint8_t languageDriver, const std::vector<IndexDef>& tags)
{
    d->requireClosed("die Tabellenstruktur");
    d->keptIndex.reset();
    if (d->tableName.trimmed().isEmpty())
        throw DbaseError("Es ist keine Tabelle angegeben.");
    const std::filesystem::path path =
        toPath(files::resolveForWrite(withDefaultSuffix(d->tableName, "dbf")));

    // The marks of another table's index tags do not belong to the new one.
    std::vector<FieldDef> fields = layout.fields();
    for (FieldDef& f : fields)
        f.mdxTag = false;
    const TableLayout clean(std::move(fields));

    // The index of an empty table: its tags need no rows and the table no
    // sync before it is written, as its bytes are not on the disk yet.
    std::function<void()> writeIndex;
    if (!tags.empty()) {
        writeIndex = [&] {
            const std::filesystem::path indexPath = toPath(files::resolveForWrite(sibling(path, ".mdx")));
            TableIndex index = TableIndex::create(indexPath, clean, CodePage::forLanguageDriver(languageDriver),
                                                  languageDriver);
            const RowScan noRows = [](const RowVisitor&) {};
            for (const IndexDef& tag : tags)
                index.addTag(tag, noRows);
            index.write(path.stem().string(), noRows);
        };
    }
    auto dbf = DbfFile::create(path, clean, languageDriver, 0x03, writeIndex);
    if (const auto oldIndex = findFile(sibling(path, ".mdx")); oldIndex && tags.empty()) {
        std::error_code error;
        if (!std::filesystem::remove(*oldIndex, error))
            throw DbaseError("Die alte Indexdatei " + quoted(*oldIndex)
                             + " konnte nicht gelöscht werden: " + systemErrorText(error.value()));
    }
    if (const auto oldMemo = findFile(sibling(path, ".dbt")); oldMemo && !clean.hasBlobFields()) {
        std::error_code error;
        std::filesystem::remove(*oldMemo, error); // an orphan does no harm; best effort
    }
    if (clean.hasBlobFields())
        DbtMemo::create(toPath(files::resolveForWrite(sibling(path, ".dbt"))),
                        memoFormatFor(dbf->header().version));
    d->createdHere = tags.empty();
}

void Table::checkIndexFile() const
{
    const auto path = findFile(withDefaultSuffix(d->tableName, "dbf"));
    if (!path)
        return;
    bool hasProductionMdx = false;
    if (d->dbf) {
        hasProductionMdx = d->dbf->header().hasProductionMdx;
    } else if (d->indexFiles.trimmed().isEmpty()) {
        try {
            hasProductionMdx = DbfFile::open(*path, OpenMode::ReadOnly, ShareMode::Shared)->header().hasProductionMdx;
        } catch (const DbaseError&) {
            return;
        }
    }
    if (const auto indexName = indexFileName(*path, d->indexFiles, hasProductionMdx))
        MdxFile::readTagInfos(existingIndexFile(*indexName, *path));
}

void Table::rebuildIndexFile(const std::vector<IndexDef>& tags)
{
    d->requireClosed("die Indexdatei");
    d->keptIndex.reset();
    const QString wanted = withDefaultSuffix(d->tableName, "dbf");
    const auto path = findFile(wanted);
    if (!path)
        throw DbaseError("Die Tabelle " + quoted(wanted) + " wurde nicht gefunden.");
    // Exclusive, so that no one changes rows while their keys are gathered.
    const auto dbf = DbfFile::open(*path, OpenMode::ReadOnly, ShareMode::Exclusive);
    const QString indexName = *indexFileName(*path, d->indexFiles, true);
    const auto existing = findFile(indexName);
    const std::filesystem::path indexPath =
        existing ? *existing : toPath(files::resolveForWrite(newIndexName(*path, indexName)));
    TableIndex index =
        TableIndex::create(indexPath, dbf->layout(), dbf->codePage(), dbf->header().languageDriver);
    const RowScan scan = scanFile(*dbf);
    for (const IndexDef& tag : tags)
        index.addTag(tag, scan);
    index.write(path->stem().string(), scan);
}

void Table::addIndex(const IndexDef& def)
{
    if (d->dbf) {
        d->requireWritable();
        d->leaveRecord();
        if (!d->pending.empty())
            throw DbaseError("Die Tabelle " + d->quotedName()
                             + " hat zurückgehaltene Änderungen; ein Index kann erst danach"
                               " angelegt werden.");
        d->finishDeferredIndex();
        addTag(*d->dbf, d->layout(), d->index, def, d->freshRowScan(), false);
        d->relocate(); // the write may have made the tags anew from others' rows
        return;
    }
    d->createdHere = false; // tags first: the table is not being filled
    const QString wanted = withDefaultSuffix(d->tableName, "dbf");
    const auto path = findFile(wanted);
    if (!path)
        throw DbaseError("Die Tabelle " + quoted(wanted) + " wurde nicht gefunden.");
    auto dbf = DbfFile::open(*path, OpenMode::ReadWrite,
                             d->exclusive ? ShareMode::Exclusive : ShareMode::Shared);
    const RowScan scan = scanFile(*dbf);
    const auto indexPath = findFile(sibling(*path, ".mdx"));
    std::optional<Impl::KeptIndex> kept = std::exchange(d->keptIndex, std::nullopt);
    std::error_code error;
    const bool keptIsCurrent = kept && kept->index && indexPath
        && std::filesystem::equivalent(kept->index->path(), *indexPath, error)
        && !kept->index->changedOnDisk() && kept->recordCount == dbf->recordCount()
        && sameLayout(*kept->layout, dbf->layout());
    if (!keptIsCurrent) {
        // Assigned rather than emplace()d: clang settles whether the nested
        // struct is default-constructible while Impl is still incomplete.
        kept = Impl::KeptIndex{};
        kept->layout = std::make_unique<TableLayout>(dbf->layout());
        if (indexPath)
            kept->index = TableIndex::load(*indexPath, *kept->layout, dbf->codePage(),
                                           dbf->header().languageDriver, dbf->recordCount(), scan);
    }
    addTag(*dbf, *kept->layout, kept->index, def, scan, true);
    kept->recordCount = dbf->recordCount();
    d->keptIndex = std::move(kept);
}

// ---------------------------------------------------------------- cursor

void Table::first()
{
    d->requireActive();
    d->leaveRecord();
    d->checkForeignChanges();
    d->moveFirst();
    d->freshen(false);
    d->notifyMoved();
}

void Table::last()
{
    d->requireActive();
    d->leaveRecord();
    d->checkForeignChanges();
    d->moveLast();
    d->freshen(false);
    d->notifyMoved();
}

void Table::next() { moveBy(1); }

void Table::prior() { moveBy(-1); }

int Table::moveBy(int distance)
{
    d->requireActive();
    d->leaveRecord();
    if (d->recNo == 0) {
        d->bof = d->eof = true;
        return 0;
    }
    const bool changedBefore = d->state == TableState::Browse && d->foreignWrites(0);
    const int step = distance > 0 ? 1 : -1;
    int moved = 0;
    while (moved != distance) {
        const auto s = d->findVisible(static_cast<std::ptrdiff_t>(d->slot) + step, step);
        if (!s) {
            (step > 0 ? d->eof : d->bof) = true;
            break;
        }
        d->take(*s);
        (step > 0 ? d->bof : d->eof) = false;
        moved += step;
    }
    // The rows after this one are likely read next: one fetch on its way
    // per row keeps a few in flight, as a walk in index order does little
    // else per row than wait for memory.
    constexpr std::ptrdiff_t prefetchDistance = 8;
    if (const auto ahead = static_cast<std::ptrdiff_t>(d->slot) + prefetchDistance * step;
        ahead >= 0 && static_cast<std::size_t>(ahead) < d->slotCount())
        d->dbf->prefetch(d->recNoAt(static_cast<std::size_t>(ahead)));
    if (moved != 0)
        d->freshen(changedBefore);
    else if (changedBefore)
        d->notifyData();
    if (moved != 0)
        d->notifyMoved();
    return moved;
}

bool Table::eof() const { return d->state == TableState::Insert ? false : d->eof; }

bool Table::bof() const { return d->state == TableState::Insert ? false : d->bof; }

bool Table::isEmpty() const { return d->state != TableState::Insert && d->recNo == 0; }

std::uint32_t Table::recNo() const { return d->state == TableState::Insert ? 0 : d->recNo; }

std::uint32_t Table::recordCount() const
{
    d->requireActive();
    if (!d->filterOn())
        return d->fileCount() + static_cast<std::uint32_t>(d->pendingAppends.size());
    if (!d->filteredCount)
        d->filteredCount = d->countPassing();
    return *d->filteredCount;
}

std::uint32_t Table::visibleCount() const
{
    d->requireActive();
    if (!d->filteredCount)
        d->filteredCount = d->countPassing();
    return *d->filteredCount;
}

Bookmark Table::bookmark() const { return Bookmark{recNo()}; }

void Table::gotoBookmark(const Bookmark& bookmark)
{
    if (!gotoRecNo(bookmark.recNo))
        throw DbaseError("Der gemerkte Datensatz " + std::to_string(bookmark.recNo)
                         + " der Tabelle " + d->quotedName() + " ist nicht mehr vorhanden.");
}

bool Table::bookmarkValid(const Bookmark& bookmark) const
{
    if (!d->dbf || !d->exists(bookmark.recNo))
        return false;
    std::string bytes;
    d->readRow(bookmark.recNo, bytes);
    return d->passes(bytes);
}

bool Table::gotoRecNo(std::uint32_t recNo)
{
    d->requireActive();
    d->leaveRecord();
    // Looked at before the record is read, so that a record another user
    // deleted is not visible any more.
    const bool changedBefore = d->state == TableState::Browse && d->foreignWrites(recNo);
    if (changedBefore)
        d->notifyData();
    if (!d->exists(recNo))
        return false;
    d->readRow(recNo, d->scratch);
    if (!d->passes(d->scratch))
        return false;
    const std::size_t s = d->slotOf(recNo, d->scratch);
    if (s >= d->slotCount())
        return false;
    d->take(s);
    d->bof = d->eof = false;
    d->notifyMoved();
    return true;
}

// ---------------------------------------------------------------- filters

void Table::setFilter(const Filter& filter)
{
    std::optional<Filter::Bound> bound;
    if (d->dbf && !filter.isEmpty())
        bound = filter.bind(d->layout());
    if (d->dbf)
        d->leaveRecord();
    d->filter = filter;
    d->boundFilter = std::move(bound);
    d->filteredCount.reset();
    if (d->dbf && d->filtered) {
        d->moveFirst();
        d->notifyData();
        d->notifyMoved();
    }
}

void Table::setFilterText(const QString& text)
{
    setFilter(text.trimmed().isEmpty() ? Filter() : Filter::parse(text));
}

QString Table::filterText() const { return d->filter.text(); }

const Filter& Table::filter() const { return d->filter; }

void Table::setFiltered(bool filtered)
{
    if (filtered == d->filtered)
        return;
    if (d->dbf)
        d->leaveRecord();
    d->filtered = filtered;
    d->filteredCount.reset();
    if (d->dbf) {
        d->moveFirst();
        d->notifyData();
        d->notifyMoved();
    }
}

bool Table::filtered() const { return d->filtered; }

void Table::setFilterOptions(FilterOptions options)
{
    if (options == d->filterOptions)
        return;
    if (d->dbf)
        d->leaveRecord();
    d->filterOptions = options;
    d->filteredCount.reset();
    if (d->dbf && d->filterOn()) {
        d->moveFirst();
        d->notifyData();
        d->notifyMoved();
    }
}

FilterOptions Table::filterOptions() const { return d->filterOptions; }

// ---------------------------------------------------------------- refresh, flush, observers

void Table::refresh()
{
    d->requireActive();
    d->leaveRecord();
    d->dbf->refresh();
    d->reloadAfterForeignChange();
    d->notifyMoved();
}

void Table::refreshRecord()
{
    d->requireActive();
    if (d->state != TableState::Browse || d->recNo == 0 || d->recNo >= firstProvisionalRecNo
        || d->pending.count(d->recNo) != 0)
        return;
    std::string stored;
    d->dbf->readStoredRecord(d->recNo, stored);
    if (stored[0] == '*')
        throw RecordDeletedError();
    if (stored == d->buffer)
        return;
    d->buffer = std::move(stored);
    d->filteredCount.reset();
    ++d->writes;
    d->notifyMoved();
}

void Table::beginBulk()
{
    d->requireActive();
    d->dbf->beginBulk();
}

void Table::endBulk()
{
    d->requireActive();
    d->dbf->endBulk();
}

Bulk::Bulk(std::initializer_list<Table*> tables)
{
    try {
        for (Table* table : tables) {
            table->beginBulk();
            m_tables.push_back(table);
        }
    } catch (...) {
        endQuietly();
        throw;
    }
}

Bulk::~Bulk()
{
    endQuietly();
}

void Bulk::endQuietly() noexcept
{
    if (m_ended)
        return;
    m_ended = true;
    for (Table* table : m_tables) {
        try {
            table->endBulk();
        } catch (...) {
            // Left by an error, which is the one to tell.
        }
    }
}

void Bulk::end()
{
    if (m_ended)
        return;
    m_ended = true;
    std::exception_ptr first;
    for (Table* table : m_tables) {
        try {
            table->endBulk();
        } catch (...) {
            if (!first)
                first = std::current_exception();
        }
    }
    if (first)
        std::rethrow_exception(first);
}

void Table::flush()
{
    d->requireActive();
    d->leaveRecord();
    d->dbf->flush(); // the posts so far become safe; a bulk goes on
    d->finishDeferredIndex();
    if (d->index && d->index->changed() && d->pending.empty() && !d->dbf->readOnly()) {
        writeIndex(*d->dbf, *d->index, d->freshRowScan());
        d->filteredCount.reset();
        d->relocate(); // the write may have made the tags anew from others' rows
    }
}

void Table::addObserver(TableObserver* observer)
{
    if (observer && std::find(d->observers.begin(), d->observers.end(), observer) == d->observers.end())
        d->observers.push_back(observer);
}

void Table::removeObserver(TableObserver* observer)
{
    std::erase(d->observers, observer);
}

Table::Impl::Shown Table::Impl::shown() const
{
    return {dbf != nullptr, tableName, indexFiles, indexName, filter.text(), filtered, filterOptions,
            recNo, state, dbf ? buffer : std::string(), writes};
}

void Table::holdNotifications()
{
    if (d->holds++ == 0)
        d->shownWhenHeld = d->shown();
}

void Table::releaseNotifications()
{
    if (d->holds == 0 || --d->holds > 0 || !std::exchange(d->missed, false))
        return;
    // What the observers show is still right; told, controls that format
    // what they show (a formula's subscripts) would lose it.
    if (d->shown() == d->shownWhenHeld)
        return;
    if (!active()) {
        d->notify([&](TableObserver& o) { o.closed(*this); });
        return;
    }
    d->notify([&](TableObserver& o) { o.opened(*this); });
    d->notifyData();
    d->notifyMoved();
}

NotificationHold::NotificationHold(Table& table) : m_table(table)
{
    m_table.holdNotifications();
}

NotificationHold::~NotificationHold()
{
    m_table.releaseNotifications();
}

RecordView Table::currentRecord() const
{
    d->requireActive();
    return RecordView(d->layout(), d->codePage(), d->buffer);
}

} // namespace dbase
