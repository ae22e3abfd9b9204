#include "StructureFormulas.h"

#include <cmath>
#include <map>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>

namespace demo {

namespace {

// Atom positions are in bond lengths, y pointing down; an atom without a
// label is a carbon of the skeleton.
struct Atom {
    double x;
    double y;
    QString label;
};

enum class BondKind {
    Single,
    Double,      // two lines either side of the axis (C=O)
    DoubleInner, // the second line inside a ring, towards `ringCentre`
};

struct Bond {
    int a;
    int b;
    BondKind kind = BondKind::Single;
};

struct Molecule {
    std::vector<Atom> atoms;
    std::vector<Bond> bonds;
    QPointF ringCentre;
};

constexpr double h = 0.8660254037844386; // cos 30°: the zigzag step

// A hexagon around (0,0) with a vertex at the top, its six atoms first, then
// the bonds of the ring; `aromatic` alternates the double bonds.
Molecule ring(bool aromatic)
{
    Molecule m;
    for (int i = 0; i < 6; ++i) {
        const double angle = (-90.0 + 60.0 * i) * M_PI / 180.0;
        m.atoms.push_back({std::cos(angle), std::sin(angle), {}});
    }
    for (int i = 0; i < 6; ++i)
        m.bonds.push_back({i, (i + 1) % 6, aromatic && i % 2 == 0 ? BondKind::DoubleInner : BondKind::Single});
    return m;
}

Molecule withSubstituent(Molecule m, const QString& label)
{
    m.atoms.push_back({0, -2, label});
    m.bonds.push_back({0, 6});
    return m;
}

// A zigzag chain of unlabelled carbons, starting low.
std::vector<Atom> chain(int count)
{
    std::vector<Atom> atoms;
    for (int i = 0; i < count; ++i)
        atoms.push_back({i * h, i % 2 == 0 ? 0.5 : 0.0, {}});
    return atoms;
}

std::vector<Bond> chainBonds(int count)
{
    std::vector<Bond> bonds;
    for (int i = 0; i + 1 < count; ++i)
        bonds.push_back({i, i + 1});
    return bonds;
}

const std::map<QString, Molecule>& molecules()
{
    static const std::map<QString, Molecule> table = [] {
        std::map<QString, Molecule> t;
        const QString oh = QStringLiteral("OH");
        const QString o = QStringLiteral("O");
        const QString cl = QStringLiteral("Cl");
        // Methanol: too small for a skeleton, both groups written out.
        t["67-56-1"] = {{{0, 0, "H3C"}, {1.3, 0, oh}}, {{0, 1}}, {}};
        // Ethanol
        t["64-17-5"] = {{{0, 0.5, {}}, {h, 0, {}}, {2 * h, 0.5, oh}}, {{0, 1}, {1, 2}}, {}};
        // 2-Propanol
        t["67-63-0"] = {{{0, 0.5, {}}, {h, 0, {}}, {2 * h, 0.5, {}}, {h, -1, oh}},
                        {{0, 1}, {1, 2}, {1, 3}}, {}};
        // Aceton
        t["67-64-1"] = {{{0, 0.5, {}}, {h, 0, {}}, {2 * h, 0.5, {}}, {h, -1, o}},
                        {{0, 1}, {1, 2}, {1, 3, BondKind::Double}}, {}};
        // Essigsäure
        t["64-19-7"] = {{{0, 0.5, {}}, {h, 0, {}}, {2 * h, 0.5, oh}, {h, -1, o}},
                        {{0, 1}, {1, 2}, {1, 3, BondKind::Double}}, {}};
        // Diethylether
        {
            Molecule m{chain(5), chainBonds(5), {}};
            m.atoms[2].label = o;
            t["60-29-7"] = m;
        }
        // Ethylacetat: CH3-C(=O)-O-CH2-CH3
        {
            Molecule m{chain(5), chainBonds(5), {}};
            m.atoms[2].label = o;
            m.atoms.push_back({h, -1, o});
            m.bonds.push_back({1, 5, BondKind::Double});
            t["141-78-6"] = m;
        }
        // n-Hexan
        t["110-54-3"] = {chain(6), chainBonds(6), {}};
        // Glycerin: one OH on each of the three carbons
        {
            Molecule m{chain(3), chainBonds(3), {}};
            m.atoms.push_back({0, 1.5, oh});
            m.atoms.push_back({h, -1, oh});
            m.atoms.push_back({2 * h, 1.5, oh});
            m.bonds.insert(m.bonds.end(), {{0, 3}, {1, 4}, {2, 5}});
            t["56-81-5"] = m;
        }
        // Harnstoff
        t["57-13-6"] = {{{0, 0, {}}, {0, -1, o}, {-h, 0.5, "H2N"}, {h, 0.5, "NH2"}},
                        {{0, 1, BondKind::Double}, {0, 2}, {0, 3}}, {}};
        // Dichlormethan, Trichlormethan, Tetrachlormethan
        t["75-09-2"] = {{{0, 0.5, cl}, {h, 0, {}}, {2 * h, 0.5, cl}}, {{0, 1}, {1, 2}}, {}};
        t["67-66-3"] = {{{0, 0, {}}, {0, -1, cl}, {-h, 0.5, cl}, {h, 0.5, cl}}, {{0, 1}, {0, 2}, {0, 3}}, {}};
        t["56-23-5"] = {{{0, 0, {}}, {0, -1, cl}, {-1, 0, cl}, {1, 0, cl}, {0, 1, cl}},
                        {{0, 1}, {0, 2}, {0, 3}, {0, 4}}, {}};
        // Benzol, Phenol, Toluol, Cyclohexan
        t["71-43-2"] = ring(true);
        t["108-95-2"] = withSubstituent(ring(true), oh);
        t["108-88-3"] = withSubstituent(ring(true), {});
        t["110-82-7"] = ring(false);
        return t;
    }();
    return table;
}

constexpr double bondLength = 40;  // pixels
constexpr double margin = 22;
constexpr double doubleGap = 6;

QFont labelFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(17);
    return font;
}

QFont indexFont()
{
    QFont font = labelFont();
    font.setPixelSize(12);
    return font;
}

// Width of a label whose digits are set as subscripts.
double labelWidth(const QString& label)
{
    const QFontMetricsF big(labelFont());
    const QFontMetricsF small(indexFont());
    double width = 0;
    for (QChar c : label)
        width += c.isDigit() ? small.horizontalAdvance(c) : big.horizontalAdvance(c);
    return width;
}

QRectF labelBox(const QPointF& centre, const QString& label)
{
    const double w = labelWidth(label) + 4;
    const double hgt = QFontMetricsF(labelFont()).capHeight() + 8;
    return QRectF(centre.x() - w / 2, centre.y() - hgt / 2, w, hgt);
}

void drawLabel(QPainter& p, const QPointF& centre, const QString& label)
{
    const QFontMetricsF big(labelFont());
    double x = centre.x() - labelWidth(label) / 2;
    const double baseline = centre.y() + big.capHeight() / 2;
    for (QChar c : label) {
        const bool index = c.isDigit();
        p.setFont(index ? indexFont() : labelFont());
        p.drawText(QPointF(x, baseline + (index ? 5 : 0)), QString(c));
        x += QFontMetricsF(p.font()).horizontalAdvance(c);
    }
}

// Moves `from` towards `to` until it leaves the label box around `from`.
QPointF leaveLabel(const QPointF& from, const QPointF& to, const QString& label)
{
    if (label.isEmpty())
        return from;
    const QRectF box = labelBox(from, label);
    const QPointF d = to - from;
    double t = 1.0;
    if (std::abs(d.x()) > 1e-9)
        t = std::min(t, box.width() / 2 / std::abs(d.x()));
    if (std::abs(d.y()) > 1e-9)
        t = std::min(t, box.height() / 2 / std::abs(d.y()));
    return from + d * t;
}

QImage render(const Molecule& m)
{
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const Atom& a : m.atoms) {
        minX = std::min(minX, a.x);
        maxX = std::max(maxX, a.x);
        minY = std::min(minY, a.y);
        maxY = std::max(maxY, a.y);
    }
    // A width in whole multiples of 4 leaves the BMP lines without padding,
    // which Qt's writer fills with whatever its buffer held.
    const int width = int(std::ceil((maxX - minX) * bondLength + 2 * margin)) + 16;
    const QSize size((width + 3) / 4 * 4, int(std::ceil((maxY - minY) * bondLength + 2 * margin)));
    auto at = [&](const Atom& a) {
        return QPointF((a.x - minX) * bondLength + margin + 8, (a.y - minY) * bondLength + margin);
    };
    const QPointF centre = at({m.ringCentre.x(), m.ringCentre.y(), {}});

    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    for (const Bond& bond : m.bonds) {
        const Atom& a = m.atoms[size_t(bond.a)];
        const Atom& b = m.atoms[size_t(bond.b)];
        const QPointF pa = leaveLabel(at(a), at(b), a.label);
        const QPointF pb = leaveLabel(at(b), at(a), b.label);
        const QLineF line(pa, pb);
        const QLineF normal = line.normalVector().unitVector();
        const QPointF n = normal.p2() - normal.p1();
        switch (bond.kind) {
        case BondKind::Single:
            p.drawLine(line);
            break;
        case BondKind::Double:
            p.drawLine(line.translated(n * (doubleGap / 2)));
            p.drawLine(line.translated(n * (-doubleGap / 2)));
            break;
        case BondKind::DoubleInner: {
            p.drawLine(line);
            const QPointF mid = (pa + pb) / 2;
            const double side = QPointF::dotProduct(centre - mid, n) > 0 ? 1 : -1;
            const QLineF inner = line.translated(n * (side * doubleGap));
            const QPointF shift = (pb - pa) * 0.15;
            p.drawLine(QLineF(inner.p1() + shift, inner.p2() - shift));
            break;
        }
        }
    }
    for (const Atom& a : m.atoms)
        if (!a.label.isEmpty())
            drawLabel(p, at(a), a.label);
    p.end();
    // Grey levels with a palette keep the pictures a third of their colour
    // size; mapped pixel by pixel, since Qt's conversion may dither.
    QImage grey(image.size(), QImage::Format_Indexed8);
    QList<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette << qRgb(i, i, i);
    grey.setColorTable(palette);
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < image.width(); ++x)
            out[x] = uchar(qGray(in[x]));
    }
    return grey;
}

} // namespace

QImage structureFormula(const QString& carn)
{
    const auto it = molecules().find(carn);
    return it == molecules().end() ? QImage() : render(it->second);
}

QStringList structureFormulaCarns()
{
    QStringList carns;
    for (const auto& entry : molecules())
        carns << entry.first;
    return carns;
}

} // namespace demo
