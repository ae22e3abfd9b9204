#include "search/LagerSuchen.h"

#include "data/Datas.h"
#include "dbase/Table.h"
#include "widgets/MessageBox.h"

TLagerSuchen::TLagerSuchen(QWidget* parent) : TSuchdialog(parent, u"LagerSuchen"_qs)
{
}

void TLagerSuchen::suchen()
{
    dbase::Table& lager = *Datas->Table3;
    const std::uint32_t treffer = ersterTreffer(lager);
    if (treffer == 0) {
        widgets::MessageBox::information(this, u"Der Lagerdatensatz wurde nicht gefunden."_qs);
        return;
    }
    lager.gotoBookmark(dbase::Bookmark{treffer});
}
