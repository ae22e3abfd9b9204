#pragma once

#include <cstdint>
#include <vector>

#include <QString>

namespace dbase {
class Filter;
class Table;
} // namespace dbase

// The rows of one substance in a table keyed by CARN and SUBCARN (a name
// table, formeln.dbf): its record number and the text of its first field
// (a name row's NAME1).
struct StoffZeile {
    std::uint32_t recNo;
    QString text;
};

// The condition CARN = carn and SUBCARN = subcarn, built, so that the values
// are data and no character of them can break it.
dbase::Filter Synonymfilter(const QString& carn, const QString& subcarn);

// The rows of `tabelle` that pass the synonym filter, in the table's index
// order. The table's filter, index and record are put back afterwards and
// its controls hear nothing of the look-up. DbaseError when it cannot be read.
std::vector<StoffZeile> ZeilenDesStoffs(dbase::Table& tabelle, const QString& carn, const QString& subcarn);

// Sorts name rows of `namen` as the name list shows them: by the sort key
// of their names (StripNameBilden: "Äther" as "Aether", before "Ethylether")
// in the collation of the table's language driver, as its name index keeps
// them; rows of equal key keep their order.
void WieDieNamensliste(std::vector<StoffZeile>& zeilen, const dbase::Table& namen);
