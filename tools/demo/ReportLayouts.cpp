#include "ReportLayouts.h"

#include "LayoutWriter.h"
#include "reports/Elementart.h"
#include "stream/StreamWriter.h"

namespace demo {

namespace {

using reports::Elementart;

constexpr Seite kSeite{210.0, 297.0, 15.0, 12.0, 12.0};

// The columns of a list line, in pixels from the band's left edge.
struct Spalte {
    const char* name;
    const char* caption;
    int left;
    int width;
    const char* reference;
};

LayoutBand titel(const QString& heading, const QString& subline)
{
    LayoutBand b(kSeite, QStringLiteral("Titel"), "rbTitle", px(kSeite.topMarginMm), 64);
    b.text(QStringLiteral("Text"), QRect(0, 0, 440, 38), heading, {-27, {QStringLiteral("fsBold")}, kInk});
    b.text(QStringLiteral("Programm"), QRect(2, 40, 440, 16), subline, kSmall);
    b.text(QStringLiteral("StandText"), QRect(b.width() - 130, 40, 52, 16), QStringLiteral("Stand:"), kSmall);
    b.systemData(QStringLiteral("Datum"), QRect(b.width() - 76, 40, 76, 16), QStringLiteral("#1"), kSmall);
    return b;
}

LayoutBand spaltenkopf(int top, const std::vector<Spalte>& spalten)
{
    LayoutBand b(kSeite, QStringLiteral("Kopf"), "rbColumnHeader", top, 26);
    b.frameBottom(kInk);
    b.shape(QStringLiteral("Balken"), QRect(0, 2, b.width(), 22), "qrsRectangle", kBar, 0, kBar);
    for (const Spalte& s : spalten)
        b.text(QLatin1String(s.name), QRect(s.left + 2, 6, s.width - 4, 16), QString::fromUtf8(s.caption), kLabel);
    return b;
}

LayoutBand zeile(int top, int height, const std::vector<Spalte>& spalten)
{
    LayoutBand b(kSeite, QStringLiteral("Posten"), "rbDetail", top, height);
    b.frameBottom(kRule);
    for (const Spalte& s : spalten)
        if (s.reference)
            b.field(QLatin1String(s.name), QRect(s.left + 2, 3, s.width - 4, 16), QLatin1String(s.reference), kSmall);
    return b;
}

LayoutBand summe(int top, const QString& caption)
{
    LayoutBand b(kSeite, QStringLiteral("Summe"), "rbSummary", top, 34);
    b.text(QStringLiteral("Text"), QRect(2, 12, 240, 16), caption, kLabel);
    b.systemData(QStringLiteral("Anzahl"), QRect(246, 12, 60, 16), QStringLiteral("#5"), kBody);
    return b;
}

LayoutBand fusszeile(const QString& caption)
{
    constexpr int height = 28;
    LayoutBand b(kSeite, QStringLiteral("Fuss"), "rbPageFooter", px(kSeite.lengthMm - kSeite.bottomMarginMm) - height,
                 height);
    b.frameTop(kRule);
    b.text(QStringLiteral("Text"), QRect(0, 8, 300, 15), caption, kSmall);
    b.text(QStringLiteral("SeiteText"), QRect(b.width() - 60, 8, 36, 15), QStringLiteral("Seite"), kSmall);
    b.systemData(QStringLiteral("Seite"), QRect(b.width() - 22, 8, 22, 15), QStringLiteral("#3"), kSmall);
    return b;
}

// One or more of the hazard symbols in any of the four symbol fields.
QString symbolAuswahl(const QStringList& codes)
{
    QStringList terms;
    for (const char* field : {"GEFSYM1", "GEFSYM2", "GEFSYM3", "GEFSYM4"})
        for (const QString& code : codes)
            terms << QStringLiteral("%1='%2'").arg(QLatin1String(field), code);
    return terms.join(QStringLiteral(" OR "));
}

} // namespace

std::vector<stream::Object> stockListRecords()
{
    const std::vector<Spalte> spalten{
        {"Ort", "Lagerort", 0, 170, "[lager.dbf LAGER_ORT]"},
        {"Stoff", "Stoff", 170, 196, "[lager.dbf NAME1]"},
        {"Cas", "CAS-Nr.", 366, 78, "[lager.dbf CARN]"},
        {"Menge", "Menge (g)", 444, 70, "[lager.dbf MENGE_IN_G]"},
        {"Alt", "Erfasst", 514, 82, "[lager.dbf DATUM_ALT]"},
        {"Neu", "Geändert", 596, 84, "[lager.dbf DATUM_NEU]"},
    };
    std::vector<LayoutBand> bands;
    bands.push_back(titel(QStringLiteral("Lagerliste"),
                          QStringLiteral("Marlex99 · alle Lagerdatensätze mit Lagerort, Menge und Datum")));
    bands.push_back(spaltenkopf(bands.back().bottom(), spalten));
    bands.push_back(zeile(bands.back().bottom(), 22, spalten));
    bands.push_back(summe(bands.back().bottom(), QStringLiteral("Anzahl der Lagerdatensätze:")));
    bands.push_back(fusszeile(QStringLiteral("Marlex99 · Lagerliste")));
    // The whole storage table; an empty selection line filters nothing.
    return layoutRecords(QStringLiteral("TOwnQuickRep"), QStringLiteral("Lagerliste"), kSeite,
                         QStringLiteral("Lagerliste"), {QStringLiteral("lager.dbf"), QString()}, bands);
}

std::vector<stream::Object> toxicListRecords()
{
    const std::vector<Spalte> spalten{
        {"Symbol", "", 0, 80, nullptr},
        {"Stoff", "Stoff", 80, 220, "[chemie.dbf NAME1]"},
        {"Cas", "CAS-Nr. / R-Sätze", 300, 130, "[lager.dbf CARN]"},
        {"Ort", "Lagerort", 430, 180, "[lager.dbf LAGER_ORT]"},
        {"Menge", "Menge (g)", 610, 70, "[lager.dbf MENGE_IN_G]"},
    };
    std::vector<LayoutBand> bands;
    bands.push_back(titel(QStringLiteral("Giftliste"),
                          QStringLiteral("Marlex99 · Lagerdatensätze sehr giftiger (T+) und giftiger (T) Stoffe")));
    bands.push_back(spaltenkopf(bands.back().bottom(), spalten));
    LayoutBand posten = zeile(bands.back().bottom(), 44, spalten);
    // The first two symbols: the toxic one is among them in every
    // substance of the demo.
    for (int slot = 1; slot <= 2; ++slot)
        posten.picture(QStringLiteral("Symbol%1").arg(slot), Elementart::eaGefahrsymbol,
                       QRect(2 + (slot - 1) * 38, 3, 36, 36), QStringLiteral("[chemie.dbf GEFSYM%1]").arg(slot));
    // Under the name its formula, under the CAS number the R phrases.
    posten.formula(QStringLiteral("Formel"), Elementart::eaSummenformel, QRect(82, 22, 180, 18), kSmall);
    posten.field(QStringLiteral("R"), QRect(302, 23, 300, 16), QStringLiteral("[chemie.dbf R_SATZ]"), kSmall);
    bands.push_back(std::move(posten));
    bands.push_back(fusszeile(QStringLiteral("Marlex99 · Giftliste · unter Verschluss aufbewahren")));
    return layoutRecords(QStringLiteral("TOwnQuickRep"), QStringLiteral("Giftliste"), kSeite,
                         QStringLiteral("Giftliste"), {QStringLiteral("chemie.dbf"), symbolAuswahl({"T+", "T"})},
                         bands);
}

QStringList writeReportLayouts(const QDir& programDir)
{
    const QString lagerliste = programDir.absoluteFilePath(QLatin1String(kStockListLayoutFile));
    const QString giftliste = programDir.absoluteFilePath(QLatin1String(kToxicListLayoutFile));
    stream::StreamWriter::writeFile(lagerliste, stockListRecords());
    stream::StreamWriter::writeFile(giftliste, toxicListRecords());
    return {lagerliste, giftliste};
}

} // namespace demo
