#include "reports/StoffInfo.h"

#include <array>
#include <cmath>
#include <exception>
#include <vector>

#include <QLocale>

#include "app/Bilder.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "report/PageBuilder.h"
#include "reports/Drucker.h"
#include "reports/TabellenWache.h"
#include "reports/Vorlagensprache.h"
#include "reports/Vorschau.h"
#include "widgets/MessageBox.h"

TStoffInfo* StoffInfo = nullptr;

namespace {

using dbase::Filter;
using reports::Elementart;

// Chemie fields the fill reads by position.
constexpr int kCancer = 12;
constexpr int kKrebs = 16;
constexpr int kWirkung = 24;
constexpr int kUnterricht = 33;

struct Stoffschluessel {
    QString name;
    QString carn;
    QString subcarn;

    Filter filter() const { return Filter::equals("CARN", carn) && Filter::equals("SUBCARN", subcarn); }
};

Stoffschluessel stoffLesen(dbase::Table& namen)
{
    return {namen.fieldByName("NAME1").asString(), namen.fieldByName("CARN").asString(),
            namen.fieldByName("SUBCARN").asString()};
}

// The table's filter as it stands when a narrowing is added to it: nothing
// unless filtering is on.
Filter wirksamerFilter(const dbase::Table& table)
{
    return table.filtered() ? table.filter() : Filter();
}

Filter zusammen(const Filter& grund, const Filter& auswahl)
{
    return grund.isEmpty() ? auswahl : grund && auswahl;
}

// Moves the table to its first row that passes `auswahl` as well as the
// table's own filter, leaving that filter as it was. False, and the cursor
// back on the row it stood on, when no row passes.
bool positionieren(dbase::Table& table, const Filter& auswahl)
{
    const Filter vorher = table.filter();
    const bool warGefiltert = table.filtered();
    const dbase::Bookmark bisher = table.bookmark();
    table.setFilter(zusammen(wirksamerFilter(table), auswahl));
    table.setFiltered(true);
    table.first();
    const bool gefunden = !table.isEmpty();
    const dbase::Bookmark zeile = gefunden ? table.bookmark() : bisher;
    table.setFilter(vorher);
    table.setFiltered(warGefiltert);
    if (zeile.valid() && table.bookmarkValid(zeile))
        table.gotoBookmark(zeile);
    return gefunden;
}

void bildSetzen(const reports::Laufobjekt& objekt, const graphics::Picture& bild)
{
    if (auto* image = objekt.als<report::Image>())
        image->picture = reports::druckbild(bild);
}

// A table narrowed to the substance for the run, and the filter that does it.
struct Eingrenzung {
    dbase::Table* table;
    Filter filter;
};

// Puts the storage table on the first row that passes `auswahl`, the
// substance's stock under the storage filter the user set. False when there
// is none: the table stays where it stood, and its fields read empty on the
// sheet.
bool lagerPositionieren(dbase::Table& lager, const Filter& auswahl)
{
    return lager.active() && positionieren(lager, auswahl);
}

} // namespace

struct TStoffInfo::Lauf {
    Lauf(TStoffInfo& form, TDatas& datas)
        : form(form)
        , wache{datas.Table1, datas.Table2, datas.Table3, datas.Table4, datas.Table6}
        , stoff(stoffLesen(*datas.Table1))
        // Taken now: a text insertion on the storage table lifts the user's
        // filter for the rest of the fill.
        , lagerAuswahl(zusammen(wirksamerFilter(*datas.Table3), stoff.filter()))
        , tabellen{datas.Table1, datas.Table2, datas.Table3, datas.Table4,
                   lagerPositionieren(*datas.Table3, lagerAuswahl) ? std::vector<dbase::Table*>{}
                                                                   : std::vector<dbase::Table*>{datas.Table3}}
        , eingrenzungen{{datas.Table2, stoff.filter()}, {datas.Table6, stoff.filter()}}
        , builder(tabellen, datas.Table6)
        , quelle(*datas.Table2)
    {
        form.m_lauf = this;
    }
    ~Lauf() { form.m_lauf = nullptr; }
    Lauf(const Lauf&) = delete;
    Lauf& operator=(const Lauf&) = delete;

    // The names of the list filter's table are copies; the sheet reads the
    // register's own name table, on the row of the selected name.
    void namenstabelleDesRegisters()
    {
        dbase::Table& namen = *tabellen.Table1;
        reports::namenDesRegistersOeffnen(namen);
        const Filter schluessel = stoff.filter();
        if (positionieren(namen, Filter::equals("NAME1", stoff.name) && schluessel))
            return;
        // A name the register's table does not hold (the list was filtered
        // from a research table): the substance's own names, or none, but
        // never another substance's.
        namen.setFilter(zusammen(wirksamerFilter(namen), schluessel));
        namen.setFiltered(true);
        namen.first();
    }

    // The substance and structure tables are narrowed to the substance; the
    // storage table only stands on its stock, so that the sheet's conditions
    // on it still ask about the whole stock the user's filter shows.
    void eingrenzen()
    {
        for (const Eingrenzung& e : eingrenzungen) {
            if (!e.table->active())
                continue; // its fields are an error when the sheet reads them
            e.table->setFilter(e.filter);
            e.table->setFiltered(true);
            e.table->first();
        }
        lagerPositionieren(*tabellen.Table3, lagerAuswahl);
    }

    TStoffInfo& form;
    reports::TabellenWache wache;
    Stoffschluessel stoff;
    Filter lagerAuswahl;
    reports::TabellenSatz tabellen;
    std::vector<Eingrenzung> eingrenzungen;
    reports::StoffInfoBuilder builder;
    report::Report report;
    reports::Tabellenquelle quelle;
};

TStoffInfo::TStoffInfo(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("StoffInfo"));
    ScrollBox1 = new QWidget(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
}

TStoffInfo::~TStoffInfo() = default;

void TStoffInfo::LoadStoffinfo(const QString& datei)
{
    m_layout = reports::Layout::load(datei, reports::LayoutKind::Sto);
}

const reports::StoffInfoBuilder* TStoffInfo::Builder() const
{
    return m_lauf ? &m_lauf->builder : nullptr;
}

QWidget* TStoffInfo::besitzer() const
{
    return Marlex;
}

bool TStoffInfo::Erstellen()
{
    if (!Marlex || !Datas) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Die Stoffinfo kann erst gedruckt werden, wenn das "
                                                              "Programm vollständig gestartet ist."));
        return false;
    }
    if (m_lauf) {
        // From inside a run (a page routine, the preview): its tables are
        // narrowed and its guard holds their state.
        widgets::MessageBox::error(besitzer(), QStringLiteral("Es wird gerade eine Stoffinfo erstellt. Bitte warten "
                                                              "Sie, bis sie gedruckt oder die Vorschau geschlossen "
                                                              "ist."));
        return false;
    }
    if (!m_layout) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Es ist kein Stoffinfo-Layout geladen. Bitte wählen "
                                                              "Sie zuerst ein Layout (*.STO) aus."));
        return false;
    }
    std::optional<report::Margins> raender;
    if (!OptOnlyEtikett) {
        const reports::Randoptionen optionen = reports::randoptionenLesen();
        if (!optionen.fehler.isEmpty()) {
            widgets::MessageBox::error(besitzer(), optionen.fehler);
            return false;
        }
        raender = optionen.mm;
    }
    report::PageSetup seite;
    reports::seiteAusLayout(seite, *m_layout, raender);
    if (const QString fehler = reports::druckbereichFehler(seite, raender.has_value()); !fehler.isEmpty()) {
        widgets::MessageBox::error(besitzer(), fehler);
        return false;
    }
    if (!Datas->Table1->active() || Datas->Table1->isEmpty()) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Es ist kein Stoff ausgewählt, dessen Stoffinfo "
                                                              "erstellt werden könnte."));
        return false;
    }

    return m_rahmen.ausfuehren(besitzer(), QStringLiteral("Die Stoffinfo konnte nicht erstellt werden."), [&] {
        // Everything the run changes lies inside the run's lifetime: its
        // guard puts the tables back when it ends, whichever way.
        Lauf lauf(*this, *Datas);
        if (Marlex->ListenFilterAktiv)
            lauf.namenstabelleDesRegisters();
        lauf.report.page() = seite;
        lauf.report.title = QStringLiteral("Marlex99: Stoffinfodruck");
        lauf.report.dataSource = &lauf.quelle;
        lauf.report.events.beforePrint = [this] { BeforePrint(); };
        lauf.report.events.afterPrint = [this](bool) { AfterPreviewPrint(); };
        lauf.report.events.afterPreview = [this](bool) { AfterPreviewPrint(); };
        lauf.builder.SetStoffinfoData(*m_layout, lauf.report);
        return ausgeben(lauf);
    });
}

// Printing lays out every page before it returns; a preview returns when
// its window has closed. False when a preview could not build its pages:
// the preview window has told the user why.
bool TStoffInfo::ausgeben(Lauf& lauf)
{
    if (DruckModus == 1) {
        reports::drucken(lauf.report, reports::hauptfensterDruckziel());
        return true;
    }
    report::PageBuilder seiten(lauf.report, report::PageBuilder::Purpose::Preview);
    QuickRep1Preview(seiten);
    return seiten.status() != report::PageBuilder::Status::Failed;
}

void TStoffInfo::QuickRep1Preview(report::PageBuilder& builder)
{
    TVorschau::zeigen(besitzer(), QStringLiteral("Vorschau - Stoffinfo"), builder, *Marlex->IniDatei);
}

// Fires once, before the first page: every page shows the same data.
void TStoffInfo::BeforePrint()
{
    m_lauf->eingrenzen();
    SetStoffinfoInputData();
    // A text insertion leaves its table unfiltered where its search ended;
    // the data texts printed next must still read this substance's rows.
    m_lauf->eingrenzen();
}

void TStoffInfo::SetStoffinfoInputData()
{
    const reports::TabellenSatz& tabellen = m_lauf->tabellen;
    dbase::Table& chemie = *tabellen.Table2;
    const reports::Vorlagensprache sprache(tabellen);
    const SymbolBilder& bilder = Marlex->Bilder;
    const int farbe = FarbDruck != 0 ? 1 : 0;
    const auto feld = [&chemie](int position) { return chemie.field(position).asString(); };

    std::size_t SchutzbildZaehler = 0;
    std::optional<bool> schutzNoetig;
    for (const reports::Laufobjekt& objekt : m_lauf->builder.ElementListe()) {
        if (!objekt.art)
            continue;
        switch (*objekt.art) {
        case Elementart::eaGefahrsymbol:
            bildSetzen(objekt, bildZuCode(bilder.GefahrBilder, GefahrCodes,
                                          reports::Feldwert(objekt.element->hint, tabellen), farbe));
            break;
        case Elementart::eaSaetze:
            sprache.SaetzeFuellen(objekt.als<report::Memo>()->lines);
            break;
        case Elementart::eaBedingungstext:
            sprache.BedingungsParser(objekt.als<report::Label>()->caption);
            break;
        case Elementart::eaSummenformel:
        case Elementart::eaFeldformel:
            reports::formelFuellen(objekt, tabellen);
            break;
        case Elementart::eaVorlagentext:
            sprache.Parser(objekt.als<report::Memo>()->lines);
            break;
        case Elementart::eaSchutzbild: {
            if (!schutzNoetig)
                schutzNoetig = SchutzRegelGilt(chemie);
            // Three pictures for as many elements; any further one stays empty.
            graphics::Picture bild;
            if (*schutzNoetig && SchutzbildZaehler < bilder.SchutzBilder.size())
                bild = bilder.SchutzBilder[SchutzbildZaehler++][farbe];
            bildSetzen(objekt, bild);
            break;
        }
        case Elementart::eaUnterrichtbild:
            bildSetzen(objekt, bildZuCode(bilder.UnterrichtBilder, UnterrichtCodes, feld(kUnterricht), farbe));
            break;
        case Elementart::eaWirkungbild:
            bildSetzen(objekt, bildZuCode(bilder.WirkungBilder, WirkungCodes, feld(kWirkung), farbe));
            break;
        case Elementart::eaKrebsbild: {
            const QString cancer = feld(kCancer);
            bildSetzen(objekt, cancer.isEmpty() ? bildZuCode(bilder.KrebsBilder, KrebsCodes, feld(kKrebs), farbe)
                                                : bildZuCode(bilder.CancerBilder, CancerCodes, cancer, farbe));
            break;
        }
        default:
            break; // complete from the build, or read when printed
        }
    }
}

// The report's last word, after printing or when the preview closes: the
// tables go back now, while the main window may already take commands again.
void TStoffInfo::AfterPreviewPrint()
{
    m_rahmen.zurueckstellen(m_lauf->wache);
}

namespace reports {

void seiteAusLayout(report::PageSetup& seite, const Layout& layout, const std::optional<report::Margins>& raender)
{
    const LayoutPage& papier = layout.page;
    seite.setUnits(report::Unit::MM);
    seite.setLength(papier.length);
    seite.setWidth(papier.width);
    const report::Margins rand = raender.value_or(
        report::Margins{papier.topMargin, papier.bottomMargin, papier.leftMargin, papier.rightMargin});
    seite.setBottomMargin(rand.bottom);
    seite.setTopMargin(rand.top);
    seite.setLeftMargin(rand.left);
    seite.setRightMargin(rand.right);
    seite.setOrientation(papier.orientation);
    seite.setPaperSize(papier.paperSize);
    seite.setUnits(raender ? report::Unit::MM : layout.units);
}

std::optional<double> randMm(const QString& text)
{
    bool ok = false;
    const double wert = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (ok && std::isfinite(wert) && wert >= 0.0)
        return wert;
    return std::nullopt;
}

Randoptionen randoptionenLesen()
{
    struct Option {
        const QString* text;
        const char* name;
        const char* schluessel;
        double report::Margins::*ziel;
    };
    const std::array<Option, 4> optionen = {{
        {&OptRandOben, "Rand oben", "RandOben", &report::Margins::top},
        {&OptRandUnten, "Rand unten", "RandUnten", &report::Margins::bottom},
        {&OptRandLinks, "Rand links", "RandLinks", &report::Margins::left},
        {&OptRandRechts, "Rand rechts", "RandRechts", &report::Margins::right},
    }};
    Randoptionen ergebnis;
    for (const Option& option : optionen) {
        const QString text = option.text->trimmed();
        if (const std::optional<double> wert = randMm(text)) {
            ergebnis.mm.*option.ziel = *wert;
            continue;
        }
        const QString wie = text.isEmpty()
            ? QStringLiteral("ist leer")
            : QStringLiteral("„%1“ ist keine gültige Millimeterangabe").arg(*option.text);
        ergebnis.fehler = QStringLiteral("Der %1 (Einstellung „%2“) %3.\nBitte tragen Sie in den Optionen unter „Rand "
                                         "in mm“ eine Zahl ein, zum Beispiel 10 oder 10,5.")
                              .arg(QLatin1String(option.name), QLatin1String(option.schluessel), wie);
        return ergebnis;
    }
    return ergebnis;
}

QString druckbereichFehler(const report::PageSetup& seite, bool randAusOptionen)
{
    if (!seite.printableRectMm().isEmpty())
        return {};
    const QLocale deutsch(QLocale::German);
    const auto mm = [&deutsch](double wert) { return deutsch.toString(wert, 'g', 6); };
    const QSizeF papier = seite.pageSizeMm();
    const report::Margins& rand = seite.marginsMm();
    return QStringLiteral("Die Ränder lassen auf der Seite keinen Platz zum Drucken: Die Seite ist %1 × %2 mm groß, "
                          "die Ränder sind oben %3, unten %4, links %5 und rechts %6 mm breit.\n%7")
        .arg(mm(papier.width()), mm(papier.height()), mm(rand.top), mm(rand.bottom), mm(rand.left), mm(rand.right),
             randAusOptionen ? QStringLiteral("Bitte verkleinern Sie die Ränder in den Optionen unter „Rand in mm“.")
                             : QStringLiteral("Bitte verkleinern Sie die Ränder im Layout oder tragen Sie in den "
                                              "Optionen unter „Rand in mm“ kleinere ein."));
}

} // namespace reports
