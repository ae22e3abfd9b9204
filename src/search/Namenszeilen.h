#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <utility>

#include <QString>

namespace dbase { class Table; }

// Tables made from the name rows of chosen substances: the list filter's
// filter.dbf and the research tables. Both take the rows of the current
// name table that belong to a set of substance keys, in name order, into a
// table made anew with the name table's layout and its two tags.

// A substance's key: CARN and SUBCARN.
using Stoffschluessel = std::pair<QString, QString>;
using Stoffschluesselmenge = std::set<Stoffschluessel>;

enum class Namenswahl {
    Alle,         // every name row of each substance (its synonyms too)
    ErsteJeStoff, // the first name of each substance in name order
};

// Makes `ziel` anew (replacing its file, memo and index) with the layout of
// `namen`, fills it with the rows of `namen` whose substance is in
// `stoffe`, in `namen`'s index order, and gives it the tags CARN_SUB and
// NAME1_SUB. `namen` is left without a filter; `ziel` closed and open to
// others, also when the build fails. `jeZeile` runs after each row copied
// one by one with the number copied so far; all rows go in one batch move
// instead when OptWin98 is off and `wahl` takes them all. Returns the
// number of rows copied.
std::uint32_t NamenszeilenTabelleErzeugen(dbase::Table& namen, dbase::Table& ziel, const Stoffschluesselmenge& stoffe,
                                          Namenswahl wahl,
                                          const std::function<void(std::uint32_t)>& jeZeile = {});
