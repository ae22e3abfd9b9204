#include "search/Namentabellen.h"

#include <array>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"

const Namentabellenart& namentabellenart(Namentabelle tabelle)
{
    // Made at the first call, so that the data module's table list, itself
    // made before main(), can name them.
    static const std::array<Namentabellenart, 3> arten = {{
        {u"namen.dbf"_qs, u"namen.mdx"_qs, u"STAMM"_qs},
        {u"zan_tmp1.dbf"_qs, u"zan_tmp1.mdx"_qs, u"TMP1"_qs},
        {u"zan_tmp2.dbf"_qs, u"zan_tmp2.mdx"_qs, u"TMP2"_qs},
    }};
    return arten[static_cast<std::size_t>(tabelle)];
}

QString namentabellenDatei(Namentabelle tabelle)
{
    const QString& datei = namentabellenart(tabelle).datei;
    return tabelle == Namentabelle::Stamm ? datei : Datas->arbeitsdatei(datei);
}

QString namentabellenIndexDatei(Namentabelle tabelle)
{
    const QString& datei = namentabellenart(tabelle).indexDatei;
    return tabelle == Namentabelle::Stamm ? datei : Datas->arbeitsdatei(datei);
}

QString filterDatei()
{
    return Datas->arbeitsdatei(u"filter.dbf"_qs);
}

QString filterIndexDatei()
{
    return Datas->arbeitsdatei(u"filter.mdx"_qs);
}

NamentabellenStand namentabellenStand()
{
    NamentabellenStand stand;
    for (Namentabelle tabelle : {Namentabelle::Tmp1, Namentabelle::Tmp2}) {
        if (Marlex->AktuelleNamenDatei == namentabellenDatei(tabelle))
            stand.tabelle = tabelle;
    }
    stand.filtertabelle = Marlex->ListenFilterAktiv == 1;
    return stand;
}

void aktuelleNamentabelleOeffnen(dbase::Table& namen)
{
    namen.close();
    namen.setTableName(Marlex->AktuelleNamenDatei);
    namen.setIndexFiles(Marlex->AktuelleIndexDatei);
    namen.open();
}
