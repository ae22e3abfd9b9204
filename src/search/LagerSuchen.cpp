#include "search/LagerSuchen.h"

#include "data/Datas.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "widgets/MessageBox.h"

TLagerSuchen::TLagerSuchen(QWidget* parent) : TSuchdialog(parent, u"LagerSuchen"_qs)
{
}

void TLagerSuchen::suchen()
{
    dbase::Table& lager = *Datas->Table3;
    // The storage filter is joined as a whole, so an "or" in it cannot
    // reach past the name condition.
    const dbase::Filter lagerfilter = lager.filter();
    const dbase::Filter bedingung = lagerfilter.isEmpty() ? namensbedingung() : lagerfilter && namensbedingung();
    const std::uint32_t treffer = ersterTreffer(lager, bedingung);
    if (treffer == 0) {
        widgets::MessageBox::information(this, u"Der Lagerdatensatz wurde nicht gefunden."_qs);
        return;
    }
    lager.gotoBookmark(dbase::Bookmark{treffer});
}
