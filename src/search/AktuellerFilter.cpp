#include "search/AktuellerFilter.h"

#include "app/Marlex.h"
#include "search/Filterverwaltung.h"

TAktuellerFilter* AktuellerFilter = nullptr;

TAktuellerFilter::TAktuellerFilter()
    : TFilterfenster(u"AktuellerFilter"_qs, u"Aktueller Datenfilter"_qs, 0)
{
}

void TAktuellerFilter::Filterlschen1Click()
{
    FilterLoeschen();
    Marlex->DatenlisteEinlesen();
}
