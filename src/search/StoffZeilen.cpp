#include "search/StoffZeilen.h"

#include <algorithm>

#include "app/NameRules.h"
#include "app/TabellenLeihe.h"
#include "dbase/CodePage.h"
#include "dbase/Collation.h"
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

void WieDieNamensliste(std::vector<StoffZeile>& zeilen, const dbase::Table& namen)
{
    const dbase::Collation& ordnung = dbase::Collation::forLanguageDriver(namen.languageDriver());
    const auto& codepage = namen.codePage();
    std::vector<std::pair<std::string, StoffZeile>> geschluesselt;
    geschluesselt.reserve(zeilen.size());
    for (StoffZeile& z : zeilen)
        geschluesselt.emplace_back(ordnung.sortKey(codepage.encode(StripNameBilden(z.text))), std::move(z));
    std::ranges::stable_sort(geschluesselt, {}, &std::pair<std::string, StoffZeile>::first);
    zeilen.clear();
    for (auto& [schluessel, z] : geschluesselt)
        zeilen.push_back(std::move(z));
}
