#include "app/Namenstabellen.h"

#include <algorithm>

#include <QString>

#include "app/Marlex.h"
#include "app/NameRules.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "reports/TabellenWache.h"

namespace {

// Name rows: NAME1, STRIPNAME1, CARN, SUBCARN.
enum NamenFeld { NAME1 = 0, STRIPNAME1 = 1, CARN = 2, SUBCARN = 3 };

bool gleicheDatei(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

Namenstabellen::Namenstabellen(const TMarlex& marlex)
{
    m_alle.push_back(Datas->Table1);
    const auto offen = [this](const QString& datei) {
        return std::any_of(m_alle.begin(), m_alle.end(),
                           [&](const dbase::Table* t) { return gleicheDatei(t->tableName(), datei); });
    };
    const auto hinzu = [this](std::unique_ptr<dbase::Table> tabelle) {
        m_alle.push_back(tabelle.get());
        m_offen.push_back(std::move(tabelle));
    };
    if (!offen(QStringLiteral("namen.dbf"))) {
        auto stamm = std::make_unique<dbase::Table>();
        reports::namenDesRegistersOeffnen(*stamm);
        hinzu(std::move(stamm));
    }
    // The research table, while the list filter reads from the filter table.
    if (!offen(marlex.AktuelleNamenDatei)) {
        auto recherche = std::make_unique<dbase::Table>();
        recherche->setTableName(marlex.AktuelleNamenDatei);
        recherche->setIndexFiles(marlex.AktuelleIndexDatei);
        recherche->open();
        hinzu(std::move(recherche));
    }
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
