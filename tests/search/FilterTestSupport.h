#pragma once

// The small register of the filter tests, with the windows the filters
// show: the main window on its tables, the two current-filter windows and
// the wait window, as the program makes them at start.

#include <functional>

#include <QDialog>
#include <QStringList>

#include "MarlexTestSupport.h"
#include "fixtures/Modal.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"

class TFiltersetzen;

namespace filtertest {

// Keys of the register's substances; one key holds an apostrophe.
extern const QString aceton, benzol, chlor, ethanol, eigen;

// Names (three of Aceton) over five substances:
//   Aceton, Dimethylketon, Propanon  aceton   GEFSYM1 F+  WGK 1  in the Keller
//   Benzol                           benzol   GEFSYM1 F+  WGK 3  in the Schrank
//   Chlor                            chlor    GEFSYM1 T   WGK 2  in the Keller
//   Ethanol                          ethanol  GEFSYM1 F
//   O'Brien-Reagenz                  eigen    GEFSYM1 Xi
// Writes the register's tables and FILES.TXT into the register directory.
void registerSchreiben(marlextest::Register& r);

// The register started with the windows of the filters.
class FilterRegister : public marlextest::Register {
public:
    FilterRegister();
    ~FilterRegister();

    TMarlex& m;
    TAktuellerFilter aktuellerFilter;
    TAktuellerLagerFilter aktuellerLagerFilter;
    TFilterWarten filterWarten;
};

QStringList listenzeilen(const TMarlex& m);
QStringList meldungstexte(const marlextest::Register& r);

using fixtures::imDialogVon;
// The same for the filter dialog.
void imDialog(const std::function<void()>& oeffnen, const std::function<void(TFiltersetzen&)>& schritte);

// What a user does in the dialog.
void tippen(TFiltersetzen& dialog, const QString& text);   // replaces Memo1's text by typing
void setzen(TFiltersetzen& dialog);                         // clicks "&Setzen"
void doppelklicken(QWidget* liste, const QString& zeile);   // on a line of ListBox1 or ListBox2

// A research through "Recherche in TMP &1" (or "TMP &2"), the text typed and
// "Synonyme mitkopieren" set as given, then "&OK"; the list then shows the
// research table when something was found.
void recherchieren(TMarlex& m, bool inTmp1, const QString& text, bool synonyme = true);

// Opens the context menu of a current-filter window by a right-click on its
// expression and clicks the item.
void kontextmenue(TFilterfenster& fenster, QAction* item);

} // namespace filtertest
