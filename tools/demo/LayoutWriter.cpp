#include "LayoutWriter.h"

#include <algorithm>
#include <utility>

#include "stream/LayoutValues.h"
#include "stream/Picture.h"

namespace demo {

using reports::Elementart;
using stream::Colour;
using stream::Object;
using stream::Value;

double tenthsMm(int pixels)
{
    return pixels / kPixelsPerMm * 10.0;
}

const Colour kBlack = Colour::fromRgb(0, 0, 0);
const Colour kInk = Colour::fromRgb(31, 58, 95);
const Colour kMuted = Colour::fromRgb(85, 85, 85);
const Colour kBar = Colour::fromRgb(224, 231, 240);
const Colour kRule = Colour::fromRgb(170, 180, 195);

const Schrift kBody{-12, {}, kBlack};
const Schrift kLabel{-12, {QStringLiteral("fsBold")}, kMuted};
const Schrift kHeading{-13, {QStringLiteral("fsBold")}, kInk};
const Schrift kCaption{-10, {}, kBlack};
const Schrift kSmall{-11, {}, kMuted};

const std::pair<const char*, const char*> kGefahrBezeichnungen[10] = {
    {"E", "Explosionsgefährlich"}, {"O", "Brandfördernd"},   {"F+", "Hochentzündlich"},
    {"F", "Leichtentzündlich"},    {"T+", "Sehr giftig"},    {"T", "Giftig"},
    {"Xn", "Gesundheitsschädlich"}, {"Xi", "Reizend"},        {"C", "Ätzend"},
    {"N", "Umweltgefährlich"},
};

Value colourValue(const Colour& colour)
{
    const QString name = colour.identifier();
    return name.isEmpty() ? Value::integer(colour.stored()) : Value::identifier(name);
}

namespace {

void setFont(Object& e, const Schrift& font)
{
    e.append(QStringLiteral("Font.Charset"), Value::identifier(QStringLiteral("DEFAULT_CHARSET")));
    e.append(QStringLiteral("Font.Color"), colourValue(font.colour));
    e.append(QStringLiteral("Font.Height"), Value::integer(font.height));
    e.append(QStringLiteral("Font.Name"), Value::string(QStringLiteral("Arial")));
    e.append(QStringLiteral("Font.Style"), Value::set(font.style));
    e.append(QStringLiteral("ParentFont"), Value::boolean(false));
}

} // namespace

LayoutBand::LayoutBand(const Seite& seite, const QString& name, const char* bandType, int top, int height)
    : m_name(name)
    , m_bandType(QLatin1String(bandType))
    , m_left(seite.bandLeft())
    , m_width(seite.bandWidth())
    , m_top(top)
    , m_height(height)
{
}

Object LayoutBand::header() const
{
    Object band(QStringLiteral("TQRBand"), m_name);
    band.append(QStringLiteral("Left"), Value::integer(m_left));
    band.append(QStringLiteral("Top"), Value::integer(m_top));
    band.append(QStringLiteral("Width"), Value::integer(m_width));
    band.append(QStringLiteral("Height"), Value::integer(m_height));
    band.append(QStringLiteral("Frame.Color"), colourValue(m_frameTop.value_or(m_frameBottom.value_or(kBlack))));
    band.append(QStringLiteral("Frame.DrawTop"), Value::boolean(m_frameTop.has_value()));
    band.append(QStringLiteral("Frame.DrawBottom"), Value::boolean(m_frameBottom.has_value()));
    band.append(QStringLiteral("Frame.DrawLeft"), Value::boolean(false));
    band.append(QStringLiteral("Frame.DrawRight"), Value::boolean(false));
    band.append(QStringLiteral("Size.Values"), stream::BandSize{tenthsMm(m_height), tenthsMm(m_width)}.toValue());
    band.append(QStringLiteral("BandType"), Value::identifier(m_bandType));
    return band;
}

Object LayoutBand::record() const
{
    Object band(QStringLiteral("TQRBand"), m_name);
    band.children = m_elements;
    return band;
}

void LayoutBand::text(const QString& name, QRect r, const QString& caption, const Schrift& font, bool wordWrap)
{
    Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaText, r);
    e.append(QStringLiteral("AutoSize"), Value::boolean(false));
    e.append(QStringLiteral("Caption"), Value::string(caption));
    e.append(QStringLiteral("WordWrap"), Value::boolean(wordWrap));
    setFont(e, font);
}

void LayoutBand::field(const QString& name, QRect r, const QString& reference, const Schrift& font)
{
    Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaFeld, r);
    e.append(QStringLiteral("AutoSize"), Value::boolean(true));
    e.append(QStringLiteral("Caption"), Value::string(reference));
    e.append(QStringLiteral("WordWrap"), Value::boolean(false));
    setFont(e, font);
}

void LayoutBand::conditional(const QString& name, QRect r, const QString& caption, const Schrift& font,
                             bool wordWrap)
{
    Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaBedingungstext, r);
    e.append(QStringLiteral("AutoSize"), Value::boolean(false));
    e.append(QStringLiteral("Caption"), Value::string(caption));
    e.append(QStringLiteral("WordWrap"), Value::boolean(wordWrap));
    setFont(e, font);
}

void LayoutBand::label(const QString& name, int left, int top, int width, const QString& caption)
{
    text(name, QRect(left, top, width, 16), caption, kLabel);
}

void LayoutBand::picture(const QString& name, Elementart art, QRect r, const QString& hint)
{
    Object& e = add(QStringLiteral("TQRImage"), name, art, r);
    if (!hint.isEmpty())
        e.append(QStringLiteral("Hint"), Value::string(hint));
    e.append(QStringLiteral("Stretch"), Value::boolean(true));
}

void LayoutBand::storedPicture(const QString& name, QRect r, const QByteArray& png)
{
    Object& e = add(QStringLiteral("TQRImage"), name, Elementart::eaBild, r);
    e.append(QStringLiteral("Picture.Data"),
             Value::binary(stream::Picture{QStringLiteral("TPngImage"), png}.toPictureData()));
    e.append(QStringLiteral("Stretch"), Value::boolean(true));
}

void LayoutBand::shape(const QString& name, QRect r, const char* shape, const Colour& pen, int penWidth,
                       std::optional<Colour> fill)
{
    Object& e = add(QStringLiteral("TQRShape"), name, Elementart::eaForm, r);
    e.append(QStringLiteral("Brush.Color"), colourValue(fill.value_or(Colour::fromRgb(255, 255, 255))));
    e.append(QStringLiteral("Brush.Style"), Value::identifier(fill ? QStringLiteral("bsSolid") : QStringLiteral("bsClear")));
    e.append(QStringLiteral("Pen.Color"), colourValue(pen));
    e.append(QStringLiteral("Pen.Style"), Value::identifier(penWidth > 0 ? QStringLiteral("psSolid") : QStringLiteral("psClear")));
    e.append(QStringLiteral("Pen.Width"), Value::integer(std::max(penWidth, 1)));
    e.append(QStringLiteral("Shape"), Value::identifier(QLatin1String(shape)));
}

void LayoutBand::memo(const QString& name, Elementart art, QRect r, const QStringList& lines, const Schrift& font)
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

void LayoutBand::formula(const QString& name, Elementart art, QRect r, const Schrift& font, const QString& caption)
{
    Object& e = add(QStringLiteral("TQRLabel"), name, art, r);
    e.append(QStringLiteral("AutoSize"), Value::boolean(false));
    if (!caption.isEmpty())
        e.append(QStringLiteral("Caption"), Value::string(caption));
    e.append(QStringLiteral("WordWrap"), Value::boolean(false));
    setFont(e, font);
}

void LayoutBand::systemData(const QString& name, QRect r, const QString& caption, const Schrift& font)
{
    Object& e = add(QStringLiteral("TQRLabel"), name, Elementart::eaSystemdaten, r);
    e.append(QStringLiteral("AutoSize"), Value::boolean(true));
    e.append(QStringLiteral("Caption"), Value::string(caption));
    setFont(e, font);
}

void LayoutBand::sectionBar(const QString& heading)
{
    shape(QStringLiteral("Balken"), QRect(0, 6, m_width, 20), "qrsRectangle", kBar, 0, kBar);
    text(QStringLiteral("Ueberschrift"), QRect(6, 8, m_width - 12, 17), heading, kHeading);
}

Object& LayoutBand::add(const QString& className, const QString& name, Elementart art, QRect r)
{
    Object e(className, m_name + name);
    e.append(QStringLiteral("Tag"), Value::integer(static_cast<int>(art)));
    e.append(QStringLiteral("Left"), Value::integer(r.left()));
    e.append(QStringLiteral("Top"), Value::integer(r.top()));
    e.append(QStringLiteral("Width"), Value::integer(r.width()));
    e.append(QStringLiteral("Height"), Value::integer(r.height()));
    e.append(QStringLiteral("Size.Values"),
             stream::ElementSize{tenthsMm(r.height()), tenthsMm(r.left()), tenthsMm(r.top()), tenthsMm(r.width())}
                 .toValue());
    m_elements.push_back(std::move(e));
    return m_elements.back();
}

std::vector<Object> layoutRecords(const QString& className, const QString& name, const Seite& seite,
                                  const QString& title, const QStringList& description,
                                  const std::vector<LayoutBand>& bands)
{
    Object report(className, name);
    report.append(QStringLiteral("Left"), Value::integer(0));
    report.append(QStringLiteral("Top"), Value::integer(0));
    report.append(QStringLiteral("Width"), Value::integer(px(seite.widthMm)));
    report.append(QStringLiteral("Height"), Value::integer(px(seite.lengthMm)));
    if (!description.isEmpty()) {
        Value::List lines;
        for (const QString& line : description)
            lines.push_back(Value::string(line));
        report.append(QStringLiteral("Description.Strings"), Value::list(std::move(lines)));
    }
    report.append(QStringLiteral("Font.Charset"), Value::identifier(QStringLiteral("DEFAULT_CHARSET")));
    report.append(QStringLiteral("Font.Color"), colourValue(kBlack));
    report.append(QStringLiteral("Font.Height"), Value::integer(kBody.height));
    report.append(QStringLiteral("Font.Name"), Value::string(QStringLiteral("Arial")));
    report.append(QStringLiteral("Font.Style"), Value::set({}));
    report.append(QStringLiteral("Page.Orientation"), Value::identifier(QStringLiteral("poPortrait")));
    report.append(QStringLiteral("Page.PaperSize"), Value::identifier(QStringLiteral("A4")));
    report.append(QStringLiteral("Page.Values"),
                  stream::PageValues{seite.bottomMarginMm * 10, seite.lengthMm * 10, seite.topMarginMm * 10,
                                     seite.widthMm * 10, seite.sideMarginMm * 10, seite.sideMarginMm * 10, 0}
                      .toValue());
    report.append(QStringLiteral("ReportTitle"), Value::string(title));
    report.append(QStringLiteral("Units"), Value::identifier(QStringLiteral("MM")));

    std::vector<Object> records{report};
    for (const LayoutBand& band : bands) {
        records.front().children.push_back(band.header());
        records.push_back(band.record());
    }
    return records;
}

} // namespace demo
