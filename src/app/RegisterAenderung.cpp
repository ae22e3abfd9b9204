#include "app/RegisterAenderung.h"

#include <algorithm>

#include "dbase/DbaseError.h"
#include "dbase/Journal.h"
#include "dbase/Table.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace {

// Lets a step reach a row that the table's filter (the list filter on
// chemie.dbf) hides.
class OhneFilter {
public:
    explicit OhneFilter(dbase::Table& tabelle) : m_tabelle(tabelle), m_gefiltert(tabelle.filtered())
    {
        if (m_gefiltert)
            m_tabelle.setFiltered(false);
    }
    ~OhneFilter()
    {
        try {
            if (m_gefiltert)
                m_tabelle.setFiltered(true);
        } catch (const dbase::DbaseError&) {
            // The filter was in force a moment ago; it is only switched on.
        }
    }
    OhneFilter(const OhneFilter&) = delete;
    OhneFilter& operator=(const OhneFilter&) = delete;

private:
    dbase::Table& m_tabelle;
    bool m_gefiltert;
};

void aufZeile(dbase::Table& tabelle, std::uint32_t recNo)
{
    if (!tabelle.gotoRecNo(recNo))
        throw dbase::DbaseError("Der Datensatz " + std::to_string(recNo) + " von \"" + tabelle.tableName().toStdString()
                                + "\" ist nicht mehr vorhanden.");
}

// Stores the row being filled; a row the table refuses is dropped, so the
// table browses again for the undo.
void speichern(dbase::Table& tabelle, const RegisterAenderung::Fuellen& fuellen)
{
    try {
        fuellen(tabelle);
        tabelle.post();
    } catch (...) {
        tabelle.cancel();
        throw;
    }
}

} // namespace

QByteArrayList Zeilenwerte(dbase::Table& tabelle)
{
    QByteArrayList werte;
    for (int i = 0; i < tabelle.fieldCount(); ++i)
        werte << tabelle.field(i).asBytes();
    return werte;
}

void ZeilenwerteSetzen(dbase::Table& tabelle, const QByteArrayList& werte)
{
    for (int i = 0; i < werte.size(); ++i)
        tabelle.field(i).setAsBytes(werte[i]);
}

void RegisterAenderung::angehaengt(dbase::Table& tabelle, std::uint32_t recNo, bool anschliessen)
{
    // Rows that follow each other in the file are one step; a row another
    // program appended in between begins a new one, so that its row is
    // never taken back with ours.
    if (anschliessen && !m_schritte.empty()) {
        Schritt& letzter = m_schritte.back();
        if (letzter.tabelle == &tabelle && letzter.art == Art::Angehaengt && letzter.bis + 1 == recNo) {
            letzter.bis = recNo;
            return;
        }
    }
    m_schritte.push_back({&tabelle, Art::Angehaengt, recNo, {}, recNo});
}

void RegisterAenderung::anhaengen(dbase::Table& tabelle, const Fuellen& fuellen)
{
    const OhneFilter ohne(tabelle);
    tabelle.append();
    speichern(tabelle, fuellen);
    angehaengt(tabelle, tabelle.recNo(), false);
}

void RegisterAenderung::anhaengen(dbase::Table& tabelle, std::size_t anzahl, const FuellenNr& fuellen)
{
    const OhneFilter ohne(tabelle);
    // Left by an error, the bulk ends quietly: the rows a failed write held
    // are not in the table, and the undo takes out the others.
    dbase::Bulk bulk{&tabelle};
    for (std::size_t i = 0; i < anzahl; ++i) {
        tabelle.append();
        speichern(tabelle, [&](dbase::Table& t) { fuellen(t, i); });
        angehaengt(tabelle, tabelle.recNo(), i > 0);
    }
    bulk.end(); // writes and syncs what is gathered
}

void RegisterAenderung::zuruecknehmen(dbase::Table& tabelle, std::uint32_t von, std::uint32_t bis)
{
    // Rows past the file's end went with a write that failed.
    bis = std::min(bis, tabelle.recordCount());
    if (bis < von || tabelle.takeBackAppends(von, bis))
        return;
    // Something was appended after them: they stay behind, deleted.
    for (std::uint32_t r = bis; r >= von; --r) {
        aufZeile(tabelle, r);
        tabelle.remove();
    }
}

void RegisterAenderung::aendern(dbase::Table& tabelle, std::uint32_t recNo, const Fuellen& aendern)
{
    const OhneFilter ohne(tabelle);
    aufZeile(tabelle, recNo);
    QByteArrayList vorher = Zeilenwerte(tabelle);
    tabelle.edit();
    speichern(tabelle, aendern);
    m_schritte.push_back({&tabelle, Art::Geaendert, recNo, std::move(vorher)});
}

void RegisterAenderung::entfernen(dbase::Table& tabelle, std::uint32_t recNo)
{
    const OhneFilter ohne(tabelle);
    aufZeile(tabelle, recNo);
    QByteArrayList vorher = Zeilenwerte(tabelle);
    tabelle.remove();
    m_schritte.push_back({&tabelle, Art::Entfernt, 0, std::move(vorher)});
}

QStringList RegisterAenderung::zuruecknehmen()
{
    QStringList nichtZurueck;
    for (auto s = m_schritte.rbegin(); s != m_schritte.rend(); ++s) {
        dbase::Table& tabelle = *s->tabelle;
        try {
            const OhneFilter ohne(tabelle);
            switch (s->art) {
            case Art::Angehaengt:
                zuruecknehmen(tabelle, s->recNo, s->bis);
                break;
            case Art::Geaendert:
                aufZeile(tabelle, s->recNo);
                tabelle.edit();
                speichern(tabelle, [&](dbase::Table& t) { ZeilenwerteSetzen(t, s->werte); });
                break;
            case Art::Entfernt:
                tabelle.append();
                speichern(tabelle, [&](dbase::Table& t) { ZeilenwerteSetzen(t, s->werte); });
                break;
            }
        } catch (const dbase::DbaseError&) {
            if (!nichtZurueck.contains(tabelle.tableName()))
                nichtZurueck << tabelle.tableName();
        }
    }
    m_schritte.clear();
    return nichtZurueck;
}

bool RegisterAendern(QWidget* fenster, const QString& was, const std::function<void(RegisterAenderung&)>& schritte,
                     const std::function<void()>& nachDerRuecknahme)
{
    // A kill or power cut in the middle is taken back from the journal at
    // the next start; a step the disk refuses, by the undo here.
    dbase::JournalChange journal;
    RegisterAenderung aenderung;
    try {
        schritte(aenderung);
        journal.commit();
        return true;
    } catch (const dbase::DbaseError& fehler) {
        const QStringList nichtZurueck = aenderung.zuruecknehmen();
        try {
            journal.commit();
        } catch (const dbase::DbaseError&) {
            // The journal stays, and the next start takes the change back.
        }
        if (nachDerRuecknahme)
            nachDerRuecknahme();
        const QString folge = nichtZurueck.isEmpty()
            ? QStringLiteral("Keine der Tabellen wurde verändert.")
            : QStringLiteral("Was schon in %1 geändert war, konnte nicht wiederhergestellt werden.")
                  .arg(nichtZurueck.join(QStringLiteral(", ")));
        widgets::MessageBox::error(fenster, was + QLatin1Char(' ') + folge + QStringLiteral("\n\n")
                                                + widgets::errorText(fehler));
        return false;
    }
}
