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

const Schrift kStoffname{-19, {QStringLiteral("fsBold")}, kInk};
const Schrift kFormel{-15, {}, kInk};
const Schrift kBeschriftung{-11, {QStringLiteral("fsBold")}, kMuted};
const Schrift kWert{-11, {}, kBlack};
const Schrift kCode{-10, {QStringLiteral("fsBold")}, kBlack};
const Schrift kKlein{-8, {}, kMuted};
const Schrift kSaetze{-9, {}, kBlack};

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

    e.field(QStringLiteral("Name"), QRect(kRand, 12, innen, 24), QStringLiteral("[chemie.dbf NAME1]"), kStoffname);
    e.formula(QStringLiteral("Formel"), Elementart::eaSummenformel, QRect(kRand, 38, 200, 22), kFormel);
    e.text(QStringLiteral("CasText"), QRect(kRand, 64, 52, 15), QStringLiteral("CAS-Nr.:"), kBeschriftung);
    e.field(QStringLiteral("Cas"), QRect(kRand + 54, 64, 150, 15), QStringLiteral("[chemie.dbf CARN]"), kWert);

    // The four symbols side by side, each with its code under it, the key
    // to the codes beside them.
    constexpr int symbol = 50;
    constexpr int schritt = 58;
    constexpr int symbolTop = 86;
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        const int left = kRand + i * schritt;
        e.picture(QStringLiteral("Symbol") + n, Elementart::eaGefahrsymbol, QRect(left, symbolTop, symbol, symbol),
                  QStringLiteral("[chemie.dbf GEFSYM%1]").arg(n));
        e.field(QStringLiteral("Code") + n, QRect(left, symbolTop + symbol + 2, symbol, 13),
                QStringLiteral("[chemie.dbf GEFSYM%1]").arg(n), kCode);
    }
    constexpr int schluesselLeft = kRand + 4 * schritt + 4;
    e.text(QStringLiteral("Schluessel"), QRect(schluesselLeft, symbolTop, kWidth - kRand - schluesselLeft, 64),
           schluessel(), kKlein, true);

    e.memo(QStringLiteral("Saetze"), Elementart::eaSaetze, QRect(kRand, 154, innen, 72), {}, kSaetze);

    // Supplier and storage place each on a line of its own: a long storage
    // place ("Giftschrank (unter Paraffinöl)") must not run off the label.
    constexpr int fuss = 232;
    constexpr int wert = kRand + 58;
    e.shape(QStringLiteral("Linie"), QRect(kRand, fuss - 4, innen, 2), "qrsHorLine", kMuted, 1);
    e.text(QStringLiteral("LieferantText"), QRect(kRand, fuss, 56, 15), QStringLiteral("Lieferant:"), kBeschriftung);
    e.field(QStringLiteral("Lieferant"), QRect(wert, fuss, kWidth - kRand - wert, 15),
            QStringLiteral("[lager.dbf LIEFERANT]"), kWert);
    e.text(QStringLiteral("OrtText"), QRect(kRand, fuss + 17, 56, 15), QStringLiteral("Lagerort:"), kBeschriftung);
    e.field(QStringLiteral("Ort"), QRect(wert, fuss + 17, kWidth - kRand - wert, 15),
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
