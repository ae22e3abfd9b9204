#pragma once

// Report runs on the demo register for the report generator's tests: a test
// layout written with the demo's layout writer, and the printed lines read
// back from the PDF with poppler's tools.

#include <vector>

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include "demo/LayoutWriter.h"
#include "fixtures/Poppler.h"
#include "stream/StreamWriter.h"

namespace reportlauf {

// A report whose detail line reads "POS: <CAS> <storage place> ... <substance
// name>", with a title line, a child band below the detail band, and a
// summary line with a conditional text.
inline void testlayoutSchreiben(const QString& pfad, const QStringList& beschreibung)
{
    const demo::Seite seite{};
    demo::LayoutBand titel(seite, QStringLiteral("Titel"), "rbTitle", 45, 30);
    titel.text(QStringLiteral("Text"), QRect(0, 0, 300, 20), QStringLiteral("TITELZEILE"), demo::kBody);
    demo::LayoutBand posten(seite, QStringLiteral("Posten"), "rbDetail", 75, 20);
    posten.text(QStringLiteral("Pos"), QRect(0, 0, 40, 16), QStringLiteral("POS:"), demo::kBody);
    posten.field(QStringLiteral("Cas"), QRect(44, 0, 100, 16), QStringLiteral("[lager.dbf CARN]"));
    posten.field(QStringLiteral("Ort"), QRect(150, 0, 230, 16), QStringLiteral("[lager.dbf LAGER_ORT]"));
    posten.field(QStringLiteral("Stoff"), QRect(400, 0, 250, 16), QStringLiteral("[chemie.dbf NAME1]"));
    demo::LayoutBand kind(seite, QStringLiteral("Kind"), "rbChild", posten.bottom(), 20);
    kind.text(QStringLiteral("Text"), QRect(0, 0, 300, 16), QStringLiteral("KINDBAND"), demo::kBody);
    demo::LayoutBand summe(seite, QStringLiteral("Summe"), "rbSummary", kind.bottom(), 20);
    summe.text(QStringLiteral("Text"), QRect(0, 0, 200, 16), QStringLiteral("SUMMENZEILE"), demo::kBody);
    summe.conditional(QStringLiteral("Bedingt"), QRect(210, 0, 400, 16),
                      QStringLiteral("{chemie.dbf,NAME1<>'',bedingt}"), demo::kBody);
    stream::StreamWriter::writeFile(pfad, demo::layoutRecords(QStringLiteral("TOwnQuickRep"), QStringLiteral("Test"),
                                                              seite, QStringLiteral("Test"), beschreibung,
                                                              {titel, posten, kind, summe}));
}

// One printed detail line: the stock item's CAS number and the rest of the
// line after it (storage place and substance name).
struct Zeile {
    QString cas;
    QString rest;
};

// The detail lines of every page, in reading order.
inline std::vector<std::vector<Zeile>> zeilenProSeite(const QString& pdf, const QString& marke = QStringLiteral("POS:"))
{
    const QString text = fixtures::poppler("pdftotext", {"-layout", pdf, "-"});
    std::vector<std::vector<Zeile>> seiten;
    QStringList seitentexte = text.split(QLatin1Char('\f'));
    if (!seitentexte.isEmpty() && seitentexte.back().trimmed().isEmpty())
        seitentexte.removeLast();
    const QRegularExpression zeile(QStringLiteral("%1\\s+(\\S+)\\s+(.*)$").arg(QRegularExpression::escape(marke)));
    for (const QString& seite : seitentexte) {
        std::vector<Zeile> zeilen;
        for (const QString& z : seite.split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch treffer = zeile.match(z);
            if (treffer.hasMatch())
                zeilen.push_back({treffer.captured(1), treffer.captured(2).trimmed()});
        }
        seiten.push_back(zeilen);
    }
    return seiten;
}

// The CAS numbers of every detail line, sorted.
inline QStringList casSortiert(const QString& pdf)
{
    QStringList cas;
    for (const auto& seite : zeilenProSeite(pdf))
        for (const Zeile& z : seite)
            cas << z.cas;
    cas.sort();
    return cas;
}

} // namespace reportlauf
