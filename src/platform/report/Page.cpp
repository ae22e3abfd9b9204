#include "report/Page.h"

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

void paintShape(const DrawnItem& item, QPainter& painter, double dotsPerMm)
{
    QPen pen(item.penColor, item.penWidth * dotsPerMm, item.penStyle);
    if (item.penWidth <= 0.0)
        pen.setCosmetic(true);
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
    const auto schrift = [&](double dpi) {
        QFont font = deviceFont(item.font, dotsPerMm, dpi);
        if (!smooth)
            font.setStyleStrategy(QFont::NoAntialias);
        return font;
    };
    const double dpi = painter.device() ? painter.device()->logicalDpiY() : 96.0;
    const QRectF r = toDevice(item.rect, dotsPerMm);
    switch (item.kind) {
    case ItemKind::Text: {
        if (item.opaque)
            painter.fillRect(r, item.background);
        const QFont font = schrift(dpi);
        painter.setFont(font);
        painter.setPen(item.color);
        // Line by line at the spacing the layout measured, so that the lines
        // fill exactly the height the box was given: a screen font's metrics
        // are rounded to whole pixels and would run past the box.
        const double spacing = item.lineSpacing > 0.0 ? item.lineSpacing * dotsPerMm
                                                      : QFontMetricsF(font, painter.device()).lineSpacing();
        const int flags = static_cast<int>(item.alignment | Qt::AlignTop) | Qt::TextSingleLine;
        double top = r.top();
        for (const QString& line : item.text.split(QLatin1Char('\n'))) {
            painter.drawText(QRectF(r.left(), top, r.width(), spacing), flags, line);
            top += spacing;
        }
        break;
    }
    case ItemKind::TextRun:
        painter.setFont(schrift(dpi));
        painter.setPen(item.color);
        painter.drawText(QPointF(r.left(), r.top() + item.baseline * dotsPerMm), item.text);
        break;
    case ItemKind::Shape:
        paintShape(item, painter, dotsPerMm);
        break;
    case ItemKind::Picture:
        if (!item.picture.isNull())
            painter.drawImage(r, item.picture);
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
