#include "LabelLayout.h"

#include <QStringList>

#include "LayoutWriter.h"
#include "stream/StreamWriter.h"

namespace demo {

namespace {

using reports::Elementart;
using stream::Colour;
using stream::Object;
using stream::Value;

// 105 mm wide; 279 pixels are 73.8 mm, so that four labels fit between the
// margins' 296 mm whatever the rounding of pixels to millimetres.
constexpr int kWidth = 397;
constexpr int kHeight = 279;
constexpr int kRand = 14; // inside the label: printers leave the sheet's edge blank

const Colour kOrange = Colour::fromRgb(243, 146, 0);

const Schrift kStoffname{-17, {QStringLiteral("fsBold")}, kInk};
const Schrift kFormel{-13, {}, kInk};
const Schrift kBeschriftung{-10, {QStringLiteral("fsBold")}, kMuted};
const Schrift kWert{-10, {}, kBlack};
const Schrift kCode{-9, {QStringLiteral("fsBold")}, kBlack};
const Schrift kKlein{-8, {}, kMuted};
const Schrift kSaetze{-8, {}, kBlack};

// "E Explosionsgefährlich · O Brandfördernd · ...": the key to the codes
// printed under the symbols.
QString schluessel()
{
    QStringList teile;
    for (const auto& [code, name] : kGefahrBezeichnungen)
        teile << QStringLiteral("%1 %2").arg(QLatin1String(code), QString::fromUtf8(name));
    return teile.join(QStringLiteral(" · "));
}

} // namespace

std::vector<Object> labelLayoutRecords()
{
    // The template owns its elements directly; a band of the label's size
    // writes them, and its own record is not stored.
    LayoutBand e(Seite{}, QStringLiteral("Etikett"), "rbDetail", 0, kHeight);
    constexpr int innen = kWidth - 2 * kRand;
    e.shape(QStringLiteral("Rahmen"), QRect(kRand / 2, kRand / 2, kWidth - kRand, kHeight - kRand), "qrsRectangle",
            kOrange, 2);

    e.field(QStringLiteral("Name"), QRect(kRand, 10, innen, 21), QStringLiteral("[chemie.dbf NAME1]"), kStoffname);
    e.formula(QStringLiteral("Formel"), Elementart::eaSummenformel, QRect(kRand, 32, 190, 18), kFormel);
    constexpr int casLeft = kRand + 200;
    e.text(QStringLiteral("CasText"), QRect(casLeft, 35, 46, 13), QStringLiteral("CAS-Nr.:"), kBeschriftung);
    e.field(QStringLiteral("Cas"), QRect(casLeft + 48, 35, kWidth - kRand - casLeft - 48, 13),
            QStringLiteral("[chemie.dbf CARN]"), kWert);

    // The four symbols side by side, each with its code under it, the key
    // to the codes beside them.
    constexpr int symbol = 36;
    constexpr int schritt = 42;
    constexpr int symbolTop = 53;
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        const int left = kRand + i * schritt;
        e.picture(QStringLiteral("Symbol") + n, Elementart::eaGefahrsymbol, QRect(left, symbolTop, symbol, symbol),
                  QStringLiteral("[chemie.dbf GEFSYM%1]").arg(n));
        e.field(QStringLiteral("Code") + n, QRect(left, symbolTop + symbol + 1, symbol, 11),
                QStringLiteral("[chemie.dbf GEFSYM%1]").arg(n), kCode);
    }
    constexpr int schluesselLeft = kRand + 4 * schritt + 4;
    e.text(QStringLiteral("Schluessel"), QRect(schluesselLeft, symbolTop, kWidth - kRand - schluesselLeft, 48),
           schluessel(), kKlein, true);

    // The phrase texts take what is left between the symbols and the
    // footer: the longest of the demo's substances (n-Hexan, about 950
    // characters) fills twelve of its fourteen lines.
    constexpr int saetzeTop = symbolTop + symbol + 14;
    constexpr int fuss = 241;
    e.memo(QStringLiteral("Saetze"), Elementart::eaSaetze, QRect(kRand, saetzeTop, innen, fuss - 4 - saetzeTop), {},
           kSaetze);

    // Supplier and storage place each on a line of its own: a long storage
    // place ("Giftschrank (unter Paraffinöl)") must not run off the label.
    constexpr int wert = kRand + 54;
    e.shape(QStringLiteral("Linie"), QRect(kRand, fuss - 3, innen, 2), "qrsHorLine", kMuted, 1);
    e.text(QStringLiteral("LieferantText"), QRect(kRand, fuss, 52, 12), QStringLiteral("Lieferant:"), kBeschriftung);
    e.field(QStringLiteral("Lieferant"), QRect(wert, fuss, kWidth - kRand - wert, 12),
            QStringLiteral("[lager.dbf LIEFERANT]"), kWert);
    e.text(QStringLiteral("OrtText"), QRect(kRand, fuss + 12, 52, 12), QStringLiteral("Lagerort:"), kBeschriftung);
    e.field(QStringLiteral("Ort"), QRect(wert, fuss + 12, kWidth - kRand - wert, 12),
            QStringLiteral("[lager.dbf LAGER_ORT]"), kWert);

    Object report(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    report.append(QStringLiteral("Left"), Value::integer(0));
    report.append(QStringLiteral("Top"), Value::integer(0));
    report.append(QStringLiteral("Width"), Value::integer(kWidth));
    report.append(QStringLiteral("Height"), Value::integer(kHeight));
    report.append(QStringLiteral("Font.Charset"), Value::identifier(QStringLiteral("DEFAULT_CHARSET")));
    report.append(QStringLiteral("Font.Color"), colourValue(kBlack));
    report.append(QStringLiteral("Font.Height"), Value::integer(kBody.height));
    report.append(QStringLiteral("Font.Name"), Value::string(QStringLiteral("Arial")));
    report.append(QStringLiteral("Font.Style"), Value::set({}));
    report.append(QStringLiteral("Units"), Value::identifier(QStringLiteral("MM")));
    report.children = e.record().children;
    return {report};
}

void writeLabelLayout(const QString& path)
{
    stream::StreamWriter::writeFile(path, labelLayoutRecords());
}

} // namespace demo
