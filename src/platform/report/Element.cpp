#include "report/Element.h"

#include <cmath>

namespace report {

PlainTextLayout TextElement::layout(const RenderContext& context) const
{
    return layoutPlainText(text(context.system), font, rect, TextFit{wordWrap, autoSize, autoStretch, alignment},
                           context.measure);
}

bool TextElement::textCut(const RenderContext& context) const
{
    return layout(context).cut;
}

void TextElement::render(const RenderContext& context, ElementOutput& out) const
{
    const PlainTextLayout layout = this->layout(context);
    DrawnItem item;
    item.kind = ItemKind::Text;
    item.rect = layout.box;
    item.clip = layout.box;
    item.text = layout.lines.join(QLatin1Char('\n'));
    item.font = font;
    item.color = color;
    item.alignment = alignment & Qt::AlignHorizontal_Mask;
    item.lineSpacing = context.measure.lineHeight(font);
    item.opaque = !transparent;
    item.background = background;
    out.items.push_back(std::move(item));
    if (autoStretch)
        out.stretchBottom = std::max(out.stretchBottom, layout.box.bottom());
}

QString SystemData::format(SystemDataKind kind, const SystemValues& system)
{
    static const QString kDate = QStringLiteral("dd.MM.yyyy");
    static const QString kTime = QStringLiteral("hh:mm:ss");
    switch (kind) {
    case SystemDataKind::Time:
        return system.now.toString(kTime);
    case SystemDataKind::Date:
        return system.now.toString(kDate);
    case SystemDataKind::DateTime:
        return system.now.toString(kDate + QLatin1Char(' ') + kTime);
    case SystemDataKind::PageNumber:
        return QString::number(system.pageNumber);
    case SystemDataKind::ReportTitle:
        return system.title;
    case SystemDataKind::DetailCount:
        return QString::number(system.detailCount);
    case SystemDataKind::DetailNumber:
        return QString::number(system.detailNumber);
    }
    return {};
}

void RichText::setPlainText(const QString& text) { runs = {TextRun{text, 0.0, false}}; }

QString RichText::plainText() const
{
    QString text;
    for (const TextRun& run : runs)
        text += run.text;
    return text;
}

RichTextLayout RichText::layout(const RenderContext& context) const
{
    return layoutRichText(runs, font, rect, TextFit{wordWrap, autoSize, autoStretch, alignment}, context.measure);
}

bool RichText::textCut(const RenderContext& context) const
{
    return layout(context).cut;
}

void RichText::render(const RenderContext& context, ElementOutput& out) const
{
    const RichTextLayout layout = this->layout(context);
    for (const PlacedRun& run : layout.runs) {
        DrawnItem item;
        item.kind = ItemKind::TextRun;
        item.rect = run.rect.translated(layout.box.topLeft());
        item.clip = layout.box;
        item.text = run.text;
        item.font = run.font;
        item.color = color;
        item.baseline = run.baseline;
        out.items.push_back(std::move(item));
    }
    if (autoStretch)
        out.stretchBottom = std::max(out.stretchBottom, layout.box.bottom());
}

void Shape::render(const RenderContext&, ElementOutput& out) const
{
    DrawnItem item;
    item.kind = ItemKind::Shape;
    item.rect = rect;
    item.shape = shape;
    item.penColor = penColor;
    item.penStyle = penStyle;
    item.penWidth = penWidth;
    item.brushColor = brushColor;
    item.brushStyle = brushStyle;
    out.items.push_back(std::move(item));
}

QSizeF PictureElement::naturalSizeMm(const QImage& image)
{
    // Pictures store their resolution in whole dots per metre; rounded back
    // to whole dots per inch, 96 dpi gives exactly 25.4 mm per 96 pixels.
    auto dpi = [](int dotsPerMeter) { return dotsPerMeter > 0 ? std::round(dotsPerMeter * 0.0254) : 96.0; };
    return {image.width() * 25.4 / dpi(image.dotsPerMeterX()), image.height() * 25.4 / dpi(image.dotsPerMeterY())};
}

void PictureElement::render(const RenderContext&, ElementOutput& out) const
{
    const QImage picture = image();
    if (picture.isNull())
        return;
    const QSizeF natural = naturalSizeMm(picture);
    QRectF box = rect;
    if (autoSize && !stretch)
        box.setSize(natural);
    QRectF target = box;
    if (!stretch) {
        target.setSize(natural);
        if (center)
            target.moveCenter(box.center());
    }
    DrawnItem item;
    item.kind = ItemKind::Picture;
    item.rect = target;
    item.clip = box;
    item.picture = picture;
    out.items.push_back(std::move(item));
}

} // namespace report
