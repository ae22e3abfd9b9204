#pragma once

#include <exception>
#include <utility>

#include "dbase/Table.h"

// Runs `schritte`, whose posts to `tabelle` each reach the file at once but
// are synced together at the end: a run over thousands of stock items waits
// for the disk once, not once an item (seconds on a slow or busy disk).
// Whatever way `schritte` ends, what it wrote is synced; its own error is
// the one that leaves.
template <class Schritte>
void sammelschreiben(dbase::Table& tabelle, Schritte&& schritte)
{
    tabelle.beginBulk();
    try {
        std::forward<Schritte>(schritte)();
    } catch (...) {
        try {
            tabelle.endBulk();
        } catch (const std::exception&) {
            // The run's own failure is the one to tell.
        }
        throw;
    }
    tabelle.endBulk();
}
