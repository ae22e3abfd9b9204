// Keyed lookups of a table on its active tag: the key prefix made of field
// values, or of another record's fields, and the search for the first
// visible row that carries it.
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
    const IndexTag& tag = index->tag(activeTag);
    const auto [first, last] = tag.prefixRange(key);
    for (std::size_t p = first; p < last; ++p) {
        readRow(tag.recNoAt(p), scratch);
        if (passes(scratch)) {
            take(p);
            bof = eof = false;
            notifyMoved();
            return true;
        }
    }
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
    const std::size_t p = d->index->tag(d->activeTag).lowerBound(d->lookupKey(values));
    if (const auto s = d->findVisible(static_cast<std::ptrdiff_t>(p), +1)) {
        d->take(*s);
        d->bof = d->eof = false;
    } else {
        d->moveLast();
    }
    d->notifyMoved();
}

} // namespace dbase
