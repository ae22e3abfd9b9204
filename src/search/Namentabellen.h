#pragma once

#include <QString>

namespace dbase { class Table; }

// The name tables the name list can show, all with the layout of namen.dbf:
// the register's own namen.dbf ("STAMM") and the two research tables
// zan_tmp1.dbf and zan_tmp2.dbf ("TMP1", "TMP2"), which the program makes
// empty at every start and the research fills. While the list filter is on,
// the list reads filter.dbf instead, built from the current one of the three.
enum class Namentabelle { Stamm, Tmp1, Tmp2 };

struct Namentabellenart {
    QString datei;      // file name as the program names it
    QString indexDatei; // its production index
    QString status;     // what the status bar shows while it is current
};
const Namentabellenart& namentabellenart(Namentabelle tabelle);

// The table file and index file to open: namen.dbf in the register's
// folder; the research tables, like filter.dbf, in the working folder
// (Datas->arbeitsdatei), so that a write-protected register in read-only
// mode is never written to.
QString namentabellenDatei(Namentabelle tabelle);
QString namentabellenIndexDatei(Namentabelle tabelle);
QString filterDatei();
QString filterIndexDatei();

// Which name table the list shows, and where its rows are kept. Whoever
// copies, deletes or renames name rows writes namen.dbf always and, when
// the list shows an extract (`auszug()`), also the table the list reads
// (Datas->Table1): the research table, or filter.dbf while the list filter
// is on; with the list filter on a research table, that research table's
// file (namentabellenDatei(tabelle)) as well. So the list and the register
// never disagree, and nothing written to an extract alone is lost at the
// next start.
struct NamentabellenStand {
    Namentabelle tabelle = Namentabelle::Stamm; // the current name table
    bool filtertabelle = false;                 // the list reads filter.dbf, made from it
    bool auszug() const { return tabelle != Namentabelle::Stamm || filtertabelle; }
};
NamentabellenStand namentabellenStand();

// Opens `namen` (the data module's Table1) on the current name table with
// its index, whatever it held before (filter.dbf, a print job's namen.dbf).
void aktuelleNamentabelleOeffnen(dbase::Table& namen);
