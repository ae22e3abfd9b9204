#include "update/Lageruebernahme.h"

#include <array>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QHash>

#include "app/NameRules.h"
#include "app/RegisterAenderung.h"
#include "dbase/DbfFile.h"
#include "dbase/Journal.h"
#include "dbase/Table.h"
#include "files/Paths.h"
#include "widgets/ErrorText.h"

namespace uebernahme {

namespace {

// lager.dbf by position: NAME1, CARN, SUBCARN, MENGE_IN_G .. ANZAHL, STRIPNAME1.
constexpr int lagerFelder = 16;
constexpr int lagerStripname = 15;
// The stock data the 1.x table holds at the positions of lager.dbf.
constexpr int ersteLagerangabe = 3;
constexpr int letzteLagerangabe = 14;

// Zan 3.0: the positions of CHEMIE.ZAN a stock item is made from.
constexpr int zanName = 0;
constexpr int zanLieferant = 1;
constexpr int zanCarn = 3;
constexpr int zanLagerort = 18;
constexpr int zanFrei1 = 32;

// What one field of a new storage record gets: nothing, a text, a date or a
// whole number.
using Wert = std::variant<std::monostate, QString, QDate, qint64>;
using Lagersatz = std::array<Wert, lagerFelder>;

struct Namenszeile {
    QString name1, stripname1, carn, subcarn;
};

QString versionsname(Version version)
{
    return version == Version::Marlex1x ? u"Marlex 1.x"_qs : u"Zan 3.0"_qs;
}

QString altdatei(Version version)
{
    return version == Version::Marlex1x ? u"LAGER.MX1"_qs : u"CHEMIE.ZAN"_qs;
}

QString anzeige(const QString& pfad)
{
    return QDir::toNativeSeparators(pfad);
}

// The old table's file after the checks of its folder.
QString alteTabelleFinden(const Auftrag& auftrag)
{
    const QString verzeichnis = auftrag.verzeichnis.trimmed();
    if (verzeichnis.isEmpty())
        throw UebernahmeFehler(u"Bitte geben Sie das Verzeichnis der früheren Version an."_qs);
    const std::optional<QString> ordner = files::find(files::nativePath(verzeichnis + u'\\'));
    if (!ordner)
        throw UebernahmeFehler(u"Das Verzeichnis \"%1\" gibt es nicht."_qs.arg(anzeige(verzeichnis)));
    const QString echt = QFileInfo(*ordner).canonicalFilePath();
    for (const QString& eigenes : auftrag.eigeneVerzeichnisse) {
        if (!eigenes.isEmpty() && QFileInfo(eigenes).canonicalFilePath() == echt)
            throw UebernahmeFehler(
                u"Das Verzeichnis \"%1\" gehört zu diesem Marlex99; aus ihm kann nichts übernommen werden.\n\n"
                u"Bitte wählen Sie das Verzeichnis, in dem die frühere Version (%2) installiert ist."_qs
                    .arg(anzeige(verzeichnis), versionsname(auftrag.version)));
    }
    const QString name = altdatei(auftrag.version);
    const std::optional<QString> datei = files::find(QDir(*ordner).filePath(name));
    if (!datei || !QFileInfo(*datei).isFile())
        throw UebernahmeFehler(u"Im Verzeichnis \"%1\" gibt es keine Datei %2 von %3.\n\n"
                               u"Bitte wählen Sie das Verzeichnis, in dem die frühere Version installiert ist."_qs
                                   .arg(anzeige(verzeichnis), name, versionsname(auftrag.version)));
    return *datei;
}

std::unique_ptr<dbase::DbfFile> alteTabelleOeffnen(const QString& datei)
{
    try {
        return dbase::DbfFile::open(datei.toStdString(), dbase::OpenMode::ReadOnly, dbase::ShareMode::Shared);
    } catch (const std::exception& fehler) {
        throw UebernahmeFehler(u"Die Datei \"%1\" kann nicht gelesen werden:\n%2"_qs.arg(
            anzeige(datei), widgets::errorText(fehler)));
    }
}

// The old table's shape as the takeover reads it; MARKER's position for 3.0.
int aufbauPruefen(const dbase::DbfFile& alt, Version version, const QString& datei)
{
    const dbase::TableLayout& aufbau = alt.layout();
    const int mindestens = version == Version::Marlex1x ? letzteLagerangabe + 1 : zanFrei1 + 1;
    if (aufbau.fieldCount() < mindestens)
        throw UebernahmeFehler(u"Die Datei \"%1\" hat nicht den Aufbau der Daten von %2: sie hat %3 Felder, "
                               u"erwartet sind mindestens %4."_qs
                                   .arg(anzeige(datei), versionsname(version))
                                   .arg(aufbau.fieldCount())
                                   .arg(mindestens));
    if (version == Version::Marlex1x)
        return -1;
    const int marker = aufbau.indexOf("MARKER");
    if (marker < 0)
        throw UebernahmeFehler(u"Die Datei \"%1\" hat kein Feld MARKER; sie ist keine Stofftabelle von Zan 3.0."_qs
                                   .arg(anzeige(datei)));
    return marker;
}

// An old field as it goes into lager.dbf: a date stays a date, anything
// else goes as its text.
Wert alterWert(const dbase::RecordView& satz, int feld)
{
    if (satz.layout().field(feld).type == dbase::FieldType::Date) {
        if (const auto datum = satz.date(feld))
            return *datum;
        return {};
    }
    const QString text = satz.text(feld);
    if (text.isEmpty())
        return {};
    return text;
}

bool imLager(const dbase::RecordView& satz, int marker)
{
    if (const auto zahl = satz.number(marker))
        return *zahl > 0;
    return satz.text(marker).toDouble() > 0;
}

QString schluessel(const QString& carn, const QString& name1)
{
    return carn + QChar(0x1f) + name1;
}

// Every name row by CAS number and name, each list in name order: the
// lookups of the takeover compare both exactly, an apostrophe or a "*" in a
// name being a character like any other.
QHash<QString, QList<Namenszeile>> namenLesen(dbase::Table& namen)
{
    QHash<QString, QList<Namenszeile>> zeilen;
    for (namen.first(); !namen.eof(); namen.next()) {
        const dbase::RecordView satz = namen.currentRecord();
        Namenszeile z{satz.text(0), satz.text(1), satz.text(2), satz.text(3)};
        zeilen[schluessel(z.carn, z.name1)].append(std::move(z));
    }
    return zeilen;
}

Lagersatz ausNamenszeile(const Namenszeile& zeile)
{
    Lagersatz satz;
    satz[0] = zeile.name1;
    satz[1] = zeile.carn;
    satz[2] = zeile.subcarn;
    satz[lagerStripname] = zeile.stripname1;
    return satz;
}

// Opens a closed table for the run and closes it again however the run ends.
class Geoeffnet {
public:
    explicit Geoeffnet(dbase::Table& tabelle) : m_tabelle(tabelle) { m_tabelle.open(); }
    ~Geoeffnet()
    {
        try {
            m_tabelle.close();
        } catch (...) {
            // Every row was synced when its bulk ended; an index that could
            // not be written keeps its mark and is made anew at the next open.
        }
    }
    Geoeffnet(const Geoeffnet&) = delete;
    Geoeffnet& operator=(const Geoeffnet&) = delete;

private:
    dbase::Table& m_tabelle;
};

void setzen(dbase::Field feld, const Wert& wert)
{
    if (const auto* text = std::get_if<QString>(&wert))
        feld.setAsString(*text);
    else if (const auto* datum = std::get_if<QDate>(&wert))
        feld.setAsDate(*datum);
    else if (const auto* zahl = std::get_if<qint64>(&wert))
        feld.setAsInteger(*zahl);
}

QString engineFehler(const std::exception& fehler)
{
    return widgets::errorText(fehler);
}

} // namespace

int alteSaetze(const Auftrag& auftrag)
{
    const QString datei = alteTabelleFinden(auftrag);
    return int(alteTabelleOeffnen(datei)->recordCount());
}

Ergebnis ausfuehren(const Auftrag& auftrag, dbase::Table& namen, dbase::Table& lager, const Fortschritt& fortschritt)
{
    const QString datei = alteTabelleFinden(auftrag);
    const std::unique_ptr<dbase::DbfFile> alt = alteTabelleOeffnen(datei);
    const int marker = aufbauPruefen(*alt, auftrag.version, datei);
    const bool namensabgleich = auftrag.version == Version::Zan30 || auftrag.einzeln;

    QHash<QString, QList<Namenszeile>> namenszeilen;
    if (namensabgleich) {
        try {
            Geoeffnet offen(namen);
            namenszeilen = namenLesen(namen);
        } catch (const std::exception& fehler) {
            throw UebernahmeFehler(u"Die Namenstabelle kann nicht gelesen werden:\n%1"_qs.arg(engineFehler(fehler)));
        }
    }

    // Every old record read and converted before anything is written.
    Ergebnis ergebnis;
    std::vector<Lagersatz> neu;
    const QDate heute = QDate::currentDate();
    std::string bytes;
    try {
        for (std::uint32_t r = 1; r <= alt->recordCount(); ++r) {
            alt->readRecord(r, bytes);
            const dbase::RecordView satz(alt->layout(), alt->codePage(), bytes);
            if (satz.deleted())
                continue;
            ++ergebnis.gelesen;
            if (auftrag.version == Version::Marlex1x && !auftrag.einzeln) {
                Lagersatz l;
                for (int f = 0; f <= letzteLagerangabe; ++f)
                    l[std::size_t(f)] = alterWert(satz, f);
                l[lagerStripname] = StripNameBilden(satz.text(0));
                neu.push_back(std::move(l));
            } else if (auftrag.version == Version::Marlex1x) {
                const auto treffer = namenszeilen.constFind(schluessel(satz.text(1), satz.text(0)));
                if (treffer == namenszeilen.constEnd() || treffer->isEmpty()) {
                    ++ergebnis.uebergangen;
                } else {
                    Lagersatz l = ausNamenszeile(treffer->first());
                    for (int f = ersteLagerangabe; f <= letzteLagerangabe; ++f)
                        l[std::size_t(f)] = alterWert(satz, f);
                    neu.push_back(std::move(l));
                }
            } else if (imLager(satz, marker)) {
                for (const Namenszeile& zeile : namenszeilen.value(schluessel(satz.text(zanCarn), satz.text(zanName)))) {
                    Lagersatz l = ausNamenszeile(zeile);
                    l[3] = qint64(0);
                    l[4] = heute;
                    l[5] = heute;
                    l[6] = qint64(0);
                    l[7] = alterWert(satz, zanLagerort);
                    l[8] = alterWert(satz, zanFrei1);
                    l[10] = alterWert(satz, zanLieferant);
                    l[14] = qint64(1);
                    neu.push_back(std::move(l));
                }
            }
            if (fortschritt)
                fortschritt(int(r), int(alt->recordCount()), 0);
        }
    } catch (const dbase::DbaseError& fehler) {
        throw UebernahmeFehler(
            u"Die Datei \"%1\" kann nicht gelesen werden:\n%2"_qs.arg(anzeige(datei), engineFehler(fehler)));
    }

    // The stock items are written in one bulk as a step of one change of
    // the register; when one fails, the items written before it leave
    // lager.dbf again, so that another try finds none of them there.
    std::optional<QString> fehlschlag;
    const auto nichtUebernommen = [](const std::exception& fehler, const QString& folge) {
        return u"Die Lagerdaten konnten nicht in das Lager (lager.dbf) übernommen werden:\n%1\n\n%2"_qs.arg(
            engineFehler(fehler), folge);
    };
    const QString nichts = u"Es wurde nichts übernommen; die Übernahme kann wiederholt werden."_qs;
    try {
        Geoeffnet offen(lager);
        if (lager.fieldCount() < lagerFelder)
            throw dbase::DbaseError("Die Tabelle lager.dbf hat weniger als 16 Felder.");
        // A kill or power cut in the middle leaves none of the items: the
        // bulk's count is written at its end, and what the file holds past
        // it is cut off at the next start.
        dbase::JournalChange journal;
        RegisterAenderung aenderung;
        try {
            aenderung.anhaengen(lager, neu.size(), [&](dbase::Table& t, std::size_t i) {
                if (fortschritt && i > 0)
                    fortschritt(int(i), int(neu.size()), int(i));
                for (int f = 0; f < lagerFelder; ++f)
                    setzen(t.field(f), neu[i][std::size_t(f)]);
            });
            if (fortschritt && !neu.empty())
                fortschritt(int(neu.size()), int(neu.size()), int(neu.size()));
        } catch (const std::exception& fehler) {
            fehlschlag = nichtUebernommen(
                fehler, aenderung.zuruecknehmen().isEmpty()
                    ? nichts
                    : u"Was schon in lager.dbf geschrieben war, konnte nicht wieder entfernt werden. Bitte "
                      u"prüfen Sie das Lager, bevor Sie die Übernahme wiederholen."_qs);
        }
        journal.commit();
    } catch (const std::exception& fehler) {
        fehlschlag = nichtUebernommen(fehler, nichts);
    }
    if (fehlschlag)
        throw UebernahmeFehler(*fehlschlag);
    ergebnis.uebernommen = int(neu.size());
    return ergebnis;
}

} // namespace uebernahme
