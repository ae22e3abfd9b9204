#include "report/TextLayout.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QTextLayout>

#include "report/Page.h"

namespace report {

namespace {

constexpr double kMeasureDpi = kLayoutDpi;

// Lines as the text holds them, whatever line ends it was stored with.
QStringList paragraphs(const QString& text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalized.split(QLatin1Char('\n'));
}

// Far below a printer's dot: what the measure's rounding may add.
constexpr double kFitToleranceMm = 0.01;

bool exceeds(const QSizeF& content, const QRectF& box)
{
    return content.width() > box.width() + kFitToleranceMm || content.height() > box.height() + kFitToleranceMm;
}

} // namespace

TextMeasure::TextMeasure()
    : m_dotsPerMm(kMeasureDpi / 25.4)
    , m_device(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
    m_device.setDotsPerMeterX(dotsPerMeter);
    m_device.setDotsPerMeterY(dotsPerMeter);
}

QFont TextMeasure::measured(const QFont& font) const { return deviceFont(font, m_dotsPerMm, kMeasureDpi); }

double TextMeasure::width(const QString& text, const QFont& font) const
{
    return QFontMetricsF(measured(font), &m_device).horizontalAdvance(text) / m_dotsPerMm;
}

double TextMeasure::lineHeight(const QFont& font) const
{
    return QFontMetricsF(measured(font), &m_device).lineSpacing() / m_dotsPerMm;
}

double TextMeasure::ascent(const QFont& font) const
{
    return QFontMetricsF(measured(font), &m_device).ascent() / m_dotsPerMm;
}

double TextMeasure::descent(const QFont& font) const
{
    return QFontMetricsF(measured(font), &m_device).descent() / m_dotsPerMm;
}

QStringList TextMeasure::wrap(const QString& text, const QFont& font, double widthMm) const
{
    QStringList result;
    for (const QString& paragraph : paragraphs(text)) {
        if (paragraph.isEmpty()) {
            result << QString();
            continue;
        }
        QTextLayout layout(paragraph, measured(font), &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(widthMm, 0.0) * m_dotsPerMm);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            result << part;
        }
        layout.endLayout();
    }
    return result;
}

QRectF fitBox(const QRectF& box, const QSizeF& content, const TextFit& fit)
{
    QRectF result = box;
    if (fit.autoSize) {
        if (!fit.wordWrap) {
            result.setWidth(content.width());
            if (fit.alignment & Qt::AlignRight)
                result.moveRight(box.right());
            else if (fit.alignment & Qt::AlignHCenter)
                result.moveLeft(box.center().x() - content.width() / 2.0);
        }
        result.setHeight(content.height());
    }
    if (fit.autoStretch && result.height() < content.height())
        result.setHeight(content.height());
    return result;
}

PlainTextLayout layoutPlainText(const QString& text, const QFont& font, const QRectF& box, const TextFit& fit,
                                const TextMeasure& measure)
{
    PlainTextLayout layout;
    layout.lines = fit.wordWrap ? measure.wrap(text, font, box.width()) : paragraphs(text);
    double widest = 0.0;
    for (const QString& line : layout.lines)
        widest = std::max(widest, measure.width(line, font));
    const QSizeF content(widest, measure.lineHeight(font) * layout.lines.size());
    layout.box = fitBox(box, content, fit);
    // Blank lines at the end show nothing when cut off.
    qsizetype shown = layout.lines.size();
    while (shown > 0 && layout.lines.at(shown - 1).trimmed().isEmpty())
        --shown;
    layout.cut = exceeds(QSizeF(widest, measure.lineHeight(font) * shown), layout.box);
    return layout;
}

double subscriptDrop(const QFont& runFont, const TextMeasure& measure) { return measure.ascent(runFont) / 3.0; }

namespace {

struct Segment {
    QString text;
    QFont font;
    double drop = 0.0;
};

struct Line {
    std::vector<Segment> segments;
    double width = 0.0;
};

QFont runFont(const QFont& base, const TextRun& run)
{
    QFont font = base;
    if (run.pointSize > 0.0)
        font.setPointSizeF(run.pointSize);
    return font;
}

// Words across runs: each word ends after a blank, so "H" "2" "SO" "4" is
// one word made of four segments.
std::vector<std::vector<Segment>> words(const std::vector<TextRun>& runs, const QFont& base, const TextMeasure& measure)
{
    std::vector<std::vector<Segment>> result(1);
    for (const TextRun& run : runs) {
        const QFont font = runFont(base, run);
        const double drop = run.subscript ? subscriptDrop(font, measure) : 0.0;
        QString pending;
        for (const QChar c : run.text) {
            pending += c;
            if (c == QLatin1Char(' ')) {
                result.back().push_back({pending, font, drop});
                result.emplace_back();
                pending.clear();
            }
        }
        if (!pending.isEmpty())
            result.back().push_back({pending, font, drop});
    }
    if (result.back().empty())
        result.pop_back();
    return result;
}

} // namespace

RichTextLayout layoutRichText(const std::vector<TextRun>& runs, const QFont& font, const QRectF& box,
                              const TextFit& fit, const TextMeasure& measure)
{
    std::vector<Line> lines(1);
    for (const std::vector<Segment>& word : words(runs, font, measure)) {
        double wordWidth = 0.0;
        for (const Segment& segment : word)
            wordWidth += measure.width(segment.text, segment.font);
        if (fit.wordWrap && !lines.back().segments.empty() && lines.back().width + wordWidth > box.width())
            lines.emplace_back();
        for (const Segment& segment : word)
            lines.back().segments.push_back(segment);
        lines.back().width += wordWidth;
    }

    RichTextLayout layout;
    double top = 0.0;
    double widest = 0.0;
    for (const Line& line : lines) {
        double ascent = measure.ascent(font);
        double below = measure.descent(font);
        for (const Segment& segment : line.segments) {
            ascent = std::max(ascent, measure.ascent(segment.font));
            below = std::max(below, measure.descent(segment.font) + segment.drop);
        }
        const double height = std::max(ascent + below, measure.lineHeight(font));
        double x = 0.0;
        for (const Segment& segment : line.segments) {
            const double w = measure.width(segment.text, segment.font);
            layout.runs.push_back({QRectF(x, top, w, height), ascent + segment.drop, segment.text, segment.font});
            x += w;
        }
        widest = std::max(widest, line.width);
        top += height;
    }
    layout.box = fitBox(box, QSizeF(widest, top), fit);
    layout.cut = exceeds(QSizeF(widest, top), layout.box);
    // Alignment within the box, line by line.
    if (!(fit.alignment & Qt::AlignLeft) && (fit.alignment & (Qt::AlignRight | Qt::AlignHCenter))) {
        std::size_t index = 0;
        for (const Line& line : lines) {
            double shift = layout.box.width() - line.width;
            if (fit.alignment & Qt::AlignHCenter)
                shift /= 2.0;
            for (std::size_t i = 0; i < line.segments.size(); ++i)
                layout.runs[index++].rect.translate(shift, 0.0);
        }
    }
    return layout;
}

} // namespace report
