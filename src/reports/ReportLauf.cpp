// One run of the report generator: the checks of every input, the switch of
// the shared tables for the run, the build of the run report from the
// layout, the look-ups and the fill before every band, the output, and the
// restore.

#include <algorithm>
#include <exception>

#include <QFileInfo>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "report/PageBuilder.h"
#include "reports/Drucker.h"
#include "reports/Laufelemente.h"
#include "reports/ReportErstellung.h"
#include "reports/Reportdruck.h"
#include "reports/StoffInfo.h"
#include "reports/TabellenWache.h"
#include "reports/Vorschau.h"
#include "search/Namentabellen.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace reports {

namespace {

QString kurzname(const QString& datei)
{
    return QFileInfo(datei).fileName();
}

} // namespace

Auswahlpruefung reportauswahlLesen(const Layout& layout, const TabellenSatz& tabellen, bool namenDesRegisters)
{
    Auswahlpruefung pruefung;
    const QString datei = kurzname(layout.fileName);
    if (layout.description.size() < 2) {
        pruefung.fehler = QStringLiteral("Die Reportdatei „%1“ nennt in ihrer Beschreibung keine Auswahl: Die erste "
                                         "Zeile muss die Tabelle nennen (zum Beispiel lager.dbf), die zweite die "
                                         "Bedingung (sie darf leer sein).")
                              .arg(datei);
        return pruefung;
    }
    const QString zeile0 = layout.description.at(0);
    dbase::Table* tabelle = nullptr;
    if (namenDesRegisters) {
        // The run reads the register's own name table while the list filter
        // is on; "namen.dbf" names it then, the filter's copy does not.
        const QString datei0 = zeile0.mid(std::max(zeile0.lastIndexOf(u'\\'), zeile0.lastIndexOf(u':')) + 1);
        tabelle = GetTableName(datei0) == namentabellenart(Namentabelle::Stamm).datei
            ? tabellen.Table1
            : GetTable(zeile0, TabellenSatz{nullptr, tabellen.Table2, tabellen.Table3, tabellen.Table4, {}});
    } else {
        tabelle = GetTable(zeile0, tabellen);
    }
    if (!tabelle || !tabelle->active()) {
        pruefung.fehler = QStringLiteral("Die Reportdatei „%1“ nennt als Auswahltabelle „%2“. Das ist keine der "
                                         "Tabellen, die ein Report auswählen kann (die aktuelle Namenstabelle, "
                                         "chemie.dbf, lager.dbf, si_gef.dbf).")
                              .arg(datei, zeile0);
        return pruefung;
    }
    dbase::Filter bedingung;
    const QString zeile1 = layout.description.at(1);
    try {
        if (!zeile1.trimmed().isEmpty()) {
            bedingung = dbase::Filter::parse(zeile1);
            bedingung.bind(tabelle->layout()); // an unknown field is an error now, not midway
        }
    } catch (const dbase::DbaseError& e) {
        pruefung.fehler = QStringLiteral("Die Auswahlbedingung „%1“ der Reportdatei „%2“ ist für %3 nicht "
                                         "gültig:\n%4")
                              .arg(zeile1, datei, tabelle->tableName(), widgets::errorText(e));
        return pruefung;
    }
    pruefung.auswahl = Reportauswahl{tabelle, bedingung};
    return pruefung;
}

} // namespace reports

namespace {

using dbase::Table;

const QString kTitel = QStringLiteral("Marlex99: Reportdruck");
// The order of the stock items in a report.
const QString kNamensfolge = QStringLiteral("NAME1_SUB");

bool hatIndex(const Table& table, const QString& tag)
{
    const std::vector<dbase::IndexDef> tags = table.indexDefs();
    return std::any_of(tags.begin(), tags.end(), [&tag](const dbase::IndexDef& def) {
        return QString::fromStdString(def.name).trimmed().compare(tag, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

struct TReportErstellung::Vorbereitung {
    reports::Reportauswahl auswahl;
    report::PageSetup seite;
};

struct TReportErstellung::Lauf {
    Lauf(TReportErstellung& form, TDatas& datas)
        : form(form)
        , datas(datas)
        , wache{datas.Table1, datas.Table2, datas.Table3, datas.Table4, datas.Table6}
        , builder({datas.Table1, datas.Table2, datas.Table3, datas.Table4, {}}, datas.Table6,
                  reports::Bauplan{.kindbaenderAnhaengen = false, .vorlagenUndKlassenbilder = false})
        , quelle(*datas.Table3)
        , carn(datas.Table3->fieldByName("CARN").index())
        , subcarn(datas.Table3->fieldByName("SUBCARN").index())
        , strukturbildSichtbar(Marlex->DBImage1 && !Marlex->DBImage1->isHidden())
    {
        form.m_lauf = this;
    }
    ~Lauf()
    {
        form.m_lauf = nullptr;
        strukturbildZeigen();
    }
    Lauf(const Lauf&) = delete;
    Lauf& operator=(const Lauf&) = delete;

    // The structure picture of the main window stays as it was, however the
    // run moves formeln.dbf.
    void strukturbildZeigen() const
    {
        if (Marlex->DBImage1)
            Marlex->DBImage1->setVisible(strukturbildSichtbar);
    }

    // The run reads the register: the name table from namen.dbf while the
    // list filter is on, chemie.dbf without the list filter; the name table
    // looked up by substance key, the stock items in name order. The
    // selection's condition takes the place of the filter on its table for
    // the run, the user's storage filter too when it selects on lager.dbf;
    // the guard puts that filter back.
    void tabellenUmstellen(const reports::Reportauswahl& auswahl)
    {
        if (Marlex->ListenFilterAktiv) {
            reports::namenDesRegistersOeffnen(*datas.Table1);
            datas.Table2->setFiltered(false);
        }
        datas.Table1->setIndexName(QStringLiteral("CARN_SUB"));
        datas.Table3->setIndexName(kNamensfolge);
        Table& tabelle = *auswahl.tabelle;
        tabelle.setFilter(auswahl.bedingung);
        tabelle.setFiltered(true);
    }

    TReportErstellung& form;
    TDatas& datas;
    reports::TabellenWache wache;
    reports::StoffInfoBuilder builder;
    report::Report report;
    reports::Tabellenquelle quelle;
    int carn;
    int subcarn;
    bool strukturbildSichtbar;
};

const std::vector<reports::Laufobjekt>* TReportErstellung::ElementListe() const
{
    return m_lauf ? &m_lauf->builder.ElementListe() : nullptr;
}

std::optional<TReportErstellung::Vorbereitung> TReportErstellung::vorbereiten(const QString& datei)
{
    if (datei.isEmpty()) {
        widgets::MessageBox::error(this, QStringLiteral("Bitte wählen Sie zuerst eine Reportdatei (*.REP) aus."));
        return std::nullopt;
    }
    if (datei != m_geladeneDatei) {
        try {
            m_layoutReport = reports::Layout::load(datei, reports::LayoutKind::Rep);
            m_geladeneDatei = datei;
        } catch (const std::exception& e) {
            // The file is read again at the next run.
            widgets::MessageBox::error(this, QStringLiteral("Die Reportdatei „%1“ kann nicht gelesen werden.\n%2")
                                                 .arg(datei, widgets::errorText(e)));
            return std::nullopt;
        }
    }

    Vorbereitung vorbereitung;
    const reports::Auswahlpruefung auswahl = reports::reportauswahlLesen(
        *m_layoutReport, {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, {}}, Marlex->ListenFilterAktiv != 0);
    if (!auswahl.auswahl) {
        widgets::MessageBox::error(this, auswahl.fehler);
        return std::nullopt;
    }
    vorbereitung.auswahl = *auswahl.auswahl;

    std::optional<report::Margins> raender;
    if (!OptOnlyEtikett) {
        const reports::Randoptionen optionen = reports::randoptionenLesen();
        if (!optionen.fehler.isEmpty()) {
            widgets::MessageBox::error(this, optionen.fehler);
            return std::nullopt;
        }
        raender = optionen.mm;
    }
    reports::seiteAusLayout(vorbereitung.seite, *m_layoutReport, raender);
    if (const QString fehler = reports::druckbereichFehler(vorbereitung.seite, raender.has_value());
        !fehler.isEmpty()) {
        widgets::MessageBox::error(this, fehler);
        return std::nullopt;
    }
    for (Table* table : {Datas->Table1, Datas->Table2, Datas->Table3}) {
        if (!table->active()) {
            widgets::MessageBox::error(this, QStringLiteral("Die Tabelle %1 ist nicht geöffnet; der Report kann "
                                                            "nicht erstellt werden.")
                                                 .arg(table->tableName()));
            return std::nullopt;
        }
    }
    // Known before the run switches a table: a storage table without the
    // name order (an index file of another make, say) would stop it midway.
    if (!hatIndex(*Datas->Table3, kNamensfolge)) {
        widgets::MessageBox::error(this, QStringLiteral("Die Tabelle %1 hat keinen Index „%2“, nach dem der Report die "
                                                        "Lagerdatensätze ordnet; der Report kann nicht erstellt "
                                                        "werden.")
                                             .arg(Datas->Table3->tableName(), kNamensfolge));
        return std::nullopt;
    }
    return vorbereitung;
}

bool TReportErstellung::Erstellen(const QString& datei, Ausgabe ausgabe)
{
    if (!Marlex || !Datas) {
        widgets::MessageBox::error(this, QStringLiteral("Ein Report kann erst erstellt werden, wenn das Programm "
                                                        "vollständig gestartet ist."));
        return false;
    }
    if (m_lauf) {
        widgets::MessageBox::error(this, QStringLiteral("Es wird gerade ein Report erstellt. Bitte warten Sie, bis "
                                                        "er gedruckt oder die Vorschau geschlossen ist."));
        return false;
    }
    const std::optional<Vorbereitung> vorbereitung = vorbereiten(datei);
    if (!vorbereitung)
        return false;

    return m_rahmen.ausfuehren(this, QStringLiteral("Der Report konnte nicht erstellt werden."), [&] {
        // Everything the run changes lies inside the run's lifetime: its
        // guard puts the tables back when it ends, whichever way.
        Lauf lauf(*this, *Datas);
        if (Marlex->DBImage1)
            Marlex->DBImage1->hide();
        lauf.tabellenUmstellen(vorbereitung->auswahl);
        lauf.report.page() = vorbereitung->seite;
        lauf.report.title = kTitel;
        lauf.report.dataSource = &lauf.quelle;
        lauf.report.events.beforeBand = [this](report::Band& band, bool& drucken) { BandBeforePrint(band, drucken); };
        lauf.report.events.afterPrint = [this](bool) { AfterPreviewPrint(); };
        lauf.report.events.afterPreview = [this](bool) { AfterPreviewPrint(); };
        SetReportData(lauf);
        return ausgeben(lauf, ausgabe);
    });
}

void TReportErstellung::SetReportData(Lauf& lauf)
{
    lauf.builder.SetStoffinfoData(*m_layoutReport, lauf.report);
}

// The preview returns when its window has closed; a print is asked first and
// lays out every page before it returns. False when the user declined or a
// preview could not build its pages (its window has told why).
bool TReportErstellung::ausgeben(Lauf& lauf, Ausgabe ausgabe)
{
    if (ausgabe == AusgabeBildschirm) {
        report::PageBuilder seiten(lauf.report, report::PageBuilder::Purpose::Preview);
        QuickRep1Preview(seiten);
        return seiten.status() != report::PageBuilder::Status::Failed;
    }
    bool ja = false;
    {
        TReportdruck frage(this, m_geladeneDatei);
        ja = frage.exec() == QDialog::Accepted;
    }
    if (!ja) {
        AfterPreviewPrint();
        return false;
    }
    // The printer the question named, which the user may have changed there.
    reports::drucken(lauf.report, reports::hauptfensterDruckziel());
    return true;
}

void TReportErstellung::QuickRep1Preview(report::PageBuilder& builder)
{
    TVorschau::zeigen(this, QStringLiteral("Vorschau - Report"), builder, *Marlex->IniDatei);
}

// Before every band, on the stock item the report stands on: its substance
// in the name table, chemie.dbf and formeln.dbf. A table without the
// substance reads empty on this band, never another substance's row; a
// detail line is printed only for an item whose name row and substance
// record are there (and pass the selection).
void TReportErstellung::BandBeforePrint(report::Band& band, bool& printBand)
{
    Lauf& lauf = *m_lauf;
    TDatas& datas = lauf.datas;
    Table& lager = *datas.Table3;
    bool name = false;
    bool stoff = false;
    bool formel = false;
    if (lager.active() && !lager.isEmpty()) {
        const dbase::RecordView posten = lager.currentRecord();
        name = datas.Table1->findKey(posten, {lauf.carn, lauf.subcarn});
        stoff = datas.Table2->findKey(posten, {lauf.carn, lauf.subcarn});
        formel = datas.Table6 && datas.Table6->active() && datas.Table6->findKey(posten, {lauf.carn});
    }
    std::vector<Table*>& ohne = lauf.builder.Tabellen().ohneDatensatz;
    ohne.clear();
    if (!name)
        ohne.push_back(datas.Table1);
    if (!stoff)
        ohne.push_back(datas.Table2);
    if (!formel)
        ohne.push_back(datas.Table6);
    if (band.type == report::BandType::Detail && (!name || !stoff)) {
        printBand = false;
        return;
    }
    SetReportInputData();
    printBand = true;
}

void TReportErstellung::SetReportInputData()
{
    reports::laufelementeFuellen(m_lauf->builder.ElementListe(), m_lauf->builder.Tabellen(),
                                 reports::kBedingungstextImReport);
}

// After printing, when the preview closes, or when the print was declined:
// the tables go back now, while the dialog takes commands again.
void TReportErstellung::AfterPreviewPrint()
{
    m_rahmen.zurueckstellen(m_lauf->wache);
    m_lauf->strukturbildZeigen();
}
