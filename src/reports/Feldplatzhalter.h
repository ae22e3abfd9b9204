#pragma once

#include <algorithm>
#include <vector>

#include <QString>

namespace dbase {
class Table;
}

namespace reports {

// The data module's tables a layout may name, in the order references are
// resolved: the current name table, "chemie.dbf", "lager.dbf", "si_gef.dbf".
// The engines pass their own set in; a missing table is nullptr and names
// nothing.
struct TabellenSatz {
    dbase::Table* Table1 = nullptr;
    dbase::Table* Table2 = nullptr;
    dbase::Table* Table3 = nullptr;
    dbase::Table* Table4 = nullptr;
    // Tables of the set that hold no record for the document being made
    // (the storage table when the sheet's substance has no stock, the
    // substance tables of a label whose substance is missing): their fields
    // read empty wherever their cursors stand, so that no other record's
    // values are printed. Conditions and text insertions still search them.
    std::vector<dbase::Table*> ohneDatensatz;

    bool ohneSatz(const dbase::Table* table) const
    {
        return std::find(ohneDatensatz.begin(), ohneDatensatz.end(), table) != ohneDatensatz.end();
    }
};

// A field reference (`Feldplatzhalter`) is one leading character, the table's
// file name, a blank, the field name and one trailing character, as in
// "[chemie.dbf NAME1]"; the outer characters are never looked at.

// The characters from the second up to the one before the first blank,
// lower-cased; empty without a blank.
QString GetFieldTableName(const QString& reference);
// The characters after the first blank up to, not including, the last one;
// without a blank the whole text less its last character.
QString GetFieldName(const QString& reference);
// A table name of the template language: the whole text lower-cased.
QString GetTableName(const QString& name);

// The table a reference names: the part after its last "\" or ":" is read
// with GetFieldTableName and compared exactly with the tables' current file
// names in the set's order; the first equal one wins. nullptr when it names
// none of the four: callers then show an empty value and read no table.
dbase::Table* GetFieldTable(const QString& reference, const TabellenSatz& tabellen);
// As GetFieldTable, for a plain table name of the template language.
dbase::Table* GetTable(const QString& name, const TabellenSatz& tabellen);

// The text of the named field of the table's current record; empty when the
// table is nullptr or the set's table without a record. A field the table
// lacks is the dBASE layer's error.
QString Feldtext(const TabellenSatz& tabellen, dbase::Table* table, const QString& fieldName);
// The text a reference stands for, empty when it names no table.
QString Feldwert(const QString& reference, const TabellenSatz& tabellen);

} // namespace reports
