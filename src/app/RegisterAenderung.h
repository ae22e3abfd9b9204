#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QByteArrayList>
#include <QString>
#include <QStringList>

class QWidget;
namespace dbase { class Table; }

// A change of the register that spans several rows and tables and is kept
// whole or not at all. Every step is written at once; when a later one
// fails, the steps done are undone in reverse order: appended rows are
// taken out of the file again, a changed row gets its stored bytes back, a
// removed row is appended again with every field as it was, its memo
// included (under a new record number; the tables' order and contents are
// as before).
//
// A table's filter is switched off while a step or its undo looks for its
// row, and put back afterwards.
class RegisterAenderung {
public:
    using Fuellen = std::function<void(dbase::Table&)>;

    // Appends a row to `tabelle`, lets `fuellen` set its fields, stores it.
    void anhaengen(dbase::Table& tabelle, const Fuellen& fuellen);
    // Appends `anzahl` rows in one bulk of the table (gathered, written
    // about a megabyte at a time and synced once at the end, instead of
    // each on its own); `fuellen(t, i)` sets the fields of row i. When a
    // row fails, the rows of this bulk still in the file are taken out of
    // it with the other steps' undo, all in one go.
    using FuellenNr = std::function<void(dbase::Table&, std::size_t)>;
    void anhaengen(dbase::Table& tabelle, std::size_t anzahl, const FuellenNr& fuellen);
    // Lets `aendern` change the row with this record number and stores it.
    void aendern(dbase::Table& tabelle, std::uint32_t recNo, const Fuellen& aendern);
    // Removes the row with this record number.
    void entfernen(dbase::Table& tabelle, std::uint32_t recNo);

    // Undoes every step done, last first. The tables that could not be put
    // back wholly, by name; empty when all are as before.
    QStringList zuruecknehmen();

private:
    enum class Art { Angehaengt, Geaendert, Entfernt };
    struct Schritt {
        dbase::Table* tabelle;
        Art art;
        std::uint32_t recNo; // of the (first) appended or the changed row
        QByteArrayList werte; // the row's fields as stored before
        std::uint32_t bis = 0; // the last of rows appended one after the other
    };
    void angehaengt(dbase::Table& tabelle, std::uint32_t recNo, bool anschliessen);
    // Takes back the rows from `von` to `bis` that are still in the file.
    static void zuruecknehmen(dbase::Table& tabelle, std::uint32_t von, std::uint32_t bis);
    std::vector<Schritt> m_schritte;
};

// Runs `schritte` as one change of the register, under the tables' journal:
// a kill or power cut in the middle leaves it to be taken back whole at the
// next start. When a step throws, the
// steps done are undone, `nachDerRuecknahme` runs (to put back what the
// window showed before) and the user learns from `fenster`, in German, that
// `was` ("Der Stoff kann nicht gelöscht werden.") and whether the tables are
// as before, with the engine's reason. True when every step was done.
bool RegisterAendern(QWidget* fenster, const QString& was, const std::function<void(RegisterAenderung&)>& schritte,
                     const std::function<void()>& nachDerRuecknahme = {});

// A row's fields as stored, memos included, without any translation; and
// the same put into the current row, which must be in Edit or Insert state.
QByteArrayList Zeilenwerte(dbase::Table& tabelle);
void ZeilenwerteSetzen(dbase::Table& tabelle, const QByteArrayList& werte);
