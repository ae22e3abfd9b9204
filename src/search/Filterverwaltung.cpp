#include "search/Filterverwaltung.h"

#include <set>
#include <utility>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"

namespace {

// Name rows: NAME1, STRIPNAME1, CARN, SUBCARN; chemie.dbf holds its key at 2
// and 3.
constexpr int chemieCarn = 2;
constexpr int chemieSubcarn = 3;

const dbase::IndexDef carnSubTag{"CARN_SUB", "CARN+SUBCARN", true, false, false};
const dbase::IndexDef name1SubTag{"NAME1_SUB", "STRIPNAME1", false, false, false};

// The name table's filter for the duration of the copy, taken off again
// however the copy ends.
class Namenauswahl {
public:
    Namenauswahl(dbase::Table& namen, const dbase::Filter& filter) : m_namen(namen)
    {
        m_namen.setFilter(filter);
        m_namen.setFiltered(true);
    }
    ~Namenauswahl()
    {
        m_namen.setFiltered(false);
        m_namen.setFilter(dbase::Filter());
    }
    Namenauswahl(const Namenauswahl&) = delete;
    Namenauswahl& operator=(const Namenauswahl&) = delete;

private:
    dbase::Table& m_namen;
};

// The filter table is written by this job alone; whatever happens, it is
// closed again and open to others afterwards.
class Alleinzugriff {
public:
    explicit Alleinzugriff(dbase::Table& tabelle) : m_tabelle(tabelle)
    {
        m_tabelle.setExclusive(true);
        m_tabelle.open();
    }
    ~Alleinzugriff()
    {
        try {
            m_tabelle.close();
        } catch (const dbase::DbaseError&) {
            // Closing after a failed write: the error that got us here is
            // the one the user hears about.
        }
        m_tabelle.setExclusive(false);
    }
    Alleinzugriff(const Alleinzugriff&) = delete;
    Alleinzugriff& operator=(const Alleinzugriff&) = delete;

    void fertig() { m_tabelle.close(); }

private:
    dbase::Table& m_tabelle;
};

// The wait window, shown and painted before the build, hidden on every way
// out of it.
class Warten {
public:
    Warten()
    {
        FilterWarten->show();
        QCoreApplication::processEvents();
    }
    ~Warten() { FilterWarten->hide(); }
    Warten(const Warten&) = delete;
    Warten& operator=(const Warten&) = delete;
};

// The keys of chemie.dbf's passing rows from its current row on, each once.
dbase::Filter passendeSchluessel(dbase::Table& chemie)
{
    std::set<std::pair<QString, QString>> schluessel;
    for (; !chemie.eof(); chemie.next()) {
        const dbase::RecordView satz = chemie.currentRecord();
        schluessel.emplace(satz.text(chemieCarn), satz.text(chemieSubcarn));
    }
    std::vector<dbase::Filter> terme;
    terme.reserve(schluessel.size());
    for (const auto& [carn, subcarn] : schluessel)
        terme.push_back(dbase::Filter::equals("CARN", carn) && dbase::Filter::equals("SUBCARN", subcarn));
    return dbase::Filter::anyOf(terme);
}

void zeilenKopieren(dbase::Table& namen, dbase::Table& ziel)
{
    if (!OptWin98) {
        dbase::batchMove(namen, ziel, dbase::BatchMode::Append);
        return;
    }
    for (namen.first(); !namen.eof(); namen.next()) {
        ziel.append();
        for (int i = 0; i < 4; ++i)
            ziel.field(i).setAsString(namen.field(i).asString());
        ziel.post();
    }
}

void namentabelleOeffnen()
{
    dbase::Table& namen = *Datas->Table1;
    namen.close();
    namen.setTableName(Marlex->AktuelleNamenDatei);
    namen.setIndexFiles(Marlex->AktuelleIndexDatei);
    namen.open();
}

void bearbeitungsbefehle(bool enabled)
{
    for (QAction* item : {Marlex->Neueingabe1, Marlex->Kopie1, Marlex->Lschen1})
        item->setEnabled(enabled);
}

// A filter switched off: its table unfiltered, its window hidden, its flag
// down.
void filterAus(dbase::Table& tabelle, QWidget& fenster, int& flag)
{
    tabelle.setFiltered(false);
    tabelle.setFilter(dbase::Filter());
    fenster.hide();
    flag = 0;
}

} // namespace

dbase::Filter FilterPruefen(const QString& text, const dbase::Table& table)
{
    dbase::Filter filter = text.trimmed().isEmpty() ? dbase::Filter() : dbase::Filter::parse(text);
    filter.bind(table.layout());
    return filter;
}

void FilterTabelleErzeugen()
{
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    dbase::Table& ziel = *Datas->Table7;
    const dbase::NotificationHold stillChemie(chemie);
    const dbase::NotificationHold stillNamen(namen);

    const dbase::Filter auswahl = passendeSchluessel(chemie);
    ziel.close();
    ziel.createTable(namen.layout(), namen.languageDriver());
    Namenauswahl gefiltert(namen, auswahl);
    Alleinzugriff zugriff(ziel);
    zeilenKopieren(namen, ziel);
    ziel.addIndex(carnSubTag);
    ziel.addIndex(name1SubTag);
    zugriff.fertig();
}

bool ListenFilterSetzen(const dbase::Filter& filter)
{
    dbase::Table& chemie = *Datas->Table2;
    const bool warAn = Marlex->ListenFilterAktiv == 1;
    chemie.setFilter(filter);
    chemie.setFiltered(true);
    chemie.first();
    if (chemie.eof()) {
        FilterLoeschen();
        if (warAn)
            Marlex->DatenlisteEinlesen();
        return false;
    }
    try {
        Warten warten;
        // The name table may stand on filter.dbf, which is made anew.
        namentabelleOeffnen();
        FilterTabelleErzeugen();
    } catch (...) {
        FilterLoeschen();
        Marlex->DatenlisteEinlesen();
        throw;
    }
    AktuellerFilter->Edit1->setText(filter.text());
    AktuellerFilter->show();
    Marlex->ListenFilterAktiv = 1;
    Marlex->DatenlisteEinlesen();
    // After the read: showing its first record enables every editing
    // command, and new names must not go into the filter's table.
    bearbeitungsbefehle(false);
    return true;
}

void LagerFilterSetzen(const dbase::Filter& filter)
{
    dbase::Table& lager = *Datas->Table3;
    lager.setFilter(filter);
    lager.setFiltered(true);
    AktuellerLagerFilter->Edit1->setText(filter.text());
    AktuellerLagerFilter->show();
    Marlex->LagerFilterAktiv = 1;
}

void FilterLoeschen()
{
    filterAus(*Datas->Table2, *AktuellerFilter, Marlex->ListenFilterAktiv);
    bearbeitungsbefehle(true);
}

void LagerFilterLoeschen()
{
    filterAus(*Datas->Table3, *AktuellerLagerFilter, Marlex->LagerFilterAktiv);
}
