#include "app/Namenstabellen.h"

#include <QString>

#include "app/NameRules.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "reports/TabellenWache.h"
#include "search/Namentabellen.h"

namespace {

// Name rows: NAME1, STRIPNAME1, CARN, SUBCARN.
enum NamenFeld { NAME1 = 0, STRIPNAME1 = 1, CARN = 2, SUBCARN = 3 };

} // namespace

Namenstabellen::Namenstabellen()
{
    m_alle.push_back(Datas->Table1);
    const NamentabellenStand stand = namentabellenStand();
    if (!stand.auszug())
        return; // the list reads namen.dbf itself
    auto stamm = std::make_unique<dbase::Table>();
    reports::namenDesRegistersOeffnen(*stamm);
    hinzu(std::move(stamm));
    // The research table, while the list filter reads from the filter table.
    if (stand.filtertabelle && stand.tabelle != Namentabelle::Stamm) {
        auto recherche = std::make_unique<dbase::Table>();
        recherche->setTableName(namentabellenDatei(stand.tabelle));
        recherche->setIndexFiles(namentabellenIndexDatei(stand.tabelle));
        recherche->open();
        hinzu(std::move(recherche));
    }
}

void Namenstabellen::hinzu(std::unique_ptr<dbase::Table> tabelle)
{
    m_alle.push_back(tabelle.get());
    m_offen.push_back(std::move(tabelle));
}

Namenstabellen::~Namenstabellen() = default;

void NamenSetzen(dbase::Table& namen, const QString& name)
{
    namen.field(NAME1).setAsString(name);
    namen.field(STRIPNAME1).setAsString(StripNameBilden(name));
}

void NamenszeileFuellen(dbase::Table& namen, const QString& name, const QString& carn, const QString& subcarn)
{
    NamenSetzen(namen, name);
    namen.field(CARN).setAsString(carn);
    namen.field(SUBCARN).setAsString(subcarn);
}
