#include "reports/StoffInfoBuilder.h"

#include <algorithm>
#include <cmath>

#include "app/NameRules.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "graphics/Picture.h"
#include "report/Units.h"
#include "reports/Laufelemente.h"

namespace reports {

namespace {

// A band's height: its "Size" length where the layout stores one (it is what
// the designer sized the band by), else its height in pixels.
double bandhoeheMm(const LayoutComponent& quelle)
{
    return quelle.band->sizeLength > 0.0 ? quelle.band->sizeLength : report::pixelsToMm(quelle.height);
}

} // namespace

StoffInfoBuilder::StoffInfoBuilder(const TabellenSatz& tabellen, dbase::Table* formeln, Bauplan plan)
    : m_tabellen(tabellen)
    , m_formeln(formeln)
    , m_plan(plan)
{
}

void StoffInfoBuilder::SetStoffinfoData(const Layout& layout, report::Report& report)
{
    m_elementListe.clear();
    m_richEditListe.clear();
    m_bandlagen.clear();
    for (const LayoutComponent& komponente : layout.components)
        bauen(komponente, report, nullptr, {});
}

// `band` is the run band the components of the current level go on (none at
// the report's level); `versatz` the position of their owner on that band,
// for components owned by an element rather than by the band itself.
void StoffInfoBuilder::bauen(const LayoutComponent& quelle, report::Report& report, report::Band* band,
                             QPoint versatz)
{
    if (quelle.isBand()) {
        const bool kind = quelle.band->bandType == report::BandType::Child && m_plan.kindbaenderAnhaengen;
        report::Band* gebaut = kind ? kindbandAnhaengen(quelle) : bandBauen(quelle, report);
        // A child band below no band has nowhere to print its elements.
        if (!gebaut)
            return;
        for (const LayoutComponent& besessen : quelle.components)
            bauen(besessen, report, gebaut, {});
        return;
    }

    if (const auto art = quelle.elementart(); art && band)
        elementBauen(quelle, *art, *band, versatz);
    const QPoint innen = versatz + QPoint(quelle.left, quelle.top);
    for (const LayoutComponent& besessen : quelle.components)
        bauen(besessen, report, band, innen);
}

report::Band* StoffInfoBuilder::bandBauen(const LayoutComponent& quelle, report::Report& report)
{
    report::Band& band = report.addBand(quelle.band->bandType);
    band.height = bandhoeheMm(quelle);
    const LayoutFrame& rahmen = quelle.band->frame;
    band.frame.color = rahmen.color;
    band.frame.top = rahmen.top;
    band.frame.bottom = rahmen.bottom;
    band.frame.left = rahmen.left;
    band.frame.right = rahmen.right;
    band.frame.style = rahmen.style;
    band.frame.width = report::pixelsToMm(rahmen.width);
    m_elementListe.push_back({&band, nullptr, std::nullopt});
    m_bandlagen.push_back({&band, quelle.top, quelle.height});
    return &band;
}

// A child band belongs to every band whose lower edge is its upper edge, an
// attached child band included, so stacked child bands form a chain. Its
// elements go on the last band it was attached to.
report::Band* StoffInfoBuilder::kindbandAnhaengen(const LayoutComponent& quelle)
{
    report::Band* letztes = nullptr;
    const std::size_t anzahl = m_bandlagen.size(); // the bands above, not those attached now
    for (std::size_t i = 0; i < anzahl; ++i) {
        const Bandlage lage = m_bandlagen[i];
        if (lage.top + lage.height != quelle.top)
            continue;
        report::Band& kind = lage.band->childBand();
        kind.height = bandhoeheMm(quelle);
        m_elementListe.push_back({&kind, nullptr, std::nullopt});
        const auto bekannt = std::find_if(m_bandlagen.begin(), m_bandlagen.end(),
                                          [&](const Bandlage& l) { return l.band == &kind; });
        if (bekannt == m_bandlagen.end())
            m_bandlagen.push_back({&kind, quelle.top, quelle.height});
        else
            bekannt->height = quelle.height;
        letztes = &kind;
    }
    return letztes;
}

void StoffInfoBuilder::elementBauen(const LayoutComponent& quelle, Elementart art, report::Band& band,
                                    QPoint versatz)
{
    const bool vorlageOderKlassenbild = art >= Elementart::eaVorlagentext && art <= Elementart::eaKrebsbild;
    if (vorlageOderKlassenbild && !m_plan.vorlagenUndKlassenbilder)
        return;
    const Elementbau bau{&m_tabellen, m_formeln, Elementbau::TextGroesse::Fest};
    report::Element* element = laufelementBauen(quelle, art, band, versatz, bau);
    if (!element)
        return;
    if (auto* formel = dynamic_cast<report::RichText*>(element))
        m_richEditListe.push_back({formel, art, static_cast<int>(m_elementListe.size())});
    m_elementListe.push_back({&band, element, art});
}

// Metafiles are drawn afresh at every size; printed pictures are raster
// images, so a vector picture is rendered at printer fineness.
constexpr int kVektorFaktor = 3;

QImage druckbild(const graphics::Picture& bild)
{
    if (bild.kind() != graphics::Picture::Kind::Vector)
        return bild.toImage();
    QImage image = bild.toImage(bild.size() * kVektorFaktor);
    const int punkteProMeter = static_cast<int>(std::lround(96.0 * kVektorFaktor / 0.0254));
    image.setDotsPerMeterX(punkteProMeter);
    image.setDotsPerMeterY(punkteProMeter);
    return image;
}

void Tabellenquelle::first()
{
    m_table.first();
}

void Tabellenquelle::next()
{
    m_table.next();
}

bool Tabellenquelle::eof() const
{
    return !m_table.active() || m_table.isEmpty() || m_table.eof();
}

std::optional<int> Tabellenquelle::recordCount() const
{
    if (!m_table.active())
        return 0;
    return static_cast<int>(m_table.recordCount());
}

std::vector<report::TextRun> formelRuns(const QString& text, double pointSize)
{
    // Whole points, as rich text controls size characters.
    const double klein = std::max(1, static_cast<int>(pointSize) / 2);
    const QString ersteZeile = text.section(QLatin1Char('\n'), 0, 0);
    const std::vector<int> tief = formelTiefstellungen(ersteZeile);

    std::vector<report::TextRun> runs;
    auto anfuegen = [&](QChar zeichen, bool tiefgestellt) {
        if (runs.empty() || runs.back().subscript != tiefgestellt)
            runs.push_back({QString(), tiefgestellt ? klein : 0.0, tiefgestellt});
        runs.back().text += zeichen;
    };
    auto naechste = tief.begin();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool tiefgestellt = naechste != tief.end() && *naechste == i;
        if (tiefgestellt)
            ++naechste;
        anfuegen(text[i], tiefgestellt);
    }
    return runs;
}

void formelSetzen(report::RichText& element, const QString& text)
{
    element.runs = formelRuns(text, element.font.pointSizeF());
}

void formelFuellen(const Laufobjekt& objekt, const TabellenSatz& tabellen)
{
    auto& formel = *objekt.als<report::RichText>();
    formelSetzen(formel, *objekt.art == Elementart::eaSummenformel
                             ? Feldtext(tabellen, tabellen.Table2, QStringLiteral("FORMEL"))
                             : Feldwert(formel.hint, tabellen));
}

} // namespace reports
