#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include <QString>

#include "search/Namentabellen.h"
#include "search/Namenszeilen.h"

namespace dbase { class Table; }

// A research: every substance in one of whose fields a text occurs, its
// name rows copied into a research table, which the list then shows.

struct Rechercheauftrag {
    Namentabelle ziel = Namentabelle::Tmp1; // the research table filled: Tmp1 or Tmp2
    QString text;                           // searched for anywhere in any field
    bool synonyme = true;          // all name rows of a found substance, else its first name
    bool filterMitbenutzen = true; // with the list filter on, only its substances
    bool grossKlein = false;       // letter case counts
};

// The keys of the substances among `chemie`'s rows (all it shows, from the
// first) in one of whose fields `text` occurs anywhere: numbers and dates
// as their text, the memo as its text. Without `grossKlein` the letters a
// to z count as A to Z; umlauts and ß are compared as they are. `jeSatz`
// runs once per row searched, with the number of substances found so far.
Stoffschluesselmenge StoffeSuchen(dbase::Table& chemie, const QString& text, bool grossKlein,
                                  const std::function<void(std::size_t gefunden)>& jeSatz = {});

// Whether the research table holds rows from an earlier research; false
// when its file is not there.
bool RechercheTabelleGefuellt(Namentabelle ziel);

// The research after the user's questions, with the progress window shown:
// searches chemie.dbf, under the list filter in force or without it, and
// makes the research table anew (in the working folder) from the name rows
// the current name table holds of the substances found. chemie.dbf and the
// name table are put back as they were, whatever happens. With rows copied,
// the target's switch commands are enabled and the list switched to it;
// with none, the emptied target's commands are disabled (also when the
// build of the table failed midway). The target must not be the current
// name table, whose rows are the source. Returns the number of name rows
// copied.
std::uint32_t RechercheAusfuehren(const Rechercheauftrag& auftrag);
