#include <algorithm>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/TableImpl.h"

namespace dbase {

namespace {

std::string upperAscii(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
    return s;
}

std::string fileName(const std::filesystem::path& path)
{
    return path.filename().string();
}

} // namespace

namespace {

// Tags whose pages in the index file take no more than this are read with
// their keys at once (the file counts in pages of mdxPageSize bytes).
constexpr std::uint64_t mdxPageSize = 512;
constexpr std::uint64_t keysAlwaysBelow = 4 * 1024 * 1024;

// Whether every entry of a tag read from a file names a record of the table
// and no record twice. A damaged tree can hold the right number of entries
// and still name one record twice and another never: walking it would show
// a row twice and hide one, and writing to it would keep the fault.
bool namesRecordsOnce(const IndexTag& tag, std::uint32_t recordCount)
{
    std::vector<bool> seen(std::size_t(recordCount) + 1);
    for (std::size_t p = 0; p < tag.size(); ++p) {
        const std::uint32_t r = tag.recNoAt(p);
        if (r == 0 || r > recordCount || seen[r])
            return false;
        seen[r] = true;
    }
    return true;
}

} // namespace

TableIndex::TableIndex(std::filesystem::path path, const TableLayout& layout,
                       const CodePage& codePage, std::uint8_t languageDriver)
    : m_path(std::move(path))
    , m_layout(&layout)
    , m_codePage(&codePage)
    , m_languageDriver(languageDriver)
{
}

TableIndex TableIndex::create(const std::filesystem::path& path, const TableLayout& layout,
                              const CodePage& codePage, std::uint8_t languageDriver)
{
    TableIndex index(path, layout, codePage, languageDriver);
    index.m_changed = true;
    // Nothing here came from a file already there (one being replaced):
    // writing over it needs no rebuild from the rows first.
    index.noteFileState();
    return index;
}

TableIndex TableIndex::load(const std::filesystem::path& path, const TableLayout& layout,
                            const CodePage& codePage, std::uint8_t languageDriver,
                            std::uint32_t recordCount, RowScan scan)
{
    TableIndex index(path, layout, codePage, languageDriver);
    index.m_scan = std::move(scan);
    index.m_recordCount = recordCount;
    const Collation& collation = Collation::forLanguageDriver(languageDriver);
    const bool stale = MdxFile::isMarkedDirty(path);
    for (StoredTag& stored : MdxFile::readStoredTags(path)) {
        TagState state = index.compileTag(stored.info);
        const int length = state.expression.keyLength();
        const char type = state.expression.keyType();
        const bool shapeDiffers =
            type != stored.info.keyType || (type == 'C' && length != stored.info.keyLength);
        TagInfo info = stored.info;
        if (shapeDiffers) {
            // The stored key shape is not what the expression gives here:
            // trusting the entries would misorder; the tag is made anew.
            info.keyType = type;
            info.keyLength = static_cast<std::uint16_t>(type == 'C' ? length : 0);
        } else if (!stale) {
            state.stored = std::move(stored);
        }
        index.m_changed = index.m_changed || !state.stored;
        index.m_mdx.tags().emplace_back(std::move(info), collation);
        index.m_tags.push_back(std::move(state));
    }
    index.m_markedOnDisk = stale;
    index.noteFileState();
    return index;
}

IndexTag& TableIndex::loaded(int i, bool withKeys) const
{
    TagState& state = m_tags[static_cast<std::size_t>(i)];
    IndexTag& t = m_mdx.tags()[static_cast<std::size_t>(i)];
    if (state.loaded && (!withKeys || t.hasKeys()))
        return t;
    // The file holds what this open saw at its start only while nobody
    // else wrote it since; otherwise, and when the tree is damaged or its
    // entries do not match the table, the rows tell.
    bool fromFile = state.stored && !m_writtenElsewhere && !changedOnDisk();
    if (fromFile) {
        try {
            const auto owner = static_cast<std::uint8_t>(i + 1);
            // A small tag comes with its keys even when only walked: a
            // search or lookup that follows would read it once more. A
            // tag stored in another order than ours comes with its keys,
            // which ordering it needs.
            const bool small = std::uint64_t{state.stored->pages} * mdxPageSize <= keysAlwaysBelow;
            if (!MdxFile::readEntries(m_path, *state.stored, t, m_owners, owner, withKeys || small))
                MdxFile::readEntries(m_path, *state.stored, t, m_owners, owner, true);
            const bool holdsEveryRecord = !t.info().unique && t.info().forExpression.empty();
            fromFile = namesRecordsOnce(t, m_recordCount)
                       && (!holdsEveryRecord || t.size() == m_recordCount);
        } catch (const DbaseError&) {
            fromFile = false;
        }
    }
    if (!fromFile)
        rebuildTag(i, m_scan);
    if (t.hasKeys())
        state.stored.reset();
    state.loaded = true;
    return t;
}

void TableIndex::loadAll() const
{
    for (int i = 0; i < tagCount(); ++i)
        loaded(i, true);
}

TableIndex::TagState TableIndex::compileTag(const TagInfo& info) const
{
    TagState state{KeyExpression::compile(info.expression, *m_layout, info.name), nullptr, std::nullopt, false};
    if (!info.forExpression.empty()) {
        try {
            state.forCondition = std::make_shared<Filter::Bound>(
                Filter::parse(QString::fromStdString(info.forExpression)).bind(*m_layout));
        } catch (const DbaseError& e) {
            throw DbaseError("Die Bedingung \"" + info.forExpression + "\" des Index \"" + info.name
                             + "\" in " + fileName(m_path)
                             + " kann nicht ausgewertet werden: " + e.what());
        }
    }
    return state;
}

int TableIndex::findTag(const QString& name) const
{
    const std::string wanted = upperAscii(name.trimmed().toStdString());
    for (int i = 0; i < tagCount(); ++i)
        if (upperAscii(info(i).name) == wanted)
            return i;
    return -1;
}

std::vector<IndexDef> TableIndex::defs() const
{
    std::vector<IndexDef> result;
    for (const IndexTag& t : m_mdx.tags()) {
        const TagInfo& info = t.info();
        result.push_back({info.name, info.expression, !info.isFieldTag(), info.unique,
                          info.descending});
    }
    return result;
}

std::string TableIndex::key(int i, std::string_view recordBytes) const
{
    return expression(i).evaluate(RecordView(*m_layout, *m_codePage, recordBytes));
}

bool TableIndex::includes(int i, std::string_view recordBytes) const
{
    const auto& condition = m_tags[static_cast<std::size_t>(i)].forCondition;
    return !condition
        || condition->matches(RecordView(*m_layout, *m_codePage, recordBytes), FilterOptions{});
}

void TableIndex::update(std::uint32_t recNo, std::string_view oldBytes, std::string_view newBytes,
                        const RowScan& scan)
{
    for (int i = 0; i < tagCount(); ++i) {
        IndexTag& t = tag(i); // read now if not yet: the file is as before the change
        const bool inOld = !oldBytes.empty() && includes(i, oldBytes);
        const bool inNew = !newBytes.empty() && includes(i, newBytes);
        const std::string oldKey = inOld ? key(i, oldBytes) : std::string();
        const std::string newKey = inNew ? key(i, newBytes) : std::string();
        if (inOld && inNew && oldKey == newKey)
            continue;
        m_changed = true;
        bool removed = false;
        if (inOld) {
            removed = t.remove(oldKey, recNo);
            if (!removed) {
                // Another program stored a key we compute differently (a
                // float it rounded otherwise): the entry goes all the same.
                const std::size_t p = position(i, oldKey, recNo);
                if (p < t.size())
                    removed = t.remove(std::string(t.keyAt(p)), recNo);
            }
        }
        if (t.info().unique && removed) {
            // Another record with the old key may now be the one the tag
            // shows; only a pass over the rows can tell which.
            rebuildTag(i, scan);
            continue;
        }
        if (inNew)
            t.insert(newKey, recNo);
    }
}

void TableIndex::dropRecords(std::uint32_t first, std::uint32_t last, const RowScan& scan)
{
    for (int i = 0; i < tagCount(); ++i) {
        // A tag not read yet is read from the file, which never held them.
        if (!m_tags[static_cast<std::size_t>(i)].loaded)
            continue;
        IndexTag& t = m_mdx.tags()[static_cast<std::size_t>(i)];
        if (t.removeRecords(first, last) == 0)
            continue;
        m_changed = true;
        if (t.info().unique)
            rebuildTag(i, scan);
    }
}

std::size_t TableIndex::position(int i, std::string_view key, std::uint32_t recNo) const
{
    // A tag read for its order alone is searched by its record numbers: a
    // pass over them costs less than reading its keys from the file.
    const IndexTag& t = order(i);
    if (t.hasKeys()) {
        const std::size_t p = t.find(key, recNo);
        if (p < t.size())
            return p;
    }
    for (std::size_t q = 0; q < t.size(); ++q)
        if (t.recNoAt(q) == recNo)
            return q;
    return t.size();
}

void TableIndex::rebuildTag(int i, const RowScan& scan) const
{
    if (!scan)
        throw DbaseError("Der Index \"" + info(i).name + "\" in " + fileName(m_path)
                         + " kann nicht aus der Tabelle aufgebaut werden.");
    IndexTag& t = m_mdx.tags()[static_cast<std::size_t>(i)];
    std::string keys;
    std::vector<std::uint32_t> recNos;
    scan([&](std::uint32_t recNo, const std::string& bytes) {
        if (includes(i, bytes)) {
            // The expression gives keys of the tag's length (load() and
            // addTag() see to it); assign() checks.
            expression(i).appendKey(RecordView(*m_layout, *m_codePage, bytes), keys);
            recNos.push_back(recNo);
        }
    });
    t.assign(std::move(keys), std::move(recNos)); // a unique tag keeps the lowest record of a key
    TagState& state = m_tags[static_cast<std::size_t>(i)];
    state.stored.reset();
    state.loaded = true;
    m_changed = true;
}

void TableIndex::rebuild(const RowScan& scan)
{
    for (int i = 0; i < tagCount(); ++i)
        rebuildTag(i, scan);
}

void TableIndex::addTag(const IndexDef& def, const RowScan& scan)
{
    TagInfo info;
    info.name = upperAscii(def.name);
    info.expression = def.isExpression ? def.expression : upperAscii(def.expression);
    info.unique = def.unique;
    info.descending = def.descending;
    if (findTag(QString::fromStdString(info.name)) >= 0)
        throw DbaseError("Der Index \"" + info.name + "\" ist in " + fileName(m_path)
                         + " schon vorhanden.");
    if (!def.isExpression && m_layout->indexOf(info.expression) < 0)
        throw DbaseError("Index \"" + info.name + "\": das Feld \"" + info.expression
                         + "\" gibt es nicht.");
    TagState state = compileTag(info);
    info.keyType = state.expression.keyType();
    info.keyLength = static_cast<std::uint16_t>(info.keyType == 'C' ? state.expression.keyLength() : 0);
    m_mdx.tags().emplace_back(std::move(info), Collation::forLanguageDriver(m_languageDriver));
    m_tags.push_back(std::move(state));
    rebuildTag(tagCount() - 1, scan);
}

void TableIndex::beforeFileChange()
{
    if (m_markedOnDisk || !std::filesystem::exists(m_path))
        return;
    m_writtenElsewhere = m_writtenElsewhere || changedOnDisk();
    MdxFile::markDirty(m_path);
    m_markedOnDisk = true;
    noteFileState();
}

bool TableIndex::changedOnDisk() const
{
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(m_path, error);
    if (error)
        return m_stamp.has_value();
    // Two writes within one tick of the file system's clock share a stamp;
    // a changed size still tells them apart.
    const auto size = std::filesystem::file_size(m_path, error);
    return stamp != m_stamp || error || size != m_fileSize;
}

void TableIndex::noteFileState()
{
    std::error_code error;
    const auto stamp = std::filesystem::last_write_time(m_path, error);
    m_stamp = error ? std::nullopt : std::optional(stamp);
    const auto size = std::filesystem::file_size(m_path, error);
    m_fileSize = error ? 0 : size;
}

void TableIndex::write(const std::string& tableBaseName, const RowScan& scan)
{
    if (m_writtenElsewhere || changedOnDisk())
        rebuild(scan);
    loadAll();
    m_scan = {}; // every tag is read now; the rows' source may go
    m_mdx.write(m_path, tableBaseName, m_languageDriver);
    m_changed = false;
    m_markedOnDisk = false;
    m_writtenElsewhere = false;
    noteFileState();
}

} // namespace dbase
