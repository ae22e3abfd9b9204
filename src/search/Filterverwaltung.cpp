#include "search/Filterverwaltung.h"

#include <QAction>
#include <QLineEdit>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"
#include "search/Namentabellen.h"
#include "search/Namenszeilen.h"

namespace {

// chemie.dbf holds its key at 2 and 3.
constexpr int chemieCarn = 2;
constexpr int chemieSubcarn = 3;

// The wait window, shown and painted before the build, hidden on every way
// out of it.
class Warten {
public:
    Warten() { FilterWarten->zeigen(); }
    ~Warten() { FilterWarten->hide(); }
    Warten(const Warten&) = delete;
    Warten& operator=(const Warten&) = delete;
};

// The keys of chemie.dbf's passing rows from its current row on.
Stoffschluesselmenge passendeSchluessel(dbase::Table& chemie)
{
    Stoffschluesselmenge schluessel;
    for (; !chemie.eof(); chemie.next()) {
        const dbase::RecordView satz = chemie.currentRecord();
        schluessel.emplace(satz.text(chemieCarn), satz.text(chemieSubcarn));
    }
    return schluessel;
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

bool FilterLeer(const QString& text)
{
    return text.trimmed().isEmpty();
}

dbase::Filter FilterPruefen(const QString& text, const dbase::Table& table)
{
    dbase::Filter filter = FilterLeer(text) ? dbase::Filter() : dbase::Filter::parse(text);
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

    const Stoffschluesselmenge stoffe = passendeSchluessel(chemie);
    ziel.setTableName(filterDatei());
    NamenszeilenTabelleErzeugen(namen, ziel, stoffe, Namenswahl::Alle);
}

void FilterTabelleNeuErzeugen()
{
    try {
        Warten warten;
        // The name table may stand on filter.dbf, which is made anew.
        aktuelleNamentabelleOeffnen(*Datas->Table1);
        Datas->Table2->first();
        FilterTabelleErzeugen();
    } catch (...) {
        FilterLoeschen();
        Marlex->DatenlisteEinlesen();
        throw;
    }
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
    FilterTabelleNeuErzeugen();
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
