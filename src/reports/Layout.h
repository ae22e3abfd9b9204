#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include "report/Band.h"
#include "report/Element.h"
#include "report/Page.h"
#include "report/Units.h"
#include "reports/Elementart.h"
#include "stream/ClassRegistry.h"
#include "stream/Font.h"
#include "stream/Picture.h"

namespace reports {

// The three layout files: a sheet ("STO") and a report ("REP") store the
// report in a first record and each band's elements in a record of their
// own; a label ("ETI") is one record, the template with all its elements.
enum class LayoutKind { Sto, Rep, Eti };

// The page in millimetres.
struct LayoutPage {
    double length = 297.0;
    double width = 210.0;
    double topMargin = 10.0;
    double bottomMargin = 10.0;
    double leftMargin = 10.0;
    double rightMargin = 10.0;
    report::Orientation orientation = report::Orientation::Portrait;
    report::PaperSize paperSize = report::PaperSize::A4;
};

struct LayoutFrame {
    QColor color = Qt::black;
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    Qt::PenStyle style = Qt::SolidLine;
    int width = 1; // pixels
};

// What a component whose class is exactly "TQRBand" carries as a band.
struct LayoutBand {
    report::BandType bandType = report::BandType::Title;
    double sizeLength = 0.0; // "Size", millimetres
    double sizeWidth = 0.0;
    LayoutFrame frame;
};

struct LayoutPen {
    QColor color = Qt::black;
    Qt::PenStyle style = Qt::SolidLine;
    int width = 1; // pixels
};

struct LayoutBrush {
    QColor color = Qt::white;
    Qt::BrushStyle style = Qt::SolidPattern;
};

// One component of a layout with everything an engine reads from it.
// Properties the file does not store take the class's default; the font
// falls back to the owner's. Geometry is in pixels of the owner, as stored.
struct LayoutComponent {
    QString className;
    QString name;
    std::int64_t tag = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    stream::Font font;
    QString caption;
    QString hint;
    QStringList lines;
    bool wordWrap = false;
    bool autoSize = false;
    bool stretch = false;
    report::ShapeKind shape = report::ShapeKind::Rectangle;
    LayoutPen pen;
    LayoutBrush brush;
    stream::Picture picture;
    std::optional<LayoutBand> band; // set exactly for class "TQRBand"
    std::vector<LayoutComponent> components; // owned, in component order

    bool isBand() const { return band.has_value(); }
    // The kind its `Tag` selects; nothing for bands and for tags outside
    // every kind (such a component builds nothing, its components still do).
    std::optional<Elementart> elementart() const;
    // A label, memo, shape or image class: the components a label engine
    // takes as elements.
    bool isElementClass() const;
};

// A layout file read whole. Loading either yields a complete layout or
// throws, so a caller that holds an earlier layout keeps it on failure.
class Layout {
public:
    // Reads the file in the order of its kind. A damaged stream, an
    // unregistered class (the message names it), a file that cannot be
    // opened, or a sheet or report with fewer band records than bands is a
    // stream::StreamError whose German message names the file.
    static Layout load(const QString& path, LayoutKind kind);

    // The classes a layout may name: those the program registers and those
    // of the report library.
    static const stream::ClassRegistry& registeredClasses();

    LayoutKind kind = LayoutKind::Sto;
    QString fileName;
    QString className;
    report::Unit units = report::Unit::MM;
    LayoutPage page;
    int width = 0;  // pixels
    int height = 0; // pixels
    QStringList description; // "REP": line 0 the table, line 1 the filter
    stream::Font font;
    // The report's own components in component order: bands and whatever
    // else it owned; for "ETI" the template's elements.
    std::vector<LayoutComponent> components;

    // The exactly-named "TQRBand" components of the report, in order.
    std::vector<const LayoutComponent*> bands() const;
    // Every component depth first in stream order, as a flat list of what
    // the report owns.
    std::vector<const LayoutComponent*> allComponents() const;
};

// What an `eaSystemdaten` caption asks for: its second character, a digit
// from 0 to 6 (the first character is never looked at). Nothing for a shorter
// caption or another character; the engines decide what that shows.
std::optional<report::SystemDataKind> systemdatenArt(const QString& caption);

// The font and colour to paint a stored font with.
QFont toQFont(const stream::Font& font);
QColor toQColor(const stream::Font& font);

} // namespace reports
