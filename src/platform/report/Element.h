#pragma once

#include <functional>
#include <vector>

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "report/Page.h"
#include "report/TextLayout.h"

namespace report {

// The values system data prints, as they stand when a band is laid out.
struct SystemValues {
    int pageNumber = 1;
    int detailNumber = 0;
    int detailCount = 0;
    QString title;
    QDateTime now;
};

struct RenderContext {
    const TextMeasure& measure;
    SystemValues system;
};

// What an element draws, in millimetres from its band's top left corner.
struct ElementOutput {
    std::vector<DrawnItem> items;
    // The lowest edge of an element that stretches its band, else 0.
    double stretchBottom = 0.0;
};

// A printable element on a band. Geometry is in millimetres relative to the
// band's top left corner; tag and hint are the program's (its element kind
// and a reference it fills the element from), never read here.
class Element {
public:
    virtual ~Element() = default;

    QRectF rect;
    int tag = 0;
    QString hint;
    bool enabled = true;

    virtual void render(const RenderContext& context, ElementOutput& out) const = 0;
    // Whether the element's text, as it would print now, needs more room
    // than its box gives it, so that part of it is not painted.
    virtual bool textCut(const RenderContext&) const { return false; }
};

// Everything that prints one plain text. The box rules are those of fitBox().
class TextElement : public Element {
public:
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool autoSize = false;
    bool wordWrap = false;
    bool autoStretch = false;
    bool transparent = true;
    QColor background = Qt::white;

    void render(const RenderContext& context, ElementOutput& out) const final;
    bool textCut(const RenderContext& context) const final;
    virtual QString text(const SystemValues& system) const = 0;

private:
    PlainTextLayout layout(const RenderContext& context) const;
};

class Label : public TextElement {
public:
    QString caption;
    QString text(const SystemValues&) const override { return caption; }
};

// Text from the program's data, asked for each time the band prints.
class DataText : public TextElement {
public:
    std::function<QString()> value;
    QString text(const SystemValues&) const override { return value ? value() : QString(); }
};

class Memo : public TextElement {
public:
    QStringList lines;
    QString text(const SystemValues&) const override { return lines.join(QLatin1Char('\n')); }
};

// The numbers match the digit a layout writes for them.
enum class SystemDataKind {
    Time = 0,
    Date = 1,
    DateTime = 2,
    PageNumber = 3,
    ReportTitle = 4,
    DetailCount = 5,
    DetailNumber = 6,
};

class SystemData : public TextElement {
public:
    SystemDataKind data = SystemDataKind::Date;
    QString text(const SystemValues& system) const override { return format(data, system); }

    // German forms: date dd.MM.yyyy, time hh:mm:ss, both "date time";
    // numbers in decimal without leading zeros.
    static QString format(SystemDataKind kind, const SystemValues& system);
};

// Text whose runs may differ in size, such as a sum formula with small digits.
class RichText : public Element {
public:
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool autoSize = false;
    bool wordWrap = false;
    bool autoStretch = false;
    std::vector<TextRun> runs;

    void setPlainText(const QString& text);
    QString plainText() const;
    void render(const RenderContext& context, ElementOutput& out) const override;
    bool textCut(const RenderContext& context) const override;

private:
    RichTextLayout layout(const RenderContext& context) const;
};

class Shape : public Element {
public:
    ShapeKind shape = ShapeKind::Rectangle;
    QColor penColor = Qt::black;
    Qt::PenStyle penStyle = Qt::SolidLine;
    double penWidth = 0.0; // mm
    QColor brushColor = Qt::white;
    Qt::BrushStyle brushStyle = Qt::SolidPattern;

    void render(const RenderContext& context, ElementOutput& out) const override;
};

// The picture rules, the same for static and data pictures:
//  - stretch fills the box, whatever the picture's proportions;
//  - otherwise the picture keeps its natural size (its own resolution, or
//    96 dpi when it has none), at the box's top left corner or, with center,
//    in the box's middle;
//  - autoSize (without stretch) makes the box the picture's natural size;
//  - nothing is painted outside the box.
class PictureElement : public Element {
public:
    bool stretch = false;
    bool center = false;
    bool autoSize = false;

    void render(const RenderContext& context, ElementOutput& out) const final;
    virtual QImage image() const = 0;

    static QSizeF naturalSizeMm(const QImage& image);
};

class Image : public PictureElement {
public:
    QImage picture;
    QImage image() const override { return picture; }
};

class DataImage : public PictureElement {
public:
    std::function<QImage()> value;
    QImage image() const override { return value ? value() : QImage(); }
};

} // namespace report
