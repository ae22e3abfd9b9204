#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QImage>
#include <QPoint>
#include <QString>

#include "report/Element.h"
#include "report/Report.h"
#include "reports/Elementart.h"
#include "reports/Feldplatzhalter.h"
#include "reports/Layout.h"

namespace dbase {
class Table;
}
namespace graphics {
class Picture;
}

namespace reports {

// One run object of a sheet: a run band, an attached child band, or a run
// element on its band. Not owning; the run report owns them all.
struct Laufobjekt {
    report::Band* band = nullptr;       // the band itself, or the band the element sits on
    report::Element* element = nullptr; // nullptr for bands
    std::optional<Elementart> art;      // the element's kind; nothing for bands

    bool istBand() const { return element == nullptr; }
    // The element as its run class, nullptr for a band or another class.
    template <class E>
    E* als() const
    {
        return dynamic_cast<E*>(element);
    }
};

// A sum formula or field formula element: rich text whose text the fill sets
// with formelSetzen.
struct Formelelement {
    report::RichText* richText = nullptr;
    Elementart art = Elementart::eaSummenformel;
    int elementNummer = 0; // its position in ElementListe
};

// How a layout's components become run objects. The sheet hangs a child
// band from the band above it and builds every kind; the free report builds
// a child band as a band of its own that hangs from no band and so never
// prints, and builds no template text nor any of the four classification
// pictures.
struct Bauplan {
    bool kindbaenderAnhaengen = true;
    bool vorlagenUndKlassenbilder = true;
};

// Turns a sheet or report layout into the run objects of a run report. The builder
// lives as long as its sheet form; each build replaces the lists of the one
// before, whose objects went with their report.
class StoffInfoBuilder {
public:
    // `tabellen` are the tables field references may name (the name table
    // with its file name at build time); `formeln` is the structure picture
    // table, whose field "FORMEL" the structure picture shows. Both are read
    // when the report prints, so they must outlive it.
    StoffInfoBuilder(const TabellenSatz& tabellen, dbase::Table* formeln, Bauplan plan = {});

    // Builds a run band for every band of the layout, attaches child bands
    // to the band above them, and builds the run element of each element's
    // kind on its band. The report's page settings are the caller's.
    //
    // A child band that lies below no run band, an element outside every
    // band, a tag outside every kind and a system data caption without a
    // digit 0 to 6 as its second character build nothing; the components
    // they own are still visited, and the build goes on.
    void SetStoffinfoData(const Layout& layout, report::Report& report);

    // Every run band, attached child band and run element in the order they
    // were made (depth first, in layout order); the position is the element
    // number the fill uses.
    const std::vector<Laufobjekt>& ElementListe() const { return m_elementListe; }
    // The tables the run elements read, the builder's own copy of the set:
    // an engine that fills per band changes its ohneDatensatz between bands.
    TabellenSatz& Tabellen() { return m_tabellen; }
    // The formula elements, in the same order.
    const std::vector<Formelelement>& RichEditListe() const { return m_richEditListe; }

private:
    // A band a child band may hang from, with its layout position (pixels).
    struct Bandlage {
        report::Band* band;
        int top;
        int height;
    };

    void bauen(const LayoutComponent& quelle, report::Report& report, report::Band* band, QPoint versatz);
    report::Band* bandBauen(const LayoutComponent& quelle, report::Report& report);
    report::Band* kindbandAnhaengen(const LayoutComponent& quelle);
    void elementBauen(const LayoutComponent& quelle, Elementart art, report::Band& band, QPoint versatz);

    TabellenSatz m_tabellen;
    dbase::Table* m_formeln;
    Bauplan m_plan;
    std::vector<Laufobjekt> m_elementListe;
    std::vector<Formelelement> m_richEditListe;
    std::vector<Bandlage> m_bandlagen;
};

// The detail records of a run report: the rows of a table as its filter and
// index order give them. The report moves the table's cursor, so the fields
// that data texts read are those of the record being printed.
class Tabellenquelle : public report::DataSource {
public:
    explicit Tabellenquelle(dbase::Table& table) : m_table(table) {}
    void first() override;
    void next() override;
    bool eof() const override;
    std::optional<int> recordCount() const override;

private:
    dbase::Table& m_table;
};

// A picture as a run report prints it: raster pictures as they are; a
// metafile rendered at printer fineness, keeping its natural size through
// the resolution stored with the image.
QImage druckbild(const graphics::Picture& bild);

// The runs of a sum formula in a font of `pointSize`: the digits of the
// first line that the name rules make subscripts are lowered at half the
// whole point size (as the record page shows them), everything else keeps the
// element's size; the text itself stays as it is.
std::vector<report::TextRun> formelRuns(const QString& text, double pointSize);
// Gives a formula element its text, formatted as above in its own font.
void formelSetzen(report::RichText& element, const QString& text);
// Fills a run element of the two formula kinds: the sum formula from the
// substance's "FORMEL", a field formula from the field its Hint names.
void formelFuellen(const Laufobjekt& objekt, const TabellenSatz& tabellen);

} // namespace reports
