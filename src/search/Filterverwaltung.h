#pragma once

#include <QString>

#include "dbase/Filter.h"

namespace dbase { class Table; }

// The two filters of the register: the list filter narrows the name list to
// the names of the substances in chemie.dbf that pass an expression (their
// name rows copied into filter.dbf, which the list is read from while the
// filter is on), the storage filter narrows lager.dbf. Each has its flag in
// the main window (ListenFilterAktiv, LagerFilterAktiv) and its window that
// shows the expression in force.

// Whether a typed expression is the empty one: nothing, or blanks and line
// breaks alone.
bool FilterLeer(const QString& text);

// The expression checked against the table it is meant for: syntax, field
// names and the types compared. Throws dbase::DbaseError with the reason and
// the position; nothing changes either way. An empty text (FilterLeer) is
// the empty filter (every record passes).
dbase::Filter FilterPruefen(const QString& text, const dbase::Table& table);

// Sets `filter` (checked by FilterPruefen) as the list filter on chemie.dbf
// and builds filter.dbf from the name rows of the substances that pass,
// then reads the list again from it. The flag, the current-filter window and
// the record commands switch only once the table was built. False, and the
// list filter off, when no substance passes (the list is read again if it
// came from an earlier filter's table). A build that fails leaves the list
// filter off with the list read from the name table, and throws on.
bool ListenFilterSetzen(const dbase::Filter& filter);

// Sets `filter` (checked by FilterPruefen) on lager.dbf, whether or not any
// row passes, and shows the storage filter window with its text.
void LagerFilterSetzen(const dbase::Filter& filter);

// (Re-)creates filter.dbf, in the working folder (Datas->arbeitsdatei), with
// the layout of the current name table and the two tags CARN_SUB and
// NAME1_SUB, holding in name order every name row of the substances that
// pass chemie.dbf's filter from its current row on. Table1 must be open on
// the current name table, not on filter.dbf; it is left without a filter,
// chemie.dbf at its end. Used by the list filter and by the name-table
// switch while the list filter is on.
void FilterTabelleErzeugen();

// For the list filter in force (chemie.dbf filtered): builds filter.dbf
// anew from the current name table, which Table1 is opened on first, with
// the wait window shown. When the build fails the list filter is switched
// off and the list read again from the name table, and the error is thrown
// on. The list is not read here otherwise.
void FilterTabelleNeuErzeugen();

// Switches the list filter off (chemie.dbf unfiltered, its window hidden,
// the record commands enabled again); the list is not read again.
void FilterLoeschen();

// Switches the storage filter off and hides its window.
void LagerFilterLoeschen();
