#include "graphics/WmfWriter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include "files/Paths.h"
#include "codepage/CodePage.h"
#include "graphics/Dib.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfFormat.h"

namespace graphics {

using namespace wmf;

namespace {

constexpr int Dpi = 96;
constexpr int MaxUnitsPerPixel = 15;
constexpr int MaxCoordinate = 32767;

void put16(QByteArray& out, int v) { out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
void put32(QByteArray& out, quint32 v) { put16(out, int(v & 0xFFFF)); put16(out, int(v >> 16)); }

// One record's parameters, written in the order the reader finds them.
class Rec {
public:
    explicit Rec(quint16 function) : m_function(function) {}
    Rec& w(int v) { put16(m_params, v); return *this; }
    Rec& colour(const QColor& c) { return w(c.red() | (c.green() << 8)).w(c.blue()); }
    Rec& bytes(const QByteArray& b)
    {
        m_params.append(b);
        if (b.size() % 2)
            m_params.append('\0');
        return *this;
    }
    quint16 function() const { return m_function; }
    const QByteArray& params() const { return m_params; }

private:
    quint16 m_function;
    QByteArray m_params;
};

struct PenSpec {
    int style = PsSolid;
    int width = 0;
    QRgb colour = 0;
    bool operator==(const PenSpec&) const = default;
};

struct BrushSpec {
    int style = BsSolid;
    QRgb colour = 0;
    int hatch = 0;
    bool operator==(const BrushSpec&) const = default;
};

struct FontSpec {
    QByteArray face;
    int height = 0;
    int escapement = 0;
    int weight = FwNormal;
    bool italic = false, underline = false, strikeOut = false;
    bool operator==(const FontSpec&) const = default;
};

// A created object of ours and what it is.
template <typename Spec>
struct Selected {
    std::optional<Spec> spec; // what the device context has selected now; unknown after a restore
    int slot = -1;            // our live object of this kind
    std::optional<Spec> slotSpec;
};

double uniformScale(const QTransform& t) { return std::sqrt(std::abs(t.determinant())); }

QColor solidColour(const QBrush& brush)
{
    if (const QGradient* g = brush.gradient(); g && !g->stops().isEmpty())
        return g->stops().first().second;
    return brush.color();
}

} // namespace

class WmfPaintEngine : public QPaintEngine {
public:
    explicit WmfPaintEngine(int unitsPerPixel, const QSize& size)
        : QPaintEngine(QPaintEngine::AllFeatures), m_k(unitsPerPixel)
    {
        put(Rec(SetMapMode).w(MmAnisotropic));
        put(Rec(SetWindowOrg).w(0).w(0));
        put(Rec(SetWindowExt).w(size.height() * m_k).w(size.width() * m_k));
        put(Rec(SetBkMode).w(Transparent));
        put(Rec(SetTextAlign).w(TaBaseline));
    }

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;
    void drawRects(const QRectF* rects, int count) override;
    void drawLines(const QLineF* lines, int count) override;
    void drawEllipse(const QRectF& rect) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF& point, const QTextItem& item) override;
    Type type() const override { return QPaintEngine::User; }

    const QByteArray& records() const { return m_records; }
    quint32 maxRecordWords() const { return m_maxRecord; }
    int objectSlots() const { return int(m_slots.size()); }

private:
    void put(const Rec& record);
    int coordinate(double devicePixels) const
    {
        return int(std::clamp(std::lround(devicePixels * m_k), long(-MaxCoordinate - 1), long(MaxCoordinate)));
    }
    Rec& point(Rec& r, const QPointF& p) const { return r.w(coordinate(p.x())).w(coordinate(p.y())); }
    Rec& rect(Rec& r, const QRectF& box) const
    {
        return r.w(coordinate(box.bottom())).w(coordinate(box.right())).w(coordinate(box.top())).w(coordinate(box.left()));
    }
    bool axisAligned() const { return m_transform.type() <= QTransform::TxScale; }

    int createObject(const Rec& create);
    void deleteObject(int slot);
    template <typename Spec>
    void select(Selected<Spec>& selected, const Spec& spec, const Rec& create);
    void selectPen(bool stroked);
    void selectBrush(bool filled);
    void syncClip();
    void setPolyFill(Qt::FillRule rule);
    void polygon(const QPolygonF& devicePoints, bool closed);
    void polyPolygon(const QList<QPolygonF>& devicePolygons);

    int m_k;
    QByteArray m_records;
    quint32 m_maxRecord = 0;
    std::vector<bool> m_slots;
    QPaintDevice* m_device = nullptr;

    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    bool m_opaqueBackground = false;
    QColor m_background = Qt::white;

    Selected<PenSpec> m_selectedPen;
    Selected<BrushSpec> m_selectedBrush;
    Selected<FontSpec> m_selectedFont;
    std::optional<QRgb> m_textColour, m_bkColour;
    std::optional<int> m_bkMode, m_polyFill;
    std::optional<QRect> m_clip; // written clip rectangle in our units
};

void WmfPaintEngine::put(const Rec& record)
{
    const quint32 words = quint32(RecordHeaderWords + record.params().size() / 2);
    put32(m_records, words);
    put16(m_records, record.function());
    m_records.append(record.params());
    m_maxRecord = std::max(m_maxRecord, words);
}

bool WmfPaintEngine::begin(QPaintDevice* device)
{
    m_device = device;
    // Everything a painting sets up is undone at its end by one restore, and
    // a change of clipping restores and saves again: GDI cannot widen a clip.
    put(Rec(SaveDc));
    m_selectedPen.spec.reset();
    m_selectedBrush.spec.reset();
    m_selectedFont.spec.reset();
    m_textColour.reset();
    m_bkColour.reset();
    m_bkMode = Transparent;
    m_polyFill.reset();
    m_clip.reset();
    setActive(true);
    return true;
}

bool WmfPaintEngine::end()
{
    put(Rec(RestoreDc).w(-1));
    for (int slot = 0; slot < int(m_slots.size()); ++slot)
        if (m_slots[std::size_t(slot)])
            deleteObject(slot);
    m_selectedPen = {};
    m_selectedBrush = {};
    m_selectedFont = {};
    setActive(false);
    return true;
}

int WmfPaintEngine::createObject(const Rec& create)
{
    // Windows puts a new object into the lowest free slot of the table.
    auto free = std::find(m_slots.begin(), m_slots.end(), false);
    if (free == m_slots.end())
        free = m_slots.insert(m_slots.end(), false);
    *free = true;
    put(create);
    return int(free - m_slots.begin());
}

void WmfPaintEngine::deleteObject(int slot)
{
    put(Rec(DeleteObject).w(slot));
    m_slots[std::size_t(slot)] = false;
}

template <typename Spec>
void WmfPaintEngine::select(Selected<Spec>& selected, const Spec& spec, const Rec& create)
{
    if (selected.spec == spec)
        return;
    if (selected.slot >= 0 && selected.slotSpec == spec) {
        put(Rec(SelectObject).w(selected.slot));
    } else {
        const int slot = createObject(create);
        put(Rec(SelectObject).w(slot));
        // The old object is no longer selected and can go.
        if (selected.slot >= 0)
            deleteObject(selected.slot);
        selected.slot = slot;
        selected.slotSpec = spec;
    }
    selected.spec = spec;
}

void WmfPaintEngine::selectPen(bool stroked)
{
    PenSpec spec;
    if (!stroked || m_pen.style() == Qt::NoPen || m_pen.brush().style() == Qt::NoBrush
        || solidColour(m_pen.brush()).alpha() == 0) {
        spec.style = PsNull;
    } else {
        switch (m_pen.style()) {
        case Qt::DashLine: case Qt::CustomDashLine: spec.style = PsDash; break;
        case Qt::DotLine: spec.style = PsDot; break;
        case Qt::DashDotLine: spec.style = PsDashDot; break;
        case Qt::DashDotDotLine: spec.style = PsDashDotDot; break;
        default: spec.style = PsSolid; break;
        }
        const double width = m_pen.widthF() == 0 ? 1.0
                             : m_pen.isCosmetic() ? m_pen.widthF()
                                                  : m_pen.widthF() * uniformScale(m_transform);
        spec.width = std::max(1, coordinate(width));
        spec.colour = solidColour(m_pen.brush()).rgb();
    }
    const QColor c = QColor::fromRgb(spec.colour);
    select(m_selectedPen, spec, Rec(CreatePenIndirect).w(spec.style).w(spec.width).w(0).colour(c));
}

void WmfPaintEngine::selectBrush(bool filled)
{
    BrushSpec spec;
    const QColor colour = solidColour(m_brush);
    if (!filled || m_brush.style() == Qt::NoBrush || colour.alpha() == 0) {
        spec.style = BsNull;
    } else {
        spec.colour = colour.rgb();
        switch (m_brush.style()) {
        case Qt::HorPattern: spec.style = BsHatched, spec.hatch = HsHorizontal; break;
        case Qt::VerPattern: spec.style = BsHatched, spec.hatch = HsVertical; break;
        case Qt::CrossPattern: spec.style = BsHatched, spec.hatch = HsCross; break;
        case Qt::BDiagPattern: spec.style = BsHatched, spec.hatch = HsBDiagonal; break;
        case Qt::FDiagPattern: spec.style = BsHatched, spec.hatch = HsFDiagonal; break;
        case Qt::DiagCrossPattern: spec.style = BsHatched, spec.hatch = HsDiagCross; break;
        default: spec.style = BsSolid; break;
        }
        if (spec.style == BsHatched) {
            const int mode = m_opaqueBackground ? Opaque : Transparent;
            if (m_bkMode != mode)
                put(Rec(SetBkMode).w(mode)), m_bkMode = mode;
            if (m_opaqueBackground && m_bkColour != m_background.rgb())
                put(Rec(SetBkColor).colour(m_background)), m_bkColour = m_background.rgb();
        }
    }
    const QColor c = QColor::fromRgb(spec.colour);
    select(m_selectedBrush, spec, Rec(CreateBrushIndirect).w(spec.style).colour(c).w(spec.hatch));
}

void WmfPaintEngine::updateState(const QPaintEngineState& state)
{
    const auto flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyTransform)
        m_transform = state.transform();
    if (flags & DirtyBackgroundMode)
        m_opaqueBackground = state.backgroundMode() == Qt::OpaqueMode;
    if (flags & DirtyBackground)
        m_background = state.backgroundBrush().color();
}

void WmfPaintEngine::syncClip()
{
    std::optional<QRect> clip;
    if (painter() && painter()->hasClipping()) {
        // A clip that is no rectangle is written as its bounding rectangle.
        const QRectF device = painter()->transform().mapRect(painter()->clipBoundingRect());
        clip = QRect(QPoint(coordinate(device.left()), coordinate(device.top())),
                     QPoint(coordinate(device.right()), coordinate(device.bottom())));
    }
    if (clip == m_clip)
        return;
    put(Rec(RestoreDc).w(-1));
    put(Rec(SaveDc));
    // The restore brought back the objects and settings of the first save.
    m_selectedPen.spec.reset();
    m_selectedBrush.spec.reset();
    m_selectedFont.spec.reset();
    m_textColour.reset();
    m_bkColour.reset();
    m_bkMode = Transparent;
    m_polyFill.reset();
    if (clip)
        put(Rec(IntersectClipRect).w(clip->bottom()).w(clip->right()).w(clip->top()).w(clip->left()));
    m_clip = clip;
}

void WmfPaintEngine::setPolyFill(Qt::FillRule rule)
{
    const int mode = rule == Qt::WindingFill ? Winding : Alternate;
    if (m_polyFill != mode)
        put(Rec(SetPolyFillMode).w(mode)), m_polyFill = mode;
}

void WmfPaintEngine::polygon(const QPolygonF& devicePoints, bool closed)
{
    // The point count is one word: longer outlines go out in pieces (a
    // polyline) or thinned out (a polygon, which cannot be split).
    constexpr qsizetype MaxPoints = 16000;
    if (!closed && devicePoints.size() > MaxPoints) {
        for (qsizetype from = 0; from < devicePoints.size() - 1; from += MaxPoints - 1)
            polygon(devicePoints.mid(from, MaxPoints), false);
        return;
    }
    QPolygonF points = devicePoints;
    if (points.size() > MaxPoints) {
        QPolygonF thinned;
        const double step = double(points.size()) / MaxPoints;
        for (qsizetype i = 0; i < MaxPoints; ++i)
            thinned.append(points[qsizetype(i * step)]);
        points = thinned;
    }
    Rec r(closed ? Polygon : Polyline);
    r.w(int(points.size()));
    for (const QPointF& p : points)
        point(r, p);
    put(r);
}

void WmfPaintEngine::polyPolygon(const QList<QPolygonF>& devicePolygons)
{
    qsizetype total = 0;
    for (const auto& p : devicePolygons)
        total += p.size();
    if (devicePolygons.size() == 1 || total > 16000 || devicePolygons.size() > 1000) {
        for (const auto& p : devicePolygons)
            polygon(p, true);
        return;
    }
    Rec r(PolyPolygon);
    r.w(int(devicePolygons.size()));
    for (const auto& p : devicePolygons)
        r.w(int(p.size()));
    for (const auto& p : devicePolygons)
        for (const QPointF& pt : p)
            point(r, pt);
    put(r);
}

void WmfPaintEngine::drawRects(const QRectF* rects, int count)
{
    syncClip();
    selectPen(true);
    selectBrush(true);
    for (int i = 0; i < count; ++i) {
        if (axisAligned()) {
            Rec r(Rectangle);
            put(rect(r, m_transform.mapRect(rects[i]).normalized()));
        } else {
            polygon(m_transform.map(QPolygonF(rects[i])), true);
        }
    }
}

void WmfPaintEngine::drawLines(const QLineF* lines, int count)
{
    syncClip();
    selectPen(true);
    for (int i = 0; i < count; ++i) {
        Rec move(MoveTo), line(LineTo);
        const QPointF from = m_transform.map(lines[i].p1()), to = m_transform.map(lines[i].p2());
        put(move.w(coordinate(from.y())).w(coordinate(from.x())));
        put(line.w(coordinate(to.y())).w(coordinate(to.x())));
    }
}

void WmfPaintEngine::drawEllipse(const QRectF& box)
{
    if (!axisAligned()) {
        QPainterPath path;
        path.addEllipse(box);
        drawPath(path);
        return;
    }
    syncClip();
    selectPen(true);
    selectBrush(true);
    Rec r(Ellipse);
    put(rect(r, m_transform.mapRect(box).normalized()));
}

void WmfPaintEngine::drawPath(const QPainterPath& path)
{
    const QList<QPolygonF> polygons = path.toSubpathPolygons(m_transform);
    if (polygons.isEmpty())
        return;
    syncClip();
    const bool filled = m_brush.style() != Qt::NoBrush;
    const bool allClosed = std::all_of(polygons.begin(), polygons.end(),
                                       [](const QPolygonF& p) { return p.isClosed(); });
    if (filled) {
        setPolyFill(path.fillRule());
        selectPen(allClosed);
        selectBrush(true);
        polyPolygon(polygons);
        if (allClosed)
            return;
    }
    // Open figures keep their outline open.
    selectPen(true);
    for (const QPolygonF& p : polygons)
        polygon(p, false);
}

void WmfPaintEngine::drawPolygon(const QPointF* points, int count, PolygonDrawMode mode)
{
    syncClip();
    const QPolygonF device = m_transform.map(QPolygonF(QList<QPointF>(points, points + count)));
    selectPen(true);
    if (mode == PolylineMode) {
        polygon(device, false);
        return;
    }
    selectBrush(true);
    setPolyFill(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
    polygon(device, true);
}

void WmfPaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source)
{
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

void WmfPaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                               Qt::ImageConversionFlags)
{
    QImage part = image.copy(source.toAlignedRect());
    if (part.isNull())
        return;
    if (part.width() > MaxCoordinate || part.height() > MaxCoordinate)
        part = part.scaled(std::min(part.width(), MaxCoordinate), std::min(part.height(), MaxCoordinate));
    syncClip();
    // A turned image goes out upright in its bounding box.
    const QRectF box = m_transform.mapRect(target).normalized();
    Rec r(StretchDib);
    r.w(int(SrcCopy & 0xFFFF)).w(int(SrcCopy >> 16)).w(DibRgbColors);
    r.w(part.height()).w(part.width()).w(0).w(0);
    r.w(coordinate(box.height())).w(coordinate(box.width())).w(coordinate(box.top())).w(coordinate(box.left()));
    r.bytes(dib::encode24(part));
    put(r);
}

void WmfPaintEngine::drawTextItem(const QPointF& origin, const QTextItem& item)
{
    const QString text = item.text();
    if (text.isEmpty())
        return;
    syncClip();
    const QFont font = item.font();
    // A stretched painter stretches height and advances each on its own axis.
    const double scaleX = std::hypot(m_transform.m11(), m_transform.m12());
    const double scaleY = std::hypot(m_transform.m21(), m_transform.m22());
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * Dpi / 72.0;
    const double angle = std::atan2(m_transform.m12(), m_transform.m11()) * 180.0 / std::numbers::pi;

    FontSpec spec;
    spec.face = QByteArray::fromStdString(codepage::CodePage::windows1252().encode(font.family())).left(FaceNameBytes - 1);
    spec.height = -std::max(1, coordinate(pixels * scaleY));
    spec.escapement = int(std::lround(-angle * 10)) % 3600;
    if (spec.escapement < 0)
        spec.escapement += 3600;
    spec.weight = std::clamp(int(font.weight()), 0, 1000);
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeOut = font.strikeOut();
    Rec create(CreateFontIndirect);
    create.w(spec.height).w(0).w(spec.escapement).w(spec.escapement).w(spec.weight);
    create.w(int(spec.italic) | (int(spec.underline) << 8)).w(int(spec.strikeOut)); // charset 0: ANSI
    create.w(0).w(0); // precisions, quality, pitch and family: the defaults
    QByteArray face = spec.face;
    face.append(QByteArray(FaceNameBytes - face.size(), '\0'));
    create.bytes(face);
    select(m_selectedFont, spec, create);

    const QColor colour = solidColour(m_pen.brush());
    if (m_textColour != colour.rgb())
        put(Rec(SetTextColor).colour(colour)), m_textColour = colour.rgb();
    const int mode = m_opaqueBackground ? Opaque : Transparent;
    if (m_bkMode != mode)
        put(Rec(SetBkMode).w(mode)), m_bkMode = mode;
    if (m_opaqueBackground && m_bkColour != m_background.rgb())
        put(Rec(SetBkColor).colour(m_background)), m_bkColour = m_background.rgb();

    // Each character's advance goes with the text, so that readers with other
    // font metrics still put the characters where we laid them out.
    const QFontMetricsF metrics(font, m_device);
    QByteArray bytes;
    std::vector<int> dx;
    int placed = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        bytes.append(QByteArray::fromStdString(codepage::CodePage::windows1252().encode(text.mid(i, length))));
        i += length - 1;
        const int end = coordinate(metrics.horizontalAdvance(text.left(i + 1)) * scaleX);
        dx.push_back(end - placed);
        placed = end;
    }
    const QPointF at = m_transform.map(origin);
    Rec r(ExtTextOut);
    r.w(coordinate(at.y())).w(coordinate(at.x())).w(int(bytes.size())).w(0);
    r.bytes(bytes);
    for (int d : dx)
        r.w(d);
    put(r);
}

WmfWriter::WmfWriter(const QSize& sizeInPixels) : m_size(sizeInPixels)
{
    if (m_size.width() < 1 || m_size.height() < 1 || m_size.width() > MaxCoordinate
        || m_size.height() > MaxCoordinate)
        throw GraphicsError(QStringLiteral("Ein Bild von %1 × %2 Bildpunkten kann nicht als Windows-Metadatei "
                                           "gespeichert werden.")
                                .arg(m_size.width())
                                .arg(m_size.height()));
    m_unitsPerPixel = std::clamp(MaxCoordinate / std::max(m_size.width(), m_size.height()), 1, MaxUnitsPerPixel);
    m_engine = std::make_unique<WmfPaintEngine>(m_unitsPerPixel, m_size);
}

WmfWriter::~WmfWriter() = default;

QPaintEngine* WmfWriter::paintEngine() const { return m_engine.get(); }

int WmfWriter::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_size.width();
    case PdmHeight: return m_size.height();
    case PdmWidthMM: return int(std::lround(m_size.width() * 25.4 / Dpi));
    case PdmHeightMM: return int(std::lround(m_size.height() * 25.4 / Dpi));
    case PdmNumColors: return std::numeric_limits<int>::max();
    case PdmDepth: return 32;
    case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return Dpi;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
    }
}

QByteArray WmfWriter::data() const
{
    QByteArray body = m_engine->records();
    put32(body, RecordHeaderWords);
    put16(body, Eof);

    QByteArray file;
    put32(file, PlaceableKey);
    put16(file, 0);
    put16(file, 0);
    put16(file, 0);
    put16(file, m_size.width() * m_unitsPerPixel);
    put16(file, m_size.height() * m_unitsPerPixel);
    put16(file, unitsPerInch());
    put32(file, 0);
    put16(file, placeableChecksum(reinterpret_cast<const unsigned char*>(file.constData())));

    put16(file, 1); // a memory metafile, as Windows saves them
    put16(file, MetaHeaderWords);
    put16(file, MetaVersion);
    put32(file, quint32(MetaHeaderWords + body.size() / 2));
    put16(file, m_engine->objectSlots());
    put32(file, std::max<quint32>(m_engine->maxRecordWords(), RecordHeaderWords));
    put16(file, 0);
    return file + body;
}

void WmfWriter::save(const QString& path) const
{
    QSaveFile file(files::resolveForWrite(path));
    const QByteArray bytes = data();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw GraphicsError(QStringLiteral("Die Windows-Metadatei „%1“ kann nicht gespeichert werden.").arg(path));
}

} // namespace graphics
