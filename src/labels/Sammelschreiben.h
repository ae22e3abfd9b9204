#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dbase/DbaseError.h"
#include "dbase/Table.h"

// Writes `setzen`'s changes into each record of `saetze` of `tabelle`, in
// that order, each posted on its own but all synced together at the end: a
// run over thousands of stock items waits for the disk once, not once an
// item (seconds on a slow or busy disk). `schritt` runs before each record
// (a progress bar's step). A record no longer there is passed over. A write
// the table refuses leaves that record as it was and ends the run with its
// DbaseError; `gesetzt` counts the records set before it, which keep their
// new values and are synced all the same.
template <class Setzen, class Schritt>
void saetzeSchreiben(dbase::Table& tabelle, const std::vector<std::uint32_t>& saetze, std::size_t& gesetzt,
                     Setzen&& setzen, Schritt&& schritt)
{
    gesetzt = 0;
    dbase::Bulk bulk{&tabelle};
    for (const std::uint32_t satz : saetze) {
        schritt();
        if (!tabelle.gotoRecNo(satz))
            continue; // gone meanwhile, nothing to set
        tabelle.edit();
        try {
            setzen();
            tabelle.post();
        } catch (const dbase::DbaseError&) {
            tabelle.cancel();
            throw;
        }
        ++gesetzt;
    }
    bulk.end();
}
