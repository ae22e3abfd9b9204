#include "SheetLayout.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "DemoError.h"
#include "LayoutWriter.h"
#include "reports/Elementart.h"
#include "stream/StreamWriter.h"

namespace demo {

namespace {

using reports::Elementart;
using stream::Object;

// A4 portrait. The left and right margins leave room for punching and
// binding; the band width is what remains between them.
constexpr Seite kSeite{};
constexpr int kBandWidth = kSeite.bandWidth();

using Band = LayoutBand;

// Two columns of label and value in the data sections; a section split in
// halves starts its right half at kRightHalf.
constexpr int kLabelWidth = 118;
constexpr int kValueLeft = 122;
constexpr int kRightHalf = 350;
constexpr int kRowHeight = 18;
constexpr int kFirstRow = 32; // below the section bar

// "{chemie.dbf,condition,body}": the body when the substance record meets
// the condition (a sheet narrows the substance table to the current
// substance, and a condition counts the table's filter). Neither part may
// hold what would end it early.
QString wenn(const QString& condition, const QString& body)
{
    if (condition.contains(QLatin1Char(',')) || condition.contains(QLatin1Char('}')) || body.contains(QLatin1Char('}')))
        throw DemoError(QStringLiteral("Die Bedingung „%1“ des Stoffinfo-Layouts ist nicht schreibbar.").arg(condition));
    return QStringLiteral("{chemie.dbf,%1,%2}").arg(condition, body);
}

const QString kStrich = QStringLiteral("–");

// A dash where the register has no value, so that an empty line reads as
// "not known" rather than as a gap in the print.
QString sonstStrich(const QString& vorhanden)
{
    return wenn(QStringLiteral("NOT (%1)").arg(vorhanden), kStrich);
}

// A text field of the substance, or a dash.
QString textOderStrich(const char* field, const QString& unit = {})
{
    const QString vorhanden = QStringLiteral("%1<>''").arg(QLatin1String(field));
    return wenn(vorhanden, QStringLiteral("[chemie.dbf,%1]%2").arg(QLatin1String(field), unit)) + sonstStrich(vorhanden);
}

// A temperature of the substance, or a dash; a blank number passes no
// comparison.
QString temperaturOderStrich(const char* field)
{
    const QString vorhanden = QStringLiteral("%1>-274").arg(QLatin1String(field));
    return wenn(vorhanden, QStringLiteral("[chemie.dbf,%1] °C").arg(QLatin1String(field))) + sonstStrich(vorhanden);
}

// One of the hazard symbol codes in any of the four symbol fields.
QString symbol(const QStringList& codes)
{
    QStringList terms;
    for (const QString& code : codes)
        for (const char* field : {"GEFSYM1", "GEFSYM2", "GEFSYM3", "GEFSYM4"})
            terms << QStringLiteral("%1='%2'").arg(QLatin1String(field), code);
    return QLatin1Char('(') + terms.join(QStringLiteral(" OR ")) + QLatin1Char(')');
}

QString oneOf(const char* field, const QStringList& values)
{
    QStringList terms;
    for (const QString& value : values)
        terms << QStringLiteral("%1='%2'").arg(QLatin1String(field), value);
    return terms.join(QStringLiteral(" OR "));
}

// When the program shows the three precaution pictures: a carcinogen or
// reproductive toxin category, skin resorption or sensitisation, a school
// code that restricts use, or a technical limit or limit factor.
QString schutzRegel()
{
    return QStringList{oneOf("KREBS", {"A1", "A2", "B"}), oneOf("FRUCHTSCH", {"A", "B", "C"}),
                       oneOf("WIRKUNG", {"H", "S"}), oneOf("UNTERRICHT", {"#", "LV", "XXX", "###"}),
                       QStringLiteral("TRK1<>'' OR TRK2<>'' OR MAK_FAK<>''")}
        .join(QStringLiteral(" OR "));
}

QString gefahrBezeichnung(int slot)
{
    QString caption;
    for (const auto& [code, name] : kGefahrBezeichnungen)
        caption += wenn(QStringLiteral("GEFSYM%1='%2'").arg(slot).arg(QLatin1String(code)), QString::fromUtf8(name));
    return caption;
}

// A small emblem for the title: a flask in the program's colours.
QByteArray emblemPng()
{
    constexpr int size = 192;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(31, 58, 95));
        p.drawRoundedRect(QRectF(0, 0, size, size), 34, 34);

        QPainterPath flask;
        flask.moveTo(78, 34);
        flask.lineTo(114, 34);
        flask.lineTo(114, 82);
        flask.lineTo(156, 152);
        flask.quadTo(160, 162, 148, 162);
        flask.lineTo(44, 162);
        flask.quadTo(32, 162, 36, 152);
        flask.lineTo(78, 82);
        flask.closeSubpath();
        p.save();
        p.setClipPath(flask);
        p.setBrush(QColor(240, 150, 30));
        p.drawRect(QRectF(0, 112, size, size));
        p.restore();
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(flask);
        p.drawLine(QPointF(70, 34), QPointF(122, 34));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw DemoError(QStringLiteral("Das Bild des Stoffinfo-Layouts kann nicht als PNG geschrieben werden."));
    return png;
}

// A row of a label/value table.
int row(int index)
{
    return kFirstRow + index * kRowHeight;
}

Band titel(int top)
{
    Band b(kSeite, QStringLiteral("Titel"), "rbTitle", top, 66);
    b.storedPicture(QStringLiteral("Emblem"), QRect(0, 2, 48, 48), emblemPng());
    b.text(QStringLiteral("Text"), QRect(60, 0, 380, 30), QStringLiteral("Stoffinformation"),
           {-27, {QStringLiteral("fsBold")}, kInk});
    b.text(QStringLiteral("Programm"), QRect(62, 33, 380, 16),
           QStringLiteral("Marlex99 · Gefahrstoffverzeichnis für Schulen"), kSmall);
    b.text(QStringLiteral("DatumText"), QRect(kBandWidth - 160, 33, 82, 16), QStringLiteral("Druckdatum:"), kSmall);
    b.systemData(QStringLiteral("Datum"), QRect(kBandWidth - 76, 33, 76, 16), QStringLiteral("#1"), kSmall);
    b.shape(QStringLiteral("Linie"), QRect(0, 56, kBandWidth, 6), "qrsHorLine", kInk, 2);
    return b;
}

Band stoffdaten(int top)
{
    Band b(kSeite, QStringLiteral("Stoff"), "rbDetail", top, 210);
    constexpr int textWidth = 440;
    b.field(QStringLiteral("Name"), QRect(0, 6, textWidth, 34), QStringLiteral("[chemie.dbf NAME1]"),
            {-29, {QStringLiteral("fsBold")}, kInk});
    b.formula(QStringLiteral("Formel"), Elementart::eaSummenformel, QRect(0, 44, 300, 26), {-21, {}, kInk});
    b.conditional(QStringLiteral("Synonym"), QRect(0, 74, textWidth, 16),
                  wenn(QStringLiteral("NAME2<>''"), QStringLiteral("Synonym: [chemie.dbf,NAME2]")),
                  {-12, {QStringLiteral("fsItalic")}, kMuted});

    const int first = 100;
    auto zeile = [&](int index, const QString& key, const QString& caption) {
        b.label(key + QStringLiteral("Text"), 0, first + index * kRowHeight, kLabelWidth, caption);
        return QRect(kValueLeft, first + index * kRowHeight, 300, 16);
    };
    b.field(QStringLiteral("Cas"), zeile(0, QStringLiteral("Cas"), QStringLiteral("CAS-Nr.:")),
            QStringLiteral("[chemie.dbf CARN]"));
    b.conditional(QStringLiteral("Eg"), zeile(1, QStringLiteral("Eg"), QStringLiteral("EG-Index-Nr.:")),
                  textOderStrich("EG_INDEX"));
    b.conditional(QStringLiteral("Un"), zeile(2, QStringLiteral("Un"), QStringLiteral("UN-Nr.:")),
                  textOderStrich("UN_NR"));
    b.conditional(QStringLiteral("Molmasse"), zeile(3, QStringLiteral("Molmasse"), QStringLiteral("Molmasse:")),
                  wenn(QStringLiteral("MOLMASSE>0"), QStringLiteral("[chemie.dbf,MOLMASSE] g/mol"))
                      + sonstStrich(QStringLiteral("MOLMASSE>0")));
    b.conditional(QStringLiteral("Vbf"), zeile(4, QStringLiteral("Vbf"), QStringLiteral("VbF-Klasse:")),
                  textOderStrich("VBF"));
    // The substance's stock: a sheet puts the storage table on the
    // substance's first stock row, and its fields read empty when there is
    // none. A condition on the storage table would ask about the whole
    // stock, not this substance's.
    const int lagerZeile = first + 5 * kRowHeight;
    b.label(QStringLiteral("LagerText"), 0, lagerZeile, kLabelWidth, QStringLiteral("Lagerort:"));
    b.field(QStringLiteral("Lager"), QRect(kValueLeft, lagerZeile, 200, 16), QStringLiteral("[lager.dbf LAGER_ORT]"));
    b.label(QStringLiteral("MengeText"), kValueLeft + 206, lagerZeile, 70, QStringLiteral("Menge (g):"));
    b.field(QStringLiteral("Menge"), QRect(kValueLeft + 280, lagerZeile, 38, 16),
            QStringLiteral("[lager.dbf MENGE_IN_G]"));

    b.picture(QStringLiteral("Struktur"), Elementart::eaStrukturbild, QRect(kBandWidth - 200, 8, 200, 160));
    return b;
}

Band kennzeichnung(int top)
{
    Band b(kSeite, QStringLiteral("Kennzeichnung"), "rbChild", top, 122);
    b.sectionBar(QStringLiteral("Gefahrensymbole"));
    // Four symbols with their designations below, wider than the symbols,
    // then the three classification pictures up to the right margin.
    constexpr int slotWidth = 104;
    constexpr int classPicture = 76;
    constexpr int classStep = 90;
    constexpr int classLeft = kBandWidth - 2 * classStep - classPicture;
    b.text(QStringLiteral("Einstufung"), QRect(classLeft, 8, kBandWidth - classLeft, 17),
           QStringLiteral("Unterricht · Wirkung · Krebs"), kHeading);
    for (int slot = 1; slot <= 4; ++slot) {
        const int left = (slot - 1) * slotWidth;
        const QString n = QString::number(slot);
        b.picture(QStringLiteral("Symbol") + n, Elementart::eaGefahrsymbol, QRect(left, 32, 66, 66),
                  QStringLiteral("[chemie.dbf GEFSYM%1]").arg(slot));
        b.conditional(QStringLiteral("Bezeichnung") + n, QRect(left, 102, slotWidth - 4, 15), gefahrBezeichnung(slot),
                      kCaption);
    }
    b.picture(QStringLiteral("Unterricht"), Elementart::eaUnterrichtbild,
              QRect(classLeft, 32, classPicture, classPicture));
    b.picture(QStringLiteral("Wirkung"), Elementart::eaWirkungbild,
              QRect(classLeft + classStep, 32, classPicture, classPicture));
    b.picture(QStringLiteral("Krebs"), Elementart::eaKrebsbild,
              QRect(classLeft + 2 * classStep, 32, classPicture, classPicture));
    return b;
}

Band schutz(int top)
{
    Band b(kSeite, QStringLiteral("Schutz"), "rbChild", top, 94);
    b.sectionBar(QStringLiteral("Schutzmaßnahmen"));
    // The pictures stand at the right, so that the text starts at the margin
    // whether they show or not.
    constexpr int bild = 58;
    constexpr int abstand = 10;
    for (int i = 0; i < 3; ++i)
        b.picture(QStringLiteral("Bild%1").arg(i + 1), Elementart::eaSchutzbild,
                  QRect(kBandWidth - (3 - i) * bild - (2 - i) * abstand, 32, bild, bild));
    const QString regel = schutzRegel();
    b.conditional(QStringLiteral("Text"), QRect(0, 36, 450, 52),
                  wenn(regel, QStringLiteral("Besondere Schutzmaßnahmen erforderlich: Tätigkeiten nur im Abzug, "
                                             "Schutzbrille und geeignete Schutzhandschuhe tragen. Haut- und "
                                             "Augenkontakt vermeiden."))
                      + wenn(QStringLiteral("NOT (%1)").arg(regel),
                             QStringLiteral("Keine besonderen Schutzmaßnahmen über die allgemeinen Laborregeln "
                                            "hinaus: Schutzbrille tragen, für gute Lüftung sorgen.")),
                  kBody, true);
    return b;
}

Band saetze(int top)
{
    Band b(kSeite, QStringLiteral("Saetze"), "rbChild", top, 238);
    b.sectionBar(QStringLiteral("Gefahrenhinweise (R-Sätze) und Sicherheitsratschläge (S-Sätze)"));
    b.label(QStringLiteral("RText"), 0, kFirstRow, 60, QStringLiteral("R-Sätze:"));
    b.conditional(QStringLiteral("R"), QRect(62, kFirstRow, 270, 16), textOderStrich("R_SATZ"));
    b.label(QStringLiteral("SText"), kRightHalf, kFirstRow, 60, QStringLiteral("S-Sätze:"));
    b.conditional(QStringLiteral("S"), QRect(kRightHalf + 62, kFirstRow, 260, 16), textOderStrich("S_SATZ"));
    b.memo(QStringLiteral("Texte"), Elementart::eaSaetze, QRect(0, kFirstRow + 22, kBandWidth, 180), {});
    return b;
}

Band grenzwerte(int top)
{
    Band b(kSeite, QStringLiteral("Grenzwerte"), "rbChild", top, 128);
    b.sectionBar(QStringLiteral("Grenzwerte und Umwelt"));
    b.text(QStringLiteral("Physik"), QRect(kRightHalf + 6, 8, 300, 17), QStringLiteral("Physikalische Daten"),
           kHeading);
    b.shape(QStringLiteral("Trenner"), QRect(kRightHalf - 12, kFirstRow, 4, 4 * kRowHeight + 12), "qrsVertLine",
            kRule, 1);

    auto links = [&](int index, const QString& key, const QString& caption) {
        b.label(key + QStringLiteral("Text"), 0, row(index), kLabelWidth, caption);
        return QRect(kValueLeft, row(index), kRightHalf - 12 - kValueLeft - 6, 16);
    };
    b.conditional(QStringLiteral("Mak"), links(0, QStringLiteral("Mak"), QStringLiteral("MAK-Wert:")),
                  textOderStrich("MAK1", QStringLiteral(" ml/m³ ([chemie.dbf,MAK2] mg/m³)")));
    b.conditional(QStringLiteral("Trk"), links(1, QStringLiteral("Trk"), QStringLiteral("TRK-Wert:")),
                  textOderStrich("TRK1", QStringLiteral(" ml/m³ ([chemie.dbf,TRK2] mg/m³)")));
    // The categories as the lists write them: K carcinogen, M mutagen,
    // RF and RE toxic to fertility and development.
    b.conditional(QStringLiteral("Cmr"), links(2, QStringLiteral("Cmr"), QStringLiteral("CMR-Kategorie:")),
                  wenn(QStringLiteral("CANCER<>''"), QStringLiteral("K[chemie.dbf,CANCER]  "))
                      + wenn(QStringLiteral("MUTAGEN<>''"), QStringLiteral("M[chemie.dbf,MUTAGEN]  "))
                      + wenn(QStringLiteral("R_F<>''"), QStringLiteral("RF[chemie.dbf,R_F]  "))
                      + wenn(QStringLiteral("R_E<>''"), QStringLiteral("RE[chemie.dbf,R_E]"))
                      + sonstStrich(QStringLiteral("CANCER<>'' OR MUTAGEN<>'' OR R_F<>'' OR R_E<>''")));
    QString wgk;
    const char* klassen[] = {"nicht wassergefährdend", "schwach wassergefährdend", "wassergefährdend",
                             "stark wassergefährdend"};
    for (int k = 0; k < 4; ++k)
        wgk += wenn(QStringLiteral("WGK='%1'").arg(k), QStringLiteral("WGK %1 – %2").arg(k).arg(QString::fromUtf8(klassen[k])));
    wgk += sonstStrich(oneOf("WGK", {"0", "1", "2", "3"}));
    b.conditional(QStringLiteral("Wgk"), links(3, QStringLiteral("Wgk"), QStringLiteral("Wassergefährdung:")), wgk);

    constexpr int valueLeft = kRightHalf + 132;
    auto rechts = [&](int index, const QString& key, const QString& caption) {
        b.label(key + QStringLiteral("Text"), kRightHalf, row(index), 128, caption);
        return QRect(valueLeft, row(index), kBandWidth - valueLeft, 16);
    };
    b.conditional(QStringLiteral("Dichte"), rechts(0, QStringLiteral("Dichte"), QStringLiteral("Dichte:")),
                  textOderStrich("DICHTE"));
    b.conditional(QStringLiteral("Smt"), rechts(1, QStringLiteral("Smt"), QStringLiteral("Schmelzpunkt:")),
                  temperaturOderStrich("SMT"));
    b.conditional(QStringLiteral("Sdt"), rechts(2, QStringLiteral("Sdt"), QStringLiteral("Siedepunkt:")),
                  temperaturOderStrich("SDT"));
    b.conditional(QStringLiteral("Dampf"), rechts(3, QStringLiteral("Dampf"), QStringLiteral("Dampfdruck:")),
                  textOderStrich("DAMPFDRUCK"));
    b.conditional(QStringLiteral("Loeslich"), rechts(4, QStringLiteral("Loeslich"),
                                                     QStringLiteral("Löslichkeit (Wasser):")),
                  textOderStrich("LOESLICHKE"));
    return b;
}

Band hinweise(int top)
{
    Band b(kSeite, QStringLiteral("Hinweise"), "rbChild", top, 92);
    b.sectionBar(QStringLiteral("Unterricht, Lagerung und Entsorgung"));
    // The register's own storage class and disposal key, when it has them.
    b.conditional(QStringLiteral("Schluessel"), QRect(kRightHalf, 8, kBandWidth - kRightHalf - 6, 17),
                  wenn(QStringLiteral("LAGERUNG<>''"), QStringLiteral("Lagerklasse [chemie.dbf,LAGERUNG]   "))
                      + wenn(QStringLiteral("ENTSORGUNG<>''"), QStringLiteral("Entsorgung: [chemie.dbf,ENTSORGUNG]")),
                  kHeading);

    const QString unterricht = QStringLiteral("Unterricht: ")
        + wenn(oneOf("UNTERRICHT", {"SI", "SI#"}), QStringLiteral("Schülerversuche ab Sekundarstufe I zulässig. "))
        + wenn(oneOf("UNTERRICHT", {"SII", "SII#", "SII*"}),
               QStringLiteral("Schülerversuche ab Sekundarstufe II zulässig. "))
        + wenn(oneOf("UNTERRICHT", {"LV", "LV*"}), QStringLiteral("Nur Lehrerversuch, keine Schülerversuche. "))
        + wenn(oneOf("UNTERRICHT", {"XXX"}),
               QStringLiteral("Tätigkeitsverbot: im Unterricht nicht verwenden, Ersatzstoff wählen. "))
        + wenn(oneOf("UNTERRICHT", {"###"}), QStringLiteral("Nur mit besonderen Schutzmaßnahmen verwenden. "))
        + wenn(oneOf("UNTERRICHT", {"???", ""}),
               QStringLiteral("Nicht eingestuft: vor der Verwendung eine Gefährdungsbeurteilung erstellen. "));

    const QString gekennzeichnet = symbol({"E", "O", "F+", "F", "T+", "T", "Xn", "Xi", "C", "N"});
    const QString lagerung = QStringLiteral("Lagerung: ")
        + wenn(symbol({"F+", "F"}), QStringLiteral("Entzündbar: im Sicherheitsschrank lagern, von Zündquellen "
                                                   "fernhalten. "))
        + wenn(symbol({"T+", "T"}), QStringLiteral("Giftig: unter Verschluss, nur Lehrkräften zugänglich. "))
        + wenn(symbol({"C"}), QStringLiteral("Ätzend: unten in bruchsicheren Gefäßen, Säuren getrennt von "
                                             "Laugen. "))
        + wenn(symbol({"O"}), QStringLiteral("Brandfördernd: getrennt von brennbaren Stoffen. "))
        + wenn(symbol({"E"}), QStringLiteral("Explosionsgefährlich: nur kleine Mengen, vor Schlag, Reibung und "
                                             "Wärme geschützt. "))
        + wenn(symbol({"Xn", "Xi"}), QStringLiteral("Für Schülerinnen und Schüler unzugänglich aufbewahren. "))
        + QStringLiteral("Behälter dicht geschlossen halten und eindeutig beschriften.");
    const QString entsorgung = QStringLiteral("Entsorgung: ")
        + wenn(symbol({"N"}) + QStringLiteral(" OR WGK='3'"),
               QStringLiteral("Umweltgefährlich: nicht in den Ausguss oder den Hausmüll geben. "))
        + wenn(QStringLiteral("NOT %1 AND (WGK='0' OR WGK='1')").arg(gekennzeichnet),
               QStringLiteral("Kleine Mengen dürfen mit viel Wasser in den Ausguss gegeben werden. "))
        + QStringLiteral("Reste nach dem Entsorgungsplan der Schule sammeln.");
    b.memo(QStringLiteral("Text"), Elementart::eaVorlagentext, QRect(0, kFirstRow, kBandWidth, 54),
           {unterricht, lagerung, entsorgung});
    return b;
}

Band fusszeile()
{
    constexpr int height = 28;
    Band b(kSeite, QStringLiteral("Fuss"), "rbPageFooter", px(kSeite.lengthMm - kSeite.bottomMarginMm) - height, height);
    b.frameTop(kRule);
    b.text(QStringLiteral("Text"), QRect(0, 8, 190, 15), QStringLiteral("Marlex99 · Stoffinformation"), kSmall);
    b.field(QStringLiteral("Name"), QRect(200, 8, 250, 15), QStringLiteral("[chemie.dbf NAME1]"),
            {-11, {QStringLiteral("fsBold")}, kMuted});
    b.formula(QStringLiteral("Formel"), Elementart::eaFeldformel, QRect(460, 8, 120, 18), kSmall,
              QStringLiteral("=[chemie.dbf FORMEL]"));
    b.text(QStringLiteral("SeiteText"), QRect(kBandWidth - 60, 8, 36, 15), QStringLiteral("Seite"), kSmall);
    b.systemData(QStringLiteral("Seite"), QRect(kBandWidth - 22, 8, 22, 15), QStringLiteral("#3"), kSmall);
    return b;
}

} // namespace

std::vector<Object> sheetLayoutRecords()
{
    // The title, the substance and its sections stand one under the other,
    // each section a child band hanging from the band above it.
    std::vector<Band> bands;
    bands.push_back(titel(px(kSeite.topMarginMm)));
    bands.push_back(stoffdaten(bands.back().bottom()));
    for (Band (*section)(int) : {kennzeichnung, schutz, saetze, grenzwerte, hinweise})
        bands.push_back(section(bands.back().bottom()));
    bands.push_back(fusszeile());

    return layoutRecords(QStringLiteral("TOwnQuickRep"), QStringLiteral("Stoffinfo"), kSeite,
                         QStringLiteral("Stoffinformation"), {}, bands);
}

void writeSheetLayout(const QString& path)
{
    stream::StreamWriter::writeFile(path, sheetLayoutRecords());
}

} // namespace demo
