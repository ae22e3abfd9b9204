#include "dbase/FieldDef.h"

#include <charconv>

#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"

namespace dbase {

bool isBlobType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::Binary || type == FieldType::General;
}

int displayWidth(const FieldDef& field) {
    constexpr int dateWidth = 10;
    return field.type == FieldType::Date ? dateWidth : field.length;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\0'; }

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view trimBoth(std::string_view s) {
    s = trimRight(s);
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The digits of a number field; empty for blank and for dBASE's overflow mark.
std::string_view numberText(std::string_view raw) {
    const std::string_view s = trimBoth(raw);
    return !s.empty() && s.front() == '*' ? std::string_view() : s;
}

} // namespace

// dBASE 7 allows 31 characters; III and IV tables are created with at most 10.
constexpr std::size_t maxNameLength = 31;

TableLayout::TableLayout(std::vector<FieldDef> fields) : m_fields(std::move(fields)) {
    unsigned position = 1; // after the deletion flag
    for (FieldDef& field : m_fields) {
        if (field.name.empty() || field.name.size() > maxNameLength)
            throw DbaseError("Ungültiger Feldname \"" + lesbar(field.name) + "\"");
        if (field.length == 0)
            throw DbaseError("Das Feld " + lesbar(field.name) + " hat die Länge 0");
        field.offset = static_cast<std::uint16_t>(position);
        position += field.length;
        if (position > 0xFFFF)
            throw DbaseError("Die Felder ergeben einen Datensatz von mehr als 65535 Bytes");
    }
    m_recordLength = static_cast<std::uint16_t>(position);
}

int TableLayout::indexOf(std::string_view name) const {
    for (size_t i = 0; i < m_fields.size(); ++i) {
        const std::string& candidate = m_fields[i].name;
        if (candidate.size() != name.size())
            continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = upperAscii(candidate[k]) == upperAscii(name[k]);
        if (same)
            return static_cast<int>(i);
    }
    return -1;
}

bool TableLayout::hasBlobFields() const {
    for (const FieldDef& field : m_fields)
        if (isBlobType(field.type))
            return true;
    return false;
}

std::string_view RecordView::raw(int field) const {
    const FieldDef& def = m_layout.field(field);
    if (def.offset + def.length > m_bytes.size())
        return {}; // a short buffer never reads past its end
    return m_bytes.substr(def.offset, def.length);
}

QString RecordView::text(int field) const {
    const FieldType type = m_layout.field(field).type;
    const std::string_view bytes = raw(field);
    if (type == FieldType::Numeric || type == FieldType::Float)
        return m_codePage.decode(trimBoth(bytes));
    return m_codePage.decode(trimRight(bytes));
}

std::optional<double> RecordView::number(int field) const {
    const std::string_view s = numberText(raw(field));
    if (s.empty())
        return std::nullopt;
    // from_chars rejects a leading '+', which some writers put there
    const std::string_view digits = s.front() == '+' ? s.substr(1) : s;
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::optional<QDate> RecordView::date(int field) const {
    const std::string_view s = trimBoth(raw(field));
    if (s.size() != 8)
        return std::nullopt;
    int value[8];
    for (size_t i = 0; i < 8; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        value[i] = s[i] - '0';
    }
    const QDate result(value[0] * 1000 + value[1] * 100 + value[2] * 10 + value[3],
                       value[4] * 10 + value[5], value[6] * 10 + value[7]);
    return result.isValid() ? std::optional<QDate>(result) : std::nullopt;
}

std::uint32_t RecordView::blockNumber(int field) const {
    // Writers pad with blanks or with zeros; both read the same.
    const std::string_view s = trimBoth(raw(field));
    std::uint64_t block = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return 0;
        block = block * 10 + static_cast<unsigned>(c - '0');
        if (block > 0xFFFFFFFFu)
            return 0;
    }
    return static_cast<std::uint32_t>(block);
}

bool RecordView::logical(int field) const {
    const std::string_view s = raw(field);
    if (s.empty())
        return false;
    const char c = s.front();
    return c == 'T' || c == 't' || c == 'Y' || c == 'y';
}

} // namespace dbase
