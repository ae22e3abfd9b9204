#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <vector>

#include <QDate>
#include <QString>
#include <QStringList>

namespace dbase {
class JournalChange;
class Table;
class TableLayout;
}

namespace update {

// A run that cannot start (an update table of another layout); nothing has
// been written. The message is German and meant for the user.
class UpdateFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An update table carries chemie.dbf's fields at chemie.dbf's positions
// (further fields are left alone), each of its type; a number field may be
// a text field in the update table: throws UpdateFehler naming the first
// field that is missing, has another name or another type.
void layoutPruefen(const dbase::TableLayout& update, const dbase::TableLayout& chemie);

// What a run has merged so far.
struct Updatestand {
    int aufgefrischt = 0;  // substance records found and changed
    int uebernommen = 0;   // substance records appended
    QStringList zeilen;    // one report line per changed or appended record
    QString fehler;        // why the run stopped; empty when it went through
};

// Merges an update table (`quelle`, open) into chemie.dbf (`chemie`, open,
// unfiltered) and adds the name rows its substances lack to the register's
// name table (`namen`, open on namen.dbf, unfiltered). The tables' index
// orders are set by the run; putting them back is the caller's.
class Datenupdate {
public:
    // Checks the update table's layout and its numbers; throws UpdateFehler
    // before anything is written.
    Datenupdate(dbase::Table& quelle, dbase::Table& chemie, dbase::Table& namen);

    // Record by record in the update table's order: a substance whose
    // fields differ is overwritten, an unknown one appended, a known one
    // with the same values left alone; then its name row is added when its
    // key has none. `schritt` runs after each update record. All fields of
    // a record are read and converted before its substance is touched; the
    // first error cancels that record and ends the run (stand().fehler).
    void satzweise(const std::function<void()>& schritt = {});

    // The same merge as one batch move into chemie.dbf, counted beforehand,
    // then the name rows of every substance that has none; `namenStart`
    // runs between the two steps. Both write the index files at their end.
    // A kill or power cut in the middle of either leaves none of the rows
    // the run appended.
    void inEinem(const std::function<void()>& namenStart = {});

    const Updatestand& stand() const { return m_stand; }

private:
    // One update record's values, as they are written into chemie.dbf; an
    // empty number stays empty.
    struct Wert {
        QString text;
        std::optional<double> zahl;
    };
    using Satz = std::vector<Wert>;

    // Every number of the update table reads as one and fits chemie.dbf's
    // field; UpdateFehler naming the field and the substance otherwise.
    void zahlenPruefen();
    // The number in field i of the update record; nullopt when blank,
    // UpdateFehler when it is no number.
    std::optional<double> zahlLesen(int i);
    Satz satzLesen();
    bool gleich(const Satz& satz);
    void stoffSchreiben(const Satz& satz);
    void nameErgaenzen(const QString& name, const QString& carn, const QString& subcarn);
    bool zahlfeld(int i) const;
    void abschliessen(dbase::JournalChange& lauf);

    dbase::Table& m_quelle;
    dbase::Table& m_chemie;
    dbase::Table& m_namen;
    int m_felder;  // chemie.dbf's field count
    int m_carn;    // key fields of the update table, by name
    int m_subcarn;
    Updatestand m_stand;
};

// The lines of UPDATE.TXT for a run of `datum`.
QStringList berichtszeilen(const QDate& datum, const Updatestand& stand);

// Writes the lines in Windows-1252, each ending with CR LF, in place of an
// earlier file; UpdateFehler when the file cannot be written.
void berichtSchreiben(const QString& datei, const QStringList& zeilen);

} // namespace update
