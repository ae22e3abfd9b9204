#include "reports/Vorlagensprache.h"

#include <functional>
#include <utility>

#include "dbase/Table.h"

namespace reports {

namespace {

// Field positions the phrase lookup reads.
constexpr int kTextFeld = 2;  // the line of text in "si_gef.dbf" and in every text insertion
constexpr int kRSatzFeld = 9; // R_SATZ of "chemie.dbf"
constexpr int kSSatzFeld = 10; // S_SATZ of "chemie.dbf"

// The text before the first `separator`, removed together with it. Without
// the separator the result is empty and nothing is removed: that is what
// makes a construct without its closing character print as plain text.
QString nimmBis(QString& rest, QChar separator)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 0)
        return {};
    QString before = rest.left(at);
    rest.remove(0, at + 1);
    return before;
}

void ueberspringeBis(QString& rest, QChar separator)
{
    const qsizetype at = rest.indexOf(separator);
    if (at >= 0)
        rest.remove(0, at + 1);
}

// Runs a clean-up on every way out: at once through jetzt(), whose errors
// reach the caller, or, when an error is already on its way, quietly from the
// destructor so that the first error is the one reported.
class BeimVerlassen {
public:
    explicit BeimVerlassen(std::function<void()> aufraeumen) : m_aufraeumen(std::move(aufraeumen)) {}
    BeimVerlassen(const BeimVerlassen&) = delete;
    BeimVerlassen& operator=(const BeimVerlassen&) = delete;
    ~BeimVerlassen()
    {
        if (m_offen) {
            try {
                m_aufraeumen();
            } catch (...) {
            }
        }
    }
    void jetzt()
    {
        m_offen = false;
        m_aufraeumen();
    }

private:
    std::function<void()> m_aufraeumen;
    bool m_offen = true;
};

// A text insertion and the phrase lookup leave their table without a filter.
void filterAus(dbase::Table& table)
{
    table.setFilter(dbase::Filter());
    table.setFiltered(false);
}

// Filters the table and moves it to its first passing record, looking the
// rows through once: while filtering is off, setting the filter moves
// nothing, and switching it on moves to that record. (A first() after that
// would look again, and would drop the table's cached records to check for
// other programs' writes, which the sheet run does once, when it positions
// its tables before the fill.) A filter the table refuses changes nothing
// but the switch.
void filtern(dbase::Table& table, const dbase::Filter& filter)
{
    table.setFiltered(false);
    table.setFilter(filter);
    table.setFiltered(true);
}

// A memo's text split into lines as a memo takes it: CR LF, CR or LF end a
// line, and a break at the very end opens no further line.
QStringList memoZeilen(const QString& text)
{
    QStringList zeilen;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        zeilen.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        zeilen.append(text.mid(start));
    return zeilen;
}

// Reads "{table,condition," from the rest and tests the condition on the
// table together with the filter it has. While the table stands on the
// first passing record, `beiTreffer` reads the body from the rest; without
// a passing record the rest is skipped through the next "}". The table's
// filter, filtered flag and position are put back on every way out. A table
// name that names none of the tables is a condition that does not hold.
void bedingungLesen(const TabellenSatz& tabellen, QString& rest, const std::function<void()>& beiTreffer)
{
    rest.remove(0, 1);
    const QString tabelle = nimmBis(rest, QLatin1Char(','));
    const QString bedingungsText = nimmBis(rest, QLatin1Char(','));
    dbase::Table* table = GetTable(tabelle, tabellen);
    if (!table) {
        ueberspringeBis(rest, QLatin1Char('}'));
        return;
    }
    const dbase::Filter bedingung =
        bedingungsText.trimmed().isEmpty() ? dbase::Filter() : dbase::Filter::parse(bedingungsText);

    const dbase::Filter gemerkterFilter = table->filter();
    const bool gemerktAktiv = table->filtered();
    const dbase::Bookmark lesezeichen = table->bookmark();
    BeimVerlassen zurueck([&] {
        table->setFilter(gemerkterFilter);
        table->setFiltered(gemerktAktiv);
        if (lesezeichen.valid() && table->bookmarkValid(lesezeichen))
            table->gotoBookmark(lesezeichen);
    });

    // The table's own filter counts, so a condition on the substance table
    // during a sheet run asks about the current substance only.
    filtern(*table, gemerkterFilter && bedingung);
    if (!table->eof())
        beiTreffer();
    else
        ueberspringeBis(rest, QLatin1Char('}'));
    zurueck.jetzt();
}

} // namespace

struct Vorlagensprache::Zeile {
    QStringList& memo;
    QString ausgabe;
    bool entfaellt = false; // a text insertion replaces the line by its own lines
};

void Vorlagensprache::Parser(QStringList& memo) const
{
    const QStringList vorlage = std::exchange(memo, {});
    for (const QString& vorlagenZeile : vorlage) {
        Zeile zeile{memo, {}, false};
        QString rest = vorlagenZeile;
        while (!rest.isEmpty()) {
            const QChar c = rest.front();
            if (c == QLatin1Char('[') && rest.size() > 1 && rest.at(1) == QLatin1Char('+')) {
                ParserTexteinschub(rest, zeile);
            } else if (c == QLatin1Char('[')) {
                ParserFeldverweis(rest, zeile.ausgabe);
            } else if (c == QLatin1Char('{')) {
                ParserBedingung(rest, zeile);
            } else {
                zeile.ausgabe += c;
                rest.remove(0, 1);
            }
        }
        if (!zeile.entfaellt)
            memo.append(zeile.ausgabe);
    }
}

void Vorlagensprache::ParserFeldverweis(QString& rest, QString& output) const
{
    rest.remove(0, 1);
    const QString tabelle = nimmBis(rest, QLatin1Char(','));
    const QString feld = nimmBis(rest, QLatin1Char(']'));
    output += Feldtext(m_tabellen, GetTable(tabelle, m_tabellen), feld);
}

void Vorlagensprache::ParserTexteinschub(QString& rest, Zeile& zeile) const
{
    zeile.entfaellt = true;
    rest.remove(0, 2);
    const QString tabelle = nimmBis(rest, QLatin1Char(','));
    const QString schluesselfeld = nimmBis(rest, QLatin1Char(','));
    const QString praefix = nimmBis(rest, QLatin1Char(','));
    QString wert;
    if (rest.startsWith(QLatin1Char('[')))
        ParserFeldverweis(rest, wert); // the insertion's own "]" stays and is lost with the line
    else
        wert = nimmBis(rest, QLatin1Char(']'));
    FetchTextToMemo(tabelle, schluesselfeld, praefix, wert, zeile.memo);
}

void Vorlagensprache::ParserBedingung(QString& rest, Zeile& zeile) const
{
    bedingungLesen(m_tabellen, rest, [&] {
        QString rumpf;
        if (rest.startsWith(QLatin1Char('['))) {
            // Only the construct counts; what follows it up to "}" is skipped.
            if (rest.size() > 1 && rest.at(1) == QLatin1Char('+'))
                ParserTexteinschub(rest, zeile);
            else
                ParserFeldverweis(rest, rumpf);
            ueberspringeBis(rest, QLatin1Char('}'));
        } else {
            rumpf = nimmBis(rest, QLatin1Char('}'));
        }
        zeile.ausgabe += rumpf;
    });
}

void Vorlagensprache::BedingungsParser(QString& caption) const
{
    const QString vorlage = std::exchange(caption, {});
    caption = BedingungsText(vorlage);
}

QString Vorlagensprache::BedingungsText(QString rest) const
{
    QString ausgabe;
    while (!rest.isEmpty()) {
        const QChar c = rest.front();
        if (c == QLatin1Char('[')) {
            ParserFeldverweis(rest, ausgabe);
        } else if (c == QLatin1Char('{')) {
            BedingungsParserBedingung(rest, ausgabe);
        } else {
            ausgabe += c;
            rest.remove(0, 1);
        }
    }
    return ausgabe;
}

void Vorlagensprache::BedingungsParserBedingung(QString& rest, QString& output) const
{
    bedingungLesen(m_tabellen, rest, [&] {
        // The body ends at the first "}", so a condition inside it has no
        // "}" of its own.
        output += BedingungsText(nimmBis(rest, QLatin1Char('}')));
    });
}

void Vorlagensprache::FetchTextToMemo(const QString& table, const QString& keyfield, const QString& prefix,
                                      const QString& value, QStringList& memo) const
{
    dbase::Table* tabelle = GetTable(table, m_tabellen);
    if (!tabelle)
        return;
    const QString gesucht = prefix + value;
    const std::string feld = keyfield.toStdString();
    // A predicate, so an apostrophe in a value selects exactly; a trailing
    // "*" keeps the meaning it has in filter text.
    const bool praefixsuche = gesucht.endsWith(QLatin1Char('*')) && !tabelle->filterOptions().noPartialCompare;
    filtern(*tabelle, praefixsuche ? dbase::Filter::startsWith(feld, gesucht.chopped(1))
                                   : dbase::Filter::equals(feld, gesucht));
    BeimVerlassen aufheben([tabelle] { filterAus(*tabelle); });
    for (; !tabelle->eof(); tabelle->next())
        memo.append(tabelle->field(kTextFeld).asString());
    aufheben.jetzt();
}

void Vorlagensprache::FetchRSToMemo(QChar letter, int fieldPosition, QStringList& memo) const
{
    QString nummern = m_tabellen.Table2 ? m_tabellen.Table2->field(fieldPosition).asString() : QString();
    QString text;
    for (const QString& zeile : memo)
        text += zeile + QStringLiteral("\r\n");

    dbase::Table* phrasen = m_tabellen.Table4;
    while (phrasen && !nummern.isEmpty()) {
        const qsizetype strich = nummern.indexOf(QLatin1Char('-'));
        const QString nummer = strich < 0 ? nummern : nummern.left(strich);
        nummern.remove(0, strich < 0 ? nummern.size() : strich + 1);

        phrasen->setFilterOptions(dbase::FilterOptions{.caseInsensitive = false, .noPartialCompare = true});
        filtern(*phrasen, dbase::Filter::equals("NRSATZ", letter + nummer));
        BeimVerlassen aufheben([phrasen] { filterAus(*phrasen); });
        if (!phrasen->eof()) {
            // The first line opens with the number and "= ", which the memo
            // does not show; continuation lines are joined by a blank.
            QString erste = phrasen->field(kTextFeld).asString();
            const qsizetype gleich = erste.indexOf(QLatin1Char('='));
            if (gleich >= 0)
                erste = erste.mid(gleich + 2);
            // One phrase ends where the next begins; joined without a blank
            // the sentences would run into each other.
            if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char(' ')))
                text += QLatin1Char(' ');
            text += erste;
            for (phrasen->next(); !phrasen->eof(); phrasen->next())
                text += QLatin1Char(' ') + phrasen->field(kTextFeld).asString();
        }
        aufheben.jetzt();
    }
    memo = memoZeilen(text + QLatin1Char(' '));
}

void Vorlagensprache::SaetzeFuellen(QStringList& memo) const
{
    memo.clear();
    FetchRSToMemo(QLatin1Char('R'), kRSatzFeld, memo);
    memo.append(QString());
    FetchRSToMemo(QLatin1Char('S'), kSSatzFeld, memo);
}

} // namespace reports
