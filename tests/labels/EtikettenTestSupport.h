#pragma once

// What the label tests read back from a printed PDF with poppler's tools.

#include <map>
#include <vector>

#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "dbase/Table.h"
#include "fixtures/Poppler.h"
#include "stream/Object.h"

namespace etikettentest {

// A label layout element of class `klasse`, its kind `tag` and its place in
// pixels.
inline stream::Object element(const char* klasse, const QString& name, int tag, QRect lage)
{
    stream::Object e(QString::fromLatin1(klasse), name);
    e.append(QStringLiteral("Tag"), stream::Value::integer(tag));
    e.append(QStringLiteral("Left"), stream::Value::integer(lage.x()));
    e.append(QStringLiteral("Top"), stream::Value::integer(lage.y()));
    e.append(QStringLiteral("Width"), stream::Value::integer(lage.width()));
    e.append(QStringLiteral("Height"), stream::Value::integer(lage.height()));
    return e;
}

// The CAS numbers printed on each page, in reading order: the word after
// each `marke`.
inline std::vector<QStringList> casProSeite(const QString& pdf, const QString& marke = QStringLiteral("CAS:"))
{
    const QString text = fixtures::poppler("pdftotext", {"-layout", pdf, "-"});
    std::vector<QStringList> seiten;
    for (const QString& seite : text.split(QLatin1Char('\f'))) {
        QStringList cas;
        const QStringList woerter = seite.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (qsizetype i = 0; i + 1 < woerter.size(); ++i)
            if (woerter[i] == marke)
                cas << woerter[i + 1];
        if (!cas.isEmpty())
            seiten.push_back(cas);
    }
    return seiten;
}

inline QStringList alle(const std::vector<QStringList>& seiten)
{
    QStringList folge;
    for (const QStringList& s : seiten)
        folge += s;
    return folge;
}

// Sets ANZAHL of the stock row `carn`/`subcarn` and leaves lager.dbf on it.
inline void anzahlSetzen(dbase::Table& lager, const QString& carn, const QString& subcarn, int anzahl)
{
    for (lager.first(); !lager.eof(); lager.next())
        if (lager.fieldByName("CARN").asString() == carn && lager.fieldByName("SUBCARN").asString() == subcarn) {
            lager.edit();
            lager.fieldByName("ANZAHL").setAsInteger(anzahl);
            lager.post();
            return;
        }
    ADD_FAILURE() << "no stock row " << carn.toStdString();
}

// The labels a job of all marked items should give, as "CARN/SUBCARN":
// every marked row as often as its count, in lager.dbf's order. Leaves the
// table on its first row.
inline QStringList etikettenfolge(dbase::Table& lager)
{
    QStringList folge;
    for (lager.first(); !lager.eof(); lager.next())
        for (int i = 0; i < lager.fieldByName("ANZAHL").asInteger(); ++i)
            folge << lager.fieldByName("CARN").asString() + "/" + lager.fieldByName("SUBCARN").asString();
    lager.first();
    return folge;
}

// The CAS numbers of "CARN/SUBCARN" keys, as a label prints them.
inline QStringList nurCas(const QStringList& schluessel)
{
    QStringList cas;
    for (const QString& s : schluessel)
        cas << s.section(QLatin1Char('/'), 0, 0);
    return cas;
}

} // namespace etikettentest
