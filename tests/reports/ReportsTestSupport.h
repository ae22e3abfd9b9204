#pragma once

// The four tables field references and templates may name, made in the
// current (temporary) directory and opened as the data module holds them.

#include <string>
#include <vector>

#include <QStringList>

#include "dbase/Table.h"
#include "fixtures/Tables.h"
#include "reports/Feldplatzhalter.h"

namespace reportstest {

inline dbase::FieldDef text(const std::string& name, int length)
{
    return fixtures::field(name, dbase::FieldType::Character, length);
}

inline void makeTable(dbase::Table& table, const QString& file, const std::vector<dbase::FieldDef>& fields,
                      const std::vector<QStringList>& rows)
{
    fixtures::makeTable(table, file, dbase::TableLayout(fields), rows);
    table.first();
}

// Substances (R_SATZ at position 9, S_SATZ at 10 as in the real table):
//   Ethanol 64-17-5/1, Aceton 67-64-1/2 (four R phrases, one of two lines),
//   Bob's Stoff 123-45-6/0 (no phrases, an apostrophe in its name).
struct Tabellen {
    dbase::Table namen;
    dbase::Table chemie;
    dbase::Table lager;
    dbase::Table siGef;

    Tabellen()
    {
        makeTable(namen, "namen.dbf",
                  {text("NAME1", 40), text("STRIPNAME1", 40), text("CARN", 12), text("SUBCARN", 4)},
                  {{"Ethanol", "ETHANOL", "64-17-5", "1"},
                   {"Aceton", "ACETON", "67-64-1", "2"},
                   {"Bob's Stoff", "BOBSSTOFF", "123-45-6", "0"}});
        makeTable(chemie, "chemie.dbf",
                  {text("NAME1", 40), text("NAME2", 40), text("CARN", 12), text("SUBCARN", 4),
                   text("EG_INDEX", 12), text("FORMEL", 20), text("GEFSYM1", 3), text("GEFSYM2", 3),
                   text("GEFSYM3", 3), text("R_SATZ", 40), text("S_SATZ", 40)},
                  {{"Ethanol", "", "64-17-5", "1", "603-002-00-5", "C2H6O", "F", "", "", "11", "7-16"},
                   {"Aceton", "Propanon", "67-64-1", "2", "606-001-00-8", "C3H6O", "F", "Xi", "", "11-36-66-67",
                    "9-16"},
                   {"Bob's Stoff", "", "123-45-6", "0", "", "", "", "", "", "", ""}});
        makeTable(lager, "lager.dbf",
                  {text("NAME1", 40), text("CARN", 12), text("SUBCARN", 4), text("LAGER_ORT", 20)},
                  {{"Ethanol", "64-17-5", "1", "Schrank 1"},
                   {"Aceton", "67-64-1", "2", "Schrank 2"},
                   {"Aceton", "67-64-1", "2", "Keller"}});
        makeTable(siGef, "si_gef.dbf", {text("NRSATZ", 6), text("NR", 4), text("SATZTEXT", 60)},
                  {{"R11", "11", "11= Leichtentzündlich."},
                   {"R36", "36", "36= Reizt die Augen."},
                   {"R66", "66", "66= Wiederholter Kontakt kann zu spröder"},
                   {"R66", "66", "oder rissiger Haut führen."},
                   {"R67", "67", "67= Dämpfe können Schläfrigkeit verursachen."},
                   {"R110", "110", "110= gibt es nicht"},
                   {"S7", "7", "7= Behälter dicht geschlossen halten."},
                   {"S9", "9", "9= Behälter an einem gut gelüfteten Ort aufbewahren."},
                   {"S16", "16", "16= Von Zündquellen fernhalten - Nicht rauchen."}});
    }

    reports::TabellenSatz satz() { return {&namen, &chemie, &lager, &siGef}; }

    // The sheet run narrows the substance table to the current substance.
    void substanz(const QString& carn, const QString& subcarn)
    {
        chemie.setFilter(dbase::Filter::equals("CARN", carn) && dbase::Filter::equals("SUBCARN", subcarn));
        chemie.setFiltered(true);
        chemie.first();
    }
};

} // namespace reportstest
