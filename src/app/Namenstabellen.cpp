#include "app/Namenstabellen.h"

#include <algorithm>

#include <QString>

#include "app/Marlex.h"
#include "app/NameRules.h"
#include "data/Datas.h"
#include "dbase/Table.h"

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
    dbase::Table& liste = *Datas->Table1;
    m_alle.push_back(&liste);
    const std::pair<QString, QString> weitere[] = {
        {QStringLiteral("namen.dbf"), QStringLiteral("namen.mdx")},
        {marlex.AktuelleNamenDatei, marlex.AktuelleIndexDatei},
    };
    for (const auto& [datei, index] : weitere) {
        const bool schonDa = std::any_of(m_alle.begin(), m_alle.end(),
                                         [&](const dbase::Table* t) { return gleicheDatei(t->tableName(), datei); });
        if (schonDa)
            continue;
        auto tabelle = std::make_unique<dbase::Table>();
        tabelle->setTableName(datei);
        tabelle->setIndexFiles(index);
        tabelle->open();
        m_alle.push_back(tabelle.get());
        m_offen.push_back(std::move(tabelle));
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
