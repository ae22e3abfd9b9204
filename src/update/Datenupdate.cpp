#include "update/Datenupdate.h"

#include <QLocale>
#include <QSaveFile>

#include "app/NameRules.h"
#include "dbase/CodePage.h"
#include "dbase/Journal.h"
#include "dbase/Table.h"
#include "files/Paths.h"
#include "widgets/ErrorText.h"

namespace update {

namespace {

const QString carnSub = QStringLiteral("CARN_SUB");

bool istZahl(dbase::FieldType typ)
{
    return typ == dbase::FieldType::Numeric || typ == dbase::FieldType::Float;
}

void abbrechen(dbase::Table& table)
{
    try {
        table.cancel();
    } catch (const std::exception&) {
        // Nothing of the record was written; the error that got us here
        // is the one to report.
    }
}

QString einzeilig(const std::exception& fehler)
{
    return widgets::errorText(fehler).simplified();
}

QString feldart(dbase::FieldType typ)
{
    switch (typ) {
    case dbase::FieldType::Character: return QStringLiteral("ein Textfeld");
    case dbase::FieldType::Numeric:
    case dbase::FieldType::Float: return QStringLiteral("ein Zahlenfeld");
    case dbase::FieldType::Date: return QStringLiteral("ein Datumsfeld");
    case dbase::FieldType::Logical: return QStringLiteral("ein logisches Feld");
    case dbase::FieldType::Memo: return QStringLiteral("ein Memofeld");
    case dbase::FieldType::Binary: return QStringLiteral("ein Binärfeld");
    case dbase::FieldType::General: return QStringLiteral("ein OLE-Feld");
    }
    return QStringLiteral("ein Feld unbekannter Art");
}

// A number field of the register takes numbers and text that reads as
// numbers (a supplier may keep the molar mass as text); every other field
// its own type.
bool typPasst(dbase::FieldType update, dbase::FieldType chemie)
{
    if (istZahl(chemie))
        return istZahl(update) || update == dbase::FieldType::Character;
    return update == chemie;
}

const QString nichtVeraendert = QStringLiteral("Die Daten wurden nicht verändert.");

} // namespace

void layoutPruefen(const dbase::TableLayout& update, const dbase::TableLayout& chemie)
{
    for (int i = 0; i < chemie.fieldCount(); ++i) {
        const QString erwartet = QString::fromStdString(chemie.field(i).name);
        if (i >= update.fieldCount())
            throw UpdateFehler(QStringLiteral("Die Updatedatei hat nur %1 Felder, chemie.dbf hat %2: das Feld %3 "
                                              "fehlt. Die Daten wurden nicht verändert.")
                                   .arg(update.fieldCount())
                                   .arg(chemie.fieldCount())
                                   .arg(erwartet)
                                   .toStdString());
        const QString name = QString::fromStdString(update.field(i).name);
        if (name.compare(erwartet, Qt::CaseInsensitive) != 0)
            throw UpdateFehler(QStringLiteral("Das %1. Feld der Updatedatei heißt %2, in chemie.dbf steht dort %3. "
                                              "Die Updatedatei passt nicht zu dieser Datenbank; die Daten wurden "
                                              "nicht verändert.")
                                   .arg(i + 1)
                                   .arg(name, erwartet)
                                   .toStdString());
        const dbase::FieldType typ = update.field(i).type;
        if (!typPasst(typ, chemie.field(i).type))
            throw UpdateFehler(QStringLiteral("Das Feld %1 ist in der Updatedatei %2, in chemie.dbf %3. "
                                              "Die Updatedatei passt nicht zu dieser Datenbank; die Daten wurden "
                                              "nicht verändert.")
                                   .arg(erwartet, feldart(typ), feldart(chemie.field(i).type))
                                   .toStdString());
    }
}

Datenupdate::Datenupdate(dbase::Table& quelle, dbase::Table& chemie, dbase::Table& namen)
    : m_quelle(quelle), m_chemie(chemie), m_namen(namen), m_felder(chemie.fieldCount()),
      m_carn(chemie.layout().indexOf("CARN")), m_subcarn(chemie.layout().indexOf("SUBCARN"))
{
    layoutPruefen(quelle.layout(), chemie.layout());
    if (m_carn < 0 || m_subcarn < 0)
        throw UpdateFehler("chemie.dbf hat keine Felder CARN und SUBCARN.");
    try {
        zahlenPruefen();
    } catch (const UpdateFehler& fehler) {
        throw UpdateFehler(fehler.what() + (u' ' + nichtVeraendert).toStdString());
    }
}

bool Datenupdate::zahlfeld(int i) const
{
    return istZahl(m_chemie.layout().field(i).type);
}

void Datenupdate::zahlenPruefen()
{
    for (m_quelle.first(); !m_quelle.eof(); m_quelle.next()) {
        for (int i = 0; i < m_felder; ++i) {
            if (!zahlfeld(i))
                continue;
            const std::optional<double> zahl = zahlLesen(i);
            const dbase::FieldDef& feld = m_chemie.layout().field(i);
            try {
                if (zahl)
                    dbase::encodeFieldNumber(feld, *zahl);
            } catch (const dbase::DbaseError&) {
                throw UpdateFehler(QStringLiteral("Im Feld %1 der Updatedatei steht bei %2 die Zahl %3; sie passt "
                                                  "nicht in das Feld %1 von chemie.dbf (%4 Stellen, davon %5 nach "
                                                  "dem Komma).")
                                       .arg(QString::fromStdString(feld.name), m_quelle.field(0).asString().trimmed(),
                                            dbase::numberDisplayText(*zahl))
                                       .arg(feld.length)
                                       .arg(feld.decimals)
                                       .toStdString());
            }
        }
    }
}

std::optional<double> Datenupdate::zahlLesen(int i)
{
    const QString text = m_quelle.field(i).asString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // A numeric field as stored, not through its shown text of 15 digits.
    const auto zahl = istZahl(m_quelle.layout().field(i).type) ? m_quelle.currentRecord().number(i)
                                                                : dbase::parseNumberText(text);
    if (!zahl)
        throw UpdateFehler(QStringLiteral("Im Feld %1 der Updatedatei steht bei %2 \"%3\", keine Zahl.")
                               .arg(QString::fromStdString(m_quelle.layout().field(i).name),
                                    m_quelle.field(0).asString().trimmed(), text)
                               .toStdString());
    return zahl;
}

Datenupdate::Satz Datenupdate::satzLesen()
{
    Satz satz(static_cast<std::size_t>(m_felder));
    for (int i = 0; i < m_felder; ++i) {
        Wert& wert = satz[static_cast<std::size_t>(i)];
        if (!zahlfeld(i))
            wert.text = m_quelle.field(i).asString();
        else
            wert.zahl = zahlLesen(i);
    }
    return satz;
}

bool Datenupdate::gleich(const Satz& satz)
{
    const dbase::RecordView gespeichert = m_chemie.currentRecord();
    for (int i = 0; i < m_felder; ++i) {
        const Wert& wert = satz[static_cast<std::size_t>(i)];
        if (!zahlfeld(i)) {
            if (m_chemie.field(i).asString() != wert.text)
                return false;
            continue;
        }
        // A number compares as chemie.dbf would store it: 12.5 and 12.50
        // are the same value in a field of two decimals.
        const std::optional<double> zahl = gespeichert.number(i);
        if (zahl.has_value() != wert.zahl.has_value())
            return false;
        const dbase::FieldDef& feld = m_chemie.layout().field(i);
        if (zahl && dbase::encodeFieldNumber(feld, *zahl) != dbase::encodeFieldNumber(feld, *wert.zahl))
            return false;
    }
    return true;
}

void Datenupdate::stoffSchreiben(const Satz& satz)
{
    for (int i = 0; i < m_felder; ++i) {
        const Wert& wert = satz[static_cast<std::size_t>(i)];
        dbase::Field feld = m_chemie.field(i);
        if (!zahlfeld(i))
            feld.setAsString(wert.text);
        else if (wert.zahl)
            feld.setAsFloat(*wert.zahl);
        else
            feld.clear();
    }
}

void Datenupdate::nameErgaenzen(const QString& name, const QString& carn, const QString& subcarn)
{
    m_namen.append();
    m_namen.fieldByName("NAME1").setAsString(name);
    m_namen.fieldByName("STRIPNAME1").setAsString(StripNameBilden(name));
    m_namen.fieldByName("CARN").setAsString(carn);
    m_namen.fieldByName("SUBCARN").setAsString(subcarn);
    m_namen.post();
}

void Datenupdate::satzweise(const std::function<void()>& schritt)
{
    m_chemie.setIndexName(carnSub);
    m_namen.setIndexName(carnSub);
    // A kill or power cut takes back every substance and name row the run
    // appended, so that no substance is left without its name row; the
    // update can simply be run again.
    dbase::JournalChange lauf(dbase::JournalScope::Appends);
    // Thousands of records: gathered and synced once at the run's end, not
    // record by record.
    dbase::Bulk sammeln{&m_chemie, &m_namen};
    QString name;
    try {
        for (m_quelle.first(); !m_quelle.eof(); m_quelle.next()) {
            name = m_quelle.field(0).asString();
            const Satz satz = satzLesen();
            const QString& carn = satz[static_cast<std::size_t>(m_carn)].text;
            const QString& subcarn = satz[static_cast<std::size_t>(m_subcarn)].text;
            if (!m_chemie.findKey({carn, subcarn})) {
                m_chemie.append();
                stoffSchreiben(satz);
                m_chemie.post();
                ++m_stand.uebernommen;
                m_stand.zeilen << name + QStringLiteral(" wurde in die Datenbank übernommen.");
            } else if (!gleich(satz)) {
                m_chemie.edit();
                stoffSchreiben(satz);
                m_chemie.post();
                ++m_stand.aufgefrischt;
                m_stand.zeilen << name + QStringLiteral(" wurde in der Datenbank aufgefrischt.");
            }
            if (!m_namen.findKey({carn, subcarn}))
                nameErgaenzen(satz[0].text, carn, subcarn);
            if (schritt)
                schritt();
        }
        sammeln.end();
        m_chemie.flush(); // and the index files
        m_namen.flush();
    } catch (const std::exception& fehler) {
        abbrechen(m_chemie);
        abbrechen(m_namen);
        m_stand.fehler = name.isEmpty() ? einzeilig(fehler)
                                        : QStringLiteral("%1: %2").arg(name.trimmed(), einzeilig(fehler));
    }
    abschliessen(lauf);
}

void Datenupdate::inEinem(const std::function<void()>& namenStart)
{
    m_chemie.setIndexName(carnSub);
    dbase::JournalChange lauf(dbase::JournalScope::Appends);
    QString name;
    try {
        // The batch move tells nothing per record, so the outcome of each is
        // told beforehand.
        Updatestand gezaehlt;
        for (m_quelle.first(); !m_quelle.eof(); m_quelle.next()) {
            name = m_quelle.field(0).asString();
            const Satz satz = satzLesen();
            if (!m_chemie.findKey({satz[static_cast<std::size_t>(m_carn)].text,
                                   satz[static_cast<std::size_t>(m_subcarn)].text}))
                ++gezaehlt.uebernommen;
            else if (!gleich(satz))
                ++gezaehlt.aufgefrischt;
        }
        name.clear();
        dbase::batchMove(m_quelle, m_chemie, dbase::BatchMode::AppendUpdate);
        m_stand.aufgefrischt = gezaehlt.aufgefrischt;
        m_stand.uebernommen = gezaehlt.uebernommen;

        if (namenStart)
            namenStart();
        m_namen.setIndexName(carnSub);
        dbase::Bulk sammeln{&m_namen};
        for (m_chemie.first(); !m_chemie.eof(); m_chemie.next()) {
            if (m_namen.findKey(m_chemie.currentRecord(), {m_carn, m_subcarn}))
                continue;
            name = m_chemie.field(0).asString();
            nameErgaenzen(name, m_chemie.field(m_carn).asString(), m_chemie.field(m_subcarn).asString());
        }
        sammeln.end();
        // The index files at the run's end, as record by record: a kill
        // afterwards leaves none that misses the merged substances.
        m_chemie.flush();
        m_namen.flush();
    } catch (const std::exception& fehler) {
        abbrechen(m_namen);
        m_stand.fehler = name.isEmpty() ? einzeilig(fehler)
                                        : QStringLiteral("%1: %2").arg(name.trimmed(), einzeilig(fehler));
    }
    abschliessen(lauf);
}

// What the run wrote stays, also what it merged before an error; a commit
// the disk refuses leaves it to be taken back at the next start.
void Datenupdate::abschliessen(dbase::JournalChange& lauf)
{
    try {
        lauf.commit();
    } catch (const dbase::DbaseError& fehler) {
        if (m_stand.fehler.isEmpty())
            m_stand.fehler = einzeilig(fehler);
    }
}

QStringList berichtszeilen(const QDate& datum, const Updatestand& stand)
{
    QStringList zeilen{QStringLiteral("Datenupdate vom %1:").arg(QLocale().toString(datum, QLocale::ShortFormat)),
                       QString()};
    zeilen << stand.zeilen;
    if (!stand.fehler.isEmpty())
        zeilen << QString() << QStringLiteral("Das Update wurde wegen eines Fehlers abgebrochen: ") + stand.fehler;
    zeilen << QString() << QStringLiteral("Es wurden %1 Datensätze aufgefrischt.").arg(stand.aufgefrischt)
           << QStringLiteral("Es wurden %1 Datensätze übernommen.").arg(stand.uebernommen);
    return zeilen;
}

void berichtSchreiben(const QString& datei, const QStringList& zeilen)
{
    QSaveFile bericht(files::resolveForWrite(datei));
    QByteArray text;
    for (const QString& zeile : zeilen)
        text += QByteArray::fromStdString(dbase::CodePage::windows1252().encode(zeile)) + "\r\n";
    if (!bericht.open(QIODevice::WriteOnly) || bericht.write(text) != text.size() || !bericht.commit())
        throw UpdateFehler(QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2")
                               .arg(datei, bericht.errorString())
                               .toStdString());
}

} // namespace update
