#include "search/StoffZeilen.h"

#include <algorithm>

#include "app/TabellenLeihe.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"

dbase::Filter Synonymfilter(const QString& carn, const QString& subcarn)
{
    return dbase::Filter::equals("CARN", carn) && dbase::Filter::equals("SUBCARN", subcarn);
}

std::vector<StoffZeile> ZeilenDesStoffs(dbase::Table& tabelle, const QString& carn, const QString& subcarn)
{
    const dbase::NotificationHold still(tabelle);
    TabellenLeihe leihe(tabelle);
    leihe.eingrenzen(Synonymfilter(carn, subcarn));
    std::vector<StoffZeile> zeilen;
    for (tabelle.first(); !tabelle.eof(); tabelle.next())
        zeilen.push_back({tabelle.recNo(), tabelle.field(0).asString()});
    return zeilen;
}

void Alphabetisch(std::vector<StoffZeile>& zeilen)
{
    std::stable_sort(zeilen.begin(), zeilen.end(), [](const StoffZeile& a, const StoffZeile& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
}
