#include "search/Suchen.h"

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

TSuchen::TSuchen(QWidget* parent) : TSuchdialog(parent, u"Suchen"_qs)
{
}

void TSuchen::suchen()
{
    const std::uint32_t treffer = ersterTreffer(*Datas->Table1);
    widgets::NameList& liste = *Marlex->ListBox1;
    const int zeile = treffer ? liste.lineOfRecNo(treffer) : -1;
    if (zeile < 0) {
        widgets::MessageBox::information(this, u"Es wurde kein Datensatz gefunden."_qs);
        return;
    }
    // The name table stands on the line shown last; the display moves it
    // on to the found line.
    liste.setItemIndex(zeile);
    liste.scrollTo(liste.model()->index(zeile, 0), QAbstractItemView::PositionAtTop);
    Marlex->AktuellenDatensatzZeigen();
}
