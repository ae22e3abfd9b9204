// The main window's commands that open the research into TMP1 and TMP2.

#include <QAction>

#include "app/Marlex.h"
#include "search/Namentabellen.h"
#include "search/Recherche.h"

void TMarlex::RechercheinTMP11Click()
{
    rechercheOeffnen(Namentabelle::Tmp1);
}

void TMarlex::RechercheinTMP21Click()
{
    rechercheOeffnen(Namentabelle::Tmp2);
}

void TMarlex::rechercheOeffnen(Namentabelle ziel)
{
    TRecherche dialog(this, ziel);
    dialog.exec();
}

void TMarlex::rechercheBefehleVerbinden()
{
    connect(RechercheinTMP11, &QAction::triggered, this, &TMarlex::RechercheinTMP11Click);
    connect(RechercheinTMP21, &QAction::triggered, this, &TMarlex::RechercheinTMP21Click);
}
