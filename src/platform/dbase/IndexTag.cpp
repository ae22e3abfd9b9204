#include "dbase/IndexTag.h"

#include <algorithm>
#include <cstring>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/KeyExpression.h"

namespace dbase {

namespace {

constexpr std::uint16_t numericKeyLength = 12;
constexpr std::uint16_t dateKeyLength = 8;
constexpr std::size_t dateSortWidth = 8;
// Sign class, exponent and the ten bytes of packed digits.
constexpr std::size_t numericSortWidth = 12;
constexpr unsigned char bcdNegative = 0x80;
constexpr std::size_t maxTagNameLength = 10;

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string tagError(const std::string& tagName, const std::string& what)
{
    return "Index \"" + tagName + "\": " + what;
}

TagInfo checkedInfo(TagInfo info)
{
    std::transform(info.name.begin(), info.name.end(), info.name.begin(), upperAscii);
    const bool nameOk = !info.name.empty() && info.name.size() <= maxTagNameLength
        && std::all_of(info.name.begin(), info.name.end(),
                       [](char c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == '_'; });
    if (!nameOk)
        throw DbaseError("Ungültiger Indexname \"" + info.name
                         + "\" (1 bis 10 Buchstaben, Ziffern oder _ erlaubt)");

    info.keyType = upperAscii(info.keyType);
    if (info.keyType == 'F') // float fields are indexed like numeric ones
        info.keyType = 'N';
    switch (info.keyType) {
    case 'C':
        if (info.keyLength == 0 || info.keyLength > maxKeyLength)
            throw DbaseError(tagError(info.name, "Schlüssellänge " + std::to_string(info.keyLength)
                                                     + " ist ungültig (1 bis 100 erlaubt)"));
        break;
    case 'N':
    case 'D': {
        const std::uint16_t fixed = info.keyType == 'N' ? numericKeyLength : dateKeyLength;
        if (info.keyLength != 0 && info.keyLength != fixed)
            throw DbaseError(tagError(info.name, "Schlüssellänge " + std::to_string(info.keyLength)
                                                     + " passt nicht zum Schlüsseltyp "
                                                     + info.keyType));
        info.keyLength = fixed;
        break;
    }
    default:
        throw DbaseError(tagError(info.name, std::string("unbekannter Schlüsseltyp \"")
                                                 + info.keyType + "\""));
    }

    if (info.expression.empty())
        throw DbaseError(tagError(info.name, "kein Schlüsselausdruck"));
    if (info.expression.size() > maxExpressionLength)
        throw DbaseError(tagError(info.name, "Schlüsselausdruck ist länger als 219 Zeichen"));
    if (info.forExpression.size() > maxForExpressionLength)
        throw DbaseError(tagError(info.name, "FOR-Bedingung ist länger als 261 Zeichen"));
    return info;
}

} // namespace

bool TagInfo::isFieldTag() const
{
    return !expression.empty() && expression.size() <= maxTagNameLength
        && isAsciiLetter(expression.front())
        && std::all_of(expression.begin(), expression.end(),
                       [](char c) { return isAsciiLetter(c) || isAsciiDigit(c) || c == '_'; });
}

IndexTag::IndexTag(TagInfo info, const Collation& collation)
    : m_info(checkedInfo(std::move(info)))
    , m_collation(&collation)
    , m_sortWidth(m_info.keyType == 'C' ? m_info.keyLength
                  : m_info.keyType == 'N' ? numericSortWidth : dateSortWidth)
{
}

void IndexTag::requireKeys() const
{
    if (!hasKeys())
        throw DbaseError(tagError(m_info.name, "die Schlüssel sind nicht gelesen"));
}

void IndexTag::assignOrder(std::vector<std::uint32_t> recNos)
{
    m_keys.clear();
    m_keys.shrink_to_fit();
    m_recNos = std::move(recNos);
}

std::string_view IndexTag::keyAt(std::size_t position) const
{
    requireKeys();
    return std::string_view(m_keys).substr(position * m_info.keyLength, m_info.keyLength);
}

void IndexTag::writeFullKey(std::string_view key, char* out) const
{
    const std::size_t length = m_info.keyLength;
    if (m_info.keyType != 'C' && key.size() != length)
        throw DbaseError(tagError(m_info.name, "Schlüssel hat " + std::to_string(key.size())
                                                   + " statt " + std::to_string(length) + " Bytes"));
    const std::size_t used = std::min(key.size(), length);
    std::memcpy(out, key.data(), used);
    std::memset(out + used, ' ', length - used);
}

IndexTag::KeyBytes IndexTag::fullKey(std::string_view key) const
{
    KeyBytes full;
    writeFullKey(key, full.bytes.data());
    full.size = m_info.keyLength;
    return full;
}

std::size_t IndexTag::makeSortKey(std::string_view key, char* out) const
{
    std::size_t length = 0;
    if (m_info.keyType == 'C') {
        length = std::min(key.size(), m_sortWidth);
        for (std::size_t i = 0; i < length; ++i)
            out[i] = static_cast<char>(m_collation->weight(static_cast<unsigned char>(key[i])));
    } else if (m_info.keyType == 'N') {
        length = makeNumericSortKey(key, out);
    } else {
        char bytes[dateSortWidth];
        writeSortableDouble(decodeDateKey(key), bytes);
        length = std::min(sizeof bytes, m_sortWidth);
        std::memcpy(out, bytes, length);
    }
    if (m_info.descending)
        std::for_each(out, out + length, [](char& c) { c = static_cast<char>(~c); });
    return length;
}

// Numeric keys order as the other dBASE programs compare their BCD form:
// negative before positive, then by exponent byte and digits, larger
// magnitudes first among negatives. That is the value order except for
// zero, stored with the exponent of 10^0: it sorts after the positive values
// below 0.1 (TDbf writes and walks its indexes so, and loops on a file that
// puts zero first).
std::size_t IndexTag::makeNumericSortKey(std::string_view key, char* out) const
{
    if (key.size() < numericKeyLength)
        throw DbaseError(tagError(m_info.name, "numerischer Schlüssel ist kürzer als 12 Bytes"));
    const bool negative = (static_cast<unsigned char>(key[1]) & bcdNegative) != 0;
    const auto flip = [negative](char c) { return static_cast<char>(negative ? ~c : c); };
    out[0] = negative ? 0 : 1;
    out[1] = flip(key[0]);
    for (std::size_t i = 2; i < numericKeyLength; ++i) {
        const auto digits = static_cast<unsigned char>(key[i]);
        if ((digits >> 4) > 9 || (digits & 0x0F) > 9)
            throw DbaseError(tagError(m_info.name, "numerischer Schlüssel mit ungültiger Ziffer"));
        out[i] = flip(key[i]);
    }
    return numericSortWidth;
}

IndexTag::KeyBytes IndexTag::sortKey(std::string_view key) const
{
    KeyBytes result;
    result.size = makeSortKey(key, result.bytes.data());
    return result;
}

IndexTag::KeyBytes IndexTag::searchKey(std::string_view key) const
{
    if (m_info.keyType != 'C')
        return sortKey(key);
    KeyBytes result;
    result.size = std::min<std::size_t>(key.size(), m_info.keyLength);
    std::memcpy(result.bytes.data(), key.data(), result.size);
    return result;
}

namespace {

// Bytes that both keys share from the start, eight at a time: neighbouring
// keys and a key near the one searched mostly share long prefixes.
std::size_t commonPrefix(const char* a, const char* b, std::size_t length)
{
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t x;
        std::uint64_t y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y)
            break;
    }
    while (i < length && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

int IndexTag::compareStored(const char* stored, std::string_view searchKey) const
{
    if (m_info.keyType != 'C') {
        char bytes[numericSortWidth];
        makeSortKey(std::string_view(stored, m_info.keyLength), bytes);
        return std::memcmp(bytes, searchKey.data(), std::min(searchKey.size(), m_sortWidth));
    }
    // Equal bytes have equal weights; only where the bytes differ do the
    // weights decide (and two bytes may share a weight).
    const char* key = searchKey.data();
    const std::size_t length = searchKey.size();
    for (std::size_t i = commonPrefix(stored, key, length); i < length;
         i += 1 + commonPrefix(stored + i + 1, key + i + 1, length - i - 1)) {
        const int ws = m_collation->weight(static_cast<unsigned char>(stored[i]));
        const int wk = m_collation->weight(static_cast<unsigned char>(key[i]));
        if (ws != wk)
            return m_info.descending ? wk - ws : ws - wk;
    }
    return 0;
}

int IndexTag::compareAt(std::size_t position, std::string_view searchKey) const
{
    return compareStored(m_keys.data() + position * m_info.keyLength, searchKey);
}

int IndexTag::compareStoredKeys(std::string_view a, std::string_view b) const
{
    return compareStored(a.data(), searchKey(b).view());
}

int IndexTag::compareEntries(std::size_t a, std::size_t b) const
{
    return compareStoredKeys(keyAt(a), keyAt(b));
}

std::size_t IndexTag::lowerBoundOf(std::string_view sortKey, std::uint32_t recNo) const
{
    const bool partial = sortKey.size() < m_sortWidth;
    std::size_t low = 0;
    std::size_t high = size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        const int c = compareAt(mid, sortKey);
        const bool less = c < 0 || (c == 0 && !partial && m_recNos[mid] < recNo);
        if (less)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

bool IndexTag::hasSortKeyAt(std::size_t position, std::string_view sortKey) const
{
    return position < size() && compareAt(position, sortKey) == 0;
}

bool IndexTag::insert(std::string_view key, std::uint32_t recNo)
{
    requireKeys();
    const KeyBytes fullBytes = fullKey(key);
    const std::string_view full = fullBytes.view();
    const KeyBytes searchBytes = searchKey(full);
    const std::string_view sk = searchBytes.view();
    if (m_info.unique && hasSortKeyAt(lowerBoundOf(sk, 0), sk))
        return false;
    const std::size_t position = lowerBoundOf(sk, recNo);
    if (hasSortKeyAt(position, sk) && m_recNos[position] == recNo)
        return false;
    m_recNos.insert(m_recNos.begin() + static_cast<std::ptrdiff_t>(position), recNo);
    m_keys.insert(position * m_info.keyLength, full);
    return true;
}

bool IndexTag::remove(std::string_view key, std::uint32_t recNo)
{
    const std::size_t position = find(key, recNo);
    if (position == size())
        return false;
    m_recNos.erase(m_recNos.begin() + static_cast<std::ptrdiff_t>(position));
    m_keys.erase(position * m_info.keyLength, m_info.keyLength);
    return true;
}

std::size_t IndexTag::removeRecords(std::uint32_t first, std::uint32_t last)
{
    const bool keys = hasKeys();
    const std::size_t keyLength = m_info.keyLength;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_recNos.size(); ++i) {
        if (m_recNos[i] >= first && m_recNos[i] <= last)
            continue;
        if (kept != i) {
            if (keys)
                std::memcpy(m_keys.data() + kept * keyLength, m_keys.data() + i * keyLength, keyLength);
            m_recNos[kept] = m_recNos[i];
        }
        ++kept;
    }
    const std::size_t removed = m_recNos.size() - kept;
    m_recNos.resize(kept);
    if (keys)
        m_keys.resize(kept * keyLength);
    return removed;
}

void IndexTag::assign(std::vector<std::pair<std::string, std::uint32_t>> entries)
{
    std::string keys;
    keys.reserve(entries.size() * m_info.keyLength);
    std::vector<std::uint32_t> recNos;
    recNos.reserve(entries.size());
    for (const auto& [key, recNo] : entries) {
        appendFullKey(keys, key);
        recNos.push_back(recNo);
    }
    entries = {};
    assign(std::move(keys), std::move(recNos));
}

void IndexTag::appendFullKey(std::string& keys, std::string_view key) const
{
    const std::size_t at = keys.size();
    keys.resize(at + m_info.keyLength);
    writeFullKey(key, keys.data() + at);
}

void IndexTag::assign(std::string keys, std::vector<std::uint32_t> recNos)
{
    const std::size_t count = recNos.size();
    const std::size_t keyLength = m_info.keyLength;
    if (keys.size() != count * keyLength)
        throw DbaseError(tagError(m_info.name, "Schlüssel und Satznummern passen nicht zusammen"));
    // The new entries are put in place and ordered there; a key refused on
    // the way (a numeric key with an invalid digit) brings the old ones back.
    m_keys.swap(keys);
    m_recNos.swap(recNos);
    try {
        // Entries read from an index file mostly come in order already: a
        // check of neighbours spares the sort.
        const auto entryLess = [&](std::size_t a, std::size_t b) {
            const int c = compareEntries(a, b);
            return c < 0 || (c == 0 && m_recNos[a] < m_recNos[b]);
        };
        bool sorted = true;
        for (std::size_t i = 1; i < count && sorted; ++i)
            sorted = !entryLess(i, i - 1);
        if (count == 1)
            compareEntries(0, 0); // checks the one key
        if (!sorted)
            sortEntries(m_keys, m_recNos);
    } catch (...) {
        m_keys.swap(keys);
        m_recNos.swap(recNos);
        throw;
    }
    keys = {};
    recNos = {};

    // Drop repeated entries; in a unique tag every entry after the first of
    // its key (the lowest record number, now that they are sorted).
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (kept > 0) {
            const bool sameKey = compareEntries(kept - 1, i) == 0;
            if (sameKey && (m_info.unique || m_recNos[kept - 1] == m_recNos[i]))
                continue;
        }
        if (kept != i) {
            std::memcpy(m_keys.data() + kept * keyLength, m_keys.data() + i * keyLength, keyLength);
            m_recNos[kept] = m_recNos[i];
        }
        ++kept;
    }
    m_keys.resize(kept * keyLength);
    m_recNos.resize(kept);
}

void IndexTag::sortEntries(std::string& keys, std::vector<std::uint32_t>& recNos) const
{
    const std::size_t count = recNos.size();
    const std::size_t keyLength = m_info.keyLength;
    // The sort keys are made once for the sort and dropped after it.
    std::string sortKeys(count * m_sortWidth, '\0');
    for (std::size_t i = 0; i < count; ++i)
        makeSortKey(std::string_view(keys.data() + i * keyLength, keyLength), sortKeys.data() + i * m_sortWidth);

    // Sorting compact (leading bytes, position) entries keeps most
    // comparisons out of the long keys: only equal leading bytes look
    // further.
    struct Entry {
        std::uint64_t head[2];
        std::uint32_t at;
    };
    const std::size_t headWidth = std::min<std::size_t>(16, m_sortWidth);
    std::vector<Entry> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(sortKeys.data() + i * m_sortWidth);
        Entry& entry = order[i];
        for (std::size_t half = 0; half < 2; ++half) {
            std::uint64_t word = 0;
            for (std::size_t b = half * 8; b < half * 8 + 8; ++b)
                word = word << 8 | (b < headWidth ? bytes[b] : 0u);
            entry.head[half] = word;
        }
        entry.at = static_cast<std::uint32_t>(i);
    }
    std::sort(order.begin(), order.end(), [&](const Entry& a, const Entry& b) {
        if (a.head[0] != b.head[0])
            return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1])
            return a.head[1] < b.head[1];
        const int c = std::memcmp(sortKeys.data() + a.at * m_sortWidth + headWidth,
                                  sortKeys.data() + b.at * m_sortWidth + headWidth, m_sortWidth - headWidth);
        return c < 0 || (c == 0 && recNos[a.at] < recNos[b.at]);
    });
    sortKeys = {};
    std::string orderedKeys(keys.size(), '\0');
    std::vector<std::uint32_t> orderedRecNos(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t from = order[i].at;
        std::memcpy(orderedKeys.data() + i * keyLength, keys.data() + from * keyLength, keyLength);
        orderedRecNos[i] = recNos[from];
    }
    keys.swap(orderedKeys);
    recNos.swap(orderedRecNos);
}

std::size_t IndexTag::findPrefix(std::string_view prefix) const
{
    const auto [first, last] = prefixRange(prefix);
    return first < last ? first : size();
}

std::pair<std::size_t, std::size_t> IndexTag::prefixRange(std::string_view prefix) const
{
    requireKeys();
    const KeyBytes searchBytes = searchKey(prefix);
    const std::string_view sk = searchBytes.view();
    const std::size_t first = lowerBoundOf(sk, 0);
    // A prefix is mostly shared by one entry or a few: the end is looked for
    // close by in growing steps, then by halving the last step.
    std::size_t last = first; // [first, last) share the prefix
    std::size_t beyond = first;
    for (std::size_t step = 1; beyond < size() && hasSortKeyAt(beyond, sk); step *= 2) {
        last = beyond + 1;
        beyond = last + step;
    }
    beyond = std::min(beyond, size());
    while (last < beyond) {
        const std::size_t mid = last + (beyond - last) / 2;
        if (hasSortKeyAt(mid, sk))
            last = mid + 1;
        else
            beyond = mid;
    }
    return {first, last};
}

std::size_t IndexTag::lowerBound(std::string_view key) const
{
    requireKeys();
    return lowerBoundOf(searchKey(key).view(), 0);
}

std::size_t IndexTag::find(std::string_view key, std::uint32_t recNo) const
{
    requireKeys();
    const KeyBytes sortBytes = searchKey(fullKey(key).view());
    const std::string_view sk = sortBytes.view();
    const std::size_t position = lowerBoundOf(sk, recNo);
    return hasSortKeyAt(position, sk) && m_recNos[position] == recNo ? position : size();
}

int IndexTag::compareKeys(std::string_view a, std::string_view b) const
{
    const KeyBytes sortA = sortKey(a);
    const KeyBytes sortB = sortKey(b);
    const std::string_view sa = sortA.view();
    const std::string_view sb = sortB.view();
    const int c = std::memcmp(sa.data(), sb.data(), std::min(sa.size(), sb.size()));
    if (c != 0)
        return c;
    return sa.size() < sb.size() ? -1 : (sa.size() > sb.size() ? 1 : 0);
}

} // namespace dbase
