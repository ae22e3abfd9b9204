// The main window's switch of the name table the list shows: namen.dbf
// ("STAMM") or one of the research tables ("TMP1", "TMP2") that the research
// filled. The list filter follows the user to the table switched to.

#include <utility>

#include <QAction>
#include <QLabel>
#include <QToolButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "search/Filterverwaltung.h"
#include "search/Namentabellen.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

void TMarlex::StammDatenbankAktivieren()
{
    namentabelleAktivieren(Namentabelle::Stamm);
}

void TMarlex::Tmp1DatenbankAktivieren()
{
    namentabelleAktivieren(Namentabelle::Tmp1);
}

void TMarlex::Tmp2DatenbankAktivieren()
{
    namentabelleAktivieren(Namentabelle::Tmp2);
}

void TMarlex::namentabelleAktivieren(Namentabelle tabelle)
{
    const Namentabellenart& art = namentabellenart(tabelle);
    const QString datei = namentabellenDatei(tabelle);
    // Asked of the current name table, not of the file Table1 holds, which
    // is filter.dbf while the list filter is on.
    if (AktuelleNamenDatei == datei) {
        widgets::MessageBox::information(this, art.status + u"-Datenbank ist schon aktiv!"_qs);
        return;
    }
    const QString vorherDatei = std::exchange(AktuelleNamenDatei, datei);
    const QString vorherIndex = std::exchange(AktuelleIndexDatei, namentabellenIndexDatei(tabelle));
    try {
        aktuelleNamentabelleOeffnen(*Datas->Table1);
    } catch (const dbase::DbaseError& fehler) {
        // The earlier table stays current, and the list is read from it
        // again, so that list and name table still go together.
        AktuelleNamenDatei = vorherDatei;
        AktuelleIndexDatei = vorherIndex;
        DatenlisteEinlesen();
        widgets::MessageBox::error(this, u"Die %1-Datenbank kann nicht geöffnet werden:\n\n%2"_qs.arg(
                                             art.status, widgets::errorText(fehler)));
        return;
    }
    StatusPanel[1]->setText(art.status);
    if (ListenFilterAktiv == 1) {
        try {
            FilterTabelleNeuErzeugen();
        } catch (const std::exception& fehler) {
            // The filter is off and the list shows the new table whole.
            widgets::MessageBox::error(this, u"Die Filtertabelle konnte nicht erstellt werden; der Filter ist "
                                             u"nicht mehr gesetzt.\n\n"_qs
                                                 + widgets::errorText(fehler));
            return;
        }
    }
    DatenlisteEinlesen();
}

void TMarlex::tabellenwechselVerbinden()
{
    connect(Stamm1, &QAction::triggered, this, &TMarlex::StammDatenbankAktivieren);
    connect(ToolButton48, &QToolButton::clicked, this, &TMarlex::StammDatenbankAktivieren);
    connect(TMP11, &QAction::triggered, this, &TMarlex::Tmp1DatenbankAktivieren);
    connect(ToolButton49, &QToolButton::clicked, this, &TMarlex::Tmp1DatenbankAktivieren);
    connect(TMP21, &QAction::triggered, this, &TMarlex::Tmp2DatenbankAktivieren);
    connect(ToolButton50, &QToolButton::clicked, this, &TMarlex::Tmp2DatenbankAktivieren);
}
