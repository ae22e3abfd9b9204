#include "app/Namenstabellen.h"

#include <QString>

#include "app/NameRules.h"
#include "data/Datas.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "files/Paths.h"
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
    if (stand.auszug()) {
        auto stamm = std::make_unique<dbase::Table>();
        reports::namenDesRegistersOeffnen(*stamm);
        hinzu(std::move(stamm), m_alle);
        // The research table, while the list filter reads from the filter
        // table.
        if (stand.filtertabelle && stand.tabelle != Namentabelle::Stamm)
            hinzu(rechercheOeffnen(stand.tabelle), m_alle);
    }
}

const std::vector<dbase::Table*>& Namenstabellen::mitRecherchen() const
{
    if (!m_mitRecherchen.empty())
        return m_mitRecherchen;
    m_mitRecherchen = m_alle;
    const Namentabelle gezeigt = namentabellenStand().tabelle;
    for (Namentabelle recherche : {Namentabelle::Tmp1, Namentabelle::Tmp2}) {
        if (recherche == gezeigt || !files::find(namentabellenDatei(recherche)))
            continue;
        try {
            hinzu(rechercheOeffnen(recherche), m_mitRecherchen);
        } catch (const dbase::DbaseError&) {
            // A research table is made anew by the next research or start;
            // one that does not open must not stop a change of the register.
        }
    }
    return m_mitRecherchen;
}

std::unique_ptr<dbase::Table> Namenstabellen::rechercheOeffnen(Namentabelle recherche)
{
    auto tabelle = std::make_unique<dbase::Table>();
    tabelle->setTableName(namentabellenDatei(recherche));
    tabelle->setIndexFiles(namentabellenIndexDatei(recherche));
    tabelle->open();
    return tabelle;
}

void Namenstabellen::hinzu(std::unique_ptr<dbase::Table> tabelle, std::vector<dbase::Table*>& liste) const
{
    liste.push_back(tabelle.get());
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
