#pragma once

#include <vector>

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace report {

// Measures text in millimetres on a fixed fine grid, independent of the
// screen or printer the pages are later painted on.
class TextMeasure {
public:
    TextMeasure();

    double width(const QString& text, const QFont& font) const;
    double lineHeight(const QFont& font) const;
    double ascent(const QFont& font) const;
    double descent(const QFont& font) const;
    // The text broken into lines no wider than widthMm: at '\n' always, at
    // word boundaries (or inside a word longer than a line) as needed.
    QStringList wrap(const QString& text, const QFont& font, double widthMm) const;

private:
    QFont measured(const QFont& font) const;
    double m_dotsPerMm;
    QImage m_device;
};

// How a text box takes its final size. These rules hold for every text
// element (label, data text, system data, memo, rich text):
//  - wordWrap breaks lines at the box width; without it a line runs on and
//    is clipped at the box edge.
//  - autoSize fits the box to the text: without wordWrap both width and
//    height become the text's, the edge given by the alignment staying put
//    (left edge for left, right edge for right, centre for centred text);
//    with wordWrap the width stays and the height becomes the text's.
//  - autoStretch lets the box grow downwards (never shrink) to hold all
//    lines, and its band grows with it.
//  - Whatever the box, nothing is painted outside it.
struct TextFit {
    bool wordWrap = false;
    bool autoSize = false;
    bool autoStretch = false;
    Qt::Alignment alignment = Qt::AlignLeft;
};

QRectF fitBox(const QRectF& box, const QSizeF& content, const TextFit& fit);

struct PlainTextLayout {
    QRectF box;
    QStringList lines;
    // The text needs more room than the box gives it, so part of it is not
    // painted: more lines than the box is high, or a line wider than a box
    // that neither wraps nor sizes itself.
    bool cut = false;
};

PlainTextLayout layoutPlainText(const QString& text, const QFont& font, const QRectF& box, const TextFit& fit,
                                const TextMeasure& measure);

// A run of rich text: its own size in points (0: the element's font size)
// and whether it is lowered below the baseline as a subscript.
struct TextRun {
    QString text;
    double pointSize = 0.0;
    bool subscript = false;

    bool operator==(const TextRun&) const = default;
};

struct PlacedRun {
    QRectF rect; // relative to the element box's top left
    double baseline = 0.0;
    QString text;
    QFont font;
};

struct RichTextLayout {
    QRectF box;
    std::vector<PlacedRun> runs;
    bool cut = false; // as for PlainTextLayout
};

// Runs flow left to right on shared baselines; with wordWrap lines break
// only at blanks, so a formula like H2SO4 split into runs stays together.
RichTextLayout layoutRichText(const std::vector<TextRun>& runs, const QFont& font, const QRectF& box,
                              const TextFit& fit, const TextMeasure& measure);

// The lowering of a subscript run: a third of its own height above the baseline.
double subscriptDrop(const QFont& runFont, const TextMeasure& measure);

} // namespace report
