#pragma once

#include <functional>
#include <stdexcept>

#include <QString>
#include <QStringList>

namespace dbase { class Table; }

// The takeover of an earlier installation's storage register into lager.dbf.
// Two earlier versions are known: "Marlex 1.x" kept its stock items in
// LAGER.MX1 (the storage layout, the name, CAS and sub-number first), "Zan
// 3.0" marked the substances in stock in CHEMIE.ZAN (field MARKER above 0).
//
// The earlier installation is only read: its table is opened read-only under
// its own name, found whatever its case, and its folder stays as it was. Every
// old record is read and converted before the first storage record is
// written. The new records reach lager.dbf all or none: when one cannot be
// written, those written before it are taken out again, so the takeover can
// simply be tried again without an item twice.
namespace uebernahme {

enum class Version { Marlex1x = 0, Zan30 = 1 };

// A takeover that cannot be done or went wrong, with the German text the
// user reads.
class UebernahmeFehler : public std::runtime_error {
public:
    explicit UebernahmeFehler(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

struct Ergebnis {
    int gelesen = 0;      // old records read (deleted ones not counted)
    int uebernommen = 0;  // storage records written
    int uebergangen = 0;  // old 1.x records whose name and CAS number no name row has
};

// Told once per old record read and once per storage record written: how far
// the run is, `schritt` of `schritte` (the old table's records while they are
// read, then the new storage records while they are written), and the storage
// records written so far. The progress window follows it.
using Fortschritt = std::function<void(int schritt, int schritte, int uebernommen)>;

struct Auftrag {
    Version version = Version::Marlex1x;
    QString verzeichnis;    // the earlier installation's folder, "\" or "/"
    // Marlex 1.x only: the record-by-record run, which takes name and key
    // from the matching name row and passes over records without one (true),
    // or the batch run, which takes every old record as it is (false).
    bool einzeln = true;
    // Folders that are refused as the earlier installation: the register's
    // own and the program's, whose lager.dbf would be read into itself.
    QStringList eigeneVerzeichnisse;
};

// The number of old records the run will read (for the progress bar), after
// the same checks of the folder as ausfuehren(). Throws UebernahmeFehler.
int alteSaetze(const Auftrag& auftrag);

// Runs the takeover into `lager` (lager.dbf, closed) with the names of
// `namen` (the name table, closed, in name order): both are opened and
// closed again, also on an error. Throws UebernahmeFehler with the reason and
// whether lager.dbf is as before (the records written are taken back).
Ergebnis ausfuehren(const Auftrag& auftrag, dbase::Table& namen, dbase::Table& lager,
                    const Fortschritt& fortschritt = {});

} // namespace uebernahme
