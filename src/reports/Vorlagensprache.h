#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include "reports/Feldplatzhalter.h"

namespace reports {

// The template language of the sheet's template memos and conditional
// captions, and the R and S phrase lookup that every engine's phrase memo
// uses.
//
//   [table,field]                          the field of the table's current record
//   [+table,keyfield,prefix,value]         one memo line per record whose keyfield
//                                          is prefix + value (value may be a
//                                          [table,field]); the template line is dropped
//   {table,condition,body}                 body when a record passes the condition
//
// Arguments end at the next "," and constructs at the next "]" or "}"; there
// is no escape and no trimming. A missing separator gives an empty argument
// and removes nothing, so a construct without its "}" shows its body as plain
// text. Conditions are filter texts of the dBASE layer, tested together with
// the filter the table already has; values from the data are compared as
// predicates, never spliced into filter text. A table name that names none of
// the four tables yields nothing and reads no table; a condition on it does
// not hold.
//
// Errors (a field the table lacks, a condition the filter parser rejects) are
// the dBASE layer's DbaseError. On that way out too a condition's table gets
// its filter, flag and position back, and the table of a text insertion or
// phrase lookup is left unfiltered, as after a normal end.
class Vorlagensprache {
public:
    explicit Vorlagensprache(const TabellenSatz& tabellen) : m_tabellen(tabellen) {}

    // Expands the lines of a template memo in place.
    void Parser(QStringList& memo) const;
    // Expands a conditional caption in place; "[" is always a field reference
    // here.
    void BedingungsParser(QString& caption) const;

    // Adds the third field of every record of the table whose keyfield equals
    // prefix + value, in the table's order. The table is left unfiltered with
    // an empty filter, where the search ended; its filter options stay, and a
    // trailing "*" matches as a prefix unless they say no-partial-compare.
    void FetchTextToMemo(const QString& table, const QString& keyfield, const QString& prefix,
                         const QString& value, QStringList& memo) const;
    // Appends the phrase texts of the current substance (letter 'R' with the
    // field at position 9, 'S' with position 10 of "chemie.dbf") to the memo's
    // text, looked up in "si_gef.dbf" by exact NRSATZ; the memo's text then
    // ends with one blank. "si_gef.dbf" is left unfiltered, with the option
    // no-partial-compare.
    void FetchRSToMemo(QChar letter, int fieldPosition, QStringList& memo) const;
    // The phrase memo of every engine: the R texts, an empty line, the S texts.
    void SaetzeFuellen(QStringList& memo) const;

private:
    struct Zeile; // the state of one template line being read

    void ParserFeldverweis(QString& rest, QString& output) const;
    void ParserTexteinschub(QString& rest, Zeile& zeile) const;
    void ParserBedingung(QString& rest, Zeile& zeile) const;
    QString BedingungsText(QString rest) const;
    void BedingungsParserBedingung(QString& rest, QString& output) const;

    TabellenSatz m_tabellen;
};

} // namespace reports
