#include "report/Page.h"

#include <limits>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include "report/Units.h"

namespace report {

double fontPoints(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    if (font.pixelSize() > 0)
        return font.pixelSize() * 72.0 / 96.0;
    return 10.0;
}

QFont deviceFont(const QFont& font, double dotsPerMm, double deviceDpi)
{
    QFont scaled = font;
    scaled.setPointSizeF(fontPoints(font) * 25.4 * dotsPerMm / deviceDpi);
    scaled.setHintingPreference(QFont::PreferNoHinting);
    return scaled;
}

namespace {

QRectF toDevice(const QRectF& mm, double dotsPerMm)
{
    return {mm.x() * dotsPerMm, mm.y() * dotsPerMm, mm.width() * dotsPerMm, mm.height() * dotsPerMm};
}

// A screen pixel at 100 %: the unit of a thin line's dashes.
constexpr double kDashUnitMm = 25.4 / 96.0;

void paintShape(const DrawnItem& item, QPainter& painter, double dotsPerMm)
{
    QPen pen(item.penColor, item.penWidth * dotsPerMm, item.penStyle);
    if (item.penWidth <= 0.0) {
        pen.setCosmetic(true);
        // The dashes of the thinnest line count in device pixels, which on a
        // printer or in a PDF run together into a solid line: they are as
        // long on paper as the preview shows them at 100 %.
        if (item.penStyle != Qt::SolidLine && item.penStyle != Qt::NoPen) {
            QList<qreal> muster = pen.dashPattern();
            for (qreal& strich : muster)
                strich *= kDashUnitMm * dotsPerMm;
            pen.setDashPattern(muster);
        }
    }
    painter.setPen(item.penStyle == Qt::NoPen ? QPen(Qt::NoPen) : pen);
    painter.setBrush(QBrush(item.brushColor, item.brushStyle));
    const QRectF r = toDevice(item.rect, dotsPerMm);
    switch (item.shape) {
    case ShapeKind::Rectangle:
        painter.drawRect(r);
        break;
    case ShapeKind::RoundRect: {
        const double radius = std::min(r.width(), r.height()) / 4.0;
        painter.drawRoundedRect(r, radius, radius);
        break;
    }
    case ShapeKind::Ellipse:
        painter.drawEllipse(r);
        break;
    case ShapeKind::Circle: {
        const double d = std::min(r.width(), r.height());
        painter.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
        break;
    }
    case ShapeKind::HorLine:
        painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        break;
    case ShapeKind::VertLine:
        painter.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
        break;
    case ShapeKind::TopAndBottom:
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        break;
    case ShapeKind::RightAndLeft:
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.drawLine(r.topRight(), r.bottomRight());
        break;
    }
}

void paintItem(const DrawnItem& item, QPainter& painter, double dotsPerMm, bool smooth)
{
    switch (item.kind) {
    case ItemKind::Text:
    case ItemKind::TextRun: {
        // Text is painted at the resolution it was laid out at, scaled to
        // the device: its advances then scale exactly with the zoom, and
        // every line fills the width it was measured to. A font sized for
        // the device itself is rounded by the font engine at most zooms and
        // would run past its box, where the last letters are cut.
        constexpr double layoutDotsPerMm = kLayoutDpi / 25.4;
        const double dpi = painter.device() ? painter.device()->logicalDpiY() : 96.0;
        painter.scale(dotsPerMm / layoutDotsPerMm, dotsPerMm / layoutDotsPerMm);
        QFont font = deviceFont(item.font, layoutDotsPerMm, dpi);
        if (!smooth)
            font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(item.color);
        const QRectF r = toDevice(item.rect, layoutDotsPerMm);
        if (item.kind == ItemKind::TextRun) {
            painter.drawText(QPointF(r.left(), r.top() + item.baseline * layoutDotsPerMm), item.text);
            break;
        }
        if (item.opaque)
            painter.fillRect(r, item.background);
        // Line by line at the spacing the layout measured, so that the lines
        // fill exactly the height the box was given.
        const double spacing = item.lineSpacing > 0.0 ? item.lineSpacing * layoutDotsPerMm
                                                      : QFontMetricsF(font, painter.device()).lineSpacing();
        const int flags = static_cast<int>(item.alignment | Qt::AlignTop) | Qt::TextSingleLine;
        // Lines wholly below the clip are not drawn at all: a PDF reader
        // would find their text although nobody sees it.
        const double unten = item.clip.isValid() ? toDevice(item.clip, layoutDotsPerMm).bottom()
                                                 : std::numeric_limits<double>::infinity();
        double top = r.top();
        for (const QString& line : item.text.split(QLatin1Char('\n'))) {
            if (top >= unten)
                break;
            painter.drawText(QRectF(r.left(), top, r.width(), spacing), flags, line);
            top += spacing;
        }
        break;
    }
    case ItemKind::Shape:
        paintShape(item, painter, dotsPerMm);
        break;
    case ItemKind::Picture:
        if (!item.picture.isNull())
            painter.drawImage(toDevice(item.rect, dotsPerMm), item.picture);
        break;
    }
}

} // namespace

void paintPage(const Page& page, QPainter& painter, double dotsPerMm, bool smooth)
{
    for (const DrawnItem& item : page.items) {
        painter.save();
        if (item.clip.isValid())
            painter.setClipRect(toDevice(item.clip, dotsPerMm), Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing, smooth && item.kind == ItemKind::Shape);
        paintItem(item, painter, dotsPerMm, smooth);
        painter.restore();
    }
}

} // namespace report
