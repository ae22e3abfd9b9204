#include "graphics/WmfReader.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include "codepage/CodePage.h"
#include "graphics/DataFault.h"
#include "graphics/Dib.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfFormat.h"

namespace graphics {

using namespace wmf;

namespace {

constexpr int ScreenDpi = 96;
// Deeper nesting than this is no drawing but a damaged or hostile file, and
// every level costs a copy of the drawing state.
constexpr int MaxSavedStates = 1024;

quint16 u16(const unsigned char* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 u32(const unsigned char* p) { return quint32(u16(p)) | (quint32(u16(p + 2)) << 16); }

QString hex(quint16 function) { return QStringLiteral("0x%1").arg(function, 4, 16, QLatin1Char('0')); }

// The parameter words of one record.
class Params {
public:
    Params(const unsigned char* words, qsizetype count, std::size_t index, quint16 function)
        : m_p(words), m_count(count), m_index(index), m_function(function) {}

    qsizetype count() const { return m_count; }
    void need(qsizetype words) const
    {
        if (words > m_count)
            throw DataFault{QStringLiteral("Datensatz %1 (Funktion %2) ist zu kurz").arg(m_index + 1).arg(hex(m_function))};
    }
    qint16 s(qsizetype i) const { return qint16(u(i)); }
    quint16 u(qsizetype i) const { need(i + 1); return u16(m_p + 2 * i); }
    quint32 u32at(qsizetype i) const { return quint32(u(i)) | (quint32(u(i + 1)) << 16); }
    QColor colour(qsizetype i) const
    {
        const quint32 ref = u32at(i);
        return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
    }
    QPointF point(qsizetype i) const { return QPointF(s(i), s(i + 1)); } // x, y
    // The four words bottom, right, top, left, as rectangles are stored.
    QRectF rect(qsizetype i) const
    {
        const double bottom = s(i), right = s(i + 1), top = s(i + 2), left = s(i + 3);
        return QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
    }
    const unsigned char* bytes(qsizetype i) const { return m_p + 2 * i; }
    qsizetype bytesFrom(qsizetype i) const { return 2 * (m_count - i); }

private:
    const unsigned char* m_p;
    qsizetype m_count;
    std::size_t m_index;
    quint16 m_function;
};

struct FontSpec {
    QString face;
    int height = 0;      // negative: character height; positive: cell height
    int escapement = 0;  // tenths of a degree, counter-clockwise
    int weight = FwNormal;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct GdiObject {
    enum class Kind { Empty, Pen, Brush, Font, Other };
    explicit GdiObject(Kind k = Kind::Empty) : kind(k) {}
    Kind kind;
    QPen pen;
    QBrush brush;
    FontSpec font;
};

struct DcState {
    QPen pen = QPen(Qt::black, 0);
    QBrush brush = QBrush(Qt::white);
    FontSpec font;
    QColor textColour = Qt::black;
    QColor bkColour = Qt::white;
    int bkMode = Opaque;
    int textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    int mapMode = MmAnisotropic;
    QPointF position;
    QPointF windowOrg;
    QSizeF windowExt;
};

Qt::PenStyle penStyle(int style)
{
    switch (style & PsStyleMask) {
    case PsDash: return Qt::DashLine;
    case PsDot: return Qt::DotLine;
    case PsDashDot: return Qt::DashDotLine;
    case PsDashDotDot: return Qt::DashDotDotLine;
    case PsNull: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QBrush brush(int style, const QColor& colour, int hatch)
{
    switch (style) {
    case BsNull: return Qt::NoBrush;
    case BsHatched:
        switch (hatch) {
        case HsHorizontal: return QBrush(colour, Qt::HorPattern);
        case HsVertical: return QBrush(colour, Qt::VerPattern);
        case HsFDiagonal: return QBrush(colour, Qt::FDiagPattern);
        case HsBDiagonal: return QBrush(colour, Qt::BDiagPattern);
        case HsCross: return QBrush(colour, Qt::CrossPattern);
        default: return QBrush(colour, Qt::DiagCrossPattern);
        }
    default: return QBrush(colour);
    }
}

// GDI measures arcs counter-clockwise from the ray through the start point.
double angleOf(const QPointF& centre, const QPointF& p)
{
    return std::atan2(-(p.y() - centre.y()), p.x() - centre.x()) * 180.0 / std::numbers::pi;
}

} // namespace

// Walks the records once. Without a painter it only checks them, decodes the
// bitmaps into the reader and measures a plain file's frame; with a painter
// it draws. Both walks take the same paths, so a file that passed the check
// cannot fail while drawing.
class WmfPlayer {
public:
    // Checking walk.
    explicit WmfPlayer(WmfReader& reader) : m_reader(reader), m_decodeInto(&reader) { init(); }
    // Drawing walk.
    WmfPlayer(const WmfReader& reader, QPainter& painter, const QRectF& target)
        : m_reader(reader), m_painter(&painter), m_target(target) { init(); }

    void run();

    std::optional<QRectF> firstWindow() const { return m_firstWindow; }
    QRectF drawnExtent() const { return m_extent.value_or(QRectF()); }

private:
    void init()
    {
        m_objects.resize(m_reader.m_objectSlots);
        const QRect frame = m_reader.m_frame;
        m_frameOrg = frame.topLeft();
        m_frameExt = frame.size();
        m_state.windowOrg = m_frameOrg;
        m_state.windowExt = m_frameExt;
    }

    void record(std::size_t index, const Params& p);
    void applyMapping();
    void track(const QPointF& point)
    {
        // QRectF::united() ignores rectangles of no size, so points are merged by hand.
        if (!m_extent) {
            m_extent = QRectF(point, QSizeF(0, 0));
            return;
        }
        m_extent->setLeft(std::min(m_extent->left(), point.x()));
        m_extent->setTop(std::min(m_extent->top(), point.y()));
        m_extent->setRight(std::max(m_extent->right(), point.x()));
        m_extent->setBottom(std::max(m_extent->bottom(), point.y()));
    }
    void track(const QRectF& rect) { track(rect.topLeft()); track(rect.bottomRight()); }
    QPolygonF points(const Params& p, qsizetype first, qsizetype count);

    void create(GdiObject object);
    GdiObject& slot(int index);
    void select(int index);

    QPen effectivePen() const;
    void preparePenAndBrush(bool filled);
    void text(QPointF at, const QByteArray& bytes, const std::vector<double>& dx);
    QFont font(double& ascent, double& descent) const;
    void blit(std::size_t index, const QRectF& dst, QRectF src, quint32 rop, bool withBitmap);
    void restore(int level);

    const WmfReader& m_reader;
    WmfReader* m_decodeInto = nullptr;
    QPainter* m_painter = nullptr;
    QRectF m_target;
    QTransform m_base;
    QPointF m_frameOrg;
    QSizeF m_frameExt;
    double m_scaleX = 1, m_scaleY = 1;

    DcState m_state;
    std::vector<DcState> m_saved;
    std::vector<GdiObject> m_objects;

    std::optional<QRectF> m_firstWindow;
    std::optional<QPointF> m_firstOrg;
    std::optional<QRectF> m_extent;
};

void WmfPlayer::run()
{
    if (m_painter) {
        m_painter->save();
        m_base = m_painter->transform();
        applyMapping();
    }
    const auto* data = reinterpret_cast<const unsigned char*>(m_reader.m_data.constData());
    for (std::size_t i = 0; i < m_reader.m_records.size(); ++i) {
        const auto& r = m_reader.m_records[i];
        record(i, Params(data + r.offset, r.words, i, r.function));
    }
    if (m_painter) {
        for (std::size_t i = 0; i < m_saved.size(); ++i)
            m_painter->restore();
        m_painter->restore();
    }
}

void WmfPlayer::applyMapping()
{
    const bool windowed = m_state.mapMode == MmAnisotropic || m_state.mapMode == MmIsotropic;
    const QSizeF ext = windowed ? m_state.windowExt : m_frameExt;
    if (ext.width() == 0 || ext.height() == 0)
        return;
    m_scaleX = m_target.width() / ext.width();
    m_scaleY = m_target.height() / ext.height();
    if (m_state.mapMode == MmIsotropic) {
        const double s = std::min(std::abs(m_scaleX), std::abs(m_scaleY));
        m_scaleX = std::copysign(s, m_scaleX);
        m_scaleY = std::copysign(s, m_scaleY);
    }
    if (!m_painter)
        return;
    m_painter->setTransform(m_base);
    m_painter->translate(m_target.topLeft());
    m_painter->scale(m_scaleX, m_scaleY);
    m_painter->translate(-m_state.windowOrg);
}

QPolygonF WmfPlayer::points(const Params& p, qsizetype first, qsizetype count)
{
    p.need(first + 2 * count);
    QPolygonF polygon;
    polygon.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        polygon.append(p.point(first + 2 * i));
    if (!m_painter)
        track(polygon.boundingRect());
    return polygon;
}

void WmfPlayer::create(GdiObject object)
{
    for (auto& slot : m_objects) {
        if (slot.kind == GdiObject::Kind::Empty) {
            slot = std::move(object);
            return;
        }
    }
    throw DataFault{QStringLiteral("die Objekttabelle mit %1 Plätzen ist voll").arg(m_objects.size())};
}

GdiObject& WmfPlayer::slot(int index)
{
    if (index < 0 || std::size_t(index) >= m_objects.size())
        throw DataFault{QStringLiteral("Objekt %1 liegt außerhalb der Objekttabelle mit %2 Plätzen")
                            .arg(index).arg(m_objects.size())};
    return m_objects[std::size_t(index)];
}

void WmfPlayer::select(int index)
{
    const GdiObject& object = slot(index);
    switch (object.kind) {
    case GdiObject::Kind::Pen: m_state.pen = object.pen; break;
    case GdiObject::Kind::Brush: m_state.brush = object.brush; break;
    case GdiObject::Kind::Font: m_state.font = object.font; break;
    default: break; // an empty slot or an object we do not draw with: Windows fails the call
    }
}

QPen WmfPlayer::effectivePen() const
{
    QPen pen = m_state.pen;
    // Windows draws every pen at least one device pixel wide.
    if (pen.widthF() * std::min(std::abs(m_scaleX), std::abs(m_scaleY)) < 1.0)
        pen.setWidth(0);
    return pen;
}

void WmfPlayer::preparePenAndBrush(bool filled)
{
    m_painter->setPen(effectivePen());
    m_painter->setBrush(filled ? m_state.brush : QBrush(Qt::NoBrush));
    // Hatches leave their gaps unpainted unless the background is opaque.
    m_painter->setBackgroundMode(m_state.bkMode == Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter->setBackground(m_state.bkColour);
}

void WmfPlayer::restore(int level)
{
    const int depth = int(m_saved.size());
    const int target = level < 0 ? depth + level : level - 1;
    if (level == 0 || target < 0 || target >= depth)
        return; // Windows fails the call and keeps the state
    m_state = m_saved[std::size_t(target)];
    m_saved.resize(std::size_t(target));
    if (m_painter)
        for (int i = target; i < depth; ++i)
            m_painter->restore();
    applyMapping();
}

QFont WmfPlayer::font(double& ascent, double& descent) const
{
    const FontSpec& spec = m_state.font;
    QFont font;
    if (!spec.face.isEmpty())
        font.setFamily(spec.face);
    font.setWeight(QFont::Weight(std::clamp(spec.weight == 0 ? int(FwNormal) : spec.weight, 1, 1000)));
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);

    const double dpi = m_painter->device()->logicalDpiY();
    // Height 0 asks for the default size; 16 device pixels stand in for it.
    double height = spec.height == 0 ? 16.0 / std::abs(m_scaleY) : std::abs(double(spec.height));
    font.setPointSizeF(std::max(height * 72.0 / dpi, 0.01));
    if (spec.height > 0) {
        // A positive height is the character cell: ascent plus descent.
        const QFontMetricsF cell(font, m_painter->device());
        if (cell.ascent() + cell.descent() > 0)
            height *= height / (cell.ascent() + cell.descent());
        font.setPointSizeF(std::max(height * 72.0 / dpi, 0.01));
    }
    const QFontMetricsF metrics(font, m_painter->device());
    ascent = metrics.ascent();
    descent = metrics.descent();
    return font;
}

void WmfPlayer::text(QPointF at, const QByteArray& bytes, const std::vector<double>& dx)
{
    const bool updateCp = m_state.textAlign & TaUpdateCp;
    if (updateCp)
        at = m_state.position;
    if (!m_painter) {
        track(at);
        return;
    }
    const QString string = codepage::CodePage::windows1252().decode(bytes);
    double ascent = 0, descent = 0;
    const QFont f = font(ascent, descent);
    const QFontMetricsF metrics(f, m_painter->device());
    double width = 0;
    if (dx.empty())
        width = metrics.horizontalAdvance(string);
    else
        for (double d : dx)
            width += d;

    double x = 0;
    switch (m_state.textAlign & TaHorizontalMask) {
    case TaRight: x = -width; break;
    case TaCenter: x = -width / 2; break;
    default: break;
    }
    double baseline = ascent;
    switch (m_state.textAlign & TaVerticalMask) {
    case TaBaseline: baseline = 0; break;
    case TaBottom: baseline = -descent; break;
    default: break;
    }

    // Text is drawn upright in its own frame at the mapped point, whatever
    // way the window turns the axes.
    const QPointF device = m_painter->transform().map(at);
    m_painter->save();
    m_painter->setTransform(QTransform(m_base).translate(device.x(), device.y()));
    m_painter->scale(std::abs(m_scaleX), std::abs(m_scaleY));
    m_painter->rotate(-m_state.font.escapement / 10.0);
    // The background is ours to fill: an opaque mode left from a hatched
    // brush would make Qt fill it a second time.
    m_painter->setBackgroundMode(Qt::TransparentMode);
    if (m_state.bkMode == Opaque)
        m_painter->fillRect(QRectF(x, baseline - ascent, width, ascent + descent), m_state.bkColour);
    m_painter->setFont(f);
    m_painter->setPen(m_state.textColour);
    // A window that stretches one axis many times more than the other
    // (found only in damaged files) squashes glyphs to slivers that the font
    // engine's glyph cache cannot render; such glyphs are filled as outlines.
    // Ordinary stretches stay text, so a metafile written from them keeps it.
    const QTransform& t = m_painter->transform();
    const double squareSum = t.m11() * t.m11() + t.m12() * t.m12() + t.m21() * t.m21() + t.m22() * t.m22();
    const bool glyphsRender = std::abs(t.determinant()) * 16 >= squareSum;
    const auto draw = [&](QPointF point, const QString& piece) {
        if (glyphsRender) {
            m_painter->drawText(point, piece);
        } else {
            QPainterPath outline;
            outline.addText(point, f, piece);
            m_painter->fillPath(outline, m_state.textColour);
        }
    };
    if (dx.empty()) {
        draw(QPointF(x, baseline), string);
    } else {
        for (qsizetype i = 0; i < string.size(); ++i) {
            draw(QPointF(x, baseline), QString(string[i]));
            x += dx[std::size_t(i)];
        }
    }
    m_painter->restore();
    if (updateCp)
        m_state.position.rx() += width * (m_scaleX < 0 ? -1 : 1);
}

void WmfPlayer::blit(std::size_t index, const QRectF& dst, QRectF src, quint32 rop, bool withBitmap)
{
    if (!m_painter) {
        track(dst);
        return;
    }
    const QRectF box = dst.normalized();
    if (!withBitmap) {
        switch (rop) {
        case PatCopy: m_painter->fillRect(box, m_state.brush); break;
        case Blackness: m_painter->fillRect(box, Qt::black); break;
        case Whiteness: m_painter->fillRect(box, Qt::white); break;
        default: break;
        }
        return;
    }
    const auto& r = m_reader.m_records[index];
    if (r.bitmap.isNull() || src.width() <= 0 || src.height() <= 0)
        return;
    // A bottom-up bitmap counts its source rows from the bottom.
    if (r.bottomUp)
        src.moveTop(r.bitmap.height() - src.top() - src.height());
    // Only the part of the source inside the bitmap is copied, and the
    // destination shrinks with it: a damaged source rectangle must not make
    // us allocate a huge copy.
    const QRectF inside = src & QRectF(r.bitmap.rect());
    if (inside.isEmpty())
        return;
    const double fx = box.width() / src.width(), fy = box.height() / src.height();
    const bool flipX = dst.width() < 0, flipY = dst.height() < 0;
    const double left = flipX ? src.right() - inside.right() : inside.left() - src.left();
    const double top = flipY ? src.bottom() - inside.bottom() : inside.top() - src.top();
    const QRectF target(box.left() + left * fx, box.top() + top * fy, inside.width() * fx, inside.height() * fy);
    QImage part = r.bitmap.copy(inside.toAlignedRect()).mirrored(flipX, flipY);

    m_painter->save();
    const bool rasterOps = m_painter->paintEngine() && m_painter->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    switch (rop) {
    case SrcAnd:
        if (rasterOps) m_painter->setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case SrcPaint:
        if (rasterOps) m_painter->setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case SrcInvert:
        if (rasterOps) m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    case NotSrcCopy:
        part = part.convertToFormat(QImage::Format_RGB32);
        part.invertPixels();
        break;
    default: break;
    }
    m_painter->drawImage(target, part);
    m_painter->restore();
}

void WmfPlayer::record(std::size_t index, const Params& p)
{
    const quint16 function = m_reader.m_records[index].function;
    const auto decodeBitmap = [&](qsizetype word, bool paletteIndices) {
        if (!m_decodeInto)
            return;
        auto bitmap = dib::decode(p.bytes(word), p.bytesFrom(word), paletteIndices);
        if (bitmap) {
            auto& r = m_decodeInto->m_records[index];
            r.bitmap = std::move(bitmap->image);
            r.bottomUp = bitmap->bottomUp;
        }
    };

    switch (function) {
    case SaveDc:
        if (m_saved.size() >= MaxSavedStates)
            throw DataFault{QStringLiteral("mehr als %1 gespeicherte Zeichenzustände").arg(MaxSavedStates)};
        m_saved.push_back(m_state);
        if (m_painter)
            m_painter->save();
        break;
    case RestoreDc: restore(p.s(0)); break;
    case SetBkMode: m_state.bkMode = p.u(0); break;
    case SetMapMode: m_state.mapMode = p.u(0); applyMapping(); break;
    case SetPolyFillMode: m_state.fillRule = p.u(0) == Winding ? Qt::WindingFill : Qt::OddEvenFill; break;
    case SetTextAlign: m_state.textAlign = p.u(0); break;
    case SetBkColor: m_state.bkColour = p.colour(0); break;
    case SetTextColor: m_state.textColour = p.colour(0); break;
    case SetWindowOrg:
        m_state.windowOrg = QPointF(p.s(1), p.s(0));
        if (!m_firstOrg)
            m_firstOrg = m_state.windowOrg;
        applyMapping();
        break;
    case SetWindowExt: {
        const QSizeF ext(p.s(1), p.s(0));
        if (ext.width() == 0 || ext.height() == 0)
            break; // Windows refuses an empty window
        m_state.windowExt = ext;
        if (!m_firstWindow)
            m_firstWindow = QRectF(m_firstOrg.value_or(QPointF()), ext).normalized();
        applyMapping();
        break;
    }
    case MoveTo: m_state.position = QPointF(p.s(1), p.s(0)); break;
    case LineTo: {
        const QPointF to(p.s(1), p.s(0));
        if (m_painter) {
            preparePenAndBrush(false);
            m_painter->drawLine(m_state.position, to);
        } else {
            track(m_state.position);
            track(to);
        }
        m_state.position = to;
        break;
    }
    case CreatePenIndirect: {
        GdiObject pen(GdiObject::Kind::Pen);
        pen.pen = QPen(p.colour(3), p.s(1), penStyle(p.u(0)), Qt::RoundCap, Qt::RoundJoin);
        if (p.s(1) < 0)
            pen.pen.setWidth(0);
        create(std::move(pen));
        break;
    }
    case CreateBrushIndirect: {
        GdiObject b(GdiObject::Kind::Brush);
        b.brush = brush(p.u(0), p.colour(1), p.u(3));
        create(std::move(b));
        break;
    }
    case DibCreatePatternBrush: {
        p.need(2);
        decodeBitmap(2, p.u(1) != DibRgbColors);
        GdiObject b(GdiObject::Kind::Brush);
        const QImage& pattern = m_reader.m_records[index].bitmap;
        b.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
        create(std::move(b));
        break;
    }
    case CreateFontIndirect: {
        p.need(9);
        GdiObject f(GdiObject::Kind::Font);
        f.font.height = p.s(0);
        f.font.escapement = p.s(2);
        f.font.weight = p.s(4);
        f.font.italic = p.u(5) & 0xFF;
        f.font.underline = p.u(5) >> 8;
        f.font.strikeOut = p.u(6) & 0xFF;
        const auto* face = reinterpret_cast<const char*>(p.bytes(9));
        const qsizetype room = std::min<qsizetype>(p.bytesFrom(9), FaceNameBytes);
        const qsizetype length = std::find(face, face + room, '\0') - face;
        f.font.face = codepage::CodePage::windows1252().decode(std::string_view(face, static_cast<std::size_t>(length)));
        create(std::move(f));
        break;
    }
    case CreatePalette:
    case CreatePatternBrush:
    case CreateRegion:
        // Objects we do not draw with still take their slot: later indexes
        // count them.
        create(GdiObject(GdiObject::Kind::Other));
        break;
    case SelectObject: select(p.u(0)); break;
    case DeleteObject: slot(p.u(0)) = GdiObject(); break;
    case Rectangle:
    case Ellipse: {
        const QRectF r = p.rect(0);
        if (!m_painter) {
            track(r);
            break;
        }
        preparePenAndBrush(true);
        if (function == Rectangle)
            m_painter->drawRect(r);
        else
            m_painter->drawEllipse(r);
        break;
    }
    case RoundRect: {
        const double height = p.s(0), width = p.s(1);
        const QRectF r = p.rect(2);
        if (!m_painter) {
            track(r);
            break;
        }
        preparePenAndBrush(true);
        m_painter->drawRoundedRect(r, std::abs(width) / 2, std::abs(height) / 2);
        break;
    }
    case Arc:
    case Pie:
    case Chord: {
        const QPointF end(p.s(1), p.s(0)), start(p.s(3), p.s(2));
        const QRectF r = p.rect(4);
        if (!m_painter) {
            track(r);
            break;
        }
        const double from = angleOf(r.center(), start);
        double span = angleOf(r.center(), end) - from;
        if (span <= 0)
            span += 360;
        const int a = qRound(from * 16), s = qRound(span * 16);
        preparePenAndBrush(function != Arc);
        if (function == Arc)
            m_painter->drawArc(r, a, s);
        else if (function == Pie)
            m_painter->drawPie(r, a, s);
        else
            m_painter->drawChord(r, a, s);
        break;
    }
    case SetPixel: {
        const QColor colour = p.colour(0);
        const QPointF at(p.s(3), p.s(2));
        if (m_painter)
            m_painter->fillRect(QRectF(at, QSizeF(1, 1)), colour);
        else
            track(at);
        break;
    }
    case Polygon:
    case Polyline: {
        const QPolygonF polygon = points(p, 1, p.u(0));
        if (!m_painter)
            break;
        preparePenAndBrush(function == Polygon);
        if (function == Polygon)
            m_painter->drawPolygon(polygon, m_state.fillRule);
        else
            m_painter->drawPolyline(polygon);
        break;
    }
    case PolyPolygon: {
        const qsizetype polygons = p.u(0);
        p.need(1 + polygons);
        QPainterPath path;
        path.setFillRule(m_state.fillRule);
        qsizetype at = 1 + polygons;
        for (qsizetype i = 0; i < polygons; ++i) {
            const qsizetype count = p.u(1 + i);
            QPolygonF polygon = points(p, at, count);
            at += 2 * count;
            if (!polygon.isEmpty() && polygon.first() != polygon.last())
                polygon.append(polygon.first());
            path.addPolygon(polygon);
        }
        if (m_painter) {
            preparePenAndBrush(true);
            m_painter->drawPath(path);
        }
        break;
    }
    case TextOut: {
        const qsizetype count = p.u(0);
        const qsizetype stringWords = (count + 1) / 2;
        p.need(1 + stringWords + 2);
        const QPointF at(p.s(2 + stringWords), p.s(1 + stringWords));
        text(at, QByteArray(reinterpret_cast<const char*>(p.bytes(1)), count), {});
        break;
    }
    case ExtTextOut: {
        const QPointF at(p.s(1), p.s(0));
        const qsizetype count = p.u(2);
        const quint16 options = p.u(3);
        qsizetype word = 4;
        std::optional<QRectF> rect;
        if (options & (EtoOpaque | EtoClipped)) {
            p.need(word + 4);
            rect = QRectF(QPointF(p.s(word), p.s(word + 1)), QPointF(p.s(word + 2), p.s(word + 3))).normalized();
            word += 4;
        }
        const qsizetype stringWords = (count + 1) / 2;
        p.need(word + stringWords);
        const QByteArray bytes(reinterpret_cast<const char*>(p.bytes(word)), count);
        word += stringWords;
        std::vector<double> dx;
        if (count > 0 && p.count() - word >= count)
            for (qsizetype i = 0; i < count; ++i)
                dx.push_back(p.s(word + i));
        if (m_painter && rect) {
            m_painter->save();
            if (options & EtoOpaque)
                m_painter->fillRect(*rect, m_state.bkColour);
            if (options & EtoClipped)
                m_painter->setClipRect(*rect, Qt::IntersectClip);
        }
        text(at, bytes, dx);
        if (m_painter && rect)
            m_painter->restore();
        break;
    }
    case IntersectClipRect:
    case ExcludeClipRect: {
        const QRectF r = p.rect(0);
        if (!m_painter)
            break;
        if (function == IntersectClipRect) {
            m_painter->setClipRect(r, Qt::IntersectClip);
        } else {
            QPainterPath area;
            if (m_painter->hasClipping())
                area = m_painter->clipPath();
            else
                area.addRect(m_painter->transform().inverted().mapRect(m_target));
            QPainterPath hole;
            hole.addRect(r);
            m_painter->setClipPath(area.subtracted(hole));
        }
        break;
    }
    case StretchDib: {
        p.need(11);
        decodeBitmap(11, p.u(2) != DibRgbColors);
        blit(index, QRectF(p.s(10), p.s(9), p.s(8), p.s(7)), QRectF(p.s(6), p.s(5), p.s(4), p.s(3)),
             p.u32at(0), true);
        break;
    }
    case DibStretchBlt:
    case DibBitBlt: {
        // Without a bitmap the record is one word longer than its function
        // code's high byte says, and fills with a pattern.
        const bool withBitmap = p.count() != (function >> 8);
        const bool stretch = function == DibStretchBlt;
        const qsizetype first = withBitmap ? 0 : 1; // the unused word of the short form
        p.need(stretch ? 10 + first : 8 + first);
        QRectF dst, src;
        qsizetype bits = 0;
        if (stretch) {
            src = QRectF(p.s(5), p.s(4), p.s(3), p.s(2));
            dst = QRectF(p.s(9 + first), p.s(8 + first), p.s(7 + first), p.s(6 + first));
            bits = 10;
        } else {
            const double height = p.s(4 + first), width = p.s(5 + first);
            src = QRectF(p.s(3), p.s(2), width, height);
            dst = QRectF(p.s(7 + first), p.s(6 + first), width, height);
            bits = 8;
        }
        if (withBitmap)
            decodeBitmap(bits, false);
        blit(index, dst, src, p.u32at(0), withBitmap);
        break;
    }
    default:
        break; // records that change nothing we draw
    }
}

WmfReader::WmfReader(const QByteArray& data, const QString& name) : m_data(data)
{
    const auto fault = [&](const QString& detail) {
        return GraphicsError(QStringLiteral("Das Bild „%1“ ist beschädigt: %2.").arg(name, detail));
    };
    const auto* p = reinterpret_cast<const unsigned char*>(m_data.constData());
    const qsizetype size = m_data.size();
    qsizetype pos = 0;

    m_placeable = size >= 4 && u32(p) == PlaceableKey;
    if (m_placeable) {
        if (size < PlaceableHeaderBytes)
            throw fault(QStringLiteral("der Dateikopf ist abgeschnitten"));
        const auto s16 = [&](int at) { return int(qint16(u16(p + at))); };
        m_frame = QRect(s16(6), s16(8), s16(10) - s16(6), s16(12) - s16(8)).normalized();
        m_unitsPerInch = u16(p + 14);
        if (m_unitsPerInch == 0)
            throw fault(QStringLiteral("0 Einheiten je Zoll"));
        if (m_frame.width() == 0 || m_frame.height() == 0)
            throw fault(QStringLiteral("der Bildrahmen ist leer"));
        pos = PlaceableHeaderBytes;
    }

    if (size - pos < 2 * MetaHeaderWords)
        throw fault(QStringLiteral("der Metafile-Kopf fehlt oder ist abgeschnitten"));
    const quint16 type = u16(p + pos);
    const quint16 headerWords = u16(p + pos + 2);
    if ((type != 1 && type != DiskMetafile) || headerWords != MetaHeaderWords)
        throw fault(QStringLiteral("der Metafile-Kopf ist ungültig"));
    const qint64 declaredWords = u32(p + pos + 6);
    m_objectSlots = u16(p + pos + 10);
    const qsizetype metaStart = pos;
    pos += 2 * MetaHeaderWords;

    bool ended = false;
    while (pos < size) {
        if (size - pos < 2 * RecordHeaderWords)
            throw fault(QStringLiteral("der letzte Datensatz ist abgeschnitten"));
        const qint64 words = u32(p + pos);
        const quint16 function = u16(p + pos + 4);
        if (words < RecordHeaderWords)
            throw fault(QStringLiteral("Datensatz %1 hat die Größe %2").arg(m_records.size() + 1).arg(words));
        if (words > (size - pos) / 2)
            throw fault(QStringLiteral("Datensatz %1 reicht über das Dateiende hinaus").arg(m_records.size() + 1));
        if (function == Eof) {
            ended = true;
            break;
        }
        Record& r = m_records.emplace_back();
        r.function = function;
        r.offset = pos + 2 * RecordHeaderWords;
        r.words = qsizetype(words) - RecordHeaderWords;
        pos += 2 * qsizetype(words);
    }
    // A file without its end record is whole only if the header agrees.
    if (!ended && declaredWords * 2 > size - metaStart)
        throw fault(QStringLiteral("die Datei ist abgeschnitten"));

    try {
        if (!m_placeable)
            m_frame = QRect(0, 0, 1, 1); // provisional, measured below
        WmfPlayer check(*this);
        check.run();
        if (!m_placeable) {
            const QRectF window = check.firstWindow().value_or(check.drawnExtent());
            m_frame = window.toAlignedRect();
        }
    } catch (const DataFault& f) {
        throw fault(f.detail);
    }
}

QSize WmfReader::size() const
{
    if (m_frame.isEmpty())
        return QSize();
    return QSize(int(std::lround(std::abs(double(m_frame.width())) * ScreenDpi / m_unitsPerInch)),
                 int(std::lround(std::abs(double(m_frame.height())) * ScreenDpi / m_unitsPerInch)));
}

void WmfReader::play(QPainter& painter, const QRectF& target) const
{
    if (m_frame.isEmpty() || target.isEmpty())
        return;
    WmfPlayer(*this, painter, target).run();
}

} // namespace graphics
