#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbase/FieldDef.h"

namespace dbase {

// A compiled index key expression: field names, string literals, "+", and the
// functions that dBASE tags commonly use (UPPER, DTOS, STR, SUBSTR, LEFT,
// RIGHT, TRIM, RTRIM, LTRIM). "+" joins strings, adds numbers and adds days
// to a date. Anything else is refused at compile time with a DbaseError
// naming the tag and the expression, so no tag is ever silently misordered.
class KeyExpression {
public:
    static KeyExpression compile(const std::string& expression, const TableLayout& layout,
                                 const std::string& tagName);

    const std::string& text() const;
    char keyType() const;     // 'C', 'N' or 'D'
    int keyLength() const;    // bytes of the key as stored in the index
    // The key of a record in index encoding: 'C' the code-page bytes padded
    // with blanks to keyLength; 'N' 12-byte BCD; 'D' an 8-byte double holding
    // the Julian day number.
    std::string evaluate(const RecordView& record) const;
    // Appends the same key to `keys`: a whole table's keys laid end to end
    // without a string each.
    void appendKey(const RecordView& record, std::string& keys) const;
    // Field indexes in concatenation order when the expression is a plain
    // concatenation of character fields ("CARN+SUBCARN", "STRIPNAME1");
    // empty otherwise. Keyed lookups set these fields.
    const std::vector<int>& keyFields() const;
    // The text field whose stored bytes begin every key: the expression is
    // that field, or joins it with others by "+" ("NRSATZ+STR(ZEILE,2)");
    // -1 otherwise. Rows whose field starts with a text lie together in the
    // tag, so a filter that fixes the field need not look beyond them.
    int leadingField() const;

    KeyExpression(KeyExpression&&) noexcept;
    KeyExpression& operator=(KeyExpression&&) noexcept;
    KeyExpression(const KeyExpression&);
    KeyExpression& operator=(const KeyExpression&);
    ~KeyExpression();

private:
    KeyExpression();
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Index encodings of numeric and date keys, shared with the index file code.
std::string encodeNumericKey(double value); // 12-byte BCD
double decodeNumericKey(std::string_view bytes);
std::string encodeDateKey(const QDate& date); // Julian day as little-endian double; 0 when blank
double decodeDateKey(std::string_view bytes);
// Bytes whose memcmp order is the numeric order of the value.
std::string sortableDouble(double value);
// The same 8 bytes written to `out`, for comparisons that allocate nothing.
void writeSortableDouble(double value, char* out);

} // namespace dbase
