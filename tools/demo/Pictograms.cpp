#include "Pictograms.h"

#include <cmath>
#include <functional>
#include <map>

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include "DemoError.h"
#include "app/Bilder.h"
#include "graphics/Picture.h"

namespace demo {

namespace {

constexpr int pictureSize = 128; // pixels; drawing is done on a 100 × 100 grid

const QColor hazardOrange(0xF3, 0x92, 0x00);
const QColor mandatoryBlue(0x00, 0x5C, 0xA9);

// Colours of one drawing: the ground and the ink of the pictogram itself.
struct Ink {
    QColor ground;
    QColor ink;
};

using Drawing = std::function<void(QPainter&, const Ink&)>;

QFont font(double pixelSize, bool bold = true)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(pixelSize))));
    f.setBold(bold);
    return f;
}

// Draws `text` centred on `y` (its cap height), shrunk to fit `width`.
void centredText(QPainter& p, const QString& text, double y, double pixelSize, double width = 86)
{
    QFont f = font(pixelSize);
    while (QFontMetricsF(f).horizontalAdvance(text) > width && f.pixelSize() > 6)
        f.setPixelSize(f.pixelSize() - 1);
    p.setFont(f);
    const QFontMetricsF m(f);
    p.drawText(QPointF(50 - m.horizontalAdvance(text) / 2, y + m.capHeight() / 2), text);
}

void fill(QPainter& p, const QPainterPath& path, const QColor& colour)
{
    p.fillPath(path, colour);
}

QPainterPath flamePath()
{
    QPainterPath path;
    path.moveTo(50, 10);
    path.cubicTo(60, 28, 76, 40, 72, 60);
    path.cubicTo(70, 72, 61, 79, 50, 79);
    path.cubicTo(38, 79, 28, 71, 28, 60);
    path.cubicTo(28, 47, 37, 41, 39, 30);
    path.cubicTo(44, 38, 45, 45, 46, 50);
    path.cubicTo(51, 40, 55, 26, 50, 10);
    path.closeSubpath();
    return path;
}

QPainterPath flameCore()
{
    QPainterPath path;
    path.moveTo(51, 46);
    path.cubicTo(57, 56, 62, 63, 58, 71);
    path.cubicTo(55, 76, 46, 76, 43, 71);
    path.cubicTo(40, 64, 47, 58, 51, 46);
    path.closeSubpath();
    return path;
}

void flame(QPainter& p, const Ink& c)
{
    fill(p, flamePath(), c.ink);
    fill(p, flameCore(), c.ground);
    p.fillRect(QRectF(24, 82, 52, 6), c.ink);
}

void flameOverCircle(QPainter& p, const Ink& c)
{
    p.save();
    p.translate(50, 6);
    p.scale(0.7, 0.7);
    p.translate(-50, 0);
    fill(p, flamePath(), c.ink);
    fill(p, flameCore(), c.ground);
    p.restore();
    p.setPen(QPen(c.ink, 6));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(50, 74), 20, 9);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(24, 88, 52, 5), c.ink);
}

void explodingBomb(QPainter& p, const Ink& c)
{
    QPainterPath star;
    const QPointF centre(60, 40);
    for (int i = 0; i < 22; ++i) {
        const double angle = i * M_PI / 11;
        const double r = i % 2 == 0 ? 32 : 14;
        const QPointF pt = centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
        i == 0 ? star.moveTo(pt) : star.lineTo(pt);
    }
    star.closeSubpath();
    fill(p, star, c.ink);
    fill(p, [] { QPainterPath hole; hole.addEllipse(QPointF(60, 40), 8, 8); return hole; }(), c.ground);
    p.setBrush(c.ink);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(34, 68), 19, 19);
    p.fillRect(QRectF(40, 44, 10, 8), c.ink); // the fuse socket
    for (const QPointF& bit : {QPointF(16, 30), QPointF(24, 18), QPointF(86, 78), QPointF(74, 86), QPointF(14, 46)})
        p.drawRect(QRectF(bit, QSizeF(5, 5)));
}

void skullAndBones(QPainter& p, const Ink& c)
{
    p.setPen(QPen(c.ink, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 64), QPointF(76, 88));
    p.drawLine(QPointF(76, 64), QPointF(24, 88));
    p.setPen(Qt::NoPen);
    p.setBrush(c.ink);
    for (const QPointF& end : {QPointF(24, 64), QPointF(76, 88), QPointF(76, 64), QPointF(24, 88)}) {
        const double dx = end.x() < 50 ? -1 : 1;
        p.drawEllipse(end + QPointF(dx * 2, -3), 4.5, 4.5);
        p.drawEllipse(end + QPointF(dx * 2, 3), 4.5, 4.5);
    }
    p.drawEllipse(QPointF(50, 36), 20, 19);
    p.drawRoundedRect(QRectF(39, 42, 22, 20), 4, 4);
    p.setBrush(c.ground);
    p.drawEllipse(QPointF(42, 36), 5.5, 6);
    p.drawEllipse(QPointF(58, 36), 5.5, 6);
    QPainterPath nose;
    nose.moveTo(50, 42);
    nose.lineTo(47, 49);
    nose.lineTo(53, 49);
    nose.closeSubpath();
    p.drawPath(nose);
    for (double x : {44.0, 50.0, 56.0})
        p.fillRect(QRectF(x - 1, 54, 2, 8), c.ground);
}

void andrewsCross(QPainter& p, const Ink& c)
{
    p.setPen(QPen(c.ink, 13, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(22, 22), QPointF(78, 78));
    p.drawLine(QPointF(78, 22), QPointF(22, 78));
}

void testTube(QPainter& p, const Ink& c, const QPointF& mouth, double angle)
{
    p.save();
    p.translate(mouth);
    p.rotate(angle);
    p.setPen(QPen(c.ink, 3.5));
    p.setBrush(c.ground);
    p.drawRoundedRect(QRectF(-6.5, -34, 13, 36), 6, 6);
    p.fillRect(QRectF(-6.5, -8, 13, 9), c.ink); // the acid in it
    p.restore();
}

void corrosion(QPainter& p, const Ink& c)
{
    // Mouths down and inwards, pouring.
    testTube(p, c, QPointF(37, 38), -50);
    testTube(p, c, QPointF(63, 38), 50);
    p.setPen(Qt::NoPen);
    p.setBrush(c.ink);
    for (const QPointF& drop : {QPointF(34, 46), QPointF(34, 57), QPointF(66, 46), QPointF(66, 57)}) {
        QPainterPath d;
        d.moveTo(drop + QPointF(0, -6));
        d.cubicTo(drop + QPointF(5, 0), drop + QPointF(4, 5), drop + QPointF(0, 5));
        d.cubicTo(drop + QPointF(-4, 5), drop + QPointF(-5, 0), drop + QPointF(0, -6));
        p.drawPath(d);
    }
    // The hand, fingers to the right, eaten where the drops fall.
    p.drawRoundedRect(QRectF(12, 66, 22, 18), 4, 4);
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(30, 66 + i * 4.6, 14, 3.8), 1.8, 1.8);
    p.setBrush(c.ground);
    p.drawEllipse(QPointF(36, 66), 5, 5);
    // The bar, with a notch eaten away.
    p.setBrush(c.ink);
    p.drawRect(QRectF(54, 68, 34, 14));
    p.setBrush(c.ground);
    p.drawEllipse(QPointF(64, 68), 5, 5);
    // The ground line under both.
    p.fillRect(QRectF(10, 88, 80, 3), c.ink);
}

void deadTreeAndFish(QPainter& p, const Ink& c)
{
    p.setPen(QPen(c.ink, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 80), QPointF(30, 22));
    p.drawLine(QPointF(30, 42), QPointF(16, 28));
    p.drawLine(QPointF(30, 36), QPointF(44, 24));
    p.drawLine(QPointF(30, 56), QPointF(42, 46));
    p.drawLine(QPointF(30, 60), QPointF(18, 52));
    p.drawLine(QPointF(12, 80), QPointF(48, 80));
    // The fish lies belly up on the water line.
    p.setPen(Qt::NoPen);
    p.setBrush(c.ink);
    p.drawEllipse(QPointF(66, 72), 15, 7);
    QPainterPath tail;
    tail.moveTo(79, 72);
    tail.lineTo(90, 64);
    tail.lineTo(90, 80);
    tail.closeSubpath();
    p.drawPath(tail);
    p.setPen(QPen(c.ground, 1.5));
    p.drawLine(QPointF(56, 69), QPointF(60, 73));
    p.drawLine(QPointF(60, 69), QPointF(56, 73));
    p.setPen(QPen(c.ink, 2.5));
    p.drawLine(QPointF(52, 83), QPointF(92, 83));
}

// Hazard symbol: the pictogram on the square, the code in the lower right.
Drawing hazard(void (*draw)(QPainter&, const Ink&), QString code)
{
    return [draw, code](QPainter& p, const Ink& c) {
        p.setPen(QPen(Qt::black, 3));
        p.setBrush(c.ground);
        p.drawRect(QRectF(2, 2, 96, 96));
        p.save();
        p.translate(50, 46);
        p.scale(0.86, 0.86);
        p.translate(-50, -50);
        draw(p, c);
        p.restore();
        p.setPen(Qt::black);
        p.setFont(font(13));
        const QFontMetricsF m(p.font());
        p.drawText(QPointF(94 - m.horizontalAdvance(code), 95), code);
    };
}

void fumeHood(QPainter& p, const QColor& ink)
{
    p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(28, 46, 44, 28));
    p.drawLine(QPointF(28, 58), QPointF(72, 58));
    QPainterPath hood;
    hood.moveTo(28, 46);
    hood.lineTo(40, 36);
    hood.lineTo(60, 36);
    hood.lineTo(72, 46);
    p.drawPath(hood);
    p.drawLine(QPointF(50, 36), QPointF(50, 20));
    p.drawLine(QPointF(50, 18), QPointF(44, 25));
    p.drawLine(QPointF(50, 18), QPointF(56, 25));
}

void goggles(QPainter& p, const QColor& ink)
{
    p.setPen(QPen(ink, 4));
    p.drawLine(QPointF(18, 50), QPointF(82, 50));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(24, 40, 23, 20), 7, 7);
    p.drawRoundedRect(QRectF(53, 40, 23, 20), 7, 7);
    p.drawRect(QRectF(46, 44, 8, 5));
}

void glove(QPainter& p, const QColor& ink)
{
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(38, 44, 26, 24), 6, 6);
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(38 + i * 6.8, 24 + (i == 0 || i == 3 ? 6 : 0), 5.6, 26), 2.8, 2.8);
    p.save();
    p.translate(38, 58);
    p.rotate(-40);
    p.drawRoundedRect(QRectF(-16, -3, 18, 6), 3, 3);
    p.restore();
    p.drawRect(QRectF(40, 70, 22, 10));
}

// Mandatory sign: a disc with the pictogram in white.
Drawing mandatory(void (*draw)(QPainter&, const QColor&))
{
    return [draw](QPainter& p, const Ink& c) {
        p.setPen(Qt::NoPen);
        p.setBrush(c.ink);
        p.drawEllipse(QPointF(50, 50), 46, 46);
        draw(p, Qt::white);
    };
}

// Labelled badge: a heading, the code large, a short explanation.
Drawing badge(QColor colour, QString heading, QString code, QString note)
{
    return [=](QPainter& p, const Ink& c) {
        const bool inColour = c.ink != Qt::black;
        p.setPen(QPen(inColour ? colour.darker(140) : QColor(Qt::black), 3));
        p.setBrush(inColour ? colour : QColor(Qt::white));
        p.drawRoundedRect(QRectF(3, 3, 94, 94), 12, 12);
        p.setPen(inColour ? QColor(Qt::white) : QColor(Qt::black));
        centredText(p, heading, 18, 13);
        centredText(p, code, 52, code.size() <= 2 ? 40 : 30);
        if (!note.isEmpty())
            centredText(p, note, 83, 12);
    };
}

struct Sign {
    Drawing draw;
    QColor colourGround; // ground of the colour picture
    QColor colourInk;
};

const std::vector<std::pair<QString, Sign>>& signs()
{
    static const std::vector<std::pair<QString, Sign>> table = [] {
        const QColor school(0x1E, 0x7B, 0x3A);
        const QColor effect(0x6A, 0x2C, 0x91);
        const QColor cancer(0xB0, 0x10, 0x10);
        const QColor grey(0x70, 0x70, 0x70);
        auto h = [](void (*draw)(QPainter&, const Ink&), const QString& code) {
            return Sign{hazard(draw, code), hazardOrange, Qt::black};
        };
        auto m = [](void (*draw)(QPainter&, const QColor&)) {
            return Sign{mandatory(draw), Qt::white, mandatoryBlue};
        };
        auto b = [](QColor colour, QString heading, QString code, QString note = {}) {
            return Sign{badge(colour, heading, code, note), Qt::white, colour};
        };
        return std::vector<std::pair<QString, Sign>>{
            {"C.", h(corrosion, "C")},
            {"F.", h(flame, "F")},
            {"F+.", h(flame, "F+")},
            {"T.", h(skullAndBones, "T")},
            {"T+.", h(skullAndBones, "T+")},
            {"Xn.", h(andrewsCross, "Xn")},
            {"Xi.", h(andrewsCross, "Xi")},
            {"O.", h(flameOverCircle, "O")},
            {"E.", h(explodingBomb, "E")},
            {"N.", h(deadTreeAndFish, "N")},
            {"ABZUG.", m(fumeHood)},
            {"SCHUTZ.", m(goggles)},
            {"HAND.", m(glove)},
            {"NOSEEK.", b(school, "Unterricht", "???", "ungeklärt")},
            {"SCHULE.", b(school, "Unterricht", "S I", "ab Sek. I")},
            {"SEKII.", b(school, "Unterricht", "S II", "ab Sek. II")},
            {"###.", b(school, "Unterricht", "###")},
            {"LV.", b(school, "Unterricht", "LV", "Lehrerversuch")},
            {"XXX.", b(cancer, "Unterricht", "XXX", "nicht verwenden")},
            {"LV&.", b(school, "Unterricht", "LV*", "Lehrerversuch")},
            {"SEKII&.", b(school, "Unterricht", "S II*", "ab Sek. II")},
            {"S.", b(effect, "Wirkung", "S", "sensibilisierend")},
            {"HP.", b(effect, "Wirkung", "HP")},
            {"H.", b(effect, "Wirkung", "H", "hautresorptiv")},
            {"P.", b(effect, "Wirkung", "P")},
            {"HS.", b(effect, "Wirkung", "HS", "hautresorptiv, sens.")},
            {"B.", b(cancer, "MAK-Liste", "B", "Krebs-Kategorie")},
            {"A1.", b(cancer, "MAK-Liste", "A1", "Krebs-Kategorie")},
            {"A2.", b(cancer, "MAK-Liste", "A2", "Krebs-Kategorie")},
            {"1.", b(cancer, "MAK-Liste", "1", "Krebs-Kategorie")},
            {"2.", b(cancer, "MAK-Liste", "2", "Krebs-Kategorie")},
            {"3.", b(cancer, "MAK-Liste", "3", "Krebs-Kategorie")},
            {"4.", b(cancer, "MAK-Liste", "4", "Krebs-Kategorie")},
            {"5.", b(cancer, "MAK-Liste", "5", "Krebs-Kategorie")},
            {"C1.", b(cancer, "krebserzeugend", "K1", "Kategorie 1")},
            {"C2.", b(cancer, "krebserzeugend", "K2", "Kategorie 2")},
            {"C3.", b(cancer, "krebserzeugend", "K3", "Kategorie 3")},
            {"NODATA.", b(grey, "Strukturformel", "–", "keine Daten")},
        };
    }();
    return table;
}

} // namespace

QStringList pictogramStems()
{
    QStringList stems;
    auto add = [&stems](const auto& table) {
        for (const char* stem : table)
            if (!stems.contains(QLatin1String(stem)))
                stems << QLatin1String(stem);
    };
    add(GefahrStaemme);
    add(SchutzStaemme);
    add(UnterrichtStaemme);
    add(WirkungStaemme);
    add(KrebsStaemme);
    add(CancerStaemme);
    stems << QLatin1String(KeineDatenStamm);
    return stems;
}

QImage pictogram(const QString& stem, bool colour)
{
    for (const auto& [name, sign] : signs()) {
        if (name != stem)
            continue;
        QImage image(pictureSize, pictureSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.scale(pictureSize / 100.0, pictureSize / 100.0);
        const Ink ink = colour ? Ink{sign.colourGround, sign.colourInk} : Ink{Qt::white, Qt::black};
        sign.draw(p, ink);
        return image;
    }
    return {};
}

int writePictograms(const QDir& dir)
{
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(dir.path()));
    int written = 0;
    for (const QString& stem : pictogramStems()) {
        if (pictogram(stem, false).isNull())
            throw DemoError(QStringLiteral("Für das Symbol %1 gibt es keine Zeichnung.").arg(stem));
        graphics::saveBmp(pictogram(stem, false), dir.filePath(stem + QStringLiteral("BMP")));
        graphics::saveBmp(pictogram(stem, true), dir.filePath(QStringLiteral("F_") + stem + QStringLiteral("BMP")));
        written += 2;
    }
    return written;
}

} // namespace demo
