#pragma once

#include <QString>

namespace dbase {

class Table;

// Text fields: throws a DbaseError naming the field and the characters when
// the table's code page cannot hold some of `value` (Field::setAsString()
// stores '?' for them), so that input can be refused instead. Other fields
// are left to their own checks.
void checkText(const Table& table, int field, const QString& value);

} // namespace dbase
