#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QDate>
#include <QString>

namespace codepage {
class CodePage;
}

namespace dbase {

using codepage::CodePage;

// Field types of dBASE III+/IV/5 tables.
enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
    Memo = 'M',    // text in the .dbt
    Binary = 'B',  // binary in the .dbt
    General = 'G', // OLE/picture data in the .dbt
};

bool isBlobType(FieldType type);

struct FieldDef {
    std::string name;       // upper-case ASCII, at most 10 characters (dBASE 7: 31)
    FieldType type = FieldType::Character;
    std::uint8_t length = 0;
    std::uint8_t decimals = 0;
    std::uint16_t offset = 0; // position in the whole record; the first field is at 1, after the deletion flag
    bool mdxTag = false;      // descriptor byte 31: a bare-field tag of the production index
};

// The characters a field's value takes as text, which a grid column sizes
// itself by: the field's width, ten for a date ("dd.mm.yyyy").
int displayWidth(const FieldDef& field);

// Numbers as the program shows them, whatever the table stores ("73.50000000"):
// German decimal comma, no trailing zeros, no thousands separator, at most 15
// significant digits ("73,5", "41", "-114,1").
QString numberDisplayText(double value);
// A number as users type it: "58,08" and "58.08" alike, blanks around it
// allowed; nullopt for any other text (and for "inf" or "nan").
std::optional<double> parseNumberText(const QString& text);
// A number as a numeric or float field stores it: rounded half away from zero
// to the field's decimals as the number is written in decimal (73.455 gives
// "73.46"), right-justified. DbaseError naming the field when the digits
// before the point do not fit its width or the field takes no numbers.
std::string encodeFieldNumber(const FieldDef& field, double value);

// The field definitions of one table and the record length they give
// (one byte deletion flag plus the field widths).
class TableLayout {
public:
    TableLayout() = default;
    // Computes offsets and the record length. Throws DbaseError on a field of
    // width zero, a name that is empty or longer than 31 characters, or a
    // record longer than 65535 bytes.
    explicit TableLayout(std::vector<FieldDef> fields);

    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const FieldDef& field(int index) const { return m_fields.at(static_cast<size_t>(index)); }
    // Case-insensitive; -1 when absent.
    int indexOf(std::string_view name) const;
    std::uint16_t recordLength() const { return m_recordLength; }
    bool hasBlobFields() const;

private:
    std::vector<FieldDef> m_fields;
    std::uint16_t m_recordLength = 1;
};

// Read access to one record's bytes, as key expressions and filters see it.
// `bytes` is the whole record including the deletion flag.
class RecordView {
public:
    RecordView(const TableLayout& layout, const CodePage& codePage, std::string_view bytes)
        : m_layout(layout), m_codePage(codePage), m_bytes(bytes) {}

    const TableLayout& layout() const { return m_layout; }
    const CodePage& codePage() const { return m_codePage; }
    bool deleted() const { return !m_bytes.empty() && m_bytes[0] == '*'; }

    // The stored bytes of a field, untrimmed, untranslated.
    std::string_view raw(int field) const;
    // Character, numeric, date and logical fields as text: decoded from the
    // code page, trailing blanks trimmed (leading too for N and F).
    QString text(int field) const;
    // Numeric and float fields; nullopt when blank or not a number.
    std::optional<double> number(int field) const;
    // Date fields; nullopt when blank or invalid.
    std::optional<QDate> date(int field) const;
    // Logical fields: T, t, Y, y are true; F, f, N, n, '?' and blank false.
    bool logical(int field) const;
    // Memo, binary and general fields: the first .dbt block, 0 when empty or
    // not a block number.
    std::uint32_t blockNumber(int field) const;

private:
    const TableLayout& m_layout;
    const CodePage& m_codePage;
    std::string_view m_bytes;
};

} // namespace dbase
