#include "search/Namenszeilen.h"

#include <vector>

#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"

namespace {

// Name rows: NAME1, STRIPNAME1, CARN, SUBCARN.
constexpr int namenCarn = 2;
constexpr int namenSubcarn = 3;
constexpr int namenFelder = 4;

// The name table's filter for the duration of the copy, taken off again
// however the copy ends.
class Namenauswahl {
public:
    Namenauswahl(dbase::Table& namen, const dbase::Filter& filter) : m_namen(namen)
    {
        m_namen.setFilter(filter);
        m_namen.setFiltered(true);
    }
    ~Namenauswahl()
    {
        m_namen.setFiltered(false);
        m_namen.setFilter(dbase::Filter());
    }
    Namenauswahl(const Namenauswahl&) = delete;
    Namenauswahl& operator=(const Namenauswahl&) = delete;

private:
    dbase::Table& m_namen;
};

// The new table is written by this job alone; whatever happens, it is
// closed again and open to others afterwards.
class Alleinzugriff {
public:
    explicit Alleinzugriff(dbase::Table& tabelle) : m_tabelle(tabelle)
    {
        m_tabelle.setExclusive(true);
        m_tabelle.open();
    }
    ~Alleinzugriff()
    {
        try {
            m_tabelle.close();
        } catch (const dbase::DbaseError&) {
            // Closing after a failed write: the error that got us here is
            // the one the user hears about.
        }
        m_tabelle.setExclusive(false);
    }
    Alleinzugriff(const Alleinzugriff&) = delete;
    Alleinzugriff& operator=(const Alleinzugriff&) = delete;

    void fertig() { m_tabelle.close(); }

private:
    dbase::Table& m_tabelle;
};

// Every substance's key as values of built conditions: a key holding an
// apostrophe is compared like any other.
dbase::Filter auswahl(const Stoffschluesselmenge& stoffe)
{
    std::vector<dbase::Filter> terme;
    terme.reserve(stoffe.size());
    for (const auto& [carn, subcarn] : stoffe)
        terme.push_back(dbase::Filter::equals("CARN", carn) && dbase::Filter::equals("SUBCARN", subcarn));
    return dbase::Filter::anyOf(terme);
}

std::uint32_t zeilenKopieren(dbase::Table& namen, dbase::Table& ziel, Namenswahl wahl,
                             const std::function<void(std::uint32_t)>& jeZeile)
{
    if (wahl == Namenswahl::Alle && !OptWin98)
        return dbase::batchMove(namen, ziel, dbase::BatchMode::Append);
    std::uint32_t kopiert = 0;
    Stoffschluesselmenge schonKopiert;
    for (namen.first(); !namen.eof(); namen.next()) {
        if (wahl == Namenswahl::ErsteJeStoff) {
            const dbase::RecordView satz = namen.currentRecord();
            if (!schonKopiert.emplace(satz.text(namenCarn), satz.text(namenSubcarn)).second)
                continue;
        }
        ziel.append();
        for (int i = 0; i < namenFelder; ++i)
            ziel.field(i).setAsString(namen.field(i).asString());
        ziel.post();
        ++kopiert;
        if (jeZeile)
            jeZeile(kopiert);
    }
    return kopiert;
}

} // namespace

std::uint32_t NamenszeilenTabelleErzeugen(dbase::Table& namen, dbase::Table& ziel, const Stoffschluesselmenge& stoffe,
                                          Namenswahl wahl, const std::function<void(std::uint32_t)>& jeZeile)
{
    ziel.close();
    // Its tags go into the production index the new table gets.
    ziel.setIndexFiles(QString());
    ziel.createTable(namen.layout(), namen.languageDriver());
    Namenauswahl gefiltert(namen, auswahl(stoffe));
    Alleinzugriff zugriff(ziel);
    const std::uint32_t kopiert = zeilenKopieren(namen, ziel, wahl, jeZeile);
    for (const dbase::IndexDef& tag : NamenTags)
        ziel.addIndex(tag);
    zugriff.fertig();
    return kopiert;
}
