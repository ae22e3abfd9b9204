// Keyed lookups of a table on its active tag: the key prefix made of field
// values, or of another record's fields, and the search for the first
// visible row that carries it; and the search for the first row that passes
// a condition, through the key range of a tag the condition fixes.
#include <algorithm>

#include "dbase/TableImpl.h"

namespace dbase {

const KeyExpression& Table::Impl::startLookup(std::size_t valueCount)
{
    if (activeTag < 0)
        throw DbaseError("Für die Suche in der Tabelle " + quotedName() + " ist kein Index aktiv.");
    const KeyExpression& expression = index->expression(activeTag);
    const std::string& tagName = index->info(activeTag).name;
    if (expression.keyFields().empty())
        throw DbaseError("Der Index \"" + tagName + "\" der Tabelle " + quotedName()
                         + " erlaubt keine Suche nach Feldwerten.");
    if (valueCount > expression.keyFields().size())
        throw DbaseError("Für den Index \"" + tagName + "\" wurden mehr Suchwerte als Schlüsselfelder"
                         " angegeben.");
    lookupBytes.clear();
    return expression;
}

// The key prefix that a keyed lookup with these values looks for: the tag's
// key fields, each padded to its width, as the expression joins them, cut
// after the fields given.
std::string_view Table::Impl::lookupKey(const QStringList& values)
{
    const KeyExpression& expression = startLookup(static_cast<std::size_t>(values.size()));
    for (qsizetype i = 0; i < values.size(); ++i) {
        const FieldDef& field = layout().field(expression.keyFields()[static_cast<std::size_t>(i)]);
        lookupBytes += encodeFieldText(field, codePage(), values[i]);
    }
    lookupBytes.resize(std::min(lookupBytes.size(), static_cast<std::size_t>(expression.keyLength())));
    return lookupBytes;
}

std::string_view Table::Impl::lookupKey(const RecordView& record, std::initializer_list<int> fields)
{
    const KeyExpression& expression = startLookup(fields.size());
    const bool sameCodePage = record.codePage().number() == codePage().number();
    std::size_t i = 0;
    for (const int from : fields) {
        if (from < 0 || from >= record.layout().fieldCount())
            throw DbaseError("Für die Suche in der Tabelle " + quotedName() + " fehlt das Feld Nr. "
                             + std::to_string(from) + " des Suchsatzes.");
        const FieldDef& field = layout().field(expression.keyFields()[i++]);
        const FieldDef& source = record.layout().field(from);
        if (sameCodePage && field.type == FieldType::Character && source.type == FieldType::Character) {
            // As the text would give it: trailing blanks make no difference
            // once the value is padded to the field's width.
            const std::string_view bytes = record.raw(from);
            const std::size_t used = std::min<std::size_t>(bytes.size(), field.length);
            lookupBytes.append(bytes.substr(0, used));
            lookupBytes.append(field.length - used, ' ');
        } else {
            lookupBytes += encodeFieldText(field, codePage(), record.text(from));
        }
    }
    lookupBytes.resize(std::min(lookupBytes.size(), static_cast<std::size_t>(expression.keyLength())));
    return lookupBytes;
}

bool Table::Impl::findPrefix(std::string_view key)
{
    const bool changedBefore = state == TableState::Browse && foreignWrites(0);
    const IndexTag& tag = index->tag(activeTag);
    const auto [first, last] = tag.prefixRange(key);
    for (std::size_t p = first; p < last; ++p) {
        readRow(tag.recNoAt(p), scratch);
        if (passes(scratch)) {
            take(p);
            bof = eof = false;
            freshen(changedBefore);
            notifyMoved();
            return true;
        }
    }
    if (changedBefore)
        notifyData();
    return false;
}

bool Table::findKey(const QStringList& values)
{
    d->requireActive();
    d->leaveRecord();
    return d->findPrefix(d->lookupKey(values));
}

bool Table::findKey(const RecordView& record, std::initializer_list<int> fields)
{
    d->requireActive();
    d->leaveRecord();
    return d->findPrefix(d->lookupKey(record, fields));
}

void Table::findNearest(const QStringList& values)
{
    d->requireActive();
    d->leaveRecord();
    const bool changedBefore = d->state == TableState::Browse && d->foreignWrites(0);
    const std::size_t p = d->index->tag(d->activeTag).lowerBound(d->lookupKey(values));
    if (const auto s = d->findVisible(static_cast<std::ptrdiff_t>(p), +1)) {
        d->take(*s);
        d->bof = d->eof = false;
    } else {
        d->moveLast();
    }
    d->freshen(changedBefore);
    d->notifyMoved();
}

namespace {

using Range = std::pair<std::size_t, std::size_t>;

// The code page's bytes that a filter ignoring case takes for `unit`.
std::vector<char> caseVariants(const CodePage& codePage, char16_t unit)
{
    std::vector<char> bytes;
    const char16_t folded = foldCase(unit);
    for (int b = 1; b < 256; ++b)
        if (foldCase(codePage.toUnicode(static_cast<unsigned char>(b))) == folded)
            bytes.push_back(static_cast<char>(b));
    return bytes;
}

} // namespace

// From the tag's keys when it holds them; a character tag read for its
// order alone is searched by the keys of the rows its binary search visits,
// a few dozen rows, rather than by reading all of its keys.
Range Table::Impl::prefixRangeOf(int tag, std::string_view prefix) const
{
    const IndexTag& entries = index->order(tag);
    if (entries.hasKeys() || entries.info().keyType != 'C' || entries.info().descending)
        return index->tag(tag).prefixRange(prefix);
    std::string bytes;
    const auto compareAt = [&](std::size_t p) {
        readRow(entries.recNoAt(p), bytes);
        const std::string key = index->key(tag, bytes);
        return entries.compareKeys(std::string_view(key).substr(0, prefix.size()), prefix);
    };
    const auto bound = [&](std::size_t from, bool past) {
        std::size_t to = entries.size();
        while (from < to) {
            const std::size_t mid = from + (to - from) / 2;
            const int c = compareAt(mid);
            if (c < 0 || (past && c == 0))
                from = mid + 1;
            else
                to = mid;
        }
        return from;
    };
    const std::size_t first = bound(0, false);
    return {first, bound(first, true)};
}

// The condition must fix a text of the tag's leading field, and the tag must
// hold every record (neither unique nor with a FOR condition, not behind the
// rows or held-back changes). Without case, the entries of every spelling of
// the text are gathered, narrowed a character at a time: a spelling no key
// begins with ends its branch at once.
std::optional<std::vector<Range>> Table::Impl::conditionRanges(const Filter::Bound& condition,
                                                               FilterOptions options, const QString& tagName,
                                                               int& tag) const
{
    tag = index ? index->findTag(tagName) : -1;
    if (tag < 0 || indexStale || cachedUpdates || !pending.empty() || !pendingAppends.empty())
        return std::nullopt;
    const TagInfo& info = index->info(tag);
    const int field = index->expression(tag).leadingField();
    if (field < 0 || info.unique || !info.forExpression.empty())
        return std::nullopt;
    const bool anyCase = options.caseInsensitive;
    options.caseInsensitive = false; // the text as given; its spellings follow
    const std::optional<QString> text = condition.requiredPrefix(field, options);
    if (!text || text->isEmpty())
        return std::nullopt;
    const auto width = std::min<std::size_t>(layout().field(field).length,
                                             static_cast<std::size_t>(index->expression(tag).keyLength()));
    const QString wanted = text->left(static_cast<qsizetype>(width));
    std::vector<Range> ranges;
    if (!anyCase) {
        const std::optional<std::string> bytes = codePage().encodeExactly(wanted);
        if (!bytes)
            return ranges; // a character the code page lacks: no row holds it
        if (bytes->size() != static_cast<std::size_t>(wanted.size()))
            return std::nullopt;
        ranges.push_back(prefixRangeOf(tag, *bytes));
        return ranges;
    }
    std::vector<std::vector<char>> variants;
    for (const QChar unit : wanted)
        variants.push_back(caseVariants(codePage(), unit.unicode()));
    std::string key;
    const auto collect = [&](const auto& self, Range within) -> void {
        if (within.first >= within.second)
            return;
        if (key.size() == variants.size()) {
            ranges.push_back(within);
            return;
        }
        for (const char byte : variants[key.size()]) {
            key.push_back(byte);
            const auto [first, last] = prefixRangeOf(tag, key);
            self(self, {std::max(first, within.first), std::min(last, within.second)});
            key.pop_back();
        }
    };
    collect(collect, {0, index->order(tag).size()});
    std::sort(ranges.begin(), ranges.end());
    std::vector<Range> apart;
    for (const Range& r : ranges) {
        if (!apart.empty() && r.first <= apart.back().second)
            apart.back().second = std::max(apart.back().second, r.second);
        else
            apart.push_back(r);
    }
    return apart;
}

std::uint32_t Table::firstPassing(const Filter& condition, const FilterOptions& options, const QString& rangeTag)
{
    d->requireActive();
    d->leaveRecord();
    const Filter::Bound bound = condition.bind(d->layout());
    std::string bytes;
    const auto passes = [&](std::uint32_t r) {
        d->readRow(r, bytes);
        return d->passes(bytes) && bound.matches(RecordView(d->layout(), d->codePage(), bytes), options);
    };
    int tag = -1;
    if (const auto ranges = d->conditionRanges(bound, options, rangeTag, tag)) {
        const IndexTag& entries = d->index->order(tag);
        const bool sameOrder = tag == d->activeTag;
        std::uint32_t best = 0;
        std::size_t bestSlot = 0;
        for (const auto& [first, last] : *ranges) {
            for (std::size_t p = first; p < last; ++p) {
                const std::uint32_t r = entries.recNoAt(p);
                if (!passes(r))
                    continue;
                if (sameOrder)
                    return r;
                const std::size_t slot = d->slotOf(r, bytes);
                if (slot < d->slotCount() && (best == 0 || slot < bestSlot)) {
                    best = r;
                    bestSlot = slot;
                }
            }
        }
        return best;
    }
    const auto [first, last] = d->filterRange();
    for (std::size_t s = first; s < last; ++s)
        if (const std::uint32_t r = d->recNoAt(s); passes(r))
            return r;
    return 0;
}

} // namespace dbase
