#include "SheetLayout.h"

#include <algorithm>
#include <optional>
#include <utility>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QStringList>

#include "DemoError.h"
#include "reports/Elementart.h"
#include "stream/Colour.h"
#include "stream/LayoutValues.h"
#include "stream/Picture.h"
#include "stream/StreamWriter.h"

namespace demo {

namespace {

using reports::Elementart;
using stream::Colour;
using stream::Object;
using stream::Value;

// The designer stores geometry in screen pixels at 96 dpi and page measures
// in tenths of a millimetre.
constexpr double kPixelsPerMm = 96.0 / 25.4;

// Page measures are never negative, so rounding half up is rounding.
constexpr int px(double mm)
{
    return static_cast<int>(mm * kPixelsPerMm + 0.5);
}

double tenthsMm(int pixels)
{
    return pixels / kPixelsPerMm * 10.0;
}

// A4 portrait. The left and right margins leave room for punching and
// binding; the band width is what remains between them.
constexpr double kPageWidthMm = 210.0;
constexpr double kPageLengthMm = 297.0;
constexpr double kSideMarginMm = 15.0;
constexpr double kTopMarginMm = 12.0;
constexpr double kBottomMarginMm = 12.0;
constexpr int kBandWidth = px(kPageWidthMm - 2 * kSideMarginMm);

// Two columns of label and value in the data sections; a section split in
// halves starts its right half at kRightHalf.
constexpr int kLabelWidth = 118;
constexpr int kValueLeft = 122;
constexpr int kRightHalf = 350;
constexpr int kRowHeight = 18;
constexpr int kFirstRow = 32; // below the section bar

const Colour kBlack = Colour::fromRgb(0, 0, 0);
const Colour kInk = Colour::fromRgb(31, 58, 95);   // headings, rules
const Colour kMuted = Colour::fromRgb(85, 85, 85); // labels, footer
const Colour kBar = Colour::fromRgb(224, 231, 240);
const Colour kRule = Colour::fromRgb(170, 180, 195);

// A font as the designer stores it: height negative for a character height
// in pixels at 96 dpi (-12 is 9 pt).
struct Schrift {
    int height;
    QStringList style;
    Colour colour;
};

const Schrift kBody{-12, {}, kBlack};
const Schrift kLabel{-12, {QStringLiteral("fsBold")}, kMuted};
const Schrift kHeading{-13, {QStringLiteral("fsBold")}, kInk};
const Schrift kCaption{-10, {}, kBlack};
const Schrift kSmall{-11, {}, kMuted};

Value colourValue(const Colour& colour)
{
    const QString name = colour.identifier();
    return name.isEmpty() ? Value::integer(colour.stored()) : Value::identifier(name);
}

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

// The German designation of each hazard symbol code.
const std::pair<const char*, const char*> kGefahrBezeichnungen[] = {
    {"E", "Explosionsgefährlich"}, {"O", "Brandfördernd"},   {"F+", "Hochentzündlich"},
    {"F", "Leichtentzündlich"},    {"T+", "Sehr giftig"},    {"T", "Giftig"},
    {"Xn", "Gesundheitsschädlich"}, {"Xi", "Reizend"},        {"C", "Ätzend"},
    {"N", "Umweltgefährlich"},
};

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

// One band: its properties for the report record and its elements for its
// own record.
class Band {
public:
    Band(const QString& name, const char* bandType, int top, int height)
        : m_name(name)
        , m_bandType(QLatin1String(bandType))
        , m_top(top)
        , m_height(height)
    {
    }

    int top() const { return m_top; }
    int bottom() const { return m_top + m_height; }
    void frameTop(const Colour& colour) { m_frameTop = colour; }

    Object header() const
    {
        Object band(QStringLiteral("TQRBand"), m_name);
        band.append(QStringLiteral("Left"), Value::integer(px(kSideMarginMm)));
        band.append(QStringLiteral("Top"), Value::integer(m_top));
        band.append(QStringLiteral("Width"), Value::integer(kBandWidth));
        band.append(QStringLiteral("Height"), Value::integer(m_height));
        band.append(QStringLiteral("Frame.Color"), colourValue(m_frameTop.value_or(kBlack)));
        band.append(QStringLiteral("Frame.DrawTop"), Value::boolean(m_frameTop.has_value()));
        band.append(QStringLiteral("Frame.DrawBottom"), Value::boolean(false));
        band.append(QStringLiteral("Frame.DrawLeft"), Value::boolean(false));
        band.append(QStringLiteral("Frame.DrawRight"), Value::boolean(false));
        band.append(QStringLiteral("Size.Values"),
                    stream::BandSize{tenthsMm(m_height), tenthsMm(kBandWidth)}.toValue());
        band.append(QStringLiteral("BandType"), Value::identifier(m_bandType));
        return band;
    }

    Object record() const
    {
        Object band(QStringLiteral("TQRBand"), m_name);
        band.children = m_elements;
        return band;
    }

    // --- elements; names are unique over the whole layout, as the designer
    // keeps them, by the band's name as their prefix.

    void text(const QString& name, QRect r, const QString& caption, const Schrift& font, bool wordWrap = false)
    {
        Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaText, r);
        e.append(QStringLiteral("AutoSize"), Value::boolean(false));
        e.append(QStringLiteral("Caption"), Value::string(caption));
        e.append(QStringLiteral("WordWrap"), Value::boolean(wordWrap));
        setFont(e, font);
    }

    // A field of a table, as "[table field]".
    void field(const QString& name, QRect r, const QString& reference, const Schrift& font = kBody)
    {
        Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaFeld, r);
        e.append(QStringLiteral("AutoSize"), Value::boolean(true));
        e.append(QStringLiteral("Caption"), Value::string(reference));
        e.append(QStringLiteral("WordWrap"), Value::boolean(false));
        setFont(e, font);
    }

    void conditional(const QString& name, QRect r, const QString& caption, const Schrift& font = kBody,
                     bool wordWrap = false)
    {
        Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaBedingungstext, r);
        e.append(QStringLiteral("AutoSize"), Value::boolean(false));
        e.append(QStringLiteral("Caption"), Value::string(caption));
        e.append(QStringLiteral("WordWrap"), Value::boolean(wordWrap));
        setFont(e, font);
    }

    void label(const QString& name, int left, int top, int width, const QString& caption)
    {
        text(name, QRect(left, top, width, 16), caption, kLabel);
    }

    // A picture the engine chooses when it fills the sheet.
    void picture(const QString& name, Elementart art, QRect r, const QString& hint = {})
    {
        Object& e = add(QStringLiteral("TQRImage"), name, art, r);
        if (!hint.isEmpty())
            e.append(QStringLiteral("Hint"), Value::string(hint));
        e.append(QStringLiteral("Stretch"), Value::boolean(true));
    }

    void storedPicture(const QString& name, QRect r, const QByteArray& png)
    {
        Object& e = add(QStringLiteral("TQRImage"), name, Elementart::eaBild, r);
        e.append(QStringLiteral("Picture.Data"),
                 Value::binary(stream::Picture{QStringLiteral("TPngImage"), png}.toPictureData()));
        e.append(QStringLiteral("Stretch"), Value::boolean(true));
    }

    void shape(const QString& name, QRect r, const char* shape, const Colour& pen, int penWidth,
               std::optional<Colour> fill = std::nullopt)
    {
        Object& e = add(QStringLiteral("TQRShape"), name, Elementart::eaForm, r);
        e.append(QStringLiteral("Brush.Color"), colourValue(fill.value_or(Colour::fromRgb(255, 255, 255))));
        e.append(QStringLiteral("Brush.Style"), Value::identifier(fill ? QStringLiteral("bsSolid") : QStringLiteral("bsClear")));
        e.append(QStringLiteral("Pen.Color"), colourValue(pen));
        e.append(QStringLiteral("Pen.Style"), Value::identifier(penWidth > 0 ? QStringLiteral("psSolid") : QStringLiteral("psClear")));
        e.append(QStringLiteral("Pen.Width"), Value::integer(std::max(penWidth, 1)));
        e.append(QStringLiteral("Shape"), Value::identifier(QLatin1String(shape)));
    }

    void memo(const QString& name, Elementart art, QRect r, const QStringList& lines, const Schrift& font = kBody)
    {
        Object& e = add(QStringLiteral("TQRMemo"), name, art, r);
        if (!lines.isEmpty()) {
            Value::List items;
            for (const QString& line : lines)
                items.push_back(Value::string(line));
            e.append(QStringLiteral("Lines.Strings"), Value::list(std::move(items)));
        }
        e.append(QStringLiteral("WordWrap"), Value::boolean(true));
        setFont(e, font);
    }

    // A sum formula: the substance's own (caption empty) or, for a field
    // formula, any field as "=[table field]".
    void formula(const QString& name, Elementart art, QRect r, const Schrift& font, const QString& caption = {})
    {
        Object& e = add(QStringLiteral("TQRLabel"), name, art, r);
        e.append(QStringLiteral("AutoSize"), Value::boolean(false));
        if (!caption.isEmpty())
            e.append(QStringLiteral("Caption"), Value::string(caption));
        e.append(QStringLiteral("WordWrap"), Value::boolean(false));
        setFont(e, font);
    }

    // "#1" date, "#3" page number: the digit after the first character.
    void systemData(const QString& name, QRect r, const QString& caption, const Schrift& font)
    {
        Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaSystemdaten, r);
        e.append(QStringLiteral("AutoSize"), Value::boolean(true));
        e.append(QStringLiteral("Caption"), Value::string(caption));
        setFont(e, font);
    }

    // A tinted bar across the band with the section's heading on it.
    void sectionBar(const QString& heading)
    {
        shape(QStringLiteral("Balken"), QRect(0, 6, kBandWidth, 20), "qrsRectangle", kBar, 0, kBar);
        text(QStringLiteral("Ueberschrift"), QRect(6, 8, kBandWidth - 12, 17), heading, kHeading);
    }

private:
    Object& add(const QString& className, const QString& name, Elementart art, QRect r)
    {
        Object e(className, m_name + name);
        e.append(QStringLiteral("Tag"), Value::integer(static_cast<int>(art)));
        e.append(QStringLiteral("Left"), Value::integer(r.left()));
        e.append(QStringLiteral("Top"), Value::integer(r.top()));
        e.append(QStringLiteral("Width"), Value::integer(r.width()));
        e.append(QStringLiteral("Height"), Value::integer(r.height()));
        e.append(QStringLiteral("Size.Values"), stream::ElementSize{tenthsMm(r.height()), tenthsMm(r.left()),
                                                                    tenthsMm(r.top()), tenthsMm(r.width())}
                                                    .toValue());
        m_elements.push_back(std::move(e));
        return m_elements.back();
    }

    static void setFont(Object& e, const Schrift& font)
    {
        e.append(QStringLiteral("Font.Charset"), Value::identifier(QStringLiteral("DEFAULT_CHARSET")));
        e.append(QStringLiteral("Font.Color"), colourValue(font.colour));
        e.append(QStringLiteral("Font.Height"), Value::integer(font.height));
        e.append(QStringLiteral("Font.Name"), Value::string(QStringLiteral("Arial")));
        e.append(QStringLiteral("Font.Style"), Value::set(font.style));
        e.append(QStringLiteral("ParentFont"), Value::boolean(false));
    }

    QString m_name;
    QString m_bandType;
    int m_top;
    int m_height;
    std::optional<Colour> m_frameTop;
    std::vector<Object> m_elements;
};

// A row of a label/value table.
int row(int index)
{
    return kFirstRow + index * kRowHeight;
}

Band titel(int top)
{
    Band b(QStringLiteral("Titel"), "rbTitle", top, 66);
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
    Band b(QStringLiteral("Stoff"), "rbDetail", top, 210);
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
    Band b(QStringLiteral("Kennzeichnung"), "rbChild", top, 122);
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
    Band b(QStringLiteral("Schutz"), "rbChild", top, 94);
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
    Band b(QStringLiteral("Saetze"), "rbChild", top, 238);
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
    Band b(QStringLiteral("Grenzwerte"), "rbChild", top, 128);
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
    Band b(QStringLiteral("Hinweise"), "rbChild", top, 92);
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
    Band b(QStringLiteral("Fuss"), "rbPageFooter", px(kPageLengthMm - kBottomMarginMm) - height, height);
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
    bands.push_back(titel(px(kTopMarginMm)));
    bands.push_back(stoffdaten(bands.back().bottom()));
    for (Band (*section)(int) : {kennzeichnung, schutz, saetze, grenzwerte, hinweise})
        bands.push_back(section(bands.back().bottom()));
    bands.push_back(fusszeile());

    Object report(QStringLiteral("TOwnQuickRep"), QStringLiteral("Stoffinfo"));
    report.append(QStringLiteral("Left"), Value::integer(0));
    report.append(QStringLiteral("Top"), Value::integer(0));
    report.append(QStringLiteral("Width"), Value::integer(px(kPageWidthMm)));
    report.append(QStringLiteral("Height"), Value::integer(px(kPageLengthMm)));
    report.append(QStringLiteral("Font.Charset"), Value::identifier(QStringLiteral("DEFAULT_CHARSET")));
    report.append(QStringLiteral("Font.Color"), colourValue(kBlack));
    report.append(QStringLiteral("Font.Height"), Value::integer(kBody.height));
    report.append(QStringLiteral("Font.Name"), Value::string(QStringLiteral("Arial")));
    report.append(QStringLiteral("Font.Style"), Value::set({}));
    report.append(QStringLiteral("Page.Orientation"), Value::identifier(QStringLiteral("poPortrait")));
    report.append(QStringLiteral("Page.PaperSize"), Value::identifier(QStringLiteral("A4")));
    report.append(QStringLiteral("Page.Values"),
                  stream::PageValues{kBottomMarginMm * 10, kPageLengthMm * 10, kTopMarginMm * 10,
                                     kPageWidthMm * 10, kSideMarginMm * 10, kSideMarginMm * 10, 0}
                      .toValue());
    report.append(QStringLiteral("ReportTitle"), Value::string(QStringLiteral("Stoffinformation")));
    report.append(QStringLiteral("Units"), Value::identifier(QStringLiteral("MM")));

    std::vector<Object> records{report};
    for (const Band& band : bands) {
        records.front().children.push_back(band.header());
        records.push_back(band.record());
    }
    return records;
}

void writeSheetLayout(const QString& path)
{
    stream::StreamWriter::writeFile(path, sheetLayoutRecords());
}

} // namespace demo
