#pragma once

#include <memory>
#include <vector>

#include <QString>

#include "search/Namentabellen.h"

namespace dbase { class Table; }

// Every name table a change of name rows must reach: the one the list reads
// (Datas->Table1), the register's own namen.dbf, and the research table the
// list shows, also while the list filter reads its lines from the filter
// table. namen.dbf always gets the change, so nothing lives only in a table
// that the next start or filter makes anew, and the list shows it at once.
// A name that is changed or a substance that goes must also leave the
// research tables the list does not show, or they list a name the register
// no longer has. The tables other than Table1 are opened here and closed,
// their index files written, when this goes.
class Namenstabellen {
public:
    // DbaseError when one of them cannot be opened.
    Namenstabellen();
    ~Namenstabellen();
    Namenstabellen(const Namenstabellen&) = delete;
    Namenstabellen& operator=(const Namenstabellen&) = delete;

    // Where a new name row goes. Table1 first.
    const std::vector<dbase::Table*>& alle() const { return m_alle; }
    // Where an existing name row or substance is changed or removed: alle()
    // and the research tables the list does not show, as far as they exist.
    // Those are opened at the first call: a new name row never needs them.
    const std::vector<dbase::Table*>& mitRecherchen() const;

private:
    static std::unique_ptr<dbase::Table> rechercheOeffnen(Namentabelle recherche);
    void hinzu(std::unique_ptr<dbase::Table> tabelle, std::vector<dbase::Table*>& liste) const;

    mutable std::vector<std::unique_ptr<dbase::Table>> m_offen;
    std::vector<dbase::Table*> m_alle;
    mutable std::vector<dbase::Table*> m_mitRecherchen; // empty until asked for
};

// The name of the current row of a name table, with its name key
// (STRIPNAME1); the row must be in Edit or Insert state.
void NamenSetzen(dbase::Table& namen, const QString& name);
// All four fields of a name row: name, name key and the substance's key.
void NamenszeileFuellen(dbase::Table& namen, const QString& name, const QString& carn, const QString& subcarn);
