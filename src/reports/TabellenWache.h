#pragma once

#include <initializer_list>
#include <memory>
#include <vector>

#include <QString>

#include "dbase/Filter.h"
#include "dbase/Table.h"

namespace reports {

// Keeps the shared tables of a print job as the job found them. A job
// switches the name table to another file, narrows tables with filters,
// changes index orders and moves cursors; whatever way it ends (printed,
// previewed, declined, or by an error midway) the guard puts every table
// back: the same file and index file, index order, filter, filtered flag,
// filter options and record.
//
// While the guard lives, the tables' observers (the main window's controls)
// hear nothing of the job's moves, so the screen neither flickers through
// the job nor costs it time; when it ends they hear nothing of a table that
// is back as it was (and so still show what they showed, formatting of their
// own included), and once of any other.
class TabellenWache {
public:
    // Records the state of each table; nullptr entries and repeats are
    // ignored. The tables must outlive the guard.
    explicit TabellenWache(std::vector<dbase::Table*> tabellen);
    TabellenWache(std::initializer_list<dbase::Table*> tabellen)
        : TabellenWache(std::vector<dbase::Table*>(tabellen))
    {
    }
    // Restores unless restore() ran; a failure then is only logged.
    ~TabellenWache();
    TabellenWache(const TabellenWache&) = delete;
    TabellenWache& operator=(const TabellenWache&) = delete;

    // Puts the tables back, the last recorded first. Runs once; later calls
    // do nothing. A record that is no longer there (deleted, or no longer
    // passing the filter) leaves the table on its first row. Every table is
    // tried even when one fails; then one DbaseError names each failure.
    void restore();
    bool restored() const { return m_restored; }

private:
    struct Stand {
        dbase::Table* table = nullptr;
        bool open = false;
        QString tableName;
        QString indexFiles;
        QString indexName;
        dbase::Filter filter; // carries its text
        bool filtered = false;
        dbase::FilterOptions filterOptions;
        dbase::Bookmark bookmark;
    };

    static Stand aufnehmen(dbase::Table& table);
    static void zuruecksetzen(const Stand& stand);

    // Released after the restore, when the guard's members go.
    std::vector<std::unique_ptr<dbase::NotificationHold>> m_halten;
    std::vector<Stand> m_staende;
    bool m_restored = false;
};

// Opens namen.dbf with its production index on `namen` in place of the list
// filter's copies; the guard of the run puts the file back.
void namenDesRegistersOeffnen(dbase::Table& namen);

} // namespace reports
