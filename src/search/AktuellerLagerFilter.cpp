#include "search/AktuellerLagerFilter.h"

#include "search/Filterverwaltung.h"

TAktuellerLagerFilter* AktuellerLagerFilter = nullptr;

TAktuellerLagerFilter::TAktuellerLagerFilter()
    : TFilterfenster(u"AktuellerLagerFilter"_qs, u"Aktueller Lagerfilter"_qs, 1)
{
}

void TAktuellerLagerFilter::Filterlschen1Click()
{
    LagerFilterLoeschen();
}
