#pragma once

#include <vector>

#include <QPoint>
#include <QString>

#include "report/Band.h"
#include "report/Element.h"
#include "reports/Elementart.h"
#include "reports/Feldplatzhalter.h"
#include "reports/Layout.h"

namespace dbase {
class Table;
}

namespace reports {

// What the run elements of one engine read while its report prints.
struct Elementbau {
    // The sheet sizes its text labels as laid out; a label grows with its
    // text.
    enum class TextGroesse { Fest, Automatisch };

    // The tables field references name; read at print time, so the set must
    // outlive the report (an engine may change its ohneDatensatz between two
    // records).
    const TabellenSatz* tabellen = nullptr;
    dbase::Table* formeln = nullptr; // whose field "FORMEL" a structure picture shows
    TextGroesse text = TextGroesse::Fest;
};

// Builds the run element of one layout element of kind `art` on `band`, at
// the element's place shifted by `versatz` (pixels), with its `Tag`. The
// phrase memo, the formula rich texts, conditional captions, symbols and
// protection pictures are left for the engine's fill. nullptr when the
// element prints nothing (a system data caption without a digit 0 to 6 as
// its second character).
report::Element* laufelementBauen(const LayoutComponent& quelle, Elementart art, report::Band& band, QPoint versatz,
                                  const Elementbau& bau);

// Fills the run elements that the report and label engines fill afresh for
// every band or label, from the records the tables stand on: a hazard symbol
// by its field, the phrase memo (left empty when the substance table holds
// no record for it), the two formula kinds, and a conditional text, which
// these engines print as `bedingungstext` instead of expanding it. Other
// kinds are complete from the build or read their fields when printed.
struct Laufobjekt;
void laufelementeFuellen(const std::vector<Laufobjekt>& elemente, const TabellenSatz& tabellen,
                         const QString& bedingungstext);

} // namespace reports
