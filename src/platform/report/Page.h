#pragma once

#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace report {

enum class ShapeKind { Rectangle, RoundRect, Ellipse, Circle, HorLine, VertLine, TopAndBottom, RightAndLeft };

// What one drawn item is: the recorded pages are a list of these.
enum class ItemKind {
    Text,    // lines of plain text, already broken; drawn top-aligned in rect
    TextRun, // one run of rich text drawn on a baseline
    Shape,   // a shape or a band frame line
    Picture, // a picture scaled into rect
};

// One drawn element of a recorded page. All measures are millimetres from the
// top left corner of the paper, so a page paints the same at any resolution.
struct DrawnItem {
    ItemKind kind = ItemKind::Text;
    QRectF rect;
    // Nothing of the item is painted outside this rectangle.
    QRectF clip;

    // Text and TextRun. Lines of Text are separated by '\n' and never wrap
    // again when painted: the line breaks are decided once, at layout time.
    QString text;
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft;
    double lineSpacing = 0.0; // Text: mm from line to line, as measured at layout
    double baseline = 0.0;    // TextRun: distance of the baseline below rect.top()
    bool opaque = false;   // Text: fill rect with background first
    QColor background = Qt::white;

    // Shape.
    ShapeKind shape = ShapeKind::Rectangle;
    QColor penColor = Qt::black;
    Qt::PenStyle penStyle = Qt::SolidLine;
    double penWidth = 0.0; // mm; 0 is the thinnest line the device draws
    QColor brushColor = Qt::white;
    Qt::BrushStyle brushStyle = Qt::NoBrush;

    // Picture.
    QImage picture;

    bool operator==(const DrawnItem&) const = default;
};

// One recorded page: its paper size and what is drawn on it, in drawing order.
struct Page {
    QSizeF sizeMm;
    std::vector<DrawnItem> items;

    bool operator==(const Page&) const = default;
};

// The resolution text is measured and laid out at (TextMeasure), fine
// enough that rounding inside the font engine stays far below what a printer
// resolves. Text is painted at it too, scaled to the device.
inline constexpr double kLayoutDpi = 1200.0;

// Paints a recorded page with the painter's origin at the paper's top left
// corner, dotsPerMm device pixels to the millimetre (zoom is part of it).
// Shapes and text are smoothed unless `smooth` is false: then every pixel
// takes one of the page's own colours, as a picture with a small palette
// needs.
void paintPage(const Page& page, QPainter& painter, double dotsPerMm, bool smooth = true);

// The font as the painter's device must be given it so that its size in
// millimetres is the same at dotsPerMm. Hinting is off so that widths scale
// with the zoom and line breaks made at layout time still fit.
QFont deviceFont(const QFont& font, double dotsPerMm, double deviceDpi);

// A font's size in points; a font given by pixel size counts at 96 dpi.
double fontPoints(const QFont& font);

} // namespace report
