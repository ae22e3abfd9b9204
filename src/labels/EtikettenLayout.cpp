#include "labels/EtikettenLayout.h"

#include <algorithm>
#include <exception>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/DbaseError.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "labels/Sammelschreiben.h"
#include "report/Page.h"
#include "report/PageBuilder.h"
#include "report/Report.h"
#include "report/TextLayout.h"
#include "report/Units.h"
#include "reports/Drucker.h"
#include "reports/Laufelemente.h"
#include "reports/Laufrahmen.h"
#include "reports/StoffInfo.h"
#include "reports/StoffInfoBuilder.h"
#include "reports/TabellenWache.h"
#include "reports/Vorschau.h"
#include "search/Namentabellen.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

TEtikettenLayout* EtikettenLayout = nullptr;

namespace {

using dbase::Filter;
using reports::Elementart;

constexpr int kAnzahlFeld = 14; // lager.dbf ANZAHL
const QString kKeineMarkierten = QStringLiteral("Es wurden keine markierten Lagerdatensätze gefunden.");

// One stock item of the job: its row and how many labels it gets.
struct Posten {
    std::uint32_t recNo = 0;
    int anzahl = 0;
    QString carn;
    QString subcarn;
};

// The kinds a label shows; the sheet's template and picture kinds are not
// label elements.
bool etikettenart(Elementart art)
{
    return art <= Elementart::eaSystemdaten || art == Elementart::eaFeldformel;
}

int anzahlVon(dbase::Table& lager)
{
    return static_cast<int>(lager.field(kAnzahlFeld).asInteger());
}

Posten postenLesen(dbase::Table& lager)
{
    return {lager.recNo(), anzahlVon(lager), lager.fieldByName("CARN").asString(),
            lager.fieldByName("SUBCARN").asString()};
}

// Everything a job checks before it changes anything.
struct Vorbereitung {
    reports::Layout layout;
    report::PageSetup seite;
    double etikettHoeheMm = 0.0;
};

} // namespace

struct TEtikettenLayout::Lauf {
    Lauf(TEtikettenLayout& form, TDatas& datas)
        : form(form)
        , datas(datas)
        , wache{datas.Table1, datas.Table2, datas.Table3, datas.Table4, datas.Table6}
        , tabellen{datas.Table1, datas.Table2, datas.Table3, datas.Table4, {}}
    {
        form.m_lauf = this;
    }
    ~Lauf() { form.m_lauf = nullptr; }
    Lauf(const Lauf&) = delete;
    Lauf& operator=(const Lauf&) = delete;

    // A label reads the whole register: the names of the list filter's
    // table and of a research table are a part of it (a stock item whose
    // substance is not among them would read no name), and the list filter
    // narrows the substance table to the list.
    void tabellenDesRegisters()
    {
        dbase::Table& namen = *datas.Table1;
        if (Marlex->ListenFilterAktiv || Marlex->AktuelleNamenDatei != namentabellenDatei(Namentabelle::Stamm))
            reports::namenDesRegistersOeffnen(namen);
        if (Marlex->ListenFilterAktiv)
            datas.Table2->setFiltered(false);
        namen.setIndexName(QStringLiteral("CARN_SUB"));
    }

    // The stock items of the job in the storage table's order. The user's
    // storage filter joins the job's condition as a whole, whatever it holds.
    void postenSammeln(bool alleMarkierten)
    {
        dbase::Table& lager = *datas.Table3;
        if (!lager.active() || lager.isEmpty())
            return;
        if (!alleMarkierten) {
            // The row the user stands on, not every row of its substance.
            Posten aktuell = postenLesen(lager);
            if (aktuell.anzahl > 0)
                posten.push_back(aktuell);
            return;
        }
        const Filter markiert = Filter::greaterThan("ANZAHL", 0);
        const Filter gemerkt = lager.filtered() ? lager.filter() : Filter();
        lager.setFilter(gemerkt.isEmpty() ? markiert : gemerkt && markiert);
        lager.setFiltered(true);
        for (lager.first(); !lager.eof(); lager.next())
            posten.push_back(postenLesen(lager));
    }

    TEtikettenLayout& form;
    TDatas& datas;
    reports::TabellenWache wache;
    reports::TabellenSatz tabellen;
    std::vector<Posten> posten;
    std::size_t naechster = 0; // the item after the current one
    std::size_t aktuell = 0;
    int kopienRest = 0;        // labels still to come for the current item
    std::vector<reports::Laufobjekt> elementListe;
    report::Band* etikett = nullptr;
    report::Report report;
    report::TextMeasure messung; // asks each label's texts whether they fit
};

TEtikettenLayout::TEtikettenLayout(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("EtikettenLayout"));
    ScrollBox1 = new QWidget(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
}

TEtikettenLayout::~TEtikettenLayout() = default;

QWidget* TEtikettenLayout::besitzer() const
{
    return Marlex;
}

bool TEtikettenLayout::EtikettenLayoutZeigen(bool AlleMarkierten)
{
    return etikettenlauf(AlleMarkierten, Ausgabe::Vorschau);
}

bool TEtikettenLayout::EtikettenGesamtDrucken()
{
    return etikettenlauf(true, Ausgabe::Drucker);
}

bool TEtikettenLayout::EtikettAktuellDrucken()
{
    return etikettenlauf(false, Ausgabe::Drucker);
}

bool TEtikettenLayout::etikettenlauf(bool alleMarkierten, Ausgabe ausgabe)
{
    m_fehlend.clear();
    m_abgeschnitten.clear();
    if (!Marlex || !Datas) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Etiketten können erst gedruckt werden, wenn das "
                                                              "Programm vollständig gestartet ist."));
        return false;
    }
    if (m_lauf) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Es werden gerade Etiketten erstellt. Bitte warten Sie, "
                                                              "bis sie gedruckt oder die Vorschau geschlossen ist."));
        return false;
    }
    if (VorlagenDatei.isEmpty()) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Es ist keine Etikettendatei (*.ETI) gewählt."));
        return false;
    }

    // Every input first: a bad one changes nothing.
    std::optional<Vorbereitung> vorbereitung;
    try {
        vorbereitung.emplace(Vorbereitung{reports::Layout::load(VorlagenDatei, reports::LayoutKind::Eti), {}, 0.0});
    } catch (const std::exception& e) {
        widgets::MessageBox::error(besitzer(), QStringLiteral("Die Etikettendatei „%1“ kann nicht gelesen werden.\n%2")
                                                   .arg(VorlagenDatei, widgets::errorText(e)));
        return false;
    }
    const reports::Randoptionen raender = reports::randoptionenLesen();
    if (!raender.fehler.isEmpty()) {
        widgets::MessageBox::error(besitzer(), raender.fehler);
        return false;
    }
    report::PageSetup& seite = vorbereitung->seite;
    seite.setUnits(report::Unit::MM);
    seite.setPaperSize(report::PaperSize::A4);
    seite.setOrientation(report::Orientation::Portrait);
    seite.setBottomMargin(raender.mm.bottom);
    seite.setLeftMargin(raender.mm.left);
    seite.setRightMargin(raender.mm.right);
    seite.setTopMargin(raender.mm.top);
    if (const QString fehler = reports::druckbereichFehler(seite, true); !fehler.isEmpty()) {
        widgets::MessageBox::error(besitzer(), fehler);
        return false;
    }
    const double hoehe = report::pixelsToMm(vorbereitung->layout.height);
    const double platz = seite.printableRectMm().height();
    if (hoehe <= 0.0 || hoehe > platz) {
        const QLocale deutsch(QLocale::German);
        widgets::MessageBox::error(
            besitzer(), QStringLiteral("Das Etikett in „%1“ ist %2 mm hoch; auf eine Seite passen zwischen den Rändern "
                                       "%3 mm.\nBitte wählen Sie ein anderes Etikett oder verkleinern Sie die Ränder "
                                       "in den Optionen unter „Rand in mm“.")
                            .arg(VorlagenDatei, deutsch.toString(hoehe, 'f', 1), deutsch.toString(platz, 'f', 1)));
        return false;
    }
    vorbereitung->etikettHoeheMm = hoehe;

    bool keine = false;
    QString nichtZurueckgesetzt; // why printed labels kept their counts
    reports::Laufrahmen rahmen;
    const QString scheitern = QStringLiteral("Die Etiketten konnten nicht erstellt werden.");
    const bool ausgegeben = rahmen.ausfuehren(besitzer(), scheitern, [&] {
        bool gezeigt = false;
        Lauf lauf(*this, *Datas);
        lauf.tabellenDesRegisters();
        lauf.postenSammeln(alleMarkierten);
        if (lauf.posten.empty()) {
            keine = true;
        } else {
            report::Report& report = lauf.report;
            report.page() = seite;
            if (ausgabe == Ausgabe::Drucker)
                report.title = QStringLiteral("Marlex99: Etikettendruck");
            report::Band& band = report.addBand(report::BandType::Detail);
            band.height = hoehe;
            lauf.etikett = &band;
            const double breite = seite.printableRectMm().width();
            elementeBauen(vorbereitung->layout, band, ausgabe);
            // The cut lines at the label's upper and lower edge.
            for (const double top : {0.0, hoehe}) {
                auto& linie = band.add<report::Shape>();
                linie.shape = report::ShapeKind::HorLine;
                linie.penStyle = Qt::DashLine;
                linie.penColor = Qt::black;
                linie.rect = QRectF(0.0, top, breite, 0.0);
            }
            report.needData = [this] { return NeedData(); };
            report.events.beforeBand = [this](report::Band& b, bool&) {
                if (&b == m_lauf->etikett)
                    BandBeforePrint();
            };
            bool vollstaendig = false;
            report.events.afterPrint = [&vollstaendig](bool fertig) { vollstaendig = fertig; };
            if (ausgabe == Ausgabe::Drucker) {
                reports::drucken(report, reports::hauptfensterDruckziel());
                // Counts go back to 0 only for a document that reached the
                // printer whole.
                if (vollstaendig && OptEtikettAnzahlLoeschen)
                    nichtZurueckgesetzt = anzahlenLoeschen();
                gezeigt = vollstaendig;
            } else {
                report::PageBuilder seiten(report, report::PageBuilder::Purpose::Preview);
                QuickRep1Preview(seiten);
                gezeigt = seiten.status() != report::PageBuilder::Status::Failed;
            }
        }
        rahmen.zurueckstellen(lauf.wache);
        return gezeigt;
    });
    if (!nichtZurueckgesetzt.isEmpty())
        widgets::MessageBox::warning(besitzer(), nichtZurueckgesetzt);
    if (keine && !rahmen.gescheitert())
        widgets::MessageBox::information(besitzer(), kKeineMarkierten);
    if (!m_fehlend.isEmpty() && !rahmen.gescheitert())
        widgets::MessageBox::warning(
            besitzer(), QStringLiteral("Zu diesen Lagerdatensätzen (CAS-Nummer) wurden keine Stoffdaten gefunden; "
                                       "ihre Etiketten zeigen die Stoffangaben leer:\n%1")
                            .arg(m_fehlend.join(QLatin1Char('\n'))));
    if (!m_abgeschnitten.isEmpty() && !rahmen.gescheitert())
        widgets::MessageBox::warning(
            besitzer(), QStringLiteral("Auf diesen Etiketten ist Text abgeschnitten, weil sein Feld im Etikett „%1“ zu "
                                       "klein ist:\n%2\nBitte vergrößern Sie das Feld im Etikett oder wählen Sie ein "
                                       "anderes Etikett.")
                            .arg(VorlagenDatei, m_abgeschnitten.join(QLatin1Char('\n'))));
    return ausgegeben;
}

void TEtikettenLayout::elementeBauen(const reports::Layout& vorlage, report::Band& band, Ausgabe ausgabe)
{
    const bool bild = ausgabe == Ausgabe::Bild;
    const reports::Elementbau bau{&m_lauf->tabellen, Datas->Table6, reports::Elementbau::TextGroesse::Automatisch};
    for (const reports::LayoutComponent* quelle : vorlage.allComponents()) {
        const auto art = quelle->elementart();
        if (!quelle->isElementClass() || !art || !etikettenart(*art))
            continue;
        // A picture of the label has no page or date of its own.
        if (bild && *art == Elementart::eaSystemdaten)
            continue;
        report::Element* element = reports::laufelementBauen(*quelle, *art, band, {}, bau);
        // In a picture a conditional text keeps its caption: the fill
        // would overwrite it.
        if (element && !(bild && *art == Elementart::eaBedingungstext))
            m_lauf->elementListe.push_back({&band, element, art});
    }
}

std::optional<report::Page> TEtikettenLayout::AktuellesEtikettZeichnen(const reports::Layout& vorlage,
                                                                        QString& fehler)
{
    m_fehlend.clear();
    m_abgeschnitten.clear();
    if (!Marlex || !Datas) {
        fehler = QStringLiteral("Etiketten können erst exportiert werden, wenn das Programm vollständig gestartet ist.");
        return std::nullopt;
    }
    if (m_lauf) {
        fehler = QStringLiteral("Es werden gerade Etiketten erstellt. Bitte warten Sie, bis sie gedruckt oder die "
                                "Vorschau geschlossen ist.");
        return std::nullopt;
    }
    std::optional<report::Page> seite;
    try {
        Lauf lauf(*this, *Datas);
        // The stock item first: an unmarked one switches no table.
        lauf.postenSammeln(false);
        if (lauf.posten.empty()) {
            fehler = kKeineMarkierten;
        } else {
            lauf.tabellenDesRegisters();
            report::Band& band = lauf.report.addBand(report::BandType::Detail);
            band.height = report::pixelsToMm(vorlage.height);
            lauf.etikett = &band;
            elementeBauen(vorlage, band, Ausgabe::Bild);
            lauf.aktuell = 0;
            BandBeforePrint();
            if (!m_fehlend.isEmpty()) {
                fehler = QStringLiteral("Zum Lagerdatensatz %1 (CAS-Nummer) wurden keine Stoffdaten gefunden; es "
                                        "wurde kein Etikett exportiert.")
                             .arg(m_fehlend.join(QStringLiteral(", ")));
            } else {
                // A picture shows formulas as plain text, without subscripts.
                for (const reports::Laufobjekt& objekt : lauf.elementListe)
                    if (auto* formel = objekt.als<report::RichText>())
                        formel->setPlainText(formel->plainText());
                // Drawn while the tables stand on the item: data texts read
                // their fields now.
                const report::TextMeasure messung;
                const report::RenderContext kontext{messung, {}};
                report::ElementOutput gezeichnet;
                for (const auto& element : band.elements())
                    if (element->enabled)
                        element->render(kontext, gezeichnet);
                seite = report::Page{
                    QSizeF(report::pixelsToMm(vorlage.width), report::pixelsToMm(vorlage.height)),
                    std::move(gezeichnet.items)};
            }
        }
        lauf.wache.restore();
    } catch (const std::exception& e) {
        fehler = QStringLiteral("Das Etikett konnte nicht gezeichnet werden.\n%1").arg(widgets::errorText(e));
        return std::nullopt;
    }
    if (!fehler.isEmpty())
        return std::nullopt;
    return seite;
}

// Asked before the first label and after each: every item gives its count
// of labels, one after the other.
bool TEtikettenLayout::NeedData()
{
    Lauf& lauf = *m_lauf;
    if (lauf.kopienRest == 0) {
        if (lauf.naechster >= lauf.posten.size())
            return false;
        lauf.aktuell = lauf.naechster++;
        lauf.kopienRest = lauf.posten[lauf.aktuell].anzahl;
    }
    --lauf.kopienRest;
    return true;
}

// Puts the tables on the label's stock item and its substance. A table
// without the item's row reads empty on this label, never another item's.
void TEtikettenLayout::BandBeforePrint()
{
    Lauf& lauf = *m_lauf;
    const Posten& posten = lauf.posten[lauf.aktuell];
    TDatas& datas = lauf.datas;
    datas.Table3->gotoRecNo(posten.recNo);
    const QStringList schluessel{posten.carn, posten.subcarn};
    std::vector<dbase::Table*>& ohne = lauf.tabellen.ohneDatensatz;
    ohne.clear();
    const auto suchen = [&ohne](dbase::Table* table, const QStringList& werte) {
        const bool gefunden = table->active() && table->findKey(werte);
        if (!gefunden)
            ohne.push_back(table);
        return gefunden;
    };
    const bool name = suchen(datas.Table1, schluessel);
    const bool stoff = suchen(datas.Table2, schluessel);
    suchen(datas.Table6, {posten.carn});
    const QString kennung = posten.subcarn.trimmed().isEmpty() || posten.subcarn.trimmed() == QLatin1String("0")
        ? posten.carn
        : posten.carn + QLatin1Char('-') + posten.subcarn;
    if ((!name || !stoff) && !m_fehlend.contains(kennung))
        m_fehlend << kennung;
    EtikettFuellen();
    textPruefen(kennung, stoff);
}

// Data texts read their fields now, while the tables stand on the label's
// stock item, as they will when the band prints.
void TEtikettenLayout::textPruefen(const QString& kennung, bool stoffGefunden)
{
    const report::RenderContext kontext{m_lauf->messung, {}};
    const auto& elemente = m_lauf->etikett->elements();
    const bool abgeschnitten = std::any_of(elemente.begin(), elemente.end(), [&kontext](const auto& element) {
        return element->enabled && element->textCut(kontext);
    });
    if (!abgeschnitten)
        return;
    const QString name = stoffGefunden ? m_lauf->datas.Table2->fieldByName("NAME1").asString().trimmed() : QString();
    const QString etikett = name.isEmpty() ? kennung : QStringLiteral("%1 (%2)").arg(name, kennung);
    if (!m_abgeschnitten.contains(etikett))
        m_abgeschnitten << etikett;
}

void TEtikettenLayout::EtikettFuellen()
{
    reports::laufelementeFuellen(m_lauf->elementListe, m_lauf->tabellen, QStringLiteral("NOCH NICHT IMPLEMENTIERT"));
}

// Sets the count of every printed item back to 0, each on its own row, the
// rows synced together at the end. The labels are printed by then: a table
// opened read-only or a refused write keeps the counts (those set before it
// stay set) and is told as such, never as a failed print. Returns that
// message, empty when every count is 0.
QString TEtikettenLayout::anzahlenLoeschen()
{
    dbase::Table& lager = *m_lauf->datas.Table3;
    if (lager.readOnly())
        return QStringLiteral("Die Etiketten wurden gedruckt. Die Etikettenanzahl der gedruckten Lagerdatensätze "
                              "wurde nicht auf 0 gesetzt, weil die Tabellen im Nur-Lesemodus geöffnet sind.");
    std::vector<std::uint32_t> saetze;
    for (const Posten& posten : m_lauf->posten)
        saetze.push_back(posten.recNo);
    std::size_t gesetzt = 0;
    try {
        lager.setFiltered(false);
        saetzeSchreiben(
            lager, saetze, gesetzt, [&lager] { lager.field(kAnzahlFeld).setAsFloat(0.0); }, [] {});
    } catch (const dbase::DbaseError& e) {
        return QStringLiteral("Die Etiketten wurden gedruckt, aber die Etikettenanzahl konnte nicht bei allen "
                              "gedruckten Lagerdatensätzen auf 0 gesetzt werden:\n%1\n\n%2 von %3 wurden auf 0 "
                              "gesetzt; die übrigen behalten ihre Anzahl.")
            .arg(widgets::errorText(e))
            .arg(gesetzt)
            .arg(m_lauf->posten.size());
    }
    return {};
}

void TEtikettenLayout::QuickRep1Preview(report::PageBuilder& builder)
{
    TVorschau::zeigen(besitzer(), QStringLiteral("Vorschau - Etikett"), builder, *Marlex->IniDatei);
}
