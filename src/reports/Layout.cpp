#include "reports/Layout.h"

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include <QFile>

#include "stream/LayoutValues.h"
#include "stream/StreamError.h"
#include "stream/StreamReader.h"

namespace reports {

namespace {

// The one class that gets a record of its own in sheets and reports; its
// subclasses and the other band classes do not.
const QString kBandKlasse = QStringLiteral("TQRBand");

template <class T, std::size_t N>
std::optional<T> nachName(const std::array<std::pair<const char16_t*, T>, N>& namen, const QString& name)
{
    for (const auto& [bezeichner, wert] : namen) {
        if (name.compare(QStringView(bezeichner), Qt::CaseInsensitive) == 0)
            return wert;
    }
    return std::nullopt;
}

// In the order of the stored ordinals.
constexpr std::array<std::pair<const char16_t*, report::BandType>, 11> kBandtypen = {{
    {u"rbTitle", report::BandType::Title},
    {u"rbPageHeader", report::BandType::PageHeader},
    {u"rbDetail", report::BandType::Detail},
    {u"rbPageFooter", report::BandType::PageFooter},
    {u"rbSummary", report::BandType::Summary},
    {u"rbGroupHeader", report::BandType::GroupHeader},
    {u"rbGroupFooter", report::BandType::GroupFooter},
    {u"rbSubDetail", report::BandType::SubDetail},
    {u"rbColumnHeader", report::BandType::ColumnHeader},
    {u"rbOverlay", report::BandType::Overlay},
    {u"rbChild", report::BandType::Child},
}};

constexpr std::array<std::pair<const char16_t*, Qt::PenStyle>, 7> kStifte = {{
    {u"psSolid", Qt::SolidLine},
    {u"psDash", Qt::DashLine},
    {u"psDot", Qt::DotLine},
    {u"psDashDot", Qt::DashDotLine},
    {u"psDashDotDot", Qt::DashDotDotLine},
    {u"psClear", Qt::NoPen},
    {u"psInsideFrame", Qt::SolidLine},
}};

constexpr std::array<std::pair<const char16_t*, Qt::BrushStyle>, 8> kPinsel = {{
    {u"bsSolid", Qt::SolidPattern},
    {u"bsClear", Qt::NoBrush},
    {u"bsHorizontal", Qt::HorPattern},
    {u"bsVertical", Qt::VerPattern},
    {u"bsFDiagonal", Qt::FDiagPattern},
    {u"bsBDiagonal", Qt::BDiagPattern},
    {u"bsCross", Qt::CrossPattern},
    {u"bsDiagCross", Qt::DiagCrossPattern},
}};

// The report library's shapes and the component library's.
constexpr std::array<std::pair<const char16_t*, report::ShapeKind>, 13> kFormen = {{
    {u"qrsRectangle", report::ShapeKind::Rectangle},
    {u"qrsCircle", report::ShapeKind::Ellipse},
    {u"qrsVertLine", report::ShapeKind::VertLine},
    {u"qrsHorLine", report::ShapeKind::HorLine},
    {u"qrsTopAndBottom", report::ShapeKind::TopAndBottom},
    {u"qrsRightAndLeft", report::ShapeKind::RightAndLeft},
    {u"qrsRoundRect", report::ShapeKind::RoundRect},
    {u"stRectangle", report::ShapeKind::Rectangle},
    {u"stSquare", report::ShapeKind::Rectangle},
    {u"stRoundRect", report::ShapeKind::RoundRect},
    {u"stRoundSquare", report::ShapeKind::RoundRect},
    {u"stEllipse", report::ShapeKind::Ellipse},
    {u"stCircle", report::ShapeKind::Circle},
}};

// The defaults a class gives the properties a layout leaves out: labels size
// themselves to their text, memos wrap their lines.
bool istKlasse(const QString& className, std::initializer_list<const char*> namen)
{
    for (const char* name : namen) {
        if (className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool autoSizeVorgabe(const QString& className)
{
    return istKlasse(className, {"TQRLabel", "TLabel", "TQRExpr"});
}

bool wordWrapVorgabe(const QString& className)
{
    return istKlasse(className, {"TQRMemo", "TMemo"});
}

QColor farbe(const stream::Colour& colour)
{
    if (colour.isNone())
        return Qt::transparent;
    return QColor(colour.red(), colour.green(), colour.blue());
}

// Geometry and widths are Delphi integers; a damaged value far outside them
// is held at the limit instead of wrapping round.
int ganzzahl(const stream::PropertyList& object, QStringView name, int fallback = 0)
{
    return static_cast<int>(std::clamp<std::int64_t>(object.integer(name, fallback), INT_MIN, INT_MAX));
}

double mm(double zehntelMm)
{
    return zehntelMm / 10.0;
}

class Leser {
public:
    explicit Leser(const QString& fileName) : m_fileName(fileName) {}

    LayoutComponent komponente(const stream::Object& object, const stream::Font& besitzerSchrift) const
    {
        LayoutComponent k;
        k.className = object.className;
        k.name = object.name;
        k.tag = object.integer(u"Tag");
        k.left = ganzzahl(object, u"Left");
        k.top = ganzzahl(object, u"Top");
        k.width = ganzzahl(object, u"Width");
        k.height = ganzzahl(object, u"Height");
        k.font = object.font(besitzerSchrift);
        k.caption = object.string(u"Caption");
        k.hint = object.string(u"Hint");
        k.lines = object.strings(u"Lines.Strings");
        k.wordWrap = object.boolean(u"WordWrap", wordWrapVorgabe(object.className));
        k.autoSize = object.boolean(u"AutoSize", autoSizeVorgabe(object.className));
        k.stretch = object.boolean(u"Stretch");
        k.shape = nachName(kFormen, object.identifier(u"Shape")).value_or(report::ShapeKind::Rectangle);
        k.pen.color = farbe(object.colour(u"Pen.Color", stream::Colour()));
        k.pen.style = nachName(kStifte, object.identifier(u"Pen.Style")).value_or(Qt::SolidLine);
        k.pen.width = ganzzahl(object, u"Pen.Width", 1);
        k.brush.color = farbe(object.colour(u"Brush.Color", stream::Colour::fromRgb(255, 255, 255)));
        k.brush.style = nachName(kPinsel, object.identifier(u"Brush.Style")).value_or(Qt::SolidPattern);
        const QByteArray bild = object.binary(u"Picture.Data");
        if (!bild.isEmpty())
            k.picture = stream::Picture::fromPictureData(bild, m_fileName);
        if (object.className == kBandKlasse)
            k.band = band(object);
        for (const stream::Object& besessen : object.children)
            k.components.push_back(komponente(besessen, k.font));
        return k;
    }

private:
    LayoutBand band(const stream::Object& object) const
    {
        LayoutBand b;
        b.bandType = bandtyp(object);
        if (const auto size = stream::BandSize::fromProperties(object)) {
            b.sizeLength = mm(size->length);
            b.sizeWidth = mm(size->width);
        }
        b.frame.color = farbe(object.colour(u"Frame.Color", stream::Colour()));
        b.frame.top = object.boolean(u"Frame.DrawTop");
        b.frame.bottom = object.boolean(u"Frame.DrawBottom");
        b.frame.left = object.boolean(u"Frame.DrawLeft");
        b.frame.right = object.boolean(u"Frame.DrawRight");
        b.frame.style = nachName(kStifte, object.identifier(u"Frame.Style")).value_or(Qt::SolidLine);
        b.frame.width = ganzzahl(object, u"Frame.Width", 1);
        return b;
    }

    // The band type decides where a band prints; one the program does not
    // know would print in the wrong place, so it fails the load.
    report::BandType bandtyp(const stream::Object& object) const
    {
        const stream::Value* wert = object.find(u"BandType");
        if (!wert)
            return report::BandType::Title;
        if (const auto name = wert->toIdentifier()) {
            if (const auto typ = nachName(kBandtypen, *name))
                return *typ;
        } else if (const auto ordinal = wert->toInteger(); ordinal && *ordinal >= 0 && *ordinal < 11) {
            return kBandtypen[static_cast<std::size_t>(*ordinal)].second;
        }
        throw stream::StreamError(QStringLiteral("Die Layoutdatei „%1“ gibt dem Band „%2“ einen unbekannten "
                                                 "Bandtyp.")
                                      .arg(m_fileName, object.name)
                                      .toStdString());
    }

    QString m_fileName;
};

// Each exactly-named band, in component order, takes the next record: its
// properties over the band's, its components as the band's elements.
void bandSaetzeLesen(stream::Object& besitzer, stream::StreamReader& reader, const QString& path)
{
    for (stream::Object& objekt : besitzer.children) {
        if (objekt.className != kBandKlasse) {
            bandSaetzeLesen(objekt, reader, path);
            continue;
        }
        if (reader.atEnd()) {
            throw stream::StreamError(QStringLiteral("Die Layoutdatei „%1“ endet vor dem Datensatz des "
                                                     "Bandes „%2“.")
                                          .arg(path, objekt.name)
                                          .toStdString());
        }
        stream::Object satz = reader.readRecord();
        bandSaetzeLesen(objekt, reader, path);
        for (const stream::Property& eigenschaft : satz.properties())
            objekt.set(eigenschaft.name, eigenschaft.value);
        for (stream::Object& element : satz.children)
            objekt.children.push_back(std::move(element));
    }
}

void sammeln(const std::vector<LayoutComponent>& komponenten, std::vector<const LayoutComponent*>& liste)
{
    for (const LayoutComponent& k : komponenten) {
        liste.push_back(&k);
        sammeln(k.components, liste);
    }
}

} // namespace

std::optional<Elementart> LayoutComponent::elementart() const
{
    if (isBand())
        return std::nullopt;
    return elementartVon(tag);
}

bool LayoutComponent::isElementClass() const
{
    return istKlasse(className, {"TQRLabel", "TQRMemo", "TQRShape", "TQRImage", "TLabel", "TMemo", "TShape",
                                 "TOwnShape", "TImage"});
}

const stream::ClassRegistry& Layout::registeredClasses()
{
    static const stream::ClassRegistry klassen{
        // registered by the program
        QStringLiteral("TQRMemo"), QStringLiteral("TQRBand"), QStringLiteral("TQRChildBand"),
        QStringLiteral("TQRLabel"), QStringLiteral("TQRShape"), QStringLiteral("TQRImage"),
        QStringLiteral("TImage"), QStringLiteral("TShape"), QStringLiteral("TOwnShape"),
        QStringLiteral("TMemo"), QStringLiteral("TLabel"), QStringLiteral("TOwnBand"),
        QStringLiteral("TOwnQuickRep"),
        // registered by the report library
        QStringLiteral("TQuickRep"), QStringLiteral("TQRGroup"), QStringLiteral("TQRSubDetail"),
        QStringLiteral("TQRExpr"), QStringLiteral("TTable"), QStringLiteral("TQuery"),
    };
    return klassen;
}

Layout Layout::load(const QString& path, LayoutKind kind)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw stream::StreamError(QStringLiteral("Die Layoutdatei „%1“ kann nicht geöffnet werden: %2")
                                      .arg(path, file.errorString())
                                      .toStdString());
    }
    stream::StreamReader reader(file, registeredClasses(), path);
    stream::Object bericht = reader.readRecord();
    if (kind != LayoutKind::Eti)
        bandSaetzeLesen(bericht, reader, path);

    Layout layout;
    layout.kind = kind;
    layout.fileName = path;
    layout.className = bericht.className;
    layout.units = report::unitFromName(bericht.identifier(u"Units", QStringLiteral("MM")));
    const stream::PageValues seite = stream::PageValues::fromProperties(bericht);
    layout.page.length = mm(seite.length);
    layout.page.width = mm(seite.width);
    layout.page.topMargin = mm(seite.topMargin);
    layout.page.bottomMargin = mm(seite.bottomMargin);
    layout.page.leftMargin = mm(seite.leftMargin);
    layout.page.rightMargin = mm(seite.rightMargin);
    layout.page.orientation = bericht.identifier(u"Page.Orientation").compare(u"poLandscape", Qt::CaseInsensitive) == 0
                                  ? report::Orientation::Landscape
                                  : report::Orientation::Portrait;
    const QString papier = bericht.identifier(u"Page.PaperSize");
    layout.page.paperSize = papier.isEmpty() ? report::PaperSize::A4 : report::paperSizeFromName(papier);
    layout.width = ganzzahl(bericht, u"Width");
    layout.height = ganzzahl(bericht, u"Height");
    layout.description = bericht.strings(u"Description.Strings");
    layout.font = bericht.font(stream::Font());

    const Leser leser(path);
    for (const stream::Object& objekt : bericht.children)
        layout.components.push_back(leser.komponente(objekt, layout.font));
    return layout;
}

std::vector<const LayoutComponent*> Layout::bands() const
{
    std::vector<const LayoutComponent*> liste;
    for (const LayoutComponent* k : allComponents()) {
        if (k->isBand())
            liste.push_back(k);
    }
    return liste;
}

std::vector<const LayoutComponent*> Layout::allComponents() const
{
    std::vector<const LayoutComponent*> liste;
    sammeln(components, liste);
    return liste;
}

std::optional<report::SystemDataKind> systemdatenArt(const QString& caption)
{
    if (caption.size() < 2)
        return std::nullopt;
    const char16_t ziffer = caption.at(1).unicode();
    if (ziffer < u'0' || ziffer > u'6')
        return std::nullopt;
    return static_cast<report::SystemDataKind>(ziffer - u'0');
}

QFont toQFont(const stream::Font& font)
{
    QFont qfont(font.name);
    qfont.setPointSizeF(font.pointSize());
    qfont.setBold(font.bold());
    qfont.setItalic(font.italic());
    qfont.setUnderline(font.underline());
    qfont.setStrikeOut(font.strikeOut());
    return qfont;
}

QColor toQColor(const stream::Font& font)
{
    return farbe(font.colour);
}

} // namespace reports
