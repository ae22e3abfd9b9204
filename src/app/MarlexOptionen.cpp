// The options dialog's launchers and what its OK changes in the main window:
// the screen settings at once, and the access mode of the tables.

#include <array>
#include <vector>

#include <QAction>
#include <QLabel>
#include <QTabWidget>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "data/OptionenDialog.h"
#include "dbase/Table.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

void optionenZeigen(TMarlex* marlex)
{
    TOptionen dialog(marlex);
    dialog.exec();
}

// Closes the table if it is open and opens it in the mode given.
void oeffnenIn(dbase::Table& tabelle, bool nurLesen, bool exklusiv)
{
    if (tabelle.active())
        tabelle.close();
    tabelle.setReadOnly(nurLesen);
    tabelle.setExclusive(exklusiv);
    tabelle.open();
}

} // namespace

void TMarlex::Optionen1Click()
{
    NurDruckoptionen = 0;
    optionenZeigen(this);
}

void TMarlex::Druckoptionen1Click()
{
    NurDruckoptionen = 1;
    optionenZeigen(this);
}

void TMarlex::optionenBefehleVerbinden()
{
    connect(Optionen1, &QAction::triggered, this, &TMarlex::Optionen1Click);
    connect(Druckoptionen1, &QAction::triggered, this, &TMarlex::Druckoptionen1Click);
}

void TMarlex::anzeigeoptionenSetzen()
{
    DBGrid1->setFont(ScreenFont);
    ListBox1->setScreenFont(ScreenFont);
    setHinweiseZeigen(OptHint);
    FarbDarstellung = OptDarstellungInFarbe ? 1 : 0;
    FarbDruck = OptFarbDruck ? 1 : 0;
    PageControl1->setTabPosition(OptTabPosition == 0 ? QTabWidget::North : QTabWidget::South);
}

void TMarlex::OptionenAnwenden(const QFont& schrift, bool lagerMarkierenVorher, bool zugriffGewechselt)
{
    ScreenFont = schrift;
    anzeigeoptionenSetzen();
    DBImage1->setVisible(OptFormelDarstellen);
    if (OptLagerMarkieren != lagerMarkierenVorher) {
        // With markers the list tells what the status panel told.
        if (OptLagerMarkieren)
            StatusPanel[3]->clear();
        DatenlisteEinlesen();
    }
    if (zugriffGewechselt)
        BearbeitungFreigeben(!OptNurLesemodus);
    AktuellenDatensatzZeigen();
}

bool TMarlex::ZugriffsartWechseln(bool nurLesen, bool exklusiv, QString& grund)
{
    if (!Datas)
        return true;
    // Closing a table stores its changed record anyway; stored here, a
    // record that cannot be stored keeps every table as it is.
    if (EingabeModus == 1 || Datas->Table2->cachedUpdates()) {
        grund = QStringLiteral("Ein neuer Stoff wird gerade eingegeben. Speichern oder verwerfen Sie ihn zuerst.");
        return false;
    }
    const std::array<dbase::Table*, 4> tabellen = {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table6};
    try {
        for (widgets::DataSource* quelle : {Datas->DataSource1, Datas->DataSource2, Datas->DataSource3,
                                             Datas->DataSource6})
            quelle->updateRecord();
        for (dbase::Table* t : tabellen) {
            if (t->active() && (t->state() == dbase::TableState::Edit || t->state() == dbase::TableState::Insert))
                t->post();
        }
    } catch (const dbase::DbaseError& fehler) {
        grund = QStringLiteral("Was gerade bearbeitet wird, kann nicht gespeichert werden:\n")
            + widgets::errorText(fehler);
        return false;
    }
    if (EditModus == 1) {
        ndern1->setChecked(false);
        EditierfelderFreigeben(false);
    }
    if (LagerEditModus == 1)
        lagerEditModusSetzen(false);

    struct Zugriff {
        dbase::Table* tabelle;
        bool nurLesen;
        bool exklusiv;
    };
    std::vector<Zugriff> vorher;
    for (dbase::Table* t : tabellen)
        vorher.push_back({t, t->readOnly(), t->exclusive()});
    // The name table stands on its first row once it is opened again.
    VorherigerListenIndex = 0;
    bool gewechselt = false;
    try {
        for (const Zugriff& z : vorher)
            // formeln.dbf was never opened exclusively.
            oeffnenIn(*z.tabelle, nurLesen, z.tabelle == Datas->Table6 ? z.exklusiv : exklusiv);
        gewechselt = true;
    } catch (const dbase::DbaseError& fehler) {
        grund = widgets::errorText(fehler);
    }
    if (!gewechselt) {
        QStringList geschlossen;
        for (const Zugriff& z : vorher) {
            try {
                if (!z.tabelle->active() || z.tabelle->readOnly() != z.nurLesen
                    || z.tabelle->exclusive() != z.exklusiv)
                    oeffnenIn(*z.tabelle, z.nurLesen, z.exklusiv);
            } catch (const dbase::DbaseError& fehler) {
                geschlossen << z.tabelle->tableName() + QStringLiteral(": ") + widgets::errorText(fehler);
            }
        }
        if (!geschlossen.isEmpty())
            grund += QStringLiteral("\n\nAuch wie zuvor lassen sich nicht wieder öffnen:\n") + geschlossen.join(u'\n');
    }
    // The reopened tables stand on their first rows, the controls and the
    // structure picture with them: the line's record is shown again
    // whichever way the switch went, also when it is a switch back.
    try {
        AktuellenDatensatzZeigen();
    } catch (const dbase::DbaseError&) {
        // A table that could not be opened again is named above; after a
        // switch the options' own display of the record reports it.
    }
    return gewechselt;
}
